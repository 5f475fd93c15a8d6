// The play screen: loading the level, drawing the board and the side panel, and turning the
// player's clicks and drags into placing, turning and taking back pieces and switching lasers.
#include "play/play_screen.h"

#include <algorithm>
#include <string>

#include "app/app_state.h"
#include "app/assets.h"
#include "app/bitmap_font.h"
#include "app/help_overlay.h"
#include "app/menu_buttons.h"
#include "app/screens.h"
#include "app/settings.h"
#include "board/beam_trace.h"
#include "board/board_state.h"
#include "board/piece_kinds.h"
#include "play/board_drawing.h"
#include "play/custom_play.h"
#include "play/level_file.h"
#include "play/play_state.h"
#include "play/score_rules.h"
#include "play/scoring.h"
#include "play/solution_codes.h"
#include "play/undo.h"
#include "profiles/message_window.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_state.h"

namespace {

constexpr int32_t board_top = 75;
constexpr int32_t board_right = 700;   // exclusive
constexpr int32_t board_bottom = 565;  // exclusive
constexpr int32_t slot_height = 98;

// The board cell under the pointer, if it is over the board.
bool cursor_cell(int32_t& column, int32_t& row) {
    return pixel_to_cell(cursor_x, cursor_y, column, row);
}

// The colour-sphere picture shown in slot 4, by sphere_colour.
platform::image* sphere_slot_image() {
    switch (sphere_colour) {
        case 1: return image_translator_red;
        case 2: return image_translator_green;
        case 3: return image_translator_blue;
        default: return image_translator_white;
    }
}

int32_t slot_stock(int32_t slot) {
    return piece_stock[static_cast<size_t>(panel_slot_kind(slot, sphere_colour))];
}

// Texts of the side panel end left of this, inside the plates and the selection box.
constexpr int32_t panel_text_right = 797;

// The hint line under the board: its picture's frame 1 tells of the solution view.
constexpr int32_t hint_x = 38;
constexpr int32_t hint_y = 572;
// The undo and redo buttons: texts between the title and the score's plate.
constexpr int32_t undo_left = 262;
constexpr int32_t redo_left = 322;
constexpr int32_t history_button_width = 58;
constexpr int32_t history_button_top = 24;
constexpr int32_t history_button_bottom = 50;

// A text button beside the title: brighter while hovered, and true when clicked. It needs
// the same open input as the board.
bool history_button(int32_t left, const char* label, bool usable) {
    const bool hovered = play_input_open() &&
                         cursor_strictly_inside(left, history_button_top,
                                                left + history_button_width, history_button_bottom);
    set_text_button_color(usable, hovered);
    draw_bitmap_text(font16, left + 6, history_button_top + 5, label, 1000);
    return usable && hovered && left_click == 1;
}

// Once the solution can be looked at (as update_solution_view decides), the hint says how.
void draw_hint_line() {
    const bool solution_ready =
        platform::millisecs() - clock_start > 60000 && message_shown == 0 && completion_start == 0;
    set_faded_color(255, 255, 255);
    // What a copy or paste of a solution code did stands in for the hint for a few seconds.
    if (!draw_code_note(hint_x, hint_y + 4))
        platform::draw_image(image_hint_line, hint_x, hint_y, solution_ready ? 1 : 0);
    if (history_button(undo_left, "Undo", !undo_steps.empty() && turning == 0)) undo_move();
    if (history_button(redo_left, "Redo", !redo_steps.empty() && turning == 0)) redo_move();
}

// The small coloured count of every colour of sphere in stock, along the foot of slot 4:
// spheres hidden behind the colour arrows still show.
void draw_sphere_marks() {
    static constexpr int32_t mark_colours[4][3] = {
        {255, 255, 255}, {255, 80, 80}, {90, 230, 90}, {110, 150, 255}};
    for (int32_t colour = 0; colour < 4; ++colour) {
        const int32_t count = piece_stock[kind_white_sphere + colour];
        if (count <= 0) continue;
        const int32_t* c = mark_colours[colour];
        set_faded_color(c[0], c[1], c[2]);
        // A small square of the colour, then the count.
        const int32_t x = 727 + 18 * colour;
        for (int32_t y = 549; y < 554; ++y) platform::draw_line(x, y, x + 4, y, true);
        draw_bitmap_text(font16, x + 7, 544, std::to_string(count), 1000);
    }
}

}  // namespace

bool play_input_open() {
    return message_shown == 0 && fading == 0 && completion_start == 0 && help_shown == 0;
}

void select_stocked_slot() {
    if (slot_stock(selected_slot) > 0) return;
    for (int32_t slot = 0; slot < 4; ++slot) {
        if (piece_stock[kind_mirror + slot] > 0) {
            selected_slot = slot;
            return;
        }
    }
    for (int32_t colour = 0; colour < 4; ++colour) {
        if (piece_stock[kind_white_sphere + colour] > 0) {
            selected_slot = 4;
            sphere_colour = colour;
            return;
        }
    }
}

int32_t selected_piece_kind() { return panel_slot_kind(selected_slot, sphere_colour); }

void start_level() {
    if (!load_level()) {
        // Never a half-loaded board: clear whatever the loader left and send the player back.
        reset_board();
        raise_notice(text_level_not_loaded, notice_then_galaxy_map);
        return;
    }
    select_stocked_slot();
    if (!level_text.empty()) {
        raise_message(message_level_note, level_text);
    } else {
        // Without a note nothing would start the clock; start it now rather than keep the
        // previous level's.
        start_level_clock();
    }
}

void run_play_screen() {
    if (fade_count == 32) start_level();
    draw_play_background();
    draw_board_and_beams();
    // A bomb the trace set off: the explosion plays in the message window, which then closes
    // the board to the player.
    if (last_trace().exploded_count > 0) raise_message(message_explosion, "Bumm!!!");
    draw_side_panel();
    evaluate_lamps();
    select_slot();
    undo_keys(play_input_open());
    solution_code_keys();
    if (play_input_open()) {
        board_moves();
        update_solution_view();
    }
    check_completion();
    if (fade_count == 31) {
        // The last pass before the fade switches away (or re-enters for the next level).
        reset_board();
        final_score = 0;
        if (save_notice_pending == 1) {
            save_notice_pending = 0;
            raise_notice(text_progress_not_saved, notice_then_nothing);
        }
    }
}

void draw_play_background() {
    set_faded_color(255, 255, 255);
    platform::draw_image(image_background, 0, 0, 0);
}

void draw_side_panel() {
    set_faded_color(255, 255, 255);
    platform::draw_image(image_background_main, 0, 0, 0);

    draw_bitmap_text(font16, 700, 10, "Solution:", 1000);
    // "available" is wider than the panel leaves right of x 720: it moves left to fit.
    const std::string timer = solution_timer_text_now();
    const int32_t timer_x =
        std::max(702, std::min(720, panel_text_right - text_width(font16, timer)));
    draw_bitmap_text(font16, timer_x, 20, timer, 1000);

    set_faded_color(menu_button_tint, menu_button_tint, 255);
    platform::draw_image(image_btn_main_menu, 585, 560, 0);
    // The button reaches to the display's right and bottom edges: no outer bounds.
    const bool menu_hovered = play_input_open() && cursor_x > 595 && cursor_y > 560;
    if (menu_hovered && left_click == 1) leave_level();
    step_button_tint(menu_button_tint, menu_hovered);

    draw_stock_panel();

    set_faded_color(255, 255, 255);
    draw_bitmap_text(font32, 400, 20, "Score: " + score_text_now(), 1000);
    draw_hint_line();
}

void draw_stock_panel() {
    // A slot with nothing left to place is dimmed.
    const auto slot_colour = [](int32_t slot) {
        const int32_t v = slot_stock(slot) > 0 ? 255 : 90;
        set_faded_color(v, v, v);
    };
    slot_colour(0);
    platform::draw_image(image_mirror_big, 700, 75, 0);
    slot_colour(1);
    platform::draw_image(image_double_mirror_big, 700, 175, 0);
    slot_colour(2);
    platform::draw_image(image_prism_big, 700, 275, 0);
    slot_colour(3);
    platform::draw_image(image_double_prism_big, 700, 375, 0);
    slot_colour(4);
    platform::draw_image(sphere_slot_image(), 700, 465, 0);
    set_faded_color(255, 255, 255);
    // With the colour-blind aid the chosen colour's letter sits at the sphere's top left.
    if (settings.colour_blind_aid == 1)
        platform::draw_image(image_colour_marks, 726, 486, sphere_colour & 3);

    // The colour buttons lie inside slot 4, so a click on them also selects it (select_slot).
    const bool left_hovered = play_input_open() && cursor_strictly_inside(700, 505, 720, 525);
    if (picture_button_hovered(left_hovered, image_btn_left, image_btn_left_active, 700, 505))
        sphere_colour = (sphere_colour + 3) % 4;
    // The right button reaches the display's right edge: no outer bound there.
    const bool right_hovered =
        play_input_open() && cursor_x > 780 && cursor_y > 505 && cursor_y < 525;
    if (picture_button_hovered(right_hovered, image_btn_right, image_btn_right_active, 780, 505))
        sphere_colour = (sphere_colour + 1) % 4;

    for (int32_t slot = 0; slot < 5; ++slot) {
        draw_bitmap_text(font16, 705, 160 + slot_height * slot, std::to_string(slot_stock(slot)),
                         1000);
    }
    draw_sphere_marks();

    set_faded_color(0, 0, 255);
    const int32_t t = board_top + slot_height * selected_slot;
    platform::draw_line(700, t, 799, t, true);
    platform::draw_line(700, t + 97, 799, t + 97, true);
    platform::draw_line(700, t, 700, t + 97, true);
    platform::draw_line(798, t, 798, t + 97, true);
}

void leave_level() {
    // A custom level leads back to their list and keeps nothing in the player's progress.
    if (custom_play_vars.custom_playing == 1) {
        start_fade(screen_custom_levels);
        return;
    }
    start_fade(screen_main_menu);
    // The level is suspended: its clock resumes from these seconds when it is next opened.
    level_time[current_level] = elapsed_seconds(platform::millisecs(), clock_start);
    level_solution_cost[current_level] = solution_cost;
    if (!save_progress()) save_notice_pending = 1;
}

void select_slot() {
    // Deliberately ungated: it also runs while a message window is up.
    if (left_click == 1 && cursor_x >= board_right && cursor_y >= board_top &&
        cursor_y < board_bottom) {
        selected_slot = (cursor_y - board_top) / slot_height;
    }
}

void place_piece() {
    int32_t column = 0, row = 0;
    if (left_click == 1 && cursor_cell(column, row))
        place_piece_at(column, row, selected_piece_kind());
}

bool place_piece_at(int32_t column, int32_t row, int32_t kind) {
    point& cell = board[column][row];
    if (!is_movable(kind)) return false;
    if (piece_stock[kind] <= 0 || cell.kind != kind_empty) return false;
    cell.kind = kind;
    piece_stock[kind] -= 1;
    if (is_sphere(kind)) {
        cell.colour = 0;  // re-arms the sphere's glow sound
        return true;
    }
    // The button is still down: the player now sets the orientation by dragging. A quick
    // click leaves it at the last turn_orientation.
    cell.state = 9;
    turning = 1;
    turn_x = column;
    turn_y = row;
    return true;
}

bool grab_piece_at(int32_t column, int32_t row) {
    turn_x = column;
    turn_y = row;
    point& cell = board[column][row];
    if (!is_turnable(cell.kind)) return false;
    turning = 1;
    cell.state = 9;
    return true;
}

void aim_turning_piece(int32_t x, int32_t y) {
    const int32_t before = turn_orientation;
    turn_orientation = turn_orientation_towards(cell_centre_x(turn_x), cell_centre_y(turn_y), x, y,
                                                board[turn_x][turn_y].kind, turn_orientation);
    if (turn_orientation != before) platform::play_sound(sound_povorot);
}

void release_turning_piece() {
    // turn_orientation is not reset between turns: a piece let go within the dead zone takes
    // the orientation of the previous turn.
    turning = 0;
    board[turn_x][turn_y].state = turn_orientation;
}

void turn_piece() {
    if (left_held == 1 && turning == 1) aim_turning_piece(cursor_x, cursor_y);
    int32_t column = 0, row = 0;
    if (left_held == 1 && turning == 0 && cursor_cell(column, row)) grab_piece_at(column, row);
    if (left_held == 0 && turning == 1) release_turning_piece();
}

void remove_piece() {
    int32_t column = 0, row = 0;
    if (right_click == 1 && cursor_cell(column, row)) remove_piece_at(column, row);
}

bool remove_piece_at(int32_t column, int32_t row) {
    point& cell = board[column][row];
    if (!is_movable(cell.kind)) return false;
    piece_stock[cell.kind] += 1;
    cell.kind = kind_empty;
    return true;
}

void toggle_laser() {
    int32_t column = 0, row = 0;
    if (left_click == 1 && cursor_cell(column, row)) toggle_laser_at(column, row);
}

void board_moves() {
    begin_move();
    place_piece();
    turn_piece();
    remove_piece();
    toggle_laser();
    end_move();
}

bool toggle_laser_at(int32_t column, int32_t row) {
    if (board[column][row].kind != kind_laser) return false;
    for (int32_t i = 0; i < laser_source_count; ++i) {
        laser& source = laser_sources[i];
        if (source.x == column && source.y == row) source.active = 1 - source.active;
    }
    return true;
}

// The level editor: the build board and its palette, test play, undo, the note and the file
// name typed in, saving and opening custom levels, level codes and the critic's verdict.
//
// In build mode the board globals hold the level as built: its fixed pieces and the pieces of
// the stored solution, placed as a player would place them, so that the beams are traced live
// through the intended solution. Test mode clears the board and places the level as the play
// screen does, with the stock counted from that solution.
#include "editor/editor_screen.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/assets.h"
#include "app/bitmap_font.h"
#include "app/help_overlay.h"
#include "app/menu_buttons.h"
#include "app/screens.h"
#include "board/beam_trace.h"
#include "board/board_state.h"
#include "board/piece_kinds.h"
#include "editor/editor_state.h"
#include "platform/platform.h"
#include "play/board_drawing.h"
#include "play/custom_play.h"
#include "play/level_code.h"
#include "play/level_file.h"
#include "play/play_screen.h"
#include "play/play_state.h"
#include "play/scoring.h"
#include "play/undo.h"
#include "profiles/custom_scores.h"
#include "profiles/message_window.h"
#include "profiles/profiles_state.h"
#include "profiles/progress_format.h"

editor_globals editor_vars;

namespace {

constexpr int32_t key_escape = 27;
constexpr int32_t key_enter = 13;
constexpr int32_t key_backspace = 8;

constexpr int32_t button_row_y = 8;
constexpr int32_t status_y = 32;
constexpr int32_t critic_line_y = 52;

// The palette: every kind but the empty cell, two to a row of 40 pixels on the right panel.
constexpr std::array<int32_t, 13> palette_kinds = {
    kind_wall,       kind_laser,         kind_lamp,       kind_bomb,         kind_translator,
    kind_mirror,     kind_double_mirror, kind_prism,      kind_double_prism, kind_white_sphere,
    kind_red_sphere, kind_green_sphere,  kind_blue_sphere};
constexpr int32_t palette_left = 712;
constexpr int32_t palette_top = 80;
constexpr int32_t palette_step = 42;
constexpr int32_t colour_row_y = 382;
constexpr int32_t dir_row_y = 412;

constexpr std::array<const char*, 7> lamp_colour_names = {"white",  "red",      "green", "blue",
                                                          "yellow", "sky blue", "violet"};
constexpr std::array<const char*, 8> dir_names = {"up",   "up right",  "right", "down right",
                                                  "down", "down left", "left",  "up left"};

editor_globals& ed = editor_vars;

bool editor_input_open() {
    return message_shown == 0 && fading == 0 && help_shown == 0 && ed.text_entry == entry_none &&
           ed.verdict_shown == 0;
}

// A text button: brighter while hovered, true when clicked. Returns its right edge in `right`.
bool text_button(int32_t left, int32_t y, const std::string& label, bool usable, int32_t& right) {
    const int32_t width = text_width(font16, label);
    right = left + width;
    const bool hovered =
        usable && editor_input_open() && cursor_strictly_inside(left - 4, y - 3, right + 4, y + 19);
    set_text_button_color(usable, hovered);
    draw_bitmap_text(font16, left, y, label, 1000);
    return hovered && left_click == 1;
}

point& cell_of(int32_t column, int32_t row) { return board[column][row]; }

// The laser sources follow the build board's lasers, every one switched on, as a level file
// would load them.
void sync_build_lasers() {
    laser_source_count = 0;
    lamp_count = 0;
    for (int32_t column = 0; column < board_columns; ++column) {
        for (int32_t row = 0; row < board_rows; ++row) {
            const point& cell = board[column][row];
            if (cell.kind == kind_lamp) ++lamp_count;
            if (cell.kind != kind_laser || laser_source_count >= max_lasers) continue;
            laser& source = laser_sources[static_cast<size_t>(laser_source_count++)];
            source = laser{};
            source.x = column;
            source.y = row;
            source.dir = cell.state;
            source.colour = cell.colour;
            source.active = 1;
        }
    }
}

int32_t laser_count_on_board() {
    int32_t n = 0;
    for (const auto& column : board)
        for (const point& cell : column) n += cell.kind == kind_laser ? 1 : 0;
    return n;
}

void clear_board_cells() {
    for (auto& column : board)
        for (point& cell : column) cell = point{};
    piece_stock = {};
    laser_source_count = 0;
    lamp_count = 0;
    turning = 0;
    explosion_x = 0;
    explosion_y = 0;
    solution_alpha = 0;
}

// The build board shows a level: fixed pieces as loaded, solution pieces placed.
void show_build_board(const level_data& level) {
    clear_board_cells();
    for (int32_t column = 0; column < board_columns; ++column) {
        for (int32_t row = 0; row < board_rows; ++row) {
            const int32_t code = level.cells[static_cast<size_t>(column)][static_cast<size_t>(row)];
            const int32_t kind = level_cell_kind(code);
            point& cell = board[column][row];
            cell.kind = kind;
            if (kind == kind_laser || kind == kind_lamp) cell.colour = level_cell_colour(code);
            if (kind == kind_laser || kind == kind_translator || is_turnable(kind))
                cell.state = level_cell_orientation(code);
        }
    }
    sync_build_lasers();
}

void set_status(const std::string& text) { ed.status_text = text; }

void push_build_step(const level_data& before) {
    if (ed.build_undo.size() >= static_cast<size_t>(undo_limit))
        ed.build_undo.erase(ed.build_undo.begin());
    ed.build_undo.push_back(before);
    ed.build_redo.clear();
}

bool same_level(const level_data& a, const level_data& b) {
    return a.text == b.text && a.cells == b.cells;
}

// A bomb the live trace set off in build mode is put back: the board being built is not a
// game, and the bomb belongs to the level. The status line tells of it instead.
void undo_build_explosion() {
    const trace_record& t = last_trace();
    if (t.exploded_count == 0) return;
    for (int32_t e = 0; e < t.exploded_count; ++e) {
        const int32_t cell = t.exploded_cells[static_cast<size_t>(e)];
        board[cell / board_rows][cell % board_rows].kind = kind_bomb;
    }
    explosion_x = 0;
    explosion_y = 0;
    set_status("A beam reaches a bomb");
}

int32_t colour_count_of(int32_t kind) { return kind == kind_lamp ? 7 : 4; }

std::string colour_name(int32_t kind, int32_t colour) {
    if (kind == kind_laser) return lamp_colour_names[static_cast<size_t>(colour % 4)];
    return lamp_colour_names[static_cast<size_t>(colour % 7)];
}

void draw_palette() {
    for (size_t i = 0; i < palette_kinds.size(); ++i) {
        const int32_t kind = palette_kinds[i];
        const int32_t x = palette_left + palette_step * static_cast<int32_t>(i % 2);
        const int32_t y = palette_top + palette_step * static_cast<int32_t>(i / 2);
        const int32_t orientation =
            kind == kind_laser || kind == kind_translator ? ed.palette_dir : 0;
        const int32_t colour = kind == kind_lamp ? ed.palette_colour : 0;
        set_faded_color(255, 255, 255);
        platform::draw_image(piece_image(kind), x, y, piece_frame(kind, orientation, colour));
        if (kind == ed.palette_kind) {
            set_faded_color(0, 120, 255);
            platform::draw_line(x - 2, y - 2, x + 36, y - 2, true);
            platform::draw_line(x - 2, y + 36, x + 36, y + 36, true);
            platform::draw_line(x - 2, y - 2, x - 2, y + 36, true);
            platform::draw_line(x + 36, y - 2, x + 36, y + 36, true);
        }
        if (editor_input_open() && left_click == 1 &&
            cursor_strictly_inside(x - 3, y - 3, x + 37, y + 37)) {
            ed.palette_kind = kind;
        }
    }
    // The colour of lasers and lamps and the direction of lasers and translators: a click
    // steps to the next.
    set_faded_color(255, 255, 255);
    const bool coloured = ed.palette_kind == kind_laser || ed.palette_kind == kind_lamp;
    const bool directed = ed.palette_kind == kind_laser || ed.palette_kind == kind_translator;
    int32_t right = 0;
    if (text_button(708, colour_row_y,
                    coloured ? colour_name(ed.palette_kind, ed.palette_colour) : "colour", coloured,
                    right)) {
        ed.palette_colour = (ed.palette_colour + 1) % colour_count_of(ed.palette_kind);
    }
    if (text_button(708, dir_row_y,
                    directed ? dir_names[static_cast<size_t>(ed.palette_dir)] : "direction",
                    directed, right)) {
        ed.palette_dir = (ed.palette_dir + 1) % 8;
    }
    set_faded_color(200, 200, 200);
    draw_bitmap_text(font16, 708, 450, "Lamps: " + std::to_string(lamp_count), 1000);
    draw_bitmap_text(font16, 708, 470, "Lasers: " + std::to_string(laser_source_count), 1000);
    int32_t pieces = 0;
    for (const auto& column : board)
        for (const point& cell : column) pieces += is_movable(cell.kind) ? 1 : 0;
    draw_bitmap_text(font16, 708, 490, "Pieces: " + std::to_string(pieces), 1000);
}

// Build mode's clicks on the board: place, turn, remove.
void build_board_input() {
    int32_t column = 0, row = 0;
    const bool on_board = pixel_to_cell(cursor_x, cursor_y, column, row);
    if (left_click == 1 && on_board) {
        if (!build_place_at(column, row, ed.palette_kind)) build_turn_fixed_at(column, row);
    }
    turn_piece();
    if (right_click == 1 && on_board) build_remove_at(column, row);
}

// The build's undo around a pass's input, as the play screen's undo does for moves: a piece
// held keeps the move open until it is let go.
void begin_build_move() {
    if (ed.build_move_open == 1 || turning == 1) return;
    ed.build_move_start = built_level();
    ed.build_move_open = 1;
}

void end_build_move() {
    if (ed.build_move_open == 0 || turning == 1) return;
    ed.build_move_open = 0;
    const level_data now = built_level();
    if (same_level(ed.build_move_start, now)) return;
    push_build_step(ed.build_move_start);
    ed.edit_level = now;
}

// The keys are read in every pass, so that a press made while a window was up is not acted on
// later. Test mode leaves undo's keys to the play screen's undo.
void editor_keys(bool act) {
    const bool ctrl = platform::key_down(platform::key_ctrl) != 0;
    const bool c = platform::key_hit('c') != 0;
    const bool v = platform::key_hit('v') != 0;
    if (act && ctrl && c) copy_level_code();
    if (act && ctrl && v) paste_level_code();
    if (ed.editor_mode != editor_build) return;
    const bool z = platform::key_hit('z') != 0;
    const bool y = platform::key_hit('y') != 0;
    const bool backspace = platform::key_hit(key_backspace) != 0;
    if (!act) return;
    if ((ctrl && z) || backspace) {
        build_undo_move();
    } else if (ctrl && y) {
        build_redo_move();
    }
}

// The test board: cleared and loaded from the level as the play screen loads a level file.
void place_test_board() {
    clear_board_cells();
    place_level(ed.edit_level);
    clear_move_history();
    select_stocked_slot();
    ed.test_won = 0;
}

void test_board_input() {
    select_slot();
    const bool open = editor_input_open();
    undo_keys(open);
    if (open) board_moves();
}

void check_test_result() {
    if (last_trace().exploded_count > 0) {
        place_test_board();
        raise_notice("A bomb went off: the test starts again", notice_then_nothing);
        return;
    }
    if (ed.test_won == 0 && lamp_count > 0 && lit_count == lamp_count && message_shown == 0 &&
        fading == 0) {
        ed.test_won = 1;
        platform::play_sound(sound_new1);
        set_status("Test won: every lamp is lit");
        raise_notice("Every lamp is lit: the level is won", notice_then_nothing);
    }
}

// Typed text goes into the file name or the note; Enter keeps it, Escape drops it.
void take_typed_text() {
    const int32_t c = platform::get_char();
    if (c == 0) return;
    const size_t limit = ed.text_entry == entry_note ? 255 : custom_name_max_length;
    if (c == key_escape) {
        ed.text_entry = entry_none;
        set_status("");
    } else if (c == key_enter) {
        const int32_t entry = ed.text_entry;
        ed.text_entry = entry_none;
        if (entry == entry_note) {
            level_data before = ed.edit_level;
            ed.edit_level.text = ed.typed_text;
            if (!same_level(before, ed.edit_level)) push_build_step(before);
            set_status("Note kept");
        } else {
            save_custom_level(ed.typed_text);
        }
    } else if (c == key_backspace) {
        if (!ed.typed_text.empty()) ed.typed_text.pop_back();
    } else if (c >= 32 && c <= 122 && ed.typed_text.size() < limit) {
        // A file name has no spaces: the list shows names as they are.
        if (!(ed.text_entry == entry_file_name && c == ' ')) ed.typed_text.push_back(char(c));
    }
}

void draw_text_entry() {
    set_faded_color(255, 255, 255);
    platform::draw_image(image_message_window, 200, 200, 0);
    // The note is shown as its window will show it to the player, wrapped the same way.
    const bool note = ed.text_entry == entry_note;
    const std::string caret = (platform::millisecs() / 400) % 2 == 0 ? "_" : " ";
    if (note) {
        draw_window_text(font16, 220, 220, ed.typed_text + caret, 350);
    } else {
        draw_bitmap_text(font16, 220, 220, "File name:", 1000);
        set_faded_color(255, 255, 100);
        draw_bitmap_text(font24, 220, 250, ed.typed_text + caret, 1000);
    }
    set_faded_color(200, 200, 200);
    draw_bitmap_text(font16, 220, 362, "Enter: keep    Escape: cancel", 1000);
}

void draw_critic_line() {
    if (ed.critic_child != 0) {
        // The progress of a search that cannot tell its end: the time used of the limit.
        const int32_t used = platform::child_running_ms(ed.critic_child);
        const int32_t width = 200 * std::min(used, critic_time_limit_ms) / critic_time_limit_ms;
        set_faded_color(255, 220, 120);
        draw_bitmap_text(font16, 40, critic_line_y,
                         "The critic is at work... " + std::to_string(used / 1000) + " s", 1000);
        set_faded_color(90, 90, 110);
        platform::draw_line(300, critic_line_y + 8, 500, critic_line_y + 8, true);
        set_faded_color(255, 220, 120);
        for (int32_t dy = 6; dy <= 10; ++dy)
            platform::draw_line(300, critic_line_y + dy, 300 + width, critic_line_y + dy, true);
        return;
    }
    if (ed.verdict_text.empty()) return;
    const std::string first = ed.verdict_text.substr(0, ed.verdict_text.find('\n'));
    const bool current = ed.verdict_code == encode_level_code(ed.edit_level);
    set_faded_color(current ? 160 : 110, current ? 230 : 110, current ? 160 : 110);
    draw_bitmap_text(font16, 40, critic_line_y, current ? first : first + " (since changed)", 660);
}

// The verdict in a window of its own, each of its lines starting a line of the window (a long
// one wraps); a click closes it.
void draw_verdict_window() {
    constexpr int32_t left = 60, top = 120, right = 740, bottom = 470;
    constexpr int32_t text_left = left + 20, text_width_max = right - left - 40;
    draw_glass_box(left, top, right, bottom);
    set_faded_color(255, 255, 255);
    draw_bitmap_text(font24, text_left, top + 10, "The critic's verdict", 1000);
    int32_t y = top + 50;
    std::string line;
    const auto put_line = [&]() {
        if (y < bottom - 50) draw_bitmap_text(font16, text_left, y, line, 1000);
        y += 22;
        line.clear();
    };
    set_faded_color(220, 230, 255);
    size_t start = 0;
    while (start < ed.verdict_text.size()) {
        size_t end = ed.verdict_text.find('\n', start);
        if (end == std::string::npos) end = ed.verdict_text.size();
        const std::string text = ed.verdict_text.substr(start, end - start);
        size_t word_start = 0;
        while (word_start <= text.size()) {
            size_t word_end = text.find(' ', word_start);
            if (word_end == std::string::npos) word_end = text.size();
            const std::string word = text.substr(word_start, word_end - word_start);
            const std::string longer = line.empty() ? word : line + " " + word;
            if (!line.empty() && text_width(font16, longer) > text_width_max) {
                put_line();
                line = "  " + word;
            } else {
                line = longer;
            }
            word_start = word_end + 1;
        }
        put_line();
        start = end + 1;
    }
    set_faded_color(160, 160, 160);
    draw_bitmap_text(font16, text_left, bottom - 30, "Click to close", 1000);
}

void draw_button_row() {
    int32_t x = 40;
    int32_t right = 0;
    const bool build = ed.editor_mode == editor_build;
    const auto next = [&](const std::string& label, bool usable) {
        const bool clicked = text_button(x, button_row_y, label, usable, right);
        x = right + 16;
        return clicked;
    };
    if (next(build ? "Test" : "Build", true)) {
        if (build) {
            enter_test_mode();
        } else {
            enter_build_mode();
        }
    }
    const bool can_undo = build ? !ed.build_undo.empty() : !undo_steps.empty();
    const bool can_redo = build ? !ed.build_redo.empty() : !redo_steps.empty();
    if (next("Undo", can_undo && turning == 0)) {
        if (build) {
            build_undo_move();
        } else {
            undo_move();
        }
    }
    if (next("Redo", can_redo && turning == 0)) {
        if (build) {
            build_redo_move();
        } else {
            redo_move();
        }
    }
    if (next(ed.critic_child != 0 ? "Stop critic" : "Critic", true)) {
        if (ed.critic_child != 0) {
            stop_critic();
            set_status("The critic was stopped");
        } else {
            start_critic();
        }
    }
    if (next("Verdict", !ed.verdict_text.empty())) ed.verdict_shown = 1;
    if (next("Note", build)) {
        ed.typed_text = ed.edit_level.text;
        platform::flush_keys();
        ed.text_entry = entry_note;
    }
    if (next("Save", true)) {
        ed.typed_text = ed.level_name;
        platform::flush_keys();
        ed.text_entry = entry_file_name;
    }
    if (next("Code", true)) copy_level_code();
    if (next("Exit", true)) {
        stop_critic();
        start_fade(ed.started_from_command_line == 1 ? screen_profiles : screen_custom_levels);
    }
}

}  // namespace

bool is_custom_level_name(const std::string& name) {
    return is_safe_profile_name(name) && name.size() <= custom_name_max_length &&
           name.find("..") == std::string::npos && name[0] != '.';
}

std::string custom_level_path(const std::string& name) {
    return std::string(custom_folder) + "\\" + name + custom_level_extension;
}

std::string custom_verdict_path(const std::string& name) {
    return std::string(custom_folder) + "\\" + name + custom_verdict_extension;
}

level_data built_level() {
    level_data level;
    level.text = ed.edit_level.text;
    for (int32_t column = 0; column < board_columns; ++column) {
        for (int32_t row = 0; row < board_rows; ++row) {
            const point& cell = board[column][row];
            int32_t code = 0;
            if (cell.kind == kind_laser) {
                code = level_cell_code(kind_laser, cell.state, cell.colour);
            } else if (cell.kind == kind_lamp) {
                code = level_cell_code(kind_lamp, 0, cell.colour);
            } else if (cell.kind == kind_translator) {
                code = level_cell_code(kind_translator, cell.state, 0);
            } else if (is_turnable(cell.kind)) {
                // A piece still held is stored at the orientation it is being turned to.
                const int32_t orientation = cell.state == 9 ? turn_orientation : cell.state;
                code = level_cell_code(cell.kind, orientation, 0);
            } else if (is_piece(cell.kind)) {
                code = level_cell_code(cell.kind, 0, 0);
            }
            level.cells[static_cast<size_t>(column)][static_cast<size_t>(row)] = code;
        }
    }
    return level;
}

void open_editor(const level_data& level, const std::string& name) {
    stop_critic();
    ed.edit_level = level;
    ed.level_name = name;
    ed.editor_mode = editor_build;
    ed.build_undo.clear();
    ed.build_redo.clear();
    ed.build_move_open = 0;
    ed.text_entry = entry_none;
    ed.replace_name.clear();
    ed.test_won = 0;
    ed.verdict_text.clear();
    ed.verdict_code.clear();
    // A verdict saved with the level comes back with it, as of the level as saved.
    std::vector<uint8_t> bytes;
    if (!name.empty() && platform::read_file(custom_verdict_path(name), bytes, 1 << 16)) {
        ed.verdict_text.assign(bytes.begin(), bytes.end());
        ed.verdict_code = encode_level_code(level);
    }
    clear_move_history();
    show_build_board(level);
    set_status(name.empty() ? "A new level" : "Editing " + name);
}

bool build_place_at(int32_t column, int32_t row, int32_t kind) {
    point& cell = cell_of(column, row);
    if (cell.kind != kind_empty || !is_piece(kind)) return false;
    if (kind == kind_laser && laser_count_on_board() >= max_lasers) {
        set_status("A level holds at most 20 lasers");
        return false;
    }
    cell = point{};
    cell.kind = kind;
    if (kind == kind_laser) cell.colour = ed.palette_colour % 4;
    if (kind == kind_lamp) cell.colour = ed.palette_colour % 7;
    if (kind == kind_laser || kind == kind_translator) cell.state = ed.palette_dir;
    if (is_turnable(kind)) {
        // The button is still down: the piece turns with the pointer as in play.
        cell.state = 9;
        turning = 1;
        turn_x = column;
        turn_y = row;
    }
    sync_build_lasers();
    return true;
}

bool build_turn_fixed_at(int32_t column, int32_t row) {
    point& cell = cell_of(column, row);
    if (cell.kind != kind_laser && cell.kind != kind_translator) return false;
    cell.state = (cell.state + 1) % 8;
    platform::play_sound(sound_povorot);
    sync_build_lasers();
    return true;
}

bool build_remove_at(int32_t column, int32_t row) {
    point& cell = cell_of(column, row);
    if (cell.kind == kind_empty || turning == 1) return false;
    cell = point{};
    sync_build_lasers();
    return true;
}

bool build_undo_move() {
    if (ed.build_undo.empty() || turning == 1) return false;
    ed.build_redo.push_back(built_level());
    ed.edit_level = ed.build_undo.back();
    ed.build_undo.pop_back();
    show_build_board(ed.edit_level);
    return true;
}

bool build_redo_move() {
    if (ed.build_redo.empty() || turning == 1) return false;
    ed.build_undo.push_back(built_level());
    ed.edit_level = ed.build_redo.back();
    ed.build_redo.pop_back();
    show_build_board(ed.edit_level);
    return true;
}

void enter_test_mode() {
    if (turning == 1) return;
    ed.edit_level = built_level();
    ed.editor_mode = editor_test;
    place_test_board();
    set_status("Test: play it as a player would");
}

void enter_build_mode() {
    ed.editor_mode = editor_build;
    clear_move_history();
    show_build_board(ed.edit_level);
    set_status("Build");
}

bool read_custom_level(const std::string& name, level_data& level) {
    std::vector<uint8_t> bytes;
    if (!is_custom_level_name(name)) return false;
    if (!platform::read_file(custom_level_path(name), bytes, size_t{1} << 20)) return false;
    if (!parse_level(bytes, level)) return false;
    for (const auto& column : level.cells)
        for (int32_t code : column)
            if (level_cell_kind(code) == kind_lamp) return true;
    return false;
}

bool open_custom_level(const std::string& name) {
    level_data level;
    if (!read_custom_level(name, level)) {
        set_status("The level " + name + " could not be read");
        return false;
    }
    open_editor(level, name);
    return true;
}

bool save_custom_level(const std::string& name) {
    if (!is_custom_level_name(name)) {
        set_status("Not a name for a level file");
        raise_notice("\"" + name + "\" cannot be a level's file name", notice_then_nothing);
        return false;
    }
    if (ed.editor_mode == editor_build) ed.edit_level = built_level();
    const std::string path = custom_level_path(name);
    if (platform::file_type(path) != 0 && ed.replace_name != name) {
        // Asked once; saving the same name again replaces it.
        ed.replace_name = name;
        raise_notice(
            "A level called " + name + " exists. Save it again under that name to replace it",
            notice_then_nothing);
        set_status("Not saved: " + name + " exists");
        return false;
    }
    platform::create_dir(custom_folder, false);
    const bool judged =
        !ed.verdict_text.empty() && ed.verdict_code == encode_level_code(ed.edit_level);
    const std::string verdict =
        judged ? ed.verdict_text : std::string("Not judged by the critic since the last change\n");
    const bool saved =
        platform::write_file_atomic(path, encode_level(ed.edit_level)) &&
        platform::write_file_atomic(custom_verdict_path(name), {verdict.begin(), verdict.end()});
    ed.replace_name.clear();
    if (!saved) {
        set_status("Not saved: the file could not be written");
        raise_notice("The level could not be saved", notice_then_nothing);
        return false;
    }
    ed.level_name = name;
    set_status("Saved as " + name);
    return true;
}

void start_critic() {
    if (ed.critic_child != 0) return;
    if (ed.editor_mode == editor_build) ed.edit_level = built_level();
    const std::string program =
        ed.critic_program.empty() ? platform::own_executable() : ed.critic_program;
    const std::string code = encode_level_code(ed.edit_level);
    ed.critic_output.clear();
    ed.critic_child = platform::start_child(
        {program, "--critic", code, platform::resolve_path("font\\font16.dat")});
    if (ed.critic_child == 0) {
        set_status("The critic could not be started");
        return;
    }
    ed.verdict_code = code;
    set_status("The critic is judging the level");
}

void stop_critic() {
    if (ed.critic_child == 0) return;
    platform::stop_child(ed.critic_child);
    ed.critic_child = 0;
}

void step_critic() {
    if (ed.critic_child == 0) return;
    if (platform::child_running_ms(ed.critic_child) > critic_time_limit_ms) {
        stop_critic();
        ed.verdict_text = "No verdict: the critic ran out of time (" +
                          std::to_string(critic_time_limit_ms / 1000) + " seconds)\n";
        set_status("The critic ran out of time");
        return;
    }
    // Headless (replays and tests) the game waits for the verdict, so that a script gets the
    // same verdict at the same pass however fast the machine is.
    const int32_t wait = platform::is_headless() ? critic_time_limit_ms : 0;
    const int32_t state = platform::read_child(ed.critic_child, ed.critic_output, wait);
    if (state == 1) return;
    ed.critic_child = 0;
    if (state == 0 && !ed.critic_output.empty()) {
        ed.verdict_text = ed.critic_output;
        set_status("The critic has spoken");
        ed.verdict_shown = 1;
    } else {
        ed.verdict_text = "No verdict: the critic failed on this level\n";
        set_status("The critic failed");
    }
}

bool copy_level_code() {
    if (ed.editor_mode == editor_build && turning == 0) ed.edit_level = built_level();
    if (!platform::set_clipboard_text(encode_level_code(ed.edit_level))) {
        set_status("The code could not be put on the clipboard");
        return false;
    }
    set_status("The level's code is on the clipboard");
    return true;
}

bool paste_level_code() {
    level_data level;
    std::string why;
    const std::string text = platform::clipboard_text();
    if (!decode_level_code(text, level, &why)) {
        raise_notice("That is not a level code the editor can open: " + why, notice_then_nothing);
        set_status("The pasted code was refused");
        return false;
    }
    const level_data before = ed.editor_mode == editor_build ? built_level() : ed.edit_level;
    open_editor(level, "");
    // Opening a code is one step of the build: undo brings back what was there.
    push_build_step(before);
    set_status("Opened a level from its code");
    return true;
}

void editor_screen() {
    // The click that closes the verdict does nothing else.
    if (ed.verdict_shown == 1 && (left_click == 1 || right_click == 1) && fading == 0 &&
        help_shown == 0) {
        ed.verdict_shown = 0;
        left_click = 0;
        right_click = 0;
    }
    draw_play_background();
    set_faded_color(255, 255, 255);
    draw_board_and_beams();
    if (ed.editor_mode == editor_build) {
        undo_build_explosion();
        evaluate_lamps();
        draw_palette();
        sync_build_lasers();
        const bool open = editor_input_open();
        editor_keys(open);
        if (open) {
            begin_build_move();
            build_board_input();
            end_build_move();
        }
    } else {
        evaluate_lamps();
        draw_stock_panel();
        editor_keys(editor_input_open());
        test_board_input();
        check_test_result();
    }
    lit_count = 0;
    step_critic();
    draw_button_row();
    set_faded_color(255, 255, 255);
    const std::string title = ed.level_name.empty() ? "New level" : ed.level_name;
    draw_bitmap_text(
        font16, 40, status_y,
        (ed.editor_mode == editor_build ? "Build: " : "Test: ") + title + "   " + ed.status_text,
        640);
    draw_critic_line();
    set_faded_color(200, 200, 200);
    draw_bitmap_text(font16, 38, 572,
                     ed.editor_mode == editor_build
                         ? "Click: place or turn   Drag: turn   Right click: remove"
                         : "Click: place from the stock   Drag: turn   Right click: take back",
                     640);
    if (ed.text_entry != entry_none) {
        take_typed_text();
        draw_text_entry();
    }
    if (ed.verdict_shown == 1) draw_verdict_window();
    if (fade_count == 31 && next_screen_state != screen_editor) {
        // Leaving: the board is cleared so that the next screen starts clean.
        reset_board();
        clear_board_cells();
    }
}

void refresh_custom_names() {
    ed.custom_names.clear();
    const std::string extension = custom_level_extension;
    for (const std::string& file : platform::list_files(custom_folder)) {
        if (file.size() <= extension.size() || !file.ends_with(extension)) continue;
        const std::string name = file.substr(0, file.size() - extension.size());
        if (is_custom_level_name(name)) ed.custom_names.push_back(name);
    }
    if (ed.custom_selected >= static_cast<int32_t>(ed.custom_names.size())) ed.custom_selected = -1;
}

bool play_custom_level(const std::string& name) {
    level_data level;
    if (!read_custom_level(name, level)) {
        raise_notice(text_level_not_loaded, notice_then_nothing);
        return false;
    }
    std::vector<uint8_t> verdict;
    platform::read_file(custom_verdict_path(name), verdict, 1 << 16);
    begin_custom_play(name, level, start_score_from_verdict({verdict.begin(), verdict.end()}));
    return true;
}

void open_editor_from_command_line(const std::string& file) {
    level_data level;
    ed.started_from_command_line = 1;
    screen_state = screen_editor;
    if (file.empty()) {
        open_editor(level, "");
        return;
    }
    std::vector<uint8_t> bytes;
    std::string why;
    if (!platform::read_file(file, bytes, size_t{1} << 20) || !parse_level(bytes, level, &why)) {
        open_editor(level_data{}, "");
        raise_notice("The file " + file + " is not a level the editor can open" +
                         (why.empty() ? std::string() : ": " + why),
                     notice_then_nothing);
        return;
    }
    // Opened from outside the custom folder: saving asks for a name of its own.
    open_editor(level, "");
    set_status("Opened " + file);
}

namespace {

constexpr int32_t list_left = 240;
constexpr int32_t list_top = 170;
constexpr int32_t list_row_height = 25;
constexpr int32_t list_rows_shown = 11;

// The chosen level's best score, read when the choice changes or the list is entered (a win
// may have just changed it).
void read_selected_best() {
    ed.custom_selected_best = -1;
    level_data level;
    if (ed.custom_selected >= 0 &&
        read_custom_level(ed.custom_names[static_cast<size_t>(ed.custom_selected)], level)) {
        ed.custom_selected_best = custom_best_score(level);
    }
}

}  // namespace

void custom_levels_screen() {
    if (fade_count == 32) {
        // Back from playing one: the play screen plays the 120 levels again.
        custom_play_vars.custom_playing = 0;
        refresh_custom_names();
        // Back from the editor, the level just saved there is the one chosen, ready to play.
        if (ed.custom_selected < 0) {
            const auto named =
                std::find(ed.custom_names.begin(), ed.custom_names.end(), ed.level_name);
            if (named != ed.custom_names.end()) {
                ed.custom_selected = static_cast<int32_t>(named - ed.custom_names.begin());
            }
        }
        read_selected_best();
    }
    set_faded_color(255, 255, 255);
    platform::draw_image(image_main_menu, 0, 0, 0);
    // Below the menu picture's title, which the box must not cover.
    draw_glass_box(200, 110, 600, 560);
    set_faded_color(255, 255, 255);
    draw_bitmap_text(font32, 230, 120, "Custom levels", 1000);

    // A window of the list: the arrow keys walk the choice through every level, and the window
    // follows it, so no level is out of reach however many there are.
    const int32_t count = static_cast<int32_t>(ed.custom_names.size());
    if (editor_input_open() && count > 0) {
        int32_t step = 0;
        if (platform::key_hit(platform::key_arrow_down) != 0) ++step;
        if (platform::key_hit(platform::key_arrow_up) != 0) --step;
        if (step != 0) {
            ed.custom_selected = std::clamp(ed.custom_selected + step, 0, count - 1);
            read_selected_best();
        }
    }
    const int32_t shown = std::min(count, list_rows_shown);
    if (ed.custom_selected >= 0 && ed.custom_selected < ed.custom_first_shown) {
        ed.custom_first_shown = ed.custom_selected;
    }
    if (ed.custom_selected >= ed.custom_first_shown + shown) {
        ed.custom_first_shown = ed.custom_selected - shown + 1;
    }
    ed.custom_first_shown = std::clamp(ed.custom_first_shown, 0, count - shown);
    if (editor_input_open() && left_click == 1 &&
        cursor_strictly_inside(list_left - 10, list_top, 580, list_top + list_row_height * shown)) {
        ed.custom_selected = ed.custom_first_shown + (cursor_y - list_top) / list_row_height;
        read_selected_best();
    }
    for (int32_t i = 0; i < shown; ++i) {
        const int32_t at = ed.custom_first_shown + i;
        if (at == ed.custom_selected) {
            set_faded_color(255, 220, 120);
        } else {
            set_faded_color(200, 200, 200);
        }
        draw_bitmap_text(font24, list_left, list_top + list_row_height * i,
                         ed.custom_names[static_cast<size_t>(at)], 330);
    }
    set_faded_color(200, 200, 200);
    if (ed.custom_names.empty()) {
        draw_bitmap_text(font16, list_left, list_top, "None yet: make one with New level", 1000);
    } else if (count > shown) {
        draw_bitmap_text(font16, list_left, list_top + list_row_height * shown + 4,
                         std::to_string(ed.custom_first_shown + 1) + " to " +
                             std::to_string(ed.custom_first_shown + shown) + " of " +
                             std::to_string(count) + ": the arrow keys show the others",
                         1000);
    }

    const bool chosen = ed.custom_selected >= 0;
    if (chosen) {
        set_faded_color(255, 220, 120);
        draw_bitmap_text(font16, 230, 480,
                         ed.custom_selected_best >= 0
                             ? "Best score: " + std::to_string(ed.custom_selected_best)
                             : "Not won yet",
                         1000);
    }
    int32_t right = 0;
    if (text_button(230, 505, "New level", true, right)) {
        open_editor(level_data{}, "");
        start_fade(screen_editor);
    }
    if (text_button(right + 24, 505, "Edit", chosen, right) &&
        open_custom_level(ed.custom_names[static_cast<size_t>(ed.custom_selected)])) {
        start_fade(screen_editor);
    }
    if (text_button(right + 24, 505, "Play", chosen, right)) {
        play_custom_level(ed.custom_names[static_cast<size_t>(ed.custom_selected)]);
    }
    if (text_button(right + 24, 505, "Back", true, right)) start_fade(screen_galaxy_map);
}

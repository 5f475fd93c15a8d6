// The galaxy map: the pack tables, the pack-opening step, the map with its markers and level
// panel, and the ending shown once the last pack is completed.
#include "profiles/galaxy_map.h"

#include <cstdlib>
#include <string>

#include "app/app_state.h"
#include "app/assets.h"
#include "app/bitmap_font.h"
#include "app/menu_buttons.h"
#include "app/screens.h"
#include "profiles/pack_rules.h"
#include "profiles/profiles_state.h"

namespace {

// Marker centres, x * 1000 + y, pack 0 first.
constexpr std::array<int32_t, pack_total> marker_centres = {
    109493, 75386,  81302,  113218, 169161, 260106, 370094, 452141, 445232, 396303,
    322374, 284468, 374533, 439547, 534538, 595479, 645404, 690321, 704247, 698151};

// The resting marker is the last frame of the opening animation.
constexpr int32_t marker_resting_frame = 58;
constexpr int32_t introduction_frames = 116;
// The level panel's title runs from 20 pixels inside its left edge to 15 inside its right.
constexpr int32_t panel_title_width = 215;

void draw_marker(int32_t pack, int32_t frame) {
    platform::draw_image(image_passed_level, pack_position_x(pack_positions[pack]),
                         pack_position_y(pack_positions[pack]), frame);
}

void open_panel_at(int32_t pack, int32_t x, int32_t y) {
    open_pack = pack;
    panel_x = shifted_panel_x(x);
    panel_y = shifted_panel_y(y);
}

}  // namespace

void init_pack_positions() { pack_positions = marker_centres; }

void init_pack_names() {
    pack_names = {"Mirrors",       "Bonus scores",     "Color objects", "Walls",
                  "Bombs",         "Try other levels", "---------",     "Prisms",
                  "Double prisms", "Combo levels",     "Combo levels",  "Combo levels",
                  "Color spheres", "Combo colors",     "Combo levels",  "Combo levels",
                  "Combo levels",  "Combo levels",     "Combo levels",  "Combo levels"};
}

void open_next_pack() {
    const pack_opening step = next_pack_opening(current_level, level_best_score, pack_access);
    if (!step.changes_new_pack) return;
    new_pack = step.new_pack;
    // A pack that was closed until now is introduced on the map from its first frame.
    if (step.pack_to_open >= 0 && new_pack == step.pack_to_open) new_pack_frame = 0;
    if (step.pack_to_open >= 0) pack_access[step.pack_to_open] = 1;
}

void galaxy_map_screen() {
    const int32_t pulsing_pack = first_unfinished_pack(level_best_score);

    set_faded_color(255, 255, 255);
    platform::draw_image(image_galaxy_map, 0, 0, 0);
    const int32_t t = menu_button_tint;
    set_faded_color(t, t, 255);
    platform::draw_image(image_btn_main_menu, 585, 560, 0);
    set_faded_color(255, 255, 255);
    draw_bitmap_text(font32, 540, 10, "All score: " + std::to_string(total_score), 1000);
    pulse_phase = (pulse_phase + 5) % 511;

    if (fading == 0) {
        // No outer bounds: the button reaches the display's edges. It sleeps while a new pack
        // is being introduced.
        const bool hovered =
            cursor_x > 595 && cursor_y > 560 && message_shown == 0 && new_pack == -1;
        if (hovered && left_click == 1) start_fade(screen_main_menu);
        step_button_tint(menu_button_tint, hovered);
    }

    platform::set_blend(4);
    set_faded_color(255, 255, 255);
    for (int32_t pack = 0; pack < pack_total; ++pack) {
        if (pack_access[pack] != 1) continue;
        const int32_t x = pack_position_x(pack_positions[pack]);
        const int32_t y = pack_position_y(pack_positions[pack]);
        if (pack == new_pack) {
            // The introduction waits for the transition to end, then runs frames 0 to 58 at
            // two passes each and opens the pack's panel.
            if (fading == 1) {
                draw_marker(pack, 0);
            } else {
                draw_marker(pack, new_pack_frame / 2);
                if (new_pack_frame >= introduction_frames) {
                    new_pack = -1;
                    open_panel_at(pack, x, y);
                } else {
                    new_pack_frame += 1;
                    if (new_pack_frame == 1) platform::play_sound(sound_new1);
                }
            }
        } else if (new_pack == -1 && pack == pulsing_pack) {
            const int32_t d = std::abs(255 - pulse_phase);
            set_faded_color(d, d, d);
            draw_marker(pack, marker_resting_frame);
            set_faded_color(255, 255, 255);
        } else {
            draw_marker(pack, marker_resting_frame);
        }
        // Strictly within 25 pixels on both axes.
        if (std::abs(cursor_x - x) < 25 && std::abs(cursor_y - y) < 25 && left_click == 1 &&
            open_pack == -1 && new_pack == -1 && message_shown == 0) {
            open_panel_at(pack, cursor_x, cursor_y);
        }
    }
    platform::set_blend(3);
    draw_level_panel();
    draw_editor_button();
}

void draw_editor_button() {
    // The bottom-left corner is free of markers: the editor and the custom levels start here.
    const bool hovered = fading == 0 && message_shown == 0 && new_pack == -1 && open_pack == -1 &&
                         cursor_strictly_inside(editor_button_left - 6, editor_button_top - 4,
                                                editor_button_left + 90, editor_button_top + 30);
    set_text_button_color(true, hovered);
    draw_bitmap_text(font24, editor_button_left, editor_button_top, "Editor", 1000);
    if (hovered && left_click == 1) start_fade(screen_custom_levels);
}

void draw_level_panel() {
    set_faded_color(200, 200, 200);
    if (open_pack < 0) return;
    const int32_t px = panel_x;
    const int32_t py = panel_y;
    platform::draw_image(image_popup_menu, px, py, 0);
    set_faded_color(255, 255, 255);
    // A title too long for the panel in the large font takes the small one, on the same
    // middle line.
    const std::string title = std::to_string(open_pack + 1) + "-" + pack_names[open_pack];
    if (text_width(font24, title) <= panel_title_width) {
        draw_bitmap_text(font24, px + 20, py + 5, title, 1000);
    } else {
        draw_bitmap_text(font16, px + 20, py + 9, title, panel_title_width);
    }

    for (int32_t k = 0; k < levels_per_pack; ++k) {
        const int32_t level = levels_per_pack * open_pack + k;
        const int32_t lx = px + 15 + 80 * (k % 3);
        const int32_t ly = py + 40 + 25 * (k / 3);
        const int32_t best = level_best_score[level];
        if (best == -1) {
            set_faded_color(255, 255, 255);
        } else {
            set_faded_color(100, 100, 100);
        }
        // A notice over the map holds the panel until its OK.
        const bool hovered = lx - 20 < cursor_x && cursor_x < lx + 60 && ly < cursor_y &&
                             cursor_y < ly + 25 && fading == 0 && message_shown == 0;
        if (hovered) {
            set_faded_color(255, 255, 255);
            draw_bitmap_text(font16, px + 20, py + 110,
                             best == -1 ? "Level not complete" : "Level complete", 1000);
            draw_bitmap_text(font16, px + 20, py + 130,
                             "Hardness: " + hardness_text(level_hardness[level]), 1000);
            draw_bitmap_text(font16, px + 20, py + 150,
                             "Start score: " + std::to_string(level_start_score[level]), 1000);
            draw_bitmap_text(font16, px + 20, py + 170,
                             "Finish score: " + (best >= 0 ? std::to_string(best) : std::string()),
                             1000);
            draw_bitmap_text(font16, px + 20, py + 190, level_time_text(level_time[level]), 1000);
            if (best == -1) {
                set_faded_color(255, 0, 0);
            } else {
                set_faded_color(100, 0, 0);
            }
            if (left_click == 1) {
                // The panel stays open for the player's return.
                start_fade(screen_play);
                current_level = level;
            }
        }
        draw_bitmap_text(font24, lx, ly,
                         std::to_string(open_pack + 1) + "-" + std::to_string(k + 1), 1000);
    }

    set_faded_color(255, 255, 255);
    if (picture_button_hovered(
            message_shown == 0 && cursor_strictly_inside(px + 75, py + 260, px + 175, py + 290),
            image_btn_cancel, image_btn_cancel_active, px + 75, py + 260))
        open_pack = -1;
}

void ending_screen() {
    set_faded_color(255, 255, 255);
    platform::draw_image(image_galaxy_map, 0, 0, 0);
    // Every pack of the galaxy glows at once.
    platform::set_blend(4);
    for (int32_t pack = 0; pack < pack_total; ++pack) {
        if (pack_access[pack] == 1) draw_marker(pack, marker_resting_frame);
    }
    platform::set_blend(3);

    const auto centred = [](const bitmap_font& font, int32_t y, const std::string& text) {
        draw_bitmap_text(font, 400 - text_width(font, text) / 2, y, text, 1000);
    };
    set_faded_color(255, 255, 255);
    platform::draw_image(image_message_window, 200, 200, 0);
    centred(font32, 215, "Congratulations!");
    centred(font16, 265, "Every lamp of the galaxy is lit.");
    centred(font32, 300, "All score: " + std::to_string(total_score));
    set_faded_color(200, 200, 200);
    centred(font16, 360, "Click to return to the galaxy map");

    if (left_click == 1 && message_shown == 0) start_fade(screen_galaxy_map);
}

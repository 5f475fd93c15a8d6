// The profiles screen: type a new player's name, create, choose or delete players, or quit.
//
// Its state (the half-typed name, name entry, the selection) survives leaving and coming back.
// The ten-player notice that create_profile may raise is drawn over this screen by the main
// loop; this screen keeps handling the mouse underneath it.
#include <cstdlib>

#include "app/app_state.h"
#include "app/assets.h"
#include "app/bitmap_font.h"
#include "app/menu_buttons.h"
#include "app/screens.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_state.h"

namespace {

constexpr int32_t max_name_length = 10;
constexpr int32_t list_top = 200;
constexpr int32_t row_height = 25;

// One character a pass at most, so several keys typed in one pass enter one after another.
void take_typed_character() {
    const int32_t c = platform::get_char();
    if (c >= 33 && c <= 122 && int32_t(typed_name.size()) < max_name_length) {
        typed_name.push_back(char(c));
    } else if (c == 8 && !typed_name.empty()) {
        typed_name.pop_back();
    }
}

}  // namespace

void profiles_screen() {
    cursor_phase = (cursor_phase + 1) % 39;

    if (name_entry == 1) take_typed_character();

    set_faded_color(255, 255, 255);
    platform::draw_image(image_main_menu, 0, 0, 0);
    platform::set_blend(3);
    set_faded_color(200, 200, 200);
    platform::draw_image(image_profiles_back, 275, 100, 0);

    // The list's rectangle is open on every side: y 200 and the line below the last row select
    // nothing.
    if (left_click == 1 &&
        cursor_strictly_inside(275, list_top, 525, list_top + row_height * profile_count)) {
        selected_profile = (cursor_y - list_top) / row_height;
    }

    set_faded_color(255, 255, 100);
    draw_bitmap_text(font24, 290, 110, typed_name, 1000);
    const int32_t w = text_width(font24, typed_name);

    if (name_entry == 1) {
        // Glows from dim yellow-brown (d = 0) to bright yellow (d = 20) and back every 39 passes.
        const int32_t d = std::abs(cursor_phase - 20);
        set_faded_color(10 * d + 55, 10 * d + 55, 5 * d);
        platform::draw_line(float(290 + w), 115, float(290 + w), 135, true);
    }

    for (int32_t i = 0; i < profile_count; ++i) {
        if (i == selected_profile) {
            set_faded_color(200, 100, 100);
        } else {
            set_faded_color(200, 200, 200);
        }
        draw_bitmap_text(font24, 300, list_top + row_height * i, profile_names[size_t(i)], 1000);
    }

    set_faded_color(255, 255, 255);
    // Only one branch runs in a pass, so the click that opens name entry does not confirm it.
    if (name_entry == 0) {
        if (picture_button(image_btn_profiles_create, image_btn_profiles_create_active, 341, 160,
                           459, 190)) {
            platform::flush_keys();  // keys typed before name entry began are not part of it
            name_entry = 1;
        }
    } else if (picture_button(image_btn_profiles_ok, image_btn_profiles_ok_active, 341, 160, 459,
                              190)) {
        // A refused name (empty, taken, unsafe, or an eleventh player) ends entry all the same.
        // A player just made is the chosen row, so the OK below takes her at once.
        const int32_t count_before = profile_count;
        create_profile(typed_name);
        if (profile_count > count_before) selected_profile = profile_count - 1;
        name_entry = 0;
        typed_name.clear();
    }

    // Confirming leaves name entry and the typed text as they are, for the next visit.
    if (picture_button(image_btn_profiles_ok, image_btn_profiles_ok_active, 295, 460, 385, 490) &&
        selected_profile >= 0) {
        current_profile = selected_profile;
        load_progress();
        start_fade(screen_main_menu);
    }

    // No confirmation question, so nothing stays selected after a delete: a second click on
    // Delete (a double click) must not take the next player with it.
    if (picture_button(image_btn_profiles_delete, image_btn_profiles_delete_active, 415, 460, 505,
                       490) &&
        selected_profile >= 0) {
        delete_profile(selected_profile);
        selected_profile = -1;
    }

    // The exit button shares its glow with the main menu's. It has no lower edge.
    set_faded_color(exit_button_tint, exit_button_tint, 255);
    platform::draw_image(image_btn_exit, 10, 560, 0);
    const bool exit_hovered = cursor_x > 20 && cursor_x < 95 && cursor_y > 560;
    if (exit_hovered && left_click == 1) quit_game();
    step_button_tint(exit_button_tint, exit_hovered);
}

// The options screen: loudness of the music and of the sounds, the beams' glow, the colour-blind
// aid and full screen. Every change is kept at once in the settings file.
//
// Mouse: the arrows beside a value, or a click on the row's name, which steps it up. Keys:
// Up and Down choose a row, Left and Right change it, Escape goes back to the main menu.
#include <algorithm>
#include <array>
#include <string>

#include "app/app_state.h"
#include "app/assets.h"
#include "app/bitmap_font.h"
#include "app/help_overlay.h"
#include "app/menu_buttons.h"
#include "app/screens.h"
#include "app/settings.h"
#include "profiles/profiles_state.h"

namespace {

constexpr int32_t key_escape = 27;

constexpr int32_t option_music = 0;
constexpr int32_t option_sound = 1;
constexpr int32_t option_beam_glow = 2;
constexpr int32_t option_colour_blind_aid = 3;
constexpr int32_t option_full_screen = 4;
constexpr int32_t option_count = 5;

constexpr std::array<const char*, option_count> option_names = {
    "Music volume", "Sound volume", "Beam glow", "Colour-blind aid", "Full screen"};

constexpr int32_t box_left = 170;
constexpr int32_t box_top = 120;
constexpr int32_t box_right = 630;
constexpr int32_t box_bottom = 440;
constexpr int32_t row_top = 200;
constexpr int32_t row_step = 45;
constexpr int32_t name_x = 200;
constexpr int32_t left_arrow_x = 460;
constexpr int32_t right_arrow_x = 580;
constexpr int32_t arrow_size = 20;
constexpr int32_t volume_step = 10;

std::string on_off(int32_t value) { return value == 1 ? "On" : "Off"; }

std::string option_value(int32_t option) {
    switch (option) {
        case option_music: return std::to_string(settings.music_volume) + "%";
        case option_sound: return std::to_string(settings.sound_volume) + "%";
        case option_beam_glow: return on_off(settings.beam_glow);
        case option_colour_blind_aid: return on_off(settings.colour_blind_aid);
        case option_full_screen: return on_off(platform::full_screen() ? 1 : 0);
        default: return {};
    }
}

// One step of an option (-1 or +1; a switch flips either way), heard or seen at once and
// written to the settings file.
void change_option(int32_t option, int32_t step) {
    switch (option) {
        case option_music:
            settings.music_volume = std::clamp(settings.music_volume + volume_step * step, 0, 100);
            break;
        case option_sound:
            settings.sound_volume = std::clamp(settings.sound_volume + volume_step * step, 0, 100);
            break;
        case option_beam_glow: settings.beam_glow = 1 - settings.beam_glow; break;
        case option_colour_blind_aid:
            settings.colour_blind_aid = 1 - settings.colour_blind_aid;
            break;
        default: platform::set_full_screen(!platform::full_screen()); break;
    }
    platform::set_volumes(settings.music_volume, settings.sound_volume);
    // The new loudness of the sounds, as a sample.
    if (option == option_sound) platform::play_sound(sound_lampon);
    save_settings();
}

// An arrow of a row: the lit picture while hovered; true when clicked.
bool arrow_button(platform::image* plain, platform::image* active, int32_t x, int32_t y) {
    const bool hovered = cursor_strictly_inside(x - 1, y - 1, x + arrow_size, y + arrow_size);
    platform::draw_image(hovered ? active : plain, float(x), float(y), 0);
    return hovered && left_click == 1;
}

}  // namespace

void options_screen() {
    // Keys are read in every pass, so that presses from another screen are dropped during
    // the fade in.
    const bool up = platform::key_hit(platform::key_arrow_up) != 0;
    const bool down = platform::key_hit(platform::key_arrow_down) != 0;
    const bool left = platform::key_hit(platform::key_arrow_left) != 0;
    const bool right = platform::key_hit(platform::key_arrow_right) != 0;
    const bool escape = platform::key_hit(key_escape) != 0;
    const bool input_open = fading == 0 && message_shown == 0 && help_shown == 0;

    set_faded_color(255, 255, 255);
    platform::draw_image(image_main_menu, 0, 0, 0);
    draw_glass_box(box_left, box_top, box_right, box_bottom);
    set_faded_color(255, 255, 255);
    draw_bitmap_text(font32, name_x, box_top + 20, "Options", 1000);

    int32_t clicked_option = -1;
    int32_t clicked_step = 0;
    for (int32_t option = 0; option < option_count; ++option) {
        const int32_t y = row_top + row_step * option;
        if (option == options_row) {
            set_faded_color(255, 230, 120);
        } else {
            set_faded_color(200, 210, 230);
        }
        draw_bitmap_text(font24, name_x, y, option_names[size_t(option)], 1000);
        const std::string value = option_value(option);
        const int32_t value_centre = (left_arrow_x + arrow_size + right_arrow_x) / 2;
        draw_bitmap_text(font24, value_centre - text_width(font24, value) / 2, y, value, 1000);

        set_faded_color(255, 255, 255);
        const bool name_clicked =
            input_open && left_click == 1 &&
            cursor_strictly_inside(name_x - 10, y - 4, left_arrow_x - 10, y + 30);
        const bool less = arrow_button(image_btn_left, image_btn_left_active, left_arrow_x, y + 4);
        const bool more =
            arrow_button(image_btn_right, image_btn_right_active, right_arrow_x, y + 4);
        if (!input_open) continue;
        if (less || more || name_clicked) {
            clicked_option = option;
            clicked_step = less ? -1 : 1;
        }
    }

    set_faded_color(menu_button_tint, menu_button_tint, 255);
    platform::draw_image(image_btn_main_menu, 5, 560, 0);

    if (!input_open) return;

    if (clicked_option >= 0) {
        options_row = clicked_option;
        change_option(clicked_option, clicked_step);
    }
    if (up) options_row = (options_row + option_count - 1) % option_count;
    if (down) options_row = (options_row + 1) % option_count;
    if (left) change_option(options_row, -1);
    if (right) change_option(options_row, 1);

    // The main-menu button as on the credits: anywhere right of x 5, left of 220, below 560.
    const bool menu_hovered = cursor_x > 5 && cursor_x < 220 && cursor_y > 560;
    if ((menu_hovered && left_click == 1) || escape) start_fade(screen_main_menu);
    step_button_tint(menu_button_tint, menu_hovered);
}

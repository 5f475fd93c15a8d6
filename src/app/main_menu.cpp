// The main menu: six tinted buttons over the menu picture.
#include <array>

#include "app/app_state.h"
#include "app/assets.h"
#include "app/help_overlay.h"
#include "app/menu_buttons.h"
#include "app/screens.h"
#include "profiles/profiles_state.h"

namespace {

constexpr int32_t key_o = 'o';

struct menu_button {
    platform::image* const* picture;
    int32_t x, y;                      // where the picture's top-left corner goes
    int32_t left, top, right, bottom;  // hover rectangle, 10 pixels right of the picture
    int32_t* tint;
    int32_t target;  // screen to fade to; -1 quits at once
};

// In drawing and testing order. Neighbouring rectangles share an edge (160, 200, ...), which
// belongs to neither button because the hover test is strict.
const std::array<menu_button, 6>& menu_buttons() {
    static const std::array<menu_button, 6> buttons = {{
        {&image_btn_play_menu, 10, 120, 20, 120, 100, 160, &play_button_tint, screen_galaxy_map},
        {&image_btn_profiles, 10, 160, 20, 160, 165, 200, &profiles_button_tint, screen_profiles},
        {&image_btn_how_to_play, 10, 200, 20, 200, 245, 240, &how_to_play_button_tint,
         screen_how_to_play},
        {&image_btn_credits, 10, 240, 20, 240, 150, 280, &credits_button_tint, screen_credits},
        {&image_btn_exit, 10, 280, 20, 280, 95, 320, &exit_button_tint, -1},
        {&image_btn_options, 10, 320, 20, 320, 150, 360, &options_button_tint, screen_options},
    }};
    return buttons;
}

}  // namespace

void main_menu_screen() {
    set_faded_color(255, 255, 255);
    platform::draw_image(image_main_menu, 0, 0, 0);
    for (const menu_button& b : menu_buttons()) {
        set_faded_color(*b.tint, *b.tint, 255);
        platform::draw_image(*b.picture, float(b.x), float(b.y), 0);
    }

    // Read in every pass, so that an O typed on an earlier screen is dropped while the menu
    // fades in.
    const bool options_key = platform::key_hit(key_o) != 0;
    // While a transition runs, or a notice waits for its OK, the buttons neither react nor
    // change their glow.
    if (fading == 1 || message_shown == 1) return;
    if (options_key && help_shown == 0) start_fade(screen_options);

    for (const menu_button& b : menu_buttons()) {
        const bool hovered = cursor_strictly_inside(b.left, b.top, b.right, b.bottom);
        if (hovered && left_click == 1) {
            if (b.target < 0) quit_game();
            start_fade(b.target);
        }
        step_button_tint(*b.tint, hovered);
    }
}

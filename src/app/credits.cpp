// The credits (with their own music) and the how-to-play picture with its tips.
#include <array>
#include <string_view>

#include "app/app_state.h"
#include "app/assets.h"
#include "app/bitmap_font.h"
#include "app/build_info.h"
#include "app/credits.h"
#include "app/menu_buttons.h"
#include "app/screens.h"
#include "profiles/profiles_state.h"

namespace {

struct placed_text {
    int32_t x, y;
    std::string_view text;
};

// Drawn in font16 without wrapping. The people who made the game are one team; the thanks go
// to the libraries and fonts the game and its content are built with.
constexpr std::array<placed_text, 14> credits_layout = {{
    {40, 30, "Programmer:"},
    {60, 50, "The Beamworks team"},
    {40, 90, "Artist:"},
    {60, 110, "The Beamworks team"},
    {40, 150, "Composer:"},
    {60, 170, "The Beamworks team"},
    {540, 150, "Thanks to:"},
    {560, 170, "SDL2"},
    {560, 190, "libpng"},
    {560, 210, "libjpeg-turbo"},
    {560, 230, "libogg and libvorbis"},
    {560, 250, "cairo and FreeType"},
    {560, 270, "the DejaVu fonts"},
    {560, 290, "GoogleTest"},
}};

// Tips of the eight upper squares of 200 by 200 pixels, row by row from the top left. The
// bottom row has none: the tip and the button are drawn there.
constexpr std::array<std::string_view, 8> tips = {
    "This red beam switches on red bulb. So each beam of proper color turn on the lamp of the "
    "same color.",
    "Mirrors reflect a beam. They turn the beam on 90 degrees",
    "You can see future trajectory by means of a dashed line.",
    "Here you can see the a double mirror. It acts as a double-sided mirror but it has a "
    "transparent area between plates.",
    "Prisms refract beam on 135 degrees",
    "Double prisms divide beam into two beams.",
    "Color spheres changes the color of beam. Walls stops light.",
    "To switch on some special bulbs (yellow, sky-blue, violet) you should mix colors of "
    "beams.  ",
};

void draw_main_menu_button() {
    set_faded_color(menu_button_tint, menu_button_tint, 255);
    platform::draw_image(image_btn_main_menu, 5, 560, 0);
}

// The main-menu button reacts anywhere right of x 5, left of 220 and below y 560, whatever the
// size of its picture, and not while a message window is up.
void handle_main_menu_button() {
    const bool hovered = cursor_x > 5 && cursor_x < 220 && cursor_y > 560 && message_shown == 0;
    if (hovered && left_click == 1) start_fade(screen_main_menu);
    step_button_tint(menu_button_tint, hovered);
}

}  // namespace

int32_t tip_square(int32_t x, int32_t y) {
    if (x < 0 || x >= 800 || y < 0 || y >= 600) return 0;
    return (y / 200) * 4 + (x / 200) + 1;
}

std::string_view tip_text(int32_t square) {
    if (square < 1 || square > int32_t(tips.size())) return {};
    return tips[size_t(square - 1)];
}

void credits_screen() {
    // The state changes at fade_count 32, so 31 is the last pass before the credits are left
    // (the main music restarts) and 33 the second pass after they were entered.
    if (fade_count == 31) {
        platform::stop_channel(music_channel);
        music_channel = platform::play_sound(sound_music2);
    }
    if (fade_count == 33) {
        platform::stop_channel(music_channel);
        music_channel = platform::play_sound(sound_aura1);
    }

    set_faded_color(255, 255, 255);
    platform::draw_image(image_logo, 0, 0, 0);
    draw_main_menu_button();
    set_faded_color(200, 255, 255);
    for (const placed_text& t : credits_layout) draw_bitmap_text(font16, t.x, t.y, t.text, 1000);
    // The version, in the same style, in the free space under the makers' names.
    draw_bitmap_text(font16, 40, 210, "Version:", 1000);
    draw_bitmap_text(font16, 60, 230, game_version, 1000);

    if (fading == 1) return;
    handle_main_menu_button();
}

void how_to_play_screen() {
    set_faded_color(255, 255, 255);
    platform::draw_image(image_how_to_play, 0, 0, 0);
    draw_main_menu_button();

    if (fading == 1) return;
    handle_main_menu_button();

    // The tip keeps the button's colour set above: white once the glow is back at rest.
    const std::string_view tip = tip_text(tip_square(cursor_x, cursor_y));
    if (!tip.empty()) draw_bitmap_text(font16, 20, 420, tip, 760);
}

// Every picture of the catalogue loads as the game loads it, with the size and frame count the
// screens rely on, and the play frame is see-through exactly over the board.
#include <gtest/gtest.h>

#include <string>

#include "app/app_state.h"
#include "app/assets.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "support/headless_game.h"

namespace {

struct picture_size {
    const char* name;
    platform::image* asset_globals::*global;
    int32_t width, height, frames;
};

// Sizes of one frame. Buttons are as wide and high as the rectangles they react in (menu
// buttons start 10 pixels before theirs), panels as large as the layouts drawn on them.
const picture_size expected_sizes[] = {
    {"btn_main_menu", &asset_globals::image_btn_main_menu, 215, 40, 1},
    {"btn_exit", &asset_globals::image_btn_exit, 90, 40, 1},
    {"btn_play_menu", &asset_globals::image_btn_play_menu, 95, 40, 1},
    {"btn_profiles", &asset_globals::image_btn_profiles, 160, 40, 1},
    {"btn_how_to_play", &asset_globals::image_btn_how_to_play, 240, 40, 1},
    {"btn_credits", &asset_globals::image_btn_credits, 145, 40, 1},
    {"btn_options", &asset_globals::image_btn_options, 145, 40, 1},
    {"hint_line", &asset_globals::image_hint_line, 550, 20, 2},
    {"main_menu", &asset_globals::image_main_menu, 800, 600, 1},
    {"light", &asset_globals::image_light, 72, 72, 1},
    {"background", &asset_globals::image_background, 800, 600, 1},
    {"background_main", &asset_globals::image_background_main, 800, 600, 1},
    {"laser", &asset_globals::image_laser, 35, 35, 8},
    {"laser_lens", &asset_globals::image_laser_lens, 35, 35, 16},
    {"colour_marks", &asset_globals::image_colour_marks, 13, 13, 7},
    {"lamp", &asset_globals::image_lamp, 35, 35, 7},
    {"wall", &asset_globals::image_wall, 35, 35, 1},
    {"bomb", &asset_globals::image_bomb, 35, 35, 1},
    {"translator", &asset_globals::image_translator, 35, 35, 8},
    {"mirror", &asset_globals::image_mirror, 35, 35, 8},
    {"mirror_big", &asset_globals::image_mirror_big, 100, 88, 1},
    {"double_mirror", &asset_globals::image_double_mirror, 35, 35, 8},
    {"double_mirror_big", &asset_globals::image_double_mirror_big, 100, 88, 1},
    {"prism", &asset_globals::image_prism, 35, 35, 4},
    {"prism_big", &asset_globals::image_prism_big, 100, 88, 1},
    {"double_prism", &asset_globals::image_double_prism, 35, 35, 8},
    {"double_prism_big", &asset_globals::image_double_prism_big, 100, 88, 1},
    {"color_translator", &asset_globals::image_color_translator, 35, 35, 4},
    {"translator_white", &asset_globals::image_translator_white, 100, 88, 1},
    {"translator_red", &asset_globals::image_translator_red, 100, 88, 1},
    {"translator_green", &asset_globals::image_translator_green, 100, 88, 1},
    {"translator_blue", &asset_globals::image_translator_blue, 100, 88, 1},
    {"btn_left", &asset_globals::image_btn_left, 20, 20, 1},
    {"btn_left_active", &asset_globals::image_btn_left_active, 20, 20, 1},
    {"btn_right", &asset_globals::image_btn_right, 20, 20, 1},
    {"btn_right_active", &asset_globals::image_btn_right_active, 20, 20, 1},
    {"message_window", &asset_globals::image_message_window, 400, 200, 1},
    {"btn_galaxy_map", &asset_globals::image_btn_galaxy_map, 180, 40, 1},
    {"btn_galaxy_map_active", &asset_globals::image_btn_galaxy_map_active, 180, 40, 1},
    {"btn_next_level", &asset_globals::image_btn_next_level, 180, 40, 1},
    {"btn_next_level_active", &asset_globals::image_btn_next_level_active, 180, 40, 1},
    {"galaxy_map", &asset_globals::image_galaxy_map, 800, 600, 1},
    {"popup_menu", &asset_globals::image_popup_menu, 250, 300, 1},
    {"btn_cancel", &asset_globals::image_btn_cancel, 100, 30, 1},
    {"btn_cancel_active", &asset_globals::image_btn_cancel_active, 100, 30, 1},
    {"bomb_animation", &asset_globals::image_bomb_animation, 150, 150, 39},
    {"translator_animation", &asset_globals::image_translator_animation, 128, 128, 20},
    {"wall_animation", &asset_globals::image_wall_animation, 128, 128, 20},
    {"lamp_fire", &asset_globals::image_lamp_fire, 150, 150, 68},
    {"passed_level", &asset_globals::image_passed_level, 160, 160, 59},
    {"profiles_back", &asset_globals::image_profiles_back, 250, 400, 1},
    {"btn_profiles_create", &asset_globals::image_btn_profiles_create, 118, 30, 1},
    {"btn_profiles_create_active", &asset_globals::image_btn_profiles_create_active, 118, 30, 1},
    {"btn_profiles_delete", &asset_globals::image_btn_profiles_delete, 90, 30, 1},
    {"btn_profiles_delete_active", &asset_globals::image_btn_profiles_delete_active, 90, 30, 1},
    {"btn_profiles_ok", &asset_globals::image_btn_profiles_ok, 90, 30, 1},
    {"btn_profiles_ok_active", &asset_globals::image_btn_profiles_ok_active, 90, 30, 1},
    {"btn_play", &asset_globals::image_btn_play, 180, 40, 1},
    {"btn_play_active", &asset_globals::image_btn_play_active, 180, 40, 1},
    {"btn_new_galaxy", &asset_globals::image_btn_new_galaxy, 180, 40, 1},
    {"btn_new_galaxy_active", &asset_globals::image_btn_new_galaxy_active, 180, 40, 1},
    {"how_to_play", &asset_globals::image_how_to_play, 800, 600, 1},
    {"logo", &asset_globals::image_logo, 800, 600, 1},
};

class catalogue_test : public headless_game_test {};

TEST_F(catalogue_test, every_picture_loads_with_its_size_and_frames) {
    load_images();
    for (const picture_size& p : expected_sizes) {
        SCOPED_TRACE(p.name);
        const platform::image* img = asset_vars.*p.global;
        ASSERT_NE(img, nullptr);
        EXPECT_EQ(platform::image_width(img), p.width);
        EXPECT_EQ(platform::image_height(img), p.height);
        EXPECT_EQ(platform::image_frames(img), p.frames);
    }
}

TEST_F(catalogue_test, every_sound_loads) {
    load_sounds();
    for (platform::sound* s : {sound_povorot, sound_lampon, sound_new1, sound_explo, sound_trans,
                               sound_aura1, sound_music2}) {
        EXPECT_NE(s, nullptr);
    }
    // Start-up's last step: the background music plays.
    EXPECT_NE(music_channel, 0);
}

uint32_t rgb_of(uint32_t argb) { return argb & 0xFFFFFFu; }

TEST_F(catalogue_test, the_play_frame_shows_the_board_through_and_covers_the_rest) {
    load_images();
    platform::cls();
    platform::set_blend(3);
    platform::set_color(255, 255, 255);
    platform::draw_image(image_background_main, 0, 0, 0);
    using platform::headless::pixel;
    // The board's four corner cells and its middle show the cleared (black) screen.
    for (auto [x, y] : {std::pair{35, 75}, {699, 75}, {35, 564}, {699, 564}, {367, 320}}) {
        EXPECT_EQ(rgb_of(pixel(x, y)), 0u) << x << "," << y;
    }
    // One pixel outside the board on every side, the frame is drawn.
    for (auto [x, y] :
         {std::pair{34, 300}, {700, 300}, {367, 74}, {367, 565}, {10, 10}, {750, 300}}) {
        EXPECT_NE(rgb_of(pixel(x, y)), 0u) << x << "," << y;
    }
}

// The game makes pure black transparent in pictures without alpha. The full-screen JPEGs
// must have none, or the screen behind (black, or the last frame) would show through them.
TEST_F(catalogue_test, full_screen_jpegs_have_no_see_through_pixels) {
    load_images();
    auto fill_magenta = [] {
        platform::set_blend(3);
        platform::set_color(255, 0, 255);
        for (int32_t y = 0; y < 600; ++y) platform::draw_line(0, y, 799, y, true);
        platform::set_color(255, 255, 255);
    };
    for (platform::image* img :
         {image_main_menu, image_background, image_galaxy_map, image_how_to_play}) {
        fill_magenta();
        platform::draw_image(img, 0, 0, 0);
        int32_t see_through = 0;
        for (int32_t y = 0; y < 600; ++y) {
            for (int32_t x = 0; x < 800; ++x) {
                if (rgb_of(platform::headless::pixel(x, y)) == 0xFF00FFu) ++see_through;
            }
        }
        EXPECT_EQ(see_through, 0);
    }
    // The check can see masking at all: a strip's black corner lets the magenta through.
    fill_magenta();
    platform::draw_image(image_lamp_fire, 400, 300, 67);
    EXPECT_EQ(rgb_of(platform::headless::pixel(400 - 74, 300 - 74)), 0xFF00FFu);
}

// Animation strips are drawn added to the screen, where black adds nothing: their corners
// must be black so that no square edge shows around an explosion or a glow.
TEST_F(catalogue_test, animation_cells_fade_to_black_at_their_corners) {
    load_images();
    struct strip {
        platform::image* img;
        int32_t cell;
    };
    for (const strip& s : {strip{image_bomb_animation, 150}, strip{image_translator_animation, 128},
                           strip{image_wall_animation, 128}, strip{image_lamp_fire, 150},
                           strip{image_passed_level, 160}}) {
        for (int32_t frame :
             {0, platform::image_frames(s.img) / 2, platform::image_frames(s.img) - 1}) {
            platform::cls();
            platform::set_blend(4);
            platform::set_color(255, 255, 255);
            // Centred handles: the cell's top-left lands at (400 - cell / 2, 300 - cell / 2).
            platform::draw_image(s.img, 400, 300, frame);
            const int32_t half = s.cell / 2;
            for (auto [dx, dy] : {std::pair{-half + 1, -half + 1},
                                  {half - 2, -half + 1},
                                  {-half + 1, half - 2},
                                  {half - 2, half - 2}}) {
                const uint32_t c = rgb_of(platform::headless::pixel(400 + dx, 300 + dy));
                EXPECT_LE((c >> 16) + ((c >> 8) & 0xFF) + (c & 0xFF), 12u)
                    << "frame " << frame << " corner " << dx << "," << dy;
            }
        }
    }
}

}  // namespace

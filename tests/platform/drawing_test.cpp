// Drawing on the headless display: blend modes, tint, masking of loaded pictures, animation
// strips, lines, rotation, the built-in font and screenshots.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/headless.h"
#include "platform/platform.h"
#include "support/headless_game.h"
#include "test_pictures.h"

namespace {

using platform::headless::pixel;

struct rgb {
    int32_t r, g, b;
};

rgb colour_of(uint32_t p) {
    return {static_cast<int32_t>((p >> 16) & 0xFF), static_cast<int32_t>((p >> 8) & 0xFF),
            static_cast<int32_t>(p & 0xFF)};
}

// SDL's blending rounds in its own way; two steps either side are the same colour.
::testing::AssertionResult near_colour(uint32_t actual, rgb expected, int32_t tolerance = 2) {
    const rgb a = colour_of(actual);
    if (std::abs(a.r - expected.r) <= tolerance && std::abs(a.g - expected.g) <= tolerance &&
        std::abs(a.b - expected.b) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "got (" << a.r << ", " << a.g << ", " << a.b << "), expected (" << expected.r << ", "
           << expected.g << ", " << expected.b << ")";
}

std::vector<uint32_t> flat(int32_t width, int32_t height, uint32_t colour) {
    return std::vector<uint32_t>(static_cast<size_t>(width * height), colour);
}

class drawing_test : public headless_game_test {
protected:
    // A flat opaque picture, drawn solid as the ground that blending works against.
    platform::image* ground(uint32_t colour) {
        write_test_png(path_in_game("ground.png"), 8, 8, flat(8, 8, colour), false);
        return platform::load_image("ground.png", 0);
    }
    void draw_ground(platform::image* g, float x, float y) {
        platform::set_blend(2);
        platform::set_color(255, 255, 255);
        platform::set_alpha(1.0f);
        platform::draw_image(g, x, y, 0);
    }
};

struct blend_case {
    const char* name;
    int32_t mode;
    float alpha;      // set_alpha
    uint32_t source;  // the picture's pixel, with its own alpha
    rgb tint;         // set_color
    rgb expected;     // over the ground (40, 80, 120)
};

class blend_mode_test : public drawing_test, public ::testing::WithParamInterface<blend_case> {};

TEST_P(blend_mode_test, mixes_the_picture_with_what_is_under_it) {
    const blend_case& c = GetParam();
    platform::image* g = ground(0xFF285078);
    write_test_png(path_in_game("piece.png"), 8, 8, flat(8, 8, c.source), true);
    platform::image* piece = platform::load_image("piece.png", 1);
    ASSERT_NE(g, nullptr);
    ASSERT_NE(piece, nullptr);
    draw_ground(g, 100, 100);
    platform::set_blend(c.mode);
    platform::set_alpha(c.alpha);
    platform::set_color(c.tint.r, c.tint.g, c.tint.b);
    platform::draw_image(piece, 100, 100, 0);
    EXPECT_TRUE(near_colour(pixel(103, 103), c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    modes, blend_mode_test,
    ::testing::Values(
        // Mask: no blending at all; alpha at or above one half is drawn whole, below is not.
        blend_case{"mask_opaque_enough", 1, 1.0f, 0x80C86432, {255, 255, 255}, {200, 100, 50}},
        blend_case{"mask_too_clear", 1, 1.0f, 0x7FC86432, {255, 255, 255}, {40, 80, 120}},
        blend_case{"mask_ignores_set_alpha", 1, 0.2f, 0xFFC86432, {255, 255, 255}, {200, 100, 50}},
        blend_case{"solid", 2, 0.3f, 0x10C86432, {255, 255, 255}, {200, 100, 50}},
        // Alpha: source x a + ground x (1 - a), a the picture's alpha times set_alpha.
        blend_case{"alpha_own", 3, 1.0f, 0x80C86432, {255, 255, 255}, {120, 90, 85}},
        blend_case{"alpha_half", 3, 0.5f, 0xFFC86432, {255, 255, 255}, {120, 90, 85}},
        // An opaque picture at full alpha covers the ground, tinted like any other.
        blend_case{"alpha_opaque", 3, 1.0f, 0xFFC86432, {255, 255, 255}, {200, 100, 50}},
        blend_case{"tinted_alpha_opaque", 3, 1.0f, 0xFFC86432, {255, 0, 128}, {200, 0, 25}},
        // Light: ground + source x a.
        blend_case{"light", 4, 1.0f, 0x80C86432, {255, 255, 255}, {140, 130, 145}},
        blend_case{"light_saturates", 4, 1.0f, 0xFFFFFFFF, {255, 255, 255}, {255, 255, 255}},
        // Shade: source x ground.
        blend_case{"shade", 5, 1.0f, 0xFFC86432, {255, 255, 255}, {31, 31, 24}},
        // The tint multiplies the picture in every mode.
        blend_case{"tinted_solid", 2, 1.0f, 0xFFC86432, {255, 0, 128}, {200, 0, 25}},
        blend_case{"tinted_light", 4, 1.0f, 0xFF646464, {0, 255, 0}, {40, 180, 120}}),
    [](const ::testing::TestParamInfo<blend_case>& info) { return info.param.name; });

// The solution view fades its pieces in pass by pass; one picture drawn at several alphas in
// one pass, or at a new alpha in the next, must show each at its own.
TEST_F(drawing_test, a_picture_drawn_at_changing_alphas_blends_at_each) {
    platform::image* g = ground(0xFF285078);
    write_test_png(path_in_game("piece.png"), 8, 8, flat(8, 8, 0xFFC86432), true);
    platform::image* piece = platform::load_image("piece.png", -1);
    ASSERT_NE(piece, nullptr);
    const float alphas[] = {0.5f, 0.25f, 1.0f, 0.5f};
    for (int32_t pass = 0; pass < 2; ++pass) {
        for (int32_t i = 0; i < 4; ++i) {
            const float x = static_cast<float>(100 + 10 * i);
            draw_ground(g, x, 100);
            platform::set_blend(3);
            platform::set_alpha(alphas[(i + pass) % 4]);
            platform::draw_image(piece, x, 100, 0);
        }
        for (int32_t i = 0; i < 4; ++i) {
            const float a = alphas[(i + pass) % 4];
            const rgb expected{static_cast<int32_t>(200 * a + 40 * (1 - a)),
                               static_cast<int32_t>(100 * a + 80 * (1 - a)),
                               static_cast<int32_t>(50 * a + 120 * (1 - a))};
            EXPECT_TRUE(near_colour(pixel(103 + 10 * i, 103), expected))
                << "pass " << pass << ", alpha " << a;
        }
        platform::flip(0);
    }
}

TEST_F(drawing_test, masking_makes_black_transparent_only_in_pictures_without_alpha) {
    // Left 8 by 8 block black, right block grey: flat blocks survive JPEG nearly exactly.
    std::vector<uint32_t> picture(16 * 8);
    for (int32_t y = 0; y < 8; ++y) {
        for (int32_t x = 0; x < 16; ++x) {
            picture[static_cast<size_t>(y * 16 + x)] = x < 8 ? 0xFF000000 : 0xFFC8C8C8;
        }
    }
    write_test_jpeg(path_in_game("strip.jpg"), 16, 8, picture);
    write_test_png(path_in_game("alpha.png"), 16, 8, picture, true);
    platform::image* g = ground(0xFF285078);
    platform::image* jpeg_masked = platform::load_image("strip.jpg", 1);
    platform::image* jpeg_plain = platform::load_image("strip.jpg", 0);
    platform::image* png_alpha = platform::load_image("alpha.png", -1);
    ASSERT_NE(jpeg_masked, nullptr);
    ASSERT_NE(jpeg_plain, nullptr);
    ASSERT_NE(png_alpha, nullptr);
    struct row {
        platform::image* img;
        float y;
        rgb black_part;
    };
    for (const row& r : {row{jpeg_masked, 0, {40, 80, 120}}, row{jpeg_plain, 20, {0, 0, 0}},
                         row{png_alpha, 40, {0, 0, 0}}}) {
        draw_ground(g, 0, r.y);
        platform::set_blend(1);
        platform::draw_image(r.img, 0, r.y, 0);
        EXPECT_TRUE(near_colour(pixel(4, static_cast<int32_t>(r.y) + 4), r.black_part))
            << "picture at y " << r.y;
    }
}

TEST_F(drawing_test, a_masked_pixel_takes_the_average_colour_of_its_unmasked_neighbours) {
    // A lossless picture without alpha, so the averages are exact:
    //   red    black  green
    //   black  black  black
    //   blue   black  white
    const std::vector<uint32_t> picture = {0xFFC80000, 0xFF000000, 0xFF006400,
                                           0xFF000000, 0xFF000000, 0xFF000000,
                                           0xFF00003C, 0xFF000000, 0xFFFFFFFF};
    write_test_png(path_in_game("grid.png"), 3, 3, picture, false);
    write_test_png(path_in_game("night.png"), 2, 2, flat(2, 2, 0xFF000000), false);
    platform::image* grid = platform::load_image("grid.png", 1);
    platform::image* night = platform::load_image("night.png", 1);
    ASSERT_NE(grid, nullptr);
    ASSERT_NE(night, nullptr);
    // Solid mode writes the picture's pixels as they are, alpha included.
    platform::set_blend(2);
    platform::draw_image(grid, 10, 10, 0);
    platform::draw_image(night, 20, 10, 0);
    EXPECT_EQ(pixel(10, 10), 0xFFC80000u);
    EXPECT_EQ(pixel(11, 10), 0x00643200u);  // red and green
    EXPECT_EQ(pixel(10, 11), 0x0064001Eu);  // red and blue
    EXPECT_EQ(pixel(11, 11), 0x0071584Eu);  // all four: (455, 355, 315) / 4
    EXPECT_EQ(pixel(12, 11), 0x007FB17Fu);  // green and white
    EXPECT_EQ(pixel(12, 12), 0xFFFFFFFFu);
    EXPECT_EQ(pixel(20, 10), 0x00000000u);  // nothing but black around: black
}

TEST_F(drawing_test, missing_or_broken_pictures_give_no_image_and_draw_nothing) {
    std::FILE* f = std::fopen(path_in_game("broken.png").c_str(), "wb");
    std::fputs("\x89PNG\r\n\x1a\n not really", f);
    std::fclose(f);
    EXPECT_EQ(platform::load_image("images\\nothing_here.png", -1), nullptr);
    EXPECT_EQ(platform::load_image("broken.png", -1), nullptr);
    EXPECT_EQ(platform::load_anim_image("broken.png", 2, 2, 0, 1, -1), nullptr);
    platform::draw_image(nullptr, 10, 10, 0);
    EXPECT_EQ(platform::image_width(nullptr), 0);
    EXPECT_EQ(pixel(10, 10), 0xFF000000u);
}

TEST_F(drawing_test, an_animation_strip_is_cut_left_to_right_then_top_to_bottom) {
    // Six 2 by 2 cells in three columns and two rows, each its own grey level 10, 20, ... 60.
    std::vector<uint32_t> picture(6 * 4);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 6; ++x) {
            const uint32_t level = 10u * static_cast<uint32_t>(1 + x / 2 + 3 * (y / 2));
            picture[static_cast<size_t>(y * 6 + x)] = 0xFF000000 | level << 16 | level << 8 | level;
        }
    }
    write_test_png(path_in_game("strip.png"), 6, 4, picture, false);
    platform::image* strip = platform::load_anim_image("strip.png", 2, 2, 1, 4, 0);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(platform::image_frames(strip), 4);
    EXPECT_EQ(platform::image_width(strip), 2);
    EXPECT_EQ(platform::image_height(strip), 2);
    platform::set_blend(2);
    for (int32_t frame = 0; frame < 4; ++frame) {
        platform::draw_image(strip, static_cast<float>(10 * frame), 0, frame);
        const int32_t level = 10 * (frame + 2);
        EXPECT_TRUE(near_colour(pixel(10 * frame + 1, 1), {level, level, level}, 0))
            << "frame " << frame;
    }
    // A frame the strip does not have draws nothing.
    platform::draw_image(strip, 100, 0, 4);
    EXPECT_EQ(pixel(100, 0), 0xFF000000u);
    // Cells past the end of the picture are not kept.
    EXPECT_EQ(platform::image_frames(platform::load_anim_image("strip.png", 2, 2, 4, 10, 0)), 2);
}

// Only the part of a frame that can show is handed to the renderer: the sparks of a frame
// must still land exactly where the whole frame would put them, in every way of drawing, and
// nothing of the neighbouring frames may come with them.
TEST_F(drawing_test, a_sparse_frame_draws_its_sparks_in_place_and_nothing_else) {
    // Three 16 by 16 frames; the outer two are bright all over, the middle one is clear or
    // black but for a red spark at (11, 3) and a green one at (2, 13).
    std::vector<uint32_t> picture(48 * 16, 0xFFFFFFFF);
    for (int32_t y = 0; y < 16; ++y) {
        for (int32_t x = 16; x < 32; ++x) picture[static_cast<size_t>(y * 48 + x)] = 0x00000000;
    }
    picture[3 * 48 + 16 + 11] = 0xFFFF0000;
    picture[13 * 48 + 16 + 2] = 0xFF00FF00;
    std::vector<uint32_t> on_black(picture);
    for (uint32_t& p : on_black) p |= 0xFF000000;  // light: black adds nothing
    write_test_png(path_in_game("sparks.png"), 48, 16, picture, true);
    write_test_png(path_in_game("lit.png"), 48, 16, on_black, false);
    platform::image* sparks = platform::load_anim_image("sparks.png", 16, 16, 0, 3, -1);
    platform::image* lit = platform::load_anim_image("lit.png", 16, 16, 0, 3, 0);
    platform::image* g = ground(0xFF285078);
    ASSERT_NE(sparks, nullptr);
    ASSERT_NE(lit, nullptr);
    struct way {
        int32_t blend;
        platform::image* img;
        rgb red, green;
    };
    const rgb ground_colour{40, 80, 120};
    int32_t at = 0;
    for (const way& w :
         {way{1, sparks, {255, 0, 0}, {0, 255, 0}}, way{3, sparks, {255, 0, 0}, {0, 255, 0}},
          way{4, lit, {255, 80, 120}, {40, 255, 120}}}) {
        const float left = static_cast<float>(20 + 30 * at++);
        for (float y : {100.0f, 108.0f}) {
            for (float x : {left, left + 8}) draw_ground(g, x, y);
        }
        platform::set_blend(w.blend);
        platform::draw_image(w.img, left, 100, 1);
        for (int32_t y = 0; y < 16; ++y) {
            for (int32_t x = 0; x < 16; ++x) {
                const rgb expected = (x == 11 && y == 3)   ? w.red
                                     : (x == 2 && y == 13) ? w.green
                                                           : ground_colour;
                EXPECT_TRUE(near_colour(pixel(static_cast<int32_t>(left) + x, 100 + y), expected))
                    << "blend " << w.blend << " at " << x << ", " << y;
            }
        }
    }
    // A frame with nothing that shows draws nothing, in any of those ways.
    std::vector<uint32_t> clear(16 * 16, 0x00FFFFFF);
    write_test_png(path_in_game("clear.png"), 16, 16, clear, true);
    platform::image* nothing = platform::load_image("clear.png", -1);
    ASSERT_NE(nothing, nullptr);
    for (int32_t blend : {1, 3, 4}) {
        platform::set_blend(blend);
        platform::draw_image(nothing, 300, 300, 0);
    }
    EXPECT_EQ(pixel(305, 305), 0xFF000000u);
}

TEST_F(drawing_test, a_line_includes_its_last_pixel_only_when_asked) {
    platform::set_color(255, 255, 255);
    platform::draw_line(10, 10, 14, 10, false);
    platform::draw_line(10, 20, 14, 24, true);
    for (int32_t x = 10; x < 14; ++x) EXPECT_EQ(pixel(x, 10), 0xFFFFFFFFu) << x;
    EXPECT_EQ(pixel(14, 10), 0xFF000000u);
    for (int32_t i = 0; i <= 4; ++i) EXPECT_EQ(pixel(10 + i, 20 + i), 0xFFFFFFFFu) << i;
    platform::set_color(0, 255, 0);
    platform::plot(50, 50);
    EXPECT_EQ(pixel(50, 50), 0xFF00FF00u);
}

TEST_F(drawing_test, rotation_turns_a_picture_clockwise_about_its_handle) {
    // A bar 10 wide and 2 high: red on the left half, blue on the right.
    std::vector<uint32_t> bar(20);
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 10; ++x)
            bar[static_cast<size_t>(y * 10 + x)] = x < 5 ? 0xFFFF0000 : 0xFF0000FF;
    }
    write_test_png(path_in_game("bar.png"), 10, 2, bar, true);
    platform::image* img = platform::load_image("bar.png", 1);
    ASSERT_NE(img, nullptr);
    platform::mid_handle_image(img);
    platform::set_rotation(90);
    platform::draw_image(img, 100, 100, 0);
    // The left end turns to the top.
    EXPECT_TRUE(near_colour(pixel(100, 97), {255, 0, 0}, 10));
    EXPECT_TRUE(near_colour(pixel(100, 103), {0, 0, 255}, 10));
    EXPECT_EQ(pixel(96, 100), 0xFF000000u);
    platform::set_rotation(0);
    platform::draw_image(img, 200, 100, 0);
    EXPECT_TRUE(near_colour(pixel(196, 99), {255, 0, 0}, 0));  // handle at the centre
    EXPECT_TRUE(near_colour(pixel(203, 100), {0, 0, 255}, 0));
}

TEST_F(drawing_test, text_in_the_built_in_font_takes_the_current_colour) {
    platform::set_color(255, 200, 0);
    platform::draw_text("Loading...", 30, 560);
    int32_t inked = 0;
    for (int32_t y = 560; y < 580; ++y) {
        for (int32_t x = 30; x < 200; ++x) {
            const uint32_t p = pixel(x, y);
            if (p != 0xFF000000u) {
                ++inked;
                EXPECT_EQ(p, 0xFFFFC800u);
            }
        }
    }
    EXPECT_GT(inked, 100);
    // Nothing left of or above the text's corner.
    for (int32_t y = 550; y < 580; ++y) EXPECT_EQ(pixel(29, y), 0xFF000000u);
    for (int32_t x = 20; x < 200; ++x) EXPECT_EQ(pixel(x, 559), 0xFF000000u);
}

TEST_F(drawing_test, a_grabbed_frame_saved_as_png_loads_back_the_same) {
    platform::set_color(10, 20, 30);
    platform::draw_line(0, 0, 799, 599, true);
    platform::set_color(250, 0, 0);
    platform::plot(799, 0);
    platform::pixmap* shot = platform::grab_pixmap(0, 0, 800, 600);
    ASSERT_TRUE(platform::save_pixmap_png(shot, "screens\\shot.bmp", 0));
    platform::free_pixmap(shot);
    EXPECT_FALSE(platform::save_pixmap_png(nullptr, "screens\\none.bmp", 0));
    platform::image* back = platform::load_image("screens\\shot.bmp", 0);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(platform::image_width(back), 800);
    EXPECT_EQ(platform::image_height(back), 600);
    platform::cls();
    platform::set_color(255, 255, 255);
    platform::set_blend(2);
    platform::draw_image(back, 0, 0, 0);
    EXPECT_EQ(pixel(0, 0), 0xFF0A141Eu);
    EXPECT_EQ(pixel(799, 599), 0xFF0A141Eu);
    EXPECT_EQ(pixel(799, 0), 0xFFFA0000u);
    EXPECT_EQ(pixel(400, 10), 0xFF000000u);
}

TEST_F(drawing_test, flip_paces_presents_at_85_a_second_on_the_virtual_clock) {
    platform::flip(-1);  // starts the schedule
    const int32_t start = platform::millisecs();
    for (int32_t i = 0; i < 85; ++i) platform::flip(-1);
    EXPECT_NEAR(platform::millisecs() - start, 1000, 1);
    // A present that comes late restarts the schedule from now instead of catching up.
    platform::headless::advance_clock(50);
    const int32_t late = platform::millisecs();
    platform::flip(-1);
    EXPECT_EQ(platform::millisecs(), late);
    platform::flip(-1);
    EXPECT_EQ(platform::millisecs(), late + 12);
    // The presented frame is what was drawn before the flip.
    platform::set_color(255, 255, 255);
    platform::plot(5, 5);
    EXPECT_EQ(platform::headless::presented_pixel(5, 5), 0xFF000000u);
    platform::flip(-1);
    EXPECT_EQ(platform::headless::presented_pixel(5, 5), 0xFFFFFFFFu);
}

}  // namespace

// What the board shows to make beams and colours easy to read: the glow along every beam, the
// lens of a laser in its beam's colour, and the colour-blind aid's marks and beam patterns.
#include <gtest/gtest.h>

#include <vector>

#include "app/assets.h"
#include "app/settings.h"
#include "board_builder.h"
#include "platform/headless.h"
#include "play/board_drawing.h"
#include "support/headless_game.h"
#include "support/screen_pixels.h"

namespace {

constexpr colour black{0, 0, 0}, red{255, 0, 0}, blue{0, 0, 255};
// The aid's patterns: the beam's colour halfway to white.
constexpr colour light_red{255, 127, 127}, light_green{127, 255, 127}, light_blue{127, 127, 255};

class board_aids_drawing_test : public headless_game_test {
protected:
    void SetUp() override {
        headless_game_test::SetUp();
        settings.beam_glow = 0;
        settings.colour_blind_aid = 0;
    }
};

// A red beam from cell (2, 5) to the right runs along y 267.
TEST_F(board_aids_drawing_test, the_glow_lies_beside_the_beam_and_fades_outwards) {
    board_builder b;
    b.laser_at(2, 5, dir_right, beam_red);
    draw_board_and_beams();
    EXPECT_EQ(pixel(192, 268), black);

    platform::cls();
    settings.beam_glow = 1;
    draw_board_and_beams();
    EXPECT_EQ(pixel(192, 267), red);  // the line itself stays exact
    for (int32_t side : {-1, 1}) {
        const colour near = pixel(192, 267 + side), mid = pixel(192, 267 + 2 * side);
        const colour far = pixel(192, 267 + 3 * side);
        EXPECT_NEAR(near.r, 127, 2) << side;
        EXPECT_EQ(near.g + near.b, 0) << side;
        EXPECT_LT(mid.r, near.r) << side;
        EXPECT_LT(far.r, mid.r) << side;
        EXPECT_GT(far.r, 0) << side;
        EXPECT_EQ(pixel(192, 267 + 4 * side), black) << side;
    }
}

// Every glow goes down before any line: a glow drawn with its own beam would lie over the
// lines drawn before it.
TEST_F(board_aids_drawing_test, no_glow_lies_over_another_beams_line) {
    settings.beam_glow = 1;
    board_builder b;
    b.laser_at(2, 5, dir_right, beam_red);  // along y 267
    b.laser_at(6, 1, dir_down, beam_blue);  // along x 262, across the red one
    draw_board_and_beams();
    EXPECT_EQ(pixel(263, 267), red);
    EXPECT_EQ(pixel(261, 267), red);
    EXPECT_EQ(pixel(262, 240), blue);
    const colour beside_blue = pixel(263, 240);
    EXPECT_EQ(beside_blue.r + beside_blue.g, 0);
    EXPECT_GT(beside_blue.b, 0);
}

TEST_F(board_aids_drawing_test, a_dashed_beam_glows_only_where_it_is_drawn) {
    settings.beam_glow = 1;
    board_builder b;
    b.laser_at(2, 5, dir_right, beam_red);
    b.turning_at(6, 5, kind_mirror, 7);
    draw_board_and_beams();
    // Cell (6, 4) up to cell (6, 3) at x 262: drawn from y 232 down to 222, then from 209.
    EXPECT_GT(pixel(263, 225).r, 0);
    EXPECT_EQ(pixel(263, 213), black);
    EXPECT_GT(pixel(263, 205).r, 0);
}

TEST_F(board_aids_drawing_test, beam_patterns_tell_red_green_and_blue_apart) {
    settings.colour_blind_aid = 1;
    board_builder b;
    b.laser_at(2, 2, dir_right, beam_red);    // along y 162, from x 122
    b.laser_at(2, 5, dir_right, beam_green);  // along y 267
    b.laser_at(2, 8, dir_right, beam_blue);   // along y 372
    b.laser_at(2, 11, dir_right, beam_white);
    draw_board_and_beams();
    // Red: rails three pixels off the line on both sides, unbroken.
    for (int32_t x : {130, 131, 192, 300})
        for (int32_t y : {159, 165}) EXPECT_EQ(pixel(x, y), light_red) << x << ", " << y;
    EXPECT_EQ(pixel(192, 163), black);
    // Green: beads 3 long and 5 wide every 7 pixels, from 3 past the cell's centre.
    for (int32_t x : {124, 125, 126, 131, 159, 161})
        for (int32_t y : {265, 266, 268, 269})
            EXPECT_EQ(pixel(x, y), light_green) << x << ", " << y;
    for (int32_t x : {123, 127, 128, 130}) EXPECT_EQ(pixel(x, 266), black) << x;
    EXPECT_EQ(pixel(125, 270), black);
    // Blue: rungs across, 9 pixels long, every 7 pixels.
    for (int32_t y : {368, 370, 374, 376}) EXPECT_EQ(pixel(125, y), light_blue) << y;
    EXPECT_EQ(pixel(126, 370), black);
    EXPECT_EQ(pixel(125, 377), black);
    // White: the line alone.
    EXPECT_EQ(pixel(125, 476), black);
    EXPECT_EQ(pixel(125, 478), black);
    EXPECT_EQ(pixel(125, 477), (colour{255, 255, 255}));
}

// The patterns leave the dashed line of a piece being turned recognisable: its gap stays empty.
TEST_F(board_aids_drawing_test, a_dashed_beam_keeps_its_gap_under_the_aid) {
    settings.colour_blind_aid = 1;
    board_builder b;
    b.laser_at(2, 5, dir_right, beam_red);
    b.turning_at(6, 5, kind_mirror, 7);
    draw_board_and_beams();
    for (int32_t x : {259, 262, 265}) EXPECT_EQ(pixel(x, 213), black) << x;
    EXPECT_EQ(pixel(259, 225), light_red);
}

// Lenses of lasers pointing up sit 15 pixels above the cell's centre, beside the beam's line.
TEST_F(board_aids_drawing_test, a_lasers_lens_shows_its_colour_lit_or_dark) {
    load_images();
    board_builder b;
    b.laser_at(2, 2, dir_up, beam_red);      // lens around (122, 147)
    b.laser_at(6, 2, dir_up, beam_blue, 0);  // lens around (262, 147), switched off
    draw_board_and_beams();
    const colour lit_red = pixel(124, 147), dark_blue = pixel(264, 147);
    EXPECT_GT(lit_red.r, 200);
    EXPECT_LT(lit_red.g + lit_red.b, 60);
    EXPECT_GT(dark_blue.b, 40);
    EXPECT_LT(dark_blue.b, 160);
    EXPECT_LT(dark_blue.r + dark_blue.g, 20);

    platform::cls();
    laser_sources[0].active = 0;
    draw_board_and_beams();
    const colour dark_red = pixel(124, 147);
    EXPECT_LT(dark_red.r, lit_red.r - 60);
    EXPECT_GT(dark_red.r, 40);
    EXPECT_LT(dark_red.g + dark_red.b, 20);
}

TEST_F(board_aids_drawing_test, the_aid_marks_lamps_lasers_and_spheres_with_their_letter) {
    load_images();
    board_builder b;
    b.put(1, 1, kind_lamp, 0, 4);  // yellow
    b.put(3, 1, kind_blue_sphere);
    b.laser_at(5, 1, dir_down, beam_green);
    b.laser_at(7, 1, dir_left, beam_red);  // barrel to the left: badge in the far corner
    auto badge = [](int32_t column, int32_t row, bool far) {
        const int32_t inset = far ? 21 : 1;
        std::vector<colour> v;
        for (int32_t y = 0; y < 13; ++y)
            for (int32_t x = 0; x < 13; ++x)
                v.push_back(pixel(35 * column + 35 + inset + x, 35 * row + 75 + inset + y));
        return v;
    };
    draw_pieces();
    const auto plain_lamp = badge(1, 1, false), plain_sphere = badge(3, 1, false);
    const auto plain_laser = badge(5, 1, false), plain_left = badge(7, 1, true);

    platform::cls();
    settings.colour_blind_aid = 1;
    draw_pieces();
    EXPECT_NE(badge(1, 1, false), plain_lamp);
    EXPECT_NE(badge(3, 1, false), plain_sphere);
    EXPECT_NE(badge(5, 1, false), plain_laser);
    EXPECT_NE(badge(7, 1, true), plain_left);
    // Each colour its own letter: the yellow lamp's badge is not the blue sphere's.
    EXPECT_NE(badge(1, 1, false), badge(3, 1, false));
    // A white letter on a dark badge, whatever the piece's colour.
    int32_t white = 0, dark = 0;
    for (const colour& c : badge(1, 1, false)) {
        white += c.r > 200 && c.g > 200 && c.b > 200;
        dark += c.r < 40 && c.g < 40 && c.b < 40;
    }
    EXPECT_GT(white, 5);
    EXPECT_GT(dark, 30);
}

}  // namespace

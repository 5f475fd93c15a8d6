// Every piece against every orientation and incoming direction, from the game's rule tables.
#include "board/beam_rules.h"

#include <gtest/gtest.h>

#include "board/board_state.h"

namespace {

constexpr int32_t x = beam_stops;

// Rows: orientation 0 to 7; columns: the direction the beam enters with, 0 to 7.
constexpr int32_t mirror_table[8][8] = {
    {x, x, x, 1, x, 7, x, x},  //
    {x, x, x, x, 2, x, 0, x},  //
    {x, x, x, x, x, 3, x, 1},  //
    {2, x, x, x, x, x, 4, x},  //
    {x, 3, x, x, x, x, x, 5},  //
    {6, x, 4, x, x, x, x, x},  //
    {x, 7, x, 5, x, x, x, x},  //
    {x, x, 0, x, 6, x, x, x},  //
};

// Orientations f and f + 4 of a double mirror act alike: rows 0 to 3.
constexpr int32_t double_mirror_table[4][8] = {
    {x, 3, 2, 1, x, 7, 6, 5},  //
    {6, x, 4, 3, 2, x, 0, 7},  //
    {0, 7, x, 5, 4, 3, x, 1},  //
    {2, 1, 0, x, 6, 5, 4, x},  //
};

// Only the orientation mod 4 of a prism matters: rows 0 to 3.
constexpr int32_t prism_table[4][8] = {
    {x, 2, 1, x, x, 6, 5, x},  //
    {x, x, 3, 2, x, x, 7, 6},  //
    {7, x, x, 4, 3, x, x, 0},  //
    {1, 0, x, x, 5, 4, x, x},  //
};

// Orientation: the direction accepted, the direction the beam goes on in, the new beam's.
constexpr int32_t double_prism_table[8][3] = {
    {4, 6, 2}, {5, 7, 3}, {6, 0, 4}, {7, 1, 5}, {0, 2, 6}, {1, 3, 7}, {2, 4, 0}, {3, 5, 1},
};

TEST(beam_rules, mirror_matches_its_table) {
    for (int32_t f = 0; f < 8; ++f)
        for (int32_t d = 0; d < 8; ++d)
            EXPECT_EQ(piece_exit_dir(kind_mirror, f, d, true), mirror_table[f][d])
                << "orientation " << f << " entering " << d;
}

TEST(beam_rules, double_mirror_matches_its_table_in_all_eight_orientations) {
    for (int32_t f = 0; f < 8; ++f)
        for (int32_t d = 0; d < 8; ++d)
            EXPECT_EQ(piece_exit_dir(kind_double_mirror, f, d, true), double_mirror_table[f % 4][d])
                << "orientation " << f << " entering " << d;
}

TEST(beam_rules, prism_matches_its_table_in_all_eight_orientations) {
    for (int32_t f = 0; f < 8; ++f)
        for (int32_t d = 0; d < 8; ++d)
            EXPECT_EQ(piece_exit_dir(kind_prism, f, d, true), prism_table[f % 4][d])
                << "orientation " << f << " entering " << d;
}

TEST(beam_rules, double_prism_accepts_one_direction_and_splits_it) {
    for (int32_t f = 0; f < 8; ++f) {
        for (int32_t d = 0; d < 8; ++d) {
            const bool accepted = d == double_prism_table[f][0];
            EXPECT_EQ(piece_exit_dir(kind_double_prism, f, d, true),
                      accepted ? double_prism_table[f][1] : x)
                << "orientation " << f << " entering " << d;
            EXPECT_EQ(double_prism_split_dir(f, d), accepted ? double_prism_table[f][2] : x)
                << "orientation " << f << " entering " << d;
        }
    }
}

TEST(beam_rules, translator_passes_only_its_own_direction) {
    for (int32_t f = 0; f < 8; ++f)
        for (int32_t d = 0; d < 8; ++d)
            EXPECT_EQ(piece_exit_dir(kind_translator, f, d, true), d == f ? d : x);
}

TEST(beam_rules, fixed_pieces_and_spheres) {
    for (int32_t d = 0; d < 8; ++d) {
        for (int32_t f = 0; f < 8; ++f) {
            EXPECT_EQ(piece_exit_dir(kind_empty, f, d, true), d);
            EXPECT_EQ(piece_exit_dir(kind_laser, f, d, true), x);  // absorbs, its own beam too
            EXPECT_EQ(piece_exit_dir(kind_lamp, f, d, true), d);
            EXPECT_EQ(piece_exit_dir(kind_bomb, f, d, true), x);   // a solid beam sets it off
            EXPECT_EQ(piece_exit_dir(kind_bomb, f, d, false), d);  // a dashed one passes
            EXPECT_EQ(piece_exit_dir(kind_wall, f, d, false), x);
            for (int32_t k = kind_white_sphere; k <= kind_blue_sphere; ++k)
                EXPECT_EQ(piece_exit_dir(k, f, d, true), d);
        }
    }
    EXPECT_EQ(sphere_beam_colour(kind_white_sphere), beam_white);
    EXPECT_EQ(sphere_beam_colour(kind_blue_sphere), beam_blue);
}

// Every piece lets each entering direction out in at most one direction, and different
// directions out in different ones: this is what bounds the trace.
TEST(beam_rules, no_two_entering_directions_leave_alike) {
    for (int32_t k = 0; k <= kind_blue_sphere; ++k) {
        for (int32_t f = 0; f < 8; ++f) {
            bool used[8] = {};
            for (int32_t d = 0; d < 8; ++d) {
                const int32_t out = piece_exit_dir(k, f, d, false);
                if (out == x) continue;
                ASSERT_GE(out, 0);
                ASSERT_LT(out, 8);
                EXPECT_FALSE(used[out]) << "kind " << k << " orientation " << f;
                used[out] = true;
            }
        }
    }
}

TEST(beam_rules, lamp_needs) {
    constexpr int32_t w = 1, b = 2, g = 4, r = 8;
    struct case_t {
        int32_t lamp;
        int32_t mask;
        bool lit;
    };
    const case_t cases[] = {
        {lamp_white, w, true},
        {lamp_white, r | g | b, false},  // white is its own colour
        {lamp_red, r, true},
        {lamp_red, r | g, true},  // extra colours do not hurt
        {lamp_red, w, false},
        {lamp_green, g, true},
        {lamp_blue, b, true},
        {lamp_blue, w | r | g, false},
        {lamp_yellow, r, false},
        {lamp_yellow, r | g, true},
        {lamp_yellow, r | g | b, true},
        {lamp_yellow, w, false},
        {lamp_sky_blue, g | b, true},
        {lamp_sky_blue, b, false},
        {lamp_violet, r | b, true},
        {lamp_violet, r | g, false},
        {lamp_white, 0, false},
        {7, 15, false},
    };
    for (const case_t& c : cases)
        EXPECT_EQ(lamp_is_lit(c.lamp, c.mask), c.lit) << "lamp " << c.lamp << " mask " << c.mask;
    EXPECT_EQ(beam_colour_bit[beam_white], w);
    EXPECT_EQ(beam_colour_bit[beam_red], r);
    EXPECT_EQ(beam_colour_bit[beam_green], g);
    EXPECT_EQ(beam_colour_bit[beam_blue], b);
}

}  // namespace

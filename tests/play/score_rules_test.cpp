// The score arithmetic, the lamps' colour needs and the turning sectors.
#include <gtest/gtest.h>

#include "board/board_state.h"
#include "play/score_rules.h"

namespace {

TEST(winning_score, adds_the_bonus_to_the_clamped_clock_score) {
    std::array<int32_t, 14> stock{};
    stock[kind_prism] = 2;
    const int32_t bonus = unplaced_bonus(stock);
    EXPECT_EQ(bonus, 300);
    EXPECT_EQ(winning_score(clock_score(500, 120, 30), bonus), 650);
    // A clock score below zero leaves the bonus alone.
    EXPECT_EQ(clock_score(100, 150, 20), -70);
    EXPECT_EQ(winning_score(clock_score(100, 150, 20), bonus), 300);
    EXPECT_EQ(winning_score(-1, 0), 0);
}

TEST(unplaced_bonus, prices_every_kind) {
    const struct {
        int32_t kind;
        int32_t points;
    } table[] = {{kind_mirror, 50},        {kind_double_mirror, 100}, {kind_prism, 150},
                 {kind_double_prism, 200}, {kind_white_sphere, 200},  {kind_red_sphere, 200},
                 {kind_green_sphere, 200}, {kind_blue_sphere, 200}};
    for (const auto& row : table) {
        std::array<int32_t, 14> stock{};
        stock[row.kind] = 3;
        EXPECT_EQ(unplaced_bonus(stock), 3 * row.points) << row.kind;
    }
    std::array<int32_t, 14> fixed_pieces{};
    for (int32_t kind = 0; kind < kind_mirror; ++kind) fixed_pieces[kind] = 5;
    EXPECT_EQ(unplaced_bonus(fixed_pieces), 0);
}

TEST(elapsed_seconds, truncates_toward_zero) {
    EXPECT_EQ(elapsed_seconds(1999, 1000), 0);
    EXPECT_EQ(elapsed_seconds(2000, 1000), 1);
    EXPECT_EQ(elapsed_seconds(500, 1000), 0);
    EXPECT_EQ(elapsed_seconds(-1500, 0), -1);
}

TEST(solution_timer_text, counts_down_then_says_available) {
    EXPECT_EQ(solution_timer_text(60), "( 60 )");
    EXPECT_EQ(solution_timer_text(1), "( 1 )");
    EXPECT_EQ(solution_timer_text(0), "available");
    EXPECT_EQ(solution_timer_text(-30), "available");
}

TEST(turn_orientation_towards, picks_the_sector_of_the_pointer) {
    const int32_t cx = 227, cy = 267;
    const struct {
        int32_t dx;
        int32_t dy;
        int32_t orientation;
    } table[] = {{0, -30, 0},
                 {30, -30, 1},
                 {30, 0, 2},
                 {30, 30, 3},
                 {0, 30, 4},
                 {-30, 30, 5},
                 {-30, 0, 6},
                 {-30, -30, 7},
                 // The sector edges lie 22.5 degrees either side of each direction.
                 {30, -11, 2},
                 {30, -13, 1}};
    for (const auto& row : table) {
        EXPECT_EQ(turn_orientation_towards(cx, cy, cx + row.dx, cy + row.dy, kind_mirror, 5),
                  row.orientation)
            << row.dx << "," << row.dy;
    }
}

TEST(turn_orientation_towards, a_prism_has_four_orientations) {
    EXPECT_EQ(turn_orientation_towards(100, 100, 100, 130, kind_prism, 3), 0);
    EXPECT_EQ(turn_orientation_towards(100, 100, 70, 100, kind_prism, 3), 2);
    EXPECT_EQ(turn_orientation_towards(100, 100, 100, 130, kind_double_prism, 3), 4);
}

TEST(turn_orientation_towards, keeps_the_previous_orientation_within_the_dead_zone) {
    // 10 * 10 + 10 * 10 = 200 and 17 * 17 + 1 = 290 are inside; 17 * 17 + 3 * 3 = 298 too;
    // 15 * 15 + 9 * 9 = 306 is outside.
    EXPECT_EQ(turn_orientation_towards(100, 100, 110, 110, kind_mirror, 7), 7);
    EXPECT_EQ(turn_orientation_towards(100, 100, 117, 101, kind_mirror, 7), 7);
    EXPECT_EQ(turn_orientation_towards(100, 100, 117, 103, kind_mirror, 7), 7);
    EXPECT_EQ(turn_orientation_towards(100, 100, 115, 109, kind_mirror, 7), 3);
    // The previous value comes back unreduced, even for a prism.
    EXPECT_EQ(turn_orientation_towards(100, 100, 100, 100, kind_prism, 7), 7);
}

}  // namespace

// The pack rules: opening the next pack, the next-level target, the time and hardness texts,
// the pulsing pack and the panel's placement.
#include <gtest/gtest.h>

#include "profiles/pack_rules.h"

namespace {

level_scores none_completed() {
    level_scores scores{};
    scores.fill(-1);
    return scores;
}

level_scores with_pack_completed(level_scores scores, int32_t pack) {
    for (int32_t k = 0; k < levels_per_pack; ++k) scores[pack * levels_per_pack + k] = 100 + k;
    return scores;
}

pack_flags open_packs(int32_t count) {
    pack_flags access{};
    for (int32_t p = 0; p < count; ++p) access[p] = 1;
    return access;
}

TEST(level_time_text, formats_hours_minutes_and_seconds) {
    const struct {
        int32_t seconds;
        const char* text;
    } table[] = {
        {0, "Time: 0 sec"},
        {59, "Time: 59 sec"},
        {60, "Time: 1 min 0 sec"},
        {3599, "Time: 59 min 59 sec"},
        {3600, "Time: 1 hr 0 min 0 sec"},
        {7325, "Time: 2 hr 2 min 5 sec"},
        {-5, "Time: "},
    };
    for (const auto& row : table) {
        EXPECT_EQ(level_time_text(row.seconds), row.text) << row.seconds;
    }
}

TEST(hardness_text, unknown_values_read_as_easy) {
    EXPECT_EQ(hardness_text(0), "easy");
    EXPECT_EQ(hardness_text(1), "normal");
    EXPECT_EQ(hardness_text(2), "hard");
    EXPECT_EQ(hardness_text(3), "easy");
    EXPECT_EQ(hardness_text(-1), "easy");
}

TEST(next_level_target, goes_back_six_past_the_last_level_or_into_a_closed_pack) {
    const struct {
        int32_t level;
        int32_t open;
        int32_t target;
    } table[] = {
        {119, 20, 114},  // beyond the last pack
        {11, 2, 6},      // pack 2 still closed: the first level of pack 1
        {11, 3, 12},     // pack 2 open
        {8, 2, 9},       // inside a pack
        {5, 1, 0},       // last of pack 0, pack 1 closed
        {0, 1, 1},
    };
    for (const auto& row : table) {
        EXPECT_EQ(next_level_target(row.level, open_packs(row.open)), row.target) << row.level;
    }
}

TEST(next_pack_opening, an_incomplete_pack_changes_nothing) {
    level_scores scores = with_pack_completed(none_completed(), 0);
    scores[5] = -1;
    const pack_opening step = next_pack_opening(4, scores, open_packs(1));
    EXPECT_FALSE(step.changes_new_pack);
    EXPECT_EQ(step.pack_to_open, -1);
}

TEST(next_pack_opening, a_score_of_zero_counts_as_completed) {
    level_scores scores = with_pack_completed(none_completed(), 0);
    scores[3] = 0;
    const pack_opening step = next_pack_opening(3, scores, open_packs(1));
    EXPECT_TRUE(step.changes_new_pack);
    EXPECT_EQ(step.new_pack, 1);
}

TEST(next_pack_opening, completing_a_pack_opens_and_announces_its_closed_successor) {
    const pack_opening step =
        next_pack_opening(5, with_pack_completed(none_completed(), 0), open_packs(1));
    EXPECT_TRUE(step.changes_new_pack);
    EXPECT_EQ(step.new_pack, 1);
    EXPECT_EQ(step.pack_to_open, 1);
}

TEST(next_pack_opening, replaying_a_complete_pack_with_its_successor_open_clears_new_pack) {
    const pack_opening step =
        next_pack_opening(2, with_pack_completed(none_completed(), 0), open_packs(2));
    EXPECT_TRUE(step.changes_new_pack);
    EXPECT_EQ(step.new_pack, -1);
    EXPECT_EQ(step.pack_to_open, 1);
}

TEST(next_pack_opening, finishing_pack_18_announces_pack_19) {
    const pack_opening step =
        next_pack_opening(113, with_pack_completed(none_completed(), 18), open_packs(19));
    EXPECT_EQ(step.new_pack, 19);
    EXPECT_EQ(step.pack_to_open, 19);
}

TEST(next_pack_opening, finishing_the_last_pack_sets_19_and_opens_nothing) {
    const pack_opening step =
        next_pack_opening(119, with_pack_completed(none_completed(), 19), open_packs(20));
    EXPECT_TRUE(step.changes_new_pack);
    EXPECT_EQ(step.new_pack, 19);
    EXPECT_EQ(step.pack_to_open, -1);
}

TEST(first_unfinished_pack, is_the_pack_of_the_first_level_without_a_score) {
    EXPECT_EQ(first_unfinished_pack(none_completed()), 0);
    level_scores scores = with_pack_completed(none_completed(), 0);
    EXPECT_EQ(first_unfinished_pack(scores), 1);
    scores = with_pack_completed(scores, 1);
    scores[8] = -1;
    EXPECT_EQ(first_unfinished_pack(scores), 1);
    level_scores all{};
    EXPECT_EQ(first_unfinished_pack(all), -1);
}

TEST(panel_shift, keeps_the_panel_on_the_map) {
    EXPECT_EQ(shifted_panel_x(600), 350);
    EXPECT_EQ(shifted_panel_y(450), 150);
    EXPECT_EQ(shifted_panel_x(550), 550);
    EXPECT_EQ(shifted_panel_y(300), 300);
    EXPECT_EQ(shifted_panel_y(386), 86);
}

}  // namespace

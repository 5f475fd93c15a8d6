// Times, solution costs and start scores from damaged files: read as a new player's, so the
// clock and the score run as for anyone, and what is written back is a real time.
#include "play/play_test_support.h"

#include <climits>
#include <fstream>

#include "play/score_rules.h"
#include "play/scoring.h"

namespace {

// A red laser shining past a red lamp: never won.
level_data dark_level_for_test() {
    level_data level;
    level.cells[0][5] = level_cell_code(kind_laser, dir_right, beam_red);
    level.cells[10][7] = level_cell_code(kind_lamp, 0, lamp_red);
    return level;
}

void put_int(std::vector<uint8_t>& bytes, size_t at, int32_t value) {
    for (size_t k = 0; k < 4; ++k) bytes[at + k] = uint8_t(uint32_t(value) >> (8 * k));
}

class damaged_numbers_test : public play_test {
protected:
    void overwrite(const std::string& relative, const std::vector<uint8_t>& bytes) const {
        std::ofstream out(path_in_game(relative), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
};

TEST_F(damaged_numbers_test, extreme_values_read_as_a_new_players_and_the_clock_runs_true) {
    make_player("Ann");
    std::vector<uint8_t> scores = file_bytes("users/Ann/level_score.all");
    std::vector<uint8_t> costs = file_bytes("users/Ann/solution.all");
    put_int(scores, 0, 300);      // level 1 won with 300: kept
    put_int(scores, 4, 2147483);  // its time: 1000 times it overflows the clock
    put_int(scores, 12, -5);      // level 2's time below zero
    put_int(costs, 0, INT32_MAX);
    put_int(costs, 4, INT32_MIN);
    put_int(costs, 8, 45);  // a real cost: kept
    overwrite("users/Ann/level_score.all", scores);
    overwrite("users/Ann/solution.all", costs);
    own_levels_folder();
    std::vector<uint8_t> table = file_bytes("Levels/level_info.all");
    ASSERT_EQ(table.size(), 600u);
    const int32_t level_two_start = int_at(table, 5);
    put_int(table, 0, INT32_MIN);
    overwrite("Levels/level_info.all", table);

    load_progress();

    EXPECT_EQ(level_best_score[0], 300);
    EXPECT_EQ(level_time[0], 0);
    EXPECT_EQ(level_time[1], 0);
    EXPECT_EQ(level_solution_cost[0], 0);
    EXPECT_EQ(level_solution_cost[1], 0);
    EXPECT_EQ(level_solution_cost[2], 45);
    EXPECT_EQ(level_start_score[0], 0);
    EXPECT_EQ(level_start_score[1], level_two_start);

    // Level 2 played for half a minute and left: the score falls a point a second, and the
    // time written back is the half minute.
    current_level = 1;
    show_board(dark_level_for_test());
    platform::headless::advance_clock(30000);
    run_passes(1);
    EXPECT_EQ(score_text_now(), std::to_string(level_two_start - 30));
    EXPECT_EQ(solution_timer_text_now(), "( 30 )");
    click(700, 580);
    EXPECT_EQ(level_time[1], 30);
    EXPECT_EQ(int_at(file_bytes("users/Ann/level_score.all"), 12), 30);
}

TEST(score_arithmetic, holds_at_the_ends_of_the_int_instead_of_wrapping) {
    EXPECT_EQ(elapsed_seconds(INT32_MAX, INT32_MIN), 4294967);
    EXPECT_EQ(elapsed_seconds(INT32_MIN, INT32_MAX), -4294967);
    EXPECT_EQ(clock_start_for(1000, 2147483, 0), 1000 - 2147483000);
    EXPECT_EQ(clock_start_for(0, 2147484, 0), INT32_MIN);
    EXPECT_EQ(clock_start_for(0, INT32_MAX, INT32_MAX), INT32_MIN);
    EXPECT_EQ(clock_start_for(5000, 2, 30), 5000 - 2000 - 30);
    EXPECT_EQ(clock_score(INT32_MIN, 5, 0), INT32_MIN);
    EXPECT_EQ(clock_score(0, 0, INT32_MIN), INT32_MAX);
    EXPECT_EQ(clock_score(INT32_MAX, -1, 0), INT32_MAX);
    EXPECT_EQ(winning_score(INT32_MAX, 200), INT32_MAX);
    EXPECT_EQ(winning_score(INT32_MIN, 200), 200);
    EXPECT_EQ(solution_seconds_left(INT32_MIN), INT32_MAX);
    EXPECT_EQ(solution_seconds_left(45), 15);
    std::array<int32_t, 14> stock{};
    stock[kind_double_prism] = INT32_MAX;
    EXPECT_EQ(unplaced_bonus(stock), INT32_MAX);
}

}  // namespace

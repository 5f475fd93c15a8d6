// The lamps, the solution view, the score texts and the completion of a level, on the
// headless game with boards of the test's own.
#include "play/play_test_support.h"

#include "app/assets.h"
#include "play/scoring.h"
#include "profiles/message_window.h"

namespace {

// A red laser shining straight at a red lamp: lit from the first pass. Two solution prisms
// out of the way make the stock.
level_data lit_level() {
    level_data level;
    level.cells[0][5] = level_cell_code(kind_laser, dir_right, beam_red);
    level.cells[10][5] = level_cell_code(kind_lamp, 0, lamp_red);
    level.cells[5][10] = level_cell_code(kind_prism, 0, 0);
    level.cells[6][10] = level_cell_code(kind_prism, 0, 0);
    return level;
}

// The same laser aimed past the lamp: never won.
level_data dark_level() {
    level_data level = lit_level();
    level.cells[10][5] = 0;
    level.cells[10][7] = level_cell_code(kind_lamp, 0, lamp_red);
    return level;
}

class scoring_test : public play_test {};

TEST_F(scoring_test, lamps_light_only_with_every_colour_they_need) {
    level_data level;
    level.cells[2][2] = level_cell_code(kind_lamp, 0, lamp_yellow);
    level.cells[4][4] = level_cell_code(kind_lamp, 0, lamp_white);
    level.cells[6][6] = level_cell_code(kind_lamp, 0, lamp_blue);
    place_level(level);
    load_sounds();
    platform::headless::clear_sound_log();

    board[2][2].state = 8;          // red only
    board[4][4].state = 8 | 4 | 2;  // red, green and blue are not white
    evaluate_lamps();
    EXPECT_EQ(lit_count, 0);
    EXPECT_EQ(board[2][2].solution_orientation, 0);
    EXPECT_EQ(board[2][2].state, 0) << "the mask is used up";

    lit_count = 0;
    board[2][2].state = 8 | 4;
    evaluate_lamps();
    EXPECT_EQ(lit_count, 1);
    EXPECT_EQ(board[2][2].solution_orientation, 1);
    EXPECT_EQ(sounds_played("lampon.ogg"), 1);

    // Still lit in the next pass: no new sound.
    lit_count = 0;
    board[2][2].state = 8 | 4;
    evaluate_lamps();
    EXPECT_EQ(sounds_played("lampon.ogg"), 1);

    // A lamp that goes dark loses its flag.
    lit_count = 0;
    evaluate_lamps();
    EXPECT_EQ(board[2][2].solution_orientation, 0);

    // The lamp that completes the set gets the completion sounds instead.
    lit_count = 0;
    board[2][2].state = 8 | 4;
    board[4][4].state = 1;
    board[6][6].state = 2 | 8;
    evaluate_lamps();
    EXPECT_EQ(lit_count, 3);
    EXPECT_EQ(sounds_played("lampon.ogg"), 1);
}

TEST_F(scoring_test, the_solution_view_opens_after_a_minute_at_a_point_a_pass) {
    show_board(dark_level());
    platform::headless::press_key(32);
    run_passes(100);
    EXPECT_EQ(solution_cost, 0);
    EXPECT_EQ(solution_alpha, 0);
    EXPECT_EQ(solution_timer_text_now(), "( 58 )");

    platform::headless::advance_clock(60000);
    EXPECT_EQ(solution_timer_text_now(), "available");
    run_passes(200);
    EXPECT_EQ(solution_cost, 200);
    EXPECT_EQ(solution_alpha, 128);

    platform::headless::release_key(32);
    run_passes(28);
    EXPECT_EQ(solution_alpha, 100);
    EXPECT_EQ(solution_cost, 200);
}

TEST_F(scoring_test, a_win_fixes_the_score_with_its_bonus_and_saves_after_the_celebration) {
    make_player("Ann");
    load_sounds();
    level_start_score[0] = 500;
    level_time[0] = 120;
    level_solution_cost[0] = 30;
    show_board(lit_level());
    platform::headless::clear_sound_log();
    run_passes(1);

    EXPECT_EQ(bonus_score, 300);
    EXPECT_EQ(final_score, 650);  // 500 - 120 - 30 + 2 prisms
    EXPECT_EQ(level_best_score[0], 650);
    EXPECT_EQ(level_time[0], 120);
    EXPECT_EQ(level_solution_cost[0], 30);
    EXPECT_GT(completion_start, 0);
    EXPECT_EQ(sounds_played("new1.ogg"), 1);
    EXPECT_EQ(sounds_played("lampon.ogg"), 0);
    EXPECT_EQ(score_text_now(), "650");

    // The celebration: five seconds of fireworks, nothing saved yet, then the window.
    run_passes(240);
    EXPECT_EQ(message_shown, 0);
    EXPECT_EQ(score_text_now(), "650");
    EXPECT_EQ(int_at(file_bytes("users/Ann/level_score.all"), 0), -1);
    run_passes(20);
    ASSERT_EQ(message_shown, 1);
    EXPECT_EQ(message_kind, message_level_complete);
    EXPECT_EQ(message_text, "Level complete!!!");
    EXPECT_EQ(completion_start, 0);
    EXPECT_EQ(score_text_now(), "650");
    const auto scores = file_bytes("users/Ann/level_score.all");
    EXPECT_EQ(int_at(scores, 0), 650);
    EXPECT_EQ(int_at(scores, 4), 120);
    EXPECT_EQ(int_at(file_bytes("users/Ann/solution.all"), 0), 30);
    EXPECT_EQ(total_score, 650);
}

TEST_F(scoring_test, a_lower_second_win_keeps_the_best_but_records_time_and_cost) {
    level_start_score[0] = 500;
    level_best_score[0] = 900;
    level_time[0] = 10;
    level_solution_cost[0] = 7;
    show_board(lit_level());
    run_passes(1);
    EXPECT_EQ(final_score, 783);
    EXPECT_EQ(level_best_score[0], 900);
    EXPECT_EQ(level_time[0], 10);
    EXPECT_EQ(level_solution_cost[0], 7);
}

TEST_F(scoring_test, a_win_after_the_clock_ran_out_is_worth_the_bonus_alone) {
    level_start_score[0] = 100;
    level_time[0] = 150;
    show_board(lit_level());
    EXPECT_EQ(score_text_now(), "0");
    run_passes(1);
    EXPECT_EQ(final_score, 300);
}

TEST_F(scoring_test, the_note_shows_the_stored_score_and_its_ok_starts_the_clock) {
    level_start_score[0] = 500;
    level_time[0] = 40;
    level_solution_cost[0] = 25;
    show_board(dark_level());
    raise_message(message_level_note, "Light the lamp.");
    platform::headless::advance_clock(90000);  // the note may be read at leisure
    run_passes(3);
    EXPECT_EQ(score_text_now(), "435");
    EXPECT_EQ(solution_timer_text_now(), "( 20 )");

    platform::headless::move_mouse(400, 370);
    platform::headless::press_button(1);
    const int32_t pass_began = platform::millisecs();
    run_passes(1);
    EXPECT_EQ(message_shown, 0);
    // The clock resumes from the stored 40 seconds, shifted by the cost in milliseconds.
    EXPECT_GE(clock_start + 40000 + 25, pass_began);
    EXPECT_LE(clock_start + 40000 + 25, platform::millisecs());
    platform::headless::release_button(1);
    platform::headless::advance_clock(10000);
    EXPECT_EQ(score_text_now(), "425");

    // Nothing shows below zero, though the arithmetic goes there.
    level_time[0] = 600;
    raise_message(message_level_note, "Again.");
    EXPECT_EQ(score_text_now(), "0");
}

TEST_F(scoring_test, a_level_without_lamps_is_won_once_its_note_is_dismissed) {
    level_data level;
    level.cells[3][3] = level_cell_code(kind_mirror, 0, 0);
    show_board(level);
    raise_message(message_level_note, "Nothing to light.");
    run_passes(5);
    EXPECT_EQ(completion_start, 0);
    click(400, 370);
    EXPECT_GT(completion_start, 0);
    EXPECT_EQ(bonus_score, 50);
}

TEST_F(scoring_test, leaving_by_the_main_menu_shows_no_score_during_the_fade_out) {
    make_player("Ann");
    level_start_score[0] = 500;
    show_board(dark_level());
    platform::headless::advance_clock(30000);
    run_passes(1);
    EXPECT_EQ(score_text_now(), "470");
    click(700, 580);
    ASSERT_EQ(fading, 1);
    EXPECT_EQ(score_text_now(), "0");
    EXPECT_EQ(level_time[0], 30);
    EXPECT_EQ(int_at(file_bytes("users/Ann/level_score.all"), 4), 30);
}

TEST_F(scoring_test, a_failed_save_is_told_before_the_level_complete_window) {
    // No player is chosen, so there is nowhere to save.
    fresh_progress();
    level_start_score[0] = 500;
    show_board(lit_level());
    run_passes(300);
    ASSERT_EQ(message_shown, 1);
    EXPECT_EQ(message_kind, message_notice);
    EXPECT_EQ(message_text, text_progress_not_saved);
    EXPECT_EQ(score_text_now(), std::to_string(final_score));
    EXPECT_EQ(solution_timer_text_now(), "( 60 )");  // won at once: the time stored is 0
    click(400, 370);
    ASSERT_EQ(message_shown, 1);
    EXPECT_EQ(message_kind, message_level_complete);
    EXPECT_EQ(message_text, "Level complete!!!");
    EXPECT_EQ(completion_start, 0);
    click(300, 370);  // the galaxy map button works as ever
    EXPECT_EQ(next_screen_state, screen_galaxy_map);
}

TEST_F(scoring_test, a_failed_save_on_leaving_is_told_over_the_main_menu) {
    show_board(dark_level());
    click(700, 580);
    finish_fade();
    EXPECT_EQ(screen_state, screen_main_menu);
    ASSERT_EQ(message_shown, 1);
    EXPECT_EQ(message_kind, message_notice);
    EXPECT_EQ(message_text, text_progress_not_saved);
}

}  // namespace

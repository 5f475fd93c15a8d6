// Whole runs of the game on the headless backend: a player chooses a level on the galaxy map
// and plays it by clicks and drags as a person would, with the virtual clock, and each run
// ends in compared state and progress files.
#include "play/play_test_support.h"

#include <filesystem>

#include "app/assets.h"
#include "board/beam_rules.h"
#include "play/scoring.h"
#include "profiles/galaxy_map.h"
#include "profiles/message_window.h"

namespace {

class scenario_test : public play_test {
protected:
    void SetUp() override {
        play_test::SetUp();
        load_content();
        init_pack_positions();
        init_pack_names();
    }

    // The shipped levels are compiled into the game folder whenever their sources are in the
    // tree; only a tree without them skips the runs that play them.
    bool have_levels() const {
        if (std::filesystem::exists(path_in_game("Levels/level_info.all"))) return true;
        EXPECT_FALSE(std::filesystem::exists(std::string(BEAMWORKS_SOURCE_DIR) +
                                             "/content/levels/levels.txt"))
            << "the level sources are there but the game folder has no levels";
        return false;
    }

    // From the galaxy map: the pack's marker, then the level's label on its panel, then the
    // fade into the play screen.
    void choose_level_on_map(int32_t level) {
        const int32_t pack = level / 6;
        const int32_t k = level % 6;
        if (screen_state != screen_galaxy_map) {
            start_fade(screen_galaxy_map);
            finish_fade();
        }
        run_passes(2);
        if (open_pack != pack) {
            if (open_pack != -1) click(panel_x + 125, panel_y + 275);  // cancel
            click(pack_positions[pack] / 1000, pack_positions[pack] % 1000);
        }
        ASSERT_EQ(open_pack, pack);
        click(panel_x + 15 + 80 * (k % 3) + 10, panel_y + 40 + 25 * (k / 3) + 10);
        ASSERT_EQ(next_screen_state, screen_play);
        ASSERT_EQ(current_level, level);
        finish_fade();
        ASSERT_EQ(screen_state, screen_play);
    }
    void dismiss_note() {
        if (message_shown == 1 && message_kind == message_level_note) click(400, 370);
        ASSERT_EQ(message_shown, 0);
    }

    // Picks the palette slot of `kind` on the side panel, turning the colour buttons for a
    // sphere.
    void select_kind(int32_t kind) {
        if (kind < kind_white_sphere) {
            click(750, 75 + 98 * (kind - kind_mirror) + 40);
            return;
        }
        for (int i = 0; i < 4 && sphere_colour != kind - kind_white_sphere; ++i) click(790, 515);
        click(750, 75 + 98 * 4 + 10);
    }
    // Places `kind` on the cell and turns it by dragging the pointer towards `orientation`.
    void place_and_turn(int32_t column, int32_t row, int32_t kind, int32_t orientation) {
        select_kind(kind);
        if (kind >= kind_white_sphere) {
            click(centre_x(column), centre_y(row));
            return;
        }
        drag(centre_x(column), centre_y(row), centre_x(column) + 30 * dir_column_step[orientation],
             centre_y(row) + 30 * dir_row_step[orientation]);
    }
    // Every piece of the stored solution, read off the loaded board, placed by the mouse.
    int32_t play_stored_solution() {
        struct piece {
            int32_t column, row, kind, orientation;
        };
        std::vector<piece> pieces;
        for (int32_t column = 0; column < board_columns; ++column) {
            for (int32_t row = 0; row < board_rows; ++row) {
                const point& cell = board[column][row];
                if (cell.solution_kind >= kind_mirror) {
                    pieces.push_back({column, row, cell.solution_kind, cell.solution_orientation});
                }
            }
        }
        for (const piece& p : pieces) {
            place_and_turn(p.column, p.row, p.kind, p.orientation);
            EXPECT_EQ(board[p.column][p.row].kind, p.kind);
            if (p.kind == kind_prism) {
                EXPECT_EQ(board[p.column][p.row].state % 4, p.orientation % 4);
            } else if (p.kind < kind_white_sphere) {
                EXPECT_EQ(board[p.column][p.row].state, p.orientation);
            }
        }
        return int32_t(pieces.size());
    }
    void wait_for_window(int32_t kind, int32_t most_passes) {
        for (int32_t i = 0; i < most_passes; ++i) {
            if (message_shown == 1 && message_kind == kind) return;
            run_passes(1);
        }
        FAIL() << "no window of kind " << kind << " after " << most_passes << " passes";
    }
};

TEST_F(scenario_test, a_new_player_plays_level_1_1_from_the_map_and_goes_on_to_1_2) {
    if (!have_levels()) GTEST_SKIP() << "no level sources in this tree";
    make_player("Ann");
    screen_state = screen_galaxy_map;
    choose_level_on_map(0);
    ASSERT_GT(lamp_count, 0);
    const bool has_note = message_shown == 1;
    dismiss_note();
    EXPECT_EQ(has_note, !level_text.empty());
    const int32_t start = start_score;
    ASSERT_EQ(start, level_start_score[0]);
    platform::headless::advance_clock(12000);  // the player looks at the board a while

    const int32_t placed = play_stored_solution();
    ASSERT_GT(placed, 0);
    wait_for_window(message_level_complete, 400);
    EXPECT_EQ(message_text, "Level complete!!!");

    // Every piece placed: no bonus. No solution seen: no cost.
    EXPECT_EQ(bonus_score, 0);
    EXPECT_EQ(level_best_score[0], final_score);
    EXPECT_EQ(final_score, std::max(0, start - level_time[0]));
    EXPECT_EQ(level_time[0], 12);  // the clicks themselves take a fraction of a second
    EXPECT_EQ(level_solution_cost[0], 0);
    EXPECT_EQ(new_pack, -1);
    const auto scores = file_bytes("users/Ann/level_score.all");
    ASSERT_EQ(scores.size(), 960u);
    EXPECT_EQ(int_at(scores, 0), final_score);
    EXPECT_EQ(int_at(scores, 4), level_time[0]);
    EXPECT_EQ(int_at(scores, 8), -1);
    EXPECT_EQ(int_at(file_bytes("users/Ann/solution.all"), 0), 0);
    EXPECT_EQ(total_score, final_score);

    click(495, 370);  // next level
    finish_fade();
    EXPECT_EQ(screen_state, screen_play);
    EXPECT_EQ(current_level, 1);
    EXPECT_EQ(final_score, 0);
    EXPECT_GT(lamp_count, 0);
    EXPECT_EQ(start_score, level_start_score[1]);
    if (message_shown == 1) {
        EXPECT_EQ(message_kind, message_level_note);
        EXPECT_EQ(message_text, level_text);
    }
}

TEST_F(scenario_test, finishing_the_sixth_level_of_pack_1_opens_pack_2_and_the_map_shows_it) {
    if (!have_levels()) GTEST_SKIP() << "no level sources in this tree";
    make_player("Bob");
    for (int32_t level = 0; level < 5; ++level) level_best_score[level] = 10 * (level + 1);
    ASSERT_TRUE(save_progress());
    screen_state = screen_galaxy_map;
    choose_level_on_map(5);
    dismiss_note();
    play_stored_solution();
    wait_for_window(message_level_complete, 400);

    EXPECT_EQ(new_pack, 1);
    EXPECT_EQ(pack_access[1], 1);
    const auto access = file_bytes("users/Bob/pack_access.all");
    ASSERT_EQ(access.size(), 20u);
    EXPECT_EQ(access[0], 1);
    EXPECT_EQ(access[1], 1);
    EXPECT_EQ(access[2], 0);

    platform::headless::clear_sound_log();
    click(400, 370);  // the new galaxy
    EXPECT_EQ(open_pack, -1);
    finish_fade();
    ASSERT_EQ(screen_state, screen_galaxy_map);
    EXPECT_EQ(new_pack, 1);
    run_passes(120);
    EXPECT_EQ(new_pack, -1);
    EXPECT_EQ(open_pack, 1);
    EXPECT_EQ(panel_x, 75);
    EXPECT_EQ(panel_y, 86);
    EXPECT_EQ(sounds_played("new1.ogg"), 1);
    // The board was cleared on the way out of the play screen.
    EXPECT_EQ(lamp_count, 0);
    EXPECT_EQ(message_shown, 0);
}

// A white laser shining right along the bottom row, a bomb above the fifth cell, and one
// mirror in the stock: turned the wrong way, it sends the beam up into the bomb.
level_data bomb_level() {
    level_data level;
    level.text = "Mind the bomb.";
    level.cells[0][13] = level_cell_code(kind_laser, dir_right, beam_white);
    level.cells[5][5] = level_cell_code(kind_bomb, 0, 0);
    level.cells[10][2] = level_cell_code(kind_lamp, 0, lamp_white);
    level.cells[9][13] = level_cell_code(kind_wall, 0, 0);
    level.cells[12][13] = level_cell_code(kind_mirror, 7, 0);
    return level;
}

int32_t orientation_turning(int32_t from_dir, int32_t to_dir) {
    for (int32_t o = 0; o < 8; ++o) {
        if (mirror_exit_dir(o, from_dir) == to_dir) return o;
    }
    return -1;
}

TEST_F(scenario_test, a_bomb_explodes_and_ok_restarts_the_level_while_the_clock_runs_on) {
    own_levels_folder();
    write_level(0, bomb_level());
    make_player("Cy");
    level_start_score[0] = 800;
    screen_state = screen_galaxy_map;
    choose_level_on_map(0);
    ASSERT_EQ(message_kind, message_level_note);
    EXPECT_EQ(message_text, "Mind the bomb.");
    dismiss_note();
    const int32_t clock = clock_start;
    platform::headless::advance_clock(7000);

    const int32_t up = orientation_turning(dir_right, dir_up);
    ASSERT_GE(up, 0);
    drag(centre_x(5), centre_y(13), centre_x(5) + 30 * dir_column_step[up],
         centre_y(13) + 30 * dir_row_step[up]);
    ASSERT_EQ(board[5][13].state, up);
    run_passes(1);
    ASSERT_EQ(message_shown, 1);
    ASSERT_EQ(message_kind, message_explosion);
    EXPECT_EQ(message_text, "Bumm!!!");
    EXPECT_EQ(board[5][5].kind, kind_empty);

    // The board takes no input, and the window has no OK until the explosion has played.
    click(centre_x(0), centre_y(13));
    EXPECT_EQ(laser_sources[0].active, 1);
    click(400, 370);
    EXPECT_EQ(message_shown, 1);
    run_passes(40);
    ASSERT_EQ(explosion_frame, 38);
    const int32_t before_ok = platform::millisecs();
    click(400, 370);
    EXPECT_EQ(message_shown, 0);

    // The level is as loaded again; the clock was not restarted.
    EXPECT_EQ(clock_start, clock);
    EXPECT_EQ(level_time[0], (before_ok - clock) / 1000);
    EXPECT_GE(level_time[0], 7);
    EXPECT_EQ(board[5][5].kind, kind_bomb);
    EXPECT_EQ(board[5][13].kind, kind_empty);
    EXPECT_EQ(piece_stock[kind_mirror], 1);
    EXPECT_EQ(laser_source_count, 1);
    EXPECT_EQ(explosion_x, 0);
    EXPECT_EQ(screen_state, screen_play);
    EXPECT_EQ(score_text_now(), std::to_string(800 - (platform::millisecs() - clock) / 1000));
    // And it plays on.
    click(centre_x(0), centre_y(13));
    EXPECT_EQ(laser_sources[0].active, 0);
}

TEST_F(scenario_test, the_solution_view_waits_a_minute_then_costs_a_point_a_pass) {
    if (!have_levels()) GTEST_SKIP() << "no level sources in this tree";
    make_player("Dee");
    screen_state = screen_galaxy_map;
    choose_level_on_map(0);
    dismiss_note();
    platform::headless::press_key(32);
    run_passes(300);
    EXPECT_EQ(solution_alpha, 0);
    EXPECT_EQ(solution_cost, 0);
    platform::headless::release_key(32);
    platform::headless::advance_clock(60000);
    run_passes(1);
    EXPECT_EQ(solution_timer_text_now(), "available");

    const int32_t score_before = std::stoi(score_text_now());
    platform::headless::press_key(32);
    run_passes(100);
    EXPECT_EQ(solution_alpha, 100);
    EXPECT_EQ(solution_cost, 100);
    run_passes(100);
    EXPECT_EQ(solution_alpha, 128);
    EXPECT_EQ(solution_cost, 200);
    platform::headless::release_key(32);
    run_passes(1);
    EXPECT_EQ(solution_alpha, 127);
    // 200 points for the looking, and the four seconds the 200 passes took.
    EXPECT_EQ(std::stoi(score_text_now()), std::max(0, score_before - 200 - 4));
}

TEST_F(scenario_test, leaving_by_the_main_menu_stores_time_and_cost_and_the_clock_resumes) {
    if (!have_levels()) GTEST_SKIP() << "no level sources in this tree";
    make_player("Eve");
    screen_state = screen_galaxy_map;
    choose_level_on_map(0);
    dismiss_note();
    platform::headless::advance_clock(61000);
    platform::headless::press_key(32);
    run_passes(50);
    platform::headless::release_key(32);
    const int32_t seconds = (platform::millisecs() - clock_start) / 1000;
    click(700, 580);
    EXPECT_EQ(level_time[0], seconds);
    EXPECT_EQ(level_solution_cost[0], 50);
    EXPECT_EQ(int_at(file_bytes("users/Eve/level_score.all"), 0), -1);
    EXPECT_EQ(int_at(file_bytes("users/Eve/level_score.all"), 4), seconds);
    EXPECT_EQ(int_at(file_bytes("users/Eve/solution.all"), 0), 50);
    finish_fade();
    EXPECT_EQ(screen_state, screen_main_menu);
    EXPECT_EQ(lamp_count, 0);

    // A day later, the same level again.
    platform::headless::advance_clock(24 * 3600 * 1000);
    choose_level_on_map(0);
    EXPECT_EQ(solution_cost, 50);
    if (message_shown == 1) {
        EXPECT_EQ(score_text_now(), std::to_string(std::max(0, start_score - seconds - 50)));
        EXPECT_EQ(solution_timer_text_now(), "available");
        dismiss_note();
    }
    EXPECT_EQ((platform::millisecs() - clock_start) / 1000, seconds);
    // The minute is long over: the solution shows at once.
    platform::headless::press_key(32);
    run_passes(1);
    EXPECT_EQ(solution_alpha, 1);
}

TEST_F(scenario_test, a_level_without_a_note_starts_its_clock_when_it_opens) {
    own_levels_folder();
    level_data level = bomb_level();
    level.text.clear();
    write_level(0, level);
    make_player("Fay");
    level_start_score[0] = 300;
    level_time[0] = 5;
    clock_start = 0;
    platform::headless::advance_clock(100000);
    screen_state = screen_galaxy_map;
    choose_level_on_map(0);
    EXPECT_EQ(message_shown, 0);
    EXPECT_EQ((platform::millisecs() - clock_start) / 1000, 5 + (64 - 32) * 20 / 1000);
    EXPECT_EQ(score_text_now(), "295");
}

TEST_F(scenario_test, a_level_that_cannot_be_loaded_sends_the_player_back_to_the_map) {
    own_levels_folder();
    level_data broken = bomb_level();
    broken.cells[3][3] = 1400;  // a kind the game does not have
    write_level(0, broken);
    std::filesystem::remove(path_in_game("Levels/level.002"));
    make_player("Gus");
    for (int32_t level : {0, 1}) {
        screen_state = screen_galaxy_map;
        choose_level_on_map(level);
        ASSERT_EQ(message_shown, 1);
        EXPECT_EQ(message_kind, message_notice);
        EXPECT_EQ(message_text, text_level_not_loaded);
        run_passes(100);
        // Nothing of it is on the board, and an empty board is not a win.
        EXPECT_EQ(lamp_count, 0);
        EXPECT_EQ(laser_source_count, 0);
        EXPECT_EQ(board[5][5].kind, kind_empty);
        EXPECT_EQ(completion_start, 0);
        EXPECT_EQ(level_best_score[level], -1);
        click(400, 370);
        finish_fade();
        EXPECT_EQ(screen_state, screen_galaxy_map);
        EXPECT_EQ(message_shown, 0);
    }
}

}  // namespace

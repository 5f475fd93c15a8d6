// The level editor's operations: the build board and the level it stores, undo, names and
// files of custom levels, level codes, and the critic as a helper process.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/app_state.h"
#include "app/bitmap_font.h"
#include "app/game_state.h"
#include "app/help_overlay.h"
#include "board/board_state.h"
#include "editor/editor_screen.h"
#include "editor/editor_state.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "play/custom_play.h"
#include "play/level_code.h"
#include "play/level_file.h"
#include "play/play_screen.h"
#include "play/play_state.h"
#include "play/undo.h"
#include "profiles/profiles_state.h"
#include "support/headless_game.h"

namespace {

editor_globals& ed = editor_vars;

int32_t code_at(const level_data& level, int32_t column, int32_t row) {
    return level.cells[size_t(column)][size_t(row)];
}

// A laser at (2, 5) shining right, a mirror at (10, 5) sending its beam down, a lamp at (10, 10).
level_data one_mirror_level() {
    level_data level;
    level.text = "Turn the mirror so that the beam finds the lamp.";
    level.cells[2][5] = level_cell_code(kind_laser, dir_right, beam_white);
    level.cells[10][5] = level_cell_code(kind_mirror, dir_down_left, 0);
    level.cells[10][10] = level_cell_code(kind_lamp, 0, lamp_white);
    return level;
}

class editor_ops : public headless_game_test {
protected:
    void SetUp() override {
        headless_game_test::SetUp();
        open_editor(level_data{}, "");
    }
    void TearDown() override {
        stop_critic();
        headless_game_test::TearDown();
    }
    // The critic's answer: passes until the helper is done (headless, a pass waits for it).
    void run_critic_to_end() {
        start_critic();
        for (int i = 0; i < 5 && ed.critic_child != 0; ++i) step_critic();
    }
};

// Every kind goes on the board with the palette's colour and direction, and the stored level
// holds exactly the codes a level file would: lamps without an orientation digit, spheres
// without one, the held mirror at the orientation it is being turned to.
TEST_F(editor_ops, placed_pieces_become_the_codes_of_the_level) {
    ed.palette_colour = 5;
    ed.palette_dir = dir_down;
    EXPECT_TRUE(build_place_at(0, 0, kind_laser));
    EXPECT_TRUE(build_place_at(1, 0, kind_lamp));
    EXPECT_TRUE(build_place_at(2, 0, kind_translator));
    EXPECT_TRUE(build_place_at(3, 0, kind_wall));
    EXPECT_TRUE(build_place_at(4, 0, kind_bomb));
    EXPECT_TRUE(build_place_at(5, 0, kind_red_sphere));
    EXPECT_FALSE(build_place_at(5, 0, kind_wall)) << "the cell is taken";
    EXPECT_TRUE(build_place_at(6, 0, kind_double_prism));
    EXPECT_EQ(turning, 1) << "a turnable piece starts turning as in play";
    turn_orientation = 3;
    const level_data held = built_level();
    EXPECT_EQ(code_at(held, 6, 0), level_cell_code(kind_double_prism, 3, 0));
    turning = 0;
    board[6][0].state = 3;

    const level_data level = built_level();
    EXPECT_EQ(code_at(level, 0, 0), level_cell_code(kind_laser, dir_down, 5 % 4));
    EXPECT_EQ(code_at(level, 1, 0), level_cell_code(kind_lamp, 0, lamp_sky_blue));
    EXPECT_EQ(code_at(level, 2, 0), level_cell_code(kind_translator, dir_down, 0));
    EXPECT_EQ(code_at(level, 3, 0), level_cell_code(kind_wall, 0, 0));
    EXPECT_EQ(code_at(level, 4, 0), level_cell_code(kind_bomb, 0, 0));
    EXPECT_EQ(code_at(level, 5, 0), level_cell_code(kind_red_sphere, 0, 0));
    EXPECT_EQ(laser_source_count, 1);
    EXPECT_EQ(level_model_fault(level), "");

    EXPECT_TRUE(build_turn_fixed_at(0, 0));
    EXPECT_EQ(code_at(built_level(), 0, 0), level_cell_code(kind_laser, dir_down_left, 1));
    EXPECT_FALSE(build_turn_fixed_at(3, 0)) << "a wall has no direction";
    EXPECT_TRUE(build_remove_at(0, 0));
    EXPECT_EQ(code_at(built_level(), 0, 0), 0);
    EXPECT_EQ(laser_source_count, 0);
    EXPECT_FALSE(build_remove_at(0, 0));
}

// The level file holds at most 20 lasers: the 21st is refused, not stored past the array.
TEST_F(editor_ops, a_twenty_first_laser_is_refused) {
    for (int32_t i = 0; i < max_lasers; ++i)
        ASSERT_TRUE(build_place_at(i % board_columns, i / board_columns, kind_laser));
    EXPECT_FALSE(build_place_at(5, 5, kind_laser));
    EXPECT_EQ(ed.status_text, "A level holds at most 20 lasers");
    EXPECT_EQ(level_model_fault(built_level()), "");
}

// A click on the board is one step of undo; redo puts it back; a new step forgets the redo.
TEST_F(editor_ops, build_moves_undo_and_redo_through_the_screen) {
    load_content();
    screen_state = screen_editor;
    fade_count = 64;
    ed.palette_kind = kind_wall;
    const auto click_cell = [&](int32_t column, int32_t row) {
        platform::headless::move_mouse(cell_centre_x(column), cell_centre_y(row));
        platform::headless::press_button(1);
        run_passes(1);
        platform::headless::release_button(1);
        run_passes(1);
    };
    click_cell(3, 3);
    click_cell(4, 3);
    ASSERT_EQ(ed.build_undo.size(), 2u);
    EXPECT_EQ(code_at(ed.edit_level, 4, 3), level_cell_code(kind_wall, 0, 0));
    EXPECT_TRUE(build_undo_move());
    EXPECT_EQ(board[4][3].kind, kind_empty);
    EXPECT_EQ(board[3][3].kind, kind_wall);
    EXPECT_TRUE(build_redo_move());
    EXPECT_EQ(board[4][3].kind, kind_wall);
    EXPECT_TRUE(build_undo_move());
    click_cell(5, 3);
    EXPECT_TRUE(ed.build_redo.empty());
    EXPECT_FALSE(build_redo_move());
}

// In test mode Ctrl+Z undoes the player's move, as on the play screen (the editor's own keys
// once swallowed it).
TEST_F(editor_ops, test_mode_undoes_moves_with_the_keys) {
    load_content();
    open_editor(one_mirror_level(), "");
    screen_state = screen_editor;
    fade_count = 64;
    enter_test_mode();
    platform::headless::move_mouse(cell_centre_x(10), cell_centre_y(5));
    platform::headless::press_button(1);
    run_passes(1);
    platform::headless::release_button(1);
    run_passes(1);
    ASSERT_EQ(board[10][5].kind, kind_mirror);
    ASSERT_EQ(undo_steps.size(), 1u);
    platform::headless::press_key(platform::key_ctrl);
    platform::headless::press_key('z');
    platform::headless::release_key('z');
    run_passes(1);
    platform::headless::release_key(platform::key_ctrl);
    EXPECT_EQ(board[10][5].kind, kind_empty);
    EXPECT_EQ(piece_stock[kind_mirror], 1);
}

// Test mode plays the level as a player gets it: fixed pieces only, the stock counted from the
// stored solution; build mode brings the solution back.
TEST_F(editor_ops, test_mode_starts_from_an_empty_board_with_the_stock) {
    open_editor(one_mirror_level(), "");
    EXPECT_EQ(board[10][5].kind, kind_mirror);
    enter_test_mode();
    EXPECT_EQ(ed.editor_mode, editor_test);
    EXPECT_EQ(board[10][5].kind, kind_empty);
    EXPECT_EQ(board[10][5].solution_kind, kind_mirror);
    EXPECT_EQ(piece_stock[kind_mirror], 1);
    EXPECT_EQ(board[2][5].kind, kind_laser);
    enter_build_mode();
    EXPECT_EQ(board[10][5].kind, kind_mirror);
    EXPECT_EQ(board[10][5].state, dir_down_left);
    EXPECT_EQ(piece_stock[kind_mirror], 0);
}

// Names are refused as players' names are, and more: nothing that could leave the folder or
// hide in it.
TEST(custom_level_names, refused_as_players_names_are) {
    for (const char* good : {"first", "Level-2", "a_b.c", "x"})
        EXPECT_TRUE(is_custom_level_name(good)) << good;
    for (const char* bad : {"", ".", "..", "../up", "a/b", "a\\b", ".hidden", "a..b", "tab\there",
                            "this-name-is-longer-than-thirty-chars"}) {
        EXPECT_FALSE(is_custom_level_name(bad)) << bad;
    }
}

TEST(custom_level_start_score, read_from_the_verdict) {
    EXPECT_EQ(start_score_from_verdict("Grade 3.2, start score 350\n"), 350);
    EXPECT_EQ(start_score_from_verdict("No verdict\n"), custom_default_start_score);
    EXPECT_EQ(start_score_from_verdict("start score \n"), custom_default_start_score);
    EXPECT_EQ(start_score_from_verdict("start score 0\n"), custom_default_start_score);
}

// Saving writes the game's level file and the verdict beside it; a second level of the same
// name replaces the first only when saved again after the question.
TEST_F(editor_ops, saving_never_replaces_a_level_without_asking) {
    open_editor(one_mirror_level(), "");
    ASSERT_TRUE(save_custom_level("first"));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::read_file("custom\\first.level", bytes));
    EXPECT_EQ(bytes, encode_level(one_mirror_level()));
    ASSERT_TRUE(platform::read_file("custom\\first.verdict.txt", bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "Not judged by the critic since the last change\n");

    open_editor(level_data{}, "");
    build_place_at(0, 0, kind_lamp);
    EXPECT_FALSE(save_custom_level("first"));
    EXPECT_EQ(message_shown, 1);
    ASSERT_TRUE(platform::read_file("custom\\first.level", bytes));
    EXPECT_EQ(bytes, encode_level(one_mirror_level())) << "not replaced before the answer";
    EXPECT_TRUE(save_custom_level("first"));
    ASSERT_TRUE(platform::read_file("custom\\first.level", bytes));
    EXPECT_EQ(bytes, encode_level(built_level()));

    EXPECT_FALSE(save_custom_level("../escape"));
    EXPECT_EQ(platform::file_type("custom\\..\\escape.level"), 0);
    EXPECT_EQ(platform::file_type("escape.level"), 0);
}

// A damaged or lampless file is never opened; the editor keeps what it had.
TEST_F(editor_ops, damaged_custom_files_are_refused) {
    std::filesystem::create_directories(path_in_game("custom"));
    std::ofstream(path_in_game("custom/empty.level"), std::ios::binary) << "";
    std::ofstream(path_in_game("custom/wild.level"), std::ios::binary) << std::string(40, '\xff');
    level_data level;
    EXPECT_FALSE(read_custom_level("empty", level));
    EXPECT_FALSE(read_custom_level("wild", level));
    EXPECT_FALSE(read_custom_level("missing", level));
    build_place_at(1, 1, kind_wall);
    EXPECT_FALSE(open_custom_level("wild"));
    EXPECT_EQ(board[1][1].kind, kind_wall);
    refresh_custom_names();
    EXPECT_EQ(ed.custom_names, (std::vector<std::string>{"empty", "wild"}));
}

// Quitting the game ends a critic still at work instead of leaving it to run on unseen.
TEST_F(editor_ops, quitting_stops_a_critic_at_work) {
    const std::string slow = path_in_game("slow_critic.sh");
    std::ofstream(slow) << "#!/bin/sh\nexec sleep 30\n";
    std::filesystem::permissions(slow, std::filesystem::perms::owner_all);
    ed.critic_program = slow;
    start_critic();
    ASSERT_NE(ed.critic_child, 0);
    EXPECT_THROW(quit_game(), platform::program_ended);
    EXPECT_EQ(ed.critic_child, 0);
}

// Over the editor and its list the help names the editor's keys, and every line of either
// list fits the help's box (its action column is 430 pixels wide).
TEST_F(editor_ops, the_help_names_the_editors_keys_and_fits_its_box) {
    load_content();
    const auto has_copy_line = [] {
        for (const help_line& line : current_help_lines()) {
            if (line.keys == "Ctrl+C") return true;
        }
        return false;
    };
    for (int32_t screen : {screen_editor, screen_custom_levels, screen_galaxy_map}) {
        screen_state = screen;
        EXPECT_EQ(has_copy_line(), screen != screen_galaxy_map) << screen;
        for (const help_line& line : current_help_lines()) {
            EXPECT_LE(text_width(font16, line.keys), 185) << line.keys;
            EXPECT_LE(text_width(font16, line.action), 430) << line.action;
        }
    }
}

// A list longer than its window: the arrow keys reach the last level, the window follows the
// choice, and a click picks the row it shows, not the row of the same place from the top.
TEST_F(editor_ops, every_custom_level_of_a_long_list_can_be_chosen) {
    load_content();
    std::filesystem::create_directories(path_in_game("custom"));
    const std::vector<uint8_t> bytes = encode_level(one_mirror_level());
    for (char c = 'a'; c <= 'p'; ++c) {
        std::ofstream(path_in_game(std::string("custom/") + c + ".level"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    refresh_custom_names();
    ASSERT_EQ(ed.custom_names.size(), 16u);
    screen_state = screen_custom_levels;
    fade_count = 64;
    ed.custom_selected = 0;
    run_passes(1);
    for (int i = 0; i < 20; ++i) {
        platform::headless::press_key(platform::key_arrow_down);
        platform::headless::release_key(platform::key_arrow_down);
        run_passes(1);
    }
    EXPECT_EQ(ed.custom_selected, 15);
    EXPECT_GT(ed.custom_first_shown, 0);
    const int32_t first = ed.custom_first_shown;
    // The top row on screen now shows a later level.
    platform::headless::move_mouse(260, 182);
    platform::headless::press_button(1);
    run_passes(1);
    platform::headless::release_button(1);
    run_passes(1);
    EXPECT_EQ(ed.custom_selected, first);
    EXPECT_EQ(ed.custom_names[size_t(first)], std::string(1, char('a' + first)));
}

// The code on the clipboard opens as the same level; a damaged code leaves the level alone and
// says so, and undo brings back what a good code replaced.
TEST_F(editor_ops, level_codes_copy_and_paste) {
    open_editor(one_mirror_level(), "");
    ASSERT_TRUE(copy_level_code());
    const std::string code = platform::clipboard_text();
    EXPECT_EQ(code, encode_level_code(one_mirror_level()));

    open_editor(level_data{}, "");
    platform::headless::put_on_clipboard(code.substr(0, code.size() - 3));
    EXPECT_FALSE(paste_level_code());
    EXPECT_EQ(message_shown, 1);
    EXPECT_NE(message_text.find("not a level code"), std::string::npos) << message_text;
    EXPECT_EQ(encode_level(built_level()), encode_level(level_data{}));
    message_shown = 0;

    platform::headless::put_on_clipboard(code);
    ASSERT_TRUE(paste_level_code());
    EXPECT_EQ(encode_level(built_level()), encode_level(one_mirror_level()));
    EXPECT_TRUE(build_undo_move());
    EXPECT_EQ(encode_level(built_level()), encode_level(level_data{}));
}

// The critic judges in a process of its own and its verdict comes back in words; a helper that
// fails or cannot start gives a verdict that says so, never a crash or a hang.
TEST_F(editor_ops, the_critic_judges_in_a_helper_process) {
    open_editor(one_mirror_level(), "");
    ed.critic_program = CRITIC_PROGRAM;
    run_critic_to_end();
    EXPECT_EQ(ed.critic_child, 0);
    EXPECT_EQ(ed.verdict_text,
              "Solvable with 1 piece of 1 in stock; the stored solution wins\n"
              "Fewest pieces: 1\n"
              "Unique: yes, one solution\n"
              "Inert fixed pieces: none\n"
              "Grade 3.2, start score 350\n");
    EXPECT_EQ(ed.verdict_code, encode_level_code(one_mirror_level()));
    EXPECT_EQ(ed.verdict_shown, 1);

    // Saved with the level, and read back with it.
    ASSERT_TRUE(save_custom_level("judged"));
    ASSERT_TRUE(open_custom_level("judged"));
    EXPECT_EQ(ed.verdict_text.substr(0, 13), "Solvable with");

    ed.critic_program = "/bin/false";
    run_critic_to_end();
    EXPECT_EQ(ed.verdict_text, "No verdict: the critic failed on this level\n");
    ed.critic_program = path_in_game("no-such-program");
    start_critic();
    EXPECT_EQ(ed.critic_child, 0);
    EXPECT_EQ(ed.status_text, "The critic could not be started");
}

// A level with a wall nothing reaches, and a second mirror it does not need: the critic names
// both kinds of fault.
TEST_F(editor_ops, the_critic_names_inert_pieces_and_a_larger_stock) {
    level_data level = one_mirror_level();
    level.cells[15][12] = level_cell_code(kind_wall, 0, 0);
    level.cells[0][0] = level_cell_code(kind_mirror, 0, 0);
    open_editor(level, "");
    ed.critic_program = CRITIC_PROGRAM;
    run_critic_to_end();
    EXPECT_NE(ed.verdict_text.find("Solvable with 1 piece of 2 in stock; the stored solution"),
              std::string::npos)
        << ed.verdict_text;
    EXPECT_NE(ed.verdict_text.find("Inert fixed pieces: wall group at 16,13"), std::string::npos)
        << ed.verdict_text;
    EXPECT_NE(ed.verdict_text.find("Not yet: fewest pieces 1, stock 2"), std::string::npos)
        << ed.verdict_text;
}

// An empty board or one without a lamp has nothing to judge, and the critic says what is
// missing; a level that cannot be solved says so once, not again as a rule it breaks.
TEST_F(editor_ops, the_critic_says_what_an_unfinished_level_lacks) {
    ed.critic_program = CRITIC_PROGRAM;
    run_critic_to_end();
    EXPECT_EQ(ed.verdict_text, "Nothing to judge yet: a level needs a laser and a lamp\n");
    level_data no_lamp = one_mirror_level();
    no_lamp.cells[10][10] = 0;
    open_editor(no_lamp, "");
    ed.critic_program = CRITIC_PROGRAM;
    run_critic_to_end();
    EXPECT_EQ(ed.verdict_text, "Nothing to judge yet: a level needs a lamp\n");
    level_data walled = one_mirror_level();
    walled.cells[10][9] = level_cell_code(kind_wall, 0, 0);
    open_editor(walled, "");
    ed.critic_program = CRITIC_PROGRAM;
    run_critic_to_end();
    EXPECT_EQ(ed.verdict_text.substr(0, 29), "Not solvable with this stock\n") << ed.verdict_text;
    EXPECT_EQ(ed.verdict_text.find("fewest pieces"), std::string::npos) << ed.verdict_text;
}

}  // namespace

namespace {

// `beamworks --edit FILE`: the editor opens on the file as a new level (saving asks for a
// name); a file that is no level opens an empty board with a notice instead of a crash.
TEST_F(editor_ops, the_command_line_opens_a_file_or_says_why_not) {
    const std::string file = path_in_game("mine.lvl");
    const std::vector<uint8_t> bytes = encode_level(one_mirror_level());
    ASSERT_TRUE(platform::write_file_atomic(file, bytes));
    open_editor_from_command_line(file);
    EXPECT_EQ(screen_state, screen_editor);
    EXPECT_EQ(ed.started_from_command_line, 1);
    EXPECT_EQ(ed.level_name, "");
    EXPECT_EQ(encode_level(built_level()), bytes);
    EXPECT_EQ(message_shown, 0);

    std::vector<uint8_t> bad = bytes;
    bad[1 + one_mirror_level().text.size()] = 0xff;  // a negative cell code
    bad[4 + one_mirror_level().text.size()] = 0xff;
    ASSERT_TRUE(platform::write_file_atomic(file, bad));
    open_editor_from_command_line(file);
    EXPECT_EQ(encode_level(built_level()), encode_level(level_data{}));
    EXPECT_EQ(message_shown, 1);
    EXPECT_NE(message_text.find("is not a level the editor can open"), std::string::npos);
}

// Playing a custom level keeps its clock and cost apart: leaving it or a bomb's restart never
// writes the time of the level the galaxy map last opened.
TEST_F(editor_ops, a_custom_level_keeps_its_clock_apart_from_the_progress) {
    current_level = 5;
    level_time[5] = 77;
    level_solution_cost[5] = 3;
    begin_custom_play("first", one_mirror_level(), 350);
    EXPECT_EQ(next_screen_state, screen_play);
    ASSERT_TRUE(load_level());
    EXPECT_EQ(start_score, 350);
    EXPECT_EQ(piece_stock[kind_mirror], 1);
    EXPECT_EQ(level_text, one_mirror_level().text);
    platform::headless::advance_clock(9000);
    clock_start = 0;
    leave_level();
    EXPECT_EQ(next_screen_state, screen_custom_levels);
    EXPECT_EQ(level_time[5], 77);
    EXPECT_EQ(level_solution_cost[5], 3);
    stored_level_seconds() = 12;
    EXPECT_EQ(custom_play_vars.custom_seconds, 12);
    EXPECT_EQ(level_time[5], 77);
}

}  // namespace

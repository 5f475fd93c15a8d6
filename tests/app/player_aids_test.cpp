// Scenarios of the player's aids and of the hazards they remove, run by the replay tool's
// script runner: a double click on Delete, a level opened with an empty slot selected, undo
// and redo, the options kept across a restart, a damaged settings file, the F1 help, and a
// notice over the main menu.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/platform.h"
#include "png_reader.h"
#include "profiles/pack_rules.h"
#include "replay_scenario.h"
#include "replay_script.h"
#include "support/headless_game.h"

namespace fs = std::filesystem;

namespace {

class player_aids_test : public replay_scenario {
protected:
    // Runs a script in which "@name" stands for a file of the scratch folder.
    void replay(std::string script) {
        for (size_t at = script.find('@'); at != std::string::npos; at = script.find('@', at)) {
            script.replace(at, 1, game_dir + "/");
        }
        EXPECT_EQ(replay_scenario::replay(script), 0);
    }
    std::map<std::string, std::string> dump(const std::string& name) const {
        return read_dump(name);
    }
    // The board of a dump: its rows, the laser switches and the stock, as written.
    std::string board_of(const std::string& name) const {
        std::ifstream in(path_in_game(name));
        std::string board;
        std::string line;
        while (std::getline(in, line)) {
            if (line.starts_with("board_row ") || line.starts_with("laser_sources ") ||
                line.starts_with("piece_stock ")) {
                board += line + "\n";
            }
        }
        EXPECT_NE(board, "") << name;
        return board;
    }
};

// A new player "Ann", chosen (a new player is selected at once) and taken to the main menu.
const std::string new_player_to_menu =
    "wait 1\n"
    "click 400 175\n"
    "type Ann\n"
    "wait 4\n"
    "click 400 175\n"
    "click 340 475\n"
    "wait 64\n";

// From the main menu to level 1-1, its note dismissed.
std::string menu_to_first_level() {
    const int32_t px = shifted_panel_x(109);
    const int32_t py = shifted_panel_y(493);
    return "click 50 140\n"
           "wait 64\n"
           "click 109 493\n"
           "click " +
           std::to_string(px + 25) + " " + std::to_string(py + 50) +
           "\n"
           "wait 70\n"
           "click 400 370\n"
           "wait 2\n";
}

TEST_F(player_aids_test, a_double_click_on_delete_removes_one_player) {
    replay(
        "wait 1\n"
        "click 400 175\ntype Aaa\nwait 4\nclick 400 175\n"
        "click 400 175\ntype Bbb\nwait 4\nclick 400 175\n"
        "click 400 175\ntype Keep\nwait 5\nclick 400 175\n"
        "dump @made.txt\n"
        "# Bbb's row, then Delete twice in a row\n"
        "click 400 237\n"
        "click 460 475\n"
        "click 460 475\n"
        "wait 1\n"
        "dump @deleted.txt\n");
    auto made = dump("made.txt");
    EXPECT_EQ(made["profile_count"], "3");
    EXPECT_EQ(made["selected_profile"], "2");  // Keep, the player just made
    auto deleted = dump("deleted.txt");
    EXPECT_EQ(deleted["profile_count"], "2");
    EXPECT_EQ(deleted["profile_names"].substr(0, 8), "Aaa Keep");
    EXPECT_EQ(deleted["selected_profile"], "-1");
    EXPECT_TRUE(fs::exists(path_in_game("users/Keep")));
    EXPECT_FALSE(fs::exists(path_in_game("users/Bbb")));
}

TEST_F(player_aids_test, a_level_opened_with_an_empty_slot_selected_places_on_the_first_click) {
    replay(new_player_to_menu + menu_to_first_level() +
           "# the sphere slot: level 1-1 has none, so a click on the board places nothing\n"
           "click 750 480\n"
           "click 402 547\n"
           "wait 1\n"
           "dump @empty_slot.txt\n"
           "click 700 580\n"
           "wait 64\n" +
           menu_to_first_level() +
           "click 402 547\n"
           "wait 1\n"
           "dump @placed.txt\n");
    auto empty_slot = dump("empty_slot.txt");
    EXPECT_EQ(empty_slot["selected_slot"], "4");
    EXPECT_EQ(empty_slot["piece_stock"].substr(0, 14), "0 0 0 0 0 0 1 ");
    auto placed = dump("placed.txt");
    EXPECT_EQ(placed["selected_slot"], "0");
    EXPECT_EQ(placed["piece_stock"].substr(0, 14), "0 0 0 0 0 0 0 ");
}

TEST_F(player_aids_test, undo_and_redo_restore_the_exact_board) {
    replay(new_player_to_menu + menu_to_first_level() +
           "dump @start.txt\n"
           "# place the mirror away from the beam, dragging it round\n"
           "move 227 267\n"
           "press left\n"
           "wait 1\n"
           "move 260 300\n"
           "wait 1\n"
           "release left\n"
           "wait 1\n"
           "dump @placed.txt\n"
           "# switch the laser off\n"
           "click 402 477\n"
           "wait 1\n"
           "dump @switched.txt\n"
           "# Ctrl+Z twice, Backspace once more does nothing\n"
           "hold 302\nkey 122\nwait 1\nkey 122\nwait 1\nfree 302\n"
           "key 8\nwait 1\n"
           "dump @undone.txt\n"
           "# Ctrl+Y once, then the Redo button\n"
           "hold 302\nkey 121\nwait 1\nfree 302\n"
           "dump @redo_one.txt\n"
           "click 340 37\n"
           "wait 1\n"
           "dump @redone.txt\n");
    auto start = dump("start.txt");
    auto undone = dump("undone.txt");
    auto redone = dump("redone.txt");
    ASSERT_NE(board_of("start.txt"), board_of("placed.txt"));
    ASSERT_NE(board_of("placed.txt"), board_of("switched.txt"));
    EXPECT_EQ(dump("switched.txt")["undo_steps"], "2");
    EXPECT_EQ(board_of("undone.txt"), board_of("start.txt"));
    EXPECT_EQ(undone["undo_steps"], "0");
    EXPECT_EQ(undone["redo_steps"], "2");
    EXPECT_EQ(board_of("redo_one.txt"), board_of("placed.txt"));
    EXPECT_EQ(board_of("redone.txt"), board_of("switched.txt"));
    EXPECT_EQ(redone["redo_steps"], "0");
    // Undo gives back no time and no solution cost.
    EXPECT_EQ(redone["clock_start"], start["clock_start"]);
    EXPECT_EQ(redone["solution_cost"], start["solution_cost"]);
}

TEST_F(player_aids_test, options_survive_a_restart) {
    replay(new_player_to_menu +
           "# Options, the sixth entry, below Exit\n"
           "click 50 340\n"
           "wait 64\n"
           "dump @options.txt\n"
           "# music: one step down by the mouse, two by the keyboard\n"
           "click 470 214\n"
           "key 305\nwait 1\nkey 305\nwait 1\n"
           "# sound: one row down, one step down; then full screen by clicking its name\n"
           "key 304\nwait 1\nkey 305\nwait 1\n"
           "click 260 390\n"
           "dump @changed.txt\n"
           "# Escape goes back to the menu\n"
           "key 27\n"
           "wait 64\n"
           "dump @back.txt\n"
           "# O on the main menu opens the options too\n"
           "key 111\n"
           "wait 64\n"
           "dump @by_key.txt\n");
    auto options = dump("options.txt");
    EXPECT_EQ(options["screen_state"], "7");
    EXPECT_EQ(options["music_volume"], "100");
    auto changed = dump("changed.txt");
    EXPECT_EQ(changed["music_volume"], "70");
    EXPECT_EQ(changed["options_row"], "4");
    EXPECT_EQ(changed["sound_volume"], "90");
    EXPECT_EQ(changed["full_screen"], "1");
    EXPECT_EQ(dump("back.txt")["screen_state"], "1");
    EXPECT_EQ(dump("by_key.txt")["screen_state"], "7");
    ASSERT_TRUE(fs::exists(path_in_game("users/settings.txt")));

    replay("wait 2\ndump @restart.txt\n");
    auto restart = dump("restart.txt");
    EXPECT_EQ(restart["music_volume"], "70");
    EXPECT_EQ(restart["sound_volume"], "90");
    EXPECT_EQ(restart["full_screen"], "1");
}

// Level 1-1: a white laser in cell (10, 11) sends its beam down along x 402; its lens sits
// around (402, 494), its colour-blind badge from (386, 461) to (398, 473).
TEST_F(player_aids_test, glow_lens_and_aid_show_on_the_board_as_the_options_say) {
    replay(new_player_to_menu + menu_to_first_level() +
           "shot @glow.png\n"
           "# the laser switched off by a click\n"
           "click 402 477\n"
           "wait 2\n"
           "shot @laser_off.png\n"
           "dump @laser_off.txt\n"
           "# to the options: the glow off by a click on its name, the aid on by the keys\n"
           "click 700 580\n"
           "wait 64\n"
           "click 50 340\n"
           "wait 64\n"
           "click 260 300\n"
           "key 304\nwait 1\nkey 306\nwait 1\n"
           "dump @options.txt\n"
           "key 27\n"
           "wait 70\n" +
           menu_to_first_level() + "shot @aid.png\n");
    // Column, row, colour, direction, entry direction, switched on, solid.
    EXPECT_EQ(dump("laser_off.txt")["laser_sources"], "10:11:0:4:0:0:0");
    auto options = dump("options.txt");
    EXPECT_EQ(options["beam_glow"], "0");
    EXPECT_EQ(options["colour_blind_aid"], "1");
    EXPECT_EQ(options["options_row"], "3");

    const rgba_picture glow = read_png(path_in_game("glow.png"));
    const rgba_picture laser_off = read_png(path_in_game("laser_off.png"));
    const rgba_picture aid = read_png(path_in_game("aid.png"));
    ASSERT_EQ(glow.width, 800);
    ASSERT_EQ(laser_off.width, 800);
    ASSERT_EQ(aid.width, 800);
    auto grey = [](const rgba_picture& p, int32_t x, int32_t y) { return int32_t{p.red(x, y)}; };
    // The beam's line is white with and without the glow; beside it only the glow shows.
    EXPECT_EQ(grey(glow, 402, 520), 255);
    EXPECT_EQ(grey(aid, 402, 520), 255);
    EXPECT_GT(grey(glow, 403, 520), 80);
    EXPECT_LT(grey(aid, 403, 520), 20);  // the board's own dark background
    // The lens: lit white while the laser is on, a dim bead once it is off.
    EXPECT_GT(grey(glow, 404, 494), 230);
    EXPECT_LT(grey(laser_off, 404, 494), grey(glow, 404, 494) - 50);
    EXPECT_GT(grey(laser_off, 404, 494), 40);
    // The aid's badge on the laser: some of its pixels differ from the picture without it.
    int32_t changed = 0;
    for (int32_t y = 461; y < 474; ++y)
        for (int32_t x = 386; x < 399; ++x) changed += grey(glow, x, y) != grey(aid, x, y);
    EXPECT_GT(changed, 40);
    // And on the panel's sphere, whatever its stock.
    int32_t panel_changed = 0;
    for (int32_t y = 486; y < 499; ++y)
        for (int32_t x = 726; x < 739; ++x) panel_changed += grey(glow, x, y) != grey(aid, x, y);
    EXPECT_GT(panel_changed, 40);

    replay("wait 2\ndump @restart.txt\n");
    auto restart = dump("restart.txt");
    EXPECT_EQ(restart["beam_glow"], "0");
    EXPECT_EQ(restart["colour_blind_aid"], "1");
}

TEST_F(player_aids_test, a_damaged_settings_file_gives_the_defaults_and_no_message) {
    fs::create_directories(path_in_game("users"));
    std::ofstream(path_in_game("users/settings.txt")) << "music_volume 20\nbeam_glow 7\n";
    replay("wait 2\ndump @damaged.txt\n");
    auto damaged = dump("damaged.txt");
    EXPECT_EQ(damaged["music_volume"], "100");
    EXPECT_EQ(damaged["beam_glow"], "1");
    EXPECT_EQ(damaged["message_shown"], "0");

    std::ofstream(path_in_game("users/settings.txt"), std::ios::binary)
        << std::string("\0\xff\x01garbage", 10);
    replay("wait 2\ndump @garbage.txt\n");
    EXPECT_EQ(dump("garbage.txt")["sound_volume"], "100");
}

TEST_F(player_aids_test, f1_help_holds_the_screen_beneath_and_a_click_only_closes_it) {
    replay(new_player_to_menu +
           "key 301\n"
           "wait 1\n"
           "dump @help.txt\n"
           "# a click on Play closes the help and does not start the game\n"
           "click 50 140\n"
           "wait 2\n"
           "dump @closed.txt\n"
           "key 301\nwait 1\nkey 301\nwait 1\n"
           "dump @toggled.txt\n");
    auto help = dump("help.txt");
    EXPECT_EQ(help["help_shown"], "1");
    auto closed = dump("closed.txt");
    EXPECT_EQ(closed["help_shown"], "0");
    EXPECT_EQ(closed["fading"], "0");
    EXPECT_EQ(closed["screen_state"], "1");
    EXPECT_EQ(dump("toggled.txt")["help_shown"], "0");
}

TEST_F(player_aids_test, keys_typed_under_the_f1_help_do_not_reach_the_name_being_typed) {
    replay(
        "wait 1\n"
        "click 400 175\n"
        "type Ann\n"
        "wait 4\n"
        "key 301\n"
        "wait 1\n"
        "type Bob\n"
        "wait 4\n"
        "key 301\n"
        "wait 1\n"
        "type x\n"
        "wait 2\n"
        "dump @name.txt\n");
    auto name = dump("name.txt");
    EXPECT_EQ(name["help_shown"], "0");
    EXPECT_EQ(name["typed_name"], "Annx");
}

TEST_F(player_aids_test, the_not_saved_notice_over_the_main_menu_holds_its_buttons) {
    replay(new_player_to_menu);
    // Ann's folder becomes a file: her progress can no longer be written.
    fs::remove_all(path_in_game("users/Ann"));
    std::ofstream(path_in_game("users/Ann")) << "in the way";
    replay("wait 1\nclick 400 212\nclick 340 475\nwait 64\n" + menu_to_first_level() +
           "click 700 580\n"
           "wait 64\n"
           "dump @notice.txt\n"
           "click 50 140\n"
           "wait 2\n"
           "dump @held.txt\n"
           "click 400 370\n"
           "click 50 140\n"
           "wait 2\n"
           "dump @after_ok.txt\n");
    auto notice = dump("notice.txt");
    EXPECT_EQ(notice["screen_state"], "1");
    EXPECT_EQ(notice["message_shown"], "1");
    EXPECT_EQ(notice["message_text"], "Your progress could not be saved");
    auto held = dump("held.txt");
    EXPECT_EQ(held["fading"], "0");
    EXPECT_EQ(held["message_shown"], "1");
    auto after_ok = dump("after_ok.txt");
    EXPECT_EQ(after_ok["message_shown"], "0");
    EXPECT_EQ(after_ok["fading"], "1");
    EXPECT_EQ(after_ok["next_screen_state"], "2");
}

}  // namespace

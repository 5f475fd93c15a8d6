// Whole-game scenarios run by the replay tool's script runner: a new player is made, chosen,
// walks through the menu and the credits, and quits; the dumps and the files on disk are
// compared afterwards, and a second run of the game finds her again.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "platform/platform.h"
#include "replay_scenario.h"
#include "replay_script.h"
#include "support/headless_game.h"

namespace fs = std::filesystem;

namespace {

using bytes = std::vector<uint8_t>;

class scenario_test : public replay_scenario {
protected:
    std::string dump_path(const std::string& name) const { return path_in_game(name); }

    // The dump as name -> the rest of its line.
    std::map<std::string, std::string> dump(const std::string& name) const {
        return read_dump(name);
    }
    bytes file(const std::string& relative) const {
        std::ifstream in(path_in_game(relative), std::ios::binary);
        EXPECT_TRUE(in.good()) << relative;
        return bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

std::string repeated(const std::string& value, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += (i ? " " : "") + value;
    return out;
}

TEST_F(scenario_test, create_ann_choose_her_visit_the_credits_and_quit) {
    const std::string script =
        "wait 1\n"
        "# new profile: name entry opens\n"
        "click 400 175\n"
        "type Ann\n"
        "# one character a pass\n"
        "wait 3\n"
        "dump typed.txt\n"
        "# OK: Ann is created\n"
        "click 400 175\n"
        "# her row\n"
        "click 400 210\n"
        "# confirm: her progress loads, the menu fades in\n"
        "click 340 475\n"
        "wait 64\n"
        "dump menu.txt\n"
        "# credits\n"
        "click 50 260\n"
        "wait 64\n"
        "dump credits.txt\n"
        "# back to the main menu\n"
        "click 100 580\n"
        "wait 64\n"
        "dump back.txt\n"
        "# exit: the game ends here\n"
        "click 50 300\n"
        "wait 10\n"
        "dump never.txt\n";
    std::string resolved = script;
    for (const char* name : {"typed.txt", "menu.txt", "credits.txt", "back.txt", "never.txt"}) {
        resolved.replace(resolved.find(name), std::string(name).size(), dump_path(name));
    }
    ASSERT_EQ(replay(resolved), 0);

    auto typed = dump("typed.txt");
    EXPECT_EQ(typed["screen_state"], "0");
    EXPECT_EQ(typed["name_entry"], "1");
    EXPECT_EQ(typed["typed_name"], "Ann");
    EXPECT_EQ(typed["profile_count"], "0");

    auto menu = dump("menu.txt");
    EXPECT_EQ(menu["screen_state"], "1");
    EXPECT_EQ(menu["fading"], "0");
    EXPECT_EQ(menu["fade"], "1");
    EXPECT_EQ(menu["profile_count"], "1");
    EXPECT_EQ(menu["profile_names"], "Ann" + std::string(9, ' '));
    EXPECT_EQ(menu["current_profile"], "0");
    EXPECT_EQ(menu["selected_profile"], "0");
    EXPECT_EQ(menu["name_entry"], "0");
    EXPECT_EQ(menu["typed_name"], "");
    EXPECT_EQ(menu["pack_access"], "1 " + repeated("0", 19));
    EXPECT_EQ(menu["level_best_score"], repeated("-1", 120));
    EXPECT_EQ(menu["level_time"], repeated("0", 120));
    EXPECT_EQ(menu["level_solution_cost"], repeated("0", 120));
    EXPECT_EQ(menu["total_score"], "0");
    EXPECT_EQ(menu["message_shown"], "0");

    auto credits = dump("credits.txt");
    EXPECT_EQ(credits["screen_state"], "5");
    EXPECT_EQ(credits["fading"], "0");
    // The credits button was left glowing when the transition froze it.
    EXPECT_EQ(credits["credits_button_tint"], "245");
    EXPECT_EQ(credits["menu_button_tint"], "255");

    auto back = dump("back.txt");
    EXPECT_EQ(back["screen_state"], "1");
    EXPECT_EQ(back["fading"], "0");
    EXPECT_EQ(back["current_profile"], "0");
    EXPECT_EQ(back["menu_button_tint"], "245");
    // Frozen at 245 through both transitions, then one pass of recovery on the menu.
    EXPECT_EQ(back["credits_button_tint"], "255");

    EXPECT_FALSE(fs::exists(dump_path("never.txt")));

    bytes packs(20, 0);
    packs[0] = 1;
    bytes scores;
    for (int n = 0; n < 120; ++n) scores.insert(scores.end(), {255, 255, 255, 255, 0, 0, 0, 0});
    EXPECT_EQ(file("users/profiles.dat"), (bytes{1, 3, 'A', 'n', 'n'}));
    EXPECT_EQ(file("users/Ann/pack_access.all"), packs);
    EXPECT_EQ(file("users/Ann/level_score.all"), scores);
    EXPECT_EQ(file("users/Ann/solution.all"), bytes(480, 0));
    std::set<std::string> in_users;
    for (const auto& e : fs::recursive_directory_iterator(path_in_game("users"))) {
        in_users.insert(fs::relative(e.path(), path_in_game("users")).string());
    }
    EXPECT_EQ(in_users, (std::set<std::string>{"profiles.dat", "Ann", "Ann/pack_access.all",
                                               "Ann/level_score.all", "Ann/solution.all"}));

    // The next run of the game finds Ann in the list and loads her progress on confirming.
    const bytes list_before = file("users/profiles.dat");
    std::ofstream(path_in_game("users/Ann/level_score.all"), std::ios::binary | std::ios::trunc)
        .write("\x2c\x01\x00\x00\x05\x00\x00\x00", 8);
    const std::string again =
        "wait 1\nclick 400 210\nclick 340 475\nwait 64\ndump " + dump_path("again.txt") + "\n";
    ASSERT_EQ(replay(again), 0);
    auto second = dump("again.txt");
    EXPECT_EQ(second["screen_state"], "1");
    EXPECT_EQ(second["profile_names"], "Ann" + std::string(9, ' '));
    EXPECT_EQ(second["level_best_score"], "300 " + repeated("-1", 119));
    EXPECT_EQ(second["level_time"], "5 " + repeated("0", 119));
    EXPECT_EQ(second["total_score"], "300");
    // Nothing is written by choosing a player or by quitting.
    EXPECT_EQ(file("users/profiles.dat"), list_before);
    EXPECT_EQ(file("users/Ann/level_score.all").size(), 8u);
}

}  // namespace

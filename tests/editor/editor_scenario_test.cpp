// A whole editor session through the replay tool: a player builds a small level, writes its
// note, asks the critic, saves it, opens it again from the list of custom levels, plays it and
// wins; the saved file passes the level checker and the win never touches her progress files.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/platform.h"
#include "support/headless_game.h"

namespace fs = std::filesystem;

namespace {

struct run_result {
    int status = -1;
    std::string out;
};

run_result run(const std::string& command) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    run_result r;
    if (!pipe) return r;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) r.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The replay tool runs as a program of its own: the editor starts it again as its critic.
class editor_scenario : public headless_game_test {
protected:
    run_result replay(const std::string& script) {
        const std::string script_path = path_in_game("script.txt");
        std::ofstream(script_path) << script;
        return run("cd " + game_dir + " && " + CRITIC_PROGRAM + " --game-dir " + game_dir + " " +
                   script_path);
    }
};

// Ann is made and chosen, and the galaxy map's Editor button leads to the custom levels.
constexpr const char* to_the_custom_levels =
    "wait 5\nclick 400 175\ntype Ann\nwait 5\nclick 400 175\nclick 400 215\nclick 340 475\n"
    "wait 70\nclick 60 140\nwait 70\nclick 50 575\nwait 70\n";

// Placing a mirror at (10, 5) and turning it down-left, as a player drags it.
// The same player at the next start.
constexpr const char* chosen_ann_to_the_custom_levels =
    "wait 5\nclick 400 215\nclick 340 475\nwait 70\nclick 60 140\nwait 70\nclick 50 575\n"
    "wait 70\n";

constexpr const char* mirror_down_left =
    "move 402 267\npress left\nwait 2\nmove 362 307\nwait 2\nrelease left\nwait 2\n";

TEST_F(editor_scenario, build_judge_save_reopen_play_and_win) {
    std::string script = to_the_custom_levels;
    script +=
        "# New level: a laser at (2, 5), a lamp at (10, 10), a mirror at (10, 5)\n"
        "click 260 512\nwait 70\n"
        "click 770 95\nclick 122 267\n"
        "click 728 140\nclick 402 442\n"
        "click 770 180\n";
    script += mirror_down_left;
    script +=
        "# the note\n"
        "click 385 16\nwait 2\ntype Turn the mirror so that the beam finds the lamp.\nwait 60\n"
        "key 13\nwait 2\n"
        "# the critic, then its window closed\n"
        "click 240 16\nwait 3\ndump judged.txt\nclick 400 300\nwait 2\n"
        "# saved as first\n"
        "click 445 16\nwait 2\ntype first\nwait 10\nkey 13\nwait 2\ndump saved.txt\n"
        "# test mode: the mirror from the stock wins\n"
        "click 60 16\nwait 5\n";
    script += mirror_down_left;
    script +=
        "wait 3\ndump tested.txt\nclick 400 370\nwait 2\n"
        "# Exit to the list; choose first and edit it again\n"
        "click 560 16\nwait 70\ndump listed.txt\nclick 260 182\nclick 357 512\nwait 70\ndump "
        "reopened.txt\n";
    const run_result r = replay(script);
    ASSERT_EQ(r.status, 0) << r.out;
    const std::string progress_before = file_text(path_in_game("users/Ann/level_score.all"));
    ASSERT_FALSE(progress_before.empty());

    // A second start of the game: Ann chosen, her level played and won from the list.
    std::string play = chosen_ann_to_the_custom_levels;
    play +=
        "click 260 182\nclick 418 512\nwait 70\n"
        "# the note's OK, the mirror slot, the mirror placed and turned\n"
        "click 400 370\nwait 5\nclick 740 120\n";
    play += mirror_down_left;
    play += "wait 300\ndump won.txt\nclick 400 370\nwait 70\ndump back.txt\n";
    const run_result played = replay(play);
    ASSERT_EQ(played.status, 0) << played.out;

    // Back from the editor the level just saved is the chosen one.
    auto listed = read_dump("listed.txt");
    EXPECT_EQ(listed["screen_state"], "9");
    EXPECT_EQ(listed["custom_selected"], "0");
    auto judged = read_dump("judged.txt");
    EXPECT_EQ(judged["screen_state"], "8");
    EXPECT_EQ(judged["verdict_text"],
              "Solvable with 1 piece of 1 in stock; the stored solution wins\\nFewest pieces: "
              "1\\nUnique: yes, one solution\\nInert fixed pieces: none\\nGrade 3.2, start score "
              "350\\n");
    EXPECT_EQ(judged["verdict_shown"], "1");

    auto saved = read_dump("saved.txt");
    EXPECT_EQ(saved["level_name"], "first");
    EXPECT_EQ(saved["status_text"], "Saved as first");
    const std::string level_file = path_in_game("custom/first.level");
    const std::string verdict = file_text(path_in_game("custom/first.verdict.txt"));
    EXPECT_EQ(verdict.substr(0, 62),
              "Solvable with 1 piece of 1 in stock; the stored solution wins\n");

    auto tested = read_dump("tested.txt");
    EXPECT_EQ(tested["editor_mode"], "1");
    EXPECT_EQ(tested["test_won"], "1");
    EXPECT_EQ(tested["message_text"], "Every lamp is lit: the level is won");

    auto reopened = read_dump("reopened.txt");
    EXPECT_EQ(reopened["screen_state"], "8");
    EXPECT_EQ(reopened["level_name"], "first");
    EXPECT_EQ(reopened["edit_level"], saved["edit_level"]);
    EXPECT_EQ(reopened["verdict_text"], judged["verdict_text"]);

    auto won = read_dump("won.txt");
    EXPECT_EQ(won["screen_state"], "3");
    EXPECT_EQ(won["custom_playing"], "1");
    EXPECT_EQ(won["message_text"], "Level complete!!!");
    EXPECT_EQ(won["final_score"], "350");
    EXPECT_EQ(won["custom_best"], "350");
    EXPECT_EQ(won["level_best_score"].substr(0, 6), "-1 -1 ");

    auto back = read_dump("back.txt");
    EXPECT_EQ(back["screen_state"], "9");
    EXPECT_EQ(back["custom_playing"], "0");
    EXPECT_EQ(back["custom_selected_best"], "350");

    // The win is in her custom scores, and not a byte of her progress changed: every level's
    // best is still "never completed".
    EXPECT_NE(file_text(path_in_game("users/Ann/custom_scores.txt")).find(" 350"),
              std::string::npos);
    EXPECT_EQ(file_text(path_in_game("users/Ann/level_score.all")), progress_before);

    // The saved level passes the level checker like a shipped one.
    fs::create_directories(path_in_game("check"));
    fs::copy_file(level_file, path_in_game("check/level.001"));
    const run_result check =
        run(std::string(LEVEL_CHECK_PATH) + " verify " + path_in_game("check"));
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_EQ(check.out, "level.001 ok\n1 levels, 0 failed\n");
}

}  // namespace

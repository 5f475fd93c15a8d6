// The replay tool: its script language, a run against the whole game, and its exit status.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/platform.h"
#include "replay_script.h"
#include "support/headless_game.h"

namespace {

namespace fs = std::filesystem;

struct bad_line_case {
    const char* script;
    const char* error;
};

TEST(replay_script, a_bad_line_is_reported_with_its_number_and_nothing_runs) {
    const bad_line_case cases[] = {
        {"wait 1\njump 3\n", "line 2: unknown command 'jump'"},
        {"# comment\n\nmove 10\n", "line 3: 'move' takes 2 arguments, found 1"},
        {"click 10 ten\n", "line 1: 'ten' is not a whole number"},
        {"press middle\n", "line 1: unknown button 'middle' (left or right)"},
        {"wait -1\n", "line 1: '-1' is below 0"},
        {"wait 5 6\n", "line 1: 'wait' takes 1 argument, found 2"},
        {"key 999\n", "line 1: key code 999 is above 511"},
        {"  shot   \n", "line 1: 'shot' needs a file name"},
        {"type\n", "line 1: 'type' needs the text to type"},
    };
    for (const bad_line_case& c : cases) {
        const replay::parsed_script parsed = replay::parse_script(c.script);
        EXPECT_EQ(parsed.error, c.error) << c.script;
        EXPECT_TRUE(parsed.commands.empty());
    }
}

TEST(replay_script, commands_carry_their_arguments_and_line_numbers) {
    const replay::parsed_script parsed = replay::parse_script(
        "# a comment line\n"
        "move 10 -20\n"
        "   # an indented comment\n"
        "click 5 6\r\n"
        "press right\n"
        "release left\n"
        "key 13\n"
        "hold 32\n"
        "free 32\n"
        "type Ann  Lee # not a comment\n"
        "wait 64\n"
        "shot out dir/a.png\n"
        "dump state.txt\n"
        "close\n");
    ASSERT_EQ(parsed.error, "");
    ASSERT_EQ(parsed.commands.size(), 12u);
    const replay::command& move = parsed.commands[0];
    EXPECT_EQ(move.what, replay::op::move);
    EXPECT_EQ(move.line, 2);
    EXPECT_EQ(move.a, 10);
    EXPECT_EQ(move.b, -20);
    EXPECT_EQ(parsed.commands[1].line, 4);
    EXPECT_EQ(parsed.commands[2].a, 2);
    EXPECT_EQ(parsed.commands[3].a, 1);
    EXPECT_EQ(parsed.commands[7].text, "Ann  Lee # not a comment");
    EXPECT_EQ(parsed.commands[8].a, 64);
    EXPECT_EQ(parsed.commands[9].text, "out dir/a.png");
    EXPECT_EQ(parsed.commands[11].what, replay::op::close);
}

class replay_run_test : public headless_game_test {
protected:
    std::string write_script(const std::string& text) {
        const std::string path = path_in_game("script.txt");
        std::ofstream(path) << text;
        return path;
    }
    static std::string read_text(const std::string& path) {
        std::ifstream in(path);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(replay_run_test, a_script_runs_the_game_and_writes_shots_and_dumps) {
    const std::string shot = path_in_game("out/first.png");
    const std::string dump = path_in_game("out/state.txt");
    fs::create_directories(path_in_game("out"));
    const replay::parsed_script parsed = replay::parse_script(
        "wait 3\n"
        "shot " +
        shot +
        "\n"
        "move 123 45\n"
        "wait 1\n"
        "dump " +
        dump + "\n");
    ASSERT_EQ(parsed.error, "");
    std::ostringstream errors;
    EXPECT_EQ(replay::run_script(parsed.commands, game_dir, errors), 0);
    EXPECT_EQ(errors.str(), "");
    const std::string state = read_text(dump);
    EXPECT_NE(state.find("screen_state 0\n"), std::string::npos) << state;
    EXPECT_NE(state.find("cursor_x 123\n"), std::string::npos);
    EXPECT_NE(state.find("cursor_y 45\n"), std::string::npos);
    EXPECT_NE(state.find("fade 1\n"), std::string::npos);
    // The shot is an 800 by 600 picture.
    platform::init_headless(game_dir);
    platform::image* picture = platform::load_image(shot, 0);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(platform::image_width(picture), 800);
    EXPECT_EQ(platform::image_height(picture), 600);
}

TEST_F(replay_run_test, a_command_that_fails_is_reported_with_its_line) {
    const replay::parsed_script parsed =
        replay::parse_script("wait 1\n\ndump " + path_in_game("no/such/folder/state.txt") + "\n");
    std::ostringstream errors;
    EXPECT_EQ(replay::run_script(parsed.commands, game_dir, errors), 1);
    EXPECT_EQ(errors.str().rfind("line 3: cannot write the state to ", 0), 0u) << errors.str();
}

TEST_F(replay_run_test, the_game_quitting_ends_the_script_cleanly) {
    const std::string dump = path_in_game("after.txt");
    const replay::parsed_script parsed =
        replay::parse_script("wait 2\nclose\nwait 1\ndump " + dump + "\n");
    std::ostringstream errors;
    EXPECT_EQ(replay::run_script(parsed.commands, game_dir, errors), 0);
    EXPECT_FALSE(fs::exists(dump));  // the game had ended before this line
}

int run_program(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(replay_run_test, the_program_exits_0_at_the_end_and_1_with_the_bad_line_reported) {
    const std::string program = REPLAY_PROGRAM;
    const std::string quiet = " 2>" + path_in_game("stderr.txt");
    const std::string good = write_script("wait 2\ndump " + path_in_game("state.txt") + "\n");
    EXPECT_EQ(run_program(program + " --game-dir " + game_dir + " " + good + quiet), 0);
    EXPECT_TRUE(fs::exists(path_in_game("state.txt")));
    const std::string bad = write_script("wait 2\nwiat 3\n");
    EXPECT_EQ(run_program(program + " --game-dir " + game_dir + " " + bad + quiet), 1);
    EXPECT_NE(
        read_text(path_in_game("stderr.txt")).find("script.txt: line 2: unknown command 'wiat'"),
        std::string::npos)
        << read_text(path_in_game("stderr.txt"));
    EXPECT_EQ(run_program(program + quiet), 2);  // no script: usage
}

}  // namespace

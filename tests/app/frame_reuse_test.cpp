// A pass that would draw what the last one drew presents that frame again: whole replays give
// the same pictures byte for byte with and without the shortcut, and the shortcut is taken.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "platform/platform.h"
#include "replay_script.h"
#include "support/headless_game.h"

namespace {

namespace fs = std::filesystem;
namespace h = platform::headless;

// A new player, the main menu at rest and under the pointer, the galaxy map, level 1-1 with
// its note, a mirror taken from the palette and placed, the credits and the how-to-play tips,
// with the transitions between them. A shot follows single passes where the screen has just
// come to rest, where a reused frame would first show.
constexpr const char* scenario = R"(wait 5
click 400 175
type Ann
wait 5
click 400 175
click 400 215
click 340 475
wait 70
shot
wait 1
shot
move 60 140
wait 1
shot
wait 1
shot
wait 12
shot
wait 1
shot
wait 30
shot
click 60 140
wait 20
shot
wait 40
shot
wait 1
shot
move 109 493
wait 5
click 109 493
wait 2
shot
wait 20
shot
click 149 245
wait 70
shot
click 400 370
wait 3
shot
wait 1
shot
wait 30
shot
click 750 115
wait 1
shot
move 230 230
wait 1
shot
wait 1
shot
click 230 230
wait 1
shot
wait 1
shot
wait 30
shot
click 100 580
wait 70
shot
click 80 260
wait 40
shot
wait 30
shot
wait 1
shot
wait 30
shot
click 100 580
wait 70
click 100 220
wait 70
shot
move 300 100
wait 1
shot
wait 1
shot
move 700 300
wait 1
shot
wait 1
shot
wait 30
shot
)";

class frame_reuse_test : public headless_game_test {
protected:
    void TearDown() override {
        h::set_frame_reuse(true);
        headless_game_test::TearDown();
    }

    // Runs the scenario from a fresh players' folder and returns the bytes of its shots.
    std::vector<std::string> run_scenario(bool reuse, const std::string& label) {
        fs::remove_all(path_in_game("users"));
        fs::create_directories(path_in_game("users"));
        const fs::path shots = path_in_game(label);
        fs::create_directories(shots);
        std::istringstream lines(scenario);
        std::string script;
        std::string line;
        int32_t n = 0;
        while (std::getline(lines, line)) {
            if (line == "shot")
                line += " " + (shots / ("shot" + std::to_string(n++) + ".png")).string();
            script += line + "\n";
        }
        const replay::parsed_script parsed = replay::parse_script(script);
        EXPECT_EQ(parsed.error, "");
        h::set_frame_reuse(reuse);
        std::ostringstream errors;
        EXPECT_EQ(replay::run_script(parsed.commands, game_dir, errors), 0) << errors.str();
        std::vector<std::string> pictures;
        for (int32_t i = 0; i < n; ++i) {
            std::ifstream in(shots / ("shot" + std::to_string(i) + ".png"), std::ios::binary);
            pictures.emplace_back(std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>());
            EXPECT_FALSE(pictures.back().empty()) << "shot " << i;
        }
        return pictures;
    }
};

TEST_F(frame_reuse_test, replayed_frames_are_the_same_with_and_without_reuse) {
    if (!fs::exists(path_in_game("Levels/level_info.all"))) GTEST_SKIP() << "no built levels";
    const int64_t reused_before = h::reused_frames();
    const std::vector<std::string> drawn = run_scenario(false, "drawn");
    EXPECT_EQ(h::reused_frames(), reused_before) << "a frame was reused with reuse off";
    const std::vector<std::string> reused = run_scenario(true, "reused");
    // The screens stand still for 30 passes five times: the shortcut must have been taken
    // there, or the comparison proves nothing.
    EXPECT_GT(h::reused_frames() - reused_before, 120);
    ASSERT_EQ(drawn.size(), reused.size());
    for (size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_TRUE(drawn[i] == reused[i]) << "shot " << i << " differs";
    }
    // The scenario moves between screens: its shots are not all one picture.
    EXPECT_NE(drawn.front(), drawn.back());
}

}  // namespace

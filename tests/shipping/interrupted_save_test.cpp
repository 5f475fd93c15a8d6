// A save killed at any moment (power cut, crash, kill -9) never leaves a player unreadable or
// lost: every file is either the old one or the new one, whole.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

#include "shipping_support.h"
#include "support/headless_game.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

class interrupted_save_test : public headless_game_test {};

// Whether every level's time in a level_score.all holds the same save number, and which.
bool one_save(const std::vector<uint8_t>& scores, int32_t& save) {
    player_progress p = new_player_progress();
    decode_level_scores(scores, p);
    save = p.time[0];
    for (int32_t t : p.time) {
        if (t != save) return false;
    }
    return p.best_score[0] == save;
}

TEST_F(interrupted_save_test, a_player_survives_hundreds_of_kills_in_the_middle_of_saving) {
    const fs::path users = fs::path(game_dir) / "users";
    player_progress start = shipping::seasoned_progress();
    start.time.fill(0);
    start.best_score[0] = 0;
    shipping::write_players(users, {"Other", "Keeper"}, start);
    const auto other_scores = shipping::read_bytes(users / "Other" / "level_score.all");

    std::mt19937 rng(8);
    std::uniform_int_distribution<int32_t> delay_us(0, 30000);
    const int32_t kills = 150;
    int32_t last_save = 0, saves_seen = 0, leftovers = 0;
    for (int32_t k = 0; k < kills; ++k) {
        int out[2];
        ASSERT_EQ(pipe(out), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const std::string helper = SAVE_LOOP_PATH;
        char* args[] = {const_cast<char*>(helper.c_str()), const_cast<char*>(game_dir.c_str()),
                        const_cast<char*>("Keeper"), nullptr};
        pid_t child = 0;
        ASSERT_EQ(posix_spawn(&child, helper.c_str(), &actions, nullptr, args, environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
        char line[16] = {};
        ASSERT_GT(read(out[0], line, sizeof line - 1), 0) << "the save loop did not start";
        close(out[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(delay_us(rng)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the save loop ended by itself, status " << status;

        std::vector<std::string> names;
        ASSERT_EQ(shipping::check_players(users, &names), "") << "after kill " << k;
        ASSERT_TRUE(std::find(names.begin(), names.end(), "Keeper") != names.end())
            << "after kill " << k;
        ASSERT_TRUE(std::find(names.begin(), names.end(), "Other") != names.end())
            << "after kill " << k;
        int32_t save = 0;
        ASSERT_TRUE(one_save(shipping::read_bytes(users / "Keeper" / "level_score.all"), save))
            << "Keeper's scores mix two saves after kill " << k;
        ASSERT_GE(save, last_save) << "a save was lost after kill " << k;
        last_save = save;
        ASSERT_EQ(shipping::read_bytes(users / "Other" / "level_score.all"), other_scores);
    }
    saves_seen = last_save;
    for (const auto& entry : fs::recursive_directory_iterator(users)) {
        if (entry.path().filename().string().find(".tmp") != std::string::npos) ++leftovers;
    }
    std::printf(
        "interrupted saves: %d kills, %d saves completed in all, every file whole; %d "
        "temporary files left behind by killed saves\n",
        kills, saves_seen, leftovers);
}

}  // namespace

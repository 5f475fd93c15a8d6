// A fixture for scenarios run by the replay tool's script runner, which starts the headless
// platform itself on the same scratch game folder.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "platform/platform.h"
#include "replay_script.h"
#include "support/headless_game.h"

class replay_scenario : public headless_game_test {
protected:
    void SetUp() override {
        headless_game_test::SetUp();
        platform::shutdown();
    }
    void TearDown() override {
        platform::init_headless(game_dir);
        headless_game_test::TearDown();
    }
    // The script's exit status; a script that does not parse or reports errors fails the test.
    int32_t replay(const std::string& script) {
        const replay::parsed_script parsed = replay::parse_script(script);
        EXPECT_EQ(parsed.error, "");
        if (!parsed.error.empty()) return -1;
        std::ostringstream errors;
        const int32_t status = replay::run_script(parsed.commands, game_dir, errors);
        EXPECT_EQ(errors.str(), "");
        return status;
    }
};

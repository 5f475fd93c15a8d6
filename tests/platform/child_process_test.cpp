// Helper processes: output read without waiting, a clean or failed end told apart, a runaway
// killed, a program that is not there refused.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/platform.h"

namespace {

TEST(child_process, output_comes_back_and_a_clean_end_is_told_from_a_failure) {
    const int32_t echo = platform::start_child({"/bin/echo", "verdict", "line"});
    ASSERT_GT(echo, 0);
    std::string out;
    EXPECT_EQ(platform::read_child(echo, out, 10000), 0);
    EXPECT_EQ(out, "verdict line\n");
    EXPECT_EQ(platform::read_child(echo, out), -1) << "an ended child is forgotten";

    const int32_t failing = platform::start_child({"/bin/false"});
    ASSERT_GT(failing, 0);
    EXPECT_EQ(platform::read_child(failing, out, 10000), -1);

    EXPECT_EQ(platform::start_child({"/no/such/program"}), 0);
    EXPECT_EQ(platform::start_child({}), 0);
}

// A child that runs on is read without waiting, and stopping it kills it at once.
TEST(child_process, a_runaway_is_read_without_waiting_and_killed) {
    const int32_t sleeper = platform::start_child({"/bin/sleep", "30"});
    ASSERT_GT(sleeper, 0);
    std::string out;
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(platform::read_child(sleeper, out), 1);
    EXPECT_EQ(platform::read_child(sleeper, out, 50), 1);
    EXPECT_GE(platform::child_running_ms(sleeper), 45);  // whole milliseconds, rounded down
    platform::stop_child(sleeper);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
    EXPECT_EQ(platform::child_running_ms(sleeper), 0);
    EXPECT_EQ(platform::read_child(sleeper, out), -1);
    EXPECT_TRUE(out.empty());
}

}  // namespace

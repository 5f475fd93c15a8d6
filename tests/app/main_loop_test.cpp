// The main loop: start-up, the fade between screens, clicks during a transition, the length
// of a pass, screenshots and quitting.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/app_state.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "profiles/profiles_state.h"
#include "support/headless_game.h"

namespace {

namespace fs = std::filesystem;
namespace h = platform::headless;

using main_loop_test = headless_game_test;

// The two steps of a pass that the transition depends on, without any screen drawing.
void transition_pass() {
    poll_mouse();
    step_fade();
}

TEST_F(main_loop_test, start_up_shows_loading_and_begins_on_the_profiles_screen_at_full_light) {
    start_up();
    EXPECT_GE(h::present_count(), 3);  // cleared twice by open_graphics, then "Loading..."
    int32_t inked = 0;
    for (int32_t y = 560; y < 580; ++y) {
        for (int32_t x = 30; x < 160; ++x) inked += h::presented_pixel(x, y) == 0xFFFFFFFFu;
    }
    EXPECT_GT(inked, 100);
    EXPECT_EQ(screen_state, screen_profiles);
    step_fade();
    EXPECT_EQ(fade, 1.0f);
    EXPECT_EQ(fading, 0);
}

TEST_F(main_loop_test, a_transition_darkens_switches_at_the_half_and_brightens_in_64_passes) {
    struct expected_pass {
        int32_t pass;
        float fade;
        int32_t screen;
        int32_t fading;
    };
    const expected_pass table[] = {
        {1, 31.0f / 32, 0, 1}, {2, 30.0f / 32, 0, 1}, {31, 1.0f / 32, 0, 1},
        {32, 0.0f, 2, 1},      {33, 1.0f / 32, 2, 1}, {63, 31.0f / 32, 2, 1},
        {64, 1.0f, 2, 0},      {65, 1.0f, 2, 0},      {200, 1.0f, 2, 0},
    };
    step_fade();
    EXPECT_EQ(fade, 1.0f);
    start_fade(screen_galaxy_map);
    EXPECT_EQ(screen_state, screen_profiles);  // nothing changes until the passes run
    int32_t pass = 0;
    for (const expected_pass& e : table) {
        while (pass < e.pass) {
            step_fade();
            ++pass;
        }
        EXPECT_EQ(fade, e.fade) << "pass " << pass;
        EXPECT_EQ(screen_state, e.screen) << "pass " << pass;
        EXPECT_EQ(fading, e.fading) << "pass " << pass;
    }
    EXPECT_EQ(fade_count, 64);
    // A second transition starts again from full light.
    start_fade(screen_main_menu);
    step_fade();
    EXPECT_EQ(fade, 31.0f / 32);
}

TEST_F(main_loop_test, faded_colours_are_scaled_and_truncated) {
    fade = 0.5f;
    set_faded_color(255, 101, 3);
    platform::plot(1, 1);
    EXPECT_EQ(h::pixel(1, 1), 0xFF7F3201u);
    fade = 0.0f;
    set_faded_color(255, 255, 255);
    platform::plot(2, 1);
    EXPECT_EQ(h::pixel(2, 1), 0xFF000000u);
}

TEST_F(main_loop_test, clicks_during_a_transition_are_dropped_and_the_first_after_it_counts) {
    h::move_mouse(300, 200);
    start_fade(screen_main_menu);
    for (int32_t pass = 1; pass <= 64; ++pass) {
        if (pass == 10 || pass == 64) h::press_button(1);
        if (pass == 20) h::press_button(2);
        transition_pass();
        EXPECT_EQ(left_click, 0) << "pass " << pass;
        EXPECT_EQ(right_click, 0) << "pass " << pass;
        EXPECT_EQ(left_held, 0) << "pass " << pass;  // held since pass 10, still not seen
        EXPECT_EQ(cursor_x, 300);
    }
    // Pass 65: the button is still held but the press of pass 64 was read and dropped.
    transition_pass();
    EXPECT_EQ(left_click, 0);
    EXPECT_EQ(left_held, 1);
    h::release_button(1);
    h::press_button(1);
    h::press_button(1);  // two presses between passes are one click
    transition_pass();
    EXPECT_EQ(left_click, 1);
    transition_pass();
    EXPECT_EQ(left_click, 0);
}

TEST_F(main_loop_test, a_click_made_in_the_last_pass_of_a_transition_is_delivered_in_pass_65) {
    start_fade(screen_main_menu);
    for (int32_t pass = 1; pass <= 64; ++pass) transition_pass();
    h::press_button(1);
    transition_pass();
    EXPECT_EQ(left_click, 1);
}

struct pass_case {
    int32_t work_ms;
    int32_t pass_ms;
};

class pass_length_test : public main_loop_test, public ::testing::WithParamInterface<pass_case> {};

TEST_P(pass_length_test, a_pass_lasts_at_least_20_ms_and_otherwise_sleeps_1_ms) {
    start_up();
    run_passes(3);  // past the start of the present schedule
    const int32_t work = GetParam().work_ms;
    h::on_clear([work] { h::advance_clock(work); });
    for (int32_t i = 0; i < 5; ++i) {
        const int32_t before = platform::millisecs();
        run_passes(1);
        EXPECT_EQ(platform::millisecs() - before, GetParam().pass_ms) << "pass " << i;
    }
    h::on_clear({});
}

INSTANTIATE_TEST_SUITE_P(work, pass_length_test,
                         ::testing::Values(pass_case{0, 20}, pass_case{5, 20}, pass_case{18, 20},
                                           pass_case{19, 20}, pass_case{30, 31}),
                         [](const ::testing::TestParamInfo<pass_case>& info) {
                             return std::to_string(info.param.work_ms) + "_ms";
                         });

TEST_F(main_loop_test, fifty_passes_take_one_second) {
    start_up();
    const int32_t before = platform::millisecs();
    run_passes(50);
    EXPECT_EQ(platform::millisecs() - before, 1000);
}

bool holds_png(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char signature[8] = {};
    in.read(signature, 8);
    return in && std::string(signature, 8) == "\x89PNG\r\n\x1a\n";
}

TEST_F(main_loop_test, screenshots_take_the_smallest_free_numbers) {
    std::ofstream(path_in_game("screens/screen0.bmp")) << "old";
    std::ofstream(path_in_game("screens/screen2.bmp")) << "old";
    for (int32_t shot = 0; shot < 3; ++shot) {
        h::press_key(13);
        h::release_key(13);
        take_screenshot();
        take_screenshot();  // the press was counted once
    }
    for (const char* taken : {"screen1.bmp", "screen3.bmp", "screen4.bmp"}) {
        EXPECT_TRUE(holds_png(path_in_game(std::string("screens/") + taken))) << taken;
    }
    EXPECT_FALSE(fs::exists(path_in_game("screens/screen5.bmp")));
    std::string old;
    std::ifstream(path_in_game("screens/screen2.bmp")) >> old;
    EXPECT_EQ(old, "old");
}

TEST_F(main_loop_test, a_folder_named_like_a_screenshot_does_not_take_its_number) {
    fs::create_directories(path_in_game("screens/screen0.bmp"));
    h::press_key(13);
    take_screenshot();  // number 0 is chosen and cannot be written: nothing happens
    EXPECT_TRUE(fs::is_directory(path_in_game("screens/screen0.bmp")));
    EXPECT_FALSE(fs::exists(path_in_game("screens/screen1.bmp")));
    // Without a screens folder nothing is written and the game goes on.
    fs::remove_all(path_in_game("screens"));
    h::press_key(13);
    take_screenshot();
    EXPECT_FALSE(fs::exists(path_in_game("screens")));
}

TEST_F(main_loop_test, a_screenshot_holds_the_frame_just_presented) {
    start_up();
    run_passes(1);
    h::move_mouse(0, 0);
    h::press_key(13);
    run_passes(1);
    const std::string shot = path_in_game("screens/screen0.bmp");
    ASSERT_TRUE(holds_png(shot));
    platform::image* back = platform::load_image("screens\\screen0.bmp", 0);
    ASSERT_NE(back, nullptr);
    // Compare a line of pixels across the middle of the display.
    std::vector<uint32_t> presented;
    for (int32_t x = 0; x < 800; x += 7)
        presented.push_back(h::presented_pixel(x, 300) | 0xFF000000u);
    platform::cls();
    platform::set_color(255, 255, 255);
    platform::set_blend(2);
    platform::draw_image(back, 0, 0, 0);
    for (int32_t x = 0, i = 0; x < 800; x += 7, ++i) {
        EXPECT_EQ(h::pixel(x, 300) | 0xFF000000u, presented[static_cast<size_t>(i)]) << x;
    }
}

TEST_F(main_loop_test, quitting_stops_the_music_and_ends_the_program) {
    start_up();
    const platform::channel music = music_channel;
    EXPECT_THROW(quit_game(), platform::program_ended);
    if (music != 0) {
        ASSERT_FALSE(h::sound_log().empty());
        EXPECT_FALSE(h::sound_log().back().started);
        EXPECT_EQ(h::sound_log().back().channel, music);
    }
}

TEST_F(main_loop_test, closing_the_window_quits_at_the_end_of_the_pass) {
    start_up();
    run_passes(2);
    h::request_close();
    const int32_t presents = h::present_count();
    EXPECT_THROW(run_passes(1), platform::program_ended);
    EXPECT_EQ(h::present_count(), presents + 1);  // the pass was completed first
}

TEST_F(main_loop_test, a_link_planted_at_a_screenshots_name_never_sends_it_elsewhere) {
    const fs::path outside = fs::path(game_dir).parent_path() /
                             (fs::path(game_dir).filename().string() + ".outside.bmp");
    fs::remove(outside);
    fs::create_symlink(outside, path_in_game("screens/screen0.bmp"));  // dangling
    h::press_key(13);
    h::release_key(13);
    take_screenshot();
    EXPECT_FALSE(fs::exists(fs::symlink_status(outside)));
    EXPECT_FALSE(fs::is_symlink(path_in_game("screens/screen0.bmp")));
    EXPECT_TRUE(holds_png(path_in_game("screens/screen0.bmp")));
}

}  // namespace

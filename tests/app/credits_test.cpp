// The credits and how-to-play screens: the tip squares, the main-menu button's strip and the
// credits music handed over at the two edges of the transition.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "app/app_state.h"
#include "app/assets.h"
#include "app/bitmap_font.h"
#include "app/credits.h"
#include "app/game_state.h"
#include "app/screens.h"
#include "platform/headless.h"
#include "profiles/profiles_state.h"
#include "support/headless_game.h"

namespace {

using side_screen = void (*)();

class side_screens_test : public headless_game_test {
protected:
    void pass_at(side_screen screen, int32_t x, int32_t y, bool click = false) {
        cursor_x = x;
        cursor_y = y;
        left_click = click ? 1 : 0;
        screen();
        left_click = 0;
    }
    // A tenth of a second of 8-bit mono silence as a WAV file; returns its game path.
    std::string write_tune(const std::string& name) const {
        const uint32_t samples = 2205;
        std::vector<uint8_t> wav;
        const auto text = [&](const char* t) { wav.insert(wav.end(), t, t + 4); };
        const auto u32 = [&](uint32_t v) {
            for (int k = 0; k < 4; ++k) wav.push_back(uint8_t(v >> (8 * k)));
        };
        const auto u16 = [&](uint32_t v) {
            for (int k = 0; k < 2; ++k) wav.push_back(uint8_t(v >> (8 * k)));
        };
        text("RIFF");
        u32(36 + samples);
        text("WAVE");
        text("fmt ");
        u32(16);
        u16(1);  // PCM
        u16(1);  // mono
        u32(22050);
        u32(22050);
        u16(1);
        u16(8);
        text("data");
        u32(samples);
        wav.insert(wav.end(), samples, uint8_t(128));
        std::filesystem::create_directories(std::filesystem::path(game_dir) / "tunes");
        std::ofstream out(std::filesystem::path(game_dir) / "tunes" / name, std::ios::binary);
        out.write(reinterpret_cast<const char*>(wav.data()), std::streamsize(wav.size()));
        return "tunes\\" + name;
    }
    // The strip of the display where the tips are written.
    std::vector<uint32_t> tip_strip() const {
        std::vector<uint32_t> pixels;
        for (int32_t y = 420; y < 460; ++y) {
            for (int32_t x = 0; x < 800; ++x) pixels.push_back(platform::headless::pixel(x, y));
        }
        return pixels;
    }
};

TEST(tip_squares, the_cursor_picks_the_square_row_by_row) {
    struct case_ {
        int32_t x, y, square;
    };
    const case_ cases[] = {
        {0, 0, 1},      {199, 199, 1}, {200, 199, 2}, {599, 0, 3},   {600, 0, 4},
        {0, 200, 5},    {399, 399, 6}, {400, 200, 7}, {799, 399, 8}, {0, 400, 9},
        {799, 599, 12}, {800, 0, 0},   {0, 600, 0},   {-1, 10, 0},
    };
    for (const case_& c : cases) {
        EXPECT_EQ(tip_square(c.x, c.y), c.square) << c.x << "," << c.y;
    }
}

TEST(tip_squares, the_upper_eight_have_their_texts) {
    EXPECT_EQ(tip_text(1),
              "This red beam switches on red bulb. So each beam of proper color turn on the lamp "
              "of the same color.");
    EXPECT_EQ(tip_text(5), "Prisms refract beam on 135 degrees");
    EXPECT_EQ(tip_text(8),
              "To switch on some special bulbs (yellow, sky-blue, violet) you should mix colors "
              "of beams.  ");
    for (int32_t square : {0, 9, 10, 11, 12, 13}) EXPECT_TRUE(tip_text(square).empty()) << square;
}

TEST_F(side_screens_test, main_menu_button_strip) {
    struct case_ {
        int32_t x, y;
        bool hovered;
    };
    const case_ cases[] = {{6, 561, true},  {219, 599, true},  {100, 900, true},
                           {5, 580, false}, {220, 580, false}, {100, 560, false}};
    for (side_screen screen : {credits_screen, how_to_play_screen}) {
        for (const case_& c : cases) {
            menu_button_tint = 100;
            pass_at(screen, c.x, c.y);
            EXPECT_EQ(menu_button_tint, c.hovered ? 90 : 125) << c.x << "," << c.y;
        }
        // Not while a message window is up.
        message_shown = 1;
        menu_button_tint = 100;
        pass_at(screen, 100, 580, true);
        EXPECT_EQ(menu_button_tint, 125);
        EXPECT_EQ(fading, 0);
        message_shown = 0;

        pass_at(screen, 100, 580, true);
        EXPECT_EQ(fading, 1);
        EXPECT_EQ(next_screen_state, screen_main_menu);
        const int32_t frozen = menu_button_tint;
        pass_at(screen, 400, 100);
        EXPECT_EQ(menu_button_tint, frozen);
        reset_all_state();
    }
}

TEST_F(side_screens_test, a_tip_shows_under_the_cursor_but_not_during_a_transition) {
    load_content();
    if (font16.glyphs == nullptr) GTEST_SKIP() << "font16 is not built";

    screen_state = screen_how_to_play;
    const auto frame = [&](int32_t x, int32_t y, int32_t fading_now) {
        platform::cls();
        fading = fading_now;
        fade = 1.0f;
        pass_at(how_to_play_screen, x, y);
        return tip_strip();
    };
    const auto no_tip = frame(100, 500, 0);
    const auto tip_1 = frame(100, 100, 0);
    const auto tip_2 = frame(300, 100, 0);
    EXPECT_NE(tip_1, no_tip);
    EXPECT_NE(tip_2, tip_1);
    EXPECT_EQ(frame(100, 100, 1), no_tip);
}

TEST_F(side_screens_test, credits_music_changes_at_the_edges_of_the_transition) {
    // Two short tunes of our own, so that the hand-over is seen whatever content is built.
    sound_aura1 = platform::load_sound(write_tune("aura1.wav"), 1);
    sound_music2 = platform::load_sound(write_tune("music2.wav"), 1);
    ASSERT_NE(sound_aura1, nullptr);
    ASSERT_NE(sound_music2, nullptr);

    // From the menu into the credits and back out, by real clicks through the main loop.
    screen_state = screen_main_menu;
    platform::headless::clear_sound_log();
    platform::headless::move_mouse(50, 260);
    platform::headless::press_button(1);
    run_passes(1);
    platform::headless::release_button(1);
    ASSERT_EQ(fading, 1);

    // Passes 2 to 31 of the transition still show the menu; 32 the black credits; 33 swaps.
    run_passes(32);
    EXPECT_EQ(screen_state, screen_credits);
    EXPECT_TRUE(platform::headless::sound_log().empty());
    run_passes(1);
    ASSERT_EQ(fade_count, 33);
    const auto& entered = platform::headless::sound_log();
    ASSERT_FALSE(entered.empty());
    EXPECT_TRUE(entered.back().started);
    EXPECT_NE(entered.back().path.find("aura1"), std::string::npos);
    EXPECT_EQ(music_channel, entered.back().channel);

    run_passes(40);  // settled: nothing more changes
    const size_t settled = platform::headless::sound_log().size();
    EXPECT_EQ(fading, 0);

    platform::headless::move_mouse(100, 580);
    platform::headless::press_button(1);
    run_passes(1);
    platform::headless::release_button(1);
    run_passes(30);
    EXPECT_EQ(platform::headless::sound_log().size(), settled);
    run_passes(1);  // fade_count 31: the last pass of the credits
    ASSERT_EQ(fade_count, 31);
    const auto& left = platform::headless::sound_log();
    ASSERT_GT(left.size(), settled);
    EXPECT_TRUE(left.back().started);
    EXPECT_NE(left.back().path.find("music2"), std::string::npos);
    EXPECT_EQ(music_channel, left.back().channel);
    EXPECT_EQ(screen_state, screen_credits);
    run_passes(1);
    EXPECT_EQ(screen_state, screen_main_menu);
}

}  // namespace

namespace {

// The version is written in the credits' colour under the makers' names, where the logo alone
// has nothing of that colour.
TEST_F(side_screens_test, the_credits_show_the_version_under_the_makers) {
    load_content();
    if (font16.glyphs == nullptr || image_logo == nullptr) GTEST_SKIP() << "content not built";
    const auto credits_coloured = [](int32_t top, int32_t bottom) {
        int32_t count = 0;
        for (int32_t y = top; y < bottom; ++y) {
            for (int32_t x = 40; x < 300; ++x) {
                if ((platform::headless::pixel(x, y) & 0xFFFFFFu) == 0xC8FFFFu) ++count;
            }
        }
        return count;
    };
    fade = 1.0f;
    platform::cls();
    pass_at(credits_screen, 400, 100);
    const int32_t version_ink = credits_coloured(205, 250);
    platform::cls();
    platform::set_color(255, 255, 255);
    platform::draw_image(image_logo, 0, 0, 0);
    EXPECT_EQ(credits_coloured(205, 250), 0);
    EXPECT_GT(version_ink, 40);
}

}  // namespace

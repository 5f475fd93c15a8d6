// The main menu's buttons: strict hover edges, the glow, the clicks, and the frozen transition.
#include <gtest/gtest.h>

#include <array>

#include "app/app_state.h"
#include "app/game_state.h"
#include "app/screens.h"
#include "profiles/profiles_state.h"
#include "support/headless_game.h"

namespace {

class main_menu_test : public headless_game_test {
protected:
    void SetUp() override {
        headless_game_test::SetUp();
        screen_state = screen_main_menu;
    }
    void pass_at(int32_t x, int32_t y, bool click = false) {
        cursor_x = x;
        cursor_y = y;
        left_click = click ? 1 : 0;
        main_menu_screen();
        left_click = 0;
    }
    // The five glows in table order: play, profiles, how to play, credits, exit.
    std::array<int32_t, 5> tints() const {
        return {play_button_tint, profiles_button_tint, how_to_play_button_tint,
                credits_button_tint, exit_button_tint};
    }
};

TEST_F(main_menu_test, hover_rectangles_are_strict) {
    struct case_ {
        int32_t x, y;
        int hovered;  // index in table order, -1 for none
    };
    const case_ cases[] = {
        {20, 130, -1}, {50, 120, -1},  {21, 121, 0},  {99, 159, 0},   {100, 150, -1},
        {60, 160, -1}, {15, 130, -1},  {164, 161, 1}, {165, 180, -1}, {60, 200, -1},
        {244, 220, 2}, {245, 220, -1}, {149, 279, 3}, {150, 260, -1}, {60, 280, -1},
        {94, 300, 4},  {95, 300, -1},  {60, 319, 4},  {60, 320, -1},
    };
    for (const case_& c : cases) {
        reset_all_state();
        pass_at(c.x, c.y);
        std::array<int32_t, 5> expected;
        expected.fill(255);
        if (c.hovered >= 0) expected[size_t(c.hovered)] = 245;
        EXPECT_EQ(tints(), expected) << c.x << "," << c.y;
    }
}

TEST_F(main_menu_test, each_button_leads_to_its_screen) {
    struct case_ {
        int32_t x, y, target;
    };
    const case_ cases[] = {{50, 140, screen_galaxy_map},
                           {50, 180, screen_profiles},
                           {50, 220, screen_how_to_play},
                           {50, 260, screen_credits}};
    for (const case_& c : cases) {
        reset_all_state();
        next_screen_state = -7;
        pass_at(c.x, c.y, true);
        EXPECT_EQ(fading, 1) << c.target;
        EXPECT_EQ(next_screen_state, c.target);
    }
    reset_all_state();
    next_screen_state = -7;
    pass_at(15, 140, true);  // left of the rectangles: nothing
    EXPECT_EQ(fading, 0);
    EXPECT_EQ(next_screen_state, -7);

    EXPECT_THROW(pass_at(50, 300, true), platform::program_ended);
}

TEST_F(main_menu_test, glow_falls_in_26_passes_and_recovers_in_11) {
    for (int i = 0; i < 25; ++i) pass_at(50, 140);
    EXPECT_EQ(play_button_tint, 5);
    pass_at(50, 140);
    EXPECT_EQ(play_button_tint, 0);
    for (int i = 0; i < 10; ++i) pass_at(400, 400);
    EXPECT_EQ(play_button_tint, 250);
    pass_at(400, 400);
    EXPECT_EQ(play_button_tint, 255);
}

TEST_F(main_menu_test, glows_freeze_while_a_transition_runs) {
    for (int i = 0; i < 5; ++i) pass_at(50, 260);
    pass_at(50, 260, true);
    ASSERT_EQ(fading, 1);
    const auto frozen = tints();
    EXPECT_EQ(credits_button_tint, 195);
    pass_at(400, 400);
    pass_at(50, 140);
    EXPECT_EQ(tints(), frozen);

    // Back on the menu later, the glow climbs from where it was left.
    fading = 0;
    pass_at(400, 400);
    EXPECT_EQ(credits_button_tint, 220);
}

TEST_F(main_menu_test, profiles_screen_and_menu_share_the_exit_glow) {
    pass_at(50, 300);
    EXPECT_EQ(exit_button_tint, 245);
    screen_state = screen_profiles;
    cursor_x = 400;
    cursor_y = 400;
    profiles_screen();
    EXPECT_EQ(exit_button_tint, 255);
}

}  // namespace

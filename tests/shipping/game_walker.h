// A player's hands for the shipping checks: clicks and typing through the whole game's main
// loop on the headless backend, keeping note of every screen that ran.
#pragma once

#include <set>
#include <string>

#include "app/app_state.h"
#include "platform/headless.h"
#include "support/headless_game.h"

class game_walker_test : public headless_game_test {
protected:
    void pass() {
        run_passes(1);
        visited.insert(screen_state);
    }
    void passes(int32_t n) {
        for (int32_t i = 0; i < n; ++i) pass();
    }
    void click(int32_t x, int32_t y) {
        platform::headless::move_mouse(x, y);
        platform::headless::press_button(1);
        pass();
        platform::headless::release_button(1);
        pass();
    }
    // Clicks something that starts a transition and waits until it has ended.
    void click_and_wait(int32_t x, int32_t y) {
        click(x, y);
        passes(70);
    }
    // From the profiles screen: chooses the player in `row` and confirms, to the main menu.
    void choose_player(int32_t row) {
        click(350, 212 + 25 * row);
        click_and_wait(340, 475);
    }
    // From the main menu: level 1-1 through the galaxy map and pack 1's panel.
    void open_level_1_1() {
        click_and_wait(60, 140);
        click(109, 493);
        click_and_wait(150, 245);
    }

    std::set<int32_t> visited;
};

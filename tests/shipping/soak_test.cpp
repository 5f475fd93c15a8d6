// The soak: the whole game, headless, under a long stream of random mouse and keyboard input
// from a player with progress. Whatever happens, no sanitizer report, no leak, and the players'
// files stay whole. Run under ASan and UBSan by the sanitizer build.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <vector>

#include "app/app_state.h"
#include "app/game_state.h"
#include "board/board_state.h"
#include "board/piece_kinds.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "play/play_state.h"
#include "profiles/profiles_state.h"
#include "shipping_support.h"
#include "support/headless_game.h"

namespace {

namespace h = platform::headless;

struct spot {
    int32_t x, y;
};

// Where a player would point on the screen now showing: its buttons, rows, markers, slots and
// the level panel where it is open. Half of all pointer moves go near one of these, so that
// every screen is reached and left again many times.
std::vector<spot> busy_spots() {
    switch (screen_state) {
        case screen_profiles:
            return {{400, 175}, {350, 212}, {350, 237}, {350, 262},
                    {340, 475}, {340, 475}, {460, 475}};
        case screen_main_menu: return {{60, 140}, {60, 140}, {90, 180}, {130, 220}, {85, 260}};
        case screen_galaxy_map: {
            std::vector<spot> spots = {{109, 493}, {75, 386},  {81, 302},
                                       {113, 218}, {169, 161}, {690, 580}};
            if (open_pack >= 0) {
                for (int32_t k = 0; k < 6; ++k) {
                    spots.push_back({panel_x + 35 + 80 * (k % 3), panel_y + 52 + 25 * (k / 3)});
                    spots.push_back({panel_x + 35 + 80 * (k % 3), panel_y + 52 + 25 * (k / 3)});
                }
                spots.push_back({panel_x + 125, panel_y + 275});
            }
            return spots;
        }
        case screen_play:
            return {{750, 115}, {750, 213}, {750, 311}, {750, 409}, {750, 480},
                    {710, 515}, {790, 515}, {690, 580}, {305, 370}, {495, 370},
                    {400, 370}, {360, 300}, {200, 200}, {400, 450}, {600, 150}};
        default: return {{100, 580}, {400, 300}};
    }
}

// Exit buttons quit the game; the soak presses them only now and then, on purpose.
bool on_an_exit_button(int32_t x, int32_t y) {
    const bool profiles_exit = screen_state == screen_profiles && x > 20 && x < 95 && y > 560;
    const bool menu_exit =
        screen_state == screen_main_menu && x > 20 && x < 95 && y > 280 && y < 320;
    return profiles_exit || menu_exit;
}

// What must hold of the board after every pass, whatever the player did: each laser cell
// points where its beam goes, and every placed piece came from the stock (placed and in
// stock add up to the level's solution pieces of that kind). "" when all holds.
std::string board_faults() {
    for (int32_t i = 0; i < laser_source_count && i < max_lasers; ++i) {
        const laser& source = laser_sources[static_cast<size_t>(i)];
        const point& cell = board[static_cast<size_t>(source.x)][static_cast<size_t>(source.y)];
        if (cell.kind == kind_laser && cell.state != source.dir)
            return "laser " + std::to_string(i) + " points " + std::to_string(cell.state) +
                   " but shines " + std::to_string(source.dir);
    }
    std::array<int32_t, piece_kind_count> placed{}, solution{};
    for (const auto& column : board) {
        for (const point& cell : column) {
            if (is_movable(cell.kind)) ++placed[size_t(cell.kind)];
            if (is_movable(cell.solution_kind)) ++solution[size_t(cell.solution_kind)];
        }
    }
    for (int32_t kind = 0; kind < piece_kind_count; ++kind) {
        if (!is_movable(kind)) continue;
        if (placed[size_t(kind)] + piece_stock[size_t(kind)] != solution[size_t(kind)])
            return "kind " + std::to_string(kind) + ": " + std::to_string(placed[size_t(kind)]) +
                   " placed and " + std::to_string(piece_stock[size_t(kind)]) + " in stock of " +
                   std::to_string(solution[size_t(kind)]);
    }
    return "";
}

int32_t soak_passes() {
    const char* text = std::getenv("BEAMWORKS_SOAK_PASSES");
    return text ? std::atoi(text) : 200000;
}

class soak_test : public headless_game_test {};

TEST_F(soak_test, random_play_across_every_screen_keeps_the_players_files_whole) {
    namespace fs = std::filesystem;
    const fs::path users = fs::path(game_dir) / "users";
    shipping::write_players(users, {"Soak", "Second"}, shipping::seasoned_progress());

    const uint32_t seed = 20261208;
    std::mt19937 rng(seed);
    auto chance = [&](int32_t in) {
        return std::uniform_int_distribution<int32_t>(0, in - 1)(rng) == 0;
    };
    auto between = [&](int32_t lo, int32_t hi) {
        return std::uniform_int_distribution<int32_t>(lo, hi)(rng);
    };

    const int32_t passes = soak_passes();
    std::map<int32_t, int64_t> passes_on_screen;
    int32_t starts = 0, quits = 0, screenshots = 0, clicks = 0, keys = 0;
    bool left_down = false, right_down = false, space_down = false;
    int32_t x = 400, y = 300;

    auto start_game = [&] {
        platform::shutdown();
        platform::init_headless(game_dir);
        // The game's logic and every platform operation run in full; only the pixels are left
        // out, which makes a pass some hundred times cheaper.
        h::set_rasterising(false);
        platform::seed_rand(seed + uint32_t(starts));
        reset_all_state();
        start_up();
        ++starts;
        left_down = right_down = space_down = false;
    };
    start_game();

    for (int32_t pass = 0; pass < passes; ++pass) {
        if (chance(3)) {
            if (chance(2)) {
                const std::vector<spot> spots = busy_spots();
                const spot s = spots[size_t(between(0, int32_t(spots.size()) - 1))];
                x = s.x + between(-12, 12);
                y = s.y + between(-12, 12);
            } else {
                x = between(0, 799);
                y = between(0, 599);
            }
            // Small drags while a button is held turn pieces.
            h::move_mouse(x, y);
        }
        const bool quit_on_purpose = chance(40000);
        if (!left_down && chance(12) && (!on_an_exit_button(x, y) || quit_on_purpose)) {
            h::press_button(1);
            left_down = true;
            ++clicks;
        } else if (left_down && chance(4)) {
            h::release_button(1);
            left_down = false;
        }
        if (!right_down && chance(60)) {
            h::press_button(2);
            right_down = true;
        } else if (right_down && chance(3)) {
            h::release_button(2);
            right_down = false;
        }
        if (chance(50)) {
            // Letters, digits, punctuation and Backspace: names to type on the profiles screen.
            const int32_t code = chance(6) ? 8 : between(33, 126);
            h::type_text(std::string(1, char(code)));
            ++keys;
        }
        if (!space_down && chance(300)) {
            h::press_key(32);
            space_down = true;
        } else if (space_down && chance(80)) {
            h::release_key(32);
            space_down = false;
        }
        if (chance(20000)) {
            h::press_key(13);
            h::release_key(13);
            ++screenshots;
        }
        // The window closed now and then: the game quits, and starts again on the same files.
        if (pass % 50000 == 49999) h::request_close();

        ++passes_on_screen[screen_state];
        try {
            main_loop_pass();
        } catch (const platform::program_ended&) {
            ++quits;
            ASSERT_EQ(shipping::check_players(users), "") << "after quitting in pass " << pass;
            start_game();
        }
        ASSERT_EQ(board_faults(), "") << "after pass " << pass;
        // Screenshots are whole pictures of 1.4 MB; keep the scratch folder small.
        if (pass % 5000 == 0) {
            for (const auto& shot : fs::directory_iterator(fs::path(game_dir) / "screens")) {
                fs::remove(shot.path());
            }
        }
    }

    std::vector<std::string> names;
    EXPECT_EQ(shipping::check_players(users, &names), "");
    std::printf(
        "soak: %d passes, %d clicks, %d typed characters, %d screenshots, %d starts, %d quits,"
        " %zu players at the end\n",
        passes, clicks, keys, screenshots, starts, quits, names.size());
    std::printf("soak: passes per screen:");
    for (const auto& [screen, count] : passes_on_screen) {
        std::printf(" %d:%lld", screen, static_cast<long long>(count));
    }
    std::printf("\n");
    // Every screen but the ending one (reached only by finishing pack 20) must have been run.
    for (int32_t screen : {screen_profiles, screen_main_menu, screen_galaxy_map, screen_play,
                           screen_credits, screen_how_to_play}) {
        EXPECT_GT(passes_on_screen[screen], 0) << "screen " << screen << " never reached";
    }
}

}  // namespace

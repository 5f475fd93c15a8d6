// Helpers of the play and galaxy suites: scripted mouse gestures through the main loop, a
// player with progress on disk, boards built from level cells, and a level folder of the
// test's own.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "board/board_state.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "play/level_file.h"
#include "play/level_format.h"
#include "play/play_state.h"
#include "play/scoring.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_state.h"
#include "support/headless_game.h"

class play_test : public headless_game_test {
protected:
    // A click as a person makes it: press, one pass with the button down, release, one pass.
    void click(int32_t x, int32_t y) {
        platform::headless::move_mouse(x, y);
        platform::headless::press_button(1);
        run_passes(1);
        platform::headless::release_button(1);
        run_passes(1);
    }
    // Press and release between two passes: the pass sees the click but not the button held.
    void quick_click(int32_t x, int32_t y) {
        platform::headless::move_mouse(x, y);
        platform::headless::press_button(1);
        platform::headless::release_button(1);
        run_passes(1);
    }
    void right_click(int32_t x, int32_t y) {
        platform::headless::move_mouse(x, y);
        platform::headless::press_button(2);
        run_passes(1);
        platform::headless::release_button(2);
        run_passes(1);
    }
    // Press at (x0, y0), move to (x1, y1) with the button down, release there.
    void drag(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        platform::headless::move_mouse(x0, y0);
        platform::headless::press_button(1);
        run_passes(1);
        platform::headless::move_mouse(x1, y1);
        run_passes(1);
        platform::headless::release_button(1);
        run_passes(1);
    }
    // Passes until the running transition has ended.
    void finish_fade() {
        for (int32_t i = 0; i < 70 && fading == 1; ++i) run_passes(1);
    }

    // A new player, chosen and loaded as the profiles screen does it.
    void make_player(const std::string& name) {
        create_profile(name);
        current_profile = profile_count - 1;
        load_progress();
    }
    // A new player's progress in memory only, with nowhere to save it.
    static void fresh_progress() {
        level_best_score.fill(-1);
        level_time.fill(0);
        level_solution_cost.fill(0);
        pack_access.fill(0);
        pack_access[0] = 1;
    }
    std::vector<uint8_t> file_bytes(const std::string& relative) const {
        std::vector<uint8_t> bytes;
        platform::read_file(path_in_game(relative), bytes);
        return bytes;
    }
    static int32_t int_at(const std::vector<uint8_t>& bytes, size_t offset) {
        if (offset + 4 > bytes.size()) return INT32_MIN;
        uint32_t value = 0;
        for (int k = 3; k >= 0; --k) value = value << 8 | bytes[offset + size_t(k)];
        int32_t result;
        std::memcpy(&result, &value, 4);
        return result;
    }

    // The play screen showing `level` at rest, as if its note had just been dismissed at the
    // present moment of the clock.
    void show_board(const level_data& level) {
        reset_board();
        place_level(level);
        start_score = level_start_score[current_level];
        solution_cost = level_solution_cost[current_level];
        start_level_clock();
        screen_state = screen_play;
        fading = 0;
        fade_count = 64;
    }
    static level_data empty_level() { return level_data{}; }

    // The scratch folder's Levels becomes a folder of its own, a copy of the built one, so that
    // a test can change or remove level files.
    void own_levels_folder() {
        namespace fs = std::filesystem;
        const fs::path levels = fs::path(game_dir) / "Levels";
        if (fs::is_symlink(levels)) {
            const fs::path built = fs::read_symlink(levels);
            fs::remove(levels);
            fs::create_directory(levels);
            for (const auto& entry : fs::directory_iterator(built)) {
                fs::copy_file(entry.path(), levels / entry.path().filename());
            }
        } else {
            fs::create_directories(levels);
        }
    }
    void write_level(int32_t level_index, const level_data& level) {
        const std::vector<uint8_t> bytes = encode_level(level);
        ASSERT_TRUE(platform::write_file_atomic(level_file_name(level_index), bytes));
    }

    static int32_t sounds_played(const std::string& file) {
        const auto& log = platform::headless::sound_log();
        return int32_t(std::count_if(log.begin(), log.end(), [&](const auto& e) {
            return e.started && e.path.size() >= file.size() &&
                   e.path.compare(e.path.size() - file.size(), file.size(), file) == 0;
        }));
    }

    static constexpr int32_t centre_x(int32_t column) { return 35 * column + 52; }
    static constexpr int32_t centre_y(int32_t row) { return 35 * row + 92; }
};

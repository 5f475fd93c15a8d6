// Headless figures of the game's cost: start-up to the first presented frame, CPU time of a
// pass on the heaviest scenes, and peak memory. Prints figures; asserts nothing.
//
//   bench_headless [GAME_DIR]
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/game_state.h"
#include "app/settings.h"
#include "board/board_state.h"
#include "board/piece_kinds.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "play/board_drawing.h"
#include "play/level_file.h"
#include "play/level_format.h"
#include "play/play_state.h"
#include "profiles/profiles_state.h"

namespace {

namespace h = platform::headless;

double cpu_ms() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) / 1e6;
}

double wall_ms() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

std::string game_dir;
std::string data_dir;

void start_game(bool pixels) {
    platform::shutdown();
    platform::init_headless(game_dir);
    // The players' files of the bench stay out of the game folder.
    platform::set_data_dir(data_dir);
    h::set_rasterising(pixels);
    reset_all_state();
    start_up();
}

// 20 lasers on two edges, a double prism on every other cell between them, a solution piece
// under most of the rest shown by the solution view, and the level-complete window with its
// fireworks on top: every beam splits and crosses the board.
void heaviest_play_scene() {
    level_data level;
    for (int32_t row = 0; row < board_rows; ++row) {
        level.cells[0][size_t(row)] = level_cell_code(kind_laser, dir_right, row % 4);
    }
    for (int32_t column = 2; column < 8; ++column) {
        level.cells[size_t(column)][0] = level_cell_code(kind_laser, dir_down, column % 4);
    }
    for (int32_t column = 1; column < board_columns; ++column) {
        for (int32_t row = 1; row < board_rows; ++row) {
            if (level.cells[size_t(column)][size_t(row)] != 0) continue;
            if ((column + row) % 5 == 0) {
                level.cells[size_t(column)][size_t(row)] =
                    level_cell_code(kind_lamp, 0, (column * row) % 7);
            } else {
                level.cells[size_t(column)][size_t(row)] = level_cell_code(
                    panel_slot_kind((column * 3 + row) % 4, 0), (column + 2 * row) % 8, 0);
            }
        }
    }
    reset_board();
    place_level(level);
    for (int32_t column = 1; column < board_columns; ++column) {
        for (int32_t row = 1; row < board_rows; ++row) {
            point& cell = board[column][row];
            if (cell.kind == kind_empty && (column + row) % 2 == 0) {
                cell.kind = kind_double_prism;
                cell.state = (column * 5 + row) % 8;
            }
        }
    }
    screen_state = screen_play;
    fade_count = 64;
    clock_start = platform::millisecs() - 70000;
}

struct pass_figures {
    double first_ms, median_ms, worst_ms;
};

// CPU time of each of `passes` passes; `before` runs ahead of every pass to hold the scene.
// The first pass of a scene also makes the textures of its pictures, once: it is told
// apart, and the median and worst are of the passes after it.
template <typename F>
pass_figures measure_passes(int32_t passes, F before) {
    std::vector<double> times;
    for (int32_t i = 0; i < passes; ++i) {
        before();
        const double t0 = cpu_ms();
        main_loop_pass();
        times.push_back(cpu_ms() - t0);
    }
    const double first = times.front();
    times.erase(times.begin());
    return {first, median(times), *std::max_element(times.begin(), times.end())};
}

}  // namespace

int main(int argc, char** argv) {
    game_dir = argc > 1 ? argv[1] : BEAMWORKS_GAME_DIR;
    data_dir = (std::filesystem::temp_directory_path() / "beamworks_bench").string();
    std::filesystem::remove_all(data_dir);
    std::filesystem::create_directories(data_dir + "/users");
    std::filesystem::create_directories(data_dir + "/screens");

    std::vector<double> startups;
    for (int32_t run = 0; run < 5; ++run) {
        const double t0 = wall_ms();
        start_game(true);
        main_loop_pass();
        startups.push_back(wall_ms() - t0);
    }
    std::printf(
        "start-up to the first presented frame, headless: median %.1f ms of 5 (%.1f to %.1f)\n",
        median(startups), *std::min_element(startups.begin(), startups.end()),
        *std::max_element(startups.begin(), startups.end()));

    // With pixels: the whole pass with SDL's software renderer doing the drawing, as on a
    // machine without a graphics card. Without: the game's own work, draw calls included,
    // which is all the processor does when a graphics card draws.
    for (const bool pixels : {true, false}) {
        const char* what = pixels ? "drawn in software" : "game work, no pixels";
        // The beams as the player may have them: glowing (the default), plain, and glowing
        // with the colour-blind aid's marks and patterns.
        struct beam_looks {
            int32_t glow, aid;
            const char* name;
        };
        for (const beam_looks looks :
             {beam_looks{1, 0, "beam glow on"}, beam_looks{0, 0, "beam glow off"},
              beam_looks{1, 1, "beam glow and colour-blind aid on"}}) {
            start_game(pixels);
            settings.beam_glow = looks.glow;
            settings.colour_blind_aid = looks.aid;
            heaviest_play_scene();
            const pass_figures play = measure_passes(400, [] {
                solution_alpha = 128;
                message_shown = 1;
                message_kind = message_level_complete;
                message_text = "Level complete!!!";
            });
            // The board alone, drawn once more after a flip: the calls a frame keeps for
            // reuse (at most 65536; past that a pass is drawn as it goes).
            platform::flip(0);
            draw_board_and_beams();
            const size_t board_calls = h::kept_calls();
            std::printf(
                "play screen, 20 lasers, %d beams, solution view and fireworks, %s (%s): median "
                "%.2f ms, worst %.2f ms of CPU per pass (first pass %.2f ms); the board takes "
                "%zu drawing calls\n",
                beam_count, looks.name, what, play.median_ms, play.worst_ms, play.first_ms,
                board_calls);
        }

        start_game(pixels);
        for (int32_t p = 0; p < 20; ++p) pack_access[size_t(p)] = 1;
        level_best_score.fill(-1);
        screen_state = screen_galaxy_map;
        fade_count = 64;
        const pass_figures galaxy = measure_passes(400, [] {
            // The introduction of a new pack, over and over, beside the pulsing first pack
            // and an open level panel.
            if (new_pack == -1) {
                new_pack = 7;
                new_pack_frame = 0;
                open_pack = 3;
                panel_x = 200;
                panel_y = 150;
            }
        });
        std::printf(
            "galaxy map, 20 packs, new-pack animation and panel (%s): median %.2f ms, worst "
            "%.2f ms of CPU per pass (first pass %.2f ms)\n",
            what, galaxy.median_ms, galaxy.worst_ms, galaxy.first_ms);
    }
    platform::shutdown();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory, headless: %.1f MiB\n", double(usage.ru_maxrss) / 1024.0);
    std::filesystem::remove_all(data_dir);
    return 0;
}

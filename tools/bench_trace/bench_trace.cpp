// bench_trace: the time of one beam trace, silent (as the level tools run it) and drawing (as
// the play screen runs it every 20 ms pass, on the headless backend), on a dense board of 20
// lasers among many double prisms and mirrors, and on a board like a typical level.
#include <benchmark/benchmark.h>

#include <random>

#include "app/game_state.h"
#include "board/beam_trace.h"
#include "board/board_state.h"
#include "platform/platform.h"
#include "play/board_drawing.h"

namespace {

void put(int32_t column, int32_t row, int32_t kind, int32_t state = 0, int32_t colour = 0) {
    board[column][row] = point{kind, state, colour, 0, 0};
}

void add_laser(int32_t column, int32_t row, int32_t dir, int32_t colour) {
    put(column, row, kind_laser, dir, colour);
    laser_sources[static_cast<size_t>(laser_source_count++)] =
        laser{column, row, colour, dir, 0, 1, 0};
}

// 20 lasers round the edges shining inwards, and 120 pieces (double prisms, mirrors, double
// mirrors, prisms, a few lamps and spheres) at random cells and orientations. The seed is the
// one of the densest board among the first few hundred (most steps times beams).
void dense_board(uint32_t seed) {
    reset_all_state();
    for (int32_t i = 0; i < 10; ++i) add_laser(0, i + 2, dir_right, i % 4);
    for (int32_t i = 0; i < 10; ++i) add_laser(i + 4, 0, dir_down, (i + 1) % 4);
    std::mt19937 rng(seed);
    constexpr int32_t kinds[] = {kind_double_prism, kind_double_prism,  kind_double_prism,
                                 kind_mirror,       kind_double_mirror, kind_double_mirror,
                                 kind_prism,        kind_lamp,          kind_red_sphere};
    for (int32_t placed = 0; placed < 120;) {
        const int32_t c = 1 + static_cast<int32_t>(rng() % 18);
        const int32_t r = 1 + static_cast<int32_t>(rng() % 13);
        if (board[c][r].kind != kind_empty) continue;
        put(c, r, kinds[rng() % std::size(kinds)], static_cast<int32_t>(rng() % 8));
        ++placed;
    }
}

uint32_t densest_seed() {
    uint32_t best = 0;
    int64_t best_work = -1;
    for (uint32_t seed = 1; seed < 400; ++seed) {
        dense_board(seed);
        const int64_t steps = trace_beams_silent();
        if (steps * beam_count > best_work) {
            best_work = steps * beam_count;
            best = seed;
        }
    }
    return best;
}

// Two lasers, six mirrors and prisms in place, three lamps (one yellow), walls and a bomb.
void typical_level() {
    reset_all_state();
    add_laser(1, 2, dir_right, beam_red);
    add_laser(1, 11, dir_right, beam_green);
    put(9, 2, kind_mirror, 5);         // red down
    put(9, 7, kind_double_mirror, 1);  // red on to the left... or along its plates
    put(15, 11, kind_mirror, 7);       // green up
    put(15, 4, kind_prism, 3);
    put(5, 7, kind_double_mirror, 3);
    put(12, 4, kind_mirror, 2);
    put(9, 11, kind_lamp, 0, lamp_green);
    put(15, 8, kind_lamp, 0, lamp_green);
    put(9, 5, kind_lamp, 0, lamp_red);
    put(3, 7, kind_lamp, 0, lamp_yellow);
    for (int32_t r = 0; r < 14; r += 2) put(17, r, kind_wall);
    put(6, 3, kind_wall);
    put(12, 9, kind_bomb);
}

void report(benchmark::State& state) {
    state.counters["steps"] = static_cast<double>(last_trace().steps);
    state.counters["beams"] = static_cast<double>(beam_count);
}

void silent_dense(benchmark::State& state) {
    dense_board(densest_seed());
    for (auto _ : state) benchmark::DoNotOptimize(trace_beams_silent());
    report(state);
}

void silent_typical(benchmark::State& state) {
    typical_level();
    for (auto _ : state) benchmark::DoNotOptimize(trace_beams_silent());
    report(state);
}

void judge_typical(benchmark::State& state) {
    typical_level();
    for (auto _ : state) benchmark::DoNotOptimize(judge_board());
    report(state);
}

void drawing_dense(benchmark::State& state) {
    platform::init_headless(".");
    dense_board(densest_seed());
    for (auto _ : state) benchmark::DoNotOptimize(trace_beams());
    report(state);
    platform::shutdown();
}

void drawing_typical(benchmark::State& state) {
    platform::init_headless(".");
    typical_level();
    for (auto _ : state) benchmark::DoNotOptimize(trace_beams());
    report(state);
    platform::shutdown();
}

// The whole board drawing of a frame (outlines, pieces twice, trace); no pictures are loaded.
void board_frame_typical(benchmark::State& state) {
    platform::init_headless(".");
    typical_level();
    for (auto _ : state) draw_board_and_beams();
    report(state);
    platform::shutdown();
}

}  // namespace

BENCHMARK(silent_dense);
BENCHMARK(silent_typical);
BENCHMARK(judge_typical);
BENCHMARK(drawing_dense)->Unit(benchmark::kMicrosecond);
BENCHMARK(drawing_typical)->Unit(benchmark::kMicrosecond);
BENCHMARK(board_frame_typical)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();

// Drawing the board allocates nothing: every allocation of this program is counted, and a
// frame's outlines and a drawn trace over a busy board must not make one.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "app/game_state.h"
#include "board/beam_trace.h"
#include "board_builder.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "play/board_drawing.h"
#include "support/headless_game.h"

namespace {
std::atomic<int64_t> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

class draw_allocation_test : public headless_game_test {};

TEST_F(draw_allocation_test, outlines_lines_and_a_drawn_trace_allocate_nothing) {
    platform::headless::set_rasterising(true);
    board_builder b;
    b.laser_at(0, 5, dir_right, beam_red);
    b.laser_at(18, 5, dir_left, beam_blue);  // meets the red one head-on
    b.laser_at(3, 13, dir_up, beam_green);
    b.put(3, 2, kind_mirror, 3);
    b.put(9, 2, kind_wall);
    b.turning_at(6, 13, kind_prism, 1);
    b.laser_at(6, 0, dir_down, beam_white);

    // Each pass differs from the one before by a line, so that every pass is drawn in full.
    const auto pass = [](float shift) {
        platform::cls();
        platform::draw_line(shift, 0, shift, 599, true);
        draw_grid();
        platform::draw_line(0, 0, 799, 599, true);
        platform::draw_line(-4000, 10, 4000, 10, false);  // far longer than the display
        trace_beams();
        platform::flip(0);
    };
    // The record of a pass's drawing (kept to present a still frame again) grows in the first
    // passes and keeps its room from then on.
    pass(1);
    pass(2);
    const int64_t before = allocations.load();
    pass(3);
    EXPECT_EQ(allocations.load() - before, 0);
}

}  // namespace

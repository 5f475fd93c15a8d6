// The beam trace of one frame: every beam from the switched-on lasers, cell by cell, through
// the pieces, with head-on collisions, lamp colours, sphere glows and bombs.
//
// The trace works on the board globals (board, laser_sources, beams, turning state, explosion)
// and raises the explosion message. It allocates nothing. The drawing trace is the one the play
// screen runs; the silent trace does exactly the same to the globals without drawing, for the
// level tools, which run it millions of times.
#pragma once

#include <array>
#include <cstdint>

#include "board/board_state.h"

// Runs the whole trace, drawing every segment as it is taken, the wall sparks and the blends of
// beams that meet. Returns the number of steps taken (at least 1).
int32_t trace_beams();
// The same trace, drawing nothing and touching no platform operation.
int32_t trace_beams_silent();

// The three phases of one trace step, in the order trace_beams runs them (drawing variants).
void advance_beams();
void apply_pieces();
void collide_beams();

// Where the spark of a beam stopped by the wall in its cell is drawn (the frame's handle, at
// the centre of the 128 by 128 frame) and at what angle, 0 to 359 degrees.
struct spark_pose {
    int32_t x, y, angle;
};
spark_pose wall_spark_pose(const laser& beam);

// What the last trace did beyond the beams (kept in board_vars.trace).
const trace_record& last_trace();

// The judgement the level tools need of a board: one silent trace of the board as it stands
// (with the laser sources as they are switched), then whether every lamp got the colours it
// needs and whether a bomb went off.
struct board_verdict {
    bool all_lamps_lit = false;  // also true on a board without lamps
    bool exploded = false;
    int32_t lamps = 0;
    int32_t lit = 0;
    int32_t steps = 0;
};
// Leaves the board as it found it, so that it can be called again after the next move: lamp
// masks are cleared, exploded bombs are put back, and the explosion and the message window's
// request are restored. Colour spheres keep the glow the trace gave them (it only drives the
// drawing).
board_verdict judge_board();

// The beam trace of one frame: every beam from the switched-on lasers, cell by cell, through
// the pieces, with head-on collisions, lamp colours, sphere glows and bombs.
//
// The trace works on the board globals (board, laser_sources, beams, turning state, explosion)
// and nothing else: it draws nothing, plays nothing and allocates nothing. What a player sees of
// it (segments, sparks, the blends where beams meet) it writes as events into a buffer that the
// caller owns; the board drawing plays them back. The silent trace does exactly the same to the
// globals without keeping the events, for the level tools, which run it millions of times.
#pragma once

#include <array>
#include <cstdint>

#include "board/board_state.h"

// What the trace showed, one entry per drawing the player sees, in the order they happened.
constexpr int32_t trace_segment = 0;        // a beam moved from one cell's centre to the next
constexpr int32_t trace_wall_spark = 1;     // a beam stopped by a wall
constexpr int32_t trace_blend_in_cell = 2;  // two beams met inside one cell
constexpr int32_t trace_blend_between = 3;  // two beams met head-on between neighbouring cells

// Fields by kind of event (pixels are display pixels):
//   segment: x, y to x2, y2; colour; solid (0 for the dashed future trajectory).
//   wall spark: x, y the frame's handle; x2 the angle in degrees; colour.
//   blend in cell: x, y the cell's centre; x2, y2 the directions the two beams came in by.
//   blend between: x, y the first beam's cell centre; x2 its direction.
// Blends carry both beams' colours and their numbers (first < second). A pair's blend is written
// once, in the step the two meet; one in a cell whose piece holds_meetings is "lasting":
// the two beams blend there again in every later step of the trace, in pair order among that
// step's blends, so it stays on top of any beam that passes the piece afterwards.
struct trace_event {
    int32_t what;
    int32_t step;  // the trace step, from 1
    int32_t x, y, x2, y2;
    int32_t colour, other_colour;
    int32_t first, second;
    int32_t solid;
    int32_t lasting;
};

// A beam enters each cell (and each cell of the ring beyond the edge) at most once in each
// direction, so the segments are bounded; a beam stops once, so the sparks are; beams that
// stop in one cell came in by at most eight sides, or were split or started there, so no beam
// blends with more than ten others.
constexpr int32_t trace_event_capacity =
    (board_columns + 2) * (board_rows + 2) * 8 + beam_capacity + 6 * beam_capacity;

// Filled by record_trace; the list is left unset beyond count.
struct trace_events {
    int32_t count = 0;
    int32_t steps = 0;
    std::array<trace_event, trace_event_capacity> list;
};

// Runs the whole trace, writing what it shows into `events`. Returns the number of steps taken
// (at least 1).
int32_t record_trace(trace_events& events);
// The same trace, keeping nothing of what it shows.
int32_t trace_beams_silent();

// Where the spark of a beam stopped by the wall in its cell is drawn (the frame's handle, at
// the centre of the 128 by 128 frame) and at what angle, 0 to 359 degrees.
struct spark_pose {
    int32_t x, y, angle;
};
spark_pose wall_spark_pose(const laser& beam);

// What the last trace did beyond the beams: its steps and every bomb it set off.
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
// masks are cleared, exploded bombs are put back and the explosion is restored. Colour spheres
// keep the glow the trace gave them (it only drives the drawing).
board_verdict judge_board();

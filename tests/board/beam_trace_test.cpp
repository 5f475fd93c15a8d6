// The silent beam trace on small boards: pieces, collisions, lamps, bombs, the turned piece.
#include "board/beam_trace.h"

#include <gtest/gtest.h>

#include <random>

#include "board/beam_rules.h"
#include "board_builder.h"

namespace {

struct cell {
    int32_t x, y;
    bool operator==(const cell&) const = default;
};

cell at(const laser& b) { return {b.x, b.y}; }

std::ostream& operator<<(std::ostream& out, const cell& c) {
    return out << '(' << c.x << ", " << c.y << ')';
}

TEST(beam_trace, red_beam_passes_a_red_lamp_and_leaves_the_board) {
    board_builder b;
    b.laser_at(2, 5, dir_right, beam_red);
    b.put(6, 5, kind_lamp, 0, lamp_red);
    EXPECT_EQ(trace_beams_silent(), 17);  // 16 cells to column 18, one more off the board
    EXPECT_EQ(board[6][5].state, 8);
    ASSERT_EQ(beam_count, 1);
    EXPECT_EQ(at(beams[0]), (cell{19, 5}));
    EXPECT_EQ(beams[0].active, 0);
    EXPECT_EQ(beams[0].solid, 1);
    EXPECT_EQ(beams[0].dir, dir_right);
}

TEST(beam_trace, pieces_in_the_path_of_a_beam_travelling_right) {
    struct case_t {
        const char* name;
        int32_t kind, orientation;
        cell end;
        int32_t dir;  // final direction of the beam
    };
    const case_t cases[] = {
        {"mirror 7 turns it up", kind_mirror, 7, {6, -1}, dir_up},
        {"mirror 5 turns it down", kind_mirror, 5, {6, 14}, dir_down},
        {"mirror 6 faces it square", kind_mirror, 6, {6, 5}, dir_right},
        {"mirror 3 shows it its back", kind_mirror, 3, {6, 5}, dir_right},
        {"double mirror 0 along its plates", kind_double_mirror, 0, {19, 5}, dir_right},
        {"double mirror 2 square on", kind_double_mirror, 2, {6, 5}, dir_right},
        {"prism 0 bends it up-right", kind_prism, 0, {12, -1}, dir_up_right},
        {"prism 4 acts as prism 0", kind_prism, 4, {12, -1}, dir_up_right},
        {"prism 1 bends it down-right", kind_prism, 1, {15, 14}, dir_down_right},
        {"prism 2 stops it", kind_prism, 2, {6, 5}, dir_right},
        {"translator 2 lets it through", kind_translator, 2, {19, 5}, dir_right},
        {"translator 1 stops it", kind_translator, 1, {6, 5}, dir_right},
        {"wall", kind_wall, 0, {6, 5}, dir_right},
        {"bomb", kind_bomb, 0, {6, 5}, dir_right},
        {"another laser", kind_laser, 6, {6, 5}, dir_right},
    };
    for (const case_t& c : cases) {
        board_builder b;
        b.laser_at(2, 5, dir_right, beam_white);
        b.put(6, 5, c.kind, c.orientation);
        trace_beams_silent();
        EXPECT_EQ(at(beams[0]), c.end) << c.name;
        EXPECT_EQ(beams[0].dir, c.dir) << c.name;
        EXPECT_EQ(beams[0].active, 0) << c.name;
    }
}

TEST(beam_trace, double_mirror_stops_a_beam_travelling_down) {
    board_builder b;
    b.laser_at(6, 1, dir_down, beam_white);
    b.put(6, 5, kind_double_mirror, 0);
    trace_beams_silent();
    EXPECT_EQ(at(beams[0]), (cell{6, 5}));
}

TEST(beam_trace, translator_passes_only_its_own_direction) {
    for (int32_t d = 0; d < 8; ++d) {
        board_builder b;
        b.laser_at(9 - 2 * dir_column_step[d], 7 - 2 * dir_row_step[d], d, beam_white);
        b.put(9, 7, kind_translator, dir_right);
        trace_beams_silent();
        const bool stopped = at(beams[0]) == cell{9, 7};
        EXPECT_EQ(stopped, d != dir_right) << "direction " << d;
    }
}

TEST(beam_trace, double_prism_splits_in_the_incoming_colour) {
    board_builder b;
    b.laser_at(2, 5, dir_right, beam_green);
    b.put(6, 5, kind_double_prism, 6);
    trace_beams_silent();
    ASSERT_EQ(beam_count, 2);
    EXPECT_EQ(beams[0].dir, dir_down);
    EXPECT_EQ(at(beams[0]), (cell{6, 14}));
    EXPECT_EQ(beams[1].dir, dir_up);
    EXPECT_EQ(at(beams[1]), (cell{6, -1}));
    EXPECT_EQ(beams[1].colour, beam_green);
    EXPECT_EQ(beams[1].solid, 1);
}

TEST(beam_trace, colour_sphere_recolours_the_beam_and_glows) {
    board_builder b;
    b.laser_at(2, 5, dir_right, beam_white);
    b.put(6, 5, kind_red_sphere);
    b.put(8, 5, kind_lamp, 0, lamp_red);
    trace_beams_silent();
    EXPECT_EQ(beams[0].colour, beam_red);
    EXPECT_EQ(board[6][5].state, 2);
    EXPECT_EQ(board[8][5].state, 8);
}

// Two lasers facing each other along a line, with `gap` empty cells between them.
TEST(beam_trace, head_on_beams_at_every_distance_and_along_every_line) {
    struct case_t {
        int32_t gap, moves, steps;
    };
    // 0: each beam is absorbed by the other laser. 1 and 3: they meet inside the middle cell.
    // 2 and 4: they stop in neighbouring cells.
    const case_t cases[] = {{0, 1, 1}, {1, 1, 1}, {2, 1, 1}, {3, 2, 2}, {4, 2, 2}};
    for (int32_t d : {dir_right, dir_down, dir_down_right, dir_up_right}) {
        for (const case_t& c : cases) {
            board_builder b;
            const int32_t sx = dir_column_step[d], sy = dir_row_step[d];
            const cell a0{3, 6}, b0{3 + (c.gap + 1) * sx, 6 + (c.gap + 1) * sy};
            b.laser_at(a0.x, a0.y, d, beam_red);
            b.laser_at(b0.x, b0.y, (d + 4) % 8, beam_blue);
            const std::string name = "dir " + std::to_string(d) + " gap " + std::to_string(c.gap);
            EXPECT_EQ(trace_beams_silent(), c.steps) << name;
            EXPECT_EQ(at(beams[0]), (cell{a0.x + c.moves * sx, a0.y + c.moves * sy})) << name;
            EXPECT_EQ(at(beams[1]), (cell{b0.x - c.moves * sx, b0.y - c.moves * sy})) << name;
        }
    }
}

// A beam that stops in a double prism still stops a beam split there that leaves along its
// line; in a mirror's cell a stopped beam stops nothing.
TEST(beam_trace, a_stopped_beam_meets_others_only_in_pieces_above_the_mirror) {
    {
        board_builder b;
        b.laser_at(2, 5, dir_right, beam_white);  // refused by the double prism
        b.laser_at(6, 1, dir_down, beam_red);     // accepted: goes on left, new beam right
        b.put(6, 5, kind_double_prism, 0);
        trace_beams_silent();
        ASSERT_EQ(beam_count, 3);
        EXPECT_EQ(at(beams[1]), (cell{6, 5}));  // stopped by the meeting
        EXPECT_EQ(beams[1].dir, dir_left);
        EXPECT_EQ(at(beams[2]), (cell{19, 5}));  // the split beam is not on the line
    }
    {
        board_builder b;
        b.laser_at(10, 9, dir_up_left, beam_white);  // stopped by the mirror's edge
        b.laser_at(2, 1, dir_down_right, beam_red);  // reflected up-right, against it
        b.put(6, 5, kind_mirror, 0);
        trace_beams_silent();
        EXPECT_EQ(at(beams[0]), (cell{6, 5}));
        EXPECT_EQ(at(beams[1]), (cell{12, -1}));
    }
}

TEST(beam_trace, beams_meeting_in_a_translator_both_stop) {
    board_builder b;
    b.laser_at(2, 5, dir_right, beam_white);  // would pass
    b.laser_at(10, 5, dir_left, beam_red);    // refused
    b.put(6, 5, kind_translator, dir_right);
    trace_beams_silent();
    EXPECT_EQ(at(beams[0]), (cell{6, 5}));
    EXPECT_EQ(beams[0].active, 0);
}

TEST(beam_trace, lamps_collect_colours_and_need_all_of_theirs) {
    struct case_t {
        int32_t lamp;
        bool red_on, green_on;
        int32_t mask;
        bool lit;
    };
    const case_t cases[] = {
        {lamp_yellow, true, true, 12, true}, {lamp_yellow, true, false, 8, false},
        {lamp_green, true, false, 8, false}, {lamp_red, true, true, 12, true},
        {lamp_white, true, true, 12, false},
    };
    for (const case_t& c : cases) {
        board_builder b;
        b.laser_at(2, 5, dir_right, beam_red, c.red_on);
        b.laser_at(6, 9, dir_up, beam_green, c.green_on);
        b.put(6, 5, kind_lamp, 0, c.lamp);
        trace_beams_silent();
        EXPECT_EQ(board[6][5].state, c.mask);
        EXPECT_EQ(lamp_is_lit(c.lamp, board[6][5].state), c.lit);
        if (c.red_on) {
            EXPECT_EQ(at(beams[0]), (cell{19, 5}));  // passed the lamp unchanged
        }
    }
}

TEST(beam_trace, switched_off_lasers_send_nothing_but_still_absorb) {
    board_builder b;
    b.laser_at(2, 5, dir_right, beam_red, 0);
    b.laser_at(9, 5, dir_left, beam_blue);
    EXPECT_EQ(trace_beams_silent(), 7);
    EXPECT_EQ(at(beams[0]), (cell{2, 5}));
    EXPECT_EQ(at(beams[1]), (cell{2, 5}));
    EXPECT_EQ(beams[1].active, 0);
}

TEST(beam_trace, the_first_solid_beam_sets_off_a_bomb_and_every_beam_stops_there) {
    board_builder b;
    b.laser_at(2, 5, dir_right, beam_red);
    b.laser_at(6, 0, dir_down, beam_blue);  // one step further away
    b.put(6, 5, kind_bomb);
    trace_beams_silent();
    EXPECT_EQ(board[6][5].kind, kind_empty);
    EXPECT_EQ(explosion_x, 35 * 6 + 52);
    EXPECT_EQ(explosion_y, 35 * 5 + 92);
    EXPECT_EQ(explosion_frame, 0);
    EXPECT_EQ(last_trace().exploded_count, 1);
    EXPECT_EQ(at(beams[0]), (cell{6, 5}));
    EXPECT_EQ(at(beams[1]), (cell{6, 5}));  // the cell is empty now, but nothing passes it
    explosion_frame = 7;
    trace_beams_silent();  // the next frames: still stopped there, no second explosion
    EXPECT_EQ(at(beams[0]), (cell{6, 5}));
    EXPECT_EQ(explosion_frame, 7);
}

TEST(beam_trace, beyond_the_turned_piece_the_beam_is_dashed_and_harmless) {
    board_builder b;
    b.laser_at(2, 5, dir_right, beam_red);
    b.turning_at(6, 5, kind_mirror, 7);  // turns the beam up
    b.put(6, 3, kind_lamp, 0, lamp_red);
    b.put(6, 1, kind_bomb);
    trace_beams_silent();
    EXPECT_EQ(at(beams[0]), (cell{6, -1}));
    EXPECT_EQ(beams[0].solid, 0);
    EXPECT_EQ(board[6][3].state, 0);  // not marked by the dashed beam
    EXPECT_EQ(board[6][1].kind, kind_bomb);
    EXPECT_EQ(last_trace().exploded_count, 0);
    EXPECT_EQ(board[6][5].state, 9);  // the trace does not touch the turned piece
}

TEST(beam_trace, beams_split_from_the_future_trajectory_are_dashed) {
    board_builder b;
    b.laser_at(2, 5, dir_right, beam_red);
    b.turning_at(6, 5, kind_double_prism, 6);
    trace_beams_silent();
    ASSERT_EQ(beam_count, 2);
    EXPECT_EQ(beams[0].solid, 0);
    EXPECT_EQ(beams[1].solid, 0);
}

TEST(beam_trace, judge_board_reports_and_restores) {
    board_builder b;
    b.laser_at(2, 5, dir_right, beam_red);
    b.put(6, 5, kind_mirror, 7);
    b.put(6, 2, kind_lamp, 0, lamp_red);
    b.put(10, 5, kind_lamp, 0, lamp_red);
    board_verdict v = judge_board();
    EXPECT_FALSE(v.all_lamps_lit);
    EXPECT_EQ(v.lamps, 2);
    EXPECT_EQ(v.lit, 1);
    EXPECT_FALSE(v.exploded);
    EXPECT_EQ(board[6][2].state, 0);  // masks cleared for the next judgement

    b.put(6, 5, kind_empty);
    b.put(14, 5, kind_bomb);
    v = judge_board();
    EXPECT_TRUE(v.exploded);
    EXPECT_FALSE(v.all_lamps_lit);
    EXPECT_EQ(board[14][5].kind, kind_bomb);
    EXPECT_EQ(explosion_x, 0);

    b.put(14, 5, kind_empty);
    b.put(6, 2, kind_empty);
    v = judge_board();
    EXPECT_TRUE(v.all_lamps_lit);
    EXPECT_EQ(v.steps, 17);
}

TEST(beam_trace, wall_sparks_sit_where_the_beam_came_in_and_turn_off_walls_beside) {
    // Angle per direction: no wall beside, a wall at (x + sx, y) only, at (x, y + sy) only, both.
    constexpr int32_t angles[8][4] = {
        {90, 90, 90, 90},     {135, 45, 225, 135}, {180, 180, 180, 180}, {225, 315, 135, 225},
        {270, 270, 270, 270}, {315, 225, 45, 315}, {0, 0, 0, 0},         {45, 135, 315, 45},
    };
    // Offsets from the wall cell's top-left: the middle of a side, or a corner.
    constexpr int32_t offsets[8][2] = {{17, 34}, {0, 34}, {0, 17},  {0, 0},
                                       {17, 0},  {34, 0}, {34, 17}, {34, 34}};
    for (int32_t d = 0; d < 8; ++d) {
        for (int32_t beside = 0; beside < 4; ++beside) {
            board_builder b;
            const int32_t x = 9, y = 7;
            b.put(x, y, kind_wall);
            // The two cells touching both the wall and the cell the beam came from.
            const int32_t sx = -dir_column_step[d], sy = -dir_row_step[d];
            if ((beside & 1) && d % 2 == 1) b.put(x + sx, y, kind_wall);
            if ((beside & 2) && d % 2 == 1) b.put(x, y + sy, kind_wall);
            if ((beside & 1) && d % 2 == 0) b.put(x - 1, y - 1, kind_wall);  // never looked at
            const spark_pose pose = wall_spark_pose(laser{x, y, beam_red, d, d, 0, 1});
            EXPECT_EQ(pose.angle, angles[d][beside]) << "direction " << d << " beside " << beside;
            EXPECT_EQ(pose.x, 35 * x + 35 + offsets[d][0]) << "direction " << d;
            EXPECT_EQ(pose.y, 35 * y + 75 + offsets[d][1]) << "direction " << d;
        }
    }
}

// Random boards of every piece, with turned pieces and up to 20 lasers: every trace ends
// within the bound, and the beams never outnumber the lasers plus the double prisms.
TEST(beam_trace, trace_stays_within_its_bounds_on_random_boards) {
    std::mt19937 rng(20261208);
    int32_t longest = 0;
    for (int32_t trial = 0; trial < 3000; ++trial) {
        board_builder b;
        const int32_t density = static_cast<int32_t>(rng() % 40) + 1;  // percent of cells
        int32_t double_prisms = 0;
        for (int32_t x = 0; x < board_columns; ++x) {
            for (int32_t y = 0; y < board_rows; ++y) {
                if (static_cast<int32_t>(rng() % 100) >= density) continue;
                // Mostly pieces that let beams through, so that beams wander far.
                constexpr int32_t kinds[] = {7, 7, 7, 7, 7, 7,  9,  9,  8, 8,
                                             6, 2, 3, 4, 5, 10, 11, 12, 13};
                const int32_t kind = kinds[rng() % std::size(kinds)];
                const int32_t orientation = static_cast<int32_t>(rng() % 8);
                if (kind == kind_double_prism) ++double_prisms;
                b.put(x, y, kind, kind == kind_lamp ? 0 : orientation,
                      kind == kind_lamp ? static_cast<int32_t>(rng() % 7) : 0);
                if (kind >= kind_mirror && kind <= kind_double_prism && rng() % 40 == 0) {
                    board[x][y].state = 9;
                    turning = 1;
                    turn_orientation = static_cast<int32_t>(rng() % 8);
                }
            }
        }
        const int32_t lasers = static_cast<int32_t>(rng() % 20) + 1;
        for (int32_t i = 0; i < lasers; ++i) {
            const int32_t x = static_cast<int32_t>(rng() % board_columns);
            const int32_t y = static_cast<int32_t>(rng() % board_rows);
            if (board[x][y].kind == kind_laser) continue;
            if (board[x][y].kind == kind_double_prism) --double_prisms;
            b.laser_at(x, y, static_cast<int32_t>(rng() % 8), static_cast<int32_t>(rng() % 4),
                       rng() % 5 != 0);
        }
        const int32_t steps = trace_beams_silent();
        longest = std::max(longest, steps);
        ASSERT_LE(steps, board_columns * board_rows * 8 + 1) << "trial " << trial;
        ASSERT_LE(beam_count, laser_source_count + double_prisms) << "trial " << trial;
        for (int32_t i = 0; i < beam_count; ++i) ASSERT_EQ(beams[i].active, 0);
    }
    EXPECT_GT(longest, 30);  // the boards were not all trivial
}

// The recorded trace leaves the board as the silent one does, and its events fit the buffer
// with room to spare on crowded boards full of beams that meet.
TEST(beam_trace, the_recorded_trace_fits_its_buffer_and_matches_the_silent_one) {
    std::mt19937 rng(2026);
    int32_t most = 0, blends = 0;
    for (int32_t trial = 0; trial < 1500; ++trial) {
        board_builder b;
        const int32_t density = static_cast<int32_t>(rng() % 50) + 1;
        for (int32_t x = 0; x < board_columns; ++x) {
            for (int32_t y = 0; y < board_rows; ++y) {
                if (static_cast<int32_t>(rng() % 100) >= density) continue;
                constexpr int32_t kinds[] = {7, 7, 8, 8, 9, 9, 9, 6, 2, 4, 5, 10, 12};
                b.put(x, y, kinds[rng() % std::size(kinds)], static_cast<int32_t>(rng() % 8));
            }
        }
        const int32_t lasers = static_cast<int32_t>(rng() % 20) + 1;
        for (int32_t i = 0; i < lasers; ++i)
            b.laser_at(static_cast<int32_t>(rng() % board_columns),
                       static_cast<int32_t>(rng() % board_rows), static_cast<int32_t>(rng() % 8),
                       static_cast<int32_t>(rng() % 4));
        const board_globals before = board_vars;
        const int32_t silent_steps = trace_beams_silent();
        const board_globals silent = board_vars;
        board_vars = before;
        trace_events events;
        ASSERT_EQ(record_trace(events), silent_steps) << "trial " << trial;
        ASSERT_EQ(events.steps, silent_steps);
        ASSERT_EQ(beam_count, silent.beam_count) << "trial " << trial;
        for (int32_t i = 0; i < beam_count; ++i) {
            ASSERT_EQ(beams[i].x, silent.beams[i].x) << "trial " << trial;
            ASSERT_EQ(beams[i].y, silent.beams[i].y) << "trial " << trial;
            ASSERT_EQ(beams[i].active, silent.beams[i].active) << "trial " << trial;
        }
        for (int32_t e = 0; e < events.count; ++e)
            if (events.list[e].what >= trace_blend_in_cell) ++blends;
        most = std::max(most, events.count);
    }
    EXPECT_LT(most, trace_event_capacity / 2);
    EXPECT_GT(blends, 100);  // beams did meet
}

}  // namespace

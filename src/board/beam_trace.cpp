// The beam trace: advance every beam one cell, let the pieces act, stop beams that meet.
//
// Written once as a template over "keep the events or not", so that the play screen's trace
// and the silent trace of the level tools are the same code and the silent one pays nothing
// for what is shown.
#include "board/beam_trace.h"

#include <algorithm>

#include "board/beam_rules.h"
#include "board/piece_kinds.h"

namespace {

trace_record& record = board_vars.trace;

constexpr int32_t centre_x(int32_t column) { return cell_centre_x(column); }
constexpr int32_t centre_y(int32_t row) { return cell_centre_y(row); }

bool on_board(int32_t x, int32_t y) {
    return x >= 0 && x < board_columns && y >= 0 && y < board_rows;
}

// What the recording trace writes to, for the length of one trace; the silent trace has none.
struct recording {
    trace_events& events;
    int32_t step = 0;
    int32_t beams_at_step_start = 0;
    // Which beams had stopped before this step began. Two such beams that blend now blended
    // in the same way in every step since they stopped: the playback repeats lasting blends
    // by itself, so only a pair's first blend is written.
    std::array<bool, beam_capacity> stopped_before{};

    void add(const trace_event& e) {
        if (events.count < trace_event_capacity)
            events.list[static_cast<size_t>(events.count++)] = e;
    }
    void start_step(int32_t number) {
        step = number;
        beams_at_step_start = beam_count;
        for (int32_t i = 0; i < beam_count; ++i)
            stopped_before[static_cast<size_t>(i)] = beams[static_cast<size_t>(i)].active != 1;
    }
    bool blended_before(int32_t i, int32_t j) const {
        return j < beams_at_step_start && stopped_before[static_cast<size_t>(i)] &&
               stopped_before[static_cast<size_t>(j)];
    }

    void segment(const laser& b, int32_t x0, int32_t y0) {
        add({trace_segment, step, centre_x(x0), centre_y(y0), centre_x(b.x), centre_y(b.y),
             b.colour, 0, 0, 0, b.solid, 0});
    }
    void wall_spark(const laser& b) {
        const spark_pose pose = wall_spark_pose(b);
        add({trace_wall_spark, step, pose.x, pose.y, pose.angle, 0, b.colour, 0, 0, 0, 0, 0});
    }
    // i and j are the beams' numbers; lasting as described with trace_event.
    void blend_in_cell(const laser& a, const laser& b, int32_t i, int32_t j, bool lasting) {
        if (blended_before(i, j)) return;
        add({trace_blend_in_cell, step, centre_x(a.x), centre_y(a.y), a.entry_dir, b.entry_dir,
             a.colour, b.colour, i, j, 0, lasting ? 1 : 0});
    }
    void blend_between(const laser& a, const laser& b, int32_t i, int32_t j) {
        add({trace_blend_between, step, centre_x(a.x), centre_y(a.y), a.dir, 0, a.colour, b.colour,
             i, j, 0, 0});
    }
};

void explode_bomb(point& c, int32_t x, int32_t y) {
    c.kind = kind_empty;
    explosion_x = centre_x(x);
    explosion_y = centre_y(y);
    explosion_frame = 0;
    record.exploded_cells[static_cast<size_t>(record.exploded_count++)] = x * board_rows + y;
}

template <bool keep>
void advance(int32_t count, recording* rec) {
    for (int32_t i = 0; i < count; ++i) {
        laser& b = beams[static_cast<size_t>(i)];
        if (b.active != 1) continue;
        const int32_t x0 = b.x, y0 = b.y;
        b.x += dir_column_step[static_cast<size_t>(b.dir & 7)];
        b.y += dir_row_step[static_cast<size_t>(b.dir & 7)];
        if constexpr (keep) rec->segment(b, x0, y0);
    }
}

template <bool keep>
void apply(int32_t count, recording* rec) {
    for (int32_t i = 0; i < count; ++i) {
        laser& b = beams[static_cast<size_t>(i)];
        // A beam that has left the board stops before its cell would be looked up.
        if (!on_board(b.x, b.y)) {
            b.active = 0;
            continue;
        }
        point& c = board[b.x][b.y];
        int32_t f = c.state;
        // The piece the player is turning: traced as if released now, and whatever passes it
        // becomes the dashed future trajectory (even a beam that already stopped there).
        if (f == 9 && is_movable(c.kind)) {
            b.solid = 0;
            f = turn_orientation;
        }
        if (b.active != 1) continue;
        b.entry_dir = b.dir;

        // The rules in their fixed order; each looks at the cell's kind as it is now, since a
        // bomb that goes off becomes an empty cell.
        if (c.kind == kind_laser) b.active = 0;
        if (c.kind == kind_lamp && b.solid == 1)
            c.state = f | beam_colour_bit[static_cast<size_t>(b.colour & 3)];
        if (c.kind == kind_bomb && b.solid == 1) {
            b.active = 0;
            explode_bomb(c, b.x, b.y);
        }
        // Until the level is loaded again every beam stops where the bomb went off. With no
        // explosion (0, 0) this names cell (-1, -1), which no beam on the board is in.
        if ((explosion_x - 52) / 35 == b.x && (explosion_y - 92) / 35 == b.y) b.active = 0;
        if (c.kind == kind_wall) {
            b.active = 0;
            if constexpr (keep) rec->wall_spark(b);
        }
        switch (c.kind) {
            case kind_translator:
            case kind_mirror:
            case kind_double_mirror:
            case kind_prism: {
                const int32_t out = piece_exit_dir(c.kind, f, b.dir, b.solid == 1);
                b.active = 0;
                if (out != beam_stops) {
                    b.dir = out;
                    b.active = 1;
                }
                break;
            }
            case kind_double_prism: {
                const int32_t out = double_prism_exit_dir(f, b.dir);
                b.active = 0;
                if (out != beam_stops && beam_count < beam_capacity) {
                    b.dir = out;
                    b.active = 1;
                    laser& split = beams[static_cast<size_t>(beam_count)];
                    split.x = b.x;
                    split.y = b.y;
                    split.dir = (out + 4) & 7;
                    split.colour = b.colour;
                    split.solid = b.solid;
                    split.entry_dir = b.entry_dir;
                    split.active = 1;
                    ++beam_count;
                }
                break;
            }
            default:
                if (is_sphere(c.kind)) {
                    b.colour = sphere_beam_colour(c.kind);
                    c.state = 2;
                }
                break;
        }
    }
}

// One pair of beams, i before j: stopped if they meet in one cell or head-on in neighbouring
// cells, with the blend shown between them.
template <bool keep>
void collide_pair(laser& a, laser& b, int32_t i, int32_t j, recording* rec) {
    if (a.x == b.x && a.y == b.y && on_board(a.x, a.y)) {
        // They meet when one leaves along the line the other came in by, against it.
        const bool meet = a.entry_dir == ((b.dir + 4) & 7) || a.dir == ((b.entry_dir + 4) & 7);
        if (!meet) return;
        const int32_t k = board[a.x][a.y].kind;
        if (k == kind_translator) {
            a.active = 0;
            b.active = 0;
        } else if ((a.active == 1 && b.active == 1) || holds_meetings(k)) {
            // In the pieces above the mirror a beam that has already stopped still stops
            // the other.
            a.active = 0;
            b.active = 0;
            if constexpr (keep) rec->blend_in_cell(a, b, i, j, holds_meetings(k));
        }
    } else if (a.active == 1 && b.active == 1 &&
               a.x + dir_column_step[static_cast<size_t>(a.dir & 7)] == b.x &&
               a.y + dir_row_step[static_cast<size_t>(a.dir & 7)] == b.y &&
               a.dir == ((b.dir + 4) & 7)) {
        a.active = 0;
        b.active = 0;
        if constexpr (keep) rec->blend_between(a, b, i, j);
    }
}

// Every pair i < j in order, active or not. Two beams that have both stopped change nothing
// (only their blend is shown again, over itself), so the silent trace visits only the pairs
// with a beam that was active when the phase began: the same pairs that can change anything,
// in the same order.
template <bool keep>
void collide(recording* rec) {
    const int32_t count = beam_count;
    if constexpr (keep) {
        for (int32_t i = 0; i + 1 < count; ++i)
            for (int32_t j = i + 1; j < count; ++j)
                collide_pair<true>(beams[static_cast<size_t>(i)], beams[static_cast<size_t>(j)], i,
                                   j, rec);
    } else {
        std::array<int32_t, beam_capacity> active;
        int32_t active_count = 0;
        for (int32_t i = 0; i < count; ++i)
            if (beams[static_cast<size_t>(i)].active == 1)
                active[static_cast<size_t>(active_count++)] = i;
        int32_t later = 0;  // first entry of `active` above i
        for (int32_t i = 0; i + 1 < count; ++i) {
            while (later < active_count && active[static_cast<size_t>(later)] <= i) ++later;
            laser& a = beams[static_cast<size_t>(i)];
            if (a.active == 1) {
                for (int32_t j = i + 1; j < count; ++j)
                    collide_pair<false>(a, beams[static_cast<size_t>(j)], i, j, rec);
            } else {
                for (int32_t n = later; n < active_count; ++n) {
                    const int32_t j = active[static_cast<size_t>(n)];
                    collide_pair<false>(a, beams[static_cast<size_t>(j)], i, j, rec);
                }
            }
        }
    }
}

bool any_beam_active() {
    for (int32_t i = 0; i < beam_count; ++i)
        if (beams[static_cast<size_t>(i)].active == 1) return true;
    return false;
}

template <bool keep>
int32_t run_trace(recording* rec) {
    record.exploded_count = 0;
    // load_level never appends more than the array holds; the bound only guards the array.
    const int32_t sources = std::clamp(laser_source_count, 0, max_lasers);
    for (int32_t i = 0; i < sources; ++i) {
        const laser& s = laser_sources[static_cast<size_t>(i)];
        laser& b = beams[static_cast<size_t>(i)];
        b.x = s.x;
        b.y = s.y;
        b.colour = s.colour;
        b.dir = s.dir;
        b.active = s.active;  // a switched-off laser gives a beam that never moves
        b.solid = 1;
    }
    beam_count = sources;
    int32_t steps = 0;
    // No step limit is needed: no two beams ever enter the same cell in the same direction, so
    // the trace ends within 19 * 14 * 8 + 1 steps.
    do {
        ++steps;
        if constexpr (keep) rec->start_step(steps);
        advance<keep>(beam_count, rec);
        apply<keep>(beam_count, rec);
        collide<keep>(rec);
    } while (any_beam_active());
    record.steps = steps;
    if constexpr (keep) rec->events.steps = steps;
    return steps;
}

}  // namespace

// The spark sits at the middle of the side, or the corner, the beam came in through, turned to
// face the beam. A diagonal beam that grazes a wall beside its path is turned off that wall, so
// the spark does not point into it. The two cells beside the path touch both the wall and the
// cell the beam came from, so they are on the board.
spark_pose wall_spark_pose(const laser& b) {
    const int32_t d = b.dir & 7;
    spark_pose pose{cell_left(b.x), cell_top(b.y), 45 * d + 90};
    if (d == 0 || d == 4) pose.x += 17;
    if (d >= 5) pose.x += 34;
    if (d == 2 || d == 6) pose.y += 17;
    if (d == 0 || d == 1 || d == 7) pose.y += 34;
    if (d % 2 == 1) {
        const int32_t sx = -dir_column_step[static_cast<size_t>(d)];
        const int32_t sy = -dir_row_step[static_cast<size_t>(d)];
        const int32_t ax = (d == 1 || d == 5) ? 90 : -90;
        const int32_t ay = -ax;
        auto is_wall = [](int32_t x, int32_t y) {
            return on_board(x, y) && board[x][y].kind == kind_wall;
        };
        if (is_wall(b.x + sx, b.y)) pose.angle -= ax;
        if (is_wall(b.x, b.y + sy)) pose.angle -= ay;
    }
    pose.angle = ((pose.angle % 360) + 360) % 360;
    return pose;
}

int32_t record_trace(trace_events& events) {
    events.count = 0;
    recording rec{events};
    return run_trace<true>(&rec);
}

int32_t trace_beams_silent() { return run_trace<false>(nullptr); }

const trace_record& last_trace() { return record; }

board_verdict judge_board() {
    const int32_t saved_x = explosion_x, saved_y = explosion_y, saved_frame = explosion_frame;

    board_verdict v;
    v.steps = run_trace<false>(nullptr);
    v.exploded = record.exploded_count > 0;
    for (int32_t x = 0; x < board_columns; ++x) {
        for (int32_t y = 0; y < board_rows; ++y) {
            point& c = board[x][y];
            if (c.kind != kind_lamp) continue;
            ++v.lamps;
            if (lamp_is_lit(c.colour, c.state)) ++v.lit;
            c.state = 0;
        }
    }
    v.all_lamps_lit = v.lit == v.lamps;
    if (v.exploded) {
        for (int32_t e = 0; e < record.exploded_count; ++e) {
            const int32_t cell = record.exploded_cells[static_cast<size_t>(e)];
            board[cell / board_rows][cell % board_rows].kind = kind_bomb;
        }
        explosion_x = saved_x;
        explosion_y = saved_y;
        explosion_frame = saved_frame;
    }
    return v;
}

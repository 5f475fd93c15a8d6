// Drawing the board: outlines, pieces with the lasers' lenses, sphere glows, the solution
// overlay, and the trace played back from its events over the beams' glow; with the
// colour-blind aid, the colour marks and beam patterns.
#include "play/board_drawing.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "app/app_state.h"
#include "app/assets.h"
#include "app/settings.h"
#include "board/beam_rules.h"
#include "board/beam_trace.h"
#include "board/board_state.h"
#include "board/piece_kinds.h"

const platform::image* piece_image(int32_t kind) {
    switch (kind) {
        case kind_laser: return image_laser;
        case kind_lamp: return image_lamp;
        case kind_bomb: return image_bomb;
        case kind_wall: return image_wall;
        case kind_translator: return image_translator;
        case kind_mirror: return image_mirror;
        case kind_double_mirror: return image_double_mirror;
        case kind_prism: return image_prism;
        case kind_double_prism: return image_double_prism;
        default: return is_sphere(kind) ? image_color_translator : nullptr;
    }
}

void draw_grid() {
    set_faded_color(40, 40, 40);
    const int32_t top = cell_top(0), bottom = cell_top(board_rows) - 1;
    const int32_t left = cell_left(0), right = cell_left(board_columns) - 1;
    for (int32_t c = 0; c < board_columns; ++c) {
        platform::draw_line(cell_left(c), top, cell_left(c), bottom, true);
        platform::draw_line(cell_left(c) + cell_size - 1, top, cell_left(c) + cell_size - 1, bottom,
                            true);
    }
    for (int32_t r = 0; r < board_rows; ++r) {
        platform::draw_line(left, cell_top(r), right, cell_top(r), true);
        platform::draw_line(left, cell_top(r) + cell_size - 1, right, cell_top(r) + cell_size - 1,
                            true);
    }
}

namespace {

// The colour-blind aid's badges, square.
constexpr int32_t colour_mark_size = 13;

void set_beam_color(int32_t colour) {
    const rgb& c = beam_rgb[static_cast<size_t>(colour & 3)];
    set_faded_color(c.r, c.g, c.b);
}

// The segment from the centre of the cell the beam left to the centre of the one it entered
// (also beyond the board's edge). A dashed beam leaves out the middle third; the thirds are
// taken with truncation toward zero, so they are 11 and 23 pixels of the 35.
void draw_segment(const trace_event& e) {
    set_beam_color(e.colour);
    const int32_t px0 = e.x, py0 = e.y, px1 = e.x2, py1 = e.y2;
    if (e.solid == 1) {
        platform::draw_line(px0, py0, px1, py1, false);
        return;
    }
    const int32_t dx = px1 - px0, dy = py1 - py0;
    platform::draw_line(px0, py0, px0 + dx / 3, py0 + dy / 3, false);
    platform::draw_line(px0 + 2 * dx / 3, py0 + 2 * dy / 3, px1, py1, false);
}

// The parts of a segment that are drawn, as steps from its start: all 35 of a solid beam,
// the outer thirds of a dashed one (steps 0 to 10 and 23 to 34, as draw_segment takes them).
struct segment_walk {
    int32_t x, y;    // the start, a cell's centre
    int32_t ux, uy;  // one step along the beam: -1, 0 or 1 each
    int32_t length;  // steps to the end
    bool solid;
    bool drawn(int32_t step) const { return solid || step < length / 3 || step >= 2 * length / 3; }
};

segment_walk walk_of(const trace_event& e) {
    const int32_t dx = e.x2 - e.x, dy = e.y2 - e.y;
    return {e.x,
            e.y,
            (dx > 0) - (dx < 0),
            (dy > 0) - (dy < 0),
            std::max(std::abs(dx), std::abs(dy)),
            e.solid == 1};
}

// A line beside the beam from step `from` to step `to` (the last left out), shifted by
// (ox, oy), over the drawn parts only.
void line_beside(const segment_walk& w, int32_t from, int32_t to, int32_t ox, int32_t oy) {
    auto line = [&](int32_t a, int32_t b) {
        if (a >= b) return;
        platform::draw_line(static_cast<float>(w.x + a * w.ux + ox),
                            static_cast<float>(w.y + a * w.uy + oy),
                            static_cast<float>(w.x + b * w.ux + ox),
                            static_cast<float>(w.y + b * w.uy + oy), false);
    };
    if (w.solid) {
        line(from, to);
        return;
    }
    line(from, std::min(to, w.length / 3));
    line(std::max(from, 2 * w.length / 3), to);
}

// The glow: lines on both sides of the beam, fainter outwards, added to what is below. A
// diagonal beam's glow is shifted sideways by whole pixels, which leaves no gaps between its
// lines.
constexpr std::array<float, 3> glow_alpha = {0.5f, 0.25f, 0.1f};

void draw_segment_glow(const segment_walk& w) {
    const bool diagonal = w.ux != 0 && w.uy != 0;
    for (int32_t k = 1; k <= static_cast<int32_t>(glow_alpha.size()); ++k) {
        platform::set_alpha(glow_alpha[static_cast<size_t>(k - 1)]);
        const int32_t ox = diagonal ? k : -w.uy * k, oy = diagonal ? 0 : w.ux * k;
        line_beside(w, 0, w.length, ox, oy);
        line_beside(w, 0, w.length, -ox, -oy);
    }
}

// Where the colour-blind aid's beam patterns put their marks: every 7 steps, starting 3 in,
// so that they sit alike in every cell.
constexpr int32_t pattern_spacing = 7;
constexpr int32_t pattern_start = 3;

// The colour-blind aid's pattern by beam colour: white plain; red two rails along the beam;
// green beads on it; blue rungs across it. None of them breaks the beam's own line, so none
// can be taken for the dashed line of a piece being turned.
void draw_segment_pattern(const segment_walk& w, int32_t colour) {
    const bool diagonal = w.ux != 0 && w.uy != 0;
    // Across the beam, one step: a whole pixel, or a diagonal's neighbour diagonal.
    const int32_t px = -w.uy, py = w.ux;
    switch (colour & 3) {
        case beam_red: {
            const int32_t d = diagonal ? 2 : 3;
            line_beside(w, 0, w.length, px * d, py * d);
            line_beside(w, 0, w.length, -px * d, -py * d);
            break;
        }
        case beam_green:
            for (int32_t at = pattern_start; at < w.length; at += pattern_spacing) {
                if (!w.drawn(at)) continue;
                for (int32_t k : {-2, -1, 1, 2}) {
                    const int32_t ox = diagonal ? k : px * k, oy = diagonal ? 0 : py * k;
                    line_beside(w, at - 1, at + 2, ox, oy);
                }
            }
            break;
        case beam_blue:
            for (int32_t at = pattern_start; at < w.length; at += pattern_spacing) {
                if (!w.drawn(at)) continue;
                const int32_t x = w.x + at * w.ux, y = w.y + at * w.uy;
                const int32_t r = diagonal ? 3 : 4;
                platform::draw_line(static_cast<float>(x - px * r), static_cast<float>(y - py * r),
                                    static_cast<float>(x + px * r), static_cast<float>(y + py * r),
                                    true);
            }
            break;
        default: break;
    }
}

// What goes under the beams' exact lines: the glow, then the aid's patterns, for every segment
// before any line is drawn, so that no glow lies over another beam's line.
void draw_under_beams(const trace_events& events) {
    const bool glow = settings.beam_glow == 1, aid = settings.colour_blind_aid == 1;
    if (!glow && !aid) return;
    for (int32_t n = 0; n < events.count; ++n) {
        const trace_event& e = events.list[static_cast<size_t>(n)];
        if (e.what != trace_segment) continue;
        const segment_walk w = walk_of(e);
        const rgb& c = beam_rgb[static_cast<size_t>(e.colour & 3)];
        if (glow) {
            set_faded_color(c.r, c.g, c.b);
            platform::set_blend(4);
            draw_segment_glow(w);
            platform::set_alpha(1);
            platform::set_blend(3);
        }
        if (aid) {
            // Lightened towards white, so that the pattern shows whatever colours an eye tells.
            set_faded_color((c.r + 255) / 2, (c.g + 255) / 2, (c.b + 255) / 2);
            draw_segment_pattern(w, e.colour);
        }
    }
}

void draw_wall_spark(const trace_event& e) {
    set_beam_color(e.colour);
    platform::set_rotation(static_cast<float>(e.x2));
    platform::set_blend(4);
    platform::draw_image(image_wall_animation, static_cast<float>(e.x), static_cast<float>(e.y),
                         wall_spark_frame);
    platform::set_blend(3);
    platform::set_rotation(0);
}

// One pixel of the 36 of a blend between two beams: the first beam's colour at n = 0 fading
// into the second's at n = 35, channel by channel.
void plot_blend_pixel(int32_t n, const trace_event& e, int32_t x, int32_t y) {
    const rgb& ca = beam_rgb[static_cast<size_t>(e.colour & 3)];
    const rgb& cb = beam_rgb[static_cast<size_t>(e.other_colour & 3)];
    auto channel = [n](int32_t in_a, int32_t in_b) {
        const int32_t va = in_a > 0 ? 1 : 0, vb = in_b > 0 ? 1 : 0;
        return std::min(255, (va * (35 - n) * 255) / 35 + (vb * n * 255) / 35);
    };
    set_faded_color(channel(ca.r, cb.r), channel(ca.g, cb.g), channel(ca.b, cb.b));
    platform::plot(static_cast<float>(x), static_cast<float>(y));
}

// Two beams meeting inside one cell: from the side the first came in by to the centre, then
// from the centre out to the side the second came in by.
void draw_blend_in_cell(const trace_event& e) {
    const int32_t cx = e.x, cy = e.y;
    const int32_t asx = dir_column_step[static_cast<size_t>(e.x2 & 7)];
    const int32_t asy = dir_row_step[static_cast<size_t>(e.x2 & 7)];
    const int32_t bsx = dir_column_step[static_cast<size_t>(e.y2 & 7)];
    const int32_t bsy = dir_row_step[static_cast<size_t>(e.y2 & 7)];
    for (int32_t m = 0; m < 18; ++m)
        plot_blend_pixel(m, e, cx - 17 * asx + m * asx, cy - 17 * asy + m * asy);
    for (int32_t m = 0; m < 18; ++m) plot_blend_pixel(m + 18, e, cx - m * bsx, cy - m * bsy);
}

// Two beams meeting between neighbouring cells: centre to centre.
void draw_blend_between(const trace_event& e) {
    const int32_t sx = dir_column_step[static_cast<size_t>(e.x2 & 7)];
    const int32_t sy = dir_row_step[static_cast<size_t>(e.x2 & 7)];
    for (int32_t m = 0; m < 36; ++m) plot_blend_pixel(m, e, e.x + m * sx, e.y + m * sy);
}

void draw_event(const trace_event& e) {
    switch (e.what) {
        case trace_segment: draw_segment(e); break;
        case trace_wall_spark: draw_wall_spark(e); break;
        case trace_blend_in_cell: draw_blend_in_cell(e); break;
        default: draw_blend_between(e); break;
    }
}

bool is_blend(const trace_event& e) {
    return e.what == trace_blend_in_cell || e.what == trace_blend_between;
}
bool pair_before(const trace_event& a, const trace_event& b) {
    return a.first < b.first || (a.first == b.first && a.second < b.second);
}

// The trace's events drawn as the trace met them: step by step, the segments and sparks of the
// step, then its blends together with the lasting blends of earlier steps, in the order of
// the pairs of beams.
void play_back(const trace_events& events) {
    std::array<int32_t, trace_event_capacity> lasting;  // event numbers, in pair order
    std::array<int32_t, trace_event_capacity> merged;
    int32_t lasting_count = 0;
    int32_t e = 0;
    for (int32_t step = 1; step <= events.steps; ++step) {
        auto at = [&events](int32_t n) -> const trace_event& {
            return events.list[static_cast<size_t>(n)];
        };
        while (e < events.count && at(e).step == step && !is_blend(at(e))) draw_event(at(e++));
        const int32_t first_new = e;
        while (e < events.count && at(e).step == step) ++e;
        int32_t old_n = 0, new_n = first_new, merged_count = 0;
        while (old_n < lasting_count || new_n < e) {
            const bool take_old =
                new_n == e || (old_n < lasting_count &&
                               pair_before(at(lasting[static_cast<size_t>(old_n)]), at(new_n)));
            const int32_t n = take_old ? lasting[static_cast<size_t>(old_n++)] : new_n++;
            draw_event(at(n));
            if (take_old || at(n).lasting == 1) merged[static_cast<size_t>(merged_count++)] = n;
        }
        std::copy_n(merged.begin(), merged_count, lasting.begin());
        lasting_count = merged_count;
    }
}

// The glow of a colour sphere that a beam passed: the trace sets its countdown to 2 each frame
// a beam passes, and each of the two drawings of a frame counts it down, so the glow lasts
// exactly as long as beams pass. The sound flag in the cell's colour makes the sound play once
// when the glow starts, and is re-armed once the glow has run out.
void draw_sphere_glow(point& cell, int32_t column, int32_t row, int32_t orientation) {
    if (orientation == 0) {
        cell.colour = 0;
        return;
    }
    const rgb& c = beam_rgb[static_cast<size_t>(sphere_colour_of(cell.kind))];
    set_faded_color(c.r, c.g, c.b);
    platform::set_blend(4);
    platform::draw_image(image_translator_animation, cell_centre_x(column), cell_centre_y(row),
                         translator_glow_frame);
    cell.state -= 1;
    if (cell.colour == 0) {
        platform::play_sound(sound_trans);
        cell.colour = 1;
    }
    platform::set_blend(3);
}

bool laser_switched_on(int32_t column, int32_t row) {
    const int32_t sources = std::clamp(laser_source_count, 0, max_lasers);
    for (int32_t i = 0; i < sources; ++i) {
        const laser& s = laser_sources[static_cast<size_t>(i)];
        if (s.x == column && s.y == row) return s.active == 1;
    }
    return false;
}

// A laser's lens in its beam's colour: glowing while the laser is on, a dim bead while off.
void draw_laser_lens(const point& cell, int32_t column, int32_t row, int32_t orientation) {
    const rgb& c = beam_rgb[static_cast<size_t>(cell.colour & 3)];
    if (laser_switched_on(column, row)) {
        set_faded_color(c.r, c.g, c.b);
        platform::set_blend(4);
        platform::draw_image(image_laser_lens, cell_left(column), cell_top(row), orientation & 7);
        platform::set_blend(3);
    } else {
        set_faded_color(c.r / 2, c.g / 2, c.b / 2);
        platform::draw_image(image_laser_lens, cell_left(column), cell_top(row),
                             8 + (orientation & 7));
    }
}

// The colour-blind aid's mark: the colour's initial on a badge in the cell's top-left corner,
// or its bottom-right one for a laser whose barrel points to the left or up-left.
void draw_colour_mark(const point& cell, int32_t column, int32_t row, int32_t orientation) {
    int32_t colour = 0;
    if (cell.kind == kind_lamp) {
        colour = std::clamp(cell.colour, 0, 6);
    } else if (cell.kind == kind_laser) {
        colour = cell.colour & 3;
    } else if (is_sphere(cell.kind)) {
        colour = sphere_colour_of(cell.kind);
    } else {
        return;
    }
    const bool far_corner = cell.kind == kind_laser && (orientation & 7) >= 6;
    const int32_t inset = far_corner ? cell_size - 1 - colour_mark_size : 1;
    set_faded_color(255, 255, 255);
    platform::draw_image(image_colour_marks, cell_left(column) + inset, cell_top(row) + inset,
                         colour);
}

}  // namespace

void draw_pieces() {
    for (int32_t c = 0; c < board_columns; ++c) {
        for (int32_t r = 0; r < board_rows; ++r) {
            point& cell = board[c][r];
            set_faded_color(255, 255, 255);
            const int32_t o =
                (turning == 1 && c == turn_x && r == turn_y) ? turn_orientation : cell.state;
            if (is_piece(cell.kind))
                platform::draw_image(piece_image(cell.kind), cell_left(c), cell_top(r),
                                     piece_frame(cell.kind, o, cell.colour));
            if (cell.kind == kind_laser) draw_laser_lens(cell, c, r, o);
            if (is_sphere(cell.kind)) draw_sphere_glow(cell, c, r, o);
            if (settings.colour_blind_aid == 1) draw_colour_mark(cell, c, r, o);
        }
    }
    if (solution_alpha > 0) {
        // In white: the colour left by the last cell could be a sphere's glow colour.
        set_faded_color(255, 255, 255);
        platform::set_alpha(static_cast<float>(solution_alpha) / 255.0f);
        for (int32_t c = 0; c < board_columns; ++c) {
            for (int32_t r = 0; r < board_rows; ++r) {
                const point& cell = board[c][r];
                if (!is_movable(cell.solution_kind)) continue;
                platform::draw_image(piece_image(cell.solution_kind), cell_left(c), cell_top(r),
                                     piece_frame(cell.solution_kind, cell.solution_orientation, 0));
            }
        }
        platform::set_alpha(1);
    }
    translator_glow_frame = (translator_glow_frame + 1) % 20;
    wall_spark_frame = (wall_spark_frame + 1) % 20;
}

int32_t trace_beams() {
    trace_events events;
    const int32_t steps = record_trace(events);
    draw_under_beams(events);
    play_back(events);
    return steps;
}

void draw_board_and_beams() {
    draw_grid();
    draw_pieces();
    trace_beams();
    draw_pieces();
    translator_glow_frame = (translator_glow_frame + 19) % 20;
    wall_spark_frame = (wall_spark_frame + 19) % 20;
}

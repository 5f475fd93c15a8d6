// Drawing the board: outlines, pieces, sphere glows, the solution overlay, and the trace played
// back from its events.
#include "play/board_drawing.h"

#include <algorithm>

#include "app/app_state.h"
#include "app/assets.h"
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
            if (is_sphere(cell.kind)) draw_sphere_glow(cell, c, r, o);
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

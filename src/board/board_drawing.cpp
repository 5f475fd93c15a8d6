// Drawing the board: outlines, pieces, sphere glows, the solution overlay, and the trace.
#include "board/board_drawing.h"

#include "app/app_state.h"
#include "app/assets.h"
#include "board/beam_rules.h"
#include "board/beam_trace.h"
#include "board/board_state.h"

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
        case kind_white_sphere:
        case kind_red_sphere:
        case kind_green_sphere:
        case kind_blue_sphere: return image_color_translator;
        default: return nullptr;
    }
}

int32_t piece_frame(int32_t kind, int32_t orientation, int32_t lamp_colour) {
    switch (kind) {
        case kind_lamp: return lamp_colour;
        case kind_bomb:
        case kind_wall: return 0;
        // A prism offers four orientations; one stored as 4 to 7 shows as its mod 4.
        case kind_prism: return orientation % 4;
        // The double prism's strip starts with the piece facing down.
        case kind_double_prism: return (orientation + 4) % 8;
        case kind_white_sphere:
        case kind_red_sphere:
        case kind_green_sphere:
        case kind_blue_sphere: return kind - kind_white_sphere;
        default: return orientation;
    }
}

void draw_grid() {
    set_faded_color(40, 40, 40);
    for (int32_t k = 1; k <= board_columns; ++k) {
        platform::draw_line(35 * k, 75, 35 * k, 564, true);
        platform::draw_line(35 * k + 34, 75, 35 * k + 34, 564, true);
    }
    for (int32_t k = 1; k <= board_rows; ++k) {
        platform::draw_line(35, 35 * k + 40, 699, 35 * k + 40, true);
        platform::draw_line(35, 35 * k + 74, 699, 35 * k + 74, true);
    }
}

namespace {

// The glow of a colour sphere that a beam passed: the trace sets its countdown to 2 each frame
// a beam passes, and each of the two drawings of a frame counts it down, so the glow lasts
// exactly as long as beams pass. The sound flag in the cell's colour makes the sound play once
// when the glow starts, and is re-armed once the glow has run out.
void draw_sphere_glow(point& cell, int32_t column, int32_t row, int32_t orientation) {
    if (orientation == 0) {
        cell.colour = 0;
        return;
    }
    const rgb& c = beam_rgb[static_cast<size_t>(cell.kind - kind_white_sphere)];
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
            const int32_t o = (turning == 1 && c == turn_x && r == turn_y) ? turn_orientation
                                                                            : cell.state;
            if (cell.kind >= kind_laser && cell.kind <= kind_blue_sphere)
                platform::draw_image(piece_image(cell.kind), cell_left(c), cell_top(r),
                                     piece_frame(cell.kind, o, cell.colour));
            if (cell.kind >= kind_white_sphere && cell.kind <= kind_blue_sphere)
                draw_sphere_glow(cell, c, r, o);
        }
    }
    if (solution_alpha > 0) {
        // In white: the colour left by the last cell could be a sphere's glow colour.
        set_faded_color(255, 255, 255);
        platform::set_alpha(static_cast<float>(solution_alpha) / 255.0f);
        for (int32_t c = 0; c < board_columns; ++c) {
            for (int32_t r = 0; r < board_rows; ++r) {
                const point& cell = board[c][r];
                if (cell.solution_kind < kind_mirror || cell.solution_kind > kind_blue_sphere)
                    continue;
                platform::draw_image(piece_image(cell.solution_kind), cell_left(c), cell_top(r),
                                     piece_frame(cell.solution_kind, cell.solution_orientation, 0));
            }
        }
        platform::set_alpha(1);
    }
    translator_glow_frame = (translator_glow_frame + 1) % 20;
    wall_spark_frame = (wall_spark_frame + 1) % 20;
}

void draw_board_and_beams() {
    draw_grid();
    draw_pieces();
    trace_beams();
    draw_pieces();
    translator_glow_frame = (translator_glow_frame + 19) % 20;
    wall_spark_frame = (wall_spark_frame + 19) % 20;
}

// A small board builder for the engine's tests: pieces and lasers straight into the globals.
#pragma once

#include <cstdint>

#include "board/board_state.h"

struct board_builder {
    board_builder() { board_vars = {}; }

    point& put(int32_t column, int32_t row, int32_t kind, int32_t state = 0, int32_t colour = 0) {
        point& p = board[column][row];
        p.kind = kind;
        p.state = state;
        p.colour = colour;
        return p;
    }
    // A laser piece and its source, appended in call order; returns the source index.
    int32_t laser_at(int32_t column, int32_t row, int32_t dir, int32_t colour, int32_t active = 1) {
        put(column, row, kind_laser, dir, colour);
        laser& s = laser_sources[static_cast<size_t>(laser_source_count)];
        s = laser{column, row, colour, dir, 0, active, 0};
        return laser_source_count++;
    }
    // A movable piece held by the player: state 9, traced at the given orientation.
    void turning_at(int32_t column, int32_t row, int32_t kind, int32_t orientation) {
        put(column, row, kind, 9);
        turning = 1;
        turn_x = column;
        turn_y = row;
        turn_orientation = orientation;
    }
};

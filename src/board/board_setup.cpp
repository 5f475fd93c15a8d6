// Start-up of the board: the grid and the two laser arrays, every record zeroed.
#include "board/board_state.h"

board_globals board_vars;

void create_board() {
    for (auto& column : board)
        for (point& cell : column) cell = point{};
}

void create_lasers() {
    laser_sources.fill(laser{});
    beams.fill(laser{});
    laser_source_count = 0;
    beam_count = 0;
}

// Replays a board with the game's own trace (board globals, trace_beams_silent).
#include "game_replay.h"

#include "board/beam_trace.h"
#include "board/board_state.h"
#include "board/piece_kinds.h"

namespace levels {

std::vector<placement> stored_solution(const level_grid& grid) {
    std::vector<placement> pieces;
    for (int cell = 0; cell < cell_count; ++cell) {
        int32_t d = grid.code[cell];
        int k = d / 100;
        if (k >= kind_mirror)
            pieces.push_back({cell, k, k <= kind_double_prism ? (d / 10) % 10 : 0});
    }
    return pieces;
}

game_verdict replay_in_game(const level_grid& grid, const std::vector<placement>& pieces,
                            uint32_t laser_on) {
    // The board as reset_board and load_level leave it.
    laser_source_count = 0;
    explosion_x = 0;
    explosion_y = 0;
    turning = 0;
    for (int cell = 0; cell < cell_count; ++cell) {
        point& p = board[cell_column(cell)][cell_row(cell)];
        p = point{};
        int32_t d = grid.code[cell];
        int k = d / 100;
        if (k >= kind_mirror) continue;
        p.kind = k;
        if (k <= kind_lamp) p.colour = d % 10;
        if (k == kind_laser || k == kind_translator) p.state = (d / 10) % 10;
        if (k == kind_laser) {
            laser& s = laser_sources[size_t(laser_source_count)];
            s.x = cell_column(cell);
            s.y = cell_row(cell);
            s.dir = p.state;
            s.colour = p.colour;
            s.active = int32_t((laser_on >> laser_source_count) & 1);
            ++laser_source_count;
        }
    }
    for (const placement& m : pieces) {
        point& p = board[cell_column(m.cell)][cell_row(m.cell)];
        p.kind = m.kind;
        p.state = is_sphere(m.kind) ? 0 : m.orientation;
        p.colour = 0;
    }
    game_verdict v;
    trace_beams_silent();
    bool exploded = last_trace().exploded_count > 0;
    for (int cell = 0; cell < cell_count; ++cell) {
        point& p = board[cell_column(cell)][cell_row(cell)];
        if (p.kind == kind_lamp) v.lamp_mask[cell] = p.state;
    }
    board_verdict judged;
    // judge_board traces again and puts exploded bombs back; its verdict is the one the game
    // gives (the lamp masks above are for comparing traces).
    for (int e = 0; e < last_trace().exploded_count; ++e) {
        int cell = last_trace().exploded_cells[size_t(e)];
        board[cell / board_rows][cell % board_rows].kind = kind_bomb;
    }
    for (int cell = 0; cell < cell_count; ++cell) {
        point& p = board[cell_column(cell)][cell_row(cell)];
        if (p.kind == kind_lamp) p.state = 0;
    }
    explosion_x = 0;
    explosion_y = 0;
    judged = judge_board();
    v.all_lit = judged.all_lamps_lit;
    v.exploded = exploded || judged.exploded;
    return v;
}

}  // namespace levels

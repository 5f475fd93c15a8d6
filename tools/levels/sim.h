// A compact copy of a board for the level tools: the solver traces it millions of times, so it
// keeps only kind, state and colour per cell and records what the search needs to know.
//
// The game's own trace stays the judge: every level is replayed with it (level_rules), and the
// tests compare this copy with it on random boards.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "board/piece_kinds.h"

namespace levels {

constexpr int columns = 19;
constexpr int rows = 14;
constexpr int cell_count = columns * rows;
constexpr int no_step = 1 << 30;

inline int cell_index(int column, int row) { return column * rows + row; }
inline int cell_column(int cell) { return cell / rows; }
inline int cell_row(int cell) { return cell % rows; }

// A level as the tools see it: the board's cell codes (kind*100 + orientation*10 + colour),
// column by column, exactly what the level file stores. Movable pieces are the solution.
struct level_grid {
    std::array<int32_t, cell_count> code{};
};

struct sim_board {
    std::array<int8_t, cell_count> kind{};
    std::array<int8_t, cell_count> state{};
    std::array<int8_t, cell_count> colour{};
    // Lasers in the loader's order (column by column, top to bottom).
    std::vector<int16_t> laser_cells;
    std::vector<int16_t> lamp_cells;
    int double_prism_slots = 0;  // double prisms that may ever stand on the board
};

// The fixed board of a level (lasers, lamps, bombs, walls, translators); movable pieces left
// off, their kinds counted into stock (indexed by kind, 6 to 13).
struct fixed_level {
    sim_board board;
    std::array<int32_t, piece_kind_count> stock{};
    struct piece {
        int cell, kind, orientation;
    };
    std::vector<piece> solution;
};
fixed_level split_level(const level_grid& grid);

// One beam entering a cell that holds no piece: where a movable piece could act on it.
struct beam_entry {
    int step;
    int16_t cell;
    int8_t dir;  // direction of travel on entering
    int8_t colour;
    int16_t beam;  // index of the beam in the trace
};

struct trace_result {
    std::array<uint8_t, cell_count> lamp_mask{};  // 8 red, 4 green, 2 blue, 1 white
    int explosion_step = no_step;                 // first step at which a bomb went off
    int beams = 0;
    int steps = 0;
    int lit_path = 0;                      // cells entered by solid beams
    std::vector<beam_entry> entries;       // into empty cells, in step order
    std::vector<beam_entry> piece_visits;  // into cells with a movable piece, in step order
    bool all_lit = false;
    bool won() const { return all_lit && explosion_step == no_step; }
};

// laser_on: bit i switches laser i (loader order) on.
// want_entries: record the entries into empty cells and into movable pieces (the search needs
// them, a replay does not).
// signature: if not null, receives the idea of the run: for every beam in order, what each
// movable piece did to it (arrival -> departure, stop, split, new colour). Positions and kinds
// are left out, so a mirror slid along its beam, or a double mirror doing a mirror's job, is the
// same idea.
void sim_trace(const sim_board& b, uint32_t laser_on, bool want_entries, trace_result& out,
               std::string* signature = nullptr);

// The game's rule of a movable or fixed piece for one solid beam: the direction it leaves in,
// -1 when it stops, and for a double prism the direction of the split beam in *split (else -1).
int piece_turn(int kind, int orientation, int dir, int* split);

bool lamp_lit(int lamp_colour, int mask);

}  // namespace levels

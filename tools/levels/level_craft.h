// The craft of a level, as far as rules can judge it: fixed pieces that earn their place, decoys
// that tempt, notes that tell the truth, and the recipe that tells one level from another.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "level_source.h"
#include "solver.h"

namespace levels {

// A fixed piece the verifier takes away to see whether the level needs it: a 4-connected group
// of walls, or a single laser, bomb or translator.
struct fixed_element {
    int32_t kind = 0;        // kind_laser, kind_bomb, kind_wall or kind_translator
    std::vector<int> cells;  // in cell order; the first names the element
};

std::vector<fixed_element> fixed_elements(const sim_board& board);
// "wall group at 4,7 (3 cells)", "laser at 2,5": columns and rows counted from 1, as in 'decoy'.
std::string element_label(const fixed_element& element);
// The board with the element's cells emptied (lasers and lamps listed afresh).
sim_board without(const sim_board& board, const std::vector<const fixed_element*>& elements);

// Cells some beam could enter, whatever the player places with this stock and whichever lasers
// shine: every empty cell may hold any piece of the stock and turn the beam every way that piece
// can. Walls, bombs, lasers and the closed side of a translator stop it. A fixed piece outside
// this set cannot matter to any solution.
std::vector<char> reachable_cells(const sim_board& board,
                                  const std::array<int32_t, piece_kind_count>& stock);

// Fixed cells that beams of a traced board enter (the trace lists only empty cells and pieces).
std::vector<char> entered_fixed_cells(const sim_board& board, const trace_result& trace);

// Whether a decoy tempts: some placement of one or two pieces of the stock sends a beam into it
// (a laser: its own beam reaches a lamp, or another beam runs into its body).
bool tempts(const sim_board& board, const std::array<int32_t, piece_kind_count>& stock,
            const fixed_element& decoy);

// What the board says, for checking the note against it.
struct board_facts {
    std::array<int32_t, piece_kind_count> stock{};
    std::array<int, 4> lasers_by_colour{};
    std::array<int, 7> lamps_by_colour{};
    int lasers = 0, diagonal_lasers = 0, lamps = 0, bombs = 0, walls = 0, translators = 0;
    bool diagonal_beam = false;  // some beam of the stored solution runs diagonally
    bool head_on = false;        // beams of the stored solution stop each other head-on
    bool laser_off = false;      // a laser must be switched off (to build it or to win)
    bool bonus = false;
    int fewest = -1;  // pieces of the cheapest solution
};
board_facts facts_of(const level_source& level, bool needs_laser_off, int fewest);

// Every statement of the note that the board contradicts, and every giveaway of the solution's
// piece count, as failure texts (empty when the note is true).
std::vector<std::string> note_faults(const std::string& note, const board_facts& facts);

// Stock by kind, lamp colours and laser count, e.g. "mirror 2, dprism 1 / lamps RRB / lasers 1".
std::string recipe_of(const level_grid& grid);

}  // namespace levels

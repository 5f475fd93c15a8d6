// The exact solver of the level tools: depth-first search over placements of the stock.
//
// It places pieces only on empty cells that a beam enters, in the order in which the beams
// reach them (step, then cell), and only where the piece changes a beam arriving in that step
// while leaving alone every beam that passed the cell before. Every solution that uses no
// useless piece is met exactly once that way: order its pieces by the step at which each first
// acts; up to that step the board without the later pieces traces the same beams.
// The orientations of a piece that act alike on every beam met so far are searched as one and
// told apart only when a beam shows a difference, and a lower bound on the pieces still needed
// cuts branches that cannot win within the pieces allowed; solutions are still counted one per
// orientation, as if each had been tried on its own.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sim.h"

namespace levels {

struct placement {
    int32_t cell, kind, orientation;
    bool operator==(const placement&) const = default;
};

struct solution {
    std::vector<placement> pieces;
    uint32_t laser_on = 0;
    std::string idea;
};

struct solve_options {
    int64_t node_budget = 20'000'000;
    bool all_masks = true;      // also try lasers switched off
    int64_t stop_after = -1;    // stop once this many solutions are found (-1: exhaust)
    int keep = 64;              // solutions kept for the caller
    bool random_order = false;  // trial-and-error effort: children in random order (the
                                // plain search, as a player tries every orientation)
    int max_pieces = 1 << 20;   // place at most this many pieces of the stock
    bool merge_stops = false;   // one blocking move per piece kind and cell (effort only)
    uint64_t seed = 1;
    // The plain search: every orientation its own child and no bound (slower, same answers).
    bool reference = false;
    // Search with 0, 1, 2, ... pieces and stop at the first count that wins: the solutions are
    // then only those with the fewest pieces (without it, every size up to max_pieces).
    bool fewest_only = false;
};

struct solve_result {
    bool exhausted = true;  // false when the budget ran out or stop_after was reached
    int64_t nodes = 0;      // boards traced
    int fewest = -1;        // fewest pieces of any solution found, -1 for none
    int64_t solutions = 0;
    std::map<int, int64_t> solutions_by_size;
    std::set<std::string> ideas;
    std::map<int, std::set<std::string>> ideas_by_size;
    std::vector<solution> kept;
    // Root moves that turn, split or recolour a beam (all lasers on): how many, and how many
    // lead to no solution.
    int root_moves = 0;
    int dead_root_moves = 0;
    int64_t nodes_to_first = -1;  // nodes searched before the first solution
};

// stock: pieces per kind (6 to 13).
solve_result solve(const sim_board& fixed, const std::array<int32_t, piece_kind_count>& stock,
                   const solve_options& options);

// The idea of a configuration: what its movable pieces do to the beams (see sim_trace).
std::string idea_of(const sim_board& board, uint32_t laser_on);

// Trial-and-error effort: mean nodes until a first solution with children in random order,
// over the given number of seeds (all lasers on).
double trial_effort(const sim_board& fixed, const std::array<int32_t, piece_kind_count>& stock,
                    int seeds, int64_t budget_per_seed);

}  // namespace levels

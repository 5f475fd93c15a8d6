// The game's own judgement of a level board: the board globals filled as the loader fills
// them, the chosen pieces placed as a player places them, one silent trace of the game.
#pragma once

#include <cstdint>
#include <vector>

#include "solver.h"

namespace levels {

struct game_verdict {
    bool all_lit = false;
    bool exploded = false;
    std::array<int32_t, cell_count> lamp_mask{};  // masks the trace left on the lamps
};

// laser_on: bit i switches laser i (loader order) on. pieces: placed as the player would.
game_verdict replay_in_game(const level_grid& grid, const std::vector<placement>& pieces,
                            uint32_t laser_on);

// The stored solution of the grid as placements.
std::vector<placement> stored_solution(const level_grid& grid);

}  // namespace levels

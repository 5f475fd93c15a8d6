// Level files: reading a level onto the board, and clearing the board for the next one.
#pragma once

#include <cstdint>
#include <string>

// "Levels\level.001" for level index 0 ... "Levels\level.120" for index 119.
std::string level_file_name(int32_t level_index);
// Reads the level current_level onto the freshly reset board. Returns false, leaving the board
// empty, when the file is missing or holds something outside the game's data model.
bool load_level();
void reset_board();

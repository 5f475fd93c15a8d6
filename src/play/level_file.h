// Level files: reading a level onto the board, and clearing the board for the next one.
#pragma once

#include <cstdint>
#include <string>

#include "play/level_format.h"

// "Levels\level.001" for level index 0 ... "Levels\level.120" for index 119.
std::string level_file_name(int32_t level_index);
// Reads the level current_level onto the freshly reset board. Returns false, leaving the board
// empty, when the file is missing or holds something outside the game's data model.
bool load_level();
// Empties the board and the stock, closes the message window and lets go of a held piece.
void reset_board();

// What load_level does with a level once read: the fixed pieces onto the board, the solution
// pieces into the cells' solution fields and the stock, the laser sources in file order, the
// lamp count and the note. Like load_level it only adds to what is there (call reset_board
// first), and it does not touch the scores or the explosion.
void place_level(const level_data& level);

// Levels and solutions as one line of text, for sharing by copy and paste: pure, no globals.
//
// A level code is "BW1-" and then the level in base64url (A-Z a-z 0-9 - _, no padding): the
// note's length and bytes, each non-empty cell as its distance from the last one and its cell
// code (7 bits a byte, low bits first), and a CRC-32 of all that. It carries the whole level
// file, so a decoded level writes back to the very bytes it was made from.
//
// A solution code is "BWS1-" and then, in the same alphabet, the key of the level it solves
// (level_board_key), two bytes per piece (cell number * 64 + (kind - 6) * 8 + orientation, the
// cell numbered column * 14 + row as in the level file) and a CRC-32.
//
// Both decoders take the code as a player pastes it: blanks and line breaks anywhere are
// skipped and the prefix may be in either case. A code that is damaged, cut short, from
// another program or from a newer version of the game is refused with a reason in the game's
// words; what they accept always fits the game's data model.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "play/level_format.h"

constexpr std::string_view level_code_prefix = "BW1-";
constexpr std::string_view solution_code_prefix = "BWS1-";

// One movable piece on the board: kind 6 to 13, orientation 0 to 7 (0 for the spheres).
struct placed_piece {
    int32_t column = 0;
    int32_t row = 0;
    int32_t kind = 0;
    int32_t orientation = 0;
    bool operator==(const placed_piece&) const = default;
};

std::string encode_level_code(const level_data& level);
// On false, `out` is unspecified and *why (when given) says what is wrong with the code.
bool decode_level_code(std::string_view code, level_data& out, std::string* why = nullptr);

// What makes two levels the same puzzle: the fixed pieces (lasers, lamps, bombs, walls and
// translators with every digit of their cell codes) and the stock counted by kind. The note and
// where the stored solution puts its pieces do not count.
uint32_t level_board_key(const level_data& level);

// The level's stored solution as placed pieces, in cell order.
std::vector<placed_piece> level_solution_pieces(const level_data& level);

// The pieces are written in cell order, whatever their order here. Pieces outside the data
// model (a kind that is not movable, a cell off the board, an orientation above 7) are left out.
std::string encode_solution_code(const level_data& level, const std::vector<placed_piece>& pieces);
// Accepts only a code made for this level (by level_board_key) whose pieces fit it: on cells
// without a fixed piece, one piece a cell, no more of a kind than the stock holds. `out` is in
// cell order.
bool decode_solution_code(std::string_view code, const level_data& level,
                          std::vector<placed_piece>& out, std::string* why = nullptr);

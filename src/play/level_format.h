// The byte layout of a level file: pure parsing and writing, no globals, no platform.
//
// A level file is one byte of note length L, L bytes of note, then 266 little-endian signed
// 32-bit cell codes, column by column (rows 0 to 13 of column 0, then column 1, ...). A cell
// code is kind * 100 + orientation * 10 + colour. The game's loader, the level checker, the
// level compiler and the fuzzers all read levels through parse_level.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "board/board_state.h"

struct level_data {
    std::string text;  // the note; exactly L characters (codes 0 to 255)
    std::array<std::array<int32_t, board_rows>, board_columns> cells{};  // [column][row]
};

constexpr int32_t level_cell_kind(int32_t code) { return code / 100; }
constexpr int32_t level_cell_orientation(int32_t code) { return (code / 10) % 10; }
constexpr int32_t level_cell_colour(int32_t code) { return code % 10; }
constexpr int32_t level_cell_code(int32_t kind, int32_t orientation, int32_t colour) {
    return kind * 100 + orientation * 10 + colour;
}

// Reads a level from the bytes of its file. A file that ends early reads as zeros: the note is
// padded with characters of code 0 and the missing cells are empty. Bytes after the last cell
// are ignored. Returns false, with the reason in *why when given, for a level outside the
// game's data model (level_model_fault); `out` is then unspecified.
bool parse_level(std::span<const uint8_t> bytes, level_data& out, std::string* why = nullptr);

// Whether a level fits the game's data model, which the board, the stock and the laser
// array are sized for: no negative cell code, no kind above 13, at most 20 lasers, laser
// colours 0 to 3, lamp colours 0 to 6, laser and translator directions 0 to 7, and solution
// orientations 0 to 7 (the piece pictures have eight frames). Returns "" or the first fault,
// naming the cell.
std::string level_model_fault(const level_data& level);

// The bytes of a level file. The note is cut to 255 characters (one length byte).
std::vector<uint8_t> encode_level(const level_data& level);

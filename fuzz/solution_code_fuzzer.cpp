// Solution codes as a player pastes them: the input is a level code, a '|', and a solution
// code. Whatever the solution part holds, it is refused with a reason or gives pieces that fit
// the level (on free cells, one a cell, within the stock) and that its own code gives back.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "board/piece_kinds.h"
#include "fuzz_check.h"
#include "play/level_code.h"
#include "play/level_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const size_t bar = text.find('|');
    level_data level;
    // Without a level part, or with one that is refused, the solution is read against the
    // empty level.
    if (bar == std::string_view::npos || !decode_level_code(text.substr(0, bar), level))
        level = level_data{};
    const std::string_view code = bar == std::string_view::npos ? text : text.substr(bar + 1);

    std::vector<placed_piece> pieces;
    std::string why;
    if (!decode_solution_code(code, level, pieces, &why)) {
        fuzz_require(!why.empty(), "a refused code says why");
        return 0;
    }
    std::array<int32_t, piece_kind_count> stock{};
    for (const auto& column : level.cells)
        for (int32_t cell : column)
            if (is_movable(level_cell_kind(cell)))
                ++stock[static_cast<size_t>(level_cell_kind(cell))];
    std::array<std::array<bool, board_rows>, board_columns> taken{};
    for (const placed_piece& p : pieces) {
        fuzz_require(p.column >= 0 && p.column < board_columns && p.row >= 0 && p.row < board_rows,
                     "a piece is on the board");
        fuzz_require(is_movable(p.kind), "a piece is a movable kind");
        fuzz_require(p.orientation >= 0 && p.orientation < 8, "an orientation is 0 to 7");
        const auto c = static_cast<size_t>(p.column);
        const auto r = static_cast<size_t>(p.row);
        const int32_t fixed = level_cell_kind(level.cells[c][r]);
        fuzz_require(!is_piece(fixed) || is_movable(fixed), "a piece is not on a fixed piece");
        fuzz_require(!taken[c][r], "one piece a cell");
        taken[c][r] = true;
        fuzz_require(--stock[static_cast<size_t>(p.kind)] >= 0, "no more pieces than the stock");
    }
    std::vector<placed_piece> again;
    fuzz_require(
        decode_solution_code(encode_solution_code(level, pieces), level, again) && again == pieces,
        "the pieces' own code gives them back");
    return 0;
}

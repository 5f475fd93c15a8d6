// The byte layout of a level file: reading, checking and writing it.
#include "play/level_format.h"

#include <algorithm>

#include "board/piece_kinds.h"

namespace {

std::string cell_name(int32_t column, int32_t row) {
    return "cell (" + std::to_string(column) + ", " + std::to_string(row) + ")";
}

}  // namespace

bool parse_level(std::span<const uint8_t> bytes, level_data& out, std::string* why) {
    size_t at = 0;
    // Reads past the end of the file give zeros, as the game's file reading does.
    auto next_byte = [&]() -> uint8_t { return at < bytes.size() ? bytes[at++] : (++at, 0); };
    const int32_t length = next_byte();
    out.text.assign(static_cast<size_t>(length), '\0');
    for (char& c : out.text) c = static_cast<char>(next_byte());
    for (auto& column : out.cells) {
        for (int32_t& code : column) {
            uint32_t v = 0;
            for (int32_t b = 0; b < 4; ++b) v |= static_cast<uint32_t>(next_byte()) << (8 * b);
            code = static_cast<int32_t>(v);
        }
    }
    std::string fault = level_model_fault(out);
    if (fault.empty()) return true;
    if (why) *why = std::move(fault);
    return false;
}

std::string level_model_fault(const level_data& level) {
    int32_t lasers = 0;
    for (int32_t column = 0; column < board_columns; ++column) {
        for (int32_t row = 0; row < board_rows; ++row) {
            const int32_t code = level.cells[static_cast<size_t>(column)][static_cast<size_t>(row)];
            const std::string where = cell_name(column, row);
            if (code < 0) return where + ": negative cell code " + std::to_string(code);
            const int32_t kind = level_cell_kind(code);
            const int32_t orientation = level_cell_orientation(code);
            const int32_t colour = level_cell_colour(code);
            if (!is_known_kind(kind)) return where + ": kind " + std::to_string(kind) + " above 13";
            if (kind == kind_laser) {
                if (++lasers > max_lasers) return where + ": more than 20 lasers";
                if (colour > beam_blue)
                    return where + ": laser colour " + std::to_string(colour) + " above 3";
                if (orientation > dir_up_left)
                    return where + ": laser direction " + std::to_string(orientation) + " above 7";
            }
            if (kind == kind_lamp && colour > lamp_violet)
                return where + ": lamp colour " + std::to_string(colour) + " above 6";
            if (kind == kind_translator && orientation > dir_up_left)
                return where + ": translator direction " + std::to_string(orientation) + " above 7";
            if (is_turnable(kind) && orientation > 7)
                return where + ": solution orientation " + std::to_string(orientation) + " above 7";
        }
    }
    return "";
}

std::vector<uint8_t> encode_level(const level_data& level) {
    const size_t length = std::min<size_t>(level.text.size(), 255);
    std::vector<uint8_t> bytes;
    bytes.reserve(1 + length + 4 * board_columns * board_rows);
    bytes.push_back(static_cast<uint8_t>(length));
    for (size_t i = 0; i < length; ++i) bytes.push_back(static_cast<uint8_t>(level.text[i]));
    for (const auto& column : level.cells) {
        for (int32_t code : column) {
            const auto v = static_cast<uint32_t>(code);
            for (int32_t b = 0; b < 4; ++b) bytes.push_back(static_cast<uint8_t>(v >> (8 * b)));
        }
    }
    return bytes;
}

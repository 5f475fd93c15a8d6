// Level files: the level's file name, loading it onto the board, and clearing the board.
#include "play/level_file.h"

#include <vector>

#include "board/board_state.h"
#include "board/piece_kinds.h"
#include "platform/platform.h"
#include "play/custom_play.h"
#include "play/level_code.h"
#include "play/play_state.h"
#include "play/undo.h"
#include "profiles/profiles_state.h"

namespace {

// Everything a level puts on the board, gone; the cells' colour and solution_orientation keep
// their values, as nothing reads them for an empty cell.
void clear_level_from_board() {
    for (auto& column : board) {
        for (point& cell : column) {
            cell.kind = kind_empty;
            cell.state = 0;
            cell.solution_kind = 0;
        }
    }
    for (int32_t k = 0; k < piece_kind_count; ++k)
        if (is_movable(k)) piece_stock[static_cast<size_t>(k)] = 0;
    laser_source_count = 0;
    lamp_count = 0;
    level_code_on_board.clear();
    code_note_passes = 0;
}

}  // namespace

std::string level_file_name(int32_t level_index) {
    const std::string number = std::to_string(level_index + 1);
    if (number.size() == 1) return "Levels\\level.00" + number;
    if (number.size() == 2) return "Levels\\level.0" + number;
    return "Levels\\level." + number;
}

void reset_board() {
    clear_level_from_board();
    // A press still held when the input closed must not turn a cell of the next level.
    turning = 0;
    message_shown = 0;
    // The moves made belong to the board just cleared: none can be undone on the next.
    clear_move_history();
}

void place_level(const level_data& level) {
    level_text = level.text;
    level_code_on_board = encode_level_code(level);
    for (int32_t column = 0; column < board_columns; ++column) {
        for (int32_t row = 0; row < board_rows; ++row) {
            const int32_t code = level.cells[static_cast<size_t>(column)][static_cast<size_t>(row)];
            const int32_t k = level_cell_kind(code);
            point& cell = board[column][row];
            if (!is_movable(k)) {
                cell.kind = k;
            } else {
                cell.solution_kind = k;
                ++piece_stock[static_cast<size_t>(k)];
            }
            // A laser's beam colour and a lamp's colour; an empty cell keeps the digit too.
            if (k == kind_empty || k == kind_laser || k == kind_lamp)
                cell.colour = level_cell_colour(code);
            if (k == kind_laser || k == kind_translator) cell.state = level_cell_orientation(code);
            if (is_turnable(k)) cell.solution_orientation = level_cell_orientation(code);
            if (k == kind_laser && laser_source_count < max_lasers) {
                laser& source = laser_sources[static_cast<size_t>(laser_source_count)];
                source.x = column;
                source.y = row;
                source.dir = cell.state;
                source.colour = cell.colour;
                source.active = 1;
                ++laser_source_count;
            }
            if (k == kind_lamp) ++lamp_count;
        }
    }
}

namespace {

// A level without a lamp would count as won the moment it opens (an empty or zeroed file reads
// that way), so such a file is refused like any other broken level.
bool has_lamp(const level_data& level) {
    for (const auto& column : level.cells) {
        for (int32_t code : column) {
            if (code >= 0 && level_cell_kind(code) == kind_lamp) return true;
        }
    }
    return false;
}

// A level file is about a kilobyte; one far larger is damage and is not read into memory.
constexpr size_t level_file_max_bytes = size_t{1} << 20;

}  // namespace

bool load_level() {
    explosion_x = 0;
    explosion_y = 0;
    turning = 0;
    // A custom level was read and checked when it was chosen.
    if (custom_play_vars.custom_playing == 1) {
        load_custom_level();
        return true;
    }
    // The whole file is read and checked before the board is touched, so that a level outside
    // the data model is refused as a whole rather than half loaded.
    std::vector<uint8_t> bytes;
    level_data level;
    const bool readable =
        current_level >= 0 && current_level < level_total &&
        platform::read_file(level_file_name(current_level), bytes, level_file_max_bytes) &&
        parse_level(bytes, level) && has_lamp(level);
    if (!readable) {
        clear_level_from_board();
        level_text.clear();
        return false;
    }
    place_level(level);
    start_score = level_start_score[static_cast<size_t>(current_level)];
    solution_cost = level_solution_cost[static_cast<size_t>(current_level)];
    final_score = 0;
    solution_alpha = 0;
    return true;
}

// Copying and pasting solution codes on the play screen.
#include "play/solution_codes.h"

#include "app/app_state.h"
#include "app/bitmap_font.h"
#include "app/help_overlay.h"
#include "board/board_state.h"
#include "board/piece_kinds.h"
#include "platform/platform.h"
#include "play/play_screen.h"
#include "play/play_state.h"
#include "profiles/game_counts.h"
#include "profiles/message_window.h"
#include "profiles/profiles_state.h"

namespace {

constexpr int32_t key_c = 'c';
constexpr int32_t key_v = 'v';

void show_code_note(const std::string& text) {
    code_note = text;
    code_note_passes = code_note_passes_shown;
}

}  // namespace

bool solution_copy_allowed() {
    if (completion_start > 0) return true;
    if (message_shown == 1 && message_kind == message_level_complete) return true;
    return current_level >= 0 && current_level < level_total &&
           level_best_score[static_cast<size_t>(current_level)] >= 0;
}

std::vector<placed_piece> pieces_on_board() {
    std::vector<placed_piece> pieces;
    for (int32_t column = 0; column < board_columns; ++column) {
        for (int32_t row = 0; row < board_rows; ++row) {
            const point& cell = board[column][row];
            if (!is_movable(cell.kind)) continue;
            int32_t orientation = 0;
            if (is_turnable(cell.kind))
                orientation = cell.state == 9 ? turn_orientation : cell.state;
            pieces.push_back({column, row, cell.kind, orientation});
        }
    }
    return pieces;
}

bool copy_solution_code() {
    if (!solution_copy_allowed()) {
        show_code_note(text_solution_not_won);
        return false;
    }
    level_data level;
    if (!decode_level_code(level_code_on_board, level)) return false;
    if (!platform::set_clipboard_text(encode_solution_code(level, pieces_on_board()))) {
        show_code_note(text_solution_not_copied);
        return false;
    }
    show_code_note(text_solution_copied);
    return true;
}

bool paste_solution_code(const std::string& text) {
    level_data level;
    if (!decode_level_code(level_code_on_board, level)) return false;
    std::vector<placed_piece> pieces;
    std::string why;
    if (!decode_solution_code(text, level, pieces, &why)) {
        // The words without the closing full stop, as the hint line's other texts.
        if (!why.empty() && why.back() == '.') why.pop_back();
        show_code_note(why);
        return false;
    }
    for (auto& column : board)
        for (point& cell : column) cell.solution_kind = 0;
    for (const placed_piece& p : pieces) {
        point& cell = board[p.column][p.row];
        cell.solution_kind = p.kind;
        cell.solution_orientation = p.orientation;
    }
    show_code_note(text_solution_pasted);
    return true;
}

void solution_code_keys() {
    const bool ctrl = platform::key_down(platform::key_ctrl) != 0;
    const bool c = platform::key_hit(key_c) != 0;
    const bool v = platform::key_hit(key_v) != 0;
    if (code_note_passes > 0) --code_note_passes;
    if (fade_count == 32 || fading == 1 || help_shown == 1 || level_code_on_board.empty()) return;
    // Copying also works in the level-complete window, the moment a player most wants it.
    if (c) copy_solution_code();
    if (ctrl && v && play_input_open()) paste_solution_code(platform::clipboard_text());
}

bool draw_code_note(int32_t x, int32_t y) {
    if (code_note_passes <= 0) return false;
    set_faded_color(255, 255, 255);
    draw_bitmap_text(font16, x, y, code_note, 1000);
    return true;
}

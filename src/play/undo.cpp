// Undo and redo of the player's moves: positions taken around each move and put back.
#include "play/undo.h"

#include "platform/platform.h"
#include "play/play_state.h"

namespace {

constexpr int32_t key_backspace = 8;
constexpr int32_t key_y = 'y';
constexpr int32_t key_z = 'z';

bool movable(int32_t kind) { return kind >= kind_mirror && kind <= kind_blue_sphere; }

point& cell_at(size_t index) { return board[index / board_rows][index % board_rows]; }

// The same position as far as the player can tell: a sphere's glow countdown and sound flag
// change by themselves and do not make a move.
bool same_position(const board_position& a, const board_position& b) {
    if (a.laser_active != b.laser_active || a.stock != b.stock) return false;
    for (size_t i = 0; i < a.cells.size(); ++i) {
        const point& p = a.cells[i];
        const point& q = b.cells[i];
        if (p.kind != q.kind) return false;
        if (p.kind >= kind_mirror && p.kind <= kind_double_prism && p.state != q.state)
            return false;
    }
    return true;
}

// Only the cells a move can change are written back: lamps, lasers, walls and the solution
// fields keep what the trace and the lamps made of them this pass.
void restore_position(const board_position& position) {
    for (size_t i = 0; i < position.cells.size(); ++i) {
        point& cell = cell_at(i);
        const point& was = position.cells[i];
        if (!movable(cell.kind) && !movable(was.kind)) continue;
        cell.kind = was.kind;
        cell.state = was.state;
        cell.colour = was.colour;
    }
    for (int32_t i = 0; i < max_lasers; ++i) {
        laser_sources[size_t(i)].active = position.laser_active[size_t(i)];
    }
    piece_stock = position.stock;
}

}  // namespace

board_position current_position() {
    board_position position;
    for (size_t i = 0; i < position.cells.size(); ++i) position.cells[i] = cell_at(i);
    for (int32_t i = 0; i < max_lasers; ++i) {
        position.laser_active[size_t(i)] = laser_sources[size_t(i)].active;
    }
    position.stock = piece_stock;
    return position;
}

void clear_move_history() {
    undo_steps.clear();
    redo_steps.clear();
    undo_vars.move_open = 0;
}

void begin_move() {
    if (undo_vars.move_open == 1 || turning == 1) return;
    undo_vars.move_start = current_position();
    undo_vars.move_open = 1;
}

void end_move() {
    // A piece still held keeps the move open into the next passes, until it is let go.
    if (undo_vars.move_open == 0 || turning == 1) return;
    undo_vars.move_open = 0;
    if (same_position(undo_vars.move_start, current_position())) return;
    if (int32_t(undo_steps.size()) >= undo_limit) undo_steps.erase(undo_steps.begin());
    undo_steps.push_back(undo_vars.move_start);
    redo_steps.clear();
}

bool undo_move() {
    if (undo_steps.empty() || turning == 1) return false;
    redo_steps.push_back(current_position());
    restore_position(undo_steps.back());
    undo_steps.pop_back();
    return true;
}

bool redo_move() {
    if (redo_steps.empty() || turning == 1) return false;
    undo_steps.push_back(current_position());
    restore_position(redo_steps.back());
    redo_steps.pop_back();
    return true;
}

void undo_keys(bool act) {
    const bool ctrl = platform::key_down(platform::key_ctrl) != 0;
    const bool z = platform::key_hit(key_z) != 0;
    const bool y = platform::key_hit(key_y) != 0;
    const bool backspace = platform::key_hit(key_backspace) != 0;
    if (!act) return;
    if ((ctrl && z) || backspace) {
        undo_move();
    } else if (ctrl && y) {
        redo_move();
    }
}

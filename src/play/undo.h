// Undo and redo of the player's moves within one visit to a level.
//
// A move is whatever the player's input changes on the board in one go: a piece placed (and
// turned while the button is still down), a piece turned, a piece taken back, a laser
// switched. The clock, the score and the solution cost are not part of it: stepping back
// never gives back time or a look at the solution. Clearing the board (a new level, leaving,
// or a bomb's restart) empties both lists.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "board/board_state.h"

// What the player's moves change: the cells (kind, orientation and the sphere's flags in
// state and colour), the lasers' switches and the stock.
struct board_position {
    std::array<point, board_columns * board_rows> cells{};
    std::array<int32_t, max_lasers> laser_active{};
    std::array<int32_t, 14> stock{};
};

// Older moves are forgotten beyond this many.
constexpr int32_t undo_limit = 200;

struct undo_globals {
    std::vector<board_position> undo_steps;  // the position before each move, oldest first
    std::vector<board_position> redo_steps;  // the position after each undone move
    board_position move_start;               // the position when the open move began
    int32_t move_open = 0;                   // 1 from the start of a pass's input to its end
};
extern undo_globals undo_vars;
inline auto& undo_steps = undo_vars.undo_steps;
inline auto& redo_steps = undo_vars.redo_steps;

// Every field by the name the dump gives it: the lists by their length, the open move's start
// as its cells and switches.
template <class visit>
void visit_fields(undo_globals& g, visit&& v) {
    v("undo_steps", g.undo_steps);
    v("redo_steps", g.redo_steps);
    v("move_start", g.move_start);
    v("move_open", g.move_open);
}

board_position current_position();
void clear_move_history();
// Around the play screen's input handlers of a pass: a move that ends with no piece held and
// changed the position becomes one step of undo, and forgets what was undone.
void begin_move();
void end_move();
// False when there is nothing to step through or a piece is being turned.
bool undo_move();
bool redo_move();
// Ctrl+Z or Backspace undoes, Ctrl+Y redoes. Reads the keys in every pass (so that a press
// made while a window was up is not acted on later) and acts only when `act` is true.
void undo_keys(bool act);

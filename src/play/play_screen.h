// The play screen's operations: the per-pass steps of run_play_screen and the moves they make.
//
// The click handlers read the per-pass mouse and decide the move; the *_at helpers make it on
// a given cell, so that tests and tools can play without a pointer.
#pragma once

#include <cstdint>

// Input on the board and the panel buttons is taken only with no message window up, no fade
// running, no level-complete celebration and no help overlay.
bool play_input_open();

// A level opened with an empty palette slot selected (carried over from the last level)
// selects the first slot with stock, and for the sphere slot the first colour with stock.
void select_stocked_slot();

// The piece kind that the selected palette slot places: 6 to 9, or 10 + sphere_colour.
int32_t selected_piece_kind();

// The first pass after the fade into the screen: the level is loaded and either its note is
// raised or, for a level without a note, its clock starts. A level that cannot be loaded
// leaves the board empty and raises a notice that leads back to the galaxy map.
void start_level();

void draw_play_background();
void draw_side_panel();
// The stock part of the side panel: the five slots with their counts, the sphere colour
// buttons and the selection box (the level editor's test play shows it too).
void draw_stock_panel();
void select_slot();
void place_piece();
void turn_piece();
void remove_piece();
void toggle_laser();
// One pass of the player's hands on the board, as one step of undo: placing, turning, taking
// back and switching lasers (the play screen and the editor's test play both use it).
void board_moves();

// Puts a piece of `kind` from the stock on an empty cell (a cell that only records a solution
// piece counts as empty). Mirrors and prisms start turning there. False when nothing happens.
bool place_piece_at(int32_t column, int32_t row, int32_t kind);
// Takes hold of a placed mirror, double mirror, prism or double prism to turn it.
bool grab_piece_at(int32_t column, int32_t row);
// While a piece is held: aims it at the pointer position (x, y) in display pixels.
void aim_turning_piece(int32_t x, int32_t y);
// Lets the held piece go at turn_orientation.
void release_turning_piece();
// A placed movable piece goes back to the stock. False for anything else.
bool remove_piece_at(int32_t column, int32_t row);
// Switches every laser source on that cell. False when the cell holds no laser.
bool toggle_laser_at(int32_t column, int32_t row);
// The main-menu button: fade to the menu, store the level's time and cost, save.
void leave_level();

// Solutions shared as codes on the play screen: copying the player's pieces once the level is
// won, and pasting a code as the solution the Space key shows.
//
// A pasted solution takes the place of the level's own in the solution view and nothing more:
// it is seen only by holding Space, after the same first minute and at the same cost a frame
// as the level's own solution. Looking at a friend's solution is looking at a solution.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "play/level_code.h"

// Passes for which the hint line shows what a copy or paste did (3 seconds).
constexpr int32_t code_note_passes_shown = 150;

inline constexpr const char* text_solution_copied = "Your solution is copied as a code";
inline constexpr const char* text_solution_not_won = "Win this level to copy your solution";
inline constexpr const char* text_solution_not_copied = "The solution could not be copied";
inline constexpr const char* text_solution_pasted = "Solution pasted: hold Space to see it";

// The level is won now (its celebration or its level-complete window) or was won before by
// this player.
bool solution_copy_allowed();
// The movable pieces on the board; a piece being turned counts at turn_orientation.
std::vector<placed_piece> pieces_on_board();
// Puts the pieces on the board on the clipboard as a solution code and says so on the hint line.
// False, with the reason on the hint line, when the level is not won or the clipboard refuses.
bool copy_solution_code();
// Reads `text` as a solution code for the level on the board. A good one becomes the solution
// that Space shows; anything else leaves it as it was. Either way the hint line says what
// happened.
bool paste_solution_code(const std::string& text);
// Every pass of the play screen: C (or Ctrl+C) copies, Ctrl+V pastes from the clipboard. Keys
// pressed before the level opened are dropped with the level's first pass.
void solution_code_keys();
// While a copy's or a paste's words are up, draws them on the hint line and returns true.
bool draw_code_note(int32_t x, int32_t y);

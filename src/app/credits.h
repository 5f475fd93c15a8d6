// The how-to-play tips: which square of the picture the cursor is on, and its tip.
#pragma once

#include <cstdint>
#include <string_view>

// Squares of 200 by 200 pixels numbered 1 to 12 row by row from the top left; 0 off the
// display.
int32_t tip_square(int32_t x, int32_t y);
// The tip of squares 1 to 8; empty for the bottom row and for 0.
std::string_view tip_text(int32_t square);

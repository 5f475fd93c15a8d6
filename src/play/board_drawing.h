// Drawing the board each frame of the play screen: cell outlines, pieces, beams, sphere glows
// and the solution overlay.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// The outlines, the pieces, a fresh beam trace over them, the pieces again on top of the beam
// ends; then both animation counters step back by one, so that each frame advances them by
// exactly one (+1, +1, -1).
void draw_board_and_beams();
// Every cell's own one-pixel square outline; between two cells the outlines stand side by
// side as a double line.
void draw_grid();
// Every piece at its orientation (the held piece at turn_orientation), each laser's lens in its
// beam's colour (lit while switched on), the glows of colour spheres a beam passed (with their
// sound once per passing), the colour-blind aid's marks when it is on, and the solution overlay
// while solution_alpha is above 0. Advances both animation counters by one.
void draw_pieces();
// The beam trace with everything it shows drawn: first, under every beam, its glow and the
// colour-blind aid's pattern (as the settings ask); then every segment's exact line as it is
// taken, the wall sparks and the blends of beams that meet. Returns the number of steps taken
// (at least 1).
int32_t trace_beams();

// The picture of a piece kind (1 to 13; null for others); piece_frame picks its frame.
const platform::image* piece_image(int32_t kind);

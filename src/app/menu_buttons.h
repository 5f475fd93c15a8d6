// The hover test, the buttons of two pictures and the glow of the tinted buttons (main menu,
// main-menu buttons, exit).
#pragma once

#include <algorithm>
#include <cstdint>

#include "app/app_state.h"

// The cursor is over a rectangle only strictly inside it: a cursor on any edge is outside.
inline bool cursor_strictly_inside(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return cursor_x > left && cursor_x < right && cursor_y > top && cursor_y < bottom;
}

// A button of two pictures at (x, y): the active one while `hovered`, the plain one otherwise.
// True when it is clicked: hovered, with a left click in this pass.
inline bool picture_button_hovered(bool hovered, platform::image* plain, platform::image* active,
                                   int32_t x, int32_t y) {
    platform::draw_image(hovered ? active : plain, static_cast<float>(x), static_cast<float>(y), 0);
    return hovered && left_click == 1;
}
// The same, hovered strictly inside the rectangle from (x, y) to (right, bottom).
inline bool picture_button(platform::image* plain, platform::image* active, int32_t x, int32_t y,
                           int32_t right, int32_t bottom) {
    return picture_button_hovered(cursor_strictly_inside(x, y, right, bottom), plain, active, x, y);
}

// A tinted button is drawn (t, t, 255): it sinks towards blue by 10 a pass while hovered and
// climbs back to white by 25 a pass otherwise.
inline void step_button_tint(int32_t& tint, bool hovered) {
    tint = hovered ? std::max(0, tint - 10) : std::min(255, tint + 25);
}

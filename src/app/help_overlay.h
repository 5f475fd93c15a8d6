// The help overlay: F1 on any screen lays a short list of the keys and mouse actions over it.
//
// While it is up the screen beneath keeps drawing but gets no clicks and no keys; F1 again,
// Escape or a click closes it.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

struct help_globals {
    int32_t help_shown = 0;
    int32_t closing_click = 0;  // 1 from a click that closed the overlay until it is let go
};
extern help_globals help_vars;
inline int32_t& help_shown = help_vars.help_shown;

// Every field by the name the dump gives it.
template <class visit>
void visit_fields(help_globals& g, visit&& v) {
    v("help_shown", g.help_shown);
    v("closing_click", g.closing_click);
}

struct help_line {
    std::string_view keys;
    std::string_view action;
};
// The lines the overlay shows over the screen now: the editor has keys of its own.
std::span<const help_line> current_help_lines();

// After the mouse is polled: opens or closes the overlay and, while it is up, takes the
// pass's clicks and held buttons away from the screen.
void step_help_overlay();
// Last of a pass's drawing, over the screen and any message window.
void draw_help_overlay();

// A dark see-through box with a thin blue rim (corners included), under the help's and the
// options' texts. Leaves the blend at alpha (3) and the alpha at 1.
void draw_glass_box(int32_t left, int32_t top, int32_t right, int32_t bottom);

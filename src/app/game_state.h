// The whole game state at once: reset it to the start-up values, or write it out as text.
#pragma once

#include <string>

// Every global of every subsystem back to its initial value (assets and fonts included: they
// become null and zero; a test loads what it needs afterwards).
void reset_all_state();

// One line per global, "name value"; arrays "name v1 v2 ..."; strings as they are; the board
// as one line per row, each cell "kind:state:colour:solution_kind:solution_orientation".
std::string dump_state();

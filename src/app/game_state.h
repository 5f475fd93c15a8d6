// The whole game state at once: reset it to the start-up values, or write it out as text.
#pragma once

#include <string>

#include "app/app_state.h"
#include "app/help_overlay.h"
#include "app/settings.h"
#include "board/board_state.h"
#include "editor/editor_state.h"
#include "play/custom_play.h"
#include "play/play_state.h"
#include "play/undo.h"
#include "profiles/profiles_state.h"

// Every global of every subsystem back to its initial value (assets and fonts included: they
// become null and zero; a test loads what it needs afterwards).
void reset_all_state();

// One line per global, "name value"; arrays "name v1 v2 ..."; strings as they are; the beams as
// "x:y:colour:dir:entry_dir:active:solid" each; the board as one line per row, each cell
// "kind:state:colour:solution_kind:solution_orientation".
std::string dump_state();

// Every struct of game state, in the order of the dump. Each has its visit_fields list, which
// the dump walks; the reset sets each struct whole. The assets and fonts are not among them:
// they are the loaded content, not state a pass changes, and only the reset touches them.
template <class visit>
void visit_state(visit&& v) {
    v(app_vars);
    v(main_menu_vars);
    v(board_vars);
    v(play_vars);
    v(progress_vars);
    v(profiles_screen_vars);
    v(galaxy_map_vars);
    v(message_vars);
    v(help_vars);
    v(settings_vars);
    v(undo_vars);
    v(editor_vars);
    v(custom_play_vars);
}

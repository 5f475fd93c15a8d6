// The player's settings of the game as a whole (not of one player): loudness, beam glow, the
// colour-blind aid and the window, kept in "users\settings.txt" of the players' data folder.
#pragma once

#include "app/settings_format.h"

struct settings_globals {
    game_settings settings;
    game_settings saved_settings;  // as the file holds them: last read or written
    int32_t options_row = 0;       // the options screen's row chosen by keyboard or pointer
};
extern settings_globals settings_vars;
inline game_settings& settings = settings_vars.settings;
inline game_settings& saved_settings = settings_vars.saved_settings;
inline int32_t& options_row = settings_vars.options_row;

// Every field by the name the dump gives it. The settings in force appear under their own names
// (as in the file), the ones last read or written with "saved_" before them.
template <class visit>
void visit_fields(settings_globals& g, visit&& v) {
    v("settings", g.settings);
    v("saved_settings", g.saved_settings);
    v("options_row", g.options_row);
}

// Reads the settings file; a missing or damaged one gives the defaults, silently.
void load_settings();
// Writes it whole, atomically, with the window's place and full-screen state as they are now.
// False when it could not be written; the game carries on with the settings it has.
bool save_settings();
// The same, only when something differs from the file (on quitting: the window moved).
bool save_settings_if_changed();
// Hands the loudness and the full-screen choice to the platform.
void apply_settings();

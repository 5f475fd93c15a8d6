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

// Reads the settings file; a missing or damaged one gives the defaults, silently.
void load_settings();
// Writes it whole, atomically, with the window's place and full-screen state as they are now.
// False when it could not be written; the game carries on with the settings it has.
bool save_settings();
// The same, only when something differs from the file (on quitting: the window moved).
bool save_settings_if_changed();
// Hands the loudness and the full-screen choice to the platform.
void apply_settings();

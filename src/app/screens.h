// The screen handlers that the main loop calls, one per screen state, once per pass.
#pragma once

void profiles_screen();       // state 0
void main_menu_screen();      // state 1
void galaxy_map_screen();     // state 2
void run_play_screen();       // state 3
void ending_screen();         // state 4, after the last pack is completed
void credits_screen();        // state 5
void how_to_play_screen();    // state 6
void options_screen();        // state 7
void editor_screen();         // state 8, the level editor
void custom_levels_screen();  // state 9, the list of custom levels
void message_window();        // on top of any screen while message_shown is 1

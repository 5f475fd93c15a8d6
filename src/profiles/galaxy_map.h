// The galaxy map's operations besides its screen handler.
#pragma once

// After a win, before the progress is saved: opens the next pack when the level's pack is
// complete, and sets new_pack for the map's introduction and the level-complete window.
void open_next_pack();
void draw_level_panel();

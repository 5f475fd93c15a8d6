// The galaxy map's operations besides its screen handler.
#pragma once

#include <cstdint>

// After a win, before the progress is saved: opens the next pack when the level's pack is
// complete, and sets new_pack for the map's introduction and the level-complete window.
void open_next_pack();
void draw_level_panel();
// The "Editor" button in the map's bottom-left corner: to the custom levels and the editor.
constexpr int32_t editor_button_left = 20;
constexpr int32_t editor_button_top = 562;
void draw_editor_button();

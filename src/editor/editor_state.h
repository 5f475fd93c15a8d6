// The level editor's state: the level being made, the palette, the two modes, typed text, the
// critic at work, and the list of custom levels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/board_state.h"
#include "play/level_format.h"

// Modes of the editor: building the fixed board and its solution, or playing it as a player.
constexpr int32_t editor_build = 0;
constexpr int32_t editor_test = 1;

// What typed characters go into.
constexpr int32_t entry_none = 0;
constexpr int32_t entry_file_name = 1;
constexpr int32_t entry_note = 2;

struct editor_globals {
    level_data edit_level;  // the level as built: fixed pieces and the stored solution
    int32_t editor_mode = editor_build;
    int32_t palette_kind = kind_wall;
    int32_t palette_colour = 0;  // a laser's beam colour (0 to 3) or a lamp's colour (0 to 6)
    int32_t palette_dir = dir_right;
    std::string level_name;  // the file name the level was opened from or saved as
    int32_t text_entry = entry_none;
    std::string typed_text;
    std::string replace_name;  // asked once about replacing this file: the next save does it
    std::string status_text;   // the line under the buttons
    // Undo and redo of the build, the whole level at a time.
    std::vector<level_data> build_undo;
    std::vector<level_data> build_redo;
    level_data build_move_start;
    int32_t build_move_open = 0;
    int32_t test_won = 0;  // the test play lit every lamp
    // The critic: a helper process, its output so far, its verdict and the level it judged.
    int32_t critic_child = 0;
    std::string critic_output;
    std::string verdict_text;    // empty: no verdict yet
    std::string verdict_code;    // the level code the verdict is of
    std::string critic_program;  // the program that judges; empty: the game's own executable
    // The list of custom levels.
    std::vector<std::string> custom_names;
    int32_t custom_selected = -1;
    int32_t custom_first_shown = 0;     // the list's first row on screen
    int32_t custom_selected_best = -1;  // its best score, -1 when not won
    // Where leaving the editor goes: the custom levels, or (started by --edit) the profiles.
    int32_t started_from_command_line = 0;
    std::string command_line_file;  // the FILE of --edit FILE
    int32_t verdict_shown = 0;      // the verdict's window is up over the editor
};
extern editor_globals editor_vars;

// Every field by the name the dump gives it; the dump walks this list, and a test checks that
// it names every field of the struct.
template <class visit>
void visit_fields(editor_globals& g, visit&& v) {
    v("edit_level", g.edit_level);
    v("editor_mode", g.editor_mode);
    v("palette_kind", g.palette_kind);
    v("palette_colour", g.palette_colour);
    v("palette_dir", g.palette_dir);
    v("level_name", g.level_name);
    v("text_entry", g.text_entry);
    v("typed_text", g.typed_text);
    v("replace_name", g.replace_name);
    v("status_text", g.status_text);
    v("build_undo", g.build_undo);
    v("build_redo", g.build_redo);
    v("build_move_start", g.build_move_start);
    v("build_move_open", g.build_move_open);
    v("test_won", g.test_won);
    v("critic_child", g.critic_child);
    v("critic_output", g.critic_output);
    v("verdict_text", g.verdict_text);
    v("verdict_code", g.verdict_code);
    v("critic_program", g.critic_program);
    v("custom_names", g.custom_names);
    v("custom_selected", g.custom_selected);
    v("custom_first_shown", g.custom_first_shown);
    v("custom_selected_best", g.custom_selected_best);
    v("started_from_command_line", g.started_from_command_line);
    v("command_line_file", g.command_line_file);
    v("verdict_shown", g.verdict_shown);
}

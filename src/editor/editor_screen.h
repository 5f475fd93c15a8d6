// The level editor's operations and its two screens: the editor itself and the list of custom
// levels that leads to it and to playing them.
//
// The click handlers read the per-pass mouse and decide; the helpers below make the change on
// a given cell or name, so that tests can build a level without a pointer.
#pragma once

#include <cstdint>
#include <string>

#include "play/level_format.h"

// Custom levels live in the players' data folder, one file NAME.level each (the game's level
// file format) with the critic's verdict beside it in NAME.verdict.txt.
inline constexpr const char* custom_folder = "custom";
inline constexpr const char* custom_level_extension = ".level";
inline constexpr const char* custom_verdict_extension = ".verdict.txt";
constexpr size_t custom_name_max_length = 30;

// The critic's time limit, in real milliseconds.
constexpr int32_t critic_time_limit_ms = 120000;

// A name a player may give a custom level: refused as a player's name would be (empty, a path
// separator, "." or "..", control characters), and at most 30 characters.
bool is_custom_level_name(const std::string& name);
std::string custom_level_path(const std::string& name);
std::string custom_verdict_path(const std::string& name);

// Opens the editor on a level (in build mode, nothing to undo).
void open_editor(const level_data& level, const std::string& name);
// The level as the build board holds it (fixed pieces and the stored solution) with the note.
level_data built_level();

// Build mode: puts the palette's piece (or `kind` with the palette's colour and direction) on
// an empty cell; a mirror or prism starts turning there as in play. False when nothing changes.
bool build_place_at(int32_t column, int32_t row, int32_t kind);
// Build mode: a laser or translator turns a step clockwise. False for anything else.
bool build_turn_fixed_at(int32_t column, int32_t row);
// Build mode: whatever stands on the cell goes. False for an empty cell.
bool build_remove_at(int32_t column, int32_t row);
bool build_undo_move();
bool build_redo_move();

// Test mode plays the level from an empty board with its stock; build mode shows the level as
// built again.
void enter_test_mode();
void enter_build_mode();

// Saves the level as `name`. A file of that name is replaced only when the player was asked
// once (a first try says so and returns false). False, with the reason in status_text,
// otherwise too.
bool save_custom_level(const std::string& name);
// Reads a custom level by name into the editor; false (status_text says why) when it cannot.
bool open_custom_level(const std::string& name);
// Reads a custom level file; false for a missing, damaged or lampless one.
bool read_custom_level(const std::string& name, level_data& level);

// The critic: starts the helper on the level as built, then follows it every pass.
void start_critic();
void step_critic();
void stop_critic();

// The level as a code on the clipboard; a code from the clipboard opened in the editor.
bool copy_level_code();
bool paste_level_code();

// Plays a custom level on the play screen, its start score from its verdict; false (with a
// notice) when it cannot be read.
bool play_custom_level(const std::string& name);
// The custom levels in the data folder, by name.
void refresh_custom_names();
void editor_screen();
void custom_levels_screen();
// `beamworks --edit [FILE]`: the editor opens on FILE (or an empty board) at start-up.
void open_editor_from_command_line(const std::string& file);

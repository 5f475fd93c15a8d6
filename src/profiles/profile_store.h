// The players' files: the profile list, each player's progress, and the shipped level table.
#pragma once

#include <cstdint>
#include <string>

// Reads "users\profiles.dat" into profile_names and profile_count (missing: empty list).
void load_profile_list();
// Writes the list whole; false when it could not be written (the old file is then kept).
bool save_profile_list();
// Adds a player with a fresh folder and files, or refuses: the 11th raises the notice; an
// empty, duplicate or unsafe name is refused silently.
void create_profile(const std::string& name);
// Removes the player at index with its folder (never anything outside it).
void delete_profile(int32_t index);
// Reads the level table and the progress of current_profile; recomputes total_score.
void load_progress();
// Writes the three progress files of current_profile; recomputes total_score. False when any
// file could not be written (the old files are then kept).
bool save_progress();
// total_score = the sum of the best scores above 0.
void compute_total_score();

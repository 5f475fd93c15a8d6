// The players' files: the profile list, each player's progress, and the shipped level table.
#pragma once

#include <cstdint>
#include <string>

// Reads "users\profiles.dat" into profile_names and profile_count. A list missing, too large
// or cut short hides no one: the players whose folders hold progress files but who are not
// listed are listed after the names it kept (up to 10).
void load_profile_list();
// Writes the list whole; false when it could not be written (the old file is then kept).
bool save_profile_list();
// Adds a player with a new player's files, or refuses: the 11th raises the notice; an empty,
// duplicate or unsafe name is refused silently; a refusal of the disk raises the notice "The
// player could not be created". A folder of that name that already holds progress files keeps
// them: it is the same player, come back after the list lost the name.
void create_profile(const std::string& name);
// Removes the player at index with its folder (never anything outside it). When the list cannot
// be rewritten the player stays and the notice "The player could not be deleted" is raised.
void delete_profile(int32_t index);
// Reads the level table and the progress of current_profile; recomputes total_score.
void load_progress();
// Writes the three progress files of current_profile; recomputes total_score. False when any
// file could not be written (the old files are then kept).
bool save_progress();
// total_score = the sum of the best scores above 0.
void compute_total_score();

// The rules of the level packs in plain arithmetic: which pack opens, where "next level" leads,
// how the galaxy map words a level's time and hardness. No globals, no platform.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "profiles/profiles_state.h"

using level_scores = std::array<int32_t, level_total>;
using pack_flags = std::array<int32_t, pack_total>;

// What completing a level does to the packs: the new value of new_pack (unchanged when
// changes_new_pack is false), and the pack to mark open (-1 for none).
struct pack_opening {
    bool changes_new_pack = false;
    int32_t new_pack = -1;
    int32_t pack_to_open = -1;
};

// A pack is complete when none of its six levels still has the best score -1.
bool pack_complete(const level_scores& best_scores, int32_t pack);

// The opening step after a win on `level`. A complete pack below 19 opens its successor and
// announces it only if it was closed (replaying an old pack clears new_pack instead); the
// complete last pack sets new_pack to 19, which is also the value that announces pack 19.
pack_opening next_pack_opening(int32_t level, const level_scores& best_scores,
                               const pack_flags& access);

// The level that the level-complete window's "next level" button starts: the following one,
// or six back when that one lies beyond the last pack or in a pack still closed
// (119 leads to 114).
int32_t next_level_target(int32_t level, const pack_flags& access);

// The pack of the first level never completed, scanning 0 to 119; -1 when all are done.
int32_t first_unfinished_pack(const level_scores& best_scores);

// The level panel's time line: "Time: " + "H hr " + "M min " + "S sec", hours and minutes
// only from an hour and a minute on.
std::string level_time_text(int32_t seconds);

// "hard" for 2, "normal" for 1, anything else "easy".
std::string hardness_text(int32_t hardness);

// A panel that would run off the right or bottom of the map moves left by 250 or up by 300.
int32_t shifted_panel_x(int32_t x);
int32_t shifted_panel_y(int32_t y);

// The marker position table holds x * 1000 + y.
constexpr int32_t pack_position_x(int32_t packed) { return packed / 1000; }
constexpr int32_t pack_position_y(int32_t packed) { return packed % 1000; }

// A custom level (made in the editor) on the play screen: which one, and the clock and cost
// that the 120 levels keep in the player's progress, kept here instead, so that playing one
// never touches the progress files.
#pragma once

#include <cstdint>
#include <string>

#include "play/level_format.h"

struct custom_play_globals {
    int32_t custom_playing = 0;  // 1 while the play screen plays custom_level
    std::string custom_name;
    level_data custom_level;
    int32_t custom_seconds = 0;  // the level clock, as level_time holds it for the 120
    int32_t custom_cost = 0;     // the solution cost, as level_solution_cost
    int32_t custom_start = 0;    // the start score, from the critic's verdict
    int32_t custom_best = -1;    // the player's best score on it, -1 when never won
};
extern custom_play_globals custom_play_vars;

// Every field by the name the dump gives it; the dump walks this list, and a test checks that
// it names every field of the struct.
template <class visit>
void visit_fields(custom_play_globals& g, visit&& v) {
    v("custom_playing", g.custom_playing);
    v("custom_name", g.custom_name);
    v("custom_level", g.custom_level);
    v("custom_seconds", g.custom_seconds);
    v("custom_cost", g.custom_cost);
    v("custom_start", g.custom_start);
    v("custom_best", g.custom_best);
}

// The start score a custom level gets without a verdict that names one.
constexpr int32_t custom_default_start_score = 1000;

// The start score named in a verdict ("start score N"), or the default.
int32_t start_score_from_verdict(const std::string& verdict);

// The level clock's stored seconds and the solution cost of the level on the board: the
// player's progress for the 120 levels, the custom level's own otherwise.
int32_t& stored_level_seconds();
int32_t& stored_solution_cost();

// Sets up the play screen for a custom level; the fade into the play screen loads it.
void begin_custom_play(const std::string& name, const level_data& level, int32_t start);
// The custom level onto the board, as load_level does for the 120.
void load_custom_level();
// A win on a custom level: its best score, kept apart from the progress files in the player's
// custom scores. False when it could not be saved.
bool record_custom_win(int32_t score);

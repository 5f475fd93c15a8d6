// A custom level on the play screen: its own clock, cost and best score.
#include "play/custom_play.h"

#include "app/app_state.h"
#include "board/board_state.h"
#include "play/level_file.h"
#include "play/play_state.h"
#include "profiles/custom_scores.h"
#include "profiles/profiles_state.h"

custom_play_globals custom_play_vars;

int32_t start_score_from_verdict(const std::string& verdict) {
    const std::string mark = "start score ";
    const size_t at = verdict.find(mark);
    if (at == std::string::npos) return custom_default_start_score;
    int32_t score = 0;
    size_t i = at + mark.size();
    bool digits = false;
    while (i < verdict.size() && verdict[i] >= '0' && verdict[i] <= '9' && score < 1000000) {
        score = score * 10 + (verdict[i] - '0');
        digits = true;
        ++i;
    }
    return digits && score > 0 ? score : custom_default_start_score;
}

int32_t& stored_level_seconds() {
    if (custom_play_vars.custom_playing == 1) return custom_play_vars.custom_seconds;
    return level_time[current_level];
}

int32_t& stored_solution_cost() {
    if (custom_play_vars.custom_playing == 1) return custom_play_vars.custom_cost;
    return level_solution_cost[current_level];
}

void begin_custom_play(const std::string& name, const level_data& level, int32_t start) {
    custom_play_vars = {};
    custom_play_vars.custom_playing = 1;
    custom_play_vars.custom_name = name;
    custom_play_vars.custom_level = level;
    custom_play_vars.custom_start = start;
    custom_play_vars.custom_best = custom_best_score(level);
    start_fade(screen_play);
}

void load_custom_level() {
    place_level(custom_play_vars.custom_level);
    start_score = custom_play_vars.custom_start;
    solution_cost = custom_play_vars.custom_cost;
    final_score = 0;
    solution_alpha = 0;
}

bool record_custom_win(int32_t score) {
    if (!record_custom_score(custom_play_vars.custom_level, score)) return false;
    if (score > custom_play_vars.custom_best) custom_play_vars.custom_best = score;
    return true;
}

// The rules of the level packs in plain arithmetic.
#include "profiles/pack_rules.h"

bool pack_complete(const level_scores& best_scores, int32_t pack) {
    for (int32_t level = pack * levels_per_pack; level < (pack + 1) * levels_per_pack; ++level) {
        if (best_scores[level] == -1) return false;
    }
    return true;
}

pack_opening next_pack_opening(int32_t level, const level_scores& best_scores,
                               const pack_flags& access) {
    pack_opening result;
    const int32_t pack = level / levels_per_pack;
    if (pack < 0 || pack >= pack_total || !pack_complete(best_scores, pack)) return result;
    result.changes_new_pack = true;
    if (pack == pack_total - 1) {
        result.new_pack = pack;
        return result;
    }
    result.new_pack = access[pack + 1] == 0 ? pack + 1 : -1;
    result.pack_to_open = pack + 1;
    return result;
}

int32_t next_level_target(int32_t level, const pack_flags& access) {
    int32_t next = level + 1;
    const int32_t pack = next / levels_per_pack;
    if (pack >= pack_total || access[pack] == 0) next -= levels_per_pack;
    return next;
}

int32_t first_unfinished_pack(const level_scores& best_scores) {
    for (int32_t level = 0; level < level_total; ++level) {
        if (best_scores[level] < 0) return level / levels_per_pack;
    }
    return -1;
}

std::string level_time_text(int32_t seconds) {
    std::string text = "Time: ";
    if (seconds >= 3600) text += std::to_string(seconds / 3600) + " hr ";
    if (seconds >= 60) text += std::to_string(seconds % 3600 / 60) + " min ";
    if (seconds >= 0) text += std::to_string(seconds % 60) + " sec";
    return text;
}

std::string hardness_text(int32_t hardness) {
    if (hardness == 2) return "hard";
    if (hardness == 1) return "normal";
    return "easy";
}

int32_t shifted_panel_x(int32_t x) { return x > 550 ? x - 250 : x; }
int32_t shifted_panel_y(int32_t y) { return y > 300 ? y - 300 : y; }

// The arithmetic of a level's score, its lamps and the turning of a piece.
#include "play/score_rules.h"

#include <cmath>

#include "board/piece_kinds.h"

int32_t unplaced_bonus(const std::array<int32_t, 14>& stock) {
    int64_t bonus = 0;
    for (int32_t kind = 0; kind < piece_kind_count; ++kind)
        bonus += int64_t{kind_rules(kind).bonus} * stock[static_cast<size_t>(kind)];
    return saturate_to_int32(bonus);
}

std::string solution_timer_text(int32_t seconds_left) {
    if (seconds_left > 0) return "( " + std::to_string(seconds_left) + " )";
    return "available";
}

int32_t turn_orientation_towards(int32_t cx, int32_t cy, int32_t x, int32_t y, int32_t kind,
                                 int32_t previous) {
    const int32_t dx = x - cx;
    const int32_t dy = cy - y;  // screen rows grow downward; up is positive here
    if (dx * dx + dy * dy <= 300) return previous;
    // theta 0 = pointer to the right, 90 = above; shifted so that each sector starts at 0.
    const double theta = std::atan2(static_cast<double>(dy), static_cast<double>(dx)) * 180.0 /
                         3.14159265358979323846;
    const double a = std::fmod(theta + 292.5, 360.0);
    const int32_t sector = static_cast<int32_t>(std::floor(a / 45.0));
    int32_t orientation = 8 - sector;
    if (orientation == 8) orientation = 0;
    orientation %= kind_rules(kind).orientations == 4 ? 4 : 8;
    return orientation;
}

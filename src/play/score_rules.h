// The arithmetic of a level's score, its lamps and the turning of a piece. No globals, no
// platform: tests, tools and the play screen share these.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The clock and score arithmetic is done in 64 bits and its results held within the range of
// the game's int: a damaged progress file or level table (a time of weeks, a cost or start
// score of the int's extremes) gives a large number, never a wrapped one of the other sign.
constexpr int32_t saturate_to_int32(int64_t value) {
    return value > INT32_MAX ? INT32_MAX : value < INT32_MIN ? INT32_MIN : int32_t(value);
}

// Seconds on the level clock; integer division truncates toward zero.
constexpr int32_t elapsed_seconds(int32_t now_ms, int32_t clock_start_ms) {
    return saturate_to_int32((int64_t{now_ms} - clock_start_ms) / 1000);
}

// The clock_start that makes the level clock read `seconds` now, less the solution cost
// counted as milliseconds (the game has always charged it there).
constexpr int32_t clock_start_for(int32_t now_ms, int32_t seconds, int32_t cost) {
    return saturate_to_int32(int64_t{now_ms} - int64_t{1000} * seconds - cost);
}

// What the level is worth now: the start score less a point a second and the solution cost.
// May be negative; the panel never shows it so.
constexpr int32_t clock_score(int32_t start, int32_t seconds, int32_t cost) {
    return saturate_to_int32(int64_t{start} - seconds - cost);
}

// The bonus for pieces left in the stock (indexed by kind): 50 a mirror, 100 a double mirror,
// 150 a prism, 200 a double prism and 200 each colour sphere.
int32_t unplaced_bonus(const std::array<int32_t, 14>& stock);

// The score fixed at a win: the clock score clamped at 0, then the bonus on top.
constexpr int32_t winning_score(int32_t clock, int32_t bonus) {
    return saturate_to_int32(int64_t{clock < 0 ? 0 : clock} + bonus);
}

// Seconds left before the solution may be looked at, after `seconds` on the level clock.
constexpr int32_t solution_seconds_left(int32_t seconds) {
    return saturate_to_int32(int64_t{60} - seconds);
}

// The solution timer: "( n )" while seconds remain before the first minute is over, then
// "available".
std::string solution_timer_text(int32_t seconds_left);

// The orientation a piece takes when the pointer is at (x, y) and the piece's centre at
// (cx, cy): the 45-degree sector of the pointer, 0 up, clockwise; a piece of four orientations
// (the prism) takes it mod 4. Returns `previous` when the pointer is within the dead zone (squared
// distance 300).
int32_t turn_orientation_towards(int32_t cx, int32_t cy, int32_t x, int32_t y, int32_t kind,
                                 int32_t previous);

// The settings file's format: one "name value" line per setting, in text.
#pragma once

#include <cstdint>
#include <vector>

struct game_settings {
    int32_t music_volume = 100;    // percent, 0 to 100
    int32_t sound_volume = 100;    // percent, 0 to 100
    int32_t beam_glow = 1;         // 1: a soft glow along every beam
    int32_t colour_blind_aid = 0;  // 1: colours named by marks and beam patterns
    int32_t full_screen = 0;
    // Where the window was last: placed 0 lets the desktop choose; full_screen aside.
    int32_t window_placed = 0;
    int32_t window_x = 0;
    int32_t window_y = 0;
    int32_t window_width = 800;
    int32_t window_height = 600;

    bool operator==(const game_settings&) const = default;
};

// The smallest window the game keeps: below it the board's cells are too small to aim at.
constexpr int32_t window_min_width = 400;
constexpr int32_t window_min_height = 300;

std::vector<uint8_t> encode_settings(const game_settings& settings);
// A missing or damaged file (a line that is not a name and a whole number, a known setting
// out of its range, or a file too large to be this one) gives the defaults, all of them:
// half-trusted settings would be stranger than plain ones. Unknown names are passed over.
game_settings decode_settings(const std::vector<uint8_t>& bytes);

// How many levels, packs and players the game holds: the sizes of the galaxy map, of the
// players' files and of the profile list. Constants only.
#pragma once

#include <cstdint>

constexpr int32_t level_total = 120;
constexpr int32_t pack_total = 20;
constexpr int32_t levels_per_pack = 6;
constexpr int32_t max_profiles = 10;

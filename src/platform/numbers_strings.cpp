// Random numbers, angles in degrees, and the game's one-byte-per-character strings.
#include <cmath>
#include <numbers>

#include "platform/platform_internal.h"

namespace platform {

int32_t rand(int32_t lo, int32_t hi) {
    if (lo > hi) std::swap(lo, hi);
    std::uniform_int_distribution<int64_t> pick(lo, hi);
    return static_cast<int32_t>(pick(state.rng));
}

void seed_rand(uint32_t seed) { state.rng.seed(seed); }

constexpr double degrees_per_radian = 57.29577951308232;

double atan2_degrees(double y, double x) { return std::atan2(y, x) * degrees_per_radian; }
double sin_degrees(double degrees) { return std::sin(degrees / degrees_per_radian); }
double cos_degrees(double degrees) { return std::cos(degrees / degrees_per_radian); }

std::string int_to_text(int32_t value) { return std::to_string(value); }

// Out-of-range positions and counts give what lies inside the string, never an error.
std::string mid(std::string_view s, int32_t start, int32_t count) {
    if (count <= 0) return {};
    int64_t first = static_cast<int64_t>(start) - 1;
    int64_t last = first + count;
    first = std::max<int64_t>(first, 0);
    last = std::min<int64_t>(last, static_cast<int64_t>(s.size()));
    if (first >= last) return {};
    return std::string(s.substr(static_cast<size_t>(first), static_cast<size_t>(last - first)));
}

std::string left(std::string_view s, int32_t n) {
    if (n <= 0) return {};
    return std::string(s.substr(0, std::min(s.size(), static_cast<size_t>(n))));
}

std::string chr(int32_t code) { return std::string(1, static_cast<char>(code & 0xFF)); }

int32_t asc(std::string_view s) {
    return s.empty() ? -1 : static_cast<int32_t>(static_cast<unsigned char>(s[0]));
}

}  // namespace platform

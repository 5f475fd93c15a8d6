// A pixel of the headless screen as a colour that tests compare and print.
#pragma once

#include <cstdint>
#include <ostream>

#include "platform/headless.h"

struct colour {
    int32_t r, g, b;
    bool operator==(const colour&) const = default;
};
inline std::ostream& operator<<(std::ostream& out, const colour& c) {
    return out << '(' << c.r << ", " << c.g << ", " << c.b << ')';
}

inline colour pixel(int32_t x, int32_t y) {
    const uint32_t p = platform::headless::pixel(x, y);
    return {static_cast<int32_t>((p >> 16) & 255), static_cast<int32_t>((p >> 8) & 255),
            static_cast<int32_t>(p & 255)};
}

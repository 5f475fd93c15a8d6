// The property both picture harnesses check: a picture is refused, or decoded whole within the
// limits that every loader shares.
#pragma once

#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "platform/platform_internal.h"

inline void fuzz_one_picture(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    platform::decoded_picture picture;
    if (!platform::decode_picture(bytes, picture)) return;
    fuzz_require(platform::picture_size_allowed(picture.width, picture.height),
                 "a decoded picture is within the size limits");
    fuzz_require(picture.pixels.size() == size_t(picture.width) * size_t(picture.height),
                 "a decoded picture has every pixel");
}

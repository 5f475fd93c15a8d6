// Reads a PNG file of the game folder as RGBA pixels, for tests that look at the pictures.
#pragma once

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

struct rgba_picture {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> pixels;  // RGBA, row by row
    uint8_t at(int32_t x, int32_t y, int32_t channel) const {
        return pixels[(y * width + x) * 4 + channel];
    }
    uint8_t alpha(int32_t x, int32_t y) const { return at(x, y, 3); }
    uint8_t red(int32_t x, int32_t y) const { return at(x, y, 0); }
};

inline rgba_picture read_png(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    rgba_picture out;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return out;
    image.format = PNG_FORMAT_RGBA;
    out.width = static_cast<int32_t>(image.width);
    out.height = static_cast<int32_t>(image.height);
    out.pixels.resize(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, out.pixels.data(), 0, nullptr);
    return out;
}

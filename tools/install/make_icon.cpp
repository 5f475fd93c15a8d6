// Makes the desktop icon out of the game's own pictures: a piece from the palette, centred on
// a round patch of the night sky the game is played against.
//
//   make_icon PIECE_PNG SIZE OUT_PNG
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

bool read_rgba(const char* path, png_image& image, std::vector<uint8_t>& pixels) {
    image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_RGBA;
    pixels.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: make_icon PIECE_PNG SIZE OUT_PNG\n");
        return 2;
    }
    png_image piece;
    std::vector<uint8_t> piece_pixels;
    if (!read_rgba(argv[1], piece, piece_pixels)) {
        std::fprintf(stderr, "make_icon: cannot read %s\n", argv[1]);
        return 1;
    }
    const int size = std::atoi(argv[2]);
    if (size < 16 || size > 1024) return 2;
    std::vector<uint8_t> icon(size_t(size) * size_t(size) * 4, 0);
    const double centre = (size - 1) / 2.0;
    const double radius = size / 2.0 - 1.0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            uint8_t* p = &icon[(size_t(y) * size_t(size) + size_t(x)) * 4];
            const double d = std::hypot(x - centre, y - centre);
            // The sky: deep blue, lighter towards the middle, with a soft rim.
            const double glow = std::clamp(1.0 - d / radius, 0.0, 1.0);
            p[0] = uint8_t(10 + 30 * glow);
            p[1] = uint8_t(14 + 36 * glow);
            p[2] = uint8_t(38 + 70 * glow);
            p[3] = uint8_t(255 * std::clamp(radius - d + 0.5, 0.0, 1.0));
        }
    }
    // The piece over the sky ("over" compositing), centred.
    const int left = (size - int(piece.width)) / 2;
    const int top = (size - int(piece.height)) / 2;
    for (int y = 0; y < int(piece.height); ++y) {
        for (int x = 0; x < int(piece.width); ++x) {
            const int ix = left + x;
            const int iy = top + y;
            if (ix < 0 || iy < 0 || ix >= size || iy >= size) continue;
            const uint8_t* s = &piece_pixels[(size_t(y) * piece.width + size_t(x)) * 4];
            uint8_t* d = &icon[(size_t(iy) * size_t(size) + size_t(ix)) * 4];
            const double a = s[3] / 255.0;
            const double da = d[3] / 255.0;
            const double out_a = a + da * (1.0 - a);
            for (int c = 0; c < 3; ++c) {
                const double v = out_a > 0 ? (s[c] * a + d[c] * da * (1.0 - a)) / out_a : 0.0;
                d[c] = uint8_t(std::lround(std::clamp(v, 0.0, 255.0)));
            }
            d[3] = uint8_t(std::lround(out_a * 255.0));
        }
    }
    png_image out = {};
    out.version = PNG_IMAGE_VERSION;
    out.width = png_uint_32(size);
    out.height = png_uint_32(size);
    out.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&out, argv[3], 0, icon.data(), 0, nullptr)) {
        std::fprintf(stderr, "make_icon: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}

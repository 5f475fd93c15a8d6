// The bitmap fonts, rendered from DejaVu Sans Bold with FreeType.
//
// Each glyph is white, its coverage in the alpha channel, centred in its square cell on a
// baseline shared by the whole font. The metrics are measured from the rendered pixels, not
// taken from the typeface: the game lines glyphs up by their visible ink.
#include "fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "art.h"

namespace fonts {

namespace {

constexpr int first_char = 33;
constexpr int glyph_count = 90;

struct rendered {
    std::vector<unsigned char> alpha;  // width * rows
    int width = 0, rows = 0, left = 0, top = 0;
};

rendered render(FT_Face face, int c) {
    if (FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) {
        throw std::runtime_error("FreeType cannot render a glyph");
    }
    const FT_Bitmap& bm = face->glyph->bitmap;
    rendered r;
    r.width = static_cast<int>(bm.width);
    r.rows = static_cast<int>(bm.rows);
    r.left = face->glyph->bitmap_left;
    r.top = face->glyph->bitmap_top;
    r.alpha.resize(static_cast<size_t>(r.width) * r.rows);
    for (int y = 0; y < r.rows; ++y) {
        for (int x = 0; x < r.width; ++x) r.alpha[y * r.width + x] = bm.buffer[y * bm.pitch + x];
    }
    return r;
}

// The largest pixel size at which every glyph fits its cell, with the tallest reaching from
// top to bottom; returns the size and the baseline row.
std::pair<int, int> fit_size(FT_Face face, int cell) {
    for (int px = cell; px > 4; --px) {
        FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(px));
        int top = 0, bottom = 0, widest = 0;
        for (int c = first_char; c < first_char + glyph_count; ++c) {
            const rendered r = render(face, c);
            top = std::max(top, r.top);
            bottom = std::max(bottom, r.rows - r.top);
            widest = std::max(widest, r.width);
        }
        if (top + bottom <= cell && widest <= cell) return {px, top};
    }
    throw std::runtime_error("no font size fits the cell");
}

void write_font(FT_Face face, int cell, const std::string& dir) {
    const auto [px, baseline] = fit_size(face, cell);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(px));
    art::canvas strip(cell * glyph_count, cell, true);
    unsigned char* data = cairo_image_surface_get_data(strip.surface);
    const int stride = cairo_image_surface_get_stride(strip.surface);
    std::array<unsigned char, 181> metrics{};
    for (int k = 0; k < glyph_count; ++k) {
        const rendered r = render(face, first_char + k);
        const int x0 = (cell - r.width) / 2;
        const int y0 = baseline - r.top;
        int first = cell, last = -1;
        for (int y = 0; y < r.rows; ++y) {
            for (int x = 0; x < r.width; ++x) {
                const unsigned char a = r.alpha[y * r.width + x];
                if (a == 0) continue;
                // White, premultiplied: every channel equals the coverage.
                auto* px_out =
                    reinterpret_cast<uint32_t*>(data + (y0 + y) * stride) + cell * k + x0 + x;
                *px_out = (uint32_t{a} << 24) | (uint32_t{a} << 16) | (uint32_t{a} << 8) | a;
                first = std::min(first, x0 + x);
                last = std::max(last, x0 + x);
            }
        }
        if (last < 0) throw std::runtime_error("a glyph rendered empty");
        metrics[2 * k + 1] = static_cast<unsigned char>(first);
        metrics[2 * k + 2] = static_cast<unsigned char>(last - first + 1);
    }
    cairo_surface_mark_dirty(strip.surface);
    // A space as wide as the typeface's, plus the side bearings the glyph gap stands for.
    FT_Load_Char(face, ' ', FT_LOAD_DEFAULT | FT_LOAD_TARGET_LIGHT);
    metrics[0] = static_cast<unsigned char>((face->glyph->advance.x + 32) / 64 + 2);

    const std::string name = dir + "/font" + std::to_string(cell);
    art::write_png(strip, name + ".png");
    FILE* out = std::fopen((name + ".dat").c_str(), "wb");
    if (out == nullptr || std::fwrite(metrics.data(), 1, metrics.size(), out) != metrics.size()) {
        throw std::runtime_error("cannot write " + name + ".dat");
    }
    std::fclose(out);
}

}  // namespace

void write_all(const std::string& font_dir) {
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) throw std::runtime_error("FreeType failed to start");
    FT_Face face = nullptr;
    if (FT_New_Face(library, art::font_path(true).c_str(), 0, &face) != 0) {
        throw std::runtime_error("cannot open " + art::font_path(true));
    }
    for (int cell : {16, 24, 32}) write_font(face, cell, font_dir);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

}  // namespace fonts

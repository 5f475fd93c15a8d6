// The game's bitmap fonts: loading a glyph strip with its metrics, measuring and drawing text.
//
// A font covers the space (code 32) and codes 33 to 122. A character outside that range (it
// can only come from an edited file) is treated as a glyph with no width that draws nothing,
// so the text around it still lays out as if it were absent.
#include "app/bitmap_font.h"

namespace {

constexpr int32_t first_glyph = 33;
constexpr int32_t last_glyph = 122;
// Every font steps its lines by 16 pixels, whatever its cell size: the larger fonts are only
// ever given texts that fit on one line.
constexpr int32_t line_step = 16;
// Glyphs of a word stand this far apart.
constexpr int32_t glyph_gap = 2;

bool has_glyph(unsigned char c) { return c >= first_glyph && c <= last_glyph; }

int32_t left_bearing(const bitmap_font& font, unsigned char c) {
    return font.metrics[2 * (c - first_glyph) + 1];
}

int32_t ink_width(const bitmap_font& font, unsigned char c) {
    return font.metrics[2 * (c - first_glyph) + 2];
}

int32_t space_width(const bitmap_font& font) { return font.metrics[0]; }

}  // namespace

void load_bitmap_font(bitmap_font& slot, const std::string& name, int32_t size) {
    slot = bitmap_font{};
    slot.glyphs = platform::load_anim_image("font\\" + name + ".png", size, size, 0, 90, -1);
    // A missing metrics file leaves every metric at 0: the text still draws, glyphs stacked.
    platform::stream* in = platform::open_read("font\\" + name + ".dat");
    if (in == nullptr) return;
    for (int32_t& value : slot.metrics) value = platform::read_byte(in);
    platform::close_stream(in);
}

int32_t text_width(const bitmap_font& font, std::string_view text) {
    // A space counts its advance, any other character its ink plus the glyph gap; so a space
    // measures 2 pixels more than drawing advances over it, and the wrap relies on that.
    int32_t width = 0;
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == ' ') {
            width += space_width(font);
        } else if (has_glyph(c)) {
            width += ink_width(font, c) + glyph_gap;
        }
    }
    return width;
}

namespace {

// The word wrap of both drawing routines; cut_wide_words cuts a word wider than the whole line.
void draw_text_lines(const bitmap_font& font, int32_t x, int32_t y, std::string_view text,
                     int32_t wrap_width, bool cut_wide_words) {
    if (text.empty()) return;
    int32_t pen = x;
    // Every space ends a word: leading and doubled spaces give empty words that still move
    // the pen and may still break the line.
    size_t start = 0;
    while (true) {
        const size_t end = text.find(' ', start);
        const std::string_view word = text.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        // A word wider than the whole line goes to a new line of its own; there it runs past
        // the margin, or is cut where its next glyph would pass it.
        const int32_t word_width = text_width(font, word);
        if (pen + word_width > x + wrap_width) {
            y += line_step;
            pen = x;
        }
        const bool cut = cut_wide_words && word_width > wrap_width;
        for (char ch : word) {
            const auto c = static_cast<unsigned char>(ch);
            if (!has_glyph(c)) continue;
            if (cut && pen > x && pen + ink_width(font, c) > x + wrap_width) {
                y += line_step;
                pen = x;
            }
            platform::draw_image(font.glyphs, static_cast<float>(pen - left_bearing(font, c)),
                                 static_cast<float>(y), c - first_glyph);
            pen += ink_width(font, c) + glyph_gap;
        }
        pen = pen - glyph_gap + space_width(font);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
}

}  // namespace

void draw_bitmap_text(const bitmap_font& font, int32_t x, int32_t y, std::string_view text,
                      int32_t wrap_width) {
    draw_text_lines(font, x, y, text, wrap_width, false);
}

void draw_window_text(const bitmap_font& font, int32_t x, int32_t y, std::string_view text,
                      int32_t wrap_width) {
    draw_text_lines(font, x, y, text, wrap_width, true);
}

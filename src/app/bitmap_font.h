// The game's bitmap fonts: a strip of 90 glyphs (codes 33 to 122) and a 181-byte metrics table.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

struct bitmap_font {
    platform::image* glyphs = nullptr;
    // metrics[0] space width; metrics[2k+1] left bearing and metrics[2k+2] ink width of
    // character 33 + k. All 0 until loaded.
    std::array<int32_t, 181> metrics{};
};

struct font_globals {
    bitmap_font font16;
    bitmap_font font24;
    bitmap_font font32;
};
extern font_globals font_vars;
inline bitmap_font& font16 = font_vars.font16;
inline bitmap_font& font24 = font_vars.font24;
inline bitmap_font& font32 = font_vars.font32;

void load_bitmap_font(bitmap_font& slot, const std::string& name, int32_t size);
int32_t text_width(const bitmap_font& font, std::string_view text);
void draw_bitmap_text(const bitmap_font& font, int32_t x, int32_t y, std::string_view text,
                      int32_t wrap_width);
// As draw_bitmap_text, for a text that must stay inside its window (a level's note, a notice):
// a word wider than the whole line, which draw_bitmap_text lets run past the margin, is cut
// and goes on on the next line where its next glyph would pass the margin.
void draw_window_text(const bitmap_font& font, int32_t x, int32_t y, std::string_view text,
                      int32_t wrap_width);

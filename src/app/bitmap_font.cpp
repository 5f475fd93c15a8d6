// Bitmap text (placeholder until the content lands).
#include "app/bitmap_font.h"

void load_bitmap_font(bitmap_font&, const std::string&, int32_t) {}
int32_t text_width(const bitmap_font&, std::string_view) { return 0; }
void draw_bitmap_text(const bitmap_font&, int32_t, int32_t, std::string_view, int32_t) {}

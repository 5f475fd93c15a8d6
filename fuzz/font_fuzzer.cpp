// Bitmap fonts: the first 181 bytes are the metrics file, the rest the glyph strip. Any bytes
// load as a font (a damaged strip leaves no glyphs) that measures and draws a note cut to the
// message window's width, through the same loader as the game's fonts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/bitmap_font.h"
#include "platform/platform_internal.h"

namespace {

constexpr size_t metrics_size = 181;
std::string game_dir;

void write(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char folder[] = "/tmp/beamworks_font_fuzz.XXXXXX";
    if (!mkdtemp(folder)) std::abort();
    game_dir = folder;
    const std::string font_dir = game_dir + "/font";
    if (std::system(("mkdir -p '" + font_dir + "'").c_str()) != 0) std::abort();
    platform::init_headless(game_dir);
    platform::open_graphics(800, 600, 32, 0, 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t metrics = size < metrics_size ? size : metrics_size;
    write(game_dir + "/font/fuzz.dat", data, metrics);
    write(game_dir + "/font/fuzz.png", data + metrics, size - metrics);

    bitmap_font font;
    load_bitmap_font(font, "fuzz", 16);
    const std::string note = "A long note " + std::string(255, 'W') + " and the rest of it.";
    (void)text_width(font, note);
    draw_bitmap_text(font, 220, 220, note, 350);
    draw_window_text(font, 220, 220, note, 350);

    // The fonts of one input are not kept for the next.
    for (auto& img : platform::state.images) platform::release_image_textures(*img);
    platform::state.images.clear();
    return 0;
}

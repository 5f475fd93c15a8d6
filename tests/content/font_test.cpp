// The three bitmap fonts: their metrics files against the glyphs actually drawn in their
// strips, read pixel by pixel from the PNG files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "png_reader.h"

namespace {

std::vector<uint8_t> read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class font_test : public ::testing::TestWithParam<int32_t> {};

TEST_P(font_test, metrics_match_the_ink_of_every_glyph) {
    const int32_t size = GetParam();
    const std::string base = std::string(BEAMWORKS_GAME_DIR) + "/font/font" + std::to_string(size);
    const std::vector<uint8_t> metrics = read_bytes(base + ".dat");
    ASSERT_EQ(metrics.size(), 181u);
    const rgba_picture glyphs = read_png(base + ".png");
    ASSERT_EQ(glyphs.width, 90 * size);
    ASSERT_EQ(glyphs.height, size);
    for (int32_t k = 0; k < 90; ++k) {
        SCOPED_TRACE("character " + std::string(1, static_cast<char>(33 + k)));
        int32_t first = -1, last = -1;
        for (int32_t x = 0; x < size; ++x) {
            for (int32_t y = 0; y < size; ++y) {
                const int32_t px = k * size + x;
                if (glyphs.alpha(px, y) == 0) continue;
                // Glyphs are white, so the game's colour tints them.
                EXPECT_EQ(glyphs.red(px, y), 255);
                if (first < 0) first = x;
                last = x;
            }
        }
        ASSERT_GE(first, 0) << "an empty glyph";
        EXPECT_EQ(metrics[2 * k + 1], first);
        EXPECT_EQ(metrics[2 * k + 2], last - first + 1);
    }
    // A space wider than the gap between the glyphs of a word, narrower than a wide letter.
    EXPECT_GT(metrics[0], 2);
    EXPECT_LT(metrics[0], metrics[2 * ('W' - 33) + 2]);
}

// The line step is 16 pixels for every font: font16's glyphs must fit in it, or two lines of
// a wrapped message would touch.
TEST(font16_test, glyphs_fit_the_sixteen_pixel_line) {
    const rgba_picture glyphs = read_png(std::string(BEAMWORKS_GAME_DIR) + "/font/font16.png");
    ASSERT_EQ(glyphs.height, 16);
    int32_t top = 16, bottom = -1;
    for (int32_t y = 0; y < 16; ++y) {
        for (int32_t x = 0; x < glyphs.width; ++x) {
            if (glyphs.alpha(x, y) == 0) continue;
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    // Letters reach from near the top to near the bottom: the cell is used, not wasted.
    EXPECT_LE(top, 2);
    EXPECT_GE(bottom, 13);
}

INSTANTIATE_TEST_SUITE_P(fonts, font_test, ::testing::Values(16, 24, 32));

}  // namespace

// Pictures decoded ahead on every core: what the game gets must not depend on which thread
// decoded a picture, nor on the order it asks for them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/platform_internal.h"
#include "support/headless_game.h"
#include "test_pictures.h"

namespace {

using prefetch_test = headless_game_test;

// A picture with black to mask and a gradient, different for every seed.
std::vector<uint32_t> test_picture(int32_t width, int32_t height, uint32_t seed) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width * height));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t v = static_cast<uint32_t>(x * 7 + y * 3) + seed * 40;
            pixels[static_cast<size_t>(y * width + x)] =
                (x / 8 + y / 8) % 3 == 0
                    ? 0xFF000000u
                    : 0xFF000000u | (v & 0xFF) << 16 | (seed * 50 & 0xFF) << 8 | 0x40;
        }
    }
    return pixels;
}

struct loaded {
    bool present;
    int32_t width, height;
    size_t frames;
    std::vector<uint32_t> pixels;
};

loaded look(const platform::image* img) {
    if (!img) return {false, 0, 0, 0, {}};
    return {true, img->width, img->height, img->frames.size(), img->pixels};
}

TEST_F(prefetch_test, prefetched_pictures_match_pictures_loaded_directly_in_any_order) {
    std::vector<std::string> paths;
    for (uint32_t i = 0; i < 12; ++i) {
        const std::string name = "p" + std::to_string(i) + (i % 2 ? ".jpg" : ".png");
        const std::vector<uint32_t> pixels = test_picture(64, 48, i);
        if (i % 2) {
            write_test_jpeg(path_in_game(name), 64, 48, pixels);
        } else {
            write_test_png(path_in_game(name), 64, 48, pixels, false);
        }
        paths.push_back(name);
    }
    paths.push_back("missing.png");

    std::vector<loaded> direct;
    for (const std::string& path : paths) direct.push_back(look(platform::load_image(path, -1)));
    direct.push_back(look(platform::load_anim_image(paths[3], 16, 16, 0, 5, -1)));
    direct.push_back(look(platform::load_image(paths[4], 0)));

    // Taken back to front, one as a strip, and one with other flags (decoded on its own).
    platform::prefetch_pictures(paths, -1);
    std::vector<loaded> taken(paths.size());
    for (size_t i = paths.size(); i-- > 0;) {
        if (i == 3) continue;
        taken[i] = look(platform::load_image(paths[i], -1));
    }
    const loaded strip = look(platform::load_anim_image(paths[3], 16, 16, 0, 5, -1));
    const loaded unmasked = look(platform::load_image(paths[4], 0));

    for (size_t i = 0; i < paths.size(); ++i) {
        if (i == 3) continue;
        EXPECT_EQ(taken[i].present, direct[i].present) << paths[i];
        EXPECT_EQ(taken[i].width, direct[i].width) << paths[i];
        EXPECT_EQ(taken[i].pixels, direct[i].pixels) << paths[i];
    }
    EXPECT_FALSE(taken.back().present);
    EXPECT_EQ(strip.frames, 5u);
    EXPECT_EQ(strip.pixels, direct[paths.size()].pixels);
    EXPECT_EQ(unmasked.pixels, direct[paths.size() + 1].pixels);
    EXPECT_NE(unmasked.pixels, taken[4].pixels);  // the masked one really differs
}

// Quitting, or starting over, while the cores are still decoding leaves nothing behind.
TEST_F(prefetch_test, stopping_in_the_middle_of_a_prefetch_is_clean) {
    std::vector<std::string> paths;
    for (uint32_t i = 0; i < 8; ++i) {
        paths.push_back("big" + std::to_string(i) + ".png");
        write_test_png(path_in_game(paths.back()), 512, 512, test_picture(512, 512, i), false);
    }
    for (int32_t round = 0; round < 3; ++round) {
        platform::prefetch_pictures(paths, -1);
        ASSERT_NE(platform::load_image(paths[round], -1), nullptr);
        platform::init_headless(game_dir);
    }
    platform::prefetch_pictures(paths, -1);
    platform::prefetch_pictures({}, -1);  // a new prefetch replaces the old
    EXPECT_NE(platform::load_image(paths[0], -1), nullptr);
}

}  // namespace

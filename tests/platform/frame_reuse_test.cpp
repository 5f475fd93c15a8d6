// Frame reuse on the headless display: a pass that draws what the last one drew presents that
// frame again, and every kind of difference in a pass (picture, frame, position, colour, alpha,
// blend mode, rotation, handle, text, lines, points) draws it anew, exactly as without reuse.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "platform/platform.h"
#include "support/headless_game.h"
#include "test_pictures.h"

namespace {

namespace h = platform::headless;

std::vector<uint32_t> presented_frame() {
    std::vector<uint32_t> frame;
    frame.reserve(800 * 600);
    for (int32_t y = 0; y < 600; ++y) {
        for (int32_t x = 0; x < 800; ++x) frame.push_back(h::presented_pixel(x, y));
    }
    return frame;
}

// Draws one pass of a case: the first way, or the second, which differs in one thing.
using pass_drawing = std::function<void(bool second)>;

class frame_reuse_platform_test : public headless_game_test {
protected:
    void SetUp() override {
        headless_game_test::SetUp();
        std::vector<uint32_t> pixels(16 * 8);
        for (int32_t y = 0; y < 8; ++y) {
            for (int32_t x = 0; x < 16; ++x) {
                // Left frame orange, right frame half-transparent blue, a dark corner in each.
                const bool corner = (x % 8) < 2 && y < 2;
                pixels[size_t(y * 16 + x)] = corner  ? 0xFF102030u
                                             : x < 8 ? 0xFFFF8000u
                                                     : 0x800040FFu;
            }
        }
        write_test_png(path_in_game("strip.png"), 16, 8, pixels, true);
        strip = platform::load_anim_image("strip.png", 8, 8, 0, 2, 0);
        write_test_png(path_in_game("other.png"), 16, 8, std::vector<uint32_t>(16 * 8, 0xFF20C040u),
                       true);
        other = platform::load_anim_image("other.png", 8, 8, 0, 2, 0);
        ASSERT_NE(strip, nullptr);
        ASSERT_NE(other, nullptr);
    }
    void TearDown() override {
        h::set_frame_reuse(true);
        headless_game_test::TearDown();
    }

    void run_pass(const pass_drawing& draw, bool second) {
        if (prepare) prepare(second);
        platform::cls();
        platform::set_blend(1);
        platform::set_color(255, 255, 255);
        platform::set_alpha(1.0f);
        platform::set_rotation(0.0f);
        draw(second);
        platform::flip(0);
    }

    // The first way twice, then the second way: the frame presented last, and checks that the
    // repeated pass was reused and the changed one drawn.
    std::vector<uint32_t> first_twice_then_second(const pass_drawing& draw, bool reuse) {
        h::set_frame_reuse(reuse);
        run_pass(draw, false);
        const std::vector<uint32_t> first = presented_frame();
        const int64_t reused = h::reused_frames();
        run_pass(draw, false);
        EXPECT_EQ(h::reused_frames() - reused, reuse ? 1 : 0);
        EXPECT_TRUE(presented_frame() == first) << "the repeated pass shows another picture";
        run_pass(draw, true);
        EXPECT_EQ(h::reused_frames() - reused, reuse ? 1 : 0) << "the changed pass was not drawn";
        const std::vector<uint32_t> second = presented_frame();
        EXPECT_FALSE(second == first) << "the case's two ways draw the same picture";
        return second;
    }

    platform::image* strip = nullptr;
    platform::image* other = nullptr;
    // Runs before a pass starts, for changes made between passes.
    pass_drawing prepare;
};

struct reuse_case {
    const char* name;
    pass_drawing draw;
    pass_drawing prepare = {};
};

TEST_F(frame_reuse_platform_test, any_change_in_a_pass_draws_it_as_it_would_be_without_reuse) {
    platform::image* const* s = &strip;
    platform::image* const* o = &other;
    const reuse_case cases[] = {
        {"picture", [=](bool b) { platform::draw_image(b ? *o : *s, 10, 10, 0); }},
        {"frame", [=](bool b) { platform::draw_image(*s, 10, 10, b ? 1 : 0); }},
        {"position", [=](bool b) { platform::draw_image(*s, b ? 11.0f : 10.0f, 10, 0); }},
        {"colour",
         [=](bool b) {
             platform::set_color(b ? 0 : 255, 255, 255);
             platform::draw_image(*s, 10, 10, 0);
         }},
        {"alpha of a faded copy",
         [=](bool b) {
             platform::set_blend(3);
             platform::set_alpha(b ? 0.25f : 0.5f);
             platform::draw_image(*s, 10, 10, 1);
         }},
        {"two alphas in one pass",
         [=](bool b) {
             platform::set_blend(3);
             platform::set_alpha(0.5f);
             platform::draw_image(*s, 10, 10, 1);
             platform::set_alpha(b ? 0.75f : 0.25f);
             platform::draw_image(*s, 30, 10, 1);
         }},
        {"blend mode",
         [=](bool b) {
             platform::draw_image(*o, 10, 10, 0);
             platform::set_blend(b ? 4 : 3);
             platform::set_alpha(0.5f);
             platform::draw_image(*s, 10, 10, 0);
         }},
        {"rotation",
         [=](bool b) {
             platform::set_rotation(b ? 90.0f : 0.0f);
             platform::draw_image(*s, 10, 10, 0);
         }},
        {"handle", [=](bool) { platform::draw_image(*o, 10, 10, 0); },
         [=](bool b) {
             if (b) platform::mid_handle_image(*o);
         }},
        {"text", [](bool b) { platform::draw_text(b ? "Ab" : "Ac", 10, 10); }},
        {"text position", [](bool b) { platform::draw_text("Ab", 10, b ? 11.0f : 10.0f); }},
        {"line", [](bool b) { platform::draw_line(0, 0, 50, b ? 21.0f : 20.0f, true); }},
        {"line's last pixel", [](bool b) { platform::draw_line(0, 0, 50, 20, b); }},
        {"point", [](bool b) { platform::plot(b ? 6.0f : 5.0f, 5); }},
        {"order",
         [=](bool b) {
             platform::draw_image(b ? *o : *s, 10, 10, 0);
             platform::draw_image(b ? *s : *o, 12, 12, 0);
         }},
    };
    for (const reuse_case& c : cases) {
        SCOPED_TRACE(c.name);
        prepare = c.prepare;
        // Pictures keep their handle: each case starts from a fresh one.
        strip = platform::load_anim_image("strip.png", 8, 8, 0, 2, 0);
        other = platform::load_anim_image("other.png", 8, 8, 0, 2, 0);
        const std::vector<uint32_t> drawn = first_twice_then_second(c.draw, false);
        strip = platform::load_anim_image("strip.png", 8, 8, 0, 2, 0);
        other = platform::load_anim_image("other.png", 8, 8, 0, 2, 0);
        const std::vector<uint32_t> reused = first_twice_then_second(c.draw, true);
        EXPECT_TRUE(drawn == reused) << "the frame differs from the one drawn without reuse";
    }
}

TEST_F(frame_reuse_platform_test, a_pass_that_does_not_clear_adds_to_the_frame_before_it) {
    // Light adds up on what is there: each pass without a clear makes the spot brighter, so
    // none of them may stand in for the next.
    const auto light_pass = [this] {
        platform::set_blend(4);
        platform::set_alpha(0.25f);
        platform::draw_image(other, 10, 10, 0);
        platform::flip(0);
    };
    platform::cls();
    platform::flip(0);
    const int64_t reused = h::reused_frames();
    uint32_t before = h::presented_pixel(12, 12);
    for (int32_t i = 0; i < 3; ++i) {
        light_pass();
        const uint32_t now = h::presented_pixel(12, 12);
        EXPECT_GT(now & 0xFF00u, before & 0xFF00u) << "pass " << i;
        before = now;
    }
    EXPECT_EQ(h::reused_frames(), reused);
}

TEST_F(frame_reuse_platform_test, the_back_buffer_read_in_mid_pass_or_after_reuse_holds_the_frame) {
    const auto pass = [this](bool finish) {
        platform::cls();
        platform::set_blend(2);
        platform::draw_image(other, 20, 20, 0);
        // Read before the pass ends: what was drawn so far is there.
        EXPECT_EQ(h::pixel(24, 24) & 0xFFFFFFu, 0x20C040u);
        if (finish) platform::draw_text("A", 100, 100);
        platform::flip(0);
    };
    pass(true);
    pass(true);
    const int64_t reused = h::reused_frames();
    // A pass without anything kept for the end is drawn as it goes; the next like it is reused.
    platform::cls();
    platform::set_blend(2);
    platform::draw_image(other, 20, 20, 0);
    platform::draw_text("A", 100, 100);
    platform::flip(0);
    EXPECT_EQ(h::reused_frames(), reused + 1);
    // A screenshot after a reused present is the frame shown.
    platform::pixmap* shot = platform::grab_pixmap(20, 20, 8, 8);
    ASSERT_NE(shot, nullptr);
    const std::string path = path_in_game("shot.png");
    ASSERT_TRUE(platform::save_pixmap_png(shot, path, 0));
    platform::free_pixmap(shot);
    platform::image* back = platform::load_image(path, 0);
    ASSERT_NE(back, nullptr);
    platform::cls();
    platform::set_blend(2);
    platform::draw_image(back, 0, 0, 0);
    EXPECT_EQ(h::pixel(4, 4) & 0xFFFFFFu, 0x20C040u);
    EXPECT_EQ(h::pixel(9, 4) & 0xFFFFFFu, 0u);
}

}  // namespace

namespace {

// Drawing that goes on without a flip keeps a bounded record and still shows every call; the
// next pass like it is drawn again, never taken for the frame it could not keep.
TEST_F(frame_reuse_platform_test, a_pass_too_long_to_keep_is_drawn_as_it_goes) {
    const auto long_pass = [] {
        platform::cls();
        platform::set_color(255, 0, 0);
        for (int32_t n = 0; n < 200000; ++n) platform::plot(float(n % 800), float(n / 800 % 600));
        platform::set_color(0, 255, 0);
        platform::plot(5, 590);
    };
    long_pass();
    EXPECT_LE(h::kept_calls(), size_t{1} << 16);
    platform::flip(0);
    EXPECT_EQ(h::presented_pixel(799, 10) & 0xFFFFFFu, 0xFF0000u);
    EXPECT_EQ(h::presented_pixel(5, 590) & 0xFFFFFFu, 0x00FF00u);
    const int64_t reused = h::reused_frames();
    long_pass();
    platform::flip(0);
    EXPECT_EQ(h::reused_frames(), reused);
    EXPECT_EQ(h::presented_pixel(5, 590) & 0xFFFFFFu, 0x00FF00u);
}

}  // namespace

// Bitmap text as the game measures and draws it, with the real font16 and font32: the width
// measure, the gaps between glyphs and words, and where lines break.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/bitmap_font.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "support/headless_game.h"

namespace {

int32_t ink(const bitmap_font& f, char c) { return f.metrics[2 * (c - 33) + 2]; }
int32_t space(const bitmap_font& f) { return f.metrics[0]; }

// Leftmost and rightmost lit columns in a band of rows; {-1, -1} when nothing is lit.
struct span {
    int32_t left = -1, right = -1;
};

class bitmap_text_test : public headless_game_test {
protected:
    void SetUp() override {
        headless_game_test::SetUp();
        load_bitmap_font(font16, "font16", 16);
        load_bitmap_font(font32, "font32", 32);
    }

    void render(const bitmap_font& font, const std::string& text, int32_t wrap) {
        platform::cls();
        platform::set_blend(3);
        platform::set_color(255, 255, 255);
        draw_bitmap_text(font, x0, y0, text, wrap);
    }

    span lit(int32_t top, int32_t bottom) const {
        span s;
        for (int32_t x = 0; x < 800; ++x) {
            for (int32_t y = top; y <= bottom; ++y) {
                if ((platform::headless::pixel(x, y) & 0xFFFFFF) == 0) continue;
                if (s.left < 0) s.left = x;
                s.right = x;
                break;
            }
        }
        return s;
    }

    std::vector<uint32_t> screen_rows(int32_t top, int32_t bottom) const {
        std::vector<uint32_t> rows;
        for (int32_t y = top; y <= bottom; ++y) {
            for (int32_t x = 0; x < 800; ++x) rows.push_back(platform::headless::pixel(x, y));
        }
        return rows;
    }

    static constexpr int32_t x0 = 100, y0 = 100;
};

TEST_F(bitmap_text_test, the_measure_counts_two_pixels_per_glyph_and_the_advance_per_space) {
    const bitmap_font& f = font16;
    ASSERT_GT(space(f), 0);
    struct measure_case {
        std::string text;
        int32_t width;
    };
    const measure_case cases[] = {
        {"", 0},
        {"AB", ink(f, 'A') + ink(f, 'B') + 4},
        {"A B", ink(f, 'A') + 2 + space(f) + ink(f, 'B') + 2},
        {"  ", 2 * space(f)},
        {"z!", ink(f, 'z') + ink(f, '!') + 4},
        // Characters without a glyph measure nothing.
        {std::string("A") + char(0x80) + "B" + char(10), ink(f, 'A') + ink(f, 'B') + 4},
    };
    for (const measure_case& c : cases) EXPECT_EQ(text_width(f, c.text), c.width) << c.text;
}

TEST_F(bitmap_text_test, glyphs_stand_two_pixels_apart_and_words_a_space_apart) {
    const bitmap_font& f = font16;
    render(f, "AB", 1000);
    span s = lit(y0, y0 + 15);
    EXPECT_EQ(s.left, x0);
    EXPECT_EQ(s.right, x0 + ink(f, 'A') + 2 + ink(f, 'B') - 1);

    render(f, "A B", 1000);
    s = lit(y0, y0 + 15);
    EXPECT_EQ(s.left, x0);
    EXPECT_EQ(s.right, x0 + ink(f, 'A') + space(f) + ink(f, 'B') - 1);

    // Two spaces: the drawn parts stand 2 * space - 2 apart.
    render(f, "A  B", 1000);
    s = lit(y0, y0 + 15);
    EXPECT_EQ(s.right, x0 + ink(f, 'A') + 2 * space(f) - 2 + ink(f, 'B') - 1);
}

TEST_F(bitmap_text_test, the_empty_text_draws_nothing) {
    render(font16, "", 1000);
    EXPECT_EQ(lit(0, 599).left, -1);
}

TEST_F(bitmap_text_test, a_word_that_would_pass_the_margin_starts_a_line_sixteen_lower) {
    const bitmap_font& f = font16;
    // The pen stands at the end of "AAA" plus a space (2 less than measured); the line is
    // one pixel short of "BBB" from there.
    const int32_t wrap = text_width(f, "AAA") - 2 + space(f) + text_width(f, "BBB") - 1;
    render(f, "AAA BBB", wrap);
    const span first = lit(y0, y0 + 15);
    const span second = lit(y0 + 16, y0 + 31);
    EXPECT_EQ(first.left, x0);
    EXPECT_EQ(first.right, x0 + 3 * ink(f, 'A') + 4 - 1);
    EXPECT_EQ(second.left, x0);
    EXPECT_EQ(second.right, x0 + 3 * ink(f, 'B') + 4 - 1);

    // With one pixel more it all stays on one line.
    render(f, "AAA BBB", wrap + 1);
    EXPECT_EQ(lit(y0 + 16, y0 + 31).left, -1);
}

TEST_F(bitmap_text_test, a_word_wider_than_the_line_is_moved_down_whole_and_runs_past) {
    const bitmap_font& f = font16;
    render(f, "WIDE", 5);
    EXPECT_EQ(lit(y0, y0 + 15).left, -1);
    const span s = lit(y0 + 16, y0 + 31);
    EXPECT_EQ(s.left, x0);
    EXPECT_EQ(s.right, x0 + text_width(f, "WIDE") - 2 - 1);
}

TEST_F(bitmap_text_test, the_line_step_is_sixteen_even_for_the_large_font) {
    // A leading space is an empty word: it fits, moves the pen, and pushes "Y" to line two.
    render(font32, "Y", 1000);
    const std::vector<uint32_t> alone = screen_rows(y0, y0 + 31);
    render(font32, " Y", 0);
    EXPECT_EQ(screen_rows(y0 + 16, y0 + 47), alone);
    EXPECT_EQ(lit(y0, y0 + 15).left, -1);
}

TEST_F(bitmap_text_test, characters_without_a_glyph_are_skipped) {
    render(font16, "AB", 1000);
    const std::vector<uint32_t> plain = screen_rows(y0, y0 + 15);
    render(font16, std::string("A") + char(0xE9) + "B", 1000);
    EXPECT_EQ(screen_rows(y0, y0 + 15), plain);
}

TEST_F(bitmap_text_test, a_missing_metrics_file_leaves_every_metric_at_zero) {
    bitmap_font f;
    f.metrics[0] = 7;
    load_bitmap_font(f, "no_such_font", 16);
    for (int32_t m : f.metrics) EXPECT_EQ(m, 0);
    EXPECT_EQ(text_width(f, "AB C"), 6);  // the 2-pixel gaps remain
}

}  // namespace

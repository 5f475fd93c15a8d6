// The level source format: what the compiler refuses (with file and line), and the exact bytes
// of a compiled level and of the level table.
#include <gtest/gtest.h>

#include <string>

#include "level_output.h"
#include "level_rules.h"
#include "level_source.h"

using namespace levels;

namespace {

const std::string empty_row = "...................\n";

// A small valid source: a laser, a mirror, a lamp.
std::string source(const std::string& header, const std::string& legend, const std::string& row4,
                   int rows = 14) {
    std::string grid;
    for (int r = 0; r < rows; ++r)
        grid += r == 4 ? row4 + "\n" : r == 8 ? "........W..........\n" : empty_row;
    return header + "legend\n" + legend + "grid\n" + grid + "end\n";
}

const std::string good_header = "note Turn the beam down to the lamp.\n";
const std::string good_legend = "A laser E white\n1 mirror SW\n";
const std::string good_row = ".A......1..........";

TEST(level_source, reads_a_well_formed_level) {
    level_source l = parse_level_source(
        source(good_header + "hardness normal\nstart 450\n", good_legend, good_row), "x/p01_1.lvl");
    EXPECT_EQ(l.name, "p01_1");
    EXPECT_EQ(l.note, "Turn the beam down to the lamp.");
    EXPECT_EQ(l.hardness, 1);
    EXPECT_EQ(l.start_score, 450);
    EXPECT_EQ(l.grid.code[size_t(cell_index(1, 4))], 120);  // white laser facing right
    EXPECT_EQ(l.grid.code[size_t(cell_index(8, 4))], 650);  // solution mirror, orientation 5
    EXPECT_EQ(l.grid.code[size_t(cell_index(8, 8))], 200);  // white lamp
}

TEST(level_source, refuses_a_malformed_source_with_its_file_and_line) {
    struct bad_case {
        std::string text;
        std::string where;  // "file:line"
        std::string says;   // part of the message
    };
    const std::string f = "p03_2.lvl";
    const bad_case cases[] = {
        {source(good_header, good_legend,
                ".A......1.........."
                ".",
                14),
         f + ":10:", "20 symbols"},
        {source(good_header, good_legend, good_row, 13), f + ":19:", "13 rows"},
        {source(good_header, good_legend, ".A......1...Q......"),
         f + ":10:", "unknown symbol 'Q' in column 13"},
        {source(good_header, good_legend + "1 mirror NE\n", good_row),
         f + ":5:", "already defined on line 4"},
        {source(good_header, "A laser E purple\n1 mirror SW\n", good_row),
         f + ":3:", "unknown colour 'purple'"},
        {source(good_header, "A laser EAST white\n1 mirror SW\n", good_row),
         f + ":3:", "unknown direction 'EAST'"},
        {source(good_header, "W laser E white\n1 mirror SW\n", good_row),
         f + ":3:", "built-in symbol"},
        {source(good_header, "A laser E white\n1 spiegel SW\n", good_row),
         f + ":4:", "unknown piece 'spiegel'"},
        {source("note Curly {braces} are not in the font.\n", good_legend, good_row),
         f + ":1:", "font lacks"},
        {source("note " + std::string(256, 'a') + "\n", good_legend, good_row),
         f + ":1:", "at most 255"},
        {source("", good_legend, good_row), f + ":1:", "no note"},
        {source(good_header + "ideas 3\n", good_legend, good_row),
         f + ":2:", "'ideas' takes 1 or 2"},
        {source(good_header + "colour red\n", good_legend, good_row),
         f + ":2:", "unknown line 'colour'"},
        {source(good_header, good_legend, ".A................."),
         f + ":20:", "the stock would be empty"},
        {source(good_header, good_legend, "........1.........."), f + ":20:", "no laser"},
        {good_header + "legend\n" + good_legend + "grid\n" + empty_row, f + ":6:", "no 'end'"},
        {source(good_header + "decoy 3 5 it looks like a way down\n", good_legend, good_row),
         f + ":2:", "that cell holds none"},
        {source(good_header + "decoy 2 5\n", good_legend, good_row), f + ":2:", "needs its reason"},
        {source(good_header + "decoy 20 5 off the board\n", good_legend, good_row),
         f + ":2:", "a column (1 to 19)"},
    };
    for (const bad_case& c : cases) {
        try {
            parse_level_source(c.text, f);
            ADD_FAILURE() << "accepted: " << c.says;
        } catch (const source_error& e) {
            std::string what = e.what();
            EXPECT_EQ(what.rfind(c.where, 0), 0u) << what;
            EXPECT_NE(what.find(c.says), std::string::npos) << what;
        }
    }
}

TEST(level_source, writes_back_what_it_reads) {
    level_source l = parse_level_source(
        source(good_header + "decoy 2 5 the laser's back\n",
               "A laser E red\n1 dmirror NW\n2 sphere blue\n", ".A......1..2......."),
        "p.lvl");
    level_source again = parse_level_source(format_level_source(l), "p.lvl");
    EXPECT_EQ(again.grid.code, l.grid.code);
    EXPECT_EQ(again.note, l.note);
    ASSERT_EQ(again.decoys.size(), 1u);
    EXPECT_EQ(again.decoys[0].cell, cell_index(1, 4));
    EXPECT_EQ(again.decoys[0].reason, "the laser's back");
    // A double mirror acts alike at f and f + 4: stored as the orientation turning reaches.
    EXPECT_EQ(l.grid.code[size_t(cell_index(8, 4))], 730);
    EXPECT_EQ(l.grid.code[size_t(cell_index(11, 4))], 1300);
}

TEST(level_output, a_compiled_level_has_the_games_bytes) {
    level_source l = parse_level_source(source("note Hi there\n", good_legend, good_row), "p.lvl");
    std::vector<uint8_t> bytes = level_file_bytes(l);
    ASSERT_EQ(bytes.size(), 1065u + 8u);
    EXPECT_EQ(bytes[0], 8);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 9), "Hi there");
    auto code_at = [&](int column, int row) {
        size_t at = 9 + size_t(column * 14 + row) * 4;
        return int32_t(uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 |
                       uint32_t(bytes[at + 2]) << 16 | uint32_t(bytes[at + 3]) << 24);
    };
    EXPECT_EQ(code_at(1, 4), 120);
    EXPECT_EQ(code_at(8, 4), 650);
    EXPECT_EQ(code_at(8, 8), 200);
    EXPECT_EQ(code_at(0, 0), 0);
    // Column 1 row 4 sits at 9 + (14 + 4) * 4 = 81: 120 = 0x78, little-endian.
    EXPECT_EQ(bytes[81], 0x78);
    EXPECT_EQ(bytes[82], 0);
}

TEST(level_output, the_level_table_holds_start_and_hardness_per_level) {
    std::vector<level_source> all(2);
    all[0].start_score = 450;
    all[0].hardness = 0;
    all[1].start_score = 1250;
    all[1].hardness = 2;
    std::vector<uint8_t> bytes = level_info_bytes(all);
    const std::vector<uint8_t> expected = {0xC2, 0x01, 0, 0, 0, 0xE2, 0x04, 0, 0, 2};
    EXPECT_EQ(bytes, expected);
}

TEST(level_rules, measures_a_note_as_the_message_window_wraps_it) {
    note_metrics m;
    m.metrics[0] = 6;
    for (int k = 0; k < 90; ++k) m.metrics[size_t(2 * k + 2)] = 8;  // every glyph 8 wide, +2
    // 35 letters of 10 pixels make one 350-pixel word: it fits exactly.
    bool fit = false;
    EXPECT_EQ(note_line_count(m, std::string(35, 'a'), &fit), 1);
    EXPECT_TRUE(fit);
    EXPECT_EQ(note_line_count(m, std::string(36, 'a'), &fit), 2);  // moves down, still too wide
    EXPECT_FALSE(fit);
    // Words of 5 letters (50 pixels) with a 6-pixel space: 6 words on a line (6*50 + 5*4).
    std::string words;
    for (int i = 0; i < 12; ++i) words += i ? " abcde" : "abcde";
    EXPECT_EQ(note_line_count(m, words, &fit), 2);
    EXPECT_TRUE(fit);
}

TEST(level_rules, start_scores_rise_with_the_grade_in_steps_of_fifty) {
    EXPECT_EQ(start_score_for(0), 300);
    int last = 0;
    for (double g = 0; g < 12; g += 0.5) {
        int s = start_score_for(g);
        EXPECT_EQ(s % 50, 0);
        EXPECT_GE(s, last);
        last = s;
    }
    EXPECT_GT(start_score_for(10), 1500);
}

}  // namespace

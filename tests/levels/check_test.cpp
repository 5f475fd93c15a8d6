// The verifier's rules: a sound level passes, and each kind of broken level is caught with the
// rule it breaks.
#include <gtest/gtest.h>

#include <string>

#include "level_rules.h"
#include "level_source.h"

using namespace levels;

namespace {

// Row 4 holds the laser and the pieces, row 8 the lamp under the turn, row 12 whatever a case adds.
std::string level_text(const std::string& header, const std::string& legend,
                       const std::string& row4, const std::string& row12 = "...................") {
    std::string grid;
    for (int r = 0; r < 14; ++r)
        grid += (r == 4    ? row4
                 : r == 8  ? "........W.........."
                 : r == 12 ? row12
                           : "...................") +
                std::string("\n");
    return header + "legend\n" + legend + "grid\n" + grid + "end\n";
}

// Every glyph 12 pixels wide (14 with its gap): 25 characters to a 350-pixel line.
note_metrics narrow_font() {
    note_metrics m;
    m.metrics[0] = 6;
    for (int k = 0; k < 90; ++k) m.metrics[size_t(2 * k + 2)] = 12;
    m.real = true;
    return m;
}

TEST(level_rules, a_sound_level_passes_every_rule) {
    level_source l =
        parse_level_source(level_text("note Turn the beam down.\n",
                                      "A laser E white\n1 mirror SW\n", ".A......1.........."),
                           "ok.lvl");
    level_figures f = verify_level(l, 0, narrow_font());
    EXPECT_TRUE(f.failures.empty()) << f.failures[0];
    EXPECT_EQ(f.fewest, 1);
    EXPECT_EQ(f.ideas, 1);
    EXPECT_TRUE(f.exhausted);
    EXPECT_GT(f.grade, 0);
}

TEST(level_rules, catches_each_broken_rule) {
    struct broken {
        std::string text;
        int index;
        std::string rule;  // part of the failure that must be reported
    };
    const std::string note = "note Turn the beam down.\n";
    const std::string laser_mirror = "A laser E white\n1 mirror SW\n";
    const std::string row = ".A......1..........";
    const std::string long_note = "note " + [] {
        std::string s;
        for (int i = 0; i < 40; ++i) s += "longish ";
        return s.substr(0, 250);
    }() + "\n";
    const broken cases[] = {
        {level_text(note, "A laser E white\n1 mirror NE\n", row), 0, "does not light every lamp"},
        {level_text(note, laser_mirror, row, "...1..............."), 0, "fewest pieces 1, stock 2"},
        {level_text(note, laser_mirror + "D laser N white\n", row, "........D.........."), 0,
         "lit before a piece is placed"},
        {level_text(note, laser_mirror, ".A......1......*..."), 0,
         "a bomb goes off before a piece is placed"},
        {level_text(note, "A laser E white\n1 dmirror SE\n", row), 0,
         "a mirror can stand in for a piece of kind 7"},
        {level_text(note + "bonus\n", laser_mirror, row), 0, "'bonus' outside the bonus pack"},
        {level_text(note, laser_mirror, row), 6, "a level of the bonus pack must say 'bonus'"},
        {level_text(note + "laser-off\n", laser_mirror, row), 0,
         "can be built with every laser on"},
        {level_text(note + "ideas 2\n", laser_mirror, row), 0,
         "two ideas are for the combo packs only"},
        {level_text(long_note, laser_mirror, row), 0, "lines, the window shows 8"},
    };
    for (const broken& c : cases) {
        level_source l = parse_level_source(c.text, "broken.lvl");
        level_figures f = verify_level(l, c.index, narrow_font());
        bool found = false;
        for (const std::string& why : f.failures)
            found = found || why.find(c.rule) != std::string::npos;
        EXPECT_TRUE(found) << "not caught: " << c.rule;
    }
}

// Red and blue meet head-on at the violet lamp, and that meeting is all that keeps each beam
// from the bomb at the far end of the row: either mirror placed first sends a beam into a bomb.
std::string laser_off_level(const std::string& note, const std::string& wall_row) {
    return note +
           "laser-off\nlegend\nA laser E red\nD laser S blue\n1 mirror NW\n2 mirror SE\n3 mirror "
           "NW\ngrid\n"
           "...................\n...............D...\n...................\n...................\n"
           "...................\n...................\n.*.2....V......3.*.\n...................\n" +
           wall_row +
           "\n...................\n...................\n.A.1...............\n...................\n"
           "...*...............\nend\n";
}

TEST(level_rules, a_level_that_needs_a_laser_off_must_need_it_every_way_and_say_so) {
    struct laser_off_case {
        std::string text;
        std::string rule;  // empty: the level passes
    };
    const std::string note = "note Switch the blue laser off while you build.\n";
    const std::string one_gap = "###.###########....";
    const laser_off_case cases[] = {
        {laser_off_level(note, one_gap), ""},
        {laser_off_level("note Build it.\n", one_gap),
         "the note must say a laser has to be switched off"},
        // A second gap lets the same idea be built at column 5, where the blue beam sent down
        // the column meets no bomb: the player could skip switching anything off.
        {laser_off_level(note, "###.#.#########...."),
         "another solution can be built with every laser on"},
    };
    for (const laser_off_case& c : cases) {
        level_source l = parse_level_source(c.text, "off.lvl");
        level_figures f = verify_level(l, 28, narrow_font());
        EXPECT_TRUE(f.needs_laser_off);
        if (c.rule.empty()) {
            EXPECT_TRUE(f.failures.empty()) << f.failures[0];
            continue;
        }
        bool found = false;
        for (const std::string& why : f.failures)
            found = found || why.find(c.rule) != std::string::npos;
        EXPECT_TRUE(found) << "not caught: " << c.rule;
    }
}

}  // namespace

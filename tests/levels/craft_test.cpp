// The verifier's craft rules: fixed pieces that earn their place, decoys that tempt, no lamp lit
// at the start, a grade that scenery cannot raise, notes that tell the truth, no recipe thrice.
#include <gtest/gtest.h>

#include <string>

#include "level_craft.h"
#include "level_rules.h"
#include "level_source.h"

using namespace levels;

namespace {

// The laser in row 4 fires east, the stored mirror at column 9 turns it down to the lamp in row
// 9; row 12 and the header hold what a case adds.
std::string level_text(const std::string& header, const std::string& legend,
                       const std::string& row12, const std::string& row8 = "........W..........") {
    std::string grid;
    for (int r = 0; r < 14; ++r)
        grid += (r == 4    ? ".A......1.........."
                 : r == 8  ? row8
                 : r == 12 ? row12
                           : "...................") +
                std::string("\n");
    return header + "legend\nA laser E white\n1 mirror SW\n" + legend + "grid\n" + grid + "end\n";
}

note_metrics wide_font() {
    note_metrics m;
    m.metrics[0] = 4;
    for (int k = 0; k < 90; ++k) m.metrics[size_t(2 * k + 2)] = 6;
    m.real = true;
    return m;
}

bool reports(const level_figures& f, const std::string& rule) {
    for (const std::string& why : f.failures)
        if (why.find(rule) != std::string::npos) return true;
    return false;
}

const std::string plain_note = "note Turn the beam down.\n";
const std::string empty_row = "...................";

TEST(level_craft, every_fixed_piece_must_earn_its_place) {
    struct craft_case {
        std::string text;
        std::string rule;  // empty: the level passes
    };
    const craft_case cases[] = {
        {level_text(plain_note, "", empty_row), ""},
        // A wall the beam can reach (a mirror at column 3 sends it down) that no solution needs.
        {level_text(plain_note, "", "..##..............."),
         "the wall group at 3,13 (2 cells) changes nothing"},
        // A wall far out of any beam's reach, behind walls, changes nothing either.
        {level_text(plain_note, "", "#.................."),
         "the wall group at 1,13 (1 cell) changes nothing"},
        // A laser firing off the board, lighting nothing.
        {level_text(plain_note, "D laser E white\n", ".................D."),
         "the laser at 18,13 changes nothing"},
        // An idle laser declared a decoy in a corner no beam of one piece reaches, firing off the
        // board: it tempts no one.
        {level_text(plain_note + "decoy 1 13 a second beam\n", "D laser W white\n",
                    "D.................."),
         "the decoy laser at 1,13 does not tempt"},
        // A wall across the way down from column 13, where a player might turn the beam: a decoy
        // that tempts, declared with its reason.
        {level_text(plain_note + "decoy 13 9 the way down at the far column is closed\n", "",
                    empty_row, "........W...#......"),
         ""},
        // A wall the solutions depend on is no decoy: it keeps the second laser off the lamp.
        {level_text(plain_note + "decoy 13 9 it shields the lamp\n", "D laser W white\n", empty_row,
                    "........W...#....D."),
         "is declared a decoy, but the solutions depend on it"},
        // Only the board's own pieces can be declared.
        {level_text(plain_note + "decoy 13 5 it blocks the beam\n", "", empty_row),
         "that cell holds none"},
    };
    for (const craft_case& c : cases) {
        level_figures f;
        try {
            f = verify_level(parse_level_source(c.text, "craft.lvl"), 12, wide_font());
        } catch (const source_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.rule), std::string::npos) << e.what();
            continue;
        }
        if (c.rule.empty())
            EXPECT_TRUE(f.failures.empty()) << f.failures[0];
        else
            EXPECT_TRUE(reports(f, c.rule)) << "not caught: " << c.rule;
    }
}

TEST(level_craft, a_piece_that_keeps_out_a_cheaper_solution_is_needed) {
    // The second laser fires west along the lamp's row; only the wall keeps it from lighting the
    // lamp with no piece at all. The wall earns its place; the laser, which no solution uses, not.
    level_figures f = verify_level(
        parse_level_source(
            level_text(plain_note, "D laser W white\n", empty_row, "........W...#....D."), "w.lvl"),
        12, wide_font());
    ASSERT_EQ(f.inert.size(), 1u);
    EXPECT_EQ(f.inert[0], "laser at 18,9");
}

TEST(level_craft, scenery_is_taken_away_one_piece_at_a_time) {
    // The far wall and the idle laser are scenery; the wall that shields the lamp from that laser
    // becomes scenery only once the laser is gone, and goes last.
    level_source l = parse_level_source(
        level_text(plain_note, "D laser W white\n", "#..................", "........W...#....D."),
        "clutter.lvl");
    std::vector<std::string> removed = take_away_inert(l, 12, wide_font());
    const std::vector<std::string> expected = {"wall group at 1,13 (1 cell)", "laser at 18,9",
                                               "wall group at 13,9 (1 cell)"};
    EXPECT_EQ(removed, expected);
    EXPECT_EQ(l.grid_lines[8], "........W..........");
    EXPECT_TRUE(verify_level(l, 12, wide_font()).failures.empty());
}

TEST(level_craft, no_lamp_is_lit_before_a_piece_is_placed) {
    // A red laser shines straight into a red lamp: the second lamp lights at once.
    level_figures f = verify_level(
        parse_level_source(level_text(plain_note, "D laser E red\n", ".....D.R..........."),
                           "lit.lvl"),
        12, wide_font());
    EXPECT_TRUE(reports(f, "a lamp is lit before a piece is placed"));
}

TEST(level_craft, scenery_does_not_raise_the_grade) {
    level_figures clean = verify_level(
        parse_level_source(level_text(plain_note, "", empty_row), "clean.lvl"), 12, wide_font());
    level_figures cluttered = verify_level(
        parse_level_source(
            level_text(plain_note + "decoy 13 9 the way down at the far column is closed\n", "",
                       empty_row, "........W...#......"),
            "decoy.lvl"),
        12, wide_font());
    EXPECT_EQ(cluttered.decoys.size(), 1u);
    EXPECT_DOUBLE_EQ(cluttered.grade, clean.grade);
    EXPECT_DOUBLE_EQ(clean.grade_before, clean.grade);
}

board_facts facts_for(const std::string& legend, const std::string& row12, bool bonus = false) {
    level_source l = parse_level_source(
        level_text(plain_note + (bonus ? "bonus\n" : ""), legend, row12), "n.lvl");
    return facts_of(l, false, 1);
}

TEST(level_craft, notes_tell_the_truth_and_not_the_answer) {
    struct note_case {
        std::string note;
        std::string legend, row12;
        bool bonus;
        std::string rule;  // empty: the note is true
    };
    const note_case cases[] = {
        {"Turn the white beam down to the lamp.", "", empty_row, false, ""},
        {"Two lasers, one lamp and a bomb.", "D laser N red\n", "....D....*.........", false, ""},
        {"Two lasers, one lamp.", "", empty_row, false,
         "the note says 'two lasers', the board has 1"},
        {"One mirror for two lamps.", "", empty_row, false,
         "the note says 'two lamps', the board has 1"},
        {"Bring red light to the lamp.", "", empty_row, false,
         "the note names red, the board has none"},
        {"A blue laser waits.", "D laser N red\n", "....D..............", false,
         "the note names blue laser"},
        {"Beams run diagonally now.", "", empty_row, false,
         "diagonal beams, the solution has none"},
        {"The translator guards the lamp.", "", empty_row, false,
         "names a translator, the board has none"},
        {"Mind the bombs.", "", empty_row, false, "names a bomb, the board has none"},
        {"Two beams meet head-on.", "", empty_row, false, "head-on meeting, the solution has none"},
        {"Switch the laser off while you build.", "", empty_row, false, "switching a laser off"},
        {"A double prism splits the beam.", "", empty_row, false,
         "names a double prism, the stock has none"},
        // "One" is mostly "one of them", so it counts nothing outside the bonus pack.
        {"Switch one laser off, and one lamp stays dark.", "D laser N red\n", "....D....*.........",
         false, ""},
        // In the bonus pack any count of pieces but the stock's gives the cheap idea away.
        {"The stock is generous.", "2 mirror NE\n", "..2................", true, ""},
        {"Use one mirror and keep the rest.", "2 mirror NE\n", "..2................", true,
         "gives away the cheap solution's piece count ('one mirror')"},
        {"The stock holds two, but it takes only one.", "2 mirror NE\n", "..2................",
         true, "gives away the cheap solution's piece count ('only one')"},
    };
    for (const note_case& c : cases) {
        std::vector<std::string> faults =
            note_faults(c.note, facts_for(c.legend, c.row12, c.bonus));
        if (c.rule.empty()) {
            EXPECT_TRUE(faults.empty()) << c.note << ": " << faults[0];
            continue;
        }
        bool found = false;
        for (const std::string& why : faults)
            found = found || why.find(c.rule) != std::string::npos;
        EXPECT_TRUE(found) << c.note << ": not caught: " << c.rule;
    }
}

TEST(level_craft, a_recipe_used_three_times_fails_and_a_pair_is_reported) {
    std::vector<level_figures> all(5);
    const char* const recipes[5] = {
        "mirror 2 / lamps W / lasers 1", "mirror 2 / lamps W / lasers 1",
        "mirror 2 / lamps R / lasers 1", "mirror 2 / lamps W / lasers 1",
        "mirror 2 / lamps R / lasers 1"};
    for (int i = 0; i < 5; ++i) {
        all[size_t(i)].index = i;
        all[size_t(i)].recipe = recipes[i];
    }
    std::vector<std::string> pairs = check_recipes(all);
    for (int i : {0, 1, 3})
        EXPECT_TRUE(reports(all[size_t(i)], "is used by 3 levels: 1-1, 1-2, 1-4"));
    for (int i : {2, 4}) EXPECT_TRUE(all[size_t(i)].failures.empty());
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_EQ(pairs[0], "1-3 and 1-5: mirror 2 / lamps R / lasers 1");
}

TEST(level_craft, the_recipe_counts_stock_by_kind_lamps_and_lasers) {
    level_source l = parse_level_source(
        level_text(plain_note, "D laser N red\n2 sphere green\n3 prism N\n", "....D..2.3....R...."),
        "r.lvl");
    EXPECT_EQ(recipe_of(l.grid), "mirror 1, prism 1, sphere-green 1 / lamps RW / lasers 2");
}

}  // namespace

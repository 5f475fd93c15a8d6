// The rules every shipped level must keep, and the figures the grade is made of.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "level_craft.h"
#include "level_source.h"
#include "solver.h"

namespace levels {

// Widths that the message window's word wrap uses (font16 metrics, see the bitmap fonts).
struct note_metrics {
    std::array<int, 181> metrics{};
    bool real = false;  // false: a conservative estimate (no font file yet)
};
note_metrics load_note_metrics(const std::string& font16_dat_path);
// Lines the message window needs for a note (wrap width 350), and whether the widest word fits.
int note_line_count(const note_metrics& m, const std::string& note, bool* words_fit);
constexpr int note_max_lines = 8;  // text from y 220, 16 pixels a line, buttons from y 355

constexpr int pack_of(int level_index) { return level_index / 6; }
constexpr int bonus_pack = 1;  // "Bonus scores"

// Whether these pieces can be placed one at a time, with the lasers of laser_on switched on,
// without a beam ever reaching a bomb (in some order of placing). Each piece goes straight to its
// own cell and orientation, as a player building the finished board would place it.
bool buildable(const sim_board& board, const std::vector<placement>& pieces, uint32_t laser_on);

struct level_figures {
    std::string name;
    int index = 0;   // 0 to 119
    int pieces = 0;  // stock
    int fewest = -1;
    int64_t solutions = 0;
    int ideas = 0;      // distinct ideas of the fewest-piece solutions
    int64_t nodes = 0;  // exhaustive search, all laser sets
    bool exhausted = false;
    double effort = 0;      // trial-and-error nodes to a first solution
    double dead_first = 0;  // share of first moves with no solution below
    int beams = 0;
    int lasers = 0;
    int mechanics = 0;
    bool mixed_lamp = false;
    bool needs_laser_off = false;    // no order of placing the solution avoids every bomb
    int bonus_points = 0;            // bonus of the cheapest solution (bonus levels)
    double grade = 0;                // of the level without its inert pieces and decoys
    double grade_before = 0;         // of the level as written
    std::vector<std::string> inert;  // fixed pieces the level plays the same without
    std::vector<std::vector<int>> inert_cells;  // their cells, in the same order
    std::vector<std::string> decoys;            // declared decoys: what, and why it stays
    int removal_searches = 0;                   // removals that needed a search to judge
    std::string recipe;
    int hardness = 0;
    int start_score = 0;
    double seconds = 0;  // time the checks took
    std::vector<std::string> failures;
};

// Runs every check of one level (index 0 to 119) and fills its figures (grade included;
// hardness and start score need all levels: see grade_levels).
level_figures verify_level(const level_source& level, int index, const note_metrics& font);

// Takes the inert fixed pieces out of a level one at a time, judging it afresh after each removal
// (a piece may only become needed once another is gone); the grid text follows when the source
// has one. Returns what went, by label.
std::vector<std::string> take_away_inert(level_source& level, int index, const note_metrics& font);

// Levels that repeat one another's recipe: a recipe used by three levels or more fails each of
// them; pairs are returned as "1-2 and 3-4: <recipe>" for the report.
std::vector<std::string> check_recipes(std::vector<level_figures>& all);
constexpr int decoys_allowed = 6;  // declared decoys in the whole game

// Hardness by grade terciles within two packs either side; start score from the grade.
void grade_levels(std::vector<level_figures>& all);
int start_score_for(double grade);

}  // namespace levels

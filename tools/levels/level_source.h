// The text source of a level (one file per level under content/levels) and the list of the 120
// in play order. A source holds the solved board as a grid, a legend for the pieces that carry
// a direction or colour, the note and what the designer expects of the level.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "sim.h"

namespace levels {

// A malformed source: the message already names the file and line ("file:line: what").
struct source_error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A fixed piece the designer keeps on purpose although the level would play the same without
// it: it must tempt (some placement sends a beam into it), and the reason is written down.
struct decoy_declaration {
    int32_t cell = 0;
    std::string reason;
};

struct level_source {
    std::string path;
    std::string name;  // file name without folder and extension
    std::string note;
    int32_t ideas = 1;         // distinct ideas the designer allows (2 only in combo packs)
    bool bonus = false;        // a cheaper idea than the stored solution exists on purpose
    bool laser_off = false;    // building it safely needs a laser switched off
    int32_t hardness = -1;     // 0 easy, 1 normal, 2 hard; -1 when not graded yet
    int32_t start_score = -1;  // -1 when not graded yet
    std::vector<decoy_declaration> decoys;
    level_grid grid;
    // Grid text as written, for rewriting the header without touching the board.
    std::vector<std::string> legend_lines;
    std::vector<std::string> grid_lines;
};

// Parses one source; throws source_error with file and line.
level_source parse_level_source(const std::string& text, const std::string& path);
level_source read_level_source(const std::string& path);

// Writes a source back as text (legend symbols chosen afresh from the grid codes).
std::string format_level_source(const level_source& level);

// The play-order list: one level file name per line (relative to the list's folder), '#'
// comments and blank lines ignored. Throws source_error for a missing file or a count other
// than expected_count.
std::vector<std::string> read_level_list(const std::string& list_path, int expected_count);

// Direction names of the sources: N NE E SE S SW W NW, or 0 to 7.
int parse_direction(const std::string& word);
const char* direction_name(int dir);

}  // namespace levels

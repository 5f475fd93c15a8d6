// The board: cell and beam records, the codes of pieces, directions and colours, and the
// globals of the grid, the beams and the board's animations.
#pragma once

#include <array>
#include <cstdint>

constexpr int32_t board_columns = 19;
constexpr int32_t board_rows = 14;
constexpr int32_t cell_size = 35;
constexpr int32_t max_lasers = 20;
// A double prism lets only one direction in and so splits at most once per trace: the lasers
// plus one split per cell bound the beams of any trace, so none is ever dropped.
constexpr int32_t beam_capacity = max_lasers + board_columns * board_rows;

// Piece kinds (point::kind, solution_kind; the hundreds of a level cell code).
constexpr int32_t kind_empty = 0;
constexpr int32_t kind_laser = 1;
constexpr int32_t kind_lamp = 2;
constexpr int32_t kind_bomb = 3;
constexpr int32_t kind_wall = 4;
constexpr int32_t kind_translator = 5;
constexpr int32_t kind_mirror = 6;
constexpr int32_t kind_double_mirror = 7;
constexpr int32_t kind_prism = 8;
constexpr int32_t kind_double_prism = 9;
constexpr int32_t kind_white_sphere = 10;
constexpr int32_t kind_red_sphere = 11;
constexpr int32_t kind_green_sphere = 12;
constexpr int32_t kind_blue_sphere = 13;

// Directions and orientations: 0 to 7 clockwise on the screen from up.
constexpr int32_t dir_up = 0;
constexpr int32_t dir_up_right = 1;
constexpr int32_t dir_right = 2;
constexpr int32_t dir_down_right = 3;
constexpr int32_t dir_down = 4;
constexpr int32_t dir_down_left = 5;
constexpr int32_t dir_left = 6;
constexpr int32_t dir_up_left = 7;
constexpr std::array<int32_t, 8> dir_column_step = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr std::array<int32_t, 8> dir_row_step = {-1, -1, 0, 1, 1, 1, 0, -1};

constexpr int32_t beam_white = 0;
constexpr int32_t beam_red = 1;
constexpr int32_t beam_green = 2;
constexpr int32_t beam_blue = 3;

constexpr int32_t lamp_white = 0;
constexpr int32_t lamp_red = 1;
constexpr int32_t lamp_green = 2;
constexpr int32_t lamp_blue = 3;
constexpr int32_t lamp_yellow = 4;
constexpr int32_t lamp_sky_blue = 5;
constexpr int32_t lamp_violet = 6;

// One board cell. What state and colour hold depends on the kind: state is a laser's or
// translator's direction, a movable piece's orientation (9 while the player turns it), a lamp's
// colour mask (white 1, blue 2, green 4, red 8) or a sphere's glow countdown; colour is a
// laser's beam colour, a lamp's colour or a sphere's "sound played" flag.
struct point {
    int32_t kind = 0;
    int32_t state = 0;
    int32_t colour = 0;
    int32_t solution_kind = 0;
    int32_t solution_orientation = 0;  // on a lamp cell: the lit flag
};

// One beam, or one laser source of the level.
struct laser {
    int32_t x = 0;  // column; -1 or 19 once off the board
    int32_t y = 0;  // row; -1 or 14 once off the board
    int32_t colour = 0;
    int32_t dir = 0;
    int32_t entry_dir = 0;  // direction it entered its current cell with
    int32_t active = 0;     // travelling; for a source: switched on
    int32_t solid = 0;      // 0 for the dashed future trajectory of a piece being turned
};

// The grid by [column][row].
using board_grid = std::array<std::array<point, board_rows>, board_columns>;

// What the last trace did beyond the beams: its steps and every bomb it set off (a second
// solid beam can set off a second bomb in the same trace).
struct trace_record {
    int32_t steps = 0;
    int32_t exploded_count = 0;
    std::array<int32_t, board_columns * board_rows> exploded_cells{};  // column * 14 + row
};

struct board_globals {
    board_grid board{};
    std::array<laser, max_lasers> laser_sources{};
    int32_t laser_source_count = 0;
    std::array<laser, beam_capacity> beams{};
    int32_t beam_count = 0;
    // The piece being turned by the player.
    int32_t turning = 0;
    int32_t turn_x = 0;
    int32_t turn_y = 0;
    int32_t turn_orientation = 0;
    // Centre, in pixels, of the bomb that exploded; 0, 0 for none.
    int32_t explosion_x = 0;
    int32_t explosion_y = 0;
    int32_t explosion_frame = 0;
    int32_t translator_glow_frame = 0;  // 0 to 19
    int32_t wall_spark_frame = 0;       // 0 to 19
    int32_t solution_alpha = 0;         // 0 to 128: opacity x 255 of the solution overlay
    trace_record trace{};
};
extern board_globals board_vars;
inline auto& board = board_vars.board;
inline auto& laser_sources = board_vars.laser_sources;
inline int32_t& laser_source_count = board_vars.laser_source_count;
inline auto& beams = board_vars.beams;
inline int32_t& beam_count = board_vars.beam_count;
inline int32_t& turning = board_vars.turning;
inline int32_t& turn_x = board_vars.turn_x;
inline int32_t& turn_y = board_vars.turn_y;
inline int32_t& turn_orientation = board_vars.turn_orientation;
inline int32_t& explosion_x = board_vars.explosion_x;
inline int32_t& explosion_y = board_vars.explosion_y;
inline int32_t& explosion_frame = board_vars.explosion_frame;
inline int32_t& translator_glow_frame = board_vars.translator_glow_frame;
inline int32_t& wall_spark_frame = board_vars.wall_spark_frame;
inline int32_t& solution_alpha = board_vars.solution_alpha;

// Every field by the name the dump gives it; the dump walks this list, and a test checks that
// it names every field of the struct.
template <class visit>
void visit_fields(board_globals& g, visit&& v) {
    v("laser_source_count", g.laser_source_count);
    v("laser_sources", g.laser_sources, g.laser_source_count);
    v("beam_count", g.beam_count);
    v("beams", g.beams, g.beam_count);
    v("turning", g.turning);
    v("turn_x", g.turn_x);
    v("turn_y", g.turn_y);
    v("turn_orientation", g.turn_orientation);
    v("explosion_x", g.explosion_x);
    v("explosion_y", g.explosion_y);
    v("explosion_frame", g.explosion_frame);
    v("translator_glow_frame", g.translator_glow_frame);
    v("wall_spark_frame", g.wall_spark_frame);
    v("solution_alpha", g.solution_alpha);
    v("trace", g.trace);
    v("board", g.board);
}

// Screen geometry of the board: cell (c, r) has its top-left pixel at (35c + 35, 35r + 75) and
// its centre at (35c + 52, 35r + 92), also for the cells one step beyond the edge.
constexpr int32_t cell_left(int32_t column) { return cell_size * column + 35; }
constexpr int32_t cell_top(int32_t row) { return cell_size * row + 75; }
constexpr int32_t cell_centre_x(int32_t column) { return cell_size * column + 52; }
constexpr int32_t cell_centre_y(int32_t row) { return cell_size * row + 92; }
// The cell under a pixel: true for 34 < x < 700 and 74 < y < 565 (the board area, edges
// included), with the column and row by integer division.
constexpr bool pixel_to_cell(int32_t x, int32_t y, int32_t& column, int32_t& row) {
    if (x <= 34 || x >= 700 || y <= 74 || y >= 565) return false;
    column = (x - 35) / cell_size;
    row = (y - 75) / cell_size;
    return true;
}

// Start-up: the grid and the laser arrays exist from the start, zeroed.
void create_board();
void create_lasers();

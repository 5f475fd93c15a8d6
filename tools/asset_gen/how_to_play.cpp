// The how-to-play picture: eight small boards, each traced with the game's own beam rules so
// that every picture shows what really happens, above a free bottom row for the tip text.
#include <cmath>
#include <string>
#include <vector>

#include "art.h"
#include "board/beam_rules.h"
#include "pictures.h"
#include "pieces.h"

namespace pictures {

namespace {

using art::rgb;

enum piece_kind {
    laser = 1,
    lamp = 2,
    wall = 4,
    mirror = 6,
    double_mirror = 7,
    prism = 8,
    double_prism = 9,
    sphere = 10
};

struct piece {
    int kind;
    int col, row;
    int value;       // direction or orientation; lamp colour; sphere colour
    int colour = 0;  // a laser's beam colour
};

struct scene {
    const char* caption;
    std::vector<piece> pieces;
    int turning_col = -1, turning_row = -1;  // a mirror being turned: beams after it dashed
};

constexpr int grid = 5;
constexpr double cell = 32;
constexpr double scale = cell / 35.0;

const piece* piece_at(const scene& s, int c, int r) {
    for (const piece& p : s.pieces) {
        if (p.col == c && p.row == r) return &p;
    }
    return nullptr;
}

struct beam {
    int col, row, dir, colour;
    bool solid;
};

void draw_piece(cairo_t* cr, const piece& p, double cx, double cy) {
    switch (p.kind) {
        case laser: pieces::laser(cr, cx, cy, scale, p.value); break;
        case lamp: pieces::lamp(cr, cx, cy, scale, p.value); break;
        case wall: pieces::wall(cr, cx, cy, scale); break;
        case mirror: pieces::mirror(cr, cx, cy, scale, p.value); break;
        case double_mirror: pieces::double_mirror(cr, cx, cy, scale, p.value); break;
        case prism: pieces::prism(cr, cx, cy, scale, p.value); break;
        case double_prism: pieces::double_prism(cr, cx, cy, scale, (p.value + 4) % 8); break;
        case sphere: pieces::colour_sphere(cr, cx, cy, scale, p.value); break;
        default: break;
    }
}

void draw_scene(cairo_t* cr, const scene& s, double x0, double y0) {
    const double bx = x0 + 20, by = y0 + 8;
    auto centre_x = [&](int c) { return bx + cell * c + cell / 2; };
    auto centre_y = [&](int r) { return by + cell * r + cell / 2; };
    // The board, as the game draws it: dark cells with their own outlines.
    cairo_rectangle(cr, bx, by, cell * grid, cell * grid);
    cairo_set_source_rgb(cr, 0.03, 0.035, 0.075);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 40 / 255.0, 40 / 255.0, 40 / 255.0);
    cairo_set_line_width(cr, 1);
    for (int c = 0; c < grid; ++c) {
        for (int r = 0; r < grid; ++r) {
            cairo_rectangle(cr, bx + cell * c + 0.5, by + cell * r + 0.5, cell - 1, cell - 1);
        }
    }
    cairo_stroke(cr);
    for (const piece& p : s.pieces) draw_piece(cr, p, centre_x(p.col), centre_y(p.row));

    // Trace every laser's beam cell by cell.
    std::vector<beam> beams;
    for (const piece& p : s.pieces) {
        if (p.kind == laser) beams.push_back({p.col, p.row, p.value, p.colour, true});
    }
    int lamp_bits[grid][grid] = {};
    std::vector<std::pair<double, double>> sparks;
    cairo_save(cr);
    cairo_rectangle(cr, bx, by, cell * grid, cell * grid);
    cairo_clip(cr);
    for (size_t i = 0; i < beams.size(); ++i) {
        beam b = beams[i];
        std::vector<double> solid_path = {centre_x(b.col), centre_y(b.row)};
        rgb path_colour = pieces::beam_colour(b.colour);
        for (int steps = 0; steps < 40; ++steps) {
            const int nc = b.col + static_cast<int>(std::lround(art::dir_x(b.dir)));
            const int nr = b.row + static_cast<int>(std::lround(art::dir_y(b.dir)));
            const double x1 = centre_x(b.col), y1 = centre_y(b.row);
            const double x2 = centre_x(nc), y2 = centre_y(nr);
            const rgb colour = pieces::beam_colour(b.colour);
            if (b.solid) {
                if (colour.r != path_colour.r || colour.g != path_colour.g ||
                    colour.b != path_colour.b) {
                    art::glow_path(cr, solid_path, path_colour, 1.6);
                    solid_path = {x1, y1};
                    path_colour = colour;
                }
                solid_path.push_back(x2);
                solid_path.push_back(y2);
            } else {
                art::glow_line(cr, x1, y1, x1 + (x2 - x1) / 3, y1 + (y2 - y1) / 3, colour, 1.4);
                art::glow_line(cr, x1 + 2 * (x2 - x1) / 3, y1 + 2 * (y2 - y1) / 3, x2, y2, colour,
                               1.4);
            }
            b.col = nc;
            b.row = nr;
            if (nc < 0 || nc >= grid || nr < 0 || nr >= grid) break;
            const piece* p = piece_at(s, nc, nr);
            if (p == nullptr) continue;
            if (p->kind == lamp) {
                if (b.solid) lamp_bits[nc][nr] |= beam_colour_bit[b.colour];
                continue;
            }
            if (p->kind == wall) {
                sparks.emplace_back(x2 - art::dir_x(b.dir) * cell / 2,
                                    y2 - art::dir_y(b.dir) * cell / 2);
                break;
            }
            if (p->kind == sphere) {
                b.colour = p->value;
                continue;
            }
            const int out = piece_exit_dir(p->kind, p->value, b.dir, b.solid);
            const int split =
                p->kind == double_prism ? double_prism_split_dir(p->value, b.dir) : beam_stops;
            if (out == beam_stops) break;
            if (nc == s.turning_col && nr == s.turning_row) b.solid = false;
            if (split != beam_stops) beams.push_back({nc, nr, split, b.colour, b.solid});
            b.dir = out;
        }
        art::glow_path(cr, solid_path, path_colour, 1.6);
    }
    cairo_restore(cr);
    // Pieces again over the beams' ends, then the lit lamps and the sparks.
    for (const piece& p : s.pieces) draw_piece(cr, p, centre_x(p.col), centre_y(p.row));
    for (const piece& p : s.pieces) {
        if (p.kind != lamp) continue;
        if (lamp_is_lit(p.value, lamp_bits[p.col][p.row])) {
            art::glow_dot(cr, centre_x(p.col), centre_y(p.row), 30, pieces::lamp_colour(p.value),
                          1.2);
        }
    }
    for (auto [x, y] : sparks) art::glow_dot(cr, x, y, 12, {1.0, 0.9, 0.6}, 1.2);
    if (s.turning_col >= 0) {
        // A curved arrow around the piece in hand.
        const double cx = centre_x(s.turning_col), cy = centre_y(s.turning_row);
        cairo_save(cr);
        cairo_set_source_rgba(cr, 1.0, 0.9, 0.5, 0.9);
        cairo_set_line_width(cr, 1.6);
        cairo_arc(cr, cx, cy, 21, art::pi * 1.1, art::pi * 1.75);
        cairo_stroke(cr);
        const double ax = cx + 21 * std::cos(art::pi * 1.75),
                     ay = cy + 21 * std::sin(art::pi * 1.75);
        cairo_move_to(cr, ax + 5, ay + 1);
        cairo_line_to(cr, ax - 3, ay - 4);
        cairo_line_to(cr, ax - 1, ay + 5);
        cairo_close_path(cr);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    // Caption under the board.
    art::select_font(cr, true, 13);
    const double w = art::label_width(cr, s.caption);
    cairo_move_to(cr, x0 + 100 - w / 2, y0 + 190);
    cairo_set_source_rgb(cr, 0.75, 0.85, 1.0);
    cairo_show_text(cr, s.caption);
}

}  // namespace

void write_how_to_play(const std::string& dir) {
    art::canvas c(800, 600, false);
    cairo_t* cr = c.cr;
    cairo_set_source_rgb(cr, 0.035, 0.04, 0.09);
    cairo_paint(cr);
    art::rng random(8);
    art::starfield(cr, random, 0, 0, 800, 600, 300, 0.4);
    const std::vector<scene> scenes = {
        {"Lamps", {{laser, 0, 2, 2, 1}, {lamp, 4, 2, 1}, {lamp, 2, 4, 3}}},
        {"Mirrors", {{laser, 0, 4, 2, 0}, {mirror, 3, 4, 7}, {mirror, 3, 1, 5}, {lamp, 0, 1, 0}}},
        {"Turning", {{laser, 0, 2, 2, 2}, {mirror, 2, 2, 5}, {lamp, 2, 4, 2}}, 2, 2},
        {"Double mirror",
         {{laser, 0, 2, 2, 0}, {laser, 0, 0, 3, 1}, {laser, 0, 4, 1, 3}, {double_mirror, 2, 2, 0}}},
        {"Prism", {{laser, 0, 3, 2, 0}, {prism, 2, 3, 0}, {lamp, 4, 1, 0}}},
        {"Double prism",
         {{laser, 0, 2, 2, 1}, {double_prism, 2, 2, 6}, {lamp, 2, 0, 1}, {lamp, 2, 4, 1}}},
        {"Spheres and walls",
         {{laser, 0, 1, 2, 0},
          {sphere, 2, 1, 2},
          {lamp, 4, 1, 2},
          {laser, 0, 3, 2, 1},
          {wall, 3, 3, 0}}},
        {"Mixing colours", {{laser, 0, 2, 2, 1}, {laser, 2, 4, 0, 2}, {lamp, 2, 2, 4}}},
    };
    for (size_t i = 0; i < scenes.size(); ++i) {
        const double x0 = 200.0 * (i % 4), y0 = 200.0 * (i / 4);
        art::rounded_rect(cr, x0 + 6, y0 + 3, 188, 194, 8);
        cairo_set_source_rgba(cr, 0.3, 0.5, 0.85, 0.5);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        draw_scene(cr, scenes[i], x0, y0);
    }
    // The bottom row is left for the tip text (from y 420) and the main-menu button.
    art::select_font(cr, false, 14);
    const std::string hint = "Rest the mouse on a picture to read about it.";
    cairo_move_to(cr, 400 - art::label_width(cr, hint) / 2, 535);
    cairo_set_source_rgb(cr, 0.45, 0.55, 0.75);
    cairo_show_text(cr, hint.c_str());
    art::write_jpeg(c, dir + "/how_to_play.jpg", 90);
}

}  // namespace pictures

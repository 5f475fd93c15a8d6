// The board pieces: every frame shows what the piece does to a beam in that orientation.
//
// Looks shared by all pieces: cool steel housings, pale glass, silver mirror faces with a dark
// backing. Beam paths that a piece lets through are hinted by faint lines, so a player can
// read the piece's rule off the picture. Those paths, the way a mirror faces and the lie of
// a double mirror's plates are all worked out from the game's own beam rules, never restated.
#include "pieces.h"

#include "board/beam_rules.h"

#include <algorithm>
#include <cmath>

namespace pieces {

using art::dir_x;
using art::dir_y;
using art::pi;
using art::rgb;

namespace {

const rgb steel_light{0.72, 0.78, 0.88};
const rgb steel_dark{0.22, 0.25, 0.33};
const rgb glass{0.55, 0.85, 1.0};
const rgb mirror_face{0.93, 0.97, 1.0};
const rgb mirror_back{0.16, 0.17, 0.24};
const rgb path_hint{0.55, 0.9, 1.0};
// The lens at a laser's muzzle, in pixels at scale 1.
constexpr double lens_radius = 4.5;

// Distance from the cell's centre to its edge along direction d (to the corner on diagonals).
double edge_distance(int d) { return d % 2 == 0 ? 17.5 : 17.5 * std::sqrt(2.0); }

void line(cairo_t* cr, double x1, double y1, double x2, double y2) {
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
}

// A faint line from the centre to the cell's edge in direction d: a path a beam can take.
void path_to_edge(cairo_t* cr, double cx, double cy, double s, int d, double alpha) {
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    const double len = edge_distance(d) * s;
    art::set_rgb(cr, path_hint, alpha * 0.35);
    cairo_set_line_width(cr, 3.2 * s);
    line(cr, cx, cy, cx + dir_x(d) * len, cy + dir_y(d) * len);
    cairo_stroke(cr);
    art::set_rgb(cr, path_hint, alpha);
    cairo_set_line_width(cr, 1.0 * s);
    line(cr, cx, cy, cx + dir_x(d) * len, cy + dir_y(d) * len);
    cairo_stroke(cr);
    cairo_restore(cr);
}

// A small arrow head at distance dist from the centre, pointing in direction d.
void arrow_head(cairo_t* cr, double cx, double cy, double s, int d, double dist, double size, rgb c,
                double alpha) {
    const double ux = dir_x(d), uy = dir_y(d);
    const double px = -uy, py = ux;
    const double tx = cx + ux * dist * s, ty = cy + uy * dist * s;
    cairo_move_to(cr, tx + ux * size * s, ty + uy * size * s);
    cairo_line_to(cr, tx + px * size * 0.8 * s, ty + py * size * 0.8 * s);
    cairo_line_to(cr, tx - px * size * 0.8 * s, ty - py * size * 0.8 * s);
    cairo_close_path(cr);
    art::set_rgb(cr, c, alpha);
    cairo_fill(cr);
}

void metal_disc(cairo_t* cr, double cx, double cy, double r) {
    cairo_pattern_t* p =
        cairo_pattern_create_radial(cx - r * 0.4, cy - r * 0.5, r * 0.1, cx, cy, r * 1.1);
    cairo_pattern_add_color_stop_rgb(p, 0, steel_light.r, steel_light.g, steel_light.b);
    cairo_pattern_add_color_stop_rgb(p, 1, steel_dark.r, steel_dark.g, steel_dark.b);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, r, 0, 2 * pi);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_source_rgba(cr, 0.05, 0.06, 0.1, 0.9);
    cairo_set_line_width(cr, std::max(1.0, r * 0.1));
    cairo_stroke(cr);
}

// One mirror plate across direction d, centred at offset along d from the cell's centre.
// The silver face looks toward d; with a backing, the other side is dark and does not reflect.
void plate(cairo_t* cr, double cx, double cy, double s, int d, double offset, double half_length,
           bool backed) {
    const double ux = dir_x(d), uy = dir_y(d);
    const double px = -uy, py = ux;
    const double ox = cx + ux * offset * s, oy = cy + uy * offset * s;
    const double hl = half_length * s;
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    if (backed) {
        // Backing: a dark bar behind the face, with hatching.
        const double bx = ox - ux * 2.6 * s, by = oy - uy * 2.6 * s;
        art::set_rgb(cr, mirror_back);
        cairo_set_line_width(cr, 4.2 * s);
        line(cr, bx - px * hl, by - py * hl, bx + px * hl, by + py * hl);
        cairo_stroke(cr);
        art::set_rgb(cr, {0.3, 0.32, 0.42}, 0.9);
        cairo_set_line_width(cr, 0.7 * s);
        for (double t = -hl + 2.5 * s; t < hl - 1.0 * s; t += 3.2 * s) {
            const double x0 = bx + px * t - ux * 1.8 * s, y0 = by + py * t - uy * 1.8 * s;
            line(cr, x0, y0, x0 + (px + ux) * 2.4 * s, y0 + (py + uy) * 2.4 * s);
        }
        cairo_stroke(cr);
    }
    // The silver face.
    art::set_rgb(cr, {0.45, 0.55, 0.7});
    cairo_set_line_width(cr, 2.8 * s);
    line(cr, ox - px * hl, oy - py * hl, ox + px * hl, oy + py * hl);
    cairo_stroke(cr);
    art::set_rgb(cr, mirror_face);
    cairo_set_line_width(cr, 1.5 * s);
    line(cr, ox - px * hl + ux * 0.5 * s, oy - py * hl + uy * 0.5 * s, ox + px * hl + ux * 0.5 * s,
         oy + py * hl + uy * 0.5 * s);
    cairo_stroke(cr);
    cairo_restore(cr);
}

// A soft sheen in front of a reflecting face, so the side that works is plain to see.
void face_sheen(cairo_t* cr, double cx, double cy, double s, int d, double offset,
                double half_length) {
    const double ux = dir_x(d), uy = dir_y(d);
    const double px = -uy, py = ux;
    const double ox = cx + ux * offset * s, oy = cy + uy * offset * s;
    const double hl = half_length * s;
    cairo_pattern_t* p = cairo_pattern_create_linear(ox, oy, ox + ux * 7 * s, oy + uy * 7 * s);
    cairo_pattern_add_color_stop_rgba(p, 0, 0.7, 0.9, 1.0, 0.6);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.7, 0.9, 1.0, 0.0);
    cairo_set_source(cr, p);
    cairo_move_to(cr, ox - px * hl, oy - py * hl);
    cairo_line_to(cr, ox + px * hl, oy + py * hl);
    cairo_line_to(cr, ox + px * hl * 0.6 + ux * 7 * s, oy + py * hl * 0.6 + uy * 7 * s);
    cairo_line_to(cr, ox - px * hl * 0.6 + ux * 7 * s, oy - py * hl * 0.6 + uy * 7 * s);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// The direction (0 to 7) closest to the vector (x, y) on the screen.
int nearest_dir(double x, double y) {
    const double angle = std::atan2(x, -y) * 180 / pi;  // 0 up, clockwise
    return static_cast<int>(std::lround((angle < 0 ? angle + 360 : angle) / 45)) % 8;
}

// The way a one-sided mirror's silver face looks: halfway between where the beams it turns
// come from and where they go.
int mirror_facing(int orientation) {
    double x = 0, y = 0;
    for (int d = 0; d < 8; ++d) {
        const int out = mirror_exit_dir(orientation, d);
        if (out == beam_stops) continue;
        x += dir_x((d + 4) % 8) + dir_x(out);
        y += dir_y((d + 4) % 8) + dir_y(out);
    }
    return nearest_dir(x, y);
}

// The direction across a double mirror's plates: square to the beams that pass between them.
int double_mirror_across(int orientation) {
    for (int d = 0; d < 8; ++d) {
        if (double_mirror_exit_dir(orientation, d) == d) return (d + 2) % 8;
    }
    return orientation;
}

}  // namespace

rgb beam_colour(int code) {
    static const rgb colours[] = {{1, 1, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    return colours[code];
}

rgb lamp_colour(int code) {
    static const rgb colours[] = {{1, 1, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1},
                                  {1, 1, 0}, {0, 1, 1}, {1, 0, 1}};
    return colours[code];
}

void laser(cairo_t* cr, double cx, double cy, double s, int dir, bool lens_lit) {
    const double ux = dir_x(dir), uy = dir_y(dir);
    const double px = -uy, py = ux;
    // Mounting plate: a square foot, so a laser never looks like a lamp or a sphere.
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    art::rounded_rect(cr, -12 * s, -12 * s, 24 * s, 24 * s, 4 * s);
    cairo_set_source_rgba(cr, 0.13, 0.15, 0.22, 1);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0.42, 0.47, 0.6, 1);
    cairo_set_line_width(cr, 1.0 * s);
    cairo_stroke(cr);
    cairo_restore(cr);
    metal_disc(cr, cx, cy, 8.5 * s);
    // The barrel, pointing where the beam goes.
    const double b0 = 2 * s, b1 = (dir % 2 == 0 ? 15.5 : 18.5) * s, w = 3.4 * s;
    cairo_move_to(cr, cx + ux * b0 + px * w, cy + uy * b0 + py * w);
    cairo_line_to(cr, cx + ux * b1 + px * w * 0.8, cy + uy * b1 + py * w * 0.8);
    cairo_line_to(cr, cx + ux * b1 - px * w * 0.8, cy + uy * b1 - py * w * 0.8);
    cairo_line_to(cr, cx + ux * b0 - px * w, cy + uy * b0 - py * w);
    cairo_close_path(cr);
    cairo_pattern_t* p =
        cairo_pattern_create_linear(cx + px * w, cy + py * w, cx - px * w, cy - py * w);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.85, 0.9, 1.0);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.3, 0.34, 0.45);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_source_rgba(cr, 0.05, 0.06, 0.1, 1);
    cairo_set_line_width(cr, 0.8 * s);
    cairo_stroke(cr);
    // The lens at the muzzle. A picture of a working laser shows it glowing; the board's strip
    // leaves an empty socket there, which the lens picture fills in the laser's own colour.
    if (lens_lit) {
        art::glow_dot(cr, cx + ux * b1, cy + uy * b1, 5.5 * s, {1.0, 0.95, 0.85}, 1.0);
    } else {
        cairo_arc(cr, cx + ux * b1, cy + uy * b1, lens_radius * s, 0, 2 * pi);
        cairo_set_source_rgba(cr, 0.04, 0.05, 0.08, 1);
        cairo_fill_preserve(cr);
        cairo_set_source_rgba(cr, 0.42, 0.47, 0.6, 1);
        cairo_set_line_width(cr, 0.8 * s);
        cairo_stroke(cr);
    }
}

namespace {

// The lens of a laser pointing in direction dir, in white so that the game tints it with the
// beam's colour. Lit: a bright core in a soft halo, to be added to the picture below. Dark: a
// glass bead with a rim and a highlight, drawn dimmed, so a switched-off laser still names its
// colour.
void laser_lens(cairo_t* cr, double cx, double cy, double s, int dir, bool lit) {
    const double b1 = (dir % 2 == 0 ? 15.5 : 18.5) * s;
    const double x = cx + dir_x(dir) * b1, y = cy + dir_y(dir) * b1;
    if (lit) {
        art::glow_dot(cr, x, y, 9.0 * s, {1, 1, 1}, 1.0);
        cairo_arc(cr, x, y, (lens_radius - 1.0) * s, 0, 2 * pi);
        cairo_set_source_rgba(cr, 1, 1, 1, 1);
        cairo_fill(cr);
        return;
    }
    const double r = lens_radius * s;
    cairo_pattern_t* p = cairo_pattern_create_radial(x - r * 0.3, y - r * 0.3, r * 0.1, x, y, r);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.95, 0.95, 0.95);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.55, 0.55, 0.55);
    cairo_set_source(cr, p);
    cairo_arc(cr, x, y, r, 0, 2 * pi);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_source_rgba(cr, 0.3, 0.3, 0.3, 1);
    cairo_set_line_width(cr, 0.8 * s);
    cairo_stroke(cr);
}

}  // namespace

void lamp(cairo_t* cr, double cx, double cy, double s, int lamp_colour_code) {
    const rgb c = lamp_colour(lamp_colour_code);
    const double by = cy - 2.5 * s, r = 10 * s;
    // Socket below the bulb.
    art::rounded_rect(cr, cx - 6 * s, cy + 6 * s, 12 * s, 9.5 * s, 1.5 * s);
    cairo_set_source_rgb(cr, 0.35, 0.38, 0.46);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 0.12, 0.13, 0.18, 1);
    cairo_set_line_width(cr, 0.9 * s);
    for (int i = 0; i < 3; ++i) {
        line(cr, cx - 6 * s, cy + (8.5 + 2.5 * i) * s, cx + 6 * s, cy + (8.5 + 2.5 * i) * s);
    }
    cairo_stroke(cr);
    // Unlit glass in the lamp's colour: clearly coloured, but far from the glow of a lit lamp.
    cairo_pattern_t* p =
        cairo_pattern_create_radial(cx - r * 0.35, by - r * 0.4, r * 0.1, cx, by, r * 1.05);
    const double lift = 0.18;
    cairo_pattern_add_color_stop_rgb(p, 0, lift + c.r * 0.62, lift + c.g * 0.62, lift + c.b * 0.62);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.05 + c.r * 0.3, 0.05 + c.g * 0.3, 0.07 + c.b * 0.3);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, by, r, 0, 2 * pi);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_source_rgba(cr, c.r * 0.6 + 0.3, c.g * 0.6 + 0.3, c.b * 0.6 + 0.3, 0.9);
    cairo_set_line_width(cr, 1.1 * s);
    cairo_stroke(cr);
    // Filament.
    cairo_set_source_rgba(cr, 0.1, 0.1, 0.12, 0.7);
    cairo_set_line_width(cr, 0.9 * s);
    cairo_move_to(cr, cx - 3.5 * s, by + 6 * s);
    cairo_line_to(cr, cx - 3.5 * s, by + 1 * s);
    cairo_curve_to(cr, cx - 2 * s, by - 2.5 * s, cx + 2 * s, by - 2.5 * s, cx + 3.5 * s,
                   by + 1 * s);
    cairo_line_to(cr, cx + 3.5 * s, by + 6 * s);
    cairo_stroke(cr);
    // Highlight.
    cairo_set_source_rgba(cr, 1, 1, 1, 0.55);
    cairo_arc(cr, cx - 4 * s, by - 4 * s, 2.2 * s, 0, 2 * pi);
    cairo_fill(cr);
    // A lamp that needs two beams shows the two colours it needs on its socket.
    static const int needs[7][2] = {{-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}, {1, 2}, {2, 3}, {1, 3}};
    if (needs[lamp_colour_code][0] >= 0) {
        for (int i = 0; i < 2; ++i) {
            const rgb n = beam_colour(needs[lamp_colour_code][i]);
            const double dx = (i == 0 ? -3.2 : 3.2) * s;
            cairo_arc(cr, cx + dx, cy + 12.5 * s, 2.3 * s, 0, 2 * pi);
            cairo_set_source_rgb(cr, std::max(n.r, 0.15), std::max(n.g, 0.15), std::max(n.b, 0.25));
            cairo_fill_preserve(cr);
            cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
            cairo_set_line_width(cr, 0.7 * s);
            cairo_stroke(cr);
        }
    }
}

void wall(cairo_t* cr, double cx, double cy, double s) {
    const double x0 = cx - 17.5 * s, y0 = cy - 17.5 * s, size = 35 * s;
    cairo_rectangle(cr, x0, y0, size, size);
    cairo_set_source_rgb(cr, 0.1, 0.11, 0.15);
    cairo_fill(cr);
    // Blocks in three courses, bevelled.
    const double course = size / 3;
    for (int row = 0; row < 3; ++row) {
        const double shift = (row % 2 == 0) ? 0 : -size / 4;
        for (int col = 0; col < 3; ++col) {
            double bx = x0 + shift + col * size / 2;
            double bw = size / 2;
            if (bx < x0) {
                bw -= x0 - bx;
                bx = x0;
            }
            if (bx + bw > x0 + size) bw = x0 + size - bx;
            if (bw <= 1) continue;
            const double by = y0 + row * course;
            const double inset = 1.0 * s;
            cairo_rectangle(cr, bx + inset, by + inset, bw - 2 * inset, course - 2 * inset);
            cairo_pattern_t* p = cairo_pattern_create_linear(bx, by, bx + bw, by + course);
            const double tone = 0.34 + 0.05 * ((row * 3 + col) % 3);
            cairo_pattern_add_color_stop_rgb(p, 0, tone + 0.1, tone + 0.12, tone + 0.2);
            cairo_pattern_add_color_stop_rgb(p, 1, tone - 0.12, tone - 0.11, tone - 0.05);
            cairo_set_source(cr, p);
            cairo_fill(cr);
            cairo_pattern_destroy(p);
            cairo_set_source_rgba(cr, 0.7, 0.75, 0.85, 0.35);
            cairo_set_line_width(cr, 0.7 * s);
            line(cr, bx + inset, by + course - inset, bx + inset, by + inset);
            cairo_line_to(cr, bx + bw - inset, by + inset);
            cairo_stroke(cr);
        }
    }
    cairo_rectangle(cr, x0 + 0.5 * s, y0 + 0.5 * s, size - 1 * s, size - 1 * s);
    cairo_set_source_rgba(cr, 0.02, 0.02, 0.04, 1);
    cairo_set_line_width(cr, 1.0 * s);
    cairo_stroke(cr);
}

void bomb(cairo_t* cr, double cx, double cy, double s) {
    const double bx = cx - 1 * s, by = cy + 2 * s, r = 11 * s;
    // Fuse and its spark.
    cairo_set_source_rgb(cr, 0.55, 0.45, 0.3);
    cairo_set_line_width(cr, 1.6 * s);
    cairo_move_to(cr, bx + 6 * s, by - 9 * s);
    cairo_curve_to(cr, bx + 9 * s, by - 15 * s, bx + 12 * s, by - 12 * s, bx + 13 * s,
                   by - 15.5 * s);
    cairo_stroke(cr);
    art::glow_dot(cr, bx + 13 * s, by - 15.5 * s, 5 * s, {1.0, 0.75, 0.3}, 1.2);
    // Cap.
    cairo_save(cr);
    cairo_translate(cr, bx + 5.5 * s, by - 8.5 * s);
    cairo_rotate(cr, pi / 4);
    cairo_rectangle(cr, -3 * s, -2 * s, 6 * s, 4 * s);
    cairo_set_source_rgb(cr, 0.45, 0.48, 0.56);
    cairo_fill(cr);
    cairo_restore(cr);
    // Body.
    cairo_pattern_t* p =
        cairo_pattern_create_radial(bx - r * 0.4, by - r * 0.45, r * 0.05, bx, by, r);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.5, 0.5, 0.58);
    cairo_pattern_add_color_stop_rgb(p, 0.35, 0.16, 0.16, 0.2);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.04, 0.04, 0.06);
    cairo_set_source(cr, p);
    cairo_arc(cr, bx, by, r, 0, 2 * pi);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // A red warning light: this piece is dangerous to touch with a beam.
    art::glow_dot(cr, bx + 1 * s, by + 2 * s, 6 * s, {1.0, 0.1, 0.05}, 1.3);
    cairo_set_source_rgb(cr, 1.0, 0.35, 0.25);
    cairo_arc(cr, bx + 1 * s, by + 2 * s, 1.6 * s, 0, 2 * pi);
    cairo_fill(cr);
}

void translator(cairo_t* cr, double cx, double cy, double s, int dir) {
    // The way through: from the side it accepts to the side it lets out.
    for (int d = 0; d < 8; ++d) {
        const int out = translator_exit_dir(dir, d);
        if (out == beam_stops) continue;
        path_to_edge(cr, cx, cy, s, (d + 4) % 8, 0.55);
        path_to_edge(cr, cx, cy, s, out, 0.55);
    }
    // Housing: an octagonal gate ring.
    cairo_new_path(cr);
    for (int i = 0; i < 8; ++i) {
        const double a = (i + 0.5) * pi / 4;
        cairo_line_to(cr, cx + std::cos(a) * 11 * s, cy + std::sin(a) * 11 * s);
    }
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 0.2, 0.13, 0.06, 0.9);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.85, 0.55, 0.2);
    cairo_set_line_width(cr, 1.4 * s);
    cairo_stroke(cr);
    // The arrow of the one open direction.
    const double ux = dir_x(dir), uy = dir_y(dir);
    const double px = -uy, py = ux;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 2.2 * s);
    cairo_set_source_rgb(cr, 1.0, 0.78, 0.35);
    line(cr, cx - ux * 8 * s, cy - uy * 8 * s, cx + ux * 2 * s, cy + uy * 2 * s);
    cairo_stroke(cr);
    cairo_move_to(cr, cx + ux * 9.5 * s, cy + uy * 9.5 * s);
    cairo_line_to(cr, cx + ux * 1 * s + px * 6 * s, cy + uy * 1 * s + py * 6 * s);
    cairo_line_to(cr, cx + ux * 1 * s - px * 6 * s, cy + uy * 1 * s - py * 6 * s);
    cairo_close_path(cr);
    cairo_fill(cr);
    art::glow_dot(cr, cx + ux * 5 * s, cy + uy * 5 * s, 8 * s, {1.0, 0.6, 0.2}, 0.6);
    // Beyond the housing, the arrow's tip again: it points out of the cell.
    arrow_head(cr, cx, cy, s, dir, 13.5, 2.8, {1.0, 0.8, 0.4}, 0.9);
}

void mirror(cairo_t* cr, double cx, double cy, double s, int orientation) {
    const int face = mirror_facing(orientation);
    const double half = face % 2 == 0 ? 14.5 : 17;
    face_sheen(cr, cx, cy, s, face, 0.8, half);
    plate(cr, cx, cy, s, face, 0.0, half, true);
}

void double_mirror(cairo_t* cr, double cx, double cy, double s, int orientation) {
    // Two plates across the orientation; a beam along them passes through the gap between.
    const int across = double_mirror_across(orientation) % 4;
    const double half = across % 2 == 0 ? 14.5 : 17;
    const int back = across + 4;
    face_sheen(cr, cx, cy, s, across, 3.6, half);
    face_sheen(cr, cx, cy, s, back, 3.6, half);
    plate(cr, cx, cy, s, across, 3.6, half, false);
    plate(cr, cx, cy, s, back, 3.6, half, false);
    // Clamps at both ends hold the plates apart.
    const double px = -dir_y(across), py = dir_x(across);
    for (int side = -1; side <= 1; side += 2) {
        const double ex = cx + px * side * (half + 0.5) * s, ey = cy + py * side * (half + 0.5) * s;
        cairo_arc(cr, ex, ey, 2.6 * s, 0, 2 * pi);
        cairo_set_source_rgb(cr, 0.5, 0.55, 0.68);
        cairo_fill(cr);
    }
}

void prism(cairo_t* cr, double cx, double cy, double s, int orientation) {
    // The two lines it bends between, 45 degrees apart.
    bool axis[4] = {false, false, false, false};
    bool side[8] = {false, false, false, false, false, false, false, false};
    for (int d = 0; d < 8; ++d) {
        const int out = prism_exit_dir(orientation, d);
        if (out == beam_stops) continue;
        side[(d + 4) % 8] = side[out] = true;
        axis[d % 4] = true;
    }
    for (int d = 0; d < 8; ++d) {
        if (side[d]) path_to_edge(cr, cx, cy, s, d, 0.6);
    }
    // The first of the two lines, clockwise: the other lies 45 degrees further on.
    int a = 0;
    while (!(axis[a] && axis[(a + 1) % 4])) ++a;
    // Glass triangle, its tip between the two lines.
    const double tip = (45.0 * a + 22.5) * pi / 180;
    cairo_new_path(cr);
    for (int i = 0; i < 3; ++i) {
        const double ang = tip + i * 2 * pi / 3;
        cairo_line_to(cr, cx + std::sin(ang) * 11.5 * s, cy - std::cos(ang) * 11.5 * s);
    }
    cairo_close_path(cr);
    cairo_pattern_t* p =
        cairo_pattern_create_linear(cx - 10 * s, cy - 10 * s, cx + 10 * s, cy + 10 * s);
    cairo_pattern_add_color_stop_rgba(p, 0, 0.8, 0.95, 1.0, 0.75);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 0.35, 0.7, 0.95, 0.45);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.6, 0.4, 0.95, 0.65);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    art::set_rgb(cr, {0.85, 0.97, 1.0}, 0.95);
    cairo_set_line_width(cr, 1.3 * s);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    art::glow_dot(cr, cx, cy, 4 * s, glass, 0.8);
}

void double_prism(cairo_t* cr, double cx, double cy, double s, int travel_dir) {
    // The beam comes in from behind and leaves to both sides: the orientation this frame is
    // drawn for is four turns from the way the accepted beam travels.
    const int orientation = (travel_dir + 4) % 8;
    int left = -1, right = -1;
    for (int d = 0; d < 8; ++d) {
        const int out = double_prism_exit_dir(orientation, d);
        if (out == beam_stops) continue;
        right = out;
        left = double_prism_split_dir(orientation, d);
        path_to_edge(cr, cx, cy, s, (d + 4) % 8, 0.65);
        path_to_edge(cr, cx, cy, s, left, 0.65);
        path_to_edge(cr, cx, cy, s, right, 0.65);
    }
    // A wedge whose point meets the incoming beam.
    const double ux = dir_x(travel_dir), uy = dir_y(travel_dir);
    const double px = -uy, py = ux;
    cairo_new_path(cr);
    cairo_move_to(cr, cx - ux * 10 * s, cy - uy * 10 * s);
    cairo_line_to(cr, cx + ux * 6 * s + px * 12 * s, cy + uy * 6 * s + py * 12 * s);
    cairo_line_to(cr, cx + ux * 6 * s - px * 12 * s, cy + uy * 6 * s - py * 12 * s);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(cx - ux * 10 * s, cy - uy * 10 * s,
                                                     cx + ux * 6 * s, cy + uy * 6 * s);
    cairo_pattern_add_color_stop_rgba(p, 0, 1.0, 0.8, 1.0, 0.85);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.55, 0.35, 0.9, 0.55);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    art::set_rgb(cr, {1.0, 0.88, 1.0}, 0.95);
    cairo_set_line_width(cr, 1.3 * s);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    // Arrow heads on the two ways out.
    const double out_dist = travel_dir % 2 == 0 ? 14.0 : 17.5;
    arrow_head(cr, cx, cy, s, left, out_dist, 2.8, {1.0, 0.85, 1.0}, 0.95);
    arrow_head(cr, cx, cy, s, right, out_dist, 2.8, {1.0, 0.85, 1.0}, 0.95);
}

void colour_sphere(cairo_t* cr, double cx, double cy, double s, int beam_colour_code) {
    const rgb c = beam_colour(beam_colour_code);
    const double r = 10.5 * s;
    // A thin halo ring in the colour the beam takes.
    cairo_arc(cr, cx, cy, 14.5 * s, 0, 2 * pi);
    art::set_rgb(cr, {0.3 + c.r * 0.7, 0.3 + c.g * 0.7, 0.3 + c.b * 0.7}, 0.55);
    cairo_set_line_width(cr, 1.0 * s);
    cairo_stroke(cr);
    art::glow_dot(cr, cx, cy, 16 * s, c, 0.35);
    cairo_pattern_t* p =
        cairo_pattern_create_radial(cx - r * 0.4, cy - r * 0.45, r * 0.05, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.7 + c.r * 0.3, 0.7 + c.g * 0.3, 0.7 + c.b * 0.3);
    cairo_pattern_add_color_stop_rgb(p, 0.45, 0.1 + c.r * 0.8, 0.1 + c.g * 0.8, 0.12 + c.b * 0.8);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.04 + c.r * 0.3, 0.04 + c.g * 0.3, 0.06 + c.b * 0.3);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, r, 0, 2 * pi);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
    cairo_arc(cr, cx - r * 0.38, cy - r * 0.42, r * 0.2, 0, 2 * pi);
    cairo_fill(cr);
}

namespace {

template <typename Draw>
void write_strip(const std::string& path, int frames, Draw draw) {
    art::canvas c(35 * frames, 35, true);
    for (int k = 0; k < frames; ++k) {
        cairo_save(c.cr);
        cairo_rectangle(c.cr, 35 * k, 0, 35, 35);
        cairo_clip(c.cr);
        draw(c.cr, 35 * k + 17.5, 17.5, k);
        cairo_restore(c.cr);
    }
    art::write_png(c, path);
}

// 13 by 13 frames, in lamp colour order: white, red, green, blue, yellow, sky blue, violet.
void write_marks(const std::string& path) {
    constexpr int size = 13;
    const char* letters[] = {"W", "R", "G", "B", "Y", "S", "V"};
    art::canvas c(size * 7, size, true);
    for (int k = 0; k < 7; ++k) {
        const double cx = size * k + size / 2.0, cy = size / 2.0;
        cairo_arc(c.cr, cx, cy, size / 2.0 - 0.3, 0, 2 * pi);
        cairo_set_source_rgba(c.cr, 0.03, 0.04, 0.07, 0.9);
        cairo_fill_preserve(c.cr);
        cairo_set_source_rgba(c.cr, 0.85, 0.88, 0.95, 0.9);
        cairo_set_line_width(c.cr, 0.8);
        cairo_stroke(c.cr);
        art::select_font(c.cr, true, 9.5);
        cairo_text_extents_t e;
        cairo_text_extents(c.cr, letters[k], &e);
        cairo_move_to(c.cr, cx - e.width / 2 - e.x_bearing, cy - e.height / 2 - e.y_bearing);
        cairo_set_source_rgba(c.cr, 1, 1, 1, 1);
        cairo_show_text(c.cr, letters[k]);
    }
    art::write_png(c, path);
}

template <typename Draw>
void write_single(const std::string& path, int w, int h, Draw draw) {
    art::canvas c(w, h, true);
    draw(c.cr);
    art::write_png(c, path);
}

}  // namespace

void write_all(const std::string& dir) {
    write_strip(dir + "/laser.png", 8,
                [](cairo_t* cr, double x, double y, int k) { laser(cr, x, y, 1, k, false); });
    // Frames 0 to 7 the lit lens of each direction, 8 to 15 the dark one.
    write_strip(dir + "/laser_lens.png", 16, [](cairo_t* cr, double x, double y, int k) {
        laser_lens(cr, x, y, 1, k % 8, k < 8);
    });
    // The colour-blind aid's marks, one per lamp colour: a letter on a dark badge.
    write_marks(dir + "/colour_marks.png");
    write_strip(dir + "/lamp.png", 7,
                [](cairo_t* cr, double x, double y, int k) { lamp(cr, x, y, 1, k); });
    write_strip(dir + "/wall.png", 1,
                [](cairo_t* cr, double x, double y, int) { wall(cr, x, y, 1); });
    write_strip(dir + "/bomb.png", 1,
                [](cairo_t* cr, double x, double y, int) { bomb(cr, x, y, 1); });
    write_strip(dir + "/translator.png", 8,
                [](cairo_t* cr, double x, double y, int k) { translator(cr, x, y, 1, k); });
    write_strip(dir + "/mirror.png", 8,
                [](cairo_t* cr, double x, double y, int k) { mirror(cr, x, y, 1, k); });
    write_strip(dir + "/double_mirror.png", 8,
                [](cairo_t* cr, double x, double y, int k) { double_mirror(cr, x, y, 1, k); });
    write_strip(dir + "/prism.png", 4,
                [](cairo_t* cr, double x, double y, int k) { prism(cr, x, y, 1, k); });
    write_strip(dir + "/double_prism.png", 8,
                [](cairo_t* cr, double x, double y, int k) { double_prism(cr, x, y, 1, k); });
    write_strip(dir + "/color_translator.png", 4,
                [](cairo_t* cr, double x, double y, int k) { colour_sphere(cr, x, y, 1, k); });
    // The side panel's pieces, twice the board size, above the room for the stock count.
    constexpr int big_w = 100, big_h = 88;
    write_single(dir + "/mirror_big.png", big_w, big_h,
                 [](cairo_t* cr) { mirror(cr, 52, 42, 2, 1); });
    write_single(dir + "/double_mirror_big.png", big_w, big_h,
                 [](cairo_t* cr) { double_mirror(cr, 52, 42, 2, 1); });
    write_single(dir + "/prism_big.png", big_w, big_h,
                 [](cairo_t* cr) { prism(cr, 50, 42, 2, 0); });
    write_single(dir + "/double_prism_big.png", big_w, big_h,
                 [](cairo_t* cr) { double_prism(cr, 50, 42, 2, 0); });
    const char* sphere_names[] = {"white", "red", "green", "blue"};
    for (int k = 0; k < 4; ++k) {
        write_single(dir + "/translator_" + sphere_names[k] + ".png", big_w, big_h,
                     [k](cairo_t* cr) { colour_sphere(cr, 50, 50, 1.6, k); });
    }
}

}  // namespace pieces

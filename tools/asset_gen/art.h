// Shared drawing tools of the content generator: canvases, file writers, labels, glows.
#pragma once

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace art {

constexpr double pi = 3.14159265358979323846;

// A drawing surface. With alpha it is written as an RGBA PNG (the game keeps that alpha);
// without, as RGB (PNG or JPEG, whose pure black the game masks out).
struct canvas {
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    int width = 0;
    int height = 0;
    bool alpha = true;

    canvas(int w, int h, bool with_alpha);
    ~canvas();
    canvas(const canvas&) = delete;
    canvas& operator=(const canvas&) = delete;
};

void write_png(canvas& c, const std::string& path);
void write_jpeg(canvas& c, const std::string& path, int quality);

// The DejaVu faces used for every drawn label (found in the folder given at start).
void set_font_dir(const std::string& dir);
std::string font_path(bool bold);
void select_font(cairo_t* cr, bool bold, double size);
double label_width(cairo_t* cr, const std::string& text);

struct rgb {
    double r, g, b;
};

void set_rgb(cairo_t* cr, rgb c, double a = 1.0);

// A deterministic random source: the same art on every machine.
struct rng {
    uint64_t state;
    explicit rng(uint64_t seed) : state(seed * 6364136223846793005ULL + 1442695040888963407ULL) {}
    uint32_t next() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<uint32_t>(state >> 33);
    }
    double uniform() { return next() / 2147483648.0; }  // [0, 1)
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
};

// Unit step of board direction d (0 up, clockwise, 45 degrees apart) in screen coordinates.
inline double dir_x(int d) { return std::sin(d * pi / 4); }
inline double dir_y(int d) { return -std::cos(d * pi / 4); }

// A line that glows: wide faint strokes under a bright core, added to what is below.
void glow_line(cairo_t* cr, double x1, double y1, double x2, double y2, rgb c, double width,
               double strength = 1.0);
// The same along a path of points (x0, y0, x1, y1, ...), with round joins, so that a beam
// turning at a piece shows no bright knot at the corner.
void glow_path(cairo_t* cr, const std::vector<double>& points, rgb c, double width,
               double strength = 1.0);
// A round soft glow of radius r, additive.
void glow_dot(cairo_t* cr, double x, double y, double r, rgb c, double strength = 1.0);
void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r);
// Stars of a night sky, scattered over the rectangle.
void starfield(cairo_t* cr, rng& random, double x, double y, double w, double h, int count,
               double brightness);
// A soft cloud of colour, for nebulas.
void nebula(cairo_t* cr, rng& random, double cx, double cy, double radius, rgb c, double a,
            int puffs);

// Text with its left end at x and its baseline at y, with a glow around it.
void glowing_label(cairo_t* cr, const std::string& text, double x, double y, double size, rgb core,
                   rgb glow, double glow_strength = 1.0);

}  // namespace art

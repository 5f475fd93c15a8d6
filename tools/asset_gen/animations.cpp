// The animation strips, drawn on pure black: they are JPEGs, drawn by the game in light
// (additive) mode, where black adds nothing and the game masks pure black anyway.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "art.h"
#include "pictures.h"

namespace pictures {

namespace {

using art::rgb;

template <typename Draw>
void write_strip(const std::string& path, int cell, int frames, Draw draw) {
    art::canvas c(cell * frames, cell, false);
    for (int k = 0; k < frames; ++k) {
        cairo_save(c.cr);
        cairo_rectangle(c.cr, cell * k, 0, cell, cell);
        cairo_clip(c.cr);
        cairo_translate(c.cr, cell * k + cell / 2.0, cell / 2.0);
        draw(c.cr, k);
        cairo_restore(c.cr);
    }
    art::write_jpeg(c, path, 88);
}

struct particle {
    double angle, speed, size, phase;
    rgb colour;
};

std::vector<particle> scatter(uint64_t seed, int count, double min_speed, double max_speed,
                              double spread_from, double spread_to, std::vector<rgb> colours) {
    art::rng random(seed);
    std::vector<particle> out;
    for (int i = 0; i < count; ++i) {
        particle p;
        p.angle = random.range(spread_from, spread_to);
        p.speed = random.range(min_speed, max_speed);
        p.size = random.range(0.6, 1.4);
        p.phase = random.uniform();
        p.colour = colours[random.next() % colours.size()];
        out.push_back(p);
    }
    return out;
}

// A bomb going off: flash, fireball, shock ring, flying sparks, and smoke that fades to
// almost nothing by the last frame, which stays under the message window.
void bomb_animation(const std::string& dir) {
    const auto sparks = scatter(31, 46, 1.0, 3.2, 0, 2 * art::pi,
                                {{1.0, 0.8, 0.4}, {1.0, 0.55, 0.2}, {1.0, 0.95, 0.7}});
    write_strip(dir + "/bomb_animation.jpg", 150, 39, [&](cairo_t* cr, int k) {
        const double t = k / 38.0;
        if (k < 6) art::glow_dot(cr, 0, 0, 20 + 10 * k, {1.0, 0.97, 0.9}, 1.6 - k * 0.22);
        const double fire = std::max(0.0, 1.0 - t / 0.65);
        if (fire > 0) {
            const double r = 18 + 50 * std::sqrt(t / 0.65);
            art::glow_dot(cr, 0, 0, r, {1.0, 0.55, 0.15}, 1.3 * fire);
            art::glow_dot(cr, 0, 0, r * 0.55, {1.0, 0.85, 0.45}, 1.2 * fire * fire);
        }
        const double ring = 10 + 62 * std::sqrt(t);
        const double ring_a = std::max(0.0, 0.7 * (1.0 - t / 0.55));
        if (ring_a > 0) {
            cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
            cairo_set_source_rgba(cr, 1.0, 0.75, 0.45, ring_a);
            cairo_set_line_width(cr, 3);
            cairo_arc(cr, 0, 0, ring, 0, 2 * art::pi);
            cairo_stroke(cr);
        }
        for (const particle& p : sparks) {
            const double d = p.speed * 26 * (1 - std::exp(-k / 9.0));
            const double a = std::max(0.0, 1.0 - t / (0.6 + 0.35 * p.phase));
            if (a <= 0) continue;
            const double x = std::cos(p.angle) * d, y = std::sin(p.angle) * d + 0.02 * k * k;
            art::glow_dot(cr, x, y, 5 * p.size, p.colour, a * 1.3);
        }
        // Smoke and embers.
        const double smoke = std::max(0.0, std::sin(t * art::pi)) * 0.35 * (1 - t * 0.75);
        art::glow_dot(cr, 0, -6 * t, 60, {0.45, 0.35, 0.35}, smoke);
        art::glow_dot(cr, 0, 0, 14, {0.8, 0.25, 0.05}, 0.25 * (1 - t) + 0.05);
    });
}

// The glow of a colour sphere that a beam passes, looping over 20 frames: a pulsing halo
// with four motes circling it. Grey-white, tinted by the game with the sphere's colour.
void sphere_glow(const std::string& dir) {
    write_strip(dir + "/translator_animation.jpg", 128, 20, [](cairo_t* cr, int k) {
        const double phase = 2 * art::pi * k / 20.0;
        const double pulse = 0.8 + 0.2 * std::sin(phase);
        art::glow_dot(cr, 0, 0, 40 * pulse, {0.9, 0.9, 0.9}, 0.7);
        cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
        cairo_set_source_rgba(cr, 0.85, 0.85, 0.85, 0.45 * pulse);
        cairo_set_line_width(cr, 2);
        cairo_arc(cr, 0, 0, 17 + 2 * std::sin(phase), 0, 2 * art::pi);
        cairo_stroke(cr);
        for (int m = 0; m < 4; ++m) {
            const double a = phase / 2 + m * art::pi / 2;
            const double r = 22;
            art::glow_dot(cr, std::cos(a) * r, std::sin(a) * r * 0.8, 7, {1, 1, 1}, 0.9);
        }
    });
}

// Sparks where a beam hits a wall: they fly back to the right (the game turns the picture
// toward the beam). Each spark keeps its own phase, so the 20 frames loop.
void wall_spark(const std::string& dir) {
    const auto sparks = scatter(17, 26, 0.6, 1.0, -1.25, 1.25, {{1, 1, 1}, {1, 0.95, 0.85}});
    write_strip(dir + "/wall_animation.jpg", 128, 20, [&](cairo_t* cr, int k) {
        art::glow_dot(cr, 0, 0, 16 + 3 * std::sin(2 * art::pi * k / 20.0), {1, 1, 1}, 1.1);
        for (const particle& p : sparks) {
            const double life = std::fmod(k / 20.0 + p.phase, 1.0);
            const double d = 4 + 46 * life * p.speed;
            const double a = (1 - life) * (1 - life);
            const double x = std::cos(p.angle) * d, y = std::sin(p.angle) * d + 10 * life * life;
            const double tail = 5 * p.speed;
            art::glow_line(cr, x - std::cos(p.angle) * tail, y - std::sin(p.angle) * tail, x, y,
                           p.colour, 0.8 * p.size, a);
        }
    });
}

// Fireworks of a completed level: a flash, then two rings of coloured stars that spread,
// fall a little, twinkle and die out; the last frames are dark before the next burst.
void fireworks(const std::string& dir) {
    const auto outer = scatter(41, 44, 0.85, 1.0, 0, 2 * art::pi,
                               {{1.0, 0.35, 0.5}, {1.0, 0.8, 0.3}, {0.4, 0.8, 1.0}});
    const auto inner =
        scatter(43, 26, 0.35, 0.55, 0, 2 * art::pi, {{0.6, 1.0, 0.5}, {1.0, 1.0, 0.9}});
    write_strip(dir + "/lamp_fire.jpg", 150, 68, [&](cairo_t* cr, int k) {
        const double t = k / 67.0;
        if (k < 5) art::glow_dot(cr, 0, 0, 18 + 6 * k, {1, 0.95, 0.85}, 1.4 - 0.25 * k);
        const double spread = 1 - std::exp(-k / 12.0);
        const double fade = std::max(0.0, 1 - std::pow(t / 0.88, 2));
        if (fade <= 0) return;
        for (const auto* set : {&outer, &inner}) {
            for (const particle& p : *set) {
                const double d = 62 * p.speed * spread;
                const double x = std::cos(p.angle) * d;
                const double y = std::sin(p.angle) * d + 14 * t * t;
                const double twinkle = t > 0.4 ? 0.6 + 0.4 * std::sin(k * 1.7 + p.phase * 20) : 1.0;
                const double a = fade * twinkle;
                const double trail = 6 * (1 - spread) + 2;
                art::glow_line(cr, x - std::cos(p.angle) * trail, y - std::sin(p.angle) * trail, x,
                               y, p.colour, 1.0 * p.size, a);
                art::glow_dot(cr, x, y, 5 * p.size, p.colour, a);
            }
        }
    });
}

// A pack's marker on the galaxy map lighting up: a spark swells, a ring flashes outward and
// the marker settles into its resting look, which is the last frame (58).
void marker(cairo_t* cr, double strength) {
    art::glow_dot(cr, 0, 0, 42, {0.45, 0.7, 1.0}, 0.55 * strength);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    cairo_set_source_rgba(cr, 0.55, 0.85, 1.0, 0.9 * strength);
    cairo_set_line_width(cr, 2.2);
    cairo_arc(cr, 0, 0, 16, 0, 2 * art::pi);
    cairo_stroke(cr);
    for (int k = 0; k < 4; ++k) {
        const double a = k * art::pi / 2 + art::pi / 4;
        art::glow_line(cr, std::cos(a) * 19, std::sin(a) * 19, std::cos(a) * 27, std::sin(a) * 27,
                       {0.7, 0.9, 1.0}, 1.0, 0.8 * strength);
    }
    art::glow_dot(cr, 0, 0, 14, {1.0, 0.9, 0.6}, 1.3 * strength);
}

void passed_level(const std::string& dir) {
    write_strip(dir + "/passed_level.jpg", 160, 59, [](cairo_t* cr, int k) {
        const double t = k / 58.0;
        // The spark swells over the first third.
        const double swell = std::min(1.0, t / 0.3);
        art::glow_dot(cr, 0, 0, 8 + 30 * swell, {1.0, 0.95, 0.8},
                      0.3 + 1.1 * swell * (1 - std::max(0.0, t - 0.3)));
        // The flash ring, from a third of the way on.
        if (t > 0.3 && t < 0.85) {
            const double u = (t - 0.3) / 0.55;
            cairo_save(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
            cairo_set_source_rgba(cr, 0.7, 0.9, 1.0, 0.9 * (1 - u));
            cairo_set_line_width(cr, 3 * (1 - u) + 1);
            cairo_arc(cr, 0, 0, 16 + 60 * u, 0, 2 * art::pi);
            cairo_stroke(cr);
            cairo_restore(cr);
        }
        // The resting marker fades in over the second half.
        const double rest = std::clamp((t - 0.45) / 0.55, 0.0, 1.0);
        if (rest > 0) marker(cr, rest);
    });
}

}  // namespace

void write_animations(const std::string& dir) {
    bomb_animation(dir);
    sphere_glow(dir);
    wall_spark(dir);
    fireworks(dir);
    passed_level(dir);
}

}  // namespace pictures

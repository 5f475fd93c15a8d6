// The full-screen pictures: main menu, play background and frame, galaxy map, credits logo.
//
// JPEG backgrounds never use pure black: the game makes pure black transparent in pictures
// without alpha, and a background must stay a background.
#include <array>
#include <cmath>
#include <string>

#include "art.h"
#include "pictures.h"
#include "pieces.h"

namespace pictures {

namespace {

using art::rgb;

void deep_space(cairo_t* cr, int w, int h, uint64_t seed, double brightness) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, w * 0.3, h);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.03, 0.04, 0.1);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.04, 0.02, 0.08);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
    art::rng random(seed);
    art::nebula(cr, random, w * 0.75, h * 0.3, 260, {0.25, 0.1, 0.45}, 0.10 * brightness, 14);
    art::nebula(cr, random, w * 0.2, h * 0.75, 240, {0.05, 0.2, 0.45}, 0.10 * brightness, 14);
    art::nebula(cr, random, w * 0.55, h * 0.85, 180, {0.05, 0.35, 0.4}, 0.06 * brightness, 10);
    art::starfield(cr, random, 0, 0, w, h, static_cast<int>(w * h / 900), brightness);
}

void main_menu(const std::string& dir) {
    art::canvas c(800, 600, false);
    cairo_t* cr = c.cr;
    deep_space(cr, 800, 600, 1, 1.0);
    // A planet rising in the lower right.
    cairo_pattern_t* p = cairo_pattern_create_radial(720, 560, 40, 760, 640, 230);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.16, 0.22, 0.42);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.03, 0.04, 0.1);
    cairo_set_source(cr, p);
    cairo_arc(cr, 760, 680, 200, 0, 2 * art::pi);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_set_source_rgba(cr, 0.5, 0.75, 1.0, 0.5);
    cairo_set_line_width(cr, 2);
    cairo_arc(cr, 760, 680, 200, art::pi * 1.05, art::pi * 1.62);
    cairo_stroke(cr);
    // Beams: a laser at the right sends white light up onto a mirror and left into a prism,
    // which bends it up; coloured light from far away crosses the lower right.
    art::glow_path(cr, {735, 452, 735, 200, 610, 200, 560, 150}, {1, 1, 1}, 2.0);
    art::glow_line(cr, 560, 150, 535, 125, {1, 1, 1}, 2.0, 0.4);
    pieces::laser(cr, 735, 465, 1.4, 0);
    pieces::mirror(cr, 735, 200, 1.4, 5);
    pieces::prism(cr, 610, 200, 1.4, 1);
    art::glow_line(cr, 560, 560, 800, 320, {1, 0.1, 0.1}, 1.6, 0.8);
    art::glow_line(cr, 600, 600, 800, 400, {0.1, 1, 0.2}, 1.6, 0.8);
    art::glow_line(cr, 640, 600, 800, 440, {0.2, 0.3, 1}, 1.6, 0.9);
    // Title.
    art::select_font(cr, true, 54);
    const double w = art::label_width(cr, "Beamworks");
    art::glowing_label(cr, "Beamworks", 400 - w / 2, 78, 54, {0.92, 0.97, 1.0}, {0.3, 0.7, 1.0},
                       1.2);
    // A soft shadow behind the menu column keeps its labels readable.
    cairo_save(cr);
    cairo_translate(cr, 110, 220);
    cairo_scale(cr, 1.6, 1.0);
    cairo_pattern_t* shade = cairo_pattern_create_radial(0, 0, 0, 0, 0, 140);
    cairo_pattern_add_color_stop_rgba(shade, 0, 0.0, 0.0, 0.03, 0.6);
    cairo_pattern_add_color_stop_rgba(shade, 1, 0.0, 0.0, 0.03, 0.0);
    cairo_set_source(cr, shade);
    cairo_arc(cr, 0, 0, 140, 0, 2 * art::pi);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    cairo_restore(cr);
    art::write_jpeg(c, dir + "/main_menu.jpg", 90);
}

void play_background(const std::string& dir) {
    // Only the board shows it, under the cell outlines and the beams: kept dim and calm.
    art::canvas c(800, 600, false);
    cairo_t* cr = c.cr;
    cairo_set_source_rgb(cr, 0.025, 0.03, 0.065);
    cairo_paint(cr);
    art::rng random(2);
    art::nebula(cr, random, 300, 250, 260, {0.12, 0.05, 0.22}, 0.06, 10);
    art::nebula(cr, random, 520, 420, 220, {0.03, 0.1, 0.2}, 0.07, 10);
    art::starfield(cr, random, 0, 0, 800, 600, 260, 0.28);
    art::write_jpeg(c, dir + "/background.jpg", 90);
}

void play_frame(const std::string& dir) {
    // Opaque everywhere but the board (35..699, 75..564), which stays fully transparent.
    art::canvas c(800, 600, true);
    cairo_t* cr = c.cr;
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, 600);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.07, 0.09, 0.17);
    cairo_pattern_add_color_stop_rgb(p, 0.5, 0.04, 0.05, 0.11);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.06, 0.07, 0.15);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, 0, 0, 800, 600);
    cairo_rectangle(cr, 35, 75, 665, 490);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    // Faint stars on the frame.
    art::rng random(3);
    for (auto [x, y, w, h] :
         {std::array<double, 4>{0, 0, 800, 72}, {0, 568, 580, 32}, {0, 75, 32, 490}}) {
        art::starfield(cr, random, x, y, w, h, static_cast<int>(w * h / 1500), 0.35);
    }
    // The board's rim: a glowing line just outside it.
    cairo_set_source_rgba(cr, 0.3, 0.6, 1.0, 0.35);
    cairo_set_line_width(cr, 3);
    cairo_rectangle(cr, 32.5, 72.5, 670, 495);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 0.6, 0.85, 1.0, 0.9);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 33.5, 73.5, 668, 492);
    cairo_stroke(cr);
    // Title at the top left; the score (400, 20) and the solution timer (700, 10) get plates.
    art::glowing_label(cr, "Beamworks", 38, 50, 30, {0.9, 0.96, 1.0}, {0.3, 0.7, 1.0}, 1.0);
    for (auto [x, y, w, h] : {std::array<double, 4>{392, 12, 296, 46}, {696, 6, 100, 56}}) {
        art::rounded_rect(cr, x, y, w, h, 8);
        cairo_set_source_rgba(cr, 0.0, 0.01, 0.05, 0.75);
        cairo_fill_preserve(cr);
        cairo_set_source_rgba(cr, 0.3, 0.5, 0.8, 0.6);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    // The side panel: five slots of 98 pixels from y = 75.
    for (int s = 0; s < 5; ++s) {
        const double top = 75 + 98 * s;
        art::rounded_rect(cr, 703, top + 3, 93, 92, 7);
        cairo_pattern_t* slot = cairo_pattern_create_linear(0, top, 0, top + 98);
        cairo_pattern_add_color_stop_rgb(slot, 0, 0.02, 0.03, 0.08);
        cairo_pattern_add_color_stop_rgb(slot, 1, 0.05, 0.07, 0.15);
        cairo_set_source(cr, slot);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(slot);
        cairo_set_source_rgba(cr, 0.3, 0.5, 0.85, 0.55);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    art::write_png(c, dir + "/background_main.png");
}

// The hint line along the bottom of the play screen, drawn by the game at (38, 572): how the
// controls work, and once the level's solution may be looked at, how and at what cost.
void hint_line(const std::string& dir) {
    const char* hints[] = {
        "Left click: place a piece, hold to turn it, switch a laser.   "
        "Right click: take a piece back.",
        "Solution available: hold Space to see it. Each second of looking costs 50 points.",
    };
    art::canvas c(550, 40, true);
    cairo_t* cr = c.cr;
    art::select_font(cr, false, 11);
    cairo_set_source_rgba(cr, 0.55, 0.65, 0.85, 0.9);
    for (int frame = 0; frame < 2; ++frame) {
        cairo_move_to(cr, 0, 14 + 20 * frame);
        cairo_show_text(cr, hints[frame]);
    }
    art::write_png(c, dir + "/hint_line.png");
}

// The route across the map, through the 20 packs in order.
constexpr int pack_positions[20][2] = {{109, 493}, {75, 386},  {81, 302},  {113, 218}, {169, 161},
                                       {260, 106}, {370, 94},  {452, 141}, {445, 232}, {396, 303},
                                       {322, 374}, {284, 468}, {374, 533}, {439, 547}, {534, 538},
                                       {595, 479}, {645, 404}, {690, 321}, {704, 247}, {698, 151}};

void galaxy_map(const std::string& dir) {
    art::canvas c(800, 600, false);
    cairo_t* cr = c.cr;
    deep_space(cr, 800, 600, 4, 0.8);
    art::rng random(5);
    // The galaxy: a bright core and two spiral arms of stars and dust.
    art::glow_dot(cr, 400, 310, 150, {0.55, 0.45, 0.7}, 0.5);
    art::glow_dot(cr, 400, 310, 50, {1.0, 0.9, 0.7}, 0.8);
    for (int arm = 0; arm < 2; ++arm) {
        for (int i = 0; i < 700; ++i) {
            const double t = random.uniform();
            const double angle = arm * art::pi + t * 3.2 * art::pi / 2 + random.range(-0.25, 0.25);
            const double radius = 30 + t * 250;
            const double x = 400 + std::cos(angle) * radius * 1.25;
            const double y = 310 + std::sin(angle) * radius * 0.75;
            cairo_save(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
            const double b = (1 - t) * 0.5 + 0.1;
            cairo_set_source_rgba(cr, 0.7 + 0.3 * random.uniform(), 0.7, 1.0, b);
            cairo_arc(cr, x, y, random.range(0.4, 1.3), 0, 2 * art::pi);
            cairo_fill(cr);
            cairo_restore(cr);
        }
        for (int i = 0; i < 10; ++i) {
            const double t = i / 10.0;
            const double angle = arm * art::pi + t * 3.2 * art::pi / 2;
            const double radius = 30 + t * 250;
            art::nebula(cr, random, 400 + std::cos(angle) * radius * 1.25,
                        310 + std::sin(angle) * radius * 0.75, 70,
                        arm == 0 ? rgb{0.3, 0.3, 0.7} : rgb{0.5, 0.2, 0.5}, 0.05, 4);
        }
    }
    // The route: a dotted line of light from pack to pack.
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i + 1 < 20; ++i) {
        const double x1 = pack_positions[i][0], y1 = pack_positions[i][1];
        const double x2 = pack_positions[i + 1][0], y2 = pack_positions[i + 1][1];
        const double len = std::hypot(x2 - x1, y2 - y1);
        const double ux = (x2 - x1) / len, uy = (y2 - y1) / len;
        art::glow_line(cr, x1 + ux * 12, y1 + uy * 12, x2 - ux * 12, y2 - uy * 12, {0.35, 0.6, 1.0},
                       1.0, 0.35);
        for (double d = 14; d < len - 12; d += 9) {
            cairo_set_source_rgba(cr, 0.75, 0.88, 1.0, 0.8);
            cairo_arc(cr, x1 + ux * d, y1 + uy * d, 1.3, 0, 2 * art::pi);
            cairo_fill(cr);
        }
    }
    cairo_restore(cr);
    // The places: small worlds, each with its number.
    const rgb worlds[] = {{0.5, 0.7, 1.0}, {0.9, 0.6, 0.4}, {0.5, 0.9, 0.6}, {0.85, 0.5, 0.9}};
    for (int i = 0; i < 20; ++i) {
        const double x = pack_positions[i][0], y = pack_positions[i][1];
        const rgb w = worlds[i % 4];
        art::glow_dot(cr, x, y, 22, w, 0.35);
        cairo_pattern_t* p = cairo_pattern_create_radial(x - 3, y - 3, 1, x, y, 8);
        cairo_pattern_add_color_stop_rgb(p, 0, 0.3 + w.r * 0.7, 0.3 + w.g * 0.7, 0.3 + w.b * 0.7);
        cairo_pattern_add_color_stop_rgb(p, 1, w.r * 0.3, w.g * 0.3, w.b * 0.35);
        cairo_set_source(cr, p);
        cairo_arc(cr, x, y, 8, 0, 2 * art::pi);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, 1.0, 0.35);
        cairo_arc(cr, 0, 0, 13, 0, 2 * art::pi);
        cairo_restore(cr);
        cairo_set_source_rgba(cr, 0.8, 0.85, 1.0, 0.55);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
        const std::string number = std::to_string(i + 1);
        art::select_font(cr, true, 12);
        cairo_move_to(cr, x + 13, y + 20);
        cairo_set_source_rgba(cr, 0.85, 0.9, 1.0, 0.85);
        cairo_show_text(cr, number.c_str());
    }
    art::write_jpeg(c, dir + "/galaxy_map.jpg", 90);
}

void logo(const std::string& dir) {
    // The credits screen's whole picture: the texts are drawn over its upper left and right,
    // the logo fills the lower middle. A small puzzle, solved: a laser's beam split in two by
    // a double prism, turned by mirrors, coloured by spheres, lighting a red and a blue lamp.
    art::canvas c(800, 600, true);
    cairo_t* cr = c.cr;
    deep_space(cr, 800, 600, 6, 0.9);
    const double s = 1.6;
    const double split_x = 250, mid = 382, up = 336, down = 428;
    art::glow_path(cr, {70, mid, split_x, mid}, {1, 1, 1}, 2.4);
    art::glow_path(cr, {split_x, mid, split_x, up, 440, up}, {1, 1, 1}, 2.4);
    art::glow_path(cr, {split_x, mid, split_x, down, 440, down}, {1, 1, 1}, 2.4);
    art::glow_path(cr, {440, up, 800, up}, {1, 0.1, 0.1}, 2.4);
    art::glow_path(cr, {440, down, 800, down}, {0.25, 0.35, 1}, 2.4);
    pieces::laser(cr, 70, mid, s, 2);
    pieces::double_prism(cr, split_x, mid, s, 2);
    pieces::mirror(cr, split_x, up, s, 3);
    pieces::mirror(cr, split_x, down, s, 1);
    pieces::colour_sphere(cr, 440, up, s, 1);
    pieces::colour_sphere(cr, 440, down, s, 3);
    pieces::lamp(cr, 650, up, s, 1);
    pieces::lamp(cr, 650, down, s, 3);
    art::glow_dot(cr, 650, up, 48, {1, 0.1, 0.1}, 1.1);
    art::glow_dot(cr, 650, down, 48, {0.2, 0.3, 1}, 1.1);
    art::select_font(cr, true, 72);
    const double w = art::label_width(cr, "Beamworks");
    art::glowing_label(cr, "Beamworks", 400 - w / 2, 530, 72, {0.95, 0.98, 1.0}, {0.3, 0.7, 1.0},
                       1.3);
    art::select_font(cr, false, 18);
    const std::string sub = "a puzzle of light";
    const double sw = art::label_width(cr, sub);
    cairo_move_to(cr, 400 - sw / 2, 560);
    cairo_set_source_rgba(cr, 0.7, 0.82, 1.0, 0.9);
    cairo_show_text(cr, sub.c_str());
    art::write_png(c, dir + "/logo.png");
}

void lamp_light(const std::string& dir) {
    // The glow of a lit lamp, white so that the game can tint it with the lamp's colour.
    art::canvas c(72, 72, true);
    cairo_pattern_t* p = cairo_pattern_create_radial(36, 36, 0, 36, 36, 36);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 1.0);
    cairo_pattern_add_color_stop_rgba(p, 0.15, 1, 1, 1, 0.85);
    cairo_pattern_add_color_stop_rgba(p, 0.35, 1, 1, 1, 0.4);
    cairo_pattern_add_color_stop_rgba(p, 0.7, 1, 1, 1, 0.1);
    cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 1, 0.0);
    cairo_set_source(c.cr, p);
    cairo_paint(c.cr);
    cairo_pattern_destroy(p);
    // Four faint rays.
    for (int k = 0; k < 4; ++k) {
        const double a = k * art::pi / 4;
        cairo_save(c.cr);
        cairo_translate(c.cr, 36, 36);
        cairo_rotate(c.cr, a);
        cairo_pattern_t* ray = cairo_pattern_create_linear(-36, 0, 36, 0);
        cairo_pattern_add_color_stop_rgba(ray, 0, 1, 1, 1, 0);
        cairo_pattern_add_color_stop_rgba(ray, 0.5, 1, 1, 1, 0.35);
        cairo_pattern_add_color_stop_rgba(ray, 1, 1, 1, 1, 0);
        cairo_set_source(c.cr, ray);
        cairo_rectangle(c.cr, -36, -1, 72, 2);
        cairo_fill(c.cr);
        cairo_pattern_destroy(ray);
        cairo_restore(c.cr);
    }
    art::write_png(c, dir + "/light.png");
}

}  // namespace

void write_screens(const std::string& dir) {
    hint_line(dir);
    main_menu(dir);
    play_background(dir);
    play_frame(dir);
    galaxy_map(dir);
    logo(dir);
    lamp_light(dir);
}

void write_all(const std::string& dir) {
    write_screens(dir);
    write_buttons_and_panels(dir);
    write_how_to_play(dir);
    write_animations(dir);
}

}  // namespace pictures

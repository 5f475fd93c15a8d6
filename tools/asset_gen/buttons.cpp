// Buttons and panels. Their sizes follow the places where the screens draw them and the
// rectangles in which they react.
#include <string>

#include "art.h"
#include "pictures.h"

namespace pictures {

namespace {

using art::rgb;

// A glowing white label on a transparent ground: the menu buttons that the game tints blue
// while hovered. The label starts 14 pixels in, where the reacting area begins.
void tinted_button(const std::string& path, int width, const std::string& label) {
    art::canvas c(width, 40, true);
    art::glowing_label(c.cr, label, 14, 28, 23, {1, 1, 1}, {0.75, 0.85, 1.0}, 0.9);
    // A thin beam underlines it.
    const double end = 14 + art::label_width(c.cr, label);
    cairo_pattern_t* p = cairo_pattern_create_linear(12, 0, end + 4, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 1, 0.0);
    cairo_pattern_add_color_stop_rgba(p, 0.2, 1, 1, 1, 0.55);
    cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 1, 0.0);
    cairo_set_source(c.cr, p);
    cairo_rectangle(c.cr, 12, 34, end - 8, 1.2);
    cairo_fill(c.cr);
    cairo_pattern_destroy(p);
    art::write_png(c, path);
}

// A framed button with its label centred; the active look glows brighter.
void framed_button(const std::string& path, int width, int height, const std::string& label,
                   bool active) {
    art::canvas c(width, height, true);
    cairo_t* cr = c.cr;
    const double r = height * 0.3;
    art::rounded_rect(cr, 1, 1, width - 2, height - 2, r);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, height);
    if (active) {
        cairo_pattern_add_color_stop_rgba(p, 0, 0.25, 0.5, 0.75, 0.98);
        cairo_pattern_add_color_stop_rgba(p, 1, 0.08, 0.2, 0.42, 0.98);
    } else {
        cairo_pattern_add_color_stop_rgba(p, 0, 0.14, 0.2, 0.34, 0.95);
        cairo_pattern_add_color_stop_rgba(p, 1, 0.05, 0.07, 0.15, 0.95);
    }
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    art::set_rgb(cr, active ? rgb{0.6, 0.95, 1.0} : rgb{0.35, 0.55, 0.8});
    cairo_set_line_width(cr, active ? 2.0 : 1.4);
    cairo_stroke(cr);
    // Upper sheen.
    art::rounded_rect(cr, 3, 3, width - 6, height * 0.42, r * 0.7);
    cairo_set_source_rgba(cr, 1, 1, 1, active ? 0.12 : 0.06);
    cairo_fill(cr);
    const double size = height >= 40 ? 18 : 14;
    art::select_font(cr, true, size);
    const double w = art::label_width(cr, label);
    const double x = (width - w) / 2;
    const double y = height / 2.0 + size * 0.36;
    if (active) {
        art::glowing_label(cr, label, x, y, size, {1, 1, 1}, {0.5, 0.9, 1.0}, 0.8);
    } else {
        art::select_font(cr, true, size);
        cairo_move_to(cr, x, y);
        cairo_set_source_rgb(cr, 0.82, 0.88, 0.95);
        cairo_show_text(cr, label.c_str());
    }
    art::write_png(c, path);
}

void arrow_button(const std::string& path, bool right, bool active) {
    art::canvas c(20, 20, true);
    cairo_t* cr = c.cr;
    art::rounded_rect(cr, 0.5, 0.5, 19, 19, 4);
    cairo_set_source_rgba(cr, active ? 0.2 : 0.1, active ? 0.4 : 0.15, active ? 0.65 : 0.3, 0.95);
    cairo_fill_preserve(cr);
    art::set_rgb(cr, active ? rgb{0.6, 0.95, 1.0} : rgb{0.35, 0.55, 0.8});
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    const double dir = right ? 1 : -1;
    cairo_move_to(cr, 10 + dir * 5, 10);
    cairo_line_to(cr, 10 - dir * 4, 4.5);
    cairo_line_to(cr, 10 - dir * 4, 15.5);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, active ? 1.0 : 0.8, active ? 1.0 : 0.88, 1.0);
    cairo_fill(cr);
    art::write_png(c, path);
}

// The ground of every panel: deep blue glass with a glowing rim.
void panel_ground(cairo_t* cr, double w, double h, double alpha) {
    art::rounded_rect(cr, 2, 2, w - 4, h - 4, 12);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgba(p, 0, 0.07, 0.1, 0.22, alpha);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.02, 0.03, 0.09, alpha);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_source_rgba(cr, 0.3, 0.65, 1.0, 0.35);
    cairo_set_line_width(cr, 4);
    cairo_stroke_preserve(cr);
    cairo_set_source_rgba(cr, 0.55, 0.85, 1.0, 0.9);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
}

void divider(cairo_t* cr, double x1, double x2, double y) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x1, 0, x2, 0);
    cairo_pattern_add_color_stop_rgba(p, 0, 0.5, 0.8, 1.0, 0);
    cairo_pattern_add_color_stop_rgba(p, 0.5, 0.5, 0.8, 1.0, 0.6);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.5, 0.8, 1.0, 0);
    cairo_set_source(cr, p);
    cairo_rectangle(cr, x1, y, x2 - x1, 1);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

// A sunken box, for typed text and lists.
void well(cairo_t* cr, double x, double y, double w, double h) {
    art::rounded_rect(cr, x, y, w, h, 5);
    cairo_set_source_rgba(cr, 0.0, 0.01, 0.04, 0.8);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0.3, 0.45, 0.7, 0.7);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

}  // namespace

void write_buttons_and_panels(const std::string& dir) {
    // Menu buttons, tinted by the game: widths cover their reacting areas.
    tinted_button(dir + "/btn_main_menu.png", 215, "Main menu");
    tinted_button(dir + "/btn_exit.png", 90, "Exit");
    tinted_button(dir + "/btn_play_menu.png", 95, "Play");
    tinted_button(dir + "/btn_profiles.png", 160, "Profiles");
    tinted_button(dir + "/btn_how_to_play.png", 240, "How to play");
    tinted_button(dir + "/btn_credits.png", 145, "Credits");
    tinted_button(dir + "/btn_options.png", 145, "Options");

    struct framed {
        const char* name;
        int width, height;
        const char* label;
    };
    const framed buttons[] = {
        {"btn_galaxy_map", 180, 40, "Galaxy map"}, {"btn_next_level", 180, 40, "Next level"},
        {"btn_new_galaxy", 180, 40, "New galaxy"}, {"btn_play", 180, 40, "Play"},
        {"btn_cancel", 100, 30, "Cancel"},         {"btn_profiles_create", 118, 30, "New player"},
        {"btn_profiles_delete", 90, 30, "Delete"}, {"btn_profiles_ok", 90, 30, "OK"},
    };
    for (const framed& b : buttons) {
        framed_button(dir + "/" + b.name + ".png", b.width, b.height, b.label, false);
        framed_button(dir + "/" + b.name + "_active.png", b.width, b.height, b.label, true);
    }
    arrow_button(dir + "/btn_left.png", false, false);
    arrow_button(dir + "/btn_left_active.png", false, true);
    arrow_button(dir + "/btn_right.png", true, false);
    arrow_button(dir + "/btn_right_active.png", true, true);

    {
        // Message window at (200, 200): text from (220, 220), buttons at y 350 to 390.
        art::canvas c(400, 200, true);
        panel_ground(c.cr, 400, 200, 0.9);
        divider(c.cr, 20, 380, 140);
        art::write_png(c, dir + "/message_window.png");
    }
    {
        // Level panel: title at +5, level labels at +40 and +65, details from +110 to +206,
        // the cancel button at (+75, +260).
        art::canvas c(250, 300, true);
        panel_ground(c.cr, 250, 300, 0.92);
        cairo_t* cr = c.cr;
        art::rounded_rect(cr, 8, 4, 234, 28, 6);
        cairo_set_source_rgba(cr, 0.2, 0.4, 0.7, 0.35);
        cairo_fill(cr);
        divider(cr, 10, 240, 34);
        divider(cr, 10, 240, 100);
        divider(cr, 10, 240, 250);
        art::write_png(c, dir + "/popup_menu.png");
    }
    {
        // Profiles panel at (275, 100): name at (290, 110), the new-player button at
        // (341, 160), the list of up to ten rows from y 200, the buttons at y 460.
        art::canvas c(250, 400, true);
        cairo_t* cr = c.cr;
        panel_ground(cr, 250, 400, 0.92);
        well(cr, 9, 6, 232, 36);
        well(cr, 6, 97, 238, 256);
        for (int row = 0; row < 10; ++row) {
            if (row % 2 == 1) {
                cairo_rectangle(cr, 8, 100 + 25 * row, 234, 25);
                cairo_set_source_rgba(cr, 0.3, 0.5, 0.9, 0.08);
                cairo_fill(cr);
            }
        }
        divider(cr, 10, 240, 50);
        divider(cr, 10, 240, 96);
        art::write_png(c, dir + "/profiles_back.png");
    }
}

}  // namespace pictures

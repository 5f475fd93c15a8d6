// Canvases, PNG and JPEG writing, DejaVu labels and the glows every picture uses.
#include "art.h"

#include <cairo-ft.h>
#include <jpeglib.h>

#include <cstdio>
#include <map>
#include <stdexcept>
#include <vector>

namespace art {

canvas::canvas(int w, int h, bool with_alpha) : width(w), height(h), alpha(with_alpha) {
    surface =
        cairo_image_surface_create(with_alpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, w, h);
    cr = cairo_create(surface);
    if (!with_alpha) {
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_paint(cr);
    }
}

canvas::~canvas() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

void write_png(canvas& c, const std::string& path) {
    cairo_surface_flush(c.surface);
    if (cairo_surface_write_to_png(c.surface, path.c_str()) != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("cannot write " + path);
    }
}

void write_jpeg(canvas& c, const std::string& path, int quality) {
    cairo_surface_flush(c.surface);
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) throw std::runtime_error("cannot write " + path);
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = static_cast<JDIMENSION>(c.width);
    info.image_height = static_cast<JDIMENSION>(c.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    const unsigned char* data = cairo_image_surface_get_data(c.surface);
    const int stride = cairo_image_surface_get_stride(c.surface);
    std::vector<unsigned char> row(static_cast<size_t>(c.width) * 3);
    while (info.next_scanline < info.image_height) {
        const auto* pixels = reinterpret_cast<const uint32_t*>(data + info.next_scanline * stride);
        for (int x = 0; x < c.width; ++x) {
            row[x * 3 + 0] = static_cast<unsigned char>(pixels[x] >> 16);
            row[x * 3 + 1] = static_cast<unsigned char>(pixels[x] >> 8);
            row[x * 3 + 2] = static_cast<unsigned char>(pixels[x]);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::fclose(out);
}

namespace {

std::string font_dir = "/usr/share/fonts/truetype/dejavu";

FT_Library ft_library() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) throw std::runtime_error("FreeType failed to start");
        return lib;
    }();
    return library;
}

cairo_font_face_t* face_for(bool bold) {
    static std::map<bool, cairo_font_face_t*> faces;
    auto found = faces.find(bold);
    if (found != faces.end()) return found->second;
    FT_Face face = nullptr;
    if (FT_New_Face(ft_library(), font_path(bold).c_str(), 0, &face) != 0) {
        throw std::runtime_error("cannot open " + font_path(bold));
    }
    cairo_font_face_t* cairo_face = cairo_ft_font_face_create_for_ft_face(face, 0);
    faces[bold] = cairo_face;
    return cairo_face;
}

}  // namespace

void set_font_dir(const std::string& dir) { font_dir = dir; }

std::string font_path(bool bold) {
    return font_dir + (bold ? "/DejaVuSans-Bold.ttf" : "/DejaVuSans.ttf");
}

void select_font(cairo_t* cr, bool bold, double size) {
    cairo_set_font_face(cr, face_for(bold));
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

double label_width(cairo_t* cr, const std::string& text) {
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    return extents.x_advance;
}

void set_rgb(cairo_t* cr, rgb c, double a) { cairo_set_source_rgba(cr, c.r, c.g, c.b, a); }

void glow_path(cairo_t* cr, const std::vector<double>& points, rgb c, double width,
               double strength) {
    if (points.size() < 4) return;
    auto trace = [&] {
        cairo_new_path(cr);
        cairo_move_to(cr, points[0], points[1]);
        for (size_t i = 2; i + 1 < points.size(); i += 2)
            cairo_line_to(cr, points[i], points[i + 1]);
    };
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const double widths[] = {width * 5, width * 3, width * 1.8, width};
    const double alphas[] = {0.08, 0.15, 0.35, 0.9};
    for (int i = 0; i < 4; ++i) {
        set_rgb(cr, c, alphas[i] * strength);
        cairo_set_line_width(cr, widths[i]);
        trace();
        cairo_stroke(cr);
    }
    // A whiter core keeps the beam bright in the middle.
    set_rgb(cr, {0.5 + c.r / 2, 0.5 + c.g / 2, 0.5 + c.b / 2}, 0.6 * strength);
    cairo_set_line_width(cr, width * 0.45);
    trace();
    cairo_stroke(cr);
    cairo_restore(cr);
}

void glow_line(cairo_t* cr, double x1, double y1, double x2, double y2, rgb c, double width,
               double strength) {
    glow_path(cr, {x1, y1, x2, y2}, c, width, strength);
}

void glow_dot(cairo_t* cr, double x, double y, double r, rgb c, double strength) {
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
    cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, std::min(1.0, strength));
    cairo_pattern_add_color_stop_rgba(p, 0.25, c.r, c.g, c.b, 0.45 * strength);
    cairo_pattern_add_color_stop_rgba(p, 0.6, c.r, c.g, c.b, 0.12 * strength);
    cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, x, y, r, 0, 2 * pi);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

void rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
    cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

void starfield(cairo_t* cr, rng& random, double x, double y, double w, double h, int count,
               double brightness) {
    for (int i = 0; i < count; ++i) {
        const double sx = x + random.range(0, w);
        const double sy = y + random.range(0, h);
        const double size = random.uniform();
        const double tint = random.uniform();
        const rgb c = tint < 0.3   ? rgb{0.75, 0.85, 1.0}
                      : tint < 0.5 ? rgb{1.0, 0.9, 0.75}
                                   : rgb{0.95, 0.95, 1.0};
        const double b = brightness * (0.25 + 0.75 * random.uniform());
        if (size > 0.97) {
            glow_dot(cr, sx, sy, 5, c, b);
        } else {
            cairo_save(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
            set_rgb(cr, c, b * (size > 0.8 ? 1.0 : 0.6));
            cairo_arc(cr, sx, sy, size > 0.8 ? 0.9 : 0.55, 0, 2 * pi);
            cairo_fill(cr);
            cairo_restore(cr);
        }
    }
}

void nebula(cairo_t* cr, rng& random, double cx, double cy, double radius, rgb c, double a,
            int puffs) {
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    for (int i = 0; i < puffs; ++i) {
        const double angle = random.range(0, 2 * pi);
        const double dist = radius * std::sqrt(random.uniform()) * 0.8;
        const double px = cx + std::cos(angle) * dist;
        const double py = cy + std::sin(angle) * dist * 0.6;
        const double r = radius * random.range(0.25, 0.6);
        cairo_pattern_t* p = cairo_pattern_create_radial(px, py, 0, px, py, r);
        cairo_pattern_add_color_stop_rgba(p, 0, c.r, c.g, c.b, a);
        cairo_pattern_add_color_stop_rgba(p, 1, c.r, c.g, c.b, 0);
        cairo_set_source(cr, p);
        cairo_arc(cr, px, py, r, 0, 2 * pi);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    cairo_restore(cr);
}

void glowing_label(cairo_t* cr, const std::string& text, double x, double y, double size, rgb core,
                   rgb glow, double glow_strength) {
    select_font(cr, true, size);
    cairo_save(cr);
    // The glow: the outline stroked wide and faint, several times.
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    const double widths[] = {size * 0.45, size * 0.28, size * 0.14};
    const double alphas[] = {0.10, 0.18, 0.35};
    for (int i = 0; i < 3; ++i) {
        cairo_new_path(cr);
        cairo_move_to(cr, x, y);
        cairo_text_path(cr, text.c_str());
        set_rgb(cr, glow, alphas[i] * glow_strength);
        cairo_set_line_width(cr, widths[i]);
        cairo_stroke(cr);
    }
    cairo_new_path(cr);
    cairo_move_to(cr, x, y);
    set_rgb(cr, core);
    cairo_show_text(cr, text.c_str());
    cairo_restore(cr);
}

}  // namespace art

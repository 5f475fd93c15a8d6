// Contact sheets for reviewing the content as a player would see it: pieces enlarged on the
// board's own dark cells, every other picture with its frames in a row, and the three fonts
// laid out by their own metrics.
#include "contact_sheet.h"

#include <jpeglib.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "art.h"

namespace contact_sheet {

namespace {

cairo_surface_t* load_jpeg(const std::string& path) {
    FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) throw std::runtime_error("cannot read " + path);
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, in);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    const int w = static_cast<int>(info.output_width), h = static_cast<int>(info.output_height);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::vector<unsigned char> row(static_cast<size_t>(w) * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {row.data()};
        const int y = static_cast<int>(info.output_scanline);
        jpeg_read_scanlines(&info, rows, 1);
        auto* out = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            out[x] = 0xff000000u | (uint32_t{row[x * 3]} << 16) | (uint32_t{row[x * 3 + 1]} << 8) |
                     row[x * 3 + 2];
        }
    }
    cairo_surface_mark_dirty(surface);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(in);
    return surface;
}

cairo_surface_t* load_picture(const std::string& path) {
    if (path.size() > 4 && path.substr(path.size() - 4) == ".jpg") return load_jpeg(path);
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("cannot read " + path);
    }
    return s;
}

struct entry {
    const char* file;
    int cell_w;  // 0: the whole picture is one frame
    int cell_h;
    double scale;
};

// Lays entries out left to right in rows, each a title over its frames; a strip too long for
// one row wraps its frames onto further rows.
struct sheet_layout {
    cairo_t* cr;
    double width;
    double x = 10;
    double y = 10;
    double row_height = 0;

    void new_row() {
        y += row_height;
        x = 10;
        row_height = 0;
    }

    void entry(const std::string& title, cairo_surface_t* pic, int cell_w, int cell_h, double scale,
               bool numbers) {
        const int pw = cairo_image_surface_get_width(pic);
        const int ph = cairo_image_surface_get_height(pic);
        if (cell_w == 0) {
            cell_w = pw;
            cell_h = ph;
        }
        const int per_row = pw / cell_w;
        const int count = per_row * (ph / cell_h);
        const double fw = cell_w * scale, fh = cell_h * scale;
        const double step_y = fh + (numbers ? 16 : 6);
        art::select_font(cr, true, 13);
        const double title_w = art::label_width(cr, title) + 12;
        const double frames_w = count * (fw + 6);
        const double usable = width - 20;
        const double block_w = std::max(title_w, std::min(frames_w, usable));
        const int frames_per_line = std::max(1, static_cast<int>((usable + 6) / (fw + 6)));
        const int lines = frames_w <= usable ? 1 : (count + frames_per_line - 1) / frames_per_line;
        if (x + block_w > width - 10 && x > 10) new_row();
        cairo_set_source_rgb(cr, 0.9, 0.9, 0.6);
        cairo_move_to(cr, x, y + 14);
        cairo_show_text(cr, title.c_str());
        for (int k = 0; k < count; ++k) {
            const double fx = x + (k % frames_per_line) * (fw + 6);
            const double fy = y + 22 + (k / frames_per_line) * step_y;
            const int sx = (k % per_row) * cell_w, sy = (k / per_row) * cell_h;
            cairo_save(cr);
            cairo_rectangle(cr, fx, fy, fw, fh);
            cairo_set_source_rgb(cr, 0.02, 0.03, 0.07);
            cairo_fill_preserve(cr);
            cairo_clip(cr);
            cairo_translate(cr, fx, fy);
            cairo_scale(cr, scale, scale);
            cairo_set_source_surface(cr, pic, -sx, -sy);
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
            cairo_paint(cr);
            cairo_restore(cr);
            cairo_rectangle(cr, fx - 0.5, fy - 0.5, fw + 1, fh + 1);
            cairo_set_source_rgba(cr, 0.3, 0.3, 0.4, 1);
            cairo_set_line_width(cr, 1);
            cairo_stroke(cr);
            if (numbers) {
                art::select_font(cr, false, 11);
                cairo_set_source_rgb(cr, 0.7, 0.7, 0.8);
                cairo_move_to(cr, fx + 2, fy + fh + 12);
                cairo_show_text(cr, std::to_string(k).c_str());
                art::select_font(cr, true, 13);
            }
        }
        row_height = std::max(row_height, 22 + lines * step_y + 10);
        x += block_w + 16;
        if (lines > 1) new_row();
    }
};

void write_sheet(const std::string& game_dir, const std::string& out_path,
                 const std::vector<entry>& entries, int width, int height, bool numbers) {
    art::canvas sheet(width, height, false);
    cairo_set_source_rgb(sheet.cr, 0.16, 0.16, 0.2);
    cairo_paint(sheet.cr);
    sheet_layout layout{sheet.cr, static_cast<double>(width)};
    for (const entry& e : entries) {
        cairo_surface_t* pic = load_picture(game_dir + "/images/" + e.file);
        const int pw = cairo_image_surface_get_width(pic);
        const int ph = cairo_image_surface_get_height(pic);
        layout.entry(
            std::string(e.file) + "  (" + std::to_string(pw) + " x " + std::to_string(ph) + ")",
            pic, e.cell_w, e.cell_h, e.scale, numbers);
        cairo_surface_destroy(pic);
    }
    art::write_png(sheet, out_path);
}

// Draws text exactly as the game does, from the glyph strip and the metrics file.
void game_text(cairo_t* cr, cairo_surface_t* glyphs, const std::vector<int>& metrics, int size,
               double x, double y, const std::string& text, int wrap) {
    auto width_of = [&](const std::string& word) {
        int w = 0;
        for (unsigned char c : word) {
            w += c == ' ' ? metrics[0] : metrics[2 * (c - 33) + 2] + 2;
        }
        return w;
    };
    double pen = x;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(' ', start);
        const std::string word = text.substr(start, end == std::string::npos ? end : end - start);
        if (pen + width_of(word) > x + wrap) {
            y += 16;
            pen = x;
        }
        for (unsigned char c : word) {
            const int k = c - 33;
            cairo_save(cr);
            cairo_rectangle(cr, pen - metrics[2 * k + 1], y, size, size);
            cairo_clip(cr);
            cairo_set_source_surface(cr, glyphs, pen - metrics[2 * k + 1] - k * size, y);
            cairo_paint(cr);
            cairo_restore(cr);
            pen += metrics[2 * k + 2] + 2;
        }
        pen = pen - 2 + metrics[0];
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

void write_font_sheet(const std::string& game_dir, const std::string& out_path) {
    art::canvas sheet(1500, 700, false);
    cairo_set_source_rgb(sheet.cr, 0.05, 0.06, 0.12);
    cairo_paint(sheet.cr);
    sheet_layout layout{sheet.cr, 1500};
    const std::string sample =
        "Level complete!!! Bonus score: 120  Hardness: normal  Time: 1 hr 2 min 5 sec";
    for (int size : {16, 24, 32}) {
        const std::string name = "font" + std::to_string(size);
        cairo_surface_t* glyphs = load_picture(game_dir + "/font/" + name + ".png");
        std::ifstream in(game_dir + "/font/" + name + ".dat", std::ios::binary);
        std::vector<int> metrics(181, 0);
        for (int& m : metrics) m = in.get();
        layout.entry(name + ": the 90 glyphs, then text laid out by the metrics", glyphs, size,
                     size, 1.0, false);
        layout.new_row();
        cairo_set_source_rgb(sheet.cr, 1, 1, 1);
        game_text(sheet.cr, glyphs, metrics, size, 10, layout.y, sample, 1400);
        layout.y += size + 6;
        game_text(sheet.cr, glyphs, metrics, size, 10, layout.y,
                  "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz 0123456789 "
                  "!\"#$%&'()*+,-./:;<=>?@[\\]^_`",
                  1400);
        layout.y += size + 20;
        cairo_surface_destroy(glyphs);
    }
    art::write_png(sheet, out_path);
}

}  // namespace

void write_all(const std::string& game_dir, const std::string& out_dir) {
    write_sheet(game_dir, out_dir + "/pieces.png",
                {{"laser.png", 35, 35, 3},
                 {"laser_lens.png", 35, 35, 3},
                 {"colour_marks.png", 13, 13, 3},
                 {"lamp.png", 35, 35, 3},
                 {"translator.png", 35, 35, 3},
                 {"mirror.png", 35, 35, 3},
                 {"double_mirror.png", 35, 35, 3},
                 {"prism.png", 35, 35, 3},
                 {"double_prism.png", 35, 35, 3},
                 {"color_translator.png", 35, 35, 3},
                 {"wall.png", 0, 0, 3},
                 {"bomb.png", 0, 0, 3}},
                1000, 1250, true);
    write_sheet(game_dir, out_dir + "/panel_and_buttons.png",
                {{"mirror_big.png", 0, 0, 1},
                 {"double_mirror_big.png", 0, 0, 1},
                 {"prism_big.png", 0, 0, 1},
                 {"double_prism_big.png", 0, 0, 1},
                 {"translator_white.png", 0, 0, 1},
                 {"translator_red.png", 0, 0, 1},
                 {"translator_green.png", 0, 0, 1},
                 {"translator_blue.png", 0, 0, 1},
                 {"btn_left.png", 0, 0, 2},
                 {"btn_left_active.png", 0, 0, 2},
                 {"btn_right.png", 0, 0, 2},
                 {"btn_right_active.png", 0, 0, 2},
                 {"btn_main_menu.png", 0, 0, 1},
                 {"btn_exit.png", 0, 0, 1},
                 {"btn_play_menu.png", 0, 0, 1},
                 {"btn_profiles.png", 0, 0, 1},
                 {"btn_how_to_play.png", 0, 0, 1},
                 {"btn_credits.png", 0, 0, 1},
                 {"btn_options.png", 0, 0, 1},
                 {"hint_line.png", 550, 20, 1},
                 {"btn_galaxy_map.png", 0, 0, 1},
                 {"btn_galaxy_map_active.png", 0, 0, 1},
                 {"btn_next_level.png", 0, 0, 1},
                 {"btn_next_level_active.png", 0, 0, 1},
                 {"btn_new_galaxy.png", 0, 0, 1},
                 {"btn_new_galaxy_active.png", 0, 0, 1},
                 {"btn_play.png", 0, 0, 1},
                 {"btn_play_active.png", 0, 0, 1},
                 {"btn_cancel.png", 0, 0, 1},
                 {"btn_cancel_active.png", 0, 0, 1},
                 {"btn_profiles_create.png", 0, 0, 1},
                 {"btn_profiles_create_active.png", 0, 0, 1},
                 {"btn_profiles_delete.png", 0, 0, 1},
                 {"btn_profiles_delete_active.png", 0, 0, 1},
                 {"btn_profiles_ok.png", 0, 0, 1},
                 {"btn_profiles_ok_active.png", 0, 0, 1},
                 {"light.png", 0, 0, 1},
                 {"message_window.png", 0, 0, 1},
                 {"popup_menu.png", 0, 0, 1},
                 {"profiles_back.png", 0, 0, 1}},
                1000, 1560, false);
    write_sheet(game_dir, out_dir + "/backgrounds.png",
                {{"main_menu.jpg", 0, 0, 0.5},
                 {"background.jpg", 0, 0, 0.5},
                 {"background_main.png", 0, 0, 0.5},
                 {"galaxy_map.jpg", 0, 0, 0.5},
                 {"how_to_play.jpg", 0, 0, 0.5},
                 {"logo.png", 0, 0, 0.5}},
                860, 1000, false);
    // Each full-screen picture also at its own size, to look at closely.
    for (const char* name : {"main_menu.jpg", "galaxy_map.jpg", "how_to_play.jpg", "logo.png",
                             "background.jpg", "background_main.png"}) {
        cairo_surface_t* pic = load_picture(game_dir + "/images/" + name);
        art::canvas copy(800, 600, false);
        cairo_set_source_surface(copy.cr, pic, 0, 0);
        cairo_paint(copy.cr);
        cairo_surface_destroy(pic);
        const std::string base(name);
        art::write_png(copy, out_dir + "/full_" + base.substr(0, base.find('.')) + ".png");
    }
    write_sheet(game_dir, out_dir + "/animations.png",
                {{"bomb_animation.jpg", 150, 150, 0.5},
                 {"translator_animation.jpg", 128, 128, 0.5},
                 {"wall_animation.jpg", 128, 128, 0.5},
                 {"lamp_fire.jpg", 150, 150, 0.5},
                 {"passed_level.jpg", 160, 160, 0.5}},
                1300, 1750, true);
    write_font_sheet(game_dir, out_dir + "/fonts.png");
}

}  // namespace contact_sheet

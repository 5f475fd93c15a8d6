// Level files, the level table, the report and the grade plot.
#include "level_output.h"

#include <png.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "play/level_format.h"

namespace levels {

std::vector<uint8_t> level_file_bytes(const level_source& level) {
    level_data data;
    data.text = level.note;
    for (int cell = 0; cell < cell_count; ++cell)
        data.cells[size_t(cell_column(cell))][size_t(cell_row(cell))] =
            level.grid.code[size_t(cell)];
    return encode_level(data);
}

std::vector<uint8_t> level_info_bytes(const std::vector<level_source>& all) {
    std::vector<uint8_t> out;
    for (const level_source& level : all) {
        uint32_t score = uint32_t(level.start_score);
        for (int i = 0; i < 4; ++i) out.push_back(uint8_t(score >> (8 * i)));
        out.push_back(uint8_t(level.hardness));
    }
    return out;
}

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

std::string report_table(const std::vector<level_figures>& all) {
    static const char* const hardness_names[3] = {"easy", "normal", "hard"};
    std::ostringstream out;
    out << "| level | source | pieces | fewest | ideas | solutions | nodes | effort | dead first | "
           "beams | mechanics | laser off | grade as written | grade | hardness | start | recipe | "
           "inert | decoys | seconds | faults |\n";
    out << "|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|---|"
           "\n";
    for (const level_figures& f : all) {
        char line[512];
        std::snprintf(line, sizeof line,
                      "| %d-%d | %s | %d | %d | %d | %lld | %lld | %.0f | %.2f | %d | %d | %s | "
                      "%.2f | %.2f | %s | %d | ",
                      f.index / 6 + 1, f.index % 6 + 1, f.name.c_str(), f.pieces, f.fewest, f.ideas,
                      static_cast<long long>(f.solutions), static_cast<long long>(f.nodes),
                      f.effort, f.dead_first, f.beams, f.mechanics,
                      f.needs_laser_off ? "yes" : "no", f.grade_before, f.grade,
                      hardness_names[f.hardness], f.start_score);
        out << line << f.recipe << " | ";
        for (size_t i = 0; i < f.inert.size(); ++i) out << (i ? "; " : "") << f.inert[i];
        out << (f.inert.empty() ? "none" : "") << " | ";
        for (size_t i = 0; i < f.decoys.size(); ++i) out << (i ? "; " : "") << f.decoys[i];
        out << (f.decoys.empty() ? "none" : "") << " | ";
        std::snprintf(line, sizeof line, "%.2f | ", f.seconds);
        out << line;
        for (size_t i = 0; i < f.failures.size(); ++i) out << (i ? "; " : "") << f.failures[i];
        out << " |\n";
    }
    return out.str();
}

std::string summary_line(const level_figures& f) {
    std::string line = "inert: ";
    for (size_t i = 0; i < f.inert.size(); ++i) line += (i ? ", " : "") + f.inert[i];
    if (f.inert.empty()) line += "none";
    line += "  decoys: ";
    for (size_t i = 0; i < f.decoys.size(); ++i)
        line += (i ? ", " : "") + f.decoys[i].substr(0, f.decoys[i].find(':'));
    if (f.decoys.empty()) line += "none";
    char grade[64];
    std::snprintf(grade, sizeof grade, "  grade %.2f as written, %.2f decluttered", f.grade_before,
                  f.grade);
    return line + grade + "  recipe: " + f.recipe;
}

bool write_rgb_png(const std::string& path, int w, int h, const std::vector<uint8_t>& rgb) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, uint32_t(w), uint32_t(h), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) png_write_row(png, &rgb[size_t(y) * size_t(w) * 3]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return true;
}

bool write_grade_plot(const std::vector<level_figures>& all, const std::string& png_path) {
    // 4 pixels per level, the grade upwards; pack boundaries as grey lines, hardness as colour.
    const int w = 4 * 120 + 40, h = 300;
    std::vector<uint8_t> rgb(size_t(w * h * 3), 255);
    auto plot = [&](int x, int y, uint8_t r, uint8_t g, uint8_t b) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        uint8_t* p = &rgb[size_t((y * w + x) * 3)];
        p[0] = r;
        p[1] = g;
        p[2] = b;
    };
    double top = 1;
    for (const level_figures& f : all) top = std::max(top, f.grade);
    auto y_of = [&](double grade) { return h - 20 - int(grade / top * (h - 40)); };
    for (int pack = 0; pack <= 20; ++pack)
        for (int y = 10; y < h - 10; ++y) plot(20 + pack * 24, y, 200, 200, 200);
    for (int g = 0; g <= int(top); ++g)
        for (int x = 20; x < w - 20; x += 2) plot(x, y_of(g), 220, 220, 220);
    int last_x = -1, last_y = 0;
    for (const level_figures& f : all) {
        int x = 20 + f.index * 4 + 2, y = y_of(f.grade);
        if (last_x >= 0)
            for (int s = 0; s <= 8; ++s)
                plot(last_x + (x - last_x) * s / 8, last_y + (y - last_y) * s / 8, 120, 120, 120);
        static const uint8_t colour[3][3] = {{40, 160, 40}, {220, 150, 0}, {210, 30, 30}};
        const uint8_t* c = colour[f.hardness];
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) plot(x + dx, y + dy, c[0], c[1], c[2]);
        last_x = x;
        last_y = y;
    }
    return write_rgb_png(png_path, w, h, rgb);
}

}  // namespace levels

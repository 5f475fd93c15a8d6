// What the level compiler writes: the level files, the level table, the report and its plot.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "level_rules.h"
#include "level_source.h"

namespace levels {

// The bytes of "Levels\level.NNN" for a source.
std::vector<uint8_t> level_file_bytes(const level_source& level);
// The bytes of "levels\level_info.all": per level an int32 start score and a hardness byte.
std::vector<uint8_t> level_info_bytes(const std::vector<level_source>& all);

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes);

// The report of all levels as a table (markdown) and the plot of the grade (PNG).
std::string report_table(const std::vector<level_figures>& all);
// One line of craft figures per level for the atlas's labels: inert pieces, declared decoys,
// recipe, and the grade as written and without the clutter.
std::string summary_line(const level_figures& f);
// An RGB picture, three bytes a pixel row by row, as a PNG file; false when it cannot be written.
bool write_rgb_png(const std::string& path, int w, int h, const std::vector<uint8_t>& rgb);
bool write_grade_plot(const std::vector<level_figures>& all, const std::string& png_path);

}  // namespace levels

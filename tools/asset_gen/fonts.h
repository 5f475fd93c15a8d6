// The bitmap fonts: glyph strips of characters 33 to 122 and their 181-byte metrics files.
#pragma once

#include <string>

namespace fonts {

// Writes font16, font24 and font32 (.png and .dat) into the font folder.
void write_all(const std::string& font_dir);

}  // namespace fonts

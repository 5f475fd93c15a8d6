// Contact sheets: every picture and font of the game folder on a few review pages.
#pragma once

#include <string>

namespace contact_sheet {

// Writes pieces.png, pictures.png, animations.png and fonts.png into out_dir.
void write_all(const std::string& game_dir, const std::string& out_dir);

}  // namespace contact_sheet

// Every picture of the game other than the piece strips: backgrounds, buttons, panels, the
// galaxy map, the how-to-play sheet, the credits logo and the animation strips.
#pragma once

#include <string>

namespace pictures {

void write_all(const std::string& images_dir);

// Parts of write_all, in their own files.
void write_screens(const std::string& images_dir);
void write_buttons_and_panels(const std::string& images_dir);
void write_how_to_play(const std::string& images_dir);
void write_animations(const std::string& images_dir);

}  // namespace pictures

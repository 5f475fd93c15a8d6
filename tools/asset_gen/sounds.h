// The game's sounds and music, synthesised and written as WAV and Ogg Vorbis.
#pragma once

#include <string>

namespace sounds {

// Reads the music scores from <content>/music and writes the seven sound files.
void write_all(const std::string& content_dir, const std::string& sounds_dir);

}  // namespace sounds

// Music from a plain-text score: tempo, chords per bar, a melody, and the parts that play them.
#pragma once

#include <string>

#include "synth.h"

namespace score {

// Renders the score file as a seamless loop of exactly its bars' length.
synth::stereo render_loop(const std::string& path);

}  // namespace score

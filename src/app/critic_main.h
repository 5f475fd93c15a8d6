// The level critic's entry: `beamworks --critic CODE-OR-FILE FONT16` judges one level with the
// level tools' verifier and prints its verdict as lines of text.
//
// It lives in the executable (and the replay tool), never in the game library: the verifier
// plays levels through the game's global board, so the editor runs it as a process of its own.
#pragma once

#include <string>

// The verdict's lines on standard output; 0 when judged, 2 when the level cannot be read.
int run_critic(const std::string& level_or_code, const std::string& font16_path);

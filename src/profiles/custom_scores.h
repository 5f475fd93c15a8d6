// The best scores of a player's custom levels: a file of their own beside the progress files,
// "users\<name>\custom_scores.txt", never touching level_score.all.
//
// A custom level is known by level_board_key (its fixed pieces and its stock), so mending its
// note or moving its stored solution keeps its score. The file is text, one level a line: the
// key as eight hexadecimal digits, a space, the best score. Lines that do not read so are
// skipped, so a damaged file costs at most its damaged lines and never stops the game.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "play/level_format.h"

// Best score by level key.
using custom_score_table = std::map<uint32_t, int32_t>;

// Pure: text in, table out, and back. A key read twice keeps its better score; scores below 0
// are not scores and are skipped.
custom_score_table parse_custom_scores(std::string_view text);
std::string format_custom_scores(const custom_score_table& table);

// The chosen player's file (current_profile); "" when no player is chosen.
std::string custom_scores_path();
// The chosen player's best score on the level, or -1 when never won (as level_best_score).
int32_t custom_best_score(const level_data& level);
// Keeps `score` when it beats the stored best (a first win always does), writing the file
// whole and safely. False when it could not be written (the old file is then kept), when no
// player is chosen or for a score below 0; true also when the stored best was as good.
bool record_custom_score(const level_data& level, int32_t score);

// Byte layouts of the players' files and of the shipped level table: bytes in, records out,
// and back to the very same bytes.
//
// Pure: no globals, no files. The profile store reads and writes the files whole and hands the
// bytes here; tests and fuzzers call these directly. All integers are signed 32-bit
// little-endian, bytes unsigned, one byte per name character, no headers anywhere.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "profiles/game_counts.h"

// Sizes of the files as the game writes them.
constexpr size_t level_score_file_size = 960;  // 120 records of (best score, time)
constexpr size_t pack_access_file_size = 20;   // one byte per pack
constexpr size_t solution_file_size = 480;     // 120 solution costs
constexpr size_t level_table_file_size = 600;  // 120 records of (start score, hardness byte)

// The values a time, a solution cost and a start score can take in play. A value outside its
// range can only come from a damaged or edited file, and reads as that level's new-player value
// (a time or cost of 0, a start score of 0 as a missing one reads), so the clock and score
// arithmetic never meets it. The bounds are some three weeks on one level's clock, as long as
// the game's millisecond clock runs, and as many passes of looking at the solution.
constexpr int32_t progress_max_seconds = 2000000;
constexpr int32_t progress_max_solution_cost = 100000000;
constexpr int32_t level_max_start_score = 1000000;

// One player's progress, as held by the three files of the player's folder.
struct player_progress {
    std::array<int32_t, level_total> best_score{};     // -1: never completed
    std::array<int32_t, level_total> time{};           // seconds on the level clock
    std::array<int32_t, level_total> solution_cost{};  // points already charged
    std::array<int32_t, pack_total> pack_access{};     // 1: open on the galaxy map
};

struct level_table {
    std::array<int32_t, level_total> start_score{};
    std::array<int32_t, level_total> hardness{};  // the byte as read, 0 to 255
};

// A new player: only pack 0 open, nothing completed, nothing charged.
player_progress new_player_progress();

// "users\profiles.dat": a count byte, then a length byte and the name per player. A count
// above 10 keeps the first 10 names; a record cut off by the end of the file is dropped with
// everything after it (a player is never invented from padding zeros).
std::vector<std::string> decode_profile_list(std::span<const uint8_t> bytes);
// Whether the list's bytes hold every record their count promises (up to 10): false for an
// empty or missing file and for one cut short, whose lost names the store looks for on disk.
bool profile_list_intact(std::span<const uint8_t> bytes);
// Names longer than 255 characters cannot be stored; the store never hands one over.
std::vector<uint8_t> encode_profile_list(std::span<const std::string> names);

// The three progress files. Whatever a short file lacks keeps the value it has in `into`,
// so decoding over new_player_progress() reads a missing tail as a new player's: a cut-off
// level_score.all does not turn unplayed levels into levels completed with score 0. A value
// counts as present only when all of its bytes are there; bytes past the layout are ignored.
// A time or cost out of its range also keeps the value it has in `into`.
void decode_level_scores(std::span<const uint8_t> bytes, player_progress& into);
void decode_pack_access(std::span<const uint8_t> bytes, player_progress& into);
void decode_solution_costs(std::span<const uint8_t> bytes, player_progress& into);
std::vector<uint8_t> encode_level_scores(const player_progress& progress);
// Only the low 8 bits of each entry are kept, as the game has always written them.
std::vector<uint8_t> encode_pack_access(const player_progress& progress);
std::vector<uint8_t> encode_solution_costs(const player_progress& progress);

// "levels\level_info.all": read-only content. Missing bytes read as 0, as the game always did,
// and so does a start score out of its range.
level_table decode_level_table(std::span<const uint8_t> bytes);
std::vector<uint8_t> encode_level_table(const level_table& table);

// The sum of the best scores above 0 (never-completed -1 and a score of 0 add nothing).
int32_t sum_of_best_scores(std::span<const int32_t> best_scores);

// A name becomes a folder under "users", so it must be one plain folder name: not empty, at
// most 255 characters, not "." or "..", and free of path separators, of the characters that
// other file systems refuse in names (: * ? " < > |) and of control codes.
bool is_safe_profile_name(std::string_view name);

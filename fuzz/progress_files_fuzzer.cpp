// A player's three progress files: any bytes, of any length, read over a new player's progress
// and write back to files of the game's sizes that read back the same.
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_check.h"
#include "profiles/progress_format.h"

namespace {

bool same(const player_progress& a, const player_progress& b) {
    return a.best_score == b.best_score && a.time == b.time && a.solution_cost == b.solution_cost &&
           a.pack_access == b.pack_access;
}

// The file as written starts with the bytes read, when the file was at least its full size.
bool starts_with(const std::vector<uint8_t>& written, std::span<const uint8_t> bytes) {
    return bytes.size() < written.size() ||
           std::equal(written.begin(), written.end(), bytes.begin());
}

int32_t int_at(std::span<const uint8_t> bytes, size_t at) {
    return int32_t(uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 |
                   uint32_t(bytes[at + 2]) << 16 | uint32_t(bytes[at + 3]) << 24);
}

// Whether every time (read as level_score.all) and every cost (read as solution.all) of these
// bytes lies in its range.
bool values_in_range(std::span<const uint8_t> bytes) {
    for (size_t at = 4; at + 4 <= bytes.size() && at < level_score_file_size; at += 8) {
        const int32_t time = int_at(bytes, at);
        if (time < 0 || time > progress_max_seconds) return false;
    }
    for (size_t at = 0; at + 4 <= bytes.size() && at < solution_file_size; at += 4) {
        const int32_t cost = int_at(bytes, at);
        if (cost < 0 || cost > progress_max_solution_cost) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    // The same bytes as each of the three files in turn.
    player_progress progress = new_player_progress();
    decode_level_scores(bytes, progress);
    decode_pack_access(bytes, progress);
    decode_solution_costs(bytes, progress);
    for (int32_t open : progress.pack_access) fuzz_require(open >= 0 && open <= 255, "a pack byte");
    (void)sum_of_best_scores(progress.best_score);

    const auto scores = encode_level_scores(progress);
    const auto packs = encode_pack_access(progress);
    const auto costs = encode_solution_costs(progress);
    fuzz_require(scores.size() == level_score_file_size && packs.size() == pack_access_file_size &&
                     costs.size() == solution_file_size,
                 "the files are written whole");
    // Times and costs out of their range read as a new player's; every other value is rewritten
    // as it was read.
    fuzz_require(starts_with(packs, bytes), "a pack file is rewritten byte for byte");
    if (values_in_range(bytes)) {
        fuzz_require(starts_with(scores, bytes) && starts_with(costs, bytes),
                     "a full file of values in range is rewritten byte for byte");
    }

    player_progress again = new_player_progress();
    decode_level_scores(scores, again);
    decode_pack_access(packs, again);
    decode_solution_costs(costs, again);
    fuzz_require(same(progress, again), "written progress reads back unchanged");
    return 0;
}

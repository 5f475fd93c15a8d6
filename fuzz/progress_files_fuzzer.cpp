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
    return bytes.size() < written.size() || std::equal(written.begin(), written.end(), bytes.begin());
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
    fuzz_require(starts_with(scores, bytes) && starts_with(packs, bytes) && starts_with(costs, bytes),
                 "a full file is rewritten byte for byte");

    player_progress again = new_player_progress();
    decode_level_scores(scores, again);
    decode_pack_access(packs, again);
    decode_solution_costs(costs, again);
    fuzz_require(same(progress, again), "written progress reads back unchanged");
    return 0;
}

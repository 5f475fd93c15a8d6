// The level table: any bytes give 120 start scores and hardness bytes that write back whole.
#include <algorithm>
#include <cstdint>
#include <span>

#include "fuzz_check.h"
#include "profiles/progress_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    const level_table table = decode_level_table(bytes);
    for (int32_t hardness : table.hardness) {
        fuzz_require(hardness >= 0 && hardness <= 255, "hardness is the byte as read");
    }
    // A start score out of its range reads as 0; the table is otherwise kept as read.
    bool scores_in_range = true;
    for (size_t at = 0; at + 4 <= size && at < level_table_file_size; at += 5) {
        const auto score = int32_t(uint32_t(data[at]) | uint32_t(data[at + 1]) << 8 |
                                   uint32_t(data[at + 2]) << 16 | uint32_t(data[at + 3]) << 24);
        if (score < 0 || score > level_max_start_score) scores_in_range = false;
    }
    for (int32_t score : table.start_score) {
        fuzz_require(score >= 0 && score <= level_max_start_score, "a start score in its range");
    }
    const auto written = encode_level_table(table);
    fuzz_require(written.size() == level_table_file_size, "the table is written whole");
    if (size >= level_table_file_size && scores_in_range) {
        fuzz_require(std::equal(written.begin(), written.end(), bytes.begin()),
                     "a full table is rewritten byte for byte");
    }
    const level_table again = decode_level_table(written);
    fuzz_require(again.start_score == table.start_score && again.hardness == table.hardness,
                 "a written table reads back unchanged");
    return 0;
}

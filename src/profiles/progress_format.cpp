// Byte layouts of the players' files and of the level table.
#include "profiles/progress_format.h"

#include <algorithm>

namespace {

// Little-endian signed 32-bit integer at byte offset `at`, if all four bytes are there.
bool int_at(std::span<const uint8_t> bytes, size_t at, int32_t& value) {
    if (at + 4 > bytes.size()) return false;
    uint32_t u = uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 |
                 uint32_t(bytes[at + 2]) << 16 | uint32_t(bytes[at + 3]) << 24;
    value = int32_t(u);
    return true;
}

// Like int_at, but only a value within [low, high] is taken.
void int_in_range_at(std::span<const uint8_t> bytes, size_t at, int32_t low, int32_t high,
                     int32_t& value) {
    int32_t read = 0;
    if (int_at(bytes, at, read) && read >= low && read <= high) value = read;
}

void put_int(std::vector<uint8_t>& out, int32_t value) {
    uint32_t u = uint32_t(value);
    out.push_back(uint8_t(u));
    out.push_back(uint8_t(u >> 8));
    out.push_back(uint8_t(u >> 16));
    out.push_back(uint8_t(u >> 24));
}

}  // namespace

player_progress new_player_progress() {
    player_progress p;
    p.best_score.fill(-1);
    p.pack_access[0] = 1;
    return p;
}

std::vector<std::string> decode_profile_list(std::span<const uint8_t> bytes) {
    std::vector<std::string> names;
    if (bytes.empty()) return names;
    size_t count = bytes[0];
    size_t at = 1;
    while (names.size() < count && names.size() < size_t(max_profiles)) {
        if (at >= bytes.size()) break;
        size_t length = bytes[at];
        if (at + 1 + length > bytes.size()) break;
        names.emplace_back(reinterpret_cast<const char*>(bytes.data() + at + 1), length);
        at += 1 + length;
    }
    return names;
}

bool profile_list_intact(std::span<const uint8_t> bytes) {
    if (bytes.empty()) return false;
    const size_t wanted = std::min(size_t(bytes[0]), size_t(max_profiles));
    return decode_profile_list(bytes).size() == wanted;
}

std::vector<uint8_t> encode_profile_list(std::span<const std::string> names) {
    std::vector<uint8_t> out;
    out.push_back(uint8_t(names.size()));
    for (const std::string& name : names) {
        out.push_back(uint8_t(name.size()));
        out.insert(out.end(), name.begin(), name.end());
    }
    return out;
}

void decode_level_scores(std::span<const uint8_t> bytes, player_progress& into) {
    for (size_t n = 0; n < size_t(level_total); ++n) {
        int_at(bytes, 8 * n, into.best_score[n]);
        int_in_range_at(bytes, 8 * n + 4, 0, progress_max_seconds, into.time[n]);
    }
}

void decode_pack_access(std::span<const uint8_t> bytes, player_progress& into) {
    for (size_t p = 0; p < size_t(pack_total) && p < bytes.size(); ++p) {
        into.pack_access[p] = bytes[p];
    }
}

void decode_solution_costs(std::span<const uint8_t> bytes, player_progress& into) {
    for (size_t n = 0; n < size_t(level_total); ++n) {
        int_in_range_at(bytes, 4 * n, 0, progress_max_solution_cost, into.solution_cost[n]);
    }
}

std::vector<uint8_t> encode_level_scores(const player_progress& progress) {
    std::vector<uint8_t> out;
    out.reserve(level_score_file_size);
    for (size_t n = 0; n < size_t(level_total); ++n) {
        put_int(out, progress.best_score[n]);
        put_int(out, progress.time[n]);
    }
    return out;
}

std::vector<uint8_t> encode_pack_access(const player_progress& progress) {
    std::vector<uint8_t> out;
    out.reserve(pack_access_file_size);
    for (int32_t open : progress.pack_access) out.push_back(uint8_t(open));
    return out;
}

std::vector<uint8_t> encode_solution_costs(const player_progress& progress) {
    std::vector<uint8_t> out;
    out.reserve(solution_file_size);
    for (int32_t cost : progress.solution_cost) put_int(out, cost);
    return out;
}

level_table decode_level_table(std::span<const uint8_t> bytes) {
    level_table table;
    for (size_t n = 0; n < size_t(level_total); ++n) {
        int_in_range_at(bytes, 5 * n, 0, level_max_start_score, table.start_score[n]);
        if (5 * n + 4 < bytes.size()) table.hardness[n] = bytes[5 * n + 4];
    }
    return table;
}

std::vector<uint8_t> encode_level_table(const level_table& table) {
    std::vector<uint8_t> out;
    out.reserve(level_table_file_size);
    for (size_t n = 0; n < size_t(level_total); ++n) {
        put_int(out, table.start_score[n]);
        out.push_back(uint8_t(table.hardness[n]));
    }
    return out;
}

int32_t sum_of_best_scores(std::span<const int32_t> best_scores) {
    // Summed with 32-bit wrap-around, as the game's int has always added; a hand-edited file
    // of huge scores must not make the sum undefined.
    uint32_t sum = 0;
    for (int32_t score : best_scores) {
        if (score > 0) sum += uint32_t(score);
    }
    return int32_t(sum);
}

bool is_safe_profile_name(std::string_view name) {
    if (name.empty() || name.size() > 255 || name == "." || name == "..") return false;
    for (char c : name) {
        unsigned char code = static_cast<unsigned char>(c);
        if (code < 32 || code == 127) return false;
        if (std::string_view("/\\:*?\"<>|").find(c) != std::string_view::npos) return false;
    }
    return true;
}

// Helpers of the shipping checks: a player with progress written straight to disk, and the
// check that a player's files are whole and readable.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "profiles/progress_format.h"

namespace shipping {

inline std::vector<uint8_t> read_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void write_bytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A player well into the game: packs 0 to 4 open, the first 26 levels completed with scores
// and times, some solution costs paid.
inline player_progress seasoned_progress() {
    player_progress p = new_player_progress();
    for (int32_t n = 0; n < 26; ++n) {
        p.best_score[size_t(n)] = 300 + 7 * n;
        p.time[size_t(n)] = 40 + n;
    }
    p.solution_cost[3] = 120;
    p.solution_cost[14] = 35;
    for (int32_t pack = 0; pack <= 4; ++pack) p.pack_access[size_t(pack)] = 1;
    return p;
}

// Writes the list of `names` and, for each, the files of `progress` into game_dir/users.
inline void write_players(const std::filesystem::path& users, const std::vector<std::string>& names,
                          const player_progress& progress) {
    std::filesystem::create_directories(users);
    write_bytes(users / "profiles.dat", encode_profile_list(names));
    for (const std::string& name : names) {
        std::filesystem::create_directories(users / name);
        write_bytes(users / name / "level_score.all", encode_level_scores(progress));
        write_bytes(users / name / "pack_access.all", encode_pack_access(progress));
        write_bytes(users / name / "solution.all", encode_solution_costs(progress));
    }
}

// "" when the list and every listed player's three files are whole; else what is wrong.
inline std::string check_players(const std::filesystem::path& users,
                                 std::vector<std::string>* names_out = nullptr) {
    const auto list = read_bytes(users / "profiles.dat");
    if (list.empty()) return "the profile list is missing or empty";
    const std::vector<std::string> names = decode_profile_list(list);
    if (encode_profile_list(names) != list) return "the profile list is damaged";
    for (const std::string& name : names) {
        if (!is_safe_profile_name(name)) return "unsafe name in the list: " + name;
        const auto folder = users / name;
        if (read_bytes(folder / "level_score.all").size() != level_score_file_size ||
            read_bytes(folder / "pack_access.all").size() != pack_access_file_size ||
            read_bytes(folder / "solution.all").size() != solution_file_size) {
            return "the files of " + name + " are not whole";
        }
        player_progress p = new_player_progress();
        decode_pack_access(read_bytes(folder / "pack_access.all"), p);
        for (int32_t open : p.pack_access) {
            if (open != 0 && open != 1) return "a pack of " + name + " is neither open nor shut";
        }
        if (p.pack_access[0] != 1) return "pack 1 of " + name + " is shut";
    }
    if (names_out) *names_out = names;
    return "";
}

}  // namespace shipping

// The custom levels' best scores: the text of their file and its reading and writing.
#include "profiles/custom_scores.h"

#include <charconv>
#include <cstdio>
#include <vector>

#include "platform/platform.h"
#include "play/level_code.h"
#include "profiles/profiles_state.h"
#include "profiles/progress_format.h"

namespace {

// Far more than any player makes; a larger file is damage and reads as empty.
constexpr size_t custom_scores_max_bytes = size_t{1} << 20;

bool read_line(std::string_view line, uint32_t& key, int32_t& score) {
    if (line.size() < 10 || line[8] != ' ') return false;
    const char* end = line.data() + line.size();
    auto r = std::from_chars(line.data(), line.data() + 8, key, 16);
    if (r.ec != std::errc() || r.ptr != line.data() + 8) return false;
    r = std::from_chars(line.data() + 9, end, score);
    return r.ec == std::errc() && r.ptr == end && score >= 0;
}

custom_score_table read_table() {
    const std::string path = custom_scores_path();
    std::vector<uint8_t> bytes;
    if (path.empty() || !platform::read_file(path, bytes, custom_scores_max_bytes)) return {};
    return parse_custom_scores(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace

custom_score_table parse_custom_scores(std::string_view text) {
    custom_score_table table;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        uint32_t key = 0;
        int32_t score = 0;
        if (!read_line(line, key, score)) continue;
        const auto [at, added] = table.emplace(key, score);
        if (!added && at->second < score) at->second = score;
    }
    return table;
}

std::string format_custom_scores(const custom_score_table& table) {
    std::string text;
    for (const auto& [key, score] : table) {
        char line[32];
        std::snprintf(line, sizeof line, "%08x %d\n", static_cast<unsigned>(key),
                      static_cast<int>(score));
        text += line;
    }
    return text;
}

std::string custom_scores_path() {
    if (current_profile < 0 || current_profile >= profile_count) return "";
    const std::string& name = profile_names[static_cast<size_t>(current_profile)];
    // Never a path outside the player's own folder, whatever a damaged list holds.
    if (!is_safe_profile_name(name)) return "";
    return "users\\" + name + "\\custom_scores.txt";
}

int32_t custom_best_score(const level_data& level) {
    const custom_score_table table = read_table();
    const auto at = table.find(level_board_key(level));
    return at == table.end() ? -1 : at->second;
}

bool record_custom_score(const level_data& level, int32_t score) {
    const std::string path = custom_scores_path();
    if (path.empty() || score < 0) return false;
    custom_score_table table = read_table();
    const auto [at, added] = table.emplace(level_board_key(level), score);
    if (!added) {
        if (at->second >= score) return true;
        at->second = score;
    }
    const std::string text = format_custom_scores(table);
    return platform::write_file_atomic(path, std::vector<uint8_t>(text.begin(), text.end()));
}

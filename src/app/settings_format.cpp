// The settings file's format: reading and writing its "name value" lines.
#include "app/settings_format.h"

#include <array>
#include <charconv>
#include <string>
#include <string_view>

namespace {

// Far above what the writer makes: anything larger is not this file.
constexpr size_t settings_max_bytes = 4096;

struct setting_field {
    std::string_view name;
    int32_t game_settings::*field;
    int32_t low, high;
};

constexpr std::array<setting_field, 10> setting_fields = {{
    {"music_volume", &game_settings::music_volume, 0, 100},
    {"sound_volume", &game_settings::sound_volume, 0, 100},
    {"beam_glow", &game_settings::beam_glow, 0, 1},
    {"colour_blind_aid", &game_settings::colour_blind_aid, 0, 1},
    {"full_screen", &game_settings::full_screen, 0, 1},
    {"window_placed", &game_settings::window_placed, 0, 1},
    {"window_x", &game_settings::window_x, -100000, 100000},
    {"window_y", &game_settings::window_y, -100000, 100000},
    {"window_width", &game_settings::window_width, window_min_width, 100000},
    {"window_height", &game_settings::window_height, window_min_height, 100000},
}};

// One line into the settings; false when it is not a name and a whole number, or a known
// setting's number is out of its range.
bool read_line(std::string_view line, game_settings& settings) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t space = line.find(' ');
    if (space == std::string_view::npos) return false;
    const std::string_view name = line.substr(0, space);
    const std::string_view value = line.substr(space + 1);
    int32_t number = 0;
    const auto result = std::from_chars(value.data(), value.data() + value.size(), number);
    if (result.ec != std::errc() || result.ptr != value.data() + value.size()) return false;
    for (const setting_field& f : setting_fields) {
        if (f.name != name) continue;
        if (number < f.low || number > f.high) return false;
        settings.*f.field = number;
        return true;
    }
    // A setting this game does not know (written by a later one) is passed over.
    return true;
}

}  // namespace

std::vector<uint8_t> encode_settings(const game_settings& settings) {
    std::string text;
    for (const setting_field& f : setting_fields) {
        text += std::string(f.name) + ' ' + std::to_string(settings.*f.field) + '\n';
    }
    return std::vector<uint8_t>(text.begin(), text.end());
}

game_settings decode_settings(const std::vector<uint8_t>& bytes) {
    if (bytes.empty() || bytes.size() > settings_max_bytes) return {};
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    game_settings settings;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (!line.empty() && !read_line(line, settings)) return {};
        start = end + 1;
    }
    return settings;
}

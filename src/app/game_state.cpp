// Defines every subsystem's globals, and resets and dumps them as one game state.
#include "app/game_state.h"

#include <sstream>

#include "app/assets.h"
#include "app/bitmap_font.h"

app_globals app_vars;
main_menu_globals main_menu_vars;
asset_globals asset_vars;
font_globals font_vars;
play_globals play_vars;
progress_globals progress_vars;
profiles_screen_globals profiles_screen_vars;
galaxy_map_globals galaxy_map_vars;
message_globals message_vars;
undo_globals undo_vars;
help_globals help_vars;
settings_globals settings_vars;

void reset_all_state() {
    visit_state([](auto& vars) { vars = {}; });
    asset_vars = {};
    font_vars = {};
}

namespace {

struct dumper {
    std::ostringstream& out;

    void operator()(const char* name, int32_t value) { out << name << ' ' << value << '\n'; }
    void operator()(const char* name, float value) { out << name << ' ' << value << '\n'; }
    // A text of several lines (the critic's verdict) stays on its one line: "\n" for each break.
    void operator()(const char* name, const std::string& value) {
        out << name << ' ';
        for (char c : value) {
            if (c == '\n') {
                out << "\\n";
            } else {
                out << c;
            }
        }
        out << '\n';
    }
    void operator()(const char* name, const std::vector<std::string>& values) {
        out << name;
        for (const std::string& v : values) out << ' ' << v;
        out << '\n';
    }
    // A level as its note's length and its cell codes, column by column.
    void operator()(const char* name, const level_data& level) {
        out << name << ' ' << level.text.size();
        for (const auto& column : level.cells)
            for (int32_t code : column) out << ' ' << code;
        out << '\n';
    }
    void operator()(const char* name, const std::vector<level_data>& levels) {
        out << name << ' ' << levels.size() << '\n';
    }
    template <size_t n>
    void operator()(const char* name, const std::array<int32_t, n>& values) {
        out << name;
        for (int32_t v : values) out << ' ' << v;
        out << '\n';
    }
    template <size_t n>
    void operator()(const char* name, const std::array<std::string, n>& values) {
        out << name;
        for (const std::string& v : values) out << ' ' << v;
        out << '\n';
    }
    // Only the records in use: the rest are left over from earlier levels and traces.
    template <size_t n>
    void operator()(const char* name, const std::array<laser, n>& records, int32_t count) {
        out << name;
        for (int32_t i = 0; i < count && i < static_cast<int32_t>(n); ++i) {
            const laser& l = records[static_cast<size_t>(i)];
            out << ' ' << l.x << ':' << l.y << ':' << l.colour << ':' << l.dir << ':' << l.entry_dir
                << ':' << l.active << ':' << l.solid;
        }
        out << '\n';
    }
    void operator()(const char* name, const std::vector<board_position>& steps) {
        out << name << ' ' << steps.size() << '\n';
    }
    void operator()(const char* name, const board_position& position) {
        out << name;
        for (const point& p : position.cells)
            out << ' ' << p.kind << ':' << p.state << ':' << p.colour;
        out << '\n' << name << "_lasers";
        for (int32_t active : position.laser_active) out << ' ' << active;
        out << '\n' << name << "_stock";
        for (int32_t count : position.stock) out << ' ' << count;
        out << '\n';
    }
    void operator()(const char* name, const game_settings& s) {
        const std::string prefix = std::string(name) == "settings" ? "" : std::string(name) + "_";
        const auto line = [&](const char* field, int32_t value) {
            out << prefix << field << ' ' << value << '\n';
        };
        line("music_volume", s.music_volume);
        line("sound_volume", s.sound_volume);
        line("beam_glow", s.beam_glow);
        line("colour_blind_aid", s.colour_blind_aid);
        line("full_screen", s.full_screen);
        line("window_placed", s.window_placed);
        line("window_x", s.window_x);
        line("window_y", s.window_y);
        line("window_width", s.window_width);
        line("window_height", s.window_height);
    }
    void operator()(const char* name, const trace_record& record) {
        out << name << "_steps " << record.steps << '\n' << name << "_exploded";
        for (int32_t i = 0; i < record.exploded_count; ++i)
            out << ' ' << record.exploded_cells[static_cast<size_t>(i)];
        out << '\n';
    }
    void operator()(const char*, const board_grid& grid) {
        for (int32_t row = 0; row < board_rows; ++row) {
            out << "board_row " << row;
            for (int32_t column = 0; column < board_columns; ++column) {
                const point& p = grid[static_cast<size_t>(column)][static_cast<size_t>(row)];
                out << ' ' << p.kind << ':' << p.state << ':' << p.colour << ':' << p.solution_kind
                    << ':' << p.solution_orientation;
            }
            out << '\n';
        }
    }
};

}  // namespace

std::string dump_state() {
    std::ostringstream out;
    dumper d{out};
    visit_state([&d](auto& vars) { visit_fields(vars, d); });
    return out.str();
}

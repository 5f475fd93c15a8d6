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
    void operator()(const char* name, const std::string& value) {
        out << name << ' ' << value << '\n';
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
            out << ' ' << l.x << ':' << l.y << ':' << l.colour << ':' << l.dir << ':'
                << l.entry_dir << ':' << l.active << ':' << l.solid;
        }
        out << '\n';
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
                out << ' ' << p.kind << ':' << p.state << ':' << p.colour << ':'
                    << p.solution_kind << ':' << p.solution_orientation;
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

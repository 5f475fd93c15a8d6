// Defines every subsystem's globals, and resets and dumps them as one game state.
#include "app/game_state.h"

#include <sstream>

#include "app/app_state.h"
#include "app/assets.h"
#include "app/bitmap_font.h"
#include "app/help_overlay.h"
#include "app/settings.h"
#include "board/board_state.h"
#include "play/play_state.h"
#include "play/undo.h"
#include "profiles/profiles_state.h"

app_globals app_vars;
main_menu_globals main_menu_vars;
asset_globals asset_vars;
font_globals font_vars;
board_globals board_vars;
play_globals play_vars;
progress_globals progress_vars;
profiles_screen_globals profiles_screen_vars;
galaxy_map_globals galaxy_map_vars;
message_globals message_vars;
undo_globals undo_vars;
help_globals help_vars;
settings_globals settings_vars;

void reset_all_state() {
    app_vars = {};
    main_menu_vars = {};
    asset_vars = {};
    font_vars = {};
    board_vars = {};
    play_vars = {};
    progress_vars = {};
    profiles_screen_vars = {};
    galaxy_map_vars = {};
    message_vars = {};
    undo_vars = {};
    help_vars = {};
    settings_vars = {};
}

namespace {

struct dumper {
    std::ostringstream out;

    void line(const char* name, int32_t value) { out << name << ' ' << value << '\n'; }
    void line(const char* name, float value) { out << name << ' ' << value << '\n'; }
    void line(const char* name, const std::string& value) { out << name << ' ' << value << '\n'; }
    template <size_t n>
    void line(const char* name, const std::array<int32_t, n>& values) {
        out << name;
        for (int32_t v : values) out << ' ' << v;
        out << '\n';
    }
    template <size_t n>
    void line(const char* name, const std::array<std::string, n>& values) {
        out << name;
        for (const std::string& v : values) out << ' ' << v;
        out << '\n';
    }
    void beams(const char* name, const laser* records, int32_t count) {
        out << name;
        for (int32_t i = 0; i < count; ++i) {
            const laser& l = records[i];
            out << ' ' << l.x << ':' << l.y << ':' << l.colour << ':' << l.dir << ':'
                << l.entry_dir << ':' << l.active << ':' << l.solid;
        }
        out << '\n';
    }
};

}  // namespace

#define DUMP(name) d.line(#name, name)

std::string dump_state() {
    dumper d;
    DUMP(screen_state);
    DUMP(next_screen_state);
    DUMP(fading);
    DUMP(fade_count);
    DUMP(fade);
    DUMP(cursor_x);
    DUMP(cursor_y);
    DUMP(left_click);
    DUMP(right_click);
    DUMP(left_held);
    DUMP(right_held);
    DUMP(music_channel);
    DUMP(play_button_tint);
    DUMP(profiles_button_tint);
    DUMP(how_to_play_button_tint);
    DUMP(credits_button_tint);
    DUMP(laser_source_count);
    d.beams("laser_sources", laser_sources.data(), laser_source_count);
    DUMP(beam_count);
    d.beams("beams", beams.data(), beam_count);
    DUMP(turning);
    DUMP(turn_x);
    DUMP(turn_y);
    DUMP(turn_orientation);
    DUMP(explosion_x);
    DUMP(explosion_y);
    DUMP(explosion_frame);
    DUMP(translator_glow_frame);
    DUMP(wall_spark_frame);
    DUMP(solution_alpha);
    DUMP(level_text);
    DUMP(piece_stock);
    DUMP(lamp_count);
    DUMP(selected_slot);
    DUMP(sphere_colour);
    DUMP(start_score);
    DUMP(clock_start);
    DUMP(solution_cost);
    DUMP(final_score);
    DUMP(bonus_score);
    DUMP(lit_count);
    DUMP(completion_start);
    DUMP(profile_names);
    DUMP(profile_count);
    DUMP(current_profile);
    DUMP(level_start_score);
    DUMP(level_hardness);
    DUMP(level_best_score);
    DUMP(level_time);
    DUMP(level_solution_cost);
    DUMP(pack_access);
    DUMP(total_score);
    DUMP(typed_name);
    DUMP(name_entry);
    DUMP(selected_profile);
    DUMP(cursor_phase);
    DUMP(exit_button_tint);
    DUMP(pack_positions);
    DUMP(pack_names);
    DUMP(current_level);
    DUMP(open_pack);
    DUMP(panel_x);
    DUMP(panel_y);
    DUMP(new_pack);
    DUMP(new_pack_frame);
    DUMP(pulse_phase);
    DUMP(menu_button_tint);
    DUMP(message_shown);
    DUMP(message_kind);
    DUMP(message_text);
    DUMP(firework_frame);
    DUMP(firework_x);
    DUMP(firework_y);
    DUMP(help_shown);
    DUMP(options_button_tint);
    DUMP(options_row);
    d.line("music_volume", settings.music_volume);
    d.line("sound_volume", settings.sound_volume);
    d.line("beam_glow", settings.beam_glow);
    d.line("colour_blind_aid", settings.colour_blind_aid);
    d.line("full_screen", settings.full_screen);
    d.line("undo_steps", int32_t(undo_steps.size()));
    d.line("redo_steps", int32_t(redo_steps.size()));
    for (int32_t row = 0; row < board_rows; ++row) {
        d.out << "board_row " << row;
        for (int32_t column = 0; column < board_columns; ++column) {
            const point& p = board[column][row];
            d.out << ' ' << p.kind << ':' << p.state << ':' << p.colour << ':' << p.solution_kind
                  << ':' << p.solution_orientation;
        }
        d.out << '\n';
    }
    return d.out.str();
}

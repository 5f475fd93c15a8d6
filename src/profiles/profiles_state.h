// Players and their progress, the profiles screen, the galaxy map and the message window.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "profiles/game_counts.h"

struct progress_globals {
    std::array<std::string, max_profiles> profile_names{};
    int32_t profile_count = 0;
    int32_t current_profile = 0;
    std::array<int32_t, level_total> level_start_score{};
    std::array<int32_t, level_total> level_hardness{};
    std::array<int32_t, level_total> level_best_score{};  // -1: never completed
    std::array<int32_t, level_total> level_time{};        // seconds on the level clock
    std::array<int32_t, level_total> level_solution_cost{};
    std::array<int32_t, pack_total> pack_access{};
    int32_t total_score = 0;
};
extern progress_globals progress_vars;
inline auto& profile_names = progress_vars.profile_names;
inline int32_t& profile_count = progress_vars.profile_count;
inline int32_t& current_profile = progress_vars.current_profile;
inline auto& level_start_score = progress_vars.level_start_score;
inline auto& level_hardness = progress_vars.level_hardness;
inline auto& level_best_score = progress_vars.level_best_score;
inline auto& level_time = progress_vars.level_time;
inline auto& level_solution_cost = progress_vars.level_solution_cost;
inline auto& pack_access = progress_vars.pack_access;
inline int32_t& total_score = progress_vars.total_score;

// Every field by the name the dump gives it; the dump walks this list, and a test checks that
// it names every field of the struct.
template <class visit>
void visit_fields(progress_globals& g, visit&& v) {
    v("profile_names", g.profile_names);
    v("profile_count", g.profile_count);
    v("current_profile", g.current_profile);
    v("level_start_score", g.level_start_score);
    v("level_hardness", g.level_hardness);
    v("level_best_score", g.level_best_score);
    v("level_time", g.level_time);
    v("level_solution_cost", g.level_solution_cost);
    v("pack_access", g.pack_access);
    v("total_score", g.total_score);
}

struct profiles_screen_globals {
    std::string typed_name;  // 0 to 10 characters
    int32_t name_entry = 0;  // 1 while typed characters go into typed_name
    int32_t selected_profile = -1;
    int32_t cursor_phase = 0;  // 0 to 38
    int32_t exit_button_tint = 255;
};
extern profiles_screen_globals profiles_screen_vars;
inline std::string& typed_name = profiles_screen_vars.typed_name;
inline int32_t& name_entry = profiles_screen_vars.name_entry;
inline int32_t& selected_profile = profiles_screen_vars.selected_profile;
inline int32_t& cursor_phase = profiles_screen_vars.cursor_phase;
inline int32_t& exit_button_tint = profiles_screen_vars.exit_button_tint;

// Every field by the name the dump gives it; the dump walks this list, and a test checks that
// it names every field of the struct.
template <class visit>
void visit_fields(profiles_screen_globals& g, visit&& v) {
    v("typed_name", g.typed_name);
    v("name_entry", g.name_entry);
    v("selected_profile", g.selected_profile);
    v("cursor_phase", g.cursor_phase);
    v("exit_button_tint", g.exit_button_tint);
}

struct galaxy_map_globals {
    std::array<int32_t, pack_total> pack_positions{};  // x * 1000 + y of each marker's centre
    std::array<std::string, pack_total> pack_names{};
    int32_t current_level = 0;
    int32_t open_pack = -1;
    int32_t panel_x = 0;
    int32_t panel_y = 0;
    int32_t new_pack = -1;
    int32_t new_pack_frame = 0;
    int32_t pulse_phase = 0;
    int32_t menu_button_tint = 255;
};
extern galaxy_map_globals galaxy_map_vars;
inline auto& pack_positions = galaxy_map_vars.pack_positions;
inline auto& pack_names = galaxy_map_vars.pack_names;
inline int32_t& current_level = galaxy_map_vars.current_level;
inline int32_t& open_pack = galaxy_map_vars.open_pack;
inline int32_t& panel_x = galaxy_map_vars.panel_x;
inline int32_t& panel_y = galaxy_map_vars.panel_y;
inline int32_t& new_pack = galaxy_map_vars.new_pack;
inline int32_t& new_pack_frame = galaxy_map_vars.new_pack_frame;
inline int32_t& pulse_phase = galaxy_map_vars.pulse_phase;
inline int32_t& menu_button_tint = galaxy_map_vars.menu_button_tint;

// Every field by the name the dump gives it; the dump walks this list, and a test checks that
// it names every field of the struct.
template <class visit>
void visit_fields(galaxy_map_globals& g, visit&& v) {
    v("pack_positions", g.pack_positions);
    v("pack_names", g.pack_names);
    v("current_level", g.current_level);
    v("open_pack", g.open_pack);
    v("panel_x", g.panel_x);
    v("panel_y", g.panel_y);
    v("new_pack", g.new_pack);
    v("new_pack_frame", g.new_pack_frame);
    v("pulse_phase", g.pulse_phase);
    v("menu_button_tint", g.menu_button_tint);
}

// Message window kinds.
constexpr int32_t message_level_complete = 1;
constexpr int32_t message_level_note = 2;
constexpr int32_t message_explosion = 3;
constexpr int32_t message_notice = 4;

// What dismissing a notice leads to: nothing more, back to the galaxy map (a level that could
// not be loaded), or the level-complete window it stood in front of (progress not saved).
constexpr int32_t notice_then_nothing = 0;
constexpr int32_t notice_then_galaxy_map = 1;
constexpr int32_t notice_then_level_complete = 2;

struct message_globals {
    int32_t message_shown = 0;
    int32_t message_kind = 0;
    std::string message_text;
    int32_t firework_frame = 0;
    int32_t firework_x = 0;
    int32_t firework_y = 0;
    int32_t notice_follow_up = 0;  // notice_then_*: what the notice's OK does besides closing
};
extern message_globals message_vars;
inline int32_t& message_shown = message_vars.message_shown;
inline int32_t& message_kind = message_vars.message_kind;
inline std::string& message_text = message_vars.message_text;
inline int32_t& firework_frame = message_vars.firework_frame;
inline int32_t& firework_x = message_vars.firework_x;
inline int32_t& firework_y = message_vars.firework_y;
inline int32_t& notice_follow_up = message_vars.notice_follow_up;

// Every field by the name the dump gives it; the dump walks this list, and a test checks that
// it names every field of the struct.
template <class visit>
void visit_fields(message_globals& g, visit&& v) {
    v("message_shown", g.message_shown);
    v("message_kind", g.message_kind);
    v("message_text", g.message_text);
    v("firework_frame", g.firework_frame);
    v("firework_x", g.firework_x);
    v("firework_y", g.firework_y);
    v("notice_follow_up", g.notice_follow_up);
}

// Start-up fills the pack tables and reads the list of players.
void init_pack_positions();
void init_pack_names();
void load_profile_list();

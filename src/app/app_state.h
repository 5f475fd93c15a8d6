// The main loop's own state: screens, the fade between them, the per-pass mouse and the music.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Screen states of the main loop.
constexpr int32_t screen_profiles = 0;
constexpr int32_t screen_main_menu = 1;
constexpr int32_t screen_galaxy_map = 2;
constexpr int32_t screen_play = 3;
constexpr int32_t screen_ending = 4;
constexpr int32_t screen_credits = 5;
constexpr int32_t screen_how_to_play = 6;
constexpr int32_t screen_options = 7;
constexpr int32_t screen_editor = 8;
constexpr int32_t screen_custom_levels = 9;

struct app_globals {
    int32_t screen_state = 0;
    int32_t next_screen_state = 0;
    int32_t fading = 0;
    int32_t fade_count = 0;  // 0 to 64; rests at 64 after a finished transition
    float fade = 1.0f;       // brightness, recomputed every pass before anything draws
    int32_t cursor_x = 0;
    int32_t cursor_y = 0;
    int32_t left_click = 0;  // pressed since the previous pass (0 while fading)
    int32_t right_click = 0;
    int32_t left_held = 0;  // down during this pass (0 while fading)
    int32_t right_held = 0;
    platform::channel music_channel = 0;
};
extern app_globals app_vars;
inline int32_t& screen_state = app_vars.screen_state;
inline int32_t& next_screen_state = app_vars.next_screen_state;
inline int32_t& fading = app_vars.fading;
inline int32_t& fade_count = app_vars.fade_count;
inline float& fade = app_vars.fade;
inline int32_t& cursor_x = app_vars.cursor_x;
inline int32_t& cursor_y = app_vars.cursor_y;
inline int32_t& left_click = app_vars.left_click;
inline int32_t& right_click = app_vars.right_click;
inline int32_t& left_held = app_vars.left_held;
inline int32_t& right_held = app_vars.right_held;
inline platform::channel& music_channel = app_vars.music_channel;

// Every field by the name the dump gives it; the dump walks this list, and a test checks that
// it names every field of the struct.
template <class visit>
void visit_fields(app_globals& g, visit&& v) {
    v("screen_state", g.screen_state);
    v("next_screen_state", g.next_screen_state);
    v("fading", g.fading);
    v("fade_count", g.fade_count);
    v("fade", g.fade);
    v("cursor_x", g.cursor_x);
    v("cursor_y", g.cursor_y);
    v("left_click", g.left_click);
    v("right_click", g.right_click);
    v("left_held", g.left_held);
    v("right_held", g.right_held);
    v("music_channel", g.music_channel);
}

// Button glow of the main menu (t, t, 255): 255 at rest.
struct main_menu_globals {
    int32_t play_button_tint = 255;
    int32_t profiles_button_tint = 255;
    int32_t how_to_play_button_tint = 255;
    int32_t credits_button_tint = 255;
    int32_t options_button_tint = 255;
};
extern main_menu_globals main_menu_vars;
inline int32_t& play_button_tint = main_menu_vars.play_button_tint;
inline int32_t& profiles_button_tint = main_menu_vars.profiles_button_tint;
inline int32_t& how_to_play_button_tint = main_menu_vars.how_to_play_button_tint;
inline int32_t& credits_button_tint = main_menu_vars.credits_button_tint;
inline int32_t& options_button_tint = main_menu_vars.options_button_tint;

// Every field by the name the dump gives it; the dump walks this list, and a test checks that
// it names every field of the struct.
template <class visit>
void visit_fields(main_menu_globals& g, visit&& v) {
    v("play_button_tint", g.play_button_tint);
    v("profiles_button_tint", g.profiles_button_tint);
    v("how_to_play_button_tint", g.how_to_play_button_tint);
    v("credits_button_tint", g.credits_button_tint);
    v("options_button_tint", g.options_button_tint);
}

// set_color with every channel scaled by the fade and truncated, as all of the game's drawing
// does (the fireworks of a completed level are the one exception and call set_color directly).
void set_faded_color(int32_t r, int32_t g, int32_t b);
// The colour of a button made of words (the editor's, the galaxy map's Editor, Undo and Redo):
// grey when it cannot be used, white under the pointer, light blue otherwise.
void set_text_button_color(bool usable, bool hovered);

// The loop's operations.
void start_fade(int32_t target);
void step_fade();
void poll_mouse();
void take_screenshot();
[[noreturn]] void quit_game();
void start_up();
void main_loop_pass();
[[noreturn]] void run_game();

// Start-up, the main loop and its screen transitions, the per-pass mouse, screenshots, quitting.
//
// The loop owns the screen state machine: screens only ask for a change through start_fade,
// and step_fade carries it out half-way through the fade, while the picture is black.
#include <cmath>
#include <cstdlib>

#include "app/app_state.h"
#include "app/assets.h"
#include "app/bitmap_font.h"
#include "app/help_overlay.h"
#include "app/screens.h"
#include "app/settings.h"
#include "board/board_state.h"
#include "editor/editor_screen.h"
#include "editor/editor_state.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_state.h"

namespace {

// Passes of a whole transition; the screen changes at the half.
constexpr int32_t fade_passes = 64;
constexpr int32_t fade_half = 32;
// A pass lasts at least this long: at most 50 passes a second, whatever the display does.
constexpr int32_t pass_ms = 20;

}  // namespace

void set_faded_color(int32_t r, int32_t g, int32_t b) {
    platform::set_color(static_cast<int32_t>(static_cast<float>(r) * fade),
                        static_cast<int32_t>(static_cast<float>(g) * fade),
                        static_cast<int32_t>(static_cast<float>(b) * fade));
}

void set_text_button_color(bool usable, bool hovered) {
    if (!usable) {
        set_faded_color(90, 90, 110);
    } else if (hovered) {
        set_faded_color(255, 255, 255);
    } else {
        set_faded_color(150, 180, 230);
    }
}

void start_fade(int32_t target) {
    next_screen_state = target;
    fading = 1;
    fade_count = 0;
}

// fade = |32 - fade_count| * 8 / 256: 1.0 at rest (fade_count 0 before the first transition,
// 64 after every later one), falling by 1/32 a pass to 0.0 in pass 32, when the new screen
// first draws, and back to 1.0 in pass 64.
void step_fade() {
    if (fading == 1) {
        ++fade_count;
        if (fade_count == fade_half) screen_state = next_screen_state;
        if (fade_count == fade_passes) fading = 0;
    }
    fade = static_cast<float>(std::abs(fade_half - fade_count) * 8) / 256.0f;
}

// The platform's press counts are read, and so reset, in every pass, also while fading: a
// press made during a transition is dropped, never delivered after it.
void poll_mouse() {
    cursor_x = platform::mouse_x();
    cursor_y = platform::mouse_y();
    left_click = 0;
    right_click = 0;
    left_held = 0;
    right_held = 0;
    if (platform::mouse_hit(1) != 0 && fading == 0) left_click = 1;
    if (platform::mouse_hit(2) != 0 && fading == 0) right_click = 1;
    if (platform::mouse_down(1) != 0 && fading == 0) left_held = 1;
    if (platform::mouse_down(2) != 0 && fading == 0) right_held = 1;
}

// Enter saves the frame just presented as "screens\screenN.bmp" with the smallest free N.
// The file holds PNG data despite its name; players' tools open it by its contents.
void take_screenshot() {
    if (platform::key_hit(13) == 0) return;
    int32_t n = 0;
    // Only a file takes a number: a folder of the same name does not.
    while (platform::file_type("screens\\screen" + platform::int_to_text(n) + ".bmp") == 1) ++n;
    platform::pixmap* shot = platform::grab_pixmap(0, 0, 800, 600);
    platform::save_pixmap_png(shot, "screens\\screen" + platform::int_to_text(n) + ".bmp", 0);
    platform::free_pixmap(shot);
}

void quit_game() {
    // The window's place and full-screen state are kept for the next start.
    save_settings_if_changed();
    // A critic still judging an editor level would otherwise run on, unseen, to its limit.
    stop_critic();
    platform::stop_channel(music_channel);
    platform::close_graphics();
    platform::end_program();
}

void start_up() {
    // The global arrays and records exist with their initial values from the start of the
    // process (see game_state.cpp); only the board and the laser arrays need filling.
    create_board();
    create_lasers();
    platform::open_graphics(800, 600, 32, 85, 0);
    // The window goes where it was last before anything shows in it.
    load_settings();
    apply_settings();
    // Shown while everything loads, in the platform's own font and default white.
    platform::draw_text("Loading...", 30, 560);
    platform::flip(-1);
    load_images();
    load_bitmap_font(font16, "font16", 16);
    load_bitmap_font(font24, "font24", 24);
    load_bitmap_font(font32, "font32", 32);
    init_pack_positions();
    init_pack_names();
    load_profile_list();
    load_sounds();
    if (editor_vars.started_from_command_line == 1)
        open_editor_from_command_line(editor_vars.command_line_file);
}

void main_loop_pass() {
    const int32_t pass_start = platform::millisecs();
    platform::cls();
    poll_mouse();
    step_fade();
    step_help_overlay();
    // Exactly one handler runs: only step_fade changes screen_state.
    if (screen_state == screen_profiles) {
        profiles_screen();
    } else if (screen_state == screen_main_menu) {
        main_menu_screen();
    } else if (screen_state == screen_galaxy_map) {
        galaxy_map_screen();
    } else if (screen_state == screen_play) {
        run_play_screen();
    } else if (screen_state == screen_ending) {
        ending_screen();
    } else if (screen_state == screen_credits) {
        credits_screen();
    } else if (screen_state == screen_how_to_play) {
        how_to_play_screen();
    } else if (screen_state == screen_options) {
        options_screen();
    } else if (screen_state == screen_editor) {
        editor_screen();
    } else if (screen_state == screen_custom_levels) {
        custom_levels_screen();
    }
    if (message_shown == 1) message_window();
    draw_help_overlay();
    platform::flip(-1);
    take_screenshot();
    platform::delay(1);
    if (platform::millisecs() - pass_start < pass_ms) {
        platform::delay(pass_start + pass_ms - platform::millisecs());
    }
    // The window's close button quits like the exit buttons do.
    if (platform::close_requested()) quit_game();
}

void run_game() {
    start_up();
    for (;;) main_loop_pass();
}

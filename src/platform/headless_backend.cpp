// The headless backend: an 800 by 600 memory surface under SDL's software renderer, a virtual
// clock, a fixed random seed, scripted input and the sound log. No display, no sound device.
#include "platform/platform_internal.h"

namespace platform {

void init_headless(const std::string& game_dir) {
    shutdown();
    state.initialised = true;
    state.headless = true;
    state.game_dir = game_dir;
    state.data_dir = game_dir;
    state.virtual_ms = 0;
    state.rng.seed(1);
    state.surface = SDL_CreateRGBSurfaceWithFormat(0, display_width, display_height, 32,
                                                   SDL_PIXELFORMAT_ARGB8888);
    if (!state.surface) fatal_error(std::string("Cannot make the display: ") + SDL_GetError());
    state.renderer = SDL_CreateSoftwareRenderer(state.surface);
    if (!state.renderer) fatal_error(std::string("Cannot draw: ") + SDL_GetError());
    state.presented.assign(static_cast<size_t>(display_width * display_height), 0xFF000000u);
    state.draw = {};
    cls();
}

namespace headless {

void move_mouse(int32_t x, int32_t y) {
    state.input.mouse_x = x;
    state.input.mouse_y = y;
}

void press_button(int32_t button) {
    if (button < 1 || button > 3) return;
    ++state.input.mouse_hits[button];
    state.input.mouse_held[button] = 1;
}

void release_button(int32_t button) {
    if (button >= 1 && button <= 3) state.input.mouse_held[button] = 0;
}

void press_key(int32_t key) { key_pressed(key); }
void release_key(int32_t key) { key_released(key); }

void type_text(const std::string& text) {
    for (unsigned char c : text) queue_char(c);
}

// The back buffer holds the last frame drawn with pixels, not what the passes without them
// drew since.
void set_rasterising(bool on) {
    draw_kept_calls();
    state.rasterise = on;
    forget_shown_frame();
}

void put_on_clipboard(const std::string& text) { state.clipboard = text; }

void request_close() { state.input.close_requested = true; }

void advance_clock(int32_t ms) {
    if (ms > 0) state.virtual_ms += ms;
}

void on_clear(std::function<void()> hook) { state.clear_hook = std::move(hook); }

const std::vector<sound_event>& sound_log() { return state.sound_log; }
void clear_sound_log() { state.sound_log.clear(); }

uint32_t pixel(int32_t x, int32_t y) {
    if (!state.surface || x < 0 || y < 0 || x >= display_width || y >= display_height) return 0;
    draw_kept_calls();
    SDL_RenderFlush(state.renderer);
    const auto* row = static_cast<const uint8_t*>(state.surface->pixels) + y * state.surface->pitch;
    return reinterpret_cast<const uint32_t*>(row)[x];
}

uint32_t presented_pixel(int32_t x, int32_t y) {
    if (x < 0 || y < 0 || x >= display_width || y >= display_height || state.presented.empty()) {
        return 0;
    }
    return state.presented[static_cast<size_t>(y * display_width + x)];
}

int32_t present_count() { return state.present_count; }

}  // namespace headless

}  // namespace platform

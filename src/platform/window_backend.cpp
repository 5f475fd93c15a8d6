// The window backend: SDL's video and audio subsystems, window events into the input state,
// the real clock; and what both backends share: start, shutdown, the clock and sleeping.
#include <algorithm>
#include <chrono>
#include <cmath>

#include "platform/platform_internal.h"

// The window's real place on an X display is asked of Xlib itself (see x11_window_place).
#define SDL_VIDEO_DRIVER_X11 1
#include <SDL_syswm.h>

namespace platform {

platform_state state;

void init_window(const std::string& game_dir) {
    shutdown();
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        state.headless = false;
        fatal_error(std::string("Cannot start the display: ") + SDL_GetError());
    }
    // Without a desktop SDL falls back to drawing into memory, and the game would run on
    // unseen and unstoppable; only someone who asks for such a driver gets it.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!SDL_getenv("SDL_VIDEODRIVER") && driver &&
        (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0)) {
        SDL_Quit();
        fatal_error("No display to open the window on (DISPLAY and WAYLAND_DISPLAY are unset)");
    }
    state.initialised = true;
    state.headless = false;
    state.game_dir = game_dir;
    state.data_dir = game_dir;
    state.clock_origin = SDL_GetTicks64();
    state.rng.seed(
        static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    open_audio();
}

void shutdown() {
    // Its workers read the game folder's path: they stop before the state goes.
    state.prefetch.reset();
    close_audio();
    for (auto& img : state.images) release_image_textures(*img);
    if (state.font_texture) SDL_DestroyTexture(state.font_texture);
    if (state.target) SDL_DestroyTexture(state.target);
    if (state.renderer) SDL_DestroyRenderer(state.renderer);
    if (state.surface) SDL_FreeSurface(state.surface);
    if (state.window) SDL_DestroyWindow(state.window);
    for (auto& s : state.streams) {
        if (s->file) std::fclose(s->file);
    }
    const bool was_window = state.initialised && !state.headless;
    state = platform_state{};
    if (was_window) SDL_Quit();
}

bool is_headless() { return state.headless; }

void end_program() {
    if (state.headless) throw program_ended{};
    shutdown();
    std::exit(0);
}

int64_t clock_ms() {
    if (state.headless) return state.virtual_ms;
    return static_cast<int64_t>(SDL_GetTicks64() - state.clock_origin);
}

void sleep_ms(double ms) {
    if (ms <= 0.0) return;
    if (state.headless) {
        state.virtual_ms += static_cast<int64_t>(std::ceil(ms));
        return;
    }
    SDL_Delay(static_cast<Uint32>(std::ceil(ms)));
    pump_events();
}

int32_t millisecs() { return static_cast<int32_t>(clock_ms()); }

void delay(int32_t ms) { sleep_ms(ms); }

namespace {

int32_t key_code(SDL_Keycode key) {
    if (key == SDLK_KP_ENTER) return 13;
    if (key == SDLK_F1) return key_f1;
    if (key == SDLK_LCTRL || key == SDLK_RCTRL) return key_ctrl;
    if (key == SDLK_UP) return key_arrow_up;
    if (key == SDLK_DOWN) return key_arrow_down;
    if (key == SDLK_LEFT) return key_arrow_left;
    if (key == SDLK_RIGHT) return key_arrow_right;
    // Letters come lower case, digits, space, Enter, Backspace, Escape as their ASCII codes.
    if (key >= 0 && key < 128) return static_cast<int32_t>(key);
    return -1;
}

constexpr int32_t window_min_width = 400;
constexpr int32_t window_min_height = 300;
// A desktop answers a full-screen request within this time, or not at all.
constexpr int64_t full_screen_settle_ms = 400;

void remember_windowed_place() {
    SDL_GetWindowPosition(state.window, &state.windowed.x, &state.windowed.y);
    SDL_GetWindowSize(state.window, &state.windowed.w, &state.windowed.h);
}

SDL_Rect display_bounds() {
    SDL_Rect bounds{0, 0, display_width, display_height};
    const int index = SDL_GetWindowDisplayIndex(state.window);
    if (index >= 0) SDL_GetDisplayBounds(index, &bounds);
    return bounds;
}

// Without a window manager nobody moves the window to the display's corner: full screen would
// show only the part of the picture that happens to be on the display. A borderless window
// over the whole display is what full screen looks like there.
void cover_display_borderless() {
    SDL_SetWindowFullscreen(state.window, 0);
    SDL_SetWindowBordered(state.window, SDL_FALSE);
    const SDL_Rect bounds = display_bounds();
    SDL_SetWindowPosition(state.window, bounds.x, bounds.y);
    SDL_SetWindowSize(state.window, bounds.w, bounds.h);
    state.borderless_full = true;
}

// On X, SDL's own record of the window says what was asked for, honoured or not: the X
// server is asked where the window really is, through the Xlib that SDL has loaded. False
// elsewhere, or when it cannot be asked.
bool x11_window_place(SDL_Rect& place) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(state.window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    static void* const xlib = SDL_LoadObject("libX11.so.6");
    if (!xlib) return false;
    using attributes_fn = Status (*)(Display*, ::Window, XWindowAttributes*);
    using translate_fn = int (*)(Display*, ::Window, ::Window, int, int, int*, int*, ::Window*);
    const auto attributes =
        reinterpret_cast<attributes_fn>(SDL_LoadFunction(xlib, "XGetWindowAttributes"));
    const auto translate =
        reinterpret_cast<translate_fn>(SDL_LoadFunction(xlib, "XTranslateCoordinates"));
    if (!attributes || !translate) return false;
    XWindowAttributes a{};
    if (attributes(info.info.x11.display, info.info.x11.window, &a) == 0) return false;
    ::Window child = 0;
    int x = 0;
    int y = 0;
    if (translate(info.info.x11.display, info.info.x11.window, a.root, 0, 0, &x, &y, &child) == 0) {
        return false;
    }
    place = {x, y, a.width, a.height};
    return true;
}

bool window_covers_display() {
    const SDL_Rect bounds = display_bounds();
    SDL_Rect place{};
    if (!x11_window_place(place)) {
        SDL_GetWindowPosition(state.window, &place.x, &place.y);
        SDL_GetWindowSize(state.window, &place.w, &place.h);
    }
    return place.x <= bounds.x && place.y <= bounds.y && place.x + place.w >= bounds.x + bounds.w &&
           place.y + place.h >= bounds.y + bounds.h;
}

bool on_some_display(const SDL_Rect& place) {
    for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
        SDL_Rect bounds{};
        if (SDL_GetDisplayBounds(i, &bounds) == 0 && SDL_HasIntersection(&bounds, &place)) {
            return true;
        }
    }
    return false;
}

// Typed text arrives as UTF-8; the game's characters are codes 1 to 255.
void queue_utf8(const char* text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        uint32_t code = *p;
        int extra = 0;
        if (code >= 0xF0) {
            code &= 0x07;
            extra = 3;
        } else if (code >= 0xE0) {
            code &= 0x0F;
            extra = 2;
        } else if (code >= 0xC0) {
            code &= 0x1F;
            extra = 1;
        }
        ++p;
        for (; extra > 0 && (*p & 0xC0) == 0x80; --extra, ++p) code = (code << 6) | (*p & 0x3F);
        if (code >= 32 && code <= 255 && code != 127) queue_char(static_cast<int32_t>(code));
    }
}

void to_display(int32_t wx, int32_t wy) {
    int32_t w = display_width;
    int32_t h = display_height;
    if (state.window) SDL_GetWindowSize(state.window, &w, &h);
    window_to_display(wx, wy, w, h, state.input.mouse_x, state.input.mouse_y);
}

}  // namespace

void pump_events() {
    if (state.headless || !state.initialised) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
            case SDL_QUIT: state.input.close_requested = true; break;
            case SDL_MOUSEMOTION: to_display(e.motion.x, e.motion.y); break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                to_display(e.button.x, e.button.y);
                int32_t button = 0;
                if (e.button.button == SDL_BUTTON_LEFT) button = 1;
                if (e.button.button == SDL_BUTTON_RIGHT) button = 2;
                if (e.button.button == SDL_BUTTON_MIDDLE) button = 3;
                if (button == 0) break;
                if (e.type == SDL_MOUSEBUTTONDOWN) {
                    ++state.input.mouse_hits[button];
                    state.input.mouse_held[button] = 1;
                } else {
                    state.input.mouse_held[button] = 0;
                }
                break;
            }
            case SDL_KEYDOWN: {
                const SDL_Keycode key = e.key.keysym.sym;
                const bool alt = (e.key.keysym.mod & KMOD_ALT) != 0;
                // F11 and Alt+Enter belong to the window, not to the game: Alt+Enter must not
                // also take a screenshot.
                if (key == SDLK_F11 || (alt && (key == SDLK_RETURN || key == SDLK_KP_ENTER))) {
                    if (!e.key.repeat) set_full_screen(!state.fullscreen);
                    break;
                }
                const int32_t code = key_code(key);
                if (code < 0) break;
                if (e.key.repeat) {
                    // Holding Backspace keeps deleting, as typing does; it is not a new press.
                    if (code == 8) queue_char(8);
                    break;
                }
                key_pressed(code);
                break;
            }
            case SDL_KEYUP: {
                const int32_t code = key_code(e.key.keysym.sym);
                if (code >= 0) key_released(code);
                break;
            }
            case SDL_TEXTINPUT: queue_utf8(e.text.text); break;
            // Some drivers lose what their render targets held: the back buffer no longer
            // has the last frame to present again.
            case SDL_RENDER_TARGETS_RESET:
            case SDL_RENDER_DEVICE_RESET: state.reuse.shown_known = false; break;
            case SDL_WINDOWEVENT:
                // A pointer gone from the window hovers over nothing, so no button keeps its
                // glow; while a button is held (a piece being turned) it is still followed.
                if (e.window.event == SDL_WINDOWEVENT_LEAVE && state.input.mouse_held[1] == 0 &&
                    state.input.mouse_held[2] == 0) {
                    state.input.mouse_x = -1;
                    state.input.mouse_y = -1;
                }
                // Without a window manager nobody holds the window to its smallest size.
                if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED && !state.fullscreen &&
                    (e.window.data1 < window_min_width || e.window.data2 < window_min_height)) {
                    SDL_SetWindowSize(state.window, std::max(e.window.data1, window_min_width),
                                      std::max(e.window.data2, window_min_height));
                }
                break;
            default: break;
        }
    }
    if (state.full_screen_check_ms >= 0 && clock_ms() >= state.full_screen_check_ms) {
        state.full_screen_check_ms = -1;
        if (state.fullscreen && !window_covers_display()) cover_display_borderless();
    }
}

window_placement current_window_placement() {
    window_placement placement;
    placement.full_screen = state.fullscreen;
    if (state.headless || !state.window) return placement;
    if (!state.fullscreen) remember_windowed_place();
    placement.known = true;
    placement.x = state.windowed.x;
    placement.y = state.windowed.y;
    placement.width = state.windowed.w;
    placement.height = state.windowed.h;
    return placement;
}

void place_window(const window_placement& placement) {
    if (state.headless || !state.window) {
        state.fullscreen = placement.full_screen;
        return;
    }
    SDL_SetWindowMinimumSize(state.window, window_min_width, window_min_height);
    if (placement.known) {
        const SDL_Rect place{placement.x, placement.y, std::max(placement.width, window_min_width),
                             std::max(placement.height, window_min_height)};
        SDL_SetWindowSize(state.window, place.w, place.h);
        if (on_some_display(place)) {
            SDL_SetWindowPosition(state.window, place.x, place.y);
        } else {
            SDL_SetWindowPosition(state.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        }
    }
    set_full_screen(placement.full_screen);
}

void set_full_screen(bool on) {
    if (state.headless || !state.window) {
        state.fullscreen = on;
        return;
    }
    if (on == state.fullscreen) return;
    state.fullscreen = on;
    if (on) {
        remember_windowed_place();
        if (SDL_SetWindowFullscreen(state.window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            cover_display_borderless();
        } else {
            state.full_screen_check_ms = clock_ms() + full_screen_settle_ms;
        }
        return;
    }
    state.full_screen_check_ms = -1;
    if (state.borderless_full) {
        SDL_SetWindowBordered(state.window, SDL_TRUE);
        state.borderless_full = false;
    } else {
        SDL_SetWindowFullscreen(state.window, 0);
    }
    SDL_SetWindowSize(state.window, state.windowed.w, state.windowed.h);
    SDL_SetWindowPosition(state.window, state.windowed.x, state.windowed.y);
}

bool full_screen() { return state.fullscreen; }

}  // namespace platform

// Drawing over SDL's renderer: the drawing state, images under tint, alpha, blend mode and
// rotation, lines and points, presenting with its pacing, and screenshots.
//
// The back buffer is the headless memory surface, or in the window a render-target texture
// that flip scales into the window with letterboxing; either way it still holds the frame
// after it was presented, so that a screenshot taken after flip shows what the player saw.
//
// A still screen costs almost nothing: a pass's drawing operations are kept, with a running
// hash, until flip, and drawn only when they differ from those that made the frame the back
// buffer holds. Otherwise that frame is presented again. No screen of the game knows.
#include <fcntl.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/platform_internal.h"

namespace platform {

namespace {

SDL_Texture* make_texture(const std::vector<uint32_t>& pixels, int32_t width, int32_t height,
                          bool filtered) {
    SDL_Texture* texture = SDL_CreateTexture(state.renderer, SDL_PIXELFORMAT_ARGB8888,
                                             SDL_TEXTUREACCESS_STATIC, width, height);
    if (!texture) return nullptr;
    SDL_UpdateTexture(texture, nullptr, pixels.data(), width * 4);
    SDL_SetTextureScaleMode(texture, filtered ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    return texture;
}

// Blend modes 1 to 5 of the game for lines and points (textures are set per draw).
SDL_BlendMode line_blend(int32_t mode) {
    switch (mode) {
        case 3: return SDL_BLENDMODE_BLEND;
        case 4: return SDL_BLENDMODE_ADD;
        case 5: return SDL_BLENDMODE_MOD;
        default: return SDL_BLENDMODE_NONE;
    }
}

void set_draw_colour_for_lines() {
    const drawing_state& d = state.draw;
    const bool translucent = d.blend == 3 || d.blend == 4;
    SDL_SetRenderDrawColor(state.renderer, static_cast<Uint8>(d.red), static_cast<Uint8>(d.green),
                           static_cast<Uint8>(d.blue),
                           translucent ? static_cast<Uint8>(d.alpha * 255.0f) : 255);
    SDL_SetRenderDrawBlendMode(state.renderer, line_blend(d.blend));
}

// Positions are truncated toward zero, as every float-to-integer conversion of the game is.
int32_t to_pixel(float v) { return static_cast<int32_t>(v); }

// An "accelerated" OpenGL renderer that is really Mesa's software rasteriser (a machine or
// virtual display without a graphics card) draws the game's pictures at half the speed of
// SDL's own software renderer, too slow for 50 passes a second on a small machine. The
// player's own choice of driver (SDL_RENDER_DRIVER) is left alone.
bool rasterises_in_software(SDL_Renderer* renderer) {
    if (SDL_GetHint(SDL_HINT_RENDER_DRIVER)) return false;
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0) return false;
    if (std::strncmp(info.name, "opengl", 6) != 0) return false;
    using get_string_fn = const unsigned char* (*)(unsigned int);
    auto get_string = reinterpret_cast<get_string_fn>(SDL_GL_GetProcAddress("glGetString"));
    if (!get_string) return false;
    constexpr unsigned int gl_renderer = 0x1F01;
    const auto* name = reinterpret_cast<const char*>(get_string(gl_renderer));
    if (!name) return false;
    const std::string driver = name;
    return driver.find("llvmpipe") != std::string::npos ||
           driver.find("softpipe") != std::string::npos ||
           driver.find("Software Rasterizer") != std::string::npos;
}

// A graphics card shows itself on Linux as a DRM device (or, with NVIDIA's own driver, as
// /dev/nvidia0); with neither, any OpenGL on offer can only be a software rasteriser.
bool has_graphics_device() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error)) {
        (void)entry;
        return true;
    }
    return std::filesystem::exists("/dev/nvidia0", error);
}

}  // namespace

// A picture's textures are made the first time it is drawn in a way that needs them: most
// pictures are only ever drawn either masked (mode 1) or blended, so each keeps one texture
// beside its pixels rather than two, and start-up uploads nothing it does not show.
SDL_Texture* texture_for(image& img, bool masked) {
    SDL_Texture*& texture = masked ? img.mask_texture : img.texture;
    if (texture || !state.renderer || img.pixels.empty()) return texture;
    const bool filtered = (img.flags & 2) != 0;
    if (!masked) {
        texture = make_texture(img.pixels, img.picture_width, img.picture_height, filtered);
        return texture;
    }
    // Mask mode draws without blending and drops pixels whose alpha is below one half: a copy
    // with alpha forced to 0 or 255 and drawn with ordinary blending does exactly that.
    std::vector<uint32_t> thresholded(img.pixels);
    for (uint32_t& p : thresholded) p = (p >> 24) >= 128 ? (p | 0xFF000000u) : (p & 0x00FFFFFFu);
    texture = make_texture(thresholded, img.picture_width, img.picture_height, filtered);
    return texture;
}

namespace {

// The picture with its alpha already multiplied by `alpha`, or null for the picture under an
// alpha of its own. A software renderer blends a picture under an alpha of its own four times
// slower than one whose pixels carry all of their alpha; the solution view draws every piece
// that way, at one alpha that changes at most once a pass. The copy serves the first alpha a
// pass draws the picture with and only that one, so that what a pass draws depends on its own
// drawing alone, never on the passes before it (which frame reuse may have left out).
SDL_Texture* faded_texture_for(image& img, Uint8 alpha) {
    if (img.pixels.empty()) return nullptr;
    if (img.faded_at_present == state.present_count) {
        return img.faded_alpha == alpha ? img.faded_texture : nullptr;
    }
    img.faded_at_present = state.present_count;
    if (img.faded_texture && img.faded_alpha == alpha) return img.faded_texture;
    std::vector<uint32_t> faded(img.pixels);
    for (uint32_t& p : faded) p = (p & 0x00FFFFFFu) | (((p >> 24) * alpha / 255) << 24);
    if (!img.faded_texture) {
        img.faded_texture =
            make_texture(faded, img.picture_width, img.picture_height, (img.flags & 2) != 0);
    } else {
        SDL_UpdateTexture(img.faded_texture, nullptr, faded.data(), img.picture_width * 4);
    }
    img.faded_alpha = alpha;
    return img.faded_texture;
}

enum visible_kind { visible_masked, visible_blended, visible_lit };

// Whether a pixel changes the display: masked drawing leaves out alpha below one half,
// blending leaves out alpha 0, and light adds nothing for alpha 0 or black.
bool shows(uint32_t p, visible_kind kind) {
    const uint32_t a = p >> 24;
    if (kind == visible_masked) return a >= 128;
    if (kind == visible_blended) return a > 0;
    return a > 0 && (p & 0x00FFFFFFu) != 0;
}

// The part of a frame that can change the display when drawn in that way. Most of the
// game's frames are glows, sparks and pieces on a clear ground (a firework's frame is a few
// sparks in 160 by 160), and a software renderer spends its time on every pixel it is given.
const SDL_Rect& visible_part(image& img, int32_t frame, visible_kind kind) {
    img.visible.resize(img.frames.size());
    image::visible_parts& parts = img.visible[static_cast<size_t>(frame)];
    if (!parts.known) {
        const SDL_Rect& f = img.frames[static_cast<size_t>(frame)];
        for (const visible_kind k : {visible_masked, visible_blended, visible_lit}) {
            int32_t left = f.w, top = f.h, right = -1, bottom = -1;
            for (int32_t y = 0; y < f.h; ++y) {
                const uint32_t* row = &img.pixels[static_cast<size_t>(f.y + y) *
                                                      static_cast<size_t>(img.picture_width) +
                                                  static_cast<size_t>(f.x)];
                for (int32_t x = 0; x < f.w; ++x) {
                    if (!shows(row[x], k)) continue;
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
            parts.in_mode[k] =
                right < 0 ? SDL_Rect{f.x, f.y, 0, 0}
                          : SDL_Rect{f.x + left, f.y + top, right - left + 1, bottom - top + 1};
        }
        parts.known = true;
    }
    return parts.in_mode[kind];
}

}  // namespace

void release_image_textures(image& img) {
    if (img.texture) SDL_DestroyTexture(img.texture);
    if (img.mask_texture) SDL_DestroyTexture(img.mask_texture);
    if (img.faded_texture) SDL_DestroyTexture(img.faded_texture);
    img.texture = nullptr;
    img.mask_texture = nullptr;
    img.faded_texture = nullptr;
    img.faded_alpha = -1;
    img.faded_at_present = -1;
}

namespace {

// The switch for tests and measurements (BEAMWORKS_FRAME_REUSE=0 in the environment, or
// headless::set_frame_reuse), and the count of frames presented again. Kept apart from the
// platform's state so that both outlive a restart of the platform.
struct frame_reuse_switch {
    bool on = true;
    int64_t reused = 0;
};

frame_reuse_switch& reuse_switch() {
    static frame_reuse_switch s = [] {
        frame_reuse_switch made;
        const char* setting = std::getenv("BEAMWORKS_FRAME_REUSE");
        made.on = !(setting && std::strcmp(setting, "0") == 0);
        return made;
    }();
    return s;
}

constexpr uint64_t hash_start = 0x84222325cbf29ce4ull;

uint32_t bits_of(float v) {
    uint32_t b = 0;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

// A pass of the heaviest scenes makes thousands of calls: each is mixed in as a few 64-bit
// words rather than byte by byte.
void hash_in(uint64_t& hash, uint64_t word) {
    hash = (hash ^ word) * 0x9E3779B97F4A7C15ull;
    hash ^= hash >> 29;
}

uint64_t hash_call(uint64_t hash, const draw_call& c, std::string_view text) {
    const auto pair = [](uint32_t low, uint32_t high) { return uint64_t{high} << 32 | low; };
    hash_in(hash, pair(static_cast<uint32_t>(c.op), static_cast<uint32_t>(c.frame)));
    hash_in(hash, c.serial);
    hash_in(hash, pair(bits_of(c.handle_x), bits_of(c.handle_y)));
    hash_in(hash, pair(bits_of(c.x1), bits_of(c.y1)));
    hash_in(hash, pair(bits_of(c.x2), bits_of(c.y2)));
    const drawing_state& d = c.draw;
    hash_in(hash, pair(static_cast<uint32_t>(d.red | d.green << 8 | d.blue << 16 | d.blend << 24),
                       c.last_pixel ? 1u : 0u));
    hash_in(hash, pair(bits_of(d.alpha), bits_of(d.rotation)));
    for (const char ch : text) hash_in(hash, static_cast<unsigned char>(ch));
    return hash;
}

// Drawing that never reaches a flip (a tool or a test drawing text over and over) must not grow
// the pass's record without end: past these sizes the pass is drawn as it goes and not kept.
constexpr size_t pass_call_limit = size_t{1} << 16;
constexpr size_t pass_text_limit = size_t{1} << 20;

void start_pass(frame_reuse_state& r) {
    r.pass.calls.clear();
    r.pass.text.clear();
    r.pass.hash = hash_start;
    r.drawing = false;
    r.overflowed = false;
}

void draw_calls(const frame_calls& kept) {
    frame_reuse_state& r = state.reuse;
    r.replaying = true;
    const drawing_state now = state.draw;
    for (const draw_call& c : kept.calls) {
        state.draw = c.draw;
        switch (c.op) {
            case op_clear: cls(); break;
            case op_image: draw_image(c.img, c.x1, c.y1, c.frame); break;
            case op_line: draw_line(c.x1, c.y1, c.x2, c.y2, c.last_pixel); break;
            case op_plot: plot(c.x1, c.y1); break;
            case op_text:
                draw_text(std::string_view(kept.text).substr(c.text_at, c.text_length), c.x1, c.y1);
                break;
        }
    }
    state.draw = now;
    r.replaying = false;
}

// At flip: draws the pass unless the back buffer already holds what it would draw. Returns
// true when the frame there is presented again.
bool finish_pass() {
    frame_reuse_state& r = state.reuse;
    bool reused = false;
    if (!r.pass.calls.empty()) {
        if (!r.drawing) {
            reused = r.shown_known && r.pass.hash == r.shown.hash &&
                     r.pass.calls == r.shown.calls && r.pass.text == r.shown.text;
            if (reused) {
                ++reuse_switch().reused;
            } else {
                draw_calls(r.pass);
            }
        }
        // A pass that did not start by clearing drew over the frame before it: what the back
        // buffer holds then depends on more than its own operations.
        r.shown_known = !r.overflowed && r.pass.calls.front().op == op_clear;
        std::swap(r.shown, r.pass);
    }
    start_pass(r);
    return reused;
}

}  // namespace

bool defer_drawing(draw_op op, const image* img, int32_t frame, float x1, float y1, float x2,
                   float y2, bool last_pixel, std::string_view text) {
    frame_reuse_state& r = state.reuse;
    if (r.replaying) return false;
    if (!reuse_switch().on) {
        r.shown_known = false;
        return false;
    }
    if (r.pass.calls.empty()) start_pass(r);
    if (r.pass.calls.size() >= pass_call_limit || r.pass.text.size() >= pass_text_limit) {
        draw_kept_calls();
        r.overflowed = true;
        return false;
    }
    draw_call call;
    call.op = op;
    call.img = img;
    call.frame = frame;
    call.x1 = x1;
    call.y1 = y1;
    call.x2 = x2;
    call.y2 = y2;
    call.last_pixel = last_pixel;
    // Clearing takes nothing from the drawing state; whatever the last pass left set must not
    // make two equal passes look different.
    if (op != op_clear) call.draw = state.draw;
    if (call.img) {
        image& im = const_cast<image&>(*call.img);
        if (im.serial == 0) im.serial = r.next_serial++;
        call.serial = im.serial;
        call.handle_x = im.handle_x;
        call.handle_y = im.handle_y;
    }
    call.text_at = static_cast<uint32_t>(r.pass.text.size());
    call.text_length = static_cast<uint32_t>(text.size());
    r.pass.text.append(text);
    r.pass.hash = hash_call(r.pass.hash, call, text);
    r.pass.calls.push_back(call);
    // Over the frame before it, a pass cannot be known by its own operations alone.
    if (r.pass.calls.size() == 1 && call.op != op_clear) r.drawing = true;
    return !r.drawing;
}

void draw_kept_calls() {
    frame_reuse_state& r = state.reuse;
    if (r.drawing || r.replaying || r.pass.calls.empty()) return;
    draw_calls(r.pass);
    r.drawing = true;
}

void forget_shown_frame() {
    frame_reuse_state& r = state.reuse;
    r.shown_known = false;
    r.pass.calls.clear();
    r.pass.text.clear();
    r.drawing = false;
    r.overflowed = false;
}

namespace headless {

void set_frame_reuse(bool on) {
    draw_kept_calls();
    forget_shown_frame();
    reuse_switch().on = on;
}

int64_t reused_frames() { return reuse_switch().reused; }

size_t kept_calls() { return state.reuse.pass.calls.size(); }

}  // namespace headless

void open_graphics(int32_t width, int32_t height, int32_t depth, int32_t hz, int32_t flags) {
    // The display is always the game's 800 by 600; the requested depth, rate and flags have
    // no meaning for a scaled window (the pacing of flip stands in for the refresh rate).
    (void)width;
    (void)height;
    (void)depth;
    (void)hz;
    (void)flags;
    if (!state.initialised) return;
    if (!state.headless && !state.graphics_open) {
        state.window = SDL_CreateWindow("Beamworks", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                        display_width, display_height, SDL_WINDOW_RESIZABLE);
        if (!state.window) fatal_error(std::string("Cannot open the window: ") + SDL_GetError());
        if (!has_graphics_device() && !SDL_GetHint(SDL_HINT_RENDER_DRIVER)) {
            // Without a graphics card, asking for OpenGL only loads Mesa's software
            // rasteriser (about 50 MiB and a noticeable wait) to be turned down below.
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        } else {
            state.renderer = SDL_CreateRenderer(
                state.window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
        }
        if (state.renderer && rasterises_in_software(state.renderer)) {
            SDL_DestroyRenderer(state.renderer);
            state.renderer = nullptr;
            // Otherwise SDL would show the software renderer's frames through that same
            // OpenGL rasteriser.
            SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        }
        if (!state.renderer) {
            state.renderer = SDL_CreateRenderer(state.window, -1,
                                                SDL_RENDERER_SOFTWARE | SDL_RENDERER_TARGETTEXTURE);
        }
        if (!state.renderer) fatal_error(std::string("Cannot draw: ") + SDL_GetError());
        state.target = SDL_CreateTexture(state.renderer, SDL_PIXELFORMAT_ARGB8888,
                                         SDL_TEXTUREACCESS_TARGET, display_width, display_height);
        if (!state.target) fatal_error(std::string("Cannot draw: ") + SDL_GetError());
        SDL_SetTextureScaleMode(state.target, SDL_ScaleModeLinear);
        SDL_SetRenderTarget(state.renderer, state.target);
        SDL_StartTextInput();
    }
    state.graphics_open = true;
    state.draw = {};
    forget_shown_frame();
    state.next_present_ms = -1.0;
    cls();
    flip(-1);
    cls();
    flip(-1);
}

void close_graphics() {
    forget_shown_frame();
    if (state.headless || !state.graphics_open) {
        state.graphics_open = false;
        return;
    }
    for (auto& img : state.images) release_image_textures(*img);
    if (state.font_texture) SDL_DestroyTexture(state.font_texture);
    state.font_texture = nullptr;
    if (state.target) SDL_DestroyTexture(state.target);
    state.target = nullptr;
    if (state.renderer) SDL_DestroyRenderer(state.renderer);
    state.renderer = nullptr;
    if (state.window) SDL_DestroyWindow(state.window);
    state.window = nullptr;
    state.graphics_open = false;
}

void cls() {
    if (!state.renderer) return;
    const bool replaying = state.reuse.replaying;
    if (!defer_drawing(op_clear)) {
        SDL_SetRenderDrawColor(state.renderer, 0, 0, 0, 255);
        SDL_RenderClear(state.renderer);
    }
    if (state.clear_hook && !replaying) state.clear_hook();
}

namespace {

// Where the 4:3 display goes in a window of any size: as large as fits, centred.
SDL_Rect letterbox(int32_t window_width, int32_t window_height) {
    SDL_Rect r{0, 0, window_width, window_height};
    if (static_cast<int64_t>(window_width) * display_height >
        static_cast<int64_t>(window_height) * display_width) {
        r.w = window_height * display_width / display_height;
        r.x = (window_width - r.w) / 2;
    } else {
        r.h = window_width * display_height / display_width;
        r.y = (window_height - r.h) / 2;
    }
    return r;
}

// reused: the back buffer still holds the frame presented last.
void present(bool reused) {
    ++state.present_count;
    if (state.headless) {
        if (!state.rasterise || reused) return;
        SDL_RenderFlush(state.renderer);
        SDL_LockSurface(state.surface);
        const auto* src = static_cast<const uint32_t*>(state.surface->pixels);
        state.presented.resize(static_cast<size_t>(display_width * display_height));
        for (int32_t y = 0; y < display_height; ++y) {
            std::memcpy(&state.presented[static_cast<size_t>(y * display_width)],
                        reinterpret_cast<const uint8_t*>(src) + y * state.surface->pitch,
                        display_width * 4);
        }
        SDL_UnlockSurface(state.surface);
        return;
    }
    SDL_SetRenderTarget(state.renderer, nullptr);
    SDL_SetRenderDrawColor(state.renderer, 0, 0, 0, 255);
    SDL_RenderClear(state.renderer);
    int32_t w = 0;
    int32_t h = 0;
    SDL_GetRendererOutputSize(state.renderer, &w, &h);
    const SDL_Rect box = letterbox(w, h);
    SDL_RenderCopy(state.renderer, state.target, nullptr, &box);
    SDL_RenderPresent(state.renderer);
    SDL_SetRenderTarget(state.renderer, state.target);
}

}  // namespace

// Maps a position in a window of the given size to display pixels through the letterbox;
// positions on the black bars go to the nearest edge of the display.
void window_to_display(int32_t wx, int32_t wy, int32_t window_width, int32_t window_height,
                       int32_t& dx, int32_t& dy) {
    const SDL_Rect box = letterbox(window_width, window_height);
    if (box.w <= 0 || box.h <= 0) {
        dx = 0;
        dy = 0;
        return;
    }
    const int64_t x = int64_t{wx - box.x} * display_width / box.w;
    const int64_t y = int64_t{wy - box.y} * display_height / box.h;
    dx = static_cast<int32_t>(std::clamp<int64_t>(x, 0, display_width - 1));
    dy = static_cast<int32_t>(std::clamp<int64_t>(y, 0, display_height - 1));
}

// Presents, then paces at 85 presents a second: each present moves the target time on by
// 1000/85 ms and sleeps until it; a target already passed or more than a second ahead
// restarts the schedule from now. The game's passes take 20 ms, longer than one step, so in
// steady play this never sleeps and the 20 ms pass alone sets the pace.
void flip(int32_t sync) {
    if (!state.renderer) return;
    present(finish_pass());
    pump_events();
    if (sync == 0) return;
    const double step = 1000.0 / 85.0;
    const double now = static_cast<double>(clock_ms());
    if (state.next_present_ms < 0.0) {
        state.next_present_ms = now;
        return;
    }
    state.next_present_ms += step;
    if (state.next_present_ms < now || state.next_present_ms > now + 1000.0) {
        state.next_present_ms = now;
        return;
    }
    // Sleeping to the whole millisecond at or after the target keeps the average at exactly
    // 85 a second, however the fractions fall.
    sleep_ms(std::ceil(state.next_present_ms) - now);
}

void set_color(int32_t r, int32_t g, int32_t b) {
    state.draw.red = std::clamp(r, 0, 255);
    state.draw.green = std::clamp(g, 0, 255);
    state.draw.blue = std::clamp(b, 0, 255);
}

void set_alpha(float a) { state.draw.alpha = std::clamp(a, 0.0f, 1.0f); }

void set_blend(int32_t mode) {
    if (mode >= 1 && mode <= 5) state.draw.blend = mode;
}

void set_rotation(float degrees) { state.draw.rotation = degrees; }

void draw_image(const image* img, float x, float y, int32_t frame) {
    if (defer_drawing(op_image, img, frame, x, y)) return;
    if (!img || !state.renderer || frame < 0 || frame >= static_cast<int32_t>(img->frames.size())) {
        return;
    }
    image& im = const_cast<image&>(*img);
    const drawing_state& d = state.draw;
    SDL_Texture* texture = texture_for(im, d.blend == 1);
    if (!texture) return;
    SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
    Uint8 alpha = 255;
    switch (d.blend) {
        case 2: mode = SDL_BLENDMODE_NONE; break;
        case 3: alpha = static_cast<Uint8>(d.alpha * 255.0f); break;
        case 4:
            mode = SDL_BLENDMODE_ADD;
            alpha = static_cast<Uint8>(d.alpha * 255.0f);
            break;
        case 5: mode = SDL_BLENDMODE_MOD; break;
        default: break;
    }
    // Blending a picture with no transparent pixel at full alpha is a copy, and a software
    // renderer copies a full-screen background eight times faster than it blends it.
    if (mode == SDL_BLENDMODE_BLEND && alpha == 255 && im.opaque) mode = SDL_BLENDMODE_NONE;
    if (mode == SDL_BLENDMODE_BLEND && alpha < 255 && d.blend == 3) {
        if (SDL_Texture* faded = faded_texture_for(im, alpha)) {
            texture = faded;
            alpha = 255;
        }
    }
    SDL_SetTextureBlendMode(texture, mode);
    SDL_SetTextureAlphaMod(texture, alpha);
    SDL_SetTextureColorMod(texture, static_cast<Uint8>(d.red), static_cast<Uint8>(d.green),
                           static_cast<Uint8>(d.blue));
    SDL_Rect source = im.frames[static_cast<size_t>(frame)];
    SDL_FRect target{static_cast<float>(to_pixel(x - im.handle_x)),
                     static_cast<float>(to_pixel(y - im.handle_y)), static_cast<float>(im.width),
                     static_cast<float>(im.height)};
    if (!state.rasterise) return;
    if (d.rotation == 0.0f) {
        if (mode == SDL_BLENDMODE_BLEND || mode == SDL_BLENDMODE_ADD) {
            const visible_kind kind = d.blend == 1                ? visible_masked
                                      : mode == SDL_BLENDMODE_ADD ? visible_lit
                                                                  : visible_blended;
            const SDL_Rect part = visible_part(im, frame, kind);
            if (part.w == 0) return;
            target = {target.x + static_cast<float>(part.x - source.x),
                      target.y + static_cast<float>(part.y - source.y), static_cast<float>(part.w),
                      static_cast<float>(part.h)};
            source = part;
        }
        SDL_RenderCopyF(state.renderer, texture, &source, &target);
    } else {
        const SDL_FPoint centre{im.handle_x, im.handle_y};
        SDL_RenderCopyExF(state.renderer, texture, &source, &target, d.rotation, &centre,
                          SDL_FLIP_NONE);
    }
}

void draw_line(float x1, float y1, float x2, float y2, bool draw_last_pixel) {
    if (defer_drawing(op_line, nullptr, 0, x1, y1, x2, y2, draw_last_pixel)) return;
    if (!state.renderer || !state.rasterise) return;
    // Bresenham's walk in whole pixels, so that leaving out the last pixel is exact.
    int32_t x = to_pixel(x1);
    int32_t y = to_pixel(y1);
    const int32_t end_x = to_pixel(x2);
    const int32_t end_y = to_pixel(y2);
    const int32_t dx = std::abs(end_x - x);
    const int32_t dy = -std::abs(end_y - y);
    const int32_t step_x = x < end_x ? 1 : -1;
    const int32_t step_y = y < end_y ? 1 : -1;
    int32_t error = dx + dy;
    // The points go to the renderer a batch at a time, from a fixed buffer: lines are drawn
    // thousands of times a frame and must not allocate.
    constexpr int32_t batch = 256;
    std::array<SDL_Point, batch> points;
    int32_t count = 0;
    auto flush = [&] {
        if (count == 0) return;
        set_draw_colour_for_lines();
        SDL_RenderDrawPoints(state.renderer, points.data(), count);
        count = 0;
    };
    for (;;) {
        const bool last = x == end_x && y == end_y;
        if (!last || draw_last_pixel) {
            if (count == batch) flush();
            points[static_cast<size_t>(count++)] = {x, y};
        }
        if (last) break;
        const int32_t e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x += step_x;
        }
        if (e2 <= dx) {
            error += dx;
            y += step_y;
        }
    }
    flush();
}

void plot(float x, float y) {
    if (defer_drawing(op_plot, nullptr, 0, x, y)) return;
    if (!state.renderer || !state.rasterise) return;
    set_draw_colour_for_lines();
    SDL_RenderDrawPoint(state.renderer, to_pixel(x), to_pixel(y));
}

void mid_handle_image(image* img) {
    if (!img) return;
    draw_kept_calls();
    img->handle_x = static_cast<float>(img->width / 2);
    img->handle_y = static_cast<float>(img->height / 2);
}

int32_t image_width(const image* img) { return img ? img->width : 0; }
int32_t image_height(const image* img) { return img ? img->height : 0; }
int32_t image_frames(const image* img) {
    return img ? static_cast<int32_t>(img->frames.size()) : 0;
}

pixmap* grab_pixmap(int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!state.renderer || width <= 0 || height <= 0) return nullptr;
    draw_kept_calls();
    auto pm = std::make_unique<pixmap>();
    pm->width = width;
    pm->height = height;
    pm->pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFF000000u);
    // Only the part of the rectangle that lies on the display is read; the rest stays black.
    SDL_Rect wanted{x, y, width, height};
    const SDL_Rect screen{0, 0, display_width, display_height};
    SDL_Rect inside;
    if (SDL_IntersectRect(&wanted, &screen, &inside)) {
        std::vector<uint32_t> buffer(static_cast<size_t>(inside.w * inside.h));
        if (SDL_RenderReadPixels(state.renderer, &inside, SDL_PIXELFORMAT_ARGB8888, buffer.data(),
                                 inside.w * 4) == 0) {
            for (int32_t row = 0; row < inside.h; ++row) {
                std::memcpy(
                    &pm->pixels[static_cast<size_t>((inside.y - y + row) * width + (inside.x - x))],
                    &buffer[static_cast<size_t>(row * inside.w)],
                    static_cast<size_t>(inside.w) * 4);
            }
        }
    }
    state.pixmaps.push_back(std::move(pm));
    return state.pixmaps.back().get();
}

void free_pixmap(pixmap* pm) {
    std::erase_if(state.pixmaps, [pm](const std::unique_ptr<pixmap>& p) { return p.get() == pm; });
}

namespace {

void png_error_jump(png_structp png, png_const_charp) { std::longjmp(png_jmpbuf(png), 1); }
void png_warning_ignore(png_structp, png_const_charp) {}

// Kept free of C++ objects: libpng reports errors by a long jump back into this function.
bool write_png_rows(std::FILE* file, int32_t width, int32_t height, png_bytep* rows,
                    int32_t compression) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, png_error_jump, png_warning_ignore);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, compression);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

// An opaque 8-bit RGB picture: the display has no transparency worth keeping.
bool save_pixmap_png(const pixmap* pm, const std::string& path, int32_t compression) {
    if (!pm) return false;
    const std::string os_path = resolve_path(path);
    std::vector<uint8_t> rgb(pm->pixels.size() * 3);
    for (size_t i = 0; i < pm->pixels.size(); ++i) {
        rgb[i * 3] = static_cast<uint8_t>(pm->pixels[i] >> 16);
        rgb[i * 3 + 1] = static_cast<uint8_t>(pm->pixels[i] >> 8);
        rgb[i * 3 + 2] = static_cast<uint8_t>(pm->pixels[i]);
    }
    std::vector<png_bytep> rows(static_cast<size_t>(pm->height));
    for (int32_t y = 0; y < pm->height; ++y) {
        rows[static_cast<size_t>(y)] = &rgb[static_cast<size_t>(y) * pm->width * 3];
    }
    // Written to a new file of its own, never opened through a link, then renamed to its name:
    // a link planted at a screenshot's name is replaced, and the game writes nowhere else.
    const std::string temp = os_path + ".tmp" + std::to_string(getpid());
    constexpr int create_flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(temp.c_str(), create_flags, 0644);
    if (fd < 0 && errno == EEXIST) {
        ::unlink(temp.c_str());
        fd = ::open(temp.c_str(), create_flags, 0644);
    }
    if (fd < 0) return false;
    std::FILE* file = ::fdopen(fd, "wb");
    if (!file) {
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    const bool written =
        write_png_rows(file, pm->width, pm->height, rows.data(), std::clamp(compression, 0, 9));
    const bool flushed = std::fflush(file) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!(written && flushed && closed) || std::rename(temp.c_str(), os_path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}  // namespace platform

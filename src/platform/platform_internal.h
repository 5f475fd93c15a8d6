// What the platform's own files share: the records behind the opaque handles, the drawing
// state, the input counters, the clock and the backend hooks.
//
// Nothing outside src/platform includes this; it is the one place where SDL types live.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/headless.h"
#include "platform/platform.h"

namespace platform {

struct image {
    std::string path;
    int32_t flags = 0;
    int32_t width = 0;   // of one frame
    int32_t height = 0;
    int32_t picture_width = 0;   // of the whole decoded picture (strip)
    int32_t picture_height = 0;
    float handle_x = 0.0f;
    float handle_y = 0.0f;
    std::vector<SDL_Rect> frames;     // source rectangles within the picture
    // For each frame, found on its first drawing: the smallest rectangle outside which
    // nothing shows when drawn masked, blended or as light (see visible_part).
    struct visible_parts {
        bool known = false;
        SDL_Rect in_mode[3]{};
    };
    std::vector<visible_parts> visible;
    std::vector<uint32_t> pixels;     // the picture, 0xAARRGGBB, kept for re-uploading
    bool opaque = false;              // every pixel's alpha is 255
    SDL_Texture* texture = nullptr;       // the picture as decoded (and masked)
    SDL_Texture* mask_texture = nullptr;  // alpha thresholded at one half, for blend mode 1
    SDL_Texture* faded_texture = nullptr; // alpha multiplied by faded_alpha (see draw_image)
    int32_t faded_alpha = -1;
    int32_t faded_at_present = -1;        // present_count when it was last remade
};

struct sound {
    std::string path;
    bool loops = false;
    std::vector<int16_t> samples;  // interleaved stereo at mixer_rate
    // A looping track is not decoded up front: it keeps its Ogg Vorbis bytes, and each
    // channel that plays it decodes them as the mixer needs them (see ogg_stream).
    std::string encoded;
    int64_t length_ms = 0;
};

// One channel's decoder of a streamed track, opened by the mixer when it first needs samples.
struct ogg_stream;
struct ogg_stream_closer {
    void operator()(ogg_stream* s) const;
};

struct stream {
    std::FILE* file = nullptr;
    bool writing = false;
    bool at_end = false;
};

struct pixmap {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB
};

constexpr int32_t display_width = 800;
constexpr int32_t display_height = 600;
constexpr int32_t mixer_rate = 44100;
constexpr int32_t key_codes = 512;
constexpr int32_t char_queue_size = 256;

struct drawing_state {
    int32_t blend = 1;
    int32_t red = 255;
    int32_t green = 255;
    int32_t blue = 255;
    float alpha = 1.0f;
    float rotation = 0.0f;
};

struct input_state {
    int32_t mouse_x = 0;
    int32_t mouse_y = 0;
    int32_t mouse_hits[4] = {};
    int32_t mouse_held[4] = {};
    int32_t key_hits[key_codes] = {};
    int32_t key_held[key_codes] = {};
    int32_t chars[char_queue_size] = {};
    int32_t char_head = 0;
    int32_t char_count = 0;
    bool close_requested = false;
};

// Pictures being decoded ahead on worker threads (see prefetch_pictures).
struct picture_prefetch;
struct picture_prefetch_closer {
    void operator()(picture_prefetch* p) const;
};

struct playing_channel {
    channel id = 0;
    const sound* snd = nullptr;
    size_t position = 0;      // next sample (not frame) to mix
    int32_t start_ms = 0;     // for the silent backends: when it started on the game's clock
    std::unique_ptr<ogg_stream, ogg_stream_closer> stream;  // streamed tracks only
    bool ended = false;       // the mixer found its stream damaged: it is dropped
};

struct platform_state {
    bool initialised = false;
    bool headless = false;
    std::string game_dir;
    std::string data_dir;

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Surface* surface = nullptr;        // headless back buffer
    SDL_Texture* target = nullptr;         // window back buffer, presented letterboxed
    SDL_Texture* font_texture = nullptr;
    bool graphics_open = false;
    bool rasterise = true;                 // headless: false puts no pixel anywhere
    bool fullscreen = false;
    std::vector<uint32_t> presented;       // headless: the last presented frame
    int32_t present_count = 0;
    std::function<void()> clear_hook;      // headless: see headless::on_clear

    drawing_state draw;
    input_state input;

    // Clock: virtual in headless mode, SDL ticks since init in the window.
    int64_t virtual_ms = 0;
    uint64_t clock_origin = 0;
    double next_present_ms = -1.0;

    std::mt19937 rng{1};

    SDL_AudioDeviceID audio_device = 0;
    std::vector<playing_channel> channels;
    std::vector<int32_t> mix_sums;  // the mixer's running sums, kept for their capacity
    channel next_channel = 1;
    std::vector<headless::sound_event> sound_log;

    std::vector<std::unique_ptr<image>> images;
    std::unique_ptr<picture_prefetch, picture_prefetch_closer> prefetch;
    std::vector<std::unique_ptr<sound>> sounds;
    std::vector<std::unique_ptr<stream>> streams;
    std::vector<std::unique_ptr<pixmap>> pixmaps;
};

extern platform_state state;

// Shared between the platform's files.
int64_t clock_ms();                      // the game's clock, 64-bit
void sleep_ms(double ms);                // real sleep, or advancing the virtual clock
void pump_events();                      // window events into the input state (window only)
void window_to_display(int32_t wx, int32_t wy, int32_t window_width, int32_t window_height,
                       int32_t& dx, int32_t& dy);
void release_image_textures(image& img);
// The texture for drawing masked (blend mode 1) or blended, made on first use.
SDL_Texture* texture_for(image& img, bool masked);
void create_font_texture();
void close_audio();
void open_audio();
void stop_all_channels();
void queue_char(int32_t code);
void key_pressed(int32_t key);
void key_released(int32_t key);
void reset_input();
[[noreturn]] void fatal_error(const std::string& message);
std::string read_whole_file(const std::string& os_path, bool& ok);

}  // namespace platform

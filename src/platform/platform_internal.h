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
    int32_t width = 0;  // of one frame
    int32_t height = 0;
    int32_t picture_width = 0;  // of the whole decoded picture (strip)
    int32_t picture_height = 0;
    float handle_x = 0.0f;
    float handle_y = 0.0f;
    std::vector<SDL_Rect> frames;  // source rectangles within the picture
    // For each frame, found on its first drawing: the smallest rectangle outside which
    // nothing shows when drawn masked, blended or as light (see visible_part).
    struct visible_parts {
        bool known = false;
        SDL_Rect in_mode[3]{};
    };
    std::vector<visible_parts> visible;
    std::vector<uint32_t> pixels;          // the picture, 0xAARRGGBB, kept for re-uploading
    bool opaque = false;                   // every pixel's alpha is 255
    SDL_Texture* texture = nullptr;        // the picture as decoded (and masked)
    SDL_Texture* mask_texture = nullptr;   // alpha thresholded at one half, for blend mode 1
    SDL_Texture* faded_texture = nullptr;  // alpha multiplied by faded_alpha (see draw_image)
    int32_t faded_alpha = -1;
    int32_t faded_at_present = -1;  // present_count of the pass it last served
    // Which picture this is, for frame reuse: numbered on its first drawing, so that a picture
    // made later at the same address is never taken for this one.
    uint64_t serial = 0;
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
    bool operator==(const drawing_state&) const = default;
};

// One drawing operation of a pass as frame reuse keeps it: the operation, its arguments, the
// drawing state it ran under and the state of its picture. Everything that decides what the
// operation puts on the back buffer is here (a picture's pixels never change once loaded, and
// its faded and masked copies are made from them and the alpha and blend mode alone).
enum draw_op : int32_t { op_clear, op_image, op_line, op_plot, op_text };
struct draw_call {
    draw_op op = op_clear;
    const image* img = nullptr;
    uint64_t serial = 0;
    float handle_x = 0.0f;
    float handle_y = 0.0f;
    int32_t frame = 0;
    float x1 = 0.0f;
    float y1 = 0.0f;
    float x2 = 0.0f;
    float y2 = 0.0f;
    bool last_pixel = false;
    uint32_t text_at = 0;  // op_text: its characters in frame_calls::text
    uint32_t text_length = 0;
    drawing_state draw;
    bool operator==(const draw_call&) const = default;
};

// The drawing operations of one pass, in order, with a running hash of them.
struct frame_calls {
    std::vector<draw_call> calls;
    std::string text;
    uint64_t hash = 0;
};

// A pass that would draw exactly what the last one drew presents the back buffer again
// instead: its operations are kept until flip and drawn only when they differ (see flip).
struct frame_reuse_state {
    frame_calls pass;   // since the last present
    frame_calls shown;  // what the back buffer holds, when shown_known
    bool shown_known = false;
    bool drawing = false;     // this pass draws as it goes: it cannot be reused
    bool replaying = false;   // kept operations are being drawn
    bool overflowed = false;  // this pass outgrew its record: drawn as it goes, never reused
    uint64_t next_serial = 1;
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
    size_t position = 0;   // next sample (not frame) to mix
    int32_t start_ms = 0;  // for the silent backends: when it started on the game's clock
    std::unique_ptr<ogg_stream, ogg_stream_closer> stream;  // streamed tracks only
    bool ended = false;  // the mixer found its stream damaged: it is dropped
};

struct platform_state {
    bool initialised = false;
    bool headless = false;
    std::string game_dir;
    std::string data_dir;

    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Surface* surface = nullptr;  // headless back buffer
    SDL_Texture* target = nullptr;   // window back buffer, presented letterboxed
    SDL_Texture* font_texture = nullptr;
    bool graphics_open = false;
    bool rasterise = true;  // headless: false puts no pixel anywhere
    bool fullscreen = false;
    bool borderless_full = false;       // full screen stood in for by a borderless window
    SDL_Rect windowed{0, 0, 800, 600};  // the window's place before it went full screen
    int64_t full_screen_check_ms = -1;  // when to see whether full screen took effect
    std::vector<uint32_t> presented;    // headless: the last presented frame
    int32_t present_count = 0;
    std::function<void()> clear_hook;  // headless: see headless::on_clear
    frame_reuse_state reuse;

    drawing_state draw;
    input_state input;
    std::string clipboard;  // headless: the clipboard's text

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
    int32_t music_volume = 100;  // percent, read by the mixer
    int32_t sound_volume = 100;

    std::vector<std::unique_ptr<image>> images;
    std::unique_ptr<picture_prefetch, picture_prefetch_closer> prefetch;
    std::vector<std::unique_ptr<sound>> sounds;
    std::vector<std::unique_ptr<stream>> streams;
    std::vector<std::unique_ptr<pixmap>> pixmaps;
};

extern platform_state state;

// Shared between the platform's files.
int64_t clock_ms();        // the game's clock, 64-bit
void sleep_ms(double ms);  // real sleep, or advancing the virtual clock
void pump_events();        // window events into the input state (window only)
void window_to_display(int32_t wx, int32_t wy, int32_t window_width, int32_t window_height,
                       int32_t& dx, int32_t& dy);
void release_image_textures(image& img);
// Frame reuse: keeps a drawing operation for flip and returns true, or returns false when it
// is to be drawn now. The drawing state and the picture's state are filled in here.
bool defer_drawing(draw_op op, const image* img = nullptr, int32_t frame = 0, float x1 = 0.0f,
                   float y1 = 0.0f, float x2 = 0.0f, float y2 = 0.0f, bool last_pixel = false,
                   std::string_view text = {});
// Draws the operations kept so far, for whoever is about to read or change what they depend
// on; the rest of the pass then draws as it goes.
void draw_kept_calls();
// The back buffer no longer holds the last frame drawn, or the operations of this pass so far
// are drawn and no longer decide it (a lost render target, a reset of the display, drawing
// switched on or off); kept operations are dropped, so draw them first where they count.
void forget_shown_frame();
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

// What a picture, font or sound may ask of memory. Every decoder checks the sizes a file
// claims against these before it allocates anything, and a file beyond them is treated as
// missing: a damaged header of a few bytes must not take gigabytes or end the game. The
// game's own largest picture is an animation strip of a few thousand pixels a side and its
// longest sound a tune of about a minute, so the limits are far above any real file.
constexpr int64_t content_max_side = 16384;
constexpr int64_t content_max_decoded_bytes = int64_t{256} << 20;
constexpr int64_t content_max_sound_seconds = 10 * 60;
// Whole files read into memory: content (pictures, sounds, fonts) and anything else by default.
constexpr size_t content_max_file_bytes = files_default_max_bytes;
// A picture of this many pixels a side, 4 bytes a pixel once decoded.
bool picture_size_allowed(int64_t width, int64_t height);
// A sound of this many frames at this rate (frames a second), with this many channels: at most
// 10 minutes, and its samples within the decoded-bytes limit.
bool sound_length_allowed(int64_t frames, int64_t rate, int64_t channels);

// Reads a whole file of at most max_bytes; ok is false when it cannot be read or is larger.
std::string read_whole_file(const std::string& os_path, bool& ok, size_t max_bytes);

// The decoders behind load_image and load_sound, bytes in, for the fuzzers and tests.
struct decoded_picture {
    int32_t width = 0;
    int32_t height = 0;
    bool has_alpha = false;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB
};
bool decode_picture(const std::string& bytes, decoded_picture& out);
// Fills snd's samples (or, for a looping track that can stream, its encoded bytes) and
// length_ms from a WAV or Ogg Vorbis file; length_only leaves the samples empty when they need
// decoding. False when the sound cannot be used.
bool decode_sound(const std::string& bytes, sound& snd, bool length_only);

}  // namespace platform

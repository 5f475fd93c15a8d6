// Controls of the headless backend: scripted input, the virtual clock, the sound log, pixels.
//
// Only tests and tools include this. The game itself sees the same platform operations in
// either backend.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform::headless {

// Scripted input, delivered as if it came from the window between two passes.
void move_mouse(int32_t x, int32_t y);
void press_button(int32_t button);  // 1 left, 2 right
void release_button(int32_t button);
// Enter (13), Backspace (8), Tab (9) and Escape (27) also queue their typed character, as
// in the window.
void press_key(int32_t key);
void release_key(int32_t key);
void type_text(const std::string& text);
// What a player copied elsewhere: the text the game's clipboard_text now gives.
void put_on_clipboard(const std::string& text);
// As if the player clicked the window's close button.
void request_close();

// The virtual clock: delay() and present pacing advance it instead of sleeping.
void advance_clock(int32_t ms);
// Runs right after every cls, that is inside every pass of the main loop before anything
// draws: a test stands in for the work of a pass with it (advance_clock), or watches passes.
// An empty function removes it.
void on_clear(std::function<void()> hook);

// Passes without pixels, for long runs that need only the game's logic (the soak): every
// drawing operation still does its own work but puts no pixel in the back buffer, and presents
// copy nothing. On again at every init_headless.
void set_rasterising(bool on);

// Frame reuse: a pass that would draw exactly what the last one drew presents that frame again
// instead of drawing it. On unless BEAMWORKS_FRAME_REUSE=0 is in the environment; the setting
// and the count of frames presented again outlive shutdown and init (a test compares whole
// runs with it on and off).
void set_frame_reuse(bool on);
int64_t reused_frames();
// Drawing calls kept so far in this pass.
size_t kept_calls();

// Sounds started and stopped, in order. The path is the game path the sound was loaded from.
struct sound_event {
    bool started;  // false: stopped
    std::string path;
    int32_t channel;
    int32_t time_ms;  // virtual clock at the event
};
const std::vector<sound_event>& sound_log();
void clear_sound_log();
// The next `samples` interleaved stereo samples that an audio device would be given, mixed
// from the playing channels. Headless loading only reads the length of short Ogg sounds, so
// of those only the streamed looping tracks and WAV sounds are heard here.
std::vector<int16_t> mix_output(size_t samples);

// The back buffer as it is now (0xAARRGGBB) and as last presented.
uint32_t pixel(int32_t x, int32_t y);
uint32_t presented_pixel(int32_t x, int32_t y);
int32_t present_count();

}  // namespace platform::headless

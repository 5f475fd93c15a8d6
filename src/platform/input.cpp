// Input as the game reads it: press counts that reading resets, held flags, and the queue of
// typed characters. Both backends feed it; the game only polls.
#include <algorithm>
#include <utility>

#include "platform/platform_internal.h"

namespace platform {

namespace {

bool valid_button(int32_t button) { return button >= 1 && button <= 3; }
bool valid_key(int32_t key) { return key >= 0 && key < key_codes; }

}  // namespace

void queue_char(int32_t code) {
    if (code <= 0 || code > 255) return;
    input_state& in = state.input;
    if (in.char_count == char_queue_size) return;  // a full queue drops further typing
    in.chars[(in.char_head + in.char_count) % char_queue_size] = code;
    ++in.char_count;
}

// Enter, Backspace, Tab and Escape also arrive as typed characters, as they do on the
// desktop the game was made for: name entry reads them from the same queue as the letters.
void key_pressed(int32_t key) {
    if (!valid_key(key)) return;
    ++state.input.key_hits[key];
    state.input.key_held[key] = 1;
    if (key == 8 || key == 9 || key == 13 || key == 27) queue_char(key);
}

void key_released(int32_t key) {
    if (valid_key(key)) state.input.key_held[key] = 0;
}

void reset_input() {
    const int32_t x = state.input.mouse_x;
    const int32_t y = state.input.mouse_y;
    state.input = {};
    state.input.mouse_x = x;
    state.input.mouse_y = y;
}

int32_t mouse_x() { return state.input.mouse_x; }
int32_t mouse_y() { return state.input.mouse_y; }

int32_t mouse_hit(int32_t button) {
    if (!valid_button(button)) return 0;
    return std::exchange(state.input.mouse_hits[button], 0);
}

int32_t mouse_down(int32_t button) {
    return valid_button(button) ? state.input.mouse_held[button] : 0;
}

int32_t key_hit(int32_t key) {
    if (!valid_key(key)) return 0;
    return std::exchange(state.input.key_hits[key], 0);
}

int32_t key_down(int32_t key) { return valid_key(key) ? state.input.key_held[key] : 0; }

int32_t get_char() {
    input_state& in = state.input;
    if (in.char_count == 0) return 0;
    const int32_t code = in.chars[in.char_head];
    in.char_head = (in.char_head + 1) % char_queue_size;
    --in.char_count;
    return code;
}

void flush_keys() {
    input_state& in = state.input;
    std::fill(std::begin(in.key_hits), std::end(in.key_hits), 0);
    std::fill(std::begin(in.key_held), std::end(in.key_held), 0);
    in.char_head = 0;
    in.char_count = 0;
}

bool close_requested() { return state.input.close_requested; }

bool set_clipboard_text(const std::string& text) {
    if (state.headless || !state.window) {
        state.clipboard = text;
        return true;
    }
    return SDL_SetClipboardText(text.c_str()) == 0;
}

std::string clipboard_text() {
    if (state.headless || !state.window) return state.clipboard;
    // SDL gives an empty string, never null, when the clipboard holds no text; it is ours to free.
    char* text = SDL_GetClipboardText();
    if (!text) return "";
    std::string copy = text;
    SDL_free(text);
    return copy;
}

}  // namespace platform

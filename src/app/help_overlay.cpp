// The help overlay of keys and mouse actions, opened with F1 over any screen.
#include "app/help_overlay.h"

#include <array>
#include <string_view>

#include "app/app_state.h"
#include "app/bitmap_font.h"

namespace {

constexpr int32_t key_escape = 27;

constexpr int32_t box_left = 70;
constexpr int32_t box_top = 100;
constexpr int32_t box_right = 730;
constexpr int32_t box_bottom = 474;
constexpr int32_t line_height = 22;

constexpr std::array<help_line, 14> help_lines = {{
    {"Left click", "place the chosen piece on an empty cell"},
    {"Drag", "turn a piece (also right after placing it)"},
    {"Right click", "take a piece back"},
    {"Click a laser", "switch it on or off"},
    {"Click a slot", "choose a piece; its arrows: a sphere colour"},
    {"Hold Space", "show the solution after a minute, at a cost"},
    {"Ctrl+Z, Backspace", "undo a move"},
    {"Ctrl+Y", "redo a move"},
    {"C", "after a win: copy your pieces as a code"},
    {"Ctrl+V", "paste a solution code; Space then shows it"},
    {"O", "options, from the main menu"},
    {"Enter", "save a screenshot"},
    {"F11, Alt+Enter", "full screen and back"},
    {"F1, Escape, click", "close this help"},
}};

// The editor's own keys and clicks, shown over the editor and its list of custom levels.
constexpr std::array<help_line, 12> editor_help_lines = {{
    {"Click the palette", "choose a kind; then its colour and direction"},
    {"Left click", "place it, or turn a laser or translator a step"},
    {"Drag", "turn a mirror or a prism"},
    {"Right click", "take a piece away"},
    {"Ctrl+Z, Backspace", "undo a step"},
    {"Ctrl+Y", "redo a step"},
    {"Ctrl+C", "copy the level as a level code"},
    {"Ctrl+V", "open a pasted level code"},
    {"Up, Down", "choose a level in the list of custom levels"},
    {"Enter", "end a name or a note; saves a screenshot"},
    {"F11, Alt+Enter", "full screen and back"},
    {"F1, Escape, click", "close this help"},
}};

}  // namespace

std::span<const help_line> current_help_lines() {
    if (screen_state == screen_editor || screen_state == screen_custom_levels) {
        return editor_help_lines;
    }
    return help_lines;
}

void step_help_overlay() {
    const bool f1 = platform::key_hit(platform::key_f1) != 0;
    if (help_shown == 0) {
        if (f1) {
            help_shown = 1;
            platform::key_hit(key_escape);  // an Escape pressed earlier must not close it at once
        }
    } else if (f1 || platform::key_hit(key_escape) != 0 || left_click == 1 || right_click == 1) {
        help_shown = 0;
        help_vars.closing_click = left_click == 1 || right_click == 1 ? 1 : 0;
    }
    // A button that closed the overlay stays away from the screen until it is let go: the
    // closing click must not also grab a piece or press a button beneath.
    if (help_vars.closing_click == 1 && left_held == 0 && right_held == 0 && left_click == 0 &&
        right_click == 0) {
        help_vars.closing_click = 0;
    }
    if (help_shown == 1 || help_vars.closing_click == 1) {
        left_click = 0;
        right_click = 0;
        left_held = 0;
        right_held = 0;
    }
    // Keys pressed while the help is read are for the help: a name being typed on the
    // profiles screen or a piece on the board must not change behind it.
    if (help_shown == 1) platform::flush_keys();
}

void draw_glass_box(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    platform::set_blend(3);
    platform::set_alpha(0.88f);
    set_faded_color(6, 10, 28);
    for (int32_t y = top; y <= bottom; ++y) platform::draw_line(left, y, right, y, true);
    platform::set_alpha(1);
    set_faded_color(90, 150, 230);
    platform::draw_line(left, top, right, top, true);
    platform::draw_line(left, bottom, right, bottom, true);
    platform::draw_line(left, top, left, bottom, true);
    platform::draw_line(right, top, right, bottom, true);
}

void draw_help_overlay() {
    if (help_shown == 0) return;
    draw_glass_box(box_left, box_top, box_right, box_bottom);

    platform::set_color(255, 255, 255);
    const bool editor = screen_state == screen_editor || screen_state == screen_custom_levels;
    draw_bitmap_text(font24, box_left + 20, box_top + 12,
                     editor ? "Keys and mouse in the editor" : "Keys and mouse", 1000);
    int32_t y = box_top + 52;
    for (const help_line& line : current_help_lines()) {
        platform::set_color(255, 230, 140);
        draw_bitmap_text(font16, box_left + 20, y, line.keys, 1000);
        platform::set_color(210, 220, 240);
        draw_bitmap_text(font16, box_left + 210, y, line.action, 1000);
        y += line_height;
    }
}

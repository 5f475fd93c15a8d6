// The replay script: one command a line, '#' starts a comment line. The whole script is
// checked before the game starts, so a typo on the last line costs no waiting.
#include "replay_script.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/app_state.h"
#include "app/game_state.h"
#include "platform/headless.h"
#include "platform/platform.h"

namespace replay {

namespace {

std::vector<std::string> split_words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    std::string w;
    while (in >> w) words.push_back(w);
    return words;
}

bool parse_int(const std::string& word, int32_t& out) {
    const char* end = word.data() + word.size();
    const auto result = std::from_chars(word.data(), end, out);
    return result.ec == std::errc() && result.ptr == end;
}

// What follows the command word, as written (for type, clipboard, shot and dump).
std::string rest_of_line(const std::string& line, const std::string& word) {
    const size_t at = line.find(word) + word.size();
    size_t start = line.find_first_not_of(" \t", at);
    if (start == std::string::npos) return {};
    std::string rest = line.substr(start);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t' || rest.back() == '\r')) {
        rest.pop_back();
    }
    return rest;
}

std::string parse_line(const std::string& line, command& c) {
    const std::vector<std::string> w = split_words(line);
    const std::string& name = w[0];
    auto want_args = [&](size_t n) -> std::string {
        if (w.size() != n + 1) {
            return "'" + name + "' takes " + std::to_string(n) + " argument" + (n == 1 ? "" : "s") +
                   ", found " + std::to_string(w.size() - 1);
        }
        return {};
    };
    auto number = [&](size_t i, int32_t& out, int32_t low) -> std::string {
        if (!parse_int(w[i], out)) return "'" + w[i] + "' is not a whole number";
        if (out < low) return "'" + w[i] + "' is below " + std::to_string(low);
        return {};
    };
    auto button = [&](int32_t& out) -> std::string {
        if (w[1] == "left")
            out = 1;
        else if (w[1] == "right")
            out = 2;
        else
            return "unknown button '" + w[1] + "' (left or right)";
        return {};
    };
    std::string e;
    if (name == "move" || name == "click") {
        c.what = name == "move" ? op::move : op::click;
        if (!(e = want_args(2)).empty()) return e;
        if (!(e = number(1, c.a, INT32_MIN)).empty()) return e;
        return number(2, c.b, INT32_MIN);
    }
    if (name == "press" || name == "release") {
        c.what = name == "press" ? op::press : op::release;
        if (!(e = want_args(1)).empty()) return e;
        return button(c.a);
    }
    if (name == "key" || name == "hold" || name == "free") {
        c.what = name == "key" ? op::key : name == "hold" ? op::hold : op::free;
        if (!(e = want_args(1)).empty()) return e;
        if (!(e = number(1, c.a, 0)).empty()) return e;
        if (c.a > 511) return "key code " + w[1] + " is above 511";
        return {};
    }
    if (name == "wait") {
        c.what = op::wait;
        if (!(e = want_args(1)).empty()) return e;
        return number(1, c.a, 0);
    }
    if (name == "type") {
        c.what = op::type;
        c.text = rest_of_line(line, name);
        if (c.text.empty()) return "'type' needs the text to type";
        return {};
    }
    if (name == "clipboard") {
        c.what = op::clipboard;
        c.text = rest_of_line(line, name);
        if (c.text.empty()) return "'clipboard' needs the text to put there";
        return {};
    }
    if (name == "shot" || name == "dump" || name == "save_clipboard") {
        c.what = name == "shot" ? op::shot : name == "dump" ? op::dump : op::save_clipboard;
        c.text = rest_of_line(line, name);
        if (c.text.empty()) return "'" + name + "' needs a file name";
        return {};
    }
    if (name == "close") {
        c.what = op::close;
        return want_args(0);
    }
    return "unknown command '" + name + "'";
}

}  // namespace

parsed_script parse_script(const std::string& text) {
    parsed_script script;
    std::istringstream in(text);
    std::string line;
    int32_t number = 0;
    while (std::getline(in, line)) {
        ++number;
        const size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        command c;
        c.line = number;
        const std::string error = parse_line(line, c);
        if (!error.empty()) {
            script.error = "line " + std::to_string(number) + ": " + error;
            script.commands.clear();
            return script;
        }
        script.commands.push_back(c);
    }
    return script;
}

namespace {

// Returns an error message, or empty when the command was carried out.
std::string carry_out(const command& c) {
    namespace h = platform::headless;
    switch (c.what) {
        case op::move: h::move_mouse(c.a, c.b); break;
        case op::press: h::press_button(c.a); break;
        case op::release: h::release_button(c.a); break;
        case op::click:
            h::move_mouse(c.a, c.b);
            h::press_button(1);
            main_loop_pass();
            h::release_button(1);
            break;
        case op::key:
            h::press_key(c.a);
            h::release_key(c.a);
            break;
        case op::hold: h::press_key(c.a); break;
        case op::free: h::release_key(c.a); break;
        case op::type: h::type_text(c.text); break;
        case op::clipboard: h::put_on_clipboard(c.text); break;
        case op::save_clipboard: {
            std::ofstream out(c.text, std::ios::binary);
            out << platform::clipboard_text();
            out.close();
            if (!out) return "cannot write the clipboard to " + c.text;
            break;
        }
        case op::wait:
            for (int32_t i = 0; i < c.a; ++i) main_loop_pass();
            break;
        case op::shot: {
            const std::string path = std::filesystem::absolute(c.text).string();
            platform::pixmap* frame = platform::grab_pixmap(0, 0, 800, 600);
            const bool saved = platform::save_pixmap_png(frame, path, 6);
            platform::free_pixmap(frame);
            if (!saved) return "cannot write the picture " + c.text;
            break;
        }
        case op::dump: {
            std::ofstream out(c.text, std::ios::binary);
            out << dump_state();
            out.close();
            if (!out) return "cannot write the state to " + c.text;
            break;
        }
        case op::close: h::request_close(); break;
    }
    return {};
}

}  // namespace

int32_t run_script(const std::vector<command>& commands, const std::string& game_dir,
                   std::ostream& errors) {
    platform::init_headless(game_dir);
    reset_all_state();
    int32_t status = 0;
    try {
        start_up();
        for (const command& c : commands) {
            const std::string error = carry_out(c);
            if (!error.empty()) {
                errors << "line " << c.line << ": " << error << '\n';
                status = 1;
                break;
            }
        }
    } catch (const platform::program_ended&) {
        // The game quit (an exit button, or the window closed): the replay is over, cleanly.
    }
    platform::shutdown();
    reset_all_state();
    return status;
}

}  // namespace replay

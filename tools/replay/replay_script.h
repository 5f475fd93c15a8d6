// Replaying an input script against the whole game, headless: parsing and running.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace replay {

enum class op {
    move,
    press,
    release,
    click,
    key,
    hold,
    free,
    type,
    clipboard,
    save_clipboard,
    wait,
    shot,
    dump,
    close
};

struct command {
    op what = op::wait;
    int32_t line = 0;  // 1-based line of the script
    int32_t a = 0;     // X, button (1 left, 2 right), key code or pass count
    int32_t b = 0;     // Y
    std::string text;  // typed or copied text, or a file name
};

// The whole script, or the first bad line: error holds "line N: what is wrong".
struct parsed_script {
    std::vector<command> commands;
    std::string error;
};
parsed_script parse_script(const std::string& text);

// Runs the game headless in game_dir: start-up, then the commands. Files named by shot and
// dump are relative to the current folder. Returns the exit status: 0 when the script ran to
// its end or the game quit, 1 for a command that could not be carried out (reported on
// errors with its line number).
int32_t run_script(const std::vector<command>& commands, const std::string& game_dir,
                   std::ostream& errors);

}  // namespace replay

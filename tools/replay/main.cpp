// replay [--game-dir DIR] SCRIPT: runs the game headless from an input script, for scenario
// tests and for reproducing a bug. See the README for the commands.
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/critic_main.h"
#include "replay_script.h"

int main(int argc, char** argv) {
    std::string game_dir = BEAMWORKS_GAME_DIR;
    std::string script_path;
    // The level editor runs its critic as this same program, as the game does.
    if (argc == 4 && std::string(argv[1]) == "--critic") return run_critic(argv[2], argv[3]);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--game-dir" && i + 1 < argc) {
            game_dir = argv[++i];
        } else if (script_path.empty() && !arg.starts_with("--")) {
            script_path = arg;
        } else {
            script_path.clear();
            break;
        }
    }
    if (script_path.empty()) {
        std::cerr << "usage: replay [--game-dir DIR] SCRIPT\n";
        return 2;
    }
    std::ifstream in(script_path, std::ios::binary);
    if (!in) {
        std::cerr << "replay: cannot read " << script_path << '\n';
        return 2;
    }
    std::ostringstream text;
    text << in.rdbuf();
    const replay::parsed_script script = replay::parse_script(text.str());
    if (!script.error.empty()) {
        std::cerr << "replay: " << script_path << ": " << script.error << '\n';
        return 1;
    }
    std::ostringstream errors;
    const int32_t status = replay::run_script(script.commands, game_dir, errors);
    if (status != 0) {
        std::cerr << "replay: " << script_path << ": " << errors.str();
    }
    return status;
}

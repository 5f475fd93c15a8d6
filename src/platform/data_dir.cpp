// Where the players' files and screenshots live: beside the game, or in the player's own data
// folder when the game is installed where the player cannot write.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/platform.h"

namespace platform {

std::string data_dir_rule(const std::string& game_dir, bool game_dir_writable,
                          const char* xdg_data_home, const char* home) {
    if (game_dir_writable) return game_dir;
    // A relative XDG_DATA_HOME is invalid and must be ignored, like an empty one.
    if (xdg_data_home && xdg_data_home[0] == '/') {
        return std::string(xdg_data_home) + "/beamworks";
    }
    if (home && home[0] == '/') return std::string(home) + "/.local/share/beamworks";
    // Nowhere better to go: the saves will fail and the game tells the player so.
    return game_dir;
}

std::string choose_data_dir(const std::string& game_dir, bool installed) {
    // The game folder counts as writable only when its "users" and "screens" are too (or can
    // be made): a system-wide install may ship them read-only.
    const auto writable = [](const std::string& folder) {
        return access(folder.c_str(), W_OK | X_OK) == 0;
    };
    // Even run by root, an installed game must not write into the package's folder.
    bool game_writable = !installed && writable(game_dir);
    for (const char* sub : {"/users", "/screens"}) {
        const std::string folder = game_dir + sub;
        std::error_code ec;
        if (std::filesystem::exists(folder, ec) && !writable(folder)) game_writable = false;
    }
    const std::string dir =
        data_dir_rule(game_dir, game_writable, std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    std::error_code ec;
    std::filesystem::create_directories(dir + "/users", ec);
    std::filesystem::create_directories(dir + "/screens", ec);
    return dir;
}

}  // namespace platform

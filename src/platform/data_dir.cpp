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

// Each player's folder goes first and the list last, so that a copy cut short is made again,
// whole, at the next start. Links are not copied, nor anything but folders and plain files.
void copy_players_once(const std::string& from_dir, const std::string& to_dir) {
    namespace fs = std::filesystem;
    const fs::path from = fs::path(from_dir) / "users";
    const fs::path to = fs::path(to_dir) / "users";
    std::error_code ec;
    if (fs::exists(to / "profiles.dat", ec) || !fs::is_regular_file(from / "profiles.dat", ec)) {
        return;
    }
    fs::create_directories(to, ec);
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code entry_ec;
        if (it->is_symlink(entry_ec) || !it->is_directory(entry_ec)) continue;
        fs::copy(it->path(), to / it->path().filename(),
                 fs::copy_options::recursive | fs::copy_options::skip_symlinks |
                     fs::copy_options::overwrite_existing,
                 entry_ec);
    }
    std::error_code list_ec;
    fs::copy_file(from / "profiles.dat", to / "profiles.dat", fs::copy_options::overwrite_existing,
                  list_ec);
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
    // The players of the game folder, from before it became read-only (an install made
    // system-wide, a folder shared by another user), come along rather than vanish.
    if (dir != game_dir) copy_players_once(game_dir, dir);
    return dir;
}

}  // namespace platform

// Program entry: the command line, then the platform opens on the game's content folder and
// the game runs.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/app_state.h"
#include "app/build_info.h"
#include "app/critic_main.h"
#include "editor/editor_state.h"

namespace {

std::string executable_folder(const char* argv0) {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string path = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string(argv0);
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// An installed game keeps its content in the games' data folder (/usr/games/beamworks reads
// /usr/share/games/beamworks), found from the executable so that any prefix works; a game
// built or unpacked in one folder keeps it beside the executable, wherever it is started from.
struct content_place {
    std::string folder;
    bool installed = false;
};

content_place find_content(const std::string& executable_dir) {
    const std::filesystem::path shared =
        std::filesystem::path(executable_dir) / content_from_executable;
    std::error_code error;
    if (std::filesystem::is_directory(shared / "Levels", error)) {
        return {std::filesystem::weakly_canonical(shared, error).string(), true};
    }
    return {executable_dir, false};
}

constexpr std::string_view usage =
    "Usage: beamworks [--version | --help | --edit [FILE]]\n"
    "A puzzle game of light: place and turn mirrors, prisms and colour spheres so that beams\n"
    "of the right colours light every lamp on the board.\n"
    "  --edit [FILE]  open the level editor (on a level file, if given)\n";

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version") {
            std::printf("Beamworks %.*s\n", static_cast<int>(game_version.size()),
                        game_version.data());
            return 0;
        }
        if (arg == "--help") {
            std::fwrite(usage.data(), 1, usage.size(), stdout);
            return 0;
        }
        // The editor's helper process, not for players: see critic_main.h.
        if (arg == "--critic" && i + 2 < argc) return run_critic(argv[i + 1], argv[i + 2]);
        if (arg == "--edit") {
            editor_vars.started_from_command_line = 1;
            if (i + 1 < argc) editor_vars.command_line_file = argv[++i];
            continue;
        }
        std::fprintf(stderr, "beamworks: unknown option '%s'\n%.*s", argv[i],
                     static_cast<int>(usage.size()), usage.data());
        return 2;
    }
    const content_place content = find_content(executable_folder(argv[0]));
    platform::init_window(content.folder);
    platform::set_data_dir(platform::choose_data_dir(content.folder, content.installed));
    run_game();
}

// Program entry: the platform opens on the folder of the executable, then the game runs.
#include <unistd.h>

#include <climits>
#include <string>

#include "app/app_state.h"

namespace {

// Content and players' files are found beside the executable, wherever it is started from.
std::string executable_folder(const char* argv0) {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string path = n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string(argv0);
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

int main(int, char** argv) {
    const std::string folder = executable_folder(argv[0]);
    platform::init_window(folder);
    platform::set_data_dir(platform::choose_data_dir(folder));
    run_game();
}

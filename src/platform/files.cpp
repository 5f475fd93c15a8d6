// Files: game paths (backslashes, any letter case) resolved against the game folder, byte
// streams with the game's reading rules, whole-file reads and safe rewrites, and folders.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/platform_internal.h"

namespace platform {

namespace {

bool equal_ignoring_case(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (std::tolower(ca) != std::tolower(cb)) return false;
    }
    return true;
}

bool exists_exactly(const std::string& os_path) {
    struct stat st;
    return lstat(os_path.c_str(), &st) == 0;
}

// The entry of the folder whose name matches ignoring case; the first in byte order when
// several do, so that the choice never depends on the order the file system lists them in.
std::string find_ignoring_case(const std::string& folder, const std::string& name) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return {};
    std::string best;
    while (const dirent* entry = readdir(dir)) {
        const std::string candidate = entry->d_name;
        if (equal_ignoring_case(candidate, name) && (best.empty() || candidate < best)) {
            best = candidate;
        }
    }
    closedir(dir);
    return best;
}

bool first_component_is(const std::string& path, const char* name) {
    const size_t end = path.find('/');
    return equal_ignoring_case(path.substr(0, end), name);
}

}  // namespace

void set_data_dir(const std::string& dir) { state.data_dir = dir; }

// A game path becomes a path of this machine: backslashes become slashes, "users", "screens"
// and "custom" (the players' own levels) live in the data folder (the game folder unless set
// otherwise), and every component that is not there with its exact spelling is looked up ignoring
// letter case. A component that is not there at all is kept as written (a file about to be
// created). An absolute path (tools passing a path of their own) is used as it is.
std::string resolve_path(const std::string& game_path) {
    std::string path = game_path;
    std::replace(path.begin(), path.end(), '\\', '/');
    if (!path.empty() && path[0] == '/') return path;
    std::string resolved = state.game_dir;
    const bool players_files =
        first_component_is(path, "users") || first_component_is(path, "custom");
    if (players_files || first_component_is(path, "screens")) {
        resolved = state.data_dir.empty() ? state.game_dir : state.data_dir;
    }
    // Inside "users" and "custom" the names are the players' own and match exactly: "bob"
    // beside "Bob" is another player (or level), whose files must never be taken for Bob's.
    bool first = true;
    size_t start = 0;
    bool missing = false;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string component = path.substr(start, end - start);
        start = end + 1;
        if (component.empty() || component == ".") {
            if (end == path.size()) break;
            continue;
        }
        std::string next = resolved.empty() ? component : resolved + "/" + component;
        const bool exact_only = players_files && !first;
        first = false;
        if (!missing && !exists_exactly(next)) {
            const std::string match =
                exact_only ? std::string() : find_ignoring_case(resolved, component);
            if (match.empty()) {
                missing = true;
            } else {
                next = resolved.empty() ? match : resolved + "/" + match;
            }
        }
        resolved = next;
        if (end == path.size()) break;
    }
    return resolved;
}

[[noreturn]] void fatal_error(const std::string& message) {
    std::fprintf(stderr, "beamworks: %s\n", message.c_str());
    if (state.headless) throw std::runtime_error(message);
    if (state.window) {
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Beamworks", message.c_str(), state.window);
    }
    std::exit(1);
}

// The size is taken from the open file itself and the reading stops at the limit all the same,
// so neither a huge (or sparse) file nor one that grows while it is read can fill memory.
std::string read_whole_file(const std::string& os_path, bool& ok, size_t max_bytes) {
    ok = false;
    std::FILE* f = std::fopen(os_path.c_str(), "rb");
    if (!f) return {};
    struct stat st;
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0 ||
        static_cast<uint64_t>(st.st_size) > max_bytes) {
        std::fclose(f);
        return {};
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(st.st_size));
    char chunk[65536];
    size_t n = 0;
    bool too_large = false;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        if (n > max_bytes - bytes.size()) {
            too_large = true;
            break;
        }
        bytes.append(chunk, n);
    }
    ok = !std::ferror(f) && !too_large;
    std::fclose(f);
    if (!ok) return {};
    return bytes;
}

stream* open_read(const std::string& path) {
    const std::string os_path = resolve_path(path);
    struct stat st;
    if (stat(os_path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
    std::FILE* f = std::fopen(os_path.c_str(), "rb");
    if (!f) return nullptr;
    state.streams.push_back(std::make_unique<stream>());
    state.streams.back()->file = f;
    return state.streams.back().get();
}

// A link at the path is never followed: writing must not reach a file elsewhere.
stream* open_write(const std::string& path) {
    const std::string os_path = resolve_path(path);
    const int fd =
        ::open(os_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    std::FILE* f = ::fdopen(fd, "wb");
    if (!f) {
        ::close(fd);
        return nullptr;
    }
    state.streams.push_back(std::make_unique<stream>());
    state.streams.back()->file = f;
    state.streams.back()->writing = true;
    return state.streams.back().get();
}

void close_stream(stream* s) {
    if (!s) return;
    bool failed = false;
    if (s->file) failed = std::fclose(s->file) != 0 && s->writing;
    s->file = nullptr;
    std::erase_if(state.streams, [s](const std::unique_ptr<stream>& p) { return p.get() == s; });
    if (failed) fatal_error("Error writing to stream");
}

namespace {

// Reads up to n bytes; the bytes beyond the end of the file stay 0.
void read_bytes(stream* s, uint8_t* out, size_t n) {
    std::fill(out, out + n, uint8_t{0});
    if (!s || !s->file || s->writing || s->at_end) return;
    const size_t got = std::fread(out, 1, n, s->file);
    if (got < n) {
        if (std::ferror(s->file)) fatal_error("Error reading from stream");
        s->at_end = true;
    }
}

void write_bytes(stream* s, const uint8_t* bytes, size_t n) {
    if (!s || !s->file || !s->writing || n == 0) return;
    if (std::fwrite(bytes, 1, n, s->file) != n) fatal_error("Error writing to stream");
}

}  // namespace

int32_t read_byte(stream* s) {
    uint8_t b = 0;
    read_bytes(s, &b, 1);
    return b;
}

int32_t read_int(stream* s) {
    uint8_t b[4];
    read_bytes(s, b, 4);
    return static_cast<int32_t>(uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) |
                                (uint32_t{b[3]} << 24));
}

std::string read_string(stream* s, int32_t n) {
    if (n <= 0) return {};
    std::string text(static_cast<size_t>(n), '\0');
    read_bytes(s, reinterpret_cast<uint8_t*>(text.data()), text.size());
    return text;
}

bool end_of_stream(stream* s) {
    if (!s || !s->file) return true;
    if (s->writing) return false;
    if (s->at_end) return true;
    const int c = std::fgetc(s->file);
    if (c == EOF) {
        if (std::ferror(s->file)) fatal_error("Error reading from stream");
        s->at_end = true;
        return true;
    }
    std::ungetc(c, s->file);
    return false;
}

void write_byte(stream* s, int32_t value) {
    const auto b = static_cast<uint8_t>(value & 0xFF);
    write_bytes(s, &b, 1);
}

void write_int(stream* s, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                          static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    write_bytes(s, b, 4);
}

void write_string(stream* s, std::string_view text) {
    write_bytes(s, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

bool read_file(const std::string& path, std::vector<uint8_t>& bytes, size_t max_bytes) {
    bool ok = false;
    const std::string data = read_whole_file(resolve_path(path), ok, max_bytes);
    if (!ok) return false;
    bytes.assign(data.begin(), data.end());
    return true;
}

namespace {

// A save killed between writing its temporary file and the rename leaves "<file>.tmp<pid>"
// behind. The next save of the same file clears those whose process is gone; a temporary of
// a game still running (another copy saving right now) is left alone.
void remove_dead_temporaries(const std::string& os_path) {
    const size_t slash = os_path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : os_path.substr(0, slash);
    const std::string prefix = os_path.substr(slash == std::string::npos ? 0 : slash + 1) + ".tmp";
    DIR* dir = ::opendir(folder.empty() ? "/" : folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string digits = name.substr(prefix.size());
        if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), ::isdigit)) continue;
        const pid_t owner = static_cast<pid_t>(std::stol(digits));
        if (owner == getpid() || owner <= 0) continue;
        if (::kill(owner, 0) == 0 || errno != ESRCH) continue;
        ::unlink((folder + "/" + name).c_str());
    }
    ::closedir(dir);
}

}  // namespace

// The new contents go to a temporary file beside the old one, reach the disk, and only then
// replace it by a rename, so that a crash or a full disk never leaves a half-written file.
// No link is ever followed: the file's own folder must be a real folder (a link planted at a
// player's folder would send the files elsewhere), the temporary file is created new and
// never opened through a link, and the rename replaces a link at the file's name rather than
// writing where it points.
bool write_file_atomic(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string os_path = resolve_path(path);
    const size_t slash = os_path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : os_path.substr(0, slash));
    const std::string name = os_path.substr(slash == std::string::npos ? 0 : slash + 1);
    const std::string temp = name + ".tmp" + std::to_string(getpid());
    const int dir_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dir_fd < 0) return false;
    constexpr int create_flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(dir_fd, temp.c_str(), create_flags, 0644);
    if (fd < 0 && errno == EEXIST) {
        // Whatever sits at this process's own temporary name (a file left by an earlier game
        // with the same process number, or a planted link) is not ours to write through: it
        // goes, a link as a link, and the file is made anew.
        ::unlinkat(dir_fd, temp.c_str(), 0);
        fd = ::openat(dir_fd, temp.c_str(), create_flags, 0644);
    }
    if (fd < 0) {
        ::close(dir_fd);
        return false;
    }
    size_t done = 0;
    bool ok = true;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (ok && ::fsync(fd) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    if (ok && ::renameat(dir_fd, temp.c_str(), dir_fd, name.c_str()) != 0) ok = false;
    if (!ok) {
        ::unlinkat(dir_fd, temp.c_str(), 0);
        ::close(dir_fd);
        return false;
    }
    // Make the rename itself durable.
    ::fsync(dir_fd);
    ::close(dir_fd);
    remove_dead_temporaries(os_path);
    return true;
}

int32_t file_type(const std::string& path) {
    struct stat st;
    if (stat(resolve_path(path).c_str(), &st) != 0) return 0;
    if (S_ISREG(st.st_mode)) return 1;
    if (S_ISDIR(st.st_mode)) return 2;
    return 0;
}

namespace {

// The names inside a folder whose own entry (a link is not followed) passes `keep`, sorted.
template <class keep_entry>
std::vector<std::string> list_entries(const std::string& path, keep_entry keep) {
    std::vector<std::string> names;
    const std::string os_path = resolve_path(path);
    DIR* dir = ::opendir(os_path.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        if (lstat((os_path + "/" + name).c_str(), &st) == 0 && keep(st)) names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

std::vector<std::string> list_folders(const std::string& path) {
    return list_entries(path, [](const struct stat& st) { return S_ISDIR(st.st_mode); });
}

std::vector<std::string> list_files(const std::string& path) {
    return list_entries(path, [](const struct stat& st) { return S_ISREG(st.st_mode); });
}

bool create_dir(const std::string& path, bool recurse) {
    const std::string os_path = resolve_path(path);
    std::error_code error;
    if (recurse) {
        std::filesystem::create_directories(os_path, error);
        return !error && std::filesystem::is_directory(os_path, error);
    }
    return ::mkdir(os_path.c_str(), 0755) == 0;
}

// A symbolic link inside the folder is removed as a link; what it points to is never
// touched, so deleting a player's folder can never reach outside it.
bool delete_dir(const std::string& path, bool recurse) {
    const std::string os_path = resolve_path(path);
    struct stat st;
    if (lstat(os_path.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode)) {
        // The path itself is a link (or a file): a link is removed, a file is left alone.
        return S_ISLNK(st.st_mode) && ::unlink(os_path.c_str()) == 0;
    }
    if (!recurse) return ::rmdir(os_path.c_str()) == 0;
    std::error_code error;
    std::filesystem::remove_all(os_path, error);
    return !error;
}

}  // namespace platform

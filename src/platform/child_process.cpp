// Helper processes: started with posix_spawn, their output read through a non-blocking pipe.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <map>

#include "platform/platform.h"

extern char** environ;

namespace platform {

namespace {

struct child_process {
    pid_t pid = 0;
    int output = -1;  // read end of the child's standard output
    std::chrono::steady_clock::time_point started;
};

// By id; ids are never reused within a run, so a stale id names nothing.
std::map<int32_t, child_process> children;
int32_t last_child_id = 0;

void forget(std::map<int32_t, child_process>::iterator it, bool kill_first) {
    if (kill_first) ::kill(it->second.pid, SIGKILL);
    if (it->second.output >= 0) ::close(it->second.output);
    int status = 0;
    ::waitpid(it->second.pid, &status, 0);
    children.erase(it);
}

}  // namespace

int32_t start_child(const std::vector<std::string>& args) {
    if (args.empty()) return 0;
    int pipe_ends[2];
    if (::pipe2(pipe_ends, O_CLOEXEC) != 0) return 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int failed = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe_ends[1]);
    if (failed != 0) {
        ::close(pipe_ends[0]);
        return 0;
    }
    ::fcntl(pipe_ends[0], F_SETFL, ::fcntl(pipe_ends[0], F_GETFL) | O_NONBLOCK);
    const int32_t id = ++last_child_id;
    children[id] = {pid, pipe_ends[0], std::chrono::steady_clock::now()};
    return id;
}

int32_t read_child(int32_t id, std::string& output, int32_t wait_ms) {
    const auto it = children.find(id);
    if (it == children.end()) return -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(it->second.output, buffer, sizeof buffer);
        if (n > 0) {
            output.append(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) break;  // the child closed its output
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        if (left <= 0) return 1;  // nothing more for now
        pollfd ready{it->second.output, POLLIN, 0};
        ::poll(&ready, 1, static_cast<int>(left));
    }
    int status = 0;
    const pid_t pid = it->second.pid;
    ::close(it->second.output);
    ::waitpid(pid, &status, 0);
    children.erase(it);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : -1;
}

int32_t child_running_ms(int32_t id) {
    const auto it = children.find(id);
    if (it == children.end()) return 0;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - it->second.started)
                        .count();
    return ms > INT32_MAX ? INT32_MAX : static_cast<int32_t>(ms);
}

void stop_child(int32_t id) {
    const auto it = children.find(id);
    if (it != children.end()) forget(it, true);
}

std::string own_executable() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

}  // namespace platform

// solver_bench: nodes and time of the exhaustive search per level. Prints figures; asserts nothing.
//
//   solver_bench <levels.txt | level.lvl>... [--reference] [--fewest]
//
// Each level is searched to its whole stock with every set of lasers, as the verifier does.
// The deep boards of 8 to 10 pieces: solver_bench tools/levels/deep_boards/*.lvl
// --reference runs the plain search (every orientation its own child, no bounds) for comparison;
// --fewest stops at the smallest piece count that wins (pieces added one at a time).
// Single-threaded: on a shared machine, note the load average printed at the end.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "level_source.h"
#include "solver.h"

using namespace levels;

namespace {

std::vector<std::string> level_paths(const std::string& arg) {
    if (arg.size() > 4 && arg.substr(arg.size() - 4) == ".lvl") return {arg};
    return read_level_list(arg, 120);
}

// CPU time of this thread: other work on a shared machine does not count against the search.
double cpu_ms() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double load_average() {
    std::ifstream in("/proc/loadavg");
    double one_minute = -1;
    in >> one_minute;
    return one_minute;
}

}  // namespace

int main(int argc, char** argv) {
    solve_options o;
    o.keep = 0;
    o.node_budget = int64_t(1) << 40;
    std::vector<std::string> paths;
    try {
        for (int i = 1; i < argc; ++i) {
            std::string a = argv[i];
            if (a == "--reference")
                o.reference = true;
            else if (a == "--fewest")
                o.fewest_only = true;
            else
                for (const std::string& p : level_paths(a)) paths.push_back(p);
        }
    } catch (const source_error& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    if (paths.empty()) {
        std::fprintf(stderr,
                     "usage: solver_bench <levels.txt | level.lvl>... [--reference] [--fewest]\n");
        return 2;
    }
    std::printf("%-10s %6s %6s %6s %10s %6s %12s %10s\n", "level", "lasers", "stock", "fewest",
                "solutions", "ideas", "nodes", "cpu ms");
    int64_t total_nodes = 0;
    double total_ms = 0;
    auto wall_start = std::chrono::steady_clock::now();
    for (const std::string& path : paths) {
        level_source level;
        try {
            level = read_level_source(path);
        } catch (const source_error& e) {
            std::fprintf(stderr, "%s\n", e.what());
            return 1;
        }
        fixed_level f = split_level(level.grid);
        int pieces = 0;
        for (int32_t k = kind_mirror; k < piece_kind_count; ++k) pieces += f.stock[size_t(k)];
        solve_options lo = o;
        lo.max_pieces = pieces;
        double started = cpu_ms();
        solve_result r = solve(f.board, f.stock, lo);
        double ms = cpu_ms() - started;
        int ideas = r.fewest >= 0 ? int(r.ideas_by_size[r.fewest].size()) : 0;
        int64_t fewest_solutions = r.fewest >= 0 ? r.solutions_by_size[r.fewest] : 0;
        std::printf("%-10s %6zu %6d %6d %10lld %6d %12lld %10.1f%s\n", level.name.c_str(),
                    f.board.laser_cells.size(), pieces, r.fewest,
                    static_cast<long long>(fewest_solutions), ideas,
                    static_cast<long long>(r.nodes), ms, r.exhausted ? "" : " (not exhausted)");
        std::fflush(stdout);
        total_nodes += r.nodes;
        total_ms += ms;
    }
    double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
    std::printf("total %zu levels: %lld nodes, %.1f cpu ms, %.1f s wall (load average %.2f)\n",
                paths.size(), static_cast<long long>(total_nodes), total_ms, wall, load_average());
    return 0;
}

// levelc: the level compiler and verifier.
//
//   levelc build  <list> <game folder>   sources -> Levels/level.001..120, Levels/level_info.all
//   levelc verify <list> <font16.dat> <report folder>
//                                        every check of every level, the grade, the report
//   levelc grade  <list> <font16.dat>    writes the derived hardness and start into the sources
//   levelc check  <font16.dat> <index> <source>...
//                                        the checks and figures of single sources
//   levelc declutter <font16.dat> <index> <source>...
//                                        takes the inert fixed pieces out of single sources
//   levelc place <source>                searches a draft's board and stores a solution that uses
//                                        the whole stock
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>

#include "board/piece_kinds.h"
#include "game_replay.h"
#include "level_output.h"
#include "level_rules.h"
#include "level_source.h"

using namespace levels;

namespace {

constexpr int level_total = 120;

std::vector<level_source> read_all(const std::string& list) {
    std::vector<level_source> all;
    for (const std::string& path : read_level_list(list, level_total))
        all.push_back(read_level_source(path));
    return all;
}

int build(const std::string& list, const std::string& game_dir) {
    std::vector<level_source> all = read_all(list);
    int faults = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        const level_source& level = all[i];
        uint32_t all_on = (1u << split_level(level.grid).board.laser_cells.size()) - 1;
        game_verdict v = replay_in_game(level.grid, stored_solution(level.grid), all_on);
        if (!v.all_lit || v.exploded) {
            std::cerr << level.path << ":1: the stored solution "
                      << (v.exploded ? "sets off a bomb" : "leaves a lamp dark") << "\n";
            ++faults;
        }
        if (level.hardness < 0 || level.start_score < 0) {
            std::cerr << level.path << ":1: not graded yet (run levelc grade)\n";
            ++faults;
        }
    }
    if (faults) return 1;
    std::filesystem::create_directories(game_dir + "/Levels");
    for (size_t i = 0; i < all.size(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/Levels/level.%03d", int(i + 1));
        if (!write_file(game_dir + name, level_file_bytes(all[i]))) return 1;
    }
    return write_file(game_dir + "/Levels/level_info.all", level_info_bytes(all)) ? 0 : 1;
}

std::vector<level_figures> check_all(const std::vector<level_source>& all, const note_metrics& font,
                                     std::vector<std::string>* near_pairs = nullptr) {
    std::vector<level_figures> figures;
    for (size_t i = 0; i < all.size(); ++i) figures.push_back(verify_level(all[i], int(i), font));
    grade_levels(figures);
    std::vector<std::string> pairs = check_recipes(figures);
    if (near_pairs) *near_pairs = pairs;
    size_t decoys = 0;
    for (const level_figures& f : figures) decoys += f.decoys.size();
    if (decoys > size_t(decoys_allowed))
        for (level_figures& f : figures)
            if (!f.decoys.empty())
                f.failures.push_back(std::to_string(decoys) +
                                     " decoys declared in the game, at most " +
                                     std::to_string(decoys_allowed) + " are allowed");
    for (size_t i = 0; i < all.size(); ++i) {
        level_figures& f = figures[i];
        if (pack_of(int(i)) == bonus_pack && f.bonus_points * 4 < f.start_score)
            f.failures.push_back("the bonus (" + std::to_string(f.bonus_points) +
                                 ") is under a quarter of the start score");
    }
    return figures;
}

int verify(const std::string& list, const std::string& font_path, const std::string& out_dir) {
    auto started = std::chrono::steady_clock::now();
    std::vector<level_source> all = read_all(list);
    note_metrics font = load_note_metrics(font_path);
    if (!font.real)
        std::cout << "note: no font16 metrics at " << font_path
                  << ", notes measured with an estimate\n";
    std::vector<std::string> near_pairs;
    std::vector<level_figures> figures = check_all(all, font, &near_pairs);
    int failed = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        level_figures& f = figures[i];
        if (all[i].hardness != f.hardness || all[i].start_score != f.start_score)
            f.failures.push_back("hardness and start differ from the grade (run levelc grade)");
        for (const std::string& why : f.failures) std::cerr << all[i].path << ":1: " << why << "\n";
        failed += !f.failures.empty();
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::filesystem::create_directories(out_dir);
    std::ofstream report(out_dir + "/levels_report.md");
    report << "# Levels: checks and grades\n\n"
           << all.size() << " levels, " << failed << " failing, checked in " << seconds << " s.\n\n"
           << report_table(figures);
    report << "\n## Levels that share a recipe\n\n";
    for (const std::string& pair : near_pairs) report << "- " << pair << "\n";
    if (near_pairs.empty()) report << "None.\n";
    std::ofstream summary(out_dir + "/levels_summary.txt");
    for (const level_figures& f : figures) summary << summary_line(f) << "\n";
    write_grade_plot(figures, out_dir + "/levels_grade.png");
    std::cout << all.size() << " levels checked in " << seconds << " s, " << failed
              << " failing; report in " << out_dir << "/levels_report.md\n";
    return failed ? 1 : 0;
}

int grade(const std::string& list, const std::string& font_path) {
    std::vector<level_source> all = read_all(list);
    std::vector<level_figures> figures = check_all(all, load_note_metrics(font_path));
    for (size_t i = 0; i < all.size(); ++i) {
        all[i].hardness = figures[i].hardness;
        all[i].start_score = figures[i].start_score;
        // Rewrite only the header lines; the board and legend stay as the designer wrote them.
        std::ifstream in(all[i].path);
        std::string line, text;
        bool header = true;
        while (std::getline(in, line)) {
            if (header && (line.rfind("hardness ", 0) == 0 || line.rfind("start ", 0) == 0))
                continue;
            if (header && line == "legend") {
                static const char* const names[3] = {"easy", "normal", "hard"};
                text += std::string("hardness ") + names[all[i].hardness] + "\nstart " +
                        std::to_string(all[i].start_score) + "\n";
                header = false;
            }
            text += line + "\n";
        }
        in.close();
        std::ofstream(all[i].path) << text;
        for (const std::string& why : figures[i].failures)
            std::cerr << all[i].path << ":1: " << why << "\n";
    }
    return 0;
}

int check(const std::string& font_path, int index, const std::vector<std::string>& files) {
    note_metrics font = load_note_metrics(font_path);
    int failed = 0;
    for (const std::string& path : files) {
        level_source level = read_level_source(path);
        level_figures f = verify_level(level, index, font);
        std::printf(
            "%s: pieces %d fewest %d ideas %d solutions %lld nodes %lld effort %.0f dead %.2f "
            "beams %d mech %d off %d grade %.2f (as written %.2f) start %d removals searched %d "
            "(%.2fs)\n",
            path.c_str(), f.pieces, f.fewest, f.ideas, static_cast<long long>(f.solutions),
            static_cast<long long>(f.nodes), f.effort, f.dead_first, f.beams, f.mechanics,
            int(f.needs_laser_off), f.grade, f.grade_before, start_score_for(f.grade),
            f.removal_searches, f.seconds);
        std::printf("  recipe %s\n", f.recipe.c_str());
        for (const std::string& d : f.decoys) std::printf("  decoy %s\n", d.c_str());
        for (const std::string& why : f.failures) std::printf("  FAIL %s\n", why.c_str());
        failed += !f.failures.empty();
    }
    return failed ? 1 : 0;
}

// Takes away the inert fixed pieces of each source and writes the grid back. Legend lines whose
// symbol left the grid go with it.
int declutter(const std::string& font_path, int index, const std::vector<std::string>& files) {
    note_metrics font = load_note_metrics(font_path);
    for (const std::string& path : files) {
        level_source level = read_level_source(path);
        std::vector<std::string> removed = take_away_inert(level, index, font);
        if (removed.empty()) continue;
        std::ifstream in(path);
        std::string line, text;
        int grid_row = -1;
        bool in_legend = false;
        while (std::getline(in, line)) {
            if (grid_row >= 0 && grid_row < rows) {
                text += level.grid_lines[size_t(grid_row++)] + "\n";
                continue;
            }
            if (line == "grid") {
                grid_row = 0;
                in_legend = false;
            }
            if (line == "legend")
                in_legend = true;
            else if (in_legend && !line.empty() && line[0] != '#') {
                bool used = false;
                for (const std::string& row : level.grid_lines)
                    used = used || row.find(line[0]) != std::string::npos;
                if (!used) continue;
            }
            text += line + "\n";
        }
        in.close();
        std::ofstream(path) << text;
        std::printf("%s: took away", path.c_str());
        for (const std::string& what : removed) std::printf(" %s;", what.c_str());
        std::printf("\n");
    }
    return 0;
}

// For drafting: searches the fixed board of a source with its stock, prints what it finds, and
// stores as the solution the first one that uses the whole stock (the idea the designer means
// when the solution is unique; a bonus level's long way round otherwise).
int place(const std::string& path) {
    level_source level = read_level_source(path);
    fixed_level f = split_level(level.grid);
    int stock = 0;
    for (int32_t k = kind_mirror; k < piece_kind_count; ++k) stock += f.stock[size_t(k)];
    solve_options o;
    o.keep = 4096;
    o.node_budget = 50'000'000;
    solve_result s = solve(f.board, f.stock, o);
    std::printf("%s: fewest %d, exhausted %d, nodes %lld;", path.c_str(), s.fewest,
                int(s.exhausted), static_cast<long long>(s.nodes));
    for (const auto& [size, count] : s.solutions_by_size)
        std::printf(" %lld of %d pieces (%zu ideas);", static_cast<long long>(count), size,
                    s.ideas_by_size[size].size());
    std::printf("\n");
    // One example of each idea of the fewest pieces, as column,row:kind/orientation (from 1).
    std::set<std::string> shown;
    for (const solution& sol : s.kept) {
        if (int(sol.pieces.size()) != s.fewest || shown.count(sol.idea)) continue;
        shown.insert(sol.idea);
        std::printf("  idea %s (lasers %u):", sol.idea.c_str(), sol.laser_on);
        for (const placement& m : sol.pieces)
            std::printf(" %d,%d:%d/%d", cell_column(m.cell) + 1, cell_row(m.cell) + 1, m.kind,
                        m.orientation);
        std::printf("\n");
    }
    uint32_t all_on = (1u << f.board.laser_cells.size()) - 1;
    for (const solution& sol : s.kept) {
        if (int(sol.pieces.size()) != stock || sol.laser_on != all_on) continue;
        for (int cell = 0; cell < cell_count; ++cell)
            if (level.grid.code[size_t(cell)] / 100 >= 6) level.grid.code[size_t(cell)] = 0;
        for (const placement& m : sol.pieces)
            level.grid.code[size_t(m.cell)] =
                m.kind * 100 + (is_sphere(m.kind) ? 0 : m.orientation * 10);
        std::ofstream(path) << format_level_source(level);
        return 0;
    }
    std::printf("no solution uses the whole stock with every laser on; the source is unchanged\n");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 3 && args[0] == "build") return build(args[1], args[2]);
        if (args.size() == 4 && args[0] == "verify") return verify(args[1], args[2], args[3]);
        if (args.size() == 3 && args[0] == "grade") return grade(args[1], args[2]);
        if (args.size() == 2 && args[0] == "place") return place(args[1]);
        if (args.size() >= 4 && args[0] == "declutter")
            return declutter(args[1], std::stoi(args[2]),
                             std::vector<std::string>(args.begin() + 3, args.end()));
        if (args.size() >= 4 && args[0] == "check")
            return check(args[1], std::stoi(args[2]),
                         std::vector<std::string>(args.begin() + 3, args.end()));
    } catch (const source_error& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    std::cerr
        << "usage: levelc build <list> <game folder> | verify <list> <font16.dat> <report folder> |"
           " grade <list> <font16.dat> | check <font16.dat> <index> <source>...\n";
    return 2;
}

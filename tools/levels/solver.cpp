// The exact search over placements (see solver.h for why it misses no solution).
#include "solver.h"

#include <algorithm>
#include <random>

namespace levels {

namespace {

constexpr int orientation_count[14] = {0, 0, 0, 0, 0, 0, 8, 4, 4, 8, 1, 1, 1, 1};

struct search {
    sim_board board;
    std::array<int, 14> stock{};
    int placed = 0;
    int total = 0;
    uint32_t mask = 0;
    uint32_t all_on = 0;
    const solve_options& options;
    solve_result& result;
    std::vector<placement> stack;
    std::mt19937_64 random;
    bool stopped = false;
    bool at_root_stats = false;
    // One trace and one move list per depth, reused from node to node (no allocation per node).
    struct move { int cell, kind, orientation, step; bool stops_only; };
    std::vector<trace_result> traces;
    std::vector<std::vector<move>> move_lists;

    search(const sim_board& b, const std::array<int, 14>& s, const solve_options& o,
           solve_result& r)
        : board(b), stock(s), options(o), result(r), random(o.seed) {
        for (int k = 6; k < 14; ++k) total += stock[k];
        all_on = (1u << board.laser_cells.size()) - 1;
        // Sized once: the lists of the nodes above stay in place while a child runs.
        traces.resize(size_t(total) + 1);
        move_lists.resize(size_t(total) + 1);
    }

    // A piece of this kind and orientation changes a beam arriving in this direction and
    // colour.
    static bool changes(int kind, int orientation, int dir, int colour) {
        if (kind >= 10) return kind - 10 != colour;
        int split;
        int out = piece_turn(kind, orientation, dir, &split);
        return out != dir || split >= 0;
    }

    // Records a win unless the same pieces also win with more lasers on (then it is that
    // configuration's solution, found under its own mask).
    void record_win() {
        for (uint32_t wider = mask + 1; wider <= all_on; ++wider) {
            if ((wider & mask) != mask || wider == mask) continue;
            trace_result t;
            sim_trace(board, wider, false, t);
            if (t.won()) return;
        }
        int size = placed;
        result.solutions += 1;
        result.solutions_by_size[size] += 1;
        if (result.fewest < 0 || size < result.fewest) result.fewest = size;
        if (result.nodes_to_first < 0) result.nodes_to_first = result.nodes;
        std::string idea = idea_of(board, mask);
        result.ideas.insert(idea);
        result.ideas_by_size[size].insert(idea);
        if (int(result.kept.size()) < options.keep) result.kept.push_back({stack, mask, idea});
        if (options.stop_after >= 0 && result.solutions >= options.stop_after) stopped = true;
    }

    // Returns whether a solution was found at or below this node.
    bool visit(int last_step, int last_cell) {
        if (stopped) return false;
        if (result.nodes >= options.node_budget) {
            stopped = true;
            result.exhausted = false;
            return false;
        }
        result.nodes += 1;
        trace_result& t = traces[size_t(placed)];
        sim_trace(board, mask, placed < total && placed < options.max_pieces, t);
        if (t.won()) {
            record_win();
            return true;
        }
        if (placed == total || placed >= options.max_pieces) return false;
        // Group the entries by (step, cell) after the last placement's key.
        std::vector<beam_entry>& e = t.entries;
        std::stable_sort(e.begin(), e.end(), [](const beam_entry& a, const beam_entry& b) {
            return a.step != b.step ? a.step < b.step : a.cell < b.cell;
        });
        std::vector<move>& moves = move_lists[size_t(placed)];
        moves.clear();
        size_t i = 0;
        while (i < e.size()) {
            size_t j = i;
            while (j < e.size() && e[j].step == e[i].step && e[j].cell == e[i].cell) ++j;
            int step = e[i].step, cell = e[i].cell;
            bool after = step > last_step || (step == last_step && cell > last_cell);
            if (after && step < t.explosion_step) {
                for (int kind = 6; kind < 14; ++kind) {
                    if (stock[kind] == 0) continue;
                    for (int o = 0; o < orientation_count[kind]; ++o) {
                        bool acts = false, turns = false;
                        for (size_t m = i; m < j; ++m) {
                            bool c = changes(kind, o, e[m].dir, e[m].colour);
                            acts = acts || c;
                            turns = turns || (c && (kind >= 10 || piece_turn(kind, o, e[m].dir, nullptr) >= 0));
                        }
                        if (!acts) continue;
                        bool leaves_earlier = true;
                        for (size_t m = 0; m < i && leaves_earlier; ++m)
                            if (e[m].cell == cell && changes(kind, o, e[m].dir, e[m].colour))
                                leaves_earlier = false;
                        if (!leaves_earlier) continue;
                        // Trial and error tries one way of blocking a beam per piece and cell,
                        // as a player would.
                        if (options.merge_stops && !turns && !moves.empty() &&
                            moves.back().cell == cell && moves.back().kind == kind &&
                            moves.back().stops_only)
                            continue;
                        moves.push_back({cell, kind, o, step, !turns});
                    }
                }
            }
            i = j;
        }
        if (options.random_order) std::shuffle(moves.begin(), moves.end(), random);
        bool root = placed == 0 && mask == all_on && at_root_stats;
        bool found = false;
        for (const move& m : moves) {
            if (stopped) break;
            board.kind[m.cell] = int8_t(m.kind);
            board.state[m.cell] = int8_t(m.orientation);
            stock[m.kind] -= 1;
            placed += 1;
            stack.push_back({m.cell, m.kind, m.orientation});
            bool below = visit(m.step, m.cell);
            stack.pop_back();
            placed -= 1;
            stock[m.kind] += 1;
            board.kind[m.cell] = 0;
            board.state[m.cell] = 0;
            if (root && !m.stops_only) {
                result.root_moves += 1;
                result.dead_root_moves += below ? 0 : 1;
            }
            found = found || below;
            if (found && options.random_order && options.stop_after == 1) break;
        }
        return found;
    }
};

}  // namespace

std::string idea_of(const sim_board& board, uint32_t laser_on) {
    trace_result t;
    std::string idea;
    sim_trace(board, laser_on, false, t, &idea);
    uint32_t all_on = (1u << board.laser_cells.size()) - 1;
    if (laser_on != all_on) idea = "off" + std::to_string(all_on & ~laser_on) + ":" + idea;
    return idea;
}

solve_result solve(const sim_board& fixed, const std::array<int, 14>& stock,
                   const solve_options& options) {
    solve_result result;
    search s(fixed, stock, options, result);
    // All lasers on first, then every smaller set of lasers switched on.
    for (uint32_t mask = s.all_on; mask >= 1 && !s.stopped; --mask) {
        if (!options.all_masks && mask != s.all_on) break;
        s.mask = mask;
        s.at_root_stats = mask == s.all_on;
        s.visit(-1, -1);
    }
    if (s.stopped && options.stop_after >= 0 && result.solutions >= options.stop_after)
        result.exhausted = false;
    return result;
}

double trial_effort(const sim_board& fixed, const std::array<int, 14>& stock, int seeds,
                    int64_t budget_per_seed) {
    double sum = 0;
    for (int seed = 1; seed <= seeds; ++seed) {
        solve_options o;
        o.all_masks = false;
        o.random_order = true;
        o.merge_stops = true;
        o.stop_after = 1;
        o.keep = 0;
        o.seed = uint64_t(seed) * 7919;
        o.node_budget = budget_per_seed;
        solve_result r = solve(fixed, stock, o);
        sum += double(r.nodes_to_first >= 0 ? r.nodes_to_first : r.nodes);
    }
    return sum / seeds;
}

}  // namespace levels

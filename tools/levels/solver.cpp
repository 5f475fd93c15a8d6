// The exact search over placements (see solver.h for why it misses no solution): the beam
// network search, and the plain search kept for trial and error and as the reference.
#include "solver.h"

#include <algorithm>
#include <random>

#include "board/beam_rules.h"
#include "board/board_state.h"
#include "board/piece_kinds.h"

namespace levels {

namespace {

constexpr int32_t orientation_count[piece_kind_count] = {0, 0, 0, 0, 0, 0, 8, 4, 4, 8, 1, 1, 1, 1};

// The game's rules for the turning pieces, looked up once: the search asks them millions of
// times. exit is the direction a beam leaves in (-1: stopped), split the direction of a double
// prism's new beam (-1: none).
struct turn_table {
    std::array<std::array<std::array<int8_t, 8>, 8>, 10> exit{}, split{};
    turn_table() {
        for (int kind = kind_mirror; kind <= kind_double_prism; ++kind)
            for (int o = 0; o < 8; ++o)
                for (int d = 0; d < 8; ++d) {
                    int sp;
                    exit[size_t(kind)][size_t(o)][size_t(d)] = int8_t(piece_turn(kind, o, d, &sp));
                    split[size_t(kind)][size_t(o)][size_t(d)] = int8_t(sp);
                }
    }
};
const turn_table& turn_rules() {
    static const turn_table table;
    return table;
}

struct plain_search {
    sim_board board;
    std::array<int32_t, piece_kind_count> stock{};
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
    struct move {
        int cell, kind, orientation, step;
        bool stops_only;
    };
    std::vector<trace_result> traces;
    std::vector<std::vector<move>> move_lists;

    plain_search(const sim_board& b, const std::array<int32_t, piece_kind_count>& s,
                 const solve_options& o, solve_result& r)
        : board(b), stock(s), options(o), result(r), random(o.seed) {
        for (int32_t k = kind_mirror; k < piece_kind_count; ++k) total += stock[k];
        all_on = (1u << board.laser_cells.size()) - 1;
        // Sized once: the lists of the nodes above stay in place while a child runs.
        traces.resize(size_t(total) + 1);
        move_lists.resize(size_t(total) + 1);
    }

    // A piece of this kind and orientation changes a beam arriving in this direction and
    // colour.
    static bool changes(int kind, int orientation, int dir, int colour) {
        if (is_sphere(kind)) return sphere_colour_of(kind) != colour;
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
                for (int32_t kind = kind_mirror; kind < piece_kind_count; ++kind) {
                    if (stock[kind] == 0) continue;
                    for (int o = 0; o < orientation_count[kind]; ++o) {
                        bool acts = false, turns = false;
                        for (size_t m = i; m < j; ++m) {
                            bool c = changes(kind, o, e[m].dir, e[m].colour);
                            acts = acts || c;
                            turns = turns || (c && (is_sphere(kind) ||
                                                    piece_turn(kind, o, e[m].dir, nullptr) >= 0));
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

// The beam network search. Like the plain search it places a piece only where a beam enters an
// empty cell, in (step, cell) order, and only where the piece acts on a beam arriving then while
// leaving alone every beam that passed the cell before. On top of that:
// - Orientation groups: the orientations of a kind that do the same to every beam arriving at
//   the cell are one child; the placed piece keeps the whole group and is split only when a
//   later trace brings a beam on which they differ. Each orientation still counts as its own
//   solution, so the counts equal the plain search's.
// - A lower bound on the pieces still needed (colours nobody supplies, turns no beam has yet),
//   which stops a branch that cannot win within the cap.
// - Head-on meetings need nothing special. A piece above the mirror stops a beam that meets one
//   resting in its cell even if it passes both, so such a piece could act without changing a
//   beam by its own rule; but no beam ever meets one resting in an empty cell. Every piece sends
//   a beam out in a direction that tells which way it came in, so each (cell, direction) is
//   entered at most once in a trace, and a beam meeting a resting one head-on in an empty cell
//   would enter a cell as the beam that stopped there, or its partner, already had.
struct network_search {
    sim_board board;
    std::array<int32_t, piece_kind_count> stock{};
    int placed = 0;
    int total = 0;
    int cap = 0;  // place at most this many pieces in this pass
    uint32_t mask = 0;
    uint32_t all_on = 0;
    const solve_options& options;
    solve_result& result;
    std::array<uint8_t, cell_count> group{};  // orientations a placed piece stands for, bit o
    std::vector<int> placed_cells;
    bool stopped = false;
    bool at_root_stats = false;
    struct move {
        int cell, kind, step;
        uint8_t orientations;
        bool stops_only;
    };
    std::vector<trace_result> traces;
    std::vector<std::vector<move>> move_lists;
    std::vector<std::vector<int>> previous_lists;
    std::array<int, cell_count> latest{};
    // The lower bound's shortest paths: fewest new turning pieces to bring a beam to a cell going
    // in a direction, with one list of states per cost.
    // States: a beam in a cell going in a direction (cell * 8 + direction), then one state per
    // cell for a new piece there (turn_states + cell).
    static constexpr int turn_states = cell_count * 8;
    std::array<int8_t, cell_count * 9> turns{};
    std::array<int8_t, cell_count * 8> back{};
    std::array<int8_t, cell_count> arrive{}, leave{};
    std::array<bool, cell_count> turn_fits{};
    int missing = 0;         // colour bits no switched-on laser and no placed sphere gives
    int farthest_turns = 0;  // new turns the farthest lamp needs, and that lamp
    int farthest_lamp = 0;
    std::vector<std::vector<int16_t>> buckets;

    network_search(const sim_board& b, const std::array<int32_t, piece_kind_count>& s,
                   const solve_options& o, solve_result& r)
        : board(b), stock(s), options(o), result(r) {
        for (int32_t k = kind_mirror; k < piece_kind_count; ++k) total += stock[size_t(k)];
        all_on = (1u << board.laser_cells.size()) - 1;
        traces.resize(size_t(total) + 1);
        move_lists.resize(size_t(total) + 1);
        previous_lists.resize(size_t(total) + 1);
        buckets.resize(size_t(total) + 2);
    }

    static int lowest(int bits) { return __builtin_ctz(unsigned(bits)); }

    const turn_table& rules = turn_rules();

    int exit_dir(int kind, int orientation, int dir) const {
        return rules.exit[size_t(kind)][size_t(orientation)][size_t(dir)];
    }
    int split_dir(int kind, int orientation, int dir) const {
        return rules.split[size_t(kind)][size_t(orientation)][size_t(dir)];
    }
    // What a piece does to one arriving beam, as one number: equal numbers, same trace.
    int behaviour(int kind, int orientation, int dir, int colour) const {
        if (is_sphere(kind)) return sphere_colour_of(kind) == colour ? 0 : 1;
        return (exit_dir(kind, orientation, dir) + 1) * 9 + split_dir(kind, orientation, dir) + 1;
    }
    bool changes(int kind, int orientation, int dir, int colour) const {
        if (is_sphere(kind)) return sphere_colour_of(kind) != colour;
        return exit_dir(kind, orientation, dir) != dir || split_dir(kind, orientation, dir) >= 0;
    }

    // The first beam in the trace on which the orientations of a placed piece differ: the cell,
    // and the orientations split by what they do to it (count parts). -1 when none differs.
    int disagreement(const trace_result& t, std::array<uint8_t, 8>& parts, int& count) const {
        for (const beam_entry& v : t.piece_visits) {
            if (v.step >= t.explosion_step) break;
            int bits = group[size_t(v.cell)];
            if ((bits & (bits - 1)) == 0) continue;
            int kind = board.kind[size_t(v.cell)];
            std::array<int, 8> seen{};
            count = 0;
            for (int o = 0; o < 8; ++o) {
                if (!(bits >> o & 1)) continue;
                int b = behaviour(kind, o, v.dir, v.colour);
                int p = 0;
                while (p < count && seen[size_t(p)] != b) ++p;
                if (p == count) {
                    seen[size_t(count)] = b;
                    parts[size_t(count++)] = 0;
                }
                parts[size_t(p)] = uint8_t(parts[size_t(p)] | (1 << o));
            }
            if (count > 1) return v.cell;
        }
        return -1;
    }

    void set_group(int cell, int bits) {
        group[size_t(cell)] = uint8_t(bits);
        board.state[size_t(cell)] = int8_t(lowest(bits));
    }

    int64_t orientation_product() const {
        int64_t n = 1;
        for (int cell : placed_cells) n *= __builtin_popcount(group[size_t(cell)]);
        return n;
    }

    // Records the orientations of the pieces that win under this set of lasers and under no
    // larger set (those wins belong to the larger set, searched on its own). Groups are split
    // where a larger set's beams tell their orientations apart.
    void record_win() {
        trace_result t;
        for (uint32_t wider = mask + 1; wider <= all_on; ++wider) {
            if ((wider & mask) != mask) continue;
            sim_trace(board, wider, true, t);
            std::array<uint8_t, 8> parts{};
            int count = 0;
            int cell = disagreement(t, parts, count);
            if (cell >= 0) {
                int bits = group[size_t(cell)];
                for (int p = 0; p < count; ++p) {
                    set_group(cell, parts[size_t(p)]);
                    record_win();
                }
                set_group(cell, bits);
                return;
            }
            if (t.won()) return;
        }
        int64_t n = orientation_product();
        result.solutions += n;
        result.solutions_by_size[placed] += n;
        if (result.fewest < 0 || placed < result.fewest) result.fewest = placed;
        if (result.nodes_to_first < 0) result.nodes_to_first = result.nodes;
        std::string idea = idea_of(board, mask);
        result.ideas.insert(idea);
        result.ideas_by_size[placed].insert(idea);
        keep_solutions(idea);
        if (options.stop_after >= 0 && result.solutions >= options.stop_after) stopped = true;
    }

    void keep_solutions(const std::string& idea) {
        // Every orientation of every group, until enough are kept.
        std::vector<int> choice(placed_cells.size(), 0);
        for (size_t i = 0; i < placed_cells.size(); ++i)
            choice[i] = lowest(group[size_t(placed_cells[i])]);
        for (;;) {
            if (int(result.kept.size()) >= options.keep) return;
            solution s;
            s.laser_on = mask;
            s.idea = idea;
            for (size_t i = 0; i < placed_cells.size(); ++i) {
                int cell = placed_cells[i];
                int kind = board.kind[size_t(cell)];
                s.pieces.push_back({cell, kind, kind >= kind_white_sphere ? 0 : choice[i]});
            }
            result.kept.push_back(std::move(s));
            size_t i = 0;
            for (; i < choice.size(); ++i) {
                int bits = group[size_t(placed_cells[i])];
                int next = choice[i] + 1;
                while (next < 8 && !(bits >> next & 1)) ++next;
                if (next < 8) {
                    choice[i] = next;
                    break;
                }
                choice[i] = lowest(bits);
            }
            if (i == choice.size()) return;
        }
    }

    // Fewer pieces than this cannot win from here (a large number when nothing can).
    int lower_bound() {
        constexpr int hopeless = 1 << 20;
        int left = cap - placed;
        // Colours: each colour a lamp needs that no switched-on laser and no placed sphere gives
        // takes a sphere of that colour.
        int supplied = 0, needed = 0;
        for (size_t i = 0; i < board.laser_cells.size(); ++i)
            if (mask >> i & 1)
                supplied |= beam_colour_bit[size_t(board.colour[size_t(board.laser_cells[i])])];
        for (int cell : placed_cells) {
            int kind = board.kind[size_t(cell)];
            if (is_sphere(kind)) supplied |= beam_colour_bit[size_t(sphere_colour_of(kind))];
        }
        for (int cell : board.lamp_cells) needed |= lamp_needs[size_t(board.colour[size_t(cell)])];
        int spheres = 0;
        missing = needed & ~supplied;
        for (int c = 0; c < 4; ++c) {
            if (!(missing & beam_colour_bit[size_t(c)])) continue;
            if (stock[size_t(sphere_kind(c))] == 0) return hopeless;
            spheres += 1;
        }
        int turners = stock[6] + stock[7] + stock[8] + stock[9];
        int budget = std::min(turners, left - spheres);
        if (budget < 0) return hopeless;
        // Turns: a beam goes straight through an empty cell for nothing and turns there, in any
        // direction, for one new piece; placed and fixed pieces act as they can. Every lamp must
        // be reached; the one reached last needs that many new turning pieces (a split counts
        // as a turn, and a loop through one new piece can be cut short, so none is counted
        // twice). Spheres never turn, so they add to it.
        turns.fill(int8_t(127));
        arrive.fill(int8_t(127));
        for (int c = 0; c <= budget; ++c) buckets[size_t(c)].clear();
        for (size_t i = 0; i < board.laser_cells.size(); ++i) {
            if (!(mask >> i & 1)) continue;
            int cell = board.laser_cells[i];
            int state = cell * 8 + board.state[size_t(cell)];
            turns[size_t(state)] = 0;
            buckets[0].push_back(int16_t(state));
        }
        int lamps_left = 0;
        std::array<bool, cell_count> lamp_reached{};
        for (int cell : board.lamp_cells) {
            if (!lamp_reached[size_t(cell)]) ++lamps_left;
            lamp_reached[size_t(cell)] = true;
        }
        for (int cell : board.lamp_cells) lamp_reached[size_t(cell)] = false;
        int farthest = 0;
        for (int cost = 0; cost <= budget && lamps_left > 0; ++cost) {
            std::vector<int16_t>& list = buckets[size_t(cost)];
            while (!list.empty() && lamps_left > 0) {
                int state = list.back();
                list.pop_back();
                if (turns[size_t(state)] != cost) continue;
                if (state >= turn_states) {
                    // A new piece on this cell sends the beam on in any direction.
                    int at = (state - turn_states) * 8;
                    for (int d = 0; d < 8; ++d) {
                        if (turns[size_t(at + d)] <= cost) continue;
                        turns[size_t(at + d)] = int8_t(cost);
                        list.push_back(int16_t(at + d));
                    }
                    continue;
                }
                int cell = state / 8, dir = state % 8;
                int x = cell_column(cell) + dir_column_step[size_t(dir)];
                int y = cell_row(cell) + dir_row_step[size_t(dir)];
                if (x < 0 || x >= columns || y < 0 || y >= rows) continue;
                int next = cell_index(x, y);
                int kind = board.kind[size_t(next)];
                auto reach = [&](int d, int c) {
                    int s = next * 8 + d;
                    if (turns[size_t(s)] <= c) return;
                    turns[size_t(s)] = int8_t(c);
                    buckets[size_t(c)].push_back(int16_t(s));
                };
                switch (kind) {
                    case kind_empty:
                        arrive[size_t(next)] = int8_t(std::min(int(arrive[size_t(next)]), cost));
                        reach(dir, cost);
                        if (cost < budget && turns[size_t(turn_states + next)] > cost + 1) {
                            turns[size_t(turn_states + next)] = int8_t(cost + 1);
                            buckets[size_t(cost + 1)].push_back(int16_t(turn_states + next));
                        }
                        break;
                    case kind_lamp:
                        if (!lamp_reached[size_t(next)]) {
                            lamp_reached[size_t(next)] = true;
                            --lamps_left;
                            farthest = cost;
                            farthest_lamp = next;
                        }
                        reach(dir, cost);
                        break;
                    case kind_translator:
                        if (board.state[size_t(next)] == dir) reach(dir, cost);
                        break;
                    case kind_mirror:
                    case kind_double_mirror:
                    case kind_prism:
                    case kind_double_prism: {
                        int bits = group[size_t(next)];
                        for (int o = 0; o < 8; ++o) {
                            if (!(bits >> o & 1)) continue;
                            int out = exit_dir(kind, o, dir), split = split_dir(kind, o, dir);
                            if (out >= 0) reach(out, cost);
                            if (split >= 0) reach(split, cost);
                        }
                        break;
                    }
                    default:
                        if (kind >= kind_white_sphere) reach(dir, cost);
                        break;  // lasers, walls and bombs stop it (no solution sets a bomb off)
                }
            }
        }
        if (lamps_left > 0) return hopeless;
        farthest_turns = farthest;
        return spheres + farthest;
    }

    // When the bound equals the pieces left, nothing may be wasted: there is one sphere for each
    // colour nobody gives, and every turning piece is a turn of the beam that reaches the
    // farthest lamp (it needs that many new turns, and no more turning pieces are left). So a
    // turning piece may only go where such a beam can arrive and still reach that lamp with the
    // turns left: new turns to arrive there, one for the piece, and new turns from there to the
    // lamp, at most the lamp's distance. Marks those cells in turn_fits (after lower_bound).
    void mark_turns_that_fit() {
        int limit = farthest_turns - 1;  // the most new turns after the piece
        leave.fill(int8_t(127));
        back.fill(int8_t(127));
        for (int c = 0; c <= std::max(limit, 0) + 1; ++c) buckets[size_t(c)].clear();
        auto step_back = [&](int cell, int dir, int cost) {
            int x = cell_column(cell) - dir_column_step[size_t(dir)];
            int y = cell_row(cell) - dir_row_step[size_t(dir)];
            if (x < 0 || x >= columns || y < 0 || y >= rows || cost > limit) return;
            int state = cell_index(x, y) * 8 + dir;
            if (back[size_t(state)] <= cost) return;
            back[size_t(state)] = int8_t(cost);
            buckets[size_t(cost)].push_back(int16_t(state));
        };
        // A beam leaving a cell in a direction: the fewest new turns to the lamp from there.
        for (int d = 0; d < 8; ++d) step_back(farthest_lamp, d, 0);
        for (int cost = 0; cost <= limit; ++cost) {
            std::vector<int16_t>& list = buckets[size_t(cost)];
            while (!list.empty()) {
                int state = list.back();
                list.pop_back();
                if (state >= turn_states) {
                    for (int d = 0; d < 8; ++d) step_back(state - turn_states, d, cost);
                    continue;
                }
                if (back[size_t(state)] != cost) continue;
                int cell = state / 8, dir = state % 8;
                int kind = board.kind[size_t(cell)];
                switch (kind) {
                    case kind_empty:
                        step_back(cell, dir, cost);
                        if (leave[size_t(cell)] > cost) {
                            leave[size_t(cell)] = int8_t(cost);
                            if (cost < limit)
                                buckets[size_t(cost + 1)].push_back(int16_t(turn_states + cell));
                        }
                        break;
                    case kind_lamp: step_back(cell, dir, cost); break;
                    case kind_translator:
                        if (board.state[size_t(cell)] == dir) step_back(cell, dir, cost);
                        break;
                    case kind_mirror:
                    case kind_double_mirror:
                    case kind_prism:
                    case kind_double_prism: {
                        int bits = group[size_t(cell)];
                        for (int o = 0; o < 8; ++o) {
                            if (!(bits >> o & 1)) continue;
                            for (int in = 0; in < 8; ++in)
                                if (exit_dir(kind, o, in) == dir || split_dir(kind, o, in) == dir)
                                    step_back(cell, in, cost);
                        }
                        break;
                    }
                    default:
                        if (kind >= kind_white_sphere) step_back(cell, dir, cost);
                        break;
                }
            }
        }
        for (int cell = 0; cell < cell_count; ++cell)
            turn_fits[size_t(cell)] =
                arrive[size_t(cell)] + 1 + leave[size_t(cell)] <= farthest_turns;
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
        sim_trace(board, mask, true, t);
        {
            std::array<uint8_t, 8> parts{};
            int count = 0;
            int cell = disagreement(t, parts, count);
            if (cell >= 0) {
                int bits = group[size_t(cell)];
                bool found = false;
                for (int p = 0; p < count && !stopped; ++p) {
                    set_group(cell, parts[size_t(p)]);
                    found = visit(last_step, last_cell) || found;
                }
                set_group(cell, bits);
                return found;
            }
        }
        if (t.won()) {
            record_win();
            return true;
        }
        if (placed >= cap) return false;
        // The first moves with every laser on are all listed, dead or not: the grade counts them.
        bool counted_root = placed == 0 && at_root_stats;
        int bound = lower_bound();
        if (placed + bound > cap && !counted_root) return false;
        bool tight = placed + bound == cap && !counted_root;
        if (tight) mark_turns_that_fit();
        std::vector<beam_entry>& e = t.entries;
        std::stable_sort(e.begin(), e.end(), [](const beam_entry& a, const beam_entry& b) {
            return a.step != b.step ? a.step < b.step : a.cell < b.cell;
        });
        std::vector<move>& moves = move_lists[size_t(placed)];
        moves.clear();
        // The arrivals at a cell before the current one, newest first: previous[m] is the entry
        // before e[m] at the same cell (-1 for none).
        std::vector<int>& previous = previous_lists[size_t(placed)];
        previous.assign(e.size(), -1);
        for (const beam_entry& x : e) latest[size_t(x.cell)] = -1;
        for (size_t m = 0; m < e.size(); ++m) {
            previous[m] = latest[size_t(e[m].cell)];
            latest[size_t(e[m].cell)] = int(m);
        }
        size_t i = 0;
        while (i < e.size()) {
            size_t j = i;
            while (j < e.size() && e[j].step == e[i].step && e[j].cell == e[i].cell) ++j;
            int step = e[i].step, cell = e[i].cell;
            bool after = step > last_step || (step == last_step && cell > last_cell);
            if (!after || step >= t.explosion_step) {
                i = j;
                continue;
            }
            for (int kind = kind_mirror; kind <= kind_blue_sphere; ++kind) {
                if (stock[size_t(kind)] == 0) continue;
                if (tight && kind < kind_white_sphere && !turn_fits[size_t(cell)]) continue;
                if (tight && is_sphere(kind) &&
                    !(missing & beam_colour_bit[size_t(sphere_colour_of(kind))]))
                    continue;
                size_t first = moves.size();
                for (int o = 0; o < orientation_count[kind]; ++o) {
                    bool acts = false, turns_one = false;
                    for (size_t m = i; m < j; ++m) {
                        if (!changes(kind, o, e[m].dir, e[m].colour)) continue;
                        acts = true;
                        turns_one = turns_one || kind >= kind_white_sphere ||
                                    exit_dir(kind, o, e[m].dir) >= 0;
                    }
                    if (!acts) continue;
                    bool leaves_earlier = true;
                    for (int m = previous[i]; m >= 0 && leaves_earlier; m = previous[size_t(m)])
                        leaves_earlier = !changes(kind, o, e[size_t(m)].dir, e[size_t(m)].colour);
                    if (!leaves_earlier) continue;
                    size_t g = first;
                    for (; g < moves.size(); ++g) {
                        int r = lowest(moves[g].orientations);
                        bool same = true;
                        for (size_t m = i; m < j && same; ++m)
                            same = behaviour(kind, o, e[m].dir, e[m].colour) ==
                                   behaviour(kind, r, e[m].dir, e[m].colour);
                        if (same) break;
                    }
                    if (g < moves.size())
                        moves[g].orientations = uint8_t(moves[g].orientations | (1 << o));
                    else
                        moves.push_back({cell, kind, step, uint8_t(1 << o), !turns_one});
                }
            }
            i = j;
        }
        bool found = false;
        for (const move& m : moves) {
            if (stopped) break;
            board.kind[size_t(m.cell)] = int8_t(m.kind);
            set_group(m.cell, m.orientations);
            stock[size_t(m.kind)] -= 1;
            placed += 1;
            placed_cells.push_back(m.cell);
            bool below = visit(m.step, m.cell);
            placed_cells.pop_back();
            placed -= 1;
            stock[size_t(m.kind)] += 1;
            board.kind[size_t(m.cell)] = 0;
            board.state[size_t(m.cell)] = 0;
            group[size_t(m.cell)] = 0;
            if (counted_root && !m.stops_only) {
                int n = __builtin_popcount(m.orientations);
                result.root_moves += n;
                result.dead_root_moves += below ? 0 : n;
            }
            found = found || below;
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

solve_result solve(const sim_board& fixed, const std::array<int32_t, piece_kind_count>& stock,
                   const solve_options& options) {
    solve_result result;
    if (options.reference || options.random_order || options.merge_stops) {
        plain_search s(fixed, stock, options, result);
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
    network_search s(fixed, stock, options, result);
    int most = std::min(s.total, options.max_pieces);
    // Deepening: one pass per piece count, until one wins; else one pass with every piece.
    for (int cap = options.fewest_only ? 0 : most; cap <= most && !s.stopped; ++cap) {
        s.cap = cap;
        result.root_moves = 0;
        result.dead_root_moves = 0;
        for (uint32_t mask = s.all_on; mask >= 1 && !s.stopped; --mask) {
            if (!options.all_masks && mask != s.all_on) break;
            s.mask = mask;
            s.at_root_stats = mask == s.all_on;
            s.visit(-1, -1);
        }
        if (result.solutions > 0) break;
    }
    if (s.stopped && options.stop_after >= 0 && result.solutions >= options.stop_after)
        result.exhausted = false;
    return result;
}

double trial_effort(const sim_board& fixed, const std::array<int32_t, piece_kind_count>& stock,
                    int seeds, int64_t budget_per_seed) {
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

// levelgen: proposes level candidates for a pack, for the designer to choose and tidy.
//
//   levelgen <pack 1-20> <slot 1-6> <pieces> <seed> <tries> <out folder> [font16.dat]
//   levelgen tighten <pack> <slot> <draft source> <out source>
// Environment: LEVELGEN_DEBUG=1 prints the rejected candidates, LEVELGEN_WANT_OFF=1 keeps only
// levels that cannot be built with every laser on; LEVELGEN_MUST, LEVELGEN_EXTRA_LAMPS,
// LEVELGEN_LASERS, LEVELGEN_WALLS and LEVELGEN_ROOM override the pack's configuration (see main).
//
// Solution first: lasers and a few walls, then the pieces one by one on the beams as they run,
// then lamps where the finished beams end. Then counterexample tightening: the solver finds a
// solution the design did not intend (cheaper, or another idea), and a wall (a bomb in the bomb
// pack) goes on a cell only that solution uses. Repeat until only the intended idea is left.
// Last, the fixed pieces that no solution needs are taken away again.
// Every accepted candidate is written as a source with its figures in a comment.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <set>

#include "board/piece_kinds.h"
#include "level_rules.h"
#include "level_source.h"
#include "solver.h"

using namespace levels;

namespace {

struct pack_config {
    int lasers_min = 1, lasers_max = 1;
    bool coloured = false;                       // lasers red, green or blue instead of white
    bool diagonal = false;                       // lasers may point diagonally
    std::vector<int32_t> kinds = {kind_mirror};  // piece kinds to draw from
    std::vector<int32_t> must = {};              // kinds every candidate uses at least once
    int walls = 6;                               // wall strokes of the template
    int translators = 0;
    bool bombs = false;   // tighten with bombs
    int mixed_lamps = 0;  // mixed lamps wanted
    bool bonus = false;
    int extra_lamps = 0;          // lamps on the way, not only at the ends
    int room_width = 0;           // a walled room of this inside size holds the level (0: the
    int room_height = 0;          // whole board), so that deep stocks keep a narrow network
    bool mixed_required = false;  // reject a layout without its mixed lamps
};

pack_config config_for(int pack, int slot) {
    pack_config c;
    switch (pack) {
        case 1: c.walls = 3 + slot; break;
        case 2:
            c.bonus = true;
            c.walls = 5;
            c.kinds = {kind_mirror};
            break;
        case 3:
            c.coloured = true;
            c.lasers_min = 2;
            c.lasers_max = slot >= 4 ? 3 : 2;
            c.mixed_lamps = slot >= 3 ? 1 : 0;
            c.mixed_required = true;
            break;
        case 4:
            c.walls = 12;
            c.kinds = {kind_mirror};
            c.translators = slot == 3 || slot == 5;
            c.lasers_max = slot >= 4 ? 2 : 1;
            break;
        case 5:
            c.bombs = true;
            c.lasers_min = 1;
            c.lasers_max = 2;
            c.walls = 4;
            c.kinds = {kind_mirror, kind_double_mirror};
            break;
        case 6:
            c.lasers_min = 2;
            c.lasers_max = 3;
            c.coloured = true;
            c.mixed_lamps = 1;
            c.bombs = slot % 2;
            c.kinds = {kind_mirror, kind_double_mirror};
            c.translators = slot % 3 == 0;
            break;
        case 7:
            c.lasers_min = 2;
            c.lasers_max = 3;
            c.coloured = slot % 2;
            c.mixed_lamps = slot % 2;
            c.kinds = {kind_mirror, kind_double_mirror};
            c.walls = 8;
            c.bombs = slot >= 4;
            c.translators = slot == 3;
            break;
        case 8:
            c.kinds = {kind_mirror, kind_prism};
            c.must = {kind_prism};
            c.diagonal = slot >= 4;
            c.lasers_max = slot >= 5 ? 2 : 1;
            break;
        case 9:
            c.kinds = {kind_mirror, kind_double_prism};
            c.must = {kind_double_prism};
            c.lasers_max = slot >= 5 ? 2 : 1;
            c.extra_lamps = 0;
            break;
        case 10:
        case 11:
        case 12:
            c.kinds = pack == 12 ? std::vector<int32_t>{kind_mirror, kind_double_mirror, kind_prism,
                                                        kind_double_prism}
                                 : std::vector<int32_t>{kind_mirror, kind_prism, kind_double_prism};
            c.lasers_min = 1;
            c.lasers_max = 2;
            c.coloured = pack != 10;
            c.mixed_lamps = pack == 12;
            c.bombs = pack == 11;
            c.walls = 8;
            break;
        case 13:
            c.kinds = {kind_mirror, kind_red_sphere, kind_green_sphere, kind_blue_sphere};
            c.must = {kind_red_sphere + slot % 3};
            c.lasers_min = 1;
            c.lasers_max = slot >= 4 ? 2 : 1;
            c.coloured = slot >= 5;
            break;
        case 14:
            c.kinds = {kind_mirror, kind_double_prism, kind_red_sphere, kind_green_sphere,
                       kind_blue_sphere};
            c.lasers_min = 1;
            c.lasers_max = 2;
            c.coloured = true;
            c.mixed_lamps = slot >= 4 ? 2 : 1;
            break;
        default:
            c.kinds = {kind_mirror,     kind_double_mirror, kind_prism,      kind_double_prism,
                       kind_red_sphere, kind_green_sphere,  kind_blue_sphere};
            c.lasers_min = pack >= 19 ? 2 : 1;
            c.lasers_max = 2;
            c.coloured = true;
            c.mixed_lamps = 1;
            c.bombs = pack % 2;
            c.walls = 9;
            c.diagonal = pack >= 17;
            break;
    }
    return c;
}

struct generator {
    std::mt19937 rng;
    int pack, slot, pieces;
    pack_config config;
    // Solutions one tightening round looks at. Deep drafts slide their pieces along long beams
    // into hundreds of placements of the one intended idea, so a designer's draft gets more.
    int64_t round_keep = 48;
    int64_t round_budget = 300'000;

    int rnd(int n) { return int(rng() % uint32_t(n)); }

    bool free_cell(const level_grid& g, int c) { return g.code[size_t(c)] == 0; }

    // One candidate, solution first. Returns false when the layout went nowhere.
    bool lay_out(level_grid& g) {
        g.code.fill(0);
        // The part of the board the level lives in: the whole board, or a walled room.
        int left = 0, top = 0, right = columns - 1, bottom = rows - 1;
        if (config.room_width > 0) {
            int w = std::min(config.room_width, columns - 2),
                h = std::min(config.room_height, rows - 2);
            left = 1 + rnd(columns - 1 - w);
            top = 1 + rnd(rows - 1 - h);
            right = left + w - 1;
            bottom = top + h - 1;
            for (int x = left - 1; x <= right + 1; ++x)
                for (int y = top - 1; y <= bottom + 1; ++y)
                    if ((x < left || x > right || y < top || y > bottom) && x >= 0 && y >= 0 &&
                        x < columns && y < rows)
                        g.code[size_t(cell_index(x, y))] = 400;
        }
        auto inside = [&](int x, int y) {
            return x >= left && y >= top && x <= right && y <= bottom;
        };
        // Wall strokes anchored at the edge or free-standing short bars.
        for (int w = 0; w < config.walls; ++w) {
            int x = left + rnd(right - left + 1), y = top + rnd(bottom - top + 1), d = rnd(4) * 2,
                len = 1 + rnd(4);
            if (rnd(2)) {
                if (rnd(2))
                    x = rnd(2) ? left : right;
                else
                    y = rnd(2) ? top : bottom;
            }
            for (int i = 0; i < len; ++i) {
                int cx = x + i * (d == 2   ? 1
                                  : d == 6 ? -1
                                           : 0),
                    cy = y + i * (d == 4   ? 1
                                  : d == 0 ? -1
                                           : 0);
                if (!inside(cx, cy)) break;
                g.code[size_t(cell_index(cx, cy))] = 400;
            }
        }
        int lasers = config.lasers_min + rnd(config.lasers_max - config.lasers_min + 1);
        std::vector<int> colours = {1, 2, 3};
        std::shuffle(colours.begin(), colours.end(), rng);
        for (int l = 0; l < lasers; ++l) {
            for (int attempt = 0; attempt < 50; ++attempt) {
                int x = left + rnd(right - left + 1), y = top + rnd(bottom - top + 1);
                int dir = config.diagonal && rnd(2) ? rnd(4) * 2 + 1 : rnd(4) * 2;
                int c = cell_index(x, y);
                if (!free_cell(g, c)) continue;
                // The first cell ahead must be open, and there must be room to travel.
                int nx = x + (dir >= 1 && dir <= 3) - (dir >= 5),
                    ny = y + (dir >= 3 && dir <= 5) - (dir == 0 || dir == 1 || dir == 7);
                if (nx < 0 || ny < 0 || nx >= columns || ny >= rows ||
                    !free_cell(g, cell_index(nx, ny)))
                    continue;
                int colour = config.coloured ? colours[size_t(l % 3)] : 0;
                g.code[size_t(c)] = 100 + dir * 10 + colour;
                break;
            }
        }
        // Aim a second laser across the first one's beam, so that the beams cross: where double
        // mirrors and mixed lamps find their work.
        bool aim = config.mixed_required || std::find(config.must.begin(), config.must.end(),
                                                      kind_double_mirror) != config.must.end();
        fixed_level first = split_level(g);
        if (aim && first.board.laser_cells.size() >= 2) {
            int moved = first.board.laser_cells[1];
            int32_t code = g.code[size_t(moved)];
            g.code[size_t(moved)] = 0;
            first = split_level(g);
            trace_result tr;
            sim_trace(first.board, 1, true, tr);
            if (tr.entries.size() < 3) return false;
            const beam_entry& target = tr.entries[size_t(1 + rnd(int(tr.entries.size()) - 1))];
            // Across the first beam, or (for double mirrors) head-on against it.
            bool head_on = false;
            int dir = (target.dir + (head_on ? 4 : rnd(2) ? 2 : 6)) % 8;
            int back = (dir + 4) % 8, distance = 2 + rnd(7);
            int x = cell_column(target.cell), y = cell_row(target.cell);
            const int sx[8] = {0, 1, 1, 1, 0, -1, -1, -1}, sy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
            for (int i = 0; i < distance; ++i) {
                x += sx[back];
                y += sy[back];
                if (x < 0 || y < 0 || x >= columns || y >= rows) return false;
                if (i + 1 < distance && g.code[size_t(cell_index(x, y))] == 400)
                    g.code[size_t(cell_index(x, y))] = 0;
            }
            if (g.code[size_t(cell_index(x, y))] != 0) return false;
            g.code[size_t(cell_index(x, y))] = 100 + dir * 10 + code % 10;
        }
        for (int t = 0; t < config.translators; ++t) {
            // A translator on a laser's beam, letting it through one way.
            fixed_level f = split_level(g);
            trace_result tr;
            sim_trace(f.board, (1u << f.board.laser_cells.size()) - 1, true, tr);
            if (tr.entries.size() < 4) return false;
            const beam_entry& e = tr.entries[size_t(1 + rnd(int(tr.entries.size()) - 2))];
            g.code[size_t(e.cell)] = 500 + e.dir * 10;
        }
        return !split_level(g).board.laser_cells.empty();
    }

    bool place_pieces(level_grid& g, std::vector<placement>& placed) {
        std::vector<int> kinds;
        for (int k : config.must) kinds.push_back(k);
        while (int(kinds.size()) < pieces)
            kinds.push_back(config.kinds[size_t(rnd(int(config.kinds.size())))]);
        kinds.resize(size_t(pieces));
        // The pack's own piece goes in last, where the beams it can play with already run.
        std::shuffle(kinds.begin() + std::min<long>(long(config.must.size()), long(kinds.size())),
                     kinds.end(), rng);
        std::reverse(kinds.begin(), kinds.end());
        int last_step = 0;
        for (int p = 0; p < pieces; ++p) {
            sim_board now = solved_board(g);
            trace_result tr;
            sim_trace(now, (1u << now.laser_cells.size()) - 1, true, tr);
            bool done = false;
            for (int attempt = 0; attempt < 60 && !done; ++attempt) {
                if (tr.entries.empty()) return false;
                int kind = kinds[size_t(p)];
                // A double mirror earns its place where two beams cross: it turns one and lets
                // the other along its plates, or turns both.
                std::vector<size_t> crossing;
                if (kind == kind_double_mirror)
                    for (size_t a = 0; a < tr.entries.size(); ++a)
                        for (size_t b = 0; b < a; ++b)
                            if (tr.entries[a].cell == tr.entries[b].cell &&
                                tr.entries[a].dir != tr.entries[b].dir)
                                crossing.push_back(b);
                if (kind == kind_double_mirror && crossing.empty()) {
                    if (std::find(config.must.begin(), config.must.end(), kind_double_mirror) !=
                        config.must.end())
                        return false;
                    kind = kind_mirror;
                }
                const beam_entry& e = !crossing.empty() && attempt < 50
                                          ? tr.entries[crossing[size_t(rnd(int(crossing.size())))]]
                                          : tr.entries[size_t(rnd(int(tr.entries.size())))];
                if (e.step <= last_step && crossing.empty() && attempt < 40) continue;
                std::vector<int> good;
                for (int o = 0; o < (kind == kind_double_mirror || kind == kind_prism ? 4
                                     : is_sphere(kind)                                ? 1
                                                                                      : 8);
                     ++o) {
                    if (is_sphere(kind)) {
                        if (sphere_colour_of(kind) != e.colour) good.push_back(o);
                        continue;
                    }
                    int split;
                    int out = piece_turn(kind, o, e.dir, &split);
                    if (out >= 0 && out != e.dir) good.push_back(o);
                }
                if (good.empty()) continue;
                int o = good[size_t(rnd(int(good.size())))];
                level_grid trial = g;
                trial.code[size_t(e.cell)] = kind * 100 + (is_sphere(kind) ? 0 : o * 10);
                fixed_level tf = split_level(trial);
                sim_board b = tf.board;
                for (const auto& s : tf.solution) {
                    b.kind[size_t(s.cell)] = int8_t(s.kind);
                    b.state[size_t(s.cell)] = int8_t(s.orientation);
                }
                trace_result t2;
                sim_trace(b, (1u << b.laser_cells.size()) - 1, true, t2);
                if (t2.explosion_step != no_step || t2.beams > 20) continue;
                g = trial;
                placed.push_back({e.cell, kind, o});
                last_step = e.step;
                done = true;
            }
            if (!done) return false;
        }
        return true;
    }

    sim_board solved_board(const level_grid& g) {
        fixed_level f = split_level(g);
        sim_board b = f.board;
        for (const auto& s : f.solution) {
            b.kind[size_t(s.cell)] = int8_t(s.kind);
            b.state[size_t(s.cell)] = int8_t(s.orientation);
        }
        return b;
    }

    bool place_lamps(level_grid& g) {
        sim_board b = solved_board(g);
        trace_result tr;
        sim_trace(b, (1u << b.laser_cells.size()) - 1, true, tr);
        // Per beam, its entries in order; the lamp goes on the last straight stretch.
        std::map<int, std::vector<beam_entry>> paths;
        for (const beam_entry& e : tr.entries) paths[e.beam].push_back(e);
        std::set<int> used;
        int lamps = 0;
        // Cells that some beam reaches, in some colour, with no piece placed: a lamp there of
        // that colour would be lit for free.
        std::set<std::pair<int, int>> free_light;
        {
            fixed_level f = split_level(g);
            for (uint32_t mask = 1; mask < (1u << f.board.laser_cells.size()); ++mask) {
                trace_result t0;
                sim_trace(f.board, mask, true, t0);
                for (const beam_entry& e : t0.entries) free_light.insert({e.cell, e.colour});
            }
        }
        // Mixed lamps where two beams of different primary colours cross.
        if (config.mixed_lamps > 0) {
            std::map<int, int> colours_at;
            for (const beam_entry& e : tr.entries)
                if (e.colour >= 1) colours_at[e.cell] |= 1 << e.colour;
            std::vector<int> crossings;
            for (auto& [cell, bits] : colours_at)
                if (__builtin_popcount(unsigned(bits)) >= 2) crossings.push_back(cell);
            std::shuffle(crossings.begin(), crossings.end(), rng);
            for (int m = 0; m < config.mixed_lamps && m < int(crossings.size()); ++m) {
                int bits = colours_at[crossings[size_t(m)]];
                int lamp = (bits & 2) && (bits & 4) ? 4 : (bits & 4) && (bits & 8) ? 5 : 6;
                g.code[size_t(crossings[size_t(m)])] = 200 + lamp;
                used.insert(crossings[size_t(m)]);
                ++lamps;
            }
            if (lamps < config.mixed_lamps && config.mixed_required) return false;
        }
        for (auto& [beam, path] : paths) {
            // Only beams bent by a piece on the way get a lamp at their end.
            size_t last_turn = 0;
            for (size_t i = 1; i < path.size(); ++i)
                if (path[i].dir != path[i - 1].dir || path[i].colour != path[i - 1].colour)
                    last_turn = i;
            bool bent = last_turn > 0 || beam >= int(b.laser_cells.size());
            for (const beam_entry& v : tr.piece_visits) bent = bent || v.beam == beam;
            // The lamp goes after the last piece the beam meets.
            for (const beam_entry& v : tr.piece_visits)
                if (v.beam == beam)
                    for (size_t i = 0; i < path.size(); ++i)
                        if (path[i].step > v.step) {
                            last_turn = std::max(last_turn, i);
                            break;
                        }
            if (!bent) continue;
            size_t from = last_turn + (path.size() - last_turn) / 2;
            if (from >= path.size()) continue;
            size_t pick = from + size_t(rnd(int(path.size() - from)));
            int cell = path[pick].cell;
            if (used.count(cell) || g.code[size_t(cell)] != 0) continue;
            if (free_light.count({cell, path[pick].colour})) continue;
            g.code[size_t(cell)] = 200 + path[pick].colour;
            used.insert(cell);
            ++lamps;
            for (int extra = 0; extra < config.extra_lamps && last_turn > 2; ++extra) {
                int c2 = path[size_t(rnd(int(last_turn)))].cell;
                if (g.code[size_t(c2)] == 0) g.code[size_t(c2)] = 200 + path[0].colour;
            }
        }
        return lamps > 0;
    }

    // Takes off every piece the laid-out solution wins without; returns the pieces left
    // (0 when the layout does not win at all).
    int drop_idle_pieces(level_grid& g) {
        for (bool dropped = true; dropped;) {
            dropped = false;
            sim_board b = solved_board(g);
            uint32_t all_on = (1u << b.laser_cells.size()) - 1;
            trace_result t;
            sim_trace(b, all_on, false, t);
            if (!t.won()) return 0;
            for (int c = 0; c < cell_count && !dropped; ++c) {
                if (g.code[size_t(c)] / 100 < 6) continue;
                sim_board without = b;
                without.kind[size_t(c)] = 0;
                sim_trace(without, all_on, false, t);
                if (t.won()) {
                    g.code[size_t(c)] = 0;
                    dropped = true;
                }
            }
        }
        int left = 0;
        for (int32_t code : g.code) left += code / 100 >= 6;
        return left;
    }

    // The cells the intended solution needs: its pieces, lamps, lasers and every cell its beams
    // cross (tightening never walls those).
    std::set<int> protected_cells(const level_grid& g) {
        std::set<int> keep;
        sim_board b = solved_board(g);
        trace_result tr;
        sim_trace(b, (1u << b.laser_cells.size()) - 1, true, tr);
        for (const beam_entry& e : tr.entries) keep.insert(e.cell);
        for (int c = 0; c < cell_count; ++c)
            if (g.code[size_t(c)] != 0) keep.insert(c);
        return keep;
    }

    bool tighten(level_grid& g, int stock_size, std::string& why) {
        std::set<int> keep = protected_cells(g);
        sim_board solved = solved_board(g);
        std::string intended = idea_of(solved, (1u << solved.laser_cells.size()) - 1);
        for (int round = 0; round < 40; ++round) {
            fixed_level f = split_level(g);
            solve_options o;
            o.node_budget = round_budget;
            o.stop_after = round_keep;
            o.keep = int(round_keep);
            // Cheap rounds with every laser on first; laser sets only once those are clean.
            o.all_masks = false;
            solve_result r = solve(f.board, f.stock, o);
            if (r.exhausted && r.solutions == 1) {
                o.all_masks = true;
                r = solve(f.board, f.stock, o);
            }
            if (!r.exhausted && r.solutions < o.stop_after) {
                why = "budget";
                return false;
            }
            std::vector<const solution*> unwanted;
            for (const solution& s : r.kept)
                if (int(s.pieces.size()) < stock_size || s.idea != intended) unwanted.push_back(&s);
            if (unwanted.empty()) {
                if (r.exhausted) return true;
                why = "too many solutions of the intended idea";
                return false;
            }
            // Cells only unwanted solutions use, counted over all of them.
            std::map<int, int> score;
            for (const solution* s : unwanted) {
                sim_board b = f.board;
                for (const placement& m : s->pieces) {
                    b.kind[size_t(m.cell)] = int8_t(m.kind);
                    b.state[size_t(m.cell)] = int8_t(m.orientation);
                }
                trace_result tr;
                sim_trace(b, s->laser_on, true, tr);
                std::set<int> cells;
                for (const placement& m : s->pieces) cells.insert(m.cell);
                for (const beam_entry& e : tr.entries) cells.insert(e.cell);
                for (int c : cells)
                    if (!keep.count(c)) score[c] += 4;
            }
            if (score.empty()) {
                why = "an unwanted solution uses only the intended cells";
                if (std::getenv("LEVELGEN_DEBUG")) {
                    level_source l;
                    l.grid = g;
                    l.note = "x";
                    std::cerr << format_level_source(l) << "intended " << intended << "\n";
                    for (const solution* s : unwanted) {
                        std::cerr << "unwanted " << s->idea << " mask " << s->laser_on << ":";
                        for (const placement& m : s->pieces)
                            std::cerr << " " << cell_column(m.cell) << "," << cell_row(m.cell)
                                      << "k" << m.kind << "o" << m.orientation;
                        std::cerr << "\n";
                    }
                }
                return false;
            }
            // Prefer cells beside walls or the edge, so that walls grow into shapes.
            int best = -1, best_score = -1;
            for (auto& [c, s] : score) {
                int x = cell_column(c), y = cell_row(c), bonus = 0;
                for (int d = 0; d < 8; d += 2) {
                    int nx = x + (d == 2) - (d == 6), ny = y + (d == 4) - (d == 0);
                    if (nx < 0 || ny < 0 || nx >= columns || ny >= rows)
                        bonus += 1;
                    else if (g.code[size_t(cell_index(nx, ny))] == 400)
                        bonus += 2;
                }
                int total = s + bonus + rnd(3);
                if (total > best_score) {
                    best_score = total;
                    best = c;
                }
            }
            g.code[size_t(best)] = config.bombs && rnd(4) != 0 ? 300 : 400;
            // A bomb must not go off on the empty board.
            fixed_level f2 = split_level(g);
            trace_result t0;
            sim_trace(f2.board, (1u << f2.board.laser_cells.size()) - 1, false, t0);
            if (t0.explosion_step != no_step) g.code[size_t(best)] = 400;
        }
        why = "too many rounds";
        return false;
    }
};

}  // namespace

// levelgen tighten <pack> <slot> <source> <out>: a designer's draft, tightened the same way.
int tighten_draft(int pack, int slot, const std::string& in, const std::string& out) {
    level_source level = read_level_source(in);
    fixed_level f = split_level(level.grid);
    int pieces = 0;
    for (int32_t k = kind_mirror; k < piece_kind_count; ++k) pieces += f.stock[size_t(k)];
    generator gen{std::mt19937(1), pack, slot, pieces, config_for(pack, slot)};
    gen.round_keep = 4096;
    gen.round_budget = 20'000'000;
    std::string why;
    if (!gen.tighten(level.grid, pieces, why)) {
        std::cerr << in << ": " << why << "\n";
        return 1;
    }
    std::ofstream(out) << format_level_source(level);
    level_figures fig = verify_level(level, (pack - 1) * 6 + slot - 1, load_note_metrics(""));
    std::cout << out << " grade " << fig.grade << "\n";
    for (const std::string& f2 : fig.failures) std::cout << "  " << f2 << "\n";
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 6 && std::string(argv[1]) == "tighten") {
        // A draft with a fault is reported with its file and line, as levelc does.
        try {
            return tighten_draft(std::stoi(argv[2]), std::stoi(argv[3]), argv[4], argv[5]);
        } catch (const source_error& e) {
            std::cerr << e.what() << "\n";
            return 1;
        }
    }
    if (argc < 7) {
        std::cerr << "usage: levelgen <pack 1-20> <slot 1-6> <pieces> <seed> <tries> <out folder> "
                     "[font16.dat]\n";
        return 2;
    }
    generator gen{std::mt19937(uint32_t(std::stoul(argv[4]))),
                  std::stoi(argv[1]),
                  std::stoi(argv[2]),
                  std::stoi(argv[3]),
                  {}};
    gen.config = config_for(gen.pack, gen.slot);
    // A designer's overrides for one run: kinds every candidate must use (LEVELGEN_MUST=7,7 for
    // two double mirrors), lamps along the beams (LEVELGEN_EXTRA_LAMPS=n, so that big stocks
    // keep every turn needed) and the number of lasers (LEVELGEN_LASERS=n).
    if (const char* must = std::getenv("LEVELGEN_MUST")) {
        gen.config.must.clear();
        for (const char* p = must; *p; ++p)
            if (*p >= '0' && *p <= '9') {
                int kind = int(std::strtol(p, nullptr, 10));
                gen.config.must.push_back(kind);
                if (std::find(gen.config.kinds.begin(), gen.config.kinds.end(), kind) ==
                    gen.config.kinds.end())
                    gen.config.kinds.push_back(kind);
                while (p[1] >= '0' && p[1] <= '9') ++p;
            }
    }
    if (const char* extra = std::getenv("LEVELGEN_EXTRA_LAMPS"))
        gen.config.extra_lamps = std::atoi(extra);
    if (const char* room = std::getenv("LEVELGEN_ROOM")) {
        // LEVELGEN_ROOM=WxH: the level inside a walled room of that inside size.
        gen.config.room_width = std::atoi(room);
        if (const char* x = std::strchr(room, 'x')) gen.config.room_height = std::atoi(x + 1);
        if (gen.config.room_height <= 0) gen.config.room_width = 0;
    }
    if (const char* walls = std::getenv("LEVELGEN_WALLS")) gen.config.walls = std::atoi(walls);
    if (const char* lasers = std::getenv("LEVELGEN_LASERS"))
        gen.config.lasers_min = gen.config.lasers_max = std::atoi(lasers);
    int tries = std::stoi(argv[5]);
    std::string out = argv[6];
    note_metrics font = load_note_metrics(argc > 7 ? argv[7] : "");
    std::filesystem::create_directories(out);
    int index = (gen.pack - 1) * 6 + gen.slot - 1;
    int accepted = 0;
    std::map<std::string, int> rejected;
    const bool want_off = std::getenv("LEVELGEN_WANT_OFF") != nullptr;
    if (want_off) gen.config.bombs = true;
    for (int t = 0; t < tries; ++t) {
        level_grid g;
        std::vector<placement> placed;
        if (!gen.lay_out(g)) {
            rejected["layout"]++;
            continue;
        }
        if (!gen.place_pieces(g, placed)) {
            rejected["pieces"]++;
            continue;
        }
        if (!gen.place_lamps(g)) {
            rejected["lamps"]++;
            continue;
        }
        // Pieces the finished layout does not need come off again; one fewer than asked is fine.
        int kept = gen.drop_idle_pieces(g);
        if (kept < std::max(1, gen.pieces - (gen.pieces >= 4 ? 2 : 1))) {
            rejected["pieces of the layout idle"]++;
            continue;
        }
        int asked = gen.pieces;
        gen.pieces = kept;
        std::string why;
        bool tight = gen.tighten(g, gen.pieces, why);
        int stock_size = gen.pieces;
        gen.pieces = asked;
        if (!tight) {
            rejected[why]++;
            continue;
        }
        level_source level;
        level.grid = g;
        level.note = "Draft.";
        if (gen.config.bonus) {
            // The tightened level is the cheap idea; the stored solution takes a longer way
            // round with three more mirrors, so the cheap idea earns their bonus.
            fixed_level f = split_level(g);
            const int bonus_extra = 3;
            std::array<int32_t, piece_kind_count> stock = f.stock;
            stock[6] += bonus_extra;
            solve_options o;
            o.node_budget = 400'000;
            o.keep = 4000;
            solve_result r = solve(f.board, stock, o);
            std::vector<const solution*> longer;
            for (const solution& s : r.kept)
                if (int(s.pieces.size()) == stock_size + bonus_extra) longer.push_back(&s);
            if (longer.empty()) {
                rejected["no longer way"]++;
                continue;
            }
            const solution* s = longer[size_t(gen.rnd(int(longer.size())))];
            if (s->laser_on != (1u << f.board.laser_cells.size()) - 1) {
                rejected["longer way needs laser off"]++;
                continue;
            }
            for (int c = 0; c < cell_count; ++c)
                if (g.code[size_t(c)] / 100 >= 6) level.grid.code[size_t(c)] = 0;
            for (const placement& m : s->pieces)
                level.grid.code[size_t(m.cell)] =
                    m.kind * 100 + (is_sphere(m.kind) ? 0 : m.orientation * 10);
            level.bonus = true;
        }
        if (want_off) {
            // Only levels whose every order of building sends a beam into a bomb
            // (LEVELGEN_WANT_OFF): the levels that need a laser switched off while building.
            fixed_level f = split_level(level.grid);
            std::vector<placement> pieces;
            for (const fixed_level::piece& p : f.solution)
                pieces.push_back({p.cell, p.kind, p.orientation});
            const bool safe_order =
                buildable(f.board, pieces, (1u << f.board.laser_cells.size()) - 1);
            if (safe_order) {
                rejected["buildable with lasers on"]++;
                continue;
            }
        }
        // Walls of the template that no solution needs come off: scenery is a fault.
        take_away_inert(level, index, font);
        level_figures fig = verify_level(level, index, font);
        if (fig.needs_laser_off) {
            level.laser_off = true;
            level.note = "Draft: switch a laser off.";
            fig = verify_level(level, index, font);
        }
        if (!fig.failures.empty()) {
            rejected[fig.failures[0]]++;
            if (std::getenv("LEVELGEN_DEBUG"))
                std::cerr << format_level_source(level) << fig.failures[0] << "\n";
            continue;
        }
        char name[256];
        std::snprintf(name, sizeof name, "%s/p%02d_%d_k%d_s%s_%03d.lvl", out.c_str(), gen.pack,
                      gen.slot, stock_size, argv[4], t);
        std::ofstream file(name);
        file << "# grade " << fig.grade << " effort " << fig.effort << " dead " << fig.dead_first
             << " nodes " << fig.nodes << " beams " << fig.beams << " lasers " << fig.lasers
             << " off " << fig.needs_laser_off << " mech " << fig.mechanics << "\n"
             << format_level_source(level);
        ++accepted;
        std::cout << name << " grade " << fig.grade << "\n";
    }
    std::cout << "accepted " << accepted << " of " << tries;
    for (auto& [why, n] : rejected) std::cout << "; " << why << " " << n;
    std::cout << "\n";
    return 0;
}

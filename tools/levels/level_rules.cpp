// The checks of one level and its grade.
#include "level_rules.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <map>
#include <set>

#include "board/piece_kinds.h"
#include "game_replay.h"
#include "level_craft.h"

namespace levels {

note_metrics load_note_metrics(const std::string& path) {
    note_metrics m;
    std::ifstream in(path, std::ios::binary);
    if (in) {
        for (int i = 0; i < 181; ++i) m.metrics[size_t(i)] = in.get();
        m.real = bool(in);
    }
    if (!m.real) {
        // No font yet: assume every glyph as wide as its whole 16-pixel cell would allow with
        // little bearing, which overestimates every real typeface of that cell size.
        m.metrics[0] = 8;
        for (int k = 0; k < 90; ++k) {
            m.metrics[size_t(2 * k + 1)] = 1;
            m.metrics[size_t(2 * k + 2)] = 13;
        }
    }
    return m;
}

int note_line_count(const note_metrics& m, const std::string& note, bool* words_fit) {
    // The window's word wrap: a word moves to the next line when it would pass the margin;
    // within a word glyphs stand 2 pixels apart.
    auto width = [&](const std::string& word) {
        int w = 0;
        for (unsigned char c : word)
            w += c == ' ' ? m.metrics[0] : m.metrics[size_t(2 * (c - 33) + 2)] + 2;
        return w;
    };
    const int wrap = 350;
    int lines = 1, pen = 0;
    if (words_fit) *words_fit = true;
    size_t start = 0;
    for (;;) {
        size_t end = note.find(' ', start);
        std::string word =
            note.substr(start, end == std::string::npos ? std::string::npos : end - start);
        int w = width(word);
        if (w > wrap && words_fit) *words_fit = false;
        if (pen + w > wrap) {
            ++lines;
            pen = 0;
        }
        for (unsigned char c : word) pen += m.metrics[size_t(2 * (c - 33) + 2)] + 2;
        pen = pen - 2 + m.metrics[0];
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

bool buildable(const sim_board& board, const std::vector<placement>& pieces, uint32_t laser_on) {
    size_t n = pieces.size();
    if (n > 16) return true;
    std::vector<char> safe(size_t(1) << n, 0);
    for (size_t set = 0; set < safe.size(); ++set) {
        sim_board b = board;
        for (size_t i = 0; i < n; ++i)
            if (set >> i & 1) {
                b.kind[size_t(pieces[i].cell)] = int8_t(pieces[i].kind);
                b.state[size_t(pieces[i].cell)] = int8_t(pieces[i].orientation);
            }
        trace_result t;
        sim_trace(b, laser_on, false, t);
        bool ok = t.explosion_step == no_step;
        if (ok && set != 0) {
            bool reachable = false;
            for (size_t i = 0; i < n && !reachable; ++i)
                if (set >> i & 1) reachable = safe[set & ~(size_t(1) << i)];
            ok = reachable;
        }
        safe[set] = ok;
    }
    return safe.back();
}

namespace {

// The grade's figures that the board decides: the mechanics the stored solution combines.
int mechanics_of(const sim_board& board, const std::vector<placement>& stored, bool needs_laser_off,
                 bool* mixed_lamp) {
    std::set<int> kinds;
    for (const placement& m : stored) kinds.insert(is_sphere(m.kind) ? kind_white_sphere : m.kind);
    std::set<int> laser_colours;
    bool translators = false, bombs = false, mixed = false;
    for (int cell = 0; cell < cell_count; ++cell) {
        int k = board.kind[size_t(cell)];
        if (k == kind_laser) laser_colours.insert(board.colour[size_t(cell)]);
        if (k == kind_lamp && board.colour[size_t(cell)] >= lamp_yellow) mixed = true;
        translators = translators || k == kind_translator;
        bombs = bombs || k == kind_bomb;
    }
    *mixed_lamp = mixed;
    return int(kinds.size()) + mixed + translators + bombs + needs_laser_off +
           (laser_colours.size() > 1 || !laser_colours.count(0));
}

struct grade_parts {
    double effort = 0, dead_first = 0;
    int beams = 0, mechanics = 0;
    bool mixed_lamp = false;
};

grade_parts grade_parts_of(const sim_board& board,
                           const std::array<int32_t, piece_kind_count>& stock,
                           const std::vector<placement>& stored, bool needs_laser_off,
                           double dead_first) {
    grade_parts g;
    g.effort = trial_effort(board, stock, 8, 2'000'000);
    g.dead_first = dead_first;
    sim_board solved = board;
    for (const placement& m : stored) {
        solved.kind[size_t(m.cell)] = int8_t(m.kind);
        solved.state[size_t(m.cell)] = int8_t(m.orientation);
    }
    trace_result t;
    sim_trace(solved, (1u << solved.laser_cells.size()) - 1, false, t);
    g.beams = t.beams;
    g.mechanics = mechanics_of(board, stored, needs_laser_off, &g.mixed_lamp);
    return g;
}

double grade_of(const grade_parts& g, int pieces, bool needs_laser_off) {
    return std::log10(std::max(1.0, g.effort)) + 1.5 * g.dead_first + 0.25 * pieces +
           0.4 * (g.beams - 1) + 0.5 * (g.mechanics - 1) + 0.7 * needs_laser_off +
           0.3 * g.mixed_lamp;
}

bool has_off_hint(const std::string& note) {
    std::string low;
    for (char c : note) low += char(std::tolower(static_cast<unsigned char>(c)));
    return low.find("off") != std::string::npos;
}

}  // namespace

level_figures verify_level(const level_source& level, int index, const note_metrics& font) {
    auto started = std::chrono::steady_clock::now();
    level_figures r;
    r.name = level.name;
    r.index = index;
    auto fail = [&](const std::string& what) { r.failures.push_back(what); };
    fixed_level f = split_level(level.grid);
    const sim_board& board = f.board;
    r.lasers = int(board.laser_cells.size());
    uint32_t all_on = (1u << r.lasers) - 1;
    for (int32_t k = kind_mirror; k < piece_kind_count; ++k) r.pieces += f.stock[size_t(k)];

    // The stored solution, with the game's trace and with the tools' copy.
    std::vector<placement> stored = stored_solution(level.grid);
    game_verdict g = replay_in_game(level.grid, stored, all_on);
    if (!g.all_lit) fail("the stored solution does not light every lamp");
    if (g.exploded) fail("the stored solution sets off a bomb");
    sim_board solved = board;
    for (const placement& m : stored) {
        solved.kind[size_t(m.cell)] = int8_t(m.kind);
        solved.state[size_t(m.cell)] = int8_t(m.orientation);
    }
    trace_result st;
    sim_trace(solved, all_on, false, st);
    r.beams = st.beams;
    for (int cell : board.lamp_cells)
        if (int(st.lamp_mask[size_t(cell)]) != g.lamp_mask[size_t(cell)])
            fail("the tools' trace disagrees with the game's at a lamp");
    if (st.won() != (g.all_lit && !g.exploded)) fail("the tools' trace disagrees with the game's");

    // No piece placed: no set of lasers lights everything.
    for (uint32_t mask = 1; mask <= all_on; ++mask) {
        trace_result t;
        sim_trace(board, mask, false, t);
        if (t.won()) fail("every lamp is lit before a piece is placed");
    }
    game_verdict empty = replay_in_game(level.grid, {}, all_on);
    if (empty.exploded) fail("a bomb goes off before a piece is placed");
    if (empty.all_lit && !empty.exploded) fail("every lamp is lit before a piece is placed");

    // The exhaustive search. In the bonus pack only up to the cheapest solution: what matters
    // there is that nothing is cheaper and that the cheap idea is the only one of its size.
    bool bonus_level = pack_of(index) == bonus_pack;
    solve_options o;
    o.node_budget = 30'000'000;
    // A level that needs a laser switched off keeps every solution: each must need it too.
    o.keep = level.laser_off ? 512 : 8;
    solve_result s;
    int64_t capped_nodes = 0;
    for (int cap = bonus_level ? 1 : r.pieces; cap <= r.pieces; ++cap) {
        o.max_pieces = cap;
        s = solve(board, f.stock, o);
        capped_nodes += s.nodes;
        if (s.solutions > 0 || !s.exhausted) break;
    }
    s.nodes = capped_nodes;
    r.nodes = s.nodes;
    r.exhausted = s.exhausted;
    r.fewest = s.fewest;
    r.solutions = s.solutions;
    if (!s.exhausted)
        fail("the search ran out of its budget of " + std::to_string(o.node_budget) + " nodes");
    if (s.fewest >= 0) r.ideas = int(s.ideas_by_size[s.fewest].size());
    r.dead_first = s.root_moves > 0 ? double(s.dead_root_moves) / s.root_moves : 0;
    if (s.fewest == 0) fail("no piece is needed");
    if (level.bonus != bonus_level)
        fail(bonus_level ? "a level of the bonus pack must say 'bonus'"
                         : "'bonus' outside the bonus pack");
    if (bonus_level) {
        if (s.fewest < 0 || s.fewest >= r.pieces) fail("no solution cheaper than the stock");
        if (r.ideas > 1)
            fail("the cheap solution has " + std::to_string(r.ideas) + " ideas, one is the point");
        // The bonus of the cheapest solution: what it leaves in the stock.
        for (const solution& sol : s.kept)
            if (int(sol.pieces.size()) == s.fewest) {
                std::array<int32_t, piece_kind_count> left = f.stock;
                for (const placement& m : sol.pieces) left[size_t(m.kind)] -= 1;
                int points = 0;
                for (int32_t k = kind_mirror; k < piece_kind_count; ++k)
                    points += left[size_t(k)] * kind_rules(k).bonus;
                r.bonus_points = std::max(r.bonus_points, points);
            }
    } else {
        if (s.fewest != r.pieces)
            fail("fewest pieces " + std::to_string(s.fewest) + ", stock " +
                 std::to_string(r.pieces));
        if (r.ideas > level.ideas)
            fail(std::to_string(r.ideas) + " distinct ideas, " + std::to_string(level.ideas) +
                 " allowed");
        if (level.ideas > 1 && pack_of(index) < 9) fail("two ideas are for the combo packs only");
        // Every kind in the stock is needed: a mirror in place of one piece of it fails.
        for (int32_t k = kind_double_mirror; k < piece_kind_count; ++k) {
            if (f.stock[size_t(k)] == 0) continue;
            std::array<int32_t, piece_kind_count> swapped = f.stock;
            swapped[size_t(k)] -= 1;
            swapped[6] += 1;
            solve_options q;
            q.stop_after = 1;
            q.keep = 0;
            q.node_budget = 30'000'000;
            solve_result w = solve(board, swapped, q);
            r.nodes += w.nodes;
            if (w.solutions > 0)
                fail("a mirror can stand in for a piece of kind " + std::to_string(k));
            else if (!w.exhausted)
                fail("the kind check ran out of budget");
        }
    }

    // Building it: switching a laser off while building must be said in the note.
    r.needs_laser_off = !buildable(board, stored, all_on);
    if (r.needs_laser_off != level.laser_off)
        fail(r.needs_laser_off ? "building it needs a laser switched off: say 'laser-off'"
                               : "'laser-off' but it can be built with every laser on");
    if (r.needs_laser_off && !has_off_hint(level.note))
        fail("the note must say a laser has to be switched off");
    if (r.needs_laser_off) {
        // The note's advice must work: with one laser switched off the pieces go in safely.
        bool one_off_works = false;
        for (int l = 0; l < r.lasers && !one_off_works; ++l)
            one_off_works = buildable(board, stored, all_on & ~(1u << l));
        if (!one_off_works) fail("no single laser switched off lets it be built");
        // And no other way of winning lets the player skip it: every solution that wins with
        // all lasers on cannot be built with them on either.
        if (s.solutions > int64_t(s.kept.size()))
            fail("too many solutions to check that each needs a laser off");
        for (const solution& sol : s.kept)
            if (sol.laser_on == all_on && buildable(board, sol.pieces, all_on)) {
                fail("another solution can be built with every laser on");
                break;
            }
    }

    // The note.
    if (level.note.empty()) fail("no note");
    if (level.note.size() > 255) fail("the note is longer than 255 characters");
    for (unsigned char c : level.note)
        if (c < 32 || c > 122) fail("the note holds a character outside 32 to 122");
    bool words_fit = true;
    int lines = note_line_count(font, level.note, &words_fit);
    if (lines > note_max_lines)
        fail("the note needs " + std::to_string(lines) + " lines, the window shows " +
             std::to_string(note_max_lines));
    if (!words_fit) fail("a word of the note is wider than the window");

    int double_prisms = f.stock[9];
    if (r.lasers + double_prisms > 20) fail("more than 20 beams possible");

    // Fixed pieces that earn their place: take each away in turn; if the fewest pieces and the
    // number of fewest-piece solutions stay (and so does the need to switch a laser off), it is
    // scenery, or at best a declared decoy that must tempt.
    std::vector<fixed_element> elements = fixed_elements(board);
    std::vector<const fixed_element*> clutter;
    if (s.fewest > 0 && s.exhausted) {
        std::vector<char> reach = reachable_cells(board, f.stock);
        int64_t base = s.solutions_by_size[s.fewest];
        for (const fixed_element& e : elements) {
            int declared = -1;
            for (size_t d = 0; d < level.decoys.size(); ++d)
                if (std::find(e.cells.begin(), e.cells.end(), level.decoys[d].cell) !=
                    e.cells.end())
                    declared = int(d);
            bool reached = e.kind == kind_laser;
            for (int cell : e.cells) reached = reached || reach[size_t(cell)];
            bool inert = true;
            // A piece the stored solution cannot win without earns its place: no search needed.
            // (In the bonus pack the stored solution is the long way round, not the puzzle.)
            if (reached && declared < 0 && !bonus_level) {
                sim_board b = without(board, {&e});
                for (const placement& m : stored) {
                    b.kind[size_t(m.cell)] = int8_t(m.kind);
                    b.state[size_t(m.cell)] = int8_t(m.orientation);
                }
                trace_result t;
                sim_trace(b, (1u << b.laser_cells.size()) - 1, false, t);
                if (!t.won()) inert = false;
            }
            if (reached && inert) {
                // A removal that opens more solutions shows itself as soon as it finds one more.
                sim_board b = without(board, {&e});
                solve_options q;
                q.max_pieces = s.fewest;
                q.keep = 0;
                q.stop_after = base + 1;
                q.node_budget = 30'000'000;
                solve_result w = solve(b, f.stock, q);
                r.nodes += w.nodes;
                r.removal_searches += 1;
                if (w.solutions >= q.stop_after)
                    inert = false;
                else if (!w.exhausted) {
                    fail("the search without the " + element_label(e) + " ran out of its budget");
                    inert = false;
                } else {
                    inert = w.fewest == s.fewest && w.solutions_by_size[s.fewest] == base;
                }
                if (inert && r.needs_laser_off)
                    inert = !buildable(b, stored, (1u << b.laser_cells.size()) - 1);
                // A piece that makes a kind of the stock needed (a mirror could stand in without
                // it) earns its place too.
                for (int32_t k = kind_double_mirror; k < piece_kind_count && inert && !bonus_level;
                     ++k) {
                    if (f.stock[size_t(k)] == 0) continue;
                    std::array<int32_t, piece_kind_count> swapped = f.stock;
                    swapped[size_t(k)] -= 1;
                    swapped[6] += 1;
                    solve_options ks;
                    ks.stop_after = 1;
                    ks.keep = 0;
                    ks.node_budget = 30'000'000;
                    solve_result w2 = solve(b, swapped, ks);
                    r.nodes += w2.nodes;
                    if (w2.solutions > 0) inert = false;
                }
            }
            if (declared >= 0) {
                r.decoys.push_back(element_label(e) + ": " + level.decoys[size_t(declared)].reason);
                if (!inert)
                    fail("the " + element_label(e) +
                         " is declared a decoy, but the solutions depend on it");
                else if (!tempts(board, f.stock, e))
                    fail("the decoy " + element_label(e) +
                         " does not tempt: no placement sends a beam into it");
                clutter.push_back(&e);
            } else if (inert) {
                r.inert.push_back(element_label(e));
                r.inert_cells.push_back(e.cells);
                fail("the " + element_label(e) +
                     " changes nothing: take it away or declare it a decoy");
                clutter.push_back(&e);
            }
        }
    }

    // Nothing is solved before the player acts: no lamp lit on the opening board.
    {
        trace_result t;
        sim_trace(board, all_on, false, t);
        for (int cell : board.lamp_cells)
            if (lamp_lit(board.colour[size_t(cell)], t.lamp_mask[size_t(cell)])) {
                fail("a lamp is lit before a piece is placed");
                break;
            }
    }

    // The note tells the truth and not the answer.
    for (const std::string& why :
         note_faults(level.note, facts_of(level, r.needs_laser_off, s.fewest)))
        fail(why);

    // The figures of the grade, first of the level as written, then of the puzzle alone: inert
    // pieces and decoys taken away, so that scenery cannot make a level look harder.
    grade_parts as_written =
        grade_parts_of(board, f.stock, stored, r.needs_laser_off, r.dead_first);
    r.grade_before = grade_of(as_written, r.pieces, r.needs_laser_off);
    grade_parts puzzle = as_written;
    if (!clutter.empty()) {
        sim_board bare = without(board, clutter);
        solve_options q;
        q.max_pieces = std::max(s.fewest, 1);
        q.keep = 0;
        q.node_budget = 30'000'000;
        solve_result bs = solve(bare, f.stock, q);
        r.nodes += bs.nodes;
        std::vector<placement> kept_pieces;
        for (const placement& m : stored)
            if (bare.kind[size_t(m.cell)] == 0) kept_pieces.push_back(m);
        double dead = bs.root_moves > 0 ? double(bs.dead_root_moves) / bs.root_moves : 0;
        puzzle = grade_parts_of(bare, f.stock, kept_pieces, r.needs_laser_off, dead);
        r.dead_first = dead;
    }
    r.effort = puzzle.effort;
    r.mechanics = puzzle.mechanics;
    r.mixed_lamp = puzzle.mixed_lamp;
    r.grade = grade_of(puzzle, r.pieces, r.needs_laser_off);
    r.recipe = recipe_of(level.grid);
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return r;
}

int start_score_for(double grade) {
    // Expected seconds of a typical player: about 40 for a first lesson, a quarter of an hour
    // for the hardest levels. The start must outlast it, so the clock rarely eats the score.
    double expected = 25.0 * std::pow(10.0, grade / 6.0);
    int score = int(std::lround((200.0 + 2.0 * expected) / 50.0)) * 50;
    return std::max(300, score);
}

std::vector<std::string> take_away_inert(level_source& level, int index, const note_metrics& font) {
    std::vector<std::string> removed;
    for (;;) {
        level_figures f = verify_level(level, index, font);
        if (f.inert.empty()) return removed;
        removed.push_back(f.inert.front());
        for (int cell : f.inert_cells.front()) {
            level.grid.code[size_t(cell)] = 0;
            if (level.grid_lines.size() == size_t(rows))
                level.grid_lines[size_t(cell_row(cell))][size_t(cell_column(cell))] = '.';
        }
    }
}

std::vector<std::string> check_recipes(std::vector<level_figures>& all) {
    std::map<std::string, std::vector<size_t>> users;
    for (size_t i = 0; i < all.size(); ++i) users[all[i].recipe].push_back(i);
    std::vector<std::string> pairs;
    auto name = [&](size_t i) {
        return std::to_string(all[i].index / 6 + 1) + "-" + std::to_string(all[i].index % 6 + 1);
    };
    for (const auto& [recipe, levels] : users) {
        if (levels.size() == 2)
            pairs.push_back(name(levels[0]) + " and " + name(levels[1]) + ": " + recipe);
        if (levels.size() < 3) continue;
        std::string list;
        for (size_t i : levels) list += (list.empty() ? "" : ", ") + name(i);
        for (size_t i : levels)
            all[i].failures.push_back("the recipe (" + recipe + ") is used by " +
                                      std::to_string(levels.size()) + " levels: " + list);
    }
    return pairs;
}

void grade_levels(std::vector<level_figures>& all) {
    for (level_figures& f : all) {
        int pack = pack_of(f.index);
        std::vector<double> window;
        for (const level_figures& g : all)
            if (std::abs(pack_of(g.index) - pack) <= 2) window.push_back(g.grade);
        int below = 0;
        for (double d : window) below += d < f.grade;
        double rank = window.size() > 1 ? double(below) / double(window.size()) : 0;
        f.hardness = rank < 1.0 / 3 ? 0 : rank < 2.0 / 3 ? 1 : 2;
        f.start_score = start_score_for(f.grade);
    }
}

}  // namespace levels

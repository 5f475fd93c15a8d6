// The solver against brute force, and the tools' trace against the game's, on random boards.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "game_replay.h"
#include "level_source.h"
#include "solver.h"

using namespace levels;

namespace {

// A small open room (the rest walled) with lasers, lamps, a few walls, bombs and translators,
// so that brute force over every cell and orientation stays cheap.
level_grid random_room(std::mt19937& rng, int lasers, bool coloured) {
    level_grid g;
    g.code.fill(400);
    const int x0 = 3, y0 = 3, w = 6, h = 5;
    for (int x = x0; x < x0 + w; ++x)
        for (int y = y0; y < y0 + h; ++y) g.code[size_t(cell_index(x, y))] = 0;
    auto free_cell = [&]() {
        for (;;) {
            int c = cell_index(x0 + int(rng() % w), y0 + int(rng() % h));
            if (g.code[size_t(c)] == 0) return c;
        }
    };
    for (int l = 0; l < lasers; ++l)
        g.code[size_t(free_cell())] =
            100 + int(rng() % 8) * 10 + (coloured ? 1 + int(rng() % 3) : 0);
    int lamps = 1 + int(rng() % 2);
    for (int l = 0; l < lamps; ++l)
        g.code[size_t(free_cell())] = 200 + (coloured ? int(rng() % 7) : 0);
    if (rng() % 2) g.code[size_t(free_cell())] = 400;
    if (rng() % 3 == 0) g.code[size_t(free_cell())] = 300;
    if (rng() % 3 == 0) g.code[size_t(free_cell())] = 500 + int(rng() % 8) * 10;
    return g;
}

constexpr int orientations[14] = {0, 0, 0, 0, 0, 0, 8, 4, 4, 8, 1, 1, 1, 1};

sim_board with(const sim_board& b, const std::vector<placement>& pieces) {
    sim_board out = b;
    for (const placement& m : pieces) {
        out.kind[size_t(m.cell)] = int8_t(m.kind);
        out.state[size_t(m.cell)] = int8_t(m.orientation);
    }
    return out;
}

using piece_set = std::set<std::tuple<int, int, int>>;

piece_set as_set(const std::vector<placement>& pieces) {
    piece_set s;
    for (const placement& m : pieces) s.insert({m.cell, m.kind, m.orientation});
    return s;
}

// Every winning configuration of the stock (all lasers on), by brute force over every empty
// cell and orientation, at the smallest size that wins.
std::set<piece_set> brute_force(const sim_board& b, const std::array<int, 14>& stock, int* fewest) {
    std::vector<int> kinds;
    for (int k = 6; k < 14; ++k)
        for (int n = 0; n < stock[size_t(k)]; ++n) kinds.push_back(k);
    std::vector<int> cells;
    for (int c = 0; c < cell_count; ++c)
        if (b.kind[size_t(c)] == 0) cells.push_back(c);
    uint32_t all_on = (1u << b.laser_cells.size()) - 1;
    std::set<piece_set> wins;
    *fewest = -1;
    for (int size = 0; size <= int(kinds.size()) && wins.empty(); ++size) {
        // Choose which stock pieces (by kind multiset) and where.
        std::set<std::vector<int>> kind_choices;
        for (uint32_t pick = 0; pick < (1u << kinds.size()); ++pick) {
            if (__builtin_popcount(pick) != size) continue;
            std::vector<int> chosen;
            for (size_t i = 0; i < kinds.size(); ++i)
                if (pick >> i & 1) chosen.push_back(kinds[i]);
            kind_choices.insert(chosen);
        }
        for (std::vector<int> chosen : kind_choices) {
            std::sort(chosen.begin(), chosen.end());
            do {
                std::vector<placement> current;
                auto recurse = [&](auto&& self, size_t i, size_t first_cell) -> void {
                    if (i == chosen.size()) {
                        trace_result t;
                        sim_trace(with(b, current), all_on, false, t);
                        if (t.won()) wins.insert(as_set(current));
                        return;
                    }
                    for (size_t c = 0; c < cells.size(); ++c) {
                        if (i > 0 && c <= first_cell && chosen[i] == chosen[i - 1]) continue;
                        bool taken = false;
                        for (const placement& m : current) taken = taken || m.cell == cells[c];
                        if (taken) continue;
                        for (int o = 0; o < orientations[chosen[i]]; ++o) {
                            current.push_back({cells[c], chosen[i], o});
                            self(self, i + 1, c);
                            current.pop_back();
                        }
                    }
                };
                recurse(recurse, 0, 0);
            } while (std::next_permutation(chosen.begin(), chosen.end()));
        }
        if (!wins.empty()) *fewest = size;
    }
    return wins;
}

TEST(level_solver, finds_exactly_the_fewest_piece_solutions_that_brute_force_finds) {
    std::mt19937 rng(20261208);
    const std::vector<std::array<int, 14>> stocks = [] {
        std::vector<std::array<int, 14>> s;
        auto one = [](std::initializer_list<std::pair<int, int>> kinds) {
            std::array<int, 14> a{};
            for (auto [k, n] : kinds) a[size_t(k)] = n;
            return a;
        };
        s.push_back(one({{6, 1}}));
        s.push_back(one({{7, 1}}));
        s.push_back(one({{8, 1}}));
        s.push_back(one({{9, 1}}));
        s.push_back(one({{11, 1}}));
        s.push_back(one({{6, 2}}));
        s.push_back(one({{6, 1}, {7, 1}}));
        s.push_back(one({{8, 1}, {9, 1}}));
        s.push_back(one({{6, 1}, {12, 1}}));
        return s;
    }();
    int compared = 0, solvable = 0;
    for (int round = 0; round < 150; ++round) {
        const std::array<int, 14>& stock = stocks[size_t(round) % stocks.size()];
        level_grid g = random_room(rng, 1 + round % 2, round % 3 == 2);
        fixed_level f = split_level(g);
        int fewest = -1;
        std::set<piece_set> wins = brute_force(f.board, stock, &fewest);
        solve_options o;
        o.all_masks = false;
        o.keep = 100000;
        solve_result r = solve(f.board, stock, o);
        ASSERT_TRUE(r.exhausted);
        EXPECT_EQ(r.fewest, fewest) << "round " << round;
        std::set<piece_set> found;
        for (const solution& s : r.kept) {
            // Every solution the solver reports wins in the game's own trace.
            game_verdict v = replay_in_game(g, s.pieces, s.laser_on);
            EXPECT_TRUE(v.all_lit && !v.exploded) << "round " << round;
            if (int(s.pieces.size()) == fewest) found.insert(as_set(s.pieces));
        }
        if (fewest > 0) {
            EXPECT_EQ(found, wins) << "round " << round;
        }
        // Adding pieces one at a time finds the same fewest and the same solutions of that size.
        o.fewest_only = true;
        solve_result d = solve(f.board, stock, o);
        EXPECT_EQ(d.fewest, fewest) << "round " << round;
        if (fewest > 0) {
            EXPECT_EQ(d.solutions, int64_t(wins.size())) << "round " << round;
            std::set<piece_set> deep;
            for (const solution& s : d.kept) deep.insert(as_set(s.pieces));
            EXPECT_EQ(deep, wins) << "round " << round;
        }
        ++compared;
        solvable += fewest > 0;
    }
    EXPECT_EQ(compared, 150);
    EXPECT_GE(solvable, 15);  // the comparison must not be vacuous
}

TEST(level_solver, credits_each_solution_to_the_most_lasers_it_wins_with) {
    // A piece that stops a beam stands for all its stopping orientations; a laser switched back
    // on may tell them apart, and only those that then lose are solutions with it off.
    std::mt19937 rng(31);
    std::array<int, 14> stock{};
    stock[6] = 1;
    stock[7] = 1;
    int kept_off = 0;
    for (int round = 0; round < 200; ++round) {
        level_grid g = random_room(rng, 3, round % 2 == 1);
        fixed_level f = split_level(g);
        solve_options o;
        o.keep = 100000;
        solve_result r = solve(f.board, stock, o);
        o.reference = true;
        solve_result plain = solve(f.board, stock, o);
        EXPECT_EQ(r.solutions_by_size, plain.solutions_by_size) << "round " << round;
        ASSERT_EQ(r.solutions, int64_t(r.kept.size())) << "round " << round;
        uint32_t all_on = (1u << f.board.laser_cells.size()) - 1;
        for (const solution& s : r.kept) {
            trace_result t;
            sim_trace(with(f.board, s.pieces), s.laser_on, false, t);
            EXPECT_TRUE(t.won()) << "round " << round;
            for (uint32_t wider = s.laser_on + 1; wider <= all_on; ++wider) {
                if ((wider & s.laser_on) != s.laser_on) continue;
                sim_trace(with(f.board, s.pieces), wider, false, t);
                EXPECT_FALSE(t.won()) << "round " << round;
            }
            kept_off += s.laser_on != all_on && !s.pieces.empty();
        }
    }
    EXPECT_GE(kept_off, 20);
}

TEST(level_solver, the_network_search_counts_as_the_plain_search_on_shipped_levels) {
    // Orientation groups, the bound and the near misses change how much is searched, never
    // what is found: every solution of every size up to the stock, each set of lasers, the
    // ideas and the dead first moves of the grade.
    std::vector<std::string> paths =
        read_level_list(std::string(BEAMWORKS_SOURCE_DIR) + "/content/levels/levels.txt", 120);
    int compared = 0;
    int64_t plain_nodes = 0, network_nodes = 0;
    for (size_t i = 0; i < paths.size(); i += 3) {
        fixed_level f = split_level(read_level_source(paths[i]).grid);
        solve_options o;
        o.keep = 0;
        o.node_budget = 3'000'000;
        o.reference = true;
        solve_result plain = solve(f.board, f.stock, o);
        if (!plain.exhausted) continue;  // a deep level: beyond the plain search
        o.reference = false;
        solve_result network = solve(f.board, f.stock, o);
        ASSERT_TRUE(network.exhausted) << paths[i];
        EXPECT_EQ(network.fewest, plain.fewest) << paths[i];
        EXPECT_EQ(network.solutions_by_size, plain.solutions_by_size) << paths[i];
        EXPECT_EQ(network.ideas_by_size, plain.ideas_by_size) << paths[i];
        EXPECT_EQ(network.root_moves, plain.root_moves) << paths[i];
        EXPECT_EQ(network.dead_root_moves, plain.dead_root_moves) << paths[i];
        plain_nodes += plain.nodes;
        network_nodes += network.nodes;
        ++compared;
    }
    EXPECT_GE(compared, 30);
    EXPECT_LT(network_nodes, plain_nodes);
}

TEST(level_solver, proves_a_nine_piece_board_minimal_with_one_idea) {
    // Deep boards are the network search's reason to be: the plain search would list millions of
    // placements here. Every piece is needed, and the four solutions (the sphere slides along
    // its beam) are one idea.
    level_source level = read_level_source(std::string(BEAMWORKS_SOURCE_DIR) +
                                           "/tools/levels/deep_boards/deep_9.lvl");
    fixed_level f = split_level(level.grid);
    solve_options o;
    o.node_budget = 2'000'000;
    o.fewest_only = true;
    solve_result r = solve(f.board, f.stock, o);
    ASSERT_TRUE(r.exhausted);
    EXPECT_EQ(r.fewest, 9);
    EXPECT_EQ(r.solutions, 4);
    EXPECT_EQ(r.ideas.size(), 1u);
    bool stored_found = false;
    for (const solution& s : r.kept) {
        game_verdict v = replay_in_game(level.grid, s.pieces, s.laser_on);
        EXPECT_TRUE(v.all_lit && !v.exploded);
        stored_found = stored_found || as_set(s.pieces) == as_set(stored_solution(level.grid));
    }
    EXPECT_TRUE(stored_found);
}

TEST(level_solver, tries_lasers_switched_off_as_a_player_may) {
    // A white and a red laser face each other on row 6 and stop each other head-on before the
    // white beam reaches the white lamp.
    // Switching the right one off lights the lamp without a piece; with both on, one mirror
    // must turn the right one's beam away.
    level_grid g;
    g.code[size_t(cell_index(1, 6))] = 120;   // facing right
    g.code[size_t(cell_index(9, 6))] = 200;   // white lamp
    g.code[size_t(cell_index(12, 6))] = 161;  // red, facing left: it passes the lamp first
    fixed_level f = split_level(g);
    std::array<int, 14> stock{};
    stock[6] = 1;
    solve_options on_only;
    on_only.all_masks = false;
    solve_result r = solve(f.board, stock, on_only);
    ASSERT_TRUE(r.exhausted);
    EXPECT_EQ(r.fewest, 1);
    for (const solution& s : r.kept) {
        ASSERT_EQ(s.pieces.size(), 1u);
        EXPECT_GT(cell_column(s.pieces[0].cell), 9);  // on the right laser's side
    }
    solve_result any = solve(f.board, stock, {});
    ASSERT_TRUE(any.exhausted);
    EXPECT_EQ(any.fewest, 0);
    bool off_found = false;
    for (const solution& s : any.kept)
        off_found = off_found || (s.pieces.empty() && s.laser_on == 1u);
    EXPECT_TRUE(off_found);
}

TEST(level_trace, no_cell_is_entered_twice_in_one_direction) {
    // What keeps the search exact under head-on meetings: a piece above the mirror that passes
    // every beam would still stop one meeting a beam at rest in its cell, acting without
    // changing a beam by its own rule. That needs a beam entering a cell as another did before
    // (see the solver), which the pieces' rules never allow.
    std::mt19937 rng(11);
    int64_t checked = 0;
    for (int round = 0; round < 3000; ++round) {
        level_grid g;
        int lasers = 1 + int(rng() % 6);
        int cells = 20 + int(rng() % 120);
        for (int i = 0; i < cells; ++i) {
            int pick = int(rng() % 20);
            int32_t code = 0;
            if (i < lasers)
                code = 100 + int(rng() % 8) * 10 + int(rng() % 4);
            else if (pick < 3)
                code = 200 + int(rng() % 7);
            else if (pick < 5)
                code = 400;
            else if (pick < 6)
                code = 500 + int(rng() % 8) * 10;
            else
                code = (6 + int(rng() % 8)) * 100 + int(rng() % 8) * 10;
            if (code / 100 >= 10) code = code / 100 * 100;
            g.code[size_t(rng() % cell_count)] = code;
        }
        fixed_level f = split_level(g);
        if (f.board.laser_cells.empty()) continue;
        trace_result t;
        sim_trace(with(f.board, stored_solution(g)), (1u << f.board.laser_cells.size()) - 1, true,
                  t);
        std::set<std::pair<int, int>> entered;
        for (const std::vector<beam_entry>* list : {&t.entries, &t.piece_visits})
            for (const beam_entry& e : *list) {
                EXPECT_TRUE(entered.insert({e.cell, e.dir}).second) << "round " << round;
                ++checked;
            }
    }
    EXPECT_GT(checked, 20000);
}

TEST(level_trace, the_tools_trace_agrees_with_the_games_on_random_boards) {
    std::mt19937 rng(7);
    int explosions = 0, lit_lamps = 0;
    for (int round = 0; round < 400; ++round) {
        level_grid g;
        int lasers = 1 + int(rng() % 4);
        for (int i = 0; i < 60; ++i) {
            int c = int(rng() % cell_count);
            int pick = int(rng() % 20);
            int32_t code = 0;
            if (i < lasers)
                code = 100 + int(rng() % 8) * 10 + int(rng() % 4);
            else if (pick < 4)
                code = 200 + int(rng() % 7);
            else if (pick < 5)
                code = 300;
            else if (pick < 8)
                code = 400;
            else if (pick < 9)
                code = 500 + int(rng() % 8) * 10;
            else
                code = (6 + int(rng() % 8)) * 100 + int(rng() % 8) * 10;
            if (code / 100 >= 10) code = code / 100 * 100;
            g.code[size_t(c)] = code;
        }
        fixed_level f = split_level(g);
        if (f.board.laser_cells.empty()) continue;
        uint32_t mask = uint32_t(rng()) & ((1u << f.board.laser_cells.size()) - 1);
        std::vector<placement> pieces = stored_solution(g);
        game_verdict v = replay_in_game(g, pieces, mask);
        trace_result t;
        sim_trace(with(f.board, pieces), mask, false, t);
        explosions += v.exploded;
        EXPECT_EQ(t.explosion_step != no_step, v.exploded) << "round " << round;
        if (v.exploded) continue;  // after a bomb the frame is lost anyway
        for (int cell : f.board.lamp_cells) {
            EXPECT_EQ(int(t.lamp_mask[size_t(cell)]), v.lamp_mask[size_t(cell)])
                << "round " << round;
            lit_lamps += t.lamp_mask[size_t(cell)] != 0;
        }
        EXPECT_EQ(t.all_lit, v.all_lit) << "round " << round;
    }
    EXPECT_GT(explosions, 5);
    EXPECT_GT(lit_lamps, 50);
}

}  // namespace

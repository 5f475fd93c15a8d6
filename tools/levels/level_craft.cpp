// Fixed pieces, decoys, notes and recipes of a level.
#include "level_craft.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "board/piece_kinds.h"

namespace levels {

namespace {

constexpr int step_x[8] = {0, 1, 1, 1, 0, -1, -1, -1};
constexpr int step_y[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

// The cell a beam moves into from this cell in this direction, -1 off the board.
int next_cell(int cell, int dir) {
    int x = cell_column(cell) + step_x[dir], y = cell_row(cell) + step_y[dir];
    if (x < 0 || x >= columns || y < 0 || y >= rows) return -1;
    return cell_index(x, y);
}

bool is_fixed_element_kind(int32_t kind) {
    return kind == kind_laser || kind == kind_bomb || kind == kind_wall || kind == kind_translator;
}

}  // namespace

std::vector<fixed_element> fixed_elements(const sim_board& board) {
    std::vector<fixed_element> out;
    std::vector<char> taken(cell_count, 0);
    for (int cell = 0; cell < cell_count; ++cell) {
        int k = board.kind[size_t(cell)];
        if (!is_fixed_element_kind(k) || taken[size_t(cell)]) continue;
        fixed_element e;
        e.kind = k;
        taken[size_t(cell)] = 1;
        e.cells.push_back(cell);
        if (k == kind_wall) {
            for (size_t i = 0; i < e.cells.size(); ++i)
                for (int dir = 0; dir < 8; dir += 2) {
                    int n = next_cell(e.cells[i], dir);
                    if (n >= 0 && board.kind[size_t(n)] == 4 && !taken[size_t(n)]) {
                        taken[size_t(n)] = 1;
                        e.cells.push_back(n);
                    }
                }
            std::sort(e.cells.begin(), e.cells.end());
        }
        out.push_back(e);
    }
    return out;
}

std::string element_label(const fixed_element& element) {
    static const char* const names[6] = {"", "laser", "", "bomb", "wall group", "translator"};
    int cell = element.cells.front();
    std::string label = std::string(names[element.kind]) + " at " +
                        std::to_string(cell_column(cell) + 1) + "," +
                        std::to_string(cell_row(cell) + 1);
    if (element.kind == kind_wall)
        label += " (" + std::to_string(element.cells.size()) +
                 (element.cells.size() == 1 ? " cell)" : " cells)");
    return label;
}

sim_board without(const sim_board& board, const std::vector<const fixed_element*>& elements) {
    sim_board b = board;
    for (const fixed_element* e : elements)
        for (int cell : e->cells) {
            b.kind[size_t(cell)] = 0;
            b.state[size_t(cell)] = 0;
            b.colour[size_t(cell)] = 0;
        }
    b.laser_cells.clear();
    b.lamp_cells.clear();
    for (int cell = 0; cell < cell_count; ++cell) {
        if (b.kind[size_t(cell)] == 1) b.laser_cells.push_back(int16_t(cell));
        if (b.kind[size_t(cell)] == 2) b.lamp_cells.push_back(int16_t(cell));
    }
    return b;
}

std::vector<char> reachable_cells(const sim_board& board,
                                  const std::array<int32_t, piece_kind_count>& stock) {
    // The turns a piece of the stock can give a beam entering an empty cell, as offsets of
    // direction (0 passes straight on).
    std::set<int> turns = {0};
    if (stock[6] || stock[7]) turns.insert({2, 6});
    if (stock[8]) turns.insert({1, 7});
    if (stock[9]) turns.insert({2, 6});
    std::vector<char> reached(cell_count, 0);
    std::vector<char> seen(size_t(cell_count) * 8, 0);
    std::vector<std::pair<int, int>> pending;  // (cell, direction) of a beam entering the cell
    for (int cell : board.laser_cells) {
        int n = next_cell(cell, board.state[size_t(cell)]);
        if (n >= 0) pending.push_back({n, board.state[size_t(cell)]});
    }
    while (!pending.empty()) {
        auto [cell, dir] = pending.back();
        pending.pop_back();
        if (seen[size_t(cell) * 8 + size_t(dir)]) continue;
        seen[size_t(cell) * 8 + size_t(dir)] = 1;
        reached[size_t(cell)] = 1;
        int k = board.kind[size_t(cell)];
        std::vector<int> out;
        if (k == kind_empty) {
            for (int t : turns) out.push_back((dir + t) % 8);
        } else if (k == kind_lamp || (k == kind_translator && board.state[size_t(cell)] == dir)) {
            out.push_back(dir);
        }
        for (int d : out) {
            int n = next_cell(cell, d);
            if (n >= 0) pending.push_back({n, d});
        }
    }
    return reached;
}

std::vector<char> entered_fixed_cells(const sim_board& board, const trace_result& trace) {
    std::vector<char> entered(cell_count, 0);
    // The beam leaves this cell in this direction: the fixed cells it enters next, through lamps
    // and open translators, which let it pass straight on (head-on stops there are ignored).
    auto follow = [&](int cell, int dir) {
        for (int n = next_cell(cell, dir); n >= 0; n = next_cell(n, dir)) {
            int k = board.kind[size_t(n)];
            if (k < kind_laser || k > kind_translator) return;
            entered[size_t(n)] = 1;
            if (k != kind_lamp && !(k == kind_translator && board.state[size_t(n)] == dir)) return;
        }
    };
    for (int cell : board.laser_cells) follow(cell, board.state[size_t(cell)]);
    for (const beam_entry& e : trace.entries) follow(e.cell, e.dir);
    for (const beam_entry& e : trace.piece_visits) {
        int split = -1;
        int d = piece_turn(board.kind[size_t(e.cell)], board.state[size_t(e.cell)], e.dir, &split);
        if (d >= 0) follow(e.cell, d);
        if (split >= 0) follow(e.cell, split);
    }
    return entered;
}

namespace {

// Whether some beam of this board touches the decoy (for a laser: its beam lights a lamp, or
// another beam runs into its body).
bool touches(const sim_board& board, const fixed_element& decoy) {
    uint32_t all_on = (1u << board.laser_cells.size()) - 1;
    trace_result t;
    sim_trace(board, all_on, true, t);
    std::vector<char> entered = entered_fixed_cells(board, t);
    for (int cell : decoy.cells)
        if (entered[size_t(cell)]) return true;
    if (decoy.kind != kind_laser) return false;
    for (size_t i = 0; i < board.laser_cells.size(); ++i) {
        if (board.laser_cells[i] != decoy.cells.front()) continue;
        trace_result alone;
        sim_trace(board, 1u << i, false, alone);
        for (int lamp : board.lamp_cells)
            if (alone.lamp_mask[size_t(lamp)]) return true;
    }
    return false;
}

bool tempts_below(const sim_board& board, std::array<int32_t, piece_kind_count> stock,
                  const fixed_element& decoy, int depth, int64_t& budget) {
    if (touches(board, decoy)) return true;
    if (depth == 0 || --budget < 0) return false;
    uint32_t all_on = (1u << board.laser_cells.size()) - 1;
    trace_result t;
    sim_trace(board, all_on, true, t);
    std::set<int> cells;
    for (const beam_entry& e : t.entries) cells.insert(e.cell);
    for (int cell : cells)
        for (int32_t k = kind_mirror; k < piece_kind_count; ++k) {
            if (stock[size_t(k)] == 0) continue;
            for (int o = 0; o < (k <= kind_double_prism ? 8 : 1); ++o) {
                sim_board b = board;
                b.kind[size_t(cell)] = int8_t(k);
                b.state[size_t(cell)] = int8_t(o);
                stock[size_t(k)] -= 1;
                bool yes = tempts_below(b, stock, decoy, depth - 1, budget);
                stock[size_t(k)] += 1;
                if (yes) return true;
                if (budget < 0) return false;
            }
        }
    return false;
}

}  // namespace

bool tempts(const sim_board& board, const std::array<int32_t, piece_kind_count>& stock,
            const fixed_element& decoy) {
    int pieces = 0;
    for (int32_t k = kind_mirror; k < piece_kind_count; ++k) pieces += stock[size_t(k)];
    int64_t budget = 20'000;
    return tempts_below(board, stock, decoy, std::min(2, pieces), budget);
}

board_facts facts_of(const level_source& level, bool needs_laser_off, int fewest) {
    board_facts f;
    fixed_level fl = split_level(level.grid);
    f.stock = fl.stock;
    const sim_board& b = fl.board;
    for (int cell = 0; cell < cell_count; ++cell) {
        int k = b.kind[size_t(cell)];
        if (k == kind_laser) {
            f.lasers += 1;
            f.lasers_by_colour[size_t(b.colour[size_t(cell)])] += 1;
            f.diagonal_lasers += b.state[size_t(cell)] % 2;
        }
        if (k == kind_lamp) {
            f.lamps += 1;
            f.lamps_by_colour[size_t(b.colour[size_t(cell)])] += 1;
        }
        f.bombs += k == kind_bomb;
        f.walls += k == kind_wall;
        f.translators += k == kind_translator;
    }
    sim_board solved = b;
    for (const fixed_level::piece& p : fl.solution) {
        solved.kind[size_t(p.cell)] = int8_t(p.kind);
        solved.state[size_t(p.cell)] = int8_t(p.orientation);
    }
    uint32_t all_on = (1u << solved.laser_cells.size()) - 1;
    trace_result t;
    sim_trace(solved, all_on, true, t);
    for (const beam_entry& e : t.entries) f.diagonal_beam = f.diagonal_beam || e.dir % 2 == 1;
    for (const beam_entry& e : t.piece_visits) f.diagonal_beam = f.diagonal_beam || e.dir % 2 == 1;
    // Beams of different lasers touch each other only by meeting head-on: if the lasers one at
    // a time light a longer path than all together, some beams stopped each other.
    int alone = 0;
    for (size_t i = 0; i < solved.laser_cells.size(); ++i) {
        trace_result one;
        sim_trace(solved, 1u << i, false, one);
        alone += one.lit_path;
    }
    f.head_on = alone != t.lit_path;
    f.laser_off = needs_laser_off || level.laser_off;
    f.bonus = level.bonus;
    f.fewest = fewest;
    return f;
}

std::vector<std::string> note_faults(const std::string& note, const board_facts& facts) {
    std::vector<std::string> faults;
    std::vector<std::string> words;
    std::string w;
    for (char c : note + " ") {
        unsigned char u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == '-')
            w += char(std::tolower(u));
        else if (!w.empty()) {
            words.push_back(w);
            w.clear();
        }
    }
    static const std::map<std::string, int> numbers = {
        {"one", 1},   {"two", 2},   {"three", 3}, {"four", 4}, {"five", 5},    {"six", 6},
        {"seven", 7}, {"eight", 8}, {"nine", 9},  {"ten", 10}, {"eleven", 11}, {"twelve", 12}};
    static const std::map<std::string, int> colours = {{"white", 0}, {"red", 1},    {"green", 2},
                                                       {"blue", 3},  {"yellow", 4}, {"sky-blue", 5},
                                                       {"violet", 6}};
    auto number_of = [&](const std::string& word) {
        if (numbers.count(word)) return numbers.at(word);
        if (!word.empty() && word.size() <= 2 &&
            word.find_first_not_of("0123456789") == std::string::npos)
            return std::stoi(word);
        return -1;
    };
    auto singular = [](std::string word) {
        if (word.size() > 1 && word.back() == 's') word.pop_back();
        return word;
    };
    int stock_total = 0, spheres = 0;
    for (int32_t k = kind_mirror; k < piece_kind_count; ++k) stock_total += facts.stock[size_t(k)];
    for (int32_t k = kind_white_sphere; k < piece_kind_count; ++k)
        spheres += facts.stock[size_t(k)];
    auto colour_on_board = [&](int c) {
        if (c < 4 &&
            (facts.lasers_by_colour[size_t(c)] || (c > 0 && facts.stock[size_t(sphere_kind(c))]) ||
             (c == 0 && facts.stock[size_t(kind_white_sphere)])))
            return true;
        if (facts.lamps_by_colour[size_t(c)]) return true;
        // The parts of a mixed lamp: yellow is red and green, sky-blue green and blue, violet red
        // and blue.
        static const int parts[7] = {
            0, 1 << 1, 1 << 2, 1 << 3, 1 << 1 | 1 << 2, 1 << 2 | 1 << 3, 1 << 1 | 1 << 3};
        for (int lamp = 4; lamp < 7; ++lamp)
            if (facts.lamps_by_colour[size_t(lamp)] && (parts[lamp] >> c & 1)) return true;
        return false;
    };
    const std::set<std::string> piece_nouns = {"mirror", "prism", "sphere", "piece"};
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        int n = number_of(word);
        if (n >= 0) {
            // A count: "<number> [colour|diagonal|double] <noun>".
            size_t j = i + 1;
            int colour = -1;
            bool diagonal = false, twin = false;
            for (; j < words.size(); ++j) {
                if (colours.count(words[j]))
                    colour = colours.at(words[j]);
                else if (words[j] == "diagonal")
                    diagonal = true;
                else if (words[j] == "double")
                    twin = true;
                else
                    break;
            }
            std::string noun = j < words.size() ? singular(words[j]) : "";
            int actual = -1;
            if (noun == "laser") {
                actual = 0;
                if (colour >= 0 && colour < 4)
                    actual = facts.lasers_by_colour[size_t(colour)];
                else
                    actual = diagonal ? facts.diagonal_lasers : facts.lasers;
            } else if (noun == "lamp") {
                actual = colour >= 0 ? facts.lamps_by_colour[size_t(colour)] : facts.lamps;
            } else if (noun == "mirror") {
                actual = facts.stock[twin ? 7 : 6];
            } else if (noun == "prism") {
                actual = facts.stock[twin ? 9 : 8];
            } else if (noun == "sphere") {
                actual =
                    colour >= 0 && colour < 4 ? facts.stock[size_t(sphere_kind(colour))] : spheres;
            } else if (noun == "piece") {
                actual = stock_total;
            } else if (noun == "bomb") {
                actual = facts.bombs;
            } else if (noun == "translator") {
                actual = facts.translators;
            }
            bool piece_count = piece_nouns.count(noun) > 0;
            // "one" mostly means "one of them" ("switch one laser off", "one lamp wants white"),
            // so it is taken as a count only where a count would give the bonus idea away.
            // In the bonus pack the stock is no secret, but how few pieces will do is the puzzle.
            bool names_few = i > 0 && (words[i - 1] == "only" || words[i - 1] == "use" ||
                                       words[i - 1] == "with");
            if (word == "one" && !(facts.bonus && (piece_count || names_few))) continue;
            if (facts.bonus && piece_count && n != actual)
                faults.push_back("the note gives away the cheap solution's piece count ('" + word +
                                 " " + words[j] + "')");
            else if (actual >= 0 && n != actual)
                faults.push_back("the note says '" + word + " " + words[j] + "', the board has " +
                                 std::to_string(actual));
            if (facts.bonus && names_few && (noun.empty() || piece_count) && n != stock_total)
                faults.push_back("the note gives away the cheap solution's piece count ('" +
                                 words[i - 1] + " " + word + "')");
            continue;
        }
        if (colours.count(word)) {
            int c = colours.at(word);
            std::string noun = i + 1 < words.size() ? singular(words[i + 1]) : "";
            bool there = colour_on_board(c);
            if (noun == "laser") there = c < 4 && facts.lasers_by_colour[size_t(c)] > 0;
            if (noun == "lamp") there = facts.lamps_by_colour[size_t(c)] > 0;
            if (noun == "sphere") there = c < 4 && facts.stock[size_t(sphere_kind(c))] > 0;
            if (!there)
                faults.push_back(
                    "the note names " + word +
                    (noun == "laser" || noun == "lamp" || noun == "sphere" ? " " + noun : "") +
                    ", the board has none");
            continue;
        }
        std::string s = singular(word);
        bool twin = i > 0 && words[i - 1] == "double";
        if ((word == "diagonal" || word == "diagonally") && !facts.diagonal_beam)
            faults.push_back("the note speaks of diagonal beams, the solution has none");
        if ((s == "translator" || s == "arrow") && facts.translators == 0)
            faults.push_back("the note names a translator, the board has none");
        if (s == "bomb" && facts.bombs == 0)
            faults.push_back("the note names a bomb, the board has none");
        if (s == "wall" && facts.walls == 0)
            faults.push_back("the note names walls, the board has none");
        if (s == "mirror" && twin && facts.stock[7] == 0)
            faults.push_back("the note names a double mirror, the stock has none");
        if (s == "prism" && twin && facts.stock[9] == 0)
            faults.push_back("the note names a double prism, the stock has none");
        if (s == "prism" && !twin && facts.stock[8] == 0)
            faults.push_back("the note names a prism, the stock has none");
        if ((s == "sphere") && spheres == 0)
            faults.push_back("the note names a sphere, the stock has none");
        if (word == "head-on" && !facts.head_on)
            faults.push_back("the note speaks of a head-on meeting, the solution has none");
        if (word == "off" && i > 0) {
            bool switching = false;
            for (size_t b = i >= 4 ? i - 4 : 0; b < i; ++b)
                switching = switching || words[b] == "switch" || words[b] == "switched" ||
                            words[b] == "turn";
            if (switching && !facts.laser_off && facts.bombs == 0)
                faults.push_back(
                    "the note speaks of switching a laser off, nothing here asks for it");
        }
    }
    std::sort(faults.begin(), faults.end());
    faults.erase(std::unique(faults.begin(), faults.end()), faults.end());
    return faults;
}

std::string recipe_of(const level_grid& grid) {
    static const char* const kind_names[piece_kind_count] = {"",
                                                             "",
                                                             "",
                                                             "",
                                                             "",
                                                             "",
                                                             "mirror",
                                                             "dmirror",
                                                             "prism",
                                                             "dprism",
                                                             "sphere-white",
                                                             "sphere-red",
                                                             "sphere-green",
                                                             "sphere-blue"};
    fixed_level f = split_level(grid);
    std::string recipe;
    for (int32_t k = kind_mirror; k < piece_kind_count; ++k)
        if (f.stock[size_t(k)])
            recipe += (recipe.empty() ? "" : ", ") + std::string(kind_names[k]) + " " +
                      std::to_string(f.stock[size_t(k)]);
    std::string lamps;
    for (int cell : f.board.lamp_cells) lamps += "WRGBYSV"[f.board.colour[size_t(cell)]];
    std::sort(lamps.begin(), lamps.end());
    return recipe + " / lamps " + lamps + " / lasers " + std::to_string(f.board.laser_cells.size());
}

}  // namespace levels

// Reading and writing level sources.
//
// Format, one item per line ('#' starts a comment line):
//   note <text>            the level's note, shown when it opens (32..122, at most 255 chars)
//   ideas <n>              distinct solution ideas allowed (default 1)
//   bonus                  a cheaper idea than the stored solution earns the bonus on purpose
//   laser-off              building it needs a laser switched off (the note must say so)
//   hardness easy|normal|hard, start <score>   written by the grader
//   decoy <column> <row> <reason>   a wall, laser, bomb or translator (columns 1 to 19, rows 1
//                          to 14) kept to tempt, though the solutions do not depend on it
//   legend                 then lines "<symbol> <piece> <words>" until "grid":
//       laser <dir> <white|red|green|blue>, translator <dir>,
//       mirror <dir>, dmirror <dir>, prism <dir>, dprism <dir>, sphere <colour>
//   grid                   then 14 rows of 19 symbols, then "end"
// Built-in symbols: '.' empty, '#' wall, '*' bomb, lamps W R G B Y S V (white, red, green,
// blue, yellow, sky-blue, violet).
#include "level_source.h"

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "board/piece_kinds.h"

namespace levels {

namespace {

const char* const dir_names[8] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
const char* const colour_names[4] = {"white", "red", "green", "blue"};
const std::string lamp_symbols = "WRGBYSV";

[[noreturn]] void fail(const std::string& path, int line, const std::string& what) {
    throw source_error(path + ":" + std::to_string(line) + ": " + what);
}

int parse_colour(const std::string& word) {
    for (int c = 0; c < 4; ++c)
        if (word == colour_names[c]) return c;
    return -1;
}

std::vector<std::string> words_of(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    std::string w;
    while (in >> w) words.push_back(w);
    return words;
}

std::string base_name(const std::string& path) {
    std::string name = path.substr(path.find_last_of('/') + 1);
    return name.substr(0, name.find('.'));
}

}  // namespace

int parse_direction(const std::string& word) {
    for (int d = 0; d < 8; ++d)
        if (word == dir_names[d]) return d;
    if (word.size() == 1 && word[0] >= '0' && word[0] <= '7') return word[0] - '0';
    return -1;
}

const char* direction_name(int dir) { return dir_names[((dir % 8) + 8) % 8]; }

level_source parse_level_source(const std::string& text, const std::string& path) {
    level_source level;
    level.path = path;
    level.name = base_name(path);
    std::map<char, int32_t> legend;  // symbol -> cell code
    std::map<char, int> legend_line;
    std::istringstream in(text);
    std::string line;
    int line_no = 0;
    enum { header, in_legend, in_grid, done } part = header;
    int grid_row = 0;
    bool have_note = false;
    std::set<std::string> seen_keys;
    std::vector<int> decoy_lines;
    while (std::getline(in, line)) {
        ++line_no;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (part != in_grid && (line.empty() || line[0] == '#')) continue;
        if (part == done) fail(path, line_no, "text after 'end'");
        if (part == in_grid) {
            if (line == "end") {
                if (grid_row != rows)
                    fail(path, line_no,
                         "the grid has " + std::to_string(grid_row) + " rows, a board has 14");
                part = done;
                continue;
            }
            if (grid_row >= rows) fail(path, line_no, "more than 14 grid rows (missing 'end'?)");
            if (int(line.size()) != columns)
                fail(path, line_no,
                     "a grid row has " + std::to_string(line.size()) + " symbols, a board has 19");
            for (int column = 0; column < columns; ++column) {
                char s = line[column];
                int32_t code;
                size_t lamp = lamp_symbols.find(s);
                if (s == '.')
                    code = 0;
                else if (s == '#')
                    code = 400;
                else if (s == '*')
                    code = 300;
                else if (lamp != std::string::npos)
                    code = 200 + int32_t(lamp);
                else if (legend.count(s))
                    code = legend[s];
                else
                    fail(path, line_no,
                         std::string("unknown symbol '") + s + "' in column " +
                             std::to_string(column + 1));
                level.grid.code[cell_index(column, grid_row)] = code;
            }
            level.grid_lines.push_back(line);
            ++grid_row;
            continue;
        }
        std::vector<std::string> w = words_of(line);
        if (w.empty()) continue;
        if (part == in_legend && w[0] != "grid") {
            level.legend_lines.push_back(line);
            if (w[0].size() != 1)
                fail(path, line_no, "a legend symbol is one character: '" + w[0] + "'");
            char s = w[0][0];
            if (s == '.' || s == '#' || s == '*' || lamp_symbols.find(s) != std::string::npos)
                fail(path, line_no, std::string("'") + s + "' is a built-in symbol");
            if (legend.count(s))
                fail(path, line_no,
                     std::string("symbol '") + s + "' already defined on line " +
                         std::to_string(legend_line[s]));
            if (w.size() < 2) fail(path, line_no, "a legend line needs a piece");
            const std::string& piece = w[1];
            auto need = [&](size_t n) {
                if (w.size() != n)
                    fail(path, line_no,
                         "'" + piece + "' takes " + std::to_string(n - 2) + " word(s)");
            };
            auto dir_at = [&](size_t i) {
                int d = parse_direction(w[i]);
                if (d < 0) fail(path, line_no, "unknown direction '" + w[i] + "'");
                return d;
            };
            auto colour_at = [&](size_t i) {
                int c = parse_colour(w[i]);
                if (c < 0) fail(path, line_no, "unknown colour '" + w[i] + "'");
                return c;
            };
            int32_t code;
            if (piece == "laser") {
                need(4);
                code = 100 + dir_at(2) * 10 + colour_at(3);
            } else if (piece == "translator") {
                need(3);
                code = 500 + dir_at(2) * 10;
            } else if (piece == "mirror") {
                need(3);
                code = 600 + dir_at(2) * 10;
            }
            // A double mirror acts alike at f and f + 4, a prism at f and f + 4 too (turning
            // offers 0 to 3): store the orientation the game's turning reaches.
            else if (piece == "dmirror") {
                need(3);
                code = 700 + dir_at(2) % 4 * 10;
            } else if (piece == "prism") {
                need(3);
                code = 800 + dir_at(2) % 4 * 10;
            } else if (piece == "dprism") {
                need(3);
                code = 900 + dir_at(2) * 10;
            } else if (piece == "sphere") {
                need(3);
                code = sphere_kind(colour_at(2)) * 100;
            } else
                fail(path, line_no, "unknown piece '" + piece + "'");
            legend[s] = code;
            legend_line[s] = line_no;
            continue;
        }
        const std::string& key = w[0];
        if (key == "grid") {
            if (part != in_legend && part != header) fail(path, line_no, "misplaced 'grid'");
            part = in_grid;
            continue;
        }
        if (key == "legend") {
            part = in_legend;
            continue;
        }
        if (key == "decoy") {
            auto number = [&](size_t i, int top) {
                if (i >= w.size() || w[i].find_first_not_of("0123456789") != std::string::npos ||
                    w[i].size() > 2)
                    return 0;
                int n = std::stoi(w[i]);
                return n <= top ? n : 0;
            };
            int column = number(1, columns), row = number(2, rows);
            if (column == 0 || row == 0)
                fail(path, line_no, "'decoy' takes a column (1 to 19) and a row (1 to 14)");
            if (w.size() < 4) fail(path, line_no, "a decoy needs its reason");
            std::istringstream rest(line);
            std::string skipped, reason;
            rest >> skipped >> skipped >> skipped >> std::ws;
            std::getline(rest, reason);
            level.decoys.push_back({cell_index(column - 1, row - 1), reason});
            decoy_lines.push_back(line_no);
            continue;
        }
        if (seen_keys.count(key)) fail(path, line_no, "'" + key + "' given twice");
        seen_keys.insert(key);
        if (key == "note") {
            level.note = line.size() > 5 ? line.substr(5) : "";
            have_note = true;
            for (unsigned char c : level.note)
                if (c < 32 || c > 122)
                    fail(path, line_no,
                         std::string("the note holds a character the font lacks: '") + char(c) +
                             "'");
            if (level.note.size() > 255)
                fail(path, line_no,
                     "the note has " + std::to_string(level.note.size()) +
                         " characters, at most 255 fit its length byte");
        } else if (key == "ideas") {
            if (w.size() != 2 || (w[1] != "1" && w[1] != "2"))
                fail(path, line_no, "'ideas' takes 1 or 2");
            level.ideas = w[1][0] - '0';
        } else if (key == "bonus") {
            level.bonus = true;
        } else if (key == "laser-off") {
            level.laser_off = true;
        } else if (key == "hardness") {
            static const char* const names[3] = {"easy", "normal", "hard"};
            for (int h = 0; h < 3; ++h)
                if (w.size() == 2 && w[1] == names[h]) level.hardness = h;
            if (level.hardness < 0) fail(path, line_no, "'hardness' takes easy, normal or hard");
        } else if (key == "start") {
            if (w.size() != 2 || w[1].find_first_not_of("0123456789") != std::string::npos ||
                w[1].size() > 6)
                fail(path, line_no, "'start' takes a score");
            level.start_score = std::stoi(w[1]);
        } else {
            fail(path, line_no, "unknown line '" + key + "'");
        }
    }
    if (part == in_grid) fail(path, line_no, "the grid has no 'end'");
    if (part != done) fail(path, line_no, "no grid");
    if (!have_note) fail(path, 1, "no note: every level opens with one");
    if (level.note.empty()) fail(path, 1, "the note is empty");
    int lasers = 0, lamps = 0, stock = 0, double_prisms = 0;
    for (int32_t code : level.grid.code) {
        int k = code / 100;
        lasers += k == kind_laser;
        lamps += k == kind_lamp;
        stock += k >= kind_mirror;
        double_prisms += k == kind_double_prism;
    }
    if (lasers == 0) fail(path, line_no, "no laser");
    if (lasers > 20) fail(path, line_no, "more than 20 lasers");
    if (lasers + double_prisms > 20)
        fail(path, line_no, "lasers plus double prisms exceed the 20 beams of a trace");
    if (lamps == 0) fail(path, line_no, "no lamp");
    for (size_t i = 0; i < level.decoys.size(); ++i) {
        int k = level.grid.code[size_t(level.decoys[i].cell)] / 100;
        if (k != kind_laser && k != kind_bomb && k != kind_wall && k != kind_translator)
            fail(path, decoy_lines[i],
                 "a decoy names a wall, laser, bomb or translator, and that cell holds none");
        for (size_t j = 0; j < i; ++j)
            if (level.decoys[j].cell == level.decoys[i].cell)
                fail(path, decoy_lines[i], "the same decoy is declared twice");
    }
    if (stock == 0) fail(path, line_no, "no movable piece: the stock would be empty");
    return level;
}

level_source read_level_source(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw source_error(path + ":0: cannot open");
    std::stringstream text;
    text << in.rdbuf();
    return parse_level_source(text.str(), path);
}

std::string format_level_source(const level_source& level) {
    static const char* const hardness_names[3] = {"easy", "normal", "hard"};
    const std::string laser_pool = "ADEFHIJKLMNOPQTUXZ";
    const std::string movable_pool = "123456789abcdefghijklmnopqrstuvwxyz";
    const std::string translator_pool = "<>^v!%&+";
    std::map<int32_t, char> symbol;
    size_t next_laser = 0, next_movable = 0, next_translator = 0;
    std::ostringstream out;
    out << "note " << level.note << "\n";
    if (level.ideas != 1) out << "ideas " << level.ideas << "\n";
    if (level.bonus) out << "bonus\n";
    if (level.laser_off) out << "laser-off\n";
    if (level.hardness >= 0) out << "hardness " << hardness_names[level.hardness] << "\n";
    if (level.start_score >= 0) out << "start " << level.start_score << "\n";
    for (const decoy_declaration& d : level.decoys)
        out << "decoy " << cell_column(d.cell) + 1 << ' ' << cell_row(d.cell) + 1 << ' ' << d.reason
            << "\n";
    std::ostringstream legend;
    std::string grid;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            int32_t code = level.grid.code[cell_index(column, row)];
            int k = code / 100, o = (code / 10) % 10, c = code % 10;
            char s = '.';
            if (k == kind_empty)
                s = '.';
            else if (k == kind_lamp)
                s = "WRGBYSV"[c];
            else if (k == kind_bomb)
                s = '*';
            else if (k == kind_wall)
                s = '#';
            else if (symbol.count(code))
                s = symbol[code];
            else {
                if (k == kind_laser)
                    s = laser_pool[next_laser++ % laser_pool.size()];
                else if (k == kind_translator)
                    s = translator_pool[next_translator++ % translator_pool.size()];
                else
                    s = movable_pool[next_movable++ % movable_pool.size()];
                symbol[code] = s;
                legend << s << ' ';
                if (k == kind_laser)
                    legend << "laser " << direction_name(o) << ' ' << colour_names[c];
                else if (k == kind_translator)
                    legend << "translator " << direction_name(o);
                else if (k == kind_mirror)
                    legend << "mirror " << direction_name(o);
                else if (k == kind_double_mirror)
                    legend << "dmirror " << direction_name(o);
                else if (k == kind_prism)
                    legend << "prism " << direction_name(o);
                else if (k == kind_double_prism)
                    legend << "dprism " << direction_name(o);
                else
                    legend << "sphere " << colour_names[sphere_colour_of(k)];
                legend << "\n";
            }
            grid += s;
        }
        grid += "\n";
    }
    out << "legend\n" << legend.str() << "grid\n" << grid << "end\n";
    return out.str();
}

std::vector<std::string> read_level_list(const std::string& list_path, int expected_count) {
    std::ifstream in(list_path);
    if (!in) throw source_error(list_path + ":0: cannot open the level list");
    std::string folder = list_path.substr(0, list_path.find_last_of('/') + 1);
    std::vector<std::string> files;
    std::set<std::string> seen;
    std::string line;
    int line_no = 0;
    while (std::getline(in, line)) {
        ++line_no;
        std::vector<std::string> w = words_of(line);
        if (w.empty() || w[0][0] == '#') continue;
        if (w.size() != 1) fail(list_path, line_no, "one file name per line");
        if (seen.count(w[0])) fail(list_path, line_no, "'" + w[0] + "' listed twice");
        seen.insert(w[0]);
        std::ifstream probe(folder + w[0]);
        if (!probe) fail(list_path, line_no, "no such level source '" + w[0] + "'");
        files.push_back(folder + w[0]);
    }
    if (int(files.size()) != expected_count)
        fail(list_path, line_no,
             "the list names " + std::to_string(files.size()) + " levels, the game has " +
                 std::to_string(expected_count));
    return files;
}

}  // namespace levels

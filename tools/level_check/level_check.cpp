// level_check: runs the game's own beam trace on a level file and prints what it did, or
// checks every level of a folder against its stored solution.
//
//   level_check trace FILE [--with-solution] [--turn C,R,O] [--off I]...
//   level_check verify DIR
//   level_check encode FILE
//   level_check decode CODE OUT
//
// trace prints one line of JSON with sorted keys; it exits 2 for a refused level or an option
// that names no such piece or laser. verify prints one line per level and exits 1 if any fails.
// encode prints the level's code, the one line a player shares; decode writes the level file
// that a code holds (CODE "-" reads the code from the standard input, line breaks and all) and
// exits 2 with the reason for a code it refuses.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "app/game_state.h"
#include "board/beam_rules.h"
#include "board/beam_trace.h"
#include "board/board_state.h"
#include "board/piece_kinds.h"
#include "platform/platform.h"
#include "play/level_code.h"
#include "play/level_file.h"
#include "play/level_format.h"

namespace {

const char* usage =
    "usage: level_check trace FILE [--with-solution] [--turn C,R,O] [--off I]...\n"
    "       level_check verify DIR\n"
    "       level_check encode FILE\n"
    "       level_check decode CODE|- OUT\n";

struct refusal {
    std::string message;
};

level_data read_level(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw refusal{path + ": cannot be read"};
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    level_data level;
    std::string why;
    if (!parse_level(bytes, level, &why)) throw refusal{path + ": " + why};
    return level;
}

// The level on a board as a fresh program has it, as load_level leaves it.
void set_up_board(const level_data& level) {
    reset_all_state();
    place_level(level);
}

// Every piece of the stored solution on its cell, as the player would place and turn it.
void place_solution() {
    for (auto& column : board) {
        for (point& cell : column) {
            if (!is_movable(cell.solution_kind)) continue;
            cell.kind = cell.solution_kind;
            if (is_turnable(cell.kind)) {
                cell.state = cell.solution_orientation;
            } else {
                cell.state = 0;
                cell.colour = 0;
            }
        }
    }
}

int32_t parse_int(const std::string& text) {
    size_t used = 0;
    const long value = std::stol(text, &used);
    if (used != text.size()) throw std::invalid_argument(text);
    return static_cast<int32_t>(value);
}

std::string beams_json() {
    std::ostringstream out;
    out << '[';
    for (int32_t i = 0; i < beam_count; ++i) {
        const laser& b = beams[static_cast<size_t>(i)];
        out << (i ? "," : "") << '[' << b.x << ',' << b.y << ',' << b.colour << ',' << b.dir << ','
            << b.entry_dir << ',' << b.active << ',' << b.solid << ']';
    }
    out << ']';
    return out.str();
}

std::string cells_json(bool lamps) {
    std::ostringstream out;
    out << '[';
    bool first = true;
    for (int32_t c = 0; c < board_columns; ++c) {
        for (int32_t r = 0; r < board_rows; ++r) {
            const point& p = board[c][r];
            const bool wanted = lamps ? p.kind == kind_lamp : is_sphere(p.kind);
            if (!wanted) continue;
            out << (first ? "" : ",") << '[' << c << ',' << r << ',' << p.state;
            if (lamps) out << ',' << (lamp_is_lit(p.colour, p.state) ? 1 : 0);
            out << ']';
            first = false;
        }
    }
    out << ']';
    return out.str();
}

int run_trace(const std::vector<std::string>& args) {
    if (args.empty()) throw refusal{"trace needs a level file"};
    bool with_solution = false;
    struct turn_t {
        int32_t c, r, o;
    };
    std::vector<turn_t> turns;
    std::vector<int32_t> offs;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        try {
            if (a == "--with-solution") {
                with_solution = true;
            } else if (a == "--turn" && i + 1 < args.size()) {
                std::smatch m;
                static const std::regex form(R"((-?\d+),(-?\d+),(-?\d+))");
                if (!std::regex_match(args[i + 1], m, form)) throw refusal{"--turn wants C,R,O"};
                turns.push_back({parse_int(m[1]), parse_int(m[2]), parse_int(m[3])});
                ++i;
            } else if (a == "--off" && i + 1 < args.size()) {
                offs.push_back(parse_int(args[++i]));
            } else {
                throw refusal{"unknown option " + a};
            }
        } catch (const std::logic_error&) {
            throw refusal{"bad number after " + a};
        }
    }

    set_up_board(read_level(args[0]));
    if (with_solution) place_solution();
    for (const turn_t& t : turns) {
        const bool on_board = t.c >= 0 && t.c < board_columns && t.r >= 0 && t.r < board_rows;
        const std::string cell = std::to_string(t.c) + "," + std::to_string(t.r);
        if (!on_board || !is_turnable(board[t.c][t.r].kind))
            throw refusal{"--turn: no piece to turn on cell " + cell};
        if (t.o < 0 || t.o > 7)
            throw refusal{"--turn: orientation " + std::to_string(t.o) + " is not 0 to 7"};
        board[t.c][t.r].state = 9;
        turning = 1;
        turn_x = t.c;
        turn_y = t.r;
        turn_orientation = t.o;
    }
    for (int32_t i : offs) {
        if (i < 0 || i >= laser_source_count) throw refusal{"--off: no laser " + std::to_string(i)};
        laser_sources[static_cast<size_t>(i)].active = 0;
    }

    const int32_t steps = trace_beams_silent();
    std::ostringstream out;
    out << "{\"beam_count\":" << beam_count << ",\"beams\":" << beams_json() << ",\"explosion\":";
    if (explosion_x != 0 || explosion_y != 0)
        out << '[' << (explosion_x - 52) / 35 << ',' << (explosion_y - 92) / 35 << ']';
    else
        out << "null";
    out << ",\"lamps\":" << cells_json(true) << ",\"spheres\":" << cells_json(false)
        << ",\"steps\":" << steps << "}\n";
    std::fputs(out.str().c_str(), stdout);
    return 0;
}

// A level passes when its stored solution lights every lamp without setting off a bomb, and
// the bare board does not already light them all.
std::string verify_level(const std::string& path) {
    level_data level;
    try {
        level = read_level(path);
    } catch (const refusal& r) {
        return "refused: " + r.message;
    }
    set_up_board(level);
    place_solution();
    const board_verdict solved = judge_board();
    if (solved.exploded) return "the stored solution sets off a bomb";
    if (!solved.all_lamps_lit)
        return "the stored solution lights " + std::to_string(solved.lit) + " of " +
               std::to_string(solved.lamps) + " lamps";
    set_up_board(level);
    if (judge_board().all_lamps_lit) return "every lamp is lit without any piece placed";
    return "";
}

int run_verify(const std::vector<std::string>& args) {
    if (args.size() != 1) throw refusal{"verify needs one folder"};
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<fs::path> files;
    static const std::regex level_name(R"(level\.\d{3})");
    for (const fs::directory_entry& e : fs::directory_iterator(args[0], error)) {
        if (e.is_regular_file() && std::regex_match(e.path().filename().string(), level_name))
            files.push_back(e.path());
    }
    if (error) throw refusal{args[0] + ": " + error.message()};
    if (files.empty()) throw refusal{args[0] + ": no level files"};
    std::sort(files.begin(), files.end());
    int32_t failed = 0;
    for (const fs::path& file : files) {
        const std::string fault = verify_level(file.string());
        const std::string verdict = fault.empty() ? "ok" : "FAIL: " + fault;
        std::printf("%s %s\n", file.filename().c_str(), verdict.c_str());
        if (!fault.empty()) ++failed;
    }
    std::printf("%zu levels, %d failed\n", files.size(), failed);
    return failed ? 1 : 0;
}

int run_encode(const std::vector<std::string>& args) {
    if (args.size() != 1) throw refusal{"encode needs one level file"};
    std::printf("%s\n", encode_level_code(read_level(args[0])).c_str());
    return 0;
}

int run_decode(const std::vector<std::string>& args) {
    if (args.size() != 2) throw refusal{"decode needs a code and the file to write"};
    std::string code = args[0];
    if (code == "-")
        code.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    level_data level;
    std::string why;
    if (!decode_level_code(code, level, &why)) throw refusal{why};
    const std::vector<uint8_t> bytes = encode_level(level);
    std::ofstream out(args[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw refusal{args[1] + ": cannot be written"};
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(usage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    // The drawing trace draws into the headless backend's memory surface; no picture is
    // loaded, so only lines and pixels land there.
    platform::init_headless(".");
    try {
        if (command == "trace") return run_trace(args);
        if (command == "verify") return run_verify(args);
        if (command == "encode") return run_encode(args);
        if (command == "decode") return run_decode(args);
        std::fputs(usage, stderr);
        return 2;
    } catch (const refusal& r) {
        std::fprintf(stderr, "level_check: %s\n", r.message.c_str());
        return 2;
    }
}

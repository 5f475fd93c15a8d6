// The level critic: one custom level through the verifier of the shipped levels, its verdict in
// words.
#include "app/critic_main.h"

#include <cstdio>
#include <sstream>
#include <vector>

#include "board/piece_kinds.h"
#include "level_rules.h"
#include "platform/platform.h"
#include "play/level_code.h"
#include "play/level_format.h"

namespace {

// A level of the first pack: judged by the common rules, neither a bonus level nor a combo.
constexpr int critic_level_index = 0;
constexpr size_t critic_failures_shown = 4;

bool read_level(const std::string& level_or_code, level_data& level, std::string& why) {
    if (level_or_code.starts_with(level_code_prefix) || level_or_code.starts_with("bw1-"))
        return decode_level_code(level_or_code, level, &why);
    std::vector<uint8_t> bytes;
    if (!platform::read_file(level_or_code, bytes, size_t{1} << 20)) {
        why = "cannot read " + level_or_code;
        return false;
    }
    return parse_level(bytes, level, &why);
}

// The verifier names a piece by its kind's number ("a piece of kind 7"); the player reads
// its name ("a double mirror").
std::string in_piece_names(std::string text) {
    const std::string mark = "a piece of kind ";
    const size_t at = text.find(mark);
    if (at == std::string::npos) return text;
    size_t end = at + mark.size();
    int32_t kind = 0;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9' && kind < 100)
        kind = kind * 10 + (text[end++] - '0');
    if (!is_movable(kind)) return text;
    std::string name = kind_rules(kind).legend_word;
    for (char& c : name)
        if (c == '_') c = ' ';
    return text.replace(at, end - at, "a " + name);
}

std::string join(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
}

}  // namespace

int run_critic(const std::string& level_or_code, const std::string& font16_path) {
    level_data level;
    std::string why;
    if (!read_level(level_or_code, level, why)) {
        std::printf("No verdict: the level cannot be read (%s)\n", why.c_str());
        return 2;
    }
    // Without a laser or a lamp there is nothing to judge yet: say what is missing rather than
    // run the verifier's rules against an empty puzzle.
    int32_t lasers = 0, lamps = 0;
    for (const auto& column : level.cells) {
        for (const int32_t code : column) {
            if (level_cell_kind(code) == kind_laser) ++lasers;
            if (level_cell_kind(code) == kind_lamp) ++lamps;
        }
    }
    if (lasers == 0 || lamps == 0) {
        std::printf("Nothing to judge yet: a level needs %s\n", lasers == 0 && lamps == 0
                                                                    ? "a laser and a lamp"
                                                                : lasers == 0 ? "a laser"
                                                                              : "a lamp");
        return 0;
    }
    levels::level_source source;
    source.name = "custom";
    source.note = level.text;
    for (int cell = 0; cell < levels::cell_count; ++cell) {
        source.grid.code[size_t(cell)] =
            level.cells[size_t(levels::cell_column(cell))][size_t(levels::cell_row(cell))];
    }
    const levels::note_metrics font = levels::load_note_metrics(font16_path);
    const levels::level_figures f = levels::verify_level(source, critic_level_index, font);

    bool stored_wins = true;
    for (const std::string& failure : f.failures)
        if (failure.starts_with("the stored solution")) stored_wins = false;

    std::ostringstream out;
    if (f.fewest > 0) {
        out << "Solvable with " << f.fewest << (f.fewest == 1 ? " piece" : " pieces") << " of "
            << f.pieces << " in stock";
        out << (stored_wins ? "; the stored solution wins" : "; the stored solution does not win")
            << '\n';
    } else if (f.fewest == 0) {
        out << "Won before a piece is placed\n";
    } else if (!f.exhausted) {
        out << "Too large to judge: the search ran out of its budget\n";
    } else {
        out << "Not solvable with this stock\n";
    }
    if (f.fewest > 0) {
        out << "Fewest pieces: " << f.fewest << '\n';
        if (f.solutions == 1) {
            out << "Unique: yes, one solution\n";
        } else if (f.ideas <= 1) {
            out << "Unique: one idea, placed " << f.solutions << " ways\n";
        } else {
            out << "Unique: no, " << f.ideas << " different ideas\n";
        }
    }
    out << "Inert fixed pieces: " << (f.inert.empty() ? std::string("none") : join(f.inert))
        << '\n';
    if (f.fewest > 0) {
        out << "Grade " << static_cast<int>(f.grade * 10 + 0.5) / 10.0 << ", start score "
            << levels::start_score_for(f.grade) << '\n';
    }
    // The rules of the shipped levels it does not keep yet, the first few.
    size_t shown = 0;
    for (const std::string& failure : f.failures) {
        if (shown == critic_failures_shown) break;
        // An unsolvable level's piece count is already the verdict's first line.
        if (f.fewest < 0 && failure.starts_with("fewest pieces")) continue;
        out << "Not yet: " << in_piece_names(failure) << '\n';
        ++shown;
    }
    const std::string text = out.str();
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

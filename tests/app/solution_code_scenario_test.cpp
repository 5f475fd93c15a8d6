// A solution shared as a code, run by the replay tool's script runner: Ann wins level 1-1 with
// the mouse, copies her pieces with C in the level-complete window, goes on to 1-2 and pastes
// codes there with Ctrl+V: her code from 1-1 is refused, a code for 1-2 becomes its solution.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "board/board_state.h"
#include "board/piece_kinds.h"
#include "platform/platform.h"
#include "play/level_code.h"
#include "play/solution_codes.h"
#include "profiles/pack_rules.h"
#include "replay_scenario.h"
#include "replay_script.h"
#include "support/headless_game.h"

namespace {

class solution_code_scenario_test : public replay_scenario {
protected:
    std::string read_text(const std::string& relative) const {
        std::ifstream in(path_in_game(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    bool read_level(int32_t index, level_data& level) const {
        const std::string text = read_text("Levels/level.00" + std::to_string(index + 1));
        return !text.empty() && parse_level(std::vector<uint8_t>(text.begin(), text.end()), level);
    }
    // The solution pieces of a dumped board, in cell order.
    std::vector<placed_piece> dumped_solution(const std::string& relative) const {
        std::vector<std::vector<placed_piece>> by_row(board_rows);
        std::istringstream in(read_text(relative));
        std::string line;
        while (std::getline(in, line)) {
            std::istringstream words(line);
            std::string name;
            int32_t row = 0;
            if (!(words >> name >> row) || name != "board_row") continue;
            for (int32_t column = 0; column < board_columns; ++column) {
                int32_t kind, state, colour, solution_kind, solution_orientation;
                char colon;
                words >> kind >> colon >> state >> colon >> colour >> colon >> solution_kind >>
                    colon >> solution_orientation;
                // A sphere's cell keeps whatever orientation digit was there before: it does not
                // turn, so it has none.
                if (solution_kind != 0)
                    by_row[static_cast<size_t>(row)].push_back(
                        {column, row, solution_kind,
                         is_turnable(solution_kind) ? solution_orientation : 0});
            }
        }
        std::vector<placed_piece> pieces;
        for (int32_t column = 0; column < board_columns; ++column)
            for (const auto& row : by_row)
                for (const placed_piece& p : row)
                    if (p.column == column) pieces.push_back(p);
        return pieces;
    }
};

// The script's lines that put a level's stored solution on the board by the mouse: choose the
// slot (the sphere colour by the right arrow), click a sphere in, drag a mirror or prism
// towards its orientation. `sphere_colour` is the colour the panel shows when this starts.
std::string place_solution_lines(const level_data& level, int32_t sphere_colour) {
    std::ostringstream s;
    for (const placed_piece& p : level_solution_pieces(level)) {
        const int32_t x = 35 * p.column + 52;
        const int32_t y = 35 * p.row + 92;
        if (is_sphere(p.kind)) {
            for (; sphere_colour != sphere_colour_of(p.kind);
                 sphere_colour = (sphere_colour + 1) % 4)
                s << "click 790 515\nwait 1\n";
            s << "click 750 477\nwait 1\nclick " << x << ' ' << y << "\nwait 1\n";
            continue;
        }
        s << "click 750 " << 75 + 98 * kind_rules(p.kind).panel_slot + 40 << "\nwait 1\n";
        s << "move " << x << ' ' << y << "\npress left\nwait 1\nmove "
          << x + 30 * dir_column_step[static_cast<size_t>(p.orientation)] << ' '
          << y + 30 * dir_row_step[static_cast<size_t>(p.orientation)]
          << "\nwait 1\nrelease left\nwait 1\n";
    }
    return s.str();
}

}  // namespace

TEST(replay_script, the_clipboard_commands_take_text_and_a_file) {
    const replay::parsed_script parsed =
        replay::parse_script("clipboard BWS1-AB CD \nsave_clipboard out/clip.txt\n");
    ASSERT_EQ(parsed.error, "");
    ASSERT_EQ(parsed.commands.size(), 2u);
    EXPECT_EQ(parsed.commands[0].what, replay::op::clipboard);
    EXPECT_EQ(parsed.commands[0].text, "BWS1-AB CD");
    EXPECT_EQ(parsed.commands[1].what, replay::op::save_clipboard);
    EXPECT_EQ(parsed.commands[1].text, "out/clip.txt");
    EXPECT_EQ(replay::parse_script("wait 1\nclipboard\n").error,
              "line 2: 'clipboard' needs the text to put there");
    EXPECT_EQ(replay::parse_script("save_clipboard \n").error,
              "line 1: 'save_clipboard' needs a file name");
}

TEST_F(solution_code_scenario_test, a_won_level_is_copied_and_codes_are_pasted_on_the_next) {
    level_data first, second;
    if (!read_level(0, first) || !read_level(1, second)) GTEST_SKIP() << "no levels built";
    const auto first_pieces = level_solution_pieces(first);
    for (const placed_piece& p : first_pieces)
        if (is_sphere(p.kind)) GTEST_SKIP() << "level 1-1 needs spheres: the script assumes none";

    // Pack 1's marker, then level 1-1's label on the panel that opens beside it.
    const int32_t marker_x = 109, marker_y = 493;
    const int32_t label_x = shifted_panel_x(marker_x) + 25;
    const int32_t label_y = shifted_panel_y(marker_y) + 50;
    // A code for 1-2: its stored pieces with the first moved to a free corner.
    std::vector<placed_piece> shared = level_solution_pieces(second);
    ASSERT_FALSE(shared.empty());
    ASSERT_EQ(second.cells[0][0], 0);
    shared.front().column = 0;
    shared.front().row = 0;
    const std::string shared_code = encode_solution_code(second, shared);

    std::ostringstream script;
    script << "wait 1\nclick 400 175\ntype Ann\nwait 3\nclick 400 175\nclick 400 210\n"
              "click 340 475\nwait 64\n"
              "# Play, then pack 1 and level 1-1\n"
              "click 60 140\nwait 70\nclick "
           << marker_x << ' ' << marker_y << "\nwait 2\nclick " << label_x << ' ' << label_y
           << "\nwait 70\n";
    if (!first.text.empty()) script << "# the note\nclick 400 370\nwait 1\n";
    script << "# C before the win: not yet\nkey 99\nwait 1\ndump " << path_in_game("early.txt")
           << "\n";
    script << place_solution_lines(first, 0);
    script << "# the celebration, then the level-complete window; C copies\nwait 400\nkey 99\n"
              "wait 1\nsave_clipboard "
           << path_in_game("copied.txt") << "\ndump " << path_in_game("won.txt") << "\n";
    script << "# next level; the note\nclick 495 370\nwait 70\n";
    if (!second.text.empty()) script << "click 400 370\nwait 1\n";
    script << "# her code from 1-1 on 1-2\nhold 302\nkey 118\nwait 1\nfree 302\ndump "
           << path_in_game("refused.txt") << "\n";
    script << "clipboard " << shared_code.substr(0, 10) << "  " << shared_code.substr(10)
           << "\nhold 302\nkey 118\nwait 1\nfree 302\ndump " << path_in_game("pasted.txt")
           << "\nshot " << path_in_game("pasted.png") << "\n";
    ASSERT_EQ(replay(script.str()), 0);

    auto early = read_dump("early.txt");
    EXPECT_EQ(early["screen_state"], "3");
    EXPECT_EQ(early["code_note"], text_solution_not_won);

    auto won = read_dump("won.txt");
    EXPECT_EQ(won["message_kind"], "1");
    EXPECT_EQ(won["code_note"], text_solution_copied);
    const std::string copied = read_text("copied.txt");
    std::vector<placed_piece> pieces;
    ASSERT_TRUE(decode_solution_code(copied, first, pieces)) << copied;
    ASSERT_EQ(pieces.size(), first_pieces.size());
    for (size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_EQ(pieces[i].column, first_pieces[i].column);
        EXPECT_EQ(pieces[i].row, first_pieces[i].row);
        EXPECT_EQ(pieces[i].kind, first_pieces[i].kind);
        // A dragged prism shows one of its four orientations.
        const int32_t turns = pieces[i].kind == kind_prism ? 4 : 8;
        EXPECT_EQ(pieces[i].orientation % turns, first_pieces[i].orientation % turns);
    }

    auto refused = read_dump("refused.txt");
    EXPECT_EQ(refused["current_level"], "1");
    EXPECT_EQ(refused["code_note"], "This solution is for another level");
    EXPECT_EQ(dumped_solution("refused.txt"), level_solution_pieces(second));

    auto pasted = read_dump("pasted.txt");
    EXPECT_EQ(pasted["code_note"], text_solution_pasted);
    EXPECT_EQ(pasted["solution_cost"], "0");
    std::vector<placed_piece> expected = shared;
    std::sort(expected.begin(), expected.end(), [](const placed_piece& a, const placed_piece& b) {
        return a.column * 14 + a.row < b.column * 14 + b.row;
    });
    EXPECT_EQ(dumped_solution("pasted.txt"), expected);
}

// Solution codes on the play screen: C copies the player's pieces once the level is won,
// Ctrl+V makes a code for this level the solution Space shows, and anything else is refused
// with words on the hint line.
#include "play/solution_codes.h"

#include "app/help_overlay.h"
#include "play/play_screen.h"
#include "play/play_test_support.h"
#include "profiles/message_window.h"

namespace {

// A white laser up column 1, a white lamp at (5, 2): a mirror at (1, 2) turned to send the beam
// right solves it. A prism and a blue sphere are in the stock too.
level_data code_level() {
    level_data level;
    level.text = "Codes.";
    level.cells[1][10] = level_cell_code(kind_laser, dir_up, beam_white);
    level.cells[5][2] = level_cell_code(kind_lamp, 0, lamp_white);
    level.cells[1][2] = level_cell_code(kind_mirror, 3, 0);
    level.cells[8][8] = level_cell_code(kind_prism, 2, 0);
    level.cells[9][9] = level_cell_code(kind_blue_sphere, 0, 0);
    return level;
}

class solution_codes_test : public play_test {
protected:
    void SetUp() override {
        play_test::SetUp();
        load_content();
        fresh_progress();
        current_level = 0;
        show_board(code_level());
        run_passes(1);
    }
    static void press(int32_t key, bool ctrl = false) {
        if (ctrl) platform::headless::press_key(platform::key_ctrl);
        platform::headless::press_key(key);
        platform::headless::release_key(key);
    }
    void press_and_pass(int32_t key, bool ctrl = false) {
        press(key, ctrl);
        run_passes(1);
        if (ctrl) platform::headless::release_key(platform::key_ctrl);
    }
    static std::vector<placed_piece> overlay() {
        std::vector<placed_piece> pieces;
        for (int32_t column = 0; column < board_columns; ++column)
            for (int32_t row = 0; row < board_rows; ++row)
                if (board[column][row].solution_kind != 0)
                    pieces.push_back({column, row, board[column][row].solution_kind,
                                      board[column][row].solution_orientation});
        return pieces;
    }
    // The pieces of the board as the player left them: a turned mirror and a sphere.
    static void place_pieces() {
        ASSERT_TRUE(place_piece_at(1, 2, kind_mirror));
        turn_orientation = 1;
        release_turning_piece();
        ASSERT_TRUE(place_piece_at(3, 3, kind_blue_sphere));
        board[3][3].state = 2;  // glowing: not an orientation
    }
};

}  // namespace

TEST_F(solution_codes_test, c_copies_only_once_the_level_is_won) {
    place_pieces();
    platform::headless::put_on_clipboard("something else");
    press_and_pass('c');
    EXPECT_EQ(platform::clipboard_text(), "something else");
    EXPECT_EQ(code_note, text_solution_not_won);
    EXPECT_EQ(code_note_passes, code_note_passes_shown);

    // Won before by this player: C and Ctrl+C copy what is on the board now.
    level_best_score[0] = 300;
    press_and_pass('c', true);
    EXPECT_EQ(code_note, text_solution_copied);
    const std::vector<placed_piece> expected = {{1, 2, kind_mirror, 1},
                                                {3, 3, kind_blue_sphere, 0}};
    std::vector<placed_piece> copied;
    ASSERT_TRUE(decode_solution_code(platform::clipboard_text(), code_level(), copied));
    EXPECT_EQ(copied, expected);
    EXPECT_EQ(platform::clipboard_text(), encode_solution_code(code_level(), expected));

    // The words stand for a few seconds in place of the hint, then go.
    run_passes(code_note_passes_shown);
    EXPECT_EQ(code_note_passes, 0);
}

TEST_F(solution_codes_test, the_level_complete_window_copies_the_winning_pieces) {
    make_player("Ann");  // somewhere to save the win
    show_board(code_level());
    // The mirror turned until it lights the lamp.
    ASSERT_TRUE(place_piece_at(1, 2, kind_mirror));
    release_turning_piece();
    int32_t winning = 0;
    for (; winning < 8; ++winning) {
        board[1][2].state = winning;
        run_passes(1);
        if (completion_start > 0) break;
    }
    ASSERT_LT(winning, 8);
    for (int32_t i = 0; i < 400 && !(message_shown == 1 && message_kind == message_level_complete);
         ++i)
        run_passes(1);
    ASSERT_EQ(message_kind, message_level_complete);
    press_and_pass('c');
    std::vector<placed_piece> copied;
    ASSERT_TRUE(decode_solution_code(platform::clipboard_text(), code_level(), copied));
    EXPECT_EQ(copied, (std::vector<placed_piece>{{1, 2, kind_mirror, winning}}));
}

TEST_F(solution_codes_test, ctrl_v_makes_a_code_for_this_level_the_solution_shown) {
    const std::vector<placed_piece> stored = overlay();
    ASSERT_EQ(stored.size(), 3u);
    const std::vector<placed_piece> friends = {{1, 2, kind_mirror, 3}, {7, 7, kind_prism, 1}};
    platform::headless::put_on_clipboard(" " + encode_solution_code(code_level(), friends) + "\n");

    // V without Ctrl does nothing; with it, the pasted pieces are the solution overlay, at no
    // cost until Space shows them.
    press_and_pass('v');
    EXPECT_EQ(overlay(), stored);
    press_and_pass('v', true);
    EXPECT_EQ(code_note, text_solution_pasted);
    EXPECT_EQ(overlay(), friends);
    EXPECT_EQ(solution_cost, 0);
    // The stock and the board the player plays on are untouched.
    EXPECT_EQ(piece_stock[kind_mirror], 1);
    EXPECT_EQ(piece_stock[kind_prism], 1);
    EXPECT_EQ(board[7][7].kind, kind_empty);

    // Space after the first minute shows it and costs as the level's own solution does.
    platform::headless::advance_clock(61000);
    platform::headless::press_key(32);
    run_passes(10);
    platform::headless::release_key(32);
    EXPECT_GT(solution_cost, 0);

    // A code for another level, a damaged one, a level code, or nothing: refused, the overlay
    // stays as it was.
    level_data other = code_level();
    other.cells[5][2] = level_cell_code(kind_lamp, 0, lamp_red);
    std::string damaged = encode_solution_code(code_level(), friends);
    damaged[8] = damaged[8] == 'A' ? 'B' : 'A';
    const std::pair<std::string, std::string> refusals[] = {
        {encode_solution_code(other, friends), "This solution is for another level"},
        {damaged, "This solution code is damaged or incomplete"},
        {encode_level_code(code_level()), "This is a level code, not a solution code"},
        {"", "There is no solution code to read"},
    };
    for (const auto& [text, words] : refusals) {
        platform::headless::put_on_clipboard(text);
        press_and_pass('v', true);
        EXPECT_EQ(code_note, words);
        EXPECT_EQ(overlay(), friends);
    }
}

TEST_F(solution_codes_test, keys_wait_while_the_board_is_closed) {
    level_best_score[0] = 300;
    platform::headless::put_on_clipboard(encode_solution_code(code_level(), {}));
    // Under the note window nothing is pasted (copying there is harmless and allowed).
    raise_message(message_level_note, "Codes.");
    press_and_pass('v', true);
    EXPECT_EQ(overlay().size(), 3u);
    EXPECT_EQ(code_note_passes, 0);
    message_shown = 0;
    // Under the help overlay neither key acts.
    help_shown = 1;
    press_and_pass('c');
    press_and_pass('v', true);
    EXPECT_EQ(code_note_passes, 0);
    help_shown = 0;
    // Keys pressed before a level opens are not taken by its first pass.
    press('c');
    fade_count = 32;
    run_passes(1);
    EXPECT_EQ(code_note_passes, 0);
}

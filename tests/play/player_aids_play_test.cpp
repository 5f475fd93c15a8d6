// The play screen's aids: the slot chosen when a level opens, dimmed empty slots and the
// sphere slot's marks, undo and redo, and the help overlay holding the board.
#include "play/play_test_support.h"

#include "app/assets.h"
#include "app/help_overlay.h"
#include "play/play_screen.h"
#include "play/undo.h"

namespace {

// A white laser shining up column 0, a lamp and two mirrors, a prism, a red and two blue
// colour spheres in the stock.
level_data aids_level() {
    level_data level;
    level.cells[0][13] = level_cell_code(kind_laser, dir_up, beam_white);
    level.cells[10][5] = level_cell_code(kind_lamp, 0, lamp_red);
    level.cells[5][2] = level_cell_code(kind_mirror, 3, 0);
    level.cells[6][2] = level_cell_code(kind_mirror, 0, 0);
    level.cells[7][2] = level_cell_code(kind_prism, 1, 0);
    level.cells[8][2] = level_cell_code(kind_red_sphere, 0, 0);
    level.cells[9][2] = level_cell_code(kind_blue_sphere, 0, 0);
    level.cells[9][3] = level_cell_code(kind_blue_sphere, 0, 0);
    return level;
}

class player_aids_play_test : public play_test {
protected:
    void SetUp() override {
        play_test::SetUp();
        load_content();
        show_board(aids_level());
    }
    // The brightest channel value presented within a rectangle.
    static int32_t brightest(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        int32_t most = 0;
        for (int32_t y = top; y < bottom; ++y) {
            for (int32_t x = left; x < right; ++x) {
                const uint32_t p = platform::headless::presented_pixel(x, y);
                most = std::max(
                    {most, int32_t(p >> 16 & 255), int32_t(p >> 8 & 255), int32_t(p & 255)});
            }
        }
        return most;
    }
};

TEST_F(player_aids_play_test, a_level_opened_on_an_empty_slot_chooses_the_first_with_stock) {
    struct case_ {
        int32_t slot, colour, expected_slot, expected_colour;
    };
    const case_ cases[] = {
        {1, 0, 0, 0},  // no double mirrors: the mirrors
        {2, 0, 2, 0},  // prisms in stock: kept
        {4, 2, 0, 2},  // no green spheres: the mirrors, the colour untouched
        {4, 3, 4, 3},  // blue spheres: kept
    };
    for (const case_& c : cases) {
        selected_slot = c.slot;
        sphere_colour = c.colour;
        select_stocked_slot();
        EXPECT_EQ(selected_slot, c.expected_slot) << c.slot << "," << c.colour;
        EXPECT_EQ(sphere_colour, c.expected_colour) << c.slot << "," << c.colour;
    }
    // Only spheres left: the first colour in stock.
    piece_stock[kind_mirror] = 0;
    piece_stock[kind_prism] = 0;
    selected_slot = 1;
    select_stocked_slot();
    EXPECT_EQ(selected_slot, 4);
    EXPECT_EQ(sphere_colour, 1);
}

TEST_F(player_aids_play_test, empty_slots_are_dimmed_and_the_sphere_slot_marks_each_colour) {
    run_passes(1);
    const int32_t prism_lit = brightest(705, 280, 795, 350);
    const int32_t double_prism_dim = brightest(705, 380, 795, 448);
    piece_stock[kind_double_prism] = 1;
    piece_stock[kind_prism] = 0;
    run_passes(1);
    EXPECT_LT(brightest(705, 280, 795, 350) * 2, prism_lit);
    EXPECT_GT(brightest(705, 380, 795, 448), double_prism_dim * 2);

    // Red (1) and blue (2) marks beside their counts; none for white and green.
    const auto mark = [](int32_t colour) {
        return platform::headless::presented_pixel(727 + 18 * colour + 2, 551) & 0xFFFFFF;
    };
    EXPECT_EQ(mark(1) >> 16 & 255, 255u);
    EXPECT_LT(mark(1) & 255, 128u);
    EXPECT_GT(mark(3) & 255, 200u);
    EXPECT_LT(mark(3) >> 16 & 255, 128u);
    EXPECT_NE(mark(0), 0xFFFFFFu);
    EXPECT_NE(mark(2) >> 8 & 255, 230u);
}

TEST_F(player_aids_play_test, available_stays_inside_the_solution_plate) {
    clock_start = platform::millisecs() - 61000;
    run_passes(1);
    // The plate's inside ends at x 795; the text is white on its dark ground.
    int32_t rightmost = 0;
    for (int32_t y = 20; y < 36; ++y) {
        for (int32_t x = 740; x < 800; ++x) {
            const uint32_t p = platform::headless::presented_pixel(x, y);
            if ((p >> 16 & 255) > 180 && (p >> 8 & 255) > 180 && (p & 255) > 180) {
                rightmost = std::max(rightmost, x);
            }
        }
    }
    EXPECT_GT(rightmost, 760);
    EXPECT_LT(rightmost, 796);
}

TEST_F(player_aids_play_test, undo_steps_back_whole_moves_and_redo_is_lost_by_a_new_move) {
    click(centre_x(3), centre_y(3));  // a mirror, at the last turn's orientation
    drag(centre_x(3), centre_y(3), centre_x(3) + 30, centre_y(3));  // turned
    click(centre_x(0), centre_y(13));                               // the laser off
    right_click(centre_x(3), centre_y(3));
    ASSERT_EQ(undo_steps.size(), 4u);

    ASSERT_TRUE(undo_move());  // the mirror is back, turned
    EXPECT_EQ(board[3][3].kind, kind_mirror);
    EXPECT_EQ(board[3][3].state, 2);
    EXPECT_EQ(piece_stock[kind_mirror], 1);
    ASSERT_TRUE(undo_move());  // the laser on again
    EXPECT_EQ(laser_sources[0].active, 1);
    ASSERT_TRUE(undo_move());  // the turn undone
    EXPECT_EQ(board[3][3].state, 0);
    ASSERT_TRUE(redo_move());
    EXPECT_EQ(board[3][3].state, 2);

    // A new move forgets what was undone.
    click(centre_x(4), centre_y(4));
    EXPECT_TRUE(redo_steps.empty());
    EXPECT_FALSE(redo_move());

    // No undo while a piece is held, and none after the board is cleared (a bomb's restart).
    platform::headless::move_mouse(centre_x(4), centre_y(4));
    platform::headless::press_button(1);
    run_passes(1);
    ASSERT_EQ(turning, 1);
    EXPECT_FALSE(undo_move());
    platform::headless::release_button(1);
    run_passes(1);
    reset_board();
    EXPECT_TRUE(undo_steps.empty());
    EXPECT_FALSE(undo_move());
}

TEST_F(player_aids_play_test, the_help_overlay_holds_the_board_until_closed) {
    platform::headless::press_key(platform::key_f1);
    platform::headless::release_key(platform::key_f1);
    run_passes(1);
    ASSERT_EQ(help_shown, 1);
    EXPECT_FALSE(play_input_open());
    click(centre_x(3), centre_y(3));  // closes the help only
    EXPECT_EQ(help_shown, 0);
    EXPECT_EQ(board[3][3].kind, kind_empty);
    click(centre_x(3), centre_y(3));
    EXPECT_EQ(board[3][3].kind, kind_mirror);
}

}  // namespace

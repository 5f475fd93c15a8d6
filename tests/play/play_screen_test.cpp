// The play screen's controls, driven by scripted mouse gestures through the main loop.
#include "play/play_test_support.h"

#include "app/assets.h"
#include "play/play_screen.h"

namespace {

std::string dump_board() {
    std::string text;
    for (int32_t column = 0; column < board_columns; ++column) {
        for (int32_t row = 0; row < board_rows; ++row) {
            const point& p = board[column][row];
            text += std::to_string(p.kind) + ":" + std::to_string(p.state) + ":" +
                    std::to_string(p.colour) + ":" + std::to_string(p.solution_kind) + ":" +
                    std::to_string(p.solution_orientation) + " ";
        }
    }
    return text;
}

// A white laser at the bottom left shining up its column, a lamp out of its way, and the
// solution pieces that fill the stock: two mirrors, a prism and a red colour sphere.
level_data controls_level() {
    level_data level;
    level.cells[0][13] = level_cell_code(kind_laser, dir_up, beam_white);
    level.cells[10][5] = level_cell_code(kind_lamp, 0, lamp_red);
    level.cells[12][5] = level_cell_code(kind_wall, 0, 0);
    level.cells[5][2] = level_cell_code(kind_mirror, 3, 0);
    level.cells[6][2] = level_cell_code(kind_mirror, 0, 0);
    level.cells[7][2] = level_cell_code(kind_prism, 1, 0);
    level.cells[8][2] = level_cell_code(kind_red_sphere, 0, 0);
    return level;
}

class play_screen_test : public play_test {
protected:
    void SetUp() override {
        play_test::SetUp();
        show_board(controls_level());
    }
};

TEST_F(play_screen_test, a_cell_holding_only_a_solution_piece_takes_the_selected_piece) {
    ASSERT_EQ(piece_stock[kind_mirror], 2);
    click(centre_x(5), centre_y(2));
    EXPECT_EQ(board[5][2].kind, kind_mirror);
    EXPECT_EQ(board[5][2].solution_kind, kind_mirror);
    EXPECT_EQ(piece_stock[kind_mirror], 1);
    // Occupied: a second click there changes nothing.
    click(centre_x(5), centre_y(2));
    EXPECT_EQ(piece_stock[kind_mirror], 1);
}

TEST_F(play_screen_test, an_empty_stock_places_nothing) {
    click(750, 180);  // slot 1, the double mirrors: none in this level
    ASSERT_EQ(selected_slot, 1);
    click(centre_x(3), centre_y(3));
    EXPECT_EQ(board[3][3].kind, kind_empty);
    EXPECT_EQ(turning, 0);
}

TEST_F(play_screen_test, a_quick_click_leaves_the_mirror_at_the_last_turn_orientation) {
    turn_orientation = 5;
    quick_click(centre_x(3), centre_y(3));
    EXPECT_EQ(board[3][3].kind, kind_mirror);
    EXPECT_EQ(board[3][3].state, 5);
    EXPECT_EQ(turning, 0);
}

TEST_F(play_screen_test, dragging_turns_a_piece_towards_the_pointer) {
    load_content();
    platform::headless::clear_sound_log();
    drag(centre_x(3), centre_y(3), centre_x(3), centre_y(3) - 30);
    EXPECT_EQ(board[3][3].state, dir_up);
    drag(centre_x(3), centre_y(3), centre_x(3) + 30, centre_y(3));
    EXPECT_EQ(board[3][3].state, dir_right);
    drag(centre_x(3), centre_y(3), centre_x(3), centre_y(3) + 30);
    EXPECT_EQ(board[3][3].state, dir_down);
    // Each change of orientation clicks once.
    EXPECT_EQ(sounds_played("povorot.wav"), 2);

    click(750, 300);  // the prisms
    drag(centre_x(4), centre_y(4), centre_x(4), centre_y(4) + 30);
    EXPECT_EQ(board[4][4].kind, kind_prism);
    EXPECT_EQ(board[4][4].state, 0);  // a prism has four orientations: down is up
}

TEST_F(play_screen_test, a_piece_let_go_near_its_centre_takes_the_last_turn_not_its_own) {
    drag(centre_x(3), centre_y(3), centre_x(3) + 30, centre_y(3));
    ASSERT_EQ(board[3][3].state, dir_right);
    drag(centre_x(4), centre_y(4), centre_x(4) - 30, centre_y(4));
    ASSERT_EQ(board[4][4].state, dir_left);
    // Pressed and released within the dead zone around its centre.
    drag(centre_x(3), centre_y(3), centre_x(3) + 10, centre_y(3) + 10);
    EXPECT_EQ(board[3][3].state, dir_left);
}

TEST_F(play_screen_test, the_piece_being_turned_is_marked_until_released) {
    platform::headless::move_mouse(centre_x(3), centre_y(3));
    platform::headless::press_button(1);
    run_passes(1);
    platform::headless::move_mouse(centre_x(3) - 30, centre_y(3) - 30);
    run_passes(2);
    EXPECT_EQ(turning, 1);
    EXPECT_EQ(board[3][3].state, 9);
    EXPECT_EQ(turn_orientation, dir_up_left);
    platform::headless::release_button(1);
    run_passes(1);
    EXPECT_EQ(turning, 0);
    EXPECT_EQ(board[3][3].state, dir_up_left);
}

TEST_F(play_screen_test, the_colour_buttons_change_the_sphere_and_select_its_slot) {
    click(710, 515);
    EXPECT_EQ(selected_slot, 4);
    EXPECT_EQ(sphere_colour, 3);
    click(790, 515);
    click(790, 515);
    EXPECT_EQ(sphere_colour, 1);
    EXPECT_EQ(selected_piece_kind(), kind_red_sphere);
    click(centre_x(9), centre_y(9));
    EXPECT_EQ(board[9][9].kind, kind_red_sphere);
    EXPECT_EQ(board[9][9].colour, 0);
    EXPECT_EQ(turning, 0);  // spheres do not turn
    EXPECT_EQ(piece_stock[kind_red_sphere], 0);
    // The buttons' edges are outside them.
    click(720, 515);
    EXPECT_EQ(sphere_colour, 1);
}

TEST_F(play_screen_test, a_right_click_takes_back_only_placed_pieces) {
    const auto before = dump_board();
    right_click(centre_x(0), centre_y(13));  // laser
    right_click(centre_x(10), centre_y(5));  // lamp
    right_click(centre_x(12), centre_y(5));  // wall
    right_click(centre_x(5), centre_y(2));   // a solution record only
    EXPECT_EQ(dump_board(), before);

    drag(centre_x(3), centre_y(3), centre_x(3) + 30, centre_y(3));
    ASSERT_EQ(piece_stock[kind_mirror], 1);
    right_click(centre_x(3), centre_y(3));
    EXPECT_EQ(board[3][3].kind, kind_empty);
    EXPECT_EQ(board[3][3].state, dir_right);  // the other fields stay
    EXPECT_EQ(piece_stock[kind_mirror], 2);
}

TEST_F(play_screen_test, two_clicks_on_a_laser_switch_it_off_and_on) {
    ASSERT_EQ(laser_source_count, 1);
    click(centre_x(0), centre_y(13));
    EXPECT_EQ(laser_sources[0].active, 0);
    EXPECT_EQ(board[0][13].kind, kind_laser);
    click(centre_x(0), centre_y(13));
    EXPECT_EQ(laser_sources[0].active, 1);
}

TEST_F(play_screen_test, a_window_closes_the_board_but_not_the_palette) {
    message_kind = message_notice;
    message_shown = 1;
    click(centre_x(3), centre_y(3));
    click(centre_x(0), centre_y(13));
    click(790, 590);  // the main-menu button
    EXPECT_EQ(board[3][3].kind, kind_empty);
    EXPECT_EQ(laser_sources[0].active, 1);
    EXPECT_EQ(fading, 0);
    click(750, 300);
    EXPECT_EQ(selected_slot, 2);
}

// A press still held when the input closes (a bouncing switch on the main-menu button) must
// not follow the player into the next level: there the held cell is a laser, and letting the
// button go would turn it against its own beam.
TEST_F(play_screen_test, a_piece_held_when_the_level_is_left_stays_behind) {
    platform::headless::move_mouse(centre_x(4), centre_y(1));
    platform::headless::press_button(1);
    run_passes(1);
    ASSERT_EQ(turning, 1);
    ASSERT_EQ(turn_x, 4);
    ASSERT_EQ(turn_y, 1);
    turn_orientation = dir_right;

    // The fade's last pass clears the board; the next level is loaded halfway through it.
    reset_board();
    EXPECT_EQ(turning, 0);
    turning = 1;
    current_level = 1;
    start_level();
    ASSERT_EQ(board[4][1].kind, kind_laser);
    EXPECT_EQ(turning, 0);

    message_shown = 0;
    platform::headless::release_button(1);
    run_passes(1);
    for (int32_t i = 0; i < laser_source_count; ++i) {
        const laser& source = laser_sources[i];
        EXPECT_EQ(board[source.x][source.y].state, source.dir) << "laser " << i;
    }
}

// The trace only sets the bomb off; the play screen shows the explosion in its message window
// in the same pass, before the player's input is read.
TEST_F(play_screen_test, a_bomb_set_off_raises_the_explosion_in_the_same_pass) {
    level_data level = controls_level();
    level.cells[0][6] = level_cell_code(kind_bomb, 0, 0);
    show_board(level);
    run_passes(1);
    EXPECT_EQ(board[0][6].kind, kind_empty);
    EXPECT_EQ(message_shown, 1);
    EXPECT_EQ(message_kind, message_explosion);
    EXPECT_EQ(message_text, "Bumm!!!");
}

TEST_F(play_screen_test, the_main_menu_button_reaches_the_display_corner) {
    make_player("Ann");
    show_board(controls_level());
    click(595, 599);  // the button's left edge is outside it
    click(799, 561);
    EXPECT_EQ(fading, 1);
    EXPECT_EQ(next_screen_state, screen_main_menu);
}

}  // namespace

// The profiles screen, one pass at a time: typing, the list, its buttons and their edges.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_state.h"
#include "app/screens.h"
#include "platform/headless.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_state.h"
#include "support/headless_game.h"

namespace {

class profiles_screen_test : public headless_game_test {
protected:
    // One pass of the screen with the cursor at (x, y), clicked or not.
    void pass_at(int32_t x, int32_t y, bool click = false) {
        cursor_x = x;
        cursor_y = y;
        left_click = click ? 1 : 0;
        profiles_screen();
        left_click = 0;
    }
    void click_at(int32_t x, int32_t y) { pass_at(x, y, true); }
    void make_players(std::initializer_list<const char*> names) {
        for (const char* name : names) create_profile(name);
    }
};

TEST_F(profiles_screen_test, list_rows_are_open_rectangles) {
    make_players({"Ann", "Bob", "Cid"});
    struct case_ {
        int32_t x, y, selected;
    };
    // The list spans 275 < x < 525 and 200 < y < 275 with three players.
    const case_ cases[] = {
        {300, 200, -1}, {275, 210, -1}, {525, 210, -1}, {276, 201, 0},
        {524, 224, 0},  {300, 225, 1},  {300, 249, 1},  {300, 250, 2},
        {300, 274, 2},  {300, 275, -1}, {300, 199, -1},
    };
    for (const case_& c : cases) {
        selected_profile = -1;
        click_at(c.x, c.y);
        EXPECT_EQ(selected_profile, c.selected) << c.x << "," << c.y;
    }
    selected_profile = -1;
    pass_at(300, 230);  // hovering alone selects nothing
    EXPECT_EQ(selected_profile, -1);
}

TEST_F(profiles_screen_test, typing_takes_one_character_a_pass) {
    name_entry = 1;
    platform::headless::type_text("Ab c{!z");
    std::vector<std::string> seen;
    for (int i = 0; i < 8; ++i) {
        pass_at(0, 0);
        seen.push_back(typed_name);
    }
    // Space and '{' (123) never enter a name; '!' (33) and 'z' (122) do.
    EXPECT_EQ(seen,
              (std::vector<std::string>{"A", "Ab", "Ab", "Abc", "Abc", "Abc!", "Abc!z", "Abc!z"}));

    platform::headless::type_text("\b\b\b\b\b\b");
    for (int i = 0; i < 6; ++i) pass_at(0, 0);
    EXPECT_EQ(typed_name, "");

    platform::headless::type_text("abcdefghijkl");
    for (int i = 0; i < 12; ++i) pass_at(0, 0);
    EXPECT_EQ(typed_name, "abcdefghij");
}

TEST_F(profiles_screen_test, nothing_is_typed_outside_name_entry) {
    platform::headless::type_text("xyz");
    for (int i = 0; i < 3; ++i) pass_at(0, 0);
    EXPECT_EQ(typed_name, "");
}

TEST_F(profiles_screen_test, new_profile_button_opens_entry_then_creates) {
    platform::headless::type_text("old");  // typed before entry began: thrown away
    click_at(400, 175);
    EXPECT_EQ(name_entry, 1);
    EXPECT_EQ(profile_count, 0);  // the opening click does not also confirm

    platform::headless::type_text("Ann");
    for (int i = 0; i < 4; ++i) pass_at(0, 0);
    EXPECT_EQ(typed_name, "Ann");
    click_at(400, 175);
    EXPECT_EQ(name_entry, 0);
    EXPECT_EQ(typed_name, "");
    ASSERT_EQ(profile_count, 1);
    EXPECT_EQ(profile_names[0], "Ann");
    EXPECT_EQ(selected_profile, 0);  // the new player is the chosen one
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(game_dir) / "users" / "Ann"));

    // A refused name ends entry and clears the text too.
    click_at(400, 175);
    platform::headless::type_text("Ann");
    for (int i = 0; i < 3; ++i) pass_at(0, 0);
    click_at(400, 175);
    EXPECT_EQ(profile_count, 1);
    EXPECT_EQ(name_entry, 0);
    EXPECT_EQ(typed_name, "");
    EXPECT_EQ(message_shown, 0);
}

TEST_F(profiles_screen_test, new_profile_button_edges) {
    struct case_ {
        int32_t x, y;
        bool hit;
    };
    const case_ cases[] = {{341, 175, false}, {342, 161, true},  {458, 189, true},
                           {459, 175, false}, {400, 160, false}, {400, 190, false}};
    for (const case_& c : cases) {
        name_entry = 0;
        click_at(c.x, c.y);
        EXPECT_EQ(name_entry, c.hit ? 1 : 0) << c.x << "," << c.y;
    }
}

TEST_F(profiles_screen_test, confirm_loads_the_selected_player_and_fades_to_the_menu) {
    make_players({"Ann", "Bob"});
    click_at(340, 475);  // nothing selected: nothing happens
    EXPECT_EQ(fading, 0);

    name_entry = 1;
    typed_name = "Cy";
    selected_profile = 1;
    click_at(385, 475);  // right edge: outside
    EXPECT_EQ(fading, 0);
    click_at(384, 489);
    EXPECT_EQ(current_profile, 1);
    EXPECT_EQ(fading, 1);
    EXPECT_EQ(next_screen_state, screen_main_menu);
    EXPECT_EQ(level_best_score[0], -1);  // Bob's progress is in the tables now
    EXPECT_EQ(pack_access[0], 1);
    // Name entry and the half-typed name wait for the next visit.
    EXPECT_EQ(name_entry, 1);
    EXPECT_EQ(typed_name, "Cy");
}

TEST_F(profiles_screen_test, delete_leaves_nothing_selected) {
    make_players({"Ann", "Bob", "Cid"});
    click_at(460, 475);  // nothing selected
    EXPECT_EQ(profile_count, 3);

    selected_profile = 2;
    click_at(460, 475);
    EXPECT_EQ(profile_count, 2);
    EXPECT_EQ(selected_profile, -1);
    click_at(460, 475);  // the second click of a double click deletes nobody
    EXPECT_EQ(profile_count, 2);

    selected_profile = 0;
    click_at(416, 461);
    EXPECT_EQ(profile_count, 1);
    EXPECT_EQ(profile_names[0], "Bob");
    EXPECT_EQ(selected_profile, -1);

    click_at(505, 475);  // edge: outside
    EXPECT_EQ(profile_count, 1);
}

TEST_F(profiles_screen_test, exit_button_glow_and_quit) {
    struct case_ {
        int32_t x, y;
        bool hovered;
    };
    // No lower edge: anything below y 560 between x 20 and 95.
    const case_ cases[] = {{21, 561, true},  {94, 599, true},  {50, 800, true},
                           {20, 580, false}, {95, 580, false}, {50, 560, false}};
    for (const case_& c : cases) {
        exit_button_tint = 100;
        pass_at(c.x, c.y);
        EXPECT_EQ(exit_button_tint, c.hovered ? 90 : 125) << c.x << "," << c.y;
    }
    exit_button_tint = 5;
    pass_at(50, 580);
    EXPECT_EQ(exit_button_tint, 0);
    exit_button_tint = 240;
    pass_at(0, 0);
    EXPECT_EQ(exit_button_tint, 255);

    EXPECT_THROW(click_at(50, 580), platform::program_ended);
}

TEST_F(profiles_screen_test, the_eleventh_player_raises_the_notice_and_the_list_still_answers) {
    for (int i = 0; i < 10; ++i) create_profile("p" + std::to_string(i));
    click_at(400, 175);
    platform::headless::type_text("Eve");
    for (int i = 0; i < 3; ++i) pass_at(0, 0);
    click_at(400, 175);
    EXPECT_EQ(message_shown, 1);
    EXPECT_EQ(message_kind, 4);
    EXPECT_EQ(message_text, "You cann't create more than 10 players");
    EXPECT_EQ(profile_count, 10);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(game_dir) / "users" / "Eve"));

    // The notice's OK button lies over rows 6 and 7 of a full list: a click there selects too.
    click_at(400, 370);
    EXPECT_EQ(selected_profile, 6);
}

TEST_F(profiles_screen_test, cursor_phase_cycles_every_39_passes) {
    cursor_phase = 37;
    pass_at(0, 0);
    EXPECT_EQ(cursor_phase, 38);
    pass_at(0, 0);
    EXPECT_EQ(cursor_phase, 0);
}

}  // namespace

// The galaxy map: markers and their clicks, the introduction of a new pack, the level panel,
// and the ending.
#include "play/play_test_support.h"

#include "app/assets.h"
#include "profiles/galaxy_map.h"

namespace {

class galaxy_map_test : public play_test {
protected:
    void SetUp() override {
        play_test::SetUp();
        init_pack_positions();
        init_pack_names();
        fresh_progress();
        screen_state = screen_galaxy_map;
    }
};

TEST_F(galaxy_map_test, the_pack_tables_hold_the_markers_and_titles) {
    EXPECT_EQ(pack_positions[0], 109493);
    EXPECT_EQ(pack_positions[19], 698151);
    EXPECT_EQ(pack_names[0], "Mirrors");
    EXPECT_EQ(pack_names[6], "---------");
    EXPECT_EQ(pack_names[13], "Combo colors");
}

TEST_F(galaxy_map_test, only_open_packs_react_and_only_strictly_within_25_pixels) {
    click(75, 386);  // pack 1, closed
    EXPECT_EQ(open_pack, -1);
    click(109 + 25, 493);
    click(109, 493 - 25);
    EXPECT_EQ(open_pack, -1);
    click(109 + 24, 493 - 24);
    EXPECT_EQ(open_pack, 0);
    EXPECT_EQ(panel_x, 133);
    EXPECT_EQ(panel_y, 169);  // 469 moved up by 300
}

TEST_F(galaxy_map_test, a_panel_near_the_edges_moves_onto_the_map) {
    pack_access[15] = 1;
    click(610, 490);
    EXPECT_EQ(open_pack, 15);
    EXPECT_EQ(panel_x, 360);
    EXPECT_EQ(panel_y, 190);
    // While one panel is open the other markers do not react.
    click(109, 493);
    EXPECT_EQ(open_pack, 15);
    // Cancel closes it.
    click(panel_x + 125, panel_y + 275);
    EXPECT_EQ(open_pack, -1);
}

TEST_F(galaxy_map_test, a_level_label_starts_that_level_and_keeps_the_panel) {
    click(109, 493);
    ASSERT_EQ(open_pack, 0);
    // The fifth level: second row, middle column.
    const int32_t lx = panel_x + 15 + 80;
    const int32_t ly = panel_y + 40 + 25;
    click(lx - 19, ly + 1);
    EXPECT_EQ(fading, 1);
    EXPECT_EQ(next_screen_state, screen_play);
    EXPECT_EQ(current_level, 4);
    EXPECT_EQ(open_pack, 0);
}

TEST_F(galaxy_map_test, a_new_pack_is_introduced_after_the_fade_and_then_its_panel_opens) {
    load_sounds();
    pack_access[1] = 1;
    new_pack = 1;
    new_pack_frame = 0;
    fading = 1;
    fade_count = 40;  // the second half of the fade into the map
    platform::headless::clear_sound_log();
    run_passes(23);
    EXPECT_EQ(fading, 1);
    EXPECT_EQ(new_pack_frame, 0);
    run_passes(1);
    ASSERT_EQ(fading, 0);

    // Clicks on markers and the main-menu button wait for the introduction.
    click(109, 493);
    click(700, 580);
    EXPECT_EQ(open_pack, -1);
    EXPECT_EQ(fading, 0);
    // 117 passes in all: frames 0 to 58, two passes each, the last one ending it.
    run_passes(117 - 1 - 4 - 1);
    EXPECT_EQ(new_pack_frame, 116);
    EXPECT_EQ(new_pack, 1);
    run_passes(1);
    EXPECT_EQ(new_pack, -1);
    EXPECT_EQ(open_pack, 1);
    EXPECT_EQ(panel_x, 75);
    EXPECT_EQ(panel_y, 86);
    EXPECT_EQ(sounds_played("new1.ogg"), 1);
}

TEST_F(galaxy_map_test, the_main_menu_button_leads_to_the_menu) {
    click(596, 561);
    EXPECT_EQ(next_screen_state, screen_main_menu);
    EXPECT_EQ(fading, 1);
}

TEST_F(galaxy_map_test, the_first_unfinished_pack_pulses) {
    load_content();
    pack_access[1] = 1;
    for (int32_t level = 0; level < 6; ++level) level_best_score[level] = 100;
    // The marker of pack 1 (the pulsing one) changes brightness from pass to pass; pack 0's
    // stays. The glow's edge is sampled: its centre is white either way.
    std::vector<uint32_t> pack0, pack1;
    for (int i = 0; i < 20; ++i) {
        run_passes(1);
        pack0.push_back(platform::headless::presented_pixel(109, 493 + 14));
        pack1.push_back(platform::headless::presented_pixel(75, 386 + 14));
    }
    EXPECT_EQ(std::count(pack0.begin(), pack0.end(), pack0[0]), 20);
    EXPECT_LT(std::count(pack1.begin(), pack1.end(), pack1[0]), 20);
}

TEST_F(galaxy_map_test, the_ending_returns_to_the_map_on_a_click) {
    screen_state = screen_ending;
    total_score = 12345;
    run_passes(3);
    EXPECT_EQ(fading, 0);
    click(400, 300);
    EXPECT_EQ(next_screen_state, screen_galaxy_map);
    finish_fade();
    EXPECT_EQ(screen_state, screen_galaxy_map);
}

}  // namespace

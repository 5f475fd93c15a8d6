// The message window's buttons: the ways on from a completed level, the note's and the
// notices' OK, and the explosion.
#include "play/play_test_support.h"

#include "app/assets.h"
#include "app/bitmap_font.h"
#include "app/screens.h"
#include "profiles/message_window.h"

namespace {

class message_window_test : public play_test {
protected:
    void SetUp() override {
        play_test::SetUp();
        fresh_progress();
        screen_state = screen_play;
        fade_count = 64;
    }
    void complete_window(int32_t level, int32_t announced_pack) {
        current_level = level;
        new_pack = announced_pack;
        raise_message(message_level_complete, "Level complete!!!");
    }
};

TEST_F(message_window_test, next_level_goes_on_or_back_into_an_open_pack) {
    pack_access.fill(1);
    complete_window(119, -1);
    click(495, 370);
    EXPECT_EQ(current_level, 114);
    EXPECT_EQ(next_screen_state, screen_play);
    // The window stays up through the fade-out until the board is cleared.
    run_passes(29);
    EXPECT_EQ(message_shown, 1);
    run_passes(1);
    EXPECT_EQ(fade_count, 31);
    EXPECT_EQ(message_shown, 0);
}

TEST_F(message_window_test, the_galaxy_map_button_closes_the_window) {
    complete_window(3, -1);
    open_pack = 0;
    click(300, 370);
    EXPECT_EQ(message_shown, 0);
    EXPECT_EQ(next_screen_state, screen_galaxy_map);
    EXPECT_EQ(open_pack, 0);
}

TEST_F(message_window_test, a_newly_opened_pack_offers_only_the_new_galaxy) {
    complete_window(5, 1);
    open_pack = 0;
    click(300, 370);  // where the galaxy map button would be
    click(495, 370);  // and the next level button
    EXPECT_EQ(fading, 0);
    click(320, 370);
    EXPECT_EQ(message_shown, 0);
    EXPECT_EQ(open_pack, -1);
    EXPECT_EQ(next_screen_state, screen_galaxy_map);
}

TEST_F(message_window_test, finishing_pack_18_introduces_pack_19_like_any_other) {
    complete_window(113, 19);
    click(400, 370);
    EXPECT_EQ(next_screen_state, screen_galaxy_map);
    EXPECT_EQ(new_pack, 19);
}

TEST_F(message_window_test, finishing_the_last_pack_leads_to_the_ending) {
    complete_window(119, 19);
    open_pack = 19;
    click(400, 370);
    EXPECT_EQ(message_shown, 0);
    EXPECT_EQ(open_pack, -1);
    EXPECT_EQ(new_pack, -1);
    EXPECT_EQ(next_screen_state, screen_ending);
    finish_fade();
    EXPECT_EQ(screen_state, screen_ending);
}

TEST_F(message_window_test, the_fireworks_go_off_once_every_68_frames) {
    load_sounds();
    complete_window(3, -1);
    firework_frame = 0;
    platform::headless::clear_sound_log();
    run_passes(68 * 3);
    EXPECT_EQ(sounds_played("explo.ogg"), 3);
    EXPECT_EQ(firework_frame, 0);
    EXPECT_GE(firework_x, 110);
    EXPECT_LE(firework_x, 625);
    EXPECT_GE(firework_y, 150);
    EXPECT_LE(firework_y, 490);
}

TEST_F(message_window_test, the_bonus_line_shows_only_for_a_bonus) {
    load_content();
    const auto line_ink = [] {
        int64_t ink = 0;
        for (int32_t y = 250; y < 266; ++y) {
            for (int32_t x = 220; x < 420; ++x) ink += platform::headless::pixel(x, y) & 0xff;
        }
        return ink;
    };
    const auto window_with_bonus = [&](int32_t bonus) {
        complete_window(3, -1);
        bonus_score = bonus;
        firework_x = -500;  // the fireworks out of the way
        firework_y = -500;
        firework_frame = 1;
        platform::cls();
        message_window();
        return line_ink();
    };
    const int64_t blank = window_with_bonus(0);
    EXPECT_GT(window_with_bonus(300), blank + 2000);
    EXPECT_EQ(window_with_bonus(0), blank);
}

TEST_F(message_window_test, a_notice_that_leads_back_to_the_map) {
    raise_notice(text_level_not_loaded, notice_then_galaxy_map);
    click(440, 360);
    EXPECT_EQ(message_shown, 0);
    EXPECT_EQ(next_screen_state, screen_galaxy_map);
    EXPECT_EQ(notice_follow_up, notice_then_nothing);
    // A plain notice afterwards leads nowhere.
    screen_state = screen_profiles;
    finish_fade();
    raise_message(message_notice, "You cann't create more than 10 players");
    click(440, 360);
    EXPECT_EQ(message_shown, 0);
    EXPECT_EQ(fading, 0);
}

TEST_F(message_window_test, the_ok_edges_are_outside_the_button) {
    raise_message(message_notice, "x");
    click(350, 370);
    click(450, 370);
    click(400, 355);
    click(400, 385);
    EXPECT_EQ(message_shown, 1);
    click(351, 384);
    EXPECT_EQ(message_shown, 0);
}

TEST_F(message_window_test, a_note_of_one_long_word_stays_inside_the_window) {
    load_bitmap_font(font16, "font16", 16);
    fade = 1.0f;
    const auto lit_columns = [](int32_t left, int32_t right) {
        int32_t lit = 0;
        for (int32_t x = left; x <= right; ++x) {
            for (int32_t y = 200; y < 600; ++y) {
                if ((platform::headless::pixel(x, y) & 0xFFFFFF) != 0) {
                    ++lit;
                    break;
                }
            }
        }
        return lit;
    };
    for (const std::string& note :
         {std::string(255, 'W'), "Mind " + std::string(200, 'm') + " it"}) {
        platform::cls();
        raise_message(message_level_note, note);
        message_window();
        // The text's margin is at 570; the window's own edge a little further.
        EXPECT_GT(lit_columns(220, 570), 200) << note;
        EXPECT_EQ(lit_columns(571, 799), 0) << note;
    }
}

}  // namespace

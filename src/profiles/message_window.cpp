// The message window: the level-complete window with its fireworks and ways on, the level's
// note that starts the clock, the explosion that restarts the level, and the plain notice.
#include "profiles/message_window.h"

#include "app/app_state.h"
#include "app/assets.h"
#include "app/bitmap_font.h"
#include "app/menu_buttons.h"
#include "app/screens.h"
#include "board/board_state.h"
#include "play/custom_play.h"
#include "play/level_file.h"
#include "play/play_state.h"
#include "play/score_rules.h"
#include "play/scoring.h"
#include "profiles/pack_rules.h"
#include "profiles/profiles_state.h"

namespace {

constexpr int32_t firework_frames = 68;
constexpr int32_t explosion_last_frame = 38;

// The level after a win: the last pack finished leads to the ending; a pack just opened
// (pack 19 included) to the map that introduces it; otherwise the map or the next level.
void level_complete_buttons() {
    const bool last_pack_finished =
        new_pack == pack_total - 1 && current_level / levels_per_pack == pack_total - 1;
    // A custom level opens no pack and has no next level: the map's button leads back to the
    // list of custom levels.
    if (custom_play_vars.custom_playing == 1) {
        if (picture_button(image_btn_galaxy_map, image_btn_galaxy_map_active, 310, 350, 490, 390)) {
            start_fade(screen_custom_levels);
            message_shown = 0;
        }
        return;
    }
    if (new_pack == -1) {
        if (picture_button(image_btn_galaxy_map, image_btn_galaxy_map_active, 215, 350, 395, 390)) {
            start_fade(screen_galaxy_map);
            message_shown = 0;
        }
        if (picture_button(image_btn_next_level, image_btn_next_level_active, 405, 350, 585, 390)) {
            // The window stays up through the fade-out; clearing the board closes it.
            start_fade(screen_play);
            current_level = next_level_target(current_level, pack_access);
        }
    } else if (last_pack_finished) {
        if (picture_button(image_btn_play, image_btn_play_active, 310, 350, 490, 390)) {
            message_shown = 0;
            open_pack = -1;
            // Nothing is left to introduce: the map must not replay pack 19's opening later.
            new_pack = -1;
            start_fade(screen_ending);
        }
    } else if (new_pack >= 0 && new_pack < pack_total) {
        if (picture_button(image_btn_new_galaxy, image_btn_new_galaxy_active, 310, 350, 490, 390)) {
            start_fade(screen_galaxy_map);
            message_shown = 0;
            open_pack = -1;
        }
    }
}

void restart_after_explosion() {
    // The time spent so far counts: the next attempt resumes from it.
    stored_level_seconds() = elapsed_seconds(platform::millisecs(), clock_start);
    reset_board();
    if (!load_level()) {
        reset_board();
        raise_notice(text_level_not_loaded, notice_then_galaxy_map);
    }
}

void follow_notice() {
    const int32_t follow_up = notice_follow_up;
    notice_follow_up = notice_then_nothing;
    if (follow_up == notice_then_galaxy_map) {
        start_fade(screen_galaxy_map);
    } else if (follow_up == notice_then_level_complete) {
        raise_message(message_level_complete, "Level complete!!!");
    }
}

}  // namespace

void place_firework() {
    firework_x = platform::rand(110, 625);
    firework_y = platform::rand(150, 490);
}

void step_fireworks() {
    platform::draw_image(image_lamp_fire, firework_x, firework_y, firework_frame);
    firework_frame = (firework_frame + 1) % firework_frames;
    if (firework_frame == 0) {
        platform::play_sound(sound_explo);
        place_firework();
    }
}

void raise_message(int32_t kind, const std::string& text) {
    message_kind = kind;
    message_text = text;
    message_shown = 1;
}

void raise_notice(const std::string& text, int32_t follow_up) {
    notice_follow_up = follow_up;
    raise_message(message_notice, text);
}

void message_window() {
    set_faded_color(255, 255, 255);

    if (message_kind == message_level_complete) {
        platform::set_blend(4);
        step_fireworks();
    }
    if (message_kind == message_explosion) {
        platform::set_blend(4);
        platform::draw_image(image_bomb_animation, explosion_x, explosion_y, explosion_frame);
    }
    platform::set_blend(3);

    const bool exploding =
        message_kind == message_explosion && explosion_frame < explosion_last_frame;
    if (!exploding) {
        platform::draw_image(image_message_window, 200, 200, 0);
        draw_window_text(font16, 220, 220, message_text, 350);
        if (message_kind == message_level_complete && bonus_score > 0) {
            draw_bitmap_text(font16, 220, 250, "Bonus score: " + std::to_string(bonus_score), 1000);
        }
    }

    if (message_kind == message_level_complete) level_complete_buttons();

    if (exploding) explosion_frame += 1;

    const bool has_ok =
        message_kind == message_level_note || message_kind == message_notice ||
        (message_kind == message_explosion && explosion_frame == explosion_last_frame);
    if (has_ok && message_shown == 1 &&
        picture_button(image_btn_profiles_ok, image_btn_profiles_ok_active, 350, 355, 450, 385)) {
        message_shown = 0;
        if (message_kind == message_level_note) {
            start_level_clock();
        } else if (message_kind == message_explosion) {
            restart_after_explosion();
        } else if (message_kind == message_notice) {
            follow_notice();
        }
    }
}

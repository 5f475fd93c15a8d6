// The level clock, the score and its texts, the solution view, the lamps and the completion of
// a level with its bonus and fireworks.
#include "play/scoring.h"

#include <string>

#include "app/app_state.h"
#include "app/assets.h"
#include "board/beam_rules.h"
#include "board/board_state.h"
#include "play/custom_play.h"
#include "play/play_state.h"
#include "play/score_rules.h"
#include "profiles/galaxy_map.h"
#include "profiles/message_window.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_state.h"

namespace {

constexpr int32_t key_space = 32;

bool fade_first_half() { return fading == 1 && fade_count < 32; }

// The level-complete window, or the notice of a failed save that stands in front of it: the
// level is won and its score fixed either way.
bool level_complete_window_up() {
    return message_shown == 1 &&
           (message_kind == message_level_complete ||
            (message_kind == message_notice && notice_follow_up == notice_then_level_complete));
}

int32_t elapsed_now() { return elapsed_seconds(platform::millisecs(), clock_start); }

}  // namespace

void start_level_clock() {
    clock_start = clock_start_for(platform::millisecs(), stored_level_seconds(), solution_cost);
}

std::string solution_timer_text_now() {
    const bool paused = level_complete_window_up() ||
                        (message_shown == 1 && message_kind == message_level_note) ||
                        completion_start > 0 || fade_first_half();
    if (paused) return solution_timer_text(solution_seconds_left(stored_level_seconds()));
    if (message_shown == 0 && fading == 0) {
        return solution_timer_text(solution_seconds_left(elapsed_now()));
    }
    return "";  // a bomb window, or the second half of the fade into the screen
}

std::string score_text_now() {
    // Later rules override earlier ones; only the celebration may show what the clamp hides.
    int32_t score = clock_score(start_score, elapsed_now(), solution_cost);
    if (score < 0) score = 0;
    if (level_complete_window_up()) score = final_score;
    if (fade_first_half()) score = final_score;
    if (message_shown == 1 && message_kind == message_level_note) {
        score = clock_score(start_score, stored_level_seconds(), solution_cost);
    }
    if (score < 0) score = 0;
    if (completion_start > 0) score = final_score;
    return std::to_string(score);
}

void evaluate_lamps() {
    bool lit_anew = false;
    for (int32_t column = 0; column < board_columns; ++column) {
        for (int32_t row = 0; row < board_rows; ++row) {
            point& cell = board[column][row];
            if (cell.kind != kind_lamp) continue;
            // A lamp's solution_orientation is its lit flag; state is the colour mask that the
            // beam trace gathered this pass.
            const int32_t was_lit = cell.solution_orientation;
            cell.solution_orientation = 0;
            if (cell.state <= 0) continue;
            const int32_t mask = cell.state;
            cell.state = 0;
            if (!lamp_is_lit(cell.colour, mask)) continue;
            cell.solution_orientation = 1;
            if (was_lit == 0) lit_anew = true;
            lit_count += 1;
            const rgb light = lamp_rgb[static_cast<size_t>(cell.colour)];
            set_faded_color(light.r, light.g, light.b);
            platform::set_blend(4);
            platform::draw_image(image_light, cell_centre_x(column), cell_centre_y(row), 0);
            platform::set_blend(3);
        }
    }
    // The lamp that completes the set is greeted by the completion sounds instead.
    if (lit_anew && lit_count != lamp_count) platform::play_sound(sound_lampon);
}

void update_solution_view() {
    if (int64_t{platform::millisecs()} - clock_start <= 60000 || fading != 0 ||
        message_shown != 0) {
        return;
    }
    if (platform::key_down(key_space) != 0) {
        if (solution_alpha < 128) solution_alpha += 1;
        // Every pass of looking costs, also at full opacity.
        solution_cost = saturate_to_int32(int64_t{solution_cost} + 1);
    } else if (solution_alpha > 0) {
        solution_alpha -= 1;
    }
}

void check_completion() {
    const int32_t now = platform::millisecs();
    const bool all_lit = lit_count == lamp_count && fading == 0 && message_shown == 0;

    if (all_lit && completion_start == 0) {
        solution_alpha = 0;
        bonus_score = unplaced_bonus(piece_stock);
        const int32_t seconds = elapsed_seconds(now, clock_start);
        final_score = winning_score(clock_score(start_score, seconds, solution_cost), bonus_score);
        // A custom level's best score is kept apart, when the celebration ends.
        if (custom_play_vars.custom_playing == 0 && final_score > level_best_score[current_level]) {
            level_best_score[current_level] = final_score;
        }
        stored_level_seconds() = seconds;
        stored_solution_cost() = solution_cost;
        // 0 means "no celebration", so a win at clock zero is stamped 1.
        completion_start = now > 0 ? now : 1;
        firework_frame = 0;
        place_firework();
        platform::play_sound(sound_new1);
        platform::play_sound(sound_explo);
    }

    if (completion_start > 0) {
        // The fireworks shine at full strength whatever the fade.
        platform::set_blend(4);
        platform::set_color(255, 255, 255);
        step_fireworks();
        platform::set_blend(3);
    }

    if (all_lit && completion_start > 0 && now - completion_start > 5000) {
        completion_start = 0;
        raise_message(message_level_complete, "Level complete!!!");
        if (custom_play_vars.custom_playing == 1) {
            if (!record_custom_win(final_score))
                raise_notice(text_progress_not_saved, notice_then_level_complete);
        } else {
            open_next_pack();
            if (!save_progress()) {
                // The notice comes first; its OK brings the level-complete window back.
                raise_notice(text_progress_not_saved, notice_then_level_complete);
            }
        }
    }

    lit_count = 0;
}

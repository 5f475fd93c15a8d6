// The state of the level being played: its note and stock, the palette, the clock and score.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct play_globals {
    std::string level_text;
    std::array<int32_t, 14> piece_stock{};  // indexed by kind; 6 to 13 used
    int32_t lamp_count = 0;
    int32_t selected_slot = 0;  // palette slot 0 to 4
    int32_t sphere_colour = 0;  // 0 to 3: white, red, green, blue
    int32_t start_score = 0;
    int32_t clock_start = 0;  // millisecs at which the level clock reads zero
    int32_t solution_cost = 0;
    int32_t final_score = 0;
    int32_t bonus_score = 0;
    int32_t lit_count = 0;
    int32_t completion_start = 0;  // millisecs when all lamps lit; 0 = no celebration
    // Leaving by the main-menu button could not save: the notice waits until the board is
    // cleared on the last pass of the fade, which would otherwise close it at once.
    int32_t save_notice_pending = 0;
    // The level on the board as its level code ("" with none): what a pasted solution code
    // must be for.
    std::string level_code_on_board;
    // What the last copy or paste of a solution code did, shown on the hint line while
    // code_note_passes counts down.
    std::string code_note;
    int32_t code_note_passes = 0;
};
extern play_globals play_vars;
inline std::string& level_text = play_vars.level_text;
inline auto& piece_stock = play_vars.piece_stock;
inline int32_t& lamp_count = play_vars.lamp_count;
inline int32_t& selected_slot = play_vars.selected_slot;
inline int32_t& sphere_colour = play_vars.sphere_colour;
inline int32_t& start_score = play_vars.start_score;
inline int32_t& clock_start = play_vars.clock_start;
inline int32_t& solution_cost = play_vars.solution_cost;
inline int32_t& final_score = play_vars.final_score;
inline int32_t& bonus_score = play_vars.bonus_score;
inline int32_t& lit_count = play_vars.lit_count;
inline int32_t& completion_start = play_vars.completion_start;
inline int32_t& save_notice_pending = play_vars.save_notice_pending;
inline std::string& level_code_on_board = play_vars.level_code_on_board;
inline std::string& code_note = play_vars.code_note;
inline int32_t& code_note_passes = play_vars.code_note_passes;

// Every field by the name the dump gives it; the dump walks this list, and a test checks that
// it names every field of the struct.
template <class visit>
void visit_fields(play_globals& g, visit&& v) {
    v("level_text", g.level_text);
    v("piece_stock", g.piece_stock);
    v("lamp_count", g.lamp_count);
    v("selected_slot", g.selected_slot);
    v("sphere_colour", g.sphere_colour);
    v("start_score", g.start_score);
    v("clock_start", g.clock_start);
    v("solution_cost", g.solution_cost);
    v("final_score", g.final_score);
    v("bonus_score", g.bonus_score);
    v("lit_count", g.lit_count);
    v("completion_start", g.completion_start);
    v("save_notice_pending", g.save_notice_pending);
    v("level_code_on_board", g.level_code_on_board);
    v("code_note", g.code_note);
    v("code_note_passes", g.code_note_passes);
}

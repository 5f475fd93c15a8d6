// The board as drawn on the headless backend: outlines, beams, dashes, glows and the overlay;
// and the drawing trace doing exactly what the silent one does.
#include "play/board_drawing.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "app/app_state.h"
#include "app/assets.h"
#include "app/game_state.h"
#include "app/settings.h"
#include "board/beam_trace.h"
#include "board_builder.h"
#include "platform/headless.h"
#include "profiles/profiles_state.h"
#include "support/headless_game.h"
#include "support/screen_pixels.h"

namespace {

constexpr colour black{0, 0, 0}, grid{40, 40, 40}, red{255, 0, 0};

class board_drawing_test : public headless_game_test {
protected:
    // The beams' exact lines alone: the glow beside them has tests of its own.
    void SetUp() override {
        headless_game_test::SetUp();
        settings.beam_glow = 0;
    }
    // A strip of eight 35 by 35 frames, frame k filled with red 10 + 30k, so that a drawn
    // piece tells which frame it shows.
    platform::image* make_frame_strip() {
        platform::set_blend(2);
        for (int32_t k = 0; k < 8; ++k) {
            platform::set_color(10 + 30 * k, 0, 0);
            for (int32_t x = 35 * k; x < 35 * k + 35; ++x) platform::draw_line(x, 0, x, 34, true);
        }
        platform::pixmap* strip = platform::grab_pixmap(0, 0, 280, 35);
        EXPECT_TRUE(platform::save_pixmap_png(strip, "strip.png", 6));
        platform::free_pixmap(strip);
        platform::cls();
        platform::set_color(255, 255, 255);
        platform::set_blend(3);
        return platform::load_anim_image("strip.png", 35, 35, 0, 8, 0);
    }
    // A short silent sound, to see in the sound log when the sphere's sound plays.
    platform::sound* make_sound(const std::string& name) {
        std::vector<uint8_t> wav;
        auto put = [&wav](uint32_t v, int32_t bytes) {
            for (int32_t i = 0; i < bytes; ++i) wav.push_back(static_cast<uint8_t>(v >> (8 * i)));
        };
        auto put32 = [&put](uint32_t v) { put(v, 4); };
        auto put16 = [&put](uint32_t v) { put(v, 2); };
        const uint32_t samples = 200;
        wav.insert(wav.end(), {'R', 'I', 'F', 'F'});
        put32(36 + samples * 2);
        wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
        put32(16);
        put16(1);
        put16(1);
        put32(22050);
        put32(44100);
        put16(2);
        put16(16);
        wav.insert(wav.end(), {'d', 'a', 't', 'a'});
        put32(samples * 2);
        wav.resize(wav.size() + samples * 2, 0);
        std::ofstream(path_in_game(name), std::ios::binary)
            .write(reinterpret_cast<const char*>(wav.data()),
                   static_cast<std::streamsize>(wav.size()));
        return platform::load_sound(name, 0);
    }
};

TEST_F(board_drawing_test, an_empty_board_is_outlined_cell_by_cell) {
    draw_board_and_beams();
    // Cell (0, 0) from (35, 75) to (69, 109); its neighbour's outline stands beside it.
    for (auto [x, y] : {std::pair{35, 75},
                        {69, 75},
                        {35, 109},
                        {69, 109},
                        {52, 75},
                        {70, 92},
                        {699, 564},
                        {35, 564},
                        {52, 110}})
        EXPECT_EQ(pixel(x, y), grid) << x << ", " << y;
    for (auto [x, y] : {std::pair{52, 92}, {36, 76}, {68, 108}, {34, 75}, {700, 300}, {52, 565}})
        EXPECT_EQ(pixel(x, y), black) << x << ", " << y;
    platform::cls();
    fade = 0.5f;
    draw_grid();
    EXPECT_EQ(pixel(35, 75), (colour{20, 20, 20}));
}

TEST_F(board_drawing_test, beams_run_centre_to_centre_and_off_the_edge) {
    board_builder b;
    b.laser_at(2, 5, dir_right, beam_red);
    draw_board_and_beams();
    EXPECT_EQ(pixel(122, 267), red);  // the laser's centre (no picture loaded)
    EXPECT_EQ(pixel(192, 267), red);  // centre of cell (4, 5)
    EXPECT_EQ(pixel(716, 267), red);  // to the centre of the cell beyond the edge
    EXPECT_EQ(pixel(718, 267), black);
    EXPECT_EQ(pixel(192, 268), black);
}

TEST_F(board_drawing_test, the_future_trajectory_is_dashed) {
    board_builder b;
    b.laser_at(2, 5, dir_right, beam_red);
    b.turning_at(6, 5, kind_mirror, 7);
    draw_board_and_beams();
    EXPECT_EQ(pixel(250, 267), red);  // into the turned piece: solid
    // Cell (6, 4) up to cell (6, 3): from y 232, 11 pixels drawn, a gap, then from 209 to 197.
    EXPECT_EQ(pixel(262, 222), red);
    EXPECT_EQ(pixel(262, 220), black);
    EXPECT_EQ(pixel(262, 211), black);
    EXPECT_EQ(pixel(262, 209), red);
}

TEST_F(board_drawing_test, head_on_beams_are_blended_from_one_colour_to_the_other) {
    board_builder b;
    b.laser_at(2, 5, dir_right, beam_red);
    b.laser_at(5, 5, dir_left, beam_blue);  // two cells between: they stop side by side
    draw_board_and_beams();
    // From the centre of (3, 5) at x 157 to that of (4, 5) at x 192.
    EXPECT_EQ(pixel(157, 267), red);
    EXPECT_EQ(pixel(157 + 35, 267), (colour{0, 0, 255}));
    EXPECT_EQ(pixel(157 + 7, 267), (colour{(28 * 255) / 35, 0, (7 * 255) / 35}));
}

// Beams that met in a cell holding a piece above the mirror are blended again in every later
// step, so a beam that passes that piece afterwards leaves the blend on top.
TEST_F(board_drawing_test, a_blend_in_a_prism_stays_over_a_beam_that_passes_later) {
    board_builder b;
    b.put(9, 7, kind_prism, 0);               // stops beams going up or down
    b.laser_at(9, 5, dir_down, beam_red);     // stopped in the prism in step 2
    b.laser_at(9, 9, dir_up, beam_blue);      // likewise: the two meet there
    b.laser_at(5, 7, dir_right, beam_green);  // reaches the prism in step 4 and is bent
    draw_board_and_beams();
    // The green beam leaves from the prism's centre in step 5; the blend, drawn again after
    // it, ends with the colour 18 of 35 of the way from red to blue there.
    EXPECT_EQ(pixel(367, 337), (colour{(17 * 255) / 35, 0, (18 * 255) / 35}));
    EXPECT_EQ(pixel(368, 336), (colour{0, 255, 0}));  // the green beam beyond the centre
}

TEST_F(board_drawing_test, pieces_show_their_frames_and_the_overlay_its_alpha) {
    board_builder b;
    platform::image* strip = make_frame_strip();
    ASSERT_NE(strip, nullptr);
    image_mirror = image_prism = image_double_prism = strip;
    b.put(1, 1, kind_double_prism, 0);   // frame 4
    b.put(2, 1, kind_prism, 6);          // frame 2
    b.turning_at(3, 1, kind_mirror, 5);  // state 9, drawn at 5
    board[4][1].solution_kind = kind_mirror;
    board[4][1].solution_orientation = 3;
    board[1][1].solution_kind = kind_mirror;  // the overlay goes over what the cell holds
    board[1][1].solution_orientation = 7;
    draw_pieces();
    EXPECT_EQ(pixel(52 + 35, 92 + 35), (colour{130, 0, 0}));
    EXPECT_EQ(pixel(52 + 70, 92 + 35), (colour{70, 0, 0}));
    EXPECT_EQ(pixel(52 + 105, 92 + 35), (colour{160, 0, 0}));
    EXPECT_EQ(pixel(52 + 140, 92 + 35), black);  // no overlay at solution_alpha 0

    platform::cls();
    solution_alpha = 128;
    draw_pieces();
    const colour overlay = pixel(52 + 140, 92 + 35);  // frame 3 (100) at 128/255 over black
    EXPECT_NEAR(overlay.r, 100 * 128 / 255, 2);
    const colour over_piece = pixel(52 + 35, 92 + 35);  // frame 7 (220) over frame 4 (130)
    EXPECT_NEAR(over_piece.r, (220 * 128 + 130 * 127) / 255, 2);
    EXPECT_EQ(pixel(10, 10), black);
}

TEST_F(board_drawing_test, frame_counters_advance_one_per_frame) {
    translator_glow_frame = 18;
    wall_spark_frame = 5;
    draw_board_and_beams();
    EXPECT_EQ(translator_glow_frame, 19);
    EXPECT_EQ(wall_spark_frame, 6);
    draw_board_and_beams();
    EXPECT_EQ(translator_glow_frame, 0);
}

TEST_F(board_drawing_test, a_sphere_plays_its_sound_once_each_time_beams_start_to_pass) {
    board_builder b;
    sound_trans = make_sound("trans.wav");
    ASSERT_NE(sound_trans, nullptr);
    b.laser_at(2, 5, dir_right, beam_white);
    b.put(6, 5, kind_green_sphere);
    auto plays = [] {
        int32_t n = 0;
        for (const auto& e : platform::headless::sound_log())
            n += e.started && e.path == "trans.wav";
        return n;
    };
    for (int32_t frame = 0; frame < 5; ++frame) draw_board_and_beams();
    EXPECT_EQ(plays(), 1);
    EXPECT_EQ(board[6][5].state, 1);  // glowing in both drawings of every frame
    laser_sources[0].active = 0;
    draw_board_and_beams();  // the glow runs out in the first drawing
    EXPECT_EQ(board[6][5].state, 0);
    draw_board_and_beams();
    EXPECT_EQ(plays(), 1);
    laser_sources[0].active = 1;
    draw_board_and_beams();
    EXPECT_EQ(plays(), 2);
}

// The drawing trace and the silent one leave the same state behind on random boards.
TEST_F(board_drawing_test, drawing_trace_changes_the_state_as_the_silent_one_does) {
    std::mt19937 rng(7);
    for (int32_t trial = 0; trial < 300; ++trial) {
        board_builder b;
        for (int32_t x = 0; x < board_columns; ++x) {
            for (int32_t y = 0; y < board_rows; ++y) {
                if (rng() % 4 != 0) continue;
                const int32_t kind = static_cast<int32_t>(rng() % 12) + 2;
                b.put(x, y, kind, static_cast<int32_t>(rng() % 8), static_cast<int32_t>(rng() % 7));
                if (kind >= kind_mirror && kind <= kind_double_prism && rng() % 30 == 0) {
                    board[x][y].state = 9;
                    turning = 1;
                    turn_orientation = static_cast<int32_t>(rng() % 8);
                }
            }
        }
        const int32_t lasers = static_cast<int32_t>(rng() % 20) + 1;
        for (int32_t i = 0; i < lasers; ++i)
            b.laser_at(static_cast<int32_t>(rng() % 19), static_cast<int32_t>(rng() % 14),
                       static_cast<int32_t>(rng() % 8), static_cast<int32_t>(rng() % 4));
        const board_globals before = board_vars;
        trace_beams_silent();
        const std::string silent = dump_state();
        board_vars = before;
        message_vars = {};
        trace_beams();
        ASSERT_EQ(dump_state(), silent) << "trial " << trial;
    }
}

}  // namespace

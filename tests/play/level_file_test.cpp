// Level files: the byte layout, what each cell code puts on the board, and loading by name.
#include "play/level_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/game_state.h"
#include "board/board_state.h"
#include "play/play_state.h"
#include "profiles/profiles_state.h"
#include "support/headless_game.h"

namespace {

level_data level_with(std::initializer_list<std::tuple<int32_t, int32_t, int32_t>> cells,
                      std::string text = "A note") {
    level_data level;
    level.text = std::move(text);
    for (const auto& [column, row, code] : cells)
        level.cells[static_cast<size_t>(column)][static_cast<size_t>(row)] = code;
    return level;
}

TEST(level_format, bytes_are_length_note_and_codes_column_by_column) {
    const level_data level = level_with({{0, 0, 121}, {0, 1, 1273}, {1, 0, -2}}, "Hi!");
    const std::vector<uint8_t> bytes = encode_level(level);
    ASSERT_EQ(bytes.size(), 1065u + 3u);
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "Hi!");
    // Cell (0, 0) at offset 4, cell (0, 1) next, cell (1, 0) after the 14 rows of column 0.
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 4, bytes.begin() + 12),
              (std::vector<uint8_t>{121, 0, 0, 0, 0xF9, 0x04, 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 4 + 56, bytes.begin() + 4 + 60),
              (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));

    level_data back;
    std::string why;
    EXPECT_FALSE(parse_level(bytes, back, &why));  // the -2
    EXPECT_EQ(why, "cell (1, 0): negative cell code -2");
    EXPECT_EQ(back.cells[1][0], -2);
    EXPECT_EQ(back.cells[0][1], 1273);
    EXPECT_EQ(back.text, "Hi!");
}

TEST(level_format, a_file_that_ends_early_reads_zeros) {
    level_data level;
    ASSERT_TRUE(parse_level(std::vector<uint8_t>{5, 'a', 'b'}, level));
    EXPECT_EQ(level.text, std::string("ab\0\0\0", 5));
    for (const auto& column : level.cells)
        for (int32_t code : column) EXPECT_EQ(code, 0);

    // Cut inside the cells: the cells present are read, the rest are empty.
    std::vector<uint8_t> bytes = encode_level(level_with({{0, 0, 240}, {0, 2, 675}}, ""));
    bytes.resize(1 + 4 * 2);
    ASSERT_TRUE(parse_level(bytes, level));
    EXPECT_EQ(level.text, "");
    EXPECT_EQ(level.cells[0][0], 240);
    EXPECT_EQ(level.cells[0][2], 0);
    EXPECT_TRUE(parse_level(std::vector<uint8_t>{}, level));  // an empty file is an empty level
}

TEST(level_format, levels_outside_the_data_model_are_refused) {
    struct case_t {
        int32_t code;
        const char* why;  // empty: accepted
    };
    const case_t cases[] = {
        {-1, "negative cell code -1"},
        {1400, "kind 14 above 13"},
        {1399, ""},  // a blue sphere; the low digits of a sphere are ignored
        {104, "laser colour 4 above 3"},
        {173, ""},
        {183, "laser direction 8 above 7"},
        {207, "lamp colour 7 above 6"},
        {296, ""},  // a lamp's orientation digit is ignored
        {570, ""},
        {580, "translator direction 8 above 7"},
        {690, "solution orientation 9 above 7"},
        {979, ""},
        {399, ""},
        {499, ""},
        {9, ""},
    };
    for (const case_t& c : cases) {
        std::string why;
        level_data level;
        const bool ok = parse_level(encode_level(level_with({{4, 7, c.code}})), level, &why);
        EXPECT_EQ(ok, std::string(c.why).empty()) << c.code;
        if (!ok) {
            EXPECT_EQ(why, std::string("cell (4, 7): ") + c.why) << c.code;
        }
    }
}

TEST(level_format, at_most_twenty_lasers) {
    level_data level;
    for (int32_t i = 0; i < 20; ++i)
        level.cells[static_cast<size_t>(i % 19)][static_cast<size_t>(i / 19)] = 100;
    EXPECT_TRUE(parse_level(encode_level(level), level));
    level.cells[5][5] = 120;
    std::string why;
    EXPECT_FALSE(parse_level(encode_level(level), level, &why));
    EXPECT_EQ(why, "cell (18, 0): more than 20 lasers");  // the 21st in file order
}

TEST(level_file, file_names_are_padded_to_three_digits) {
    EXPECT_EQ(level_file_name(0), "Levels\\level.001");
    EXPECT_EQ(level_file_name(9), "Levels\\level.010");
    EXPECT_EQ(level_file_name(98), "Levels\\level.099");
    EXPECT_EQ(level_file_name(99), "Levels\\level.100");
    EXPECT_EQ(level_file_name(119), "Levels\\level.120");
}

TEST(level_file, each_cell_code_fills_its_fields) {
    reset_all_state();
    board[3][3].colour = 77;  // fields a code does not write keep their values
    board[3][3].solution_orientation = 5;
    place_level(level_with({{0, 0, 121},
                            {1, 0, 647},
                            {2, 0, 206},
                            {3, 0, 240},
                            {4, 0, 675},
                            {5, 0, 1273},
                            {6, 0, 123},
                            {7, 0, 560},
                            {8, 0, 399},
                            {9, 0, 498},
                            {3, 3, 0}},
                           "Go"));
    struct expect_t {
        int32_t column, kind, state, colour, solution_kind, solution_orientation;
    };
    // clang-format off
    const expect_t cells[] = {
        {0, kind_laser, 2, 1, 0, 0},     // red laser pointing right
        {1, 0, 0, 0, kind_mirror, 4},    // the 7 is ignored
        {2, kind_lamp, 0, 6, 0, 0},      // violet lamp
        {3, kind_lamp, 0, 0, 0, 0},      // white lamp; the 4 is ignored
        {4, 0, 0, 0, kind_mirror, 7},    // the 5 is ignored
        {5, 0, 0, 0, kind_green_sphere, 0},
        {6, kind_laser, 2, 3, 0, 0},     // blue laser pointing right
        {7, kind_translator, 6, 0, 0, 0},
        {8, kind_bomb, 0, 0, 0, 0},
        {9, kind_wall, 0, 0, 0, 0},
    };
    // clang-format on
    for (const expect_t& e : cells) {
        const point& p = board[e.column][0];
        EXPECT_EQ(p.kind, e.kind) << e.column;
        EXPECT_EQ(p.state, e.state) << e.column;
        EXPECT_EQ(p.colour, e.colour) << e.column;
        EXPECT_EQ(p.solution_kind, e.solution_kind) << e.column;
        EXPECT_EQ(p.solution_orientation, e.solution_orientation) << e.column;
    }
    EXPECT_EQ(board[3][3].colour, 0);  // an empty cell takes its colour digit
    EXPECT_EQ(board[3][3].solution_orientation, 5);
    EXPECT_EQ(piece_stock[kind_mirror], 2);
    EXPECT_EQ(piece_stock[kind_green_sphere], 1);
    EXPECT_EQ(lamp_count, 2);
    EXPECT_EQ(level_text, "Go");
    ASSERT_EQ(laser_source_count, 2);
    EXPECT_EQ(laser_sources[0].x, 0);
    EXPECT_EQ(laser_sources[0].dir, 2);
    EXPECT_EQ(laser_sources[0].colour, 1);
    EXPECT_EQ(laser_sources[0].active, 1);
    EXPECT_EQ(laser_sources[1].x, 6);
    EXPECT_EQ(laser_sources[1].colour, 3);
}

TEST(level_file, lasers_are_numbered_column_by_column_top_to_bottom) {
    reset_all_state();
    place_level(level_with({{5, 9, 100}, {5, 2, 110}, {2, 12, 120}}));
    ASSERT_EQ(laser_source_count, 3);
    EXPECT_EQ(laser_sources[0].x * 100 + laser_sources[0].y, 212);
    EXPECT_EQ(laser_sources[1].x * 100 + laser_sources[1].y, 502);
    EXPECT_EQ(laser_sources[2].x * 100 + laser_sources[2].y, 509);
}

TEST(level_file, reset_board_leaves_nothing_of_the_previous_level) {
    reset_all_state();
    place_level(level_with({{1, 1, 100}, {2, 2, 230}, {3, 3, 950}, {4, 4, 510}, {6, 6, 1100}}));
    board[3][3].kind = kind_double_prism;  // placed by the player
    board[3][3].state = 5;
    message_shown = 1;
    reset_board();
    place_level(level_with({{7, 7, 300}}));
    for (int32_t c = 0; c < board_columns; ++c) {
        for (int32_t r = 0; r < board_rows; ++r) {
            if (c == 7 && r == 7) continue;
            EXPECT_EQ(board[c][r].kind, 0);
            EXPECT_EQ(board[c][r].state, 0);
            EXPECT_EQ(board[c][r].solution_kind, 0);
        }
    }
    EXPECT_EQ(laser_source_count, 0);
    EXPECT_EQ(lamp_count, 0);
    EXPECT_EQ(piece_stock[kind_double_prism], 0);
    EXPECT_EQ(piece_stock[kind_red_sphere], 0);
    EXPECT_EQ(message_shown, 0);
}

class load_level_test : public headless_game_test {
protected:
    void SetUp() override {
        headless_game_test::SetUp();
        // A Levels folder of the test's own, not the built game's.
        levels = std::filesystem::path(game_dir) / "Levels";
        std::filesystem::remove(levels);
        std::filesystem::create_directories(levels);
    }
    void write(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::ofstream(levels / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    std::filesystem::path levels;
};

TEST_F(load_level_test, loads_the_current_level_with_its_scores) {
    write("level.100",
          encode_level(level_with({{2, 5, 123}, {6, 5, 200}, {8, 8, 801}}, "Hundred")));
    current_level = 99;
    level_start_score[99] = 700;
    level_solution_cost[99] = 12;
    final_score = 5;
    solution_alpha = 60;
    explosion_x = 262;
    explosion_y = 267;
    ASSERT_TRUE(load_level());
    EXPECT_EQ(level_text, "Hundred");
    EXPECT_EQ(board[2][5].kind, kind_laser);
    EXPECT_EQ(board[8][8].solution_kind, kind_prism);
    EXPECT_EQ(piece_stock[kind_prism], 1);
    EXPECT_EQ(start_score, 700);
    EXPECT_EQ(solution_cost, 12);
    EXPECT_EQ(final_score, 0);
    EXPECT_EQ(solution_alpha, 0);
    EXPECT_EQ(explosion_x, 0);
    EXPECT_EQ(explosion_y, 0);
}

TEST_F(load_level_test, refused_levels_leave_the_board_empty) {
    struct case_t {
        const char* what;
        std::vector<uint8_t> bytes;  // empty: no file at all
    };
    level_data many_lasers;
    many_lasers.cells[18][13] = 200;
    for (int32_t i = 0; i < 21; ++i)
        many_lasers.cells[static_cast<size_t>(i % 19)][static_cast<size_t>(i / 19)] = 120;
    const case_t cases[] = {
        {"missing", {}},
        {"negative code", encode_level(level_with({{1, 1, 100}, {5, 5, 200}, {3, 3, -100}}))},
        {"kind 14", encode_level(level_with({{1, 1, 100}, {5, 5, 200}, {3, 3, 1400}}))},
        {"21 lasers", encode_level(many_lasers)},
        {"laser colour", encode_level(level_with({{1, 1, 100}, {5, 5, 200}, {3, 3, 124}}))},
        {"lamp colour", encode_level(level_with({{1, 1, 100}, {5, 5, 200}, {3, 3, 207}}))},
        {"laser direction", encode_level(level_with({{1, 1, 100}, {5, 5, 200}, {3, 3, 191}}))},
        {"translator direction", encode_level(level_with({{1, 1, 100}, {5, 5, 200}, {3, 3, 580}}))},
        // Nothing to light: it would count as won the moment it opened.
        {"no lamp", encode_level(level_with({{1, 1, 120}, {3, 3, 600}}))},
        {"empty file", {0}},
    };
    const level_data good = level_with({{0, 0, 100}, {1, 0, 200}, {2, 0, 600}});
    for (const case_t& c : cases) {
        // A level was on the board before: a refused one must not mix with it.
        reset_all_state();
        place_level(good);
        std::filesystem::remove(levels / "level.004");
        if (!c.bytes.empty()) write("level.004", c.bytes);
        current_level = 3;
        EXPECT_FALSE(load_level()) << c.what;
        for (const auto& column : board)
            for (const point& p : column)
                EXPECT_TRUE(p.kind == 0 && p.solution_kind == 0) << c.what;
        EXPECT_EQ(laser_source_count, 0) << c.what;
        EXPECT_EQ(lamp_count, 0) << c.what;
        EXPECT_EQ(piece_stock[kind_mirror], 0) << c.what;
        EXPECT_EQ(level_text, "") << c.what;
    }
    current_level = 120;  // no such level
    EXPECT_FALSE(load_level());
}

}  // namespace

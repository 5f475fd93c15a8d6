// Level and solution codes: exact round trips of the shipped levels, and refusal of every kind
// of damaged, cut, foreign or newer code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "board/piece_kinds.h"
#include "play/level_code.h"

namespace {

std::vector<uint8_t> shipped_file(int32_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "/Levels/level.%03d", index + 1);
    std::ifstream in(std::string(BEAMWORKS_GAME_DIR) + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

level_data shipped_level(int32_t index) {
    level_data level;
    EXPECT_TRUE(parse_level(shipped_file(index), level)) << index;
    return level;
}

// A small level: a red laser, a red lamp, a wall, a mirror and a red sphere as its solution.
level_data small_level() {
    level_data level;
    level.text = "Two pieces.";
    level.cells[1][1] = level_cell_code(kind_laser, dir_right, beam_red);
    level.cells[5][4] = level_cell_code(kind_lamp, 0, lamp_red);
    level.cells[7][7] = level_cell_code(kind_wall, 0, 0);
    level.cells[5][1] = level_cell_code(kind_mirror, 3, 0);
    level.cells[3][1] = level_cell_code(kind_red_sphere, 0, 0);
    return level;
}

std::string reason_of_level(std::string_view code) {
    level_data level;
    std::string why;
    EXPECT_FALSE(decode_level_code(code, level, &why)) << code;
    return why;
}

}  // namespace

TEST(level_code, every_shipped_level_comes_back_byte_for_byte) {
    size_t longest = 0;
    for (int32_t index = 0; index < 120; ++index) {
        const std::vector<uint8_t> bytes = shipped_file(index);
        ASSERT_FALSE(bytes.empty()) << index;
        level_data level;
        ASSERT_TRUE(parse_level(bytes, level)) << index;
        const std::string code = encode_level_code(level);
        longest = std::max(longest, code.size());
        level_data back;
        std::string why;
        ASSERT_TRUE(decode_level_code(code, back, &why)) << index << ": " << why;
        EXPECT_EQ(encode_level(back), bytes) << index;
    }
    // One line that a chat or mail window keeps whole.
    EXPECT_LT(longest, 600u);
    std::printf("longest shipped level code: %zu characters\n", longest);
}

TEST(level_code, form_is_prefix_then_base64url) {
    const std::string code = encode_level_code(small_level());
    ASSERT_EQ(code.substr(0, 4), "BW1-");
    for (char c : code.substr(4))
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') << c;
    // Every digit of every cell code travels: ignored digits too, and codes up to the largest kind.
    level_data odd;
    odd.cells[0][0] = 245;  // a white lamp with an orientation digit the game ignores
    odd.cells[18][13] = 1399;
    odd.cells[9][6] = 675;  // a mirror with a colour digit
    odd.text = std::string("\0\xff\n", 3);
    level_data back;
    ASSERT_TRUE(decode_level_code(encode_level_code(odd), back));
    EXPECT_EQ(encode_level(back), encode_level(odd));
    // The empty level is a code too.
    ASSERT_TRUE(decode_level_code(encode_level_code(level_data{}), back));
    EXPECT_EQ(encode_level(back), encode_level(level_data{}));
}

TEST(level_code, blanks_line_breaks_and_the_prefix_case_are_tolerated) {
    const level_data level = small_level();
    const std::string code = encode_level_code(level);
    std::string mailed = "  \r\n";
    for (size_t i = 0; i < code.size(); ++i) {
        mailed.push_back(code[i]);
        if (i % 7 == 6) mailed += (i % 2 ? "\r\n" : " \t");
    }
    mailed += "\n\n";
    level_data back;
    std::string why;
    ASSERT_TRUE(decode_level_code(mailed, back, &why)) << why;
    EXPECT_EQ(encode_level(back), encode_level(level));
    ASSERT_TRUE(decode_level_code("bw1-" + code.substr(4), back, &why)) << why;
}

TEST(level_code, foreign_newer_cut_and_empty_codes_are_refused_with_a_reason) {
    const std::string code = encode_level_code(small_level());
    EXPECT_EQ(reason_of_level(""), "There is no level code to read.");
    EXPECT_EQ(reason_of_level(" \n "), "There is no level code to read.");
    EXPECT_EQ(reason_of_level("hello"), "This is not a Beamworks level code.");
    EXPECT_EQ(reason_of_level("XW1-" + code.substr(4)), "This is not a Beamworks level code.");
    EXPECT_EQ(reason_of_level("BW0-" + code.substr(4)), "This is not a Beamworks level code.");
    EXPECT_EQ(reason_of_level("BW1" + code.substr(4)), "This is not a Beamworks level code.");
    EXPECT_EQ(reason_of_level("BW2-" + code.substr(4)), "This level code needs a newer Beamworks.");
    EXPECT_EQ(reason_of_level("BW17-AAAA"), "This level code needs a newer Beamworks.");
    const std::string solution = encode_solution_code(small_level(), {});
    EXPECT_EQ(reason_of_level(solution), "This is a solution code, not a level code.");
    EXPECT_EQ(reason_of_level("BW1-"), "This level code is damaged or incomplete.");
    for (size_t keep = 4; keep < code.size(); ++keep)
        EXPECT_FALSE(reason_of_level(code.substr(0, keep)).empty()) << keep;
    EXPECT_EQ(reason_of_level(code + "A"), "This level code is damaged or incomplete.");
    EXPECT_EQ(reason_of_level(code + "AA"), "This level code is damaged or incomplete.");
    EXPECT_EQ(reason_of_level(code.substr(0, 10) + "=" + code.substr(10)),
              "This level code is damaged or incomplete.");
}

TEST(level_code, every_single_character_change_is_refused) {
    // The checksum sees any change of up to 32 bits in a row, and one character is 6 bits:
    // no changed character of a real level's code gets through, in the prefix or the body.
    const std::string alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_=+/.!";
    for (int32_t index : {0, 57, 119}) {
        const std::string code = encode_level_code(shipped_level(index));
        int32_t accepted = 0;
        for (size_t at = 0; at < code.size(); ++at) {
            for (char c : alphabet) {
                if (c == code[at]) continue;
                std::string changed = code;
                changed[at] = c;
                level_data level;
                if (!decode_level_code(changed, level)) continue;
                // Only the prefix's letter case may change and still read the same level.
                ++accepted;
                EXPECT_LT(at, 2u) << index << " at " << at << " to " << c;
                EXPECT_EQ(encode_level(level), encode_level(shipped_level(index)));
            }
        }
        EXPECT_LE(accepted, 2) << index;
    }
}

TEST(level_code, a_level_outside_the_game_is_refused_even_with_a_good_checksum) {
    level_data level = small_level();
    level.cells[2][2] = 1400;  // kind 14
    std::string why;
    level_data back;
    EXPECT_FALSE(decode_level_code(encode_level_code(level), back, &why));
    EXPECT_EQ(why,
              "This level code holds a level the game cannot play: cell (2, 2): kind 14 above 13.");
}

TEST(solution_code, the_stored_solution_of_every_shipped_level_comes_back) {
    size_t longest = 0;
    for (int32_t index = 0; index < 120; ++index) {
        const level_data level = shipped_level(index);
        const std::vector<placed_piece> pieces = level_solution_pieces(level);
        const std::string code = encode_solution_code(level, pieces);
        longest = std::max(longest, code.size());
        std::vector<placed_piece> back;
        std::string why;
        ASSERT_TRUE(decode_solution_code(code, level, back, &why)) << index << ": " << why;
        EXPECT_EQ(back, pieces) << index;
    }
    EXPECT_LT(longest, 60u);
    std::printf("longest shipped solution code: %zu characters\n", longest);
}

TEST(solution_code, pieces_are_kept_in_cell_order_and_spheres_do_not_turn) {
    const level_data level = small_level();
    const std::vector<placed_piece> scrambled = {{5, 1, kind_mirror, 6},
                                                 {3, 1, kind_red_sphere, 2}};
    std::vector<placed_piece> back;
    ASSERT_TRUE(decode_solution_code(encode_solution_code(level, scrambled), level, back));
    const std::vector<placed_piece> expected = {{3, 1, kind_red_sphere, 0}, {5, 1, kind_mirror, 6}};
    EXPECT_EQ(back, expected);
    // Fewer pieces than the stock is a solution too (and no piece at all a code).
    ASSERT_TRUE(decode_solution_code(encode_solution_code(level, {}), level, back));
    EXPECT_TRUE(back.empty());
}

TEST(solution_code, a_code_for_another_level_or_that_does_not_fit_is_refused) {
    const level_data level = small_level();
    const std::string code = encode_solution_code(level, level_solution_pieces(level));
    std::vector<placed_piece> back;
    std::string why;

    // Another board: a lamp moved; another stock: one more mirror.
    level_data moved = level;
    moved.cells[5][4] = 0;
    moved.cells[5][5] = level_cell_code(kind_lamp, 0, lamp_red);
    EXPECT_FALSE(decode_solution_code(code, moved, back, &why));
    EXPECT_EQ(why, "This solution is for another level.");
    level_data more = level;
    more.cells[9][9] = level_cell_code(kind_mirror, 0, 0);
    EXPECT_FALSE(decode_solution_code(code, more, back, &why));
    EXPECT_EQ(why, "This solution is for another level.");

    // The note and where the stored solution stands do not make another level.
    level_data renoted = level;
    renoted.text = "Another note.";
    renoted.cells[5][1] = 0;
    renoted.cells[6][2] = level_cell_code(kind_mirror, 1, 0);
    EXPECT_TRUE(decode_solution_code(code, renoted, back, &why)) << why;

    // Pieces on a fixed piece, two on one cell, more than the stock: refused.
    for (const auto& pieces :
         {std::vector<placed_piece>{{5, 4, kind_mirror, 0}},
          std::vector<placed_piece>{{2, 2, kind_mirror, 0}, {2, 2, kind_red_sphere, 0}},
          std::vector<placed_piece>{{2, 2, kind_mirror, 0}, {2, 3, kind_mirror, 0}},
          std::vector<placed_piece>{{2, 2, kind_prism, 0}}}) {
        EXPECT_FALSE(decode_solution_code(encode_solution_code(level, pieces), level, back, &why));
        EXPECT_EQ(why, "This solution code does not fit this level.");
    }

    EXPECT_FALSE(decode_solution_code(encode_level_code(level), level, back, &why));
    EXPECT_EQ(why, "This is a level code, not a solution code.");
    EXPECT_FALSE(decode_solution_code("BWS9-AAAAAAAA", level, back, &why));
    EXPECT_EQ(why, "This solution code needs a newer Beamworks.");
    for (size_t at = 5; at < code.size(); ++at) {
        std::string changed = code;
        changed[at] = changed[at] == 'A' ? 'B' : 'A';
        EXPECT_FALSE(decode_solution_code(changed, level, back, &why)) << at;
        EXPECT_FALSE(decode_solution_code(code.substr(0, at), level, back, &why)) << at;
    }
}

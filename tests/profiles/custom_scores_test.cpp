// The custom levels' best scores: the text of their file, and the file kept per player apart
// from the progress files, through damage and a refusing disk.
#include "profiles/custom_scores.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "board/board_state.h"
#include "play/level_code.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_state.h"
#include "support/headless_game.h"

namespace fs = std::filesystem;

namespace {

level_data custom_level(int32_t lamp_column) {
    level_data level;
    level.text = "Mine.";
    level.cells[0][0] = level_cell_code(kind_laser, dir_right, beam_white);
    level.cells[static_cast<size_t>(lamp_column)][3] = level_cell_code(kind_lamp, 0, lamp_white);
    level.cells[4][0] = level_cell_code(kind_mirror, 4, 0);
    return level;
}

std::string read_text(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class custom_scores_test : public headless_game_test {
protected:
    void SetUp() override {
        headless_game_test::SetUp();
        create_profile("Ann");
        create_profile("Bob");
        current_profile = 0;
    }
    fs::path file_of(const std::string& name) const {
        return fs::path(game_dir) / "users" / name / "custom_scores.txt";
    }
};

}  // namespace

TEST(custom_scores_format, lines_of_key_and_score_and_damaged_lines_skipped) {
    const custom_score_table table = {{0x00000001u, 500}, {0xdeadbeefu, 0}, {0xffffffffu, 1234}};
    const std::string text = format_custom_scores(table);
    EXPECT_EQ(text, "00000001 500\ndeadbeef 0\nffffffff 1234\n");
    EXPECT_EQ(parse_custom_scores(text), table);
    // A line cut short, a bad key, a negative or overflowing score, trailing words, a missing
    // space are skipped; a key twice keeps its better score; CR LF line ends are read.
    const custom_score_table read = parse_custom_scores(
        "0000000a 10\r\n0000000b\n0000000c -5\nzzzzzzzz 7\n0000000d 99999999999\n"
        "0000000e 3 x\n0000000f12\n0000000a 30\n0000000a 20\n\n\x01\xff garbage");
    EXPECT_EQ(read, (custom_score_table{{0x0au, 30}}));
    EXPECT_TRUE(parse_custom_scores("").empty());
}

TEST_F(custom_scores_test, a_best_score_is_kept_per_player_and_level_apart_from_progress) {
    const fs::path scores = fs::path(game_dir) / "users" / "Ann" / "level_score.all";
    const std::string progress_before = read_text(scores);
    const level_data first = custom_level(4);
    const level_data second = custom_level(6);
    EXPECT_EQ(custom_best_score(first), -1);

    EXPECT_TRUE(record_custom_score(first, 700));
    EXPECT_TRUE(record_custom_score(first, 650));  // not better: kept as it was
    EXPECT_TRUE(record_custom_score(second, 90));
    EXPECT_EQ(custom_best_score(first), 700);
    EXPECT_EQ(custom_best_score(second), 90);
    EXPECT_TRUE(record_custom_score(first, 710));
    EXPECT_EQ(custom_best_score(first), 710);

    // Another note and another place for the stored solution: the same puzzle, the same score.
    level_data renoted = first;
    renoted.text = "Mine, mended.";
    renoted.cells[4][0] = 0;
    renoted.cells[4][1] = level_cell_code(kind_mirror, 2, 0);
    EXPECT_EQ(custom_best_score(renoted), 710);

    EXPECT_EQ(read_text(scores), progress_before);
    EXPECT_EQ(read_text(file_of("Ann")).size(), 13u + 12u);  // "<key> 710\n", "<key> 90\n"
    current_profile = 1;
    EXPECT_EQ(custom_best_score(first), -1);
    EXPECT_FALSE(fs::exists(file_of("Bob")));
}

TEST_F(custom_scores_test, a_damaged_file_is_an_empty_store_and_is_mended_by_the_next_win) {
    const level_data level = custom_level(4);
    for (const std::string& damage :
         {std::string("\0\0\0\0\0\0\0", 7), std::string(5000, 'x'), std::string("12345678\n")}) {
        std::ofstream(file_of("Ann"), std::ios::binary | std::ios::trunc) << damage;
        EXPECT_EQ(custom_best_score(level), -1);
        EXPECT_TRUE(record_custom_score(level, 40));
        EXPECT_EQ(custom_best_score(level), 40);
        fs::remove(file_of("Ann"));
    }
    // A file far too large for a list of scores is not read at all.
    {
        std::ofstream big(file_of("Ann"), std::ios::binary);
        big.seekp((1 << 20) + 10);
        big.put('\n');
    }
    EXPECT_EQ(custom_best_score(level), -1);
}

TEST_F(custom_scores_test, without_a_player_or_a_writable_folder_nothing_is_stored) {
    const level_data level = custom_level(4);
    EXPECT_FALSE(record_custom_score(level, -1));
    current_profile = 5;  // no such player
    EXPECT_EQ(custom_scores_path(), "");
    EXPECT_FALSE(record_custom_score(level, 10));
    EXPECT_EQ(custom_best_score(level), -1);

    // A damaged list naming a path: never a file outside the player's folder.
    current_profile = 0;
    profile_names[0] = "../escape";
    EXPECT_EQ(custom_scores_path(), "");
    EXPECT_FALSE(record_custom_score(level, 10));
    EXPECT_FALSE(fs::exists(fs::path(game_dir) / "escape"));

    // The file's place taken by a folder: refused, the folder untouched.
    profile_names[0] = "Ann";
    fs::create_directories(file_of("Ann"));
    EXPECT_FALSE(record_custom_score(level, 10));
    EXPECT_TRUE(fs::is_directory(file_of("Ann")));
    EXPECT_EQ(custom_best_score(level), -1);
}

// Files as the game sees them: byte layouts of streams, reads past the end, path spelling,
// the data folder, safe rewrites and deleting folders.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/platform.h"
#include "support/headless_game.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> bytes_of(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

using files_test = headless_game_test;

TEST_F(files_test, streams_write_exact_little_endian_bytes) {
    platform::stream* s = platform::open_write("users\\bytes.bin");
    ASSERT_NE(s, nullptr);
    platform::write_string(s, "Hello");
    platform::write_string(s, "");
    platform::write_string(s, std::string("\xE9\x00", 2));  // codes 233 and 0, one byte each
    platform::write_int(s, -2);
    platform::write_int(s, 0x01020304);
    platform::write_byte(s, 0x1FF);  // the low 8 bits
    platform::close_stream(s);
    const std::vector<uint8_t> expected = {'H',  'e',  'l',  'l',  'o',  0xE9, 0x00, 0xFE,
                                           0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01, 0xFF};
    EXPECT_EQ(bytes_of(path_in_game("users/bytes.bin")), expected);
}

TEST_F(files_test, reads_at_or_past_the_end_give_zeros) {
    write_bytes(path_in_game("users/short.bin"), {0x2A, 0x01, 0x02, 'a', 'b', 'c'});
    platform::stream* s = platform::open_read("users\\short.bin");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(platform::read_byte(s), 0x2A);
    EXPECT_EQ(platform::read_int(s), 0x62610201);
    EXPECT_EQ(platform::read_string(s, 3), std::string("c\0\0", 3));
    EXPECT_TRUE(platform::end_of_stream(s));
    EXPECT_EQ(platform::read_byte(s), 0);
    EXPECT_EQ(platform::read_int(s), 0);
    EXPECT_EQ(platform::read_string(s, 2), std::string(2, '\0'));
    platform::close_stream(s);

    write_bytes(path_in_game("users/three.bin"), {0x01, 0x02, 0x03});
    s = platform::open_read("users\\three.bin");
    EXPECT_EQ(platform::read_int(s), 0x030201);  // the missing fourth byte reads as 0
    platform::close_stream(s);
    // No stream at all reads as an empty file.
    EXPECT_EQ(platform::read_int(nullptr), 0);
}

TEST_F(files_test, signed_values_read_back_as_written) {
    platform::stream* s = platform::open_write("users\\ints.bin");
    for (int32_t v : {0, 1, -1, INT32_MIN, INT32_MAX, 1234567}) platform::write_int(s, v);
    platform::close_stream(s);
    s = platform::open_read("users\\ints.bin");
    for (int32_t v : {0, 1, -1, INT32_MIN, INT32_MAX, 1234567}) EXPECT_EQ(platform::read_int(s), v);
    EXPECT_TRUE(platform::end_of_stream(s));
    platform::close_stream(s);
}

TEST_F(files_test, what_cannot_be_opened_gives_no_stream) {
    EXPECT_EQ(platform::open_read("users\\missing.dat"), nullptr);
    EXPECT_EQ(platform::open_read("users"), nullptr);  // a folder is not a file
    EXPECT_EQ(platform::open_write("no_such_folder\\x.dat"), nullptr);
}

TEST_F(files_test, a_path_component_is_matched_ignoring_letter_case_when_not_exact) {
    // A folder of this test's own: the content folders of the scratch game are links to the
    // built game, which a test must never write into.
    fs::create_directories(path_in_game("Packs"));
    write_bytes(path_in_game("Packs/pack.001"), {7});
    EXPECT_EQ(platform::file_type("Packs\\pack.001"), 1);
    EXPECT_EQ(platform::file_type("packs\\PACK.001"), 1);
    EXPECT_EQ(platform::file_type("PACKS"), 2);
    EXPECT_EQ(platform::resolve_path("packs\\Pack.001"), path_in_game("Packs/pack.001"));
    platform::stream* s = platform::open_read("packs\\pack.001");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(platform::read_byte(s), 7);
    platform::close_stream(s);
    // The exact spelling wins when both exist.
    fs::create_directories(path_in_game("Data"));
    fs::create_directories(path_in_game("data"));
    EXPECT_EQ(platform::resolve_path("data\\x"), path_in_game("data/x"));
    EXPECT_EQ(platform::resolve_path("Data\\x"), path_in_game("Data/x"));
    // A file that is not there yet keeps the spelling it was asked for, below the folder found.
    EXPECT_EQ(platform::resolve_path("PACKS\\New.dat"), path_in_game("Packs/New.dat"));
    EXPECT_EQ(platform::file_type("packs\\pack.002"), 0);
}

TEST_F(files_test, players_and_screenshots_can_live_in_a_separate_data_folder) {
    const fs::path data = fs::path(game_dir) / "elsewhere";
    fs::create_directories(data / "users");
    platform::set_data_dir(data.string());
    EXPECT_EQ(platform::resolve_path("users\\profiles.dat"),
              (data / "users/profiles.dat").string());
    EXPECT_EQ(platform::resolve_path("screens\\screen0.bmp"),
              (data / "screens/screen0.bmp").string());
    EXPECT_EQ(platform::resolve_path("images\\laser.png"), path_in_game("images/laser.png"));
    // The players' own levels live there too, their names matched exactly as players' are.
    fs::create_directories(data / "custom");
    std::ofstream(data / "custom/First.level") << "x";
    EXPECT_EQ(platform::resolve_path("custom\\First.level"),
              (data / "custom/First.level").string());
    EXPECT_EQ(platform::file_type("custom\\first.level"), 0);
}

TEST_F(files_test, listing_tells_files_from_folders_and_links) {
    fs::create_directories(path_in_game("custom/folder.level"));
    std::ofstream(path_in_game("custom/b.level")) << "x";
    std::ofstream(path_in_game("custom/a.level")) << "x";
    fs::create_symlink(path_in_game("custom/a.level"), path_in_game("custom/link.level"));
    EXPECT_EQ(platform::list_files("custom"), (std::vector<std::string>{"a.level", "b.level"}));
    EXPECT_EQ(platform::list_folders("custom"), (std::vector<std::string>{"folder.level"}));
    EXPECT_TRUE(platform::list_files("nowhere").empty());
}

TEST_F(files_test, a_whole_file_is_replaced_safely) {
    fs::create_directories(path_in_game("users/ann"));
    ASSERT_TRUE(platform::write_file_atomic("users\\ann\\score.all", {1, 2, 3}));
    ASSERT_TRUE(platform::write_file_atomic("users\\ann\\score.all", {9, 8}));
    std::vector<uint8_t> back;
    ASSERT_TRUE(platform::read_file("users\\ann\\score.all", back));
    EXPECT_EQ(back, (std::vector<uint8_t>{9, 8}));
    // Only the file itself is left in the folder, no temporary beside it.
    EXPECT_EQ(
        std::distance(fs::directory_iterator(path_in_game("users/ann")), fs::directory_iterator()),
        1);
    EXPECT_FALSE(platform::write_file_atomic("users\\nobody\\score.all", {1}));
    EXPECT_FALSE(platform::read_file("users\\nobody\\score.all", back));
}

// A save killed before its rename leaves its temporary behind; the next save of that file
// clears it, but not a temporary of a game that is still running, nor other files.
TEST_F(files_test, a_save_clears_the_temporaries_of_killed_saves) {
    fs::create_directories(path_in_game("users/ann"));
    const pid_t dead = [] {
        const pid_t child = fork();
        if (child == 0) _exit(0);
        waitpid(child, nullptr, 0);
        return child;
    }();
    const std::string file = path_in_game("users/ann/score.all");
    const std::vector<std::string> kept = {
        file + ".tmp1", path_in_game("users/ann/access.all.tmp") + std::to_string(dead),
        file + ".tmpx" + std::to_string(dead), file + ".tmp"};
    for (const std::string& name : kept) std::ofstream(name) << "x";
    std::ofstream(file + ".tmp" + std::to_string(dead)) << "half a save";
    ASSERT_TRUE(platform::write_file_atomic("users\\ann\\score.all", {7}));
    EXPECT_FALSE(fs::exists(file + ".tmp" + std::to_string(dead)));
    for (const std::string& name : kept) EXPECT_TRUE(fs::exists(name)) << name;
}

TEST_F(files_test, folders_are_made_and_told_apart_from_files) {
    EXPECT_TRUE(platform::create_dir("users\\bob\\deep", true));
    EXPECT_EQ(platform::file_type("users\\bob\\deep"), 2);
    EXPECT_FALSE(platform::create_dir("users\\carl\\deep", false));
    EXPECT_TRUE(platform::create_dir("users\\carl", false));
    EXPECT_EQ(platform::file_type("users\\carl"), 2);
    EXPECT_EQ(platform::file_type("users\\nobody"), 0);
}

TEST_F(files_test, deleting_a_folder_never_follows_a_link_out_of_it) {
    const fs::path outside = fs::path(game_dir) / "outside";
    fs::create_directories(outside / "keep");
    write_bytes((outside / "precious.dat").string(), {1});
    fs::create_directories(path_in_game("users/eve/sub"));
    write_bytes(path_in_game("users/eve/sub/a.dat"), {1});
    fs::create_directory_symlink(outside, path_in_game("users/eve/link_to_folder"));
    fs::create_symlink(outside / "precious.dat", path_in_game("users/eve/link_to_file"));
    EXPECT_TRUE(platform::delete_dir("users\\eve", true));
    EXPECT_EQ(platform::file_type("users\\eve"), 0);
    EXPECT_TRUE(fs::exists(outside / "precious.dat"));
    EXPECT_TRUE(fs::exists(outside / "keep"));
    // A player folder that is itself a link: the link goes, its target stays.
    fs::create_directory_symlink(outside, path_in_game("users/mallory"));
    EXPECT_TRUE(platform::delete_dir("users\\mallory", true));
    EXPECT_FALSE(fs::exists(fs::symlink_status(path_in_game("users/mallory"))));
    EXPECT_TRUE(fs::exists(outside / "precious.dat"));
    // Without recurse only an empty folder goes.
    fs::create_directories(path_in_game("users/full/x"));
    EXPECT_FALSE(platform::delete_dir("users\\full", false));
    EXPECT_TRUE(platform::delete_dir("users\\full\\x", false));
}

TEST_F(files_test, writing_never_follows_a_link_out_of_the_folder) {
    const fs::path outside = fs::path(game_dir) / "outside";
    fs::create_directories(outside);
    write_bytes((outside / "precious.dat").string(), {7, 7});
    fs::create_directories(path_in_game("users/ann"));

    // A link planted at the name of this process's temporary file: the save replaces the
    // player's file and the link's target stays as it was.
    const std::string temp = "users/ann/level_score.all.tmp" + std::to_string(getpid());
    fs::create_symlink(outside / "precious.dat", path_in_game(temp));
    EXPECT_TRUE(platform::write_file_atomic("users\\ann\\level_score.all", {1, 2, 3}));
    EXPECT_EQ(bytes_of((outside / "precious.dat").string()), (std::vector<uint8_t>{7, 7}));
    EXPECT_EQ(bytes_of(path_in_game("users/ann/level_score.all")), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_FALSE(fs::exists(fs::symlink_status(path_in_game(temp))));

    // A link at the file's own name is replaced, not written through.
    fs::create_symlink(outside / "precious.dat", path_in_game("users/ann/solution.all"));
    EXPECT_TRUE(platform::write_file_atomic("users\\ann\\solution.all", {4}));
    EXPECT_FALSE(fs::is_symlink(path_in_game("users/ann/solution.all")));
    EXPECT_EQ(bytes_of((outside / "precious.dat").string()), (std::vector<uint8_t>{7, 7}));

    // A player's folder that is a link leads nowhere: nothing is written.
    fs::create_directory_symlink(outside, path_in_game("users/mallory"));
    EXPECT_FALSE(platform::write_file_atomic("users\\mallory\\level_score.all", {1}));
    EXPECT_FALSE(fs::exists(outside / "level_score.all"));

    // Nor does a stream open through a link.
    fs::create_symlink(outside / "precious.dat", path_in_game("users/ann/stream.dat"));
    EXPECT_EQ(platform::open_write("users\\ann\\stream.dat"), nullptr);
    EXPECT_EQ(bytes_of((outside / "precious.dat").string()), (std::vector<uint8_t>{7, 7}));
}

TEST_F(files_test, a_file_larger_than_its_reader_allows_is_not_read) {
    {
        std::ofstream out(path_in_game("users/big.dat"), std::ios::binary);
        out.put(1);
    }
    fs::resize_file(path_in_game("users/big.dat"), 4096);
    std::vector<uint8_t> bytes;
    EXPECT_FALSE(platform::read_file("users\\big.dat", bytes, 4095));
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(platform::read_file("users\\big.dat", bytes, 4096));
    EXPECT_EQ(bytes.size(), 4096u);
    EXPECT_EQ(bytes[0], 1);
}

}  // namespace

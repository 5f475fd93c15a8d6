// Where the players' files go: beside the game when it is writable, else the player's folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/platform.h"

namespace {

struct data_dir_case {
    bool writable;
    const char* xdg;
    const char* home;
    const char* expected;
};

TEST(data_dir, rule_table) {
    const data_dir_case cases[] = {
        {true, "/x/data", "/home/ann", "/opt/game"},
        {true, nullptr, nullptr, "/opt/game"},
        {false, "/x/data", "/home/ann", "/x/data/beamworks"},
        {false, nullptr, "/home/ann", "/home/ann/.local/share/beamworks"},
        {false, "", "/home/ann", "/home/ann/.local/share/beamworks"},
        // A relative XDG_DATA_HOME is not a data folder at all.
        {false, "relative/data", "/home/ann", "/home/ann/.local/share/beamworks"},
        {false, nullptr, nullptr, "/opt/game"},
        {false, nullptr, "", "/opt/game"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::data_dir_rule("/opt/game", c.writable, c.xdg, c.home), c.expected)
            << "writable " << c.writable << " xdg " << (c.xdg ? c.xdg : "(unset)") << " home "
            << (c.home ? c.home : "(unset)");
    }
}

// A game folder the player can write to keeps "users" and "screens" beside the executable,
// and both exist afterwards so that the first screenshot and the first player can be saved.
TEST(data_dir, writable_game_folder_keeps_its_files_and_gains_the_folders) {
    const std::filesystem::path game =
        std::filesystem::path(BEAMWORKS_BINARY_DIR) / "test_scratch" / "data_dir_writable";
    std::filesystem::remove_all(game);
    std::filesystem::create_directories(game);
    EXPECT_EQ(platform::choose_data_dir(game.string()), game.string());
    EXPECT_TRUE(std::filesystem::is_directory(game / "users"));
    EXPECT_TRUE(std::filesystem::is_directory(game / "screens"));
    std::filesystem::remove_all(game);
}

std::string contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void put(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A game folder the player cannot write to: its players move with the data folder rather than
// vanish. (The test runs as any user: a "screens" the game cannot enter makes the folder
// count as unwritable, as a read-only one does.)
TEST(data_dir, players_of_an_unwritable_game_folder_come_along_to_the_data_folder) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(BEAMWORKS_BINARY_DIR) / "test_scratch" / "data_dir_players";
    fs::remove_all(root);
    const fs::path game = root / "game";
    const fs::path outside = root / "outside.txt";
    put(game / "users" / "profiles.dat", std::string("\x01\x03"
                                                     "Ann",
                                                     5));
    put(game / "users" / "Ann" / "level_score.all", "scores");
    put(game / "users" / "Ann" / "solution.all", "costs");
    put(outside, "not a player's");
    fs::create_symlink(outside, game / "users" / "Ann" / "pack_access.all");
    put(game / "screens", "");
    fs::permissions(game / "screens", fs::perms::owner_read | fs::perms::owner_write);

    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string saved_value = saved ? saved : "";
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    const std::string chosen = platform::choose_data_dir(game.string());
    const fs::path data = root / "data" / "beamworks";
    EXPECT_EQ(chosen, data.string());
    EXPECT_EQ(contents(data / "users" / "profiles.dat"), std::string("\x01\x03"
                                                                     "Ann",
                                                                     5));
    EXPECT_EQ(contents(data / "users" / "Ann" / "level_score.all"), "scores");
    EXPECT_EQ(contents(data / "users" / "Ann" / "solution.all"), "costs");
    // A link is not a player's file: it is not copied.
    EXPECT_FALSE(fs::exists(fs::symlink_status(data / "users" / "Ann" / "pack_access.all")));

    // Once only: the data folder's players are its own from then on.
    put(data / "users" / "Ann" / "level_score.all", "played on");
    put(game / "users" / "Ann" / "level_score.all", "old");
    platform::choose_data_dir(game.string());
    EXPECT_EQ(contents(data / "users" / "Ann" / "level_score.all"), "played on");

    if (saved) {
        setenv("XDG_DATA_HOME", saved_value.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
    fs::remove_all(root);
}

// An installed game's folder belongs to the package: even when it can be written (the game run
// by root), the players' files go to the data folder and nothing is made in the game's folder.
TEST(data_dir, an_installed_game_keeps_players_in_the_data_folder_even_when_writable) {
    const std::filesystem::path scratch =
        std::filesystem::path(BEAMWORKS_BINARY_DIR) / "test_scratch" / "data_dir_installed";
    std::filesystem::remove_all(scratch);
    std::filesystem::create_directories(scratch / "share" / "games" / "beamworks");
    const std::filesystem::path game = scratch / "share" / "games" / "beamworks";
    const char* kept = std::getenv("XDG_DATA_HOME");
    const std::string kept_value = kept ? kept : "";
    setenv("XDG_DATA_HOME", (scratch / "data").c_str(), 1);
    const std::string chosen = platform::choose_data_dir(game.string(), true);
    if (kept) {
        setenv("XDG_DATA_HOME", kept_value.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
    EXPECT_EQ(chosen, (scratch / "data" / "beamworks").string());
    EXPECT_TRUE(std::filesystem::is_directory(scratch / "data" / "beamworks" / "users"));
    EXPECT_FALSE(std::filesystem::exists(game / "users"));
    EXPECT_FALSE(std::filesystem::exists(game / "screens"));
    std::filesystem::remove_all(scratch);
}

}  // namespace

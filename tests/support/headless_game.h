// The fixture of every test that needs the game: a scratch game folder, the headless
// platform started on it, and the whole game state reset.
//
// The scratch folder is <build>/test_scratch/<suite>.<test>: images, Sounds, font and Levels
// are links to the built game folder (when it has them), users and screens start empty. It
// is removed after a passing test and kept after a failing one, to look at.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

class headless_game_test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // n passes of the main loop, as the game runs them.
    void run_passes(int32_t n);
    // The pictures, the three bitmap fonts and the sounds, as start-up loads them (which also
    // starts the music).
    void load_content();
    // A path inside the scratch folder, from a path relative to it ("users/profiles.dat").
    std::string path_in_game(const std::string& relative) const;
    // A state dump written in the scratch folder, as name -> the rest of its line.
    std::map<std::string, std::string> read_dump(const std::string& relative) const;

    std::string game_dir;
};

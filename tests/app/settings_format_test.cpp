// The settings file's format: the exact text written, and every kind of damage read as the
// defaults.
#include <gtest/gtest.h>

#include <string>

#include "app/settings_format.h"

namespace {

std::vector<uint8_t> bytes_of(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

const std::string default_text =
    "music_volume 100\nsound_volume 100\nbeam_glow 1\ncolour_blind_aid 0\nfull_screen 0\n"
    "window_placed 0\nwindow_x 0\nwindow_y 0\nwindow_width 800\nwindow_height 600\n";

TEST(settings_format, the_defaults_are_written_as_one_line_each) {
    EXPECT_EQ(encode_settings(game_settings{}), bytes_of(default_text));
}

TEST(settings_format, changed_settings_come_back_as_written) {
    game_settings s;
    s.music_volume = 0;
    s.sound_volume = 40;
    s.beam_glow = 0;
    s.colour_blind_aid = 1;
    s.full_screen = 1;
    s.window_placed = 1;
    s.window_x = -1200;  // a display left of the first one
    s.window_y = 30;
    s.window_width = 1000;
    s.window_height = 750;
    EXPECT_EQ(decode_settings(encode_settings(s)), s);
    // Lines in any order, Windows line ends, and names a later game adds are all fine.
    game_settings loud;
    loud.music_volume = 90;
    EXPECT_EQ(decode_settings(bytes_of("lens_glow 1\r\nmusic_volume 90\r\n\n")), loud);
}

TEST(settings_format, any_damage_gives_every_default) {
    const std::string damaged[] = {
        "",                                // missing or empty
        "music_volume 20\nbeam_glow 7\n",  // one value out of range spoils the rest
        "music_volume 101\n",
        "sound_volume -1\n",
        "window_width 399\n",  // below the smallest window
        "music_volume twenty\n",
        "music_volume 20x\n",
        "music_volume  20\n",
        "music_volume\n",
        "music_volume 99999999999\n",
        std::string("\0\xff\x01garbage", 10),
        std::string(5000, 'a'),  // far too large to be this file
    };
    for (const std::string& text : damaged) {
        EXPECT_EQ(decode_settings(bytes_of(text)), game_settings{}) << text;
    }
}

}  // namespace

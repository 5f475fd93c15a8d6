// Sounds on the silent headless backend: loading, channels, looping and the sound log.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/headless.h"
#include "platform/platform.h"
#include "support/headless_game.h"

namespace {

namespace h = platform::headless;

// A mono 16-bit WAV of the given length at 22050 samples a second: the loader must convert it.
void write_wav(const std::string& path, int32_t milliseconds) {
    const uint32_t rate = 22050;
    const uint32_t samples = rate * static_cast<uint32_t>(milliseconds) / 1000;
    const uint32_t data_bytes = samples * 2;
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + data_bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);         // PCM
    u16(1);         // mono
    u32(rate);
    u32(rate * 2);  // bytes a second
    u16(2);         // bytes a frame
    u16(16);
    out.write("data", 4);
    u32(data_bytes);
    for (uint32_t i = 0; i < samples; ++i) u16(static_cast<uint16_t>((i % 50) * 200));
}

using sound_test = headless_game_test;

TEST_F(sound_test, a_channel_plays_for_the_length_of_its_sound_and_is_logged) {
    write_wav(path_in_game("click.wav"), 500);
    platform::sound* click = platform::load_sound("click.wav", 0);
    ASSERT_NE(click, nullptr);
    h::advance_clock(100);
    const platform::channel first = platform::play_sound(click);
    const platform::channel second = platform::play_sound(click);  // overlapping, its own channel
    EXPECT_NE(first, 0);
    EXPECT_NE(first, second);
    EXPECT_TRUE(platform::channel_playing(first));
    h::advance_clock(499);
    EXPECT_TRUE(platform::channel_playing(first));
    h::advance_clock(1);
    EXPECT_FALSE(platform::channel_playing(first));
    platform::stop_channel(second);
    const auto& log = h::sound_log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_TRUE(log[0].started);
    EXPECT_EQ(log[0].path, "click.wav");
    EXPECT_EQ(log[0].channel, first);
    EXPECT_EQ(log[0].time_ms, 100);
    EXPECT_FALSE(log[2].started);
    EXPECT_EQ(log[2].channel, second);
    EXPECT_EQ(log[2].time_ms, 600);
}

TEST_F(sound_test, a_looping_sound_plays_until_stopped) {
    write_wav(path_in_game("hum.wav"), 100);
    platform::sound* hum = platform::load_sound("hum.wav", 1);
    ASSERT_NE(hum, nullptr);
    const platform::channel ch = platform::play_sound(hum);
    h::advance_clock(60000);
    EXPECT_TRUE(platform::channel_playing(ch));
    platform::stop_channel(ch);
    EXPECT_FALSE(platform::channel_playing(ch));
}

TEST_F(sound_test, no_sound_plays_nothing_and_no_channel_stops_nothing) {
    std::ofstream(path_in_game("noise.wav")) << "RIFF but nothing after it";
    EXPECT_EQ(platform::load_sound("noise.wav", 0), nullptr);
    EXPECT_EQ(platform::load_sound("Sounds\\missing.ogg", 0), nullptr);
    EXPECT_EQ(platform::play_sound(nullptr), 0);
    platform::stop_channel(0);
    platform::stop_channel(12345);
    EXPECT_FALSE(platform::channel_playing(0));
    EXPECT_TRUE(h::sound_log().empty());
}

}  // namespace

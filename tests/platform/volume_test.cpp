// The loudness of the music (sounds that loop) and of the other sounds, as the mixer applies it.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/headless.h"
#include "platform/platform.h"
#include "support/headless_game.h"

namespace {

// A stereo 16-bit WAV at the mixer's own rate, every sample `level`: mixed as it is.
void write_level_wav(const std::string& path, int16_t level, uint32_t frames) {
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    u32(36 + frames * 4);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(44100);
    u32(44100 * 4);
    u16(4);
    u16(16);
    out.write("data", 4);
    u32(frames * 4);
    for (uint32_t i = 0; i < frames * 2; ++i) u16(static_cast<uint16_t>(level));
}

class volume_test : public headless_game_test {};

TEST_F(volume_test, music_and_sounds_each_follow_their_own_volume) {
    write_level_wav(path_in_game("music.wav"), 1000, 44100);
    write_level_wav(path_in_game("sound.wav"), 3000, 44100);
    platform::sound* music = platform::load_sound("music.wav", 1);
    platform::sound* sound = platform::load_sound("sound.wav", 0);
    ASSERT_NE(music, nullptr);
    ASSERT_NE(sound, nullptr);
    platform::play_sound(music);
    platform::play_sound(sound);

    struct case_ {
        int32_t music_percent, sound_percent;
        int16_t heard;
    };
    const case_ cases[] = {
        {100, 100, 4000}, {50, 100, 3500}, {100, 0, 1000},
        {0, 30, 900},     {150, -5, 1000},  // out of range: clamped to 100 and 0
    };
    for (const case_& c : cases) {
        platform::set_volumes(c.music_percent, c.sound_percent);
        const std::vector<int16_t> out = platform::headless::mix_output(64);
        EXPECT_EQ(out.front(), c.heard) << c.music_percent << "," << c.sound_percent;
        EXPECT_EQ(out.back(), c.heard) << c.music_percent << "," << c.sound_percent;
    }
}

}  // namespace

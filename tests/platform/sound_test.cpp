// Sounds on the silent headless backend: loading, channels, looping and the sound log.
#include <gtest/gtest.h>

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <fstream>
#include <iterator>

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
    u16(1);  // PCM
    u16(1);  // mono
    u32(rate);
    u32(rate * 2);  // bytes a second
    u16(2);         // bytes a frame
    u16(16);
    out.write("data", 4);
    u32(data_bytes);
    for (uint32_t i = 0; i < samples; ++i) u16(static_cast<uint16_t>((i % 50) * 200));
}

// The whole of an Ogg Vorbis file as 16-bit interleaved samples, decoded the plain way.
std::vector<int16_t> decode_whole(const std::string& path) {
    std::vector<int16_t> samples;
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0) return samples;
    int16_t chunk[4096];
    int section = 0;
    for (;;) {
        const long n =
            ov_read(&file, reinterpret_cast<char*>(chunk), sizeof chunk, 0, 2, 1, &section);
        if (n == OV_HOLE) continue;
        if (n <= 0) break;
        samples.insert(samples.end(), chunk, chunk + n / 2);
    }
    ov_clear(&file);
    return samples;
}

// Mixes `total` samples in uneven slices, as an audio device asks for them.
std::vector<int16_t> mix_in_slices(size_t total) {
    std::vector<int16_t> out;
    const size_t slices[] = {2048, 1000, 8190, 2};
    for (size_t i = 0; out.size() < total; ++i) {
        const std::vector<int16_t> part =
            h::mix_output(std::min(slices[i % 4], total - out.size()));
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

using sound_test = headless_game_test;

// The looping tracks stream from their Ogg bytes: each channel has its own decoder, and the
// end of the track runs on into its start with no sample lost or repeated.
TEST_F(sound_test, a_streamed_track_loops_seamlessly_and_each_channel_decodes_its_own) {
    const std::vector<int16_t> whole = decode_whole(path_in_game("Sounds/aura1.ogg"));
    ASSERT_GT(whole.size(), 100000u);
    platform::sound* track = platform::load_sound("Sounds\\aura1.ogg", 1);
    ASSERT_NE(track, nullptr);
    const platform::channel first = platform::play_sound(track);

    const size_t past_the_end = whole.size() + 30000;
    const std::vector<int16_t> once_round = mix_in_slices(past_the_end);
    ASSERT_EQ(once_round.size(), past_the_end);
    size_t wrong = 0;
    for (size_t i = 0; i < past_the_end; ++i) wrong += once_round[i] != whole[i % whole.size()];
    EXPECT_EQ(wrong, 0u);

    // A second channel starts from the top while the first plays on.
    const platform::channel second = platform::play_sound(track);
    const std::vector<int16_t> both = h::mix_output(20000);
    wrong = 0;
    for (size_t i = 0; i < both.size(); ++i) {
        const int32_t sum = whole[(past_the_end + i) % whole.size()] + whole[i];
        wrong += both[i] != std::clamp(sum, -32768, 32767);
    }
    EXPECT_EQ(wrong, 0u);

    platform::stop_channel(first);
    const std::vector<int16_t> alone = h::mix_output(1000);
    EXPECT_TRUE(std::equal(alone.begin(), alone.end(), whole.begin() + 20000));
    platform::stop_channel(second);
    const std::vector<int16_t> silence = h::mix_output(1000);
    EXPECT_TRUE(std::all_of(silence.begin(), silence.end(), [](int16_t v) { return v == 0; }));
}

// A track cut short streams what it has and loops on that; one that is only its first bytes
// is no sound at all.
TEST_F(sound_test, a_cut_track_still_loops_and_a_stub_is_refused) {
    std::ifstream in(path_in_game("Sounds/aura1.ogg"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 100000u);
    std::ofstream(path_in_game("cut.ogg"), std::ios::binary) << bytes.substr(0, bytes.size() / 3);
    std::ofstream(path_in_game("stub.ogg"), std::ios::binary) << bytes.substr(0, 64);
    EXPECT_EQ(platform::load_sound("stub.ogg", 1), nullptr);

    platform::sound* cut = platform::load_sound("cut.ogg", 1);
    ASSERT_NE(cut, nullptr);
    const std::vector<int16_t> whole = decode_whole(path_in_game("cut.ogg"));
    ASSERT_GT(whole.size(), 10000u);
    const platform::channel ch = platform::play_sound(cut);
    const std::vector<int16_t> out = mix_in_slices(whole.size() * 2 + 5000);
    size_t wrong = 0;
    for (size_t i = 0; i < out.size(); ++i) wrong += out[i] != whole[i % whole.size()];
    EXPECT_EQ(wrong, 0u);
    EXPECT_TRUE(platform::channel_playing(ch));
}

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

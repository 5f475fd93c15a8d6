// The sounds and music, decoded sample by sample: rate, length, loudness, headroom, and the
// seam of the two looping tracks.
#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct decoded {
    int32_t rate = 0;
    int32_t channels = 0;
    std::vector<std::vector<float>> samples;  // per channel, -1 to 1
    double seconds() const { return samples.empty() ? 0 : samples[0].size() / double(rate); }
};

std::string sound_path(const std::string& file) {
    return std::string(BEAMWORKS_GAME_DIR) + "/Sounds/" + file;
}

decoded decode_ogg(const std::string& file) {
    decoded out;
    OggVorbis_File vf;
    if (ov_fopen(sound_path(file).c_str(), &vf) != 0) return out;
    out.rate = static_cast<int32_t>(ov_info(&vf, -1)->rate);
    out.channels = ov_info(&vf, -1)->channels;
    out.samples.resize(out.channels);
    while (true) {
        float** pcm = nullptr;
        int section = 0;
        const long n = ov_read_float(&vf, &pcm, 4096, &section);
        if (n <= 0) break;
        for (int32_t c = 0; c < out.channels; ++c) {
            out.samples[c].insert(out.samples[c].end(), pcm[c], pcm[c] + n);
        }
    }
    ov_clear(&vf);
    return out;
}

uint32_t little_endian(const std::vector<uint8_t>& b, size_t at, int32_t bytes) {
    uint32_t v = 0;
    for (int32_t k = bytes - 1; k >= 0; --k) v = (v << 8) | b[at + k];
    return v;
}

// A plain PCM WAV: the format chunk and the data chunk, 16-bit samples.
decoded decode_wav(const std::string& file) {
    std::ifstream in(sound_path(file), std::ios::binary);
    const std::vector<uint8_t> b{std::istreambuf_iterator<char>(in),
                                 std::istreambuf_iterator<char>()};
    decoded out;
    if (b.size() < 44 || std::string(b.begin(), b.begin() + 4) != "RIFF") return out;
    size_t at = 12;
    int32_t bits = 0;
    while (at + 8 <= b.size()) {
        const std::string id(b.begin() + at, b.begin() + at + 4);
        const uint32_t size = little_endian(b, at + 4, 4);
        if (id == "fmt ") {
            out.channels = static_cast<int32_t>(little_endian(b, at + 10, 2));
            out.rate = static_cast<int32_t>(little_endian(b, at + 12, 4));
            bits = static_cast<int32_t>(little_endian(b, at + 22, 2));
        } else if (id == "data" && bits == 16 && out.channels > 0) {
            out.samples.resize(out.channels);
            for (size_t i = 0; i + 1 < size && at + 8 + i + 1 < b.size(); i += 2) {
                const auto v = static_cast<int16_t>(little_endian(b, at + 8 + i, 2));
                out.samples[(i / 2) % out.channels].push_back(v / 32768.0f);
            }
        }
        at += 8 + size + (size & 1);
    }
    return out;
}

double peak(const decoded& d) {
    double p = 0;
    for (const auto& ch : d.samples) {
        for (float v : ch) p = std::max(p, double{std::abs(v)});
    }
    return p;
}

double rms(const decoded& d) {
    double sum = 0;
    size_t n = 0;
    for (const auto& ch : d.samples) {
        for (float v : ch) sum += double{v} * v;
        n += ch.size();
    }
    return n == 0 ? 0 : std::sqrt(sum / n);
}

struct sound_case {
    const char* file;
    double min_seconds, max_seconds;
};

const sound_case sounds[] = {
    {"povorot.wav", 0.02, 0.3}, {"lampon.ogg", 0.3, 3}, {"new1.ogg", 0.8, 4},
    {"explo.ogg", 0.5, 2.5},    {"trans.ogg", 0.3, 2},  {"aura1.ogg", 15, 90},
    {"music2.ogg", 60, 150},
};

class sound_test : public ::testing::TestWithParam<sound_case> {};

TEST_P(sound_test, decodes_at_44100_with_sound_and_headroom) {
    const sound_case& c = GetParam();
    const std::string file = c.file;
    const decoded d = file.ends_with(".wav") ? decode_wav(file) : decode_ogg(file);
    ASSERT_GT(d.channels, 0) << "does not decode";
    EXPECT_EQ(d.rate, 44100);
    EXPECT_GE(d.seconds(), c.min_seconds);
    EXPECT_LE(d.seconds(), c.max_seconds);
    // Audible: not silence, not a whisper.
    EXPECT_GT(rms(d), 0.01);
    // At most -1 dBFS: never clipped, with room for the mixer.
    EXPECT_LE(peak(d), std::pow(10.0, -1.0 / 20.0));
}

INSTANTIATE_TEST_SUITE_P(all, sound_test, ::testing::ValuesIn(sounds),
                         [](const ::testing::TestParamInfo<sound_case>& info) {
                             std::string name = info.param.file;
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });

// Where a looping track wraps around, its last sample runs into its first: the step across
// the seam must look like any other step of the music, not like a click.
TEST(looping_sound_test, loops_join_without_a_jump) {
    for (const char* file : {"aura1.ogg", "music2.ogg"}) {
        SCOPED_TRACE(file);
        const decoded d = decode_ogg(file);
        ASSERT_GT(d.channels, 0);
        for (const auto& ch : d.samples) {
            ASSERT_GT(ch.size(), 1000u);
            std::vector<double> steps;
            for (size_t i = 1; i < ch.size(); ++i) steps.push_back(std::abs(ch[i] - ch[i - 1]));
            std::sort(steps.begin(), steps.end());
            const double typical_large = steps[steps.size() * 99 / 100];
            const double seam = std::abs(ch.front() - ch.back());
            EXPECT_LE(seam, typical_large) << "step at the seam " << seam;
            // Nor does the music stop before the seam: its last and first tenths of a second
            // both carry sound.
            double head = 0, tail = 0;
            for (size_t i = 0; i < 4410; ++i) {
                head = std::max(head, double{std::abs(ch[i])});
                tail = std::max(tail, double{std::abs(ch[ch.size() - 1 - i])});
            }
            EXPECT_GT(head, 0.02);
            EXPECT_GT(tail, 0.02);
        }
    }
}

}  // namespace

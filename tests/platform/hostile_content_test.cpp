// Pictures, fonts and sounds built to hurt: headers claiming huge sizes or lengths, a sound with
// a random tail. Each is missing to the game (no crash, no gigabytes), while files within the
// limits still load.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <random>

#include "app/bitmap_font.h"
#include "platform/platform.h"
#include "platform/platform_internal.h"
#include "support/headless_game.h"
#include "test_pictures.h"

namespace {

namespace fs = std::filesystem;
using bytes = std::string;

bytes read_file_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return bytes(std::istreambuf_iterator<char>(in), {});
}

void write_file_bytes(const fs::path& path, const bytes& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), std::streamsize(content.size()));
}

void put_be32(bytes& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(char(v >> shift));
}

uint32_t png_crc(const bytes& data, size_t from, size_t to) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = from; i < to; ++i) {
        crc ^= uint8_t(data[i]);
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void png_chunk(bytes& png, const char* type, const bytes& payload) {
    put_be32(png, uint32_t(payload.size()));
    const size_t start = png.size();
    png += type;
    png += payload;
    put_be32(png, png_crc(png, start, png.size()));
}

// A 69-byte PNG whose header claims width by height RGBA pixels, with a scrap of image data.
bytes png_claiming(uint32_t width, uint32_t height) {
    bytes png("\x89PNG\r\n\x1a\n", 8);
    bytes header;
    put_be32(header, width);
    put_be32(header, height);
    header += bytes("\x08\x06\x00\x00\x00", 5);
    png_chunk(png, "IHDR", header);
    png_chunk(png, "IDAT", bytes("\x78\x9c\x63\x60\x00\x00\x00\x02\x00\x01\x00\x00", 12));
    png_chunk(png, "IEND", "");
    return png;
}

// The shipped JPEG with its frame header patched to claim width by height pixels.
bytes jpeg_claiming(const bytes& jpeg, uint16_t width, uint16_t height) {
    bytes patched = jpeg;
    for (size_t i = 2; i + 9 < patched.size(); ++i) {
        const auto marker = uint8_t(patched[i + 1]);
        if (uint8_t(patched[i]) == 0xFF && (marker == 0xC0 || marker == 0xC1 || marker == 0xC2)) {
            patched[i + 5] = char(height >> 8);
            patched[i + 6] = char(height);
            patched[i + 7] = char(width >> 8);
            patched[i + 8] = char(width);
            return patched;
        }
    }
    ADD_FAILURE() << "no frame header in the JPEG";
    return patched;
}

uint32_t ogg_crc(const bytes& data, size_t from, size_t to) {
    uint32_t crc = 0;
    for (size_t i = from; i < to; ++i) {
        crc ^= uint32_t(uint8_t(data[i])) << 24;
        for (int k = 0; k < 8; ++k) crc = (crc & 0x80000000u) ? (crc << 1) ^ 0x04C11DB7u : crc << 1;
    }
    return crc;
}

// Where each Ogg page starts and ends.
std::vector<std::pair<size_t, size_t>> ogg_pages(const bytes& ogg) {
    std::vector<std::pair<size_t, size_t>> pages;
    size_t at = 0;
    while (at + 27 <= ogg.size() && ogg.compare(at, 4, "OggS") == 0) {
        const size_t segments = uint8_t(ogg[at + 26]);
        size_t size = 27 + segments;
        for (size_t s = 0; s < segments; ++s) size += uint8_t(ogg[at + 27 + s]);
        pages.emplace_back(at, at + size);
        at += size;
    }
    return pages;
}

// The Ogg with its last page's granule position (its length in frames) set, checksum fixed.
bytes ogg_with_last_granule(const bytes& ogg, uint64_t granule) {
    bytes patched = ogg;
    const auto pages = ogg_pages(patched);
    EXPECT_GE(pages.size(), 3u);
    const auto [from, to] = pages.back();
    for (int i = 0; i < 8; ++i) patched[from + 6 + size_t(i)] = char(granule >> (8 * i));
    for (int i = 0; i < 4; ++i) patched[from + 22 + size_t(i)] = 0;
    const uint32_t crc = ogg_crc(patched, from, to);
    for (int i = 0; i < 4; ++i) patched[from + 22 + size_t(i)] = char(crc >> (8 * i));
    return patched;
}

// An 8-bit mono WAV at 8000 frames a second, of this many seconds.
bytes wav_of_seconds(int32_t seconds) {
    const uint32_t frames = 8000u * uint32_t(seconds);
    bytes wav = "RIFF";
    const auto le32 = [&wav](uint32_t v) {
        for (int i = 0; i < 4; ++i) wav.push_back(char(v >> (8 * i)));
    };
    le32(36 + frames);
    wav += "WAVEfmt ";
    le32(16);
    wav += bytes("\x01\x00\x01\x00", 4);  // PCM, mono
    le32(8000);
    le32(8000);
    wav += bytes("\x01\x00\x08\x00", 4);  // a byte a frame, 8 bits
    wav += "data";
    le32(frames);
    wav.append(frames, char(0x80));
    return wav;
}

// While it lives, the process may map at most `extra` bytes more than it has now: an attempt to
// allocate gigabytes fails at once instead of being granted lazily. Under AddressSanitizer,
// which maps its shadow memory as it goes, nothing is limited.
class address_space_limit {
public:
    explicit address_space_limit(size_t extra) {
#ifndef __SANITIZE_ADDRESS__
        std::ifstream statm("/proc/self/statm");
        size_t pages = 0;
        statm >> pages;
        getrlimit(RLIMIT_AS, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + extra;
        setrlimit(RLIMIT_AS, &lowered);
        active_ = true;
#else
        (void)extra;
#endif
    }
    ~address_space_limit() {
        if (active_) setrlimit(RLIMIT_AS, &saved_);
    }

private:
    rlimit saved_{};
    bool active_ = false;
};

long peak_memory_kib() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class hostile_content_test : public headless_game_test {
protected:
    // The scratch folder's link to a built content folder becomes a copy that a test can spoil.
    fs::path own_copy(const char* folder) {
        const fs::path link = fs::path(game_dir) / folder;
        const fs::path built = fs::read_symlink(link);
        fs::remove(link);
        fs::copy(built, link, fs::copy_options::recursive);
        return link;
    }
    bytes shipped(const char* relative) const {
        return read_file_bytes(fs::path(BEAMWORKS_GAME_DIR) / relative);
    }
};

TEST(content_limits, pictures_and_sounds_within_the_limits_only) {
    EXPECT_TRUE(platform::picture_size_allowed(800, 600));
    EXPECT_TRUE(platform::picture_size_allowed(16384, 4096));   // 256 MiB decoded, a side at most
    EXPECT_FALSE(platform::picture_size_allowed(16384, 4097));  // over 256 MiB
    EXPECT_FALSE(platform::picture_size_allowed(16385, 1));
    EXPECT_FALSE(platform::picture_size_allowed(1, 16385));
    EXPECT_FALSE(platform::picture_size_allowed(1000000, 1000000));
    EXPECT_FALSE(platform::picture_size_allowed(0, 10));

    EXPECT_TRUE(platform::sound_length_allowed(600 * 44100, 44100, 2));
    EXPECT_FALSE(platform::sound_length_allowed(600 * 44100 + 1, 44100, 2));
    EXPECT_FALSE(platform::sound_length_allowed(int64_t{1} << 36, 44100, 2));
    EXPECT_FALSE(platform::sound_length_allowed(int64_t{1} << 62, 44100, 2));
    EXPECT_FALSE(platform::sound_length_allowed(-1, 44100, 2));
    EXPECT_FALSE(platform::sound_length_allowed(100, 0, 2));
    EXPECT_FALSE(platform::sound_length_allowed(100, 44100, 0));
    EXPECT_TRUE(platform::sound_length_allowed(600 * 96000, 96000, 2));
    EXPECT_FALSE(platform::sound_length_allowed(600 * 96000, 96000, 6));  // 659 MiB of samples
}

TEST_F(hostile_content_test, a_tiny_png_claiming_a_million_pixels_a_side_leaves_the_font_missing) {
    const fs::path fonts = own_copy("font");
    const bytes attack = png_claiming(1000000, 1000000);
    ASSERT_EQ(attack.size(), 69u);
    write_file_bytes(fonts / "font24.png", attack);
    write_file_bytes(fonts / "font16.png", attack);

    bitmap_font font;
    EXPECT_NO_THROW(load_bitmap_font(font, "font24", 24));
    EXPECT_EQ(font.glyphs, nullptr);
    EXPECT_NE(font.metrics[0], 0);  // the metrics file is still read
    EXPECT_NO_THROW(load_bitmap_font(font, "font16", 16));
    EXPECT_EQ(font.glyphs, nullptr);
    load_bitmap_font(font, "font32", 32);
    EXPECT_NE(font.glyphs, nullptr);
}

TEST_F(hostile_content_test, headers_claiming_huge_pictures_are_missing_and_cost_no_memory) {
    const fs::path images = own_copy("images");
    write_file_bytes(images / "main_menu.jpg", png_claiming(20000, 20000));
    write_file_bytes(images / "galaxy_map.jpg",
                     jpeg_claiming(shipped("images/galaxy_map.jpg"), 16000, 16000));
    const long before = peak_memory_kib();

    EXPECT_EQ(platform::load_image("images\\main_menu.jpg", -1), nullptr);
    EXPECT_EQ(platform::load_image("images\\galaxy_map.jpg", -1), nullptr);
    platform::prefetch_pictures({"images\\main_menu.jpg", "images\\galaxy_map.jpg"}, -1);
    EXPECT_EQ(platform::load_image("images\\main_menu.jpg", -1), nullptr);
    EXPECT_EQ(platform::load_anim_image("images\\galaxy_map.jpg", 100, 100, 0, 4, -1), nullptr);

    // Today's pictures take a few megabytes; the attack files alone took gigabytes.
    EXPECT_LT(peak_memory_kib() - before, 64 * 1024);
}

TEST_F(hostile_content_test, a_picture_a_pixel_over_the_side_limit_is_missing) {
    const fs::path folder = fs::path(game_dir) / "pictures";
    fs::create_directories(folder);
    const auto row = [](int32_t width, int32_t height) {
        return std::vector<uint32_t>(size_t(width) * size_t(height), 0xFF808080u);
    };
    write_test_png((folder / "wide.png").string(), 16385, 1, row(16385, 1), false);
    write_test_png((folder / "widest.png").string(), 16384, 1, row(16384, 1), false);
    write_test_jpeg((folder / "wide.jpg").string(), 16392, 8, row(16392, 8));
    write_test_jpeg((folder / "widest.jpg").string(), 16384, 8, row(16384, 8));

    EXPECT_EQ(platform::load_image("pictures\\wide.png", 0), nullptr);
    EXPECT_EQ(platform::load_image("pictures\\wide.jpg", 0), nullptr);
    const platform::image* widest = platform::load_image("pictures\\widest.png", 0);
    ASSERT_NE(widest, nullptr);
    EXPECT_EQ(platform::image_width(widest), 16384);
    EXPECT_NE(platform::load_image("pictures\\widest.jpg", 0), nullptr);
}

TEST_F(hostile_content_test, an_ogg_whose_last_page_claims_years_is_missing) {
    const fs::path sounds = own_copy("Sounds");
    const bytes ogg = shipped("Sounds/lampon.ogg");
    const bytes tune = shipped("Sounds/music2.ogg");
    for (const int shift : {36, 62}) {
        SCOPED_TRACE(shift);
        const uint64_t frames = uint64_t{1} << shift;
        write_file_bytes(sounds / "lampon.ogg", ogg_with_last_granule(ogg, frames));
        write_file_bytes(sounds / "music2.ogg", ogg_with_last_granule(tune, frames));
        EXPECT_EQ(platform::load_sound("Sounds\\lampon.ogg", 0), nullptr);
        EXPECT_EQ(platform::load_sound("Sounds\\music2.ogg", 1), nullptr);  // a streamed tune

        // As the windowed game decodes it: whole, not only its length.
        platform::sound snd;
        EXPECT_FALSE(platform::decode_sound(ogg_with_last_granule(ogg, frames), snd, false));
        EXPECT_TRUE(snd.samples.empty());
    }
    // The files as shipped load, the tune as a stream.
    write_file_bytes(sounds / "lampon.ogg", ogg);
    write_file_bytes(sounds / "music2.ogg", tune);
    EXPECT_NE(platform::load_sound("Sounds\\lampon.ogg", 0), nullptr);
    EXPECT_NE(platform::load_sound("Sounds\\music2.ogg", 1), nullptr);
}

TEST_F(hostile_content_test, a_wav_over_ten_minutes_is_missing) {
    const fs::path folder = fs::path(game_dir) / "long";
    fs::create_directories(folder);
    write_file_bytes(folder / "long.wav", wav_of_seconds(601));
    write_file_bytes(folder / "short.wav", wav_of_seconds(599));
    EXPECT_EQ(platform::load_sound("long\\long.wav", 0), nullptr);
    EXPECT_NE(platform::load_sound("long\\short.wav", 0), nullptr);
}

TEST_F(hostile_content_test, a_wav_claiming_gigabytes_of_data_plays_what_it_holds) {
    // 16-bit mono at 44100 frames a second: 3000 frames are there, four gigabytes claimed.
    bytes wav = wav_of_seconds(1).substr(0, 36);
    wav[22] = 1;  // mono
    for (size_t i = 0; i < 4; ++i) wav[24 + i] = char(44100u >> (8 * i));
    for (size_t i = 0; i < 4; ++i) wav[28 + i] = char(88200u >> (8 * i));
    wav[32] = 2;  // two bytes a frame
    wav[34] = 16;
    wav += "data";
    wav += bytes("\x1e\x18\xff\xff", 4);
    for (int i = 0; i < 3000; ++i) wav += bytes("\x10\x20", 2);
    const long before = peak_memory_kib();

    platform::sound snd;
    {
        address_space_limit limit(size_t{512} << 20);
        ASSERT_TRUE(platform::decode_sound(wav, snd, false));
    }
    EXPECT_EQ(snd.length_ms, 3000 * 1000 / 44100);
    EXPECT_LT(peak_memory_kib() - before, 64 * 1024);
}

TEST_F(hostile_content_test, a_wav_of_less_than_a_sample_is_a_silent_sound) {
    // One 16-bit mono frame at 96000 frames a second: resampled to the mixer's rate, nothing.
    bytes wav = wav_of_seconds(1).substr(0, 36);
    wav[22] = 1;
    for (size_t i = 0; i < 4; ++i) wav[24 + i] = char(96000u >> (8 * i));
    for (size_t i = 0; i < 4; ++i) wav[28 + i] = char(192000u >> (8 * i));
    wav[32] = 2;
    wav[34] = 16;
    wav += bytes("data\x02\x00\x00\x00\x7f\x00", 10);
    platform::sound snd;
    // Under the sanitizers this also proves no copy is made to a buffer that is not there.
    if (platform::decode_sound(wav, snd, false)) {
        EXPECT_TRUE(snd.samples.empty());
        EXPECT_EQ(snd.length_ms, 0);
    }
}

TEST_F(hostile_content_test, an_ogg_with_a_random_tail_is_decoded_or_refused_cleanly) {
    const bytes ogg = shipped("Sounds/lampon.ogg");
    const auto pages = ogg_pages(ogg);
    ASSERT_GE(pages.size(), 3u);
    std::mt19937 random(13);
    // The headers kept, then pages of noise: the decoder finds no sound or a broken one. Under
    // the sanitizers this also proves no null pointer reaches a copy of nothing.
    for (size_t kept = 1; kept <= 3; ++kept) {
        for (int round = 0; round < 8; ++round) {
            bytes damaged = ogg.substr(0, pages[kept - 1].second);
            for (int i = 0; i < 4096; ++i) damaged.push_back(char(random()));
            platform::sound snd;
            if (platform::decode_sound(damaged, snd, false)) {
                EXPECT_EQ(snd.samples.size() % 2, 0u);
                EXPECT_LE(snd.length_ms, 600000);
            }
        }
    }
}

}  // namespace

// Sounds: WAV and Ogg Vorbis decoding into one mixer format, channels, and the mixer that the
// audio device's callback runs.
//
// Without an audio device (headless, or a machine without sound) the game runs silently: a
// channel then "plays" for the length of its sound on the game's clock, so channel_playing
// still tells the truth, and the headless backend logs every start and stop.
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

#include "platform/platform_internal.h"

namespace platform {

bool sound_length_allowed(int64_t frames, int64_t rate, int64_t channels) {
    // A rate above a few hundred thousand frames a second is no sound anyone recorded; with
    // it bounded, frames * 1000 below cannot overflow either.
    constexpr int64_t max_rate = 384000;
    constexpr int64_t max_channels = 8;
    if (rate <= 0 || rate > max_rate || channels <= 0 || channels > max_channels) return false;
    // Its 16-bit samples, before conversion to the mixer's format, also stay within the
    // pictures' memory limit (ten minutes of CD sound take a little over 100 MiB).
    return frames >= 0 && frames <= content_max_sound_seconds * rate &&
           frames * channels * 2 <= content_max_decoded_bytes;
}

namespace {

// Converts interleaved samples of any SDL format, channel count and rate to the mixer's
// 16-bit stereo at mixer_rate.
bool convert_to_mixer(const uint8_t* data, size_t length, SDL_AudioFormat format, int32_t channels,
                      int32_t rate, std::vector<int16_t>& out) {
    SDL_AudioCVT cvt;
    const int built = SDL_BuildAudioCVT(&cvt, format, static_cast<Uint8>(channels), rate,
                                        AUDIO_S16SYS, 2, mixer_rate);
    if (built < 0) return false;
    // An empty sound stays empty, and less than one sample converts to none: no copy is then
    // made from or to a buffer that is not there.
    out.clear();
    if (length == 0) return true;
    std::vector<uint8_t> buffer(length * static_cast<size_t>(std::max(cvt.len_mult, 1)));
    std::memcpy(buffer.data(), data, length);
    if (built > 0) {
        cvt.buf = buffer.data();
        cvt.len = static_cast<int>(length);
        if (SDL_ConvertAudio(&cvt) != 0) return false;
        length = static_cast<size_t>(cvt.len_cvt);
    }
    out.resize(length / 2);
    if (!out.empty()) std::memcpy(out.data(), buffer.data(), out.size() * 2);
    // Whole stereo frames only.
    if (out.size() % 2) out.pop_back();
    return true;
}

uint32_t le32_at(const std::string& bytes, size_t at) {
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.data()) + at;
    return uint32_t{b[0]} | (uint32_t{b[1]} << 8) | (uint32_t{b[2]} << 16) | (uint32_t{b[3]} << 24);
}

void put_le32(std::string& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

// SDL sizes its buffer for a WAV's data from the chunk's stated length before reading it: a
// six-kilobyte file claiming four gigabytes of samples would take them. A chunk that claims
// more than the file holds is cut to what is there (SDL already plays a cut file's part).
std::string wav_with_chunks_cut_to_the_file(const std::string& bytes) {
    std::string cut = bytes;
    if (cut.size() < 12) return cut;
    if (le32_at(cut, 4) > cut.size() - 8) put_le32(cut, 4, static_cast<uint32_t>(cut.size() - 8));
    size_t at = 12;
    while (at + 8 <= cut.size()) {
        const size_t room = cut.size() - (at + 8);
        size_t length = le32_at(cut, at + 4);
        if (length > room) {
            length = room;
            put_le32(cut, at + 4, static_cast<uint32_t>(length));
        }
        at += 8 + length + (length & 1);
    }
    return cut;
}

bool decode_wav(const std::string& file_bytes, std::vector<int16_t>& out) {
    const std::string bytes = wav_with_chunks_cut_to_the_file(file_bytes);
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!rw) return false;
    SDL_AudioSpec wav_format;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(rw, 1, &wav_format, &buffer, &length)) return false;
    const int64_t frame_bytes =
        int64_t{SDL_AUDIO_BITSIZE(wav_format.format) / 8} * wav_format.channels;
    if (frame_bytes <= 0 ||
        !sound_length_allowed(length / frame_bytes, wav_format.freq, wav_format.channels)) {
        SDL_FreeWAV(buffer);
        return false;
    }
    const bool ok = convert_to_mixer(buffer, length, wav_format.format, wav_format.channels,
                                     wav_format.freq, out);
    SDL_FreeWAV(buffer);
    return ok;
}

struct memory_source {
    const std::string* bytes;
    size_t position;
};

size_t ogg_read(void* destination, size_t size, size_t count, void* source) {
    auto* m = static_cast<memory_source*>(source);
    const size_t wanted = size * count;
    const size_t left = m->bytes->size() - m->position;
    const size_t n = std::min(wanted, left);
    std::memcpy(destination, m->bytes->data() + m->position, n);
    m->position += n;
    return size ? n / size : 0;
}

int ogg_seek(void* source, ogg_int64_t offset, int whence) {
    auto* m = static_cast<memory_source*>(source);
    int64_t base = 0;
    if (whence == SEEK_CUR) base = static_cast<int64_t>(m->position);
    if (whence == SEEK_END) base = static_cast<int64_t>(m->bytes->size());
    const int64_t target = base + offset;
    if (target < 0 || target > static_cast<int64_t>(m->bytes->size())) return -1;
    m->position = static_cast<size_t>(target);
    return 0;
}

long ogg_tell(void* source) {
    return static_cast<long>(static_cast<memory_source*>(source)->position);
}

const ov_callbacks memory_callbacks{ogg_read, ogg_seek, nullptr, ogg_tell};

// A looping track of the mixer's own format is streamed rather than decoded: a minute of
// music is about 11 MiB of samples but under 1 MiB of Ogg, and decoding it up front held up
// the start of the game by a quarter of a second. Other formats are decoded whole and
// converted. Sets length_ms when the track streams.
bool can_stream(const std::string& bytes, int64_t& length_ms) {
    memory_source source{&bytes, 0};
    OggVorbis_File file;
    if (ov_open_callbacks(&source, &file, nullptr, 0, memory_callbacks) != 0) return false;
    const vorbis_info* info = ov_info(&file, -1);
    const ogg_int64_t frames = ov_pcm_total(&file, -1);
    const bool streams = info && info->channels == 2 && info->rate == mixer_rate && frames > 0 &&
                         sound_length_allowed(frames, info->rate, info->channels);
    if (streams) length_ms = frames * 1000 / mixer_rate;
    ov_clear(&file);
    return streams;
}

// Headless runs only need a sound's length (nothing is heard), which the stream's headers
// tell without decoding a minute of music for every test; length_ms is set either way.
bool decode_ogg(const std::string& bytes, std::vector<int16_t>& out, int64_t& length_ms,
                bool length_only) {
    memory_source source{&bytes, 0};
    OggVorbis_File file;
    if (ov_open_callbacks(&source, &file, nullptr, 0, memory_callbacks) != 0) return false;
    const vorbis_info* info = ov_info(&file, -1);
    const ogg_int64_t frames = ov_pcm_total(&file, -1);
    // The length comes from the last page's position, which a damaged file may set to
    // anything: it is checked before any arithmetic or memory depends on it.
    if (!info || !sound_length_allowed(frames, info->rate, info->channels)) {
        ov_clear(&file);
        return false;
    }
    const int32_t channels = info->channels;
    const int32_t rate = static_cast<int32_t>(info->rate);
    length_ms = frames * 1000 / rate;
    if (length_only) {
        ov_clear(&file);
        return true;
    }
    // The game's own sounds are already 16-bit stereo at the mixer's rate: they are decoded
    // straight into their final buffer, sized once from the stream's length, so that a minute
    // of music costs its own size in memory and no copies on the way.
    const bool mixer_ready = channels == 2 && rate == mixer_rate;
    std::vector<int16_t> decoded;
    decoded.reserve(static_cast<size_t>(frames) * static_cast<size_t>(channels));
    // The pages themselves may hold more than the stated length: past the limit the sound is
    // refused all the same.
    const size_t max_samples =
        static_cast<size_t>(content_max_sound_seconds * rate) * static_cast<size_t>(channels);
    int16_t chunk[8192];
    int section = 0;
    for (;;) {
        const long n = ov_read(&file, reinterpret_cast<char*>(chunk), sizeof chunk,
                               SDL_BYTEORDER == SDL_BIG_ENDIAN, 2, 1, &section);
        if (n == OV_HOLE) continue;
        if (n < 0) {
            ov_clear(&file);
            return false;
        }
        if (n == 0) break;
        decoded.insert(decoded.end(), chunk, chunk + n / 2);
        if (decoded.size() > max_samples) {
            ov_clear(&file);
            return false;
        }
    }
    ov_clear(&file);
    if (mixer_ready) {
        if (decoded.size() % 2) decoded.pop_back();
        out = std::move(decoded);
        return true;
    }
    return convert_to_mixer(reinterpret_cast<const uint8_t*>(decoded.data()), decoded.size() * 2,
                            AUDIO_S16SYS, channels, rate, out);
}

}  // namespace

struct ogg_stream {
    memory_source source;
    OggVorbis_File file{};
    bool open = false;
    bool at_start = true;  // nothing decoded since it was opened or last rewound
};

void ogg_stream_closer::operator()(ogg_stream* s) const {
    if (s->open) ov_clear(&s->file);
    delete s;
}

namespace {

// Adds the channel's next `count` samples of its streamed track to `sum`, rewinding at the
// end of a looping track; false once the channel has ended (a track that does not loop ran
// out, or its bytes turned out damaged). Runs on the audio thread, under the audio lock.
bool mix_stream(playing_channel& c, int32_t* sum, size_t count, int32_t gain) {
    if (!c.stream) {
        c.stream.reset(new ogg_stream{});
        c.stream->source = {&c.snd->encoded, 0};
        if (ov_open_callbacks(&c.stream->source, &c.stream->file, nullptr, 0, memory_callbacks) !=
            0) {
            return false;
        }
        c.stream->open = true;
    }
    ogg_stream& s = *c.stream;
    int16_t chunk[4096];
    size_t done = 0;
    while (done < count) {
        const size_t wanted = std::min(count - done, std::size(chunk));
        int section = 0;
        const long n =
            ov_read(&s.file, reinterpret_cast<char*>(chunk), static_cast<int>(wanted * 2),
                    SDL_BYTEORDER == SDL_BIG_ENDIAN, 2, 1, &section);
        if (n == OV_HOLE) continue;
        if (n < 0) return false;
        if (n == 0) {
            // A track that gives nothing even straight after a rewind would spin here.
            if (!c.snd->loops || s.at_start || ov_pcm_seek(&s.file, 0) != 0) return false;
            s.at_start = true;
            continue;
        }
        s.at_start = false;
        const size_t got = std::min(static_cast<size_t>(n) / 2, count - done);
        for (size_t i = 0; i < got; ++i) sum[done + i] += chunk[i] * gain / 100;
        done += got;
    }
    return true;
}

void mix(void*, Uint8* stream_bytes, int length) {
    auto* out = reinterpret_cast<int16_t*>(stream_bytes);
    const size_t count = static_cast<size_t>(length) / 2;
    std::vector<int32_t>& sum = state.mix_sums;
    sum.assign(count, 0);
    for (playing_channel& c : state.channels) {
        const int32_t gain = c.snd->loops ? state.music_volume : state.sound_volume;
        if (!c.snd->encoded.empty()) {
            c.ended = !mix_stream(c, sum.data(), count, gain);
            continue;
        }
        const std::vector<int16_t>& samples = c.snd->samples;
        if (samples.empty()) continue;
        for (size_t i = 0; i < count; ++i) {
            if (c.position >= samples.size()) {
                if (!c.snd->loops) break;
                c.position = 0;
            }
            sum[i] += samples[c.position++] * gain / 100;
        }
    }
    for (size_t i = 0; i < count; ++i) {
        out[i] = static_cast<int16_t>(std::clamp(sum[i], -32768, 32767));
    }
    std::erase_if(state.channels, [](const playing_channel& c) {
        if (c.ended) return true;
        return c.snd->encoded.empty() && !c.snd->loops && c.position >= c.snd->samples.size();
    });
}

int64_t sound_length_ms(const sound& snd) { return snd.length_ms; }

struct audio_lock {
    audio_lock() {
        if (state.audio_device) SDL_LockAudioDevice(state.audio_device);
    }
    ~audio_lock() {
        if (state.audio_device) SDL_UnlockAudioDevice(state.audio_device);
    }
};

}  // namespace

void open_audio() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
    SDL_AudioSpec wanted{};
    wanted.freq = mixer_rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = mix;
    SDL_AudioSpec got{};
    state.audio_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &got, 0);
    if (state.audio_device) SDL_PauseAudioDevice(state.audio_device, 0);
}

void close_audio() {
    if (state.audio_device) SDL_CloseAudioDevice(state.audio_device);
    state.audio_device = 0;
    state.channels.clear();
}

void stop_all_channels() {
    audio_lock lock;
    state.channels.clear();
}

bool decode_sound(const std::string& bytes, sound& snd, bool length_only) {
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), "OggS", 4) == 0) {
        if (snd.loops && can_stream(bytes, snd.length_ms)) {
            snd.encoded = bytes;
            return true;
        }
        return decode_ogg(bytes, snd.samples, snd.length_ms, length_only);
    }
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), "RIFF", 4) == 0) {
        if (!decode_wav(bytes, snd.samples)) return false;
        snd.length_ms = static_cast<int64_t>(snd.samples.size() / 2) * 1000 / mixer_rate;
        return true;
    }
    return false;
}

// Like a picture, a sound that does not fit in memory is simply missing.
sound* load_sound(const std::string& path, int32_t flags) try {
    bool ok = false;
    const std::string bytes = read_whole_file(resolve_path(path), ok, content_max_file_bytes);
    if (!ok) return nullptr;
    auto snd = std::make_unique<sound>();
    snd->path = path;
    snd->loops = (flags & 1) != 0;
    if (!decode_sound(bytes, *snd, state.headless)) return nullptr;
    state.sounds.push_back(std::move(snd));
    return state.sounds.back().get();
} catch (const std::bad_alloc&) {
    return nullptr;
}

channel play_sound(const sound* snd) {
    if (!snd || !state.initialised) return 0;
    const channel id = state.next_channel++;
    {
        audio_lock lock;
        // Without a device nothing mixes the channels away: drop the ones that have ended.
        if (!state.audio_device) {
            std::erase_if(state.channels, [](const playing_channel& c) {
                return !c.snd->loops && clock_ms() - c.start_ms >= sound_length_ms(*c.snd);
            });
        }
        playing_channel& c = state.channels.emplace_back();
        c.id = id;
        c.snd = snd;
        c.start_ms = static_cast<int32_t>(clock_ms());
    }
    if (state.headless) {
        state.sound_log.push_back({true, snd->path, id, static_cast<int32_t>(clock_ms())});
    }
    return id;
}

void stop_channel(channel ch) {
    if (ch <= 0 || ch >= state.next_channel) return;
    {
        audio_lock lock;
        std::erase_if(state.channels, [ch](const playing_channel& c) { return c.id == ch; });
    }
    if (state.headless) {
        std::string path;
        for (const headless::sound_event& e : state.sound_log) {
            if (e.started && e.channel == ch) path = e.path;
        }
        state.sound_log.push_back({false, path, ch, static_cast<int32_t>(clock_ms())});
    }
}

bool channel_playing(channel ch) {
    audio_lock lock;
    for (const playing_channel& c : state.channels) {
        if (c.id != ch) continue;
        if (state.audio_device || c.snd->loops) return true;
        return clock_ms() - c.start_ms < sound_length_ms(*c.snd);
    }
    return false;
}

void set_volumes(int32_t music_percent, int32_t sound_percent) {
    audio_lock lock;
    state.music_volume = std::clamp(music_percent, 0, 100);
    state.sound_volume = std::clamp(sound_percent, 0, 100);
}

namespace headless {

std::vector<int16_t> mix_output(size_t samples) {
    std::vector<int16_t> out(samples & ~size_t{1});
    audio_lock lock;
    mix(nullptr, reinterpret_cast<Uint8*>(out.data()), static_cast<int>(out.size() * 2));
    return out;
}

}  // namespace headless

}  // namespace platform

// The sound effects (recipes below, one function each), the two music loops (from their
// scores), and the WAV and Ogg Vorbis writers.
//
// Every file peaks at or below -1 dBFS: effects are scaled to -3 dBFS before encoding, and
// each Ogg file is decoded again and re-encoded quieter if the encoder's ripple pushed a peak
// above -1.2 dBFS.
#include "sounds.h"

#include <vorbis/codec.h>
#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "instruments.h"
#include "score.h"
#include "synth.h"

namespace sounds {

using synth::pi;
using synth::rate;

namespace {

synth::stereo silence(double seconds) { return synth::stereo(static_cast<size_t>(seconds * rate)); }

double at_time(size_t i) { return static_cast<double>(i) / rate; }

// Turning a piece: a short, dry, bright click.
synth::stereo click() {
    synth::stereo s = silence(0.07);
    synth::noise n(7);
    synth::lowpass low;
    double body_phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = at_time(i);
        const double x = n.next();
        const double hiss = (x - low.process(x, 3000)) * std::exp(-t / 0.0018);
        const double tick = std::sin(2 * pi * 3400 * t) * std::exp(-t / 0.0035);
        body_phase += (520 + 500 * std::exp(-t / 0.006)) / rate;
        const double body = std::sin(2 * pi * body_phase) * std::exp(-t / 0.011);
        const double v = (0.55 * hiss + 0.5 * tick + 0.6 * body) * std::min(1.0, t / 0.0003);
        s.left[i] = s.right[i] = static_cast<float>(v);
    }
    return s;
}

// One struck bell tone of a few partials, added into s.
void chime_tone(synth::stereo& s, double start, double f, double gain) {
    const double ratios[] = {1.0, 2.0, 3.01, 4.23, 5.41};
    const double amps[] = {1.0, 0.45, 0.22, 0.12, 0.07};
    const double decays[] = {0.9, 0.55, 0.35, 0.22, 0.15};
    for (size_t i = static_cast<size_t>(start * rate); i < s.size(); ++i) {
        const double t = at_time(i) - start;
        double v = 0;
        for (int k = 0; k < 5; ++k) {
            v += amps[k] * std::sin(2 * pi * f * ratios[k] * t) * std::exp(-t / decays[k]);
        }
        v *= gain * std::min(1.0, t / 0.002);
        s.left[i] += static_cast<float>(v);
        s.right[i] += static_cast<float>(v);
    }
}

// A lamp lights up: a bright two-note chime rising a fifth.
synth::stereo chime() {
    synth::stereo s = silence(1.5);
    chime_tone(s, 0.0, synth::note_frequency("E6"), 0.6);
    chime_tone(s, 0.07, synth::note_frequency("B6"), 0.5);
    synth::reverb(s, 0.5, 0.4, 0.25);
    return s;
}

// A level completed, or a new pack: a short rising brass fanfare on C major.
synth::stereo fanfare() {
    synth::stereo s = silence(2.4);
    struct note {
        const char* name;
        double start, hold, gain, pan;
    };
    const note notes[] = {
        {"G4", 0.00, 0.10, 0.5, -0.2},  {"C5", 0.12, 0.10, 0.5, 0.0},
        {"E5", 0.24, 0.10, 0.5, 0.2},   {"G5", 0.36, 0.95, 0.55, 0.0},
        {"E5", 0.36, 0.95, 0.35, -0.3}, {"C5", 0.36, 0.95, 0.35, 0.3},
        {"C4", 0.36, 0.95, 0.3, 0.0},
    };
    for (const note& n : notes) {
        synth::mix_into(s, instruments::brass(synth::note_frequency(n.name), n.hold),
                        static_cast<size_t>(n.start * rate), n.gain, n.pan);
    }
    // A sparkle of a bell on top of the last chord.
    synth::mix_into(s, instruments::bell(synth::note_frequency("C7"), 0.5),
                    static_cast<size_t>(0.36 * rate), 0.12, 0.0);
    synth::reverb(s, 0.7, 0.3, 0.35);
    return s;
}

// A firework bursting: a low thump, a rush of noise, then crackles falling away.
synth::stereo firework() {
    synth::stereo s = silence(1.35);
    synth::noise n(11);
    synth::svf rush;
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = at_time(i);
        phase += (38 + 90 * std::exp(-t / 0.06)) / rate;
        const double thump = std::sin(2 * pi * phase) * std::exp(-t / 0.2);
        rush.process(n.next(), 300 + 3500 * std::exp(-t / 0.12), 0.7);
        const double noise_part = rush.low * std::exp(-t / 0.3);
        const double v = (0.8 * thump + 0.9 * noise_part) * std::min(1.0, t / 0.002);
        s.left[i] = s.right[i] = static_cast<float>(v);
    }
    // Crackles: short bright snaps scattered over the tail, each on its own side.
    synth::noise pick(23);
    for (int k = 0; k < 46; ++k) {
        const double start = 0.12 + 0.95 * (pick.next() * 0.5 + 0.5) * (0.3 + 0.7 * k / 46.0);
        const double gain = 0.35 * (1.0 - start / 1.35);
        const double pan = pick.next();
        synth::buffer snap(static_cast<size_t>(0.006 * rate));
        synth::svf band;
        for (size_t i = 0; i < snap.size(); ++i) {
            band.process(pick.next(), 4500, 2.0);
            snap[i] = static_cast<float>(band.band * std::exp(-at_time(i) / 0.0015));
        }
        synth::mix_into(s, snap, static_cast<size_t>(start * rate), gain, pan);
    }
    synth::reverb(s, 0.6, 0.4, 0.3);
    return s;
}

// A beam passing a colour sphere: a rising, glittering shimmer.
synth::stereo shimmer() {
    synth::stereo s = silence(1.0);
    const double ratios[] = {1.0, 1.5, 2.0, 3.0};
    const double amps[] = {0.5, 0.35, 0.3, 0.15};
    double phase[4] = {0, 0.25, 0.5, 0.75};
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = at_time(i);
        const double base = 700 * std::pow(2.0, std::min(t, 0.5) / 0.5);  // up an octave
        double v = 0;
        for (int k = 0; k < 4; ++k) {
            phase[k] += base * ratios[k] / rate;
            v += amps[k] * std::sin(2 * pi * phase[k]);
        }
        const double tremolo = 0.75 + 0.25 * std::sin(2 * pi * 14 * t);
        const double env = std::min(1.0, t / 0.03) * std::exp(-std::max(0.0, t - 0.25) / 0.22);
        const auto out = static_cast<float>(v * tremolo * env);
        s.left[i] = out;
        s.right[i] = out;
    }
    // Sparkles: tiny high blips around the glide.
    synth::noise pick(5);
    for (int k = 0; k < 18; ++k) {
        const double start = 0.02 + 0.6 * k / 18.0 + 0.02 * pick.next();
        const double f = 3000 + 2500 * (pick.next() * 0.5 + 0.5);
        synth::buffer blip(static_cast<size_t>(0.05 * rate));
        for (size_t i = 0; i < blip.size(); ++i) {
            const double t = at_time(i);
            blip[i] = static_cast<float>(std::sin(2 * pi * f * t) * std::exp(-t / 0.012));
        }
        synth::mix_into(s, blip, static_cast<size_t>(start * rate), 0.18, pick.next() * 0.8);
    }
    synth::ping_pong_echo(s, 0.09, 0.3, 0.3);
    return s;
}

void write_wav(const synth::stereo& s, const std::string& path) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) throw std::runtime_error("cannot write " + path);
    auto u32 = [&](uint32_t v) {
        const unsigned char b[4] = {
            static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
            static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
        std::fwrite(b, 1, 4, out);
    };
    auto u16 = [&](uint32_t v) {
        const unsigned char b[2] = {static_cast<unsigned char>(v),
                                    static_cast<unsigned char>(v >> 8)};
        std::fwrite(b, 1, 2, out);
    };
    const auto data_bytes = static_cast<uint32_t>(s.size() * 2);
    std::fwrite("RIFF", 1, 4, out);
    u32(36 + data_bytes);
    std::fwrite("WAVEfmt ", 1, 8, out);
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(rate);
    u32(rate * 2);
    u16(2);
    u16(16);
    std::fwrite("data", 1, 4, out);
    u32(data_bytes);
    for (size_t i = 0; i < s.size(); ++i) {
        const double v = (s.left[i] + s.right[i]) * 0.5;
        const long q = std::lround(std::max(-1.0, std::min(1.0, v)) * 32767.0);
        u16(static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(q))));
    }
    std::fclose(out);
}

void encode_ogg(const synth::stereo& s, int channels, float quality, const std::string& path) {
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) throw std::runtime_error("cannot write " + path);
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, quality) != 0) {
        throw std::runtime_error("the Vorbis encoder refused its settings");
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", "Beamworks");
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 0x6265616d);  // a fixed serial number keeps the bytes repeatable
    ogg_packet header, header_comment, header_code;
    vorbis_analysis_headerout(&vd, &vc, &header, &header_comment, &header_code);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &header_comment);
    ogg_stream_packetin(&os, &header_code);
    ogg_page page;
    while (ogg_stream_flush(&os, &page) != 0) {
        std::fwrite(page.header, 1, static_cast<size_t>(page.header_len), out);
        std::fwrite(page.body, 1, static_cast<size_t>(page.body_len), out);
    }
    const size_t chunk = 4096;
    size_t pos = 0;
    bool done = false;
    while (!done) {
        const size_t n = std::min(chunk, s.size() - pos);
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** in = vorbis_analysis_buffer(&vd, static_cast<int>(n));
            for (size_t i = 0; i < n; ++i) {
                if (channels == 1) {
                    in[0][i] = (s.left[pos + i] + s.right[pos + i]) * 0.5f;
                } else {
                    in[0][i] = s.left[pos + i];
                    in[1][i] = s.right[pos + i];
                }
            }
            vorbis_analysis_wrote(&vd, static_cast<int>(n));
            pos += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet) != 0) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page) != 0) {
                    std::fwrite(page.header, 1, static_cast<size_t>(page.header_len), out);
                    std::fwrite(page.body, 1, static_cast<size_t>(page.body_len), out);
                    if (ogg_page_eos(&page) != 0) done = true;
                }
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    std::fclose(out);
}

double decoded_peak(const std::string& path) {
    OggVorbis_File vf;
    if (ov_fopen(path.c_str(), &vf) != 0) throw std::runtime_error("cannot decode " + path);
    double peak = 0;
    while (true) {
        float** pcm = nullptr;
        int section = 0;
        const long n = ov_read_float(&vf, &pcm, 4096, &section);
        if (n <= 0) break;
        const int channels = ov_info(&vf, -1)->channels;
        for (int c = 0; c < channels; ++c) {
            for (long i = 0; i < n; ++i) peak = std::max(peak, std::abs(double{pcm[c][i]}));
        }
    }
    ov_clear(&vf);
    return peak;
}

void write_ogg(synth::stereo s, int channels, float quality, const std::string& path) {
    const double limit = std::pow(10.0, -1.2 / 20.0);
    for (int attempt = 0; attempt < 6; ++attempt) {
        encode_ogg(s, channels, quality, path);
        const double peak = decoded_peak(path);
        if (peak <= limit) return;
        synth::normalise(s, synth::peak_of(s) * limit / peak * 0.97);
    }
    throw std::runtime_error(path + " still peaks above -1 dBFS");
}

}  // namespace

void write_all(const std::string& content_dir, const std::string& dir) {
    const double minus_3_db = std::pow(10.0, -3.0 / 20.0);
    synth::stereo s = click();
    synth::normalise(s, minus_3_db);
    write_wav(s, dir + "/povorot.wav");

    struct effect {
        const char* file;
        synth::stereo (*make)();
    };
    const effect effects[] = {{"lampon.ogg", chime},
                              {"new1.ogg", fanfare},
                              {"explo.ogg", firework},
                              {"trans.ogg", shimmer}};
    for (const effect& e : effects) {
        synth::stereo sound = e.make();
        synth::normalise(sound, minus_3_db);
        write_ogg(sound, 1, 0.4f, dir + "/" + e.file);
    }
    for (const char* name : {"aura1", "music2"}) {
        synth::stereo music = score::render_loop(content_dir + "/music/" + name + ".txt");
        synth::normalise(music, minus_3_db);
        write_ogg(music, 2, 0.3f, dir + "/" + name + ".ogg");
    }
}

}  // namespace sounds

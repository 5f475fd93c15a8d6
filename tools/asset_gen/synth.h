// A small synthesiser: oscillators, envelopes, filters, echo and reverb over float buffers.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace synth {

constexpr int rate = 44100;
constexpr double pi = 3.14159265358979323846;

using buffer = std::vector<float>;

struct stereo {
    buffer left, right;
    explicit stereo(size_t n = 0) : left(n, 0.0f), right(n, 0.0f) {}
    size_t size() const { return left.size(); }
};

// Deterministic white noise in [-1, 1].
struct noise {
    uint32_t state;
    explicit noise(uint32_t seed) : state(seed | 1) {}
    float next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<float>(state) / 2147483648.0f - 1.0f;
    }
};

double note_frequency(const std::string& name);  // "A4" = 440, "C#5", "Bb3"
double midi_frequency(double midi);

// Attack, decay, sustain level, release, in seconds; t from the note's start, held for `hold`
// seconds before the release begins.
double adsr(double t, double hold, double attack, double decay, double sustain, double release);

// Band-limited oscillators (phase in cycles, 0 to 1).
double saw(double phase, double phase_step);
double square(double phase, double phase_step, double width);
double triangle(double phase);

// One-pole low-pass, step by step.
struct lowpass {
    double z = 0;
    double process(double x, double cutoff_hz) {
        const double a = 1.0 - std::exp(-2.0 * pi * cutoff_hz / rate);
        z += a * (x - z);
        return z;
    }
};

// A resonant state-variable filter (Chamberlin), low-pass or band-pass outputs.
struct svf {
    double low = 0, band = 0;
    void process(double x, double cutoff_hz, double q) {
        const double f = 2.0 * std::sin(pi * std::min(cutoff_hz, rate / 6.0) / rate);
        low += f * band;
        const double high = x - low - band / q;
        band += f * high;
    }
};

// Adds a buffer into another at an offset, scaled, panned (-1 left to 1 right).
void mix_into(stereo& out, const buffer& in, size_t offset, double gain, double pan);

// Stereo echo: each repeat lower by feedback, alternating sides.
void ping_pong_echo(stereo& s, double delay_seconds, double feedback, double wet);
// A plate-like reverb (parallel combs into all-passes), mixed in at `wet`.
void reverb(stereo& s, double room, double damping, double wet);

// Folds everything after `length` samples back onto the start and cuts there, so a looping
// track's tails ring on into its own beginning and the loop has no seam.
void fold_loop(stereo& s, size_t length);

// Scales so that the largest magnitude is `peak` (linear).
void normalise(stereo& s, double peak);
double peak_of(const stereo& s);

}  // namespace synth

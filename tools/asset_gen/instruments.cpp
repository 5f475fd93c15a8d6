// The instruments: subtractive pads and leads, FM bells, plucks and a small drum kit.
#include "instruments.h"

#include <cmath>

namespace instruments {

using synth::adsr;
using synth::pi;
using synth::rate;

namespace {

synth::buffer make(double seconds) {
    return synth::buffer(static_cast<size_t>(seconds * rate) + 1, 0.0f);
}

}  // namespace

synth::buffer pad(double frequency, double hold, uint32_t seed) {
    const double attack = 0.6, release = 1.4;
    synth::buffer out = make(hold + release);
    // Three saws a few cents apart, through a soft resonant low-pass that opens with the note.
    const double detune[] = {-0.006, 0.0, 0.0065};
    double phase[3] = {(seed % 97) / 97.0, (seed % 89) / 89.0, (seed % 83) / 83.0};
    synth::svf filter;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        double v = 0;
        for (int k = 0; k < 3; ++k) {
            const double step = frequency * (1.0 + detune[k]) / rate;
            v += synth::saw(phase[k], step);
            phase[k] += step;
            if (phase[k] >= 1) phase[k] -= 1;
        }
        const double env = adsr(t, hold, attack, 0.8, 0.8, release);
        filter.process(v / 3.0, 500 + 900 * env + 120 * std::sin(2 * pi * 0.2 * t), 0.9);
        out[i] = static_cast<float>(filter.low * env);
    }
    return out;
}

synth::buffer bass(double frequency, double hold) {
    const double release = 0.12;
    synth::buffer out = make(hold + release);
    double phase = 0;
    synth::lowpass filter;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double step = frequency / rate;
        const double v = std::sin(2 * pi * phase) + 0.35 * synth::saw(phase, step);
        phase += step;
        if (phase >= 1) phase -= 1;
        const double env = adsr(t, hold, 0.006, 0.25, 0.55, release);
        out[i] = static_cast<float>(filter.process(v, 350 + 900 * env) * env);
    }
    return out;
}

synth::buffer pluck(double frequency, double hold) {
    const double ring = 0.9;
    synth::buffer out = make(hold + ring);
    double phase = 0;
    synth::lowpass filter;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double step = frequency / rate;
        const double v = 0.6 * synth::triangle(phase) + 0.4 * synth::square(phase, step, 0.3);
        phase += step;
        if (phase >= 1) phase -= 1;
        const double env = std::min(1.0, t / 0.003) * std::exp(-t / 0.22);
        const double cut = 600 + 4000 * std::exp(-t / 0.08);
        out[i] = static_cast<float>(filter.process(v, cut) * env);
    }
    return out;
}

synth::buffer lead(double frequency, double hold) {
    const double release = 0.25;
    synth::buffer out = make(hold + release);
    double phase = 0;
    synth::lowpass filter;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        // A gentle vibrato that comes in after the note has settled.
        const double vib = 1.0 + 0.004 * std::min(1.0, std::max(0.0, (t - 0.25) / 0.3)) *
                                     std::sin(2 * pi * 5.2 * t);
        phase += frequency * vib / rate;
        if (phase >= 1) phase -= 1;
        const double v = std::sin(2 * pi * phase) + 0.3 * std::sin(4 * pi * phase) +
                         0.12 * std::sin(6 * pi * phase) + 0.05 * std::sin(8 * pi * phase);
        const double env = adsr(t, hold, 0.04, 0.2, 0.75, release);
        out[i] = static_cast<float>(filter.process(v, 2500) * env);
    }
    return out;
}

synth::buffer bell(double frequency, double hold) {
    const double ring = std::max(2.5, hold);
    synth::buffer out = make(ring);
    // Two-operator FM with an inharmonic ratio: a glassy, starry bell.
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double index = 2.2 * std::exp(-t / 0.5);
        const double mod = std::sin(2 * pi * frequency * 3.5 * t);
        const double v = std::sin(2 * pi * frequency * t + index * mod) +
                         0.25 * std::sin(2 * pi * frequency * 2.0 * t);
        const double env = std::min(1.0, t / 0.002) * std::exp(-t / 0.9);
        out[i] = static_cast<float>(v * env * 0.6);
    }
    return out;
}

synth::buffer brass(double frequency, double hold) {
    const double release = 0.3;
    synth::buffer out = make(hold + release);
    double phase[2] = {0, 0.37};
    synth::svf filter;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        double v = 0;
        for (int k = 0; k < 2; ++k) {
            const double step = frequency * (k == 0 ? 1.0 : 1.004) / rate;
            v += synth::saw(phase[k], step);
            phase[k] += step;
            if (phase[k] >= 1) phase[k] -= 1;
        }
        const double env = adsr(t, hold, 0.025, 0.15, 0.7, release);
        const double bite = adsr(t, hold, 0.03, 0.25, 0.45, release);
        filter.process(v * 0.5, 500 + 3200 * bite, 1.2);
        out[i] = static_cast<float>(filter.low * env);
    }
    return out;
}

synth::buffer kick() {
    synth::buffer out = make(0.4);
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double f = 45 + 110 * std::exp(-t / 0.035);
        phase += f / rate;
        const double env = std::min(1.0, t / 0.001) * std::exp(-t / 0.16);
        out[i] = static_cast<float>(std::sin(2 * pi * phase) * env);
    }
    return out;
}

synth::buffer snare(uint32_t seed) {
    synth::buffer out = make(0.3);
    synth::noise n(seed);
    synth::svf filter;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        filter.process(n.next(), 2200, 0.8);
        const double tone = std::sin(2 * pi * 185 * t) * std::exp(-t / 0.05);
        out[i] = static_cast<float>((filter.band * 0.9 * std::exp(-t / 0.09) + 0.5 * tone) *
                                    std::min(1.0, t / 0.001));
    }
    return out;
}

synth::buffer hat(uint32_t seed) {
    synth::buffer out = make(0.08);
    synth::noise n(seed);
    synth::lowpass low;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        const double x = n.next();
        const double high = x - low.process(x, 6000);
        out[i] = static_cast<float>(high * std::exp(-t / 0.018) * std::min(1.0, t / 0.0005));
    }
    return out;
}

}  // namespace instruments

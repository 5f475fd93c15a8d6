// The synthesiser's building blocks.
#include "synth.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace synth {

double midi_frequency(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

double note_frequency(const std::string& name) {
    static const int semitones[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') {
        throw std::runtime_error("bad note name: " + name);
    }
    int semitone = semitones[name[0] - 'A'];
    size_t i = 1;
    if (name[i] == '#') {
        ++semitone;
        ++i;
    } else if (name[i] == 'b') {
        --semitone;
        ++i;
    }
    const int octave = std::stoi(name.substr(i));
    return midi_frequency(12.0 * (octave + 1) + semitone);
}

double adsr(double t, double hold, double attack, double decay, double sustain, double release) {
    if (t < 0) return 0;
    auto held_level = [&](double u) {
        if (u < attack) return u / attack;
        if (u < attack + decay) return 1.0 - (1.0 - sustain) * (u - attack) / decay;
        return sustain;
    };
    if (t < hold) return held_level(t);
    const double from = held_level(hold);
    const double r = (t - hold) / release;
    return r >= 1 ? 0 : from * (1.0 - r) * (1.0 - r);
}

namespace {

// The polynomial band-limited step: smooths the jump of a saw or square.
double poly_blep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

}  // namespace

double saw(double phase, double phase_step) {
    return 2.0 * phase - 1.0 - poly_blep(phase, phase_step);
}

double square(double phase, double phase_step, double width) {
    double v = phase < width ? 1.0 : -1.0;
    v += poly_blep(phase, phase_step);
    v -= poly_blep(std::fmod(phase + 1.0 - width, 1.0), phase_step);
    return v;
}

double triangle(double phase) { return 1.0 - 4.0 * std::abs(phase - 0.5); }

void mix_into(stereo& out, const buffer& in, size_t offset, double gain, double pan) {
    const double angle = (pan + 1.0) * pi / 4.0;
    const auto gl = static_cast<float>(gain * std::cos(angle) * std::sqrt(2.0));
    const auto gr = static_cast<float>(gain * std::sin(angle) * std::sqrt(2.0));
    const size_t n = std::min(in.size(), out.size() > offset ? out.size() - offset : 0);
    for (size_t i = 0; i < n; ++i) {
        out.left[offset + i] += in[i] * gl;
        out.right[offset + i] += in[i] * gr;
    }
}

void ping_pong_echo(stereo& s, double delay_seconds, double feedback, double wet) {
    // The first repeat comes from the left, the next from the right, and so on.
    const auto d = static_cast<size_t>(delay_seconds * rate);
    const auto fb = static_cast<float>(feedback);
    buffer l(s.size(), 0), r(s.size(), 0);
    for (size_t i = d; i < s.size(); ++i) {
        const float in = (s.left[i - d] + s.right[i - d]) * 0.5f;
        l[i] = in + fb * r[i - d];
        r[i] = fb * l[i - d];
    }
    for (size_t i = 0; i < s.size(); ++i) {
        s.left[i] += static_cast<float>(wet) * l[i];
        s.right[i] += static_cast<float>(wet) * r[i];
    }
}

namespace {

struct comb {
    buffer line;
    size_t pos = 0;
    float store = 0;
    explicit comb(size_t n) : line(n, 0) {}
    float process(float x, float feedback, float damp) {
        const float out = line[pos];
        store = out * (1 - damp) + store * damp;
        line[pos] = x + store * feedback;
        pos = (pos + 1) % line.size();
        return out;
    }
};

struct allpass {
    buffer line;
    size_t pos = 0;
    explicit allpass(size_t n) : line(n, 0) {}
    float process(float x) {
        const float delayed = line[pos];
        const float out = -x + delayed;
        line[pos] = x + delayed * 0.5f;
        pos = (pos + 1) % line.size();
        return out;
    }
};

}  // namespace

void reverb(stereo& s, double room, double damping, double wet) {
    static const size_t comb_lengths[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const size_t allpass_lengths[] = {556, 441, 341, 225};
    constexpr size_t spread = 23;
    for (int side = 0; side < 2; ++side) {
        std::vector<comb> combs;
        std::vector<allpass> allpasses;
        for (size_t n : comb_lengths) combs.emplace_back(n + side * spread);
        for (size_t n : allpass_lengths) allpasses.emplace_back(n + side * spread);
        buffer& out = side == 0 ? s.left : s.right;
        const auto feedback = static_cast<float>(0.7 + 0.28 * room);
        const auto damp = static_cast<float>(damping);
        for (size_t i = 0; i < s.size(); ++i) {
            const float in = (s.left[i] + s.right[i]) * 0.015f;
            float sum = 0;
            for (comb& c : combs) sum += c.process(in, feedback, damp);
            for (allpass& a : allpasses) sum = a.process(sum);
            out[i] += static_cast<float>(wet) * sum;
        }
    }
}

void fold_loop(stereo& s, size_t length) {
    for (size_t i = length; i < s.size(); ++i) {
        s.left[(i - length) % length] += s.left[i];
        s.right[(i - length) % length] += s.right[i];
    }
    s.left.resize(length);
    s.right.resize(length);
}

double peak_of(const stereo& s) {
    double peak = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        peak = std::max({peak, std::abs(double{s.left[i]}), std::abs(double{s.right[i]})});
    }
    return peak;
}

void normalise(stereo& s, double peak) {
    const double current = peak_of(s);
    if (current <= 0) return;
    const auto g = static_cast<float>(peak / current);
    for (size_t i = 0; i < s.size(); ++i) {
        s.left[i] *= g;
        s.right[i] *= g;
    }
}

}  // namespace synth

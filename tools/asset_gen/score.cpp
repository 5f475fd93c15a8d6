// The score reader and renderer.
//
// clang-format off
// A score is a text file of lines, '#' starting a comment:
//   tempo 96                      beats per minute ('#' at a word's start: a comment), four beats to the bar
//   bars 26                       length of the loop
//   chords Am F C G ...           one chord per bar, over as many lines as wanted
//   part pad 0.16 1 26            part, volume, first and last bar it plays in
//   bass_steps 1 . . 1 ...        16 sixteenths; 1 3 5 7 chord tones, 8 the root an octave up
//   arp_steps ...                 the same for the arpeggio
//   kick_steps x.......x.......   16 sixteenths, x a hit
//   snare_steps / hat_steps       likewise
//   melody E5:1.5 D5:0.5 r:2 ...  note:beats (r a rest), from the first bar on
//   melody_sound lead             lead or bell
// clang-format on
#include "score.h"

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "instruments.h"

namespace score {

namespace {

struct part_range {
    double volume = 0;
    int first = 1, last = 0;
    bool plays(int bar) const { return bar >= first && bar <= last; }
};

struct chord {
    int root = 0;                // midi note number of the root in octave 0 (C0 = 12)
    std::vector<int> intervals;  // semitones above the root
};

struct melody_note {
    std::string note;  // "r" for a rest
    double beats = 0;
};

struct parsed {
    double tempo = 100;
    int bars = 0;
    std::vector<chord> chords;
    std::map<std::string, part_range> parts;
    std::vector<std::string> bass_steps, arp_steps;
    std::string kick_steps, snare_steps, hat_steps;
    std::vector<melody_note> melody;
    std::string melody_sound = "lead";
};

chord parse_chord(const std::string& name) {
    static const int semitones[] = {9, 11, 0, 2, 4, 5, 7};
    if (name.empty() || name[0] < 'A' || name[0] > 'G') {
        throw std::runtime_error("bad chord: " + name);
    }
    chord c;
    c.root = 12 + semitones[name[0] - 'A'];
    size_t i = 1;
    if (i < name.size() && name[i] == '#') {
        ++c.root;
        ++i;
    } else if (i < name.size() && name[i] == 'b') {
        --c.root;
        ++i;
    }
    const std::string quality = name.substr(i);
    static const std::map<std::string, std::vector<int>> qualities = {
        {"", {0, 4, 7}},         {"m", {0, 3, 7}},        {"7", {0, 4, 7, 10}},
        {"maj7", {0, 4, 7, 11}}, {"m7", {0, 3, 7, 10}},   {"sus2", {0, 2, 7}},
        {"sus4", {0, 5, 7}},     {"add9", {0, 4, 7, 14}}, {"madd9", {0, 3, 7, 14}},
    };
    const auto found = qualities.find(quality);
    if (found == qualities.end()) throw std::runtime_error("unknown chord quality: " + name);
    c.intervals = found->second;
    return c;
}

parsed parse(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    parsed s;
    std::string line;
    while (std::getline(in, line)) {
        // A comment starts at a '#' that begins a word; a '#' inside a note is a sharp.
        for (size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '#' && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) {
                line.resize(i);
                break;
            }
        }
        std::istringstream words(line);
        std::string key;
        if (!(words >> key)) continue;
        std::string w;
        if (key == "tempo") {
            words >> s.tempo;
        } else if (key == "bars") {
            words >> s.bars;
        } else if (key == "chords") {
            while (words >> w) s.chords.push_back(parse_chord(w));
        } else if (key == "part") {
            std::string name;
            part_range r;
            words >> name >> r.volume >> r.first >> r.last;
            s.parts[name] = r;
        } else if (key == "bass_steps" || key == "arp_steps") {
            auto& steps = key == "bass_steps" ? s.bass_steps : s.arp_steps;
            while (words >> w) steps.push_back(w);
            if (steps.size() != 16) throw std::runtime_error(key + " needs 16 steps");
        } else if (key == "kick_steps" || key == "snare_steps" || key == "hat_steps") {
            std::string& steps = key == "kick_steps"    ? s.kick_steps
                                 : key == "snare_steps" ? s.snare_steps
                                                        : s.hat_steps;
            words >> steps;
            if (steps.size() != 16) throw std::runtime_error(key + " needs 16 steps");
        } else if (key == "melody") {
            while (words >> w) {
                const size_t colon = w.find(':');
                if (colon == std::string::npos) throw std::runtime_error("bad melody note " + w);
                s.melody.push_back({w.substr(0, colon), std::stod(w.substr(colon + 1))});
            }
        } else if (key == "melody_sound") {
            words >> s.melody_sound;
        } else {
            throw std::runtime_error("unknown score line: " + key);
        }
    }
    if (s.bars <= 0 || static_cast<int>(s.chords.size()) != s.bars) {
        throw std::runtime_error(path + ": the chords must give one chord per bar");
    }
    return s;
}

// The midi note of a chord tone token: 1 root, 3 third, 5 fifth, 7 seventh (octave if the
// chord has none), 8 root an octave up; -1 for a rest.
int chord_tone(const chord& c, const std::string& token, int octave) {
    const int base = c.root + 12 * octave;
    if (token == "1") return base;
    if (token == "3") return base + c.intervals[1];
    if (token == "5") return base + c.intervals[2];
    if (token == "7") return base + (c.intervals.size() > 3 ? c.intervals[3] : 12);
    if (token == "8") return base + 12;
    return -1;
}

}  // namespace

synth::stereo render_loop(const std::string& path) {
    const parsed s = parse(path);
    const double beat = 60.0 / s.tempo;
    const double bar = 4 * beat;
    const double step = beat / 4;
    const auto loop_length = static_cast<size_t>(s.bars * bar * synth::rate);
    const size_t tail = 5 * synth::rate;
    synth::stereo mix(loop_length + tail);
    synth::stereo echoes(loop_length + tail);
    auto at = [](double seconds) { return static_cast<size_t>(seconds * synth::rate); };
    auto part = [&](const std::string& name) {
        const auto found = s.parts.find(name);
        return found == s.parts.end() ? part_range{} : found->second;
    };

    // Pad: the chord held for as long as it lasts, voiced around the middle of the keyboard.
    const part_range pad = part("pad");
    for (int b = 1; b <= s.bars; ++b) {
        if (!pad.plays(b)) continue;
        const chord& c = s.chords[b - 1];
        if (b > 1 && pad.plays(b - 1) && s.chords[b - 2].root == c.root &&
            s.chords[b - 2].intervals == c.intervals) {
            continue;  // still held from the bar before
        }
        int length = 1;
        while (b + length <= s.bars && pad.plays(b + length) &&
               s.chords[b + length - 1].root == c.root &&
               s.chords[b + length - 1].intervals == c.intervals) {
            ++length;
        }
        int voice = 0;
        for (int interval : c.intervals) {
            int midi = c.root + 36 + interval;
            if (midi < 52) midi += 12;
            const double pan = -0.4 + 0.8 * voice / static_cast<double>(c.intervals.size());
            synth::mix_into(mix,
                            instruments::pad(synth::midi_frequency(midi), length * bar,
                                             static_cast<uint32_t>(b * 7 + voice)),
                            at((b - 1) * bar), pad.volume, pan);
            ++voice;
        }
    }
    // Bass and arpeggio from the step patterns, on the bar's chord.
    const part_range bass = part("bass"), arp = part("arp");
    for (int b = 1; b <= s.bars; ++b) {
        const chord& c = s.chords[b - 1];
        for (int k = 0; k < 16; ++k) {
            const double t = (b - 1) * bar + k * step;
            if (bass.plays(b) && !s.bass_steps.empty()) {
                const int midi = chord_tone(c, s.bass_steps[k], 2);
                if (midi >= 0) {
                    int held = 1;
                    while (k + held < 16 && s.bass_steps[k + held] == ".") ++held;
                    synth::mix_into(
                        mix, instruments::bass(synth::midi_frequency(midi), held * step * 0.9),
                        at(t), bass.volume, 0.0);
                }
            }
            if (arp.plays(b) && !s.arp_steps.empty()) {
                const int midi = chord_tone(c, s.arp_steps[k], 4);
                if (midi >= 0) {
                    synth::mix_into(echoes, instruments::pluck(synth::midi_frequency(midi), step),
                                    at(t), arp.volume, 0.3 * ((k % 2) ? 1 : -1));
                }
            }
        }
    }
    // Drums.
    const part_range kick = part("kick"), snare = part("snare"), hat = part("hat");
    for (int b = 1; b <= s.bars; ++b) {
        for (int k = 0; k < 16; ++k) {
            const double t = (b - 1) * bar + k * step;
            if (kick.plays(b) && !s.kick_steps.empty() && s.kick_steps[k] == 'x') {
                synth::mix_into(mix, instruments::kick(), at(t), kick.volume, 0.0);
            }
            if (snare.plays(b) && !s.snare_steps.empty() && s.snare_steps[k] == 'x') {
                synth::mix_into(mix, instruments::snare(static_cast<uint32_t>(b * 16 + k)), at(t),
                                snare.volume, 0.05);
            }
            if (hat.plays(b) && !s.hat_steps.empty() && s.hat_steps[k] == 'x') {
                synth::mix_into(mix, instruments::hat(static_cast<uint32_t>(b * 31 + k)), at(t),
                                hat.volume * (k % 4 == 2 ? 1.0 : 0.6), 0.3);
            }
        }
    }
    // Melody.
    const part_range melody = part("melody");
    double t = 0;
    for (const melody_note& n : s.melody) {
        const int b = static_cast<int>(t / bar + 1e-9) + 1;
        if (n.note != "r" && melody.plays(b) && t < s.bars * bar) {
            const double f = synth::note_frequency(n.note);
            const double hold = n.beats * beat * 0.92;
            synth::mix_into(
                s.melody_sound == "bell" ? echoes : mix,
                s.melody_sound == "bell" ? instruments::bell(f, hold) : instruments::lead(f, hold),
                at(t), melody.volume, -0.1);
        }
        t += n.beats * beat;
    }
    synth::ping_pong_echo(echoes, beat * 0.75, 0.35, 0.45);
    for (size_t i = 0; i < mix.size(); ++i) {
        mix.left[i] += echoes.left[i];
        mix.right[i] += echoes.right[i];
    }
    synth::reverb(mix, 0.8, 0.35, 0.35);
    synth::fold_loop(mix, loop_length);
    return mix;
}

}  // namespace score

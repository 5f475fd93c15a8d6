// Sounds, WAV and Ogg Vorbis: any bytes are refused, or decoded whole into the mixer's format
// within the length limit, both as a sound and as a looping track.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "platform/platform_internal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    constexpr int64_t max_ms = platform::content_max_sound_seconds * 1000;
    for (const bool loops : {false, true}) {
        platform::sound snd;
        snd.loops = loops;
        if (!platform::decode_sound(bytes, snd, false)) continue;
        fuzz_require(snd.length_ms >= 0 && snd.length_ms <= max_ms,
                     "a sound's length is within the limit");
        fuzz_require(snd.samples.size() % 2 == 0, "a sound holds whole stereo frames");
        fuzz_require(snd.samples.size() / 2 <= size_t(max_ms / 1000 + 1) * platform::mixer_rate,
                     "a decoded sound is within the length limit");
        fuzz_require(snd.encoded.empty() || loops, "only a looping track streams");
    }
    return 0;
}

// The instruments of the game's music and sound effects: each renders one note into a buffer.
#pragma once

#include "synth.h"

namespace instruments {

// frequency in Hz, hold in seconds (the note is released after it); the buffer includes the
// release and ring-out.
synth::buffer pad(double frequency, double hold, uint32_t seed);
synth::buffer bass(double frequency, double hold);
synth::buffer pluck(double frequency, double hold);
synth::buffer lead(double frequency, double hold);
synth::buffer bell(double frequency, double hold);
synth::buffer brass(double frequency, double hold);
synth::buffer kick();
synth::buffer snare(uint32_t seed);
synth::buffer hat(uint32_t seed);

}  // namespace instruments

// What every harness does when a property of the game's file reading does not hold.
#pragma once

#include <cstdio>
#include <cstdlib>

// A broken property is a finding like a sanitizer report: print it and stop, so that libFuzzer
// saves the input that caused it.
inline void fuzz_require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "fuzz property broken: %s\n", property);
    std::abort();
}

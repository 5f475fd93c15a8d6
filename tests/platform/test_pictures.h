// Small pictures written by the tests themselves, in the formats the game loads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// pixels are 0xAARRGGBB, row by row. Without alpha the alpha bytes are ignored.
void write_test_png(const std::string& path, int32_t width, int32_t height,
                    const std::vector<uint32_t>& pixels, bool with_alpha);
// Quality 100 and no colour subsampling, so that flat 8 by 8 blocks come back nearly exact.
void write_test_jpeg(const std::string& path, int32_t width, int32_t height,
                     const std::vector<uint32_t>& pixels);

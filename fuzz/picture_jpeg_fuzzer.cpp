// JPEG pictures: any bytes after the JPEG start marker are refused or decoded within the limits.
#include "picture_fuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The start marker is given, so that every input reaches the JPEG decoder itself.
    std::string bytes;
    if (size < 3 || data[0] != 0xFF || data[1] != 0xD8 || data[2] != 0xFF) bytes = "\xFF\xD8\xFF";
    bytes.append(reinterpret_cast<const char*>(data), size);
    fuzz_one_picture(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return 0;
}

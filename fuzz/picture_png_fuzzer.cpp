// PNG pictures: any bytes after the PNG signature are refused or decoded within the limits.
#include <algorithm>

#include "picture_fuzzer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::string bytes(reinterpret_cast<const char*>(signature), sizeof signature);
    // The signature is given, so that every input reaches the PNG decoder itself.
    if (size >= sizeof signature && std::equal(data, data + sizeof signature, signature)) {
        bytes.clear();
    }
    bytes.append(reinterpret_cast<const char*>(data), size);
    fuzz_one_picture(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return 0;
}

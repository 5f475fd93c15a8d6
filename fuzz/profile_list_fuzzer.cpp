// The profile list: any bytes give at most ten names that write back to the same list.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "profiles/progress_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    const std::vector<std::string> names = decode_profile_list(bytes);
    fuzz_require(names.size() <= size_t(max_profiles), "at most ten players are read");
    for (const std::string& name : names) {
        fuzz_require(name.size() <= 255, "a name fits its length byte");
        (void)is_safe_profile_name(name);
    }
    const std::vector<uint8_t> written = encode_profile_list(names);
    fuzz_require(decode_profile_list(written) == names, "a written list reads back unchanged");
    // A well-formed list of up to ten players is written back byte for byte.
    if (size > 0 && bytes[0] <= max_profiles && names.size() == bytes[0]) {
        fuzz_require(
            written.size() <= size && std::equal(written.begin(), written.end(), bytes.begin()),
            "a whole list is rewritten byte for byte");
    }
    return 0;
}

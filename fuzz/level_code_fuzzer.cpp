// Level codes as a player pastes them: any text is either refused with a reason or becomes a
// level of the game's data model whose own code reads back as the same level.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "play/level_code.h"
#include "play/level_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    level_data level;
    std::string why;
    if (!decode_level_code(text, level, &why)) {
        fuzz_require(!why.empty(), "a refused code says why");
        return 0;
    }
    fuzz_require(level_model_fault(level).empty(), "an accepted code keeps the data model");
    fuzz_require(level.text.size() <= 255, "an accepted note fits its length byte");

    level_data again;
    fuzz_require(decode_level_code(encode_level_code(level), again),
                 "a level's own code is accepted");
    fuzz_require(again.text == level.text && again.cells == level.cells,
                 "a level's own code reads back unchanged");
    level_data from_file;
    fuzz_require(parse_level(encode_level(level), from_file) && from_file.cells == level.cells,
                 "an accepted code writes a level file that reads back unchanged");
    return 0;
}

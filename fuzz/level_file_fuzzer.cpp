// Level files: any bytes are either refused with a reason or become a level that the board,
// the stock, the laser array and the beam engine can hold.
#include <cstdint>
#include <span>
#include <string>

#include "app/game_state.h"
#include "board/beam_trace.h"
#include "board/board_state.h"
#include "fuzz_check.h"
#include "play/level_file.h"
#include "play/level_format.h"
#include "play/play_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    level_data level;
    std::string why;
    if (!parse_level(bytes, level, &why)) {
        fuzz_require(!why.empty(), "a refused level says why");
        return 0;
    }
    fuzz_require(level_model_fault(level).empty(), "an accepted level keeps the data model");

    // Written back, an accepted level reads as the very same level.
    level_data again;
    fuzz_require(parse_level(encode_level(level), again), "an encoded level is accepted");
    fuzz_require(again.text == level.text && again.cells == level.cells,
                 "an encoded level reads back unchanged");

    // Loaded onto the board with every laser on, and traced twice: the trace must stay inside
    // the board and leave it as it found it, so the second verdict equals the first.
    reset_all_state();
    create_board();
    create_lasers();
    reset_board();
    place_level(level);
    fuzz_require(laser_source_count >= 0 && laser_source_count <= max_lasers,
                 "the laser sources fit their array");
    const board_verdict first = judge_board();
    const board_verdict second = judge_board();
    fuzz_require(first.all_lamps_lit == second.all_lamps_lit && first.exploded == second.exploded &&
                     first.lit == second.lit && first.lamps == second.lamps,
                 "judging a board leaves it as it was");
    fuzz_require(first.lit >= 0 && first.lit <= first.lamps, "lit lamps are among the lamps");
    reset_board();
    return 0;
}

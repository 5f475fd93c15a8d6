// How each piece acts on a beam: the rules behind the tables of outgoing directions.
#include "board/beam_rules.h"

#include "board/board_state.h"

namespace {

// Orientations and directions wrap around the eight directions; & 7 keeps even an odd
// negative value inside the table.
constexpr int32_t wrap(int32_t d) { return d & 7; }

}  // namespace

int32_t translator_exit_dir(int32_t orientation, int32_t dir) {
    return dir == orientation ? dir : beam_stops;
}

int32_t mirror_exit_dir(int32_t orientation, int32_t dir) {
    if (dir == wrap(orientation + 5)) return wrap(dir + 2);
    if (dir == wrap(orientation + 3)) return wrap(dir + 6);
    return beam_stops;
}

int32_t double_mirror_exit_dir(int32_t orientation, int32_t dir) {
    const int32_t e = dir & 3;
    if (e == ((orientation + 1) & 3)) return wrap(dir + 2);
    if (e == ((orientation + 3) & 3)) return wrap(dir + 6);
    if (e == ((orientation + 2) & 3)) return dir;  // along the plates, through the gap
    return beam_stops;                             // square onto the plates
}

int32_t prism_exit_dir(int32_t orientation, int32_t dir) {
    const int32_t e = dir & 3;
    if (e == ((orientation + 2) & 3)) return wrap(dir + 7);
    if (e == ((orientation + 1) & 3)) return wrap(dir + 1);
    return beam_stops;
}

int32_t double_prism_exit_dir(int32_t orientation, int32_t dir) {
    return dir == wrap(orientation + 4) ? wrap(dir + 2) : beam_stops;
}

int32_t double_prism_split_dir(int32_t orientation, int32_t dir) {
    // The new beam leaves opposite to the one that goes on: a quarter counter-clockwise.
    return dir == wrap(orientation + 4) ? wrap(dir + 6) : beam_stops;
}

int32_t piece_exit_dir(int32_t kind, int32_t orientation, int32_t dir, bool solid) {
    switch (kind) {
        case kind_laser:
        case kind_wall:
            return beam_stops;
        case kind_bomb:
            return solid ? beam_stops : dir;
        case kind_translator:
            return translator_exit_dir(orientation, dir);
        case kind_mirror:
            return mirror_exit_dir(orientation, dir);
        case kind_double_mirror:
            return double_mirror_exit_dir(orientation, dir);
        case kind_prism:
            return prism_exit_dir(orientation, dir);
        case kind_double_prism:
            return double_prism_exit_dir(orientation, dir);
        default:
            return dir;
    }
}

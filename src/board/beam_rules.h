// How each piece acts on a beam: pure rules, no globals, no drawing, all constexpr here.
//
// The beam trace applies these to the board every frame; the level tools (solver, checker)
// call them directly to reason about a board without tracing it, so that the rules are
// written once. Directions and orientations are 0 to 7 clockwise from up; every result is a
// direction 0 to 7 or beam_stops.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "board/board_state.h"

constexpr int32_t beam_stops = -1;

// Orientations and directions wrap around the eight directions; & 7 keeps even an odd
// negative value inside the table.
constexpr int32_t wrap_dir(int32_t d) { return d & 7; }

// A translator passes only a beam travelling in its own direction.
constexpr int32_t translator_exit_dir(int32_t orientation, int32_t dir) {
    return dir == orientation ? dir : beam_stops;
}
// One-sided mirror: the reflecting side faces `orientation`; a beam meeting it at 45 degrees
// from the front turns a quarter, square, grazing and rear hits stop.
constexpr int32_t mirror_exit_dir(int32_t orientation, int32_t dir) {
    if (dir == wrap_dir(orientation + 5)) return wrap_dir(dir + 2);
    if (dir == wrap_dir(orientation + 3)) return wrap_dir(dir + 6);
    return beam_stops;
}
// Two-sided mirror, transparent along its plates; orientations f and f + 4 act alike.
constexpr int32_t double_mirror_exit_dir(int32_t orientation, int32_t dir) {
    const int32_t e = dir & 3;
    if (e == ((orientation + 1) & 3)) return wrap_dir(dir + 2);
    if (e == ((orientation + 3) & 3)) return wrap_dir(dir + 6);
    if (e == ((orientation + 2) & 3)) return dir;  // along the plates, through the gap
    return beam_stops;                             // square onto the plates
}
// Prism: bends by 45 degrees; only the orientation mod 4 matters.
constexpr int32_t prism_exit_dir(int32_t orientation, int32_t dir) {
    const int32_t e = dir & 3;
    if (e == ((orientation + 2) & 3)) return wrap_dir(dir + 7);
    if (e == ((orientation + 1) & 3)) return wrap_dir(dir + 1);
    return beam_stops;
}
// Double prism: accepts only a beam travelling in (orientation + 4) mod 8, which goes on a
// quarter clockwise.
constexpr int32_t double_prism_exit_dir(int32_t orientation, int32_t dir) {
    return dir == wrap_dir(orientation + 4) ? wrap_dir(dir + 2) : beam_stops;
}

// The direction in which a beam entering a cell in direction `dir` leaves it, given the piece
// `kind` on the cell and its orientation (the cell's state, or the turned orientation while the
// player turns it). beam_stops when the piece stops the beam.
//
// A solid beam stops at a bomb (and sets it off); a dashed beam passes it: `solid` says which.
// Empty cells, lamps and colour spheres let every beam through unchanged in direction; kinds
// outside 0 to 13 behave like an empty cell. For a double prism this is the direction of the
// beam that goes on; the beam it splits off is double_prism_split_dir.
constexpr int32_t piece_exit_dir(int32_t kind, int32_t orientation, int32_t dir, bool solid) {
    switch (kind) {
        case kind_laser:
        case kind_wall: return beam_stops;
        case kind_bomb: return solid ? beam_stops : dir;
        case kind_translator: return translator_exit_dir(orientation, dir);
        case kind_mirror: return mirror_exit_dir(orientation, dir);
        case kind_double_mirror: return double_mirror_exit_dir(orientation, dir);
        case kind_prism: return prism_exit_dir(orientation, dir);
        case kind_double_prism: return double_prism_exit_dir(orientation, dir);
        default: return dir;
    }
}

// The direction of the new beam a double prism of this orientation splits off a beam entering
// in `dir`, or beam_stops when it does not accept that direction.
constexpr int32_t double_prism_split_dir(int32_t orientation, int32_t dir) {
    // The new beam leaves opposite to the one that goes on: a quarter counter-clockwise.
    return dir == wrap_dir(orientation + 4) ? wrap_dir(dir + 6) : beam_stops;
}

// Colour of a beam after it passes a colour sphere of kind 10 to 13 (white, red, green, blue).
constexpr int32_t sphere_beam_colour(int32_t kind) { return kind - kind_white_sphere; }

// The bit a beam colour (0 white, 1 red, 2 green, 3 blue) sets in a lamp's mask:
// white 1, blue 2, green 4, red 8.
constexpr std::array<int32_t, 4> beam_colour_bit = {1, 8, 4, 2};
constexpr int32_t lamp_bit_white = 1;
constexpr int32_t lamp_bit_blue = 2;
constexpr int32_t lamp_bit_green = 4;
constexpr int32_t lamp_bit_red = 8;

// The mask bits a lamp of each colour (0 to 6) needs. White light is its own colour: red,
// green and blue together never light a white lamp, and white light lights only white lamps.
constexpr std::array<int32_t, 7> lamp_needs = {
    lamp_bit_white,                  // white
    lamp_bit_red,                    // red
    lamp_bit_green,                  // green
    lamp_bit_blue,                   // blue
    lamp_bit_red | lamp_bit_green,   // yellow
    lamp_bit_green | lamp_bit_blue,  // sky-blue
    lamp_bit_red | lamp_bit_blue,    // violet
};

// A lamp is lit when its mask holds every colour it needs; further colours do not matter.
// A colour outside 0 to 6 is never lit.
constexpr bool lamp_is_lit(int32_t lamp_colour, int32_t mask) {
    if (lamp_colour < 0 || lamp_colour > 6) return false;
    const int32_t needs = lamp_needs[static_cast<size_t>(lamp_colour)];
    return (mask & needs) == needs;
}

// Drawing colours (red, green, blue) of the beam colours and of the lamp colours.
struct rgb {
    int32_t r, g, b;
};
constexpr std::array<rgb, 4> beam_rgb = {{{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}}};
constexpr std::array<rgb, 7> lamp_rgb = {{{255, 255, 255},
                                          {255, 0, 0},
                                          {0, 255, 0},
                                          {0, 0, 255},
                                          {255, 255, 0},
                                          {0, 255, 255},
                                          {255, 0, 255}}};

// One row per piece kind: what the player may do with it, how its picture follows its cell,
// what it is worth left in the stock, the word that names it in level sources and its slot on
// the play screen's panel.
//
// Adding a kind: its kind_ constant and row here, its rule in beam_rules and the trace, its
// picture in the asset generator and piece_image, and its tests.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "board/board_state.h"

// How the frame of a piece's picture follows its cell.
constexpr int32_t frame_none = 0;            // nothing drawn (an empty cell)
constexpr int32_t frame_by_orientation = 1;  // frame = orientation, 0 to 7
constexpr int32_t frame_single = 2;          // always frame 0
constexpr int32_t frame_by_lamp_colour = 3;  // frame = the lamp's colour, 0 to 6
// A prism offers four orientations; one stored as 4 to 7 shows as its mod 4.
constexpr int32_t frame_by_orientation_mod_4 = 4;
// The double prism's strip starts with the piece facing down: frame = (orientation + 4) mod 8.
constexpr int32_t frame_facing_down_first = 5;
constexpr int32_t frame_by_sphere_colour = 6;  // one picture for the four spheres

constexpr int32_t no_panel_slot = -1;

struct piece_kind_rules {
    const char* legend_word;  // the piece's name in a level source's legend
    // From the stock: the player places it and takes it back; a level file holds it only as a
    // solution piece.
    bool movable;
    int32_t orientations;  // the player can turn it to this many (1: it does not turn)
    bool sphere;           // a colour sphere: paints beams its colour
    // Two beams meeting in its cell stop even when one has already stopped there, and their
    // blend stays on top for the rest of the trace.
    bool holds_meetings;
    int32_t frame_rule;
    int32_t bonus;       // score for each one left in the stock at a win
    int32_t panel_slot;  // 0 to 4 on the play screen's panel, or no_panel_slot
};

constexpr int32_t piece_kind_count = 14;

constexpr std::array<piece_kind_rules, piece_kind_count> piece_kinds = {{
    {"empty", false, 1, false, false, frame_none, 0, no_panel_slot},
    {"laser", false, 1, false, false, frame_by_orientation, 0, no_panel_slot},
    {"lamp", false, 1, false, false, frame_by_lamp_colour, 0, no_panel_slot},
    {"bomb", false, 1, false, false, frame_single, 0, no_panel_slot},
    {"wall", false, 1, false, false, frame_single, 0, no_panel_slot},
    {"translator", false, 1, false, false, frame_by_orientation, 0, no_panel_slot},
    {"mirror", true, 8, false, false, frame_by_orientation, 50, 0},
    {"double_mirror", true, 8, false, true, frame_by_orientation, 100, 1},
    {"prism", true, 4, false, true, frame_by_orientation_mod_4, 150, 2},
    {"double_prism", true, 8, false, true, frame_facing_down_first, 200, 3},
    {"white_sphere", true, 1, true, true, frame_by_sphere_colour, 200, 4},
    {"red_sphere", true, 1, true, true, frame_by_sphere_colour, 200, 4},
    {"green_sphere", true, 1, true, true, frame_by_sphere_colour, 200, 4},
    {"blue_sphere", true, 1, true, true, frame_by_sphere_colour, 200, 4},
}};

// A kind the game knows, 0 to 13; everything below answers false for any other.
constexpr bool is_known_kind(int32_t kind) { return kind >= 0 && kind < piece_kind_count; }
constexpr const piece_kind_rules& kind_rules(int32_t kind) {
    return piece_kinds[static_cast<size_t>(is_known_kind(kind) ? kind : kind_empty)];
}
// A piece with a picture: every known kind but the empty cell.
constexpr bool is_piece(int32_t kind) { return is_known_kind(kind) && kind != kind_empty; }
constexpr bool is_movable(int32_t kind) { return kind_rules(kind).movable; }
// A movable piece the player turns by dragging (state 9 while held).
constexpr bool is_turnable(int32_t kind) {
    return is_movable(kind) && kind_rules(kind).orientations > 1;
}
constexpr bool is_sphere(int32_t kind) { return kind_rules(kind).sphere; }
constexpr bool holds_meetings(int32_t kind) { return kind_rules(kind).holds_meetings; }
// The sphere of a beam colour (0 white, 1 red, 2 green, 3 blue), and a sphere's colour.
constexpr int32_t sphere_kind(int32_t colour) { return kind_white_sphere + colour; }
constexpr int32_t sphere_colour_of(int32_t kind) { return kind - kind_white_sphere; }
// The kind a panel slot offers: slots 0 to 3 hold one kind each, slot 4 the sphere of the
// chosen colour.
constexpr int32_t panel_slot_kind(int32_t slot, int32_t sphere_colour) {
    for (int32_t kind = 0; kind < piece_kind_count; ++kind)
        if (!is_sphere(kind) && kind_rules(kind).panel_slot == slot) return kind;
    return sphere_kind(sphere_colour);
}
// The frame of the kind's picture that shows this orientation (for a lamp: its colour).
constexpr int32_t piece_frame(int32_t kind, int32_t orientation, int32_t lamp_colour) {
    switch (kind_rules(kind).frame_rule) {
        case frame_by_lamp_colour: return lamp_colour;
        case frame_single: return 0;
        case frame_by_orientation_mod_4: return orientation % 4;
        case frame_facing_down_first: return (orientation + 4) % 8;
        case frame_by_sphere_colour: return sphere_colour_of(kind);
        default: return orientation;
    }
}

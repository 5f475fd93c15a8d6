// The table of piece kinds against what each kind is known to do in the game.
#include "board/piece_kinds.h"

#include <gtest/gtest.h>

namespace {

TEST(piece_kinds, each_kind_answers_as_its_family) {
    for (int32_t kind = -2; kind <= 16; ++kind) {
        const bool movable = kind >= kind_mirror && kind <= kind_blue_sphere;
        const bool sphere = kind >= kind_white_sphere && kind <= kind_blue_sphere;
        EXPECT_EQ(is_known_kind(kind), kind >= 0 && kind <= 13) << kind;
        EXPECT_EQ(is_piece(kind), kind >= 1 && kind <= 13) << kind;
        EXPECT_EQ(is_movable(kind), movable) << kind;
        EXPECT_EQ(is_turnable(kind), movable && !sphere) << kind;
        EXPECT_EQ(is_sphere(kind), sphere) << kind;
        EXPECT_EQ(holds_meetings(kind), movable && kind != kind_mirror) << kind;
    }
}

TEST(piece_kinds, frames_follow_the_pictures_strips) {
    for (int32_t o = 0; o < 8; ++o) {
        EXPECT_EQ(piece_frame(kind_laser, o, 3), o);
        EXPECT_EQ(piece_frame(kind_mirror, o, 3), o);
        EXPECT_EQ(piece_frame(kind_prism, o, 3), o % 4);
        EXPECT_EQ(piece_frame(kind_double_prism, o, 3), (o + 4) % 8);
        EXPECT_EQ(piece_frame(kind_wall, o, 3), 0);
        EXPECT_EQ(piece_frame(kind_lamp, o, 5), 5);
        EXPECT_EQ(piece_frame(kind_green_sphere, o, 3), 2);
    }
}

TEST(piece_kinds, panel_slots_and_bonuses) {
    EXPECT_EQ(panel_slot_kind(0, 2), kind_mirror);
    EXPECT_EQ(panel_slot_kind(1, 2), kind_double_mirror);
    EXPECT_EQ(panel_slot_kind(2, 2), kind_prism);
    EXPECT_EQ(panel_slot_kind(3, 2), kind_double_prism);
    EXPECT_EQ(panel_slot_kind(4, 2), kind_green_sphere);
    EXPECT_EQ(panel_slot_kind(4, 0), kind_white_sphere);
    const int32_t bonus[] = {50, 100, 150, 200, 200, 200, 200, 200};
    for (int32_t kind = 0; kind < piece_kind_count; ++kind)
        EXPECT_EQ(kind_rules(kind).bonus, is_movable(kind) ? bonus[kind - kind_mirror] : 0);
}

}  // namespace

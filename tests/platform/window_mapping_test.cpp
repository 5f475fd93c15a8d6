// The window's mouse mapping: window pixels to display pixels through the letterbox.
#include <gtest/gtest.h>

#include "platform/platform_internal.h"

namespace {

struct mapping_case {
    int32_t window_width, window_height;
    int32_t wx, wy;
    int32_t dx, dy;
};

TEST(window_mapping, the_mouse_is_mapped_through_the_scaling_and_the_black_bars) {
    const mapping_case cases[] = {
        {800, 600, 0, 0, 0, 0},  // the window the game asks for: one to one
        {800, 600, 799, 599, 799, 599},
        {800, 600, 400, 300, 400, 300},
        {1600, 1200, 801, 601, 400, 300},  // twice the size
        {1600, 1200, 1599, 1199, 799, 599},
        {1000, 600, 100, 0, 0, 0},  // wider: bars of 100 left and right
        {1000, 600, 899, 599, 799, 599},
        {1000, 600, 50, 300, 0, 300},     // on the left bar: the display's edge
        {1000, 600, 950, 300, 799, 300},  // on the right bar
        {800, 900, 400, 150, 400, 0},     // taller: bars of 150 above and below
        {800, 900, 400, 100, 400, 0},
        {800, 900, 400, 749, 400, 599},
        {800, 900, 400, 800, 400, 599},
        {1920, 1080, 240, 0, 0, 0},  // full screen on a wide desktop: 1440 by 1080
        {1920, 1080, 960, 540, 400, 300},
        {400, 300, 200, 150, 400, 300},  // smaller than the display
        {400, 300, 1, 1, 2, 2},
    };
    for (const mapping_case& c : cases) {
        int32_t dx = -1;
        int32_t dy = -1;
        platform::window_to_display(c.wx, c.wy, c.window_width, c.window_height, dx, dy);
        EXPECT_EQ(dx, c.dx) << c.window_width << "x" << c.window_height << " at " << c.wx << ","
                            << c.wy;
        EXPECT_EQ(dy, c.dy) << c.window_width << "x" << c.window_height << " at " << c.wx << ","
                            << c.wy;
    }
}

}  // namespace

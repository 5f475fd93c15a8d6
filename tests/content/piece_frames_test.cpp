// The piece strips read the way the beam rules work: a laser lens's frame k sits in
// direction k, a mirror's frame k has its bright face toward k, a translator's arrow points k.
// A strip drawn in the wrong order, or turned the wrong way, fails here.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "png_reader.h"

namespace {

constexpr double pi = 3.14159265358979323846;
double step_x(int32_t d) { return std::sin(d * pi / 4); }
double step_y(int32_t d) { return -std::cos(d * pi / 4); }

rgba_picture strip(const std::string& name) {
    return read_png(std::string(BEAMWORKS_GAME_DIR) + "/images/" + name);
}

// Brightness of a pixel as drawn over black: colour times coverage.
double light(const rgba_picture& p, int32_t x, int32_t y) {
    return (p.at(x, y, 0) + p.at(x, y, 1) + p.at(x, y, 2)) * p.alpha(x, y) / 255.0;
}

// The direction (0 to 7) nearest to the vector (x, y).
int32_t nearest_dir(double x, double y) {
    double angle = std::atan2(x, -y) * 180 / pi;
    if (angle < 0) angle += 360;
    return static_cast<int32_t>(std::lround(angle / 45)) % 8;
}

// Where, seen from the cell's centre, the light of frame k is weighted toward, counting only
// pixels brighter than `floor`.
int32_t lean_of(const rgba_picture& p, int32_t k, double floor) {
    double sx = 0, sy = 0;
    for (int32_t y = 0; y < 35; ++y) {
        for (int32_t x = 0; x < 35; ++x) {
            const double l = light(p, 35 * k + x, y);
            if (l < floor) continue;
            sx += (x - 17) * l;
            sy += (y - 17) * l;
        }
    }
    return nearest_dir(sx, sy);
}

// The lens is a picture of its own, laid over the laser's: lit in frames 0 to 7, dark in 8 to
// 15, each at the muzzle of a laser aimed in direction k.
TEST(piece_frames_test, laser_lens_points_the_beam_direction) {
    const rgba_picture p = strip("laser_lens.png");
    ASSERT_EQ(p.width, 560);
    for (int32_t k = 0; k < 8; ++k) {
        EXPECT_EQ(lean_of(p, k, 600), k) << "frame " << k;
        EXPECT_EQ(lean_of(p, 8 + k, 300), k) << "frame " << 8 + k;
    }
}

TEST(piece_frames_test, translator_arrow_points_its_open_direction) {
    const rgba_picture p = strip("translator.png");
    ASSERT_EQ(p.width, 280);
    for (int32_t k = 0; k < 8; ++k) {
        // The arrow is the only warm, bright part: much more red than blue.
        double sx = 0, sy = 0;
        for (int32_t y = 0; y < 35; ++y) {
            for (int32_t x = 0; x < 35; ++x) {
                const int32_t px = 35 * k + x;
                if (p.alpha(px, y) < 200 || p.red(px, y) < 220 || p.at(px, y, 2) > 140) continue;
                sx += x - 17;
                sy += y - 17;
            }
        }
        EXPECT_EQ(nearest_dir(sx, sy), k) << "frame " << k;
    }
}

TEST(piece_frames_test, mirror_face_looks_toward_its_orientation) {
    const rgba_picture p = strip("mirror.png");
    ASSERT_EQ(p.width, 280);
    for (int32_t k = 0; k < 8; ++k) {
        double front = 0, back = 0;
        for (int32_t y = 0; y < 35; ++y) {
            for (int32_t x = 0; x < 35; ++x) {
                const double side = (x - 17) * step_x(k) + (y - 17) * step_y(k);
                if (side > 1.5) front += light(p, 35 * k + x, y);
                if (side < -1.5) back += light(p, 35 * k + x, y);
            }
        }
        EXPECT_GT(front, 1.5 * back) << "frame " << k;
    }
}

// Lamps are drawn unlit in their own colour, in lamp colour order: white, red, green, blue,
// yellow, sky-blue, violet.
TEST(piece_frames_test, lamp_glass_has_the_lamp_colour) {
    const rgba_picture p = strip("lamp.png");
    ASSERT_EQ(p.width, 245);
    const int32_t colours[7][3] = {{1, 1, 1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1},
                                   {1, 1, 0}, {0, 1, 1}, {1, 0, 1}};
    for (int32_t k = 0; k < 7; ++k) {
        // A point of the glass below its highlight.
        const int32_t x = 35 * k + 21, y = 17;
        for (int32_t c = 0; c < 3; ++c) {
            if (colours[k][c] == 1) {
                EXPECT_GT(p.at(x, y, c), 90) << "lamp " << k << " channel " << c;
            } else {
                EXPECT_LT(p.at(x, y, c), 90) << "lamp " << k << " channel " << c;
            }
        }
    }
}

}  // namespace

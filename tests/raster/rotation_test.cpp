// SPDX-License-Identifier: MIT
// Rotation about the image centre: its stated behaviour at the quarter turns and for pictures
// of one colour.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>

#include "raster/rasterkit.h"
#include "raster/reference/reference_zoom.h"

namespace {

using zoom_reference::PixelImage;

int32_t Channel(uint16_t pixel, int shift) { return (pixel >> shift) & 0x1F; }

// Each destination pixel (x, y), taken about the centre as (X, Y), shows the source at
// (X cos a - Y sin a, X sin a + Y cos a): at a quarter turn the source's (-Y, X), at a half turn
// (-X, -Y), at three quarters (Y, -X); within a step of each channel, as the weights are cut to
// 8 bits. Pixels whose source lies on or beyond the image's edge are left out.
TEST(RotationTest, QuarterTurnsMoveEachPixelToItsTurnedPlace) {
  std::mt19937 rng(360);
  struct Turn {
    float angle;
    int32_t xx, xy, yx, yy;  // source X = xx X + xy Y, source Y = yx X + yy Y
  };
  for (const Turn& turn : {Turn{90.0f, 0, -1, 1, 0}, Turn{180.0f, -1, 0, 0, -1}, Turn{270.0f, 0, 1, -1, 0},
                           Turn{-90.0f, 0, 1, -1, 0}, Turn{450.0f, 0, -1, 1, 0}}) {
    for (const auto& [width, height] : {std::pair{20, 20}, std::pair{24, 16}, std::pair{9, 13}}) {
      const PixelImage src = zoom_reference::RandomPixelImage(rng, width, height);
      PixelImage dst(width, height, src.pitch);
      dst.Fill(0xFFFF);
      Rotation(src.data(), dst.data(), width, height, turn.angle, src.pitch);
      ASSERT_TRUE(dst.bytes.GuardsIntact());
      const int32_t halfWidth = width / 2, halfHeight = height / 2;
      int32_t compared = 0;
      for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
          const int32_t X = x - halfWidth, Y = y - halfHeight;
          const int32_t sx = turn.xx * X + turn.xy * Y + halfWidth, sy = turn.yx * X + turn.yy * Y + halfHeight;
          if (sx < 1 || sy < 1 || sx >= width - 1 || sy >= height - 1 || x >= 2 * halfWidth || y >= 2 * halfHeight) {
            continue;
          }
          ++compared;
          for (int shift : {10, 5, 0}) {
            ASSERT_LE(std::abs(Channel(dst.at(x, y), shift) - Channel(src.at(sx, sy), shift)), 1)
                << turn.angle << " degrees, " << width << " x " << height << " at " << x << "," << y;
          }
        }
      }
      EXPECT_GT(compared, (width - 4) * (height - 4) / 2);
    }
  }
}

// A picture of one colour stays that colour, within a step, wherever a turn by any angle
// brings it; what lies outside the turned picture, and the last column and row of odd sizes,
// are left alone.
TEST(RotationTest, OneColourStaysOneColourAtAnyAngle) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 200; ++trial) {
    const int32_t width = 2 + int32_t(rng() % 40), height = 2 + int32_t(rng() % 40);
    const uint16_t colour = uint16_t(rng() & 0x7FFF);
    PixelImage src(width, height, width);
    src.Fill(colour);
    PixelImage dst(width, height, width);
    dst.Fill(0xFFFF);
    const float angle = float(rng() % 72000) / 100.0f - 360.0f;
    Rotation(src.data(), dst.data(), width, height, angle, width);
    ASSERT_TRUE(dst.bytes.GuardsIntact());
    int32_t drawn = 0;
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        const uint16_t pixel = dst.at(x, y);
        if (pixel == 0xFFFF) continue;
        ASSERT_TRUE(x < (width & ~1) && y < (height & ~1)) << "odd sizes: " << x << "," << y;
        ++drawn;
        for (int shift : {10, 5, 0}) {
          const int32_t difference = Channel(colour, shift) - Channel(pixel, shift);
          ASSERT_TRUE(difference == 0 || difference == 1) << angle << " degrees at " << x << "," << y;
        }
      }
    }
    EXPECT_GT(drawn, 0) << angle << " degrees, " << width << " x " << height;
  }
}

TEST(RotationTest, AngleZeroCopiesAllButTheLeftColumnAndTopRow) {
  std::mt19937 rng(1);
  PixelImage src(9, 7, 10);
  for (int32_t y = 0; y < 7; ++y)
    for (int32_t x = 0; x < 9; ++x) src.at(x, y) = uint16_t(rng() & 0x7FFF);
  PixelImage dst(9, 7, 10);
  dst.Fill(0xFFFF);
  Rotation(src.data(), dst.data(), 9, 7, 0.0f, 10);
  // Odd sizes: the last column and the last row lie outside the rotated area as well.
  for (int32_t y = 0; y < 7; ++y) {
    for (int32_t x = 0; x < 9; ++x) {
      if (x == 0 || y == 0 || x == 8 || y == 6) {
        EXPECT_EQ(dst.at(x, y), 0xFFFF) << x << "," << y;
      } else {
        EXPECT_EQ(dst.at(x, y), src.at(x, y)) << x << "," << y;
      }
    }
  }
}

TEST(RotationTest, MeaninglessArgumentsWriteNothing) {
  PixelImage src(8, 8, 8), dst(8, 8, 8);
  src.Fill(0x1234);
  const auto before = dst.bytes.all();
  Rotation(src.data(), dst.data(), 0, 8, 10.0f, 8);
  Rotation(src.data(), dst.data(), 8, -2, 10.0f, 8);
  Rotation(src.data(), dst.data(), 8, 8, 10.0f, 4);
  Rotation(src.data(), dst.data(), 8, 8, INFINITY, 8);
  EXPECT_TRUE(dst.bytes.all() == before);
}

}  // namespace

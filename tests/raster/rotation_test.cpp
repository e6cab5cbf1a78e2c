// Rotation about the image centre: its stated behaviour and randomized bit-exact comparison
// with the scalar reference.
#include <gtest/gtest.h>

#include <random>

#include "raster/rasterkit.h"
#include "raster/reference/reference_zoom.h"

namespace {

using zoom_reference::PixelImage;

TEST(RotationTest, MatchesTheReferenceBitForBit) {
  std::mt19937 rng(360);
  const float fixedAngles[] = {0.0f, 90.0f, 180.0f, -90.0f, 45.0f, 270.0f, 720.5f, -33.3f};
  for (int trial = 0; trial < 300; ++trial) {
    // Heights beyond 256 rows too: the routine keeps no row tables.
    const int32_t width = 1 + int32_t(rng() % 40);
    const int32_t height = trial % 50 == 0 ? 300 : 1 + int32_t(rng() % 40);
    const PixelImage src = zoom_reference::RandomPixelImage(rng, width, height);
    PixelImage actual(width, height, src.pitch);
    actual.bytes.Randomize(rng);
    PixelImage expected = actual;
    const float angle = trial < 8 ? fixedAngles[trial] : float(rng() % 72000) / 100.0f - 360.0f;
    Rotation(src.data(), actual.data(), width, height, angle, src.pitch);
    zoom_reference::Rotation(src.data(), expected.data(), width, height, angle, src.pitch);
    ASSERT_TRUE(actual.bytes.GuardsIntact()) << "trial " << trial;
    ASSERT_TRUE(actual.bytes.all() == expected.bytes.all()) << "trial " << trial << " angle " << angle;
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

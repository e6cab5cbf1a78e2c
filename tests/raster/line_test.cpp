// The anti-aliased darkening line: its stated behaviour and randomized bit-exact comparison
// with the scalar reference.
#include <gtest/gtest.h>

#include <random>

#include "raster/rasterkit.h"
#include "raster/reference/reference_zoom.h"

namespace {

using zoom_reference::PixelImage;

TEST(LineTest, MostlyHorizontalLineDarkensOneOrTwoPixelsPerColumn) {
  PixelImage image(6, 4, 6);
  image.Fill(0x7FFF);
  myLine(image.data(), 6, 0, 4, 0, 2);
  const uint16_t black = 0, by128 = 15 << 10 | 15 << 5 | 15, by127 = 15 << 10 | 15 << 5 | 15;
  EXPECT_EQ(image.at(0, 0), black);
  EXPECT_EQ(image.at(1, 0), by128);  // 31 x 128 >> 8 = 15
  EXPECT_EQ(image.at(1, 1), by127);  // 31 x 127 >> 8 = 15
  EXPECT_EQ(image.at(2, 1), black);
  EXPECT_EQ(image.at(3, 1), by128);
  EXPECT_EQ(image.at(3, 2), by127);
  int untouched = 0;
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 6; ++x) untouched += image.at(x, y) == 0x7FFF;
  EXPECT_EQ(untouched, 24 - 6);  // (4, 2), the end, among them

  // Factors 128 and 127 differ on a channel value of 2: 2 x 128 >> 8 = 1, 2 x 127 >> 8 = 0.
  image.Fill(0x0842);
  myLine(image.data(), 6, 0, 4, 0, 2);
  EXPECT_EQ(image.at(1, 0), 0x0421);
  EXPECT_EQ(image.at(1, 1), 0x0000);
}

TEST(LineTest, EqualEndsDrawNothing) {
  PixelImage image(4, 4, 4);
  image.Fill(0x7FFF);
  const auto before = image.bytes.all();
  myLine(image.data(), 4, 2, 2, 1, 1);
  EXPECT_TRUE(image.bytes.all() == before);
}

TEST(LineTest, MatchesTheReferenceBitForBit) {
  std::mt19937 rng(77);
  for (int trial = 0; trial < 2000; ++trial) {
    const int32_t width = 1 + int32_t(rng() % 30), height = 1 + int32_t(rng() % 30);
    // Ends may lie outside the image on the left or top; on the right and bottom they stay in.
    const auto coordinate = [&](int32_t size) { return int32_t(rng() % uint32_t(size + 8)) - 8; };
    const int32_t x0 = coordinate(width), x1 = coordinate(width), y0 = coordinate(height), y1 = coordinate(height);
    PixelImage actual(width + 1, height + 1, width + 1 + int32_t(rng() % 3));
    actual.bytes.Randomize(rng);
    PixelImage expected = actual;
    myLine(actual.data(), actual.pitch, x0, x1, y0, y1);
    zoom_reference::myLine(expected.data(), expected.pitch, x0, x1, y0, y1);
    ASSERT_TRUE(actual.bytes.GuardsIntact()) << "trial " << trial;
    ASSERT_TRUE(actual.bytes.all() == expected.bytes.all())
        << "trial " << trial << ": " << x0 << "," << y0 << " to " << x1 << "," << y1;
  }
}

TEST(LineTest, PixelsOutsideTheImageAreNotTouched) {
  // A line running from left of the image to right of its rows and from above it.
  PixelImage image(8, 8, 8);
  image.Fill(0x7FFF);
  myLine(image.data(), 8, -20, 30, -5, 6);
  myLine(image.data(), 8, 3, 5, -40, 7);
  myLine(image.data(), 8, INT32_MIN, INT32_MAX, 0, 1);  // far out: drawn nowhere
  EXPECT_TRUE(image.bytes.GuardsIntact());
  EXPECT_NE(image.at(0, 0), 0x7FFF);  // the first line enters the image at (0, 0)
}

}  // namespace

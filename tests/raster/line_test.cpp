// SPDX-License-Identifier: MIT
// The anti-aliased darkening line: its stated behaviour, and its symmetries and the darkness it
// adds on random lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>

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

// Random lines on white square images, ends inside: drawn from either end the picture is the
// same; a steep line is the mirror, across the diagonal, of the flat line with its axes swapped;
// and each column of a flat line (each row of a steep one) from its first end up to its second
// darkens one pixel, or two neighbours whose darkening adds up to one pixel's, within a step
// either way.
TEST(LineTest, EitherEndFirstMirroredAndOnePixelOfDarknessPerColumn) {
  std::mt19937 rng(77);
  const int32_t n = 24;
  auto draw = [n](int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
    PixelImage image(n, n, n);
    image.Fill(0x7FFF);
    myLine(image.data(), n, x0, x1, y0, y1);
    EXPECT_TRUE(image.bytes.GuardsIntact());
    return image;
  };
  for (int trial = 0; trial < 2000; ++trial) {
    const int32_t x0 = int32_t(rng() % n), x1 = int32_t(rng() % n), y0 = int32_t(rng() % n), y1 = int32_t(rng() % n);
    const int32_t dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    if (dx == dy) continue;  // a diagonal is drawn row by row either way
    const PixelImage image = draw(x0, x1, y0, y1);
    const std::string line =
        std::to_string(x0) + "," + std::to_string(y0) + " to " + std::to_string(x1) + "," + std::to_string(y1);
    ASSERT_TRUE(image.bytes.all() == draw(x1, x0, y1, y0).bytes.all()) << line;
    const PixelImage mirrored = draw(y0, y1, x0, x1);
    for (int32_t y = 0; y < n; ++y)
      for (int32_t x = 0; x < n; ++x) ASSERT_EQ(image.at(x, y), mirrored.at(y, x)) << line << " at " << x << "," << y;

    // Along the line's long axis: from the lower end up to the higher end, not including it.
    const bool flat = dy < dx;
    const int32_t first = flat ? std::min(x0, x1) : std::min(y0, y1), last = flat ? std::max(x0, x1) : std::max(y0, y1);
    for (int32_t along = 0; along < n; ++along) {
      int32_t lost = 0, darkened = 0, lowest = n, highest = -1;
      for (int32_t across = 0; across < n; ++across) {
        const uint16_t pixel = flat ? image.at(along, across) : image.at(across, along);
        if (pixel == 0x7FFF) continue;
        ASSERT_EQ(pixel & 0x1F, (pixel >> 5) & 0x1F) << line << ": the three channels alike";
        lost += 31 - (pixel & 0x1F);
        ++darkened;
        lowest = std::min(lowest, across);
        highest = std::max(highest, across);
      }
      if (along < first || along >= last) {
        ASSERT_EQ(darkened, 0) << line << " at " << along;
        continue;
      }
      ASSERT_TRUE(darkened == 1 || (darkened == 2 && highest == lowest + 1)) << line << " at " << along;
      ASSERT_GE(lost, 31) << line << " at " << along;
      ASSERT_LE(lost, 33) << line << " at " << along;
    }
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

// SPDX-License-Identifier: MIT
// The 24-bit bilinear and bicubic zooms: stated behaviour and randomized bit-exact comparison
// with the scalar references.
#include <gtest/gtest.h>

#include <random>

#include "raster/rasterkit.h"
#include "raster/reference/reference_zoom.h"

namespace {

using zoom_reference::GuardedBytes;

struct Image24 {
  Image24(int32_t width, int32_t height, int32_t stride)
      : width(width), height(height), stride(stride), bytes(size_t(stride) * size_t(height), 0) {}
  int32_t width, height, stride;
  GuardedBytes bytes;
};

Image24 RandomImage24(std::mt19937& rng, int32_t width, int32_t height) {
  Image24 image(width, height, 3 * width + int32_t(rng() % 4));
  image.bytes.Randomize(rng);
  return image;
}

TEST(Zoom24Test, BothZoomsMatchTheReferencesBitForBit) {
  std::mt19937 rng(24);
  for (int trial = 0; trial < 300; ++trial) {
    const auto side = [&] { return 1 + int32_t(rng() % (trial % 3 ? 20 : 4)); };
    const Image24 src = RandomImage24(rng, side(), side());
    Image24 actual = RandomImage24(rng, side() * (1 + int32_t(rng() % 3)), side());
    Image24 expected = actual;
    ZoomTwoLine(src.bytes.data(), actual.bytes.data(), &src.stride, &actual.stride, &src.width, &src.height,
                &actual.width, &actual.height);
    zoom_reference::ZoomTwoLine(src.bytes.data(), expected.bytes.data(), &src.stride, &expected.stride, &src.width,
                                &src.height, &expected.width, &expected.height);
    ASSERT_TRUE(actual.bytes.GuardsIntact()) << "ZoomTwoLine trial " << trial;
    ASSERT_TRUE(actual.bytes.all() == expected.bytes.all()) << "ZoomTwoLine trial " << trial;

    ZoomThreeLine(src.bytes.data(), actual.bytes.data(), src.stride, actual.stride, src.width, src.height, actual.width,
                  actual.height);
    zoom_reference::ZoomThreeLine(src.bytes.data(), expected.bytes.data(), src.stride, expected.stride, src.width,
                                  src.height, expected.width, expected.height);
    ASSERT_TRUE(actual.bytes.GuardsIntact()) << "ZoomThreeLine trial " << trial;
    ASSERT_TRUE(actual.bytes.all() == expected.bytes.all()) << "ZoomThreeLine trial " << trial;
  }
}

TEST(Zoom24Test, EqualSizesCopyEveryByte) {
  std::mt19937 rng(5);
  const Image24 src = RandomImage24(rng, 13, 9);
  Image24 dst(13, 9, 3 * 13);
  ZoomTwoLine(src.bytes.data(), dst.bytes.data(), &src.stride, &dst.stride, &src.width, &src.height, &dst.width,
              &dst.height);
  for (int32_t y = 0; y < 9; ++y)
    for (int32_t b = 0; b < 3 * 13; ++b)
      ASSERT_EQ(dst.bytes.data()[y * dst.stride + b], src.bytes.data()[y * src.stride + b]) << b << "," << y;
  // The bicubic weights at a whole position are (0, 1, 0, 0): a copy as well.
  ZoomThreeLine(src.bytes.data(), dst.bytes.data(), src.stride, dst.stride, 13, 9, 13, 9);
  for (int32_t y = 0; y < 9; ++y)
    for (int32_t b = 0; b < 3 * 13; ++b)
      ASSERT_EQ(dst.bytes.data()[y * dst.stride + b], src.bytes.data()[y * src.stride + b]) << b << "," << y;
}

TEST(Zoom24Test, MeaninglessSizesWriteNothing) {
  Image24 src(4, 4, 12), dst(4, 4, 12);
  const auto before = dst.bytes.all();
  const int32_t zero = 0, four = 4, twelve = 12, eight = 8;
  ZoomTwoLine(src.bytes.data(), dst.bytes.data(), &twelve, &twelve, &four, &four, &zero, &four);
  ZoomTwoLine(src.bytes.data(), dst.bytes.data(), &twelve, &eight, &four, &four, &four, &four);
  ZoomThreeLine(src.bytes.data(), dst.bytes.data(), 12, 12, 4, -1, 4, 4);
  ZoomThreeLine(src.bytes.data(), dst.bytes.data(), 8, 12, 4, 4, 4, 4);
  EXPECT_TRUE(dst.bytes.all() == before);
}

}  // namespace

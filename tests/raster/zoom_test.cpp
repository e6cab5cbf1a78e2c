// SPDX-License-Identifier: MIT
// The 16-bit zooms: their stated behaviour, and randomized bit-exact comparison with the scalar
// references, guard bytes around every buffer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "raster/rasterkit.h"
#include "raster/reference/reference_zoom.h"

namespace {

using ZoomRoutine = int32_t (*)(void*, const void*, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t);

using Image = zoom_reference::PixelImage;

Image RandomImage(std::mt19937& rng, int32_t width, int32_t height) {
  return zoom_reference::RandomPixelImage(rng, width, height);
}

int32_t RandomSide(std::mt19937& rng) {
  // Mostly small, sometimes a single pixel, sometimes a few dozen.
  switch (rng() % 4) {
    case 0:
      return 1 + int32_t(rng() % 3);
    case 1:
      return 1 + int32_t(rng() % 12);
    default:
      return 1 + int32_t(rng() % 48);
  }
}

void ExpectSameBytes(const Image& actual, const Image& expected, const char* what, int trial) {
  ASSERT_TRUE(actual.bytes.GuardsIntact()) << what << " trial " << trial;
  ASSERT_TRUE(actual.bytes.all() == expected.bytes.all()) << what << " trial " << trial;
}

void CompareWithReference(ZoomRoutine routine, ZoomRoutine reference, const char* what) {
  std::mt19937 rng(1234);
  for (int trial = 0; trial < 400; ++trial) {
    const Image src = RandomImage(rng, RandomSide(rng), RandomSide(rng));
    Image actual = RandomImage(rng, RandomSide(rng) * (1 + int32_t(rng() % 3)), RandomSide(rng));
    Image expected = actual;
    routine(actual.data(), src.data(), actual.pitch, src.pitch, src.height, actual.height, src.width, actual.width);
    reference(expected.data(), src.data(), expected.pitch, src.pitch, src.height, expected.height, src.width,
              expected.width);
    ExpectSameBytes(actual, expected, what, trial);
  }
}

TEST(ZoomTest, OptimizedZoomsMatchTheReferencesBitForBit) {
  CompareWithReference(myZoom1, zoom_reference::myZoom1, "myZoom1");
  CompareWithReference(myZoom3, zoom_reference::myZoom3, "myZoom3");
  CompareWithReference(myZoom, zoom_reference::myZoom, "myZoom");
}

// An RGB555 pixel as the window's XRGB8888.
uint32_t Widened(uint16_t pixel) {
  const uint32_t red = (pixel >> 10) & 31, green = (pixel >> 5) & 31, blue = pixel & 31;
  return (red << 3 | red >> 2) << 16 | (green << 3 | green >> 2) << 8 | (blue << 3 | blue >> 2);
}

void CompareChangeAwareZoomWithReference() {
  std::mt19937 rng(99);
  for (int trial = 0; trial < 400; ++trial) {
    const Image src = RandomImage(rng, RandomSide(rng), RandomSide(rng));
    // The previous image differs in a few random pixels, or in none, or everywhere.
    Image prev(src.width, src.height, src.pitch);
    std::memcpy(prev.data(), src.data(), prev.bytes.size());
    const int changes = trial % 10 == 0 ? 0 : 1 + int(rng() % 4);
    for (int c = 0; c < changes; ++c)
      prev.at(int32_t(rng() % src.width), int32_t(rng() % src.height)) ^= 1 + rng() % 0x7FFF;
    if (trial % 10 == 1) prev.bytes.Randomize(rng);

    Image actual = RandomImage(rng, RandomSide(rng) * (1 + int32_t(rng() % 3)), RandomSide(rng));
    Image expected = actual;
    // The widened zoom writes a window's part of the same destination, which may show less
    // of it or have room for more, in rows with spare pixels after the part shown.
    const int32_t shownWidth = 1 + int32_t(rng() % (actual.width + 2));
    const int32_t shownHeight = 1 + int32_t(rng() % (actual.height + 2));
    const int32_t wideWidth = std::min(shownWidth, actual.width), wideHeight = std::min(shownHeight, actual.height);
    const int32_t widePitch = wideWidth + int32_t(rng() % 3);
    std::vector<uint32_t> wide(size_t(widePitch) * wideHeight + 8, 0xDEADBEEF);
    for (int32_t y = 0; y < wideHeight; ++y)
      for (int32_t x = 0; x < wideWidth; ++x) wide[size_t(y) * widePitch + x] = Widened(actual.at(x, y));
    std::vector<uint32_t> expectedWide = wide;

    myZoomPD(actual.data(), src.data(), actual.pitch, src.pitch, src.height, actual.height, src.width, actual.width,
             prev.data());
    zoom_reference::myZoomPD(expected.data(), src.data(), expected.pitch, src.pitch, src.height, expected.height,
                             src.width, expected.width, prev.data());
    ExpectSameBytes(actual, expected, "myZoomPD", trial);

    myZoomPDWide(wide.data(), src.data(), widePitch, src.pitch, src.height, actual.height, src.width, actual.width,
                 prev.data(), shownWidth, shownHeight);
    for (int32_t y = 0; y < wideHeight; ++y)
      for (int32_t x = 0; x < wideWidth; ++x) expectedWide[size_t(y) * widePitch + x] = Widened(expected.at(x, y));
    ASSERT_TRUE(wide == expectedWide) << "myZoomPDWide trial " << trial;
  }
}

TEST(ZoomTest, ChangeAwareZoomMatchesTheReferenceBitForBit) { CompareChangeAwareZoomWithReference(); }

// What the presentation relies on: fed consecutive frames with the previous one as the comparison
// image, the destination always holds the full bilinear zoom of the newest frame.
TEST(ZoomTest, ChangeAwareZoomKeepsTheDestinationEqualToAFullZoomFrameAfterFrame) {
  std::mt19937 rng(7);
  const int32_t srcWidth = 91, srcHeight = 67, dstWidth = 250, dstHeight = 140;
  Image frames[2] = {Image(srcWidth, srcHeight, srcWidth + 1), Image(srcWidth, srcHeight, srcWidth + 1)};
  for (Image& frame : frames) frame.Fill(0x1234);
  frames[0].bytes.Randomize(rng);
  Image zoomed(dstWidth, dstHeight, dstWidth + 3);
  myZoom3(zoomed.data(), frames[0].data(), zoomed.pitch, frames[0].pitch, srcHeight, dstHeight, srcWidth, dstWidth);

  Image expected(dstWidth, dstHeight, dstWidth + 3);
  int current = 0;
  for (int frame = 1; frame < 30; ++frame) {
    const int next = 1 - current;
    std::memcpy(frames[next].data(), frames[current].data(), frames[next].bytes.size());
    // A few sprites move: rectangles of new pixels, sometimes none at all.
    for (int sprite = int(rng() % 4); sprite > 0; --sprite) {
      const int32_t left = int32_t(rng() % srcWidth), top = int32_t(rng() % srcHeight);
      const int32_t right = std::min(srcWidth, left + 1 + int32_t(rng() % 20));
      const int32_t bottom = std::min(srcHeight, top + 1 + int32_t(rng() % 20));
      for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = left; x < right; ++x) frames[next].at(x, y) = uint16_t(rng());
    }
    myZoomPD(zoomed.data(), frames[next].data(), zoomed.pitch, frames[next].pitch, srcHeight, dstHeight, srcWidth,
             dstWidth, frames[current].data());
    myZoom3(expected.data(), frames[next].data(), expected.pitch, frames[next].pitch, srcHeight, dstHeight, srcWidth,
            dstWidth);
    for (int32_t y = 0; y < dstHeight - 2; ++y)
      for (int32_t x = 0; x < dstWidth; ++x)
        ASSERT_EQ(zoomed.at(x, y), expected.at(x, y)) << "frame " << frame << " at " << x << "," << y;
    current = next;
  }
}

TEST(ZoomTest, NearestZoomRepeatsEachPixelAsABlock) {
  Image src(4, 4, 4);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) src.at(x, y) = uint16_t(0x8000 | (y * 4 + x));
  Image dst(8, 8, 8);
  myZoom1(dst.data(), src.data(), 8, 4, 4, 8, 4, 8);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 8; ++x) EXPECT_EQ(dst.at(x, y), src.at(x / 2, y / 2)) << x << "," << y;
}

TEST(ZoomTest, BilinearZoomAtEqualSizeCopiesTheImage) {
  std::mt19937 rng(3);
  Image src(37, 23, 40);
  for (int32_t y = 0; y < src.height; ++y)
    for (int32_t x = 0; x < src.width; ++x) src.at(x, y) = uint16_t(rng() & 0x7FFF);
  Image dst(37, 23, 38);
  myZoom3(dst.data(), src.data(), dst.pitch, src.pitch, 23, 23, 37, 37);
  for (int32_t y = 0; y < 23; ++y)
    for (int32_t x = 0; x < 37; ++x) ASSERT_EQ(dst.at(x, y), src.at(x, y)) << x << "," << y;
}

TEST(ZoomTest, ChangeAwareZoomWritesOnlyPixelsThatSampleAChangedPixel) {
  const int32_t srcWidth = 10, srcHeight = 8, dstWidth = 23, dstHeight = 19;
  std::mt19937 rng(11);
  Image prev(srcWidth, srcHeight, srcWidth);
  prev.bytes.Randomize(rng);
  Image src(srcWidth, srcHeight, srcWidth);
  std::memcpy(src.data(), prev.data(), src.bytes.size());
  Image dst(dstWidth, dstHeight, dstWidth);
  const uint16_t untouched = 0xFFFF;  // bit 15 set: no zoom result looks like it

  // Identical images: nothing is written.
  dst.Fill(untouched);
  myZoomPD(dst.data(), src.data(), dstWidth, srcWidth, srcHeight, dstHeight, srcWidth, dstWidth, prev.data());
  for (int32_t y = 0; y < dstHeight; ++y)
    for (int32_t x = 0; x < dstWidth; ++x) ASSERT_EQ(dst.at(x, y), untouched);

  // One changed source pixel: exactly the destination pixels with it among their four samples.
  const int32_t changedX = 4, changedY = 3;
  src.at(changedX, changedY) ^= 0x0421;
  myZoomPD(dst.data(), src.data(), dstWidth, srcWidth, srcHeight, dstHeight, srcWidth, dstWidth, prev.data());
  const auto samples = [](int32_t index, int32_t srcSize, int32_t dstSize, int32_t position) {
    const int32_t first = index * srcSize / dstSize;
    const int32_t next = index < dstSize - 1 ? std::min(first + 1, srcSize - 1) : first;
    return position == first || position == next;
  };
  int written = 0;
  for (int32_t y = 0; y < dstHeight - 2; ++y) {
    for (int32_t x = 0; x < dstWidth; ++x) {
      const bool expectWrite = samples(x, srcWidth, dstWidth, changedX) && samples(y, srcHeight, dstHeight, changedY);
      EXPECT_EQ(dst.at(x, y) != untouched, expectWrite) << x << "," << y;
      written += expectWrite;
    }
  }
  EXPECT_GT(written, 0);
}

TEST(ZoomTest, ChangeAwareZoomNeverWritesTheLastTwoRows) {
  std::mt19937 rng(5);
  for (const int32_t dstHeight : {1, 2, 3, 17}) {
    Image src(6, 5, 6), prev(6, 5, 6);
    src.bytes.Randomize(rng);
    prev.Fill(0x8000);  // differs from every source pixel that can be built from channels
    Image dst(20, dstHeight, 20);
    dst.Fill(0xFFFF);
    myZoomPD(dst.data(), src.data(), 20, 6, 5, dstHeight, 6, 20, prev.data());
    for (int32_t y = 0; y < dstHeight; ++y) {
      for (int32_t x = 0; x < 20; ++x) {
        if (y >= dstHeight - 2) {
          ASSERT_EQ(dst.at(x, y), 0xFFFF) << "height " << dstHeight << " row " << y;
        } else {
          ASSERT_NE(dst.at(x, y), 0xFFFF) << "height " << dstHeight << " row " << y;
        }
      }
    }
  }
}

TEST(ZoomTest, CubicKernelInFixedPoint) {
  EXPECT_EQ(zoom_reference::CubicKernelFixed(0), 4096);
  EXPECT_EQ(zoom_reference::CubicKernelFixed(2048), 2560);
  EXPECT_EQ(zoom_reference::CubicKernelFixed(4096), 0);
  EXPECT_EQ(zoom_reference::CubicKernelFixed(6144), -512);
  EXPECT_EQ(zoom_reference::CubicKernelFixed(8192), 0);
  // At whole and half positions the weights along an axis add up to exactly 4096 (0, 4096, 0, 0
  // and -512, 2560, 2560, -512): doubling a flat image keeps it flat, equal sizes copy.
  Image flat(5, 5, 5), doubled(10, 10, 10);
  flat.Fill(0x7FFF);
  myZoom(doubled.data(), flat.data(), 10, 5, 5, 10, 5, 10);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 10; ++x) ASSERT_EQ(doubled.at(x, y), 0x7FFF) << x << "," << y;
  std::mt19937 rng(8);
  Image src(9, 6, 9), copy(9, 6, 9);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 9; ++x) src.at(x, y) = uint16_t(rng() & 0x7FFF);
  myZoom(copy.data(), src.data(), 9, 9, 6, 6, 9, 9);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 9; ++x) ASSERT_EQ(copy.at(x, y), src.at(x, y)) << x << "," << y;
}

TEST(ZoomTest, MeaninglessSizesWriteNothing) {
  Image src(8, 8, 8), prev(8, 8, 8);
  src.Fill(0x1234);
  for (ZoomRoutine routine : {myZoom1, myZoom3, myZoom}) {
    Image dst(8, 8, 8);
    const std::vector<uint8_t> before = dst.bytes.all();
    routine(dst.data(), src.data(), 8, 8, 8, 0, 8, 8);   // no destination rows
    routine(dst.data(), src.data(), 8, 8, 8, 8, 8, -3);  // negative width
    routine(dst.data(), src.data(), 8, 8, 0, 8, 8, 8);   // no source rows
    routine(dst.data(), src.data(), 4, 8, 8, 8, 8, 8);   // rows shorter than the width
    EXPECT_TRUE(dst.bytes.all() == before);
  }
  Image dst(8, 8, 8);
  const std::vector<uint8_t> before = dst.bytes.all();
  myZoomPD(dst.data(), src.data(), 8, 8, 8, 8, -1, 8, prev.data());
  myZoomPD(dst.data(), src.data(), 8, 8, 8, 8, 8, 8, nullptr);
  EXPECT_TRUE(dst.bytes.all() == before);
}

TEST(ZoomTest, DestinationsBeyondTheTablesAreLeftAlone) {
  Image src(4, 2, 4), prev(4, 2, 4);
  src.Fill(0x1234);
  Image wide(4097, 3, 4097);
  const std::vector<uint8_t> before = wide.bytes.all();
  myZoom3(wide.data(), src.data(), 4097, 4, 2, 3, 4, 4097);
  myZoom(wide.data(), src.data(), 4097, 4, 2, 3, 4, 4097);
  myZoomPD(wide.data(), src.data(), 4097, 4, 2, 3, 4, 4097, prev.data());
  EXPECT_TRUE(wide.bytes.all() == before);
  std::vector<uint32_t> window(4097 * 3, 7);
  myZoomPDWide(window.data(), src.data(), 4097, 4, 2, 3, 4, 4097, prev.data(), 4097, 3);
  myZoomPDWide(window.data(), src.data(), 4097, 4, 2, 3, 4, 8, prev.data(), 0, 3);
  myZoomPDWide(window.data(), src.data(), 4097, 4, 2, 3, 4, 8, nullptr, 8, 3);
  EXPECT_EQ(std::count(window.begin(), window.end(), 7u), 4097 * 3);
}

// The scaled presentation of a 4K display: 724 x 544 onto 2896 x 2176, far beyond twice the
// source width, so the right neighbour of the last columns is clamped. Then a few sprites
// change: each source row pair is shared by about four destination rows.
TEST(ZoomTest, FourKPresentationMatchesTheReference) {
  std::mt19937 rng(2896);
  const Image src = RandomImage(rng, 724, 544);
  Image prev(724, 544, src.pitch);
  Image actual(2896, 2176, 2896), expected(2896, 2176, 2896);
  myZoomPD(actual.data(), src.data(), 2896, src.pitch, 544, 2176, 724, 2896, prev.data());
  zoom_reference::myZoomPD(expected.data(), src.data(), 2896, src.pitch, 544, 2176, 724, 2896, prev.data());
  ExpectSameBytes(actual, expected, "myZoomPD 4K", 0);
  myZoom3(actual.data(), src.data(), 2896, src.pitch, 544, 2176, 724, 2896);
  zoom_reference::myZoom3(expected.data(), src.data(), 2896, src.pitch, 544, 2176, 724, 2896);
  ExpectSameBytes(actual, expected, "myZoom3 4K", 0);

  std::memcpy(prev.data(), src.data(), prev.bytes.size());
  for (int sprite = 0; sprite < 6; ++sprite) {
    const int32_t left = int32_t(rng() % 700), top = int32_t(rng() % 520);
    for (int32_t y = top; y < top + 24; ++y)
      for (int32_t x = left; x < left + 24; ++x) prev.at(x, y) ^= uint16_t(1 + rng() % 0x7FFF);
  }
  // Widened into a 3840-pixel wide window that shows 2840 x 2100 of the zoom (rows 2852
  // pixels apart in the destination).
  std::vector<uint32_t> window(size_t(3840) * 2100), expectedWindow(window.size());
  for (int32_t y = 0; y < 2100; ++y)
    for (int32_t x = 0; x < 2840; ++x)
      window[size_t(y) * 3840 + x] = Widened(static_cast<const uint16_t*>(actual.data())[y * 2852 + x]);
  myZoomPD(actual.data(), src.data(), 2852, src.pitch, 544, 2141, 724, 2852, prev.data());
  zoom_reference::myZoomPD(expected.data(), src.data(), 2852, src.pitch, 544, 2141, 724, 2852, prev.data());
  ExpectSameBytes(actual, expected, "myZoomPD sprites", 0);
  myZoomPDWide(window.data(), src.data(), 3840, src.pitch, 544, 2141, 724, 2852, prev.data(), 2840, 2100);
  for (int32_t y = 0; y < 2100; ++y)
    for (int32_t x = 0; x < 2840; ++x)
      expectedWindow[size_t(y) * 3840 + x] = Widened(static_cast<const uint16_t*>(expected.data())[y * 2852 + x]);
  EXPECT_TRUE(window == expectedWindow);
}

// The largest destinations: with 4095 destination pixels from 4094 source pixels the truncated
// step leaves fractions down to about -4093, the far end of what the weights hold.
TEST(ZoomTest, ExtremeFractionsMatchTheReference) {
  std::mt19937 rng(4095);
  for (const bool alongRows : {false, true}) {
    const int32_t srcWidth = alongRows ? 3 : 4094, srcHeight = alongRows ? 4094 : 3;
    const int32_t dstWidth = alongRows ? 5 : 4095, dstHeight = alongRows ? 4095 : 5;
    const Image src = RandomImage(rng, srcWidth, srcHeight);
    Image prev(srcWidth, srcHeight, src.pitch);
    std::memcpy(prev.data(), src.data(), prev.bytes.size());
    for (int c = 0; c < 200; ++c) prev.at(int32_t(rng() % srcWidth), int32_t(rng() % srcHeight)) ^= 0x4210;
    Image actual = RandomImage(rng, dstWidth, dstHeight);
    Image expected = actual;
    myZoom3(actual.data(), src.data(), actual.pitch, src.pitch, srcHeight, dstHeight, srcWidth, dstWidth);
    zoom_reference::myZoom3(expected.data(), src.data(), expected.pitch, src.pitch, srcHeight, dstHeight, srcWidth,
                            dstWidth);
    ExpectSameBytes(actual, expected, "myZoom3", alongRows);
    actual.bytes.Randomize(rng);
    expected = actual;
    myZoomPD(actual.data(), src.data(), actual.pitch, src.pitch, srcHeight, dstHeight, srcWidth, dstWidth, prev.data());
    zoom_reference::myZoomPD(expected.data(), src.data(), expected.pitch, src.pitch, srcHeight, dstHeight, srcWidth,
                             dstWidth, prev.data());
    ExpectSameBytes(actual, expected, "myZoomPD", alongRows);
  }
}

}  // namespace

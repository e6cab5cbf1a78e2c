// SPDX-License-Identifier: MIT
// The channel blends on every pair of channel values at every level, on the path CTest caps
// the library to: each pixel holds one value in all three channels, so a row of 1024 pixels
// meets each (destination, source) pair once per channel.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "raster/blit_support.h"
#include "raster/rasterkit.h"
#include "raster/reference/reference_blit.h"

namespace {

using blit_test::GuardedImage;

constexpr int32_t kPairs = 32 * 32;
constexpr uint16_t kKey = 0x7C1F;  // never a grey pixel, so every pixel is blended

uint16_t Grey(int32_t value) { return uint16_t(value * 0x0421); }

// Row 0 plain; row 1 with bit 15 set in every destination and source pixel.
GuardedImage Destination() {
  GuardedImage image(kPairs, 2, 2 * kPairs, 0);
  for (int32_t i = 0; i < kPairs; ++i) {
    image.Set(i, 0, Grey(i / 32));
    image.Set(i, 1, Grey(i / 32) | 0x8000);
  }
  return image;
}

GuardedImage Source() {
  GuardedImage image(kPairs, 2, 2 * kPairs, 0);
  for (int32_t i = 0; i < kPairs; ++i) {
    image.Set(i, 0, Grey(i % 32));
    image.Set(i, 1, Grey(i % 32) | 0x8000);
  }
  return image;
}

using KeyedRoutine = int32_t (*)(void*, int32_t, const Rect*, const void*, int32_t, int32_t, int32_t, int32_t, int32_t);

void CompareAtEveryLevel(const std::string& name, KeyedRoutine reference, KeyedRoutine routine) {
  const GuardedImage src = Source();
  const Rect area{0, 0, kPairs, 2};
  for (int32_t level = 0; level < 256; ++level) {
    GuardedImage expected = Destination();
    reference(expected.pixels(), expected.pitch(), &area, src.pixels(), src.pitch(), 0, 0, kKey, level);
    GuardedImage actual = Destination();
    routine(actual.pixels(), actual.pitch(), &area, src.pixels(), src.pitch(), 0, 0, kKey, level);
    ASSERT_EQ(actual.bytes(), expected.bytes()) << name << " level " << level;
  }
}

TEST(BlendChannelPairs, AlphaBlend) {
  CompareAtEveryLevel("alpha", blit_reference::GDIAlphaBlend_16, GDIAlphaBlend_16);
}

TEST(BlendChannelPairs, Additive) { CompareAtEveryLevel("additive", blit_reference::GDIAdditive_16, GDIAdditive_16); }

TEST(BlendChannelPairs, Subtractive) {
  CompareAtEveryLevel("subtractive", blit_reference::GDISubitive_16, GDISubitive_16);
}

// Every mask value (one per row, the mask's other channels set) at every level 0..32.
TEST(BlendChannelPairs, AlphaChannelBlend) {
  GuardedImage src(kPairs, 32, 2 * kPairs, 0), mask(kPairs, 32, 2 * kPairs, 0), original(kPairs, 32, 2 * kPairs, 0);
  for (int32_t y = 0; y < 32; ++y) {
    for (int32_t i = 0; i < kPairs; ++i) {
      const uint16_t high = (y & 1) ? 0x8000 : 0;
      original.Set(i, y, Grey(i / 32) | high);
      src.Set(i, y, Grey(i % 32) | high);
      mask.Set(i, y, uint16_t(0xFFE0 | y));
    }
  }
  const Rect area{0, 0, kPairs, 32};
  for (int16_t level = 0; level <= 32; ++level) {
    GuardedImage expected = original;
    blit_reference::GDIAlphaBlendByAlphaChannel2_16(expected.pixels(), expected.pitch(), &area, src.pixels(),
                                                    src.pitch(), 0, 0, mask.pixels(), level);
    GuardedImage actual = original;
    GDIAlphaBlendByAlphaChannel2_16(actual.pixels(), actual.pitch(), &area, src.pixels(), src.pitch(), 0, 0,
                                    mask.pixels(), level);
    ASSERT_EQ(actual.bytes(), expected.bytes()) << "level " << level;
  }
}

}  // namespace

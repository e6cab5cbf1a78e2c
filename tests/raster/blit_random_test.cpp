// SPDX-License-Identifier: MIT
// Randomized comparison of the copy and blend routines with their scalar references: every
// byte of the destination, the source and the mask, guard zones included, on the path CTest
// caps the library to (it runs the raster tests once per path).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "raster/blit_support.h"
#include "raster/rasterkit.h"
#include "raster/reference/reference_blit.h"

namespace {

using blit_test::GuardedImage;
using blit_test::RandomLayoutImage;

struct Trial {
  GuardedImage dst, src, mask;
  Rect dstRect;  // inside dst
  Rect srcRect;  // inside src (and mask); for the unscaled routines the same size as dstRect
  int32_t key;
  int32_t level;
};

// Pixels with bit 15 set in a good share of them, and runs of the key.
void FillSource(std::mt19937& rng, GuardedImage& src, uint16_t key) {
  src.FillWith(rng);
  for (int32_t y = 0; y < src.height(); ++y) {
    for (int32_t x = 0; x < src.width();) {
      const int32_t run = 1 + int32_t(rng() % 9);
      const bool keyed = rng() % 3 == 0;
      for (int32_t end = std::min(src.width(), x + run); x < end; ++x) {
        if (keyed) src.Set(x, y, key);
      }
    }
  }
}

// Masks with runs of fully transparent pixels (whole groups of four among them) and other
// channels holding noise.
void FillMask(std::mt19937& rng, GuardedImage& mask) {
  mask.FillWith(rng);
  for (int32_t y = 0; y < mask.height(); ++y) {
    for (int32_t x = 0; x < mask.width();) {
      const int32_t run = 1 + int32_t(rng() % 12);
      const int kind = int(rng() % 4);
      for (int32_t end = std::min(mask.width(), x + run); x < end; ++x) {
        const uint16_t noise = uint16_t(rng()) & ~uint16_t{31};
        if (kind == 0) mask.Set(x, y, noise);
        if (kind == 1) mask.Set(x, y, noise | 31);
      }
    }
  }
}

int32_t RandomLevel(std::mt19937& rng) {
  switch (rng() % 6) {
    case 0: return 0;
    case 1: return 255;
    case 2: return 32;
    case 3: return int32_t(rng() % 256);
    case 4: return int32_t(rng());  // only the low 8 bits count
    default: return 128;
  }
}

// Mostly small areas of every width, one in ten a large one (rows long enough to be aligned
// to vectors first and to run through pairs of full vectors).
int32_t RandomExtent(std::mt19937& rng, int32_t small, int32_t large) {
  return rng() % 10 == 0 ? 1 + int32_t(rng() % large) : 1 + int32_t(rng() % small);
}

Trial MakeTrial(std::mt19937& rng, bool scaled) {
  const int32_t width = RandomExtent(rng, 40, 400), height = RandomExtent(rng, 8, 60);
  const int32_t srcWidth = scaled ? RandomExtent(rng, 40, 400) : width;
  const int32_t srcHeight = scaled ? RandomExtent(rng, 8, 60) : height;
  const int32_t dstMarginX = int32_t(rng() % 6), dstMarginY = int32_t(rng() % 3);
  const int32_t srcMarginX = int32_t(rng() % 6), srcMarginY = int32_t(rng() % 3);
  Trial t{RandomLayoutImage(rng, width + dstMarginX + int32_t(rng() % 6), height + dstMarginY + int32_t(rng() % 3)),
          RandomLayoutImage(rng, srcWidth + srcMarginX + int32_t(rng() % 6),
                            srcHeight + srcMarginY + int32_t(rng() % 3)),
          GuardedImage(0, 0, 0, 0), Rect{}, Rect{}, 0, 0};
  t.mask = GuardedImage(t.src.width(), t.src.height(), t.src.pitch(), (rng() & 1) ? 2 : 0);
  t.dstRect = Rect{dstMarginX, dstMarginY, dstMarginX + width, dstMarginY + height};
  t.srcRect = Rect{srcMarginX, srcMarginY, srcMarginX + srcWidth, srcMarginY + srcHeight};
  t.key = rng() % 4 == 0 ? int32_t(rng()) : int32_t(rng() & 0xFFFF);
  t.dst.FillWith(rng);
  FillSource(rng, t.src, uint16_t(t.key));
  FillMask(rng, t.mask);
  t.level = RandomLevel(rng);
  return t;
}

// The mask blend's level, 0..32.
int32_t AlphaLevelOf(const Trial& t) { return int32_t(uint32_t(t.level) % 33); }

// Empty when equal, else where the first difference lies.
std::string FirstDifference(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected) {
  if (actual == expected) return "";
  size_t i = 0;
  while (actual[i] == expected[i]) ++i;
  return "byte " + std::to_string(i) + " (guard " + std::to_string(blit_test::kGuardBytes) + "): " +
         std::to_string(actual[i]) + " instead of " + std::to_string(expected[i]);
}

using RoutineCall = std::function<void(Trial&)>;
using ReferenceCall = std::function<void(Trial&)>;

void CompareWithReference(const std::string& name, bool scaled, int trials, const ReferenceCall& reference,
                          const RoutineCall& routine) {
  std::mt19937 rng(20240611u + uint32_t(std::hash<std::string>{}(name)));
  for (int i = 0; i < trials; ++i) {
    const Trial original = MakeTrial(rng, scaled);
    Trial expected = original;
    reference(expected);
    Trial actual = original;
    routine(actual);
    SCOPED_TRACE(name + " trial " + std::to_string(i));
    ASSERT_EQ(FirstDifference(actual.dst.bytes(), expected.dst.bytes()), "") << "destination";
    ASSERT_EQ(FirstDifference(actual.src.bytes(), original.src.bytes()), "") << "source";
    ASSERT_EQ(FirstDifference(actual.mask.bytes(), original.mask.bytes()), "") << "mask";
  }
}

constexpr int kTrials = 3000;

TEST(BlitRandomized, OpaqueCopyMatchesReference) {
  CompareWithReference(
      "GDIBltFast_16", false, kTrials,
      [](Trial& t) {
        blit_reference::GDIBltFast_16(t.dst.pixels(), t.dst.pitch(), &t.dstRect, t.src.pixels(), t.src.pitch(),
                                      t.srcRect.Left, t.srcRect.Top);
      },
      [](Trial& t) {
        GDIBltFast_16(t.dst.pixels(), t.dst.pitch(), &t.dstRect, t.src.pixels(), t.src.pitch(), t.srcRect.Left,
                      t.srcRect.Top);
      });
}

TEST(BlitRandomized, KeyedCopyMatchesReference) {
  CompareWithReference(
      "GDIBlt_16", false, kTrials,
      [](Trial& t) {
        blit_reference::GDIBlt_16(t.dst.pixels(), t.dst.pitch(), &t.dstRect, t.src.pixels(), t.src.pitch(),
                                  t.srcRect.Left, t.srcRect.Top, t.key);
      },
      [](Trial& t) {
        GDIBlt_16(t.dst.pixels(), t.dst.pitch(), &t.dstRect, t.src.pixels(), t.src.pitch(), t.srcRect.Left,
                  t.srcRect.Top, t.key);
      });
}

TEST(BlitRandomized, ScaledKeyedCopyMatchesReference) {
  CompareWithReference(
      "GDIBltZoom_16", true, kTrials,
      [](Trial& t) {
        blit_reference::GDIBltZoom_16(t.dst.pixels(), t.dst.pitch(), &t.dstRect, t.src.pixels(), t.src.pitch(),
                                      &t.srcRect, t.key);
      },
      [](Trial& t) {
        GDIBltZoom_16(t.dst.pixels(), t.dst.pitch(), &t.dstRect, t.src.pixels(), t.src.pitch(), &t.srcRect, t.key);
      });
}

TEST(BlitRandomized, HalfBlendMatchesReference) {
  CompareWithReference(
      "GDIHalfBlend_16", false, kTrials,
      [](Trial& t) {
        blit_reference::GDIHalfBlend_16(t.dst.pixels(), t.dst.pitch(), &t.dstRect, t.src.pixels(), t.src.pitch(),
                                        t.srcRect.Left, t.srcRect.Top);
      },
      [](Trial& t) {
        GDIHalfBlend_16(t.dst.pixels(), t.dst.pitch(), &t.dstRect, t.src.pixels(), t.src.pitch(), t.srcRect.Left,
                        t.srcRect.Top);
      });
}

// The keyed blends and the colour mask share their arguments; `level` is the mask for the latter.
using KeyedRoutine = int32_t (*)(void*, int32_t, const Rect*, const void*, int32_t, int32_t, int32_t, int32_t,
                                 int32_t);

void CompareKeyedBlend(const std::string& name, KeyedRoutine reference, KeyedRoutine routine) {
  CompareWithReference(
      name, false, kTrials,
      [reference](Trial& t) {
        reference(t.dst.pixels(), t.dst.pitch(), &t.dstRect, t.src.pixels(), t.src.pitch(), t.srcRect.Left,
                  t.srcRect.Top, t.key, t.level);
      },
      [routine](Trial& t) {
        routine(t.dst.pixels(), t.dst.pitch(), &t.dstRect, t.src.pixels(), t.src.pitch(), t.srcRect.Left,
                t.srcRect.Top, t.key, t.level);
      });
}

TEST(BlitRandomized, AlphaBlendMatchesReference) {
  CompareKeyedBlend("GDIAlphaBlend_16", blit_reference::GDIAlphaBlend_16, GDIAlphaBlend_16);
}

TEST(BlitRandomized, AdditiveMatchesReference) {
  CompareKeyedBlend("GDIAdditive_16", blit_reference::GDIAdditive_16, GDIAdditive_16);
}

TEST(BlitRandomized, SubtractiveMatchesReference) {
  CompareKeyedBlend("GDISubitive_16", blit_reference::GDISubitive_16, GDISubitive_16);
}

TEST(BlitRandomized, ColorMaskMatchesReference) {
  CompareKeyedBlend("GDIColorMask_16", blit_reference::GDIColorMask_16, GDIColorMask_16);
}

TEST(BlitRandomized, AlphaChannelBlendMatchesReference) {
  CompareWithReference(
      "GDIAlphaBlendByAlphaChannel2_16", false, kTrials,
      [](Trial& t) {
        blit_reference::GDIAlphaBlendByAlphaChannel2_16(t.dst.pixels(), t.dst.pitch(), &t.dstRect, t.src.pixels(),
                                                        t.src.pitch(), t.srcRect.Left, t.srcRect.Top,
                                                        t.mask.pixels(), AlphaLevelOf(t));
      },
      [](Trial& t) {
        GDIAlphaBlendByAlphaChannel2_16(t.dst.pixels(), t.dst.pitch(), &t.dstRect, t.src.pixels(), t.src.pitch(),
                                        t.srcRect.Left, t.srcRect.Top, t.mask.pixels(), AlphaLevelOf(t));
      });
}

TEST(BlitRandomized, ClipperRectMatchesReference) {
  std::mt19937 rng(77);
  const float scales[] = {1.0f, 2.0f, 0.5f, 1.5f, 3.0f, 0.75f};
  for (int i = 0; i < 20000; ++i) {
    auto coordinate = [&rng](int32_t range) { return int32_t(rng() % uint32_t(2 * range + 1)) - range; };
    const Rect clip{coordinate(100), coordinate(100), coordinate(100) + 400, coordinate(100) + 300};
    const int32_t srcLeft = coordinate(50), srcTop = coordinate(50);
    const Rect src{srcLeft, srcTop, srcLeft + coordinate(300), srcTop + coordinate(300)};
    const Rect dst{coordinate(600), coordinate(600), int32_t(rng()), int32_t(rng())};
    const float scale =
        rng() % 2 ? scales[rng() % std::size(scales)] : 0.05f + float(rng() % 100000) / 100000.0f * 4.0f;
    const int32_t anchorX = coordinate(60), anchorY = coordinate(60);
    Rect expectedDst = dst, expectedSrc = src, actualDst = dst, actualSrc = src;
    const int32_t expected =
        blit_reference::ClipperRect(&clip, &expectedDst, &expectedSrc, anchorX, anchorY, scale);
    const int32_t actual = ClipperRect(&clip, &actualDst, &actualSrc, anchorX, anchorY, scale);
    SCOPED_TRACE("trial " + std::to_string(i));
    ASSERT_EQ(actual, expected);
    ASSERT_EQ(0, std::memcmp(&actualDst, &expectedDst, sizeof(Rect)));
    ASSERT_EQ(0, std::memcmp(&actualSrc, &expectedSrc, sizeof(Rect)));
  }
}

}  // namespace

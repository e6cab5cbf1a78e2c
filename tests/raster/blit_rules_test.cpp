// SPDX-License-Identifier: MIT
// The stated rules of the clipping, copy and blend routines, checked at the points where
// rounding, grouping and keying decide the result.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "raster/blit_support.h"
#include "raster/rasterkit.h"

namespace {

using blit_test::GuardedImage;

uint16_t Rgb(int red, int green, int blue) { return uint16_t(red << 10 | green << 5 | blue); }

struct Clipped {
  int32_t result;
  Rect dst, src;
};

Clipped Clip(Rect clip, int32_t x, int32_t y, Rect src, int32_t anchorX, int32_t anchorY, float scale) {
  Clipped c{0, Rect{x, y, 0, 0}, src};
  c.result = ClipperRect(&clip, &c.dst, &c.src, anchorX, anchorY, scale);
  return c;
}

void ExpectRect(const Rect& r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  EXPECT_EQ(r.Left, left);
  EXPECT_EQ(r.Top, top);
  EXPECT_EQ(r.Right, right);
  EXPECT_EQ(r.Bottom, bottom);
}

const Rect kScreenClip{0, 0, 724, 544};

TEST(ClipperRect, PlacesAndClipsWithTruncatedSteps) {
  const Clipped left = Clip(kScreenClip, -10, 5, Rect{0, 0, 64, 32}, 0, 0, 1.0f);
  EXPECT_EQ(left.result, -1);
  ExpectRect(left.dst, 0, 5, 54, 37);
  ExpectRect(left.src, 10, 0, 64, 32);

  // The source edge moves by trunc(3 / 2) = 1 while the destination keeps 17 columns.
  const Clipped scaled = Clip(kScreenClip, -3, 0, Rect{0, 0, 10, 10}, 0, 0, 2.0f);
  EXPECT_EQ(scaled.result, -1);
  ExpectRect(scaled.dst, 0, 0, 17, 20);
  ExpectRect(scaled.src, 1, 0, 10, 10);

  // The anchor lands on the position; right and bottom edges clip by negative amounts.
  const Clipped anchored = Clip(kScreenClip, 700, 530, Rect{4, 2, 68, 34}, 20, 10, 1.0f);
  EXPECT_EQ(anchored.result, -1);
  ExpectRect(anchored.dst, 684, 522, 724, 544);
  ExpectRect(anchored.src, 4, 2, 44, 24);
}

TEST(ClipperRect, ReportsNothingToDraw) {
  const Clipped whollyLeft = Clip(kScreenClip, -100, 5, Rect{0, 0, 64, 32}, 0, 0, 1.0f);
  EXPECT_EQ(whollyLeft.result, 0);

  const Clipped noSourceColumns = Clip(kScreenClip, 100, 100, Rect{5, 0, 5, 32}, 0, 0, 1.0f);
  EXPECT_EQ(noSourceColumns.result, 0);

  // Scales of zero, below zero or not a number give an empty destination without faulting.
  for (float scale : {0.0f, -1.0f, -0.0f, std::numeric_limits<float>::quiet_NaN(),
                      std::numeric_limits<float>::infinity()}) {
    const Clipped c = Clip(kScreenClip, -20, -20, Rect{0, 0, 64, 32}, 3, 3, scale);
    EXPECT_EQ(c.result, 0) << "scale " << scale;
  }
}

TEST(ClipperRect, ExtremeCoordinatesStayDefined) {
  const Rect hugeClip{std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::min(),
                      std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max()};
  const Clipped c = Clip(hugeClip, std::numeric_limits<int32_t>::max(), 0,
                         Rect{std::numeric_limits<int32_t>::min(), 0, std::numeric_limits<int32_t>::max(), 4}, 0, 0,
                         1e30f);
  EXPECT_EQ(c.dst.Right, std::numeric_limits<int32_t>::max());
}

// An image with every pixel distinct and free of the key 0x7C1F used below.
GuardedImage Numbered(int32_t width, int32_t height) {
  GuardedImage image(width, height, 2 * width + 4, 0);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) image.Set(x, y, uint16_t(0x100 * y + x + 1));
  return image;
}

// Columns of row `y` that differ from `background`, as a bit string ("1" = written).
std::string WrittenColumns(const GuardedImage& image, int32_t y, uint16_t background) {
  std::string columns;
  for (int32_t x = 0; x < image.width(); ++x) columns += image.At(x, y) == background ? '0' : '1';
  return columns;
}

// The expected bit string: `before` untouched columns, `written` written ones, the rest untouched.
std::string ColumnPattern(int32_t before, int32_t written, int32_t total) {
  std::string pattern(size_t(total), '0');
  pattern.replace(size_t(before), size_t(written), size_t(written), '1');
  return pattern;
}

TEST(Copies, KeyedCopyDrawsWholeGroupsOnlyOpaqueCopyEveryColumn) {
  const GuardedImage src = Numbered(16, 2);
  for (int32_t width : {3, 6, 7}) {
    GuardedImage keyed(12, 2, 28, 0), opaque(12, 2, 28, 0);
    keyed.Fill(0x7FFF);
    opaque.Fill(0x7FFF);
    const Rect area{1, 0, 1 + width, 2};
    GDIBlt_16(keyed.pixels(), keyed.pitch(), &area, src.pixels(), src.pitch(), 2, 0, 0x7C1F);
    GDIBltFast_16(opaque.pixels(), opaque.pitch(), &area, src.pixels(), src.pitch(), 2, 0);
    const int32_t drawn = width / 4 * 4;
    for (int32_t y = 0; y < 2; ++y) {
      EXPECT_EQ(WrittenColumns(keyed, y, 0x7FFF), ColumnPattern(1, drawn, 12));
      EXPECT_EQ(WrittenColumns(opaque, y, 0x7FFF), ColumnPattern(1, width, 12));
      for (int32_t x = 0; x < width; ++x) EXPECT_EQ(opaque.At(1 + x, y), src.At(2 + x, y));
    }
  }
}

TEST(Copies, KeyComparesAllSixteenBits) {
  GuardedImage src(4, 1, 8, 0), dst(4, 1, 8, 0);
  src.Set(0, 0, 0xFC1F);
  src.Set(1, 0, 0x7C1F);
  src.Set(2, 0, 0x0001);
  src.Set(3, 0, 0x7C1F);
  dst.Fill(0x8123);
  const Rect area{0, 0, 4, 1};
  GDIBlt_16(dst.pixels(), dst.pitch(), &area, src.pixels(), src.pitch(), 0, 0, 0x12347C1F);
  EXPECT_EQ(dst.At(0, 0), 0xFC1F);
  EXPECT_EQ(dst.At(1, 0), 0x8123);
  EXPECT_EQ(dst.At(2, 0), 0x0001);
  EXPECT_EQ(dst.At(3, 0), 0x8123);
}

TEST(Copies, OverlappingOpaqueCopyActsThroughAScratchImage) {
  // Short rows, and rows long enough for the row loops; shifted along the rows, down the
  // columns and both.
  for (int32_t width : {10, 300}) {
    for (const auto& [shiftX, shiftY] : {std::pair{-3, -3}, {3, 3}, {5, 0}, {-5, 0}, {0, 2}, {0, -2}}) {
      GuardedImage image = Numbered(width + 10, 20);
      const GuardedImage before = image;
      const Rect area{5 + shiftX, 5 + shiftY, 5 + width + shiftX, 15 + shiftY};
      GDIBltFast_16(image.pixels(), image.pitch(), &area, image.pixels(), image.pitch(), 5, 5);
      for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 0; x < width; ++x)
          ASSERT_EQ(image.At(area.Left + x, area.Top + y), before.At(5 + x, 5 + y))
              << "width " << width << " shift " << shiftX << "," << shiftY << " at " << x << "," << y;
    }
  }
}

// Source column of each destination column after a one-row scaled copy.
std::vector<int32_t> SampledColumns(int32_t srcWidth, int32_t dstWidth) {
  GuardedImage src(srcWidth, 1, 2 * srcWidth, 0), dst(dstWidth, 1, 2 * dstWidth, 0);
  for (int32_t x = 0; x < srcWidth; ++x) src.Set(x, 0, uint16_t(x));
  dst.Fill(0xFFFF);
  const Rect dstRect{0, 0, dstWidth, 1}, srcRect{0, 0, srcWidth, 1};
  GDIBltZoom_16(dst.pixels(), dst.pitch(), &dstRect, src.pixels(), src.pitch(), &srcRect, 0x7C1F);
  std::vector<int32_t> columns;
  for (int32_t x = 0; x < dstWidth; ++x) columns.push_back(dst.At(x, 0));
  return columns;
}

TEST(Copies, ScaledCopySamplesNearestLowerWithoutWidthRounding) {
  EXPECT_EQ(SampledColumns(10, 5), (std::vector<int32_t>{0, 2, 4, 6, 8}));
  const std::vector<int32_t> doubled = SampledColumns(10, 20);
  for (int32_t i = 0; i < 20; ++i) EXPECT_EQ(doubled[i], i / 2);
  EXPECT_EQ(SampledColumns(4, 7), (std::vector<int32_t>{0, 0, 1, 1, 2, 2, 3}));

  // Wider than a scratch strip: every column still follows floor(i * sw / dw).
  const std::vector<int32_t> wide = SampledColumns(1500, 3001);
  for (int32_t i = 0; i < 3001; ++i) ASSERT_EQ(wide[i], int64_t(i) * 1500 / 3001);
}

TEST(Copies, ScaledCopyDrawsBlocksAndSkipsKeys) {
  GuardedImage src(10, 10, 20, 0), dst(24, 24, 48, 2);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 10; ++x) src.Set(x, y, (x + y) % 3 == 0 ? 0x7C1F : uint16_t(10 * y + x));
  dst.Fill(0x0BAD);
  const Rect dstRect{0, 0, 20, 20}, srcRect{0, 0, 10, 10};
  GDIBltZoom_16(dst.pixels(), dst.pitch(), &dstRect, src.pixels(), src.pitch(), &srcRect, 0x7C1F);
  for (int32_t y = 0; y < 24; ++y) {
    for (int32_t x = 0; x < 24; ++x) {
      const bool inside = x < 20 && y < 20;
      const uint16_t s = inside ? src.At(x / 2, y / 2) : 0x7C1F;
      ASSERT_EQ(dst.At(x, y), s == 0x7C1F ? 0x0BAD : s) << x << "," << y;
    }
  }
}

TEST(Copies, EmptyAreasDrawNothing) {
  GuardedImage src = Numbered(8, 8), dst(8, 8, 16, 0);
  dst.Fill(0x1111);
  const GuardedImage before = dst;
  const Rect noRows{0, 3, 8, 3}, inverted{6, 0, 2, 8};
  for (const Rect* area : {&noRows, &inverted}) {
    GDIBltFast_16(dst.pixels(), dst.pitch(), area, src.pixels(), src.pitch(), 0, 0);
    GDIBlt_16(dst.pixels(), dst.pitch(), area, src.pixels(), src.pitch(), 0, 0, 0);
    GDIAlphaBlend_16(dst.pixels(), dst.pitch(), area, src.pixels(), src.pitch(), 0, 0, 0, 255);
    GDIBltZoom_16(dst.pixels(), dst.pitch(), area, src.pixels(), src.pitch(), &noRows, 0);
  }
  const Rect emptySource{0, 0, 0, 4}, someArea{0, 0, 4, 4};
  GDIBltZoom_16(dst.pixels(), dst.pitch(), &someArea, src.pixels(), src.pitch(), &emptySource, 0);
  EXPECT_EQ(dst.bytes(), before.bytes());
}

TEST(PixelRoutines, ColorConversionScalesRedBy31Over256) {
  EXPECT_EQ(color32_16(255, 255, 255), 0x7BFF);
  EXPECT_EQ(color32_16(255, 0, 255), 0x781F);
  EXPECT_EQ(color32_16(8, 8, 8), 0x0021);
  EXPECT_EQ(color32_16(0, 0, 0), 0);
  EXPECT_EQ(color32_16(0x1FF, 0x100, -1), color32_16(255, 0, 255));  // low bytes only
}

TEST(PixelRoutines, PixelAccessFillAndShifts) {
  GuardedImage image(5, 3, 14, 0);
  image.Fill(0);
  GDISetPixel(image.pixels(), image.pitch(), 4, 2, 0x1FFFF);
  EXPECT_EQ(image.At(4, 2), 0xFFFF);
  EXPECT_EQ(GDIGetPixel(image.pixels(), image.pitch(), 4, 2), 0xFFFF);  // zero-extended
  EXPECT_EQ(GDIGetPixel(image.pixels(), image.pitch(), 3, 2), 0);

  std::vector<uint16_t> words(6, 0x5555);
  GDIMemset(words.data() + 1, 0, 0x1234);
  GDIMemset(words.data() + 1, -4, 0x1234);
  EXPECT_EQ(words, std::vector<uint16_t>(6, 0x5555));
  GDIMemset(words.data() + 1, 4, 0xABCD1234);
  EXPECT_EQ(words, (std::vector<uint16_t>{0x5555, 0x1234, 0x1234, 0x1234, 0x1234, 0x5555}));

  EXPECT_EQ(getbit(5, 1), 1);
  EXPECT_EQ(getbit(5, 2), 0);
  EXPECT_EQ(getbit(-1, 0), 1);
  EXPECT_EQ(getbit(std::numeric_limits<int32_t>::min(), 0), 1);
  EXPECT_EQ(getbit(1, std::numeric_limits<int32_t>::min() + 1), 1);  // (n - 1) mod 32 = 0
  EXPECT_EQ(bitsmovl(1, 33), 2);
  EXPECT_EQ(bitsmovl(1, 31), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(bitsmovr(-8, 1), -4);
  EXPECT_EQ(bitsmovr(-8, 32), -8);
  EXPECT_EQ(bitsmovr(-8, -1), -1);  // -1 mod 32 = 31
}

// One blend of a 4 x 1 area whose source and destination pixels are all the same.
using Blend = std::function<void(void* dst, int32_t dstPitch, const Rect* area, const void* src, int32_t srcPitch)>;

uint16_t BlendOne(uint16_t d, uint16_t s, const Blend& blend) {
  GuardedImage dst(4, 1, 8, 0), src(4, 1, 8, 0);
  dst.Fill(d);
  src.Fill(s);
  const Rect area{0, 0, 4, 1};
  blend(dst.pixels(), dst.pitch(), &area, src.pixels(), src.pitch());
  return dst.At(0, 0);
}

Blend Keyed(decltype(&GDIAlphaBlend_16) routine, int32_t level) {
  return [routine, level](void* dst, int32_t dstPitch, const Rect* area, const void* src, int32_t srcPitch) {
    routine(dst, dstPitch, area, src, srcPitch, 0, 0, 0x7C1F, level);
  };
}

TEST(Blends, ChannelFormulasAtTheirRoundingPoints) {
  const Blend half = [](void* dst, int32_t dp, const Rect* a, const void* src, int32_t sp) {
    GDIHalfBlend_16(dst, dp, a, src, sp, 0, 0);
  };
  EXPECT_EQ(BlendOne(0x0000, 0x7FFF, half), 0x3DEF);

  EXPECT_EQ(BlendOne(Rgb(0, 0, 0), Rgb(31, 31, 31), Keyed(GDIAlphaBlend_16, 128)), Rgb(15, 15, 15));
  EXPECT_EQ(BlendOne(Rgb(0, 0, 0), Rgb(31, 31, 31), Keyed(GDIAlphaBlend_16, 255)), Rgb(30, 30, 30));
  EXPECT_EQ(BlendOne(Rgb(31, 31, 31), Rgb(0, 0, 0), Keyed(GDIAlphaBlend_16, 255)), Rgb(0, 0, 0));
  EXPECT_EQ(BlendOne(0x8000 | Rgb(3, 9, 27), Rgb(31, 0, 5), Keyed(GDIAlphaBlend_16, 0)), Rgb(3, 9, 27));
  EXPECT_EQ(BlendOne(Rgb(0, 0, 0), Rgb(31, 31, 31), Keyed(GDIAlphaBlend_16, 0x100 + 128)), Rgb(15, 15, 15));

  EXPECT_EQ(BlendOne(Rgb(20, 3, 0), Rgb(31, 10, 0), Keyed(GDIAdditive_16, 255)), Rgb(31, 12, 0));
  EXPECT_EQ(BlendOne(Rgb(20, 3, 0), Rgb(31, 10, 0), Keyed(GDIAdditive_16, 128)), Rgb(31, 8, 0));

  EXPECT_EQ(BlendOne(Rgb(10, 20, 0), Rgb(31, 9, 0), Keyed(GDISubitive_16, 128)), Rgb(0, 16, 0));

  EXPECT_EQ(BlendOne(0x1234, 0x7FFF, Keyed(GDIColorMask_16, 0x7C00)), 0x7C00);
  EXPECT_EQ(BlendOne(0x9234, 0x7C1F, Keyed(GDIColorMask_16, 0x7C00)), 0x9234);
}

TEST(Blends, KeyPixelsKeepTheirChannelsButLoseBit15) {
  for (auto routine : {GDIAlphaBlend_16, GDIAdditive_16, GDISubitive_16}) {
    EXPECT_EQ(BlendOne(0x8000 | Rgb(7, 8, 9), 0x7C1F, Keyed(routine, 255)), Rgb(7, 8, 9));
  }
}

Blend ByMask(uint16_t maskPixel, int32_t alphaLevel) {
  return [=](void* dst, int32_t dstPitch, const Rect* area, const void* src, int32_t srcPitch) {
    GuardedImage mask(srcPitch / 2, 1, srcPitch, 0);
    mask.Fill(maskPixel);
    GDIAlphaBlendByAlphaChannel2_16(dst, dstPitch, area, src, srcPitch, 0, 0, mask.pixels(), alphaLevel);
  };
}

TEST(Blends, AlphaChannelBlendByMaskAndLevel) {
  EXPECT_EQ(BlendOne(Rgb(0, 0, 0), Rgb(31, 31, 31), ByMask(31, 32)), Rgb(30, 30, 30));
  EXPECT_EQ(BlendOne(Rgb(0, 31, 0), Rgb(31, 0, 31), ByMask(0xFFE0 | 16, 32)), Rgb(15, 15, 15));
  EXPECT_EQ(BlendOne(0x8000 | Rgb(4, 5, 6), Rgb(31, 31, 31), ByMask(31, 0)), Rgb(4, 5, 6));
  // A group whose four mask values are 0 is not written, bit 15 included.
  EXPECT_EQ(BlendOne(0x8000 | Rgb(4, 5, 6), Rgb(31, 31, 31), ByMask(0x7FE0, 32)), 0x8000 | Rgb(4, 5, 6));
  // Levels beyond the table draw nothing.
  EXPECT_EQ(BlendOne(0x8000 | Rgb(4, 5, 6), Rgb(31, 31, 31), ByMask(31, 33)), 0x8000 | Rgb(4, 5, 6));
  EXPECT_EQ(BlendOne(0x8000 | Rgb(4, 5, 6), Rgb(31, 31, 31), ByMask(31, -1)), 0x8000 | Rgb(4, 5, 6));
}

TEST(Blends, OneTransparentMaskValueInAGroupStillWritesTheGroup) {
  GuardedImage dst(8, 1, 16, 0), src(8, 1, 16, 0), mask(8, 1, 16, 0);
  dst.Fill(0x8000 | Rgb(1, 2, 3));
  src.Fill(Rgb(31, 31, 31));
  mask.Fill(0);
  mask.Set(2, 0, 31);
  const Rect area{0, 0, 8, 1};
  GDIAlphaBlendByAlphaChannel2_16(dst.pixels(), dst.pitch(), &area, src.pixels(), src.pitch(), 0, 0, mask.pixels(),
                                  32);
  EXPECT_EQ(dst.At(0, 0), Rgb(1, 2, 3));  // weight 0, rebuilt from channels
  EXPECT_EQ(dst.At(2, 0), Rgb(30, 30, 30));
  EXPECT_EQ(dst.At(4, 0), 0x8000 | Rgb(1, 2, 3));  // second group untouched
}

TEST(Blends, WidthsRoundDownToGroupsOfFour) {
  const std::vector<Blend> blends = {
      Keyed(GDIAlphaBlend_16, 200), Keyed(GDIAdditive_16, 200), Keyed(GDISubitive_16, 200),
      Keyed(GDIColorMask_16, 0x7FFF), ByMask(31, 32),
      [](void* dst, int32_t dp, const Rect* a, const void* src, int32_t sp) {
        GDIHalfBlend_16(dst, dp, a, src, sp, 0, 0);
      }};
  for (size_t b = 0; b < blends.size(); ++b) {
    for (int32_t width : {3, 10}) {
      GuardedImage dst(12, 1, 24, 0), src(12, 1, 24, 0);
      dst.Fill(0x8000 | Rgb(31, 0, 0));
      src.Fill(Rgb(0, 31, 31));
      const Rect area{1, 0, 1 + width, 1};
      blends[b](dst.pixels(), dst.pitch(), &area, src.pixels(), src.pitch());
      const int32_t drawn = width / 4 * 4;
      EXPECT_EQ(WrittenColumns(dst, 0, 0x8000 | Rgb(31, 0, 0)), ColumnPattern(1, drawn, 12))
          << "blend " << b << " width " << width;
    }
  }
}

}  // namespace

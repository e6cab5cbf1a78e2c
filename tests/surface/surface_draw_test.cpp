#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <limits>
#include <set>
#include <utility>
#include <vector>

#include "shell/runtime.h"
#include "surface/cgdisurface.h"
#include "surface/draw_list.h"

namespace {

using PixelFn = std::function<uint16_t(int x, int y)>;

uint16_t& At(const CGDISurface& s, int x, int y) { return s.ptr()[y * (s.pitch() / 2) + x]; }

CGDISurface Make(int16_t w, int16_t h, const PixelFn& pixel) {
  CGDISurface s;
  EXPECT_TRUE(s.Create(w, h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) At(s, x, y) = pixel(x, y);
  return s;
}

// A source picture with no pixel equal to the colour key: every pixel tells where it came from.
uint16_t Pattern(int x, int y) { return static_cast<uint16_t>((y * 97 + x * 3 + 1) & 0x3FFF); }
const uint16_t kBackground = 0x4210;
uint16_t Background(int, int) { return kBackground; }

// Checks every pixel of `s` against `expected`, reporting the first few differences.
void ExpectImage(const CGDISurface& s, const PixelFn& expected) {
  int mismatches = 0;
  for (int y = 0; y < s.Height(); ++y)
    for (int x = 0; x < s.Width(); ++x)
      if (At(s, x, y) != expected(x, y) && ++mismatches <= 5)
        ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << At(s, x, y) << ", expected " << expected(x, y);
  EXPECT_EQ(mismatches, 0);
}

// Expected image: the background, except inside [left, right) x [top, bottom) where
// `inside` gives the pixel.
PixelFn Drawn(int left, int top, int right, int bottom, const PixelFn& inside) {
  return [=](int x, int y) {
    return x >= left && x < right && y >= top && y < bottom ? inside(x, y) : kBackground;
  };
}

}  // namespace

TEST(SurfaceDraw, FastBltClipsAgainstTheLeftEdge) {
  CGDISurface dst = Make(724, 544, Background);
  CGDISurface src = Make(64, 32, Pattern);
  dst.FastBlt(src, -10, 5);
  ExpectImage(dst, Drawn(0, 5, 54, 37, [](int x, int y) { return Pattern(x + 10, y - 5); }));
}

TEST(SurfaceDraw, SubRectangleEdgesAreLeftTopRightBottomAndLandWhereTheWholeImageWould) {
  CGDISurface src = Make(64, 32, Pattern);
  auto subRect = Drawn(116, 58, 148, 74, [](int x, int y) { return Pattern(x - 100, y - 50); });

  CGDISurface keyed = Make(724, 544, Background);
  keyed.BltClip(src, 100, 50, 8, 16, 24, 48);
  ExpectImage(keyed, subRect);

  CGDISurface opaque = Make(724, 544, Background);
  opaque.FastBltClip(src, 100, 50, 8, 16, 24, 48);
  ExpectImage(opaque, subRect);

  // Edges beyond the source are held to it: nothing is read outside the source, and each
  // pixel still lands where the whole image would put it.
  CGDISurface wide = Make(200, 100, Background);
  wide.FastBltClip(src, 20, 10, -8, -16, 1000, 1000);
  ExpectImage(wide, Drawn(20, 10, 84, 42, [](int x, int y) { return Pattern(x - 20, y - 10); }));
}

TEST(SurfaceDraw, KeyedCopiesDrawWholeGroupsOfFourAndSkipKeyPixels) {
  // 10 wide at x = -4: 6 columns survive the clip.
  auto keyAtColumn5 = [](int x, int y) { return x == 5 ? uint16_t{0x7C1F} : Pattern(x, y); };
  CGDISurface src = Make(10, 3, keyAtColumn5);

  CGDISurface opaque = Make(16, 5, Background);
  opaque.FastBlt(src, -4, 1);
  ExpectImage(opaque, Drawn(0, 1, 6, 4, [&](int x, int y) { return keyAtColumn5(x + 4, y - 1); }));

  CGDISurface keyed = Make(16, 5, Background);
  keyed.Blt(src, -4, 1, 1.0f);
  ExpectImage(keyed, Drawn(0, 1, 4, 4, [&](int x, int y) { return x == 1 ? kBackground : Pattern(x + 4, y - 1); }));

  // A colour key set on the source applies to it.
  src.SetTranColor(Pattern(6, 0));
  CGDISurface rekeyed = Make(16, 5, Background);
  rekeyed.BltClip(src, 0, 0, 0, 4, 1, 8);
  ExpectImage(rekeyed, Drawn(4, 0, 8, 1, [&](int x, int y) { return x == 6 ? kBackground : keyAtColumn5(x, y); }));
}

TEST(SurfaceDraw, ScaledCopiesSampleNearestLowerAndKeepEveryColumn) {
  auto keyOnDiagonal = [](int x, int y) { return x == y ? uint16_t{0x7C1F} : Pattern(x, y); };
  CGDISurface src = Make(10, 10, keyOnDiagonal);

  CGDISurface doubled = Make(30, 30, Background);
  doubled.Blt(src, 0, 0, 2.0f);
  ExpectImage(doubled, Drawn(0, 0, 20, 20, [&](int x, int y) {
                return x / 2 == y / 2 ? kBackground : Pattern(x / 2, y / 2);
              }));

  // Exactly 1 takes the keyed copy (8 of 10 columns); just above 1 the scaled one (all 10).
  CGDISurface unscaled = Make(12, 12, Background);
  unscaled.Blt(src, 0, 0, 1.0f);
  ExpectImage(unscaled, Drawn(0, 0, 8, 10, [&](int x, int y) { return x == y ? kBackground : Pattern(x, y); }));
  CGDISurface nearlyOne = Make(12, 12, Background);
  nearlyOne.Blt(src, 0, 0, 1.0000001f);
  ExpectImage(nearlyOne, Drawn(0, 0, 10, 10, [&](int x, int y) { return x == y ? kBackground : Pattern(x, y); }));

  // BltZoom draws the top-left iW x iH pixels.
  CGDISurface zoomed = Make(30, 30, Background);
  zoomed.BltZoom(src, 1, 2, 3, 5, 2.0f);
  ExpectImage(zoomed, Drawn(1, 2, 11, 8, [&](int x, int y) {
                return keyOnDiagonal((x - 1) / 2, (y - 2) / 2) == 0x7C1F ? kBackground : Pattern((x - 1) / 2, (y - 2) / 2);
              }));

  // A scale of zero, below zero or not a number draws nothing.
  CGDISurface none = Make(12, 12, Background);
  for (float k : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) none.Blt(src, 0, 0, k);
  ExpectImage(none, Background);
}

TEST(SurfaceDraw, EffectStylesBlendAddSubtractOrDrawNothing) {
  CGDISurface white = Make(8, 1, [](int x, int) { return x == 7 ? uint16_t{0x7C1F} : uint16_t{0x7FFF}; });
  auto run = [&](int32_t style, uint8_t effect, uint16_t under) {
    CGDISurface dst = Make(8, 1, [=](int, int) { return under; });
    EXPECT_TRUE(dst.EffectBlt(white, style, 0, 0, effect, 0));
    std::vector<uint16_t> row(dst.ptr(), dst.ptr() + 8);
    return row;
  };
  auto expectRow = [](const std::vector<uint16_t>& row, uint16_t drawn, uint16_t under) {
    for (int x = 0; x < 7; ++x) EXPECT_EQ(row[x], drawn) << "column " << x;
    EXPECT_EQ(row[7], under) << "key pixel";
  };
  expectRow(run(0, 128, 0x0000), 0x3DEF, 0x0000);  // 31 over 0 at 128: 15
  expectRow(run(1, 255, 0x5294), 0x7FFF, 0x5294);  // 20 + 31 saturates at 31
  expectRow(run(2, 128, 0x294A), 0x0000, 0x294A);  // 10 - 15 floors at 0
  expectRow(run(3, 255, 0x1234), 0x1234, 0x1234);  // any other style: nothing
  expectRow(run(-1, 255, 0x1234), 0x1234, 0x1234);

  // A frame outside the list reads as an empty frame: nothing drawn, success reported.
  CGDISurface dst = Make(8, 1, Background);
  EXPECT_TRUE(dst.EffectBlt(white, 0, 0, 0, 255, 1));
  ExpectImage(dst, Background);

  // The sub-rectangle form places like BltClip.
  CGDISurface src = Make(16, 4, Pattern);
  CGDISurface clipped = Make(32, 8, Background);
  EXPECT_TRUE(clipped.EffectBltClip(src, 10, 1, 0, 1, 4, 3, 12, 0));  // level 0: channels unchanged
  ExpectImage(clipped, Background);
  EXPECT_TRUE(clipped.EffectBltClip(src, 10, 1, 255, 1, 4, 3, 12, 1));
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 32; ++x) {
      bool inside = x >= 14 && x < 22 && y >= 2 && y < 4;
      EXPECT_EQ(At(clipped, x, y) != kBackground, inside) << x << ", " << y;
    }
}

TEST(SurfaceDraw, MaskedCopyTakesOpacityFromTheMaskBlueChannel) {
  CGDISurface src = Make(8, 2, [](int, int) { return uint16_t{0x7FFF}; });
  CGDISurface opaque = Make(8, 2, [](int, int) { return uint16_t{0x001F}; });
  CGDISurface clear = Make(8, 2, [](int, int) { return uint16_t{0x7FE0}; });  // blue 0: transparent
  auto draw = [&](const CGDISurface& mask, int32_t level) {
    CGDISurface dst = Make(8, 2, [](int, int) { return uint16_t{0}; });
    EXPECT_TRUE(dst.EffectBltClipAlpha(src, 0, 0, 0, 0, 2, 8, mask, level));
    return dst;
  };
  ExpectImage(draw(clear, 32), [](int, int) { return uint16_t{0}; });
  ExpectImage(draw(opaque, 0), [](int, int) { return uint16_t{0}; });
  ExpectImage(draw(opaque, 32), [](int, int) { return uint16_t{0x7BDE}; });  // 31 over 0: 30
  ExpectImage(draw(opaque, 1000), [](int, int) { return uint16_t{0x7BDE}; });  // held to 32

  // A mask that does not match the source's layout is not read: nothing is drawn.
  CGDISurface narrow = Make(6, 2, [](int, int) { return uint16_t{0x001F}; });
  CGDISurface shortMask = Make(8, 1, [](int, int) { return uint16_t{0x001F}; });
  CGDISurface never;
  for (const CGDISurface* mask : {&narrow, &shortMask, &never})
    ExpectImage(draw(*mask, 32), [](int, int) { return uint16_t{0}; });
}

TEST(SurfaceDraw, ClipRectangleBoundsEveryCopyButNeverReachesOutsideTheSurface) {
  CGDISurface src = Make(64, 32, Pattern);
  CGDISurface dst = Make(40, 20, Background);
  dst.SetClipper(8, 4, 24, 12);
  dst.FastBlt(src, 0, 0);
  ExpectImage(dst, Drawn(8, 4, 24, 12, Pattern));

  // A clip rectangle larger than the surface is kept as passed, and copies stop at the
  // surface's edges (the sanitizer build watches every byte around the pixel memory).
  CGDISurface boundless = Make(40, 20, Background);
  boundless.SetClipper(-1000, -1000, 100000, 100000);
  EXPECT_EQ(boundless.ClipRect().Right, 100000);
  boundless.FastBlt(src, -3, -2);
  ExpectImage(boundless, [](int x, int y) { return Pattern(x + 3, y + 2); });
  boundless.Blt(src, -3, -2, 3.0f);
  boundless.Blt(src, 30, 15, 1.0f);
  EXPECT_TRUE(boundless.EffectBlt(src, 1, 30, -2, 255, 0));
  EXPECT_TRUE(boundless.EffectBltClipAlpha(src, 30, 15, 0, 0, 32, 64, src, 32));
  boundless.DrawLine(-50, -50, 500, 500, 255, 255, 255);
  for (int32_t far : {INT32_MIN, INT32_MAX}) {
    boundless.FastBlt(src, far, 0);
    boundless.Blt(src, 0, far, 2.5f);
    boundless.FastBltClip(src, far, far, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX);
  }
}

TEST(SurfaceDraw, CopyingASurfaceOntoItselfDrawsTheImageAsItWas) {
  CGDISurface s = Make(20, 6, Pattern);
  s.FastBlt(s, 4, 1);
  ExpectImage(s, [](int x, int y) { return x >= 4 && y >= 1 ? Pattern(x - 4, y - 1) : Pattern(x, y); });
  CGDISurface t = Make(20, 6, Pattern);
  t.BltClip(t, -4, 0, 0, 4, 6, 20);
  ExpectImage(t, [](int x, int y) { return x < 16 ? Pattern(x + 4, y) : Pattern(x, y); });
}

TEST(SurfaceDraw, CopiesFromASurfaceNeverCreatedFailExceptTheEffects) {
  CGDISurface never;
  CGDISurface dst = Make(8, 8, Background);
  try {
    dst.FastBlt(never, 0, 0);
    FAIL() << "no error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::SubscriptOutOfRange);
  }
  EXPECT_THROW(dst.Blt(never, 0, 0, 2.0f), RuntimeError);
  EXPECT_THROW(dst.BltClip(never, 0, 0, 0, 0, 4, 4), RuntimeError);
  EXPECT_TRUE(dst.EffectBlt(never, 0, 0, 0, 255, 0));
  EXPECT_TRUE(dst.EffectBltClip(never, 0, 0, 255, 0, 0, 4, 4, 0));
  EXPECT_TRUE(dst.EffectBltClipAlpha(never, 0, 0, 0, 0, 4, 4, never, 32));
  ExpectImage(dst, Background);
}

TEST(SurfaceDraw, ClearAndFillColorCoverEveryPixelButNotThePadding) {
  CGDISurface even = Make(8, 3, Pattern);
  even.FillColor(255, 255, 255);
  ExpectImage(even, [](int, int) { return uint16_t{0x7BFF}; });  // red scaled by 31/256
  even.Clear();
  ExpectImage(even, [](int, int) { return uint16_t{0}; });

  CGDISurface odd = Make(7, 3, Background);
  odd.FillColor(8, 8, 8);
  ExpectImage(odd, [](int, int) { return uint16_t{0x0021}; });
  for (int y = 0; y < 3; ++y) EXPECT_EQ(odd.ptr()[y * 8 + 7], 0) << "padding of row " << y;

  // Filling around a copy, then copying, gives what filling everything first gives, wherever
  // the copy lands and whatever clips it, and never touches the padding.
  CGDISurface src = Make(6, 2, Pattern);
  CGDISurface never;
  struct Placement {
    int32_t x, y, clipLeft, clipTop, clipRight, clipBottom;
  };
  for (const Placement& at : {Placement{0, 0, 0, 0, 7, 3}, Placement{3, 2, 0, 0, 7, 3}, Placement{-2, -1, 0, 0, 7, 3},
                              Placement{1, 0, 2, 1, 5, 3}, Placement{20, 0, 0, 0, 7, 3}, Placement{0, 0, 3, 3, 3, 3}}) {
    for (const CGDISurface* copied : {&src, &never}) {
      CGDISurface around = Make(7, 3, Background), whole = Make(7, 3, Background);
      for (CGDISurface* s : {&around, &whole}) s->SetClipper(at.clipLeft, at.clipTop, at.clipRight, at.clipBottom);
      around.FillColorAround(*copied, at.x, at.y, 8, 8, 8);
      whole.FillColor(8, 8, 8);
      for (CGDISurface* s : {&around, &whole}) {
        try {
          s->FastBlt(*copied, at.x, at.y);
        } catch (const RuntimeError&) {
        }
      }
      ExpectImage(around, [&](int x, int y) { return At(whole, x, y); });
      for (int y = 0; y < 3; ++y) EXPECT_EQ(around.ptr()[y * 8 + 7], 0) << "padding of row " << y;
    }
  }
}

TEST(SurfaceDraw, DrawLinePlotsRoundedPointsClampedIntoTheSurface) {
  auto plotted = [](const CGDISurface& s) {
    std::set<std::pair<int, int>> points;
    for (int y = 0; y < s.Height(); ++y)
      for (int x = 0; x < s.Width(); ++x)
        if (At(s, x, y) != 0) points.insert({x, y});
    return points;
  };
  CGDISurface s;
  ASSERT_TRUE(s.Create(10, 10));
  s.DrawLine(0, 0, 3, 4, 255, 0, 255);
  EXPECT_EQ(plotted(s), (std::set<std::pair<int, int>>{{0, 0}, {1, 1}, {1, 2}, {2, 2}, {2, 3}, {3, 4}}));
  EXPECT_EQ(At(s, 1, 2), 0x781F);

  // Ends that meet after clamping plot one point.
  s.Clear();
  s.DrawLine(-10, -10, -3, -3, 255, 255, 255);
  EXPECT_EQ(plotted(s), (std::set<std::pair<int, int>>{{0, 0}}));

  CGDISurface screen;
  ASSERT_TRUE(screen.Create(724, 544));
  screen.DrawLine(-5, 1000, 3, 540, 0, 0, 255);
  // Four steps; at i = 2 the point (1.5, 541.5) rounds halves to even: (2, 542).
  EXPECT_EQ(plotted(screen), (std::set<std::pair<int, int>>{{0, 543}, {1, 542}, {2, 542}, {2, 541}, {3, 540}}));
  screen.Clear();
  screen.DrawLine(INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN, 0, 0, 255);  // corner to corner
  EXPECT_EQ(At(screen, 0, 543), 0x001F);
  EXPECT_EQ(At(screen, 723, 0), 0x001F);

  CGDISurface never;
  never.DrawLine(0, 0, 5, 5, 255, 255, 255);  // nothing to draw on
}

// Marked tiles come back as disjoint areas covering exactly the tiles marked since the last
// reset, whatever earlier rounds marked and whatever size the surface had before.
TEST(ChangedTilesTest, AreasCoverExactlyTheTilesMarkedSinceTheReset) {
  constexpr int32_t Tile = ChangedTiles::TileSize;
  ChangedTiles tiles;
  uint32_t seed = 12345;
  const auto next = [&](int32_t below) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int32_t>((seed >> 8) % static_cast<uint32_t>(below));
  };
  for (int round = 0; round < 200; ++round) {
    const int32_t width = round % 50 < 40 ? 203 : 64 + next(100), height = round % 50 < 40 ? 157 : 32 + next(100);
    tiles.Reset(width, height);
    std::set<std::pair<int32_t, int32_t>> expected;  // (column, row)
    for (int marks = next(5); marks > 0; --marks) {
      const Rect area{next(width + 40) - 20, next(height + 40) - 20, next(width + 40) - 20, next(height + 40) - 20};
      tiles.Mark(area);
      for (int32_t y = std::max(area.Top, 0); y < std::min(area.Bottom, height); ++y)
        for (int32_t x = std::max(area.Left, 0); x < std::min(area.Right, width); ++x)
          expected.insert({x / Tile, y / Tile});
    }
    std::vector<Rect> areas;
    tiles.Areas(areas);
    std::set<std::pair<int32_t, int32_t>> covered;
    for (const Rect& area : areas) {
      ASSERT_TRUE(area.Left >= 0 && area.Top >= 0 && area.Right <= width && area.Bottom <= height) << round;
      for (int32_t y = area.Top; y < area.Bottom; y += Tile)
        for (int32_t x = area.Left; x < area.Right; x += Tile)
          ASSERT_TRUE(covered.insert({x / Tile, y / Tile}).second) << "areas overlap in round " << round;
    }
    EXPECT_EQ(covered, expected) << round;
  }
}

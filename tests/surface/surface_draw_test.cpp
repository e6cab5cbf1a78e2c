// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <set>
#include <utility>
#include <vector>

#include "base/runtime.h"
#include "surface/draw_list.h"
#include "surface/surface.h"

namespace {

using PixelFn = std::function<uint16_t(int x, int y)>;

uint16_t& At(const Surface& s, int x, int y) { return s.Pixels()[y * (s.Pitch() / 2) + x]; }

Surface Make(int16_t w, int16_t h, const PixelFn& pixel) {
  Surface s;
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
void ExpectImage(const Surface& s, const PixelFn& expected) {
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
  return [=](int x, int y) { return x >= left && x < right && y >= top && y < bottom ? inside(x, y) : kBackground; };
}

}  // namespace

TEST(SurfaceDraw, AnOpaqueCopyClipsAgainstTheLeftEdge) {
  Surface dst = Make(724, 544, Background);
  Surface src = Make(64, 32, Pattern);
  dst.CopyFrom(src, -10, 5);
  ExpectImage(dst, Drawn(0, 5, 54, 37, [](int x, int y) { return Pattern(x + 10, y - 5); }));
}

TEST(SurfaceDraw, SubRectangleEdgesAreLeftTopRightBottomAndLandWhereTheWholeImageWould) {
  Surface src = Make(64, 32, Pattern);
  auto subRect = Drawn(116, 58, 148, 74, [](int x, int y) { return Pattern(x - 100, y - 50); });

  Surface keyed = Make(724, 544, Background);
  keyed.CopyKeyedFrom(src, 100, 50, Rect{16, 8, 48, 24});
  ExpectImage(keyed, subRect);

  // Edges beyond the source are held to it: nothing is read outside the source, and each
  // pixel still lands where the whole image would put it.
  Surface wide = Make(200, 100, Background);
  wide.CopyKeyedFrom(src, 20, 10, Rect{-16, -8, 1000, 1000});
  ExpectImage(wide, Drawn(20, 10, 84, 42, [](int x, int y) { return Pattern(x - 20, y - 10); }));
}

TEST(SurfaceDraw, KeyedCopiesDrawWholeGroupsOfFourAndSkipKeyPixels) {
  // 10 wide at x = -4: 6 columns survive the clip.
  auto keyAtColumn5 = [](int x, int y) { return x == 5 ? uint16_t{0x7C1F} : Pattern(x, y); };
  Surface src = Make(10, 3, keyAtColumn5);

  Surface opaque = Make(16, 5, Background);
  opaque.CopyFrom(src, -4, 1);
  ExpectImage(opaque, Drawn(0, 1, 6, 4, [&](int x, int y) { return keyAtColumn5(x + 4, y - 1); }));

  Surface keyed = Make(16, 5, Background);
  keyed.CopyKeyedFrom(src, -4, 1, Rect{0, 0, 10, 3});
  ExpectImage(keyed, Drawn(0, 1, 4, 4, [&](int x, int y) { return x == 1 ? kBackground : Pattern(x + 4, y - 1); }));
}

TEST(SurfaceDraw, EffectStylesBlendAddSubtractOrDrawNothing) {
  Surface white = Make(8, 1, [](int x, int) { return x == 7 ? uint16_t{0x7C1F} : uint16_t{0x7FFF}; });
  auto run = [&](int32_t style, uint8_t effect, uint16_t under) {
    Surface dst = Make(8, 1, [=](int, int) { return under; });
    dst.BlendFrom(white, static_cast<BlendStyle>(style), 0, 0, effect, 0);
    std::vector<uint16_t> row(dst.Pixels(), dst.Pixels() + 8);
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

  // A frame outside the list reads as an empty frame: nothing drawn, no error.
  Surface dst = Make(8, 1, Background);
  EXPECT_NO_THROW(dst.BlendFrom(white, BlendStyle::Alpha, 0, 0, 255, 1));
  ExpectImage(dst, Background);
}

TEST(SurfaceDraw, MaskedCopyTakesOpacityFromTheMaskBlueChannel) {
  Surface src = Make(8, 2, [](int, int) { return uint16_t{0x7FFF}; });
  Surface opaque = Make(8, 2, [](int, int) { return uint16_t{0x001F}; });
  Surface clear = Make(8, 2, [](int, int) { return uint16_t{0x7FE0}; });  // blue 0: transparent
  auto draw = [&](const Surface& mask, int32_t level) {
    Surface dst = Make(8, 2, [](int, int) { return uint16_t{0}; });
    dst.BlendThroughMask(src, 0, 0, Rect{0, 0, 8, 2}, mask, level);
    return dst;
  };
  ExpectImage(draw(clear, 32), [](int, int) { return uint16_t{0}; });
  ExpectImage(draw(opaque, 0), [](int, int) { return uint16_t{0}; });
  ExpectImage(draw(opaque, 32), [](int, int) { return uint16_t{0x7BDE}; });    // 31 over 0: 30
  ExpectImage(draw(opaque, 1000), [](int, int) { return uint16_t{0x7BDE}; });  // held to 32

  // A mask that does not match the source's layout is not read: nothing is drawn.
  Surface narrow = Make(6, 2, [](int, int) { return uint16_t{0x001F}; });
  Surface shortMask = Make(8, 1, [](int, int) { return uint16_t{0x001F}; });
  Surface never;
  for (const Surface* mask : {&narrow, &shortMask, &never})
    ExpectImage(draw(*mask, 32), [](int, int) { return uint16_t{0}; });
}

TEST(SurfaceDraw, CopiesNeverReachOutsideTheSurface) {
  // A source larger than the surface: every copy stops at the surface's edges (the sanitizer
  // build watches every byte around the pixel memory).
  Surface src = Make(64, 32, Pattern);
  Surface small = Make(40, 20, Background);
  small.CopyFrom(src, -3, -2);
  ExpectImage(small, [](int x, int y) { return Pattern(x + 3, y + 2); });
  small.CopyKeyedFrom(src, 30, 15, Rect{0, 0, 64, 32});
  small.BlendFrom(src, BlendStyle::Additive, 30, -2, 255, 0);
  small.BlendThroughMask(src, 30, 15, Rect{0, 0, 64, 32}, src, 32);
  small.DrawLine(-50, -50, 500, 500, 255, 255, 255);
  for (int32_t far : {INT32_MIN, INT32_MAX}) {
    small.CopyFrom(src, far, 0);
    small.CopyKeyedFrom(src, 0, far, Rect{0, 0, 64, 32});
    small.CopyKeyedFrom(src, far, far, Rect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
    small.BlendFrom(src, BlendStyle::Alpha, far, far, 255, 0);
  }
}

TEST(SurfaceDraw, CopyingASurfaceOntoItselfDrawsTheImageAsItWas) {
  Surface s = Make(20, 6, Pattern);
  s.CopyFrom(s, 4, 1);
  ExpectImage(s, [](int x, int y) { return x >= 4 && y >= 1 ? Pattern(x - 4, y - 1) : Pattern(x, y); });
  Surface t = Make(20, 6, Pattern);
  t.CopyKeyedFrom(t, -4, 0, Rect{4, 0, 20, 6});
  ExpectImage(t, [](int x, int y) { return x < 16 ? Pattern(x + 4, y) : Pattern(x, y); });
}

TEST(SurfaceDraw, CopiesFromASurfaceNeverCreatedFailExceptTheEffects) {
  Surface never;
  Surface dst = Make(8, 8, Background);
  try {
    dst.CopyFrom(never, 0, 0);
    FAIL() << "no error";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::SubscriptOutOfRange);
  }
  EXPECT_THROW(dst.CopyKeyedFrom(never, 0, 0, Rect{0, 0, 4, 4}), RuntimeError);
  EXPECT_NO_THROW(dst.BlendFrom(never, BlendStyle::Alpha, 0, 0, 255, 0));
  EXPECT_NO_THROW(dst.BlendThroughMask(never, 0, 0, Rect{0, 0, 4, 4}, never, 32));
  ExpectImage(dst, Background);
}

TEST(SurfaceDraw, ClearAndFillAroundCoverEveryPixelButNotThePadding) {
  // A copy that lands outside the surface leaves every pixel to the fill.
  Surface src = Make(6, 2, Pattern);
  Surface even = Make(8, 3, Pattern);
  even.FillAround(src, 8, 0, 255, 255, 255);
  ExpectImage(even, [](int, int) { return uint16_t{0x7BFF}; });  // red scaled by 31/256
  even.Clear();
  ExpectImage(even, [](int, int) { return uint16_t{0}; });

  Surface odd = Make(7, 3, Background);
  odd.FillAround(src, 0, -2, 8, 8, 8);
  ExpectImage(odd, [](int, int) { return uint16_t{0x0021}; });
  for (int y = 0; y < 3; ++y) EXPECT_EQ(odd.Pixels()[y * 8 + 7], 0) << "padding of row " << y;

  // Filling around a copy, then copying, gives what filling everything first gives, wherever
  // the copy lands and whatever clips it, and never touches the padding.
  Surface never;
  struct Placement {
    int32_t x, y;
  };
  for (const Placement& at : {Placement{0, 0}, Placement{3, 2}, Placement{-2, -1}, Placement{1, 0}, Placement{20, 0},
                              Placement{0, 3}, Placement{-6, 1}, Placement{6, -1}}) {
    for (const Surface* copied : {&src, &never}) {
      Surface around = Make(7, 3, Background), whole = Make(7, 3, [](int, int) { return uint16_t{0x0021}; });
      around.FillAround(*copied, at.x, at.y, 8, 8, 8);
      for (Surface* s : {&around, &whole}) {
        try {
          s->CopyFrom(*copied, at.x, at.y);
        } catch (const RuntimeError&) {
        }
      }
      ExpectImage(around, [&](int x, int y) { return At(whole, x, y); });
      for (int y = 0; y < 3; ++y) EXPECT_EQ(around.Pixels()[y * 8 + 7], 0) << "padding of row " << y;
    }
  }
}

TEST(SurfaceDraw, DrawLinePlotsRoundedPointsClampedIntoTheSurface) {
  auto plotted = [](const Surface& s) {
    std::set<std::pair<int, int>> points;
    for (int y = 0; y < s.Height(); ++y)
      for (int x = 0; x < s.Width(); ++x)
        if (At(s, x, y) != 0) points.insert({x, y});
    return points;
  };
  Surface s;
  ASSERT_TRUE(s.Create(10, 10));
  s.DrawLine(0, 0, 3, 4, 255, 0, 255);
  EXPECT_EQ(plotted(s), (std::set<std::pair<int, int>>{{0, 0}, {1, 1}, {1, 2}, {2, 2}, {2, 3}, {3, 4}}));
  EXPECT_EQ(At(s, 1, 2), 0x781F);

  // Ends that meet after clamping plot one point.
  s.Clear();
  s.DrawLine(-10, -10, -3, -3, 255, 255, 255);
  EXPECT_EQ(plotted(s), (std::set<std::pair<int, int>>{{0, 0}}));

  Surface screen;
  ASSERT_TRUE(screen.Create(724, 544));
  screen.DrawLine(-5, 1000, 3, 540, 0, 0, 255);
  // Four steps; at i = 2 the point (1.5, 541.5) rounds halves to even: (2, 542).
  EXPECT_EQ(plotted(screen), (std::set<std::pair<int, int>>{{0, 543}, {1, 542}, {2, 542}, {2, 541}, {3, 540}}));
  screen.Clear();
  screen.DrawLine(INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN, 0, 0, 255);  // corner to corner
  EXPECT_EQ(At(screen, 0, 543), 0x001F);
  EXPECT_EQ(At(screen, 723, 0), 0x001F);

  Surface never;
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

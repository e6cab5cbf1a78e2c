// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "base/runtime.h"
#include "surface/surface.h"

namespace {

void ExpectFrame(const FrameInfo& f, int32_t l, int32_t t, int32_t r, int32_t b) {
  EXPECT_EQ(f.Left, l);
  EXPECT_EQ(f.Top, t);
  EXPECT_EQ(f.Right, r);
  EXPECT_EQ(f.Bottom, b);
  EXPECT_EQ(f.AnchorX, 0);
  EXPECT_EQ(f.AnchorY, 0);
}

}  // namespace

TEST(SurfaceObject, CreateLaysOutPaddedRowsFrameAndKey) {
  Surface s;
  EXPECT_EQ(s.Pixels(), nullptr);
  EXPECT_EQ(s.FrameCount(), 0);

  ASSERT_TRUE(s.Create(7, 3));
  EXPECT_EQ(s.Width(), 7);
  EXPECT_EQ(s.Height(), 3);
  EXPECT_EQ(s.Pitch(), 16);  // 14 bytes rounded up
  EXPECT_EQ(s.ColourKey(), 0x7C1F);
  EXPECT_EQ(s.FrameCount(), 1);
  // Black, padding included: 3 rows of 8 words.
  ASSERT_NE(s.Pixels(), nullptr);
  EXPECT_EQ(std::vector<uint16_t>(s.Pixels(), s.Pixels() + 24), std::vector<uint16_t>(24, 0));
  ExpectFrame(s.Frame(0), 0, 0, 7, 3);

  Surface even;
  ASSERT_TRUE(even.Create(8, 3));
  EXPECT_EQ(even.Pitch(), 16);
  ASSERT_TRUE(even.Create(1, 1));
  EXPECT_EQ(even.Pitch(), 4);
}

TEST(SurfaceObject, SecondCreateReplacesImageAndFrames) {
  Surface s;
  ASSERT_TRUE(s.Create(4, 4));
  s.Pixels()[0] = 0x7FFF;
  ASSERT_TRUE(s.Create(10, 2));
  EXPECT_EQ(s.ColourKey(), 0x7C1F);
  EXPECT_EQ(s.Pixels()[0], 0);
  EXPECT_EQ(s.FrameCount(), 1);
  ExpectFrame(s.Frame(0), 0, 0, 10, 2);
}

TEST(SurfaceObject, CreateRefusesSizesAPitchCannotHoldAndLeavesAnEmptySurface) {
  Surface s;
  ASSERT_TRUE(s.Create(16382, 1));
  EXPECT_EQ(s.Pitch(), 32764);
  EXPECT_FALSE(s.Create(16383, 1));  // pitch 32768 does not fit 16 bits
  EXPECT_EQ(s.Pixels(), nullptr);
  EXPECT_EQ(s.Width(), 0);
  EXPECT_EQ(s.FrameCount(), 0);
  EXPECT_FALSE(s.Create(-1, 5));
  EXPECT_FALSE(s.Create(5, -1));
  EXPECT_TRUE(s.Create(0, 0));
  EXPECT_EQ(s.FrameCount(), 1);
}

TEST(SurfaceObject, AFrameOutsideTheListIsEmptyAndNeverCreatedRaises) {
  Surface s;
  try {
    s.Frame(0);
    FAIL() << "no error on a surface never created";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::SubscriptOutOfRange);
  }
  ASSERT_TRUE(s.Create(5, 6));
  for (int16_t outside : {1, -1}) ExpectFrame(s.Frame(outside), 0, 0, 0, 0);
  ExpectFrame(s.Frame(0), 0, 0, 5, 6);
  EXPECT_EQ(s.FrameCount(), 1);
}

TEST(SurfaceObject, MovingTakesTheImageAndLeavesAnEmptySurface) {
  std::vector<Surface> surfaces(1);
  ASSERT_TRUE(surfaces[0].Create(6, 2));
  surfaces[0].Pixels()[1] = 0x1234;
  uint16_t* pixels = surfaces[0].Pixels();
  surfaces.resize(20);  // reallocation moves the surface
  EXPECT_EQ(surfaces[0].Pixels(), pixels);
  EXPECT_EQ(surfaces[0].Pixels()[1], 0x1234);

  Surface taken = std::move(surfaces[0]);
  EXPECT_EQ(taken.Pixels(), pixels);
  EXPECT_EQ(taken.Width(), 6);
  EXPECT_EQ(taken.FrameCount(), 1);
  EXPECT_EQ(surfaces[0].Pixels(), nullptr);
  EXPECT_EQ(surfaces[0].Width(), 0);
  EXPECT_EQ(surfaces[0].FrameCount(), 0);
}

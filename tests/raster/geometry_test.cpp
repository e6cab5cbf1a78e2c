// SPDX-License-Identifier: MIT
// The geometry routines: lengths, bearings, a collision step and the smallest of four values.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "raster/rasterkit.h"

namespace {

float DistanceOf(int32_t x, int32_t y) { return Distance(&x, &y); }
int32_t AngleOf(int32_t x, int32_t y) { return GetAngle(&x, &y); }

TEST(GeometryTest, DistanceSquaresWithoutWrapping) {
  EXPECT_EQ(DistanceOf(3, 4), 5.0f);
  EXPECT_EQ(DistanceOf(-3, -4), 5.0f);
  EXPECT_EQ(DistanceOf(0, 0), 0.0f);
  // 100000² + 100000² does not fit 32 bits.
  EXPECT_NEAR(DistanceOf(100000, 100000), 141421.36f, 0.02f);
  EXPECT_NEAR(DistanceOf(INT32_MIN, 0), 2147483648.0f, 1.0f);
}

TEST(GeometryTest, BearingsClockwiseFromUp) {
  EXPECT_EQ(AngleOf(0, -10), 0);
  EXPECT_EQ(AngleOf(10, 0), 90);
  EXPECT_EQ(AngleOf(0, 10), 180);
  EXPECT_EQ(AngleOf(-10, 0), 270);
  EXPECT_EQ(AngleOf(3, -4), 36);
  // The single-precision ratio falls just short of 45 degrees on the diagonals.
  EXPECT_EQ(AngleOf(10, -10), 44);
  EXPECT_EQ(AngleOf(5, 5), 136);
  EXPECT_EQ(AngleOf(-5, -5), 316);
  EXPECT_EQ(AngleOf(0, 0), 0);
  EXPECT_EQ(AngleOf(INT32_MIN, INT32_MIN), 316);
}

TEST(GeometryTest, BearingsOfRandomVectorsStayWithinADegreeOfTheTrueAngle) {
  std::mt19937 rng(17);
  for (int trial = 0; trial < 20000; ++trial) {
    const int32_t range = trial % 2 ? 1000 : INT32_MAX;
    const int32_t x = int32_t(rng() % (2u * uint32_t(range) + 1) - uint32_t(range));
    const int32_t y = int32_t(rng() % (2u * uint32_t(range) + 1) - uint32_t(range));
    if (x == 0 && y == 0) continue;
    const int32_t angle = AngleOf(x, y);
    ASSERT_GE(angle, 0);
    ASSERT_LT(angle, 360);
    double exact = std::atan2(double(x), -double(y)) * 180.0 / M_PI;
    if (exact < 0) exact += 360.0;
    double gap = std::fabs(exact - angle);
    gap = std::min(gap, 360.0 - gap);
    ASSERT_LT(gap, 1.01) << x << "," << y << " gives " << angle;
  }
}

struct Body {
  float vx, vy;
  int32_t heading, life, lossFactor;
};

void Collide(float hitDistance, float x1, float y1, float x2, float y2, float oldX1, float oldY1, float oldX2,
             float oldY2, Body& one, Body& two) {
  Collision(hitDistance, x1, y1, x2, y2, oldX1, oldY1, oldX2, oldY2, &one.vx, &one.vy, &two.vx, &two.vy, &one.heading,
            &two.heading, &one.life, &two.life, &two.lossFactor, &one.lossFactor);
}

TEST(GeometryTest, ObjectsApartOnlyHaveFastVelocitiesCapped) {
  Body one{25.0f, -25.0f, 0, 100, 5};
  Body two{10.5f, 3.0f, 0, 100, 5};
  Collide(5.0f, 0, 0, 100, 0, 0, 0, 100, 0, one, two);
  EXPECT_EQ(one.vx, 10.0f);
  EXPECT_EQ(one.vy, -25.0f);  // no lower cap
  EXPECT_EQ(two.vx, 10.0f);
  EXPECT_EQ(two.vy, 3.0f);
  EXPECT_EQ(one.life, 100);
  EXPECT_EQ(two.life, 100);
}

// Object 1 runs right into object 2, which stands still facing down. Stepped back along its
// move it separates after 8 of 64 steps; the impulse goes along the line of centres, and only
// object 2, hit from the side, loses strength.
TEST(GeometryTest, HeadOnHitExchangesVelocityAndCostsTheObjectHitFromTheSide) {
  Body one{8.0f, 0.0f, 90, 100, 1};
  Body two{0.0f, 0.0f, 180, 100, 1};
  Collide(6.0f, 0, 0, 5, 0, -8, 0, 5, 0, one, two);
  EXPECT_FLOAT_EQ(two.vx, 9.6f);  // 8 x 6 / 5: backed-off separation over the first distance
  EXPECT_FLOAT_EQ(one.vx, 8.0f - 9.6f);
  EXPECT_EQ(one.vy, 0.0f);
  EXPECT_EQ(two.vy, 0.0f);
  EXPECT_EQ(one.life, 100);      // faced its way: bearing 90, heading 90
  EXPECT_EQ(two.life, 100 - 4);  // facing error 90: trunc(1 x 90 x 9.6 / 180)
}

TEST(GeometryTest, CollisionEndsWhenTheObjectsOverlappedBeforeToo) {
  // Neither moved: the back-off cannot separate them.
  Body one{1.0f, 0.0f, 0, 50, 3};
  Body two{-1.0f, 0.0f, 0, 50, 3};
  Collide(10.0f, 0, 0, 3, 0, 0, 0, 3, 0, one, two);
  EXPECT_TRUE(std::isfinite(one.vx) && std::isfinite(two.vx));

  // Coincident centres: no line of centres, so no impulse.
  Body three{4.0f, -2.0f, 0, 50, 3};
  Body four{-20.0f, 12.0f, 0, 50, 3};
  Collide(10.0f, 7, 7, 7, 7, 6, 6, 8, 8, three, four);
  EXPECT_EQ(three.vx, 4.0f);
  EXPECT_EQ(three.vy, -2.0f);
  EXPECT_EQ(four.vx, -20.0f);
  EXPECT_EQ(four.vy, 10.0f);  // only the cap
  EXPECT_EQ(three.life, 50);
  EXPECT_EQ(four.life, 50);
}

TEST(GeometryTest, RandomCollisionsEndWithCappedVelocitiesAndNoNegativeStrength) {
  std::mt19937 rng(23);
  std::uniform_real_distribution<float> position(-20.0f, 20.0f);
  std::uniform_real_distribution<float> velocity(-1e6f, 30.0f);
  for (int trial = 0; trial < 5000; ++trial) {
    Body one{velocity(rng), velocity(rng), int32_t(rng() % 720) - 180, int32_t(rng() % 200),
             int32_t(rng() % 2000) - 1000};
    Body two{velocity(rng), velocity(rng), int32_t(rng()), int32_t(rng() % uint32_t(INT32_MAX)), int32_t(rng())};
    Collide(trial % 7 == 0 ? 0.0f : position(rng), position(rng), position(rng), position(rng), position(rng),
            position(rng), position(rng), position(rng), position(rng), one, two);
    for (float v : {one.vx, one.vy, two.vx, two.vy}) ASSERT_FALSE(v > 10.0f);
    ASSERT_GE(one.life, 0);
    ASSERT_GE(two.life, 0);
  }
}

TEST(GeometryTest, ChartToBmpPicksTheFirstSmallestAfterTheCodeChecks) {
  EXPECT_EQ(ChartToBmp(5, 3, 3, 9, 0, 0, 0, 0), 2);
  EXPECT_EQ(ChartToBmp(1, 1, 1, 1, 0, 0, 0, 0), 1);
  EXPECT_EQ(ChartToBmp(9, 8, 7, 6, 0, 0, 0, 0), 4);
  EXPECT_EQ(ChartToBmp(9, 8, 6, 6, 0, 0, 0, 0), 3);
  EXPECT_EQ(ChartToBmp(1, 2, 3, 4, 0, 1, 65, 48), 2);  // a7 not a digit
  EXPECT_EQ(ChartToBmp(1, 2, 3, 4, 0, 1, 48, 65), 3);  // a5 = 0 and a8 not a digit
  EXPECT_EQ(ChartToBmp(1, 2, 3, 4, 1, 1, 57, 65), 1);  // a5 set: a8 not checked
}

}  // namespace

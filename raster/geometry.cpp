// SPDX-License-Identifier: MIT
// Geometry routines: vector length, compass bearing, one step of a collision between two
// round objects, and the smallest of four values.
//
// Bearings are whole degrees clockwise from negative y (up on a screen whose y grows down).
#include <math.h>

#include "raster/rasterkit.h"

namespace {

constexpr float kDegreesPerRadian = 57.29578f;
constexpr float kOneOver180 = 0.0055555557f;
constexpr float kVelocityCap = 10.0f;
// The back-off of a collision steps the objects back towards their previous positions; it never
// takes more than this many steps, however fast they move.
constexpr int32_t kMaxBackOffSteps = 1 << 16;

// Truncation toward zero that saturates instead of leaving the integer range (NaN gives 0).
// The limits are symmetric so that the result can always be negated.
int32_t TruncToInt32(float value) {
  if (!(value == value)) return 0;
  if (value >= 2147483647.0f) return INT32_MAX;
  if (value <= -2147483647.0f) return -INT32_MAX;
  return static_cast<int32_t>(value);
}

int32_t BearingOf(int32_t x, int32_t y) {
  const int32_t p[1] = {x};
  const int32_t q[1] = {y};
  return GetAngle(p, q);
}

// |heading - bearing| folded into 0..180 and capped at 120.
int64_t FacingError(int32_t heading, int32_t bearing) {
  int64_t error = int64_t{heading} - bearing;
  if (error < 0) error = -error;
  if (error > 180) error = 360 - error;
  return error > 120 ? 120 : error;
}

// Strength left after the loss for facing `error` degrees away; never below 0.
int32_t LoseLife(int32_t life, int32_t lossFactor, int64_t error, float strength) {
  int64_t remaining = life;
  if (error > 30) {
    int64_t loss = TruncToInt32(static_cast<float>(lossFactor) * static_cast<float>(error) * strength * kOneOver180);
    if (loss < 0) loss = -loss;
    remaining -= loss;
  }
  return remaining < 0 ? 0 : static_cast<int32_t>(remaining);
}

void CapVelocity(float* velocity) {
  if (*velocity > kVelocityCap) *velocity = kVelocityCap;
}

}  // namespace

extern "C" {

float Distance(const int32_t* p, const int32_t* q) {
  // Each square is at most 2^62, so their sum fits 64 bits unsigned.
  const uint64_t x = static_cast<uint64_t>(*p < 0 ? -int64_t{*p} : int64_t{*p});
  const uint64_t y = static_cast<uint64_t>(*q < 0 ? -int64_t{*q} : int64_t{*q});
  return sqrtf(static_cast<float>(x * x + y * y));
}

int32_t GetAngle(const int32_t* p, const int32_t* q) {
  const int32_t x = *p;
  const int32_t y = *q;
  if (x == 0 && y == 0) return 0;
  const float absoluteX = static_cast<float>(x < 0 ? -int64_t{x} : int64_t{x});
  float ratio = absoluteX / Distance(p, q);
  // Rounding of the squared length can make the ratio a hair above 1 on an axis.
  if (ratio > 1.0f) ratio = 1.0f;
  const int32_t a = static_cast<int32_t>(asin(static_cast<double>(ratio)) * static_cast<double>(kDegreesPerRadian));
  int32_t angle;
  if (x > 0) {
    angle = y <= 0 ? a : 180 - a;
  } else {
    angle = y > 0 ? 180 + a : 360 - a;
  }
  return angle % 360;
}

void Collision(float hitDistance, float x1, float y1, float x2, float y2, float oldX1, float oldY1, float oldX2,
               float oldY2, float* vx1, float* vy1, float* vx2, float* vy2, const int32_t* heading1,
               const int32_t* heading2, int32_t* life1, int32_t* life2, const int32_t* lossFactor2,
               const int32_t* lossFactor1) {
  const float hitSquared = hitDistance * hitDistance;
  float dx = x1 - x2;
  float dy = y1 - y2;
  const float d2 = dx * dx + dy * dy;
  if (d2 <= hitSquared) {
    const float dist0 = sqrtf(d2);

    float fastest = fabsf(*vx1);
    if (fabsf(*vy1) > fastest) fastest = fabsf(*vy1);
    if (fabsf(*vx2) > fastest) fastest = fabsf(*vx2);
    if (fabsf(*vy2) > fastest) fastest = fabsf(*vy2);
    float steps = 8.0f * fastest;
    if (!(steps >= 1.0f)) steps = 1.0f;

    // Step both objects back along their last move until they no longer overlap. After about
    // `steps` steps they are back where they were, so the loop stops there even when they
    // overlapped at their previous positions too.
    if (hitSquared > 0.0f) {
      const float sx1 = (x1 - oldX1) / steps;
      const float sy1 = (y1 - oldY1) / steps;
      const float sx2 = (x2 - oldX2) / steps;
      const float sy2 = (y2 - oldY2) / steps;
      const int32_t maxSteps =
          steps < static_cast<float>(kMaxBackOffSteps) ? static_cast<int32_t>(ceilf(steps)) : kMaxBackOffSteps;
      for (int32_t step = 0; step < maxSteps; ++step) {
        x1 -= sx1;
        y1 -= sy1;
        x2 -= sx2;
        y2 -= sy2;
        dx = x1 - x2;
        dy = y1 - y2;
        if (dx * dx + dy * dy >= hitSquared) break;
      }
    }

    // Exchange of velocity along the line of centres. Coincident centres give no line and no
    // impulse.
    float impulseX = 0.0f;
    float impulseY = 0.0f;
    if (dist0 > 0.0f) {
      const float dvx = *vx1 - *vx2;
      const float dvy = *vy1 - *vy2;
      const float k1 = dvx != 0.0f ? dvy / dvx : dvy * 1000.0f;
      const float k2 = dx != 0.0f ? dy / dx : dy * 1000.0f;
      const float cosA = cosf(atanf((k1 - k2) / (1.0f + k1 * k2)));
      const float impulse = sqrtf(dvx * dvx + dvy * dvy) * cosA;
      impulseX = impulse * dx / dist0;
      impulseY = impulse * dy / dist0;
      *vx2 -= impulseX;
      *vy2 -= impulseY;
      *vx1 += impulseX;
      *vy1 += impulseY;
    }

    // Each object loses strength by how far it faced away from the other.
    const int32_t ix = TruncToInt32(x2 - x1);
    const int32_t iy = TruncToInt32(y2 - y1);
    const int64_t error1 = FacingError(*heading1, BearingOf(ix, iy));
    const int64_t error2 = FacingError(*heading2, BearingOf(-ix, -iy));
    const float strength = sqrtf(impulseX * impulseX + impulseY * impulseY);
    *life1 = LoseLife(*life1, *lossFactor1, error1, strength);
    *life2 = LoseLife(*life2, *lossFactor2, error2, strength);
  }

  CapVelocity(vx2);
  CapVelocity(vy2);
  CapVelocity(vx1);
  CapVelocity(vy1);
}

int32_t ChartToBmp(int32_t a1, int32_t a2, int32_t a3, int32_t a4, int32_t a5, int32_t a6, int32_t a7, int32_t a8) {
  const auto isDigitCode = [](int32_t code) { return code >= 48 && code <= 57; };
  if (a6 != 0) {
    if (!isDigitCode(a7)) return 2;
    if (a5 == 0 && !isDigitCode(a8)) return 3;
  }
  if (a1 <= a2 && a1 <= a3 && a1 <= a4) return 1;
  if (a2 <= a3 && a2 <= a4) return 2;
  return a3 <= a4 ? 3 : 4;
}

}  // extern "C"

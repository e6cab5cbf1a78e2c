// SPDX-License-Identifier: MIT
// Rotation of an RGB555 image about its centre with bilinear sampling. Source and destination
// share width, height and pitch (in pixels). Coordinates are 16.16 fixed point; the
// interpolation weights are cut to 8 bits.
#include <math.h>
#include <stddef.h>

#include "raster/rasterkit.h"

namespace {

constexpr float kPi = 3.1415927f;
constexpr int64_t kFixedOne = 65536;

// floor(v / 65536) with the fraction in [0, 65536), except that 0 and the negative multiples of
// 65536 fall into the cell below with the fraction 65536.
struct FixedCell {
  int64_t cell;
  int32_t fraction;
};

FixedCell SplitFixed(int64_t value) {
  const int64_t cell = value / kFixedOne - (value <= 0 ? 1 : 0);
  return {cell, static_cast<int32_t>(value - cell * kFixedOne)};
}

int32_t Channel(int32_t pixel, int32_t shift) { return (pixel >> shift) & 0x1F; }

int32_t InterpolateChannel(int32_t p00, int32_t p01, int32_t p10, int32_t p11, int32_t fx, int32_t fy, int32_t shift) {
  const int32_t c00 = Channel(p00, shift), c01 = Channel(p01, shift);
  const int32_t c10 = Channel(p10, shift), c11 = Channel(p11, shift);
  const int32_t top = ((c01 * fx) >> 8) + ((c00 * (65536 - fx)) >> 8);
  const int32_t bottom = (c11 * fx + c10 * (65536 - fx)) >> 8;
  const int32_t value = (top * ((65536 - fy) >> 8) + bottom * (fy >> 8)) >> 16;
  return value > 31 ? 31 : value;
}

}  // namespace

extern "C" int32_t Rotation(const void* srcPtr, void* dstPtr, int32_t width, int32_t height, float angle,
                            int32_t pitchPixels) {
  if (width <= 0 || height <= 0 || pitchPixels < width || !isfinite(angle)) return 0;
  const double theta = static_cast<double>(angle) * static_cast<double>(kPi) / 180.0;
  const int64_t cosine = static_cast<int64_t>(cos(theta) * 65536.0);
  const int64_t sine = static_cast<int64_t>(sin(theta) * 65536.0);
  const int32_t halfWidth = width >> 1;
  const int32_t halfHeight = height >> 1;
  const int32_t rows = height & ~1;
  const uint16_t* src = static_cast<const uint16_t*>(srcPtr);
  uint16_t* dst = static_cast<uint16_t*>(dstPtr);

  for (int32_t row = 0; row < rows; ++row) {
    const int64_t y = row - halfHeight;
    // Source position of the row's first pixel, then one step per pixel to the right.
    int64_t sx = -int64_t{halfWidth} * cosine - y * sine;
    int64_t sy = -int64_t{halfWidth} * sine + y * cosine;
    uint16_t* dstRow = dst + static_cast<ptrdiff_t>(row) * pitchPixels;
    for (int32_t column = 0; column < 2 * halfWidth; ++column, sx += cosine, sy += sine) {
      const FixedCell cellX = SplitFixed(sx);
      const FixedCell cellY = SplitFixed(sy);
      if (cellY.cell < -halfHeight || cellY.cell >= halfHeight || cellX.cell < -halfWidth || cellX.cell >= halfWidth) {
        continue;
      }
      // Neighbours past the last column or row read the last one.
      const int32_t left = static_cast<int32_t>(cellX.cell + halfWidth);
      const int32_t top = static_cast<int32_t>(cellY.cell + halfHeight);
      const int32_t right = left + 1 < width ? left + 1 : left;
      const int32_t below = top + 1 < height ? top + 1 : top;
      const uint16_t* topRow = src + static_cast<ptrdiff_t>(top) * pitchPixels;
      const uint16_t* bottomRow = src + static_cast<ptrdiff_t>(below) * pitchPixels;
      const int32_t p00 = topRow[left], p01 = topRow[right], p10 = bottomRow[left], p11 = bottomRow[right];
      const int32_t red = InterpolateChannel(p00, p01, p10, p11, cellX.fraction, cellY.fraction, 10);
      const int32_t green = InterpolateChannel(p00, p01, p10, p11, cellX.fraction, cellY.fraction, 5);
      const int32_t blue = InterpolateChannel(p00, p01, p10, p11, cellX.fraction, cellY.fraction, 0);
      dstRow[column] = static_cast<uint16_t>(red << 10 | green << 5 | blue);
    }
  }
  return 0;
}

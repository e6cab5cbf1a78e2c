// SPDX-License-Identifier: MIT
// Anti-aliased line that darkens the RGB555 pixels it passes. Positions across the line are
// fixed point with 8 fractional bits; a pixel the line runs through exactly becomes black, its
// neighbour across the line is darkened by how far the line lies from it.
#include <stddef.h>

#include "raster/rasterkit.h"

namespace {

// Ends farther than this from the origin lie outside any image; such lines are not drawn, which
// also keeps every position product within 64 bits.
constexpr int64_t kMaxCoordinate = int64_t{1} << 24;

bool CoordinateUsable(int32_t value) { return value >= -kMaxCoordinate && value <= kMaxCoordinate; }

// Scales each channel of the pixel at (x, y) by factor / 256. Pixels left of the image, above it
// or right of its pitch do not exist and are skipped.
void Darken(uint16_t* image, int32_t pitchPixels, int64_t x, int64_t y, int32_t factor) {
  if (x < 0 || y < 0 || x >= pitchPixels) return;
  uint16_t& pixel = image[static_cast<ptrdiff_t>(y) * pitchPixels + static_cast<ptrdiff_t>(x)];
  const int32_t red = (((pixel >> 10) & 0x1F) * factor) >> 8;
  const int32_t green = (((pixel >> 5) & 0x1F) * factor) >> 8;
  const int32_t blue = ((pixel & 0x1F) * factor) >> 8;
  pixel = static_cast<uint16_t>(red << 10 | green << 5 | blue);
}

}  // namespace

extern "C" int32_t myLine(void* ptr, int32_t pitchPixels, int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
  if (pitchPixels <= 0 || !CoordinateUsable(x0) || !CoordinateUsable(x1) || !CoordinateUsable(y0) ||
      !CoordinateUsable(y1)) {
    return 0;
  }
  uint16_t* image = static_cast<uint16_t*>(ptr);
  int64_t fromX = x0, toX = x1, fromY = y0, toY = y1;
  const int64_t dx = toX > fromX ? toX - fromX : fromX - toX;
  const int64_t dy = toY > fromY ? toY - fromY : fromY - toY;

  if (dy < dx) {
    // Mostly horizontal: one or two pixels per column, the end column not drawn.
    if (fromX > toX) {
      const int64_t swapX = fromX, swapY = fromY;
      fromX = toX, fromY = toY;
      toX = swapX, toY = swapY;
    }
    const int64_t direction = fromY < toY ? 1 : -1;
    const int64_t lastX = toX < pitchPixels ? toX : pitchPixels;
    for (int64_t x = fromX < 0 ? 0 : fromX; x < lastX; ++x) {
      const int64_t position = fromY * 256 + direction * (((x - fromX) * dy * 256) / dx);
      const int64_t row = position >> 8;
      const int32_t fraction = static_cast<int32_t>(position & 255);
      Darken(image, pitchPixels, x, row, fraction);
      if (fraction != 0) Darken(image, pitchPixels, x, row + 1, 255 - fraction);
    }
    return 0;
  }

  // Mostly vertical: one or two pixels per row, the end row not drawn.
  if (fromY > toY) {
    const int64_t swapX = fromX, swapY = fromY;
    fromX = toX, fromY = toY;
    toX = swapX, toY = swapY;
  }
  if (fromY == toY) return 0;
  const int64_t direction = fromX < toX ? 1 : -1;
  for (int64_t y = fromY < 0 ? 0 : fromY; y < toY; ++y) {
    const int64_t position = fromX * 256 + direction * (((y - fromY) * dx * 256) / dy);
    const int64_t column = position >> 8;
    const int32_t fraction = static_cast<int32_t>(position & 255);
    Darken(image, pitchPixels, column, y, fraction);
    if (fraction != 0) Darken(image, pitchPixels, column + 1, y, 255 - fraction);
  }
  return 0;
}

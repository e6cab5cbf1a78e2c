// SPDX-License-Identifier: MIT
#include "raster/reference/reference_zoom.h"

#include <cmath>
#include <cstddef>

namespace zoom_reference {
namespace {

uint16_t& PixelAt(void* image, int32_t pitchPixels, int64_t x, int64_t y) {
  return static_cast<uint16_t*>(image)[y * pitchPixels + x];
}

uint16_t PixelAt(const void* image, int32_t pitchPixels, int64_t x, int64_t y) {
  return static_cast<const uint16_t*>(image)[y * pitchPixels + x];
}

int32_t ChannelOf(uint16_t pixel, int32_t shift) { return (pixel >> shift) & 0x1F; }

int32_t Clamp(int64_t value, int32_t low, int32_t high) {
  return value < low ? low : value > high ? high : static_cast<int32_t>(value);
}

bool Usable(int32_t dstPitchPixels, int32_t srcPitchPixels, int32_t srcHeight, int32_t dstHeight, int32_t srcWidth,
            int32_t dstWidth) {
  return srcWidth > 0 && srcHeight > 0 && dstWidth > 0 && dstHeight > 0 && srcPitchPixels >= srcWidth &&
         dstPitchPixels >= dstWidth;
}

// Sampling position of a destination index along one axis, 12-bit fixed point.
struct Axis {
  int64_t first, next, fraction;
};

Axis AxisOf(int64_t index, int64_t srcSize, int64_t dstSize) {
  const int64_t step = srcSize * 4096 / dstSize;
  Axis axis;
  axis.first = index * srcSize / dstSize;
  axis.fraction = index * step - axis.first * 4096;
  axis.next = index < dstSize - 1 ? axis.first + 1 : axis.first;
  if (axis.next > srcSize - 1) axis.next = srcSize - 1;
  return axis;
}

uint16_t Bilinear(const void* src, int32_t srcPitchPixels, const Axis& column, const Axis& row) {
  const uint16_t p00 = PixelAt(src, srcPitchPixels, column.first, row.first);
  const uint16_t p01 = PixelAt(src, srcPitchPixels, column.next, row.first);
  const uint16_t p10 = PixelAt(src, srcPitchPixels, column.first, row.next);
  const uint16_t p11 = PixelAt(src, srcPitchPixels, column.next, row.next);
  const int64_t fx = column.fraction, fy = row.fraction;
  const int64_t fxy = (fx * fy) >> 12;
  const int64_t w11 = fxy, w01 = fx - fxy, w10 = fy - fxy, w00 = 4096 - fx - (fy - fxy);
  int32_t channels[3];
  for (int32_t c = 0; c < 3; ++c) {
    const int32_t shift = 10 - 5 * c;
    const int64_t v = (ChannelOf(p00, shift) * w00 + ChannelOf(p01, shift) * w01 + ChannelOf(p10, shift) * w10 +
                       ChannelOf(p11, shift) * w11) >>
                      12;
    channels[c] = Clamp(v, 0, 31);
  }
  return static_cast<uint16_t>(channels[0] << 10 | channels[1] << 5 | channels[2]);
}

void CubicIndices(int64_t first, int64_t srcSize, int64_t* indices) {
  indices[0] = first > 0 ? first - 1 : first;
  indices[1] = first;
  indices[2] = first < srcSize - 1 ? first + 1 : first;
  indices[3] = first < srcSize - 2 ? first + 2 : indices[2];
}

// 16.16 position split into a cell and a fraction, 0 and negative multiples of 1.0 falling low.
void SplitFixed(int64_t v, int64_t& cell, int64_t& fraction) {
  cell = v / 65536 - (v <= 0 ? 1 : 0);
  fraction = v - cell * 65536;
}

void Darken(void* image, int32_t pitchPixels, int64_t x, int64_t y, int64_t factor) {
  if (x < 0 || y < 0 || x >= pitchPixels) return;
  uint16_t& pixel = PixelAt(image, pitchPixels, x, y);
  const int64_t red = (ChannelOf(pixel, 10) * factor) >> 8;
  const int64_t green = (ChannelOf(pixel, 5) * factor) >> 8;
  const int64_t blue = (ChannelOf(pixel, 0) * factor) >> 8;
  pixel = static_cast<uint16_t>(red << 10 | green << 5 | blue);
}

uint8_t TruncByte(double value) {
  if (!(value > 0.0)) return 0;
  if (value >= 255.0) return 255;
  return static_cast<uint8_t>(std::trunc(value));
}

}  // namespace

int32_t CubicKernelFixed(int32_t t) {
  if (t >= 0 && t < 4096) return (((t * t) >> 12) * t >> 12) - ((2 * t * t) >> 12) + 4096;
  if (t >= 4096 && t < 8192) return (2048 - t) * 8 - (((t * t) >> 12) * t >> 12) + ((5 * t * t) >> 12);
  return 0;
}

double CubicKernel(double t) {
  if (t >= 0 && t < 1) return t * t * t - 2 * t * t + 1;
  if (t >= 1 && t < 2) return -t * t * t + 5 * t * t - 8 * t + 4;
  return 0;
}

int32_t myZoom1(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels, int32_t srcHeight,
                int32_t dstHeight, int32_t srcWidth, int32_t dstWidth) {
  if (!Usable(dstPitchPixels, srcPitchPixels, srcHeight, dstHeight, srcWidth, dstWidth)) return 0;
  for (int64_t k = 0; k < dstHeight; ++k)
    for (int64_t i = 0; i < dstWidth; ++i)
      PixelAt(dstPtr, dstPitchPixels, i, k) =
          PixelAt(srcPtr, srcPitchPixels, i * srcWidth / dstWidth, k * srcHeight / dstHeight);
  return 0;
}

int32_t myZoom3(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels, int32_t srcHeight,
                int32_t dstHeight, int32_t srcWidth, int32_t dstWidth) {
  if (!Usable(dstPitchPixels, srcPitchPixels, srcHeight, dstHeight, srcWidth, dstWidth)) return 0;
  for (int64_t k = 0; k < dstHeight; ++k)
    for (int64_t i = 0; i < dstWidth; ++i)
      PixelAt(dstPtr, dstPitchPixels, i, k) =
          Bilinear(srcPtr, srcPitchPixels, AxisOf(i, srcWidth, dstWidth), AxisOf(k, srcHeight, dstHeight));
  return 0;
}

int32_t myZoomPD(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels, int32_t srcHeight,
                 int32_t dstHeight, int32_t srcWidth, int32_t dstWidth, const void* prevPtr) {
  if (!Usable(dstPitchPixels, srcPitchPixels, srcHeight, dstHeight, srcWidth, dstWidth) || prevPtr == nullptr) return 0;
  for (int64_t k = 0; k < dstHeight - 2; ++k) {
    for (int64_t i = 0; i < dstWidth; ++i) {
      const Axis column = AxisOf(i, srcWidth, dstWidth), row = AxisOf(k, srcHeight, dstHeight);
      bool same = true;
      for (int64_t y : {row.first, row.next})
        for (int64_t x : {column.first, column.next})
          if (PixelAt(srcPtr, srcPitchPixels, x, y) != PixelAt(prevPtr, srcPitchPixels, x, y)) same = false;
      if (!same) PixelAt(dstPtr, dstPitchPixels, i, k) = Bilinear(srcPtr, srcPitchPixels, column, row);
    }
  }
  return 0;
}

int32_t myZoom(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels, int32_t srcHeight,
               int32_t dstHeight, int32_t srcWidth, int32_t dstWidth) {
  if (!Usable(dstPitchPixels, srcPitchPixels, srcHeight, dstHeight, srcWidth, dstWidth)) return 0;
  for (int64_t k = 0; k < dstHeight; ++k) {
    for (int64_t i = 0; i < dstWidth; ++i) {
      const Axis column = AxisOf(i, srcWidth, dstWidth), row = AxisOf(k, srcHeight, dstHeight);
      int64_t xs[4], ys[4];
      CubicIndices(column.first, srcWidth, xs);
      CubicIndices(row.first, srcHeight, ys);
      const int64_t fx = column.fraction, fy = row.fraction;
      const int32_t kx[4] = {CubicKernelFixed(int32_t(std::abs(fx + 4096))), CubicKernelFixed(int32_t(std::abs(fx))),
                             CubicKernelFixed(int32_t(std::abs(fx - 4096))),
                             CubicKernelFixed(int32_t(std::abs(fx - 8192)))};
      const int32_t ky[4] = {CubicKernelFixed(int32_t(std::abs(fy + 4096))), CubicKernelFixed(int32_t(std::abs(fy))),
                             CubicKernelFixed(int32_t(std::abs(fy - 4096))),
                             CubicKernelFixed(int32_t(std::abs(fy - 8192)))};
      int32_t channels[3];
      for (int32_t c = 0; c < 3; ++c) {
        const int32_t shift = 10 - 5 * c;
        int64_t sum = 0;
        for (int32_t r = 0; r < 4; ++r) {
          int64_t rowSum = 0;
          for (int32_t m = 0; m < 4; ++m)
            rowSum += kx[m] * ChannelOf(PixelAt(srcPtr, srcPitchPixels, xs[m], ys[r]), shift);
          sum += ky[r] * rowSum;
        }
        channels[c] = sum < 0 ? 0 : (sum >> 24) > 31 ? 31 : int32_t(sum >> 24);
      }
      PixelAt(dstPtr, dstPitchPixels, i, k) = static_cast<uint16_t>(channels[0] << 10 | channels[1] << 5 | channels[2]);
    }
  }
  return 0;
}

int32_t Rotation(const void* srcPtr, void* dstPtr, int32_t width, int32_t height, float angle, int32_t pitchPixels) {
  if (width <= 0 || height <= 0 || pitchPixels < width || !std::isfinite(angle)) return 0;
  const double theta = double(angle) * double(3.1415927f) / 180.0;
  const int64_t C = int64_t(std::cos(theta) * 65536.0), S = int64_t(std::sin(theta) * 65536.0);
  const int64_t hw = width >> 1, hh = height >> 1;
  for (int64_t y = -hh; y <= -hh + (height & ~1) - 1; ++y) {
    for (int64_t x = -hw; x <= hw - 1; ++x) {
      int64_t cellX, fx, cellY, fy;
      SplitFixed(x * C - y * S, cellX, fx);
      SplitFixed(x * S + y * C, cellY, fy);
      if (!(-hh <= cellY && cellY < hh && -hw <= cellX && cellX < hw)) continue;
      const int64_t sx = cellX + hw, sy = cellY + hh;
      const int64_t right = std::min<int64_t>(sx + 1, width - 1), below = std::min<int64_t>(sy + 1, height - 1);
      const uint16_t p00 = PixelAt(srcPtr, pitchPixels, sx, sy), p01 = PixelAt(srcPtr, pitchPixels, right, sy);
      const uint16_t p10 = PixelAt(srcPtr, pitchPixels, sx, below), p11 = PixelAt(srcPtr, pitchPixels, right, below);
      int32_t channels[3];
      for (int32_t c = 0; c < 3; ++c) {
        const int32_t shift = 10 - 5 * c;
        const int64_t c00 = ChannelOf(p00, shift), c01 = ChannelOf(p01, shift);
        const int64_t c10 = ChannelOf(p10, shift), c11 = ChannelOf(p11, shift);
        const int64_t v = (((c01 * fx) >> 8) + ((c00 * (65536 - fx)) >> 8)) * ((65536 - fy) >> 8) +
                          (((c11 * fx + c10 * (65536 - fx)) >> 8) * (fy >> 8));
        channels[c] = Clamp(v >> 16, 0, 31);
      }
      PixelAt(dstPtr, pitchPixels, x + hw, y + hh) =
          static_cast<uint16_t>(channels[0] << 10 | channels[1] << 5 | channels[2]);
    }
  }
  return 0;
}

int32_t myLine(void* ptr, int32_t pitchPixels, int32_t x0In, int32_t x1In, int32_t y0In, int32_t y1In) {
  const int64_t limit = int64_t{1} << 24;
  for (int64_t v : {x0In, x1In, y0In, y1In})
    if (v < -limit || v > limit) return 0;
  if (pitchPixels <= 0) return 0;
  int64_t x0 = x0In, x1 = x1In, y0 = y0In, y1 = y1In;
  const int64_t dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
  if (dy < dx) {
    if (x0 > x1) {
      std::swap(x0, x1);
      std::swap(y0, y1);
    }
    for (int64_t x = x0; x <= x1 - 1; ++x) {
      const int64_t pos = y0 < y1 ? y0 * 256 + ((x - x0) * dy * 256) / dx : y0 * 256 - ((x - x0) * dy * 256) / dx;
      const int64_t row = pos >> 8, frac = pos & 255;
      Darken(ptr, pitchPixels, x, row, frac);
      if (frac != 0) Darken(ptr, pitchPixels, x, row + 1, 255 - frac);
    }
  } else {
    if (y0 > y1) {
      std::swap(x0, x1);
      std::swap(y0, y1);
    }
    if (y0 == y1) return 0;
    for (int64_t y = y0; y <= y1 - 1; ++y) {
      const int64_t pos = x0 < x1 ? x0 * 256 + ((y - y0) * dx * 256) / dy : x0 * 256 - ((y - y0) * dx * 256) / dy;
      const int64_t col = pos >> 8, frac = pos & 255;
      Darken(ptr, pitchPixels, col, y, frac);
      if (frac != 0) Darken(ptr, pitchPixels, col + 1, y, 255 - frac);
    }
  }
  return 0;
}

int32_t ZoomTwoLine(const void* srcData, void* dstData, const int32_t* srcStride, const int32_t* dstStride,
                    const int32_t* srcWidth, const int32_t* srcHeight, const int32_t* dstWidth,
                    const int32_t* dstHeight) {
  const int64_t sw = *srcWidth, sh = *srcHeight, dw = *dstWidth, dh = *dstHeight;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0 || *srcStride < 3 * sw || *dstStride < 3 * dw) return 0;
  const uint8_t* src = static_cast<const uint8_t*>(srcData);
  uint8_t* dst = static_cast<uint8_t*>(dstData);
  for (int64_t k = 0; k < dh; ++k) {
    const int64_t y0 = k * sh / dh;
    const double fy = double(k * sh) / double(dh) - double(y0);
    const int64_t yN = k < dh - 1 ? (k + 1) * sh / dh : y0;
    for (int64_t i = 0; i < dw; ++i) {
      const int64_t x0 = i * sw / dw;
      const double fx = double(i * sw) / double(dw) - double(x0);
      const int64_t xN = i < dw - 1 ? (i + 1) * sw / dw : x0;
      for (int64_t ch = 0; ch < 3; ++ch) {
        auto S = [&](int64_t x, int64_t y) { return double(src[y * *srcStride + 3 * x + ch]); };
        const double v = (1 - fx - fy + fx * fy) * S(x0, y0) + (fx - fx * fy) * S(xN, y0) + (fy - fx * fy) * S(x0, yN) +
                         fx * fy * S(xN, yN);
        dst[k * *dstStride + 3 * i + ch] = TruncByte(v);
      }
    }
  }
  return 0;
}

int32_t ZoomThreeLine(const void* srcData, void* dstData, int32_t srcStride, int32_t dstStride, int32_t srcWidth,
                      int32_t srcHeight, int32_t dstWidth, int32_t dstHeight) {
  const int64_t sw = srcWidth, sh = srcHeight, dw = dstWidth, dh = dstHeight;
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0 || srcStride < 3 * sw || dstStride < 3 * dw) return 0;
  const uint8_t* src = static_cast<const uint8_t*>(srcData);
  uint8_t* dst = static_cast<uint8_t*>(dstData);
  for (int64_t k = 0; k < dh; ++k) {
    for (int64_t i = 0; i < dw; ++i) {
      const int64_t y0 = k * sh / dh, x0 = i * sw / dw;
      const double fy = double(k * sh) / double(dh) - double(y0);
      const double fx = double(i * sw) / double(dw) - double(x0);
      int64_t xs[4], ys[4];
      CubicIndices(x0, sw, xs);
      CubicIndices(y0, sh, ys);
      for (int64_t ch = 0; ch < 3; ++ch) {
        double sum = 0;
        for (int32_t r = 0; r < 4; ++r) {
          double rowSum = 0;
          for (int32_t m = 0; m < 4; ++m)
            rowSum += CubicKernel(std::abs(fx + 1 - m)) * double(src[ys[r] * srcStride + 3 * xs[m] + ch]);
          sum += CubicKernel(std::abs(fy + 1 - r)) * rowSum;
        }
        dst[k * dstStride + 3 * i + ch] = TruncByte(sum);
      }
    }
  }
  return 0;
}

}  // namespace zoom_reference

// SPDX-License-Identifier: MIT
// Zooms of 24-bit images, three bytes per pixel, each byte a channel of its own: bilinear
// (ZoomTwoLine) and bicubic (ZoomThreeLine), in double precision. Strides are in bytes.
#include <stddef.h>

#include "raster/cubic_neighbours.h"
#include "raster/rasterkit.h"

namespace {

constexpr int32_t kBytesPerPixel = 3;

bool ZoomArgumentsUsable(int32_t srcStride, int32_t dstStride, int32_t srcWidth, int32_t srcHeight, int32_t dstWidth,
                         int32_t dstHeight) {
  return srcWidth > 0 && srcHeight > 0 && dstWidth > 0 && dstHeight > 0 &&
         int64_t{srcStride} >= int64_t{srcWidth} * kBytesPerPixel &&
         int64_t{dstStride} >= int64_t{dstWidth} * kBytesPerPixel;
}

// Where destination index `index` starts in the source: the whole index and the fraction past it.
struct Sample {
  int32_t first;
  double fraction;
};

Sample SampleAxis(int32_t index, int32_t srcSize, int32_t dstSize) {
  const int64_t scaled = int64_t{index} * srcSize;
  const int32_t first = static_cast<int32_t>(scaled / dstSize);
  return {first, static_cast<double>(scaled) / dstSize - first};
}

// The source index the next destination index starts from, or `first` for the last one.
int32_t NextStart(int32_t index, int32_t first, int32_t srcSize, int32_t dstSize) {
  return index < dstSize - 1 ? static_cast<int32_t>(int64_t{index + 1} * srcSize / dstSize) : first;
}

uint8_t ClampByte(double value) {
  if (!(value > 0.0)) return 0;
  if (value >= 255.0) return 255;
  return static_cast<uint8_t>(value);
}

// Cubic convolution weight with parameter -1 for a distance t >= 0.
double CubicKernel(double t) {
  if (t >= 0.0 && t < 1.0) return t * t * t - 2.0 * t * t + 1.0;
  if (t >= 1.0 && t < 2.0) return -t * t * t + 5.0 * t * t - 8.0 * t + 4.0;
  return 0.0;
}

double Absolute(double value) { return value < 0.0 ? -value : value; }

void CubicWeights(double fraction, double* weights) {
  for (int32_t m = 0; m < 4; ++m) weights[m] = CubicKernel(Absolute(fraction + 1.0 - m));
}

}  // namespace

extern "C" {

int32_t ZoomTwoLine(const void* srcData, void* dstData, const int32_t* srcStride, const int32_t* dstStride,
                    const int32_t* srcWidth, const int32_t* srcHeight, const int32_t* dstWidth,
                    const int32_t* dstHeight) {
  const int32_t srcPitch = *srcStride, dstPitch = *dstStride;
  const int32_t sw = *srcWidth, sh = *srcHeight, dw = *dstWidth, dh = *dstHeight;
  if (!ZoomArgumentsUsable(srcPitch, dstPitch, sw, sh, dw, dh)) return 0;
  const uint8_t* src = static_cast<const uint8_t*>(srcData);
  uint8_t* dst = static_cast<uint8_t*>(dstData);
  for (int32_t k = 0; k < dh; ++k) {
    const Sample row = SampleAxis(k, sh, dh);
    const uint8_t* top = src + static_cast<ptrdiff_t>(row.first) * srcPitch;
    const uint8_t* bottom = src + static_cast<ptrdiff_t>(NextStart(k, row.first, sh, dh)) * srcPitch;
    uint8_t* out = dst + static_cast<ptrdiff_t>(k) * dstPitch;
    const double fy = row.fraction;
    for (int32_t i = 0; i < dw; ++i) {
      const Sample column = SampleAxis(i, sw, dw);
      const ptrdiff_t left = static_cast<ptrdiff_t>(column.first) * kBytesPerPixel;
      const ptrdiff_t right = static_cast<ptrdiff_t>(NextStart(i, column.first, sw, dw)) * kBytesPerPixel;
      const double fx = column.fraction;
      const double fxy = fx * fy;
      const double w00 = 1.0 - fx - fy + fxy, w01 = fx - fxy, w10 = fy - fxy, w11 = fxy;
      for (int32_t channel = 0; channel < kBytesPerPixel; ++channel) {
        const double value = w00 * top[left + channel] + w01 * top[right + channel] + w10 * bottom[left + channel] +
                             w11 * bottom[right + channel];
        out[i * kBytesPerPixel + channel] = ClampByte(value);
      }
    }
  }
  return 0;
}

int32_t ZoomThreeLine(const void* srcData, void* dstData, int32_t srcStride, int32_t dstStride, int32_t srcWidth,
                      int32_t srcHeight, int32_t dstWidth, int32_t dstHeight) {
  if (!ZoomArgumentsUsable(srcStride, dstStride, srcWidth, srcHeight, dstWidth, dstHeight)) return 0;
  const uint8_t* src = static_cast<const uint8_t*>(srcData);
  uint8_t* dst = static_cast<uint8_t*>(dstData);
  for (int32_t k = 0; k < dstHeight; ++k) {
    const Sample row = SampleAxis(k, srcHeight, dstHeight);
    int32_t rows[4];
    double rowWeights[4];
    CubicNeighbours(row.first, srcHeight, rows);
    CubicWeights(row.fraction, rowWeights);
    uint8_t* out = dst + static_cast<ptrdiff_t>(k) * dstStride;
    for (int32_t i = 0; i < dstWidth; ++i) {
      const Sample column = SampleAxis(i, srcWidth, dstWidth);
      int32_t columns[4];
      double columnWeights[4];
      CubicNeighbours(column.first, srcWidth, columns);
      CubicWeights(column.fraction, columnWeights);
      for (int32_t channel = 0; channel < kBytesPerPixel; ++channel) {
        double sum = 0.0;
        for (int32_t r = 0; r < 4; ++r) {
          const uint8_t* line = src + static_cast<ptrdiff_t>(rows[r]) * srcStride + channel;
          double rowSum = 0.0;
          for (int32_t m = 0; m < 4; ++m) rowSum += columnWeights[m] * line[columns[m] * kBytesPerPixel];
          sum += rowWeights[r] * rowSum;
        }
        out[i * kBytesPerPixel + channel] = ClampByte(sum);
      }
    }
  }
  return 0;
}

}  // extern "C"

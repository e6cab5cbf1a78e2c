// SPDX-License-Identifier: MIT
// Plain scalar references of the zooms, rotation, line and 24-bit zooms of rasterkit: one
// pixel at a time, every coordinate and weight computed where it is used, each rule written out
// as it is stated. Same arguments as the exported routines. Destinations larger than the
// library's tables are not the references' concern.
//
// Also: byte buffers and 16-bit images with guard zones around them, for the randomized
// comparisons.
#pragma once

#include <stdint.h>

#include <cstring>
#include <random>
#include <vector>

namespace zoom_reference {

int32_t CubicKernelFixed(int32_t t);
double CubicKernel(double t);

int32_t myZoom1(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels, int32_t srcHeight,
                int32_t dstHeight, int32_t srcWidth, int32_t dstWidth);
int32_t myZoom3(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels, int32_t srcHeight,
                int32_t dstHeight, int32_t srcWidth, int32_t dstWidth);
int32_t myZoomPD(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels, int32_t srcHeight,
                 int32_t dstHeight, int32_t srcWidth, int32_t dstWidth, const void* prevPtr);
int32_t myZoom(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels, int32_t srcHeight,
               int32_t dstHeight, int32_t srcWidth, int32_t dstWidth);
int32_t Rotation(const void* srcPtr, void* dstPtr, int32_t width, int32_t height, float angle, int32_t pitchPixels);
int32_t myLine(void* ptr, int32_t pitchPixels, int32_t x0, int32_t x1, int32_t y0, int32_t y1);
int32_t ZoomTwoLine(const void* srcData, void* dstData, const int32_t* srcStride, const int32_t* dstStride,
                    const int32_t* srcWidth, const int32_t* srcHeight, const int32_t* dstWidth,
                    const int32_t* dstHeight);
int32_t ZoomThreeLine(const void* srcData, void* dstData, int32_t srcStride, int32_t dstStride, int32_t srcWidth,
                      int32_t srcHeight, int32_t dstWidth, int32_t dstHeight);

constexpr size_t kGuardBytes = 64;
constexpr uint8_t kGuardByte = 0x5A;

// A zeroed block of `size` bytes between two guard zones. The first byte may sit `misalignment`
// bytes past the allocation's alignment.
class GuardedBytes {
 public:
  GuardedBytes(size_t size, size_t misalignment)
      : size_(size), misalignment_(misalignment), bytes_(2 * kGuardBytes + misalignment + size, kGuardByte) {
    std::memset(data(), 0, size_);
  }

  uint8_t* data() { return bytes_.data() + kGuardBytes + misalignment_; }
  const uint8_t* data() const { return bytes_.data() + kGuardBytes + misalignment_; }
  uint16_t* pixels() { return reinterpret_cast<uint16_t*>(data()); }
  const uint16_t* pixels() const { return reinterpret_cast<const uint16_t*>(data()); }
  size_t size() const { return size_; }
  // The whole allocation, guards included: equal blocks compare equal byte for byte.
  const std::vector<uint8_t>& all() const { return bytes_; }

  void Randomize(std::mt19937& rng) {
    for (size_t i = 0; i < size_; ++i) data()[i] = static_cast<uint8_t>(rng());
  }
  bool GuardsIntact() const {
    for (size_t i = 0; i < kGuardBytes + misalignment_; ++i)
      if (bytes_[i] != kGuardByte) return false;
    for (size_t i = bytes_.size() - kGuardBytes; i < bytes_.size(); ++i)
      if (bytes_[i] != kGuardByte) return false;
    return true;
  }

 private:
  size_t size_;
  size_t misalignment_;
  std::vector<uint8_t> bytes_;
};

// An image of 16-bit pixels, its rows `pitch` pixels apart, between guard zones.
struct PixelImage {
  PixelImage(int32_t width, int32_t height, int32_t pitch, size_t misalignment = 0)
      : width(width), height(height), pitch(pitch), bytes(size_t(pitch) * size_t(height) * 2, misalignment) {}

  uint16_t& at(int32_t x, int32_t y) { return bytes.pixels()[size_t(y) * size_t(pitch) + size_t(x)]; }
  uint16_t at(int32_t x, int32_t y) const { return bytes.pixels()[size_t(y) * size_t(pitch) + size_t(x)]; }
  void* data() { return bytes.data(); }
  const void* data() const { return bytes.data(); }
  void Fill(uint16_t pixel) {
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) at(x, y) = pixel;
  }

  int32_t width, height, pitch;
  GuardedBytes bytes;
};

// A randomly filled image with 0..4 spare pixels per row and a random 2-byte misalignment.
inline PixelImage RandomPixelImage(std::mt19937& rng, int32_t width, int32_t height) {
  PixelImage image(width, height, width + int32_t(rng() % 5), (rng() & 1) ? 2 : 0);
  image.bytes.Randomize(rng);
  return image;
}

}  // namespace zoom_reference

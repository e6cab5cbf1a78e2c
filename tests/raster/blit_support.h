// SPDX-License-Identifier: MIT
// Pixel buffers with guard bytes around them, for the copy and blend tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace blit_test {

constexpr size_t kGuardBytes = 64;
constexpr uint8_t kGuardByte = 0xA5;

// An image of 16-bit pixels, its rows `pitch` bytes apart, between two guard zones. The first
// pixel may sit 2 bytes off the allocation's alignment.
class GuardedImage {
 public:
  GuardedImage(int32_t width, int32_t height, int32_t pitch, size_t misalignment)
      : width_(width), height_(height), pitch_(pitch), misalignment_(misalignment),
        bytes_(2 * kGuardBytes + misalignment + size_t(pitch) * size_t(height), kGuardByte) {}

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  int32_t pitch() const { return pitch_; }
  void* pixels() { return bytes_.data() + kGuardBytes + misalignment_; }
  const void* pixels() const { return bytes_.data() + kGuardBytes + misalignment_; }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

  uint16_t At(int32_t x, int32_t y) const {
    uint16_t pixel;
    std::memcpy(&pixel, static_cast<const char*>(pixels()) + ptrdiff_t(y) * pitch_ + 2 * x, 2);
    return pixel;
  }
  void Set(int32_t x, int32_t y, uint16_t pixel) {
    std::memcpy(static_cast<char*>(pixels()) + ptrdiff_t(y) * pitch_ + 2 * x, &pixel, 2);
  }
  // Every byte between the guards, row padding included.
  void FillWith(std::mt19937& rng) {
    for (size_t i = kGuardBytes; i < bytes_.size() - kGuardBytes; ++i) bytes_[i] = uint8_t(rng());
  }
  void Fill(uint16_t pixel) {
    for (int32_t y = 0; y < height_; ++y)
      for (int32_t x = 0; x < width_; ++x) Set(x, y, pixel);
  }

 private:
  int32_t width_, height_, pitch_;
  size_t misalignment_;
  std::vector<uint8_t> bytes_;
};

// An image of the given size with a padded pitch (even, 0..9 spare pixels) and random alignment.
inline GuardedImage RandomLayoutImage(std::mt19937& rng, int32_t width, int32_t height) {
  const int32_t spare = int32_t(rng() % 10);
  return GuardedImage(width, height, 2 * (width + spare), (rng() & 1) ? 2 : 0);
}

}  // namespace blit_test

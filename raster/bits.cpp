// SPDX-License-Identifier: MIT
// Colour conversion, single pixels, the word fill and the bit shifts.
#include <stddef.h>

#include "raster/rasterkit.h"

// Red is scaled by 31/256, green and blue keep their top five bits.
int32_t color32_16(int32_t r, int32_t g, int32_t b) {
  const int32_t red = ((r & 0xFF) * 31) >> 8;
  const int32_t green = (g & 0xFF) >> 3;
  const int32_t blue = (b & 0xFF) >> 3;
  return red << 10 | green << 5 | blue;
}

namespace {

ptrdiff_t WordIndex(int32_t pitch, int32_t x, int32_t y) { return ptrdiff_t{x} + ptrdiff_t{y} * (pitch >> 1); }

}  // namespace

int32_t GDISetPixel(void* ptr, int32_t pitch, int32_t x, int32_t y, int32_t value) {
  static_cast<uint16_t*>(ptr)[WordIndex(pitch, x, y)] = static_cast<uint16_t>(value);
  return 0;
}

int32_t GDIGetPixel(const void* ptr, int32_t pitch, int32_t x, int32_t y) {
  return static_cast<const uint16_t*>(ptr)[WordIndex(pitch, x, y)];
}

// A count of 0 or below writes nothing.
int32_t GDIMemset(void* ptr, int32_t count, int32_t value) {
  auto* words = static_cast<uint16_t*>(ptr);
  const auto word = static_cast<uint16_t>(value);
  for (int32_t i = 0; i < count; ++i) words[i] = word;
  return 0;
}

// The shift counts are taken modulo 32, as the processor's shift instructions do.
int32_t bitsmovl(int32_t value, int32_t n) { return static_cast<int32_t>(static_cast<uint32_t>(value) << (n & 31)); }

int32_t bitsmovr(int32_t value, int32_t n) { return value >> (n & 31); }

// Bit n - 1 of value, bits counted from 1; n = 0 reads bit 31.
int32_t getbit(int32_t value, int32_t n) {
  return static_cast<int32_t>((static_cast<uint32_t>(value) >> ((static_cast<uint32_t>(n) - 1) & 31)) & 1);
}

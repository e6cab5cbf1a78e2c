// SPDX-License-Identifier: MIT
// The four source rows or columns a bicubic sample reads, shared by the 16-bit and the
// 24-bit bicubic zooms.
#pragma once

#include <stdint.h>

namespace {

// The four source indices around `first` (one before, itself, two after), clamped to the image.
inline void CubicNeighbours(int32_t first, int32_t srcSize, int32_t* indices) {
  indices[0] = first > 0 ? first - 1 : first;
  indices[1] = first;
  indices[2] = first < srcSize - 1 ? first + 1 : first;
  indices[3] = first < srcSize - 2 ? first + 2 : indices[2];
}

}  // namespace

// SPDX-License-Identifier: MIT
// The blends: half, alpha, additive, subtractive, colour mask and alpha through a mask image.
// Areas without pixels draw nothing.
#include <type_traits>

#include "raster/locate_rows.h"
#include "raster/rasterkit.h"
#include "raster/row_loops.h"

using namespace rasterkit;

namespace {

constexpr int32_t kTopBlendLevel = 32;

// Entry L holds the level L in each of four 16-bit lanes.
uint16_t BlendLevelTable[kTopBlendLevel + 1][4];

// Runs when the library is loaded, before any routine can be called.
[[gnu::constructor]] void FillBlendLevelTable() {
  for (int32_t level = 0; level <= kTopBlendLevel; ++level) {
    for (uint16_t& lane : BlendLevelTable[level]) lane = static_cast<uint16_t>(level);
  }
}

// The keyed blends and the colour mask run `loop` on the area with the operation made of the
// low 16 bits of the key and the low 8 (blends) or 16 (colour mask) bits of the last argument.
template <class Op>
int32_t KeyedBlend(void (*RowLoops::*loop)(Op, const BlitRows&), void* dstPtr, int32_t dstPitch, const Rect* dstRect,
                   const void* srcPtr, int32_t srcPitch, int32_t srcLeft, int32_t srcTop, int32_t tranColor,
                   int32_t amount) {
  BlitRows rows;
  if (LocateRows(rows, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop)) {
    const auto key = static_cast<uint16_t>(tranColor);
    if constexpr (std::is_same_v<Op, ColorMask>) {
      (ActiveRowLoops().*loop)(Op{key, static_cast<uint16_t>(amount)}, rows);
    } else {
      (ActiveRowLoops().*loop)(Op{key, static_cast<int16_t>(amount & 0xFF)}, rows);
    }
  }
  return 0;
}

}  // namespace

int32_t GDIHalfBlend_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                        int32_t srcLeft, int32_t srcTop) {
  BlitRows rows;
  if (LocateRows(rows, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop)) {
    ActiveRowLoops().halfBlend(HalfBlend{}, rows);
  }
  return 0;
}

int32_t GDIAlphaBlend_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                         int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level) {
  return KeyedBlend(&RowLoops::alphaBlend, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, tranColor,
                    level);
}

int32_t GDIAdditive_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                       int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level) {
  return KeyedBlend(&RowLoops::additive, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, tranColor,
                    level);
}

int32_t GDISubitive_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                       int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level) {
  return KeyedBlend(&RowLoops::subtractive, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, tranColor,
                    level);
}

int32_t GDIColorMask_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                        int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t mask) {
  return KeyedBlend(&RowLoops::colorMask, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, tranColor,
                    mask);
}

// A level outside 0..32 has no table entry; such a call draws nothing.
int32_t GDIAlphaBlendByAlphaChannel2_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                                        int32_t srcPitch, int32_t srcLeft, int32_t srcTop, const void* alphaPtr,
                                        int32_t alphaLevel) {
  if (alphaLevel < 0 || alphaLevel > kTopBlendLevel) return 0;
  BlitRows rows;
  if (LocateRows(rows, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop)) {
    const uintptr_t maskDistance = reinterpret_cast<uintptr_t>(alphaPtr) - reinterpret_cast<uintptr_t>(srcPtr);
    const auto level = static_cast<int16_t>(BlendLevelTable[alphaLevel][0]);
    ActiveRowLoops().alphaChannelBlend(AlphaChannelBlend{maskDistance, level}, rows);
  }
  return 0;
}

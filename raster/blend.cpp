// The blends: half, alpha, additive, subtractive, colour mask and alpha through a mask image.
#include "raster/blit_kernels.h"
#include "raster/rasterkit.h"

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

}  // namespace

int32_t GDIHalfBlend_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                        int32_t srcLeft, int32_t srcTop) {
  return HalfBlend_16(ActivePath(), dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop);
}

int32_t GDIAlphaBlend_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                         int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level) {
  return AlphaBlend_16(ActivePath(), dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, tranColor, level);
}

int32_t GDIAdditive_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                       int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level) {
  return Additive_16(ActivePath(), dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, tranColor, level);
}

int32_t GDISubitive_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                       int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level) {
  return Subitive_16(ActivePath(), dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, tranColor, level);
}

int32_t GDIColorMask_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                        int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t mask) {
  return ColorMask_16(ActivePath(), dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, tranColor, mask);
}

// A level outside 0..32 has no table entry; such a call draws nothing.
int32_t GDIAlphaBlendByAlphaChannel2_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                                        int32_t srcPitch, int32_t srcLeft, int32_t srcTop, const void* alphaPtr,
                                        int32_t alphaLevel) {
  if (alphaLevel < 0 || alphaLevel > kTopBlendLevel) return 0;
  const auto level = static_cast<int16_t>(BlendLevelTable[alphaLevel][0]);
  return AlphaBlendByAlphaChannel2_16(ActivePath(), dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop,
                                      alphaPtr, level);
}

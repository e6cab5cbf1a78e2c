// SPDX-License-Identifier: MIT
// Plain scalar references of the clipping, copy and blend routines of rasterkit: one pixel
// at a time, each rule written out as it is stated, for comparing the optimized routines
// with. Same arguments and results as the exported routines.
#pragma once

#include <stdint.h>

#include "raster/rasterkit.h"

namespace blit_reference {

int32_t ClipperRect(const Rect* clipRect, Rect* dstRect, Rect* srcRect, int32_t anchorX, int32_t anchorY,
                    float scale);
int32_t GDIBltFast_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                      int32_t srcLeft, int32_t srcTop);
int32_t GDIBlt_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                  int32_t srcLeft, int32_t srcTop, int32_t tranColor);
int32_t GDIBltZoom_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                      const Rect* srcRect, int32_t tranColor);
int32_t color32_16(int32_t r, int32_t g, int32_t b);
int32_t GDIMemset(void* ptr, int32_t count, int32_t value);
int32_t GDIHalfBlend_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                        int32_t srcLeft, int32_t srcTop);
int32_t GDIAlphaBlend_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                         int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level);
int32_t GDIAdditive_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                       int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level);
int32_t GDISubitive_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                       int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level);
int32_t GDIColorMask_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                        int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t mask);
int32_t GDIAlphaBlendByAlphaChannel2_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                                        int32_t srcPitch, int32_t srcLeft, int32_t srcTop, const void* alphaPtr,
                                        int32_t alphaLevel);

}  // namespace blit_reference

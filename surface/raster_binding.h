// The game's road to rasterkit. The program does not link the library: the first call of any
// routine below loads librasterkit.so by name (from the directory of the running program
// first, then through the normal library search path) and looks up each routine. The
// binding is made once. When the library cannot be loaded, or a routine is not in it, every
// call of that routine raises RuntimeError(FileNotFound, <library name>).
//
// The routines have the names and arguments of rasterkit.h; see there for what they do.
#pragma once

#include <cstdint>
#include <string>

#include "raster/rasterkit.h"

namespace Raster {

int32_t ClipperRect(const Rect* clipRect, Rect* dstRect, Rect* srcRect, int32_t anchorX, int32_t anchorY,
                    float scale);
int32_t GDIBltFast_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                      int32_t srcLeft, int32_t srcTop);
int32_t GDIBlt_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                  int32_t srcLeft, int32_t srcTop, int32_t tranColor);
int32_t GDIBltZoom_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                      const Rect* srcRect, int32_t tranColor);
int32_t color32_16(int32_t r, int32_t g, int32_t b);
int32_t GDISetPixel(void* ptr, int32_t pitch, int32_t x, int32_t y, int32_t value);
int32_t GDIMemset(void* ptr, int32_t count, int32_t value);
int32_t GDIAlphaBlend_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                         int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level);
int32_t GDIAdditive_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                       int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level);
int32_t GDISubitive_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                       int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level);
int32_t GDIAlphaBlendByAlphaChannel2_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                                        int32_t srcPitch, int32_t srcLeft, int32_t srcTop, const void* alphaPtr,
                                        int32_t alphaLevel);
int32_t myZoomPD(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels, int32_t srcHeight,
                 int32_t dstHeight, int32_t srcWidth, int32_t dstWidth, const void* prevPtr);

}  // namespace Raster

namespace RasterBinding {

// The file name the binding loads: "librasterkit.so".
const char* DefaultLibraryName();

// Forgets the binding and makes the next call load `name` instead (same search order).
// Tests use it to prove what happens when the library is missing; passing
// DefaultLibraryName() restores the normal binding.
void SetLibraryNameForTests(const std::string& name);

}  // namespace RasterBinding

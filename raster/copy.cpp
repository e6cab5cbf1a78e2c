// The opaque, colour-keyed and scaled colour-keyed copies.
#include "raster/blit_kernels.h"
#include "raster/rasterkit.h"

using namespace rasterkit;

int32_t GDIBltFast_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                      int32_t srcLeft, int32_t srcTop) {
  return BltFast_16(ActivePath(), dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop);
}

int32_t GDIBlt_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                  int32_t srcLeft, int32_t srcTop, int32_t tranColor) {
  return Blt_16(ActivePath(), dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, tranColor);
}

int32_t GDIBltZoom_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                      const Rect* srcRect, int32_t tranColor) {
  return BltZoom_16(ActivePath(), dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcRect, tranColor);
}

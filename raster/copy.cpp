// The opaque, colour-keyed and scaled colour-keyed copies.
#include <string.h>

#include "raster/blit_kernels.h"
#include "raster/rasterkit.h"

using namespace rasterkit;

// One block move per row. Overlapping areas of one buffer are copied as if through a
// scratch image: rows are moved with memmove, bottom row first when the destination lies
// after the source.
int32_t GDIBltFast_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                      int32_t srcLeft, int32_t srcTop) {
  BlitRows rows;
  if (!LocateRows(rows, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop)) return 0;
  const size_t rowBytes = 2 * static_cast<size_t>(rows.width);
  if (reinterpret_cast<uintptr_t>(rows.dst) > reinterpret_cast<uintptr_t>(rows.src)) {
    for (ptrdiff_t r = rows.height - 1; r >= 0; --r) {
      memmove(rows.dst + r * rows.dstPitch, rows.src + r * rows.srcPitch, rowBytes);
    }
  } else {
    for (ptrdiff_t r = 0; r < rows.height; ++r) {
      memmove(rows.dst + r * rows.dstPitch, rows.src + r * rows.srcPitch, rowBytes);
    }
  }
  return 0;
}

int32_t GDIBlt_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                  int32_t srcLeft, int32_t srcTop, int32_t tranColor) {
  return Blt_16(ActivePath(), dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, tranColor);
}

int32_t GDIBltZoom_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                      const Rect* srcRect, int32_t tranColor) {
  return BltZoom_16(ActivePath(), dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcRect, tranColor);
}

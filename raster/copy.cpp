// SPDX-License-Identifier: MIT
// The opaque, colour-keyed and scaled colour-keyed copies. Areas without pixels draw nothing.
#include <string.h>

#include <utility>

#include "raster/locate_rows.h"
#include "raster/rasterkit.h"
#include "raster/row_loops.h"

using namespace rasterkit;

namespace {

// Long rows of areas that do not overlap are copied with the row loops, which save the
// per-row call; other areas are moved with memmove row by row, overlapping areas of one
// buffer as if through a scratch image: bottom row first when the destination lies after
// the source.
constexpr ptrdiff_t kLongCopyRow = 256;

}  // namespace

int32_t GDIBltFast_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                      int32_t srcLeft, int32_t srcTop) {
  BlitRows rows;
  if (!LocateRows(rows, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop)) return 0;
  const size_t rowBytes = 2 * static_cast<size_t>(rows.width);
  auto bytesOf = [&rows, rowBytes](const char* first, ptrdiff_t pitch) {
    const uintptr_t top = reinterpret_cast<uintptr_t>(first);
    const uintptr_t bottom = top + static_cast<uintptr_t>((rows.height - 1) * pitch);
    return std::pair<uintptr_t, uintptr_t>{top < bottom ? top : bottom, (top < bottom ? bottom : top) + rowBytes};
  };
  const auto [dstStart, dstEnd] = bytesOf(rows.dst, rows.dstPitch);
  const auto [srcStart, srcEnd] = bytesOf(rows.src, rows.srcPitch);
  if (rows.width >= kLongCopyRow && (dstEnd <= srcStart || srcEnd <= dstStart)) {
    ActiveRowLoops().opaqueCopy(rows);
  } else if (reinterpret_cast<uintptr_t>(rows.dst) > reinterpret_cast<uintptr_t>(rows.src)) {
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
  BlitRows rows;
  if (LocateRows(rows, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop)) {
    ActiveRowLoops().keyedCopy(KeyedCopy{static_cast<uint16_t>(tranColor)}, rows);
  }
  return 0;
}

int32_t GDIBltZoom_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                      const Rect* srcRect, int32_t tranColor) {
  BlitRows rows;
  if (!LocateRows(rows, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcRect->Left, srcRect->Top)) return 0;
  const ZoomArea zoom{rows.dst,
                      rows.dstPitch,
                      rows.src,
                      rows.srcPitch,
                      rows.width,
                      rows.height,
                      ptrdiff_t{srcRect->Right} - srcRect->Left,
                      ptrdiff_t{srcRect->Bottom} - srcRect->Top,
                      static_cast<uint16_t>(tranColor)};
  if (zoom.srcWidth <= 0 || zoom.srcHeight <= 0) return 0;
  ActiveRowLoops().scaledKeyedCopy(zoom);
  return 0;
}

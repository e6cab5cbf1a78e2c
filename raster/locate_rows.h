// SPDX-License-Identifier: MIT
// The rows of a copy or blend, addressed from the exported routines' arguments.
#pragma once

#include "raster/rasterkit.h"
#include "raster/row_loops.h"

namespace rasterkit {

// Addresses the area; false when it has no pixels (nothing is drawn then).
inline bool LocateRows(BlitRows& rows, void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                       int32_t srcPitch, int32_t srcLeft, int32_t srcTop) {
  rows.width = ptrdiff_t{dstRect->Right} - dstRect->Left;
  rows.height = ptrdiff_t{dstRect->Bottom} - dstRect->Top;
  if (rows.width <= 0 || rows.height <= 0) return false;
  rows.dstPitch = dstPitch;
  rows.srcPitch = srcPitch;
  rows.dst = static_cast<char*>(dstPtr) + dstRect->Top * rows.dstPitch + 2 * ptrdiff_t{dstRect->Left};
  rows.src = static_cast<const char*>(srcPtr) + srcTop * rows.srcPitch + 2 * ptrdiff_t{srcLeft};
  return true;
}

}  // namespace rasterkit

// SPDX-License-Identifier: MIT
// ClipperRect: places a source area at a position and scale and clips it.
#include <math.h>

#include "raster/rasterkit.h"

namespace {

// A floating-point value truncated toward zero. Values beyond the 32-bit range (which only a
// scale of zero, a negative or an enormous one produces) are held at its ends, NaN gives 0.
int64_t Trunc(double value) {
  if (isnan(value)) return 0;
  if (value <= INT32_MIN) return INT32_MIN;
  if (value >= INT32_MAX) return INT32_MAX;
  return static_cast<int64_t>(value);
}

// An edge moved by an amount, held in the 32-bit range.
int32_t Moved(int32_t edge, int64_t amount) {
  const int64_t moved = edge + amount;
  if (moved < INT32_MIN) return INT32_MIN;
  if (moved > INT32_MAX) return INT32_MAX;
  return static_cast<int32_t>(moved);
}

}  // namespace

// The steps run in this order and each conversion truncates; the rectangles keep their
// rewritten values whatever the result.
int32_t ClipperRect(const Rect* clipRect, Rect* dstRect, Rect* srcRect, int32_t anchorX, int32_t anchorY,
                    float scale) {
  const Rect clip = *clipRect;
  Rect& dst = *dstRect;
  Rect& src = *srcRect;
  const double k = scale;
  const double srcWidth = static_cast<double>(src.Right) - src.Left;
  const double srcHeight = static_cast<double>(src.Bottom) - src.Top;

  dst.Left = Moved(dst.Left, -Trunc((static_cast<double>(anchorX) - src.Left) * k));
  dst.Top = Moved(dst.Top, -Trunc((static_cast<double>(anchorY) - src.Top) * k));
  dst.Right = Moved(dst.Left, Trunc(srcWidth * k));
  dst.Bottom = Moved(dst.Top, Trunc(srcHeight * k));

  if (dst.Left < clip.Left) {
    src.Left = Moved(src.Left, Trunc((static_cast<double>(clip.Left) - dst.Left) / k));
    dst.Left = clip.Left;
  }
  if (dst.Top < clip.Top) {
    src.Top = Moved(src.Top, Trunc((static_cast<double>(clip.Top) - dst.Top) / k));
    dst.Top = clip.Top;
  }
  if (dst.Right > clip.Right) {
    src.Right = Moved(src.Right, Trunc((static_cast<double>(clip.Right) - dst.Right) / k));
    dst.Right = clip.Right;
  }
  if (dst.Bottom > clip.Bottom) {
    src.Bottom = Moved(src.Bottom, Trunc((static_cast<double>(clip.Bottom) - dst.Bottom) / k));
    dst.Bottom = clip.Bottom;
  }

  const bool drawable = dst.Right > dst.Left && dst.Bottom > dst.Top && src.Right > src.Left && src.Bottom > src.Top;
  return drawable ? -1 : 0;
}

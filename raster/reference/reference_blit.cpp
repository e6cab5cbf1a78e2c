// SPDX-License-Identifier: MIT
#include "raster/reference/reference_blit.h"

// The references stay one pixel at a time, also in optimized builds: they are the scalar
// yardstick that the benchmarks measure the vector code against.
#pragma GCC optimize("no-tree-vectorize")

#include <algorithm>
#include <cmath>
#include <cstring>

namespace blit_reference {
namespace {

uint16_t* PixelAt(void* ptr, int32_t pitch, int32_t x, int32_t y) {
  return reinterpret_cast<uint16_t*>(static_cast<char*>(ptr) + int64_t{y} * pitch + 2 * int64_t{x});
}

uint16_t PixelAt(const void* ptr, int32_t pitch, int32_t x, int32_t y) {
  uint16_t pixel;
  std::memcpy(&pixel, static_cast<const char*>(ptr) + int64_t{y} * pitch + 2 * int64_t{x}, 2);
  return pixel;
}

int32_t Trunc(double value) { return static_cast<int32_t>(std::trunc(value)); }

int FloorDiv(int numerator, int denominator) {
  return static_cast<int>(std::floor(static_cast<double>(numerator) / denominator));
}

int Red(uint16_t p) { return (p & 0x7C00) >> 10; }
int Green(uint16_t p) { return (p & 0x03E0) >> 5; }
int Blue(uint16_t p) { return p & 0x001F; }
uint16_t Pack(int red, int green, int blue) { return static_cast<uint16_t>(red << 10 | green << 5 | blue); }

// The common frame of the keyed copy and the blends: whole groups of four pixels only.
template <class PixelRule>
void ForEachGroupedPixel(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                         int32_t srcLeft, int32_t srcTop, PixelRule rule) {
  const int32_t width = dstRect->Right - dstRect->Left;
  const int32_t height = dstRect->Bottom - dstRect->Top;
  const int32_t groups = width / 4;
  for (int32_t r = 0; r < height; ++r) {
    for (int32_t g = 0; g < groups; ++g) {
      for (int32_t k = 0; k < 4; ++k) {
        const int32_t c = 4 * g + k;
        uint16_t* dst = PixelAt(dstPtr, dstPitch, dstRect->Left + c, dstRect->Top + r);
        *dst = rule(*dst, PixelAt(srcPtr, srcPitch, srcLeft + c, srcTop + r));
      }
    }
  }
}

template <class ChannelRule>
uint16_t MixChannels(uint16_t d, uint16_t s, ChannelRule rule) {
  return Pack(rule(Red(d), Red(s)), rule(Green(d), Green(s)), rule(Blue(d), Blue(s)));
}

}  // namespace

int32_t ClipperRect(const Rect* clipRect, Rect* dstRect, Rect* srcRect, int32_t anchorX, int32_t anchorY,
                    float scale) {
  const double k = scale;
  const int32_t sw = srcRect->Right - srcRect->Left;
  const int32_t sh = srcRect->Bottom - srcRect->Top;
  dstRect->Left -= Trunc((anchorX - srcRect->Left) * k);
  dstRect->Top -= Trunc((anchorY - srcRect->Top) * k);
  dstRect->Right = dstRect->Left + Trunc(sw * k);
  dstRect->Bottom = dstRect->Top + Trunc(sh * k);
  if (dstRect->Left < clipRect->Left) {
    srcRect->Left += Trunc((clipRect->Left - dstRect->Left) / k);
    dstRect->Left = clipRect->Left;
  }
  if (dstRect->Top < clipRect->Top) {
    srcRect->Top += Trunc((clipRect->Top - dstRect->Top) / k);
    dstRect->Top = clipRect->Top;
  }
  if (dstRect->Right > clipRect->Right) {
    srcRect->Right += Trunc((clipRect->Right - dstRect->Right) / k);
    dstRect->Right = clipRect->Right;
  }
  if (dstRect->Bottom > clipRect->Bottom) {
    srcRect->Bottom += Trunc((clipRect->Bottom - dstRect->Bottom) / k);
    dstRect->Bottom = clipRect->Bottom;
  }
  const bool drawable = dstRect->Right > dstRect->Left && dstRect->Bottom > dstRect->Top &&
                        srcRect->Right > srcRect->Left && srcRect->Bottom > srcRect->Top;
  return drawable ? -1 : 0;
}

int32_t GDIBltFast_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                      int32_t srcLeft, int32_t srcTop) {
  const int32_t width = dstRect->Right - dstRect->Left;
  const int32_t height = dstRect->Bottom - dstRect->Top;
  for (int32_t r = 0; r < height; ++r) {
    for (int32_t c = 0; c < width; ++c) {
      *PixelAt(dstPtr, dstPitch, dstRect->Left + c, dstRect->Top + r) =
          PixelAt(srcPtr, srcPitch, srcLeft + c, srcTop + r);
    }
  }
  return 0;
}

int32_t GDIBlt_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                  int32_t srcLeft, int32_t srcTop, int32_t tranColor) {
  const auto key = static_cast<uint16_t>(tranColor);
  ForEachGroupedPixel(dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop,
                      [key](uint16_t d, uint16_t s) { return s == key ? d : s; });
  return 0;
}

int32_t GDIBltZoom_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                      const Rect* srcRect, int32_t tranColor) {
  const int32_t dw = dstRect->Right - dstRect->Left, dh = dstRect->Bottom - dstRect->Top;
  const int32_t sw = srcRect->Right - srcRect->Left, sh = srcRect->Bottom - srcRect->Top;
  if (dh <= 0) return 0;
  static uint16_t columnTable[1600];
  static uint16_t rowTable[1280];
  int32_t counter = 0, accumulator = 0;
  for (int32_t i = 0; i < dw; ++i) {
    columnTable[i] = static_cast<uint16_t>(2 * counter);
    accumulator += sw;
    while (accumulator >= dw) {
      accumulator -= dw;
      counter += 1;
    }
  }
  counter = 0;
  accumulator = 0;
  for (int32_t j = 0; j < dh; ++j) {
    rowTable[j] = static_cast<uint16_t>(counter);
    accumulator += sh;
    while (accumulator >= dh) {
      accumulator -= dh;
      counter += 1;
    }
  }
  const auto key = static_cast<uint16_t>(tranColor);
  for (int32_t j = 0; j < dh; ++j) {
    for (int32_t i = 0; i < dw; ++i) {
      const uint16_t p = PixelAt(srcPtr, srcPitch, srcRect->Left + columnTable[i] / 2, srcRect->Top + rowTable[j]);
      if (p != key) *PixelAt(dstPtr, dstPitch, dstRect->Left + i, dstRect->Top + j) = p;
    }
  }
  return 0;
}

int32_t color32_16(int32_t r, int32_t g, int32_t b) {
  const int32_t red5 = ((r & 0xFF) * 31) >> 8;
  return red5 << 10 | ((g & 0xFF) >> 3) << 5 | ((b & 0xFF) >> 3);
}

int32_t GDIMemset(void* ptr, int32_t count, int32_t value) {
  for (int32_t i = 0; i < count; ++i) static_cast<uint16_t*>(ptr)[i] = static_cast<uint16_t>(value);
  return 0;
}

int32_t GDIHalfBlend_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                        int32_t srcLeft, int32_t srcTop) {
  ForEachGroupedPixel(dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, [](uint16_t d, uint16_t s) {
    return MixChannels(d, s, [](int dc, int sc) { return sc / 2 + dc / 2; });
  });
  return 0;
}

int32_t GDIAlphaBlend_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                         int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level) {
  const auto key = static_cast<uint16_t>(tranColor);
  ForEachGroupedPixel(dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, [&](uint16_t d, uint16_t s) {
    const int w = s == key ? 0 : (level & 0xFF);
    return MixChannels(d, s, [w](int dc, int sc) { return dc + FloorDiv((sc - dc) * w, 256); });
  });
  return 0;
}

int32_t GDIAdditive_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                       int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level) {
  const auto key = static_cast<uint16_t>(tranColor);
  ForEachGroupedPixel(dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, [&](uint16_t d, uint16_t s) {
    const int w = s == key ? 0 : (level & 0xFF);
    return MixChannels(d, s, [w](int dc, int sc) { return std::min(31, dc + FloorDiv(sc * w, 256)); });
  });
  return 0;
}

int32_t GDISubitive_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                       int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level) {
  const auto key = static_cast<uint16_t>(tranColor);
  ForEachGroupedPixel(dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, [&](uint16_t d, uint16_t s) {
    const int w = s == key ? 0 : (level & 0xFF);
    return MixChannels(d, s, [w](int dc, int sc) { return std::max(0, dc - FloorDiv(sc * w, 256)); });
  });
  return 0;
}

int32_t GDIColorMask_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                        int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t mask) {
  const auto key = static_cast<uint16_t>(tranColor);
  ForEachGroupedPixel(dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, [&](uint16_t d, uint16_t s) {
    return s == key ? d : static_cast<uint16_t>(s & mask);
  });
  return 0;
}

int32_t GDIAlphaBlendByAlphaChannel2_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                                        int32_t srcPitch, int32_t srcLeft, int32_t srcTop, const void* alphaPtr,
                                        int32_t alphaLevel) {
  const int32_t width = dstRect->Right - dstRect->Left;
  const int32_t height = dstRect->Bottom - dstRect->Top;
  for (int32_t r = 0; r < height; ++r) {
    for (int32_t g = 0; g < width / 4; ++g) {
      int opacity[4];
      bool groupTransparent = true;
      for (int32_t k = 0; k < 4; ++k) {
        opacity[k] = Blue(PixelAt(alphaPtr, srcPitch, srcLeft + 4 * g + k, srcTop + r));
        groupTransparent = groupTransparent && opacity[k] == 0;
      }
      if (groupTransparent) continue;
      for (int32_t k = 0; k < 4; ++k) {
        const int32_t c = 4 * g + k;
        uint16_t* dst = PixelAt(dstPtr, dstPitch, dstRect->Left + c, dstRect->Top + r);
        const int v = FloorDiv(opacity[k] * alphaLevel, 32);
        *dst = MixChannels(*dst, PixelAt(srcPtr, srcPitch, srcLeft + c, srcTop + r),
                           [v](int dc, int sc) { return dc + FloorDiv((sc - dc) * v, 32); });
      }
    }
  }
  return 0;
}

}  // namespace blit_reference

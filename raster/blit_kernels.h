// Row loops and per-pixel operations behind the copy and blend routines of rasterkit.
//
// The operations are written once on the compiler's vector types (N 16-bit pixels per
// value) and instantiated for three widths: 16 pixels in the loops compiled for AVX2,
// 8 pixels (one SSE2 register on x86-64, the baseline), and 4 pixels for the last group
// of a row. Every lane is computed exactly as a single pixel would be, so all widths give
// the same bits; the group of four pixels stays the unit of work where it matters (the
// width of a keyed copy or blend is rounded down to whole groups, and the alpha-channel
// blend leaves a group with an all-zero mask unwritten).
//
// On processors other than x86 the same code compiles to whatever the target offers
// (NEON, or plain scalar code); only the AVX2 loops are x86-specific.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "raster/rasterkit.h"

#if defined(__x86_64__) || defined(__i386__)
#define RASTERKIT_HAS_AVX2_PATH 1
#else
#define RASTERKIT_HAS_AVX2_PATH 0
#endif

#define RASTERKIT_INLINE [[gnu::always_inline]] inline

// The 16-pixel operations are always inlined into the AVX2 loops, so no 32-byte vector ever
// crosses a call boundary compiled without AVX. The compiler's note about that ABI comes at
// the end of the including file, where the templates are instantiated, so it stays off.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace rasterkit {

// The instruction set used by the row loops.
enum class Path { Baseline, Avx2 };

// The widest path this processor runs; chosen when the library is loaded.
Path ActivePath();

// N pixels as unsigned and signed 16-bit lanes, and the same bits as 64-bit groups of four pixels.
template <int N>
struct Lanes {
  typedef uint16_t U __attribute__((vector_size(2 * N)));
  typedef int16_t S __attribute__((vector_size(2 * N)));
  typedef uint64_t G __attribute__((vector_size(2 * N)));
};

template <class V>
RASTERKIT_INLINE V LoadLanes(const uint16_t* pixels) {
  V v;
  memcpy(&v, pixels, sizeof v);
  return v;
}

template <class V>
RASTERKIT_INLINE void StoreLanes(uint16_t* pixels, V v) {
  memcpy(pixels, &v, sizeof v);
}

// Splits both pixels into their 5-bit channels, combines each pair of channels with
// op.Channel(d, s, weight) and packs the results; bit 15 of every result is 0.
template <int N, class Op>
RASTERKIT_INLINE typename Lanes<N>::U MixChannels(const Op& op, typename Lanes<N>::U d, typename Lanes<N>::U s,
                                                  typename Lanes<N>::S weight) {
  using U = typename Lanes<N>::U;
  using S = typename Lanes<N>::S;
  const S red = op.Channel((S)((d >> 10) & 31), (S)((s >> 10) & 31), weight);
  const S green = op.Channel((S)((d >> 5) & 31), (S)((s >> 5) & 31), weight);
  const S blue = op.Channel((S)(d & 31), (S)(s & 31), weight);
  return ((U)red << 10) | ((U)green << 5) | (U)blue;
}

// The weight of each source pixel in the keyed blends: the level, or 0 where the source is the key.
template <int N>
RASTERKIT_INLINE typename Lanes<N>::S KeyedWeight(typename Lanes<N>::U s, uint16_t key, int16_t level) {
  return (typename Lanes<N>::S)(s != key) & level;
}

// Destination = source, except where the source is the key.
struct KeyedCopy {
  uint16_t key;

  template <int N>
  RASTERKIT_INLINE void Apply(uint16_t* dst, const uint16_t* src) const {
    using U = typename Lanes<N>::U;
    const U d = LoadLanes<U>(dst), s = LoadLanes<U>(src);
    StoreLanes(dst, s == key ? d : s);
  }
};

// Half of each channel of both pixels, rounded down, added.
struct HalfBlend {
  template <int N>
  RASTERKIT_INLINE void Apply(uint16_t* dst, const uint16_t* src) const {
    using U = typename Lanes<N>::U;
    const U d = LoadLanes<U>(dst), s = LoadLanes<U>(src);
    StoreLanes(dst, (U)(((s >> 1) & 0x3DEF) + ((d >> 1) & 0x3DEF)));
  }
};

// d + floor((s - d) * w / 256).
struct AlphaBlend {
  uint16_t key;
  int16_t level;

  template <class S>
  RASTERKIT_INLINE S Channel(S d, S s, S w) const {
    return d + (((s - d) * w) >> 8);
  }
  template <int N>
  RASTERKIT_INLINE void Apply(uint16_t* dst, const uint16_t* src) const {
    using U = typename Lanes<N>::U;
    const U d = LoadLanes<U>(dst), s = LoadLanes<U>(src);
    StoreLanes(dst, MixChannels<N>(*this, d, s, KeyedWeight<N>(s, key, level)));
  }
};

// min(31, d + floor(s * w / 256)).
struct Additive {
  uint16_t key;
  int16_t level;

  template <class S>
  RASTERKIT_INLINE S Channel(S d, S s, S w) const {
    const S sum = d + ((s * w) >> 8);
    return sum > 31 ? (S{} + 31) : sum;
  }
  template <int N>
  RASTERKIT_INLINE void Apply(uint16_t* dst, const uint16_t* src) const {
    using U = typename Lanes<N>::U;
    const U d = LoadLanes<U>(dst), s = LoadLanes<U>(src);
    StoreLanes(dst, MixChannels<N>(*this, d, s, KeyedWeight<N>(s, key, level)));
  }
};

// max(0, d - floor(s * w / 256)).
struct Subtractive {
  uint16_t key;
  int16_t level;

  template <class S>
  RASTERKIT_INLINE S Channel(S d, S s, S w) const {
    const S difference = d - ((s * w) >> 8);
    return difference < 0 ? S{} : difference;
  }
  template <int N>
  RASTERKIT_INLINE void Apply(uint16_t* dst, const uint16_t* src) const {
    using U = typename Lanes<N>::U;
    const U d = LoadLanes<U>(dst), s = LoadLanes<U>(src);
    StoreLanes(dst, MixChannels<N>(*this, d, s, KeyedWeight<N>(s, key, level)));
  }
};

// Destination = source AND mask, except where the source is the key.
struct ColorMask {
  uint16_t key;
  uint16_t mask;

  template <int N>
  RASTERKIT_INLINE void Apply(uint16_t* dst, const uint16_t* src) const {
    using U = typename Lanes<N>::U;
    const U d = LoadLanes<U>(dst), s = LoadLanes<U>(src);
    StoreLanes(dst, s == key ? d : (s & mask));
  }
};

// d + floor((s - d) * v / 32) with v = floor(a * level / 32), a the blue channel of the mask
// pixel that lies at the same byte offset from the mask image as the source pixel from the
// source image. A group of four pixels whose mask values are all 0 keeps its pixels untouched.
struct AlphaChannelBlend {
  uintptr_t maskDistance;  // mask address minus source address, modulo 2^64
  int16_t level;           // 0..32

  template <class S>
  RASTERKIT_INLINE S Channel(S d, S s, S v) const {
    return d + (((s - d) * v) >> 5);
  }
  template <int N>
  RASTERKIT_INLINE void Apply(uint16_t* dst, const uint16_t* src) const {
    using U = typename Lanes<N>::U;
    using S = typename Lanes<N>::S;
    using G = typename Lanes<N>::G;
    const auto* maskPixels = reinterpret_cast<const uint16_t*>(reinterpret_cast<uintptr_t>(src) + maskDistance);
    const S opacity = (S)(LoadLanes<U>(maskPixels) & 31);
    const G transparentGroups = (G)(opacity == 0);
    if (AllSet(transparentGroups)) return;
    const U d = LoadLanes<U>(dst), s = LoadLanes<U>(src);
    const U mixed = MixChannels<N>(*this, d, s, (S)((opacity * level) >> 5));
    StoreLanes(dst, (S)(transparentGroups == ~uint64_t{0}) ? d : mixed);
  }

  template <class G>
  RASTERKIT_INLINE static bool AllSet(G groups) {
    uint64_t all = ~uint64_t{0};
    for (size_t i = 0; i < sizeof(G) / 8; ++i) all &= groups[i];
    return all == ~uint64_t{0};
  }
};

// The rows of one copy or blend: the destination area's first pixel and the source pixel
// that goes there, each with its pitch in bytes, and the area's size.
struct BlitRows {
  char* dst;
  ptrdiff_t dstPitch;
  const char* src;
  ptrdiff_t srcPitch;
  ptrdiff_t width;
  ptrdiff_t height;
};

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

// Applies op to the first `count` pixels of a row (count is a multiple of 4), widest first.
template <int Wide, class Op>
RASTERKIT_INLINE void ApplyToGroups(const Op& op, uint16_t* dst, const uint16_t* src, ptrdiff_t count) {
  ptrdiff_t i = 0;
  for (; i + Wide <= count; i += Wide) op.template Apply<Wide>(dst + i, src + i);
  if constexpr (Wide > 8) {
    if (i + 8 <= count) {
      op.template Apply<8>(dst + i, src + i);
      i += 8;
    }
  }
  if (i + 4 <= count) op.template Apply<4>(dst + i, src + i);
}

// Every row in whole groups of four pixels; the width mod 4 rightmost columns are left alone.
template <int Wide, class Op>
RASTERKIT_INLINE void ApplyToRows(const Op& op, const BlitRows& rows) {
  const ptrdiff_t groupedWidth = rows.width & ~ptrdiff_t{3};
  if (groupedWidth == 0) return;
  for (ptrdiff_t r = 0; r < rows.height; ++r) {
    ApplyToGroups<Wide>(op, reinterpret_cast<uint16_t*>(rows.dst + r * rows.dstPitch),
                        reinterpret_cast<const uint16_t*>(rows.src + r * rows.srcPitch), groupedWidth);
  }
}

template <class Op>
[[gnu::noinline]] void ApplyToRowsBaseline(const Op& op, const BlitRows& rows) {
  ApplyToRows<8>(op, rows);
}

#if RASTERKIT_HAS_AVX2_PATH
template <class Op>
[[gnu::noinline, gnu::target("avx2")]] void ApplyToRowsAvx2(const Op& op, const BlitRows& rows) {
  ApplyToRows<16>(op, rows);
}
#endif

template <class Op>
inline void ApplyToRows(Path path, const Op& op, const BlitRows& rows) {
#if RASTERKIT_HAS_AVX2_PATH
  if (path == Path::Avx2) return ApplyToRowsAvx2(op, rows);
#endif
  (void)path;
  ApplyToRowsBaseline(op, rows);
}

// Keyed copy of a whole row, the width not rounded: groups first, then pixel by pixel.
template <int Wide>
RASTERKIT_INLINE void KeyedCopyRow(uint16_t key, uint16_t* dst, const uint16_t* src, ptrdiff_t count) {
  const ptrdiff_t groupedWidth = count & ~ptrdiff_t{3};
  ApplyToGroups<Wide>(KeyedCopy{key}, dst, src, groupedWidth);
  for (ptrdiff_t i = groupedWidth; i < count; ++i) {
    if (src[i] != key) dst[i] = src[i];
  }
}

// A scaled keyed copy: dst and src point at the first pixel of each rectangle.
struct ZoomArea {
  char* dst;
  ptrdiff_t dstPitch;
  const char* src;
  ptrdiff_t srcPitch;
  ptrdiff_t dstWidth, dstHeight, srcWidth, srcHeight;
  uint16_t key;
};

// Destination columns are handled in strips of this many, so the scratch space is bounded
// whatever the size of the copy.
inline constexpr ptrdiff_t kZoomStripWidth = 1024;

// Destination column i shows source column floor(i * srcWidth / dstWidth) and row j source
// row floor(j * srcHeight / dstHeight), both stepped with an error accumulator. Each source
// row is sampled into a scratch row once, then keyed-copied onto every destination row that
// shows it.
template <int Wide>
RASTERKIT_INLINE void ZoomRows(const ZoomArea& z) {
  int32_t ZoomColumnTable[kZoomStripWidth];
  uint16_t sampled[kZoomStripWidth];
  ptrdiff_t column = 0, columnError = 0;
  for (ptrdiff_t stripLeft = 0; stripLeft < z.dstWidth; stripLeft += kZoomStripWidth) {
    const ptrdiff_t stripWidth = z.dstWidth - stripLeft < kZoomStripWidth ? z.dstWidth - stripLeft : kZoomStripWidth;
    for (ptrdiff_t i = 0; i < stripWidth; ++i) {
      ZoomColumnTable[i] = static_cast<int32_t>(column);
      columnError += z.srcWidth;
      while (columnError >= z.dstWidth) {
        columnError -= z.dstWidth;
        ++column;
      }
    }
    ptrdiff_t row = 0, rowError = 0, sampledRow = -1;
    for (ptrdiff_t j = 0; j < z.dstHeight; ++j) {
      if (row != sampledRow) {
        const auto* srcRow = reinterpret_cast<const uint16_t*>(z.src + row * z.srcPitch);
        for (ptrdiff_t i = 0; i < stripWidth; ++i) sampled[i] = srcRow[ZoomColumnTable[i]];
        sampledRow = row;
      }
      KeyedCopyRow<Wide>(z.key, reinterpret_cast<uint16_t*>(z.dst + j * z.dstPitch) + stripLeft, sampled,
                         stripWidth);
      rowError += z.srcHeight;
      while (rowError >= z.dstHeight) {
        rowError -= z.dstHeight;
        ++row;
      }
    }
  }
}

[[gnu::noinline]] inline void ZoomRowsBaseline(const ZoomArea& z) { ZoomRows<8>(z); }

#if RASTERKIT_HAS_AVX2_PATH
[[gnu::noinline, gnu::target("avx2")]] inline void ZoomRowsAvx2(const ZoomArea& z) { ZoomRows<16>(z); }
#endif

// The copy and blend routines on a chosen path; each exported routine GDI<Name> runs
// <Name> on the active path. Areas without pixels draw nothing.

inline int32_t Blt_16(Path path, void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                      int32_t srcPitch, int32_t srcLeft, int32_t srcTop, int32_t tranColor) {
  BlitRows rows;
  if (LocateRows(rows, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop)) {
    ApplyToRows(path, KeyedCopy{static_cast<uint16_t>(tranColor)}, rows);
  }
  return 0;
}

inline int32_t BltZoom_16(Path path, void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                          int32_t srcPitch, const Rect* srcRect, int32_t tranColor) {
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
#if RASTERKIT_HAS_AVX2_PATH
  if (path == Path::Avx2) {
    ZoomRowsAvx2(zoom);
    return 0;
  }
#endif
  ZoomRowsBaseline(zoom);
  return 0;
}

inline int32_t HalfBlend_16(Path path, void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                            int32_t srcPitch, int32_t srcLeft, int32_t srcTop) {
  BlitRows rows;
  if (LocateRows(rows, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop)) {
    ApplyToRows(path, HalfBlend{}, rows);
  }
  return 0;
}

// The keyed blends use the low 16 bits of the key and the low 8 bits of the level.
template <class Op>
inline int32_t KeyedBlend_16(Path path, void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                             int32_t srcPitch, int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level) {
  BlitRows rows;
  if (LocateRows(rows, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop)) {
    ApplyToRows(path, Op{static_cast<uint16_t>(tranColor), static_cast<int16_t>(level & 0xFF)}, rows);
  }
  return 0;
}

inline int32_t AlphaBlend_16(Path path, void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                             int32_t srcPitch, int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level) {
  return KeyedBlend_16<AlphaBlend>(path, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, tranColor,
                                   level);
}

inline int32_t Additive_16(Path path, void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                           int32_t srcPitch, int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level) {
  return KeyedBlend_16<Additive>(path, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, tranColor,
                                 level);
}

inline int32_t Subitive_16(Path path, void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                           int32_t srcPitch, int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t level) {
  return KeyedBlend_16<Subtractive>(path, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, tranColor,
                                    level);
}

inline int32_t ColorMask_16(Path path, void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                            int32_t srcPitch, int32_t srcLeft, int32_t srcTop, int32_t tranColor, int32_t mask) {
  BlitRows rows;
  if (LocateRows(rows, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop)) {
    ApplyToRows(path, ColorMask{static_cast<uint16_t>(tranColor), static_cast<uint16_t>(mask)}, rows);
  }
  return 0;
}

// `level` is the level already taken from the level table (0..32).
inline int32_t AlphaBlendByAlphaChannel2_16(Path path, void* dstPtr, int32_t dstPitch, const Rect* dstRect,
                                            const void* srcPtr, int32_t srcPitch, int32_t srcLeft, int32_t srcTop,
                                            const void* alphaPtr, int16_t level) {
  BlitRows rows;
  if (LocateRows(rows, dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop)) {
    const uintptr_t maskDistance = reinterpret_cast<uintptr_t>(alphaPtr) - reinterpret_cast<uintptr_t>(srcPtr);
    ApplyToRows(path, AlphaChannelBlend{maskDistance, level}, rows);
  }
  return 0;
}

}  // namespace rasterkit

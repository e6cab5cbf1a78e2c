// The copy and blend routines of rasterkit on a chosen instruction set ("path").
//
// The per-pixel operations and row loops are written once, in blit_rows.inc, on the
// compiler's vector types, and compiled for each instruction set: the baseline (8 pixels per
// vector: SSE2 on x86-64, and whatever the processor offers elsewhere), AVX2 (16 pixels) and
// AVX-512 (32 pixels). On the machine we measured, AVX-512 paid for three routines only:
// - the mask blend, with its own formulation there (a table lookup, a masked store, a
//   three-input select), and the additive blend, on the same loop as AVX2, both on rows of at
//   least 32 pixels (on narrower rows, all in parts of vectors, the mask blend ran at half the
//   AVX2 speed);
// - the scaled copy, which samples with word permutes and leaves key pixels out of masked
//   stores, at every size.
// The other routines ran as fast or slower than on AVX2, so the AVX-512 path runs them, and
// the narrow blends, on the AVX2 loops. Each exported routine GDI<Name> runs <Name> below on
// the widest path the processor has; tests and benchmarks call every path directly.
//
// The group of four pixels stays the unit of work where it matters: the width of a keyed
// copy or blend is rounded down to whole groups, and the alpha-channel blend leaves a group
// with an all-zero mask unwritten.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <type_traits>
#include <utility>

#include "raster/rasterkit.h"

// x86 processors get the AVX2 path and intrinsics; building with RASTERKIT_X86=0
// compiles the portable code that other processors use.
#ifndef RASTERKIT_X86
#if defined(__x86_64__) || defined(__i386__)
#define RASTERKIT_X86 1
#else
#define RASTERKIT_X86 0
#endif
#endif
#if RASTERKIT_X86
#include <immintrin.h>
#endif

#define RASTERKIT_INLINE [[gnu::always_inline]] inline

// The wide operations are always inlined into loops compiled for their instruction set, so
// no wide vector ever crosses a call boundary. The compiler's note about the ABI of such
// calls comes at the end of the including file, where templates are instantiated, so it
// stays off.
#pragma GCC diagnostic ignored "-Wpsabi"

namespace rasterkit {

enum class Path { Baseline, Avx2, Avx512 };

// The widest path this processor runs; chosen when the library is loaded.
Path ActivePath();

// Whether this processor, and the system's saving of its registers, runs a path.
inline bool ProcessorRuns(Path path) {
#if RASTERKIT_X86
  const bool avx2 = __builtin_cpu_supports("avx2");
  switch (path) {
    case Path::Baseline: return true;
    case Path::Avx2: return avx2;
    case Path::Avx512:
      return avx2 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
             __builtin_cpu_supports("avx512vl");
  }
  return false;
#else
  return path == Path::Baseline;
#endif
}

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

// A scaled keyed copy: dst and src point at the first pixel of each rectangle.
struct ZoomArea {
  char* dst;
  ptrdiff_t dstPitch;
  const char* src;
  ptrdiff_t srcPitch;
  ptrdiff_t dstWidth, dstHeight, srcWidth, srcHeight;
  uint16_t key;
};

// Destination columns of a scaled copy are handled in strips of this many, so the scratch
// space is bounded whatever the size of the copy.
inline constexpr ptrdiff_t kZoomStripWidth = 1024;

// The operations of the copy and blend routines, with their per-call arguments.
struct OpaqueCopy {};
struct KeyedCopy {
  uint16_t key;
};
struct HalfBlend {};
struct AlphaBlend {
  uint16_t key;
  int16_t level;  // 0..255
};
struct Additive {
  uint16_t key;
  int16_t level;
};
struct Subtractive {
  uint16_t key;
  int16_t level;
};
struct ColorMask {
  uint16_t key;
  uint16_t mask;
};
// The mask pixel of a source pixel lies at the same byte offset from the mask image as the
// source pixel from the source image.
struct AlphaChannelBlend {
  uintptr_t maskDistance;  // mask address minus source address, modulo 2^64
  int16_t level;           // 0..32
};

namespace baseline {
inline constexpr int kLanes = 8;
#include "raster/blit_rows.inc"
}  // namespace baseline

#if RASTERKIT_X86
#pragma GCC push_options
#pragma GCC target("avx2")
namespace avx2 {
inline constexpr int kLanes = 16;
#define RASTERKIT_BYTE_SHUFFLES
#include "raster/blit_rows.inc"
#undef RASTERKIT_BYTE_SHUFFLES
}  // namespace avx2
#pragma GCC pop_options

// (Every processor with AVX-512 also has PREFETCHW, which asks for a line to be written.)
#pragma GCC push_options
#pragma GCC target("avx2,avx512f,avx512bw,avx512vl,prfchw")
namespace avx512 {
inline constexpr int kLanes = 32;
#define RASTERKIT_BYTE_SHUFFLES
#define RASTERKIT_AVX512
#include "raster/blit_rows.inc"
#undef RASTERKIT_AVX512
#undef RASTERKIT_BYTE_SHUFFLES
}  // namespace avx512
#pragma GCC pop_options
#endif

template <class Op>
inline void ApplyToRows(Path path, const Op& op, const BlitRows& rows) {
#if RASTERKIT_X86
  if constexpr (std::is_same_v<Op, AlphaChannelBlend> || std::is_same_v<Op, Additive>) {
    if (path == Path::Avx512 && rows.width >= avx512::kLanes) return avx512::ApplyToRows(op, rows);
  }
  if (path != Path::Baseline) return avx2::ApplyToRows(op, rows);
#endif
  (void)path;
  baseline::ApplyToRows(op, rows);
}

// The copy and blend routines on a chosen path; each exported routine GDI<Name> runs
// <Name> on the active path. Areas without pixels draw nothing.

// Long rows of areas that do not overlap are copied with the row loops, which save the
// per-row call; other areas are moved with memmove row by row, overlapping areas of one
// buffer as if through a scratch image: bottom row first when the destination lies after
// the source.
inline constexpr ptrdiff_t kLongCopyRow = 256;

inline int32_t BltFast_16(Path path, void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                          int32_t srcPitch, int32_t srcLeft, int32_t srcTop) {
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
#if RASTERKIT_X86
    if (path != Path::Baseline) {
      avx2::CopyRows(rows);
      return 0;
    }
#endif
    (void)path;
    baseline::CopyRows(rows);
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
#if RASTERKIT_X86
  if (path == Path::Avx512) {
    avx512::ZoomRows(zoom);
    return 0;
  }
  if (path != Path::Baseline) {
    avx2::ZoomRows(zoom);
    return 0;
  }
#endif
  (void)path;
  baseline::ZoomRows(zoom);
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

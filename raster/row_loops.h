// The row loops of rasterkit, one table per instruction set ("path"), and the one table that
// the exported routines run: the widest path this processor has, chosen when the library is
// loaded.
//
// Paths, narrowest first:
// - portable: the compiler's vector types alone (8 pixels per vector), no intrinsics; the
//   only path off x86 (NEON on aarch64, SSE2 on x86-64);
// - SSE2 (8 pixels) and AVX2 (16 pixels), the same loops with x86 intrinsics;
// - AVX-512 (32 pixels). On the machine we measured, AVX-512 paid for three routines only:
//   the mask blend, with its own formulation there (a table lookup, a masked store, a
//   three-input select), and the additive blend, on the same loop as AVX2, both on rows of at
//   least 32 pixels (on narrower rows, all in parts of vectors, the mask blend ran at half the
//   AVX2 speed); and the scaled copy, which samples with word permutes and leaves key pixels
//   out of masked stores, at every size. Its table holds those three and takes the others
//   from the AVX2 table.
//
// Each path's loops live in a file of their own (rows_<path>.cpp), compiled for its
// instruction set, with nothing but its table visible outside; the copy and blend loops are
// written once, in blit_rows.inc. This header holds types and declarations only: an inline
// function emitted in a file compiled for a wider instruction set could stand in for
// everyone's copy at link time.
//
// RASTERKIT_PATH=portable|sse2|avx2|avx512 in the environment when the library is loaded caps
// the path (tests and benchmarks run every path so); other values are ignored.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace rasterkit {

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

// One destination row of the bilinear zooms. Per destination column, 32-bit entries hold two
// 16-bit lanes: the samples (P(x0), P(x1)) of the source row above and of the row below, the
// fraction as (-fx, fx) and as (fx, fx). The tables run kBilinearSpareColumns entries past
// `width` and are aligned to 32 bytes.
struct BilinearRow {
  uint16_t* dst;
  const uint32_t* topSamples;
  const uint32_t* bottomSamples;
  // The samples XOR those of the previous image; null: every pixel is written. Otherwise a
  // pixel is written only where one of its four samples changed.
  const uint32_t* topChanges;
  const uint32_t* bottomChanges;
  const uint32_t* columnCross;
  const uint32_t* columnFraction;
  int32_t fy;
  int32_t width;
};

inline constexpr int32_t kBilinearSpareColumns = 16;

// The bilinear zooms' positions and weights are fixed point with 12 fractional bits.
inline constexpr int32_t kFixedOne = 4096;

// The row loops of one path (a null entry: another path's, see kAvx512RowLoops). The copy
// and blend loops work in whole groups of four pixels (the width mod 4 rightmost columns are
// left alone); the opaque copy takes every column of areas that do not overlap.
struct RowLoops {
  void (*opaqueCopy)(const BlitRows&) = nullptr;
  void (*keyedCopy)(KeyedCopy, const BlitRows&) = nullptr;
  void (*halfBlend)(HalfBlend, const BlitRows&) = nullptr;
  void (*alphaBlend)(AlphaBlend, const BlitRows&) = nullptr;
  void (*additive)(Additive, const BlitRows&) = nullptr;
  void (*subtractive)(Subtractive, const BlitRows&) = nullptr;
  void (*colorMask)(ColorMask, const BlitRows&) = nullptr;
  void (*alphaChannelBlend)(AlphaChannelBlend, const BlitRows&) = nullptr;
  void (*scaledKeyedCopy)(const ZoomArea&) = nullptr;
  void (*bilinearRow)(BilinearRow) = nullptr;
};

extern const RowLoops kPortableRowLoops;
#ifdef RASTERKIT_X86_PATHS
extern const RowLoops kSse2RowLoops;
extern const RowLoops kAvx2RowLoops;
// Null entries: the AVX2 table's.
extern const RowLoops kAvx512RowLoops;
#endif

// The table the exported routines run.
const RowLoops& ActiveRowLoops();

}  // namespace rasterkit

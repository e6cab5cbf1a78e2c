// SPDX-License-Identifier: MIT
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

// The bilinear zooms work from source rows expanded through the column tables once per
// source row, then combine two expanded rows into each destination row. Per destination
// column i the zoom samples source columns first[i] and first[i] + 1 (first[i] alone from
// column columnsWithNeighbour on), with fx = the low lane of fraction[i]; the tables run
// kBilinearSpareColumns entries past `width` (copies of the last column, fraction 0) and are
// aligned to 32 bytes. A path may derive tables of its own from them once per zoom
// (bilinearPrepare), before any row is expanded.
struct BilinearColumns {
  const int32_t* first;
  const uint32_t* cross;     // (-fx, fx) as 16-bit lanes
  const uint32_t* fraction;  // (fx, fx)
  int32_t columnsWithNeighbour;
  int32_t width;
  int32_t srcWidth;  // the pixels of a source row that may be read
};

// An expanded row holds kBilinearExpandedEntries 32-bit entries (aligned to 32 bytes) laid out
// as its path's expansion and row loop agree: the portable and SSE2 loops keep the samples
// (P(x0), P(x1)) as 16-bit lanes at entries 0 .. width + spare - 1 and the samples XOR those
// of the previous image at kBilinearTableLength on; the AVX2 loops keep each channel apart.
struct BilinearExpansion {
  uint32_t* expanded;
  const uint16_t* row;
  // The same row of the previous image; null: the changes are not needed. A row equal to its
  // previous one passes itself: its changes are all zero.
  const uint16_t* previousRow;
  const BilinearColumns* columns;
};

// One destination row from the expanded source rows above and below: its first `width`
// pixels (at most the columns' width), as RGB555 into `dst` or, when `wideDst` is set, as
// XRGB8888 into `wideDst` (each 5-bit channel c widened to c << 3 | c >> 2; `dst` unused).
struct BilinearRow {
  uint16_t* dst;
  uint32_t* wideDst;
  int32_t width;
  const uint32_t* top;
  const uint32_t* bottom;
  // Whether a pixel is written only where one of its four samples changed (both rows were
  // expanded with their previous rows).
  bool detectChanges;
  const BilinearColumns* columns;
  int32_t fy;
};

inline constexpr int32_t kBilinearSpareColumns = 16;

// The largest destination width and height the bilinear zooms serve (a 4K display's zoom
// surface fits). It also keeps every bilinear weight within 16 bits: a fraction can fall
// below zero by at most its destination index, so -4096 < fx, fy < 4096.
inline constexpr int32_t kMaxZoomSide = 4096;
inline constexpr int32_t kBilinearTableLength = kMaxZoomSide + kBilinearSpareColumns;
inline constexpr int32_t kBilinearExpandedEntries = 4 * kBilinearTableLength;

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
  void (*bilinearPrepare)(const BilinearColumns&) = nullptr;  // null: nothing to derive
  void (*bilinearExpand)(const BilinearExpansion&) = nullptr;
  void (*bilinearRow)(const BilinearRow&) = nullptr;
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

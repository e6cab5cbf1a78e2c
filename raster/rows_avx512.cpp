// SPDX-License-Identifier: MIT
// The AVX-512 path, 32 pixels per vector: the mask blend and the additive blend on rows of at
// least 32 pixels, and the scaled copy. Narrower rows and every other loop are the AVX2
// path's. (Every processor with AVX-512 also has PREFETCHW, which asks for a line to be
// written.)
#include <immintrin.h>
#include <string.h>

#include <type_traits>

#include "raster/row_loops.h"

#define RASTERKIT_X86
#define RASTERKIT_BYTE_SHUFFLES
#define RASTERKIT_AVX512

namespace rasterkit {
namespace {

constexpr int kLanes = 32;
#include "raster/blit_rows.inc"

void AdditiveRows(const Additive op, const BlitRows& rows) {
  if (rows.width < kLanes) return kAvx2RowLoops.additive(op, rows);
  ApplyToRows(op, rows);
}

void AlphaChannelBlendRows(const AlphaChannelBlend op, const BlitRows& rows) {
  if (rows.width < kLanes) return kAvx2RowLoops.alphaChannelBlend(op, rows);
  ApplyToRows(op, rows);
}

}  // namespace

extern constinit const RowLoops kAvx512RowLoops{
    .additive = AdditiveRows, .alphaChannelBlend = AlphaChannelBlendRows, .scaledKeyedCopy = ZoomRows};

}  // namespace rasterkit

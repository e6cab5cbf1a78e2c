// SPDX-License-Identifier: MIT
// The AVX2 path: the copy and blend loops with AVX2's intrinsics, 16 pixels per vector, and
// the bilinear zoom sixteen pixels at a time, from source rows expanded one channel apart.
#include <immintrin.h>
#include <string.h>

#include <type_traits>

#include "raster/row_loops.h"

#define RASTERKIT_X86
#define RASTERKIT_BYTE_SHUFFLES

namespace rasterkit {
namespace {

constexpr int kLanes = 16;
#include "raster/blit_rows.inc"

// ---------------------------------------------------------------------------------------------
// Bilinear zoom
//
// An expanded row is a run of blocks of 16 destination columns, 64 entries each: blue, green,
// red, then changes, 16 entries apiece, the even columns of the block first, then the odd
// ones. A channel entry holds (16 c(P(x0)), 16 c(P(x1))) as 16-bit lanes, a change entry is
// nonzero where either sample differs from the previous image's.
//
// A channel's sum for eight columns is then two multiply-adds, (c00, c01) with (w00, w01) and
// (c10, c11) with (w10, w11), exact in 32 bits (the weights fit 16 bits, see kMaxZoomSide):
// 16 times the bilinear sum, so that the high half of each 32-bit lane is the sum >> 12, and
// one word blend puts the even and the odd columns' values back in column order.

constexpr int32_t kBlock = 16;
constexpr int32_t kHalf = kBlock / 2;
constexpr int32_t kBlockEntries = 4 * kBlock;
constexpr int32_t kChangeEntries = 3 * kBlock;
static_assert(kBlock <= kBilinearSpareColumns, "the last block reads past the row");
static_assert(kBilinearTableLength % kBlock == 0 &&
                  kBilinearTableLength / kBlock * kBlockEntries <= kBilinearExpandedEntries,
              "an expanded row holds a block for every column");

// Tables of one zoom, in the entry order of the blocks (PrepareColumns).
//
// Where a block's samples come from. Where its columns have neighbours and its even columns'
// first samples lie within base[0] .. base[0] + 14, its odd columns' within base[1] ..
// base[1] + 14, and base[1] + 16 is still a pixel of the row, the samples of each half come
// from two loads of 16 pixels, at base and at base + 1: an even offset from base is a whole
// dword of the first, an odd one of the second. Otherwise they are read one at a time.
struct BlockSource {
  int32_t base[2];
  bool nearby;
};
BlockSource BlockSources[kBilinearTableLength / kBlock];
// Per column: its offset from its half's base, halved, with the offset's low bit as the top
// bit of every byte (a dword permute reads the low three bits, a byte blend the top ones).
alignas(32) uint32_t SampleOffsets[kBilinearTableLength];
// Per column: (4096 - fx, fx) and (4 (fx - 4096), 4 fx) as 16-bit lanes.
alignas(32) uint32_t RowFractions[kBilinearTableLength];
alignas(32) uint32_t ScaledFractions[kBilinearTableLength];

RASTERKIT_INLINE __m256i LoadEntries(const uint32_t* entries) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(entries));
}

RASTERKIT_INLINE void StoreEntries(uint32_t* entries, __m256i value) {
  _mm256_store_si256(reinterpret_cast<__m256i*>(entries), value);
}

RASTERKIT_INLINE __m256i LoadPixelsAt(const uint16_t* at) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}

// Where column `j` (0..15) of a block sits among its 16 entries.
constexpr int32_t EntryOfColumn(int32_t j) { return (j & 1) * kHalf + (j >> 1); }

uint32_t PackLanes(int32_t low, int32_t high) {
  return static_cast<uint32_t>(static_cast<uint16_t>(low)) | static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16;
}

void PrepareColumns(const BilinearColumns& columns) {
  // The last pixel the loads at base + 1 may end on.
  const int32_t lastBase = columns.srcWidth - 1 - kBlock;
  for (int32_t column = 0; column < columns.width; column += kBlock) {
    const int32_t* first = columns.first + column;
    BlockSource& source = BlockSources[column / kBlock];
    source.base[0] = first[0];
    source.base[1] = first[1];
    source.nearby = column + kBlock <= columns.columnsWithNeighbour && first[1] <= lastBase &&
                    first[kBlock - 2] - first[0] <= 14 && first[kBlock - 1] - first[1] <= 14;
    for (int32_t j = 0; j < kBlock; ++j) {
      const int32_t entry = column + EntryOfColumn(j);
      const uint32_t offset = static_cast<uint32_t>(first[j] - source.base[j & 1]);
      SampleOffsets[entry] = offset >> 1 | ((offset & 1) != 0 ? 0x80808080u : 0);
      const int32_t fx = static_cast<int16_t>(columns.fraction[column + j]);
      RowFractions[entry] = PackLanes(kFixedOne - fx, fx);
      ScaledFractions[entry] = PackLanes(4 * (fx - kFixedOne), 4 * fx);
    }
  }
}

uint32_t ChannelPair(uint16_t first, uint16_t next, int shift) {
  return PackLanes(((first >> shift) & 0x1F) << 4, ((next >> shift) & 0x1F) << 4);
}

// Column i, one pixel at a time.
void ExpandColumn(const BilinearExpansion& expansion, uint32_t* block, int32_t i) {
  const BilinearColumns& columns = *expansion.columns;
  const int32_t x0 = columns.first[i];
  const int32_t x1 = i < columns.columnsWithNeighbour ? x0 + 1 : x0;
  const uint16_t first = expansion.row[x0], next = expansion.row[x1];
  const int32_t entry = EntryOfColumn(i % kBlock);
  for (int channel = 0; channel < 3; ++channel) block[channel * kBlock + entry] = ChannelPair(first, next, 5 * channel);
  if (expansion.previousRow != nullptr) {
    block[kChangeEntries + entry] = PackLanes(first ^ expansion.previousRow[x0], next ^ expansion.previousRow[x1]);
  }
}

// The samples (P(x0), P(x0 + 1)) of half a block whose base is at `at`.
RASTERKIT_INLINE __m256i SamplesNear(const uint16_t* at, __m256i offsets) {
  const __m256i even = _mm256_permutevar8x32_epi32(LoadPixelsAt(at), offsets);
  const __m256i odd = _mm256_permutevar8x32_epi32(LoadPixelsAt(at + 1), offsets);
  return _mm256_blendv_epi8(even, odd, offsets);
}

// `previousRow` null: no changes.
RASTERKIT_INLINE void ExpandHalf(const uint16_t* row, const uint16_t* previousRow, uint32_t* entries, __m256i offsets,
                                 int32_t base) {
  const __m256i samples = SamplesNear(row + base, offsets);
  const __m256i channelBits = _mm256_set1_epi16(0x1F << 4);
  StoreEntries(entries, _mm256_and_si256(_mm256_slli_epi16(samples, 4), channelBits));
  StoreEntries(entries + kBlock, _mm256_and_si256(_mm256_srli_epi16(samples, 5 - 4), channelBits));
  StoreEntries(entries + 2 * kBlock, _mm256_and_si256(_mm256_srli_epi16(samples, 10 - 4), channelBits));
  if (previousRow == row) {
    StoreEntries(entries + kChangeEntries, _mm256_setzero_si256());
  } else if (previousRow != nullptr) {
    StoreEntries(entries + kChangeEntries, _mm256_xor_si256(samples, SamplesNear(previousRow + base, offsets)));
  }
}

void ExpandBlocks(const BilinearExpansion& expansion) {
  const int32_t width = expansion.columns->width;
  const uint16_t* const row = expansion.row;
  const uint16_t* const previousRow = expansion.previousRow;
  for (int32_t column = 0; column < width; column += kBlock) {
    uint32_t* block = expansion.expanded + column / kBlock * kBlockEntries;
    const BlockSource& source = BlockSources[column / kBlock];
    if (!source.nearby) {
      for (int32_t i = column; i < column + kBlock; ++i) ExpandColumn(expansion, block, i);
      continue;
    }
    for (int half = 0; half < 2; ++half) {
      ExpandHalf(row, previousRow, block + half * kHalf, LoadEntries(SampleOffsets + column + half * kHalf),
                 source.base[half]);
    }
  }
}

// Per half of a block: the weights (w00, w01) of the row above and (w10, w11) of the row below.
struct BlockWeights {
  __m256i top[2], bottom[2];
};

// With fy4 = 4 fy in every lane. The high half of (4 (fx - 4096)) (4 fy) is
// floor((fx - 4096) fy / 4096) = -(fy - fxy) = -w10, that of (4 fx) (4 fy) is fxy = w11; the
// weights above are (4096 - fx, fx) less those below.
RASTERKIT_INLINE BlockWeights WeightsOfBlock(int32_t column, __m256i fy4) {
  const __m256i negateLow = _mm256_set1_epi32(0x0001FFFF);
  BlockWeights weights;
  for (int half = 0; half < 2; ++half) {
    const int32_t at = column + half * kHalf;
    weights.bottom[half] = _mm256_sign_epi16(_mm256_mulhi_epi16(LoadEntries(ScaledFractions + at), fy4), negateLow);
    weights.top[half] = _mm256_sub_epi16(LoadEntries(RowFractions + at), weights.bottom[half]);
  }
  return weights;
}

RASTERKIT_INLINE __m256i HalfSum(const uint32_t* top, const uint32_t* bottom, const BlockWeights& weights, int half) {
  const int32_t at = half * kHalf;
  return _mm256_add_epi32(_mm256_madd_epi16(LoadEntries(top + at), weights.top[half]),
                          _mm256_madd_epi16(LoadEntries(bottom + at), weights.bottom[half]));
}

// The 16 values of one channel in column order, held within 0..31.
RASTERKIT_INLINE __m256i ChannelOfBlock(const uint32_t* top, const uint32_t* bottom, const BlockWeights& weights) {
  const __m256i values = _mm256_blend_epi16(_mm256_srli_epi32(HalfSum(top, bottom, weights, 0), 16),
                                            HalfSum(top, bottom, weights, 1), 0xAA);
  return _mm256_min_epi16(_mm256_max_epi16(values, _mm256_setzero_si256()), _mm256_set1_epi16(31));
}

// All ones in the lane of each pixel whose four samples are unchanged, in column order.
RASTERKIT_INLINE __m256i UnchangedOfBlock(const uint32_t* top, const uint32_t* bottom) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i even = _mm256_or_si256(LoadEntries(top + kChangeEntries), LoadEntries(bottom + kChangeEntries));
  const __m256i odd =
      _mm256_or_si256(LoadEntries(top + kChangeEntries + kHalf), LoadEntries(bottom + kChangeEntries + kHalf));
  return _mm256_blend_epi16(_mm256_cmpeq_epi32(even, zero), _mm256_cmpeq_epi32(odd, zero), 0xAA);
}

// The first `count` pixels (at most 16) written where keepOld is clear.
void StoreSixteen(uint16_t* dst, __m256i pixels, __m256i keepOld, int32_t count) {
  alignas(32) uint16_t group[kBlock];
  memcpy(group, dst, static_cast<size_t>(count) * sizeof(uint16_t));
  const __m256i old = _mm256_load_si256(reinterpret_cast<const __m256i*>(group));
  _mm256_store_si256(reinterpret_cast<__m256i*>(group), _mm256_blendv_epi8(pixels, old, keepOld));
  memcpy(dst, group, static_cast<size_t>(count) * sizeof(uint16_t));
}

RASTERKIT_INLINE __m256i WidenedChannel(__m256i channel) {
  return _mm256_or_si256(_mm256_slli_epi16(channel, 3), _mm256_srli_epi16(channel, 2));
}

// The 16 pixels as XRGB8888 where keepOld is clear, the first `count` of them (at most 16).
RASTERKIT_INLINE void StoreSixteenWide(uint32_t* dst, __m256i red, __m256i green, __m256i blue, __m256i keepOld,
                                       int32_t count) {
  const __m256i blueGreen = _mm256_or_si256(WidenedChannel(blue), _mm256_slli_epi16(WidenedChannel(green), 8));
  const __m256i wideRed = WidenedChannel(red);
  // Unpacking works within each 128-bit half: columns 0-3 and 8-11, then 4-7 and 12-15.
  const __m256i low = _mm256_unpacklo_epi16(blueGreen, wideRed), high = _mm256_unpackhi_epi16(blueGreen, wideRed);
  const __m256i first = _mm256_permute2x128_si256(low, high, 0x20), second = _mm256_permute2x128_si256(low, high, 0x31);
  auto* const at = reinterpret_cast<__m256i*>(dst);
  if (count >= kBlock && _mm256_testz_si256(keepOld, keepOld) != 0) {
    _mm256_storeu_si256(at, first);
    _mm256_storeu_si256(at + 1, second);
    return;
  }
  // Store where the column is below `count` and its pixel not kept.
  const __m256i columns = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i lowKeep = _mm256_unpacklo_epi16(keepOld, keepOld), highKeep = _mm256_unpackhi_epi16(keepOld, keepOld);
  const __m256i firstKeep = _mm256_permute2x128_si256(lowKeep, highKeep, 0x20);
  const __m256i secondKeep = _mm256_permute2x128_si256(lowKeep, highKeep, 0x31);
  const __m256i firstStore = _mm256_andnot_si256(firstKeep, _mm256_cmpgt_epi32(_mm256_set1_epi32(count), columns));
  const __m256i secondStore =
      _mm256_andnot_si256(secondKeep, _mm256_cmpgt_epi32(_mm256_set1_epi32(count - kHalf), columns));
  _mm256_maskstore_epi32(reinterpret_cast<int*>(dst), firstStore, first);
  _mm256_maskstore_epi32(reinterpret_cast<int*>(dst + kHalf), secondStore, second);
}

[[gnu::noinline]] void BilinearRowLoop(const BilinearRow& line) {
  const int32_t width = line.width;
  uint32_t* const wideDst = line.wideDst;
  const bool detectChanges = line.detectChanges;
  uint16_t* const dst = line.dst;
  const uint32_t* top = line.top;
  const uint32_t* bottom = line.bottom;
  const __m256i fy4 = _mm256_set1_epi16(static_cast<int16_t>(4 * line.fy));
  for (int32_t column = 0; column < width; column += kBlock, top += kBlockEntries, bottom += kBlockEntries) {
    __m256i keepOld = _mm256_setzero_si256();
    if (detectChanges) {
      keepOld = UnchangedOfBlock(top, bottom);
      if (_mm256_movemask_epi8(keepOld) == -1) continue;
    }
    const BlockWeights weights = WeightsOfBlock(column, fy4);
    const __m256i blue = ChannelOfBlock(top, bottom, weights);
    const __m256i green = ChannelOfBlock(top + kBlock, bottom + kBlock, weights);
    const __m256i red = ChannelOfBlock(top + 2 * kBlock, bottom + 2 * kBlock, weights);
    if (wideDst != nullptr) {
      StoreSixteenWide(wideDst + column, red, green, blue, keepOld, width - column);
      continue;
    }
    const __m256i pixels =
        _mm256_or_si256(_mm256_or_si256(_mm256_slli_epi16(red, 10), _mm256_slli_epi16(green, 5)), blue);
    const int32_t count = width - column;
    if (count >= kBlock && _mm256_movemask_epi8(keepOld) == 0) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + column), pixels);
    } else {
      StoreSixteen(dst + column, pixels, keepOld, count < kBlock ? count : kBlock);
    }
  }
}

}  // namespace

extern constinit const RowLoops kAvx2RowLoops = WholeRowLoops(BilinearRowLoop, ExpandBlocks, PrepareColumns);

}  // namespace rasterkit

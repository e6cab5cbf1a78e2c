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
// red, then changes, 16 entries apiece. A channel entry holds (c(P(x0)), c(P(x1))) as 16-bit
// lanes, a change entry is nonzero where either sample differs from the previous image's.
// Within each group of 16 entries the columns come as 0-3, 8-11, then 4-7, 12-15: the order
// in which AVX2 unpacks the 16 weights of a block into pairs, and in which packing the two
// halves' results gives the 16 pixels back in order.
//
// A channel's sum is then two multiply-adds per half: (c00, c01) with (w00, w01) and
// (c10, c11) with (w10, w11), exact in 32 bits (the weights fit 16 bits, see kMaxZoomSide).

constexpr int32_t kBlock = 16;
constexpr int32_t kBlockEntries = 4 * kBlock;
constexpr int32_t kChangeEntries = 3 * kBlock;
static_assert(kBlock <= kBilinearSpareColumns, "the last block reads past the row");
static_assert(kBilinearTableLength % kBlock == 0 &&
                  kBilinearTableLength / kBlock * kBlockEntries <= kBilinearExpandedEntries,
              "an expanded row holds a block for every column");

RASTERKIT_INLINE __m256i LoadEntries(const uint32_t* entries) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(entries));
}

RASTERKIT_INLINE void StoreEntries(uint32_t* entries, __m256i value) {
  _mm256_store_si256(reinterpret_cast<__m256i*>(entries), value);
}

RASTERKIT_INLINE __m256i LoadPixelsAt(const void* at) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
}

// Where column `j` (0..15) of a block sits among its 16 entries.
constexpr int32_t EntryOfColumn(int32_t j) { return (j & 3) | (j & 4) << 1 | (j & 8) >> 1; }

uint32_t ChannelPair(uint16_t first, uint16_t next, int shift) {
  return static_cast<uint32_t>((first >> shift) & 0x1F) | static_cast<uint32_t>((next >> shift) & 0x1F) << 16;
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
    block[kChangeEntries + entry] = static_cast<uint32_t>(first ^ expansion.previousRow[x0]) |
                                    static_cast<uint32_t>(next ^ expansion.previousRow[x1]) << 16;
  }
}

// The samples (P(x0), P(x0 + 1)) of eight columns whose x0 lie within base .. base + 14, from
// 16 pixels at base and 16 at base + 1: an even offset from base is a whole dword of the
// first load, an odd one of the second. `index` holds offset / 2, `odd` the offset's low bit
// as the sign bit.
RASTERKIT_INLINE __m256i SamplesNear(const uint16_t* row, int32_t base, __m256i index, __m256 odd) {
  const __m256i even = _mm256_permutevar8x32_epi32(LoadPixelsAt(row + base), index);
  const __m256i shifted = _mm256_permutevar8x32_epi32(LoadPixelsAt(row + base + 1), index);
  return _mm256_castps_si256(_mm256_blendv_ps(_mm256_castsi256_ps(even), _mm256_castsi256_ps(shifted), odd));
}

// Half `half` of the block at `column` (its columns 0-3 and 8-11, or 4-7 and 12-15), every
// column with a neighbour and their first samples within base .. base + 14, where
// base + 16 is still a pixel of the row.
RASTERKIT_INLINE void ExpandHalf(const BilinearExpansion& expansion, uint32_t* block, __m256i first, int32_t base,
                                 int half) {
  const __m256i offset = _mm256_sub_epi32(first, _mm256_set1_epi32(base));
  const __m256i index = _mm256_srli_epi32(offset, 1);
  const __m256 odd = _mm256_castsi256_ps(_mm256_slli_epi32(offset, 31));
  const __m256i samples = SamplesNear(expansion.row, base, index, odd);
  const __m256i channelBits = _mm256_set1_epi16(0x1F);
  uint32_t* entries = block + half * (kBlock / 2);
  StoreEntries(entries, _mm256_and_si256(samples, channelBits));
  StoreEntries(entries + kBlock, _mm256_and_si256(_mm256_srli_epi16(samples, 5), channelBits));
  StoreEntries(entries + 2 * kBlock, _mm256_and_si256(_mm256_srli_epi16(samples, 10), channelBits));
  if (expansion.previousRow != nullptr) {
    const __m256i before = SamplesNear(expansion.previousRow, base, index, odd);
    StoreEntries(entries + kChangeEntries, _mm256_xor_si256(samples, before));
  }
}

void ExpandBlocks(const BilinearExpansion& expansion) {
  const BilinearColumns& columns = *expansion.columns;
  // The last source pixel the vector loads may read.
  const int32_t lastBase = expansion.srcWidth - 1 - kBlock;
  for (int32_t column = 0; column < columns.width; column += kBlock) {
    uint32_t* block = expansion.expanded + column / kBlock * kBlockEntries;
    const int32_t* first = columns.first + column;
    const bool nearby = column + kBlock <= columns.columnsWithNeighbour && first[4] <= lastBase &&
                        first[11] - first[0] <= 14 && first[15] - first[4] <= 14;
    if (!nearby) {
      for (int32_t i = column; i < column + kBlock; ++i) ExpandColumn(expansion, block, i);
      continue;
    }
    const __m256i low = LoadPixelsAt(first), high = LoadPixelsAt(first + 8);
    ExpandHalf(expansion, block, _mm256_permute2x128_si256(low, high, 0x20), first[0], 0);
    ExpandHalf(expansion, block, _mm256_permute2x128_si256(low, high, 0x31), first[4], 1);
  }
}

// Per half of a block: the weights (w00, w01) of the row above and (w10, w11) of the row below.
struct BlockWeights {
  __m256i top[2], bottom[2];
};

RASTERKIT_INLINE BlockWeights WeightsOfBlock(__m256i fx, __m256i fy, __m256i topRowWeight) {
  // (fx * fy) >> 12, exact in 16 bits: the shifted high half plus the top four bits of the low.
  const __m256i fxy =
      _mm256_or_si256(_mm256_slli_epi16(_mm256_mulhi_epi16(fx, fy), 4), _mm256_srli_epi16(_mm256_mullo_epi16(fx, fy), 12));
  const __m256i w01 = _mm256_sub_epi16(fx, fxy);
  const __m256i w00 = _mm256_sub_epi16(topRowWeight, w01);  // 4096 - fy - (fx - fxy)
  const __m256i w10 = _mm256_sub_epi16(fy, fxy);
  return {{_mm256_unpacklo_epi16(w00, w01), _mm256_unpackhi_epi16(w00, w01)},
          {_mm256_unpacklo_epi16(w10, fxy), _mm256_unpackhi_epi16(w10, fxy)}};
}

RASTERKIT_INLINE __m256i HalfChannel(const uint32_t* top, const uint32_t* bottom, const BlockWeights& weights,
                                     int half) {
  const int32_t at = half * (kBlock / 2);
  const __m256i sum = _mm256_add_epi32(_mm256_madd_epi16(LoadEntries(top + at), weights.top[half]),
                                       _mm256_madd_epi16(LoadEntries(bottom + at), weights.bottom[half]));
  return _mm256_srai_epi32(sum, 12);
}

// The 16 values of one channel in column order, held within 0..31.
RASTERKIT_INLINE __m256i ChannelOfBlock(const uint32_t* top, const uint32_t* bottom, const BlockWeights& weights) {
  const __m256i values = _mm256_packus_epi32(HalfChannel(top, bottom, weights, 0), HalfChannel(top, bottom, weights, 1));
  return _mm256_min_epu16(values, _mm256_set1_epi16(31));
}

// All ones in the lane of each pixel whose four samples are unchanged, in column order.
RASTERKIT_INLINE __m256i UnchangedOfBlock(const uint32_t* top, const uint32_t* bottom) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i changes0 = _mm256_or_si256(LoadEntries(top + kChangeEntries), LoadEntries(bottom + kChangeEntries));
  const __m256i changes1 = _mm256_or_si256(LoadEntries(top + kChangeEntries + kBlock / 2),
                                           LoadEntries(bottom + kChangeEntries + kBlock / 2));
  return _mm256_packs_epi32(_mm256_cmpeq_epi32(changes0, zero), _mm256_cmpeq_epi32(changes1, zero));
}

// The first `count` pixels (at most 16) written where keepOld is clear.
void StoreSixteen(uint16_t* dst, __m256i pixels, __m256i keepOld, int32_t count) {
  alignas(32) uint16_t group[kBlock];
  memcpy(group, dst, static_cast<size_t>(count) * sizeof(uint16_t));
  const __m256i old = _mm256_load_si256(reinterpret_cast<const __m256i*>(group));
  _mm256_store_si256(reinterpret_cast<__m256i*>(group), _mm256_blendv_epi8(pixels, old, keepOld));
  memcpy(dst, group, static_cast<size_t>(count) * sizeof(uint16_t));
}

[[gnu::noinline]] void BilinearRowLoop(const BilinearRow& line) {
  const BilinearColumns& columns = *line.columns;
  const __m256i fy = _mm256_set1_epi16(static_cast<int16_t>(line.fy));
  const __m256i topRowWeight = _mm256_set1_epi16(static_cast<int16_t>(kFixedOne - line.fy));
  for (int32_t column = 0; column < columns.width; column += kBlock) {
    const uint32_t* top = line.top + column / kBlock * kBlockEntries;
    const uint32_t* bottom = line.bottom + column / kBlock * kBlockEntries;
    __m256i keepOld = _mm256_setzero_si256();
    if (line.detectChanges) {
      keepOld = UnchangedOfBlock(top, bottom);
      if (_mm256_movemask_epi8(keepOld) == -1) continue;
    }
    const BlockWeights weights = WeightsOfBlock(LoadPixelsAt(columns.fx + column), fy, topRowWeight);
    const __m256i blue = ChannelOfBlock(top, bottom, weights);
    const __m256i green = ChannelOfBlock(top + kBlock, bottom + kBlock, weights);
    const __m256i red = ChannelOfBlock(top + 2 * kBlock, bottom + 2 * kBlock, weights);
    const __m256i pixels =
        _mm256_or_si256(_mm256_or_si256(_mm256_slli_epi16(red, 10), _mm256_slli_epi16(green, 5)), blue);
    const int32_t count = columns.width - column;
    if (count >= kBlock && _mm256_movemask_epi8(keepOld) == 0) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(line.dst + column), pixels);
    } else {
      StoreSixteen(line.dst + column, pixels, keepOld, count < kBlock ? count : kBlock);
    }
  }
}

}  // namespace

extern constinit const RowLoops kAvx2RowLoops = WholeRowLoops(BilinearRowLoop, ExpandBlocks);

}  // namespace rasterkit

// The AVX2 path: the copy and blend loops with AVX2's intrinsics, 16 pixels per vector, and
// the bilinear zoom's rows sixteen pixels at a time with 16-bit packed arithmetic.
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
// Bilinear zoom rows
//
// One multiply-add of a sample entry (P(x0), P(x1)) with the weights (w00, w01) or (w10, w11)
// gives half a channel's sum. The 256-bit packs work within 128-bit halves, so the packed
// lanes come out as pixels 0-3, 8-11, 4-7, 12-15 and are put in order before storing.

constexpr int32_t kWideGroup = 16;
static_assert(kWideGroup <= kBilinearSpareColumns, "the last group reads past the row");

RASTERKIT_INLINE __m256i LoadWide(const uint32_t* entries) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(entries));
}

struct RowWeightsWide {
  __m256i top, bottom, fy;
  const uint32_t* cross;
  const uint32_t* fraction;
};

struct PairWeightsWide {
  __m256i top, bottom;
};

RASTERKIT_INLINE PairWeightsWide WeightsOfEightWide(const RowWeightsWide& row, int32_t column) {
  const __m256i fraction = LoadWide(row.fraction + column);
  const __m256i low = _mm256_mullo_epi16(fraction, row.fy);
  const __m256i high = _mm256_mulhi_epi16(fraction, row.fy);
  const __m256i fxy = _mm256_or_si256(_mm256_slli_epi16(high, 4), _mm256_srli_epi16(low, 12));
  const __m256i negateHigh = _mm256_set1_epi32(static_cast<int32_t>(0xFFFF0000u));
  const __m256i signedFxy = _mm256_sub_epi16(_mm256_xor_si256(fxy, negateHigh), negateHigh);
  return {_mm256_add_epi16(_mm256_add_epi16(row.top, LoadWide(row.cross + column)), signedFxy),
          _mm256_sub_epi16(row.bottom, signedFxy)};
}

RASTERKIT_INLINE __m256i ChannelOfEightWide(__m256i top, __m256i bottom, const PairWeightsWide& weights) {
  const __m256i sum = _mm256_add_epi32(_mm256_madd_epi16(top, weights.top), _mm256_madd_epi16(bottom, weights.bottom));
  return _mm256_srai_epi32(sum, 12);
}

RASTERKIT_INLINE __m256i ChannelOfSixteen(__m256i top0, __m256i bottom0, __m256i top1, __m256i bottom1,
                                          const PairWeightsWide& weights0, const PairWeightsWide& weights1) {
  const __m256i value =
      _mm256_packs_epi32(ChannelOfEightWide(top0, bottom0, weights0), ChannelOfEightWide(top1, bottom1, weights1));
  return _mm256_min_epi16(_mm256_max_epi16(value, _mm256_setzero_si256()), _mm256_set1_epi16(31));
}

RASTERKIT_INLINE __m256i ChannelBits(__m256i samples, int shift) {
  return _mm256_and_si256(_mm256_srli_epi16(samples, shift), _mm256_set1_epi16(0x1F));
}

// Sixteen pixels, in packed order.
RASTERKIT_INLINE __m256i InterpolateSixteen(const RowWeightsWide& row, const uint32_t* topSamples,
                                            const uint32_t* bottomSamples, int32_t column) {
  const PairWeightsWide weights0 = WeightsOfEightWide(row, column);
  const PairWeightsWide weights1 = WeightsOfEightWide(row, column + 8);
  const __m256i top0 = LoadWide(topSamples + column);
  const __m256i top1 = LoadWide(topSamples + column + 8);
  const __m256i bottom0 = LoadWide(bottomSamples + column);
  const __m256i bottom1 = LoadWide(bottomSamples + column + 8);
  const __m256i blue = ChannelOfSixteen(ChannelBits(top0, 0), ChannelBits(bottom0, 0), ChannelBits(top1, 0),
                                        ChannelBits(bottom1, 0), weights0, weights1);
  const __m256i green = ChannelOfSixteen(ChannelBits(top0, 5), ChannelBits(bottom0, 5), ChannelBits(top1, 5),
                                         ChannelBits(bottom1, 5), weights0, weights1);
  const __m256i red = ChannelOfSixteen(ChannelBits(top0, 10), ChannelBits(bottom0, 10), ChannelBits(top1, 10),
                                       ChannelBits(bottom1, 10), weights0, weights1);
  return _mm256_or_si256(_mm256_or_si256(_mm256_slli_epi16(red, 10), _mm256_slli_epi16(green, 5)), blue);
}

// All ones in the lane of each pixel whose four samples are unchanged, in packed order.
RASTERKIT_INLINE __m256i UnchangedOfSixteen(const uint32_t* topChanges, const uint32_t* bottomChanges, int32_t column) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i changes0 = _mm256_or_si256(LoadWide(topChanges + column), LoadWide(bottomChanges + column));
  const __m256i changes1 = _mm256_or_si256(LoadWide(topChanges + column + 8), LoadWide(bottomChanges + column + 8));
  return _mm256_packs_epi32(_mm256_cmpeq_epi32(changes0, zero), _mm256_cmpeq_epi32(changes1, zero));
}

RASTERKIT_INLINE __m256i InPixelOrder(__m256i packed) { return _mm256_permute4x64_epi64(packed, 0xD8); }

// The first `count` pixels (at most 16) written where keepOld is clear.
void StoreSixteen(uint16_t* dst, __m256i pixels, __m256i keepOld, int32_t count) {
  alignas(32) uint16_t group[kWideGroup];
  memcpy(group, dst, static_cast<size_t>(count) * sizeof(uint16_t));
  const __m256i old = _mm256_load_si256(reinterpret_cast<const __m256i*>(group));
  _mm256_store_si256(reinterpret_cast<__m256i*>(group), _mm256_blendv_epi8(pixels, old, keepOld));
  memcpy(dst, group, static_cast<size_t>(count) * sizeof(uint16_t));
}

[[gnu::noinline]] void BilinearRowLoop(const BilinearRow line) {
  const RowWeightsWide row{_mm256_set1_epi32(static_cast<uint16_t>(kFixedOne - line.fy)),
                           _mm256_set1_epi32(static_cast<uint16_t>(line.fy)),
                           _mm256_set1_epi16(static_cast<int16_t>(line.fy)), line.columnCross, line.columnFraction};
  const bool detectChanges = line.topChanges != nullptr;
  for (int32_t column = 0; column < line.width; column += kWideGroup) {
    __m256i keepOld = _mm256_setzero_si256();
    if (detectChanges) {
      keepOld = UnchangedOfSixteen(line.topChanges, line.bottomChanges, column);
      const int32_t kept = _mm256_movemask_epi8(keepOld);
      if (kept == -1) continue;
      if (kept != 0) keepOld = InPixelOrder(keepOld);
    }
    const __m256i pixels = InPixelOrder(InterpolateSixteen(row, line.topSamples, line.bottomSamples, column));
    const int32_t count = line.width - column;
    if (count >= kWideGroup && _mm256_movemask_epi8(keepOld) == 0) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(line.dst + column), pixels);
    } else {
      StoreSixteen(line.dst + column, pixels, keepOld, count < kWideGroup ? count : kWideGroup);
    }
  }
}

}  // namespace

extern constinit const RowLoops kAvx2RowLoops = WholeRowLoops(BilinearRowLoop);

}  // namespace rasterkit

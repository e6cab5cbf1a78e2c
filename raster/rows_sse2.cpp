// SPDX-License-Identifier: MIT
// The SSE2 path: the copy and blend loops with SSE2's intrinsics, 8 pixels per vector, and
// the bilinear zoom's rows eight pixels at a time with 16-bit packed arithmetic. Every x86-64
// processor runs it.
#include <immintrin.h>
#include <string.h>

#include <type_traits>

#include "raster/row_loops.h"

#define RASTERKIT_X86

namespace rasterkit {
namespace {

constexpr int kLanes = 8;
#include "raster/blit_rows.inc"

// ---------------------------------------------------------------------------------------------
// Bilinear zoom rows
//
// One multiply-add of a sample entry (P(x0), P(x1)) with the weights (w00, w01) or (w10, w11)
// gives half a channel's sum.

constexpr int32_t kGroup = 8;
static_assert(kGroup <= kBilinearSpareColumns, "the last group reads past the row");

__m128i Load(const uint32_t* entries) { return _mm_load_si128(reinterpret_cast<const __m128i*>(entries)); }

struct RowWeights {
  __m128i top;     // lanes (4096 - fy, 0)
  __m128i bottom;  // lanes (fy, 0)
  __m128i fy;      // fy in every 16-bit lane
  const uint32_t* cross;
  const uint32_t* fraction;
};

struct PairWeights {
  __m128i top;     // (w00, w01) per pixel
  __m128i bottom;  // (w10, w11) per pixel
};

// Weights of the four pixels whose columns start at `column`.
PairWeights WeightsOfFour(const RowWeights& row, int32_t column) {
  const __m128i fraction = Load(row.fraction + column);
  const __m128i low = _mm_mullo_epi16(fraction, row.fy);
  const __m128i high = _mm_mulhi_epi16(fraction, row.fy);
  // (fx * fy) >> 12, exact in 16 bits: the shifted high half plus the top four bits of the low.
  const __m128i fxy = _mm_or_si128(_mm_slli_epi16(high, 4), _mm_srli_epi16(low, 12));
  // (fxy, -fxy)
  const __m128i negateHigh = _mm_set1_epi32(static_cast<int32_t>(0xFFFF0000u));
  const __m128i signedFxy = _mm_sub_epi16(_mm_xor_si128(fxy, negateHigh), negateHigh);
  return {_mm_add_epi16(_mm_add_epi16(row.top, Load(row.cross + column)), signedFxy),
          _mm_sub_epi16(row.bottom, signedFxy)};
}

__m128i ChannelOfFour(__m128i top, __m128i bottom, const PairWeights& weights) {
  const __m128i sum = _mm_add_epi32(_mm_madd_epi16(top, weights.top), _mm_madd_epi16(bottom, weights.bottom));
  return _mm_srai_epi32(sum, 12);
}

__m128i ChannelOfEight(__m128i top0, __m128i bottom0, __m128i top1, __m128i bottom1, const PairWeights& weights0,
                       const PairWeights& weights1) {
  const __m128i value = _mm_packs_epi32(ChannelOfFour(top0, bottom0, weights0), ChannelOfFour(top1, bottom1, weights1));
  return _mm_min_epi16(_mm_max_epi16(value, _mm_setzero_si128()), _mm_set1_epi16(31));
}

struct ChannelsOfEight {
  __m128i red, green, blue;  // 16-bit lanes, 0..31
};

// Eight destination pixels from the expanded rows above and below, starting at `column`.
ChannelsOfEight InterpolateEight(const RowWeights& row, const uint32_t* topSamples, const uint32_t* bottomSamples,
                                 int32_t column) {
  const PairWeights weights0 = WeightsOfFour(row, column);
  const PairWeights weights1 = WeightsOfFour(row, column + 4);
  const __m128i top0 = Load(topSamples + column);
  const __m128i top1 = Load(topSamples + column + 4);
  const __m128i bottom0 = Load(bottomSamples + column);
  const __m128i bottom1 = Load(bottomSamples + column + 4);
  const __m128i five = _mm_set1_epi16(0x1F);
  const __m128i blue = ChannelOfEight(_mm_and_si128(top0, five), _mm_and_si128(bottom0, five),
                                      _mm_and_si128(top1, five), _mm_and_si128(bottom1, five), weights0, weights1);
  const __m128i green =
      ChannelOfEight(_mm_and_si128(_mm_srli_epi16(top0, 5), five), _mm_and_si128(_mm_srli_epi16(bottom0, 5), five),
                     _mm_and_si128(_mm_srli_epi16(top1, 5), five), _mm_and_si128(_mm_srli_epi16(bottom1, 5), five),
                     weights0, weights1);
  const __m128i red =
      ChannelOfEight(_mm_and_si128(_mm_srli_epi16(top0, 10), five), _mm_and_si128(_mm_srli_epi16(bottom0, 10), five),
                     _mm_and_si128(_mm_srli_epi16(top1, 10), five), _mm_and_si128(_mm_srli_epi16(bottom1, 10), five),
                     weights0, weights1);
  return {red, green, blue};
}

__m128i PackedEight(const ChannelsOfEight& channels) {
  return _mm_or_si128(_mm_or_si128(_mm_slli_epi16(channels.red, 10), _mm_slli_epi16(channels.green, 5)), channels.blue);
}

__m128i WidenedChannel(__m128i channel) { return _mm_or_si128(_mm_slli_epi16(channel, 3), _mm_srli_epi16(channel, 2)); }

// The eight pixels as XRGB8888 where keepOld is clear, the first `count` of them.
void StoreEightWide(uint32_t* dst, const ChannelsOfEight& channels, __m128i keepOld, int32_t count) {
  const __m128i blueGreen =
      _mm_or_si128(WidenedChannel(channels.blue), _mm_slli_epi16(WidenedChannel(channels.green), 8));
  const __m128i red = WidenedChannel(channels.red);
  const __m128i low = _mm_unpacklo_epi16(blueGreen, red), high = _mm_unpackhi_epi16(blueGreen, red);
  const int keep = _mm_movemask_epi8(keepOld);
  if (count == kGroup && keep == 0) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), low);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 4), high);
    return;
  }
  alignas(16) uint32_t group[kGroup];
  _mm_store_si128(reinterpret_cast<__m128i*>(group), low);
  _mm_store_si128(reinterpret_cast<__m128i*>(group + 4), high);
  for (int32_t k = 0; k < count; ++k) {
    if ((keep >> (2 * k) & 1) == 0) dst[k] = group[k];
  }
}

// All ones in the 16-bit lane of each of the eight pixels whose four samples are unchanged.
__m128i UnchangedOfEight(const uint32_t* topChanges, const uint32_t* bottomChanges, int32_t column) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i changes0 = _mm_or_si128(Load(topChanges + column), Load(bottomChanges + column));
  const __m128i changes1 = _mm_or_si128(Load(topChanges + column + 4), Load(bottomChanges + column + 4));
  return _mm_packs_epi32(_mm_cmpeq_epi32(changes0, zero), _mm_cmpeq_epi32(changes1, zero));
}

void StoreEight(uint16_t* dst, __m128i pixels, __m128i keepOld, int32_t count) {
  alignas(16) uint16_t group[kGroup];
  memcpy(group, dst, static_cast<size_t>(count) * sizeof(uint16_t));
  const __m128i old = _mm_load_si128(reinterpret_cast<const __m128i*>(group));
  const __m128i merged = _mm_or_si128(_mm_and_si128(keepOld, old), _mm_andnot_si128(keepOld, pixels));
  _mm_store_si128(reinterpret_cast<__m128i*>(group), merged);
  memcpy(dst, group, static_cast<size_t>(count) * sizeof(uint16_t));
}

// The expanded rows are the portable path's: samples, then their changes.
// On a copy of the request: the stores to the destination cannot change a local, so its fields
// stay in registers.
[[gnu::noinline]] void BilinearRowLoop(const BilinearRow& request) {
  const BilinearRow line = request;
  const int32_t width = line.width;
  const RowWeights row{_mm_set1_epi32(static_cast<uint16_t>(kFixedOne - line.fy)),
                       _mm_set1_epi32(static_cast<uint16_t>(line.fy)), _mm_set1_epi16(static_cast<int16_t>(line.fy)),
                       line.columns->cross, line.columns->fraction};
  const uint32_t* topChanges = line.top + kBilinearTableLength;
  const uint32_t* bottomChanges = line.bottom + kBilinearTableLength;
  for (int32_t column = 0; column < width; column += kGroup) {
    __m128i keepOld = _mm_setzero_si128();
    if (line.detectChanges) {
      keepOld = UnchangedOfEight(topChanges, bottomChanges, column);
      if (_mm_movemask_epi8(keepOld) == 0xFFFF) continue;
    }
    const ChannelsOfEight channels = InterpolateEight(row, line.top, line.bottom, column);
    const int32_t count = width - column;
    if (line.wideDst != nullptr) {
      StoreEightWide(line.wideDst + column, channels, keepOld, count < kGroup ? count : kGroup);
      continue;
    }
    const __m128i pixels = PackedEight(channels);
    if (count >= kGroup && _mm_movemask_epi8(keepOld) == 0) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(line.dst + column), pixels);
    } else {
      StoreEight(line.dst + column, pixels, keepOld, count < kGroup ? count : kGroup);
    }
  }
}

}  // namespace

extern constinit const RowLoops kSse2RowLoops = WholeRowLoops(BilinearRowLoop);

}  // namespace rasterkit

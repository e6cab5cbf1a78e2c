// Whole-image zooms of RGB555 images: nearest (myZoom1), bilinear (myZoom3), bilinear that
// recomputes only the pixels whose source samples changed (myZoomPD) and bicubic (myZoom).
//
// Row lengths are in pixels. Positions and weights are fixed point with 12 fractional bits
// (4096 = 1.0). Coordinates and fractions are computed once per column and once per row; the
// bilinear inner loop works on eight pixels at a time with 16-bit packed arithmetic, sixteen on
// processors with AVX2; both give the same bits.
#include <immintrin.h>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>

#include "raster/cubic_neighbours.h"
#include "raster/rasterkit.h"

namespace {

constexpr int32_t kFixedOne = 4096;

// The largest destination width and height the scratch tables serve (a 4K display's zoom
// surface fits). It also keeps every bilinear weight within 16 bits: a fraction can fall
// below zero by at most its destination index.
constexpr int32_t kMaxZoomSide = 4096;

// Bilinear rows are computed in groups of eight pixels (sixteen with AVX2); the tables carry
// one spare wide group so that the last group of a row never reads past them.
constexpr int32_t kGroup = 8;
constexpr int32_t kWideGroup = 16;
constexpr int32_t kTableLength = kMaxZoomSide + kWideGroup;

bool ZoomArgumentsUsable(int32_t dstPitchPixels, int32_t srcPitchPixels, int32_t srcHeight, int32_t dstHeight,
                         int32_t srcWidth, int32_t dstWidth) {
  return srcWidth > 0 && srcHeight > 0 && dstWidth > 0 && dstHeight > 0 && srcPitchPixels >= srcWidth &&
         dstPitchPixels >= dstWidth;
}

bool WithinTables(int32_t dstHeight, int32_t dstWidth) { return dstWidth <= kMaxZoomSide && dstHeight <= kMaxZoomSide; }

// Where destination index `index` samples along one axis: the source index it starts from,
// the neighbour after it (clamped to the last source index, and equal to it for the last
// destination index) and the fraction between them. The step is truncated, so the fraction
// can come out slightly negative; it is used as it is.
struct AxisSample {
  int32_t first;
  int32_t next;
  int32_t fraction;
};

int64_t FixedStep(int32_t srcSize, int32_t dstSize) { return int64_t{srcSize} * kFixedOne / dstSize; }

AxisSample SampleAxis(int32_t index, int32_t srcSize, int32_t dstSize, int64_t step) {
  const int64_t first = int64_t{index} * srcSize / dstSize;
  const int64_t fraction = index * step - first * kFixedOne;
  int64_t next = first;
  if (index < dstSize - 1 && first < srcSize - 1) next = first + 1;
  return {static_cast<int32_t>(first), static_cast<int32_t>(next), static_cast<int32_t>(fraction)};
}

const uint16_t* SourceRow(const void* image, int32_t pitchPixels, int32_t row) {
  return static_cast<const uint16_t*>(image) + static_cast<ptrdiff_t>(row) * pitchPixels;
}

uint16_t* DestinationRow(void* image, int32_t pitchPixels, int32_t row) {
  return static_cast<uint16_t*>(image) + static_cast<ptrdiff_t>(row) * pitchPixels;
}

uint32_t PackLanes(int32_t low, int32_t high) {
  return static_cast<uint32_t>(static_cast<uint16_t>(low)) | static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16;
}

// ---------------------------------------------------------------------------------------------
// Bilinear (myZoom3, myZoomPD)
//
// With fxy = (fx * fy) >> 12 the weights are w00 = 4096 - fx - (fy - fxy), w01 = fx - fxy,
// w10 = fy - fxy and w11 = fxy. Each source row used is expanded once into one 32-bit entry per
// destination column holding its two samples (P(x0), P(x1)) as 16-bit lanes, so that one
// multiply-add of such an entry with (w00, w01) or (w10, w11) gives half a channel's sum.

// Per destination column: the source column x0, and the fraction as (-fx, fx) and (fx, fx).
alignas(32) int32_t ColumnFirst[kTableLength];
alignas(32) uint32_t ColumnCross[kTableLength];
alignas(32) uint32_t ColumnFraction[kTableLength];
// Columns 0 .. ColumnsWithNeighbour - 1 sample two adjacent source pixels; the rest (the last
// column, and any that start on the last source column) sample one pixel twice.
int32_t ColumnsWithNeighbour;

void BuildBilinearColumns(int32_t srcWidth, int32_t dstWidth) {
  const int64_t step = FixedStep(srcWidth, dstWidth);
  ColumnsWithNeighbour = dstWidth;
  for (int32_t i = 0; i < dstWidth; ++i) {
    const AxisSample column = SampleAxis(i, srcWidth, dstWidth, step);
    ColumnFirst[i] = column.first;
    ColumnCross[i] = PackLanes(-column.fraction, column.fraction);
    ColumnFraction[i] = PackLanes(column.fraction, column.fraction);
    if (column.next == column.first && ColumnsWithNeighbour == dstWidth) ColumnsWithNeighbour = i;
  }
  for (int32_t i = dstWidth; i < dstWidth + kWideGroup; ++i) {
    ColumnFirst[i] = ColumnFirst[dstWidth - 1];
    ColumnCross[i] = 0;
    ColumnFraction[i] = 0;
  }
}

// One source row seen through the column table, kept while consecutive destination rows use it.
struct ExpandedRow {
  int32_t sourceRow;
  bool samplesReady;
  bool changed;  // some pixel of the row differs from the previous image's row
  alignas(32) uint32_t samples[kTableLength];
  alignas(32) uint32_t changes[kTableLength];  // samples XOR the previous image's samples
};

ExpandedRow ExpandedRows[2];
alignas(32) const uint32_t NoChanges[kTableLength] = {};

void GatherSamples(uint32_t* samples, const uint16_t* row, int32_t dstWidth) {
  int32_t i = 0;
  for (; i < ColumnsWithNeighbour; ++i) memcpy(&samples[i], row + ColumnFirst[i], sizeof(uint32_t));
  for (; i < dstWidth + kWideGroup; ++i) samples[i] = PackLanes(row[ColumnFirst[i]], row[ColumnFirst[i]]);
}

// The samples of the previous image's row XOR `samples`: zero where both samples are the same.
void GatherChanges(uint32_t* changes, const uint32_t* samples, const uint16_t* previousRow, int32_t dstWidth) {
  int32_t i = 0;
  for (; i < ColumnsWithNeighbour; ++i) {
    uint32_t previous;
    memcpy(&previous, previousRow + ColumnFirst[i], sizeof(uint32_t));
    changes[i] = previous ^ samples[i];
  }
  for (; i < dstWidth; ++i)
    changes[i] = PackLanes(previousRow[ColumnFirst[i]], previousRow[ColumnFirst[i]]) ^ samples[i];
  for (; i < dstWidth + kWideGroup; ++i) changes[i] = 0;
}

struct BilinearImages {
  const void* src;
  const void* prev;  // null: every pixel counts as changed
  int32_t srcPitchPixels;
  int32_t dstWidth;
  int32_t srcWidth;
};

void ForgetExpandedRows() {
  ExpandedRows[0].sourceRow = -1;
  ExpandedRows[1].sourceRow = -1;
}

// The slot holding source row `row`, filled (without its samples) if needed; the slot `keep`
// is not reused.
ExpandedRow& RowSlot(const BilinearImages& images, int32_t row, const ExpandedRow* keep) {
  for (ExpandedRow& slot : ExpandedRows) {
    if (slot.sourceRow == row) return slot;
  }
  ExpandedRow& slot = (keep == &ExpandedRows[0]) ? ExpandedRows[1] : ExpandedRows[0];
  slot.sourceRow = row;
  slot.samplesReady = false;
  slot.changed = images.prev == nullptr || memcmp(SourceRow(images.src, images.srcPitchPixels, row),
                                                  SourceRow(images.prev, images.srcPitchPixels, row),
                                                  static_cast<size_t>(images.srcWidth) * sizeof(uint16_t)) != 0;
  return slot;
}

void PrepareSamples(const BilinearImages& images, ExpandedRow& slot) {
  if (slot.samplesReady) return;
  GatherSamples(slot.samples, SourceRow(images.src, images.srcPitchPixels, slot.sourceRow), images.dstWidth);
  if (images.prev != nullptr && slot.changed) {
    GatherChanges(slot.changes, slot.samples, SourceRow(images.prev, images.srcPitchPixels, slot.sourceRow),
                  images.dstWidth);
  }
  slot.samplesReady = true;
}

const uint32_t* ChangesOf(const ExpandedRow& slot) { return slot.changed ? slot.changes : NoChanges; }

__m128i Load(const uint32_t* entries) { return _mm_load_si128(reinterpret_cast<const __m128i*>(entries)); }

struct RowWeights {
  __m128i top;     // lanes (4096 - fy, 0)
  __m128i bottom;  // lanes (fy, 0)
  __m128i fy;      // fy in every 16-bit lane
};

struct PairWeights {
  __m128i top;     // (w00, w01) per pixel
  __m128i bottom;  // (w10, w11) per pixel
};

// Weights of the four pixels whose columns start at `column`.
PairWeights WeightsOfFour(const RowWeights& row, int32_t column) {
  const __m128i fraction = Load(&ColumnFraction[column]);
  const __m128i low = _mm_mullo_epi16(fraction, row.fy);
  const __m128i high = _mm_mulhi_epi16(fraction, row.fy);
  // (fx * fy) >> 12, exact in 16 bits: the shifted high half plus the top four bits of the low.
  const __m128i fxy = _mm_or_si128(_mm_slli_epi16(high, 4), _mm_srli_epi16(low, 12));
  // (fxy, -fxy)
  const __m128i negateHigh = _mm_set1_epi32(static_cast<int32_t>(0xFFFF0000u));
  const __m128i signedFxy = _mm_sub_epi16(_mm_xor_si128(fxy, negateHigh), negateHigh);
  return {_mm_add_epi16(_mm_add_epi16(row.top, Load(&ColumnCross[column])), signedFxy),
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

// Eight destination pixels from the expanded rows above and below, starting at `column`.
__m128i InterpolateEight(const RowWeights& row, const uint32_t* topSamples, const uint32_t* bottomSamples,
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
  return _mm_or_si128(_mm_or_si128(_mm_slli_epi16(red, 10), _mm_slli_epi16(green, 5)), blue);
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

[[gnu::noinline]] void BilinearRow(uint16_t* dst, const ExpandedRow& top, const ExpandedRow& bottom, int32_t fy,
                                   int32_t width, bool detectChanges) {
  const RowWeights row{_mm_set1_epi32(static_cast<int32_t>(PackLanes(kFixedOne - fy, 0))),
                       _mm_set1_epi32(static_cast<int32_t>(PackLanes(fy, 0))),
                       _mm_set1_epi16(static_cast<int16_t>(fy))};
  const uint32_t* topChanges = ChangesOf(top);
  const uint32_t* bottomChanges = ChangesOf(bottom);
  for (int32_t column = 0; column < width; column += kGroup) {
    __m128i keepOld = _mm_setzero_si128();
    if (detectChanges) {
      keepOld = UnchangedOfEight(topChanges, bottomChanges, column);
      if (_mm_movemask_epi8(keepOld) == 0xFFFF) continue;
    }
    const __m128i pixels = InterpolateEight(row, top.samples, bottom.samples, column);
    const int32_t count = width - column;
    if (count >= kGroup && _mm_movemask_epi8(keepOld) == 0) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + column), pixels);
    } else {
      StoreEight(dst + column, pixels, keepOld, count < kGroup ? count : kGroup);
    }
  }
}

// The same row sixteen pixels at a time. The 256-bit packs work within 128-bit halves, so the
// packed lanes come out as pixels 0-3, 8-11, 4-7, 12-15 and are put in order before storing.
#define ZOOM_AVX2 [[gnu::target("avx2"), gnu::always_inline]] inline

ZOOM_AVX2 __m256i LoadWide(const uint32_t* entries) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(entries));
}

struct RowWeightsWide {
  __m256i top, bottom, fy;
};

struct PairWeightsWide {
  __m256i top, bottom;
};

ZOOM_AVX2 PairWeightsWide WeightsOfEightWide(const RowWeightsWide& row, int32_t column) {
  const __m256i fraction = LoadWide(&ColumnFraction[column]);
  const __m256i low = _mm256_mullo_epi16(fraction, row.fy);
  const __m256i high = _mm256_mulhi_epi16(fraction, row.fy);
  const __m256i fxy = _mm256_or_si256(_mm256_slli_epi16(high, 4), _mm256_srli_epi16(low, 12));
  const __m256i negateHigh = _mm256_set1_epi32(static_cast<int32_t>(0xFFFF0000u));
  const __m256i signedFxy = _mm256_sub_epi16(_mm256_xor_si256(fxy, negateHigh), negateHigh);
  return {_mm256_add_epi16(_mm256_add_epi16(row.top, LoadWide(&ColumnCross[column])), signedFxy),
          _mm256_sub_epi16(row.bottom, signedFxy)};
}

ZOOM_AVX2 __m256i ChannelOfEightWide(__m256i top, __m256i bottom, const PairWeightsWide& weights) {
  const __m256i sum = _mm256_add_epi32(_mm256_madd_epi16(top, weights.top), _mm256_madd_epi16(bottom, weights.bottom));
  return _mm256_srai_epi32(sum, 12);
}

ZOOM_AVX2 __m256i ChannelOfSixteen(__m256i top0, __m256i bottom0, __m256i top1, __m256i bottom1,
                                   const PairWeightsWide& weights0, const PairWeightsWide& weights1) {
  const __m256i value =
      _mm256_packs_epi32(ChannelOfEightWide(top0, bottom0, weights0), ChannelOfEightWide(top1, bottom1, weights1));
  return _mm256_min_epi16(_mm256_max_epi16(value, _mm256_setzero_si256()), _mm256_set1_epi16(31));
}

ZOOM_AVX2 __m256i ChannelBits(__m256i samples, int shift) {
  return _mm256_and_si256(_mm256_srli_epi16(samples, shift), _mm256_set1_epi16(0x1F));
}

// Sixteen pixels, in packed order.
ZOOM_AVX2 __m256i InterpolateSixteen(const RowWeightsWide& row, const uint32_t* topSamples,
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
ZOOM_AVX2 __m256i UnchangedOfSixteen(const uint32_t* topChanges, const uint32_t* bottomChanges, int32_t column) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i changes0 = _mm256_or_si256(LoadWide(topChanges + column), LoadWide(bottomChanges + column));
  const __m256i changes1 = _mm256_or_si256(LoadWide(topChanges + column + 8), LoadWide(bottomChanges + column + 8));
  return _mm256_packs_epi32(_mm256_cmpeq_epi32(changes0, zero), _mm256_cmpeq_epi32(changes1, zero));
}

ZOOM_AVX2 __m256i InPixelOrder(__m256i packed) { return _mm256_permute4x64_epi64(packed, 0xD8); }

[[gnu::target("avx2"), gnu::noinline]] void BilinearRowWide(uint16_t* dst, const ExpandedRow& top,
                                                            const ExpandedRow& bottom, int32_t fy, int32_t width,
                                                            bool detectChanges) {
  const RowWeightsWide row{_mm256_set1_epi32(static_cast<int32_t>(PackLanes(kFixedOne - fy, 0))),
                           _mm256_set1_epi32(static_cast<int32_t>(PackLanes(fy, 0))),
                           _mm256_set1_epi16(static_cast<int16_t>(fy))};
  const uint32_t* topChanges = ChangesOf(top);
  const uint32_t* bottomChanges = ChangesOf(bottom);
  for (int32_t column = 0; column < width; column += kWideGroup) {
    __m256i keepOld = _mm256_setzero_si256();
    if (detectChanges) {
      keepOld = UnchangedOfSixteen(topChanges, bottomChanges, column);
      const int32_t kept = _mm256_movemask_epi8(keepOld);
      if (kept == -1) continue;
      if (kept != 0) keepOld = InPixelOrder(keepOld);
    }
    const __m256i pixels = InPixelOrder(InterpolateSixteen(row, top.samples, bottom.samples, column));
    const int32_t count = width - column;
    if (count >= kWideGroup && _mm256_movemask_epi8(keepOld) == 0) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + column), pixels);
      continue;
    }
    // A partly unchanged or a last, shorter group: as two groups of eight.
    for (int32_t half = 0; half < 2 && half * kGroup < count; ++half) {
      const int32_t halfCount = count - half * kGroup;
      const __m128i halfPixels = half == 0 ? _mm256_castsi256_si128(pixels) : _mm256_extracti128_si256(pixels, 1);
      const __m128i halfKeep = half == 0 ? _mm256_castsi256_si128(keepOld) : _mm256_extracti128_si256(keepOld, 1);
      StoreEight(dst + column + half * kGroup, halfPixels, halfKeep, halfCount < kGroup ? halfCount : kGroup);
    }
  }
}

// The sixteen-pixel rows where the processor has AVX2. RASTERKIT_BASELINE in the environment
// keeps the eight-pixel rows, so that both can be checked on one machine.
bool UseWideRows() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") && getenv("RASTERKIT_BASELINE") == nullptr;
}

// Fills destination rows 0 .. rowsToWrite - 1. With a previous image, a destination pixel is
// written only when one of its four source samples differs from the previous image's.
void BilinearZoom(void* dstPtr, int32_t dstPitchPixels, int32_t dstHeight, int32_t rowsToWrite,
                  const BilinearImages& images, int32_t srcHeight) {
  BuildBilinearColumns(images.srcWidth, images.dstWidth);
  ForgetExpandedRows();
  const auto row = UseWideRows() ? BilinearRowWide : BilinearRow;
  const int64_t stepY = FixedStep(srcHeight, dstHeight);
  for (int32_t k = 0; k < rowsToWrite; ++k) {
    const AxisSample sample = SampleAxis(k, srcHeight, dstHeight, stepY);
    ExpandedRow& top = RowSlot(images, sample.first, nullptr);
    ExpandedRow& bottom = RowSlot(images, sample.next, &top);
    if (!top.changed && !bottom.changed) continue;
    PrepareSamples(images, top);
    PrepareSamples(images, bottom);
    row(DestinationRow(dstPtr, dstPitchPixels, k), top, bottom, sample.fraction, images.dstWidth,
        images.prev != nullptr);
  }
}

// ---------------------------------------------------------------------------------------------
// Bicubic (myZoom)

// Cubic convolution weight with parameter -1 for a distance t >= 0, 12-bit fixed point.
int32_t CubicKernelFixed(int32_t t) {
  if (t >= 0 && t < kFixedOne) return (((t * t) >> 12) * t >> 12) - ((2 * t * t) >> 12) + kFixedOne;
  if (t >= kFixedOne && t < 2 * kFixedOne) {
    return (2048 - t) * 8 - (((t * t) >> 12) * t >> 12) + ((5 * t * t) >> 12);
  }
  return 0;
}

int32_t AbsoluteFixed(int32_t value) { return value < 0 ? -value : value; }

void CubicWeights(int32_t fraction, int32_t* weights) {
  for (int32_t m = 0; m < 4; ++m) weights[m] = CubicKernelFixed(AbsoluteFixed(fraction + kFixedOne - m * kFixedOne));
}

int32_t CubicColumns[kMaxZoomSide][4];
int32_t CubicColumnWeights[kMaxZoomSide][4];

int32_t CubicChannel(int64_t sum) {
  if (sum < 0) return 0;
  const int64_t value = sum >> 24;
  return value > 31 ? 31 : static_cast<int32_t>(value);
}

}  // namespace

extern "C" {

int32_t myZoom1(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels, int32_t srcHeight,
                int32_t dstHeight, int32_t srcWidth, int32_t dstWidth) {
  if (!ZoomArgumentsUsable(dstPitchPixels, srcPitchPixels, srcHeight, dstHeight, srcWidth, dstWidth)) return 0;
  for (int32_t k = 0; k < dstHeight; ++k) {
    const uint16_t* src = SourceRow(srcPtr, srcPitchPixels, static_cast<int32_t>(int64_t{k} * srcHeight / dstHeight));
    uint16_t* dst = DestinationRow(dstPtr, dstPitchPixels, k);
    // x = floor(i * srcWidth / dstWidth), kept as a quotient and a remainder.
    int32_t x = 0;
    int64_t remainder = 0;
    for (int32_t i = 0; i < dstWidth; ++i) {
      dst[i] = src[x];
      remainder += srcWidth;
      while (remainder >= dstWidth) {
        remainder -= dstWidth;
        ++x;
      }
    }
  }
  return 0;
}

int32_t myZoom3(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels, int32_t srcHeight,
                int32_t dstHeight, int32_t srcWidth, int32_t dstWidth) {
  if (!ZoomArgumentsUsable(dstPitchPixels, srcPitchPixels, srcHeight, dstHeight, srcWidth, dstWidth)) return 0;
  if (!WithinTables(dstHeight, dstWidth)) return 0;
  BilinearZoom(dstPtr, dstPitchPixels, dstHeight, dstHeight, {srcPtr, nullptr, srcPitchPixels, dstWidth, srcWidth},
               srcHeight);
  return 0;
}

int32_t myZoomPD(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels, int32_t srcHeight,
                 int32_t dstHeight, int32_t srcWidth, int32_t dstWidth, const void* prevPtr) {
  if (!ZoomArgumentsUsable(dstPitchPixels, srcPitchPixels, srcHeight, dstHeight, srcWidth, dstWidth)) return 0;
  if (!WithinTables(dstHeight, dstWidth) || prevPtr == nullptr) return 0;
  // The last two destination rows are left as they are.
  BilinearZoom(dstPtr, dstPitchPixels, dstHeight, dstHeight - 2, {srcPtr, prevPtr, srcPitchPixels, dstWidth, srcWidth},
               srcHeight);
  return 0;
}

int32_t myZoom(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels, int32_t srcHeight,
               int32_t dstHeight, int32_t srcWidth, int32_t dstWidth) {
  if (!ZoomArgumentsUsable(dstPitchPixels, srcPitchPixels, srcHeight, dstHeight, srcWidth, dstWidth)) return 0;
  if (!WithinTables(dstHeight, dstWidth)) return 0;
  const int64_t stepX = FixedStep(srcWidth, dstWidth);
  for (int32_t i = 0; i < dstWidth; ++i) {
    const AxisSample column = SampleAxis(i, srcWidth, dstWidth, stepX);
    CubicNeighbours(column.first, srcWidth, CubicColumns[i]);
    CubicWeights(column.fraction, CubicColumnWeights[i]);
  }
  const int64_t stepY = FixedStep(srcHeight, dstHeight);
  for (int32_t k = 0; k < dstHeight; ++k) {
    const AxisSample sample = SampleAxis(k, srcHeight, dstHeight, stepY);
    int32_t rows[4];
    int32_t rowWeights[4];
    CubicNeighbours(sample.first, srcHeight, rows);
    CubicWeights(sample.fraction, rowWeights);
    const uint16_t* srcRows[4];
    for (int32_t r = 0; r < 4; ++r) srcRows[r] = SourceRow(srcPtr, srcPitchPixels, rows[r]);
    uint16_t* dst = DestinationRow(dstPtr, dstPitchPixels, k);
    for (int32_t i = 0; i < dstWidth; ++i) {
      const int32_t* columns = CubicColumns[i];
      const int32_t* columnWeights = CubicColumnWeights[i];
      int64_t red = 0, green = 0, blue = 0;
      for (int32_t r = 0; r < 4; ++r) {
        int32_t rowRed = 0, rowGreen = 0, rowBlue = 0;
        for (int32_t m = 0; m < 4; ++m) {
          const int32_t pixel = srcRows[r][columns[m]];
          rowRed += columnWeights[m] * ((pixel >> 10) & 0x1F);
          rowGreen += columnWeights[m] * ((pixel >> 5) & 0x1F);
          rowBlue += columnWeights[m] * (pixel & 0x1F);
        }
        red += int64_t{rowWeights[r]} * rowRed;
        green += int64_t{rowWeights[r]} * rowGreen;
        blue += int64_t{rowWeights[r]} * rowBlue;
      }
      dst[i] = static_cast<uint16_t>(CubicChannel(red) << 10 | CubicChannel(green) << 5 | CubicChannel(blue));
    }
  }
  return 0;
}

}  // extern "C"

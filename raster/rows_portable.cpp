// SPDX-License-Identifier: MIT
// The portable path: every loop on the compiler's vector types alone, 8 pixels per vector,
// for any processor (NEON on aarch64, SSE2 on x86-64).
#include <string.h>

#include <type_traits>

#include "raster/row_loops.h"

namespace rasterkit {
namespace {

constexpr int kLanes = 8;
#include "raster/blit_rows.inc"

// ---------------------------------------------------------------------------------------------
// Bilinear zoom rows, eight pixels at a time in 32-bit lanes, where every weight and sum is
// exact: with fxy = (fx * fy) >> 12 the weights are w00 = 4096 - fx - (fy - fxy),
// w01 = fx - fxy, w10 = fy - fxy and w11 = fxy, and a channel is its four samples' weighted
// sum >> 12, held within 0..31.

constexpr int32_t kGroup = 8;
static_assert(kGroup <= kBilinearSpareColumns, "the last group reads past the row");
typedef uint32_t Entries __attribute__((vector_size(4 * kGroup)));
typedef int32_t Values __attribute__((vector_size(4 * kGroup)));
typedef uint16_t Pixels __attribute__((vector_size(2 * kGroup)));

RASTERKIT_INLINE Entries LoadEntries(const uint32_t* entries) {
  Entries v;
  memcpy(&v, entries, sizeof v);
  return v;
}

struct Weights {
  Values w00, w01, w10, w11;
};

// The 5-bit channel at `shift` of the low and the high sample of each entry.
RASTERKIT_INLINE Values LowChannel(Entries samples, int shift) { return (Values)((samples >> shift) & 31); }
RASTERKIT_INLINE Values HighChannel(Entries samples, int shift) { return (Values)((samples >> (16 + shift)) & 31); }

RASTERKIT_INLINE Values Channel(Entries top, Entries bottom, const Weights& w, int shift) {
  const Values sum = LowChannel(top, shift) * w.w00 + HighChannel(top, shift) * w.w01 +
                     LowChannel(bottom, shift) * w.w10 + HighChannel(bottom, shift) * w.w11;
  const Values value = sum >> 12;
  return value < 0 ? Values{} : value > 31 ? Values{} + 31 : value;
}

// A 5-bit channel widened to 8 bits.
RASTERKIT_INLINE Values Widened(Values channel) { return channel << 3 | channel >> 2; }

uint32_t PackSamples(uint16_t low, uint16_t high) { return uint32_t{low} | uint32_t{high} << 16; }

// The samples of the expanded row, then (with a previous row) their changes; spare columns
// sample their one pixel twice and never count as changed.
void ExpandSamples(const BilinearExpansion& expansion) {
  const int32_t* const first = expansion.columns->first;
  const int32_t withNeighbour = expansion.columns->columnsWithNeighbour;
  const int32_t width = expansion.columns->width;
  const int32_t end = width + kBilinearSpareColumns;
  uint32_t* const samples = expansion.expanded;
  uint32_t* const changes = expansion.expanded + kBilinearTableLength;
  const uint16_t* const row = expansion.row;
  const uint16_t* const previous = expansion.previousRow;
  int32_t i = 0;
  for (; i < withNeighbour; ++i) memcpy(&samples[i], row + first[i], sizeof(uint32_t));
  for (; i < end; ++i) samples[i] = PackSamples(row[first[i]], row[first[i]]);
  if (previous == nullptr) return;
  if (previous == row) {
    memset(changes, 0, static_cast<size_t>(end) * sizeof(uint32_t));
    return;
  }
  for (i = 0; i < withNeighbour; ++i) {
    uint32_t before;
    memcpy(&before, previous + first[i], sizeof(uint32_t));
    changes[i] = before ^ samples[i];
  }
  for (; i < width; ++i) changes[i] = PackSamples(previous[first[i]], previous[first[i]]) ^ samples[i];
  for (; i < end; ++i) changes[i] = 0;
}

// On a copy of the request: the stores to the destination cannot change a local, so its fields
// stay in registers.
[[gnu::noinline]] void BilinearRowLoop(const BilinearRow& request) {
  const BilinearRow row = request;
  const int32_t width = row.width;
  const uint32_t* const fractions = row.columns->fraction;
  const uint32_t* topChanges = row.top + kBilinearTableLength;
  const uint32_t* bottomChanges = row.bottom + kBilinearTableLength;
  const Values fy = Values{} + row.fy;
  for (int32_t column = 0; column < width; column += kGroup) {
    Values unchanged{};
    int32_t unchangedCount = 0;
    if (row.detectChanges) {
      unchanged = (LoadEntries(topChanges + column) | LoadEntries(bottomChanges + column)) == 0;
      for (int32_t k = 0; k < kGroup; ++k) unchangedCount += unchanged[k] != 0;
      if (unchangedCount == kGroup) continue;
    }
    // fx is the low lane of the (fx, fx) entry, a signed 16-bit value.
    const Values fx = (Values)(LoadEntries(fractions + column) << 16) >> 16;
    const Values fxy = (fx * fy) >> 12;
    const Weights w{kFixedOne - fx - (fy - fxy), fx - fxy, fy - fxy, fxy};
    const Entries top = LoadEntries(row.top + column), bottom = LoadEntries(row.bottom + column);
    const Values red = Channel(top, bottom, w, 10), green = Channel(top, bottom, w, 5),
                 blue = Channel(top, bottom, w, 0);
    const int32_t count = width - column < kGroup ? width - column : kGroup;
    if (row.wideDst != nullptr) {
      const Values wide = Widened(red) << 16 | Widened(green) << 8 | Widened(blue);
      if (count == kGroup && unchangedCount == 0) {
        memcpy(row.wideDst + column, &wide, sizeof wide);
        continue;
      }
      for (int32_t k = 0; k < count; ++k) {
        if (unchanged[k] == 0) row.wideDst[column + k] = static_cast<uint32_t>(wide[k]);
      }
      continue;
    }
    const Pixels pixels = __builtin_convertvector(red << 10 | green << 5 | blue, Pixels);
    if (count == kGroup && unchangedCount == 0) {
      memcpy(row.dst + column, &pixels, sizeof pixels);
      continue;
    }
    for (int32_t k = 0; k < count; ++k) {
      if (unchanged[k] == 0) row.dst[column + k] = pixels[k];
    }
  }
}

}  // namespace

extern constinit const RowLoops kPortableRowLoops = WholeRowLoops(BilinearRowLoop, ExpandSamples);

}  // namespace rasterkit

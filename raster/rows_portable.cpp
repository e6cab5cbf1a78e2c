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

[[gnu::noinline]] void BilinearRowLoop(const BilinearRow row) {
  const bool detectChanges = row.topChanges != nullptr;
  const Values fy = Values{} + row.fy;
  for (int32_t column = 0; column < row.width; column += kGroup) {
    Values unchanged{};
    int32_t unchangedCount = 0;
    if (detectChanges) {
      unchanged = (LoadEntries(row.topChanges + column) | LoadEntries(row.bottomChanges + column)) == 0;
      for (int32_t k = 0; k < kGroup; ++k) unchangedCount += unchanged[k] != 0;
      if (unchangedCount == kGroup) continue;
    }
    // fx is the low lane of the (fx, fx) entry, a signed 16-bit value.
    const Values fx = (Values)(LoadEntries(row.columnFraction + column) << 16) >> 16;
    const Values fxy = (fx * fy) >> 12;
    const Weights w{kFixedOne - fx - (fy - fxy), fx - fxy, fy - fxy, fxy};
    const Entries top = LoadEntries(row.topSamples + column), bottom = LoadEntries(row.bottomSamples + column);
    const Values pixel =
        Channel(top, bottom, w, 10) << 10 | Channel(top, bottom, w, 5) << 5 | Channel(top, bottom, w, 0);
    const Pixels pixels = __builtin_convertvector(pixel, Pixels);
    const int32_t count = row.width - column < kGroup ? row.width - column : kGroup;
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

extern constinit const RowLoops kPortableRowLoops = WholeRowLoops(BilinearRowLoop);

}  // namespace rasterkit

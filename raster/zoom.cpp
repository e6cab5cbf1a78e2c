// SPDX-License-Identifier: MIT
// Whole-image zooms of RGB555 images: nearest (myZoom1), bilinear (myZoom3), bilinear that
// recomputes only the pixels whose source samples changed (myZoomPD, and myZoomPDWide, which
// writes them widened to XRGB8888) and bicubic (myZoom).
//
// Row lengths are in pixels. Positions and weights are fixed point with 12 fractional bits
// (4096 = 1.0). Coordinates and fractions are computed once per column and once per row; the
// bilinear rows are computed by the active path's row loop (row_loops.h), which works on
// several pixels at a time; every path gives the same bits.
#include <stddef.h>
#include <string.h>

#include "raster/cubic_neighbours.h"
#include "raster/rasterkit.h"
#include "raster/row_loops.h"

namespace {

using rasterkit::kBilinearSpareColumns;
using rasterkit::kFixedOne;

using rasterkit::kMaxZoomSide;

// The row loops read whole groups of columns; the tables carry spare entries so that the
// last group of a row never reads past them.
constexpr int32_t kTableLength = rasterkit::kBilinearTableLength;

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
// w10 = fy - fxy and w11 = fxy. Each source row used is expanded once through the column
// tables by the active path (row_loops.h); every destination row combines two expanded rows.

alignas(32) int32_t ColumnFirst[kTableLength];
alignas(32) uint32_t ColumnCross[kTableLength];
alignas(32) uint32_t ColumnFraction[kTableLength];
rasterkit::BilinearColumns Columns{ColumnFirst, ColumnCross, ColumnFraction, 0, 0, 0};

void BuildBilinearColumns(int32_t srcWidth, int32_t dstWidth) {
  const int64_t step = FixedStep(srcWidth, dstWidth);
  // Columns from columnsWithNeighbour on (the last column, and any that start on the last
  // source column) sample one pixel twice.
  Columns.columnsWithNeighbour = dstWidth;
  Columns.width = dstWidth;
  Columns.srcWidth = srcWidth;
  for (int32_t i = 0; i < dstWidth; ++i) {
    const AxisSample column = SampleAxis(i, srcWidth, dstWidth, step);
    ColumnFirst[i] = column.first;
    ColumnCross[i] = PackLanes(-column.fraction, column.fraction);
    ColumnFraction[i] = PackLanes(column.fraction, column.fraction);
    if (column.next == column.first && Columns.columnsWithNeighbour == dstWidth) Columns.columnsWithNeighbour = i;
  }
  for (int32_t i = dstWidth; i < dstWidth + kBilinearSpareColumns; ++i) {
    ColumnFirst[i] = ColumnFirst[dstWidth - 1];
    ColumnCross[i] = 0;
    ColumnFraction[i] = 0;
  }
}

// One source row expanded, kept while consecutive destination rows use it.
struct ExpandedRow {
  int32_t sourceRow;
  bool expanded;
  bool changed;  // some pixel of the row differs from the previous image's row
  alignas(32) uint32_t entries[rasterkit::kBilinearExpandedEntries];
};

ExpandedRow ExpandedRows[2];

struct BilinearImages {
  const void* src;
  const void* prev;  // null: every pixel counts as changed
  int32_t srcPitchPixels;
  int32_t srcWidth;
};

void ForgetExpandedRows() {
  ExpandedRows[0].sourceRow = -1;
  ExpandedRows[1].sourceRow = -1;
}

// The slot holding source row `row`, filled (without expanding it) if needed; the slot `keep`
// is not reused.
ExpandedRow& RowSlot(const BilinearImages& images, int32_t row, const ExpandedRow* keep) {
  for (ExpandedRow& slot : ExpandedRows) {
    if (slot.sourceRow == row) return slot;
  }
  ExpandedRow& slot = (keep == &ExpandedRows[0]) ? ExpandedRows[1] : ExpandedRows[0];
  slot.sourceRow = row;
  slot.expanded = false;
  slot.changed = images.prev == nullptr || memcmp(SourceRow(images.src, images.srcPitchPixels, row),
                                                  SourceRow(images.prev, images.srcPitchPixels, row),
                                                  static_cast<size_t>(images.srcWidth) * sizeof(uint16_t)) != 0;
  return slot;
}

void Expand(const BilinearImages& images, ExpandedRow& slot) {
  if (slot.expanded) return;
  const uint16_t* row = SourceRow(images.src, images.srcPitchPixels, slot.sourceRow);
  const uint16_t* previousRow = nullptr;
  if (images.prev != nullptr) {
    previousRow = slot.changed ? SourceRow(images.prev, images.srcPitchPixels, slot.sourceRow) : row;
  }
  rasterkit::ActiveRowLoops().bilinearExpand({slot.entries, row, previousRow, &Columns});
  slot.expanded = true;
}

// Where a bilinear zoom writes: RGB555 pixels, or XRGB8888 ones (`wide`), in columns
// 0 .. columnsToWrite - 1 of rows 0 .. rowsToWrite - 1 of a width x height zoom.
struct BilinearDestination {
  void* pixels;
  bool wide;
  int32_t pitchPixels;
  int32_t width, height;
  int32_t columnsToWrite, rowsToWrite;
};

// With a previous image, a destination pixel is written only when one of its four source
// samples differs from the previous image's.
void BilinearZoom(const BilinearDestination& dst, const BilinearImages& images, int32_t srcHeight) {
  const int32_t dstWidth = dst.width, dstHeight = dst.height;
  BuildBilinearColumns(images.srcWidth, dstWidth);
  ForgetExpandedRows();
  const rasterkit::RowLoops& loops = rasterkit::ActiveRowLoops();
  // The path's own tables, built when the first row needs them (a frame where nothing
  // changed needs none).
  bool prepared = loops.bilinearPrepare == nullptr;
  const int64_t stepY = FixedStep(srcHeight, dstHeight);
  for (int32_t k = 0; k < dst.rowsToWrite; ++k) {
    const AxisSample sample = SampleAxis(k, srcHeight, dstHeight, stepY);
    ExpandedRow& top = RowSlot(images, sample.first, nullptr);
    ExpandedRow& bottom = RowSlot(images, sample.next, &top);
    if (!top.changed && !bottom.changed) continue;
    if (!prepared) {
      loops.bilinearPrepare(Columns);
      prepared = true;
    }
    Expand(images, top);
    Expand(images, bottom);
    const ptrdiff_t rowOffset = static_cast<ptrdiff_t>(k) * dst.pitchPixels;
    uint16_t* const narrowRow = dst.wide ? nullptr : static_cast<uint16_t*>(dst.pixels) + rowOffset;
    uint32_t* const wideRow = dst.wide ? static_cast<uint32_t*>(dst.pixels) + rowOffset : nullptr;
    loops.bilinearRow({narrowRow, wideRow, dst.columnsToWrite, top.entries, bottom.entries, images.prev != nullptr,
                       &Columns, sample.fraction});
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
  BilinearZoom({dstPtr, false, dstPitchPixels, dstWidth, dstHeight, dstWidth, dstHeight},
               {srcPtr, nullptr, srcPitchPixels, srcWidth}, srcHeight);
  return 0;
}

int32_t myZoomPD(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels, int32_t srcHeight,
                 int32_t dstHeight, int32_t srcWidth, int32_t dstWidth, const void* prevPtr) {
  if (!ZoomArgumentsUsable(dstPitchPixels, srcPitchPixels, srcHeight, dstHeight, srcWidth, dstWidth)) return 0;
  if (!WithinTables(dstHeight, dstWidth) || prevPtr == nullptr) return 0;
  // The last two destination rows are left as they are.
  BilinearZoom({dstPtr, false, dstPitchPixels, dstWidth, dstHeight, dstWidth, dstHeight - 2},
               {srcPtr, prevPtr, srcPitchPixels, srcWidth}, srcHeight);
  return 0;
}

int32_t myZoomPDWide(uint32_t* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels,
                     int32_t srcHeight, int32_t dstHeight, int32_t srcWidth, int32_t dstWidth, const void* prevPtr,
                     int32_t shownWidth, int32_t shownHeight) {
  if (shownWidth <= 0 || shownHeight <= 0 || dstWidth <= 0) return 0;
  // Only the shown columns need to fit the destination's rows.
  const int32_t columns = shownWidth < dstWidth ? shownWidth : dstWidth;
  if (!ZoomArgumentsUsable(dstPitchPixels, srcPitchPixels, srcHeight, dstHeight, srcWidth, columns)) return 0;
  if (!WithinTables(dstHeight, dstWidth) || prevPtr == nullptr) return 0;
  const int32_t rows = shownHeight < dstHeight - 2 ? shownHeight : dstHeight - 2;
  BilinearZoom({dstPtr, true, dstPitchPixels, dstWidth, dstHeight, columns, rows},
               {srcPtr, prevPtr, srcPitchPixels, srcWidth}, srcHeight);
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

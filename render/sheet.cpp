// SPDX-License-Identifier: MIT
#include "render/sheet.h"

#include "base/runtime.h"

void DrawThroughMask(Surface& target, const Surface& image, const Surface& mask, int32_t x, int32_t y, int32_t level) {
  target.BlendThroughMask(image, x, y, Rect{0, 0, image.Width(), image.Height()}, mask, level);
}

void DrawSheetCell(Surface& target, const Surface& sheet, const Surface& mask, int32_t column, int32_t row,
                   int32_t cellWidth, int32_t cellHeight, int32_t x, int32_t y, int32_t level) {
  const int32_t left = CheckedMul(column, cellWidth);
  const int32_t top = CheckedMul(row, cellHeight);
  // A sub-rectangle lands where it lies when the whole sheet is drawn, so the sheet is placed
  // at the point minus the cell's offset.
  target.BlendThroughMask(sheet, CheckedSub(x, left), CheckedSub(y, top),
                          Rect{left, top, CheckedAdd(left, cellWidth), CheckedAdd(top, cellHeight)}, mask, level);
}

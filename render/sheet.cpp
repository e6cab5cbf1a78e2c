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

void DrawFocusFrame(Surface& target, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  for (int32_t i = 0; i < 3; ++i) {
    const uint8_t r = i < 2 ? 28 : 255, g = i < 2 ? 36 : 255, b = i < 2 ? 96 : 255;
    const int32_t corner = i == 0 ? 1 : 0;
    target.DrawLine(left + i + corner, top + i, right - i - corner, top + i, r, g, b);
    target.DrawLine(left + i + corner, bottom - i, right - i - corner, bottom - i, r, g, b);
    target.DrawLine(left + i, top + i + corner, left + i, bottom - i - corner, r, g, b);
    target.DrawLine(right - i, top + i + corner, right - i, bottom - i - corner, r, g, b);
  }
}

#include "render/sheet.h"

#include "shell/runtime.h"
#include "shell/shell_state.h"

CGDISurface& ScreenSurface() { return Shell.BackBuffer[CheckIndex(Shell.BackIndex, 0, 1)]; }

void DrawThroughMask(CGDISurface& target, const CGDISurface& image, const CGDISurface& mask, int32_t x, int32_t y,
                     int32_t level) {
  target.EffectBltClipAlpha(image, x, y, 0, 0, image.Height(), image.Width(), mask, level);
}

void DrawSheetCell(CGDISurface& target, const CGDISurface& sheet, const CGDISurface& mask, int32_t column,
                   int32_t row, int32_t cellWidth, int32_t cellHeight, int32_t x, int32_t y, int32_t level) {
  const int32_t left = CheckedMul(column, cellWidth);
  const int32_t top = CheckedMul(row, cellHeight);
  // A sub-rectangle lands where it lies when the whole sheet is drawn, so the sheet is placed
  // at the point minus the cell's offset.
  target.EffectBltClipAlpha(sheet, CheckedSub(x, left), CheckedSub(y, top), top, left, CheckedAdd(top, cellHeight),
                            CheckedAdd(left, cellWidth), mask, level);
}

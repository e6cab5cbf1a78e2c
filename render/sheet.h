// SPDX-License-Identifier: MIT
// Small drawing helpers shared by the scene, the buttons and the digits: pictures or sheet
// cells blended through their masks.
#pragma once

#include <cstdint>

#include "surface/surface.h"

// The whole of `image` through `mask` with its top-left corner at (x, y), at `level` 0..32.
void DrawThroughMask(Surface& target, const Surface& image, const Surface& mask, int32_t x, int32_t y, int32_t level);

// Cell (column, row) of a sheet of cellWidth x cellHeight cells through its mask, the cell's
// top-left corner landing on (x, y), at `level` 0..32.
void DrawSheetCell(Surface& target, const Surface& sheet, const Surface& mask, int32_t column, int32_t row,
                   int32_t cellWidth, int32_t cellHeight, int32_t x, int32_t y, int32_t level);

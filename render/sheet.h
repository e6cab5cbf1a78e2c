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

// The focus's frame around an area (edges inside it): two navy lines outside a white one, the
// outermost leaving the corners out, so it reads on light and dark alike.
void DrawFocusFrame(Surface& target, int32_t left, int32_t top, int32_t right, int32_t bottom);

// SPDX-License-Identifier: MIT
// Text drawn at run time in the skin's font (config/images.h): Windows-1252 bytes, as the
// high-score table stores names.
#pragma once

#include <cstdint>
#include <string>

#include "config/images.h"
#include "surface/surface.h"

// The width `text` takes.
int32_t TextWidth(const ImageCatalogue& images, const std::string& text);
// Draws `text` with its top-left at (x, y), no wider than `maxWidth` (what does not fit is left
// out, the last character shown replaced by "..."); the width drawn.
int32_t DrawText(Surface& screen, const ImageCatalogue& images, const std::string& text, int32_t x, int32_t y,
                 int32_t maxWidth = 720);
// The same, its right edge at `right`.
void DrawTextRightAligned(Surface& screen, const ImageCatalogue& images, const std::string& text, int32_t right,
                          int32_t y);

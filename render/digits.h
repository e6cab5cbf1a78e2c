// Numbers drawn from digit strips, and the floating score pop-ups.
#pragma once

#include <cstdint>
#include <string>

#include "surface/cgdisurface.h"

// Draws a string of decimal digits left to right; any other character raises TypeMismatch.
void DrawDigits(const std::string& text, int32_t x, int32_t y, const CGDISurface& font, const CGDISurface& mask,
                int32_t advance, int32_t glyphCount);
void DrawScorePopups();

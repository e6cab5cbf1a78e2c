// SPDX-License-Identifier: MIT
// Numbers drawn from digit strips, and the floating score pop-ups.
#pragma once

#include <cstdint>
#include <string>

#include "game/game_state.h"
#include "surface/surface.h"

// Draws a string of decimal digits left to right; any other character raises TypeMismatch.
void DrawDigits(Surface& screen, const std::string& text, int32_t x, int32_t y, const Surface& font,
                const Surface& mask, int32_t advance, int32_t glyphCount);
// The active pop-ups from the strip of 17-pixel glyphs (0 to 9, then the multiplication sign).
void DrawScorePopups(Surface& screen, const GameState& state, const Surface& strip, const Surface& mask);

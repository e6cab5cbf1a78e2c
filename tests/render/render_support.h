// A tiny synthetic skin for the drawing tests: every picture the screens draw, made in
// memory with colours that tell which cell, glyph or sheet was drawn, and the blend
// formulas to predict the pixels they leave on a black screen.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "surface/cgdisurface.h"

uint16_t Rgb(int32_t r, int32_t g, int32_t b);

// Pixel formulas of the blends: through a mask (blue 0..31) at a level 0..32, and the
// alpha blend at a level 0..255.
uint16_t MaskBlend(uint16_t dst, uint16_t src, int32_t maskBlue, int32_t level);
uint16_t AlphaBlend(uint16_t dst, uint16_t src, int32_t level);

CGDISurface MakeSurface(int32_t width, int32_t height, const std::function<uint16_t(int32_t, int32_t)>& pixelAt);
CGDISurface MakeSolid(int32_t width, int32_t height, uint16_t colour);
// A full-strength mask (blue 31 everywhere).
CGDISurface MakeOpaqueMask(int32_t width, int32_t height);

// Cell (column, row) of the piece sheet of `colour`.
uint16_t PieceCellColour(int32_t colour, int32_t column, int32_t row);
// Glyph `digit` of the digit strips.
uint16_t GlyphColour(int32_t digit);
// Cell (frame, row) of the characters' and the figure's sheets.
uint16_t FigureCellColour(int32_t frame, int32_t row);

// Sizes of the synthetic skin.
constexpr int32_t DigitWidth = 16;
constexpr int32_t DigitHeight = 20;
constexpr int32_t CharCell = 8;
constexpr int32_t AngelCell = 16;
constexpr int32_t PanelWidth = 40, PanelHeight = 20;

uint16_t ScreenPixel(int32_t x, int32_t y);

// Puts every global group into its start state and loads the synthetic skin: black back
// buffers, a fixed time of day (SetTimeOfDay), no screen buttons.
class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  static void SetTimeOfDay(double seconds);
  static void ClearScreen();
};

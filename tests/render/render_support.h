// SPDX-License-Identifier: MIT
// A tiny synthetic skin for the drawing tests: every picture the screens draw, made in
// memory with colours that tell which cell, glyph or sheet was drawn.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "config/skin.h"
#include "game/game.h"
#include "player/player.h"
#include "render/frame_drawing.h"
#include "surface/surface.h"

uint16_t Rgb(int32_t r, int32_t g, int32_t b);

// A picture drawn through a full mask at the full level over `under`: such a mask passes 31 of
// 32 parts of the picture, so each channel reaches the picture's where that lies at or below
// the one under it and stops one step short where it lies above (1 .. 31 over black: one
// step darker).
uint16_t FullyDrawn(uint16_t colour, uint16_t under = 0);

Surface MakeSurface(int32_t width, int32_t height, const std::function<uint16_t(int32_t, int32_t)>& pixelAt);
Surface MakeSolid(int32_t width, int32_t height, uint16_t colour);
// A full-strength mask (blue 31 everywhere).
Surface MakeOpaqueMask(int32_t width, int32_t height);

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

// A game on the synthetic skin with two black back buffers, a fixed time of day
// (timeOfDay) and no screen buttons.
class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // The frame's picture into the current back buffer, and the cross-fade over it while one
  // runs, as the main window draws it.
  void Draw();
  // What moves on once a frame was drawn (game/frame.h).
  void Animate();
  // A whole frame's drawing and animation step.
  void DrawAndAnimate() {
    Draw();
    Animate();
  }
  void ClearScreen();
  Surface& Screen() { return back[backIndex]; }
  uint16_t ScreenPixel(int32_t x, int32_t y);

  Skin skin;
  PlayerSettings player;
  QuietServices services;
  Game game{player, skin.Layout, services};
  GameState& state = game.State;
  Surface back[2];
  int32_t backIndex = 0;
  Surface fade;
  double timeOfDay = 0;
};

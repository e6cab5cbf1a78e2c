// SPDX-License-Identifier: MIT
#include "render_support.h"

#include <cstring>

#include "game/frame.h"
#include "render/scene.h"

uint16_t Rgb(int32_t r, int32_t g, int32_t b) { return static_cast<uint16_t>((r << 10) | (g << 5) | b); }

uint16_t FullyDrawn(uint16_t colour, uint16_t under) {
  uint16_t result = 0;
  for (int shift : {10, 5, 0}) {
    const int32_t picture = (colour >> shift) & 31, below = (under >> shift) & 31;
    result = static_cast<uint16_t>(result | ((picture <= below ? picture : picture - 1) << shift));
  }
  return result;
}

Surface MakeSurface(int32_t width, int32_t height, const std::function<uint16_t(int32_t, int32_t)>& pixelAt) {
  Surface surface;
  surface.Create(static_cast<int16_t>(width), static_cast<int16_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    uint16_t* row = surface.Pixels() + y * (surface.Pitch() / 2);
    for (int32_t x = 0; x < width; ++x) row[x] = pixelAt(x, y);
  }
  return surface;
}

Surface MakeSolid(int32_t width, int32_t height, uint16_t colour) {
  return MakeSurface(width, height, [colour](int32_t, int32_t) { return colour; });
}

Surface MakeOpaqueMask(int32_t width, int32_t height) { return MakeSolid(width, height, 31); }

uint16_t PieceCellColour(int32_t colour, int32_t column, int32_t row) {
  return Rgb(column * 4 + 2, row * 4 + 2, colour * 8 + 4);
}

uint16_t GlyphColour(int32_t digit) { return Rgb(digit * 3 + 1, 31 - digit * 2, 9); }

uint16_t FigureCellColour(int32_t frame, int32_t row) { return Rgb(frame * 2 + 1, row * 6 + 3, 20); }

uint16_t RenderTest::ScreenPixel(int32_t x, int32_t y) {
  const Surface& screen = Screen();
  return screen.Pixels()[y * (screen.Pitch() / 2) + x];
}

namespace {

Surface MakeDigitStrip(int32_t glyphs, int32_t glyphHeight) {
  return MakeSurface(DigitWidth, glyphs * glyphHeight,
                     [glyphHeight](int32_t, int32_t y) { return GlyphColour(y / glyphHeight); });
}

Surface MakeFigureSheet(int32_t columns, int32_t rows, int32_t cell) {
  return MakeSurface(columns * cell, rows * cell,
                     [cell](int32_t x, int32_t y) { return FigureCellColour(x / cell, y / cell); });
}

void LoadPanel(Surface (&pair)[2], uint16_t colour) {
  pair[0] = MakeSolid(PanelWidth, PanelHeight, colour);
  pair[1] = MakeOpaqueMask(PanelWidth, PanelHeight);
}

void LoadSyntheticSkin(Skin& skin) {
  ImageCatalogue& images = skin.Images;
  SkinLayout& layout = skin.Layout;
  for (int32_t colour = 0; colour < 3; ++colour) {
    images.PieceImages[colour] =
        MakeSurface(192, 192, [colour](int32_t x, int32_t y) { return PieceCellColour(colour, x / 32, y / 32); });
    images.PieceImages[colour + 3] = MakeOpaqueMask(192, 192);
    images.TargetCharImages[colour] = MakeFigureSheet(12, 4, CharCell);
    images.TargetCharImages[colour + 3] = MakeOpaqueMask(12 * CharCell, 4 * CharCell);
  }
  images.TitleBackImage = MakeSurface(720, 540, [](int32_t x, int32_t y) { return Rgb(x % 32, y % 32, (x + y) % 32); });
  images.BackgroundImage = MakeSolid(720, 540, 0);
  LoadPanel(images.TitleLogoImages, Rgb(5, 5, 5));
  images.DiffImages[0] = MakeDigitStrip(3, DigitHeight);
  images.DiffImages[1] = MakeOpaqueMask(DigitWidth, 3 * DigitHeight);
  images.TimeNumImages[0] = MakeDigitStrip(10, DigitHeight);
  images.TimeNumImages[1] = MakeOpaqueMask(DigitWidth, 10 * DigitHeight);
  LoadPanel(images.PauseImages, Rgb(31, 0, 0));
  LoadPanel(images.GameOverImages, Rgb(0, 31, 0));
  LoadPanel(images.NextStageImages, Rgb(0, 0, 31));
  LoadPanel(images.ExitImages, Rgb(31, 31, 0));
  LoadPanel(images.NewGameImages, Rgb(0, 31, 31));
  images.AngelImages[0] = MakeFigureSheet(6, 4, AngelCell);
  images.AngelImages[1] = MakeOpaqueMask(6 * AngelCell, 4 * AngelCell);
  images.SelBackImages[0] = MakeSolid(720, 540, Rgb(31, 31, 31));
  images.SelBackImages[1] = MakeOpaqueMask(720, 540);
  images.SelPointImages[0] = MakeSolid(8, 4, Rgb(31, 0, 0));
  images.SelPointImages[1] = MakeOpaqueMask(8, 4);
  images.SelDiffImages[0] = MakeSurface(36, 108, [](int32_t, int32_t y) { return GlyphColour(y / 36); });
  images.SelDiffImages[1] = MakeOpaqueMask(36, 108);
  images.HelpImage = MakeSolid(40, 40, Rgb(10, 20, 30));
  images.SelMusicImages[0] = MakeSurface(64, 160, [](int32_t, int32_t y) { return Rgb(4, y / 32 * 4 + 2, 0); });
  images.SelMusicImages[1] = MakeSurface(64, 160, [](int32_t, int32_t y) { return Rgb(24, y / 32 * 4 + 2, 0); });
  images.SelMusicImages[2] = MakeOpaqueMask(64, 160);
  images.ScratchSurface = MakeSolid(10, 26, 0);

  skin.CheckImages[0] = MakeSolid(8, 8, Rgb(10, 0, 0));
  skin.CheckImages[1] = MakeSolid(8, 8, Rgb(0, 10, 0));
  skin.CheckImages[2] = MakeOpaqueMask(8, 8);
  skin.CheckImages[3] = MakeOpaqueMask(8, 8);
  skin.VolumeImage = MakeSolid(52, 4, Rgb(31, 31, 31));
  layout.VolumeWidth = 52;
  layout.VolumeHeight = 4;
  skin.MoveNumImages[0] = MakeSurface(12, 11 * 17, [](int32_t, int32_t y) { return GlyphColour(y / 17); });
  skin.MoveNumImages[1] = MakeOpaqueMask(12, 11 * 17);
  skin.ScoreImages[0] = MakeDigitStrip(10, DigitHeight);
  skin.ScoreImages[1] = MakeOpaqueMask(DigitWidth, 10 * DigitHeight);
  skin.StageImages[0] = MakeDigitStrip(10, DigitHeight);
  skin.StageImages[1] = MakeOpaqueMask(DigitWidth, 10 * DigitHeight);
  // Counters and audio controls away from the board and the characters.
  layout.ShowScoreX = 20;
  layout.ShowScoreY = 100;
  layout.ShowStageX = 20;
  layout.ShowStageY = 200;
  layout.CheckX[0] = 20, layout.CheckY[0] = 300;
  layout.CheckX[1] = 20, layout.CheckY[1] = 320;
  layout.VolX[0] = 40, layout.VolY[0] = 300;
  layout.VolX[1] = 40, layout.VolY[1] = 320;
}

}  // namespace

void RenderTest::SetUp() {
  for (Surface& buffer : back) buffer.Create(724, 544);
  fade.Create(724, 544);
  LoadSyntheticSkin(skin);
}

void RenderTest::Draw() {
  Surface& screen = Screen();
  DrawFrame(Scene{state, player, skin, timeOfDay}, screen);
  if (state.FadeStep > 0) DrawFadeStep(screen, fade, state.FadeStep);
}

void RenderTest::Animate() { AnimationStep(game); }

void RenderTest::ClearScreen() {
  Surface& screen = Screen();
  std::memset(screen.Pixels(), 0, static_cast<size_t>(screen.Pitch()) * screen.Height());
}

#include "render_support.h"

#include <cstring>

#include "audio/audio.h"
#include "config/config.h"
#include "config/images.h"
#include "config/user_settings.h"
#include "game/focus.h"
#include "game/game_state.h"
#include "shell/platform/platform.h"
#include "shell/shell_services.h"
#include "shell/shell_state.h"

namespace {

int32_t FloorDiv(int32_t a, int32_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

template <typename ChannelBlend>
uint16_t PerChannel(uint16_t dst, uint16_t src, ChannelBlend blend) {
  uint16_t result = 0;
  for (int shift : {10, 5, 0}) {
    const int32_t d = (dst >> shift) & 31;
    const int32_t s = (src >> shift) & 31;
    result = static_cast<uint16_t>(result | (blend(d, s) << shift));
  }
  return result;
}

class FixedClock : public Platform::ClockSource {
 public:
  double seconds = 0;
  int64_t PerformanceCounter() override { return 0; }
  int64_t PerformanceFrequency() override { return 1000; }
  uint32_t TickCount() override { return 0; }
  void Sleep(uint32_t) override {}
  double SecondsOfDay() override { return seconds; }
};
FixedClock g_clock;

}  // namespace

uint16_t Rgb(int32_t r, int32_t g, int32_t b) { return static_cast<uint16_t>((r << 10) | (g << 5) | b); }

uint16_t MaskBlend(uint16_t dst, uint16_t src, int32_t maskBlue, int32_t level) {
  const int32_t v = maskBlue * level / 32;
  return PerChannel(dst, src, [v](int32_t d, int32_t s) { return d + FloorDiv((s - d) * v, 32); });
}

uint16_t AlphaBlend(uint16_t dst, uint16_t src, int32_t level) {
  return PerChannel(dst, src, [level](int32_t d, int32_t s) { return d + FloorDiv((s - d) * level, 256); });
}

CGDISurface MakeSurface(int32_t width, int32_t height, const std::function<uint16_t(int32_t, int32_t)>& pixelAt) {
  CGDISurface surface;
  surface.Create(static_cast<int16_t>(width), static_cast<int16_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    uint16_t* row = surface.ptr() + y * (surface.pitch() / 2);
    for (int32_t x = 0; x < width; ++x) row[x] = pixelAt(x, y);
  }
  return surface;
}

CGDISurface MakeSolid(int32_t width, int32_t height, uint16_t colour) {
  return MakeSurface(width, height, [colour](int32_t, int32_t) { return colour; });
}

CGDISurface MakeOpaqueMask(int32_t width, int32_t height) { return MakeSolid(width, height, 31); }

uint16_t PieceCellColour(int32_t colour, int32_t column, int32_t row) {
  return Rgb(column * 4 + 2, row * 4 + 2, colour * 8 + 4);
}

uint16_t GlyphColour(int32_t digit) { return Rgb(digit * 3 + 1, 31 - digit * 2, 9); }

uint16_t FigureCellColour(int32_t frame, int32_t row) { return Rgb(frame * 2 + 1, row * 6 + 3, 20); }

uint16_t ScreenPixel(int32_t x, int32_t y) {
  const CGDISurface& screen = Shell.BackBuffer[Shell.BackIndex];
  return screen.ptr()[y * (screen.pitch() / 2) + x];
}

namespace {

CGDISurface MakeDigitStrip(int32_t glyphs, int32_t glyphHeight) {
  return MakeSurface(DigitWidth, glyphs * glyphHeight,
                     [glyphHeight](int32_t, int32_t y) { return GlyphColour(y / glyphHeight); });
}

CGDISurface MakeFigureSheet(int32_t columns, int32_t rows, int32_t cell) {
  return MakeSurface(columns * cell, rows * cell,
                     [cell](int32_t x, int32_t y) { return FigureCellColour(x / cell, y / cell); });
}

void LoadPanel(CGDISurface (&pair)[2], uint16_t colour) {
  pair[0] = MakeSolid(PanelWidth, PanelHeight, colour);
  pair[1] = MakeOpaqueMask(PanelWidth, PanelHeight);
}

void LoadSyntheticSkin() {
  for (int32_t colour = 0; colour < 3; ++colour) {
    Images.PieceImages[colour] = MakeSurface(192, 192, [colour](int32_t x, int32_t y) {
      return PieceCellColour(colour, x / 32, y / 32);
    });
    Images.PieceImages[colour + 3] = MakeOpaqueMask(192, 192);
    Images.TargetCharImages[colour] = MakeFigureSheet(12, 4, CharCell);
    Images.TargetCharImages[colour + 3] = MakeOpaqueMask(12 * CharCell, 4 * CharCell);
  }
  Images.TitleBackImage = MakeSurface(720, 540, [](int32_t x, int32_t y) { return Rgb(x % 32, y % 32, (x + y) % 32); });
  Images.BackgroundImage = MakeSolid(720, 540, 0);
  LoadPanel(Images.TitleLogoImages, Rgb(5, 5, 5));
  Images.DiffImages[0] = MakeDigitStrip(3, DigitHeight);
  Images.DiffImages[1] = MakeOpaqueMask(DigitWidth, 3 * DigitHeight);
  Images.TimeNumImages[0] = MakeDigitStrip(10, DigitHeight);
  Images.TimeNumImages[1] = MakeOpaqueMask(DigitWidth, 10 * DigitHeight);
  LoadPanel(Images.PauseImages, Rgb(31, 0, 0));
  LoadPanel(Images.GameOverImages, Rgb(0, 31, 0));
  LoadPanel(Images.NextStageImages, Rgb(0, 0, 31));
  LoadPanel(Images.ExitImages, Rgb(31, 31, 0));
  LoadPanel(Images.NewGameImages, Rgb(0, 31, 31));
  Images.AngelImages[0] = MakeFigureSheet(6, 4, AngelCell);
  Images.AngelImages[1] = MakeOpaqueMask(6 * AngelCell, 4 * AngelCell);
  Images.SelBackImages[0] = MakeSolid(720, 540, Rgb(31, 31, 31));
  Images.SelBackImages[1] = MakeOpaqueMask(720, 540);
  Images.SelPointImages[0] = MakeSolid(8, 4, Rgb(31, 0, 0));
  Images.SelPointImages[1] = MakeOpaqueMask(8, 4);
  Images.SelDiffImages[0] = MakeSurface(36, 108, [](int32_t, int32_t y) { return GlyphColour(y / 36); });
  Images.SelDiffImages[1] = MakeOpaqueMask(36, 108);
  Images.HelpImage = MakeSolid(40, 40, Rgb(10, 20, 30));
  Images.SelMusicImages[0] = MakeSurface(64, 160, [](int32_t, int32_t y) { return Rgb(4, y / 32 * 4 + 2, 0); });
  Images.SelMusicImages[1] = MakeSurface(64, 160, [](int32_t, int32_t y) { return Rgb(24, y / 32 * 4 + 2, 0); });
  Images.SelMusicImages[2] = MakeOpaqueMask(64, 160);
  Images.ScratchSurface = MakeSolid(10, 26, 0);

  Config.CheckImages[0] = MakeSolid(8, 8, Rgb(10, 0, 0));
  Config.CheckImages[1] = MakeSolid(8, 8, Rgb(0, 10, 0));
  Config.CheckImages[2] = MakeOpaqueMask(8, 8);
  Config.CheckImages[3] = MakeOpaqueMask(8, 8);
  Config.VolumeImage = MakeSolid(52, 4, Rgb(31, 31, 31));
  Config.MoveNumImages[0] = MakeSurface(12, 11 * 17, [](int32_t, int32_t y) { return GlyphColour(y / 17); });
  Config.MoveNumImages[1] = MakeOpaqueMask(12, 11 * 17);
  Config.ScoreImages[0] = MakeDigitStrip(10, DigitHeight);
  Config.ScoreImages[1] = MakeOpaqueMask(DigitWidth, 10 * DigitHeight);
  Config.StageImages[0] = MakeDigitStrip(10, DigitHeight);
  Config.StageImages[1] = MakeOpaqueMask(DigitWidth, 10 * DigitHeight);
  // Counters and audio controls away from the board and the characters.
  Config.ShowScoreX = 20;
  Config.ShowScoreY = 100;
  Config.ShowStageX = 20;
  Config.ShowStageY = 200;
  Config.CheckX[0] = 20, Config.CheckY[0] = 300;
  Config.CheckX[1] = 20, Config.CheckY[1] = 320;
  Config.VolX[0] = 40, Config.VolY[0] = 300;
  Config.VolX[1] = 40, Config.VolY[1] = 320;
}

}  // namespace

void RenderTest::SetUp() {
  ResetShellGlobals();
  ResetGameGlobals();
  ResetConfigGlobals();
  ResetImageCatalogue();
  ResetAudioGlobals();
  ResetUserSettingsGlobals();
  ResetFocus();
  for (CGDISurface& buffer : Shell.BackBuffer) buffer.Create(724, 544);
  Shell.FadeSurface.Create(724, 544);
  LoadSyntheticSkin();
  g_clock.seconds = 0;
  Platform::SetClockSource(&g_clock);
  InstallShellServices();
}

void RenderTest::TearDown() {
  SetGameServices(nullptr);
  Platform::SetClockSource(nullptr);
}

void RenderTest::SetTimeOfDay(double seconds) { g_clock.seconds = seconds; }

void RenderTest::ClearScreen() {
  CGDISurface& screen = Shell.BackBuffer[Shell.BackIndex];
  std::memset(screen.ptr(), 0, static_cast<size_t>(screen.pitch()) * screen.Height());
}

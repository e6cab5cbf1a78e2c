// Whole frames of every screen, drawn with the default skin, beside a plain copy of a back
// buffer and the maximised presentation's change-aware zoom. A frame is due every 28 ms.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "config/config.h"
#include "config/images.h"
#include "config/skin_files.h"
#include "config/user_settings.h"
#include "game/game_state.h"
#include "raster/rasterkit.h"
#include "render/frame_drawing.h"
#include "render/scene.h"
#include "shell/locations.h"
#include "shell/platform/game_window.h"
#include "shell/platform/platform.h"
#include "shell/shell_services.h"
#include "shell/shell_state.h"

namespace {

constexpr int32_t ZoomWidth = 1391, ZoomHeight = 1047;

// The real clock, but a time of day that moves on by one frame period with every frame drawn,
// so that what sways moves as far as in the game, whatever the benchmark's pace.
class FrameClock : public Platform::ClockSource {
 public:
  int64_t PerformanceCounter() override {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  int64_t PerformanceFrequency() override { return 1000000000; }
  uint32_t TickCount() override { return static_cast<uint32_t>(PerformanceCounter() / 1000000); }
  void Sleep(uint32_t milliseconds) override { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
  double SecondsOfDay() override { return seconds; }
  double seconds = 43200;
};
FrameClock g_clock;

// The skin beside the program, else the one in the source tree.
std::string FindSkin() {
  std::vector<std::string> candidates = {Locations::SkinDirectory()};
  if (const char* source = std::getenv("KESTREL_SOURCE_DIR")) candidates.push_back(std::string(source) + "/skin");
  for (const std::string& directory : candidates) {
    if (std::filesystem::exists(directory + "/main.ini")) return directory;
  }
  return {};
}

// Loads the skin once; an empty text means ready, anything else is why not.
const std::string& SkinReady() {
  static const std::string problem = [] () -> std::string {
    const std::string directory = FindSkin();
    if (directory.empty()) return "no skin with a main.ini found";
    try {
      Locations::PlayFrom(directory);
      Platform::SetClockSource(&g_clock);
      InstallShellServices();
      OpenSkin(directory);
      LoadTexts();
      LoadButtonImages();
      LoadLayout();
      LoadGameImages();
      for (CGDISurface& buffer : Shell.BackBuffer) buffer.Create(BackBufferWidth, BackBufferHeight);
      Shell.FadeSurface.Create(BackBufferWidth, BackBufferHeight);
      Shell.ZoomSurface.Create(ZoomWidth, ZoomHeight);
    } catch (const std::exception& error) {
      return error.what();
    }
    return {};
  }();
  return problem;
}

bool Prepare(benchmark::State& state, int32_t mode, const char* section) {
  if (!SkinReady().empty()) {
    state.SkipWithError(SkinReady().c_str());
    return false;
  }
  ResetGameGlobals();
  Game.GameMode = mode;
  LoadScreenButtons(section);
  Shell.GameTick = 0;
  Shell.FadeStep = 0;
  Shell.MouseX = Shell.MouseY = 0;
  return true;
}

// One frame as the refresh handler draws it: flip, count, draw, cross-fade while it runs.
// The game draws only where the frame's drawing changed; `whole` draws every operation in full.
void Frame(bool whole = false) {
  Shell.BackIndex = 1 - Shell.BackIndex;
  ++Shell.GameTick;
  g_clock.seconds += 0.028;
  if (!whole) BeginFrameDrawing(FrameRedrawsEverything(Shell.GameTick));
  DrawFrame();
  if (Shell.FadeStep > 0) DrawFadeStep();
  if (!whole) FinishFrameDrawing(true);
}

void BM_TitleFrame(benchmark::State& state) {
  if (!Prepare(state, ModeTitle, "TitleButton")) return;
  for (auto _ : state) Frame();
}
BENCHMARK(BM_TitleFrame)->Unit(benchmark::kMicrosecond);

void BM_StageSelectFrame(benchmark::State& state) {
  if (!Prepare(state, ModeStageSelect, "SelectStageButton")) return;
  User.UserMaxStage = 7;
  Game.Stage = 5;
  for (auto _ : state) Frame();
}
BENCHMARK(BM_StageSelectFrame)->Unit(benchmark::kMicrosecond);

// The busiest play frame: every board cell filled (targets and joined pieces of all colours,
// some vanishing), the falling pair, all 50 pop-ups with a multiplier, a cross-fade running.
void FillBusyPlay() {
  for (int32_t column = 0; column < BoardColumns; ++column) {
    for (int32_t row = 0; row < BoardRows; ++row) {
      const int32_t colour = (column + row) % 3;
      BoardCell& cell = Game.Board[column][row];
      if (row >= 6) {
        cell = BoardCell{colour, 5, column * 7 + row};
      } else {
        cell = BoardCell{row == 3 ? colour + 20 : colour, column % 2 == 0 ? 1 : 3, 0};
      }
    }
  }
  Game.PairActive = true;
  Game.Pair.Column = 3;
  Game.Pair.Row = 1;
  Game.Pair.Cells[0][1] = BoardCell{0, 1, 0};
  Game.Pair.Cells[1][1] = BoardCell{2, 3, 0};
  Game.NextPair.Cells[0][1] = BoardCell{1, 1, 0};
  Game.NextPair.Cells[1][1] = BoardCell{1, 3, 0};
  Game.Score = 1234567;
  Game.HiScore[1] = 9876543;
  Game.Difficulty = 1;
  Game.Stage = 14;
  Game.TargetCount = 52;
  Game.TimeCount = 754;
}

void KeepBusy() {
  for (int32_t i = 0; i < ScorePopupSlots; ++i) {
    ScorePopup& popup = Game.ScorePopups[i];
    if (!popup.Active) popup = ScorePopup{"130", 3, 230 + (i % 8) * 30, 100 + (i / 8) * 40, i % 20, true};
  }
  if (Shell.FadeStep == 0) Shell.FadeStep = 1;
}

void BusyPlayFrames(benchmark::State& state, bool whole) {
  if (!Prepare(state, ModePlay, "GameButton")) return;
  FillBusyPlay();
  for (auto _ : state) {
    KeepBusy();
    Frame(whole);
  }
}
void BM_BusyPlayFrame(benchmark::State& state) { BusyPlayFrames(state, false); }
BENCHMARK(BM_BusyPlayFrame)->Unit(benchmark::kMicrosecond);
void BM_BusyPlayFrameDrawnWhole(benchmark::State& state) { BusyPlayFrames(state, true); }
BENCHMARK(BM_BusyPlayFrameDrawnWhole)->Unit(benchmark::kMicrosecond);

// The paused play screen, as a player leaves it when the window loses the focus: the board
// hidden behind the swaying pause panel.
void BM_PausedPlayFrame(benchmark::State& state) {
  if (!Prepare(state, ModePlay, "GameButton")) return;
  FillBusyPlay();
  Game.PlayState = PlayPaused;
  for (auto _ : state) Frame();
}
BENCHMARK(BM_PausedPlayFrame)->Unit(benchmark::kMicrosecond);

// The same, every operation drawn in full: the reference for drawing only what changed.
void BM_PausedPlayFrameDrawnWhole(benchmark::State& state) {
  if (!Prepare(state, ModePlay, "GameButton")) return;
  FillBusyPlay();
  Game.PlayState = PlayPaused;
  for (auto _ : state) Frame(true);
}
BENCHMARK(BM_PausedPlayFrameDrawnWhole)->Unit(benchmark::kMicrosecond);

// A plain copy of one back buffer: the floor any frame's drawing is measured against.
void BM_CopyBackBuffer(benchmark::State& state) {
  if (!Prepare(state, ModeTitle, "TitleButton")) return;
  const CGDISurface& from = Shell.BackBuffer[0];
  CGDISurface& to = Shell.BackBuffer[1];
  const size_t bytes = static_cast<size_t>(from.pitch()) * from.Height();
  for (auto _ : state) {
    std::memcpy(to.ptr(), from.ptr(), bytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_CopyBackBuffer)->Unit(benchmark::kMicrosecond);

// The maximised presentation's zoom of consecutive frames of a screen, as the presenter
// calls it: the newest back buffer against the one before.
void Zoom() {
  const CGDISurface& current = Shell.BackBuffer[Shell.BackIndex];
  const CGDISurface& previous = Shell.BackBuffer[1 - Shell.BackIndex];
  myZoomPD(Shell.ZoomSurface.ptr(), current.ptr(), Shell.ZoomSurface.pitch() / 2, current.pitch() / 2,
           current.Height(), Shell.ZoomSurface.Height(), current.Width(), Shell.ZoomSurface.Width(), previous.ptr());
}

void BM_ZoomTitleFrame(benchmark::State& state) {
  if (!Prepare(state, ModeTitle, "TitleButton")) return;
  for (auto _ : state) {
    state.PauseTiming();
    Frame();
    state.ResumeTiming();
    Zoom();
  }
}
BENCHMARK(BM_ZoomTitleFrame)->Unit(benchmark::kMicrosecond);

void BM_ZoomPlayFrame(benchmark::State& state) {
  if (!Prepare(state, ModePlay, "GameButton")) return;
  FillBusyPlay();
  for (auto _ : state) {
    state.PauseTiming();
    Frame();
    state.ResumeTiming();
    Zoom();
  }
}
BENCHMARK(BM_ZoomPlayFrame)->Unit(benchmark::kMicrosecond);

// The title screen, and a window whose picture area is the benchmark's zoom size (width,
// height) with a zoom surface of that size; null, with the benchmark skipped, when not ready.
std::unique_ptr<Platform::GameWindow> MaximisedTitle(benchmark::State& state) {
  if (!Prepare(state, ModeTitle, "TitleButton")) return nullptr;
  const auto zoomWidth = static_cast<int16_t>(state.range(0)), zoomHeight = static_cast<int16_t>(state.range(1));
  Shell.ZoomSurface.Create(zoomWidth, zoomHeight);
  std::unique_ptr<Platform::GameWindow> window;
  try {
    window = Platform::CreateGameWindow({"bench", zoomWidth, zoomHeight, false});
  } catch (const std::exception& error) {
    state.SkipWithError(error.what());
    return nullptr;
  }
  window->SetPicturePlacement({0, 0, zoomWidth, zoomHeight});
  return window;
}

// The whole maximised presentation of title frames (every pixel moves) on 1920 x 1080 and
// 3840 x 2160 displays: the zoom, then the zoom surface widened into a window's surface and
// handed to the window system. Run with SDL_VIDEODRIVER=dummy to time the program's share
// alone.
void BM_MaximisedPresentation(benchmark::State& state) {
  const std::unique_ptr<Platform::GameWindow> window = MaximisedTitle(state);
  if (window == nullptr) return;
  for (auto _ : state) {
    state.PauseTiming();
    Frame();
    state.ResumeTiming();
    Zoom();
    Shell.ZoomSurface.Render(window->PictureTarget());
  }
}
BENCHMARK(BM_MaximisedPresentation)->Args({1391, 1047})->Args({2852, 2141})->Unit(benchmark::kMicrosecond);

// The same presentation as the presenter makes it where the window lends its 32-bit pixels:
// the zoom written straight into them, then handed to the window system.
void BM_MaximisedPresentationIntoTheWindow(benchmark::State& state) {
  const std::unique_ptr<Platform::GameWindow> window = MaximisedTitle(state);
  if (window == nullptr) return;
  PresentTarget& target = *window->PictureTarget();
  for (auto _ : state) {
    state.PauseTiming();
    Frame();
    state.ResumeTiming();
    PresentTarget::LentPixels lent;
    if (!target.LendPixels(lent)) {
      state.SkipWithError("the window does not lend its pixels");
      return;
    }
    const CGDISurface& current = Shell.BackBuffer[Shell.BackIndex];
    const CGDISurface& previous = Shell.BackBuffer[1 - Shell.BackIndex];
    myZoomPDWide(lent.Pixels, current.ptr(), lent.PitchPixels, current.pitch() / 2, current.Height(),
                 Shell.ZoomSurface.Height(), current.Width(), Shell.ZoomSurface.Width(), previous.ptr(), lent.Width,
                 lent.Height);
    const ChangedArea whole{0, 0, lent.Width, lent.Height};
    target.ReturnPixels(&whole, 1);
  }
}
BENCHMARK(BM_MaximisedPresentationIntoTheWindow)->Args({1391, 1047})->Args({2852, 2141})->Unit(benchmark::kMicrosecond);

}  // namespace

// SPDX-License-Identifier: MIT
// Whole frames of every screen, drawn with the default skin, beside a plain copy of a back
// buffer and the maximised presentation's change-aware zoom. A frame is due every 28 ms.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "base/locations.h"
#include "config/images.h"
#include "config/skin_loaders.h"
#include "game/frame.h"
#include "game/game.h"
#include "platform/game_window.h"
#include "platform/platform.h"
#include "raster/rasterkit.h"
#include "render/frame_drawing.h"
#include "render/scene.h"
#include "shell/canvas.h"

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

// The default skin loaded once, and a game and a canvas drawn with it.
struct Bench {
  explicit Bench(const std::string& directory) : reader(directory) {}
  SkinReader reader;
  Skin skin;
  PlayerSettings player;
  QuietServices services;
  std::unique_ptr<Game> game;
  Canvas canvas;
  FrameDrawing drawing;
};
Bench* g_bench = nullptr;

// Loads the skin once; an empty text means ready, anything else is why not.
const std::string& SkinReady() {
  static const std::string problem = []() -> std::string {
    const std::string directory = FindSkin();
    if (directory.empty()) return "no skin with a main.ini found";
    try {
      Locations::PlayFrom(directory);
      Platform::SetClockSource(&g_clock);
      g_bench = new Bench(directory);
      Bench& bench = *g_bench;
      LoadTexts(bench.reader, bench.skin);
      LoadButtonImages(bench.reader, bench.skin);
      LoadLayout(bench.reader, bench.skin);
      LoadGameImages(bench.reader, bench.skin.Images);
      for (Surface& buffer : bench.canvas.Back) buffer.Create(BackBufferWidth, BackBufferHeight);
      bench.canvas.Fade.Create(BackBufferWidth, BackBufferHeight);
      bench.canvas.Zoom.Create(ZoomWidth, ZoomHeight);
    } catch (const std::exception& error) {
      return error.what();
    }
    return {};
  }();
  return problem;
}

// The game now timed: a fresh one on the screen of `mode` with the buttons of `section`;
// nullptr, with the benchmark skipped, when the skin could not be loaded.
GameState* Prepare(benchmark::State& state, int32_t mode, const char* section) {
  if (!SkinReady().empty()) {
    state.SkipWithError(SkinReady().c_str());
    return nullptr;
  }
  Bench& bench = *g_bench;
  bench.player = PlayerSettings{};
  bench.game = std::make_unique<Game>(bench.player, bench.skin.Layout, bench.services);
  GameState& game = bench.game->State;
  game.GameMode = mode;
  game.Buttons = LoadScreenButtons(bench.reader, bench.skin, section);
  return &game;
}

// One frame as the refresh handler draws it: flip, count, draw, cross-fade while it runs, and
// the animations move on. The game draws only where the frame's drawing changed; `whole`
// draws every operation in full.
void Frame(bool whole = false) {
  Bench& bench = *g_bench;
  Canvas& canvas = bench.canvas;
  GameState& game = bench.game->State;
  canvas.BackIndex = 1 - canvas.BackIndex;
  ++game.Tick;
  g_clock.seconds += 0.028;
  Surface& screen = canvas.Current();
  if (!whole) bench.drawing.Begin(screen, FrameRedrawsEverything(game, bench.skin.Images, screen, game.Tick));
  DrawFrame(Scene{game, bench.player, bench.skin, g_clock.seconds}, screen);
  if (game.FadeStep > 0) DrawFadeStep(screen, canvas.Fade, game.FadeStep);
  if (!whole) bench.drawing.Finish(canvas.Back, canvas.BackIndex, canvas.BackChanges[canvas.BackIndex], true);
  AnimationStep(*bench.game);
}

void BM_TitleFrame(benchmark::State& state) {
  if (Prepare(state, ModeTitle, "TitleButton") == nullptr) return;
  for (auto _ : state) Frame();
}
BENCHMARK(BM_TitleFrame)->Unit(benchmark::kMicrosecond);

void BM_StageSelectFrame(benchmark::State& state) {
  GameState* prepared = Prepare(state, ModeStageSelect, "SelectStageButton");
  if (prepared == nullptr) return;
  GameState& game = *prepared;
  g_bench->player.UserMaxStage = 7;
  game.Stage = 5;
  for (auto _ : state) Frame();
}
BENCHMARK(BM_StageSelectFrame)->Unit(benchmark::kMicrosecond);

// The busiest play frame: every board cell filled (targets and joined pieces of all colours,
// some vanishing), the falling pair, all 50 pop-ups with a multiplier, a cross-fade running.
void FillBusyPlay(GameState& game) {
  for (int32_t column = 0; column < BoardColumns; ++column) {
    for (int32_t row = 0; row < BoardRows; ++row) {
      const int32_t colour = (column + row) % 3;
      BoardCell& cell = game.Board[column][row];
      if (row >= 6) {
        cell = BoardCell{colour, 5, column * 7 + row};
      } else {
        cell = BoardCell{row == 3 ? colour + 20 : colour, column % 2 == 0 ? 1 : 3, 0};
      }
    }
  }
  game.PairActive = true;
  game.Pair.Column = 3;
  game.Pair.Row = 1;
  game.Pair.Cells[0][1] = BoardCell{0, 1, 0};
  game.Pair.Cells[1][1] = BoardCell{2, 3, 0};
  game.NextPair.Cells[0][1] = BoardCell{1, 1, 0};
  game.NextPair.Cells[1][1] = BoardCell{1, 3, 0};
  game.Score = 1234567;
  g_bench->player.HiScore[1] = 9876543;
  game.Difficulty = 1;
  game.Stage = 14;
  game.TargetCount = 52;
  game.TimeCount = 754;
}

void KeepBusy(GameState& game) {
  for (int32_t i = 0; i < ScorePopupSlots; ++i) {
    ScorePopup& popup = game.ScorePopups[i];
    if (!popup.Active) popup = ScorePopup{"130", 3, 230 + (i % 8) * 30, 100 + (i / 8) * 40, i % 20, true};
  }
  if (game.FadeStep == 0) game.FadeStep = 1;
}

void BusyPlayFrames(benchmark::State& state, bool whole) {
  GameState* prepared = Prepare(state, ModePlay, "GameButton");
  if (prepared == nullptr) return;
  GameState& game = *prepared;
  FillBusyPlay(game);
  for (auto _ : state) {
    KeepBusy(game);
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
  GameState* prepared = Prepare(state, ModePlay, "GameButton");
  if (prepared == nullptr) return;
  GameState& game = *prepared;
  FillBusyPlay(game);
  game.PlayState = PlayPaused;
  for (auto _ : state) Frame();
}
BENCHMARK(BM_PausedPlayFrame)->Unit(benchmark::kMicrosecond);

// The same, every operation drawn in full: the reference for drawing only what changed.
void BM_PausedPlayFrameDrawnWhole(benchmark::State& state) {
  GameState* prepared = Prepare(state, ModePlay, "GameButton");
  if (prepared == nullptr) return;
  GameState& game = *prepared;
  FillBusyPlay(game);
  game.PlayState = PlayPaused;
  for (auto _ : state) Frame(true);
}
BENCHMARK(BM_PausedPlayFrameDrawnWhole)->Unit(benchmark::kMicrosecond);

// A plain copy of one back buffer: the floor any frame's drawing is measured against.
void BM_CopyBackBuffer(benchmark::State& state) {
  if (Prepare(state, ModeTitle, "TitleButton") == nullptr) return;
  const Surface& from = g_bench->canvas.Back[0];
  Surface& to = g_bench->canvas.Back[1];
  const size_t bytes = static_cast<size_t>(from.Pitch()) * from.Height();
  for (auto _ : state) {
    std::memcpy(to.Pixels(), from.Pixels(), bytes);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_CopyBackBuffer)->Unit(benchmark::kMicrosecond);

// The maximised presentation's zoom of consecutive frames of a screen, as the presenter
// calls it: the newest back buffer against the one before.
void Zoom() {
  const Canvas& canvas = g_bench->canvas;
  const Surface& current = canvas.Current();
  const Surface& previous = canvas.Back[1 - canvas.BackIndex];
  myZoomPD(canvas.Zoom.Pixels(), current.Pixels(), canvas.Zoom.Pitch() / 2, current.Pitch() / 2, current.Height(),
           canvas.Zoom.Height(), current.Width(), canvas.Zoom.Width(), previous.Pixels());
}

void BM_ZoomTitleFrame(benchmark::State& state) {
  if (Prepare(state, ModeTitle, "TitleButton") == nullptr) return;
  for (auto _ : state) {
    state.PauseTiming();
    Frame();
    state.ResumeTiming();
    Zoom();
  }
}
BENCHMARK(BM_ZoomTitleFrame)->Unit(benchmark::kMicrosecond);

void BM_ZoomPlayFrame(benchmark::State& state) {
  GameState* prepared = Prepare(state, ModePlay, "GameButton");
  if (prepared == nullptr) return;
  GameState& game = *prepared;
  FillBusyPlay(game);
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
  if (Prepare(state, ModeTitle, "TitleButton") == nullptr) return nullptr;
  const auto zoomWidth = static_cast<int16_t>(state.range(0)), zoomHeight = static_cast<int16_t>(state.range(1));
  g_bench->canvas.Zoom.Create(zoomWidth, zoomHeight);
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
    const Surface& zoom = g_bench->canvas.Zoom;
    window->PictureTarget()->CopyPixels(zoom.Pixels(), zoom.Pitch(), zoom.Width(), zoom.Height(), 0, 0);
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
    const Canvas& canvas = g_bench->canvas;
    const Surface& current = canvas.Current();
    const Surface& previous = canvas.Back[1 - canvas.BackIndex];
    myZoomPDWide(lent.Pixels, current.Pixels(), lent.PitchPixels, current.Pitch() / 2, current.Height(),
                 canvas.Zoom.Height(), current.Width(), canvas.Zoom.Width(), previous.Pixels(), lent.Width,
                 lent.Height);
    const ChangedArea whole{0, 0, lent.Width, lent.Height};
    target.ReturnPixels(&whole, 1);
  }
}
BENCHMARK(BM_MaximisedPresentationIntoTheWindow)->Args({1391, 1047})->Args({2852, 2141})->Unit(benchmark::kMicrosecond);

}  // namespace

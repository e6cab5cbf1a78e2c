#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "shell/engine.h"
#include "shell/screen.h"
#include "shell/shell_state.h"
#include "shell_fakes.h"
#include "surface/raster_binding.h"

namespace {

void Fill(CGDISurface& surface, uint16_t value) {
  auto* bytes = reinterpret_cast<uint8_t*>(surface.ptr());
  for (int32_t y = 0; y < surface.Height(); ++y) {
    auto* row = reinterpret_cast<uint16_t*>(bytes + static_cast<size_t>(y) * surface.pitch());
    std::fill(row, row + surface.Width(), value);
  }
}

class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetShellGlobals();
    Shell.BackBuffer[0].Create(724, 544);
    Shell.BackBuffer[1].Create(724, 544);
  }
  void TearDown() override { ResetShellGlobals(); }
};

}  // namespace

TEST_F(ScreenTest, DueAtExactly28MillisecondsInIntegerArithmetic) {
  FakeClock clock;
  CScreen screen;
  ASSERT_TRUE(screen.Create(720, 540, nullptr));
  clock.AdvanceMicroseconds(27'999);
  EXPECT_FALSE(screen.TimeOut());
  clock.AdvanceMicroseconds(1);
  EXPECT_TRUE(screen.TimeOut());
  EXPECT_TRUE(screen.TimeOut());  // asking does not restart the period

  // A counter whose 28 ms are not a whole number of ticks: 100227.26 ticks at 3579545 Hz.
  struct OddClock : FakeClock {
    int64_t PerformanceFrequency() override { return 3'579'545; }
  } odd;
  CScreen oddScreen;
  oddScreen.Create(720, 540, nullptr);
  odd.counter += 100'227;
  EXPECT_FALSE(oddScreen.TimeOut());
  odd.counter += 1;
  EXPECT_TRUE(oddScreen.TimeOut());

  // A test that cannot be computed counts as due.
  odd.counter = INT64_MAX;
  EXPECT_TRUE(oddScreen.TimeOut());
}

TEST_F(ScreenTest, LateFrameIsNotMadeUp) {
  FakeClock clock;
  RecordingTarget target;
  CScreen screen;
  screen.Create(720, 540, &target);
  clock.AdvanceMilliseconds(40);
  ASSERT_TRUE(screen.TimeOut());
  screen.Render();
  EXPECT_EQ(screen.LastCount(), clock.counter);
  // The next frame is measured from this presentation, not from the 28 ms mark it missed.
  clock.AdvanceMicroseconds(27'999);
  EXPECT_FALSE(screen.TimeOut());
  clock.AdvanceMicroseconds(1);
  EXPECT_TRUE(screen.TimeOut());
}

TEST_F(ScreenTest, NormalWindowPresentsTheNewestBackBufferUnscaled) {
  FakeClock clock;
  RecordingTarget target;
  CScreen screen;
  screen.Create(720, 540, &target);
  Fill(Shell.BackBuffer[0], 0x1111);
  Fill(Shell.BackBuffer[1], 0x2222);
  Shell.BackIndex = 1;
  screen.Render();
  ASSERT_EQ(target.blocks.size(), 1u);
  const PresentedBlock& block = target.blocks[0];
  EXPECT_EQ(block.width, 724);
  EXPECT_EQ(block.height, 544);
  EXPECT_EQ(block.x, 0);
  EXPECT_EQ(block.y, 0);
  EXPECT_EQ(block.At(0, 0), 0x2222);
  EXPECT_EQ(block.At(723, 543), 0x2222);
}

TEST_F(ScreenTest, MaximisedWindowPresentsTheZoomSurfaceEvenWhenTheZoomFails) {
  FakeClock clock;
  RecordingTarget target;
  CScreen screen;
  screen.Create(720, 540, &target);
  Shell.ViewWidth = 1384;
  Shell.ViewHeight = 1040;
  Shell.ZoomSurface.Create(1391, 1047);
  Shell.BackPitch = 724;
  Shell.ZoomPitch = 1392;
  Fill(Shell.BackBuffer[0], 0x7C00);
  Shell.BackBuffer[1].Create(724, 544);  // all zero: every pixel changed

  RasterBinding::SetLibraryNameForTests("librasterkit-that-does-not-exist.so");
  screen.Render();
  RasterBinding::SetLibraryNameForTests(RasterBinding::DefaultLibraryName());
  ASSERT_EQ(target.blocks.size(), 1u);
  EXPECT_EQ(target.blocks[0].width, 1391);
  EXPECT_EQ(target.blocks[0].height, 1047);
  EXPECT_EQ(target.blocks[0].At(700, 500), 0);

  screen.Render();
  ASSERT_EQ(target.blocks.size(), 2u);
  const PresentedBlock& scaled = target.blocks[1];
  EXPECT_EQ(scaled.At(0, 0), 0x7C00);
  EXPECT_EQ(scaled.At(700, 500), 0x7C00);
  EXPECT_EQ(scaled.At(1383, 1039), 0x7C00);
  Shell.ZoomSurface = CGDISurface();
}

// The real loop on the real clock: every presentation at least 28 ms after the one before,
// and a slow frame followed by one prompt frame, not by a burst of catch-up frames.
TEST(FramePacing, RealLoopKeepsThePeriodAndNeverCatchesUp) {
  RecordingTarget target;
  CGameEngine engine;
  ASSERT_TRUE(engine.Create(720, 540, &target));
  const double ticksPerMs = static_cast<double>(SDL_GetPerformanceFrequency()) / 1000.0;
  std::vector<int64_t> presentations;
  constexpr int Frames = 250;
  constexpr int SlowFrame = 120;
  engine.GameRefresh = [&] {
    presentations.push_back(engine.Presenter()->LastCount());
    if (presentations.size() == SlowFrame) SDL_Delay(60);
    if (presentations.size() == Frames) engine.SetExitGame(true);
  };
  engine.StartGame();
  ASSERT_EQ(presentations.size(), static_cast<size_t>(Frames));
  double shortest = 1e9;
  for (size_t i = 1; i < presentations.size(); ++i) {
    const double gapMs = (presentations[i] - presentations[i - 1]) / ticksPerMs;
    shortest = std::min(shortest, gapMs);
    ASSERT_GE(gapMs, 28.0) << "presentation " << i;
  }
  const double afterSlow = (presentations[SlowFrame] - presentations[SlowFrame - 1]) / ticksPerMs;
  EXPECT_GE(afterSlow, 60.0);
  // The frame after the late one is due at once; the one after it keeps the full period.
  EXPECT_GE((presentations[SlowFrame + 1] - presentations[SlowFrame]) / ticksPerMs, 28.0);
  RecordProperty("ShortestPeriodMs", std::to_string(shortest));
}

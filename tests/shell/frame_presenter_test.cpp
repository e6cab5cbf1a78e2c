// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "shell/canvas.h"
#include "shell/frame_presenter.h"
#include "shell/game_loop.h"
#include "shell_fakes.h"
#include "surface/raster_binding.h"

namespace {

void Fill(Surface& surface, uint16_t value) {
  auto* bytes = reinterpret_cast<uint8_t*>(surface.Pixels());
  for (int32_t y = 0; y < surface.Height(); ++y) {
    auto* row = reinterpret_cast<uint16_t*>(bytes + static_cast<size_t>(y) * surface.Pitch());
    std::fill(row, row + surface.Width(), value);
  }
}

// A window's picture as the window system keeps it: what it was handed stays until it is
// overwritten, hidden or lost. The presenter's areas arrive through the default CopyAreas.
class CanvasTarget final : public PresentTarget {
 public:
  void Resize(int32_t width, int32_t height) {
    canvasWidth = width;
    canvasHeight = height;
    canvas.assign(static_cast<size_t>(width) * height, 0x5555);
  }
  void CopyPixels(const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height, int32_t x, int32_t y) override {
    ASSERT_GE(x, 0);
    ASSERT_GE(y, 0);
    ASSERT_LE(x + width, canvasWidth);
    ASSERT_LE(y + height, canvasHeight);
    for (int32_t row = 0; row < height; ++row) {
      const auto* line = reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                           static_cast<size_t>(row) * pitch);
      std::copy(line, line + width, canvas.begin() + static_cast<ptrdiff_t>(y + row) * canvasWidth + x);
    }
    lost = false;
    ++copies;
  }
  bool Showing() override { return showing; }
  bool LostPicture() override { return lost; }
  // While lending, the picture is kept as 32-bit pixels of which the view's 1384 x 1040 show.
  bool LendPixels(LentPixels& lent) override {
    if (!lending) return false;
    lent = {wide.data(), kWidePitch, 1384, 1040};
    return true;
  }
  void ReturnPixels(const ChangedArea*, size_t count) override {
    lost = false;
    if (count > 0) ++copies;
  }
  // The window system drops the picture (hidden, uncovered): garbage until presented again.
  void Scramble() {
    std::fill(canvas.begin(), canvas.end(), 0x2AAA);
    std::fill(wide.begin(), wide.end(), 0x00ABCDEF);
  }

  static constexpr int32_t kWidePitch = 1400;
  std::vector<uint16_t> canvas;
  std::vector<uint32_t> wide = std::vector<uint32_t>(size_t{kWidePitch} * 1040);
  int32_t canvasWidth = 0, canvasHeight = 0;
  bool showing = true, lost = false, lending = false;
  int32_t copies = 0;
};

uint32_t Widened(uint16_t pixel) {
  const uint32_t red = (pixel >> 10) & 31, green = (pixel >> 5) & 31, blue = pixel & 31;
  return (red << 3 | red >> 2) << 16 | (green << 3 | green >> 2) << 8 | (blue << 3 | blue >> 2);
}

std::vector<uint16_t> Pixels(const Surface& surface) {
  std::vector<uint16_t> pixels;
  const auto* bytes = reinterpret_cast<const uint8_t*>(surface.Pixels());
  for (int32_t y = 0; y < surface.Height(); ++y) {
    const auto* row = reinterpret_cast<const uint16_t*>(bytes + static_cast<size_t>(y) * surface.Pitch());
    pixels.insert(pixels.end(), row, row + surface.Width());
  }
  return pixels;
}

class FramePresenterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    canvas.Back[0].Create(724, 544);
    canvas.Back[1].Create(724, 544);
  }
  Canvas canvas;
};

}  // namespace

TEST_F(FramePresenterTest, DueAtExactly28MillisecondsInIntegerArithmetic) {
  FakeClock clock;
  FramePresenter screen(nullptr, canvas);
  clock.AdvanceMicroseconds(27'999);
  EXPECT_FALSE(screen.TimeOut());
  clock.AdvanceMicroseconds(1);
  EXPECT_TRUE(screen.TimeOut());
  EXPECT_TRUE(screen.TimeOut());  // asking does not restart the period

  // A counter whose 28 ms are not a whole number of ticks: 100227.26 ticks at 3579545 Hz.
  struct OddClock : FakeClock {
    int64_t PerformanceFrequency() override { return 3'579'545; }
  } odd;
  FramePresenter oddScreen(nullptr, canvas);
  odd.counter += 100'227;
  EXPECT_FALSE(oddScreen.TimeOut());
  odd.counter += 1;
  EXPECT_TRUE(oddScreen.TimeOut());

  // A test that cannot be computed counts as due.
  odd.counter = INT64_MAX;
  EXPECT_TRUE(oddScreen.TimeOut());
}

TEST_F(FramePresenterTest, LateFrameIsNotMadeUp) {
  FakeClock clock;
  RecordingTarget target;
  FramePresenter screen(&target, canvas);
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

TEST_F(FramePresenterTest, NormalWindowPresentsTheNewestBackBufferUnscaled) {
  FakeClock clock;
  RecordingTarget target;
  FramePresenter screen(&target, canvas);
  Fill(canvas.Back[0], 0x1111);
  Fill(canvas.Back[1], 0x2222);
  canvas.BackIndex = 1;
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

TEST_F(FramePresenterTest, MaximisedWindowPresentsTheZoomSurfaceEvenWhenTheZoomFails) {
  FakeClock clock;
  RecordingTarget target;
  FramePresenter screen(&target, canvas);
  canvas.ViewWidth = 1384;
  canvas.ViewHeight = 1040;
  canvas.Zoom.Create(1391, 1047);
  Fill(canvas.Back[0], 0x7C00);
  canvas.Back[1].Create(724, 544);  // all zero: every pixel changed

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
}

// A long scripted run: sprites move, whole frames change, nothing changes, the window hides
// and loses its picture, the window is maximised and restored, and lends its 32-bit pixels
// for the zoom or stops lending them. After every presentation the window shows exactly what
// presenting the whole picture would show, and the zoom surface (when the zoom went there)
// is a full zoom of the newest frame.
TEST_F(FramePresenterTest, PresentingOnlyTheChangesShowsWhatAWholePresentationWould) {
  FakeClock clock;
  CanvasTarget target;
  FramePresenter screen(&target, canvas);
  const int32_t width = canvas.Back[0].Width(), height = canvas.Back[0].Height();
  std::vector<uint16_t> scene(static_cast<size_t>(width) * height);
  std::mt19937 rng(7);
  for (uint16_t& pixel : scene) pixel = static_cast<uint16_t>(rng() & 0x7FFF);
  target.Resize(width, height);
  bool zoomed = false;
  int32_t copiesWhileHidden = 0;
  // The drawing tells the presenter where each frame may differ from the one before.
  uint64_t serial = 0;
  bool shownBefore = false;
  for (int32_t frame = 0; frame < 360; ++frame) {
    std::vector<ChangedArea> changed;
    bool everythingChanged = false;
    // A new placement, as the window reports after maximising or restoring.
    target.lost = target.lost || frame == 150 || frame == 230 || frame == 280;
    if (frame == 150 || frame == 230) {  // maximised, twice: a new zoom surface each time
      zoomed = true;
      canvas.ViewWidth = 1384;
      canvas.ViewHeight = 1040;
      canvas.Zoom.Create(1391, 1047);
      target.Resize(1391, 1047);
    } else if (frame == 200) {
      // The window reports a new size that keeps its picture: the zoom surface is made anew,
      // black, and may land at the same address (a clear stands for that here).
      canvas.Zoom.Clear();
    } else if (frame == 280) {  // restored: the zoom surface is kept
      zoomed = false;
      canvas.ViewWidth = 720;
      canvas.ViewHeight = 540;
      target.Resize(width, height);
    }
    if (frame % 20 == 10) target.lending = !target.lending;
    const uint32_t event = rng() % 100;
    if (event < 50) {  // a few sprites move, one near a corner
      for (int32_t sprite = 0; sprite < 3; ++sprite) {
        const int32_t size = 1 + static_cast<int32_t>(rng() % 40);
        const int32_t left = sprite == 0 ? width - size : static_cast<int32_t>(rng() % (width - size));
        const int32_t top = sprite == 0 ? height - size : static_cast<int32_t>(rng() % (height - size));
        const auto colour = static_cast<uint16_t>(rng() & 0x7FFF);
        changed.push_back(ChangedArea{left, top, left + size, top + size});
        for (int32_t y = top; y < top + size; ++y)
          std::fill_n(scene.begin() + static_cast<ptrdiff_t>(y) * width + left, size, colour);
      }
    } else if (event < 54) {  // everything changes
      for (uint16_t& pixel : scene) pixel = static_cast<uint16_t>(pixel ^ 0x0421);
      everythingChanged = true;
    } else if (event < 57) {  // a single pixel at a random place
      const size_t at = rng() % scene.size();
      scene[at] ^= 1;
      const auto x = static_cast<int32_t>(at % width), y = static_cast<int32_t>(at / width);
      changed.push_back(ChangedArea{x, y, x + 1, y + 1});
    }
    const uint32_t window = rng() % 100;
    const bool hiddenBefore = !target.showing;
    target.showing = window >= 6;
    if (!target.showing || hiddenBefore) target.Scramble();
    if (window < 3) {
      target.Scramble();
      target.lost = true;
    }
    // Back on screen, the buffer whose drawing was skipped while hidden is not presented.
    if (target.showing && hiddenBefore) {
      const int32_t copiesBefore = target.copies;
      screen.Render();
      ASSERT_EQ(target.copies, copiesBefore) << "frame " << frame;
    }
    // The loop's order: the finished frame is presented, then the next one is drawn. A frame
    // nobody sees skips its drawing and leaves other pixels in its buffer.
    canvas.BackIndex = 1 - canvas.BackIndex;
    Surface& back = canvas.Back[canvas.BackIndex];
    back.SkipDrawing(false);
    if (target.showing) {
      for (int32_t y = 0; y < height; ++y) {
        std::copy_n(scene.begin() + static_cast<ptrdiff_t>(y) * width, width,
                    reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(back.Pixels()) +
                                                static_cast<size_t>(y) * back.Pitch()));
      }
    } else {
      Fill(back, static_cast<uint16_t>(rng() & 0x7FFF));
      back.SkipDrawing(true);
    }
    FrameChanges& drawn = canvas.BackChanges[canvas.BackIndex];
    drawn = FrameChanges{++serial, back.Version(), target.showing && shownBefore && !everythingChanged, changed};
    shownBefore = target.showing;
    const int32_t copiesBefore = target.copies;
    screen.Render();
    if (!target.showing) {
      copiesWhileHidden += target.copies - copiesBefore;
      continue;
    }
    if (frame % 7 == 0 && !target.lost) {  // no frame drawn since: nothing to hand over
      const int32_t copiesAfter = target.copies;
      screen.Render();
      ASSERT_EQ(target.copies, copiesAfter) << "frame " << frame;
    }
    if (!zoomed) {
      ASSERT_EQ(target.canvas, Pixels(back)) << "frame " << frame;
      continue;
    }
    if (!target.lending) {
      ASSERT_EQ(target.canvas, Pixels(canvas.Zoom)) << "frame " << frame;
    }
    Surface full, complement;
    full.Create(1391, 1047);
    complement.Create(width, height);
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) {
        const size_t offset = static_cast<size_t>(y) * complement.Pitch() / 2 + x;
        complement.Pixels()[offset] = static_cast<uint16_t>(~back.Pixels()[offset]);
      }
    }
    Raster::myZoomPD(full.Pixels(), back.Pixels(), full.Pitch() / 2, back.Pitch() / 2, height, 1047, width, 1391,
                     complement.Pixels());
    const std::vector<uint16_t> expected = Pixels(full), actual = Pixels(canvas.Zoom);
    if (!target.lending) {
      ASSERT_TRUE(std::equal(expected.begin(), expected.end() - 2 * 1391, actual.begin())) << "frame " << frame;
      continue;
    }
    for (int32_t y = 0; y < 1040; ++y) {
      for (int32_t x = 0; x < 1384; ++x) {
        ASSERT_EQ(target.wide[size_t(y) * CanvasTarget::kWidePitch + x], Widened(expected[size_t(y) * 1391 + x]))
            << "frame " << frame << " at " << x << "," << y;
      }
    }
  }
  EXPECT_EQ(copiesWhileHidden, 0);
}

// The real loop on the real clock: every presentation at least 28 ms after the one before,
// and a slow frame followed by one prompt frame, not by a burst of catch-up frames.
TEST(FramePresenterPacing, RealLoopKeepsThePeriodAndNeverCatchesUp) {
  RecordingTarget target;
  Canvas canvas;
  GameLoop loop;
  loop.Create(&target, canvas);
  const double ticksPerMs = static_cast<double>(SDL_GetPerformanceFrequency()) / 1000.0;
  std::vector<int64_t> presentations;
  constexpr int Frames = 250;
  constexpr int SlowFrame = 120;
  loop.GameRefresh = [&] {
    presentations.push_back(loop.Presenter()->LastCount());
    if (presentations.size() == SlowFrame) SDL_Delay(60);
    if (presentations.size() == Frames) loop.RequestExit();
  };
  loop.Run();
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

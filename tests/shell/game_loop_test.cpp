// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/runtime.h"
#include "shell/canvas.h"
#include "shell/frame_presenter.h"
#include "shell/game_loop.h"
#include "shell_fakes.h"

// The loop with a clock that only the loop's own waits move: after a pass it waits until the
// next frame is due, so an idle game wakes once a frame and the frame after the first pass is
// due on the second.
TEST(GameLoop, ExitFromAHandlerFinishesThatPassThenStops) {
  FakeClock clock;
  RecordingTarget target;
  Canvas canvas;
  GameLoop loop;
  EXPECT_EQ(loop.Presenter(), nullptr);
  loop.Create(&target, canvas);
  ASSERT_NE(loop.Presenter(), nullptr);
  std::vector<std::string> log;
  std::vector<int64_t> passTimes;
  loop.DispatchEvents = [&] {
    passTimes.push_back(clock.counter);
    log.push_back("dispatch");
    if (passTimes.size() == 2) loop.RequestExit();  // the pass whose frame is due
  };
  loop.GameRefresh = [&] { log.push_back("refresh"); };
  loop.GameExit = [&] {
    log.push_back(loop.Presenter() == nullptr ? "exit without presenter" : "exit with presenter");
  };
  loop.Run();
  ASSERT_EQ(passTimes.size(), 2u);
  EXPECT_EQ(passTimes[1] - passTimes[0], FramePresenter::FramePeriodMs * 1000);
  EXPECT_EQ(log, (std::vector<std::string>{"dispatch", "dispatch", "refresh", "exit without presenter"}));
}

TEST(GameLoop, WaitEndsWhenTheFrameIsDueRoundedUpToAMillisecond) {
  FakeClock clock;
  Canvas canvas;
  FramePresenter presenter(nullptr, canvas);
  EXPECT_EQ(presenter.MillisecondsUntilDue(), 28u);
  clock.AdvanceMicroseconds(26'500);
  EXPECT_EQ(presenter.MillisecondsUntilDue(), 2u);
  EXPECT_FALSE(presenter.TimeOut());
  clock.AdvanceMicroseconds(1'500);
  EXPECT_EQ(presenter.MillisecondsUntilDue(), 0u);
  EXPECT_TRUE(presenter.TimeOut());
  clock.counter -= 1'000'000;  // a counter that runs backwards waits one period, not longer
  EXPECT_EQ(presenter.MillisecondsUntilDue(), 28u);
}

TEST(GameLoop, FailingStepsLoseOnlyThemselves) {
  FakeClock clock;
  RecordingTarget target;
  Canvas canvas;
  GameLoop loop;
  loop.Create(&target, canvas);
  int frames = 0, passes = 0;
  loop.DispatchEvents = [&] {
    if (++passes % 3 == 0) throw std::runtime_error("handler failed");
  };
  loop.GameRefresh = [&] {
    ++frames;
    if (frames == 10) loop.RequestExit();
    throw RuntimeError(ErrorKind::Overflow, "frame");
  };
  bool exited = false;
  loop.GameExit = [&] {
    exited = true;
    throw std::runtime_error("exit handler failed");
  };
  loop.Run();
  EXPECT_EQ(frames, 10);
  EXPECT_TRUE(exited);
}

TEST(GameLoop, OwnerMayDropTheLoopInsideGameExit) {
  FakeClock clock;
  RecordingTarget target;
  Canvas canvas;
  auto owner = std::make_shared<GameLoop>();
  owner->Create(&target, canvas);
  owner->GameRefresh = [&] { owner->RequestExit(); };
  owner->GameExit = [&] { owner.reset(); };
  GameLoop* loop = owner.get();
  loop->Run();  // the sanitizer build proves nothing is used after it is freed
  EXPECT_EQ(owner, nullptr);
}

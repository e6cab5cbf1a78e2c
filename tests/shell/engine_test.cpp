#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "shell/engine.h"
#include "shell/runtime.h"
#include "shell/screen.h"
#include "shell_fakes.h"

TEST(EngineTimers, TableKeepsFirstEntryPerIdAndClosesGaps) {
  FakeClock clock;
  CGameEngine engine;
  EXPECT_EQ(engine.SetUpTimer(7, 100), 0);
  EXPECT_EQ(engine.SetUpTimer(9, 50), 0);
  EXPECT_EQ(engine.SetUpTimer(11, 10), 0);
  // An ID already present changes nothing, not even its delay; the result is its position.
  EXPECT_EQ(engine.SetUpTimer(9, 999), 1);
  ASSERT_EQ(engine.Timers().size(), 3u);
  EXPECT_EQ(engine.Timers()[1].Delay, 50);

  EXPECT_FLOAT_EQ(engine.GetTimerProcess(42), -1.0f);
  EXPECT_EQ(engine.GetTimerCount(42), -1);
  engine.DestroyTimer(42);
  EXPECT_EQ(engine.Timers().size(), 3u);

  engine.DestroyTimer(9);
  ASSERT_EQ(engine.Timers().size(), 2u);
  EXPECT_EQ(engine.Timers()[0].ID, 7);
  EXPECT_EQ(engine.Timers()[1].ID, 11);
  EXPECT_EQ(engine.GetTimerCount(9), -1);
}

TEST(EngineTimers, LatePollCountsOnePeriodAndRestartsFromThePoll) {
  FakeClock clock;
  CGameEngine engine;
  engine.SetUpTimer(1, 100);
  clock.AdvanceMilliseconds(50);
  EXPECT_FLOAT_EQ(engine.GetTimerProcess(1), 0.5f);
  EXPECT_EQ(engine.GetTimerCount(1), 0);
  clock.AdvanceMilliseconds(300);  // 3.5 periods since the start
  EXPECT_FLOAT_EQ(engine.GetTimerProcess(1), 1.0f);
  EXPECT_EQ(engine.GetTimerCount(1), 1);
  EXPECT_FLOAT_EQ(engine.GetTimerProcess(1), 0.0f);
  clock.AdvanceMilliseconds(25);
  EXPECT_FLOAT_EQ(engine.GetTimerProcess(1), 0.25f);
}

TEST(EngineTimers, CountWrapsAfter65535AndTickWrapIsHarmless) {
  FakeClock clock;
  clock.tickBase = 0xFFFFFFFFu - 20;  // the tick count wraps 20 ms from now
  CGameEngine engine;
  engine.SetUpTimer(3, 10);
  clock.AdvanceMilliseconds(5);
  EXPECT_FLOAT_EQ(engine.GetTimerProcess(3), 0.5f);
  clock.AdvanceMilliseconds(25);  // across the wrap
  EXPECT_FLOAT_EQ(engine.GetTimerProcess(3), 1.0f);
  clock.AdvanceMilliseconds(4);
  EXPECT_FLOAT_EQ(engine.GetTimerProcess(3), 0.4f);

  for (int i = 2; i < 65536; ++i) {
    clock.AdvanceMilliseconds(10);
    ASSERT_FLOAT_EQ(engine.GetTimerProcess(3), 1.0f);
  }
  EXPECT_EQ(engine.GetTimerCount(3), 65535);
  clock.AdvanceMilliseconds(10);
  engine.GetTimerProcess(3);
  EXPECT_EQ(engine.GetTimerCount(3), 0);
}

TEST(EngineTimers, ZeroDelayIsAnArithmeticError) {
  FakeClock clock;
  CGameEngine engine;
  engine.SetUpTimer(5, 0);
  try {
    engine.GetTimerProcess(5);
    FAIL() << "no error";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.Kind(), ErrorKind::DivisionByZero);
  }
}

TEST(EngineCreate, RefusedByEngineReadyLeavesNoPresenter) {
  FakeClock clock;
  RecordingTarget target;
  CGameEngine engine;
  engine.EngineReady = [](bool& GameInit) { GameInit = false; };
  EXPECT_FALSE(engine.Create(720, 540, &target));
  EXPECT_EQ(engine.Presenter(), nullptr);
  engine.EngineReady = nullptr;
  EXPECT_TRUE(engine.Create(720, 540, &target));
  EXPECT_NE(engine.Presenter(), nullptr);
}

// The loop with a clock that only the loop's own waits move: after a pass it waits until the
// next frame is due, so an idle game wakes once a frame and the frame after the first pass is
// due on the second.
TEST(EngineLoop, ExitFromAHandlerFinishesThatPassThenStops) {
  FakeClock clock;
  RecordingTarget target;
  CGameEngine engine;
  ASSERT_TRUE(engine.Create(720, 540, &target));
  std::vector<std::string> log;
  std::vector<int64_t> passTimes;
  engine.DispatchMessages = [&] {
    passTimes.push_back(clock.counter);
    log.push_back("dispatch");
    if (passTimes.size() == 2) engine.SetExitGame(true);  // the pass whose frame is due
  };
  engine.GameRefresh = [&] { log.push_back("refresh"); };
  engine.GameExit = [&] {
    log.push_back(engine.Presenter() == nullptr ? "exit without presenter" : "exit with presenter");
  };
  engine.StartGame();
  ASSERT_EQ(passTimes.size(), 2u);
  EXPECT_EQ(passTimes[1] - passTimes[0], CScreen::FramePeriodMs * 1000);
  EXPECT_EQ(log, (std::vector<std::string>{"dispatch", "dispatch", "refresh", "exit without presenter"}));
}

TEST(EngineLoop, WaitEndsWhenTheFrameIsDueRoundedUpToAMillisecond) {
  FakeClock clock;
  CScreen screen;
  ASSERT_TRUE(screen.Create(720, 540, nullptr));
  EXPECT_EQ(screen.MillisecondsUntilDue(), 28u);
  clock.AdvanceMicroseconds(26'500);
  EXPECT_EQ(screen.MillisecondsUntilDue(), 2u);
  EXPECT_FALSE(screen.TimeOut());
  clock.AdvanceMicroseconds(1'500);
  EXPECT_EQ(screen.MillisecondsUntilDue(), 0u);
  EXPECT_TRUE(screen.TimeOut());
  clock.counter -= 1'000'000;  // a counter that runs backwards waits one period, not longer
  EXPECT_EQ(screen.MillisecondsUntilDue(), 28u);
}

TEST(EngineLoop, FailingStepsLoseOnlyThemselves) {
  FakeClock clock;
  RecordingTarget target;
  CGameEngine engine;
  ASSERT_TRUE(engine.Create(720, 540, &target));
  int frames = 0, passes = 0;
  engine.DispatchMessages = [&] {
    if (++passes % 3 == 0) throw std::runtime_error("handler failed");
  };
  engine.GameRefresh = [&] {
    ++frames;
    if (frames == 10) engine.SetExitGame(true);
    throw RuntimeError(ErrorKind::Overflow, "frame");
  };
  bool exited = false;
  engine.GameExit = [&] {
    exited = true;
    throw std::runtime_error("exit handler failed");
  };
  engine.StartGame();
  EXPECT_EQ(frames, 10);
  EXPECT_TRUE(exited);
}

TEST(EngineLoop, OwnerMayDropTheEngineInsideGameExit) {
  FakeClock clock;
  RecordingTarget target;
  auto owner = std::make_shared<CGameEngine>();
  ASSERT_TRUE(owner->Create(720, 540, &target));
  owner->GameRefresh = [&] { owner->SetExitGame(true); };
  owner->GameExit = [&] { owner.reset(); };
  CGameEngine* engine = owner.get();
  engine->StartGame();  // the sanitizer build proves nothing is used after it is freed
  EXPECT_EQ(owner, nullptr);
}

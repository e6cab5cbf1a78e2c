// SPDX-License-Identifier: MIT
// GameLoop: the loop that drives the game after start-up. Run dispatches the window's events,
// asks the presenter whether a frame is due, presents the last finished frame and raises
// GameRefresh, then waits for the next event or the next due frame (at least 1 ms); it returns
// once an exit was requested and GameExit was raised.
#pragma once

#include <functional>
#include <memory>

class FramePresenter;
class PresentTarget;
struct Canvas;

// When the loop is owned through a shared_ptr, Run keeps it alive until it returns, so the
// owner may drop its reference inside the GameExit handler.
class GameLoop : public std::enable_shared_from_this<GameLoop> {
 public:
  // The events, raised on the thread that runs the loop.
  std::function<void()> GameExit;
  std::function<void()> GameRefresh;
  // Step 1 of every pass: dispatch every queued window event. Set by the owner.
  std::function<void()> DispatchEvents;

  GameLoop();
  ~GameLoop();

  // Makes the presenter of the canvas's newest back buffer on `picture`.
  void Create(PresentTarget* picture, const Canvas& canvas);
  void RequestExit() { exitRequest_ = true; }
  bool ExitRequested() const { return exitRequest_; }
  void Run();

  FramePresenter* Presenter() const;

 private:
  std::unique_ptr<FramePresenter> presenter_;
  bool exitRequest_ = false;
};

// SPDX-License-Identifier: MIT
#include "shell/game_loop.h"

#include <algorithm>

#include "base/runtime.h"
#include "platform/platform.h"
#include "shell/frame_presenter.h"

GameLoop::GameLoop() = default;
GameLoop::~GameLoop() = default;

void GameLoop::Create(PresentTarget* picture, const Canvas& canvas) {
  presenter_ = std::make_unique<FramePresenter>(picture, canvas);
}

void GameLoop::Run() {
  const std::shared_ptr<GameLoop> keepAlive = weak_from_this().lock();
  while (!exitRequest_) {
    IgnoreErrors([&] {
      if (DispatchEvents) DispatchEvents();
    });
    // Without a presenter the due test fails, and a failed test counts as due.
    bool due = true;
    IgnoreErrors([&] { due = presenter_ == nullptr || presenter_->TimeOut(); });
    if (due) {
      IgnoreErrors([&] {
        if (presenter_ != nullptr) presenter_->Render();
      });
      IgnoreErrors([&] {
        if (GameRefresh) GameRefresh();
      });
    }
    // Until the next frame is due the loop waits for input, which wakes it at once: a
    // frame's work and its events are all an idle game costs.
    uint32_t wait = 1;
    IgnoreErrors([&] {
      if (presenter_ != nullptr) wait = std::max<uint32_t>(presenter_->MillisecondsUntilDue(), 1);
    });
    Platform::WaitForEvents(wait);
  }
  IgnoreErrors([&] { presenter_.reset(); });
  IgnoreErrors([&] {
    if (GameExit) GameExit();
  });
}

FramePresenter* GameLoop::Presenter() const { return presenter_.get(); }

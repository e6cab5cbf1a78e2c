#include "shell/engine.h"

#include <algorithm>
#include <exception>

#include "shell/platform/platform.h"
#include "shell/runtime.h"
#include "shell/screen.h"

namespace {

constexpr int32_t TimerCountLimit = 65535;

}  // namespace

CGameEngine::CGameEngine() = default;
CGameEngine::~CGameEngine() = default;

void CGameEngine::Destroy() { presenter_.reset(); }

bool CGameEngine::Create(int32_t w, int32_t h, PresentTarget* picture) {
  presenter_ = std::make_unique<CScreen>();
  if (presenter_->Create(w, h, picture)) {
    bool GameInit = true;
    if (EngineReady) EngineReady(GameInit);
    if (GameInit) return true;
  }
  Destroy();
  return false;
}

void CGameEngine::SetExitGame(bool IsExitGame) { exitRequest_ = IsExitGame; }

void CGameEngine::GetMsg(int32_t uMsg, int32_t wParam, int32_t lParam) {
  if (GameMsg) GameMsg(uMsg, wParam, lParam);
}

void CGameEngine::StartGame() {
  const std::shared_ptr<CGameEngine> keepAlive = weak_from_this().lock();
  while (!exitRequest_) {
    IgnoreErrors([&] {
      if (DispatchMessages) DispatchMessages();
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
    // frame's work and its messages are all an idle game costs.
    uint32_t wait = 1;
    IgnoreErrors([&] {
      if (presenter_ != nullptr) wait = std::max<uint32_t>(presenter_->MillisecondsUntilDue(), 1);
    });
    Platform::WaitForEvents(wait);
  }
  IgnoreErrors([&] { Destroy(); });
  IgnoreErrors([&] {
    if (GameExit) GameExit();
  });
}

int16_t CGameEngine::SetUpTimer(int32_t ID, int32_t Delay) {
  for (size_t i = 0; i < timers_.size(); ++i) {
    if (timers_[i].ID == ID) return static_cast<int16_t>(i);
  }
  timers_.push_back({ID, Delay, static_cast<int32_t>(Platform::TickCount()), 0});
  return 0;
}

void CGameEngine::DestroyTimer(int32_t ID) {
  for (auto entry = timers_.begin(); entry != timers_.end(); ++entry) {
    if (entry->ID == ID) {
      timers_.erase(entry);
      timers_.shrink_to_fit();
      return;
    }
  }
}

float CGameEngine::GetTimerProcess(int32_t ID) {
  for (TimerEntry& entry : timers_) {
    if (entry.ID != ID) continue;
    if (entry.Delay == 0) Raise(ErrorKind::DivisionByZero, "timer delay");
    const uint32_t now = Platform::TickCount();
    // The tick count wraps after 49.7 days; the elapsed time is taken modulo 2^32.
    const uint32_t elapsed = now - static_cast<uint32_t>(entry.StartTick);
    const double progress = static_cast<double>(elapsed) / entry.Delay;
    if (progress < 1.0) return static_cast<float>(progress);
    entry.Count = entry.Count >= TimerCountLimit ? 0 : entry.Count + 1;
    entry.StartTick = static_cast<int32_t>(now);
    return 1.0f;
  }
  return -1.0f;
}

int32_t CGameEngine::GetTimerCount(int32_t ID) const {
  for (const TimerEntry& entry : timers_) {
    if (entry.ID == ID) return entry.Count;
  }
  return -1;
}

CScreen* CGameEngine::Presenter() const { return presenter_.get(); }
const std::vector<TimerEntry>& CGameEngine::Timers() const { return timers_; }

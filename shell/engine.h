// CGameEngine: the loop that drives the game after start-up. StartGame pumps the window
// messages, asks the presenter whether a frame is due, presents the last finished frame and
// raises GameRefresh, then waits for the next message or the next due frame (at least 1 ms);
// it returns once ExitGame was set and GameExit was raised.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class CScreen;
class PresentTarget;

struct TimerEntry {
  int32_t ID = 0;
  int32_t Delay = 0;
  int32_t StartTick = 0;
  int32_t Count = 0;
};

// When the engine is owned through a shared_ptr, StartGame keeps it alive until it returns,
// so the owner may drop its reference inside the GameExit handler.
class CGameEngine : public std::enable_shared_from_this<CGameEngine> {
 public:
  // The events, raised on the thread that runs StartGame.
  std::function<void(bool& GameInit)> EngineReady;
  std::function<void()> GameExit;
  std::function<void()> GameRefresh;
  std::function<void(int32_t uMsg, int32_t wParam, int32_t lParam)> GameMsg;
  // Step 1 of every pass: dispatch every queued window message. Set by the owner.
  std::function<void()> DispatchMessages;

  CGameEngine();
  ~CGameEngine();

  void Destroy();
  // Makes the presenter for a picture of w x h pixels shown on `picture`; raises EngineReady.
  bool Create(int32_t w, int32_t h, PresentTarget* picture = nullptr);
  void SetExitGame(bool IsExitGame);
  bool ExitRequested() const { return exitRequest_; }
  void GetMsg(int32_t uMsg, int32_t wParam, int32_t lParam);
  void StartGame();
  // Timers measured on the millisecond tick count. SetUpTimer returns the position of an
  // entry that already has this ID, or 0 after appending a new one.
  int16_t SetUpTimer(int32_t ID, int32_t Delay);
  void DestroyTimer(int32_t ID);
  // The progress of the current period, 1.0 once it is complete (which starts the next
  // period now), -1.0 for an unknown ID; a Delay of 0 raises DivisionByZero.
  float GetTimerProcess(int32_t ID);
  int32_t GetTimerCount(int32_t ID) const;

  CScreen* Presenter() const;
  const std::vector<TimerEntry>& Timers() const;

 private:
  std::unique_ptr<CScreen> presenter_;
  bool exitRequest_ = false;
  std::vector<TimerEntry> timers_;
};

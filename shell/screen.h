// CScreen: the engine's presenter. Decides when the next frame is due (28 ms on the
// performance counter, measured from presentation to presentation) and shows the newest
// back buffer, 1:1 in a normal window or scaled with myZoomPD when maximised.
#pragma once

#include <cstdint>

class PresentTarget;

class CScreen {
 public:
  static constexpr int32_t FramePeriodMs = 28;

  bool Create(int32_t w, int32_t h, PresentTarget* target);
  bool TimeOut();
  void Render();

  int64_t LastCount() const { return LastCount_; }
  int64_t CounterFreq() const { return CounterFreq_; }

 private:
  PresentTarget* ScreenDC_ = nullptr;
  int64_t LastCount_ = 0;
  int64_t CounterFreq_ = 1;
};

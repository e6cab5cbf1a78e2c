#include "shell/screen.h"

#include <exception>

#include "shell/main_window.h"
#include "shell/platform/platform.h"
#include "shell/runtime.h"
#include "surface/raster_binding.h"

bool CScreen::Create(int32_t, int32_t, PresentTarget* target) {
  ScreenDC_ = target;
  CounterFreq_ = Platform::PerformanceFrequency();
  LastCount_ = Platform::PerformanceCounter();
  return true;
}

bool CScreen::TimeOut() {
  int64_t elapsed = 0, elapsedScaled = 0, periodScaled = 0;
  // An overflowing test counts as due, as any failure of the test does.
  if (__builtin_sub_overflow(Platform::PerformanceCounter(), LastCount_, &elapsed) ||
      __builtin_mul_overflow(elapsed, int64_t{1000}, &elapsedScaled) ||
      __builtin_mul_overflow(CounterFreq_, int64_t{FramePeriodMs}, &periodScaled)) {
    return true;
  }
  return elapsedScaled >= periodScaled;
}

void CScreen::Render() {
  LastCount_ = Platform::PerformanceCounter();
  const CGDISurface& current = Shell.BackBuffer[Shell.BackIndex];
  if (Shell.ViewWidth == 720) {
    IgnoreErrors([&] { current.Render(ScreenDC_); });
    return;
  }
  const CGDISurface& previous = Shell.BackBuffer[1 - Shell.BackIndex];
  // The zoom checks nothing itself: it runs only on surfaces that exist.
  const bool surfacesExist = Shell.ZoomSurface.ptr() != nullptr && current.ptr() != nullptr &&
                             previous.ptr() != nullptr && previous.Width() == current.Width() &&
                             previous.Height() == current.Height();
  if (surfacesExist) IgnoreErrors([&] {
    Raster::myZoomPD(Shell.ZoomSurface.ptr(), current.ptr(), Shell.ZoomPitch, Shell.BackPitch, current.Height(),
                     Shell.ZoomSurface.Height(), current.Width(), Shell.ZoomSurface.Width(), previous.ptr());
  });
  IgnoreErrors([&] { Shell.ZoomSurface.Render(ScreenDC_); });
}

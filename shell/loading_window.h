// Frm_Loading: the small loading window shown while start-up loads the skin. Its progress
// strip TmyLife (left 1, top 139, 10 high) shows plan.bmp as it widens, one pixel a step.
#pragma once

#include <cstdint>

class Frm_Loading {
 public:
  // Opens the 200 x 149 window with ImagePath + loading.bmp and plan.bmp; strip width 0.
  static void Load();
  static void Show();
  static void Unload();
  // One progress step: the strip grows by one pixel (back to 1 after 198) and the window is
  // repainted at once. Counts steps even when the window is not loaded (tests).
  static void mAddlife();
  static int32_t StripWidth();
  static int64_t StepCount();
  static void ResetStepCount();
};

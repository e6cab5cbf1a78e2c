// STUB: replaced by the presenter.
#include "shell/screen.h"

bool CScreen::Create(int32_t, int32_t, PresentTarget* target) {
  ScreenDC_ = target;
  return true;
}
bool CScreen::TimeOut() { return true; }
void CScreen::Render() {}

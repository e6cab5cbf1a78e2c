#include "game/hit_test.h"

#include "config/config.h"
#include "game/flow.h"
#include "shell/runtime.h"
#include "shell/shell_state.h"

bool MouseInRect(int32_t left, int32_t right, int32_t top, int32_t bottom) {
  return left < Shell.MouseX && Shell.MouseX < right && top < Shell.MouseY && Shell.MouseY < bottom;
}

bool HitScreenButton() {
  const int32_t last = static_cast<int32_t>(Config.ScreenButtons.size()) - 1;
  for (int32_t i = 0; i <= Config.ScreenButtonMax; ++i) {
    const ScreenButton& button = Config.ScreenButtons[CheckIndex(i, 0, last)];
    if (button.State != 0 && MouseInRect(button.Left, button.Right, button.Top, button.Bottom)) {
      ButtonClick(i);
      return true;
    }
  }
  return false;
}

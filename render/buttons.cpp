#include "render/buttons.h"

#include <algorithm>

#include "config/config.h"
#include "game/focus.h"
#include "game/hit_test.h"
#include "render/sheet.h"
#include "shell/runtime.h"
#include "shell/shell_state.h"

namespace {

constexpr int32_t FullyLit = 32;
constexpr int32_t FadeStepSize = 4;

ScreenButton& ButtonAt(int32_t index) {
  return Config.ScreenButtons[CheckIndex(index, 0, static_cast<int32_t>(Config.ScreenButtons.size()) - 1)];
}

int32_t ImageIndex(int32_t image) {
  const int32_t last = static_cast<int32_t>(std::min(Config.ButtonImages.size(), Config.ButtonImageKind.size())) - 1;
  return CheckIndex(image, 0, last);
}

void DrawButton(CGDISurface& target, const ScreenButton& button, int32_t kind,
                const std::array<CGDISurface, 4>& layers) {
  // A layout may start a button above the lit level (ButtonMinAlpha beyond 32); it is drawn
  // fully lit until its fade brings it into range.
  const int32_t level = std::clamp(button.Alpha, 0, FullyLit);
  const CGDISurface& normal = layers[0];
  const int32_t width = normal.Width();
  const int32_t height = normal.Height();
  switch (kind) {
    case ButtonKindNormalAndHighlight:
      if (level != FullyLit) {
        target.EffectBltClipAlpha(normal, button.Left, button.Top, 0, 0, height, width, layers[1], FullyLit - level);
      }
      if (level != 0) {
        target.EffectBltClipAlpha(layers[2], button.Left, button.Top, 0, 0, height, width, layers[3], level);
      }
      break;
    case ButtonKindMasked:
      target.EffectBltClipAlpha(normal, button.Left, button.Top, 0, 0, height, width, layers[1], level);
      break;
    case ButtonKindPlain:
      target.EffectBlt(normal, 0, button.Left, button.Top, level == FullyLit ? 255 : static_cast<uint8_t>(8 * level),
                       0);
      break;
    default:
      break;
  }
}

// Lights a lit button by one step, fades the others; a masked or plain button fades only
// while at or above ButtonMinAlpha.
void AdvanceFade(ScreenButton& button, int32_t kind, bool lit) {
  if (lit) {
    if (button.Alpha < FullyLit) button.Alpha = CheckedAdd(button.Alpha, FadeStepSize);
  } else {
    const int32_t fadeFloor = kind == ButtonKindNormalAndHighlight ? 0 : Config.ButtonMinAlpha;
    if (button.Alpha >= fadeFloor) button.Alpha = CheckedSub(button.Alpha, FadeStepSize);
  }
  button.Alpha = std::clamp(button.Alpha, 0, FullyLit);
}

}  // namespace

void DrawScreenButtons(CGDISurface& target) {
  Shell.MouseStyle = 0;
  // While the keyboard's focus is shown it alone lights a button: the cursor resting
  // elsewhere lights nothing.
  const int32_t focus = FocusedButton();
  for (int32_t i = 0; i <= Config.ScreenButtonMax; ++i) {
    ScreenButton& button = ButtonAt(i);
    if (button.State == 0) continue;
    const int32_t image = ImageIndex(button.Image);
    const int32_t kind = Config.ButtonImageKind[image];
    DrawButton(target, button, kind, Config.ButtonImages[image]);
    const bool underCursor = MouseInRect(button.Left, button.Right, button.Top, button.Bottom);
    if (underCursor) Shell.MouseStyle = 1;
    AdvanceFade(button, kind, focus >= 0 ? focus == i : underCursor);
  }
}

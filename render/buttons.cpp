// SPDX-License-Identifier: MIT
#include "render/buttons.h"

#include <algorithm>

#include "base/runtime.h"
#include "game/frame.h"

namespace {

constexpr int32_t FullyLit = 32;

void DrawButton(Surface& target, const ScreenButton& button, int32_t kind, const std::array<Surface, 4>& layers) {
  // A layout may start a button above the lit level (ButtonMinAlpha beyond 32); it is drawn
  // fully lit until its fade brings it into range.
  const int32_t level = std::clamp(button.Alpha, 0, FullyLit);
  const Surface& normal = layers[0];
  const Rect whole{0, 0, normal.Width(), normal.Height()};
  switch (kind) {
    case ButtonKindNormalAndHighlight:
      if (level != FullyLit)
        target.BlendThroughMask(normal, button.Left, button.Top, whole, layers[1], FullyLit - level);
      if (level != 0) target.BlendThroughMask(layers[2], button.Left, button.Top, whole, layers[3], level);
      break;
    case ButtonKindMasked:
      target.BlendThroughMask(normal, button.Left, button.Top, whole, layers[1], level);
      break;
    case ButtonKindPlain:
      target.BlendFrom(normal, BlendStyle::Alpha, button.Left, button.Top,
                       level == FullyLit ? 255 : static_cast<uint8_t>(8 * level), 0);
      break;
    default:
      break;
  }
}

}  // namespace

void DrawScreenButtons(Surface& target, const GameState& state, const Skin& skin) {
  const std::vector<int32_t>& kinds = skin.Layout.ButtonImageKind;
  const int32_t last = static_cast<int32_t>(std::min(skin.ButtonImages.size(), kinds.size())) - 1;
  for (int32_t i = 0; i < static_cast<int32_t>(state.Buttons.size()); ++i) {
    if (!ButtonShownThisFrame(state, i)) continue;
    const ScreenButton& button = state.Buttons[static_cast<size_t>(i)];
    const size_t image = static_cast<size_t>(CheckIndex(button.Image, 0, last));
    DrawButton(target, button, kinds[image], skin.ButtonImages[image]);
  }
}

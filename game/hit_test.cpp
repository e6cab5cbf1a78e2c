// SPDX-License-Identifier: MIT
#include "game/hit_test.h"

#include "base/runtime.h"
#include "game/flow.h"

bool MouseInRect(const GameState& state, int32_t left, int32_t right, int32_t top, int32_t bottom) {
  const Pointer& mouse = state.Mouse;
  return left < mouse.X && mouse.X < right && top < mouse.Y && mouse.Y < bottom;
}

bool MouseOverBoard(const GameState& state) { return MouseInRect(state, BoardLeft, BoardRight, BoardTop, BoardBottom); }

bool HitScreenButton(Game& game) {
  const std::vector<ScreenButton>& buttons = game.State.Buttons;
  for (size_t i = 0; i < buttons.size(); ++i) {
    const ScreenButton& button = buttons[i];
    if (button.State == ButtonShown && MouseInRect(game.State, button.Left, button.Right, button.Top, button.Bottom)) {
      ButtonClick(game, static_cast<int32_t>(i));
      return true;
    }
  }
  return false;
}

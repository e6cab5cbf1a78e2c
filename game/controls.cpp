// SPDX-License-Identifier: MIT
#include "game/controls.h"

#include <algorithm>

#include "base/runtime.h"
#include "game/flow.h"
#include "game/focus.h"
#include "game/hit_test.h"
#include "game/input.h"
#include "game/pages.h"
#include "player/high_scores.h"
#include "player/key_bindings.h"

namespace {

// A held direction of the pad repeats after 12 frames (a third of a second), then every 4.
constexpr int32_t RepeatDelay = 12, RepeatPeriod = 4;

// The arrow of a move: left, right, up for a turn, down for a drop; 0 for the other actions.
int32_t ArrowOfAction(int32_t action) {
  switch (action) {
    case static_cast<int32_t>(PlayAction::MoveLeft):
      return KeyCode::Left;
    case static_cast<int32_t>(PlayAction::MoveRight):
      return KeyCode::Right;
    case static_cast<int32_t>(PlayAction::Rotate):
      return KeyCode::Up;
    case static_cast<int32_t>(PlayAction::Drop):
      return KeyCode::Down;
    default:
      return 0;
  }
}

bool IsArrow(int32_t key) { return key >= KeyCode::Left && key <= KeyCode::Down; }

// An action of play done by a key or pad button.
void DoPlayAction(Game& game, int32_t action) {
  GameState& state = game.State;
  const int32_t arrow = ArrowOfAction(action);
  if (arrow != 0) {
    KeyStep(game, arrow);
  } else if (action == static_cast<int32_t>(PlayAction::Hurry)) {
    if (state.PlayState == PlayRunning) state.KeyControl = true;  // the keys have the pair now
  } else if (action == static_cast<int32_t>(PlayAction::Pause)) {
    if (state.PlayState == PlayRunning || state.PlayState == PlayPaused) ButtonClick(game, PlayButton::Pause);
  } else if (action == static_cast<int32_t>(PlayAction::Hide)) {
    game.Services.MinimiseWindow();
  }
}

// The pad's d-pad, south, east, Start and Back have their places on the menus; the others
// move there as the move they are bound to.
bool PadHasMenuRole(PadButton button) { return static_cast<int32_t>(button) <= static_cast<int32_t>(PadButton::Back); }

bool Running(const GameState& state) { return state.GameMode == ModePlay && state.PlayState == PlayRunning; }

// A pad button that acts as an arrow (PadArrow): in running play and after a cleared stage it
// moves the pair as the arrow keys do; elsewhere it moves the focus.
void PadDirection(Game& game, int32_t arrow) {
  if (ArrowsBelongToPlay(game.State)) {
    KeyStep(game, arrow);
  } else {
    MenuKey(game, arrow);
  }
}

}  // namespace

void KeyDownInput(Game& game, int32_t key, bool repeat) {
  GameState& state = game.State;
  if (!repeat) state.Focus.KeysHeld.insert(key);
  if (!KeyActsHere(state, key, repeat)) return;
  if (state.NameEntry.Open) {
    NameEntryKey(game, key);
    return;
  }
  if (ControlsKeyPressed(game, key)) return;
  const int32_t action = ActionOfKey(game.Player.Bindings, key);
  if (ArrowsBelongToPlay(state)) {
    if (action >= 0) {
      DoPlayAction(game, action);
    } else if (key == KeyCode::Enter || key == KeyCode::Escape) {
      MenuKey(game, key);  // Escape pauses, Enter goes on after a cleared stage
    }
    return;
  }
  if (key == KeyCode::Enter || key == KeyCode::Escape || IsArrow(key)) {
    MenuKey(game, key);
  } else if (ArrowOfAction(action) != 0) {
    MenuKey(game, ArrowOfAction(action));
  } else if (action == static_cast<int32_t>(PlayAction::Pause)) {
    DoPlayAction(game, action);
  } else if (action == static_cast<int32_t>(PlayAction::Hide) && !(key == CharSpace && SpaceActivates(state))) {
    DoPlayAction(game, action);
  }
}

void KeyUpInput(Game& game, int32_t key) { game.State.Focus.KeysHeld.erase(key); }

void KeyPressInput(Game& game, int32_t character, bool repeat) {
  GameState& state = game.State;
  if (character != CharSpace || state.NameEntry.Open || !KeyActsHere(state, character, repeat)) return;
  MenuSpace(game);
}

void TextInput(Game& game, const std::string& utf8) { NameEntryText(game, utf8); }

bool HurryHeld(const Game& game) {
  const ActionBinding& hurry = game.Player.Bindings[PlayAction::Hurry];
  const FocusState& focus = game.State.Focus;
  const bool padHeld = hurry.Pad >= 0 && hurry.Pad < PadButtonCount && focus.PadHeld.at(static_cast<size_t>(hurry.Pad));
  return padHeld || focus.KeysHeld.count(hurry.Key) > 0;  // no key held is Unbound
}

int32_t PadArrow(const Game& game, PadButton button) {
  const int32_t action = ActionOfPad(game.Player.Bindings, static_cast<int32_t>(button));
  if (Running(game.State)) return action == static_cast<int32_t>(PlayAction::Rotate) ? 0 : ArrowOfAction(action);
  if (!PadHasMenuRole(button)) return ArrowOfAction(action);
  switch (button) {
    case PadButton::Left:
      return KeyCode::Left;
    case PadButton::Right:
      return KeyCode::Right;
    case PadButton::Up:
      return KeyCode::Up;
    case PadButton::Down:
      return KeyCode::Down;
    default:
      return 0;
  }
}

void PadPress(Game& game, PadButton button) {
  GameState& state = game.State;
  state.Focus.PadHeld.at(static_cast<size_t>(button)) = true;
  // A button that acts as an arrow repeats from here while held (ControlsFrame).
  const int32_t arrow = PadArrow(game, button);
  if (arrow != 0) {
    state.Focus.RepeatFrames = 0;
    state.Focus.PadScreen = FocusScreen(state);
  }
  if (state.NameEntry.Open) {
    NameEntryPad(game, button);
    return;
  }
  if (ControlsPadPressed(game, button)) return;
  // In running play a button bound to an action of play does it (moves, a turn, hurrying, a
  // pause, hiding the window); the others keep their places on the menus.
  const int32_t action = ActionOfPad(game.Player.Bindings, static_cast<int32_t>(button));
  if (Running(state) && action != Unbound) {
    DoPlayAction(game, action);
  } else if (arrow != 0) {
    PadDirection(game, arrow);
  } else {
    PadMenuButton(game, button);
  }
}

void ControlsFrame(Game& game) {
  GameState& state = game.State;
  const int32_t panel = OpenOverlay(state.PlayState);
  if (panel != OverlayNewGame && panel != OverlayExit) state.Focus.PanelFromPause = false;
  // A direction held since another screen or panel showed does not act here.
  if (state.Focus.PadScreen != FocusScreen(state)) return;
  if (state.Controls.Waiting) return;  // the next button binds
  for (int32_t b = 0; b < PadButtonCount; ++b) {
    const auto button = static_cast<PadButton>(b);
    const int32_t arrow = PadArrow(game, button);
    // In running play a held turn does not repeat.
    if (!state.Focus.PadHeld[static_cast<size_t>(b)] || arrow == 0 || (Running(state) && arrow == KeyCode::Up))
      continue;
    state.Focus.RepeatFrames = CheckedAdd(state.Focus.RepeatFrames, 1);
    if (state.Focus.RepeatFrames >= RepeatDelay && (state.Focus.RepeatFrames - RepeatDelay) % RepeatPeriod == 0) {
      if (state.NameEntry.Open) {
        NameEntryKey(game, arrow);  // the picker
      } else {
        PadDirection(game, arrow);
      }
    }
    return;  // one direction repeats at a time
  }
}

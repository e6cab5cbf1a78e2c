// SPDX-License-Identifier: MIT
#include "game/focus.h"

#include <algorithm>
#include <vector>

#include "base/runtime.h"
#include "game/flow.h"
#include "game/input.h"

namespace {

// A held d-pad direction repeats after 12 frames (a third of a second), then every 4.
constexpr int32_t RepeatDelay = 12, RepeatPeriod = 4;

// The screen the focus is placed on: the mode, and on the play screen its play state.
int32_t FocusScreenKey(const GameState& state) {
  return state.GameMode == ModePlay ? 10000 + state.PlayState : state.GameMode;
}

bool ButtonExists(const GameState& state, int32_t index) {
  return index >= 0 && index < static_cast<int32_t>(state.Buttons.size());
}

// A shown button a cursor could hit: the advertisement entry without an advertisement is a
// single pixel and takes no focus.
bool Focusable(const GameState& state, int32_t index) {
  if (!ButtonExists(state, index)) return false;
  const ScreenButton& b = state.Buttons[static_cast<size_t>(index)];
  return b.State != ButtonHidden && b.Right - b.Left > 2 && b.Bottom - b.Top > 2;
}

// The menu buttons of the title and the stage selection, top to bottom, left to right.
std::vector<FocusStop> MenuButtons(const GameState& state) {
  std::vector<int32_t> shown;
  for (int32_t i = 0; i < static_cast<int32_t>(state.Buttons.size()); ++i) {
    if (Focusable(state, i)) shown.push_back(i);
  }
  std::stable_sort(shown.begin(), shown.end(), [&state](int32_t a, int32_t b) {
    const ScreenButton &x = state.Buttons[static_cast<size_t>(a)], &y = state.Buttons[static_cast<size_t>(b)];
    return x.Top != y.Top ? x.Top < y.Top : x.Left < y.Left;
  });
  std::vector<FocusStop> stops;
  for (int32_t i : shown) stops.push_back({FocusRow::None, i});
  return stops;
}

// The play screen's buttons that act in the panel shown, in the order the focus visits them.
std::vector<FocusStop> PanelButtons(const GameState& state) {
  using namespace PlayButton;
  std::vector<int32_t> buttons;
  if (state.PlayState == PlayPaused) {
    buttons = {Pause, NewGame, Exit, Help, Web};
  } else if (state.PlayState == PlayGameOver) {
    buttons = {NewGame, Exit, Help, Web};
  } else if (OpenOverlay(state.PlayState) == OverlayNewGame) {
    buttons = {NewGameYes, NewGameNo};
  } else if (OpenOverlay(state.PlayState) == OverlayExit) {
    buttons = {ExitYes, ExitNo};
  }
  std::vector<FocusStop> stops;
  for (int32_t i : buttons) {
    if (ButtonExists(state, i)) stops.push_back({FocusRow::None, i});
  }
  return stops;
}

std::vector<FocusStop> Stops(const GameState& state) {
  switch (state.GameMode) {
    case ModeTitle:
      return MenuButtons(state);
    case ModeStageSelect: {
      std::vector<FocusStop> stops = {{FocusRow::StageBar, -1}, {FocusRow::Difficulty, -1}, {FocusRow::Music, -1}};
      for (const FocusStop& stop : MenuButtons(state)) stops.push_back(stop);
      return stops;
    }
    default:
      return PanelButtons(state);
  }
}

// Where the focus starts on each screen: on what a player most likely wants, and on "no"
// in a confirmation.
FocusStop DefaultStop(const GameState& state, const std::vector<FocusStop>& stops) {
  int32_t wanted = -1;
  if (state.GameMode == ModeTitle) {
    for (const FocusStop& stop : stops) {
      if (stop.Button != TitleButton::Quit && stop.Button != TitleButton::Advertisement) return stop;
    }
  } else if (state.GameMode == ModeStageSelect) {
    wanted = StageSelectButton::Start;
  } else if (state.PlayState == PlayPaused) {
    wanted = PlayButton::Pause;
  } else if (OpenOverlay(state.PlayState) == OverlayNewGame) {
    wanted = PlayButton::NewGameNo;
  } else if (OpenOverlay(state.PlayState) == OverlayExit) {
    wanted = PlayButton::ExitNo;
  }
  for (const FocusStop& stop : stops) {
    if (stop.Button == wanted) return stop;
  }
  return stops.empty() ? FocusStop{} : stops.front();
}

// Where the focus rests on the screen shown: where it was placed, unless the screen changed or
// that place is gone, and then the screen's default.
FocusStop CurrentStop(const GameState& state, const std::vector<FocusStop>& stops) {
  const FocusState& focus = state.Focus;
  if (focus.Screen != FocusScreenKey(state) || std::find(stops.begin(), stops.end(), focus.Current) == stops.end()) {
    return DefaultStop(state, stops);
  }
  return focus.Current;
}

// The stops of the screen shown, with the focus placed on one of them.
std::vector<FocusStop> CurrentStops(GameState& state) {
  std::vector<FocusStop> stops = Stops(state);
  state.Focus.Current = CurrentStop(state, stops);
  state.Focus.Screen = FocusScreenKey(state);
  return stops;
}

void MoveFocus(GameState& state, int32_t step) {
  const std::vector<FocusStop> stops = CurrentStops(state);
  if (stops.empty()) return;
  const auto at = std::find(stops.begin(), stops.end(), state.Focus.Current) - stops.begin();
  const auto count = static_cast<ptrdiff_t>(stops.size());
  state.Focus.Current = stops[static_cast<size_t>((at + step + count) % count)];
}

void ChangeRow(Game& game, FocusRow row, int32_t step) {
  GameState& state = game.State;
  const int32_t opened = game.Player.UserMaxStage;
  switch (row) {
    case FocusRow::StageBar:
      state.Stage = std::clamp(CheckedAdd(state.Stage, step), 0, std::min(opened, StageSlotCount) - 1);
      break;
    case FocusRow::Difficulty:
      state.Difficulty = std::clamp(CheckedAdd(state.Difficulty, step), 0, 2);
      break;
    case FocusRow::Music:
      state.MusicChoice = std::clamp(CheckedAdd(state.MusicChoice, step), 0, std::min(opened / 4, 4));
      break;
    case FocusRow::None:
      break;
  }
}

void Navigate(Game& game, int32_t key) {
  GameState& state = game.State;
  CurrentStops(state);
  if (!state.Focus.Visible) {
    state.Focus.Visible = true;  // the first key shows where the focus is
    return;
  }
  const int32_t step = key == KeyCode::Left || key == KeyCode::Up ? -1 : 1;
  if (state.Focus.Current.Row != FocusRow::None && (key == KeyCode::Left || key == KeyCode::Right)) {
    ChangeRow(game, state.Focus.Current.Row, step);
  } else {
    MoveFocus(state, step);
  }
}

// "New game" and "exit" act on a running or cleared stage only; from the pause panel the
// focus opens their confirmation over the stopped game and comes back to the pause panel.
void ClickFromPause(Game& game, int32_t button) {
  game.State.PlayState = PlayRunning;
  ButtonClick(game, button);
  game.State.Focus.PanelFromPause = true;
}

void ClickButton(Game& game, int32_t button) {
  GameState& state = game.State;
  if (state.GameMode == ModePlay && state.PlayState == PlayPaused &&
      (button == PlayButton::NewGame || button == PlayButton::Exit)) {
    ClickFromPause(game, button);
    return;
  }
  const bool returnToPause =
      state.Focus.PanelFromPause && (button == PlayButton::NewGameNo || button == PlayButton::ExitNo);
  ButtonClick(game, button);
  if (returnToPause) state.PlayState = PlayPaused;
  if (button >= PlayButton::NewGameYes) state.Focus.PanelFromPause = false;
}

void Activate(Game& game) {
  GameState& state = game.State;
  if (state.GameMode == ModePlay &&
      (state.PlayState == PlayStageClear || OpenOverlay(state.PlayState) == OverlayHelp)) {
    ClickAway(game);
    return;
  }
  CurrentStops(state);
  state.Focus.Visible = true;
  if (state.Focus.Current.Button >= 0) {
    ClickButton(game, state.Focus.Current.Button);
  } else if (state.Focus.Current.Row != FocusRow::None) {
    ButtonClick(game, StageSelectButton::Start);  // a choice made on the stage selection: play it
  }
}

void Back(Game& game) {
  GameState& state = game.State;
  state.Focus.Visible = true;  // the panel it leads to shows its focus at once
  if (state.GameMode == ModeTitle) {
    // Escape on the title goes to the quit button; one more Enter leaves.
    if (Focusable(state, TitleButton::Quit)) {
      CurrentStops(state);
      state.Focus.Current = {FocusRow::None, TitleButton::Quit};
    }
    return;
  }
  if (state.GameMode != ModePlay) return;
  if (state.PlayState == PlayRunning || state.PlayState == PlayPaused) {
    ButtonClick(game, PlayButton::Pause);
  } else if (OpenOverlay(state.PlayState) == OverlayNewGame) {
    ClickButton(game, PlayButton::NewGameNo);
  } else if (OpenOverlay(state.PlayState) == OverlayExit) {
    ClickButton(game, PlayButton::ExitNo);
  } else if (OpenOverlay(state.PlayState) == OverlayHelp) {
    ClickAway(game);
  }
}

// The arrows steer the pair in running play and continue after a cleared stage (KeyStep);
// everywhere else they move the focus.
bool ArrowsBelongToPlay(const GameState& state) {
  return state.GameMode == ModePlay && (state.PlayState == PlayRunning || state.PlayState == PlayStageClear);
}

bool InMenu(const GameState& state) { return state.GameMode == ModeTitle || state.GameMode == ModeStageSelect; }

bool Running(const GameState& state) { return state.GameMode == ModePlay && state.PlayState == PlayRunning; }

int32_t ArrowKey(PadButton button) {
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

// A d-pad direction: in running play left, right and down move the pair as the arrow keys
// do (up does nothing, so a stick pushed slightly askew never turns the pair).
void PadDirection(Game& game, PadButton button) {
  const int32_t key = ArrowKey(button);
  if (ArrowsBelongToPlay(game.State)) {
    if (game.State.PlayState != PlayRunning || button != PadButton::Up) KeyStep(game, key);
  } else {
    MenuKey(game, key);
  }
}

bool& Held(GameState& state, PadButton button) { return state.Focus.PadHeld[static_cast<size_t>(button)]; }

}  // namespace

void MenuKey(Game& game, int32_t key) {
  if (key == KeyCode::Enter) {
    if (!Running(game.State)) Activate(game);
  } else if (key == KeyCode::Escape) {
    Back(game);
  } else if (key >= KeyCode::Left && key <= KeyCode::Down && !ArrowsBelongToPlay(game.State)) {
    Navigate(game, key);
  }
}

bool MenuSpace(Game& game) {
  if (!InMenu(game.State)) return false;
  Activate(game);
  return true;
}

void PadPress(Game& game, PadButton button) {
  GameState& state = game.State;
  Held(state, button) = true;
  switch (button) {
    case PadButton::Left:
    case PadButton::Right:
    case PadButton::Up:
    case PadButton::Down:
      state.Focus.RepeatFrames = 0;
      PadDirection(game, button);
      break;
    case PadButton::South:
      if (Running(state)) {
        KeyStep(game, KeyCode::Up);
      } else {
        Activate(game);
      }
      break;
    case PadButton::East:
      if (Running(state)) {
        state.KeyControl = true;  // the pad has the pair: the resting mouse does not steer it
      } else {
        Back(game);
      }
      break;
    case PadButton::Start:
      if (state.GameMode == ModePlay && (state.PlayState == PlayRunning || state.PlayState == PlayPaused)) {
        ButtonClick(game, PlayButton::Pause);
      } else {
        Activate(game);
      }
      break;
    case PadButton::Back:
      Back(game);
      break;
  }
}

void PadRelease(GameState& state, PadButton button) { Held(state, button) = false; }

void PadReleaseAll(GameState& state) { state.Focus.PadHeld.fill(false); }

bool PadHurryHeld(const GameState& state) { return state.Focus.PadHeld[static_cast<size_t>(PadButton::East)]; }

void ControlsFrame(Game& game) {
  GameState& state = game.State;
  const int32_t panel = OpenOverlay(state.PlayState);
  if (panel != OverlayNewGame && panel != OverlayExit) state.Focus.PanelFromPause = false;
  for (PadButton direction : {PadButton::Left, PadButton::Right, PadButton::Up, PadButton::Down}) {
    if (!Held(state, direction)) continue;
    state.Focus.RepeatFrames = CheckedAdd(state.Focus.RepeatFrames, 1);
    if (state.Focus.RepeatFrames >= RepeatDelay && (state.Focus.RepeatFrames - RepeatDelay) % RepeatPeriod == 0) {
      PadDirection(game, direction);
    }
    return;  // one direction repeats at a time
  }
}

void MouseTookControl(GameState& state) { state.Focus.Visible = false; }

void PlaceFocus(GameState& state) {
  if (state.Focus.Visible) CurrentStops(state);
}

int32_t FocusedButton(const GameState& state) {
  if (!state.Focus.Visible) return -1;
  return CurrentStop(state, Stops(state)).Button;
}

FocusRow FocusedRow(const GameState& state) {
  if (!state.Focus.Visible) return FocusRow::None;
  return CurrentStop(state, Stops(state)).Row;
}

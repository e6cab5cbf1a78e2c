// SPDX-License-Identifier: MIT
#include "game/frame.h"

#include <algorithm>

#include "audio/sound_effects.h"
#include "base/runtime.h"
#include "game/board.h"
#include "game/controls.h"
#include "game/focus.h"
#include "game/hit_test.h"
#include "game/input.h"

namespace {

constexpr int32_t FullyLit = 32;
constexpr int32_t FadeStepSize = 4;
constexpr int32_t LastFadeStep = 30;
constexpr int32_t PopupLifetime = 45;  // frames; the last is the 45th (Age 44)
constexpr int32_t MinimumDropInterval = 6;

// The pair glides one column per frame towards the column under the cursor.
void SteerTowardsMouse(GameState& state) {
  PairBox& pair = state.Pair;
  if (MouseOverBoard(state)) {
    // A horizontal pair's middle follows the cursor, so its left half aims half a cell left.
    const int32_t wanted = PairIsHorizontal(state.Pair)
                               ? std::min(CheckedDiv(state.Mouse.X - (BoardLeft + BoardCellSize / 2), BoardCellSize), 6)
                               : CheckedDiv(state.Mouse.X - BoardLeft, BoardCellSize);
    const int32_t step = (wanted > pair.Column) - (wanted < pair.Column);
    if (CanPlace(state, pair, CheckedAdd(pair.Column, step), pair.Row)) pair.Column += step;
  }
}

// With the left mouse button (or the pad's east button) held the pair drops a row every
// second frame.
void Hurry(Game& game) {
  if (CheckedMod(game.State.StageTick, 2) == 0 && game.State.PairActive) DropStep(game);
}

// The angel's step: a blink now and then while it waits (mode 0), a nod when a pair enters
// (1), a cheer at a cleared stage (2), a laugh at game over (3).
AngelPose AdvancedAngel(AngelPose pose, int32_t tick) {
  switch (pose.Mode) {
    case 0:
      if (CheckedMod(tick, 100) <= 24 && CheckedMod(tick, 6) == 0) pose.Frame = CheckedAdd(pose.Frame, 1);
      if (pose.Frame >= 4) pose.Frame = 0;
      break;
    case 1:
      if (CheckedMod(tick, 4) == 0) pose.Frame = CheckedAdd(pose.Frame, 1);
      if (pose.Frame >= 2) {
        pose.Frame = 0;
        pose.Mode = 0;
      }
      break;
    case 2:
      if (CheckedMod(tick, 5) == 0) pose.Frame = CheckedAdd(pose.Frame, 1);
      if (pose.Frame >= 5) pose.Frame = 0;
      break;
    case 3:
      if (CheckedMod(tick, 6) == 0) pose.Frame = CheckedAdd(pose.Frame, 1);
      if (pose.Frame >= 6) pose.Frame = 0;
      break;
    default:
      break;
  }
  return pose;
}

// One animation step of a target character, by its mood: waiting (0) and laughing (3) loop,
// hurt (1) plays once and then waits, or leaves (2) when its colour has no target left; a
// gone character's frame ends at -1.
void AdvanceTargetMood(GameState& state, int32_t colour) {
  int32_t& frame = state.TargetMood[colour][0];
  int32_t& mood = state.TargetMood[colour][1];
  switch (mood) {
    case 0:
    case 3:
      frame = CheckedAdd(frame, 1);
      if (frame >= 6) frame = 0;
      break;
    case 1:
      frame = CheckedAdd(frame, 1);
      if (frame >= 12) {
        frame = 0;
        mood = CountTargetsOfColour(state, colour) > 0 ? 0 : 2;
      }
      break;
    case 2:
      frame = CheckedAdd(frame, 1);
      if (frame >= 7) frame = -1;
      break;
    default:
      break;
  }
}

// The shown board's cells count their frames (the targets blink by them).
void AdvanceBoardPhases(GameState& state) {
  for (auto& column : state.Board) {
    for (BoardCell& cell : column) cell.Phase = CheckedAdd(cell.Phase, 1);
  }
}

void AdvanceTargetMoods(GameState& state) {
  for (int32_t colour = 0; colour < 3; ++colour) {
    if (state.TargetMood[colour][0] >= 0 && CheckedMod(state.Tick, 5) == 0) AdvanceTargetMood(state, colour);
  }
}

// The confirmation buttons follow the panel shown; a State is written only when it changes.
void UpdateConfirmationButtons(GameState& state) {
  for (int32_t i = PlayButton::NewGameYes; i <= PlayButton::Controls; ++i) {
    if (i >= static_cast<int32_t>(state.Buttons.size())) return;
    ScreenButton& button = state.Buttons[static_cast<size_t>(i)];
    if (button.State == ButtonAbsent) continue;
    const int32_t wanted = ButtonShownThisFrame(state, i) ? ButtonShown : ButtonHidden;
    if (button.State != wanted) button.State = wanted;
  }
}

// Lights a lit button by one step, fades the others; a masked or plain button fades only
// while at or above ButtonMinAlpha.
void AdvanceFade(ScreenButton& button, int32_t kind, int32_t minAlpha, bool lit) {
  if (lit) {
    if (button.Alpha < FullyLit) button.Alpha = CheckedAdd(button.Alpha, FadeStepSize);
  } else {
    const int32_t fadeFloor = kind == ButtonKindNormalAndHighlight ? 0 : minAlpha;
    if (button.Alpha >= fadeFloor) button.Alpha = CheckedSub(button.Alpha, FadeStepSize);
  }
  button.Alpha = std::clamp(button.Alpha, 0, FullyLit);
}

// The buttons' highlights: while the keyboard's focus is shown it alone lights a button, the
// cursor resting elsewhere lights nothing.
void AdvanceButtons(Game& game) {
  GameState& state = game.State;
  const std::vector<int32_t>& kinds = game.Layout.ButtonImageKind;
  const int32_t focus = FocusedButton(state);
  for (int32_t i = 0; i < static_cast<int32_t>(state.Buttons.size()); ++i) {
    ScreenButton& button = state.Buttons[static_cast<size_t>(i)];
    if (button.State != ButtonShown) continue;
    const int32_t kind =
        kinds[static_cast<size_t>(CheckIndex(button.Image, 0, static_cast<int32_t>(kinds.size()) - 1))];
    const bool underCursor = MouseInRect(state, button.Left, button.Right, button.Top, button.Bottom);
    AdvanceFade(button, kind, game.Layout.ButtonMinAlpha, focus >= 0 ? focus == i : underCursor);
  }
}

void AgeScorePopups(GameState& state) {
  for (ScorePopup& popup : state.ScorePopups) {
    if (!popup.Active) continue;
    if (popup.Age >= PopupLifetime - 1) popup.Active = false;
    popup.Age = CheckedAdd(popup.Age, 1);
  }
}

void AdvanceCrossFade(GameState& state) {
  if (state.FadeStep <= 0) return;
  state.FadeStep = CheckedAdd(state.FadeStep, 2);
  if (state.FadeStep > LastFadeStep) state.FadeStep = 0;
}

}  // namespace

void FrameStep(Game& game, int32_t cursorX, int32_t cursorY) {
  Pointer& mouse = game.State.Mouse;
  mouse.OldX = mouse.FrameX;
  mouse.OldY = mouse.FrameY;
  mouse.X = mouse.FrameX = cursorX;
  mouse.Y = mouse.FrameY = cursorY;
  game.State.Tick = CheckedAdd(game.State.Tick, 1);
  ControlsFrame(game);
  LogicStep(game);
}

void LogicStep(Game& game) {
  GameState& state = game.State;
  if (state.GameMode != ModePlay || state.PlayState != PlayRunning) return;
  if (state.StageTick < 0) {
    ++state.StageTick;
    return;
  }

  CountTargets(state);
  if (state.TargetCount == 0) {
    game.Services.PlaySound(SoundStageClear);
    state.AngelState[1] = 2;
    const int32_t opened = CheckedAdd(state.Stage, 2);
    if (game.Player.UserMaxStage < opened) game.Player.UserMaxStage = opened;
    state.PlayState = PlayStageClear;
    return;
  }

  if (CheckedMod(state.Tick, 28) == 0) {
    state.TimeCount = CheckedAdd(state.TimeCount, 1);
    const int32_t speedUpPeriod = CheckedSub(80, CheckedMul(20, state.Difficulty));
    if (CheckedMod(CheckedSub(state.TimeCount, state.SpeedBase), speedUpPeriod) == 0) {
      state.DropInterval = std::max(CheckedSub(state.DropInterval, 2), MinimumDropInterval);
    }
  }

  const bool mouseMoved = state.Mouse.X != state.Mouse.OldX || state.Mouse.Y != state.Mouse.OldY;
  if (mouseMoved) state.KeyControl = false;
  if (state.Pair.Row > -2) {
    if (!state.KeyControl) SteerTowardsMouse(state);
    if ((!state.KeyControl && state.Mouse.LeftDown) || HurryHeld(game)) Hurry(game);
  }

  if (VanishStep(state)) return;
  state.StageTick = CheckedAdd(state.StageTick, 1);

  if (state.PairActive) {
    if (CheckedMod(state.StageTick, state.DropInterval) == 0) {
      DropStep(game);
      state.ChainCount = 0;
    }
    return;
  }
  if (CheckedMod(state.StageTick, 5) != 0) return;
  if (FallStep(state)) {
    game.Services.PlaySound(SoundStep);
  } else if (ResolveRuns(game)) {
    game.Services.PlaySound(SoundVanish);
  } else {
    SpawnPair(state);
  }
}

void AnimationStep(Game& game) {
  GameState& state = game.State;
  switch (state.GameMode) {
    case ModeTitle:
    case ModeStageSelect: {
      const AngelPose pose = AngelThisFrame(state);
      state.AngelState[0] = pose.Frame;
      state.AngelState[1] = pose.Mode;
      PlaceFocus(state);
      ButtonCursorStep(state);
      AdvanceButtons(game);
      break;
    }
    case ModePlay: {
      const AngelPose pose = AngelThisFrame(state);
      state.AngelState[0] = pose.Frame;
      state.AngelState[1] = pose.Mode;
      if (state.PlayState != PlayPaused && !PanelCoversBoard(state.PlayState)) AdvanceBoardPhases(state);
      AdvanceTargetMoods(state);
      UpdateConfirmationButtons(state);
      PlaceFocus(state);
      ButtonCursorStep(state);
      AdvanceButtons(game);
      AgeScorePopups(state);
      break;
    }
    case ModeControls:
    case ModeHiScores:
      PlaceFocus(state);
      ButtonCursorStep(state);
      AdvanceButtons(game);
      break;
    default:
      break;
  }
  AdvanceCrossFade(state);
}

AngelPose AngelThisFrame(const GameState& state) {
  return AdvancedAngel(AngelPose{state.AngelState[0], state.AngelState[1]}, state.Tick);
}

bool ButtonShownThisFrame(const GameState& state, int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(state.Buttons.size())) return false;
  if (state.GameMode == ModePlay && index >= PlayButton::NewGameYes && index <= PlayButton::ExitNo) {
    const int32_t panel = OpenOverlay(state.PlayState);
    return panel == (index <= PlayButton::NewGameNo ? OverlayNewGame : OverlayExit);
  }
  const int32_t shown = state.Buttons[static_cast<size_t>(index)].State;
  if (state.GameMode == ModePlay && index == PlayButton::Controls) {
    return shown != ButtonAbsent && state.PlayState == PlayPaused;
  }
  return shown == ButtonShown;
}

int32_t CountTargetsOfColour(const GameState& state, int32_t colour) {
  int32_t count = 0;
  for (const auto& column : state.Board) {
    for (const BoardCell& cell : column) {
      if (cell.Colour == colour && cell.Link == LinkTarget) ++count;
    }
  }
  return count;
}

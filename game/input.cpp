// SPDX-License-Identifier: MIT
#include "game/input.h"

#include <algorithm>

#include "audio/sound_effects.h"
#include "base/input_codes.h"
#include "base/runtime.h"
#include "game/board.h"
#include "game/flow.h"
#include "game/hit_test.h"
#include "game/pages.h"

namespace {

bool MouseOverStageBar(const GameState& state) {
  return MouseInRect(state, StageBarLeft, StageBarRight, StageBarTop, StageBarBottom);
}
bool MouseOverDifficultyButton(const GameState& state, int32_t i) {
  const int32_t left = DifficultyButtonLeft + DifficultyButtonPitch * i;
  return MouseInRect(state, left, left + DifficultyButtonSize, DifficultyButtonTop,
                     DifficultyButtonTop + DifficultyButtonSize);
}
bool MouseOverMusicButton(const GameState& state, int32_t j) {
  const int32_t left = MusicButtonLeft + MusicButtonPitch * j;
  return MouseInRect(state, left, left + MusicButtonWidth, MusicButtonTop, MusicButtonTop + MusicButtonHeight);
}
bool MouseOverCheckBox(const Game& game, int32_t i) {
  const SkinLayout& layout = game.Layout;
  return MouseInRect(game.State, layout.CheckHitLeft[i], layout.CheckHitRight[i], layout.CheckHitTop[i],
                     layout.CheckHitBottom[i]);
}
bool MouseOverVolumeSlider(const Game& game, int32_t i) {
  const SkinLayout& layout = game.Layout;
  return MouseInRect(game.State, layout.VolX[i], CheckedAdd(layout.VolX[i], layout.VolumeWidth), layout.VolY[i],
                     CheckedAdd(layout.VolY[i], layout.VolumeHeight));
}
bool MusicButtonOpen(const Game& game, int32_t j) { return j <= CheckedDiv(game.Player.UserMaxStage, 4); }

// The play screen's check boxes and volume sliders; true when the click hit one.
bool ClickPlayControls(Game& game) {
  for (int32_t i = 0; i < 2; ++i) {
    if (MouseOverCheckBox(game, i)) {
      FlipAudioSwitch(game, i);
      return true;
    }
    if (MouseOverVolumeSlider(game, i)) {
      SetVolume(game, i, CheckedSub(game.State.Mouse.X, game.Layout.VolX[i]));
      return true;
    }
  }
  return false;
}

void ClickPlayScreen(Game& game, int32_t button) {
  if (ClickPlayControls(game)) return;
  const GameState& state = game.State;
  if (state.PlayState == PlayRunning) {
    if (button == MouseButton::Right && state.Pair.Row >= -1 && MouseOverBoard(state)) RotatePair(game);
  } else {
    ClickAway(game);
  }
}

void ClickStageSelectScreen(Game& game) {
  GameState& state = game.State;
  if (MouseOverStageBar(state)) {
    state.Stage = CheckedDiv(state.Mouse.X - StageBarLeft, StageSlotPitch);
    if (state.Stage >= game.Player.UserMaxStage) state.Stage = CheckedSub(game.Player.UserMaxStage, 1);
    return;
  }
  for (int32_t i = 0; i < 3; ++i) {
    if (MouseOverDifficultyButton(state, i)) {
      state.Difficulty = i;
      return;
    }
  }
  for (int32_t j = 0; j < 5; ++j) {
    if (MouseOverMusicButton(state, j)) {
      if (MusicButtonOpen(game, j)) state.MusicChoice = j;
      return;
    }
  }
}

}  // namespace

void KeyStep(Game& game, int32_t key) {
  GameState& state = game.State;
  if (state.GameMode != ModePlay) return;
  const bool arrow = key >= KeyCode::Left && key <= KeyCode::Down;
  if (state.PlayState == PlayStageClear) {
    if (arrow) ClickStep(game, MouseButton::Left);
    return;
  }
  PairBox& pair = state.Pair;
  if (state.PlayState != PlayRunning || pair.Row < -1 || !arrow) return;
  state.KeyControl = true;
  switch (key) {
    case KeyCode::Left:
      if (CanPlace(state, pair, CheckedSub(pair.Column, 1), pair.Row) && pair.Column > 0) --pair.Column;
      break;
    case KeyCode::Up:
      RotatePair(game);
      break;
    case KeyCode::Right:
      if (CanPlace(state, pair, CheckedAdd(pair.Column, 1), pair.Row)) {
        pair.Column = std::min(pair.Column + 1, PairIsHorizontal(state.Pair) ? 6 : 7);
      }
      break;
    case KeyCode::Down:
      if (state.PairActive) DropStep(game);
      break;
  }
}

void FlipAudioSwitch(Game& game, int32_t which) {
  PlayerSettings& player = game.Player;
  const size_t i = static_cast<size_t>(CheckIndex(which, 0, 1));
  player.CheckState[i] = CheckedSub(1, player.CheckState[i]);
  if (i == 0) {
    if (player.CheckState[0] == 1) {
      game.Services.PlayMusic();
    } else {
      game.Services.PauseMusic();
    }
  }
}

void SetVolume(Game& game, int32_t which, int32_t level) {
  PlayerSettings& player = game.Player;
  const size_t i = static_cast<size_t>(CheckIndex(which, 0, 1));
  player.VolumeLevel[i] = std::clamp(level, 0, MaxVolumeLevel);
  if (i == 0) game.Services.SetMusicVolume(2 * player.VolumeLevel[0]);
}

void ClickAway(Game& game) {
  GameState& state = game.State;
  const int32_t playState = state.PlayState;
  if (playState == PlayPaused) {
    state.PlayState = PlayRunning;
    game.Services.PlayMusic();
  } else if (playState == PlayStageClear) {
    state.PlayState = PlayRunning;
    StartStage(game, CheckedAdd(state.Stage, 1), state.Score);
  } else if (OpenOverlay(playState) == OverlayHelp) {
    StartCrossFade(game);
    state.PlayState = playState - OverlayHelp;
  }
}

void RotatePair(Game& game) {
  GameState& state = game.State;
  PairBox& pair = state.Pair;
  const PairBox backup = pair;
  auto& cells = pair.Cells;
  if (PairIsHorizontal(state.Pair)) {
    // Left and right half become bottom and top.
    cells[0][0].Colour = cells[1][1].Colour;
    cells[1][1].Colour = -1;
    cells[0][0].Link = 2;
    cells[0][1].Link = 0;
    // Where it does not fit: one row down, else one column right, else no turn.
    if (!CanPlace(state, pair, pair.Column, pair.Row)) {
      if (CanPlace(state, pair, pair.Column, CheckedAdd(pair.Row, 1)) && pair.Row + 1 <= 11) {
        ++pair.Row;
      } else if (CanPlace(state, pair, CheckedAdd(pair.Column, 1), pair.Row) && pair.Column + 1 <= 7) {
        ++pair.Column;
      } else {
        pair = backup;
      }
    }
  } else {
    // Top and bottom half become left and right.
    cells[1][1].Colour = cells[0][1].Colour;
    cells[0][1].Colour = cells[0][0].Colour;
    cells[0][0].Colour = -1;
    cells[0][1].Link = 1;
    cells[1][1].Link = 3;
    // Where it does not fit (or sticks out on the right): one column left, else no turn.
    if (!(CanPlace(state, pair, pair.Column, pair.Row) && pair.Column <= 6)) {
      if (CanPlace(state, pair, CheckedSub(pair.Column, 1), pair.Row) && pair.Column - 1 >= 0) {
        --pair.Column;
      } else {
        pair = backup;
      }
    }
  }
  game.Services.PlaySound(SoundRotate);
}

void ClickStep(Game& game, int32_t button) {
  GameState& state = game.State;
  if (state.NameEntry.Open) {
    if (button == MouseButton::Left) NameEntryClick(game);
    return;
  }
  if (HitScreenButton(game)) return;
  if (state.GameMode == ModeControls && button == MouseButton::Left) {
    FocusRow row = FocusRow::None;
    int32_t action = 0;
    if (BindingWellAt(state.Mouse.X, state.Mouse.Y, row, action)) ChooseBinding(game, row, action);
    return;
  }
  if (state.GameMode == ModeHiScores && button == MouseButton::Left) {
    int32_t item = 0;
    if (RecordAt(state.Mouse.X, state.Mouse.Y, item) && state.HiScores.Replayable[static_cast<size_t>(item)]) {
      game.Services.PlaySound(SoundClick);
      game.Services.PlayReplay(item / 8, item % 8);
    }
    return;
  }
  if (game.State.GameMode == ModePlay) {
    ClickPlayScreen(game, button);
  } else if (game.State.GameMode == ModeStageSelect && button == MouseButton::Left) {
    ClickStageSelectScreen(game);
  }
}

void HoverStep(Game& game, int32_t buttons) {
  GameState& state = game.State;
  if (state.GameMode == ModePlay) {
    for (int32_t i = 0; i < 2; ++i) {
      if (MouseOverCheckBox(game, i)) state.Mouse.Style = CursorOverControl;
      if (MouseOverVolumeSlider(game, i)) {
        state.Mouse.Style = CursorOverSlider;
        if (buttons == MouseButton::Left) ClickStep(game, buttons);
      }
    }
  } else if (state.GameMode == ModeStageSelect) {
    if (MouseOverStageBar(state)) {
      state.Mouse.Style = CursorOverControl;
      if (buttons == MouseButton::Left) ClickStep(game, buttons);
      return;
    }
    for (int32_t i = 0; i < 3; ++i) {
      if (MouseOverDifficultyButton(state, i)) {
        state.Mouse.Style = CursorOverControl;
        return;
      }
    }
    for (int32_t j = 0; j < 5; ++j) {
      if (MouseOverMusicButton(state, j) && MusicButtonOpen(game, j)) state.Mouse.Style = CursorOverControl;
    }
  }
}

void ButtonCursorStep(GameState& state) {
  state.Mouse.Style = CursorArrow;
  for (const ScreenButton& button : state.Buttons) {
    if (button.State == ButtonShown && MouseInRect(state, button.Left, button.Right, button.Top, button.Bottom)) {
      state.Mouse.Style = CursorOverControl;
    }
  }
}

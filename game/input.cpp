#include "game/input.h"

#include <algorithm>

#include "audio/audio.h"
#include "config/config.h"
#include "config/user_settings.h"
#include "game/board.h"
#include "game/flow.h"
#include "game/focus.h"
#include "game/game_state.h"
#include "game/hit_test.h"
#include "game/services.h"
#include "shell/runtime.h"
#include "shell/shell_state.h"

namespace {

constexpr int32_t KeyLeft = 37, KeyUp = 38, KeyRight = 39, KeyDown = 40;
constexpr int32_t ButtonLeft = 1, ButtonRight = 2;
constexpr int32_t MinimumDropInterval = 6;

bool PairIsHorizontal() { return Game.Pair.Cells[0][0].Colour < 0; }

bool MouseOverBoard() { return MouseInRect(BoardLeft, BoardRight, BoardTop, BoardBottom); }
bool MouseOverStageBar() { return MouseInRect(StageBarLeft, StageBarRight, StageBarTop, StageBarBottom); }
bool MouseOverDifficultyButton(int32_t i) {
  const int32_t left = DifficultyButtonLeft + DifficultyButtonPitch * i;
  return MouseInRect(left, left + DifficultyButtonSize, DifficultyButtonTop, DifficultyButtonTop + DifficultyButtonSize);
}
bool MouseOverMusicButton(int32_t j) {
  const int32_t left = MusicButtonLeft + MusicButtonPitch * j;
  return MouseInRect(left, left + MusicButtonWidth, MusicButtonTop, MusicButtonTop + MusicButtonHeight);
}
bool MouseOverCheckBox(int32_t i) {
  return MouseInRect(Config.CheckHitLeft[i], Config.CheckHitRight[i], Config.CheckHitTop[i],
                     Config.CheckHitBottom[i]);
}
bool MouseOverVolumeSlider(int32_t i) {
  return MouseInRect(Config.VolX[i], CheckedAdd(Config.VolX[i], Config.VolumeImage.Width()), Config.VolY[i],
                     CheckedAdd(Config.VolY[i], Config.VolumeImage.Height()));
}
bool MusicButtonOpen(int32_t j) { return j <= CheckedDiv(User.UserMaxStage, 4); }

// The pair glides one column per frame towards the column under the cursor.
void SteerTowardsMouse() {
  PairBox& pair = Game.Pair;
  if (MouseOverBoard()) {
    // A horizontal pair's middle follows the cursor, so its left half aims half a cell left.
    const int32_t wanted = PairIsHorizontal()
                               ? std::min(CheckedDiv(Shell.MouseX - (BoardLeft + BoardCellSize / 2), BoardCellSize), 6)
                               : CheckedDiv(Shell.MouseX - BoardLeft, BoardCellSize);
    const int32_t step = (wanted > pair.Column) - (wanted < pair.Column);
    if (CanPlace(pair, CheckedAdd(pair.Column, step), pair.Row)) pair.Column += step;
  }
}

// With the left mouse button (or the pad's east button) held the pair drops a row every
// second frame.
void Hurry() {
  if (CheckedMod(Game.StageTick, 2) == 0 && Game.PairActive) DropStep();
}

// The play screen's check boxes and volume sliders; true when the click hit one.
bool ClickPlayControls() {
  for (int32_t i = 0; i < 2; ++i) {
    if (MouseOverCheckBox(i)) {
      Audio.CheckState[i] = CheckedSub(1, Audio.CheckState[i]);
      if (i == 0) {
        if (Audio.CheckState[0] == 1) {
          Services().PlayMusic();
        } else {
          Services().PauseMusic();
        }
      }
      return true;
    }
    if (MouseOverVolumeSlider(i)) {
      Audio.VolumeLevel[i] = std::clamp(CheckedSub(Shell.MouseX, Config.VolX[i]), 0, 50);
      if (i == 0) Services().SetMusicVolume(2 * Audio.VolumeLevel[0]);
      return true;
    }
  }
  return false;
}

void ClickPlayScreen(int32_t button) {
  if (ClickPlayControls()) return;
  if (Game.PlayState == PlayRunning) {
    if (button == ButtonRight && Game.Pair.Row >= -1 && MouseOverBoard()) RotatePair();
  } else {
    ClickAway();
  }
}

void ClickStageSelectScreen() {
  if (MouseOverStageBar()) {
    Game.Stage = CheckedDiv(Shell.MouseX - StageBarLeft, StageSlotPitch);
    if (Game.Stage >= User.UserMaxStage) Game.Stage = CheckedSub(User.UserMaxStage, 1);
    return;
  }
  for (int32_t i = 0; i < 3; ++i) {
    if (MouseOverDifficultyButton(i)) {
      Game.Difficulty = i;
      return;
    }
  }
  for (int32_t j = 0; j < 5; ++j) {
    if (MouseOverMusicButton(j)) {
      if (MusicButtonOpen(j)) Game.MusicChoice = j;
      return;
    }
  }
}

}  // namespace

void LogicStep() {
  if (Game.GameMode != ModePlay || Game.PlayState != PlayRunning) return;
  if (Game.StageTick < 0) {
    ++Game.StageTick;
    return;
  }

  CountTargets();
  if (Game.TargetCount == 0) {
    Services().PlaySound(SoundStageClear);
    Game.AngelState[1] = 2;
    const int32_t opened = CheckedAdd(Game.Stage, 2);
    if (User.UserMaxStage < opened) User.UserMaxStage = opened;
    Game.PlayState = PlayStageClear;
    return;
  }

  if (CheckedMod(Shell.GameTick, 28) == 0) {
    Game.TimeCount = CheckedAdd(Game.TimeCount, 1);
    const int32_t speedUpPeriod = CheckedSub(80, CheckedMul(20, Game.Difficulty));
    if (CheckedMod(CheckedSub(Game.TimeCount, Game.SpeedBase), speedUpPeriod) == 0) {
      Game.DropInterval = std::max(CheckedSub(Game.DropInterval, 2), MinimumDropInterval);
    }
  }

  const bool mouseMoved = Shell.MouseX != Shell.OldMouseX || Shell.MouseY != Shell.OldMouseY;
  if (mouseMoved) Game.KeyControl = false;
  if (Game.Pair.Row > -2) {
    if (!Game.KeyControl) SteerTowardsMouse();
    if ((!Game.KeyControl && Shell.MouseLeftDown) || PadHurryHeld()) Hurry();
  }

  if (VanishStep()) return;
  Game.StageTick = CheckedAdd(Game.StageTick, 1);

  if (Game.PairActive) {
    if (CheckedMod(Game.StageTick, Game.DropInterval) == 0) {
      DropStep();
      Game.ChainCount = 0;
    }
    return;
  }
  if (CheckedMod(Game.StageTick, 5) != 0) return;
  if (FallStep()) {
    Services().PlaySound(SoundStep);
  } else if (ResolveRuns()) {
    Services().PlaySound(SoundVanish);
  } else {
    SpawnPair();
  }
}

void KeyStep(int32_t key) {
  if (Game.GameMode != ModePlay) return;
  const bool arrow = key >= KeyLeft && key <= KeyDown;
  if (Game.PlayState == PlayStageClear) {
    if (arrow) ClickStep(ButtonLeft, 0, 0);
    return;
  }
  PairBox& pair = Game.Pair;
  if (Game.PlayState != PlayRunning || pair.Row < -1 || !arrow) return;
  Game.KeyControl = true;
  switch (key) {
    case KeyLeft:
      if (CanPlace(pair, CheckedSub(pair.Column, 1), pair.Row) && pair.Column > 0) --pair.Column;
      break;
    case KeyUp:
      RotatePair();
      break;
    case KeyRight:
      if (CanPlace(pair, CheckedAdd(pair.Column, 1), pair.Row)) {
        pair.Column = std::min(pair.Column + 1, PairIsHorizontal() ? 6 : 7);
      }
      break;
    case KeyDown:
      if (Game.PairActive) DropStep();
      break;
  }
}

void ClickAway() {
  const int32_t state = Game.PlayState;
  if (state == PlayPaused) {
    Game.PlayState = PlayRunning;
    Services().PlayMusic();
  } else if (state == PlayStageClear) {
    Game.PlayState = PlayRunning;
    StartStage(CheckedAdd(Game.Stage, 1), Game.Score);
  } else if (state >= OverlayHelp && state < OverlayHelp + 1000) {
    StartCrossFade();
    Game.PlayState = state - OverlayHelp;
  }
}

void RotatePair() {
  PairBox& pair = Game.Pair;
  const PairBox backup = pair;
  auto& cells = pair.Cells;
  if (PairIsHorizontal()) {
    // Left and right half become bottom and top.
    cells[0][0].Colour = cells[1][1].Colour;
    cells[1][1].Colour = -1;
    cells[0][0].Link = 2;
    cells[0][1].Link = 0;
    // Where it does not fit: one row down, else one column right, else no turn.
    if (!CanPlace(pair, pair.Column, pair.Row)) {
      if (CanPlace(pair, pair.Column, CheckedAdd(pair.Row, 1)) && pair.Row + 1 <= 11) {
        ++pair.Row;
      } else if (CanPlace(pair, CheckedAdd(pair.Column, 1), pair.Row) && pair.Column + 1 <= 7) {
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
    if (!(CanPlace(pair, pair.Column, pair.Row) && pair.Column <= 6)) {
      if (CanPlace(pair, CheckedSub(pair.Column, 1), pair.Row) && pair.Column - 1 >= 0) {
        --pair.Column;
      } else {
        pair = backup;
      }
    }
  }
  Services().PlaySound(SoundRotate);
}

void ClickStep(int32_t button, float, float) {
  if (HitScreenButton()) return;
  if (Game.GameMode == ModePlay) {
    ClickPlayScreen(button);
  } else if (Game.GameMode == ModeStageSelect && button == ButtonLeft) {
    ClickStageSelectScreen();
  }
}

void HoverStep(int32_t button, float x, float y) {
  if (Game.GameMode == ModePlay) {
    for (int32_t i = 0; i < 2; ++i) {
      if (MouseOverCheckBox(i)) Shell.MouseStyle = 1;
      if (MouseOverVolumeSlider(i)) {
        Shell.MouseStyle = 2;
        if (button == ButtonLeft) ClickStep(button, x, y);
      }
    }
  } else if (Game.GameMode == ModeStageSelect) {
    if (MouseOverStageBar()) {
      Shell.MouseStyle = 1;
      if (button == ButtonLeft) ClickStep(button, x, y);
      return;
    }
    for (int32_t i = 0; i < 3; ++i) {
      if (MouseOverDifficultyButton(i)) {
        Shell.MouseStyle = 1;
        return;
      }
    }
    for (int32_t j = 0; j < 5; ++j) {
      if (MouseOverMusicButton(j) && MusicButtonOpen(j)) Shell.MouseStyle = 1;
    }
  }
}

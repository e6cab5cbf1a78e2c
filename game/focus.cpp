// SPDX-License-Identifier: MIT
#include "game/focus.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "audio/sound_effects.h"
#include "base/runtime.h"
#include "game/flow.h"
#include "game/input.h"
#include "game/pages.h"
#include "player/high_scores.h"
#include "player/key_bindings.h"

namespace {

// A volume bar moves a tenth of its length a key.
constexpr int32_t VolumeStep = MaxVolumeLevel / 10;

// The screen the focus is placed on: the mode, and on the play screen its play state.
int32_t FocusScreenKey(const GameState& state) {
  if (state.NameEntry.Open) return 20000;
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
  return b.State == ButtonShown && b.Right - b.Left > 2 && b.Bottom - b.Top > 2;
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
    buttons = {Pause, NewGame, Exit, Help, Web, Controls};
  } else if (state.PlayState == PlayGameOver) {
    buttons = {NewGame, Exit, Help, Web};
  } else if (OpenOverlay(state.PlayState) == OverlayNewGame) {
    buttons = {NewGameYes, NewGameNo};
  } else if (OpenOverlay(state.PlayState) == OverlayExit) {
    buttons = {ExitYes, ExitNo};
  }
  std::vector<FocusStop> stops;
  for (int32_t i : buttons) {
    if (ButtonExists(state, i) && state.Buttons[static_cast<size_t>(i)].State != ButtonAbsent) {
      stops.push_back({FocusRow::None, i});
    }
  }
  // Beside the panels of a stopped game, the side panel's switches and volume bars.
  if (state.PlayState == PlayPaused || state.PlayState == PlayGameOver) {
    for (FocusRow row : {FocusRow::MusicSwitch, FocusRow::MusicVolume, FocusRow::SoundSwitch, FocusRow::SoundVolume}) {
      stops.push_back({row, -1});
    }
  }
  return stops;
}

std::vector<FocusStop> Stops(const GameState& state) {
  if (state.NameEntry.Open) return {};
  switch (state.GameMode) {
    case ModeTitle:
      return MenuButtons(state);
    case ModeStageSelect: {
      std::vector<FocusStop> stops = {{FocusRow::StageBar, -1}, {FocusRow::Difficulty, -1}, {FocusRow::Music, -1}};
      for (const FocusStop& stop : MenuButtons(state)) stops.push_back(stop);
      return stops;
    }
    case ModeControls: {
      std::vector<FocusStop> stops;
      for (int32_t action = 0; action < PlayActionCount; ++action) {
        stops.push_back({FocusRow::BindingKey, -1, action});
        stops.push_back({FocusRow::BindingPad, -1, action});
      }
      for (const FocusStop& stop : MenuButtons(state)) stops.push_back(stop);
      return stops;
    }
    case ModeHiScores: {
      std::vector<FocusStop> stops;
      for (int32_t item = 0; item < 3 * HiScoreRecords; ++item) {
        if (state.HiScores.Replayable[static_cast<size_t>(item)]) stops.push_back({FocusRow::Record, -1, item});
      }
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
  const int32_t advertisement = static_cast<int32_t>(state.Buttons.size()) - 1;
  if (state.GameMode == ModeTitle) {
    for (const FocusStop& stop : stops) {
      if (stop.Button != TitleButton::Quit && stop.Button != advertisement) return stop;
    }
  } else if (state.GameMode == ModeHiScores) {
    // On the record just entered, else on the way back.
    const int32_t newest = state.HiScores.NewestTable * HiScoreRecords + state.HiScores.NewestRank;
    for (const FocusStop& stop : stops) {
      if (stop == FocusStop{FocusRow::Record, -1, newest}) return stop;
    }
    wanted = HiScoreButton::Back;
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
    if (wanted >= 0 && stop.Button == wanted) return stop;
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

// A control's place as a move sees it: its near and far edges the way the arrow points, and
// its edges across the move.
struct SeenAlong {
  int64_t Near = 0, Far = 0, Low = 0, High = 0;
};

SeenAlong Seen(const FocusArea& area, int32_t key) {
  const int64_t left = area.Left, top = area.Top, right = area.Right, bottom = area.Bottom;
  switch (key) {
    case KeyCode::Right:
      return {left, right, top, bottom};
    case KeyCode::Left:
      return {-right, -left, top, bottom};
    case KeyCode::Down:
      return {top, bottom, left, right};
    default:  // up
      return {-bottom, -top, left, right};
  }
}

// The stop an arrow `key` moves the focus to from `fromStop`, which lies at `from`. Of the
// controls that lie that way (the middle beyond the focused one's far edge, and, unless in line
// with it across the move, no farther across than along), those in line come first, then the
// nearest (across counting twice), then the one whose middle lies nearer across, then the first
// listed. Where none lies that way the focus comes round from the far side, to the control in
// line with it nearest that side; where nothing else is in line it stays.
FocusStop NextStop(const std::vector<FocusStop>& stops, const std::vector<FocusArea>& areas, const FocusArea& from,
                   const FocusStop& fromStop, int32_t key) {
  const SeenAlong f = Seen(from, key);
  std::optional<std::tuple<bool, int64_t, int64_t>> best;
  std::optional<std::pair<int64_t, int64_t>> round;
  FocusStop bestStop = fromStop, roundStop = fromStop;
  for (size_t i = 0; i < stops.size(); ++i) {
    const SeenAlong t = Seen(areas[i], key);
    const int64_t gap = std::max(t.Low - f.High, f.Low - t.High);  // across the move
    const int64_t askew = std::abs(t.Low + t.High - f.Low - f.High);
    const bool inLine = gap <= 0;
    if (inLine && (!round || std::make_pair(t.Near, askew) < *round)) {
      round = std::make_pair(t.Near, askew);
      roundStop = stops[i];
    }
    // Middles and offsets at twice the scale, to stay in whole numbers.
    const int64_t beyond = t.Near + t.Far - f.Far - f.Far;
    if (beyond <= 0) continue;
    if (!inLine && askew > t.Near + t.Far - f.Near - f.Far) continue;
    const int64_t across = inLine ? int64_t{0} : gap;  // counts twice in the distance
    const auto rank = std::make_tuple(!inLine, t.Near - f.Far + 2 * across, askew);
    if (!best || rank < *best) {
      best = rank;
      bestStop = stops[i];
    }
  }
  return best ? bestStop : roundStop;
}

// An arrow moves the focus to the control nearest in its direction, from where the skin placed
// them (NextStop).
void MoveFocus(Game& game, int32_t key) {
  GameState& state = game.State;
  const std::vector<FocusStop> stops = CurrentStops(state);
  std::vector<FocusArea> areas;
  for (const FocusStop& stop : stops) areas.push_back(FocusStopArea(state, game.Layout, stop));
  const FocusStop from = state.Focus.Current;
  state.Focus.Current = NextStop(stops, areas, FocusStopArea(state, game.Layout, from), from, key);
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
    case FocusRow::MusicVolume:
    case FocusRow::SoundVolume: {
      const int32_t which = row == FocusRow::MusicVolume ? 0 : 1;
      SetVolume(game, which, CheckedAdd(game.Player.VolumeLevel[which], CheckedMul(step, VolumeStep)));
      break;
    }
    default:
      break;
  }
}

// The rows whose choice left and right change.
bool HasChoices(FocusRow row) {
  return row == FocusRow::StageBar || row == FocusRow::Difficulty || row == FocusRow::Music ||
         row == FocusRow::MusicVolume || row == FocusRow::SoundVolume;
}

void Navigate(Game& game, int32_t key) {
  GameState& state = game.State;
  CurrentStops(state);
  if (!state.Focus.Visible) {
    state.Focus.Visible = true;  // the first key shows where the focus is
    return;
  }
  if (HasChoices(state.Focus.Current.Row) && (key == KeyCode::Left || key == KeyCode::Right)) {
    ChangeRow(game, state.Focus.Current.Row, key == KeyCode::Left ? -1 : 1);
  } else {
    MoveFocus(game, key);
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
  const bool no = button == PlayButton::NewGameNo || button == PlayButton::ExitNo;
  const bool returnToPause = state.Focus.PanelFromPause && no;
  ButtonClick(game, button);
  if (returnToPause) state.PlayState = PlayPaused;
  if (button >= PlayButton::NewGameYes) state.Focus.PanelFromPause = false;
  if (no) {
    // Back on the panel or the game the question came from, on the button that asked it.
    const int32_t opener = button == PlayButton::NewGameNo ? PlayButton::NewGame : PlayButton::Exit;
    const std::vector<FocusStop> stops = CurrentStops(state);
    if (std::find(stops.begin(), stops.end(), FocusStop{FocusRow::None, opener}) != stops.end()) {
      state.Focus.Current = {FocusRow::None, opener};
    }
  }
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
  const FocusRow row = state.Focus.Current.Row;
  if (state.Focus.Current.Button >= 0) {
    ClickButton(game, state.Focus.Current.Button);
  } else if (row == FocusRow::BindingKey || row == FocusRow::BindingPad) {
    ChooseBinding(game, row, state.Focus.Current.Item);
  } else if (row == FocusRow::Record) {
    game.Services.PlaySound(SoundClick);
    game.Services.PlayReplay(state.Focus.Current.Item / HiScoreRecords, state.Focus.Current.Item % HiScoreRecords);
  } else if (row == FocusRow::MusicSwitch || row == FocusRow::SoundSwitch) {
    FlipAudioSwitch(game, row == FocusRow::MusicSwitch ? 0 : 1);
  } else if (state.GameMode == ModeStageSelect) {
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
  if (state.GameMode == ModeStageSelect) {
    BackToTitle(game);
    return;
  }
  if (state.GameMode == ModeControls || state.GameMode == ModeHiScores) {
    game.Services.PlaySound(SoundClick);
    state.GameMode == ModeControls ? LeaveControlsPage(game) : LeaveHiScores(game);
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

bool InMenu(const GameState& state) {
  return state.GameMode == ModeTitle || state.GameMode == ModeStageSelect || state.GameMode == ModeHiScores;
}

bool Running(const GameState& state) { return state.GameMode == ModePlay && state.PlayState == PlayRunning; }

bool& Held(GameState& state, PadButton button) { return state.Focus.PadHeld.at(static_cast<size_t>(button)); }

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

bool ArrowsBelongToPlay(const GameState& state) {
  return state.GameMode == ModePlay && (state.PlayState == PlayRunning || state.PlayState == PlayStageClear);
}

bool SpaceActivates(const GameState& state) {
  const FocusRow row = FocusedRow(state);
  return InMenu(state) || row == FocusRow::MusicSwitch || row == FocusRow::SoundSwitch;
}

bool MenuSpace(Game& game) {
  if (!SpaceActivates(game.State)) return false;
  Activate(game);
  return true;
}

bool KeyActsHere(GameState& state, int32_t key, bool repeat) {
  FocusState& focus = state.Focus;
  const int32_t screen = FocusScreenKey(state);
  if (focus.KeyScreen != screen) {
    focus.KeyScreen = screen;
    focus.KeysPressedHere.clear();
  }
  if (repeat) return focus.KeysPressedHere.count(key) > 0;
  focus.KeysPressedHere.insert(key);
  return true;
}

FocusArea FocusStopArea(const GameState& state, const SkinLayout& layout, const FocusStop& stop) {
  if (stop.Button >= 0) {
    if (!ButtonExists(state, stop.Button)) return {};
    const ScreenButton& b = state.Buttons[static_cast<size_t>(stop.Button)];
    return {b.Left, b.Top, b.Right, b.Bottom};
  }
  switch (stop.Row) {
    case FocusRow::StageBar:  // the bar and the pointer above and below it
      return {StageBarLeft, StagePointerTop, StageBarRight, StageBarBottom + 5};
    case FocusRow::Difficulty:  // the buttons and the words under them
      return {DifficultyButtonLeft, DifficultyButtonTop,
              DifficultyButtonLeft + 2 * DifficultyButtonPitch + DifficultyButtonSize,
              DifficultyButtonTop + DifficultyButtonSize + 12};
    case FocusRow::Music:
      return {MusicButtonLeft, MusicButtonTop, MusicButtonLeft + 4 * MusicButtonPitch + MusicButtonWidth,
              MusicButtonTop + MusicButtonHeight};
    case FocusRow::MusicSwitch:
    case FocusRow::SoundSwitch: {  // the box and its word, where a click flips it
      const size_t i = stop.Row == FocusRow::MusicSwitch ? 0 : 1;
      return {layout.CheckHitLeft[i], layout.CheckHitTop[i], layout.CheckHitRight[i], layout.CheckHitBottom[i]};
    }
    case FocusRow::MusicVolume:
    case FocusRow::SoundVolume: {
      const size_t i = stop.Row == FocusRow::MusicVolume ? 0 : 1;
      return {layout.VolX[i], layout.VolY[i], CheckedAdd(layout.VolX[i], layout.VolumeWidth),
              CheckedAdd(layout.VolY[i], layout.VolumeHeight)};
    }
    case FocusRow::BindingKey:
    case FocusRow::BindingPad: {
      const int32_t top = ControlsRowTop + ControlsRowPitch * stop.Item;
      return stop.Row == FocusRow::BindingKey
                 ? FocusArea{ControlsKeyLeft, top, ControlsKeyRight, top + ControlsRowHeight}
                 : FocusArea{ControlsPadLeft, top, ControlsPadRight, top + ControlsRowHeight};
    }
    case FocusRow::Record: {
      const int32_t left = ScoresColumnLeft + ScoresColumnPitch * (stop.Item / HiScoreRecords);
      const int32_t top = ScoresRowTop + ScoresRowPitch * (stop.Item % HiScoreRecords);
      return {left, top, left + ScoresColumnWidth, top + ScoresRowHeight};
    }
    case FocusRow::None:
      break;
  }
  return {};
}

void PadMenuButton(Game& game, PadButton button) {
  GameState& state = game.State;
  switch (button) {
    case PadButton::South:
      if (!Running(state)) Activate(game);
      break;
    case PadButton::East:
      if (!Running(state)) Back(game);
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
    default:
      break;
  }
}

int32_t FocusScreen(const GameState& state) { return FocusScreenKey(state); }

void PadRelease(GameState& state, PadButton button) { Held(state, button) = false; }

void PadReleaseAll(GameState& state) { state.Focus.PadHeld.fill(false); }

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

FocusStop FocusedStop(const GameState& state) {
  if (!state.Focus.Visible) return {};
  return CurrentStop(state, Stops(state));
}

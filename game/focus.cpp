#include "game/focus.h"

#include <algorithm>
#include <array>
#include <vector>

#include "config/config.h"
#include "config/user_settings.h"
#include "game/flow.h"
#include "game/game_state.h"
#include "game/input.h"
#include "shell/runtime.h"
#include "shell/shell_state.h"

namespace {

constexpr int32_t KeyEnter = 13, KeyEscape = 27;
constexpr int32_t KeyLeft = 37, KeyUp = 38, KeyRight = 39, KeyDown = 40;

// Play-screen buttons, title buttons and the stage selection's start button by index.
constexpr int32_t NewGameButton = 0, PauseButton = 1, HelpButton = 2, ExitButton = 3, WebButton = 4;
constexpr int32_t NewGameYes = 5, NewGameNo = 6, ExitYes = 7, ExitNo = 8;
constexpr int32_t QuitButton = 1, AdButton = 2;
constexpr int32_t StartButton = 0;

// A held d-pad direction repeats after 12 frames (a third of a second), then every 4.
constexpr int32_t RepeatDelay = 12, RepeatPeriod = 4;

struct Stop {
  FocusRow Row = FocusRow::None;
  int32_t Button = -1;
  bool operator==(const Stop&) const = default;
};

struct FocusState {
  bool Visible = false;
  int32_t Screen = -1;  // the screen the focus was placed on: GameMode and PlayState
  Stop Current;
  // A confirmation opened from the pause panel returns to it on "no".
  bool PanelFromPause = false;
  std::array<bool, 8> PadHeld{};
  int32_t RepeatFrames = 0;
};
FocusState g_focus;

int32_t ScreenKey() { return Game.GameMode == ModePlay ? 10000 + Game.PlayState : Game.GameMode; }

bool InPanel(int32_t overlay) { return Game.PlayState >= overlay && Game.PlayState < overlay + 1000; }

bool ButtonExists(int32_t index) {
  return index <= Config.ScreenButtonMax && index < static_cast<int32_t>(Config.ScreenButtons.size());
}

// A shown button a cursor could hit: the advertisement entry without an advertisement is a
// single pixel and takes no focus.
bool Focusable(int32_t index) {
  if (!ButtonExists(index)) return false;
  const ScreenButton& b = Config.ScreenButtons[index];
  return b.State != 0 && b.Right - b.Left > 2 && b.Bottom - b.Top > 2;
}

// The menu buttons of the title and the stage selection, top to bottom, left to right.
std::vector<Stop> MenuButtons() {
  std::vector<int32_t> shown;
  for (int32_t i = 0; i <= Config.ScreenButtonMax; ++i) {
    if (Focusable(i)) shown.push_back(i);
  }
  std::stable_sort(shown.begin(), shown.end(), [](int32_t a, int32_t b) {
    const ScreenButton &x = Config.ScreenButtons[a], &y = Config.ScreenButtons[b];
    return x.Top != y.Top ? x.Top < y.Top : x.Left < y.Left;
  });
  std::vector<Stop> stops;
  for (int32_t i : shown) stops.push_back({FocusRow::None, i});
  return stops;
}

// The play screen's buttons that act in the panel shown, in the order the focus visits them.
std::vector<Stop> PanelButtons() {
  std::vector<int32_t> buttons;
  if (Game.PlayState == PlayPaused) {
    buttons = {PauseButton, NewGameButton, ExitButton, HelpButton, WebButton};
  } else if (Game.PlayState == PlayGameOver) {
    buttons = {NewGameButton, ExitButton, HelpButton, WebButton};
  } else if (InPanel(OverlayNewGame)) {
    buttons = {NewGameYes, NewGameNo};
  } else if (InPanel(OverlayExit)) {
    buttons = {ExitYes, ExitNo};
  }
  std::vector<Stop> stops;
  for (int32_t i : buttons) {
    if (ButtonExists(i)) stops.push_back({FocusRow::None, i});
  }
  return stops;
}

std::vector<Stop> Stops() {
  switch (Game.GameMode) {
    case ModeTitle:
      return MenuButtons();
    case ModeStageSelect: {
      std::vector<Stop> stops = {{FocusRow::StageBar, -1}, {FocusRow::Difficulty, -1}, {FocusRow::Music, -1}};
      for (const Stop& stop : MenuButtons()) stops.push_back(stop);
      return stops;
    }
    default:
      return PanelButtons();
  }
}

// Where the focus starts on each screen: on what a player most likely wants, and on "no"
// in a confirmation.
Stop DefaultStop(const std::vector<Stop>& stops) {
  int32_t wanted = -1;
  if (Game.GameMode == ModeTitle) {
    for (const Stop& stop : stops) {
      if (stop.Button != QuitButton && stop.Button != AdButton) return stop;
    }
  } else if (Game.GameMode == ModeStageSelect) {
    wanted = StartButton;
  } else if (Game.PlayState == PlayPaused) {
    wanted = PauseButton;
  } else if (InPanel(OverlayNewGame)) {
    wanted = NewGameNo;
  } else if (InPanel(OverlayExit)) {
    wanted = ExitNo;
  }
  for (const Stop& stop : stops) {
    if (stop.Button == wanted) return stop;
  }
  return stops.empty() ? Stop{} : stops.front();
}

// The focus of the screen now shown; a new screen starts at its default.
std::vector<Stop> CurrentStops() {
  std::vector<Stop> stops = Stops();
  if (g_focus.Screen != ScreenKey() || std::find(stops.begin(), stops.end(), g_focus.Current) == stops.end()) {
    g_focus.Screen = ScreenKey();
    g_focus.Current = DefaultStop(stops);
  }
  return stops;
}

void MoveFocus(int32_t step) {
  const std::vector<Stop> stops = CurrentStops();
  if (stops.empty()) return;
  const auto at = std::find(stops.begin(), stops.end(), g_focus.Current) - stops.begin();
  const auto count = static_cast<ptrdiff_t>(stops.size());
  g_focus.Current = stops[static_cast<size_t>((at + step + count) % count)];
}

void ChangeRow(FocusRow row, int32_t step) {
  switch (row) {
    case FocusRow::StageBar:
      Game.Stage = std::clamp(CheckedAdd(Game.Stage, step), 0, std::min(User.UserMaxStage, StageSlotCount) - 1);
      break;
    case FocusRow::Difficulty:
      Game.Difficulty = std::clamp(CheckedAdd(Game.Difficulty, step), 0, 2);
      break;
    case FocusRow::Music:
      Game.MusicChoice = std::clamp(CheckedAdd(Game.MusicChoice, step), 0, std::min(User.UserMaxStage / 4, 4));
      break;
    case FocusRow::None:
      break;
  }
}

void Navigate(int32_t key) {
  CurrentStops();
  if (!g_focus.Visible) {
    g_focus.Visible = true;  // the first key shows where the focus is
    return;
  }
  const int32_t step = key == KeyLeft || key == KeyUp ? -1 : 1;
  if (g_focus.Current.Row != FocusRow::None && (key == KeyLeft || key == KeyRight)) {
    ChangeRow(g_focus.Current.Row, step);
  } else {
    MoveFocus(step);
  }
}

// "New game" and "exit" act on a running or cleared stage only; from the pause panel the
// focus opens their confirmation over the stopped game and comes back to the pause panel.
void ClickFromPause(int32_t button) {
  Game.PlayState = PlayRunning;
  ButtonClick(button);
  g_focus.PanelFromPause = true;
}

void ClickButton(int32_t button) {
  if (Game.GameMode == ModePlay && Game.PlayState == PlayPaused &&
      (button == NewGameButton || button == ExitButton)) {
    ClickFromPause(button);
    return;
  }
  const bool returnToPause = g_focus.PanelFromPause && (button == NewGameNo || button == ExitNo);
  ButtonClick(button);
  if (returnToPause) Game.PlayState = PlayPaused;
  if (button >= NewGameYes) g_focus.PanelFromPause = false;
}

void Activate() {
  if (Game.GameMode == ModePlay && (Game.PlayState == PlayStageClear || InPanel(OverlayHelp))) {
    ClickAway();
    return;
  }
  CurrentStops();
  g_focus.Visible = true;
  if (g_focus.Current.Button >= 0) {
    ClickButton(g_focus.Current.Button);
  } else if (g_focus.Current.Row != FocusRow::None) {
    ButtonClick(StartButton);  // a choice made on the stage selection: play it
  }
}

void Back() {
  g_focus.Visible = true;  // the panel it leads to shows its focus at once
  if (Game.GameMode == ModeTitle) {
    // Escape on the title goes to the quit button; one more Enter leaves.
    if (Focusable(QuitButton)) {
      CurrentStops();
      g_focus.Current = {FocusRow::None, QuitButton};
    }
    return;
  }
  if (Game.GameMode != ModePlay) return;
  if (Game.PlayState == PlayRunning || Game.PlayState == PlayPaused) {
    ButtonClick(PauseButton);
  } else if (InPanel(OverlayNewGame)) {
    ClickButton(NewGameNo);
  } else if (InPanel(OverlayExit)) {
    ClickButton(ExitNo);
  } else if (InPanel(OverlayHelp)) {
    ClickAway();
  }
}

// The arrows steer the pair in running play and continue after a cleared stage (KeyStep);
// everywhere else they move the focus.
bool ArrowsBelongToPlay() {
  return Game.GameMode == ModePlay && (Game.PlayState == PlayRunning || Game.PlayState == PlayStageClear);
}

bool InMenu() { return Game.GameMode == ModeTitle || Game.GameMode == ModeStageSelect; }

int32_t ArrowKey(PadButton button) {
  switch (button) {
    case PadButton::Left: return KeyLeft;
    case PadButton::Right: return KeyRight;
    case PadButton::Up: return KeyUp;
    case PadButton::Down: return KeyDown;
    default: return 0;
  }
}

// A d-pad direction: in running play left, right and down move the pair as the arrow keys
// do (up does nothing, so a stick pushed slightly askew never turns the pair).
void PadDirection(PadButton button) {
  const int32_t key = ArrowKey(button);
  if (ArrowsBelongToPlay()) {
    if (Game.PlayState != PlayRunning || button != PadButton::Up) KeyStep(key);
  } else {
    MenuKey(key);
  }
}

bool Running() { return Game.GameMode == ModePlay && Game.PlayState == PlayRunning; }

}  // namespace

void MenuKey(int32_t key) {
  if (key == KeyEnter) {
    if (!Running()) Activate();
  } else if (key == KeyEscape) {
    Back();
  } else if (key >= KeyLeft && key <= KeyDown && !ArrowsBelongToPlay()) {
    Navigate(key);
  }
}

bool MenuSpace() {
  if (!InMenu()) return false;
  Activate();
  return true;
}

void PadPress(PadButton button) {
  g_focus.PadHeld[static_cast<size_t>(button)] = true;
  switch (button) {
    case PadButton::Left:
    case PadButton::Right:
    case PadButton::Up:
    case PadButton::Down:
      g_focus.RepeatFrames = 0;
      PadDirection(button);
      break;
    case PadButton::South:
      if (Running()) {
        KeyStep(KeyUp);
      } else {
        Activate();
      }
      break;
    case PadButton::East:
      if (Running()) {
        Game.KeyControl = true;  // the pad has the pair: the resting mouse does not steer it
      } else {
        Back();
      }
      break;
    case PadButton::Start:
      if (Game.GameMode == ModePlay && (Game.PlayState == PlayRunning || Game.PlayState == PlayPaused)) {
        ButtonClick(PauseButton);
      } else {
        Activate();
      }
      break;
    case PadButton::Back:
      Back();
      break;
  }
}

void PadRelease(PadButton button) { g_focus.PadHeld[static_cast<size_t>(button)] = false; }

void PadReleaseAll() { g_focus.PadHeld.fill(false); }

bool PadHurryHeld() { return g_focus.PadHeld[static_cast<size_t>(PadButton::East)]; }

void ControlsFrame() {
  if (!InPanel(OverlayNewGame) && !InPanel(OverlayExit)) g_focus.PanelFromPause = false;
  for (PadButton direction : {PadButton::Left, PadButton::Right, PadButton::Up, PadButton::Down}) {
    if (!g_focus.PadHeld[static_cast<size_t>(direction)]) continue;
    g_focus.RepeatFrames = CheckedAdd(g_focus.RepeatFrames, 1);
    if (g_focus.RepeatFrames >= RepeatDelay && (g_focus.RepeatFrames - RepeatDelay) % RepeatPeriod == 0) {
      PadDirection(direction);
    }
    return;  // one direction repeats at a time
  }
}

void MouseTookControl() { g_focus.Visible = false; }

int32_t FocusedButton() {
  if (!g_focus.Visible) return -1;
  CurrentStops();
  return g_focus.Current.Button;
}

FocusRow FocusedRow() {
  if (!g_focus.Visible) return FocusRow::None;
  CurrentStops();
  return g_focus.Current.Row;
}

void ResetFocus() { g_focus = FocusState{}; }

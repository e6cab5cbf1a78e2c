// SPDX-License-Identifier: MIT
// The state of the game rules: the board, the pairs, the score, the screens and play states,
// the buttons of the screen shown, the keyboard's focus and the mouse as the rules see it.
// Plain data, owned by the program and handed to the rules (game/game.h).
#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "base/input_codes.h"
#include "config/screen_geometry.h"
#include "config/skin_layout.h"

// What a cell of the board holds beside its colour: a half joined to its partner in one of
// four directions, a single piece, or a target.
enum CellLink : int32_t { LinkUp = 0, LinkRight = 1, LinkDown = 2, LinkLeft = 3, LinkSingle = 4, LinkTarget = 5 };

// One cell of the board or of a pair box.
struct BoardCell {
  int32_t Colour = -1;  // -1 empty; 0..2 a piece; 10 or more vanishing (mod 10 colour, div 10 step)
  int32_t Link = 0;     // a CellLink; +10 per run while marked
  int32_t Phase = 0;    // animation counter, advanced once a frame while the board shows
};

// A pair in its 2 x 2 box; box cell (x, y) lies on board cell (Column + x, Row + y).
struct PairBox {
  BoardCell Cells[2][2];  // [x][y]
  int32_t Column = 0;
  int32_t Row = 0;
};

struct ScorePopup {
  std::string Text;  // the points, in decimal
  int32_t Multiplier = 0;
  int32_t X = 0, Y = 0;
  int32_t Age = 0;
  bool Active = false;
};

enum GameModeValue : int32_t { ModeTitle = 0, ModePlay = 1, ModeStageSelect = 2, ModeControls = 3, ModeHiScores = 4 };

// The play states; a panel laid over the play screen (a confirmation or the help page) adds
// its offset to the state it covers, which comes back when the panel closes.
enum PlayStateValue : int32_t {
  PlayRunning = 0,
  PlayPaused = 1,
  PlayGameOver = 2,
  PlayStageClear = 3,
  OverlayNewGame = 1000,
  OverlayExit = 2000,
  OverlayHelp = 3000,
};
constexpr int32_t OverlaySpan = 1000;

// The panel open over the play screen in `playState`: OverlayNewGame, OverlayExit,
// OverlayHelp, or 0 for none.
constexpr int32_t OpenOverlay(int32_t playState) {
  return playState >= OverlayNewGame && playState < OverlayHelp + OverlaySpan ? playState / OverlaySpan * OverlaySpan
                                                                              : 0;
}
// Whether a confirmation or the help page covers the play screen (the board is not shown).
constexpr bool PanelCoversBoard(int32_t playState) { return playState >= OverlayNewGame; }

constexpr int32_t ScorePopupSlots = 50;

// The mouse as the rules see it, in the 720 x 540 logical space (not clamped).
struct Pointer {
  int32_t X = 0, Y = 0;
  // Where the frame before saw the cursor: a frame measures the mouse's movement against it,
  // whatever the mouse handlers wrote into X and Y in between.
  int32_t OldX = 0, OldY = 0;
  int32_t FrameX = 0, FrameY = 0;  // where this frame saw it
  bool LeftDown = false;
  int32_t Style = 0;  // the cursor shape wanted (CursorStyle)
};

// The cursor shapes the rules ask for, by the number of the skin's cursor file.
enum CursorStyle : int32_t { CursorArrow = 0, CursorOverControl = 1, CursorOverSlider = 2 };

// The controls that take the focus like buttons do without being screen buttons: the stage
// selection's rows of choices, and the play screen's music and sound switches and volume bars.
// Left and right change the choice of a row and move a volume bar; Enter, Space and the pad's
// south button flip a switch.
// On the controls page an action's key and pad button, and on the high-score screen a record,
// are controls of their own (FocusStop::Item is the action or the record).
enum class FocusRow {
  None,
  StageBar,
  Difficulty,
  Music,
  MusicSwitch,
  SoundSwitch,
  MusicVolume,
  SoundVolume,
  BindingKey,
  BindingPad,
  Record
};

// A place the keyboard's focus can rest: a row or control, or a screen button.
struct FocusStop {
  FocusRow Row = FocusRow::None;
  int32_t Button = -1;
  int32_t Item = 0;  // which action (BindingKey, BindingPad) or record (Record: table * 8 + rank)
  bool operator==(const FocusStop&) const = default;
};

struct FocusState {
  bool Visible = false;
  int32_t Screen = -1;  // the screen the focus was placed on (FocusScreenKey)
  FocusStop Current;
  // A confirmation opened from the pause panel returns to it on "no".
  bool PanelFromPause = false;
  std::array<bool, PadButtonCount> PadHeld{};
  int32_t RepeatFrames = 0;
  // A key or pad button held down when another screen or panel appears acts there only once it
  // is pressed again: the keys pressed anew since the screen `KeyScreen` appeared, and the screen
  // on which the held d-pad direction was pressed.
  int32_t KeyScreen = -1;
  std::set<int32_t> KeysPressedHere;
  int32_t PadScreen = -1;
  // The keys held down now (a held key bound to hurry hurries).
  std::set<int32_t> KeysHeld;
};

// The controls page: where it returns to, whether it waits for a key or pad button to bind to
// the focused action, and the line it shows (what a binding changed, or why it was refused).
struct ControlsPageState {
  int32_t ReturnMode = ModeTitle;  // the title, or the play screen's pause panel
  bool Waiting = false;
  std::string Message;
};

// The name asked for when a game ends with a score that enters the table.
struct NameEntryState {
  bool Open = false;
  std::string Name;  // Windows-1252, as the table stores it
  int32_t Difficulty = 0, Rank = 0, Points = 0;
  int32_t PickRow = 0, PickColumn = 0;  // the pad's letter picker
  bool Refused = false;                 // a typed character the table cannot hold was left out
};

// The high-score screen: where it returns to, and the record entered last (marked), if any.
struct HiScoresPageState {
  int32_t ReturnMode = ModeTitle;
  int32_t NewestTable = -1, NewestRank = -1;
  std::array<bool, 24> Replayable{};  // by table * 8 + rank: the records whose games can be watched
  std::string Message;                // why a replay could not be played
};

struct GameState {
  BoardCell Board[BoardColumns][BoardRows];  // [column][row]
  PairBox Pair;
  PairBox NextPair;
  bool PairActive = false;
  int32_t TargetCount = 0;
  int32_t TargetQuota = 0;
  int32_t ChainCount = 0;
  int32_t Score = 0;
  int32_t Difficulty = 0;
  int32_t Stage = 0;
  ScorePopup ScorePopups[ScorePopupSlots];
  int32_t TargetMood[3][2] = {};  // [colour][0 frame, 1 mood]
  int32_t AngelState[2] = {};     // (0) frame, (1) mode
  // Input and pacing.
  int32_t StageTick = 0;
  int32_t DropInterval = 24;
  int32_t TimeCount = 0;
  int32_t SpeedBase = 0;
  bool KeyControl = false;
  // Flow.
  int32_t GameMode = ModeTitle;
  int32_t PlayState = PlayRunning;
  int32_t MusicChoice = 0;
  // The frame counter, which the animations count.
  int32_t Tick = 0;
  // The cross-fade from the previous screen: 0 none, else the step drawn next (1, 3, .. 29).
  int32_t FadeStep = 0;
  Pointer Mouse;
  std::vector<ScreenButton> Buttons;  // the buttons of the screen shown
  FocusState Focus;
  ControlsPageState Controls;
  NameEntryState NameEntry;
  HiScoresPageState HiScores;
  bool Replaying = false;  // the play screen shows a replay: the player's input only stops or hurries it
};

// Board cell (column, row); raises SubscriptOutOfRange outside the well.
BoardCell& BoardAt(GameState& state, int32_t column, int32_t row);
const BoardCell& BoardAt(const GameState& state, int32_t column, int32_t row);

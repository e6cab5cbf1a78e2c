// The state of the game rules: the board, the pairs, the score, the screens and play states.
#pragma once

#include <cstdint>
#include <string>

#include "game/screen_geometry.h"

// One cell of the board or of a pair box.
struct BoardCell {
  int32_t Colour = -1;  // -1 empty; 0..2 a piece; 10 or more vanishing (mod 10 colour, div 10 step)
  int32_t Link = 0;     // 0 up, 1 right, 2 down, 3 left, 4 single, 5 target; +10 per run while marked
  int32_t Phase = 0;    // animation counter, advanced by the drawing
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

enum GameModeValue : int32_t { ModeTitle = 0, ModePlay = 1, ModeStageSelect = 2 };

enum PlayStateValue : int32_t {
  PlayRunning = 0,
  PlayPaused = 1,
  PlayGameOver = 2,
  PlayStageClear = 3,
  OverlayNewGame = 1000,
  OverlayExit = 2000,
  OverlayHelp = 3000,
};

constexpr int32_t ScorePopupSlots = 50;

struct GameGlobals {
  BoardCell Board[BoardColumns][BoardRows];  // [column][row]
  PairBox Pair;
  PairBox NextPair;
  bool PairActive = false;
  int32_t TargetCount = 0;
  int32_t TargetQuota = 0;
  int32_t ChainCount = 0;
  int32_t Score = 0;
  int32_t HiScore[3] = {0, 0, 0};
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
};
extern GameGlobals Game;
void ResetGameGlobals();

// Board cell (column, row); raises SubscriptOutOfRange outside the well.
BoardCell& BoardAt(int32_t column, int32_t row);

// SPDX-License-Identifier: MIT
// The player's hand: steering, keys, rotation kicks, hurrying, the frame logic's pacing and
// the controls of the play and stage-selection screens.
#include "game/input.h"
#include "audio/sound_effects.h"
#include "game/board.h"
#include "game/controls.h"
#include "game/flow.h"
#include "game/focus.h"
#include "game/game_test_support.h"
#include "game/hit_test.h"

namespace {

constexpr int32_t KeyLeft = 37, KeyUp = 38, KeyRight = 39, KeyDown = 40;
constexpr int32_t KeyEnter = 13, KeyEscape = 27;

// Running play on a board with one target far from the pair, nothing due to drop soon.
class InputTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    state.GameMode = ModePlay;
    state.PlayState = PlayRunning;
    SetBoard(state, {"T0 . . . . . . ."});
    state.DropInterval = 1000;
    state.StageTick = 1;
  }
};

TEST_F(InputTest, MouseSteersOneColumnPerFrameInsideTheBoardOnly) {
  SetHorizontalPair(state, 0, 1, 3, 0);
  MoveMouse(230, 300);  // left edge of the board: column 0 for a horizontal pair
  Frame();
  EXPECT_EQ(state.Pair.Column, 2);
  Frames(3);
  EXPECT_EQ(state.Pair.Column, 0);
  MoveMouse(483, 300);  // right edge: at most column 6
  Frames(10);
  EXPECT_EQ(state.Pair.Column, 6);
  MoveMouse(436, 300);
  Frame();
  EXPECT_EQ(state.Pair.Column, 6);
  MoveMouse(435, 300);
  Frame();
  EXPECT_EQ(state.Pair.Column, 5);

  // A vertical pair follows the column under the cursor itself, up to column 7.
  SetVerticalPair(state, 0, 1, 5, 0);
  MoveMouse(483, 300);
  Frames(3);
  EXPECT_EQ(state.Pair.Column, 7);

  // Outside the board (an edge counts as outside) the pair stays.
  MoveMouse(228, 300);
  Frames(3);
  EXPECT_EQ(state.Pair.Column, 7);
  MoveMouse(300, 506);
  Frames(3);
  EXPECT_EQ(state.Pair.Column, 7);

  // An obstacle stops the glide; a pair that has not made its first step is not steered.
  SetBoard(state, {". . T0 . . . . .", ". . T0 . . . . ."});
  SetHorizontalPair(state, 0, 1, 5, 10);
  MoveMouse(230, 300);
  Frames(5);
  EXPECT_EQ(state.Pair.Column, 3);
  SetHorizontalPair(state, 0, 1, 3, -2);
  Frames(3);
  EXPECT_EQ(state.Pair.Column, 3);
}

TEST_F(InputTest, ArrowKeysMoveWithinTheWallsAndTakeControlFromTheMouse) {
  SetHorizontalPair(state, 0, 1, 5, 0);
  KeyStep(game, KeyRight);
  KeyStep(game, KeyRight);
  EXPECT_EQ(state.Pair.Column, 6) << "a horizontal pair stops at column 6";
  SetVerticalPair(state, 0, 1, 6, 0);
  KeyStep(game, KeyRight);
  KeyStep(game, KeyRight);
  EXPECT_EQ(state.Pair.Column, 7) << "a vertical pair stops at column 7";
  KeyStep(game, KeyLeft);
  EXPECT_EQ(state.Pair.Column, 6);
  // One column a key, up to a piece in the way and not into it; pieces a column further on or
  // just under the halves do not stop it.
  struct Move {
    int32_t key;
    std::vector<std::pair<int32_t, int32_t>> pieces;
    int32_t column;
  };
  for (const Move& m : {Move{KeyLeft, {{1, 1}}, 2}, Move{KeyLeft, {{2, 1}}, 3}, Move{KeyRight, {{6, 1}}, 4},
                        Move{KeyRight, {{5, 1}}, 3}, Move{KeyRight, {{5, 2}, {6, 2}}, 4}}) {
    SetBoard(state, {});
    for (const auto& [column, row] : m.pieces) state.Board[column][row] = BoardCell{2, LinkSingle, 0};
    SetHorizontalPair(state, 0, 1, 3, 0);
    KeyStep(game, m.key);
    EXPECT_EQ(state.Pair.Column, m.column) << (m.key == KeyLeft ? "left" : "right");
  }
  SetBoard(state, {"T0 . . . . . . ."});
  SetHorizontalPair(state, 0, 1, 0, 0);
  KeyStep(game, KeyLeft);
  EXPECT_EQ(state.Pair.Column, 0);
  EXPECT_TRUE(state.KeyControl);

  // The resting mouse does not steer while the keyboard has control ...
  MoveMouse(470, 300);
  Frame();
  EXPECT_EQ(state.Pair.Column, 1);
  KeyStep(game, KeyLeft);
  Frames(3);
  EXPECT_EQ(state.Pair.Column, 0);
  // ... and takes control back once it is moved, even when the move message came between frames.
  MoveMouse(471, 300);
  Frame();
  EXPECT_FALSE(state.KeyControl);
  EXPECT_EQ(state.Pair.Column, 1);
  Frame();
  EXPECT_EQ(state.Pair.Column, 2);

  // Keys act only in running play and once the pair has left its entry row.
  SetHorizontalPair(state, 0, 1, 3, -2);
  KeyStep(game, KeyLeft);
  EXPECT_EQ(state.Pair.Column, 3);
  SetHorizontalPair(state, 0, 1, 3, 0);
  state.PlayState = PlayPaused;
  KeyStep(game, KeyLeft);
  KeyStep(game, KeyDown);
  EXPECT_EQ(state.Pair.Column, 3);
  EXPECT_EQ(state.Pair.Row, 0);
  state.PlayState = PlayRunning;
  KeyStep(game, KeyDown);
  EXPECT_EQ(state.Pair.Row, 1);
  EXPECT_EQ(services.TakeSounds(), std::vector<int32_t>{SoundStep});
}

// A pair answers the player once it has made its first step, from row -1 on: keys, a right
// click, the gliding towards the cursor and the held button alike.
TEST_F(InputTest, ThePairAnswersFromItsFirstStepOn) {
  struct Case {
    int32_t row;
    bool answers;
  };
  for (const Case& c : {Case{-2, false}, Case{-1, true}, Case{0, true}}) {
    SetHorizontalPair(state, 0, 1, 3, c.row);
    KeyStep(game, KeyLeft);
    EXPECT_EQ(state.Pair.Column, c.answers ? 2 : 3) << "key, row " << c.row;
    SetHorizontalPair(state, 0, 1, 3, c.row);
    Release(MouseButton::Right, 300, 300);
    EXPECT_EQ(PairIsHorizontal(state.Pair), !c.answers) << "right click, row " << c.row;

    // The cursor over column 6 and the left button held: one column and, on an even frame, one row.
    SetHorizontalPair(state, 0, 1, 3, c.row);
    state.StageTick = 2;
    state.KeyControl = false;
    state.Mouse.LeftDown = true;
    MoveMouse(436 + 16, 300);
    Frame();
    state.Mouse.LeftDown = false;
    EXPECT_EQ(state.Pair.Column, c.answers ? 4 : 3) << "mouse, row " << c.row;
    EXPECT_EQ(state.Pair.Row, c.answers ? c.row + 1 : c.row) << "held button, row " << c.row;
  }
}

TEST_F(InputTest, RotationTurnsAnticlockwiseWithItsKicks) {
  SetBoard(state, {});
  SetHorizontalPair(state, 0, 1, 3, 5);
  KeyStep(game, KeyUp);  // R over L
  EXPECT_EQ(state.Pair.Cells[0][0].Colour, 1);
  EXPECT_EQ(state.Pair.Cells[0][0].Link, 2);
  EXPECT_EQ(state.Pair.Cells[0][1].Colour, 0);
  EXPECT_EQ(state.Pair.Cells[0][1].Link, 0);
  EXPECT_EQ(state.Pair.Cells[1][1].Colour, -1);
  KeyStep(game, KeyUp);  // R L
  EXPECT_EQ(state.Pair.Cells[0][1].Colour, 1);
  EXPECT_EQ(state.Pair.Cells[0][1].Link, 1);
  EXPECT_EQ(state.Pair.Cells[1][1].Colour, 0);
  EXPECT_EQ(state.Pair.Cells[1][1].Link, 3);
  KeyStep(game, KeyUp);
  KeyStep(game, KeyUp);  // back to L R
  EXPECT_EQ(state.Pair.Cells[0][1].Colour, 0);
  EXPECT_EQ(state.Pair.Cells[1][1].Colour, 1);
  EXPECT_EQ(state.Pair.Cells[0][0].Colour, -1);
  EXPECT_EQ(state.Pair.Column, 3);
  EXPECT_EQ(state.Pair.Row, 5);
  EXPECT_EQ(services.TakeSounds(), std::vector<int32_t>(4, SoundRotate));
}

// Where a turn does not fit, a flat pair is pushed one row down (never below row 11), else one
// column right; a standing pair that would stick out on the right or hit a piece moves one
// column left (never past the left wall); else the pair does not turn. Each kick at its limit
// and one step either side.
TEST_F(InputTest, RotationKicksStopAtTheFloorAndTheWalls) {
  struct Case {
    const char* what;
    bool flat;  // a flat pair turns upright, an upright one turns flat
    int32_t column, row;
    std::vector<std::pair<int32_t, int32_t>> pieces;  // (column, row) of the pieces in the way
    bool flatAfter;
    int32_t columnAfter, rowAfter;
  };
  const Case cases[] = {
      {"free: turns in place", true, 3, 5, {}, false, 3, 5},
      {"pushed down from row 9", true, 3, 9, {{3, 9}}, false, 3, 10},
      {"pushed down from row 10 to the last row", true, 3, 10, {{3, 10}}, false, 3, 11},
      {"not below row 11: kicked right", true, 3, 11, {{3, 11}}, false, 4, 11},
      {"pushed down, a piece a row further down", true, 3, 5, {{3, 5}, {3, 8}}, false, 3, 6},
      {"kicked right from column 0", true, 0, 5, {{0, 5}, {0, 7}}, false, 1, 5},
      {"kicked right from column 5", true, 5, 5, {{5, 5}, {5, 7}}, false, 6, 5},
      {"kicked right from column 6 to the wall", true, 6, 5, {{6, 5}, {6, 7}}, false, 7, 5},
      {"nowhere to go: no turn", true, 6, 5, {{6, 5}, {6, 7}, {7, 5}}, true, 6, 5},
      {"upright in column 6 turns in place", false, 6, 4, {}, true, 6, 4},
      {"upright in column 7 sticks out: kicked left", false, 7, 4, {}, true, 6, 4},
      {"sticking out and blocked on the left: no turn", false, 7, 4, {{6, 5}}, false, 7, 4},
      {"a piece on the right: kicked left from column 2", false, 2, 4, {{3, 5}}, true, 1, 4},
      {"kicked left, a piece a column further left", false, 3, 4, {{4, 5}, {1, 5}}, true, 2, 4},
      {"a piece on the right: kicked left from column 1 to the wall", false, 1, 4, {{2, 5}}, true, 0, 4},
      {"a piece on the right in column 0: the wall keeps it upright", false, 0, 4, {{1, 5}}, false, 0, 4},
  };
  for (const Case& c : cases) {
    SetPairAmongPieces(state, c.pieces, c.flat, c.column, c.row);
    services.TakeSounds();
    RotatePair(game);
    EXPECT_EQ(PairIsHorizontal(state.Pair), c.flatAfter) << c.what;
    EXPECT_EQ(state.Pair.Column, c.columnAfter) << c.what;
    EXPECT_EQ(state.Pair.Row, c.rowAfter) << c.what;
    EXPECT_EQ(services.TakeSounds(), std::vector<int32_t>{SoundRotate}) << c.what << ": the turn sounds all the same";
    // Wherever it went, the pair still falls within the well and lands there.
    while (state.PairActive) DropStep(game);
    int32_t halves = 0;
    for (int32_t column = 0; column < BoardColumns; ++column) {
      for (int32_t row = 0; row < BoardRows; ++row)
        halves += state.Board[column][row].Colour == 0 || state.Board[column][row].Colour == 1;
    }
    EXPECT_EQ(halves, 2) << c.what;
  }
}

TEST_F(InputTest, RightButtonRotatesOnlyOverTheBoard) {
  SetBoard(state, {});
  SetHorizontalPair(state, 0, 1, 3, 2);
  Release(2, 700, 300);
  EXPECT_EQ(state.Pair.Cells[0][0].Colour, -1);
  Release(1, 300, 300);
  EXPECT_EQ(state.Pair.Cells[0][0].Colour, -1);
  Release(2, 300, 300);
  EXPECT_EQ(state.Pair.Cells[0][0].Colour, 1);
  SetHorizontalPair(state, 0, 1, 3, -2);
  Release(2, 300, 300);
  EXPECT_EQ(state.Pair.Cells[0][0].Colour, -1);
}

// Once the pair has landed the board settles one step every 5th frame of the stage, and the
// held button hurries nothing: the pair that landed stays where it is, on the board only.
TEST_F(InputTest, TheBoardSettlesEveryFifthFrameWhateverTheButtonHeld) {
  state.Board[5][5] = BoardCell{1, LinkSingle, 0};
  SetHorizontalPair(state, 0, 1, 3, 0);  // what is left of the pair that landed
  state.PairActive = false;
  state.StageTick = 3;
  state.Mouse.LeftDown = true;
  std::vector<int32_t> rows;
  for (int frame = 1; frame <= 12; ++frame) {
    Frame();
    for (int32_t row = 0; row < BoardRows; ++row) {
      if (state.Board[5][row].Colour == 1) rows.push_back(row);
    }
  }
  //                 stage frames 4  5  6  7  8  9 10 11 12 13 14 15
  EXPECT_EQ(rows, (std::vector<int32_t>{5, 6, 6, 6, 6, 6, 7, 7, 7, 7, 7, 8}));
  EXPECT_EQ(state.Pair.Row, 0);
  EXPECT_EQ(services.TakeSounds(), std::vector<int32_t>(3, SoundStep));
}

// A point lies in a rectangle only strictly inside all four edges.
TEST_F(InputTest, TheMouseHitsOnlyStrictlyInside) {
  struct Case {
    int32_t x, y;
    bool inside;
  };
  const Case cases[] = {{10, 35, false}, {11, 35, true}, {19, 35, true}, {20, 35, false},
                        {15, 30, false}, {15, 31, true}, {15, 39, true}, {15, 40, false}};
  for (const Case& c : cases) {
    state.Mouse.X = c.x;
    state.Mouse.Y = c.y;
    EXPECT_EQ(MouseInRect(state, 10, 20, 30, 40), c.inside) << c.x << "," << c.y;
  }
  // The board's right edge is outside: an upright pair under the cursor there stays in the well.
  SetVerticalPair(state, 0, 1, 7, 2);
  MoveMouse(BoardRight, 300);
  Frame();
  EXPECT_EQ(state.Pair.Column, 7);
}

TEST_F(InputTest, HeldLeftButtonHurriesEverySecondFrame) {
  SetBoard(state, {"T0 . . . . . . ."});
  SetHorizontalPair(state, 0, 1, 3, -1);
  state.DropInterval = 20;
  state.StageTick = 0;
  state.Mouse.LeftDown = true;  // the cursor may be anywhere, even off the board
  std::vector<int32_t> rows;
  for (int i = 0; i < 6; ++i) {
    Frame();
    rows.push_back(state.Pair.Row);
  }
  EXPECT_EQ(rows, (std::vector<int32_t>{0, 0, 1, 1, 2, 2}));
  // Released: back to the timed rate, counted from the last step.
  state.Mouse.LeftDown = false;
  Frames(17);
  EXPECT_EQ(state.Pair.Row, 2);
  Frame();
  EXPECT_EQ(state.Pair.Row, 3);
  // The keyboard in control suppresses the hurry.
  state.Mouse.LeftDown = true;
  KeyStep(game, KeyLeft);
  Frames(10);
  EXPECT_EQ(state.Pair.Row, 3);
  // The pad's held east button hurries whoever steers; a pad unplugged lets go of it.
  PadPress(game, PadButton::East);
  Frames(4);
  EXPECT_EQ(state.Pair.Row, 5);
  PadReleaseAll(state);
  Frames(4);
  EXPECT_EQ(state.Pair.Row, 5);
  EXPECT_EQ(state.PlayState, PlayRunning);
}

// A stage starts at 24 frames a row, one frame faster every second stage and every level of
// difficulty, never faster than 12.
TEST_F(InputTest, StartSpeedFallsWithStageAndDifficultyToTwelveFrames) {
  struct Case {
    int32_t difficulty, stage, interval;
  };
  const Case cases[] = {
      {0, 0, 24},  {0, 1, 24},  {0, 2, 23},  {0, 23, 13}, {0, 24, 12}, {0, 25, 12}, {0, 26, 12},
      {0, 40, 12}, {1, 0, 23},  {1, 21, 13}, {1, 22, 12}, {1, 23, 12}, {1, 24, 12}, {2, 0, 22},
      {2, 19, 13}, {2, 20, 12}, {2, 21, 12}, {2, 22, 12}, {2, 23, 12},
  };
  state.TimeCount = 37;
  for (const Case& c : cases) {
    state.Difficulty = c.difficulty;
    StartStage(game, c.stage, 0);
    EXPECT_EQ(state.DropInterval, c.interval) << "difficulty " << c.difficulty << ", stage " << c.stage;
    EXPECT_EQ(state.SpeedBase, 37) << "the play clock runs on from where it was";
  }
}

// The play clock counts every 28th frame; every 80, 60 or 40 counts (by difficulty) from the
// stage's start the pair falls 2 frames a row faster, never faster than 6.
TEST_F(InputTest, ThePlayClockSpeedsThePairUpByTheDifficultysPeriod) {
  struct Case {
    int32_t difficulty, speedBase, firstSpeedUp, secondSpeedUp;
  };
  for (const Case& c : {Case{0, 0, 80, 160}, Case{1, 0, 60, 120}, Case{2, 0, 40, 80}, Case{2, 7, 47, 87}}) {
    state.Difficulty = c.difficulty;
    state.SpeedBase = c.speedBase;
    state.TimeCount = c.speedBase;
    state.DropInterval = 20;
    state.Tick = 0;
    std::vector<int32_t> clockAtSpeedUps;
    for (int32_t frame = 1; state.TimeCount <= c.secondSpeedUp && frame <= 28 * (c.secondSpeedUp + 2); ++frame) {
      SetHorizontalPair(state, 0, 1, 3, 0);  // held aloft: only the clock matters
      const int32_t interval = state.DropInterval, clock = state.TimeCount;
      Frame();
      EXPECT_EQ(state.TimeCount, clock + (frame % 28 == 0 ? 1 : 0)) << "frame " << frame;
      if (state.DropInterval != interval) {
        EXPECT_EQ(state.DropInterval, interval - 2);
        clockAtSpeedUps.push_back(state.TimeCount);
      }
    }
    EXPECT_EQ(clockAtSpeedUps, (std::vector<int32_t>{c.firstSpeedUp, c.secondSpeedUp}))
        << "difficulty " << c.difficulty << ", base " << c.speedBase;
  }

  // At a speed-up, 9 frames a row become 7, and 8 or 7 become 6, as does 6.
  for (const auto& [before, after] : {std::pair{9, 7}, std::pair{8, 6}, std::pair{7, 6}, std::pair{6, 6}}) {
    state.Difficulty = 2;
    state.SpeedBase = 0;
    state.TimeCount = 39;
    state.Tick = 27;
    state.DropInterval = before;
    SetHorizontalPair(state, 0, 1, 3, 0);
    Frame();
    EXPECT_EQ(state.TimeCount, 40);
    EXPECT_EQ(state.DropInterval, after) << "from " << before;
  }
}

// Paused, under a panel, at game over, after a clear and during the countdown before the first
// step, neither the stage's frames nor the play clock (nor the speed that follows it) run.
TEST_F(InputTest, FrozenStatesAndTheCountdownHoldTheStageClockAndThePlayClock) {
  SetHorizontalPair(state, 0, 1, 3, 0);
  state.TimeCount = 79;  // one count before a speed-up
  for (int32_t covered : {1, 2, 3, 1000, 1003, 2000, 2003, 3000, 3001, 3002, 3003}) {
    state.PlayState = covered;
    state.StageTick = 1;
    Frames(50);
    EXPECT_EQ(state.StageTick, 1) << covered;
    EXPECT_EQ(state.Pair.Row, 0) << covered;
    EXPECT_EQ(state.TimeCount, 79) << covered;
    EXPECT_EQ(state.DropInterval, 1000) << covered;
  }
  state.PlayState = PlayRunning;
  state.StageTick = -24;
  state.DropInterval = 5;
  state.Tick = 10;  // the countdown's frames pass the 28th
  Frames(24);
  EXPECT_EQ(state.StageTick, 0);
  EXPECT_EQ(state.Pair.Row, 0);
  EXPECT_EQ(state.TimeCount, 79) << "the countdown holds the play clock";
  EXPECT_EQ(state.DropInterval, 5);
  Frames(5);
  EXPECT_EQ(state.Pair.Row, 1);
  state.DropInterval = 10;
  Frames(56 - 34 - 5);  // to the 56th frame
  EXPECT_EQ(state.TimeCount, 80);
  EXPECT_EQ(state.DropInterval, 8) << "the speed-up the frozen frames held back";
}

TEST_F(InputTest, StageClearsWhenTheLastTargetIsGoneEvenWithPiecesAloft) {
  state.Stage = 4;
  player.UserMaxStage = 3;
  SetBoard(state, {". . . S1 . . . .", ". . . . . . . .", "T2 S2 S2 S2 . . . ."});
  ASSERT_TRUE(ResolveRuns(game));
  state.PairActive = false;
  state.StageTick = 3;
  services.TakeSounds();
  int frames = 0;
  while (state.PlayState == PlayRunning && frames < 100) {
    Frame();
    ++frames;
  }
  EXPECT_EQ(state.PlayState, PlayStageClear);
  EXPECT_EQ(services.TakeSounds(), std::vector<int32_t>{SoundStageClear});
  EXPECT_EQ(state.AngelState[1], 2);
  EXPECT_EQ(player.UserMaxStage, 6);
  EXPECT_EQ(BoardRowsText(state)[10], ". . . S1 . . . .") << "the piece aloft does not fall any more";
  Frames(20);
  EXPECT_EQ(BoardRowsText(state)[10], ". . . S1 . . . .");

  // Replaying an old stage never lowers the open stages.
  state.Stage = 1;
  state.PlayState = PlayRunning;
  Frame();
  EXPECT_EQ(state.PlayState, PlayStageClear);
  EXPECT_EQ(player.UserMaxStage, 6);
}

TEST_F(InputTest, PlayScreenCheckBoxesAndVolumeSliders) {
  Release(1, 570, 410);  // music check box
  EXPECT_EQ(player.CheckState[0], 0);
  Release(1, 570, 410);
  EXPECT_EQ(player.CheckState[0], 1);
  Release(1, 570, 450);  // sound effects
  EXPECT_EQ(player.CheckState[1], 0);
  EXPECT_EQ(services.TakeLog(), (std::vector<std::string>{"music pause", "music play"}));

  Release(1, 630, 405);  // music slider at 30
  EXPECT_EQ(player.VolumeLevel[0], 30);
  Release(1, 651, 405);  // the slider's last pixel: 51, clamped to 50
  EXPECT_EQ(player.VolumeLevel[0], 50);
  Release(1, 601, 445);  // sound effects slider
  EXPECT_EQ(player.VolumeLevel[1], 1);
  EXPECT_EQ(services.TakeLog(), (std::vector<std::string>{"music volume 60", "music volume 100"}));

  // Dragging follows the cursor; hovering asks for the pointer shapes.
  state.Mouse.LeftDown = true;
  MoveMouse(620, 410);
  EXPECT_EQ(player.VolumeLevel[0], 20);
  EXPECT_EQ(state.Mouse.Style, 2);
  state.Mouse.LeftDown = false;
  MoveMouse(610, 410);
  EXPECT_EQ(player.VolumeLevel[0], 20);
  state.Mouse.Style = 0;
  MoveMouse(570, 450);
  EXPECT_EQ(state.Mouse.Style, 1);

  // A click on a control while paused does not resume the game.
  state.PlayState = PlayPaused;
  Release(1, 570, 450);
  EXPECT_EQ(state.PlayState, PlayPaused);
  Release(1, 300, 300);
  EXPECT_EQ(state.PlayState, PlayRunning);
  EXPECT_EQ(state.FadeStep, 0) << "resuming by a click has no cross-fade";
}

TEST_F(InputTest, StageSelectionBarDifficultyAndMusic) {
  state.GameMode = ModeStageSelect;
  player.UserMaxStage = 9;
  Release(1, 317 + 14 * 3 + 5, 110);
  EXPECT_EQ(state.Stage, 3);
  Release(1, 318, 110);
  EXPECT_EQ(state.Stage, 0);
  Release(1, 596, 110);  // stage 19 is locked: the highest open one
  EXPECT_EQ(state.Stage, 8);
  Release(2, 317 + 14 * 3 + 5, 110);  // only the left button chooses
  EXPECT_EQ(state.Stage, 8);

  // Dragging along the bar updates the stage.
  state.Mouse.LeftDown = true;
  MoveMouse(317 + 14 * 5 + 1, 110);
  EXPECT_EQ(state.Stage, 5);
  EXPECT_EQ(state.Mouse.Style, 1);
  MoveMouse(317 + 14 * 6 + 1, 110);
  EXPECT_EQ(state.Stage, 6);
  state.Mouse.LeftDown = false;

  Release(1, 268 + 64 * 2 + 10, 190);
  EXPECT_EQ(state.Difficulty, 2);
  Release(1, 268 + 64 + 10, 172);  // on the edge: outside
  EXPECT_EQ(state.Difficulty, 2);
  Release(1, 268 + 64 + 10, 173);
  EXPECT_EQ(state.Difficulty, 1);

  // One more music opens with every fourth open stage: 9 open stages give musics 0 to 2.
  Release(1, 250 + 78 * 2 + 10, 260);
  EXPECT_EQ(state.MusicChoice, 2);
  Release(1, 250 + 78 * 3 + 10, 260);
  EXPECT_EQ(state.MusicChoice, 2);
  state.Mouse.Style = 0;
  MoveMouse(250 + 78 * 3 + 10, 260);
  EXPECT_EQ(state.Mouse.Style, 0);
  MoveMouse(250 + 78 * 2 + 10, 260);
  EXPECT_EQ(state.Mouse.Style, 1);

  // The bar's slots up to the last one open; any slot beyond gives the last one open.
  for (const auto& [slot, stage] : {std::pair{7, 7}, std::pair{8, 8}, std::pair{9, 8}, std::pair{10, 8}}) {
    Release(1, 317 + 14 * slot + 5, 110);
    EXPECT_EQ(state.Stage, stage) << "slot " << slot;
  }
  // Three difficulties and five tracks, all of them open: where a fourth difficulty or a sixth
  // track would lie, nothing answers the mouse.
  player.UserMaxStage = 20;
  struct Spot {
    int32_t x, y;
    int32_t difficulty, music, style;
  };
  const Spot spots[] = {{268 + 64 * 2 + 10, 190, 2, 0, 1},
                        {268 + 64 * 3 + 10, 190, 0, 0, 0},
                        {250 + 78 * 4 + 10, 260, 0, 4, 1},
                        {250 + 78 * 5 + 10, 260, 0, 0, 0}};
  for (const Spot& spot : spots) {
    state.Difficulty = state.MusicChoice = 0;
    state.Mouse.Style = 0;
    MoveMouse(spot.x, spot.y);
    Release(1, spot.x, spot.y);
    EXPECT_EQ(state.Difficulty, spot.difficulty) << spot.x << "," << spot.y;
    EXPECT_EQ(state.MusicChoice, spot.music) << spot.x << "," << spot.y;
    EXPECT_EQ(state.Mouse.Style, spot.style) << spot.x << "," << spot.y;
  }

  // The title screen has nothing but its buttons.
  state.GameMode = ModeTitle;
  state.Mouse.Style = 0;
  Release(1, 317 + 14 * 3 + 5, 110);
  MoveMouse(317 + 14 * 3 + 5, 110);
  EXPECT_EQ(state.Stage, 8);
  EXPECT_EQ(state.Mouse.Style, 0);
}

TEST_F(InputTest, EscapeClosesAConfirmationBackToWhereItWasOpened) {
  state.Buttons = services.LoadButtons("GameButton");
  PlayScreenAction(game, 3);  // opened with the mouse in running play
  MenuKey(game, KeyEscape);
  EXPECT_EQ(state.PlayState, PlayRunning);
  MenuKey(game, KeyEnter);
  EXPECT_EQ(state.PlayState, PlayRunning) << "Enter does nothing in running play";
}

TEST_F(InputTest, ArrowKeyOnTheStageClearPictureActsAsALeftClick) {
  state.PlayState = PlayStageClear;
  state.Stage = 2;
  state.Score = 470;
  state.Buttons = services.LoadButtons("GameButton");
  // With the cursor resting on the new-game button, the key presses that button.
  state.Mouse.X = ButtonCentreX(0);
  state.Mouse.Y = ButtonCentreY(0);
  KeyStep(game, KeyDown);
  EXPECT_EQ(state.PlayState, PlayStageClear + OverlayNewGame);
  state.PlayState = PlayStageClear;
  // Elsewhere it starts the next stage with the score carried over; other keys do nothing.
  state.Mouse.X = 700;
  KeyStep(game, 65);
  EXPECT_EQ(state.Stage, 2);
  KeyStep(game, KeyLeft);
  EXPECT_EQ(state.Stage, 3);
  EXPECT_EQ(state.Score, 470);
  EXPECT_EQ(state.PlayState, PlayRunning);
}

}  // namespace

// The player's hand: steering, keys, rotation kicks, hurrying, the frame logic's pacing and
// the controls of the play and stage-selection screens.
#include "game/input.h"
#include "audio/sound_effects.h"
#include "game/board.h"
#include "game/flow.h"
#include "game/focus.h"
#include "game/game_test_support.h"

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

  // Under an obstacle the turn pushes the pair one row down ...
  state.Board[3][5] = BoardCell{2, 4, 0};
  SetHorizontalPair(state, 0, 1, 3, 5);
  RotatePair(game);
  EXPECT_EQ(state.Pair.Row, 6);
  EXPECT_EQ(state.Pair.Column, 3);
  // ... else one column right ...
  state.Board[3][7] = BoardCell{2, 4, 0};
  SetHorizontalPair(state, 0, 1, 3, 5);
  RotatePair(game);
  EXPECT_EQ(state.Pair.Row, 5);
  EXPECT_EQ(state.Pair.Column, 4);
  // ... never below row 11 ...
  SetBoard(state, {". . . S0 . . . .", ". . . . . . . ."});
  SetHorizontalPair(state, 0, 1, 3, 11);
  RotatePair(game);
  EXPECT_EQ(state.Pair.Row, 11);
  EXPECT_EQ(state.Pair.Column, 4);
  // ... else not at all, with the sound all the same.
  SetBoard(state, {". . . S0 S0 . . .", ". . . . . . . ."});
  SetHorizontalPair(state, 0, 1, 3, 11);
  services.TakeSounds();
  RotatePair(game);
  EXPECT_EQ(state.Pair.Cells[0][0].Colour, -1);
  EXPECT_EQ(state.Pair.Cells[1][1].Colour, 1);
  EXPECT_EQ(state.Pair.Column, 3);
  EXPECT_EQ(services.TakeSounds(), std::vector<int32_t>{SoundRotate});

  // A vertical pair in column 7 turns into a horizontal one in column 6 ...
  SetBoard(state, {});
  SetVerticalPair(state, 2, 0, 7, 4);
  RotatePair(game);
  EXPECT_EQ(state.Pair.Column, 6);
  EXPECT_EQ(state.Pair.Cells[0][1].Colour, 2);  // the top half goes left
  EXPECT_EQ(state.Pair.Cells[1][1].Colour, 0);
  // ... but not when column 6 is taken there.
  state.Board[6][5] = BoardCell{1, 4, 0};
  SetVerticalPair(state, 2, 0, 7, 4);
  RotatePair(game);
  EXPECT_EQ(state.Pair.Column, 7);
  EXPECT_EQ(state.Pair.Cells[0][0].Colour, 2);
  // A vertical pair beside an obstacle on its right moves one column left.
  SetBoard(state, {});
  state.Board[4][5] = BoardCell{1, 4, 0};
  SetVerticalPair(state, 2, 0, 3, 4);
  RotatePair(game);
  EXPECT_EQ(state.Pair.Column, 2);
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

TEST_F(InputTest, SpeedRisesWithThePlayClockDownToSixFrames) {
  state.Difficulty = 2;
  state.Stage = 0;
  StartStage(game, 0, 0);
  EXPECT_EQ(state.DropInterval, 22);
  state.PlayState = PlayRunning;  // the help picture clicked away, the countdown over
  state.StageTick = 0;
  state.Tick = 0;
  SetBoard(state, {"T0 . . . . . . ."});
  int32_t framesToSix = 0;
  for (int32_t frame = 1; frame <= 9000; ++frame) {
    SetHorizontalPair(state, 0, 1, 3, 0);  // the pair is held aloft so that only the clock matters
    Frame();
    if (frame == 1120) {
      EXPECT_EQ(state.DropInterval, 20);
    }
    if (framesToSix == 0 && state.DropInterval == 6) framesToSix = frame;
  }
  EXPECT_EQ(framesToSix, 8960);
  EXPECT_EQ(state.TimeCount, 9000 / 28);
  EXPECT_EQ(state.DropInterval, 6);

  // Later stages start faster, never below 12; the clock runs on from where it was.
  state.Difficulty = 0;
  StartStage(game, 25, 0);
  EXPECT_EQ(state.DropInterval, 12);
  EXPECT_EQ(state.SpeedBase, 9000 / 28);
  StartStage(game, 5, 0);
  EXPECT_EQ(state.DropInterval, 22);
}

TEST_F(InputTest, FrozenStatesAndTheCountdownHoldTheStageClock) {
  SetHorizontalPair(state, 0, 1, 3, 0);
  for (int32_t covered : {1, 2, 3, 1000, 1003, 2000, 2003, 3000, 3001, 3002, 3003}) {
    state.PlayState = covered;
    state.StageTick = 1;
    Frames(50);
    EXPECT_EQ(state.StageTick, 1) << covered;
    EXPECT_EQ(state.Pair.Row, 0) << covered;
  }
  state.PlayState = PlayRunning;
  state.StageTick = -24;
  state.DropInterval = 5;
  Frames(24);
  EXPECT_EQ(state.StageTick, 0);
  EXPECT_EQ(state.Pair.Row, 0);
  Frames(5);
  EXPECT_EQ(state.Pair.Row, 1);
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

  // The title screen has nothing but its buttons.
  state.GameMode = ModeTitle;
  state.Mouse.Style = 0;
  Release(1, 317 + 14 * 3 + 5, 110);
  MoveMouse(317 + 14 * 3 + 5, 110);
  EXPECT_EQ(state.Stage, 6);
  EXPECT_EQ(state.Mouse.Style, 0);
}

TEST_F(InputTest, StageSelectionRowsWithoutTheMouseStayWithinWhatIsOpen) {
  state.GameMode = ModeStageSelect;
  player.UserMaxStage = 9;
  state.Buttons = services.LoadButtons("SelectStageButton");
  MenuKey(game, KeyUp);
  EXPECT_EQ(FocusedButton(state), 0) << "the first key shows the focus on the start button";
  for (int i = 0; i < 10 && FocusedRow(state) != FocusRow::StageBar; ++i) MenuKey(game, KeyUp);
  const std::pair<FocusRow, int32_t*> rows[] = {{FocusRow::StageBar, &state.Stage},
                                                {FocusRow::Difficulty, &state.Difficulty},
                                                {FocusRow::Music, &state.MusicChoice}};
  for (const auto& [row, choice] : rows) {
    EXPECT_EQ(FocusedRow(state), row);
    for (int i = 0; i < 25; ++i) MenuKey(game, KeyRight);
    EXPECT_EQ(*choice, row == FocusRow::StageBar ? 8 : 2) << "locked stages and music are never chosen";
    MenuKey(game, KeyLeft);
    EXPECT_EQ(*choice, row == FocusRow::StageBar ? 7 : 1);
    if (row != FocusRow::Music) MenuKey(game, KeyDown);
  }
  EXPECT_TRUE(MenuSpace(game)) << "a choice made, Space plays it";
  EXPECT_EQ(state.GameMode, ModePlay);
  EXPECT_EQ(state.Stage, 7);
  MouseTookControl(state);
  EXPECT_EQ(FocusedButton(state), -1);
  EXPECT_FALSE(MenuSpace(game)) << "in play Space hides the window as before";
}

TEST_F(InputTest, EscapeClosesAConfirmationBackToWhereItWasOpened) {
  state.Buttons = services.LoadButtons("GameButton");
  PlayAction(game, 3);  // opened with the mouse in running play
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

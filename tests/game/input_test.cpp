// The player's hand: steering, keys, rotation kicks, hurrying, the frame logic's pacing and
// the controls of the play and stage-selection screens.
#include "audio/audio.h"
#include "config/config.h"
#include "config/user_settings.h"
#include "game/board.h"
#include "game/flow.h"
#include "game/focus.h"
#include "game/game_test_support.h"
#include "game/input.h"
#include "shell/shell_state.h"

namespace {

constexpr int32_t KeyLeft = 37, KeyUp = 38, KeyRight = 39, KeyDown = 40;
constexpr int32_t KeyEnter = 13, KeyEscape = 27;

// Running play on a board with one target far from the pair, nothing due to drop soon.
class InputTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    Game.GameMode = ModePlay;
    Game.PlayState = PlayRunning;
    SetBoard({"T0 . . . . . . ."});
    Game.DropInterval = 1000;
    Game.StageTick = 1;
  }
};

TEST_F(InputTest, MouseSteersOneColumnPerFrameInsideTheBoardOnly) {
  SetHorizontalPair(0, 1, 3, 0);
  MoveMouse(230, 300);  // left edge of the board: column 0 for a horizontal pair
  Frame();
  EXPECT_EQ(Game.Pair.Column, 2);
  Frames(3);
  EXPECT_EQ(Game.Pair.Column, 0);
  MoveMouse(483, 300);  // right edge: at most column 6
  Frames(10);
  EXPECT_EQ(Game.Pair.Column, 6);
  MoveMouse(436, 300);
  Frame();
  EXPECT_EQ(Game.Pair.Column, 6);
  MoveMouse(435, 300);
  Frame();
  EXPECT_EQ(Game.Pair.Column, 5);

  // A vertical pair follows the column under the cursor itself, up to column 7.
  SetVerticalPair(0, 1, 5, 0);
  MoveMouse(483, 300);
  Frames(3);
  EXPECT_EQ(Game.Pair.Column, 7);

  // Outside the board (an edge counts as outside) the pair stays.
  MoveMouse(228, 300);
  Frames(3);
  EXPECT_EQ(Game.Pair.Column, 7);
  MoveMouse(300, 506);
  Frames(3);
  EXPECT_EQ(Game.Pair.Column, 7);

  // An obstacle stops the glide; a pair that has not made its first step is not steered.
  SetBoard({". . T0 . . . . .", ". . T0 . . . . ."});
  SetHorizontalPair(0, 1, 5, 10);
  MoveMouse(230, 300);
  Frames(5);
  EXPECT_EQ(Game.Pair.Column, 3);
  SetHorizontalPair(0, 1, 3, -2);
  Frames(3);
  EXPECT_EQ(Game.Pair.Column, 3);
}

TEST_F(InputTest, ArrowKeysMoveWithinTheWallsAndTakeControlFromTheMouse) {
  SetHorizontalPair(0, 1, 5, 0);
  KeyStep(KeyRight);
  KeyStep(KeyRight);
  EXPECT_EQ(Game.Pair.Column, 6) << "a horizontal pair stops at column 6";
  SetVerticalPair(0, 1, 6, 0);
  KeyStep(KeyRight);
  KeyStep(KeyRight);
  EXPECT_EQ(Game.Pair.Column, 7) << "a vertical pair stops at column 7";
  KeyStep(KeyLeft);
  EXPECT_EQ(Game.Pair.Column, 6);
  SetHorizontalPair(0, 1, 0, 0);
  KeyStep(KeyLeft);
  EXPECT_EQ(Game.Pair.Column, 0);
  EXPECT_TRUE(Game.KeyControl);

  // The resting mouse does not steer while the keyboard has control ...
  MoveMouse(470, 300);
  Frame();
  EXPECT_EQ(Game.Pair.Column, 1);
  KeyStep(KeyLeft);
  Frames(3);
  EXPECT_EQ(Game.Pair.Column, 0);
  // ... and takes control back once it is moved, even when the move message came between frames.
  MoveMouse(471, 300);
  Frame();
  EXPECT_FALSE(Game.KeyControl);
  EXPECT_EQ(Game.Pair.Column, 1);
  Frame();
  EXPECT_EQ(Game.Pair.Column, 2);

  // Keys act only in running play and once the pair has left its entry row.
  SetHorizontalPair(0, 1, 3, -2);
  KeyStep(KeyLeft);
  EXPECT_EQ(Game.Pair.Column, 3);
  SetHorizontalPair(0, 1, 3, 0);
  Game.PlayState = PlayPaused;
  KeyStep(KeyLeft);
  KeyStep(KeyDown);
  EXPECT_EQ(Game.Pair.Column, 3);
  EXPECT_EQ(Game.Pair.Row, 0);
  Game.PlayState = PlayRunning;
  KeyStep(KeyDown);
  EXPECT_EQ(Game.Pair.Row, 1);
  EXPECT_EQ(services.TakeSounds(), std::vector<int32_t>{SoundStep});
}

TEST_F(InputTest, RotationTurnsAnticlockwiseWithItsKicks) {
  SetBoard({});
  SetHorizontalPair(0, 1, 3, 5);
  KeyStep(KeyUp);  // R over L
  EXPECT_EQ(Game.Pair.Cells[0][0].Colour, 1);
  EXPECT_EQ(Game.Pair.Cells[0][0].Link, 2);
  EXPECT_EQ(Game.Pair.Cells[0][1].Colour, 0);
  EXPECT_EQ(Game.Pair.Cells[0][1].Link, 0);
  EXPECT_EQ(Game.Pair.Cells[1][1].Colour, -1);
  KeyStep(KeyUp);  // R L
  EXPECT_EQ(Game.Pair.Cells[0][1].Colour, 1);
  EXPECT_EQ(Game.Pair.Cells[0][1].Link, 1);
  EXPECT_EQ(Game.Pair.Cells[1][1].Colour, 0);
  EXPECT_EQ(Game.Pair.Cells[1][1].Link, 3);
  KeyStep(KeyUp);
  KeyStep(KeyUp);  // back to L R
  EXPECT_EQ(Game.Pair.Cells[0][1].Colour, 0);
  EXPECT_EQ(Game.Pair.Cells[1][1].Colour, 1);
  EXPECT_EQ(Game.Pair.Cells[0][0].Colour, -1);
  EXPECT_EQ(Game.Pair.Column, 3);
  EXPECT_EQ(Game.Pair.Row, 5);
  EXPECT_EQ(services.TakeSounds(), std::vector<int32_t>(4, SoundRotate));

  // Under an obstacle the turn pushes the pair one row down ...
  Game.Board[3][5] = BoardCell{2, 4, 0};
  SetHorizontalPair(0, 1, 3, 5);
  RotatePair();
  EXPECT_EQ(Game.Pair.Row, 6);
  EXPECT_EQ(Game.Pair.Column, 3);
  // ... else one column right ...
  Game.Board[3][7] = BoardCell{2, 4, 0};
  SetHorizontalPair(0, 1, 3, 5);
  RotatePair();
  EXPECT_EQ(Game.Pair.Row, 5);
  EXPECT_EQ(Game.Pair.Column, 4);
  // ... never below row 11 ...
  SetBoard({". . . S0 . . . .", ". . . . . . . ."});
  SetHorizontalPair(0, 1, 3, 11);
  RotatePair();
  EXPECT_EQ(Game.Pair.Row, 11);
  EXPECT_EQ(Game.Pair.Column, 4);
  // ... else not at all, with the sound all the same.
  SetBoard({". . . S0 S0 . . .", ". . . . . . . ."});
  SetHorizontalPair(0, 1, 3, 11);
  services.TakeSounds();
  RotatePair();
  EXPECT_EQ(Game.Pair.Cells[0][0].Colour, -1);
  EXPECT_EQ(Game.Pair.Cells[1][1].Colour, 1);
  EXPECT_EQ(Game.Pair.Column, 3);
  EXPECT_EQ(services.TakeSounds(), std::vector<int32_t>{SoundRotate});

  // A vertical pair in column 7 turns into a horizontal one in column 6 ...
  SetBoard({});
  SetVerticalPair(2, 0, 7, 4);
  RotatePair();
  EXPECT_EQ(Game.Pair.Column, 6);
  EXPECT_EQ(Game.Pair.Cells[0][1].Colour, 2);  // the top half goes left
  EXPECT_EQ(Game.Pair.Cells[1][1].Colour, 0);
  // ... but not when column 6 is taken there.
  Game.Board[6][5] = BoardCell{1, 4, 0};
  SetVerticalPair(2, 0, 7, 4);
  RotatePair();
  EXPECT_EQ(Game.Pair.Column, 7);
  EXPECT_EQ(Game.Pair.Cells[0][0].Colour, 2);
  // A vertical pair beside an obstacle on its right moves one column left.
  SetBoard({});
  Game.Board[4][5] = BoardCell{1, 4, 0};
  SetVerticalPair(2, 0, 3, 4);
  RotatePair();
  EXPECT_EQ(Game.Pair.Column, 2);
}

TEST_F(InputTest, RightButtonRotatesOnlyOverTheBoard) {
  SetBoard({});
  SetHorizontalPair(0, 1, 3, 2);
  Release(2, 700, 300);
  EXPECT_EQ(Game.Pair.Cells[0][0].Colour, -1);
  Release(1, 300, 300);
  EXPECT_EQ(Game.Pair.Cells[0][0].Colour, -1);
  Release(2, 300, 300);
  EXPECT_EQ(Game.Pair.Cells[0][0].Colour, 1);
  SetHorizontalPair(0, 1, 3, -2);
  Release(2, 300, 300);
  EXPECT_EQ(Game.Pair.Cells[0][0].Colour, -1);
}

TEST_F(InputTest, HeldLeftButtonHurriesEverySecondFrame) {
  SetBoard({"T0 . . . . . . ."});
  SetHorizontalPair(0, 1, 3, -1);
  Game.DropInterval = 20;
  Game.StageTick = 0;
  Shell.MouseLeftDown = true;  // the cursor may be anywhere, even off the board
  std::vector<int32_t> rows;
  for (int i = 0; i < 6; ++i) {
    Frame();
    rows.push_back(Game.Pair.Row);
  }
  EXPECT_EQ(rows, (std::vector<int32_t>{0, 0, 1, 1, 2, 2}));
  // Released: back to the timed rate, counted from the last step.
  Shell.MouseLeftDown = false;
  Frames(17);
  EXPECT_EQ(Game.Pair.Row, 2);
  Frame();
  EXPECT_EQ(Game.Pair.Row, 3);
  // The keyboard in control suppresses the hurry.
  Shell.MouseLeftDown = true;
  KeyStep(KeyLeft);
  Frames(10);
  EXPECT_EQ(Game.Pair.Row, 3);
  // The pad's held east button hurries whoever steers; a pad unplugged lets go of it.
  PadPress(PadButton::East);
  Frames(4);
  EXPECT_EQ(Game.Pair.Row, 5);
  PadReleaseAll();
  Frames(4);
  EXPECT_EQ(Game.Pair.Row, 5);
  EXPECT_EQ(Game.PlayState, PlayRunning);
}

TEST_F(InputTest, SpeedRisesWithThePlayClockDownToSixFrames) {
  Game.Difficulty = 2;
  Game.Stage = 0;
  StartStage(0, 0);
  EXPECT_EQ(Game.DropInterval, 22);
  Game.PlayState = PlayRunning;  // the help picture clicked away, the countdown over
  Game.StageTick = 0;
  Shell.GameTick = 0;
  SetBoard({"T0 . . . . . . ."});
  int32_t framesToSix = 0;
  for (int32_t frame = 1; frame <= 9000; ++frame) {
    SetHorizontalPair(0, 1, 3, 0);  // the pair is held aloft so that only the clock matters
    Frame();
    if (frame == 1120) {
      EXPECT_EQ(Game.DropInterval, 20);
    }
    if (framesToSix == 0 && Game.DropInterval == 6) framesToSix = frame;
  }
  EXPECT_EQ(framesToSix, 8960);
  EXPECT_EQ(Game.TimeCount, 9000 / 28);
  EXPECT_EQ(Game.DropInterval, 6);

  // Later stages start faster, never below 12; the clock runs on from where it was.
  Game.Difficulty = 0;
  StartStage(25, 0);
  EXPECT_EQ(Game.DropInterval, 12);
  EXPECT_EQ(Game.SpeedBase, 9000 / 28);
  StartStage(5, 0);
  EXPECT_EQ(Game.DropInterval, 22);
}

TEST_F(InputTest, FrozenStatesAndTheCountdownHoldTheStageClock) {
  SetHorizontalPair(0, 1, 3, 0);
  for (int32_t state : {1, 2, 3, 1000, 1003, 2000, 2003, 3000, 3001, 3002, 3003}) {
    Game.PlayState = state;
    Game.StageTick = 1;
    Frames(50);
    EXPECT_EQ(Game.StageTick, 1) << state;
    EXPECT_EQ(Game.Pair.Row, 0) << state;
  }
  Game.PlayState = PlayRunning;
  Game.StageTick = -24;
  Game.DropInterval = 5;
  Frames(24);
  EXPECT_EQ(Game.StageTick, 0);
  EXPECT_EQ(Game.Pair.Row, 0);
  Frames(5);
  EXPECT_EQ(Game.Pair.Row, 1);
}

TEST_F(InputTest, StageClearsWhenTheLastTargetIsGoneEvenWithPiecesAloft) {
  Game.Stage = 4;
  User.UserMaxStage = 3;
  SetBoard({". . . S1 . . . .", ". . . . . . . .", "T2 S2 S2 S2 . . . ."});
  ASSERT_TRUE(ResolveRuns());
  Game.PairActive = false;
  Game.StageTick = 3;
  services.TakeSounds();
  int frames = 0;
  while (Game.PlayState == PlayRunning && frames < 100) {
    Frame();
    ++frames;
  }
  EXPECT_EQ(Game.PlayState, PlayStageClear);
  EXPECT_EQ(services.TakeSounds(), std::vector<int32_t>{SoundStageClear});
  EXPECT_EQ(Game.AngelState[1], 2);
  EXPECT_EQ(User.UserMaxStage, 6);
  EXPECT_EQ(BoardRowsText()[10], ". . . S1 . . . .") << "the piece aloft does not fall any more";
  Frames(20);
  EXPECT_EQ(BoardRowsText()[10], ". . . S1 . . . .");

  // Replaying an old stage never lowers the open stages.
  Game.Stage = 1;
  Game.PlayState = PlayRunning;
  Frame();
  EXPECT_EQ(Game.PlayState, PlayStageClear);
  EXPECT_EQ(User.UserMaxStage, 6);
}

TEST_F(InputTest, PlayScreenCheckBoxesAndVolumeSliders) {
  Release(1, 570, 410);  // music check box
  EXPECT_EQ(Audio.CheckState[0], 0);
  Release(1, 570, 410);
  EXPECT_EQ(Audio.CheckState[0], 1);
  Release(1, 570, 450);  // sound effects
  EXPECT_EQ(Audio.CheckState[1], 0);
  EXPECT_EQ(services.TakeLog(), (std::vector<std::string>{"music pause", "music play"}));

  Release(1, 630, 405);  // music slider at 30
  EXPECT_EQ(Audio.VolumeLevel[0], 30);
  Release(1, 651, 405);  // the slider's last pixel: 51, clamped to 50
  EXPECT_EQ(Audio.VolumeLevel[0], 50);
  Release(1, 601, 445);  // sound effects slider
  EXPECT_EQ(Audio.VolumeLevel[1], 1);
  EXPECT_EQ(services.TakeLog(), (std::vector<std::string>{"music volume 60", "music volume 100"}));

  // Dragging follows the cursor; hovering asks for the pointer shapes.
  Shell.MouseLeftDown = true;
  MoveMouse(620, 410);
  EXPECT_EQ(Audio.VolumeLevel[0], 20);
  EXPECT_EQ(Shell.MouseStyle, 2);
  Shell.MouseLeftDown = false;
  MoveMouse(610, 410);
  EXPECT_EQ(Audio.VolumeLevel[0], 20);
  Shell.MouseStyle = 0;
  MoveMouse(570, 450);
  EXPECT_EQ(Shell.MouseStyle, 1);

  // A click on a control while paused does not resume the game.
  Game.PlayState = PlayPaused;
  Release(1, 570, 450);
  EXPECT_EQ(Game.PlayState, PlayPaused);
  Release(1, 300, 300);
  EXPECT_EQ(Game.PlayState, PlayRunning);
  EXPECT_EQ(Shell.FadeStep, 0) << "resuming by a click has no cross-fade";
}

TEST_F(InputTest, StageSelectionBarDifficultyAndMusic) {
  Game.GameMode = ModeStageSelect;
  User.UserMaxStage = 9;
  Release(1, 317 + 14 * 3 + 5, 110);
  EXPECT_EQ(Game.Stage, 3);
  Release(1, 318, 110);
  EXPECT_EQ(Game.Stage, 0);
  Release(1, 596, 110);  // stage 19 is locked: the highest open one
  EXPECT_EQ(Game.Stage, 8);
  Release(2, 317 + 14 * 3 + 5, 110);  // only the left button chooses
  EXPECT_EQ(Game.Stage, 8);

  // Dragging along the bar updates the stage.
  Shell.MouseLeftDown = true;
  MoveMouse(317 + 14 * 5 + 1, 110);
  EXPECT_EQ(Game.Stage, 5);
  EXPECT_EQ(Shell.MouseStyle, 1);
  MoveMouse(317 + 14 * 6 + 1, 110);
  EXPECT_EQ(Game.Stage, 6);
  Shell.MouseLeftDown = false;

  Release(1, 268 + 64 * 2 + 10, 190);
  EXPECT_EQ(Game.Difficulty, 2);
  Release(1, 268 + 64 + 10, 172);  // on the edge: outside
  EXPECT_EQ(Game.Difficulty, 2);
  Release(1, 268 + 64 + 10, 173);
  EXPECT_EQ(Game.Difficulty, 1);

  // One more music opens with every fourth open stage: 9 open stages give musics 0 to 2.
  Release(1, 250 + 78 * 2 + 10, 260);
  EXPECT_EQ(Game.MusicChoice, 2);
  Release(1, 250 + 78 * 3 + 10, 260);
  EXPECT_EQ(Game.MusicChoice, 2);
  Shell.MouseStyle = 0;
  MoveMouse(250 + 78 * 3 + 10, 260);
  EXPECT_EQ(Shell.MouseStyle, 0);
  MoveMouse(250 + 78 * 2 + 10, 260);
  EXPECT_EQ(Shell.MouseStyle, 1);

  // The title screen has nothing but its buttons.
  Game.GameMode = ModeTitle;
  Shell.MouseStyle = 0;
  Release(1, 317 + 14 * 3 + 5, 110);
  MoveMouse(317 + 14 * 3 + 5, 110);
  EXPECT_EQ(Game.Stage, 6);
  EXPECT_EQ(Shell.MouseStyle, 0);
}

TEST_F(InputTest, StageSelectionRowsWithoutTheMouseStayWithinWhatIsOpen) {
  Game.GameMode = ModeStageSelect;
  User.UserMaxStage = 9;
  services.LoadButtons("SelectStageButton");
  MenuKey(KeyUp);
  EXPECT_EQ(FocusedButton(), 0) << "the first key shows the focus on the start button";
  for (int i = 0; i < 10 && FocusedRow() != FocusRow::StageBar; ++i) MenuKey(KeyUp);
  const std::pair<FocusRow, int32_t*> rows[] = {{FocusRow::StageBar, &Game.Stage},
                                                {FocusRow::Difficulty, &Game.Difficulty},
                                                {FocusRow::Music, &Game.MusicChoice}};
  for (const auto& [row, choice] : rows) {
    EXPECT_EQ(FocusedRow(), row);
    for (int i = 0; i < 25; ++i) MenuKey(KeyRight);
    EXPECT_EQ(*choice, row == FocusRow::StageBar ? 8 : 2) << "locked stages and music are never chosen";
    MenuKey(KeyLeft);
    EXPECT_EQ(*choice, row == FocusRow::StageBar ? 7 : 1);
    if (row != FocusRow::Music) MenuKey(KeyDown);
  }
  EXPECT_TRUE(MenuSpace()) << "a choice made, Space plays it";
  EXPECT_EQ(Game.GameMode, ModePlay);
  EXPECT_EQ(Game.Stage, 7);
  MouseTookControl();
  EXPECT_EQ(FocusedButton(), -1);
  EXPECT_FALSE(MenuSpace()) << "in play Space hides the window as before";
}

TEST_F(InputTest, EscapeClosesAConfirmationBackToWhereItWasOpened) {
  services.LoadButtons("GameButton");
  PlayAction(3);  // opened with the mouse in running play
  MenuKey(KeyEscape);
  EXPECT_EQ(Game.PlayState, PlayRunning);
  MenuKey(KeyEnter);
  EXPECT_EQ(Game.PlayState, PlayRunning) << "Enter does nothing in running play";
}

TEST_F(InputTest, ArrowKeyOnTheStageClearPictureActsAsALeftClick) {
  Game.PlayState = PlayStageClear;
  Game.Stage = 2;
  Game.Score = 470;
  services.LoadButtons("GameButton");
  // With the cursor resting on the new-game button, the key presses that button.
  Shell.MouseX = ButtonCentreX(0);
  Shell.MouseY = ButtonCentreY(0);
  KeyStep(KeyDown);
  EXPECT_EQ(Game.PlayState, PlayStageClear + OverlayNewGame);
  Game.PlayState = PlayStageClear;
  // Elsewhere it starts the next stage with the score carried over; other keys do nothing.
  Shell.MouseX = 700;
  KeyStep(65);
  EXPECT_EQ(Game.Stage, 2);
  KeyStep(KeyLeft);
  EXPECT_EQ(Game.Stage, 3);
  EXPECT_EQ(Game.Score, 470);
  EXPECT_EQ(Game.PlayState, PlayRunning);
}

}  // namespace

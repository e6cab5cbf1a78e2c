#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "audio/audio.h"
#include "config/config.h"
#include "config/images.h"
#include "config/user_settings.h"
#include "game/focus.h"
#include "game/game_state.h"
#include "render/frame_drawing.h"
#include "render/scene.h"
#include "render/sheet.h"
#include "render_support.h"
#include "shell/runtime.h"
#include "shell/shell_state.h"

namespace {

uint16_t Drawn(uint16_t colour, int32_t level = 32) { return MaskBlend(0, colour, 31, level); }
uint16_t DrawnGlyph(int32_t digit) { return Drawn(GlyphColour(digit)); }

// Screen position of board cell (column, row).
int32_t CellX(int32_t column) { return 228 + 32 * column; }
int32_t CellY(int32_t row) { return 90 + 32 * row; }

class SceneTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    Game.GameMode = ModePlay;
    // The play screen's nine buttons, all out of the way and hidden images-wise (1 x 1).
    Config.ButtonImages.resize(1);
    Config.ButtonImageKind = {ButtonKindPlain};
    Config.ButtonImages[0][0] = MakeSolid(1, 1, 0);
    Config.ScreenButtons.assign(9, ScreenButton{0, 700, 0, 701, 530, 531, -1});
    Config.ScreenButtonMax = 8;
  }
  static void PlaceCell(int32_t column, int32_t row, int32_t colour, int32_t link, int32_t phase) {
    Game.Board[column][row] = BoardCell{colour, link, phase};
  }
};

TEST_F(SceneTest, BoardCellsPickTheirSheetCells) {
  PlaceCell(0, 12, 0, 2, 0);    // ordinary piece joined below: column 2, row 0
  PlaceCell(1, 12, 1, 5, 4);    // target at the start of its blink: column 1, row 2
  PlaceCell(2, 12, 2, 5, 16);   // blink over: column 0
  PlaceCell(3, 12, 0, 5, 212);  // second blink: column 3
  PlaceCell(4, 12, 21, 5, 9);   // target vanishing, step 2: column 1, row 3
  PlaceCell(5, 12, 32, 1, 0);   // piece vanishing, step 3: column 2, row 1
  DrawBoard();
  EXPECT_EQ(ScreenPixel(CellX(0), CellY(12)), Drawn(PieceCellColour(0, 2, 0)));
  EXPECT_EQ(ScreenPixel(CellX(1) + 31, CellY(12) + 31), Drawn(PieceCellColour(1, 1, 2)));
  EXPECT_EQ(ScreenPixel(CellX(2), CellY(12)), Drawn(PieceCellColour(2, 0, 2)));
  EXPECT_EQ(ScreenPixel(CellX(3), CellY(12)), Drawn(PieceCellColour(0, 3, 2)));
  EXPECT_EQ(ScreenPixel(CellX(4), CellY(12)), Drawn(PieceCellColour(1, 1, 3)));
  EXPECT_EQ(ScreenPixel(CellX(5), CellY(12)), Drawn(PieceCellColour(2, 2, 1)));
  EXPECT_EQ(ScreenPixel(CellX(6), CellY(12)), 0);

  // Every cell's Phase advanced, the empty ones too.
  EXPECT_EQ(Game.Board[1][12].Phase, 5);
  EXPECT_EQ(Game.Board[7][0].Phase, 1);

  // The game-over look of a target: row 4, column (Phase \ 2) mod 4.
  Game.PlayState = PlayGameOver;
  ClearScreen();
  DrawBoard();
  EXPECT_EQ(ScreenPixel(CellX(1), CellY(12)), Drawn(PieceCellColour(1, 2, 4)));  // Phase 5
  EXPECT_EQ(ScreenPixel(CellX(4), CellY(12)), Drawn(PieceCellColour(1, 1, 5)));  // vanishing: row 5
}

TEST_F(SceneTest, FallingPairIsSlightlyTranslucent) {
  Game.PairActive = true;
  Game.Pair.Column = 2;
  Game.Pair.Row = 3;
  Game.Pair.Cells[0][1] = BoardCell{1, 1, 0};
  Game.Pair.Cells[1][1] = BoardCell{2, 3, 0};
  DrawBoard();
  EXPECT_EQ(ScreenPixel(CellX(2), CellY(4)), Drawn(PieceCellColour(1, 1, 0), 28));
  EXPECT_EQ(ScreenPixel(CellX(3) + 5, CellY(4) + 5), Drawn(PieceCellColour(2, 3, 0), 28));
  EXPECT_EQ(ScreenPixel(CellX(2), CellY(3)), 0) << "empty box cells draw nothing";
}

TEST_F(SceneTest, BoardAndPairHiddenWhilePausedAndUnderPanels) {
  PlaceCell(0, 12, 0, 4, 10);
  Game.PairActive = true;
  Game.Pair.Row = 5;
  Game.Pair.Cells[0][0] = BoardCell{0, 4, 0};
  for (int32_t state : {int32_t{PlayPaused}, 1000, 2003, 3000}) {
    Game.PlayState = state;
    DrawFrame();
    EXPECT_EQ(ScreenPixel(CellX(0), CellY(12)), 0) << state;
    EXPECT_EQ(ScreenPixel(CellX(0) + 4, CellY(5) + 4), 0) << state;
    EXPECT_EQ(Game.Board[0][12].Phase, 10) << state;
  }
  for (int32_t state : {int32_t{PlayRunning}, int32_t{PlayGameOver}, int32_t{PlayStageClear}}) {
    Game.PlayState = state;
    DrawFrame();
    EXPECT_EQ(ScreenPixel(CellX(0), CellY(12)), Drawn(PieceCellColour(0, 4, 0))) << state;
  }
}

TEST_F(SceneTest, CountersAreCentredAndTheTimeHasTwoDigits) {
  Game.TargetCount = 9;
  Game.TimeCount = 7 * 60 + 5;
  DrawPlayScreen();
  EXPECT_EQ(ScreenPixel(622, 332), DrawnGlyph(9));
  EXPECT_EQ(ScreenPixel(609, 332), 0);
  EXPECT_EQ(ScreenPixel(588, 256), DrawnGlyph(0));
  EXPECT_EQ(ScreenPixel(608, 256), DrawnGlyph(7));
  EXPECT_EQ(ScreenPixel(644, 256), DrawnGlyph(0));
  EXPECT_EQ(ScreenPixel(664, 256), DrawnGlyph(5));

  Game.TargetCount = 10;
  Game.TimeCount = 6000;  // 100 minutes: the last two characters of "0100"
  DrawPlayScreen();
  EXPECT_EQ(ScreenPixel(609, 332), DrawnGlyph(1));
  EXPECT_EQ(ScreenPixel(635, 332), DrawnGlyph(0));
  EXPECT_EQ(ScreenPixel(608, 256), DrawnGlyph(0));
  EXPECT_EQ(ScreenPixel(588, 256), DrawnGlyph(0));
  EXPECT_EQ(ScreenPixel(664, 256), DrawnGlyph(0));
}

TEST_F(SceneTest, ScoreStageAndDifficultyCounters) {
  Game.Score = 250;
  Game.Difficulty = 2;
  Game.HiScore[2] = 7;
  Game.Stage = 8;
  DrawPlayScreen();
  const int32_t x = Config.ShowScoreX, y = Config.ShowScoreY;
  EXPECT_EQ(ScreenPixel(x, y - 38), DrawnGlyph(7));
  EXPECT_EQ(ScreenPixel(x, y), DrawnGlyph(2));
  EXPECT_EQ(ScreenPixel(x + 20, y), DrawnGlyph(5));
  EXPECT_EQ(ScreenPixel(x + 40, y), DrawnGlyph(0));
  EXPECT_EQ(ScreenPixel(x, y + 38), DrawnGlyph(2)) << "difficulty glyph";
  EXPECT_EQ(ScreenPixel(Config.ShowStageX, Config.ShowStageY), DrawnGlyph(9));

  Game.Stage = 9;
  ClearScreen();
  DrawPlayScreen();
  EXPECT_EQ(ScreenPixel(Config.ShowStageX - 13, Config.ShowStageY), DrawnGlyph(1));
  EXPECT_EQ(ScreenPixel(Config.ShowStageX + 13, Config.ShowStageY), DrawnGlyph(0));
}

TEST_F(SceneTest, CheckBoxesAndVolumeBars) {
  Audio.CheckState[0] = 0;
  Audio.CheckState[1] = 1;
  Audio.VolumeLevel[0] = 0;
  Audio.VolumeLevel[1] = 50;
  DrawPlayScreen();
  EXPECT_EQ(ScreenPixel(Config.CheckX[0], Config.CheckY[0]), Drawn(Config.CheckImages[0].ptr()[0]));
  EXPECT_EQ(ScreenPixel(Config.CheckX[1], Config.CheckY[1]), Drawn(Config.CheckImages[1].ptr()[0]));
  // The bar shows level + 2 pixels, rounded down to whole groups of four.
  const int32_t x = Config.VolX[0];
  EXPECT_NE(ScreenPixel(Config.VolX[1] + 47, Config.VolY[1]), 0);
  EXPECT_EQ(ScreenPixel(Config.VolX[1] + 52, Config.VolY[1]), 0);
  EXPECT_EQ(ScreenPixel(x, Config.VolY[0]), 0) << "level 0 shows two pixels, less than a group";

  Audio.CheckState[0] = 2;
  EXPECT_THROW(DrawPlayScreen(), RuntimeError);
}

TEST_F(SceneTest, ConfirmationButtonsFollowThePanel) {
  auto states = [] {
    std::vector<int32_t> result;
    for (int32_t i = 5; i <= 8; ++i) result.push_back(Config.ScreenButtons[i].State);
    return result;
  };
  Game.PlayState = 1000;
  DrawFrame();
  EXPECT_EQ(states(), (std::vector<int32_t>{-1, -1, 0, 0}));
  Game.PlayState = 2003;
  DrawFrame();
  EXPECT_EQ(states(), (std::vector<int32_t>{0, 0, -1, -1}));
  Game.PlayState = 3000;
  DrawFrame();
  EXPECT_EQ(states(), (std::vector<int32_t>{0, 0, 0, 0}));
  EXPECT_EQ(Config.ScreenButtons[4].State, -1) << "the other buttons are left alone";
}

TEST_F(SceneTest, PanelsAreCentredAndTheStatePanelsSway) {
  const int32_t centreX = (724 - PanelWidth) / 2, centreY = (544 - PanelHeight) / 2;
  Game.PlayState = 2000;
  DrawFrame();
  EXPECT_EQ(ScreenPixel(centreX, centreY), Drawn(Images.ExitImages[0].ptr()[0]));
  EXPECT_EQ(ScreenPixel(centreX + PanelWidth, centreY), 0);

  // At T = 2: |sin 1.6| x 56 rounds to 56, |cos 1.2| x 32 to 12.
  SetTimeOfDay(2.0);
  Game.PlayState = PlayPaused;
  DrawFrame();
  const int32_t x = centreX + 56 - 28, y = centreY + 12 - 16;
  EXPECT_EQ(ScreenPixel(x, y), Drawn(Images.PauseImages[0].ptr()[0]));
  EXPECT_EQ(ScreenPixel(x + PanelWidth - 1, y + PanelHeight - 1), Drawn(Images.PauseImages[0].ptr()[0]));
  EXPECT_NE(ScreenPixel(x - 1, y), Drawn(Images.PauseImages[0].ptr()[0]));

  Game.PlayState = 3000;
  DrawFrame();
  EXPECT_EQ(ScreenPixel(228, 90), Images.HelpImage.ptr()[0]) << "the help page is opaque";
  EXPECT_EQ(ScreenPixel(267, 129), Images.HelpImage.ptr()[0]);
}

TEST_F(SceneTest, CharacterMoodsAndTheCharacterThatLeaves) {
  // Gone: frames 0 to 6, then -1 and never drawn or animated again.
  Game.TargetMood[1][0] = 0;
  Game.TargetMood[1][1] = 2;
  std::vector<int32_t> frames;
  for (int32_t tick = 0; tick <= 40; tick += 5) {
    Shell.GameTick = tick;
    ClearScreen();
    DrawPlayScreen();
    frames.push_back(Game.TargetMood[1][0]);
  }
  EXPECT_EQ(frames, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, -1, -1, -1}));
  EXPECT_EQ(ScreenPixel(580, 445), 0);
  EXPECT_NE(ScreenPixel(540, 380), 0) << "the others go on";

  // Hit: back to idle while targets of its colour remain, else gone; only every fifth tick.
  Game.TargetMood[0][0] = 11;
  Game.TargetMood[0][1] = 1;
  Shell.GameTick = 7;
  DrawTargetChar(540, 380, 0);
  EXPECT_EQ(Game.TargetMood[0][0], 11);
  EXPECT_EQ(ScreenPixel(540, 380), Drawn(FigureCellColour(11, 1)));
  Game.Board[3][3] = BoardCell{0, 5, 0};
  Shell.GameTick = 10;
  DrawTargetChar(540, 380, 0);
  EXPECT_EQ(Game.TargetMood[0][0], 0);
  EXPECT_EQ(Game.TargetMood[0][1], 0);
  Game.TargetMood[0][0] = 11;
  Game.TargetMood[0][1] = 1;
  Game.Board[3][3] = BoardCell{};
  DrawTargetChar(540, 380, 0);
  EXPECT_EQ(Game.TargetMood[0][1], 2);

  // Idle and laughing loop over six frames.
  Game.TargetMood[2][0] = 5;
  Game.TargetMood[2][1] = 3;
  DrawTargetChar(620, 385, 2);
  EXPECT_EQ(Game.TargetMood[2][0], 0);
}

TEST_F(SceneTest, CountTargetsOfColourCountsOnlyTargets) {
  Game.Board[0][0] = BoardCell{1, 5, 0};
  Game.Board[7][12] = BoardCell{1, 5, 0};
  Game.Board[3][3] = BoardCell{1, 4, 0};
  Game.Board[4][4] = BoardCell{11, 5, 0};
  Game.Board[5][5] = BoardCell{2, 5, 0};
  EXPECT_EQ(CountTargetsOfColour(1), 2);
  EXPECT_EQ(CountTargetsOfColour(2), 1);
  EXPECT_EQ(CountTargetsOfColour(0), 0);
}

TEST_F(SceneTest, FigureModesAndTheNextPair) {
  // Idle: a gesture step every sixth tick in the first 25 of every 100.
  Shell.GameTick = 6;
  DrawAngel(448, 240, false);
  EXPECT_EQ(Game.AngelState[0], 1);
  Shell.GameTick = 30;
  DrawAngel(448, 240, false);
  EXPECT_EQ(Game.AngelState[0], 1);
  Game.AngelState[0] = 3;
  Shell.GameTick = 24;
  DrawAngel(448, 240, false);
  EXPECT_EQ(Game.AngelState[0], 0);

  // Throw: two steps, then back to idle.
  Game.AngelState[0] = 1;
  Game.AngelState[1] = 1;
  Shell.GameTick = 8;
  DrawAngel(448, 240, false);
  EXPECT_EQ(Game.AngelState[0], 0);
  EXPECT_EQ(Game.AngelState[1], 0);

  // Cheer loops over five frames, the game-over look over six.
  Game.AngelState[0] = 4;
  Game.AngelState[1] = 2;
  Shell.GameTick = 5;
  DrawAngel(448, 240, false);
  EXPECT_EQ(Game.AngelState[0], 0);
  Game.AngelState[0] = 5;
  Game.AngelState[1] = 3;
  Shell.GameTick = 12;
  DrawAngel(448, 240, false);
  EXPECT_EQ(Game.AngelState[0], 0);

  // At T = 2 the figure floats round(|cos 1.8| x 32) = 7 right and round(|sin 1.6| x 24) = 24 down;
  // the next pair sits 16 right and 96 down from it, only in idle mode while the game runs.
  SetTimeOfDay(2.0);
  Game.AngelState[0] = 2;
  Game.AngelState[1] = 2;
  Game.NextPair.Cells[0][0] = BoardCell{2, 2, 0};
  Shell.GameTick = 1;
  ClearScreen();
  DrawAngel(456, -20, true);
  const int32_t px = 456 + 7, py = -20 + 24;
  EXPECT_EQ(ScreenPixel(px, py), Drawn(FigureCellColour(2, 2)));
  EXPECT_EQ(ScreenPixel(px + 16, py + 96), 0);
  Game.AngelState[1] = 0;
  Game.AngelState[0] = 0;
  DrawAngel(456, -20, true);
  EXPECT_EQ(ScreenPixel(px + 16, py + 96), Drawn(PieceCellColour(2, 2, 0)));
  ClearScreen();
  Game.PlayState = PlayStageClear;
  DrawAngel(456, -20, true);
  EXPECT_EQ(ScreenPixel(px + 16, py + 96), 0);
}

TEST_F(SceneTest, TitleBackgroundScrollsAndWraps) {
  Game.GameMode = ModeTitle;
  const CGDISurface& back = Images.TitleBackImage;
  auto backPixel = [&back](int32_t x, int32_t y) { return back.ptr()[y * (back.pitch() / 2) + x]; };
  Shell.GameTick = 2000;
  const int32_t dx = 560, dy = 380;  // 2000 mod 720, 2000 mod 540
  ScrollTitleBackground();
  for (auto [x, y] : {std::pair{0, 0}, std::pair{dx, dy}, std::pair{dx - 1, dy}, std::pair{719, 539},
                      std::pair{dx + 3, dy - 1}, std::pair{dx - 2, 539}}) {
    EXPECT_EQ(ScreenPixel(x, y), backPixel((x - dx + 720) % 720, (y - dy + 540) % 540)) << x << "," << y;
  }
}

TEST_F(SceneTest, StageSelectionDarkensLockedSlotsAndMusic) {
  Game.GameMode = ModeStageSelect;
  Images.TitleBackImage = MakeSolid(720, 540, 0);
  Images.AngelImages[1] = MakeSolid(6 * AngelCell, 4 * AngelCell, 0);  // the figure would cover music 3 and 4
  const uint16_t panel = Drawn(Rgb(31, 31, 31));
  const uint16_t darkened = AlphaBlend(panel, 0, 128);
  for (int32_t maxStage : {0, 7, 20}) {
    User.UserMaxStage = maxStage;
    DrawFrame();
    for (int32_t i = 0; i < 20; ++i) {
      const uint16_t expected = i >= maxStage ? darkened : panel;
      EXPECT_EQ(ScreenPixel(319 + 14 * i, 110), expected) << "stage " << i << " of " << maxStage;
      EXPECT_EQ(ScreenPixel(319 + 14 * i + 7, 124), expected);
      EXPECT_EQ(ScreenPixel(319 + 14 * i + 8, 110), panel) << "only 8 of the 10 columns are darkened";
    }
  }
  // UserMaxStage 7 opens music 0 and 1; the chosen one is bright, the others at half level.
  Game.MusicChoice = 1;
  User.UserMaxStage = 7;
  DrawFrame();
  for (int32_t k = 0; k < 5; ++k) {
    const uint16_t sheetColour = Rgb(k > 1 ? 24 : 4, k * 4 + 2, 0);
    EXPECT_EQ(ScreenPixel(250 + 78 * k, 250), MaskBlend(panel, sheetColour, 31, k == 1 ? 32 : 16)) << k;
  }
  // Difficulty icons at half level but the chosen one.
  Game.Difficulty = 2;
  DrawFrame();
  EXPECT_EQ(ScreenPixel(268, 172), MaskBlend(panel, GlyphColour(0), 31, 16));
  EXPECT_EQ(ScreenPixel(268 + 128, 172 + 35), MaskBlend(panel, GlyphColour(2), 31, 32));
}

TEST_F(SceneTest, StageSelectionNumberAndMarker) {
  Game.GameMode = ModeStageSelect;
  Images.TitleBackImage = MakeSolid(720, 540, 0);
  const uint16_t panel = Drawn(Rgb(31, 31, 31));
  Game.Stage = 8;
  DrawFrame();
  EXPECT_EQ(ScreenPixel(224, 94), MaskBlend(panel, GlyphColour(9), 31, 32));
  EXPECT_EQ(ScreenPixel(316 + 14 * 8, 86), MaskBlend(panel, Rgb(31, 0, 0), 31, 32));
  Game.Stage = 9;
  DrawFrame();
  EXPECT_EQ(ScreenPixel(211, 94), MaskBlend(panel, GlyphColour(1), 31, 32));
  EXPECT_EQ(ScreenPixel(237, 94), MaskBlend(panel, GlyphColour(0), 31, 32));
}

TEST_F(SceneTest, TheFocusedStageSelectionRowIsFramedAndBouncesItsChoice) {
  Game.GameMode = ModeStageSelect;
  Images.TitleBackImage = MakeSolid(720, 540, 0);
  const uint16_t panel = Drawn(Rgb(31, 31, 31));
  const uint16_t marker = MaskBlend(panel, Rgb(31, 0, 0), 31, 32);
  const uint16_t hard = MaskBlend(panel, GlyphColour(2), 31, 32);
  const uint16_t navy = Rgb(3, 4, 12);
  const int32_t stageFrameX = 317 - 8, difficultyFrameX = 268 - 8;
  Game.Stage = 3;
  Game.Difficulty = 2;
  const int32_t markerX = 316 + 14 * 3, hardX = 268 + 128;
  DrawFrame();
  EXPECT_EQ(ScreenPixel(stageFrameX, 110), panel) << "no frame while the focus is hidden";
  MenuKey(40);  // the first key shows the focus, on the stage bar: no start button here
  for (auto [tick, lift] : {std::pair{0, 0}, std::pair{6, 4}, std::pair{12, 6}, std::pair{21, 2}, std::pair{24, 0}}) {
    Shell.GameTick = tick;
    DrawFrame();
    EXPECT_EQ(ScreenPixel(markerX, 86 - lift), marker) << "tick " << tick;
    EXPECT_EQ(ScreenPixel(markerX, 90 - lift), panel) << "tick " << tick;
    EXPECT_EQ(ScreenPixel(hardX, 172), hard) << "the unfocused rows keep still";
  }
  EXPECT_EQ(ScreenPixel(stageFrameX, 110), navy);
  EXPECT_EQ(ScreenPixel(difficultyFrameX, 190), panel);
  MenuKey(40);  // the difficulty row
  Shell.GameTick = 12;
  DrawFrame();
  EXPECT_EQ(ScreenPixel(stageFrameX, 110), panel);
  EXPECT_EQ(ScreenPixel(difficultyFrameX, 190), navy);
  EXPECT_EQ(ScreenPixel(markerX, 86), marker);
  EXPECT_EQ(ScreenPixel(hardX, 166), hard);
  EXPECT_EQ(ScreenPixel(hardX, 166 + 36), panel);
  EXPECT_EQ(ScreenPixel(268, 172), MaskBlend(panel, GlyphColour(0), 31, 16)) << "only the choice moves";
}

TEST_F(SceneTest, CrossFadeRunsFifteenStepsFrom248To24) {
  CGDISurface& fade = Shell.FadeSurface;
  fade = MakeSolid(724, 544, Rgb(31, 31, 31));
  Shell.FadeStep = 1;
  std::vector<uint16_t> drawn, expected;
  for (int32_t level = 248; level >= 24; level -= 16) {
    ClearScreen();
    DrawFadeStep();
    drawn.push_back(ScreenPixel(100, 100));
    expected.push_back(AlphaBlend(0, Rgb(31, 31, 31), level));
  }
  EXPECT_EQ(drawn, expected);
  EXPECT_EQ(Shell.FadeStep, 0);
}

// A frame nobody sees may skip its pixel work: it must change the same state as a drawn one,
// and the frame drawn after it must not show anything of the pixels it left behind.
TEST_F(SceneTest, SkippedFramesAgeLikeDrawnOnesAndRedrawsLeaveNothingOld) {
  Images.TitleBackImage = MakeSurface(720, 540, [](int32_t x, int32_t y) { return Rgb(x % 32, y % 32, 7); });
  Config.ScreenButtons[0] = ScreenButton{0, 10, 5, 30, 10, 30, -1};
  Shell.MouseX = Shell.MouseY = 20;  // over the button, which lights up a step a frame
  Game.ScorePopups[0] = ScorePopup{"70", 2, 300, 200, 3, true};
  Game.PlayState = PlayPaused;
  for (int32_t mode : {ModeTitle, ModeStageSelect, ModePlay}) {
    Game.GameMode = mode;
    Shell.GameTick = 100;
    ASSERT_TRUE(FrameRedrawsEverything(Shell.GameTick)) << mode;
    const GameGlobals gameBefore = Game;
    const std::vector<ScreenButton> buttonsBefore = Config.ScreenButtons;
    CGDISurface& screen = ScreenSurface();
    ClearScreen();
    DrawFrame();
    const std::vector<uint16_t> drawn(screen.ptr(), screen.ptr() + screen.pitch() / 2 * screen.Height());
    const int32_t popupAge = Game.ScorePopups[0].Age, buttonAlpha = Config.ScreenButtons[0].Alpha;

    Game = gameBefore;
    Config.ScreenButtons = buttonsBefore;
    screen.FillColor(255, 0, 255);
    const uint16_t old = ScreenPixel(0, 0);
    screen.SkipDrawing(true);
    DrawFrame();
    screen.SkipDrawing(false);
    EXPECT_EQ(ScreenPixel(0, 0), old) << "a skipped frame leaves the pixels";
    EXPECT_EQ(Game.ScorePopups[0].Age, popupAge);
    EXPECT_EQ(Config.ScreenButtons[0].Alpha, buttonAlpha);

    Game = gameBefore;
    Config.ScreenButtons = buttonsBefore;
    DrawFrame();
    const auto differs = std::mismatch(drawn.begin(), drawn.end(), screen.ptr());
    EXPECT_EQ(differs.first, drawn.end()) << "mode " << mode << " offset " << (differs.first - drawn.begin());
  }
  // The title's tiles miss the margin while their offset is below 4; a title background smaller
  // than the screen leaves gaps.
  Game.GameMode = ModeTitle;
  EXPECT_FALSE(FrameRedrawsEverything(720 * 3 + 3));
  EXPECT_FALSE(FrameRedrawsEverything(540 * 5 + 2));
  EXPECT_TRUE(FrameRedrawsEverything(540 * 5 + 4));
  Images.TitleBackImage = MakeSolid(720, 539, 0);
  EXPECT_FALSE(FrameRedrawsEverything(100));
}

// Frames drawn only where their drawing changed must equal frames drawn whole, and outside
// the areas the presenter is told of, a frame must equal the one before it.
class FrameDrawingTest : public SceneTest {
 protected:
  // Draws the frame as the main window does: flips the buffers and notes the drawing; the
  // reference buffers get the same frame drawn at once.
  template <typename Draw>
  void DrawBoth(const Draw& draw, bool redrawsEverything, bool ended = true, bool skipped = false) {
    Shell.BackIndex = 1 - Shell.BackIndex;
    const int32_t index = Shell.BackIndex;
    Shell.BackBuffer[index].SkipDrawing(skipped);
    BeginFrameDrawing(redrawsEverything);
    draw();
    FinishFrameDrawing(ended);
    Shell.BackBuffer[index].SkipDrawing(false);
    std::swap(Shell.BackBuffer[index], reference_[index]);
    Shell.BackBuffer[index].SkipDrawing(skipped);
    draw();
    Shell.BackBuffer[index].SkipDrawing(false);
    std::swap(Shell.BackBuffer[index], reference_[index]);
    ASSERT_EQ(FirstDifference(Shell.BackBuffer[index], reference_[index], {}), -1) << "frame " << frame_;
    const FrameChanges& changes = Shell.BackChanges[index];
    if (changes.Known) {
      ASSERT_EQ(FirstDifference(Shell.BackBuffer[index], Shell.BackBuffer[1 - index], changes.Areas), -1)
          << "frame " << frame_;
      ++known_;
    }
    ++frame_;
  }
  // The first pixel outside `areas` where two surfaces of the same size differ, as
  // y * width + x; -1 when none does.
  static int32_t FirstDifference(const CGDISurface& a, const CGDISurface& b, const std::vector<ChangedArea>& areas) {
    std::vector<uint8_t> inside(static_cast<size_t>(a.Width()));
    for (int32_t y = 0; y < a.Height(); ++y) {
      std::fill(inside.begin(), inside.end(), 0);
      for (const ChangedArea& area : areas) {
        if (y >= area.Top && y < area.Bottom) std::fill(inside.begin() + area.Left, inside.begin() + area.Right, 1);
      }
      const uint16_t* rowA = a.ptr() + y * (a.pitch() / 2);
      const uint16_t* rowB = b.ptr() + y * (b.pitch() / 2);
      for (int32_t x = 0; x < a.Width(); ++x) {
        if (inside[static_cast<size_t>(x)] == 0 && rowA[x] != rowB[x]) return y * a.Width() + x;
      }
    }
    return -1;
  }
  void SetUp() override {
    SceneTest::SetUp();
    for (CGDISurface& buffer : reference_) buffer.Create(724, 544);
  }
  CGDISurface reference_[2];
  int32_t frame_ = 0, known_ = 0;
};

TEST_F(FrameDrawingTest, RandomDrawingOfEveryKind) {
  struct Sprite {
    int32_t kind, x, y, level;
  };
  std::mt19937 rng(11);
  const auto random = [&](int32_t below) { return static_cast<int32_t>(rng() % static_cast<uint32_t>(below)); };
  const CGDISurface back = MakeSurface(720, 540, [](int32_t x, int32_t y) { return Rgb(x % 32, y % 32, 9); });
  CGDISurface image =
      MakeSurface(40, 30, [](int32_t x, int32_t y) { return x % 7 == 0 ? 0x7C1F : Rgb(y, x % 32, 20); });
  const CGDISurface mask = MakeSurface(40, 30, [](int32_t x, int32_t y) { return Rgb(0, 0, (x + y) % 32); });
  std::vector<Sprite> scene;
  const auto newSprite = [&] { return Sprite{random(10), random(760) - 20, random(580) - 20, random(256)}; };
  for (int32_t i = 0; i < 12; ++i) scene.push_back(newSprite());
  int32_t backX = 0, backY = 0;
  bool clipped = false;
  for (int32_t frame = 0; frame < 300; ++frame) {
    const int32_t change = random(100);
    Sprite& sprite = scene[static_cast<size_t>(random(static_cast<int32_t>(scene.size())))];
    if (change < 40) {
      sprite.x += random(9) - 4;
      sprite.y += random(5) - 2;
    } else if (change < 50) {
      sprite.level = random(256);
    } else if (change < 55 && scene.size() > 4) {
      scene.erase(scene.begin() + random(static_cast<int32_t>(scene.size())));
    } else if (change < 60) {
      scene.insert(scene.begin() + random(static_cast<int32_t>(scene.size())), newSprite());
    } else if (change < 63) {
      image.DrawLine(random(40), 0, random(40), 29, 255, 0, 0);  // a picture drawn from changes
    } else if (change < 66) {
      backX = random(3) == 0 ? random(9) - 4 : 0;
      backY = random(3) == 0 ? random(9) - 4 : 0;
    } else if (change < 69) {
      clipped = !clipped;
    } else if (change < 71) {
      Shell.BackBuffer[Shell.BackIndex].Clear();  // the next buffer but one, behind the drawing's back
      reference_[Shell.BackIndex].Clear();
    }
    const int32_t how = random(100);  // mostly frames that paint every pixel anew
    const bool base = how >= 6, skip = how < 3, ended = how < 97;
    const size_t drawn = ended ? scene.size() : scene.size() / 2;
    DrawBoth(
        [&] {
          CGDISurface& screen = ScreenSurface();
          screen.SetClipper(clipped ? 30 : 0, clipped ? 20 : 0, clipped ? 600 : 724, clipped ? 500 : 544);
          if (base) {
            screen.FillColorAround(back, backX, backY, 40, 40, 60);
            screen.FastBlt(back, backX, backY);
          }
          for (size_t i = 0; i < drawn; ++i) {
            const Sprite& s = scene[i];
            switch (s.kind) {
              case 0:
                screen.BltClip(image, s.x, s.y, 2, 3, 25, 37);
                break;
              case 1:
                screen.EffectBlt(image, s.level % 3, s.x, s.y, static_cast<uint8_t>(s.level), 0);
                break;
              case 2:
                screen.EffectBltClip(image, s.x, s.y, static_cast<uint8_t>(s.level), 0, 0, 30, 40, 0);
                break;
              case 3:
                screen.EffectBltClipAlpha(image, s.x, s.y, 4, 0, 30, 40, mask, s.level % 33);
                break;
              case 4:
                screen.DrawLine(s.x, s.y, s.x + s.level % 60 - 30, s.y + 40, 0, 255, 128);
                break;
              case 5:
                screen.FastBlt(image, s.x, s.y);
                break;
              case 6:
                screen.FastBltClip(image, s.x, s.y, 5, 5, 20, 30);
                break;
              case 7:
                screen.Blt(image, s.x, s.y, 1.0f);
                break;
              case 8:
                screen.FillColor(static_cast<uint8_t>(s.level), 0, 0);
                break;
              default:  // now and then, drawing that cannot wait: scaled, or read from the screen itself
                if (s.level < 8) {
                  screen.Blt(image, s.x, s.y, 1.5f);
                } else if (s.level < 16) {
                  screen.BltClip(screen, s.x, s.y, 0, 0, 20, 20);
                } else {
                  screen.EffectBlt(image, 1, s.x, s.y, static_cast<uint8_t>(s.level), 0);
                }
            }
          }
        },
        base, ended, skip);
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(known_, 100);
}

// The paused and the running play screen, swaying, with a button lighting under the mouse
// and score pop-ups fading.
TEST_F(FrameDrawingTest, ThePlayScreen) {
  Config.ScreenButtons[0] = ScreenButton{0, 10, 5, 30, 10, 30, -1};
  for (int32_t frame = 0; frame < 200; ++frame) {
    SetTimeOfDay(frame * 0.028);
    Shell.GameTick = frame;
    Shell.MouseX = Shell.MouseY = frame % 50 < 25 ? 20 : 400;
    if (frame % 40 == 0) Game.ScorePopups[0] = ScorePopup{"120", 3, 300, 200 + frame / 10, 0, true};
    Game.PlayState = frame % 100 < 60 ? PlayPaused : PlayRunning;
    if (frame == 130) Game.TargetMood[1][0] = -1;  // a character leaves
    const GameGlobals gameBefore = Game;
    const std::vector<ScreenButton> buttonsBefore = Config.ScreenButtons;
    DrawBoth(
        [&] {
          Game = gameBefore;  // both drawings start from the same state
          Config.ScreenButtons = buttonsBefore;
          DrawFrame();
        },
        FrameRedrawsEverything(Shell.GameTick));
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(known_, 150);
}

TEST_F(SceneTest, UnknownModeDrawsNothing) {
  Game.GameMode = 5;
  DrawFrame();
  EXPECT_EQ(ScreenPixel(0, 0), 0);
  EXPECT_EQ(ScreenPixel(400, 300), 0);
}

}  // namespace

// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "base/input_codes.h"
#include "base/runtime.h"
#include "game/focus.h"
#include "game/frame.h"
#include "render/frame_drawing.h"
#include "render/scene.h"
#include "render_support.h"

namespace {

uint16_t Drawn(uint16_t colour) { return FullyDrawn(colour); }
uint16_t DrawnGlyph(int32_t digit) { return Drawn(GlyphColour(digit)); }

// Screen position of board cell (column, row).
int32_t CellX(int32_t column) { return 228 + 32 * column; }
int32_t CellY(int32_t row) { return 90 + 32 * row; }

class SceneTest : public RenderTest {
 protected:
  void SetUp() override {
    RenderTest::SetUp();
    state.GameMode = ModePlay;
    // The play screen's nine buttons, all out of the way and hidden images-wise (1 x 1).
    skin.ButtonImages.resize(1);
    skin.Layout.ButtonImageKind = {ButtonKindPlain};
    skin.ButtonImages[0][0] = MakeSolid(1, 1, 0);
    state.Buttons.assign(9, ScreenButton{0, 700, 0, 701, 530, 531, -1});
  }
  void PlaceCell(int32_t column, int32_t row, int32_t colour, int32_t link, int32_t phase) {
    state.Board[column][row] = BoardCell{colour, link, phase};
  }
};

TEST_F(SceneTest, BoardCellsPickTheirSheetCells) {
  PlaceCell(0, 12, 0, 2, 0);    // ordinary piece joined below: column 2, row 0
  PlaceCell(1, 12, 1, 5, 4);    // target at the start of its blink: column 1, row 2
  PlaceCell(2, 12, 2, 5, 16);   // blink over: column 0
  PlaceCell(3, 12, 0, 5, 212);  // second blink: column 3
  PlaceCell(4, 12, 21, 5, 9);   // target vanishing, step 2: column 1, row 3
  PlaceCell(5, 12, 32, 1, 0);   // piece vanishing, step 3: column 2, row 1
  Draw();
  EXPECT_EQ(ScreenPixel(CellX(0), CellY(12)), Drawn(PieceCellColour(0, 2, 0)));
  EXPECT_EQ(ScreenPixel(CellX(1) + 31, CellY(12) + 31), Drawn(PieceCellColour(1, 1, 2)));
  EXPECT_EQ(ScreenPixel(CellX(2), CellY(12)), Drawn(PieceCellColour(2, 0, 2)));
  EXPECT_EQ(ScreenPixel(CellX(3), CellY(12)), Drawn(PieceCellColour(0, 3, 2)));
  EXPECT_EQ(ScreenPixel(CellX(4), CellY(12)), Drawn(PieceCellColour(1, 1, 3)));
  EXPECT_EQ(ScreenPixel(CellX(5), CellY(12)), Drawn(PieceCellColour(2, 2, 1)));
  EXPECT_EQ(ScreenPixel(CellX(6), CellY(12)), 0);
  EXPECT_EQ(state.Board[1][12].Phase, 4) << "the drawing changes nothing";

  // Once the board was shown every cell's Phase advances, the empty ones too.
  Animate();
  EXPECT_EQ(state.Board[1][12].Phase, 5);
  EXPECT_EQ(state.Board[7][0].Phase, 1);

  // The game-over look of a target: row 4, column (Phase \ 2) mod 4.
  state.PlayState = PlayGameOver;
  ClearScreen();
  Draw();
  EXPECT_EQ(ScreenPixel(CellX(1), CellY(12)), Drawn(PieceCellColour(1, 2, 4)));  // Phase 5
  EXPECT_EQ(ScreenPixel(CellX(4), CellY(12)), Drawn(PieceCellColour(1, 1, 5)));  // vanishing: row 5
}

TEST_F(SceneTest, FallingPairIsSlightlyTranslucent) {
  state.PairActive = true;
  state.Pair.Column = 2;
  state.Pair.Row = 3;
  state.Pair.Cells[0][1] = BoardCell{1, 1, 0};
  state.Pair.Cells[1][1] = BoardCell{2, 3, 0};
  Draw();
  // At level 28 the full mask passes 27 of 32 parts: (6, 2, 12) and (14, 2, 20) over black.
  EXPECT_EQ(ScreenPixel(CellX(2), CellY(4)), Rgb(5, 1, 10));
  EXPECT_EQ(ScreenPixel(CellX(3) + 5, CellY(4) + 5), Rgb(11, 1, 16));
  EXPECT_EQ(ScreenPixel(CellX(2), CellY(3)), 0) << "empty box cells draw nothing";
}

TEST_F(SceneTest, BoardAndPairHiddenWhilePausedAndUnderPanels) {
  PlaceCell(0, 12, 0, 4, 10);
  state.PairActive = true;
  state.Pair.Row = 5;
  state.Pair.Cells[0][0] = BoardCell{0, 4, 0};
  for (int32_t playState : {int32_t{PlayPaused}, 1000, 2003, 3000}) {
    state.PlayState = playState;
    DrawAndAnimate();
    EXPECT_EQ(ScreenPixel(CellX(0), CellY(12)), 0) << playState;
    EXPECT_EQ(ScreenPixel(CellX(0) + 4, CellY(5) + 4), 0) << playState;
    EXPECT_EQ(state.Board[0][12].Phase, 10) << "a hidden board does not age: " << playState;
  }
  for (int32_t playState : {int32_t{PlayRunning}, int32_t{PlayGameOver}, int32_t{PlayStageClear}}) {
    state.PlayState = playState;
    Draw();
    EXPECT_EQ(ScreenPixel(CellX(0), CellY(12)), Drawn(PieceCellColour(0, 4, 0))) << playState;
  }
}

TEST_F(SceneTest, CountersAreCentredAndTheTimeHasTwoDigits) {
  state.TargetCount = 9;
  state.TimeCount = 7 * 60 + 5;
  Draw();
  EXPECT_EQ(ScreenPixel(622, 332), DrawnGlyph(9));
  EXPECT_EQ(ScreenPixel(609, 332), 0);
  EXPECT_EQ(ScreenPixel(588, 256), DrawnGlyph(0));
  EXPECT_EQ(ScreenPixel(608, 256), DrawnGlyph(7));
  EXPECT_EQ(ScreenPixel(644, 256), DrawnGlyph(0));
  EXPECT_EQ(ScreenPixel(664, 256), DrawnGlyph(5));

  state.TargetCount = 10;
  state.TimeCount = 6000;  // 100 minutes: the last two characters of "0100"
  Draw();
  EXPECT_EQ(ScreenPixel(609, 332), DrawnGlyph(1));
  EXPECT_EQ(ScreenPixel(635, 332), DrawnGlyph(0));
  EXPECT_EQ(ScreenPixel(608, 256), DrawnGlyph(0));
  EXPECT_EQ(ScreenPixel(588, 256), DrawnGlyph(0));
  EXPECT_EQ(ScreenPixel(664, 256), DrawnGlyph(0));
}

TEST_F(SceneTest, ScoreStageAndDifficultyCounters) {
  const SkinLayout& layout = skin.Layout;
  state.Score = 250;
  state.Difficulty = 2;
  player.HiScore[2] = 7;
  state.Stage = 8;
  Draw();
  const int32_t x = layout.ShowScoreX, y = layout.ShowScoreY;
  EXPECT_EQ(ScreenPixel(x, y - 38), DrawnGlyph(7));
  EXPECT_EQ(ScreenPixel(x, y), DrawnGlyph(2));
  EXPECT_EQ(ScreenPixel(x + 20, y), DrawnGlyph(5));
  EXPECT_EQ(ScreenPixel(x + 40, y), DrawnGlyph(0));
  EXPECT_EQ(ScreenPixel(x, y + 38), DrawnGlyph(2)) << "difficulty glyph";
  EXPECT_EQ(ScreenPixel(layout.ShowStageX, layout.ShowStageY), DrawnGlyph(9));

  state.Stage = 9;
  ClearScreen();
  Draw();
  EXPECT_EQ(ScreenPixel(layout.ShowStageX - 13, layout.ShowStageY), DrawnGlyph(1));
  EXPECT_EQ(ScreenPixel(layout.ShowStageX + 13, layout.ShowStageY), DrawnGlyph(0));
}

TEST_F(SceneTest, CheckBoxesAndVolumeBars) {
  const SkinLayout& layout = skin.Layout;
  player.CheckState[0] = 0;
  player.CheckState[1] = 1;
  player.VolumeLevel[0] = 0;
  player.VolumeLevel[1] = 50;
  Draw();
  EXPECT_EQ(ScreenPixel(layout.CheckX[0], layout.CheckY[0]), Drawn(skin.CheckImages[0].Pixels()[0]));
  EXPECT_EQ(ScreenPixel(layout.CheckX[1], layout.CheckY[1]), Drawn(skin.CheckImages[1].Pixels()[0]));
  // The bar shows level + 2 pixels, rounded down to whole groups of four.
  const int32_t x = layout.VolX[0];
  EXPECT_NE(ScreenPixel(layout.VolX[1] + 47, layout.VolY[1]), 0);
  EXPECT_EQ(ScreenPixel(layout.VolX[1] + 52, layout.VolY[1]), 0);
  EXPECT_EQ(ScreenPixel(x, layout.VolY[0]), 0) << "level 0 shows two pixels, less than a group";

  player.CheckState[0] = 2;
  EXPECT_THROW(Draw(), RuntimeError);
}

TEST_F(SceneTest, ConfirmationButtonsFollowThePanel) {
  auto states = [this] {
    std::vector<int32_t> result;
    for (int32_t i = 5; i <= 8; ++i) result.push_back(state.Buttons[static_cast<size_t>(i)].State);
    return result;
  };
  auto shown = [this] {
    std::vector<bool> result;
    for (int32_t i = 5; i <= 8; ++i) result.push_back(ButtonShownThisFrame(state, i));
    return result;
  };
  state.PlayState = 1000;
  EXPECT_EQ(shown(), (std::vector<bool>{true, true, false, false})) << "the frame shows them at once";
  DrawAndAnimate();
  EXPECT_EQ(states(), (std::vector<int32_t>{-1, -1, 0, 0}));
  state.PlayState = 2003;
  DrawAndAnimate();
  EXPECT_EQ(states(), (std::vector<int32_t>{0, 0, -1, -1}));
  state.PlayState = 3000;
  DrawAndAnimate();
  EXPECT_EQ(states(), (std::vector<int32_t>{0, 0, 0, 0}));
  EXPECT_EQ(state.Buttons[4].State, -1) << "the other buttons are left alone";
}

TEST_F(SceneTest, PanelsAreCentredAndTheStatePanelsSway) {
  const ImageCatalogue& images = skin.Images;
  const int32_t centreX = (724 - PanelWidth) / 2, centreY = (544 - PanelHeight) / 2;
  state.PlayState = 2000;
  Draw();
  EXPECT_EQ(ScreenPixel(centreX, centreY), Drawn(images.ExitImages[0].Pixels()[0]));
  EXPECT_EQ(ScreenPixel(centreX + PanelWidth, centreY), 0);

  // At T = 2: |sin 1.6| x 56 rounds to 56, |cos 1.2| x 32 to 12.
  timeOfDay = 2.0;
  state.PlayState = PlayPaused;
  Draw();
  const int32_t x = centreX + 56 - 28, y = centreY + 12 - 16;
  EXPECT_EQ(ScreenPixel(x, y), Drawn(images.PauseImages[0].Pixels()[0]));
  EXPECT_EQ(ScreenPixel(x + PanelWidth - 1, y + PanelHeight - 1), Drawn(images.PauseImages[0].Pixels()[0]));
  EXPECT_NE(ScreenPixel(x - 1, y), Drawn(images.PauseImages[0].Pixels()[0]));

  state.PlayState = 3000;
  Draw();
  EXPECT_EQ(ScreenPixel(228, 90), images.HelpImage.Pixels()[0]) << "the help page is opaque";
  EXPECT_EQ(ScreenPixel(267, 129), images.HelpImage.Pixels()[0]);
}

TEST_F(SceneTest, CharacterMoodsAndTheCharacterThatLeaves) {
  // Gone: frames 0 to 6, then -1 and never drawn or animated again.
  state.TargetMood[1][0] = 0;
  state.TargetMood[1][1] = 2;
  std::vector<int32_t> frames;
  for (int32_t tick = 0; tick <= 40; tick += 5) {
    state.Tick = tick;
    ClearScreen();
    DrawAndAnimate();
    frames.push_back(state.TargetMood[1][0]);
  }
  EXPECT_EQ(frames, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, -1, -1, -1}));
  EXPECT_EQ(ScreenPixel(580, 445), 0);
  EXPECT_NE(ScreenPixel(540, 380), 0) << "the others go on";

  // Hit: back to idle while targets of its colour remain, else gone; only every fifth tick.
  state.TargetMood[0][0] = 11;
  state.TargetMood[0][1] = 1;
  state.Tick = 7;
  ClearScreen();
  DrawAndAnimate();
  EXPECT_EQ(state.TargetMood[0][0], 11);
  EXPECT_EQ(ScreenPixel(540, 380), Drawn(FigureCellColour(11, 1)));
  state.Board[3][3] = BoardCell{0, 5, 0};
  state.Tick = 10;
  Animate();
  EXPECT_EQ(state.TargetMood[0][0], 0);
  EXPECT_EQ(state.TargetMood[0][1], 0);
  state.TargetMood[0][0] = 11;
  state.TargetMood[0][1] = 1;
  state.Board[3][3] = BoardCell{};
  Animate();
  EXPECT_EQ(state.TargetMood[0][1], 2);

  // Idle and laughing loop over six frames.
  state.TargetMood[2][0] = 5;
  state.TargetMood[2][1] = 3;
  Animate();
  EXPECT_EQ(state.TargetMood[2][0], 0);
}

TEST_F(SceneTest, CountTargetsOfColourCountsOnlyTargets) {
  state.Board[0][0] = BoardCell{1, 5, 0};
  state.Board[7][12] = BoardCell{1, 5, 0};
  state.Board[3][3] = BoardCell{1, 4, 0};
  state.Board[4][4] = BoardCell{11, 5, 0};
  state.Board[5][5] = BoardCell{2, 5, 0};
  EXPECT_EQ(CountTargetsOfColour(state, 1), 2);
  EXPECT_EQ(CountTargetsOfColour(state, 2), 1);
  EXPECT_EQ(CountTargetsOfColour(state, 0), 0);
}

TEST_F(SceneTest, FigureModesAndTheNextPair) {
  // Idle: a gesture step every sixth tick in the first 25 of every 100.
  state.Tick = 6;
  Animate();
  EXPECT_EQ(state.AngelState[0], 1);
  state.Tick = 30;
  Animate();
  EXPECT_EQ(state.AngelState[0], 1);
  state.AngelState[0] = 3;
  state.Tick = 24;
  Animate();
  EXPECT_EQ(state.AngelState[0], 0);

  // Throw: two steps, then back to idle.
  state.AngelState[0] = 1;
  state.AngelState[1] = 1;
  state.Tick = 8;
  Animate();
  EXPECT_EQ(state.AngelState[0], 0);
  EXPECT_EQ(state.AngelState[1], 0);

  // Cheer loops over five frames, the game-over look over six.
  state.AngelState[0] = 4;
  state.AngelState[1] = 2;
  state.Tick = 5;
  Animate();
  EXPECT_EQ(state.AngelState[0], 0);
  state.AngelState[0] = 5;
  state.AngelState[1] = 3;
  state.Tick = 12;
  Animate();
  EXPECT_EQ(state.AngelState[0], 0);

  // At T = 2 the figure floats round(|cos 1.8| x 32) = 7 right and round(|sin 1.6| x 24) = 24 down;
  // the next pair sits 16 right and 96 down from it, only in idle mode while the game runs.
  // The picture shows the figure as the frame's step leaves it.
  timeOfDay = 2.0;
  state.AngelState[0] = 2;
  state.AngelState[1] = 2;
  state.NextPair.Cells[0][0] = BoardCell{2, 2, 0};
  state.Tick = 1;
  ClearScreen();
  Draw();
  const int32_t px = 456 + 7, py = -20 + 24;
  EXPECT_EQ(ScreenPixel(px, py), Drawn(FigureCellColour(2, 2)));
  EXPECT_EQ(ScreenPixel(px + 16, py + 96), 0);
  state.AngelState[1] = 1;
  state.AngelState[0] = 1;
  state.Tick = 4;  // the throw's last step: the frame shows it idle, with the next pair
  Draw();
  EXPECT_EQ(ScreenPixel(px, py), Drawn(FigureCellColour(0, 0)));
  EXPECT_EQ(ScreenPixel(px + 16, py + 96), Drawn(PieceCellColour(2, 2, 0)));
  ClearScreen();
  state.PlayState = PlayStageClear;
  Draw();
  EXPECT_EQ(ScreenPixel(px + 16, py + 96), 0);
}

TEST_F(SceneTest, TitleBackgroundScrollsAndWraps) {
  state.GameMode = ModeTitle;
  const Surface& back = skin.Images.TitleBackImage;
  auto backPixel = [&back](int32_t x, int32_t y) { return back.Pixels()[y * (back.Pitch() / 2) + x]; };
  state.Tick = 2000;
  const int32_t dx = 560, dy = 380;  // 2000 mod 720, 2000 mod 540
  Draw();
  for (auto [x, y] : {std::pair{0, 0}, std::pair{dx, dy}, std::pair{dx - 1, dy}, std::pair{719, 539},
                      std::pair{dx + 3, dy - 1}, std::pair{dx - 2, 539}}) {
    EXPECT_EQ(ScreenPixel(x, y), backPixel((x - dx + 720) % 720, (y - dy + 540) % 540)) << x << "," << y;
  }
}

TEST_F(SceneTest, StageSelectionDarkensLockedSlotsAndMusic) {
  state.GameMode = ModeStageSelect;
  skin.Images.TitleBackImage = MakeSolid(720, 540, 0);
  skin.Images.AngelImages[1] = MakeSolid(6 * AngelCell, 4 * AngelCell, 0);  // the figure would cover music 3 and 4
  const uint16_t panel = Rgb(30, 30, 30);                                   // white through a full mask
  const uint16_t darkened = Rgb(15, 15, 15);                                // half of it, at 128 of 255
  for (int32_t maxStage : {0, 7, 20}) {
    player.UserMaxStage = maxStage;
    Draw();
    for (int32_t i = 0; i < 20; ++i) {
      const uint16_t expected = i >= maxStage ? darkened : panel;
      EXPECT_EQ(ScreenPixel(319 + 14 * i, 110), expected) << "stage " << i << " of " << maxStage;
      EXPECT_EQ(ScreenPixel(319 + 14 * i + 7, 124), expected);
      EXPECT_EQ(ScreenPixel(319 + 14 * i + 8, 110), panel) << "only 8 of the 10 columns are darkened";
    }
  }
  // UserMaxStage 7 opens music 0 and 1; the chosen one is bright, the others at half level,
  // where the full mask passes 15 of 32 parts of the sheet (4 or 24, 2 + 4k, 0) over the panel.
  state.MusicChoice = 1;
  player.UserMaxStage = 7;
  Draw();
  const uint16_t music[5] = {Rgb(17, 16, 15), Rgb(4, 6, 0), Rgb(27, 20, 15), Rgb(27, 22, 15), Rgb(27, 24, 15)};
  for (int32_t k = 0; k < 5; ++k) EXPECT_EQ(ScreenPixel(250 + 78 * k, 250), music[k]) << k;
  // Difficulty icons at half level but the chosen one: glyph 0 is (1, 31, 9), glyph 2 (7, 27, 9).
  state.Difficulty = 2;
  Draw();
  EXPECT_EQ(ScreenPixel(268, 172), Rgb(16, 30, 20));
  EXPECT_EQ(ScreenPixel(268 + 128, 172 + 35), Rgb(7, 27, 9));
}

TEST_F(SceneTest, StageSelectionNumberAndMarker) {
  state.GameMode = ModeStageSelect;
  skin.Images.TitleBackImage = MakeSolid(720, 540, 0);
  const uint16_t panel = Rgb(30, 30, 30);
  state.Stage = 8;
  Draw();
  EXPECT_EQ(ScreenPixel(224, 94), FullyDrawn(GlyphColour(9), panel));
  EXPECT_EQ(ScreenPixel(316 + 14 * 8, 86), Rgb(30, 0, 0));
  state.Stage = 9;
  Draw();
  EXPECT_EQ(ScreenPixel(211, 94), FullyDrawn(GlyphColour(1), panel));
  EXPECT_EQ(ScreenPixel(237, 94), Rgb(1, 30, 9));
}

TEST_F(SceneTest, TheFocusedStageSelectionRowIsFramedAndBouncesItsChoice) {
  state.GameMode = ModeStageSelect;
  skin.Images.TitleBackImage = MakeSolid(720, 540, 0);
  const uint16_t panel = Rgb(30, 30, 30);
  const uint16_t marker = Rgb(30, 0, 0);
  const uint16_t hard = Rgb(7, 27, 9);
  const uint16_t navy = Rgb(3, 4, 12);
  const int32_t stageFrameX = 317 - 8, difficultyFrameX = 268 - 8;
  state.Stage = 3;
  state.Difficulty = 2;
  const int32_t markerX = 316 + 14 * 3, hardX = 268 + 128;
  Draw();
  EXPECT_EQ(ScreenPixel(stageFrameX, 110), panel) << "no frame while the focus is hidden";
  MenuKey(game, KeyCode::Down);  // the first key shows the focus, on the stage bar: no start button here
  for (auto [tick, lift] : {std::pair{0, 0}, std::pair{6, 4}, std::pair{12, 6}, std::pair{21, 2}, std::pair{24, 0}}) {
    state.Tick = tick;
    Draw();
    EXPECT_EQ(ScreenPixel(markerX, 86 - lift), marker) << "tick " << tick;
    EXPECT_EQ(ScreenPixel(markerX, 90 - lift), panel) << "tick " << tick;
    EXPECT_EQ(ScreenPixel(hardX, 172), hard) << "the unfocused rows keep still";
  }
  EXPECT_EQ(ScreenPixel(stageFrameX, 110), navy);
  EXPECT_EQ(ScreenPixel(difficultyFrameX, 190), panel);
  MenuKey(game, KeyCode::Down);  // the difficulty row
  state.Tick = 12;
  Draw();
  EXPECT_EQ(ScreenPixel(stageFrameX, 110), panel);
  EXPECT_EQ(ScreenPixel(difficultyFrameX, 190), navy);
  EXPECT_EQ(ScreenPixel(markerX, 86), marker);
  EXPECT_EQ(ScreenPixel(hardX, 166), hard);
  EXPECT_EQ(ScreenPixel(hardX, 166 + 36), panel);
  EXPECT_EQ(ScreenPixel(268, 172), Rgb(16, 30, 20)) << "only the choice moves";
}

// The old picture goes in fifteen steps, from 248 of 255 down by 16 to 24: white over black
// keeps 30 of its 31 steps, then two fewer each frame, down to 2.
TEST_F(SceneTest, CrossFadeRunsFifteenStepsFrom248To24) {
  fade = MakeSolid(724, 544, Rgb(31, 31, 31));
  state.FadeStep = 1;
  std::vector<uint16_t> drawn, expected;
  for (int32_t channel = 30; channel >= 2; channel -= 2) {
    ClearScreen();
    DrawFadeStep(Screen(), fade, state.FadeStep);
    Animate();
    drawn.push_back(ScreenPixel(100, 100));
    expected.push_back(Rgb(channel, channel, channel));
  }
  EXPECT_EQ(drawn, expected);
  EXPECT_EQ(state.FadeStep, 0);
}

// A frame nobody sees may skip its pixel work, and the frame drawn after it must not show
// anything of the pixels it left behind. The drawing itself changes no state at all.
TEST_F(SceneTest, SkippedFramesLeaveThePixelsAndRedrawsLeaveNothingOld) {
  skin.Images.TitleBackImage = MakeSurface(720, 540, [](int32_t x, int32_t y) { return Rgb(x % 32, y % 32, 7); });
  state.Buttons[0] = ScreenButton{0, 10, 5, 30, 10, 30, -1};
  state.Mouse.X = state.Mouse.Y = 20;  // over the button
  state.ScorePopups[0] = ScorePopup{"70", 2, 300, 200, 3, true};
  state.PlayState = PlayPaused;
  Surface& screen = Screen();
  const size_t words = static_cast<size_t>(screen.Pitch() / 2) * static_cast<size_t>(screen.Height());
  for (int32_t mode : {ModeTitle, ModeStageSelect, ModePlay}) {
    state.GameMode = mode;
    state.Tick = 100;
    ASSERT_TRUE(FrameRedrawsEverything(state, skin.Images, screen, state.Tick)) << mode;
    ClearScreen();
    Draw();
    const std::vector<uint16_t> drawn(screen.Pixels(), screen.Pixels() + words);
    EXPECT_EQ(state.ScorePopups[0].Age, 3);
    EXPECT_EQ(state.Buttons[0].Alpha, 5);
    EXPECT_EQ(state.Mouse.Style, 0);

    std::fill(screen.Pixels(), screen.Pixels() + words, Rgb(31, 0, 31));
    const uint16_t old = ScreenPixel(0, 0);
    screen.SkipDrawing(true);
    Draw();
    screen.SkipDrawing(false);
    EXPECT_EQ(ScreenPixel(0, 0), old) << "a skipped frame leaves the pixels";

    Draw();
    const auto differs = std::mismatch(drawn.begin(), drawn.end(), screen.Pixels());
    EXPECT_EQ(differs.first, drawn.end()) << "mode " << mode << " offset " << (differs.first - drawn.begin());
  }
  // The title's tiles miss the margin while their offset is below 4; a title background smaller
  // than the screen leaves gaps.
  state.GameMode = ModeTitle;
  EXPECT_FALSE(FrameRedrawsEverything(state, skin.Images, screen, 720 * 3 + 3));
  EXPECT_FALSE(FrameRedrawsEverything(state, skin.Images, screen, 540 * 5 + 2));
  EXPECT_TRUE(FrameRedrawsEverything(state, skin.Images, screen, 540 * 5 + 4));
  skin.Images.TitleBackImage = MakeSolid(720, 539, 0);
  EXPECT_FALSE(FrameRedrawsEverything(state, skin.Images, screen, 100));
}

// Frames drawn only where their drawing changed must equal frames drawn whole, and outside
// the areas the presenter is told of, a frame must equal the one before it.
class FrameDrawingTest : public SceneTest {
 protected:
  // Draws the frame as the main window does: flips the buffers and notes the drawing; the
  // reference buffers get the same frame drawn at once.
  template <typename DrawFrameOnto>
  void DrawBoth(const DrawFrameOnto& draw, bool redrawsEverything, bool ended = true, bool skipped = false) {
    backIndex = 1 - backIndex;
    const int32_t index = backIndex;
    back[index].SkipDrawing(skipped);
    drawing_.Begin(back[index], redrawsEverything);
    draw(back[index]);
    drawing_.Finish(back, index, changes_[index], ended);
    back[index].SkipDrawing(false);
    reference_[index].SkipDrawing(skipped);
    draw(reference_[index]);
    reference_[index].SkipDrawing(false);
    ASSERT_EQ(FirstDifference(back[index], reference_[index], {}), -1) << "frame " << frame_;
    const FrameChanges& changes = changes_[index];
    if (changes.Known) {
      ASSERT_EQ(FirstDifference(back[index], back[1 - index], changes.Areas), -1) << "frame " << frame_;
      ++known_;
    }
    ++frame_;
  }
  // The first pixel outside `areas` where two surfaces of the same size differ, as
  // y * width + x; -1 when none does.
  static int32_t FirstDifference(const Surface& a, const Surface& b, const std::vector<ChangedArea>& areas) {
    std::vector<uint8_t> inside(static_cast<size_t>(a.Width()));
    for (int32_t y = 0; y < a.Height(); ++y) {
      std::fill(inside.begin(), inside.end(), 0);
      for (const ChangedArea& area : areas) {
        if (y >= area.Top && y < area.Bottom) std::fill(inside.begin() + area.Left, inside.begin() + area.Right, 1);
      }
      const uint16_t* rowA = a.Pixels() + y * (a.Pitch() / 2);
      const uint16_t* rowB = b.Pixels() + y * (b.Pitch() / 2);
      for (int32_t x = 0; x < a.Width(); ++x) {
        if (inside[static_cast<size_t>(x)] == 0 && rowA[x] != rowB[x]) return y * a.Width() + x;
      }
    }
    return -1;
  }
  void SetUp() override {
    SceneTest::SetUp();
    for (Surface& buffer : reference_) buffer.Create(724, 544);
  }
  FrameDrawing drawing_;
  FrameChanges changes_[2];
  Surface reference_[2];
  int32_t frame_ = 0, known_ = 0;
};

TEST_F(FrameDrawingTest, RandomDrawingOfEveryKind) {
  struct Sprite {
    int32_t kind, x, y, level;
  };
  std::mt19937 rng(11);
  const auto random = [&](int32_t below) { return static_cast<int32_t>(rng() % static_cast<uint32_t>(below)); };
  const Surface backdrop = MakeSurface(720, 540, [](int32_t x, int32_t y) { return Rgb(x % 32, y % 32, 9); });
  Surface image = MakeSurface(40, 30, [](int32_t x, int32_t y) { return x % 7 == 0 ? 0x7C1F : Rgb(y, x % 32, 20); });
  const Surface mask = MakeSurface(40, 30, [](int32_t x, int32_t y) { return Rgb(0, 0, (x + y) % 32); });
  std::vector<Sprite> sprites;
  const auto newSprite = [&] { return Sprite{random(10), random(760) - 20, random(580) - 20, random(256)}; };
  for (int32_t i = 0; i < 12; ++i) sprites.push_back(newSprite());
  int32_t backX = 0, backY = 0;
  for (int32_t frame = 0; frame < 300; ++frame) {
    const int32_t change = random(100);
    Sprite& sprite = sprites[static_cast<size_t>(random(static_cast<int32_t>(sprites.size())))];
    if (change < 40) {
      sprite.x += random(9) - 4;
      sprite.y += random(5) - 2;
    } else if (change < 50) {
      sprite.level = random(256);
    } else if (change < 55 && sprites.size() > 4) {
      sprites.erase(sprites.begin() + random(static_cast<int32_t>(sprites.size())));
    } else if (change < 60) {
      // One draw after the other: the order in which a call's arguments are worked out is the
      // compiler's, and differs between processors.
      const Sprite added = newSprite();
      sprites.insert(sprites.begin() + random(static_cast<int32_t>(sprites.size())), added);
    } else if (change < 63) {
      const int32_t top = random(40);
      image.DrawLine(top, 0, random(40), 29, 255, 0, 0);  // a picture drawn from changes
    } else if (change < 66) {
      backX = random(3) == 0 ? random(9) - 4 : 0;
      backY = random(3) == 0 ? random(9) - 4 : 0;
    } else if (change < 71) {
      back[backIndex].Clear();  // the next buffer but one, behind the drawing's back
      reference_[backIndex].Clear();
    }
    const int32_t how = random(100);  // mostly frames that paint every pixel anew
    const bool base = how >= 6, skip = how < 3, ended = how < 97;
    const size_t drawn = ended ? sprites.size() : sprites.size() / 2;
    DrawBoth(
        [&](Surface& screen) {
          if (base) {
            screen.FillAround(backdrop, backX, backY, 40, 40, 60);
            screen.CopyFrom(backdrop, backX, backY);
          }
          for (size_t i = 0; i < drawn; ++i) {
            const Sprite& s = sprites[i];
            switch (s.kind) {
              case 0:
                screen.CopyKeyedFrom(image, s.x, s.y, Rect{3, 2, 37, 25});
                break;
              case 1:
                screen.BlendFrom(image, static_cast<BlendStyle>(s.level % 3), s.x, s.y, static_cast<uint8_t>(s.level),
                                 0);
                break;
              case 2:
                screen.CopyKeyedFrom(image, s.x, s.y, Rect{0, 0, 40, 30});
                break;
              case 3:
                screen.BlendThroughMask(image, s.x, s.y, Rect{0, 4, 40, 30}, mask, s.level % 33);
                break;
              case 4:
                screen.DrawLine(s.x, s.y, s.x + s.level % 60 - 30, s.y + 40, 0, 255, 128);
                break;
              case 5:
                screen.CopyFrom(image, s.x, s.y);
                break;
              case 6:
                screen.BlendThroughMask(image, s.x, s.y, Rect{5, 5, 30, 20}, mask, s.level % 33);
                break;
              case 7:
                screen.BlendFrom(image, BlendStyle::Alpha, s.x, s.y, static_cast<uint8_t>(s.level), 1);  // no frame 1
                break;
              case 8:
                screen.FillAround(image, s.x, s.y, static_cast<uint8_t>(s.level), 0, 0);
                break;
              default:  // now and then, drawing that cannot wait: a clear, or a copy of the screen itself
                if (s.level < 8) {
                  screen.Clear();
                } else if (s.level < 16) {
                  screen.CopyKeyedFrom(screen, s.x, s.y, Rect{0, 0, 20, 20});
                } else {
                  screen.BlendFrom(image, BlendStyle::Additive, s.x, s.y, static_cast<uint8_t>(s.level), 0);
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
// and score pop-ups fading: whole frames, each drawn both ways, then animated.
TEST_F(FrameDrawingTest, ThePlayScreen) {
  state.Buttons[0] = ScreenButton{0, 10, 5, 30, 10, 30, -1};
  for (int32_t frame = 0; frame < 200; ++frame) {
    timeOfDay = frame * 0.028;
    state.Tick = frame;
    state.Mouse.X = state.Mouse.Y = frame % 50 < 25 ? 20 : 400;
    if (frame % 40 == 0) state.ScorePopups[0] = ScorePopup{"120", 3, 300, 200 + frame / 10, 0, true};
    state.PlayState = frame % 100 < 60 ? PlayPaused : PlayRunning;
    if (frame == 130) state.TargetMood[1][0] = -1;  // a character leaves
    DrawBoth(
        [&](Surface& screen) {
          DrawFrame(Scene{state, player, skin, timeOfDay}, screen);
        },
        FrameRedrawsEverything(state, skin.Images, back[1 - backIndex], state.Tick));
    if (HasFatalFailure()) return;
    Animate();
  }
  EXPECT_GT(known_, 150);
}

TEST_F(SceneTest, UnknownModeDrawsNothing) {
  state.GameMode = 5;
  Draw();
  EXPECT_EQ(ScreenPixel(0, 0), 0);
  EXPECT_EQ(ScreenPixel(400, 300), 0);
}

}  // namespace

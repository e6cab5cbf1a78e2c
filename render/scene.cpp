// SPDX-License-Identifier: MIT
#include "render/scene.h"

#include <cmath>
#include <string>

#include "base/runtime.h"
#include "game/focus.h"
#include "game/frame.h"
#include "render/buttons.h"
#include "render/digits.h"
#include "render/sheet.h"
#include "render/text_screens.h"

namespace {

constexpr int32_t FullLevel = 32;

// The time of day at single precision, which drives the smooth sways.
double SwayTime(const Scene& scene) { return static_cast<float>(scene.TimeOfDay); }

// How far the chosen item of a stage-selection row is raised: the row with the keyboard's
// focus bounces its choice like a ball, up to 6 pixels every 24 frames, so the eye finds the
// row at once; the other rows keep their choice still.
int32_t ChosenLift(const GameState& state, FocusRow row) {
  if (FocusedRow(state) != row) return 0;
  const int32_t fromTop = CheckedMod(state.Tick, 24) - 12;
  return (144 - fromTop * fromTop) / 24;
}

// The frame round the focused control that is not a screen button: a row of the stage
// selection, with room for the bounce, or a switch or volume bar of the play screen. Two navy
// lines outside and a white one inside, the look of a focused button's ring, so that it shows
// on light panels and dark ones.
void FrameFocusedControl(Surface& screen, const GameState& state, const SkinLayout& layout) {
  const FocusStop stop = FocusedStop(state);
  const FocusRow row = stop.Row;
  if (row == FocusRow::None || row == FocusRow::BindingKey || row == FocusRow::BindingPad || row == FocusRow::Record)
    return;
  FocusArea area = FocusStopArea(state, layout, stop);
  const bool stageRow = row == FocusRow::StageBar || row == FocusRow::Difficulty || row == FocusRow::Music;
  // On the stage selection 8 pixels of room at the sides, 10 above for the bounce, 6 below.
  area.Left -= stageRow ? 8 : 4;
  area.Top -= stageRow ? 10 : 4;
  area.Right += stageRow ? 8 : 4;
  area.Bottom += stageRow ? 6 : 4;
  DrawFocusFrame(screen, area.Left, area.Top, area.Right, area.Bottom);
}

// The last two characters of "0" followed by the decimal value: 7 gives "07", 100 gives "00".
std::string TwoDigits(int32_t value) {
  std::string text = std::to_string(value);
  if (text.size() < 2) text.insert(text.begin(), '0');
  return text.substr(text.size() - 2);
}

const Surface& PieceSheet(const ImageCatalogue& images, int32_t colour) {
  return images.PieceImages[CheckIndex(colour, 0, 5)];
}
const Surface& PieceMask(const ImageCatalogue& images, int32_t colour) {
  return images.PieceImages[CheckIndex(CheckedAdd(colour, 3), 0, 5)];
}

// The sheet cell of a board cell: its joins for ordinary pieces, the blink or the game-over
// look for targets, one row lower and the vanish step's column while it vanishes.
void DrawBoardCell(Surface& screen, const Scene& scene, const BoardCell& cell, int32_t x, int32_t y) {
  int32_t column = 0;
  int32_t row = 0;
  if (cell.Link != LinkTarget) {
    column = cell.Link;
  } else if (scene.State.PlayState == PlayGameOver) {
    column = (cell.Phase / 2) % 4;
    row = 4;
  } else {
    row = 2;
    column = cell.Phase % 200 <= 15 ? (cell.Phase % 100) / 4 : 0;
  }
  int32_t colour = cell.Colour;
  if (colour >= 10) {
    column = colour / 10 - 1;
    row += 1;
    colour %= 10;
  }
  const ImageCatalogue& images = scene.Look.Images;
  DrawSheetCell(screen, PieceSheet(images, colour), PieceMask(images, colour), column, row, BoardCellSize,
                BoardCellSize, x, y, FullLevel);
}

void DrawCounters(Surface& screen, const Scene& scene) {
  const GameState& state = scene.State;
  const Skin& skin = scene.Look;
  const SkinLayout& layout = skin.Layout;
  const int32_t difficulty = CheckIndex(state.Difficulty, 0, 2);
  DrawDigits(screen, std::to_string(scene.Player.HiScore[difficulty]), layout.ShowScoreX,
             CheckedSub(layout.ShowScoreY, 38), skin.ScoreImages[0], skin.ScoreImages[1], 20, 10);
  DrawDigits(screen, std::to_string(state.Score), layout.ShowScoreX, layout.ShowScoreY, skin.ScoreImages[0],
             skin.ScoreImages[1], 20, 10);
  const int32_t stageX = state.Stage < 9 ? layout.ShowStageX : CheckedSub(layout.ShowStageX, 13);
  DrawDigits(screen, std::to_string(CheckedAdd(state.Stage, 1)), stageX, layout.ShowStageY, skin.StageImages[0],
             skin.StageImages[1], 26, 10);
  DrawDigits(screen, std::to_string(state.Difficulty), layout.ShowScoreX, CheckedAdd(layout.ShowScoreY, 38),
             skin.Images.DiffImages[0], skin.Images.DiffImages[1], 0, 3);
  DrawDigits(screen, std::to_string(state.TargetCount), state.TargetCount < 10 ? 622 : 609, 332, skin.StageImages[0],
             skin.StageImages[1], 26, 10);
  DrawDigits(screen, TwoDigits(CheckedDiv(state.TimeCount, 60)), 588, 256, skin.Images.TimeNumImages[0],
             skin.Images.TimeNumImages[1], 20, 10);
  DrawDigits(screen, TwoDigits(CheckedMod(state.TimeCount, 60)), 644, 256, skin.Images.TimeNumImages[0],
             skin.Images.TimeNumImages[1], 20, 10);
}

// The music and effects check boxes and volume bars; a bar shows VolumeLevel + 2 pixels.
void DrawAudioControls(Surface& screen, const Scene& scene) {
  const Skin& skin = scene.Look;
  for (int32_t i = 0; i < 2; ++i) {
    const int32_t state = scene.Player.CheckState[i];
    DrawThroughMask(screen, skin.CheckImages[CheckIndex(state, 0, 3)],
                    skin.CheckImages[CheckIndex(CheckedAdd(state, 2), 0, 3)], skin.Layout.CheckX[i],
                    skin.Layout.CheckY[i], FullLevel);
    screen.CopyKeyedFrom(skin.VolumeImage, skin.Layout.VolX[i], skin.Layout.VolY[i],
                         Rect{0, 0, CheckedAdd(scene.Player.VolumeLevel[i], 2), skin.VolumeImage.Height()});
  }
}

void ScrollTitleBackground(Surface& screen, const Scene& scene) {
  const Surface& back = scene.Look.Images.TitleBackImage;
  const int32_t x = CheckedMod(scene.State.Tick, LogicalWidth);
  const int32_t y = CheckedMod(scene.State.Tick, LogicalHeight);
  screen.CopyFrom(back, x, y);
  screen.CopyFrom(back, x, y - LogicalHeight);
  screen.CopyFrom(back, x - LogicalWidth, y);
  screen.CopyFrom(back, x - LogicalWidth, y - LogicalHeight);
}

void DrawPairBox(Surface& screen, const Scene& scene, const PairBox& box, int32_t x, int32_t y, int32_t level) {
  const ImageCatalogue& images = scene.Look.Images;
  for (int32_t i = 0; i < 2; ++i) {
    for (int32_t j = 0; j < 2; ++j) {
      const BoardCell& cell = box.Cells[i][j];
      if (cell.Colour < 0) continue;
      DrawSheetCell(screen, PieceSheet(images, cell.Colour), PieceMask(images, cell.Colour), cell.Link, 0,
                    BoardCellSize, BoardCellSize, CheckedAdd(x, BoardCellSize * i), CheckedAdd(y, BoardCellSize * j),
                    level);
    }
  }
}

// The figure, swaying; on the play screen it carries the next pair while it waits.
void DrawAngel(Surface& screen, const Scene& scene, int32_t x, int32_t y, bool showNext) {
  const AngelPose pose = AngelThisFrame(scene.State);
  const double t = SwayTime(scene);
  const int32_t px = RoundToInt(std::fabs(std::cos(t * 0.9)) * 32 + x);
  const int32_t py = CheckedAdd(RoundToInt(std::fabs(std::sin(t * 0.8)) * 24), y);
  const Surface& sheet = scene.Look.Images.AngelImages[0];
  DrawSheetCell(screen, sheet, scene.Look.Images.AngelImages[1], pose.Frame, pose.Mode, sheet.Width() / 6,
                sheet.Height() / 4, px, py, FullLevel);
  if (showNext && pose.Mode == 0 && scene.State.PlayState == PlayRunning) {
    DrawPairBox(screen, scene, scene.State.NextPair, CheckedAdd(px, 16), CheckedAdd(py, 96), FullLevel);
  }
}

void DrawBoard(Surface& screen, const Scene& scene) {
  const GameState& state = scene.State;
  for (int32_t column = 0; column < BoardColumns; ++column) {
    for (int32_t row = 0; row < BoardRows; ++row) {
      const BoardCell& cell = state.Board[column][row];
      if (cell.Colour >= 0) {
        DrawBoardCell(screen, scene, cell, BoardLeft + BoardCellSize * column, BoardTop + BoardCellSize * row);
      }
    }
  }
  if (state.PairActive) {
    const PairBox& pair = state.Pair;
    DrawPairBox(screen, scene, pair, CheckedAdd(BoardLeft, CheckedMul(BoardCellSize, pair.Column)),
                CheckedAdd(BoardTop, CheckedMul(BoardCellSize, pair.Row)), 28);
  }
}

// A target character of the colour in its mood's frame.
void DrawTargetChar(Surface& screen, const Scene& scene, int32_t x, int32_t y, int32_t colour) {
  const int32_t c = CheckIndex(colour, 0, 2);
  const ImageCatalogue& images = scene.Look.Images;
  const Surface& sheet = images.TargetCharImages[c];
  DrawSheetCell(screen, sheet, images.TargetCharImages[c + 3], scene.State.TargetMood[c][0],
                scene.State.TargetMood[c][1], sheet.Width() / 12, sheet.Height() / 4, x, y, FullLevel);
}

// A panel centred on the back buffer; the state panels sway.
void DrawOverlayPanel(Surface& screen, const Scene& scene, const Surface& image, const Surface& mask, bool wobble) {
  int32_t x = (screen.Width() - image.Width()) / 2;
  int32_t y = (screen.Height() - image.Height()) / 2;
  if (wobble) {
    const double t = SwayTime(scene);
    x = CheckedAdd(RoundToInt(std::fabs(std::sin(t * 0.8)) * 56), x - 28);
    y = CheckedAdd(RoundToInt(std::fabs(std::cos(t * 0.6)) * 32), y - 16);
  }
  DrawThroughMask(screen, image, mask, x, y, FullLevel);
}

void DrawTitleScreen(Surface& screen, const Scene& scene) {
  const ImageCatalogue& images = scene.Look.Images;
  ScrollTitleBackground(screen, scene);
  DrawThroughMask(screen, images.TitleLogoImages[0], images.TitleLogoImages[1], 80, 64, FullLevel);
  DrawAngel(screen, scene, 448, 240, false);
  DrawScreenButtons(screen, scene.State, scene.Look);
}

void DrawStageSelectScreen(Surface& screen, const Scene& scene) {
  const GameState& state = scene.State;
  const Skin& skin = scene.Look;
  const ImageCatalogue& images = skin.Images;
  ScrollTitleBackground(screen, scene);
  DrawThroughMask(screen, images.SelBackImages[0], images.SelBackImages[1], 0, 0, FullLevel);
  // Stages not yet opened are darkened.
  for (int32_t i = scene.Player.UserMaxStage; i < StageSlotCount; ++i) {
    screen.BlendFrom(images.ScratchSurface, BlendStyle::Alpha, CheckedAdd(StageSlotLeft, CheckedMul(StageSlotPitch, i)),
                     StageSlotTop, 128, 0);
  }
  FrameFocusedControl(screen, state, skin.Layout);
  DrawThroughMask(screen, images.SelPointImages[0], images.SelPointImages[1],
                  CheckedAdd(StagePointerLeft, CheckedMul(StageSlotPitch, state.Stage)),
                  StagePointerTop - ChosenLift(state, FocusRow::StageBar), FullLevel);
  DrawDigits(screen, std::to_string(CheckedAdd(state.Stage, 1)), state.Stage < 9 ? 224 : 211, 94, skin.StageImages[0],
             skin.StageImages[1], 26, 10);
  for (int32_t j = 0; j < 3; ++j) {
    const bool chosen = j == state.Difficulty;
    DrawSheetCell(screen, images.SelDiffImages[0], images.SelDiffImages[1], 0, j, DifficultyButtonSize,
                  DifficultyButtonSize, DifficultyButtonLeft + DifficultyButtonPitch * j,
                  DifficultyButtonTop - (chosen ? ChosenLift(state, FocusRow::Difficulty) : 0),
                  chosen ? FullLevel : 16);
  }
  // Music choices open one by one with every fourth stage cleared.
  const int32_t openMusic = scene.Player.UserMaxStage / 4;
  for (int32_t k = 0; k < 5; ++k) {
    const Surface& sheet = k > openMusic ? images.SelMusicImages[1] : images.SelMusicImages[0];
    const bool chosen = k == state.MusicChoice;
    DrawSheetCell(screen, sheet, images.SelMusicImages[2], 0, k, MusicButtonWidth, MusicButtonHeight,
                  MusicButtonLeft + MusicButtonPitch * k,
                  MusicButtonTop - (chosen ? ChosenLift(state, FocusRow::Music) : 0), chosen ? FullLevel : 16);
  }
  DrawAngel(screen, scene, 448, 240, false);
  DrawScreenButtons(screen, state, skin);
}

void DrawPlayScreen(Surface& screen, const Scene& scene) {
  const GameState& state = scene.State;
  const ImageCatalogue& images = scene.Look.Images;
  screen.FillAround(images.BackgroundImage, 0, 0, 30, 30, 40);
  screen.CopyFrom(images.BackgroundImage, 0, 0);
  DrawAngel(screen, scene, 456, -20, true);
  if (state.PlayState != PlayPaused && !PanelCoversBoard(state.PlayState)) DrawBoard(screen, scene);
  if (state.TargetMood[0][0] >= 0) DrawTargetChar(screen, scene, 540, 380, 0);
  if (state.TargetMood[1][0] >= 0) DrawTargetChar(screen, scene, 580, 445, 1);
  if (state.TargetMood[2][0] >= 0) DrawTargetChar(screen, scene, 620, 385, 2);
  DrawCounters(screen, scene);
  DrawAudioControls(screen, scene);
  FrameFocusedControl(screen, state, scene.Look.Layout);
  DrawScreenButtons(screen, state, scene.Look);
  DrawScorePopups(screen, state, scene.Look.MoveNumImages[0], scene.Look.MoveNumImages[1]);
}

}  // namespace

void DrawFrame(const Scene& scene, Surface& screen) {
  const GameState& state = scene.State;
  const ImageCatalogue& images = scene.Look.Images;
  switch (state.GameMode) {
    case ModeTitle:
      DrawTitleScreen(screen, scene);
      return;
    case ModeStageSelect:
      DrawStageSelectScreen(screen, scene);
      return;
    case ModePlay:
      break;
    case ModeControls:
      DrawControlsPage(screen, scene.State, scene.Player, scene.Look);
      return;
    case ModeHiScores:
      DrawHiScoresPage(screen, scene.State, scene.Player, scene.Look);
      return;
    default:
      return;
  }
  DrawPlayScreen(screen, scene);
  const int32_t playState = state.PlayState;
  if (playState == PlayPaused) {
    DrawOverlayPanel(screen, scene, images.PauseImages[0], images.PauseImages[1], true);
  } else if (playState == PlayGameOver) {
    DrawOverlayPanel(screen, scene, images.GameOverImages[0], images.GameOverImages[1], true);
  } else if (playState == PlayStageClear) {
    DrawOverlayPanel(screen, scene, images.NextStageImages[0], images.NextStageImages[1], true);
  } else if (OpenOverlay(playState) == OverlayNewGame) {
    DrawOverlayPanel(screen, scene, images.NewGameImages[0], images.NewGameImages[1], false);
  } else if (OpenOverlay(playState) == OverlayExit) {
    DrawOverlayPanel(screen, scene, images.ExitImages[0], images.ExitImages[1], false);
  } else if (OpenOverlay(playState) == OverlayHelp) {
    screen.CopyFrom(images.HelpImage, BoardLeft, BoardTop);
    DrawHelpBindings(screen, scene.Player, scene.Look, BoardLeft, BoardTop);
  }
  DrawPlayExtras(screen, scene.State, scene.Look);
}

bool FrameRedrawsEverything(const GameState& state, const ImageCatalogue& images, const Surface& screen, int32_t tick) {
  switch (state.GameMode) {
    case ModePlay:
      return true;
    case ModeTitle:
    case ModeStageSelect: {
      const Surface& back = images.TitleBackImage;
      if (back.FrameCount() < 1) return false;
      const FrameInfo frame = back.Frame(0);
      return frame.Left == 0 && frame.Top == 0 && frame.AnchorX == 0 && frame.AnchorY == 0 &&
             frame.Right >= LogicalWidth && frame.Bottom >= LogicalHeight &&
             CheckedMod(tick, LogicalWidth) >= screen.Width() - LogicalWidth &&
             CheckedMod(tick, LogicalHeight) >= screen.Height() - LogicalHeight;
    }
    default:
      return false;
  }
}

void DrawFadeStep(Surface& screen, const Surface& fade, int32_t fadeStep) {
  const int32_t level = CheckedSub(256, CheckedMul(8, fadeStep));
  if (level < 0 || level > 255) Raise(ErrorKind::Overflow, "cross-fade level " + std::to_string(level));
  screen.BlendFrom(fade, BlendStyle::Alpha, 0, 0, static_cast<uint8_t>(level), 0);
}

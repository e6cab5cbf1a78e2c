#include "render/scene.h"

#include <cmath>
#include <string>

#include "audio/audio.h"
#include "config/config.h"
#include "config/images.h"
#include "config/user_settings.h"
#include "game/focus.h"
#include "game/services.h"
#include "render/buttons.h"
#include "render/digits.h"
#include "render/sheet.h"
#include "shell/runtime.h"
#include "shell/shell_state.h"

namespace {

constexpr int32_t FullLevel = 32;

// The play-screen buttons that the confirmation panels show: 5 and 6 confirm a new game,
// 7 and 8 leaving to the title.
constexpr int32_t NewGameYesButton = 5;
constexpr int32_t ExitNoButton = 8;

// T: the time of day in seconds, at single precision, which drives the smooth sways.
double TimeOfDay() { return static_cast<float>(Services().SecondsOfDay()); }

// How far the chosen item of a stage-selection row is raised: the row with the keyboard's
// focus bounces its choice like a ball, up to 6 pixels every 24 frames, so the eye finds the
// row at once; the other rows keep their choice still.
int32_t ChosenLift(FocusRow row) {
  if (FocusedRow() != row) return 0;
  const int32_t fromTop = CheckedMod(Shell.GameTick, 24) - 12;
  return (144 - fromTop * fromTop) / 24;
}

// The frame round the stage-selection row with the keyboard's focus, with room for the
// bounce: two navy lines outside and a white one inside, the look of a focused button's ring,
// so that it shows on light panels and dark ones.
void FrameFocusedRow(CGDISurface& screen) {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  switch (FocusedRow()) {
    case FocusRow::StageBar:  // the bar and the pointer above and below it
      left = StageBarLeft;
      top = StagePointerTop;
      right = StageBarRight;
      bottom = StageBarBottom + 5;
      break;
    case FocusRow::Difficulty:  // the buttons and the words under them
      left = DifficultyButtonLeft;
      top = DifficultyButtonTop;
      right = DifficultyButtonLeft + 2 * DifficultyButtonPitch + DifficultyButtonSize;
      bottom = DifficultyButtonTop + DifficultyButtonSize + 12;
      break;
    case FocusRow::Music:
      left = MusicButtonLeft;
      top = MusicButtonTop;
      right = MusicButtonLeft + 4 * MusicButtonPitch + MusicButtonWidth;
      bottom = MusicButtonTop + MusicButtonHeight;
      break;
    case FocusRow::None:
      return;
  }
  // 8 pixels of room at the sides, 10 above for the bounce, 6 below
  left -= 8;
  top -= 10;
  right += 8;
  bottom += 6;
  for (int32_t i = 0; i < 3; ++i) {
    const uint8_t r = i < 2 ? 28 : 255, g = i < 2 ? 36 : 255, b = i < 2 ? 96 : 255;
    const int32_t corner = i == 0 ? 1 : 0;  // the outermost line leaves the corners out: rounder
    screen.DrawLine(left + i + corner, top + i, right - i - corner, top + i, r, g, b);
    screen.DrawLine(left + i + corner, bottom - i, right - i - corner, bottom - i, r, g, b);
    screen.DrawLine(left + i, top + i + corner, left + i, bottom - i - corner, r, g, b);
    screen.DrawLine(right - i, top + i + corner, right - i, bottom - i - corner, r, g, b);
  }
}

bool IsConfirmationOrHelp(int32_t playState) { return playState >= OverlayNewGame; }

// The last two characters of "0" followed by the decimal value: 7 gives "07", 100 gives "00".
std::string TwoDigits(int32_t value) {
  std::string text = std::to_string(value);
  if (text.size() < 2) text.insert(text.begin(), '0');
  return text.substr(text.size() - 2);
}

const CGDISurface& PieceSheet(int32_t colour) { return Images.PieceImages[CheckIndex(colour, 0, 5)]; }
const CGDISurface& PieceMask(int32_t colour) { return Images.PieceImages[CheckIndex(CheckedAdd(colour, 3), 0, 5)]; }

// The sheet cell of a board cell: its joins for ordinary pieces, the blink or the game-over
// look for targets, one row lower and the vanish step's column while it vanishes.
void DrawBoardCell(CGDISurface& screen, const BoardCell& cell, int32_t x, int32_t y) {
  int32_t column = 0;
  int32_t row = 0;
  if (cell.Link != 5) {
    column = cell.Link;
  } else if (Game.PlayState == PlayGameOver) {
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
  DrawSheetCell(screen, PieceSheet(colour), PieceMask(colour), column, row, BoardCellSize, BoardCellSize, x, y, FullLevel);
}

// The confirmation buttons follow the panel shown; a State is written only when it changes.
void SetButtonShown(int32_t index, bool shown) {
  if (index > Config.ScreenButtonMax || index >= static_cast<int32_t>(Config.ScreenButtons.size())) return;
  const int32_t state = shown ? -1 : 0;
  ScreenButton& button = Config.ScreenButtons[index];
  if (button.State != state) button.State = state;
}

void UpdateConfirmationButtons() {
  const int32_t playState = Game.PlayState;
  const bool newGamePanel = playState >= OverlayNewGame && playState < OverlayExit;
  const bool exitPanel = playState >= OverlayExit && playState < OverlayHelp;
  for (int32_t i = NewGameYesButton; i <= ExitNoButton; ++i) {
    SetButtonShown(i, i < NewGameYesButton + 2 ? newGamePanel : exitPanel);
  }
}

void DrawCounters() {
  const int32_t difficulty = CheckIndex(Game.Difficulty, 0, 2);
  DrawDigits(std::to_string(Game.HiScore[difficulty]), Config.ShowScoreX, CheckedSub(Config.ShowScoreY, 38),
             Config.ScoreImages[0], Config.ScoreImages[1], 20, 10);
  DrawDigits(std::to_string(Game.Score), Config.ShowScoreX, Config.ShowScoreY, Config.ScoreImages[0],
             Config.ScoreImages[1], 20, 10);
  const int32_t stageX = Game.Stage < 9 ? Config.ShowStageX : CheckedSub(Config.ShowStageX, 13);
  DrawDigits(std::to_string(CheckedAdd(Game.Stage, 1)), stageX, Config.ShowStageY, Config.StageImages[0],
             Config.StageImages[1], 26, 10);
  DrawDigits(std::to_string(Game.Difficulty), Config.ShowScoreX, CheckedAdd(Config.ShowScoreY, 38),
             Images.DiffImages[0], Images.DiffImages[1], 0, 3);
  DrawDigits(std::to_string(Game.TargetCount), Game.TargetCount < 10 ? 622 : 609, 332, Config.StageImages[0],
             Config.StageImages[1], 26, 10);
  DrawDigits(TwoDigits(CheckedDiv(Game.TimeCount, 60)), 588, 256, Images.TimeNumImages[0], Images.TimeNumImages[1],
             20, 10);
  DrawDigits(TwoDigits(CheckedMod(Game.TimeCount, 60)), 644, 256, Images.TimeNumImages[0], Images.TimeNumImages[1],
             20, 10);
}

// The music and effects check boxes and volume bars; a bar shows VolumeLevel + 2 pixels.
void DrawAudioControls(CGDISurface& screen) {
  for (int32_t i = 0; i < 2; ++i) {
    const int32_t state = Audio.CheckState[i];
    DrawThroughMask(screen, Config.CheckImages[CheckIndex(state, 0, 3)],
                    Config.CheckImages[CheckIndex(CheckedAdd(state, 2), 0, 3)], Config.CheckX[i], Config.CheckY[i],
                    FullLevel);
    screen.BltClip(Config.VolumeImage, Config.VolX[i], Config.VolY[i], 0, 0, Config.VolumeImage.Height(),
                   CheckedAdd(Audio.VolumeLevel[i], 2));
  }
}

// One animation step of a character, by its mood; a gone character's frame ends at -1.
void AdvanceTargetMood(int32_t colour) {
  int32_t& frame = Game.TargetMood[colour][0];
  int32_t& mood = Game.TargetMood[colour][1];
  switch (mood) {
    case 0:
    case 3:
      frame = CheckedAdd(frame, 1);
      if (frame >= 6) frame = 0;
      break;
    case 1:
      frame = CheckedAdd(frame, 1);
      if (frame >= 12) {
        frame = 0;
        mood = CountTargetsOfColour(colour) > 0 ? 0 : 2;
      }
      break;
    case 2:
      frame = CheckedAdd(frame, 1);
      if (frame >= 7) frame = -1;
      break;
    default:
      break;
  }
}

void AdvanceAngel() {
  int32_t& frame = Game.AngelState[0];
  int32_t& mode = Game.AngelState[1];
  const int32_t tick = Shell.GameTick;
  switch (mode) {
    case 0:
      if (CheckedMod(tick, 100) <= 24 && CheckedMod(tick, 6) == 0) frame = CheckedAdd(frame, 1);
      if (frame >= 4) frame = 0;
      break;
    case 1:
      if (CheckedMod(tick, 4) == 0) frame = CheckedAdd(frame, 1);
      if (frame >= 2) {
        frame = 0;
        mode = 0;
      }
      break;
    case 2:
      if (CheckedMod(tick, 5) == 0) frame = CheckedAdd(frame, 1);
      if (frame >= 5) frame = 0;
      break;
    case 3:
      if (CheckedMod(tick, 6) == 0) frame = CheckedAdd(frame, 1);
      if (frame >= 6) frame = 0;
      break;
    default:
      break;
  }
}

}  // namespace

void DrawFrame() {
  switch (Game.GameMode) {
    case ModeTitle:
      DrawTitleScreen();
      return;
    case ModeStageSelect:
      DrawStageSelectScreen();
      return;
    case ModePlay:
      break;
    default:
      return;
  }
  DrawPlayScreen();
  const int32_t playState = Game.PlayState;
  if (playState == PlayPaused) {
    DrawOverlayPanel(Images.PauseImages[0], Images.PauseImages[1], true);
  } else if (playState == PlayGameOver) {
    DrawOverlayPanel(Images.GameOverImages[0], Images.GameOverImages[1], true);
  } else if (playState == PlayStageClear) {
    DrawOverlayPanel(Images.NextStageImages[0], Images.NextStageImages[1], true);
  } else if (playState >= OverlayNewGame && playState < OverlayExit) {
    DrawOverlayPanel(Images.NewGameImages[0], Images.NewGameImages[1], false);
  } else if (playState >= OverlayExit && playState < OverlayHelp) {
    DrawOverlayPanel(Images.ExitImages[0], Images.ExitImages[1], false);
  } else if (playState >= OverlayHelp && playState < OverlayHelp + 1000) {
    ScreenSurface().FastBlt(Images.HelpImage, 228, 90);
  }
}

bool FrameRedrawsEverything(int32_t tick) {
  switch (Game.GameMode) {
    case ModePlay:
      return true;
    case ModeTitle:
    case ModeStageSelect: {
      const CGDISurface& back = Images.TitleBackImage;
      if (back.FrameCount() < 1) return false;
      FrameInfo frame;
      back.FrameRect(&frame, 0);
      const CGDISurface& screen = ScreenSurface();
      return frame.Left == 0 && frame.Top == 0 && frame.AnchorX == 0 && frame.AnchorY == 0 &&
             frame.Right >= LogicalWidth && frame.Bottom >= LogicalHeight &&
             CheckedMod(tick, LogicalWidth) >= screen.Width() - LogicalWidth &&
             CheckedMod(tick, LogicalHeight) >= screen.Height() - LogicalHeight;
    }
    default:
      return false;
  }
}

void ScrollTitleBackground() {
  CGDISurface& screen = ScreenSurface();
  const int32_t x = CheckedMod(Shell.GameTick, LogicalWidth);
  const int32_t y = CheckedMod(Shell.GameTick, LogicalHeight);
  screen.FastBlt(Images.TitleBackImage, x, y);
  screen.FastBlt(Images.TitleBackImage, x, y - LogicalHeight);
  screen.FastBlt(Images.TitleBackImage, x - LogicalWidth, y);
  screen.FastBlt(Images.TitleBackImage, x - LogicalWidth, y - LogicalHeight);
}

void DrawTitleScreen() {
  CGDISurface& screen = ScreenSurface();
  ScrollTitleBackground();
  DrawThroughMask(screen, Images.TitleLogoImages[0], Images.TitleLogoImages[1], 80, 64, FullLevel);
  DrawAngel(448, 240, false);
  DrawScreenButtons(screen);
}

void DrawStageSelectScreen() {
  CGDISurface& screen = ScreenSurface();
  ScrollTitleBackground();
  DrawThroughMask(screen, Images.SelBackImages[0], Images.SelBackImages[1], 0, 0, FullLevel);
  // Stages not yet opened are darkened.
  for (int32_t i = User.UserMaxStage; i < StageSlotCount; ++i) {
    screen.EffectBlt(Images.ScratchSurface, 0, CheckedAdd(StageSlotLeft, CheckedMul(StageSlotPitch, i)), StageSlotTop, 128, 0);
  }
  FrameFocusedRow(screen);
  DrawThroughMask(screen, Images.SelPointImages[0], Images.SelPointImages[1],
                  CheckedAdd(StagePointerLeft, CheckedMul(StageSlotPitch, Game.Stage)),
                  StagePointerTop - ChosenLift(FocusRow::StageBar), FullLevel);
  DrawDigits(std::to_string(CheckedAdd(Game.Stage, 1)), Game.Stage < 9 ? 224 : 211, 94, Config.StageImages[0],
             Config.StageImages[1], 26, 10);
  for (int32_t j = 0; j < 3; ++j) {
    const bool chosen = j == Game.Difficulty;
    DrawSheetCell(screen, Images.SelDiffImages[0], Images.SelDiffImages[1], 0, j, DifficultyButtonSize, DifficultyButtonSize,
                  DifficultyButtonLeft + DifficultyButtonPitch * j,
                  DifficultyButtonTop - (chosen ? ChosenLift(FocusRow::Difficulty) : 0), chosen ? FullLevel : 16);
  }
  // Music choices open one by one with every fourth stage cleared.
  const int32_t openMusic = User.UserMaxStage / 4;
  for (int32_t k = 0; k < 5; ++k) {
    const CGDISurface& sheet = k > openMusic ? Images.SelMusicImages[1] : Images.SelMusicImages[0];
    const bool chosen = k == Game.MusicChoice;
    DrawSheetCell(screen, sheet, Images.SelMusicImages[2], 0, k, MusicButtonWidth, MusicButtonHeight,
                  MusicButtonLeft + MusicButtonPitch * k, MusicButtonTop - (chosen ? ChosenLift(FocusRow::Music) : 0),
                  chosen ? FullLevel : 16);
  }
  DrawAngel(448, 240, false);
  DrawScreenButtons(screen);
}

void DrawPlayScreen() {
  CGDISurface& screen = ScreenSurface();
  screen.FillColorAround(Images.BackgroundImage, 0, 0, 30, 30, 40);
  screen.FastBlt(Images.BackgroundImage, 0, 0);
  DrawAngel(456, -20, true);
  if (Game.PlayState != PlayPaused && !IsConfirmationOrHelp(Game.PlayState)) DrawBoard();
  if (Game.TargetMood[0][0] >= 0) DrawTargetChar(540, 380, 0);
  if (Game.TargetMood[1][0] >= 0) DrawTargetChar(580, 445, 1);
  if (Game.TargetMood[2][0] >= 0) DrawTargetChar(620, 385, 2);
  DrawCounters();
  DrawAudioControls(screen);
  UpdateConfirmationButtons();
  DrawScreenButtons(screen);
  DrawScorePopups();
}

void DrawOverlayPanel(const CGDISurface& image, const CGDISurface& mask, bool wobble) {
  CGDISurface& screen = ScreenSurface();
  int32_t x = (screen.Width() - image.Width()) / 2;
  int32_t y = (screen.Height() - image.Height()) / 2;
  if (wobble) {
    const double t = TimeOfDay();
    x = CheckedAdd(RoundToInt(std::fabs(std::sin(t * 0.8)) * 56), x - 28);
    y = CheckedAdd(RoundToInt(std::fabs(std::cos(t * 0.6)) * 32), y - 16);
  }
  DrawThroughMask(screen, image, mask, x, y, FullLevel);
}

void DrawBoard() {
  CGDISurface& screen = ScreenSurface();
  for (int32_t column = 0; column < BoardColumns; ++column) {
    for (int32_t row = 0; row < BoardRows; ++row) {
      BoardCell& cell = Game.Board[column][row];
      if (cell.Colour >= 0) DrawBoardCell(screen, cell, BoardLeft + BoardCellSize * column, BoardTop + BoardCellSize * row);
      cell.Phase = CheckedAdd(cell.Phase, 1);
    }
  }
  if (Game.PairActive) {
    const PairBox& pair = Game.Pair;
    DrawPairBox(pair, CheckedAdd(BoardLeft, CheckedMul(BoardCellSize, pair.Column)),
                CheckedAdd(BoardTop, CheckedMul(BoardCellSize, pair.Row)), 28);
  }
}

void DrawPairBox(const PairBox& box, int32_t x, int32_t y, int32_t level) {
  CGDISurface& screen = ScreenSurface();
  for (int32_t i = 0; i < 2; ++i) {
    for (int32_t j = 0; j < 2; ++j) {
      const BoardCell& cell = box.Cells[i][j];
      if (cell.Colour < 0) continue;
      DrawSheetCell(screen, PieceSheet(cell.Colour), PieceMask(cell.Colour), cell.Link, 0, BoardCellSize, BoardCellSize,
                    CheckedAdd(x, BoardCellSize * i), CheckedAdd(y, BoardCellSize * j), level);
    }
  }
}

void DrawTargetChar(int32_t x, int32_t y, int32_t colour) {
  const int32_t c = CheckIndex(colour, 0, 2);
  const CGDISurface& sheet = Images.TargetCharImages[c];
  DrawSheetCell(ScreenSurface(), sheet, Images.TargetCharImages[c + 3], Game.TargetMood[c][0], Game.TargetMood[c][1],
                sheet.Width() / 12, sheet.Height() / 4, x, y, FullLevel);
  if (CheckedMod(Shell.GameTick, 5) == 0) AdvanceTargetMood(c);
}

int32_t CountTargetsOfColour(int32_t colour) {
  int32_t count = 0;
  for (const auto& column : Game.Board) {
    for (const BoardCell& cell : column) {
      if (cell.Colour == colour && cell.Link == 5) ++count;
    }
  }
  return count;
}

void DrawAngel(int32_t x, int32_t y, bool showNext) {
  AdvanceAngel();
  const double t = TimeOfDay();
  const int32_t px = RoundToInt(std::fabs(std::cos(t * 0.9)) * 32 + x);
  const int32_t py = CheckedAdd(RoundToInt(std::fabs(std::sin(t * 0.8)) * 24), y);
  const CGDISurface& sheet = Images.AngelImages[0];
  DrawSheetCell(ScreenSurface(), sheet, Images.AngelImages[1], Game.AngelState[0], Game.AngelState[1],
                sheet.Width() / 6, sheet.Height() / 4, px, py, FullLevel);
  if (showNext && Game.AngelState[1] == 0 && Game.PlayState == PlayRunning) {
    DrawPairBox(Game.NextPair, CheckedAdd(px, 16), CheckedAdd(py, 96), FullLevel);
  }
}

void DrawFadeStep() {
  const int32_t level = CheckedSub(256, CheckedMul(8, Shell.FadeStep));
  if (level < 0 || level > 255) Raise(ErrorKind::Overflow, "cross-fade level " + std::to_string(level));
  ScreenSurface().EffectBlt(Shell.FadeSurface, 0, 0, 0, static_cast<uint8_t>(level), 0);
  Shell.FadeStep = CheckedAdd(Shell.FadeStep, 2);
  if (Shell.FadeStep > 30) Shell.FadeStep = 0;
}

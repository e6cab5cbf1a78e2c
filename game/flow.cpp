#include "game/flow.h"

#include <algorithm>
#include <string>

#include "audio/audio.h"
#include "config/config.h"
#include "config/user_settings.h"
#include "game/board.h"
#include "game/game_state.h"
#include "game/services.h"
#include "shell/runtime.h"
#include "shell/shell_state.h"

namespace {

bool InOverlay(int32_t overlay) { return Game.PlayState >= overlay && Game.PlayState < overlay + 1000; }

void ShowStageSelect() {
  Game.GameMode = ModeStageSelect;
  Services().LoadButtons("SelectStageButton");
}

// "New game, yes": back to stage selection, which is silent.
void LeaveToStageSelect() {
  ShowStageSelect();
  StartCrossFade();
  Services().StopMusic();
}

// "Exit, yes": back to the title screen.
void LeaveToTitle() {
  StartCrossFade();
  Services().StopMusic();
  ShowTitle();
}

void OpenOverlay(int32_t overlay) {
  Game.PlayState = CheckedAdd(Game.PlayState, overlay);
  StartCrossFade();
}

void OpenWebLink() {
  const auto second = static_cast<int64_t>(Services().SecondsOfDay());
  const size_t text = second % 2 == 0 ? 1 : 2;
  if (text >= Config.Texts.size()) Raise(ErrorKind::SubscriptOutOfRange, "Texts(" + std::to_string(text) + ")");
  Services().OpenAddress(Config.Texts[text]);
}

// The skin's main.ini may set a floor for the high score of each difficulty. The key is
// optional: a missing value, text that is no number and a number beyond 32 bits all leave the
// high score as it is, so that a bad value never cuts a stage's set-up short.
void ApplyHiScoreFloor() {
  int32_t& best = Game.HiScore[CheckIndex(Game.Difficulty, 0, 2)];
  const std::string text = Shell.MainIni.GetIniKey("MainSettings", "Hi_Score" + std::to_string(Game.Difficulty));
  if (!IsNumeric(text)) return;
  int32_t floor = 0;
  try {
    floor = TextToInt(text);
  } catch (const RuntimeError&) {
    return;
  }
  if (floor > best) best = floor;
}

}  // namespace

void StartCrossFade() {
  Services().CaptureFadeSurface();
  Shell.FadeStep = 1;
}

void ButtonClick(int32_t index) {
  Services().PlaySound(SoundClick);
  switch (Game.GameMode) {
    case ModeTitle:
      TitleAction(index);
      break;
    case ModePlay:
      PlayAction(index);
      break;
    case ModeStageSelect:
      StageSelectAction(index);
      break;
  }
}

void TitleAction(int32_t index) {
  if (index == 1) {
    Services().CloseMainWindow();
  } else if (index == 2) {
    Services().OpenAddress(Config.AdUrl);
  } else {
    Game.Stage = User.UserDefStage;
    Game.Difficulty = User.UserDefDiff;
    Game.MusicChoice = User.UserDefMusic;
    ShowStageSelect();
    StartCrossFade();
  }
}

void StageSelectAction(int32_t index) {
  if (index != 0) return;
  Game.TimeCount = 0;
  User.UserDefStage = Game.Stage;
  User.UserDefDiff = Game.Difficulty;
  User.UserDefMusic = Game.MusicChoice;
  StartStage(Game.Stage, 0);
}

void PlayAction(int32_t index) {
  const int32_t state = Game.PlayState;
  switch (index) {
    case 0:  // new game
      if (state == PlayRunning || state == PlayStageClear) {
        OpenOverlay(OverlayNewGame);
      } else if (state == PlayGameOver) {
        LeaveToStageSelect();
      }
      break;
    case 1:  // pause and resume
      if (state == PlayRunning) {
        StartCrossFade();
        Game.PlayState = PlayPaused;
        Services().PauseMusic();
      } else if (state == PlayPaused) {
        StartCrossFade();
        Game.PlayState = PlayRunning;
        Services().PlayMusic();
      }
      break;
    case 2:  // help
      if (state < OverlayNewGame) {
        StartCrossFade();
        Game.PlayState = CheckedAdd(state, OverlayHelp);
      }
      break;
    case 3:  // exit
      if (state == PlayRunning || state == PlayStageClear) {
        OpenOverlay(OverlayExit);
      } else if (state == PlayGameOver) {
        LeaveToTitle();
      }
      break;
    case 4:
      OpenWebLink();
      break;
    // The confirmation buttons act only while their panel is open: a second release
    // before the next frame hides them must not close the panel twice.
    case 5:
      if (InOverlay(OverlayNewGame)) LeaveToStageSelect();
      break;
    case 6:
      if (InOverlay(OverlayNewGame)) Game.PlayState = state - OverlayNewGame;
      break;
    case 7:
      if (InOverlay(OverlayExit)) LeaveToTitle();
      break;
    case 8:
      if (InOverlay(OverlayExit)) Game.PlayState = state - OverlayExit;
      break;
    default:
      break;
  }
}

void ShowTitle() {
  Services().OpenMusic("sounds/titback.ogg");
  Services().PlayMusic();
  Services().LoadButtons("TitleButton");
  Game.GameMode = ModeTitle;
  Game.PlayState = PlayRunning;
  Game.AngelState[0] = 0;
  Game.AngelState[1] = 0;
}

void StartStage(int32_t stage, int32_t score) {
  Game.Stage = stage;
  Game.Score = score;

  Services().StopMusic();
  Services().OpenMusic("sounds/back" + std::to_string(Game.MusicChoice) + ".ogg");
  Services().PlayMusic();

  Game.GameMode = ModePlay;
  Game.PlayState = PlayRunning;
  Services().LoadButtons("GameButton");
  StartCrossFade();
  ApplyHiScoreFloor();

  PlaceTargets(stage);
  MakeNextPair();
  SpawnPair();
  Game.StageTick = -24;
  Game.DropInterval = std::max(CheckedSub(CheckedSub(24, CheckedDiv(stage, 2)), Game.Difficulty), 12);
  Game.SpeedBase = Game.TimeCount;
  for (auto& mood : Game.TargetMood) {
    mood[0] = 0;
    mood[1] = 0;
  }
  Game.AngelState[0] = 0;
  Game.AngelState[1] = 0;
  Services().PlaySound(SoundStageStart);
  if (Game.Stage == 0) Game.PlayState = CheckedAdd(Game.PlayState, OverlayHelp);
}

// SPDX-License-Identifier: MIT
#include "game/flow.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "audio/sound_effects.h"
#include "base/runtime.h"
#include "game/board.h"

namespace {

// The stage's board, pair, speed, music and buttons; StartStage undoes the screen change when it fails.
void SetUpStage(Game& game, int32_t stage, int32_t score);

void ShowStageSelect(Game& game) {
  game.State.GameMode = ModeStageSelect;
  game.State.Buttons = game.Services.LoadButtons("SelectStageButton");
}

// "New game, yes": back to stage selection, which is silent.
void LeaveToStageSelect(Game& game) {
  ShowStageSelect(game);
  StartCrossFade(game);
  game.Services.StopMusic();
}

// "Exit, yes": back to the title screen.
void LeaveToTitle(Game& game) {
  StartCrossFade(game);
  game.Services.StopMusic();
  ShowTitle(game);
}

void OpenPanel(Game& game, int32_t overlay) {
  game.State.PlayState = CheckedAdd(game.State.PlayState, overlay);
  StartCrossFade(game);
}

// True for an address that starts with http: or https: (in any case).
bool IsWebAddress(const std::string& address) {
  auto startsWith = [&](const std::string& scheme) {
    if (address.size() < scheme.size()) return false;
    for (size_t i = 0; i < scheme.size(); ++i) {
      if (std::tolower(static_cast<unsigned char>(address[i])) != scheme[i]) return false;
    }
    return true;
  };
  return startsWith("http:") || startsWith("https:");
}

// Addresses come from the skin, which may come from anyone: only a web address is opened, never
// a local file or a launcher. Any other is named on stderr by the key that holds it.
void OpenSkinAddress(Game& game, const std::string& address, const std::string& section, const std::string& key) {
  if (address.empty() || IsWebAddress(address)) {
    game.Services.OpenAddress(address);
  } else {
    std::fprintf(stderr, "%s is not an http: or https: address and is not opened\n",
                 MainIniKeyName(game.Layout.MainIni, section, key).c_str());
  }
}

void OpenWebLink(Game& game) {
  const auto second = static_cast<int64_t>(game.Services.SecondsOfDay());
  const size_t text = second % 2 == 0 ? 1 : 2;
  const std::vector<std::string>& texts = game.Layout.Texts;
  if (text >= texts.size()) Raise(ErrorKind::SubscriptOutOfRange, "Texts(" + std::to_string(text) + ")");
  OpenSkinAddress(game, texts[text], "Texts", "Text" + std::to_string(text));
}

// The skin's main.ini may set a floor for the high score of each difficulty. The key is
// optional: a missing value, text that is no number and a number beyond 32 bits all leave the
// high score as it is, so that a bad value never cuts a stage's set-up short.
void ApplyHiScoreFloor(Game& game) {
  const int32_t difficulty = game.State.Difficulty;
  int32_t& best = game.Player.HiScore[CheckIndex(difficulty, 0, 2)];
  const std::string text = game.Services.SkinValue("MainSettings", "Hi_Score" + std::to_string(difficulty));
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

void StartCrossFade(Game& game) {
  game.Services.CaptureFadeSurface();
  game.State.FadeStep = 1;
}

void ButtonClick(Game& game, int32_t index) {
  game.Services.PlaySound(SoundClick);
  switch (game.State.GameMode) {
    case ModeTitle:
      TitleAction(game, index);
      break;
    case ModePlay:
      PlayScreenAction(game, index);
      break;
    case ModeStageSelect:
      StageSelectAction(game, index);
      break;
    case ModeControls:
      ControlsAction(game, index);
      break;
    case ModeHiScores:
      HiScoresAction(game, index);
      break;
  }
}

void TitleAction(Game& game, int32_t index) {
  GameState& state = game.State;
  // The advertisement's entry is the last of the title's buttons, after the skin's own: in a
  // skin without the high scores and the controls it has the number of the high scores.
  const bool skinButton = index + 1 < static_cast<int32_t>(state.Buttons.size());
  if (index == TitleButton::Quit) {
    game.Services.CloseMainWindow();
  } else if (index == TitleButton::HiScores && skinButton) {
    ShowHiScores(game);
  } else if (index == TitleButton::Controls && skinButton) {
    ShowControlsPage(game);
  } else if (index != TitleButton::Start) {
    OpenSkinAddress(game, game.Layout.AdUrl, "ADPIC", game.Layout.AdUrlKey);
  } else {
    state.Stage = game.Player.UserDefStage;
    state.Difficulty = game.Player.UserDefDiff;
    state.MusicChoice = game.Player.UserDefMusic;
    ShowStageSelect(game);
    StartCrossFade(game);
  }
}

void StageSelectAction(Game& game, int32_t index) {
  GameState& state = game.State;
  if (index == StageSelectButton::HiScores && index + 1 < static_cast<int32_t>(state.Buttons.size())) {
    ShowHiScores(game);
    return;
  }
  if (index != StageSelectButton::Start) return;
  state.TimeCount = 0;
  game.Player.UserDefStage = state.Stage;
  game.Player.UserDefDiff = state.Difficulty;
  game.Player.UserDefMusic = state.MusicChoice;
  game.Services.GameBegins();
  StartStage(game, state.Stage, 0);
}

void PlayScreenAction(Game& game, int32_t index) {
  GameState& state = game.State;
  const int32_t playState = state.PlayState;
  switch (index) {
    case PlayButton::NewGame:
      if (playState == PlayRunning || playState == PlayStageClear) {
        OpenPanel(game, OverlayNewGame);
      } else if (playState == PlayGameOver) {
        LeaveToStageSelect(game);
      }
      break;
    case PlayButton::Pause:  // pause and resume
      if (playState == PlayRunning) {
        StartCrossFade(game);
        state.PlayState = PlayPaused;
        game.Services.PauseMusic();
      } else if (playState == PlayPaused) {
        StartCrossFade(game);
        state.PlayState = PlayRunning;
        game.Services.PlayMusic();
      }
      break;
    case PlayButton::Help:
      if (!PanelCoversBoard(playState)) {
        StartCrossFade(game);
        state.PlayState = CheckedAdd(playState, OverlayHelp);
      }
      break;
    case PlayButton::Exit:
      if (playState == PlayRunning || playState == PlayStageClear) {
        OpenPanel(game, OverlayExit);
      } else if (playState == PlayGameOver) {
        LeaveToTitle(game);
      }
      break;
    case PlayButton::Web:
      OpenWebLink(game);
      break;
    // The confirmation buttons act only while their panel is open: a second release
    // before the next frame hides them must not close the panel twice.
    case PlayButton::NewGameYes:
      if (OpenOverlay(playState) == OverlayNewGame) LeaveToStageSelect(game);
      break;
    case PlayButton::NewGameNo:
      if (OpenOverlay(playState) == OverlayNewGame) state.PlayState = playState - OverlayNewGame;
      break;
    case PlayButton::ExitYes:
      if (OpenOverlay(playState) == OverlayExit) LeaveToTitle(game);
      break;
    case PlayButton::ExitNo:
      if (OpenOverlay(playState) == OverlayExit) state.PlayState = playState - OverlayExit;
      break;
    case PlayButton::Controls:
      if (playState == PlayPaused) ShowControlsPage(game);
      break;
    default:
      break;
  }
}

void ShowTitle(Game& game) {
  GameState& state = game.State;
  game.Services.OpenMusic("sounds/titback.ogg");
  game.Services.PlayMusic();
  state.Buttons = game.Services.LoadButtons("TitleButton");
  state.GameMode = ModeTitle;
  state.PlayState = PlayRunning;
  state.AngelState[0] = 0;
  state.AngelState[1] = 0;
}

void ShowControlsPage(Game& game) {
  GameState& state = game.State;
  state.Controls = ControlsPageState{state.GameMode, false, {}};
  state.GameMode = ModeControls;
  state.Buttons = game.Services.LoadButtons("ControlsButton");
  StartCrossFade(game);
}

// Back where the page was opened: the title (its music plays on) or the pause panel.
void LeaveControlsPage(Game& game) {
  GameState& state = game.State;
  state.Controls.Waiting = false;
  StartCrossFade(game);
  if (state.Controls.ReturnMode == ModePlay) {
    state.GameMode = ModePlay;
    state.Buttons = game.Services.LoadButtons("GameButton");
  } else {
    state.GameMode = ModeTitle;
    state.Buttons = game.Services.LoadButtons("TitleButton");
  }
}

void ShowHiScores(Game& game) {
  GameState& state = game.State;
  state.HiScores.ReturnMode = state.GameMode;
  for (size_t item = 0; item < state.HiScores.Replayable.size(); ++item) {
    const auto table = static_cast<int32_t>(item / 8), rank = static_cast<int32_t>(item % 8);
    state.HiScores.Replayable[item] = game.Services.HasReplay(table, rank);
  }
  state.GameMode = ModeHiScores;
  state.Buttons = game.Services.LoadButtons("HiScoreButton");
  StartCrossFade(game);
}

void LeaveHiScores(Game& game) {
  GameState& state = game.State;
  state.HiScores.Message.clear();
  StartCrossFade(game);
  if (state.HiScores.ReturnMode == ModeStageSelect) {
    ShowStageSelect(game);
  } else {
    state.GameMode = ModeTitle;
    state.Buttons = game.Services.LoadButtons("TitleButton");
  }
}

void ControlsAction(Game& game, int32_t index) {
  if (index == ControlsButton::Back) {
    LeaveControlsPage(game);
  } else if (index == ControlsButton::Defaults) {
    game.Player.Bindings = DefaultBindings();
    game.State.Controls.Waiting = false;
    game.State.Controls.Message = "The keys and buttons of play are as they first were.";
  }
}

void HiScoresAction(Game& game, int32_t index) {
  if (index == HiScoreButton::Back) LeaveHiScores(game);
}

void BackToTitle(Game& game) {
  game.Services.PlaySound(SoundClick);
  LeaveToTitle(game);
}

void StartStage(Game& game, int32_t stage, int32_t score) {
  try {
    SetUpStage(game, stage, score);
  } catch (...) {
    // A stage that could not be set up is not played: its board may hold no targets yet and
    // would count as cleared. Back to the stage selection, and the error goes on.
    // ShowStageSelect changes the screen before it loads the buttons, so even its own error
    // leaves the stage selection; the first error is the one to report.
    game.Services.StopMusic();
    try {
      ShowStageSelect(game);
    } catch (const RuntimeError&) {
    }
    throw;
  }
}

namespace {

void SetUpStage(Game& game, int32_t stage, int32_t score) {
  GameState& state = game.State;
  state.Stage = stage;
  state.Score = score;

  game.Services.StopMusic();
  game.Services.OpenMusic("sounds/back" + std::to_string(state.MusicChoice) + ".ogg");
  game.Services.PlayMusic();

  state.GameMode = ModePlay;
  state.PlayState = PlayRunning;
  state.Buttons = game.Services.LoadButtons("GameButton");
  StartCrossFade(game);
  ApplyHiScoreFloor(game);

  PlaceTargets(state, stage);
  MakeNextPair(state);
  SpawnPair(state);
  state.StageTick = -24;
  state.DropInterval = std::max(CheckedSub(CheckedSub(24, CheckedDiv(stage, 2)), state.Difficulty), 12);
  state.SpeedBase = state.TimeCount;
  for (auto& mood : state.TargetMood) {
    mood[0] = 0;
    mood[1] = 0;
  }
  state.AngelState[0] = 0;
  state.AngelState[1] = 0;
  game.Services.PlaySound(SoundStageStart);
  if (state.Stage == 0) state.PlayState = CheckedAdd(state.PlayState, OverlayHelp);
}

}  // namespace

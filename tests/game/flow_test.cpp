// The screens, the play states and the button actions: every transition, with its sounds,
// music and cross-fade.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "audio/audio.h"
#include "config/config.h"
#include "config/user_settings.h"
#include "game/flow.h"
#include "game/game_test_support.h"
#include "game/input.h"
#include "shell/shell_state.h"

namespace {

using Log = std::vector<std::string>;

class FlowTest : public GameTest {
 protected:
  // Stage s of a running game, its start-up requests cleared from the log.
  void PlayStage(int32_t stage, int32_t score = 0) {
    StartStage(stage, score);
    Game.PlayState = PlayRunning;
    Shell.FadeStep = 0;
    services.TakeLog();
  }
  // A release of the left button on button i of the current screen.
  void Press(int32_t index) { Release(1, ButtonCentreX(index), ButtonCentreY(index)); }
  // A release of the left button where no control is.
  void ClickAway() { Release(1, 700, 530); }
};

TEST_F(FlowTest, TitleScreenStartsQuitsAndOpensTheAdvertisement) {
  ShowTitle();
  EXPECT_EQ(Game.GameMode, ModeTitle);
  EXPECT_EQ(Game.PlayState, PlayRunning);
  EXPECT_EQ(services.TakeLog(), (Log{"music open sounds/titback.ogg", "music play", "buttons TitleButton"}));

  Press(2);
  EXPECT_EQ(services.TakeLog(), (Log{"sound 0", "open https://ad.example/"}));
  EXPECT_EQ(Game.GameMode, ModeTitle);
  Press(1);
  EXPECT_EQ(services.TakeLog(), (Log{"sound 0", "close"}));

  // Any other button: the last choices come back; the title music keeps playing.
  User.UserDefStage = 4;
  User.UserDefDiff = 2;
  User.UserDefMusic = 3;
  Press(0);
  EXPECT_EQ(Game.GameMode, ModeStageSelect);
  EXPECT_EQ(Game.Stage, 4);
  EXPECT_EQ(Game.Difficulty, 2);
  EXPECT_EQ(Game.MusicChoice, 3);
  EXPECT_EQ(Shell.FadeStep, 1);
  EXPECT_EQ(services.TakeLog(), (Log{"sound 0", "buttons SelectStageButton"}));
}

TEST_F(FlowTest, StageSelectionStartsTheGameWithTheChoicesRemembered) {
  Game.GameMode = ModeStageSelect;
  Game.Stage = 5;
  Game.Difficulty = 1;
  Game.MusicChoice = 2;
  Game.TimeCount = 777;
  services.LoadButtons("SelectStageButton");
  services.TakeLog();
  Press(1);  // no action
  EXPECT_EQ(Game.GameMode, ModeStageSelect);
  Press(0);
  EXPECT_EQ(Game.GameMode, ModePlay);
  EXPECT_EQ(Game.PlayState, PlayRunning) << "no help picture after stage 0";
  EXPECT_EQ(User.UserDefStage, 5);
  EXPECT_EQ(User.UserDefDiff, 1);
  EXPECT_EQ(User.UserDefMusic, 2);
  EXPECT_EQ(Game.TimeCount, 0);
  EXPECT_EQ(Game.SpeedBase, 0);
  EXPECT_EQ(Game.Score, 0);
  EXPECT_EQ(Game.Stage, 5);
  EXPECT_EQ(Game.TargetQuota, 14);
  EXPECT_EQ(Game.StageTick, -24);
  EXPECT_EQ(Game.DropInterval, 24 - 2 - 1);
  EXPECT_TRUE(Game.PairActive);
  EXPECT_EQ(Game.Pair.Row, -2);
  EXPECT_EQ(Game.AngelState[1], 0) << "the pair-entered mode is cancelled";
  EXPECT_EQ(Shell.FadeStep, 1);
  EXPECT_EQ(services.TakeLog(), (Log{"sound 0", "sound 0", "music stop", "music open sounds/back2.ogg",
                                     "music play", "buttons GameButton", "sound 3"}));
}

TEST_F(FlowTest, FirstStageShowsHelpAndTheCountdownWaitsForIt) {
  StartStage(0, 0);
  EXPECT_EQ(Game.PlayState, OverlayHelp);
  Game.DropInterval = 10;
  Frames(100);
  EXPECT_EQ(Game.StageTick, -24);
  Shell.FadeStep = 0;
  ClickAway();
  EXPECT_EQ(Game.PlayState, PlayRunning);
  EXPECT_EQ(Shell.FadeStep, 1) << "the help picture cross-fades away";
  Frames(24 + 9);
  EXPECT_EQ(Game.Pair.Row, -2);
  Frame();
  EXPECT_EQ(Game.Pair.Row, -1) << "first timed step: 24 frames plus the drop interval";
}

TEST_F(FlowTest, PauseResumeAndHelpFromEveryState) {
  PlayStage(3);
  services.LoadButtons("GameButton");
  services.TakeLog();
  Press(1);
  EXPECT_EQ(Game.PlayState, PlayPaused);
  EXPECT_EQ(Shell.FadeStep, 1);
  EXPECT_EQ(services.TakeLog(), (Log{"sound 0", "music pause"}));
  Shell.FadeStep = 0;
  Press(1);
  EXPECT_EQ(Game.PlayState, PlayRunning);
  EXPECT_EQ(Shell.FadeStep, 1);
  EXPECT_EQ(services.TakeLog(), (Log{"sound 0", "music play"}));
  // Pause and resume by a click.
  Press(1);
  services.TakeLog();
  ClickAway();
  EXPECT_EQ(Game.PlayState, PlayRunning);
  EXPECT_EQ(services.TakeLog(), Log{"music play"});

  // Help opens over every state below 1000 and closes back to it.
  for (int32_t state : {0, 1, 2, 3}) {
    Game.PlayState = state;
    Shell.FadeStep = 0;
    Press(2);
    EXPECT_EQ(Game.PlayState, state + 3000);
    EXPECT_EQ(Shell.FadeStep, 1);
    // Pause and help do nothing over an overlay.
    Press(1);
    Press(2);
    EXPECT_EQ(Game.PlayState, state + 3000);
    ClickAway();
    EXPECT_EQ(Game.PlayState, state);
  }
  for (int32_t state : {1000, 1003, 2000, 2003}) {
    Game.PlayState = state;
    Press(1);
    Press(2);
    EXPECT_EQ(Game.PlayState, state);
    ClickAway();
    EXPECT_EQ(Game.PlayState, state) << "a click does not close a confirmation";
  }
  // Pause does nothing on the stage-clear or game-over picture either.
  for (int32_t state : {2, 3}) {
    Game.PlayState = state;
    PlayAction(1);
    EXPECT_EQ(Game.PlayState, state);
  }
}

TEST_F(FlowTest, ConfirmationsOpenOverRunningPlayAndStageClear) {
  PlayStage(3);
  services.LoadButtons("GameButton");
  for (int32_t base : {PlayRunning, PlayStageClear}) {
    Game.PlayState = base;
    Shell.FadeStep = 0;
    Press(0);
    EXPECT_EQ(Game.PlayState, base + OverlayNewGame);
    EXPECT_EQ(Shell.FadeStep, 1);
    Shell.FadeStep = 0;
    Press(6);
    EXPECT_EQ(Game.PlayState, base);
    EXPECT_EQ(Shell.FadeStep, 0) << "a confirmation closes without a cross-fade";
    Press(3);
    EXPECT_EQ(Game.PlayState, base + OverlayExit);
    Press(8);
    EXPECT_EQ(Game.PlayState, base);
  }
  // "No" on the stage-clear picture leaves it waiting for the click that continues.
  services.TakeLog();
  ClickAway();
  EXPECT_EQ(Game.Stage, 4);
  EXPECT_EQ(Game.PlayState, PlayRunning);
  // New game and exit do nothing while paused.
  Game.PlayState = PlayPaused;
  Press(0);
  Press(3);
  EXPECT_EQ(Game.PlayState, PlayPaused);
}

TEST_F(FlowTest, YesLeavesForStageSelectionOrTheTitle) {
  PlayStage(3);
  Game.PlayState = PlayRunning + OverlayNewGame;
  services.LoadButtons("GameButton");
  services.TakeLog();
  Press(5);
  EXPECT_EQ(Game.GameMode, ModeStageSelect);
  EXPECT_EQ(Shell.FadeStep, 1);
  EXPECT_EQ(services.TakeLog(), (Log{"sound 0", "buttons SelectStageButton", "music stop"}));

  PlayStage(3);
  Game.PlayState = PlayStageClear + OverlayExit;
  services.LoadButtons("GameButton");
  services.TakeLog();
  Press(7);
  EXPECT_EQ(Game.GameMode, ModeTitle);
  EXPECT_EQ(Game.PlayState, PlayRunning);
  EXPECT_EQ(Shell.FadeStep, 1);
  EXPECT_EQ(services.TakeLog(), (Log{"sound 0", "music stop", "music open sounds/titback.ogg", "music play",
                                     "buttons TitleButton"}));

  // On the game-over picture, new game and exit leave at once.
  PlayStage(3);
  Game.PlayState = PlayGameOver;
  services.LoadButtons("GameButton");
  Press(0);
  EXPECT_EQ(Game.GameMode, ModeStageSelect);
  PlayStage(3);
  Game.PlayState = PlayGameOver;
  services.LoadButtons("GameButton");
  Press(3);
  EXPECT_EQ(Game.GameMode, ModeTitle);
}

TEST_F(FlowTest, ConfirmationAnswersActOnlyWhileTheirPanelIsOpen) {
  // Two releases on "no" before the next frame hides the buttons (left and right together).
  PlayStage(3);
  services.LoadButtons("GameButton");
  struct Case {
    int32_t open, no;
  };
  for (const Case& c : {Case{0, 6}, Case{3, 8}}) {
    for (int32_t base : {PlayRunning, PlayStageClear}) {
      Game.PlayState = base;
      Press(c.open);
      Release(1, ButtonCentreX(c.no), ButtonCentreY(c.no));
      Release(2, ButtonCentreX(c.no), ButtonCentreY(c.no));
      EXPECT_EQ(Game.PlayState, base) << "button " << c.no << " over state " << base;
    }
  }

  // Right after a stage starts every button is shown until the first frame: releases where
  // "yes" and "no" sit do nothing but click.
  StartStage(3, 120);
  services.TakeLog();
  for (int32_t index : {5, 6, 7, 8}) Press(index);
  EXPECT_EQ(Game.GameMode, ModePlay);
  EXPECT_EQ(Game.PlayState, PlayRunning);
  EXPECT_EQ(Game.Stage, 3);
  EXPECT_EQ(services.TakeLog(), Log(4, "sound 0"));
  // The same over the other states: nothing changes without the matching panel.
  for (int32_t state : {1, 2, 3, 1000, 3000}) {
    Game.PlayState = state;
    PlayAction(7);
    PlayAction(8);
    EXPECT_EQ(Game.PlayState, state);
    EXPECT_EQ(Game.GameMode, ModePlay);
  }
  for (int32_t state : {1, 2, 3, 2000, 3000}) {
    Game.PlayState = state;
    PlayAction(5);
    PlayAction(6);
    EXPECT_EQ(Game.PlayState, state);
    EXPECT_EQ(Game.GameMode, ModePlay);
  }
}

TEST_F(FlowTest, WebLinkFollowsTheParityOfTheSecond) {
  PlayStage(2);
  services.Seconds = 3600.2;
  PlayAction(4);
  services.Seconds = 3601.9;
  PlayAction(4);
  EXPECT_EQ(services.TakeLog(), (Log{"open https://one.example/", "open https://two.example/"}));
}

TEST_F(FlowTest, NextStageCarriesTheScoreAndTheClock) {
  PlayStage(5, 0);
  Game.Score = 1230;
  Game.TimeCount = 95;
  Game.PlayState = PlayStageClear;
  ClickAway();
  EXPECT_EQ(Game.Stage, 6);
  EXPECT_EQ(Game.Score, 1230);
  EXPECT_EQ(Game.TimeCount, 95);
  EXPECT_EQ(Game.SpeedBase, 95);
  EXPECT_EQ(Game.PlayState, PlayRunning);
  EXPECT_EQ(Game.TargetQuota, 17);
  EXPECT_EQ(services.TakeLog(), (Log{"music stop", "music open sounds/back0.ogg", "music play",
                                     "buttons GameButton", "sound 3"}));
}

TEST_F(FlowTest, MainIniSetsAFloorUnderTheHighScore) {
  const auto path = std::filesystem::temp_directory_path() / ("kestrel_hiscore_" + std::to_string(::getpid()) + ".ini");
  {
    std::ofstream ini(path);
    ini << "[MainSettings]\nHi_Score0=abc\nHi_Score1=5000\nHi_Score2=99999999999\n";
  }
  Shell.MainIni.SetINIFileName(path.string());
  Game.HiScore[0] = 10;
  Game.HiScore[1] = 3000;
  Game.HiScore[2] = 20;
  for (int32_t difficulty = 0; difficulty < 3; ++difficulty) {
    Game.Difficulty = difficulty;
    StartStage(4, 0);
  }
  EXPECT_EQ(Game.HiScore[0], 10) << "not numeric: ignored";
  EXPECT_EQ(Game.HiScore[1], 5000);
  EXPECT_EQ(Game.HiScore[2], 20) << "beyond 32 bits: ignored";
  Game.HiScore[1] = 6000;
  Game.Difficulty = 1;
  StartStage(4, 0);
  EXPECT_EQ(Game.HiScore[1], 6000) << "a floor never lowers the high score";
  Shell.MainIni.SetINIFileName("");
  std::filesystem::remove(path);
}

}  // namespace

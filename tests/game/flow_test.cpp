// SPDX-License-Identifier: MIT
// The screens, the play states and the button actions: every transition, with its sounds,
// music and cross-fade.
#include <cstdio>

#include "audio/sound_effects.h"
#include "base/runtime.h"
#include "game/flow.h"
#include "game/game_test_support.h"
#include "game/input.h"

namespace {

using Log = std::vector<std::string>;

class FlowTest : public GameTest {
 protected:
  // Stage s of a running game, its start-up requests cleared from the log.
  void PlayStage(int32_t stage, int32_t score = 0) {
    StartStage(game, stage, score);
    state.PlayState = PlayRunning;
    state.FadeStep = 0;
    services.TakeLog();
  }
  // A release of the left button on button i of the current screen.
  void Press(int32_t index) { Release(1, ButtonCentreX(index), ButtonCentreY(index)); }
  // A release of the left button where no control is.
  void ClickNowhere() { Release(1, 700, 530); }
};

TEST_F(FlowTest, TitleScreenStartsQuitsAndOpensTheAdvertisement) {
  ShowTitle(game);
  EXPECT_EQ(state.GameMode, ModeTitle);
  EXPECT_EQ(state.PlayState, PlayRunning);
  EXPECT_EQ(services.TakeLog(), (Log{"music open sounds/titback.ogg", "music play", "buttons TitleButton"}));

  Press(2);
  EXPECT_EQ(services.TakeLog(), (Log{"sound 0", "open https://ad.example/"}));
  EXPECT_EQ(state.GameMode, ModeTitle);
  Press(1);
  EXPECT_EQ(services.TakeLog(), (Log{"sound 0", "close"}));

  // Any other button: the last choices come back; the title music keeps playing.
  player.UserDefStage = 4;
  player.UserDefDiff = 2;
  player.UserDefMusic = 3;
  Press(0);
  EXPECT_EQ(state.GameMode, ModeStageSelect);
  EXPECT_EQ(state.Stage, 4);
  EXPECT_EQ(state.Difficulty, 2);
  EXPECT_EQ(state.MusicChoice, 3);
  EXPECT_EQ(state.FadeStep, 1);
  EXPECT_EQ(services.TakeLog(), (Log{"sound 0", "buttons SelectStageButton"}));
}

// The high scores and the controls from the title and the stage selection, and back where they
// were opened; in a skin without them their numbers are the advertisement's. The controls open
// from the pause panel only.
TEST_F(FlowTest, TheHighScoresAndTheControlsOpenWhereTheSkinHasThem) {
  state.GameMode = ModeTitle;
  state.Buttons.resize(5);  // start, quit, high scores, controls, the advertisement
  TitleAction(game, TitleButton::HiScores);
  EXPECT_EQ(state.GameMode, ModeHiScores);
  HiScoresAction(game, HiScoreButton::Back);
  EXPECT_EQ(state.GameMode, ModeTitle);
  state.Buttons.resize(5);
  TitleAction(game, TitleButton::Controls);
  EXPECT_EQ(state.GameMode, ModeControls);
  ControlsAction(game, ControlsButton::Back);
  EXPECT_EQ(state.GameMode, ModeTitle);
  services.TakeLog();
  for (int32_t advertisement : {2, 4}) {
    state.Buttons.resize(static_cast<size_t>(advertisement) + 1);
    TitleAction(game, advertisement);
    EXPECT_EQ(state.GameMode, ModeTitle);
  }
  state.Buttons.resize(4);
  TitleAction(game, TitleButton::Controls);
  EXPECT_EQ(services.TakeLog(),
            (Log{"open https://ad.example/", "open https://ad.example/", "open https://ad.example/"}));
  state.GameMode = ModeStageSelect;
  state.Buttons.resize(2);  // start and the advertisement
  StageSelectAction(game, StageSelectButton::HiScores);
  EXPECT_EQ(state.GameMode, ModeStageSelect);
  state.Buttons.resize(3);
  StageSelectAction(game, StageSelectButton::HiScores);
  EXPECT_EQ(state.GameMode, ModeHiScores);
  LeaveHiScores(game);
  EXPECT_EQ(state.GameMode, ModeStageSelect);
  PlayStage(3);
  PlayScreenAction(game, PlayButton::Controls);
  EXPECT_EQ(state.GameMode, ModePlay) << "not from running play";
  state.PlayState = PlayPaused;
  PlayScreenAction(game, PlayButton::Controls);
  ASSERT_EQ(state.GameMode, ModeControls);
  LeaveControlsPage(game);
  EXPECT_EQ(state.GameMode, ModePlay);
  EXPECT_EQ(state.PlayState, PlayPaused);
}

TEST_F(FlowTest, StageSelectionStartsTheGameWithTheChoicesRemembered) {
  state.GameMode = ModeStageSelect;
  state.Stage = 5;
  state.Difficulty = 1;
  state.MusicChoice = 2;
  state.TimeCount = 777;
  state.Buttons = services.LoadButtons("SelectStageButton");
  services.TakeLog();
  Press(2);  // the advertisement's entry: no action here
  EXPECT_EQ(state.GameMode, ModeStageSelect);
  Press(0);
  EXPECT_EQ(state.GameMode, ModePlay);
  EXPECT_EQ(state.PlayState, PlayRunning) << "no help picture after stage 0";
  EXPECT_EQ(player.UserDefStage, 5);
  EXPECT_EQ(player.UserDefDiff, 1);
  EXPECT_EQ(player.UserDefMusic, 2);
  EXPECT_EQ(state.TimeCount, 0);
  EXPECT_EQ(state.SpeedBase, 0);
  EXPECT_EQ(state.Score, 0);
  EXPECT_EQ(state.Stage, 5);
  EXPECT_EQ(state.TargetQuota, 14);
  EXPECT_EQ(state.StageTick, -24);
  EXPECT_EQ(state.DropInterval, 24 - 2 - 1);
  EXPECT_TRUE(state.PairActive);
  EXPECT_EQ(state.Pair.Row, -2);
  EXPECT_EQ(state.AngelState[1], 0) << "the pair-entered mode is cancelled";
  EXPECT_EQ(state.FadeStep, 1);
  EXPECT_EQ(services.TakeLog(), (Log{"sound 0", "sound 0", "music stop", "music open sounds/back2.ogg", "music play",
                                     "buttons GameButton", "sound 3"}));
}

TEST_F(FlowTest, FirstStageShowsHelpAndTheCountdownWaitsForIt) {
  StartStage(game, 0, 0);
  EXPECT_EQ(state.PlayState, OverlayHelp);
  state.DropInterval = 10;
  Frames(100);
  EXPECT_EQ(state.StageTick, -24);
  state.FadeStep = 0;
  ClickNowhere();
  EXPECT_EQ(state.PlayState, PlayRunning);
  EXPECT_EQ(state.FadeStep, 1) << "the help picture cross-fades away";
  Frames(24 + 9);
  EXPECT_EQ(state.Pair.Row, -2);
  Frame();
  EXPECT_EQ(state.Pair.Row, -1) << "first timed step: 24 frames plus the drop interval";
}

TEST_F(FlowTest, PauseResumeAndHelpFromEveryState) {
  PlayStage(3);
  state.Buttons = services.LoadButtons("GameButton");
  services.TakeLog();
  Press(1);
  EXPECT_EQ(state.PlayState, PlayPaused);
  EXPECT_EQ(state.FadeStep, 1);
  EXPECT_EQ(services.TakeLog(), (Log{"sound 0", "music pause"}));
  state.FadeStep = 0;
  Press(1);
  EXPECT_EQ(state.PlayState, PlayRunning);
  EXPECT_EQ(state.FadeStep, 1);
  EXPECT_EQ(services.TakeLog(), (Log{"sound 0", "music play"}));
  // Pause and resume by a click.
  Press(1);
  services.TakeLog();
  ClickNowhere();
  EXPECT_EQ(state.PlayState, PlayRunning);
  EXPECT_EQ(services.TakeLog(), Log{"music play"});

  // Help opens over every state below 1000 and closes back to it.
  for (int32_t covered : {0, 1, 2, 3}) {
    state.PlayState = covered;
    state.FadeStep = 0;
    Press(2);
    EXPECT_EQ(state.PlayState, covered + 3000);
    EXPECT_EQ(state.FadeStep, 1);
    // Pause and help do nothing over an overlay.
    Press(1);
    Press(2);
    EXPECT_EQ(state.PlayState, covered + 3000);
    ClickNowhere();
    EXPECT_EQ(state.PlayState, covered);
  }
  for (int32_t covered : {1000, 1003, 2000, 2003}) {
    state.PlayState = covered;
    Press(1);
    Press(2);
    EXPECT_EQ(state.PlayState, covered);
    ClickNowhere();
    EXPECT_EQ(state.PlayState, covered) << "a click does not close a confirmation";
  }
  // Pause does nothing on the stage-clear or game-over picture either.
  for (int32_t covered : {2, 3}) {
    state.PlayState = covered;
    PlayScreenAction(game, 1);
    EXPECT_EQ(state.PlayState, covered);
  }
}

TEST_F(FlowTest, ConfirmationsOpenOverRunningPlayAndStageClear) {
  PlayStage(3);
  state.Buttons = services.LoadButtons("GameButton");
  for (int32_t base : {PlayRunning, PlayStageClear}) {
    state.PlayState = base;
    state.FadeStep = 0;
    Press(0);
    EXPECT_EQ(state.PlayState, base + OverlayNewGame);
    EXPECT_EQ(state.FadeStep, 1);
    state.FadeStep = 0;
    Press(6);
    EXPECT_EQ(state.PlayState, base);
    EXPECT_EQ(state.FadeStep, 0) << "a confirmation closes without a cross-fade";
    Press(3);
    EXPECT_EQ(state.PlayState, base + OverlayExit);
    Press(8);
    EXPECT_EQ(state.PlayState, base);
  }
  // "No" on the stage-clear picture leaves it waiting for the click that continues.
  services.TakeLog();
  ClickNowhere();
  EXPECT_EQ(state.Stage, 4);
  EXPECT_EQ(state.PlayState, PlayRunning);
  // New game and exit do nothing while paused.
  state.PlayState = PlayPaused;
  Press(0);
  Press(3);
  EXPECT_EQ(state.PlayState, PlayPaused);
}

TEST_F(FlowTest, YesLeavesForStageSelectionOrTheTitle) {
  PlayStage(3);
  state.PlayState = PlayRunning + OverlayNewGame;
  state.Buttons = services.LoadButtons("GameButton");
  services.TakeLog();
  Press(5);
  EXPECT_EQ(state.GameMode, ModeStageSelect);
  EXPECT_EQ(state.FadeStep, 1);
  EXPECT_EQ(services.TakeLog(), (Log{"sound 0", "buttons SelectStageButton", "music stop"}));

  PlayStage(3);
  state.PlayState = PlayStageClear + OverlayExit;
  state.Buttons = services.LoadButtons("GameButton");
  services.TakeLog();
  Press(7);
  EXPECT_EQ(state.GameMode, ModeTitle);
  EXPECT_EQ(state.PlayState, PlayRunning);
  EXPECT_EQ(state.FadeStep, 1);
  EXPECT_EQ(services.TakeLog(),
            (Log{"sound 0", "music stop", "music open sounds/titback.ogg", "music play", "buttons TitleButton"}));

  // On the game-over picture, new game and exit leave at once.
  PlayStage(3);
  state.PlayState = PlayGameOver;
  state.Buttons = services.LoadButtons("GameButton");
  Press(0);
  EXPECT_EQ(state.GameMode, ModeStageSelect);
  PlayStage(3);
  state.PlayState = PlayGameOver;
  state.Buttons = services.LoadButtons("GameButton");
  Press(3);
  EXPECT_EQ(state.GameMode, ModeTitle);
}

TEST_F(FlowTest, ConfirmationAnswersActOnlyWhileTheirPanelIsOpen) {
  // Two releases on "no" before the next frame hides the buttons (left and right together).
  PlayStage(3);
  state.Buttons = services.LoadButtons("GameButton");
  struct Case {
    int32_t open, no;
  };
  for (const Case& c : {Case{0, 6}, Case{3, 8}}) {
    for (int32_t base : {PlayRunning, PlayStageClear}) {
      state.PlayState = base;
      Press(c.open);
      Release(1, ButtonCentreX(c.no), ButtonCentreY(c.no));
      Release(2, ButtonCentreX(c.no), ButtonCentreY(c.no));
      EXPECT_EQ(state.PlayState, base) << "button " << c.no << " over state " << base;
    }
  }

  // Right after a stage starts every button is shown until the first frame: releases where
  // "yes" and "no" sit do nothing but click.
  StartStage(game, 3, 120);
  services.TakeLog();
  for (int32_t index : {5, 6, 7, 8}) Press(index);
  EXPECT_EQ(state.GameMode, ModePlay);
  EXPECT_EQ(state.PlayState, PlayRunning);
  EXPECT_EQ(state.Stage, 3);
  EXPECT_EQ(services.TakeLog(), Log(4, "sound 0"));
  // The same over the other states: nothing changes without the matching panel.
  for (int32_t covered : {1, 2, 3, 1000, 3000}) {
    state.PlayState = covered;
    PlayScreenAction(game, 7);
    PlayScreenAction(game, 8);
    EXPECT_EQ(state.PlayState, covered);
    EXPECT_EQ(state.GameMode, ModePlay);
  }
  for (int32_t covered : {1, 2, 3, 2000, 3000}) {
    state.PlayState = covered;
    PlayScreenAction(game, 5);
    PlayScreenAction(game, 6);
    EXPECT_EQ(state.PlayState, covered);
    EXPECT_EQ(state.GameMode, ModePlay);
  }
}

TEST_F(FlowTest, WebLinkFollowsTheParityOfTheSecond) {
  PlayStage(2);
  services.Seconds = 3600.2;
  PlayScreenAction(game, 4);
  services.Seconds = 3601.9;
  PlayScreenAction(game, 4);
  EXPECT_EQ(services.TakeLog(), (Log{"open https://one.example/", "open https://two.example/"}));
}

TEST_F(FlowTest, NextStageCarriesTheScoreAndTheClock) {
  PlayStage(5, 0);
  state.Score = 1230;
  state.TimeCount = 95;
  state.PlayState = PlayStageClear;
  ClickNowhere();
  EXPECT_EQ(state.Stage, 6);
  EXPECT_EQ(state.Score, 1230);
  EXPECT_EQ(state.TimeCount, 95);
  EXPECT_EQ(state.SpeedBase, 95);
  EXPECT_EQ(state.PlayState, PlayRunning);
  EXPECT_EQ(state.TargetQuota, 17);
  EXPECT_EQ(services.TakeLog(),
            (Log{"music stop", "music open sounds/back0.ogg", "music play", "buttons GameButton", "sound 3"}));
}

TEST_F(FlowTest, MainIniSetsAFloorUnderTheHighScore) {
  services.SkinValues = {
      {"MainSettings/Hi_Score0", "abc"}, {"MainSettings/Hi_Score1", "5000"}, {"MainSettings/Hi_Score2", "99999999999"}};
  player.HiScore[0] = 10;
  player.HiScore[1] = 3000;
  player.HiScore[2] = 20;
  for (int32_t difficulty = 0; difficulty < 3; ++difficulty) {
    state.Difficulty = difficulty;
    StartStage(game, 4, 0);
  }
  EXPECT_EQ(player.HiScore[0], 10) << "not numeric: ignored";
  EXPECT_EQ(player.HiScore[1], 5000);
  EXPECT_EQ(player.HiScore[2], 20) << "beyond 32 bits: ignored";
  player.HiScore[1] = 6000;
  state.Difficulty = 1;
  StartStage(game, 4, 0);
  EXPECT_EQ(player.HiScore[1], 6000) << "a floor never lowers the high score";
}

TEST_F(FlowTest, AStageThatCannotBeSetUpIsNeitherPlayedNorCleared) {
  struct BrokenPlayLayout : RecordingServices {
    std::vector<ScreenButton> LoadButtons(const std::string& section) override {
      if (section == "GameButton") Raise(ErrorKind::TypeMismatch, "main.ini, section [GameButton], key MaxButton");
      return RecordingServices::LoadButtons(section);
    }
  } broken;
  Game brokenGame{player, layout, broken};
  brokenGame.State.GameMode = ModeStageSelect;
  EXPECT_THROW(StartStage(brokenGame, 0, 0), RuntimeError);
  EXPECT_EQ(brokenGame.State.GameMode, ModeStageSelect);
  state = brokenGame.State;
  Frames(60);
  EXPECT_EQ(player.UserMaxStage, 1) << "an empty board counted as a cleared stage";
}

TEST_F(FlowTest, OnlyWebAddressesOfTheSkinOpenAndTheOthersAreNamed) {
  ShowTitle(game);
  layout.AdUrlKey = "ADUrl0";
  layout.Texts = {"Kestrel", "file:///usr/share/applications/x.desktop", "HTTPS://kestrel.example/"};
  for (const char* address : {"file:///usr/share/applications/x.desktop", "/home", "javascript:x"}) {
    layout.AdUrl = address;
    services.TakeLog();
    testing::internal::CaptureStderr();
    Press(2);
    EXPECT_EQ(services.TakeLog(), (Log{"sound 0"})) << address;
    EXPECT_NE(testing::internal::GetCapturedStderr().find("section [ADPIC], key ADUrl0"), std::string::npos);
  }
  // A web address may be nothing but its scheme.
  layout.AdUrl = "Http:";
  Press(2);
  EXPECT_EQ(services.TakeLog(), (Log{"sound 0", "open Http:"}));
  // A hidden button takes no click.
  state.Buttons[1].State = ButtonHidden;
  Press(1);
  EXPECT_EQ(services.TakeLog(), Log{});
  PlayStage(3);
  for (double second : {0.0, 1.0}) {
    services.Seconds = second;
    testing::internal::CaptureStderr();
    Press(4);
    const std::string told = testing::internal::GetCapturedStderr();
    if (second == 0.0) {
      EXPECT_EQ(services.TakeLog(), (Log{"sound 0"}));
      EXPECT_NE(told.find("section [Texts], key Text1"), std::string::npos) << told;
    } else {
      EXPECT_EQ(services.TakeLog(), (Log{"sound 0", "open HTTPS://kestrel.example/"}));
      EXPECT_EQ(told, "");
    }
  }
  // A skin with one address text: the odd seconds find no second one.
  layout.Texts.pop_back();
  services.Seconds = 0.0;
  testing::internal::CaptureStderr();
  Press(4);
  EXPECT_NE(testing::internal::GetCapturedStderr(), "");
  services.Seconds = 1.0;
  EXPECT_THROW(Press(4), RuntimeError);
}

}  // namespace

// SPDX-License-Identifier: MIT
// What moves on once a frame's picture is drawn (AnimationStep): the figure, the target
// characters, the blinking board, the buttons' highlights, the confirmation buttons, the score
// pop-ups and the cross-fade; each at its pace and up to its limits.
#include <vector>

#include "game/frame.h"
#include "game/game_test_support.h"

namespace {

using AnimationTest = GameTest;

// The figure's frames, by the frame counter at which each step shows, from frame 0 of each mode:
// a blink every 6th frame in the first 25 of every 100 while it waits (frames 0 to 3), a nod
// every 4th that ends in waiting, a cheer every 5th (frames 0 to 4), a laugh every 6th (0 to 5).
TEST_F(AnimationTest, TheFigureStepsAtThePaceOfItsMode) {
  struct Case {
    int32_t mode, lastTick;
    std::vector<int32_t> ticks, frames, modes;  // each step: its frame counter, the frame and mode shown
  };
  const Case cases[] = {
      {0,
       330,
       {6, 12, 18, 24, 102, 108, 114, 120, 204, 210, 216, 222, 300, 306, 312, 318, 324},
       {1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 0, 1},
       std::vector<int32_t>(17, 0)},
      {1, 30, {4, 8, 12, 18, 24}, {1, 0, 1, 2, 3}, {1, 0, 0, 0, 0}},
      {2, 40, {5, 10, 15, 20, 25, 30, 35, 40}, {1, 2, 3, 4, 0, 1, 2, 3}, std::vector<int32_t>(8, 2)},
      {3, 44, {6, 12, 18, 24, 30, 36, 42}, {1, 2, 3, 4, 5, 0, 1}, std::vector<int32_t>(7, 3)},
  };
  for (const Case& c : cases) {
    state.AngelState[0] = 0;
    state.AngelState[1] = c.mode;
    std::vector<int32_t> ticks, frames, modes;
    for (int32_t tick = 1; tick <= c.lastTick; ++tick) {
      state.Tick = tick;
      const int32_t frame = state.AngelState[0], mode = state.AngelState[1];
      AnimationStep(game);
      if (state.AngelState[0] == frame && state.AngelState[1] == mode) continue;
      ticks.push_back(tick);
      frames.push_back(state.AngelState[0]);
      modes.push_back(state.AngelState[1]);
    }
    EXPECT_EQ(ticks, c.ticks) << "mode " << c.mode;
    EXPECT_EQ(frames, c.frames) << "mode " << c.mode;
    EXPECT_EQ(modes, c.modes) << "mode " << c.mode;
  }
}

// The target characters step every 5th frame: waiting and laughing loop over 6 frames, a hurt
// one plays 12 frames and then waits while targets of its colour are left, or leaves (7 frames,
// then gone for good).
TEST_F(AnimationTest, TheTargetCharactersStepEveryFifthFrame) {
  state.GameMode = ModePlay;
  state.PlayState = PlayGameOver;  // nothing of the logic runs
  // Colour 1 has a target left; colour 0 only an ordinary piece, colour 2 nothing.
  SetBoard(state, {"S0 T1 . . . . . ."});
  struct Case {
    int32_t frame, mood;
    std::vector<std::pair<int32_t, int32_t>> after;  // (frame, mood) after each 5th frame
  };
  const Case cases[] = {
      {4, 0, {{5, 0}, {0, 0}, {1, 0}}},   {4, 3, {{5, 3}, {0, 3}, {1, 3}}},
      {10, 1, {{11, 1}, {0, 2}, {1, 2}}},  // colour 0: no target left, it leaves
      {5, 2, {{6, 2}, {-1, 2}, {-1, 2}}}, {0, 2, {{1, 2}, {2, 2}, {3, 2}}},
  };
  for (const Case& c : cases) {
    state.TargetMood[0][0] = c.frame;
    state.TargetMood[0][1] = c.mood;
    state.TargetMood[1][0] = 10;  // hurt with a target left: waits again
    state.TargetMood[1][1] = 1;
    state.TargetMood[2][0] = 4;
    state.TargetMood[2][1] = 0;
    std::vector<std::pair<int32_t, int32_t>> after;
    for (int32_t tick = 1; tick <= 15; ++tick) {
      state.Tick = tick;
      AnimationStep(game);
      if (tick % 5 == 0) after.push_back({state.TargetMood[0][0], state.TargetMood[0][1]});
      if (tick % 5 == 4) {
        EXPECT_EQ(state.TargetMood[2][0], tick < 5 ? 4 : tick < 10 ? 5 : 0) << "only on the 5th";
      }
    }
    EXPECT_EQ(after, c.after) << "frame " << c.frame << ", mood " << c.mood;
    EXPECT_EQ(state.TargetMood[1][1], 0) << "a target of its colour is left";
    EXPECT_EQ(state.TargetMood[2][0], 1);
  }
}

// The board's cells count their frames (the targets blink by them) while the board shows: not
// while paused or under a panel.
TEST_F(AnimationTest, TheBoardBlinksOnlyWhileItShows) {
  state.GameMode = ModePlay;
  for (int32_t playState : {0, 1, 2, 3, 1000, 1003, 2000, 3000, 3002}) {
    state.PlayState = playState;
    state.Board[2][7].Phase = 40;
    AnimationStep(game);
    const bool shows = playState == PlayRunning || playState == PlayGameOver || playState == PlayStageClear;
    EXPECT_EQ(state.Board[2][7].Phase, shows ? 41 : 40) << playState;
  }
}

// A lit button brightens 4 levels a frame to 32, an unlit one darkens 4 a frame to 0; a masked
// or plain one only while at or above the skin's ButtonMinAlpha, so it rests at the first level
// below it. Hidden buttons keep their level. The keyboard's focus, once shown, alone lights a
// button, the first one included.
TEST_F(AnimationTest, ButtonsLightAndFadeFourLevelsAFrame) {
  state.GameMode = ModeTitle;
  layout.ButtonImageKind = {ButtonKindNormalAndHighlight, ButtonKindMasked, ButtonKindPlain};
  layout.ButtonMinAlpha = 10;
  struct Case {
    int32_t kind, alpha;
    bool lit;
    std::vector<int32_t> levels;
  };
  const Case cases[] = {
      {0, 0, true, {4, 8, 12, 16, 20, 24, 28, 32, 32}},
      {0, 30, true, {32, 32}},
      {0, 30, false, {26, 22, 18, 14, 10, 6, 2, 0, 0}},
      {1, 30, false, {26, 22, 18, 14, 10, 6, 6}},
      {2, 11, false, {7, 7}},
      {2, 35, false, {31, 27}},  // a level above the lit one is brought into range
      {1, 6, true, {10, 14}},
  };
  for (const Case& c : cases) {
    state.Buttons.assign(1, ScreenButton{c.kind, 100, c.alpha, 200, 100, 150, ButtonShown});
    state.Mouse.X = c.lit ? 150 : 300;
    state.Mouse.Y = 120;
    std::vector<int32_t> levels;
    for (size_t i = 0; i < c.levels.size(); ++i) {
      AnimationStep(game);
      levels.push_back(state.Buttons[0].Alpha);
    }
    EXPECT_EQ(levels, c.levels) << "kind " << c.kind << " from " << c.alpha << (c.lit ? " lit" : " unlit");
  }
  // Hidden: left as it is. With the focus shown on button 0 and the cursor on button 1, only 0 lights.
  state.Buttons = {ScreenButton{0, 10, 12, 90, 10, 30, ButtonShown}, ScreenButton{0, 10, 12, 90, 40, 60, ButtonShown},
                   ScreenButton{0, 10, 12, 90, 70, 90, ButtonHidden}};
  state.Mouse.X = 50;
  state.Mouse.Y = 50;
  state.Focus.Visible = true;
  AnimationStep(game);
  EXPECT_EQ(state.Buttons[0].Alpha, 16);
  EXPECT_EQ(state.Buttons[1].Alpha, 8);
  EXPECT_EQ(state.Buttons[2].Alpha, 12);
  // The cursor takes the shape for a control over a shown button only.
  struct Point {
    int32_t x, y, style;
  };
  for (const Point& p : {Point{50, 20, CursorOverControl}, Point{50, 35, CursorArrow}, Point{50, 80, CursorArrow}}) {
    state.Mouse.X = p.x;
    state.Mouse.Y = p.y;
    AnimationStep(game);
    EXPECT_EQ(state.Mouse.Style, p.style) << p.x << "," << p.y;
  }
}

// On the play screen the answers of a confirmation show with their panel only; buttons 5 to 8 of
// the other screens, and the play screen's own buttons, show as their state says.
TEST_F(AnimationTest, ConfirmationButtonsShowWithTheirPanel) {
  state.GameMode = ModePlay;
  state.Buttons = services.LoadButtons("GameButton");
  state.Buttons[4].State = ButtonHidden;
  const auto shown = [this] {
    std::vector<bool> result;
    for (int32_t i = -1; i <= 9; ++i) result.push_back(ButtonShownThisFrame(state, i));
    return result;
  };
  //                       index -1     0     1     2     3     4      5      6      7      8      9
  const std::vector<bool> none = {false, true, true, true, true, false, false, false, false, false, false};
  std::vector<bool> newGame = none, exit = none;
  newGame[6] = newGame[7] = true;
  exit[8] = exit[9] = true;
  for (const auto& [playState, expected] :
       {std::pair{0, none}, std::pair{1, none}, std::pair{3, none}, std::pair{1000, newGame}, std::pair{1003, newGame},
        std::pair{2000, exit}, std::pair{2002, exit}, std::pair{3000, none}}) {
    state.PlayState = playState;
    EXPECT_EQ(shown(), expected) << playState;
    AnimationStep(game);  // the buttons' states follow, once the picture showed them
    for (int32_t i = 5; i <= 8; ++i) {
      EXPECT_EQ(state.Buttons[static_cast<size_t>(i)].State,
                expected[static_cast<size_t>(i + 1)] ? ButtonShown : ButtonHidden)
          << playState << ", button " << i;
    }
  }
  // A play screen with fewer buttons, one with more, and another screen.
  state.PlayState = OverlayExit;
  state.Buttons.resize(8);
  AnimationStep(game);
  EXPECT_EQ(state.Buttons[7].State, ButtonShown);
  EXPECT_FALSE(ButtonShownThisFrame(state, 8));
  state.Buttons.resize(11, state.Buttons[0]);
  EXPECT_FALSE(ButtonShownThisFrame(state, 9)) << "the controls page's button shows while paused only";
  EXPECT_TRUE(ButtonShownThisFrame(state, 10));
  state.PlayState = PlayRunning;
  EXPECT_FALSE(ButtonShownThisFrame(state, 9));
  state.PlayState = PlayPaused;
  EXPECT_TRUE(ButtonShownThisFrame(state, 9));
  AnimationStep(game);
  EXPECT_EQ(state.Buttons[9].State, ButtonShown);
  state.PlayState = PlayRunning;
  AnimationStep(game);
  EXPECT_EQ(state.Buttons[9].State, ButtonHidden) << "hidden, it is hit by no click";
  state.Buttons[9].State = ButtonAbsent;  // a skin without the controls page
  state.PlayState = PlayPaused;
  EXPECT_FALSE(ButtonShownThisFrame(state, 9));
  AnimationStep(game);
  EXPECT_EQ(state.Buttons[9].State, ButtonAbsent);
  state.PlayState = PlayRunning;
  state.GameMode = ModeTitle;
  state.Buttons = services.LoadButtons("GameButton");
  state.Buttons.resize(10, state.Buttons[0]);
  EXPECT_TRUE(ButtonShownThisFrame(state, 5));
  EXPECT_TRUE(ButtonShownThisFrame(state, 8));
  EXPECT_TRUE(ButtonShownThisFrame(state, 9));
}

// A score pop-up shows for 45 frames; the cross-fade draws the old picture over 15 frames.
TEST_F(AnimationTest, PopupsLiveFortyFiveFramesAndTheCrossFadeFifteen) {
  state.GameMode = ModePlay;
  state.PlayState = PlayGameOver;
  state.ScorePopups[3] = ScorePopup{"70", 1, 300, 200, 0, true};
  int frames = 0;
  while (state.ScorePopups[3].Active && frames < 100) {
    AnimationStep(game);
    ++frames;
  }
  EXPECT_EQ(frames, 45);
  AnimationStep(game);
  EXPECT_EQ(state.ScorePopups[3].Age, 45) << "a pop-up gone does not age";

  state.FadeStep = 1;
  std::vector<int32_t> steps;
  while (state.FadeStep != 0 && steps.size() < 40) {
    AnimationStep(game);
    steps.push_back(state.FadeStep);
  }
  EXPECT_EQ(steps, (std::vector<int32_t>{3, 5, 7, 9, 11, 13, 15, 17, 19, 21, 23, 25, 27, 29, 0}));
  AnimationStep(game);
  EXPECT_EQ(state.FadeStep, 0) << "no fade starts by itself";
}

}  // namespace

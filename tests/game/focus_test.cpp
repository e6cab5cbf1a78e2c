// SPDX-License-Identifier: MIT
// The game without a mouse: the focus's stops and their order on every screen, what each key and
// pad control does there, the limits of the stage selection's choices and the d-pad's repeat.
#include "game/focus.h"

#include "audio/sound_effects.h"
#include "game/board.h"
#include "game/flow.h"
#include "game/game_test_support.h"
#include "game/input.h"

namespace {

using namespace KeyCode;

class FocusTest : public GameTest {
 protected:
  // Screen `mode` in `playState`, its buttons loaded, the focus not yet shown.
  void Show(int32_t mode, int32_t playState = PlayRunning) {
    state.GameMode = mode;
    state.PlayState = playState;
    state.Buttons = services.LoadButtons(mode == ModeTitle         ? "TitleButton"
                                         : mode == ModeStageSelect ? "SelectStageButton"
                                                                   : "GameButton");
    state.Focus = FocusState{};
    state.KeyControl = false;
    SetHorizontalPair(state, 0, 1, 3, 0);
    SetBoard(state, {"T0 . . . . . . ."});
    state.DropInterval = 1000;
    services.TakeLog();
  }
  // A key as the main window hands it on: to the pair, then to the focus.
  void Key(int32_t key) {
    KeyStep(game, key);
    MenuKey(game, key);
  }
  void Pad(PadButton button) {
    PadPress(game, button);
    PadRelease(state, button);
  }
  // The buttons the focus visits from where it is, moving down `count` times.
  std::vector<int32_t> Visits(int count) {
    std::vector<int32_t> visited{FocusedButton(state)};
    for (int i = 1; i < count; ++i) {
      MenuKey(game, Down);
      visited.push_back(FocusedButton(state));
    }
    return visited;
  }
};

TEST_F(FocusTest, EachScreenStartsOnItsDefaultAndVisitsItsStopsInOrder) {
  struct Case {
    const char* what;
    int32_t mode, playState;
    std::vector<int32_t> visits;  // from the default on, one more than the stops: back to the start
  };
  const Case cases[] = {
      {"title", ModeTitle, PlayRunning, {0, 1, 2, 0}},
      {"stage selection: its buttons, then the rows", ModeStageSelect, PlayRunning, {0, 1, 2, -1, -1, -1, 0}},
      {"paused: resume first", ModePlay, PlayPaused, {1, 0, 3, 2, 4, 1}},
      {"game over", ModePlay, PlayGameOver, {0, 3, 2, 4, 0}},
      {"new game? no first", ModePlay, PlayRunning + OverlayNewGame, {6, 5, 6}},
      {"exit? no first", ModePlay, PlayStageClear + OverlayExit, {8, 7, 8}},
      {"running play: nothing", ModePlay, PlayRunning, {-1, -1}},
      {"help: nothing", ModePlay, OverlayHelp, {-1, -1}},
  };
  for (const Case& c : cases) {
    Show(c.mode, c.playState);
    EXPECT_EQ(FocusedButton(state), -1) << c.what << ": hidden until a key";
    MenuKey(game, Up);
    EXPECT_EQ(Visits(static_cast<int>(c.visits.size())), c.visits) << c.what;
  }
  // A play screen with fewer buttons: the panels visit those there are.
  Show(ModePlay, PlayPaused);
  state.Buttons.resize(4);
  MenuKey(game, Up);
  EXPECT_EQ(Visits(5), (std::vector<int32_t>{1, 0, 3, 2, 1}));
  Show(ModePlay, OverlayExit);
  state.Buttons.resize(8);
  MenuKey(game, Up);
  EXPECT_EQ(Visits(2), (std::vector<int32_t>{7, 7}));
  // The stage selection's rows lie above its buttons: up from the start button, and on to the
  // last button.
  Show(ModeStageSelect);
  MenuKey(game, Down);
  std::vector<FocusRow> rows;
  for (int i = 0; i < 4; ++i) {
    MenuKey(game, Up);
    rows.push_back(FocusedRow(state));
  }
  EXPECT_EQ(rows, (std::vector<FocusRow>{FocusRow::Music, FocusRow::Difficulty, FocusRow::StageBar, FocusRow::None}));
  EXPECT_EQ(FocusedButton(state), 2);
}

// The menus' buttons are visited top to bottom and left to right, buttons at one place in their
// order; hidden buttons and any 2 pixels or less across (the advertisement without a picture)
// take no focus; the title starts on its first button that is neither quit nor advertisement.
TEST_F(FocusTest, MenuButtonsInReadingOrderAndOnlyWhereACursorCouldHitThem) {
  struct Case {
    const char* what;
    std::vector<ScreenButton> buttons;  // Image, Left, Alpha, Right, Top, Bottom, State
    std::vector<int32_t> visits;
  };
  const ScreenButton start{0, 100, 0, 200, 300, 340, ButtonShown};
  const ScreenButton quit{0, 100, 0, 200, 400, 440, ButtonShown};
  const Case cases[] = {
      {"the advertisement on top, then start, quit", {start, quit, {0, 10, 0, 90, 10, 60, ButtonShown}}, {0, 1, 2, 0}},
      {"side by side: left first",
       {{0, 300, 0, 400, 300, 340, ButtonShown}, start, {0, 10, 0, 90, 10, 60, ButtonShown}},
       {0, 2, 1, 0}},
      {"at one place: in their order", {start, start, quit}, {0, 1, 2, 0}},
      {"hidden start: quit first", {{0, 100, 0, 200, 300, 340, ButtonHidden}, quit, {0, 0, 0, 0, 0, 0, 0}}, {1, 1}},
      {"3 pixels square: focused", {start, quit, {0, 5, 0, 8, 5, 8, ButtonShown}}, {0, 1, 2, 0}},
      {"2 pixels wide: not", {start, quit, {0, 5, 0, 7, 5, 50, ButtonShown}}, {0, 1, 0}},
      {"2 pixels high: not", {start, quit, {0, 5, 0, 50, 5, 7, ButtonShown}}, {0, 1, 0}},
  };
  for (const Case& c : cases) {
    Show(ModeTitle);
    state.Buttons = c.buttons;
    MenuKey(game, Down);
    EXPECT_EQ(Visits(static_cast<int>(c.visits.size())), c.visits) << c.what;
  }
  // Left and right move among buttons as up and down do.
  Show(ModeTitle);
  MenuKey(game, Down);
  MenuKey(game, KeyCode::Right);
  EXPECT_EQ(FocusedButton(state), 1);
  MenuKey(game, KeyCode::Left);
  EXPECT_EQ(FocusedButton(state), 0);
  // A title without a quit button: Escape finds nothing to go to.
  Show(ModeTitle);
  state.Buttons.resize(1);
  MenuKey(game, Escape);
  EXPECT_EQ(FocusedButton(state), 0);
  // With nothing to focus the keys move nothing and Enter presses nothing.
  Show(ModeTitle);
  state.Buttons.clear();
  MenuKey(game, Down);
  MenuKey(game, Down);
  MenuKey(game, Enter);
  EXPECT_EQ(FocusedButton(state), -1);
  EXPECT_EQ(services.TakeLog(), std::vector<std::string>{});
}

// What Enter, Escape, Space, the arrows and the pad's buttons do on each screen.
TEST_F(FocusTest, EveryControlOnEveryScreen) {
  enum Control { EnterKey, EscapeKey, SpaceKey, UpKey, LeftKey, PadSouth, PadEast, PadStart, PadBack, PadUp, PadLeft };
  struct Case {
    const char* what;
    int32_t mode, playState;
    Control control;
    int32_t modeAfter, playStateAfter;
    int32_t pairColumn = 3;  // where the pair of a played screen is afterwards
    bool turned = false;     // whether it turned
  };
  const Case cases[] = {
      {"title: enter starts", ModeTitle, PlayRunning, EnterKey, ModeStageSelect, PlayRunning},
      {"title: space starts", ModeTitle, PlayRunning, SpaceKey, ModeStageSelect, PlayRunning},
      {"title: south starts", ModeTitle, PlayRunning, PadSouth, ModeStageSelect, PlayRunning},
      {"title: start starts", ModeTitle, PlayRunning, PadStart, ModeStageSelect, PlayRunning},
      {"title: an arrow only shows the focus", ModeTitle, PlayRunning, UpKey, ModeTitle, PlayRunning},
      {"stage selection: enter plays, the first stage under its help", ModeStageSelect, PlayRunning, EnterKey, ModePlay,
       OverlayHelp},
      {"stage selection after a lost game: enter plays", ModeStageSelect, PlayGameOver, EnterKey, ModePlay,
       OverlayHelp},
      {"stage selection: escape stays", ModeStageSelect, PlayRunning, EscapeKey, ModeStageSelect, PlayRunning},
      {"stage selection: east stays", ModeStageSelect, PlayRunning, PadEast, ModeStageSelect, PlayRunning},
      {"running: enter does nothing", ModePlay, PlayRunning, EnterKey, ModePlay, PlayRunning},
      {"running: space does nothing here", ModePlay, PlayRunning, SpaceKey, ModePlay, PlayRunning},
      {"running: escape pauses", ModePlay, PlayRunning, EscapeKey, ModePlay, PlayPaused},
      {"running: start pauses", ModePlay, PlayRunning, PadStart, ModePlay, PlayPaused},
      {"running: back pauses", ModePlay, PlayRunning, PadBack, ModePlay, PlayPaused},
      {"running: up turns the pair", ModePlay, PlayRunning, UpKey, ModePlay, PlayRunning, 3, true},
      {"running: south turns the pair", ModePlay, PlayRunning, PadSouth, ModePlay, PlayRunning, 3, true},
      {"running: the d-pad's up does not", ModePlay, PlayRunning, PadUp, ModePlay, PlayRunning, 3, false},
      {"running: left moves the pair", ModePlay, PlayRunning, LeftKey, ModePlay, PlayRunning, 2},
      {"running: the d-pad's left too", ModePlay, PlayRunning, PadLeft, ModePlay, PlayRunning, 2},
      {"running: east takes the pair from the mouse", ModePlay, PlayRunning, PadEast, ModePlay, PlayRunning},
      {"paused: enter resumes", ModePlay, PlayPaused, EnterKey, ModePlay, PlayRunning},
      {"paused: escape resumes", ModePlay, PlayPaused, EscapeKey, ModePlay, PlayRunning},
      {"paused: start resumes", ModePlay, PlayPaused, PadStart, ModePlay, PlayRunning},
      {"paused: south resumes", ModePlay, PlayPaused, PadSouth, ModePlay, PlayRunning},
      {"paused: left moves the focus, not the pair", ModePlay, PlayPaused, LeftKey, ModePlay, PlayPaused},
      {"help: enter closes it", ModePlay, PlayPaused + OverlayHelp, EnterKey, ModePlay, PlayPaused},
      {"help: escape closes it", ModePlay, PlayRunning + OverlayHelp, EscapeKey, ModePlay, PlayRunning},
      {"help: start closes it", ModePlay, PlayGameOver + OverlayHelp, PadStart, ModePlay, PlayGameOver},
      {"new game?: escape says no", ModePlay, PlayStageClear + OverlayNewGame, EscapeKey, ModePlay, PlayStageClear},
      {"new game?: enter says no", ModePlay, PlayRunning + OverlayNewGame, EnterKey, ModePlay, PlayRunning},
      {"exit?: back says no", ModePlay, PlayRunning + OverlayExit, PadBack, ModePlay, PlayRunning},
      {"exit?: east says no", ModePlay, PlayRunning + OverlayExit, PadEast, ModePlay, PlayRunning},
      {"stage clear: enter goes on", ModePlay, PlayStageClear, EnterKey, ModePlay, PlayRunning},
      {"stage clear: an arrow goes on", ModePlay, PlayStageClear, UpKey, ModePlay, PlayRunning},
      {"stage clear: escape stays", ModePlay, PlayStageClear, EscapeKey, ModePlay, PlayStageClear},
      {"game over: enter starts anew", ModePlay, PlayGameOver, EnterKey, ModeStageSelect, PlayGameOver},
      {"game over: escape stays", ModePlay, PlayGameOver, EscapeKey, ModePlay, PlayGameOver},
  };
  for (const Case& c : cases) {
    Show(c.mode, c.playState);
    switch (c.control) {
      case EnterKey:
        Key(Enter);
        break;
      case EscapeKey:
        Key(Escape);
        break;
      case SpaceKey:
        EXPECT_EQ(MenuSpace(game), c.mode != ModePlay) << c.what << ": Space hides the window in play";
        break;
      case UpKey:
        Key(Up);
        break;
      case LeftKey:
        Key(KeyCode::Left);
        break;
      case PadSouth:
        Pad(PadButton::South);
        break;
      case PadEast:
        Pad(PadButton::East);
        break;
      case PadStart:
        Pad(PadButton::Start);
        break;
      case PadBack:
        Pad(PadButton::Back);
        break;
      case PadUp:
        Pad(PadButton::Up);
        break;
      case PadLeft:
        Pad(PadButton::Left);
        break;
    }
    EXPECT_EQ(state.GameMode, c.modeAfter) << c.what;
    EXPECT_EQ(state.PlayState, c.playStateAfter) << c.what;
    if (c.mode != ModePlay) {
      EXPECT_TRUE(state.GameMode != ModePlay || state.Pair.Row == -2) << c.what << ": the keys leave the pair alone";
      EXPECT_FALSE(state.KeyControl) << c.what;
      const std::vector<int32_t> sounds = services.TakeSounds();
      if (c.modeAfter == c.mode) {
        EXPECT_EQ(sounds, std::vector<int32_t>{}) << c.what << ": nothing pressed";
      }
      for (int32_t sound : sounds) {
        EXPECT_TRUE(sound != SoundRotate && sound != SoundStep) << c.what << ": sound " << sound;
      }
    } else if (c.playState == PlayRunning) {
      EXPECT_EQ(state.Pair.Column, c.pairColumn) << c.what;
      EXPECT_EQ(!PairIsHorizontal(state.Pair), c.turned) << c.what;
      const bool steers = c.control == UpKey || c.control == LeftKey || c.control == PadSouth || c.control == PadEast ||
                          c.control == PadLeft;
      EXPECT_EQ(state.KeyControl, steers) << c.what << ": the keys and the pad take the pair from the mouse";
    }
  }
  // Escape on the title goes to its quit button; Enter then closes the game.
  Show(ModeTitle);
  Key(Escape);
  EXPECT_EQ(FocusedButton(state), TitleButton::Quit);
  Key(Enter);
  EXPECT_EQ(services.TakeLog(), (std::vector<std::string>{"sound 0", "close"}));
  // The arrows that steer the pair leave the focus hidden: a pause by the mouse shows none.
  Show(ModePlay, PlayRunning);
  Key(KeyCode::Left);
  Key(Down);
  PlayAction(game, PlayButton::Pause);
  EXPECT_EQ(FocusedButton(state), -1);
  // Moving the mouse hides the focus, on buttons and rows alike.
  Show(ModeStageSelect);
  MenuKey(game, Up);
  MenuKey(game, Up);
  ASSERT_EQ(FocusedRow(state), FocusRow::Music);
  MouseTookControl(state);
  EXPECT_EQ(FocusedRow(state), FocusRow::None);
  // Keys that are no arrows move no focus.
  Show(ModeTitle);
  MenuKey(game, Down);
  for (int32_t key : {Left - 1, Down + 1, 65}) MenuKey(game, key);
  EXPECT_EQ(FocusedButton(state), 0);
  MenuKey(game, Down);
  EXPECT_EQ(FocusedButton(state), 1);
}

// From the pause panel, new game and exit ask over the stopped game, and "no" comes back to the
// pause panel; opened by the mouse in running play, "no" goes back to play.
TEST_F(FocusTest, AConfirmationOpenedFromThePausePanelReturnsToIt) {
  struct Case {
    int32_t button, no;
  };
  for (const Case& c : {Case{PlayButton::NewGame, PlayButton::NewGameNo}, Case{PlayButton::Exit, PlayButton::ExitNo}}) {
    const int32_t panel = c.button == PlayButton::NewGame ? OverlayNewGame : OverlayExit;
    Show(ModePlay, PlayPaused);
    MenuKey(game, Down);
    while (FocusedButton(state) != c.button) MenuKey(game, Down);
    MenuKey(game, Enter);
    EXPECT_EQ(state.PlayState, PlayRunning + panel);
    EXPECT_EQ(FocusedButton(state), c.no);
    ControlsFrame(game);  // frames while it is open keep the way back
    MenuKey(game, Enter);
    EXPECT_EQ(state.PlayState, PlayPaused);
    // Opened by the mouse: no way back to a pause.
    Show(ModePlay, PlayRunning);
    PlayAction(game, c.button);
    MenuKey(game, Escape);
    EXPECT_EQ(state.PlayState, PlayRunning);
  }
  // A way back is forgotten once the panel closed otherwise.
  Show(ModePlay, PlayPaused);
  MenuKey(game, Down);
  MenuKey(game, Down);
  MenuKey(game, Enter);                     // new game?
  PlayAction(game, PlayButton::NewGameNo);  // the mouse's "no"
  ControlsFrame(game);
  PlayAction(game, PlayButton::Exit);
  MenuKey(game, Escape);
  EXPECT_EQ(state.PlayState, PlayRunning);
  // "Yes" leaves, whoever opened it.
  Show(ModePlay, PlayPaused);
  MenuKey(game, Down);
  MenuKey(game, Down);
  MenuKey(game, Enter);
  MenuKey(game, Up);
  MenuKey(game, Enter);
  EXPECT_EQ(state.GameMode, ModeStageSelect);
  EXPECT_NE(state.PlayState, PlayPaused) << "what was left is no paused game";
  // ... nor does the next confirmation, opened by the mouse before a frame ran, go back to a pause.
  state.Stage = 1;
  MenuKey(game, Enter);
  PlayAction(game, PlayButton::NewGame);
  MenuKey(game, Escape);
  EXPECT_EQ(state.PlayState, PlayRunning);
}

// Left and right change the choice of a focused row, within what is open: the stages opened
// (at most the 20 of the bar), the three difficulties, one more track for every fourth stage
// opened (at most the 5 tracks). The pad's d-pad does the same.
TEST_F(FocusTest, StageSelectionChoicesStopAtWhatIsOpen) {
  struct Case {
    int32_t opened, lastStage, lastTrack;
  };
  const Case cases[] = {{1, 0, 0},   {3, 2, 0},   {4, 3, 1},   {7, 6, 1},   {8, 7, 2},   {15, 14, 3},
                        {16, 15, 4}, {19, 18, 4}, {20, 19, 4}, {21, 19, 4}, {24, 19, 4}, {99, 19, 4}};
  for (const bool pad : {false, true}) {
    for (const Case& c : cases) {
      Show(ModeStageSelect);
      player.UserMaxStage = c.opened;
      state.Stage = state.Difficulty = state.MusicChoice = 0;
      MenuKey(game, Down);  // shows the focus on the start button; the rows lie above it
      const std::pair<FocusRow, int32_t*> rows[] = {{FocusRow::Music, &state.MusicChoice},
                                                    {FocusRow::Difficulty, &state.Difficulty},
                                                    {FocusRow::StageBar, &state.Stage}};
      for (const auto& [row, choice] : rows) {
        MenuKey(game, Up);
        ASSERT_EQ(FocusedRow(state), row);
        const int32_t last = row == FocusRow::StageBar ? c.lastStage : row == FocusRow::Difficulty ? 2 : c.lastTrack;
        for (int i = 0; i < 25; ++i) {
          if (pad) {
            Pad(PadButton::Right);
          } else {
            MenuKey(game, KeyCode::Right);
          }
        }
        EXPECT_EQ(*choice, last) << (pad ? "pad" : "keys") << ", " << c.opened << " open";
        for (int i = 0; i < 25; ++i) MenuKey(game, KeyCode::Left);
        EXPECT_EQ(*choice, 0) << c.opened << " open";
      }
    }
  }
}

// A d-pad direction held down acts once at once, again on the 12th frame and then every 4th,
// one direction at a time; let go, it stops.
TEST_F(FocusTest, AHeldDirectionRepeatsAfterTwelveFramesThenEveryFourth) {
  Show(ModeStageSelect);
  player.UserMaxStage = 20;
  MenuKey(game, Down);
  for (int i = 0; i < 3; ++i) MenuKey(game, Up);  // the stage bar
  ASSERT_EQ(FocusedRow(state), FocusRow::StageBar);
  PadPress(game, PadButton::Right);
  EXPECT_EQ(state.Stage, 1);
  std::vector<int32_t> stages;
  for (int frame = 1; frame <= 21; ++frame) {
    ControlsFrame(game);
    stages.push_back(state.Stage);
  }
  //                             frames 1 .. 11                   12         16         20
  EXPECT_EQ(stages, (std::vector<int32_t>{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4}));
  PadRelease(state, PadButton::Right);
  for (int frame = 0; frame < 20; ++frame) ControlsFrame(game);
  EXPECT_EQ(state.Stage, 4);
  // Pressed again, the count starts anew; a second direction pressed takes over the repeat.
  PadPress(game, PadButton::Right);
  for (int frame = 1; frame <= 11; ++frame) ControlsFrame(game);
  EXPECT_EQ(state.Stage, 5);
  ControlsFrame(game);
  EXPECT_EQ(state.Stage, 6);
  PadPress(game, PadButton::Left);
  EXPECT_EQ(state.Stage, 5);
  for (int frame = 1; frame <= 12; ++frame) ControlsFrame(game);
  EXPECT_EQ(state.Stage, 4) << "only the one direction repeats";
}

}  // namespace

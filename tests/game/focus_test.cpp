// SPDX-License-Identifier: MIT
// The game without a mouse: the focus's stops and their order on every screen, what each key and
// pad control does there, the limits of the stage selection's choices and the d-pad's repeat.
#include "game/focus.h"

#include <set>
#include <tuple>
#include "game/controls.h"
#include "game/pages.h"
#include "game/replay.h"

#include "player/high_scores.h"

#include "audio/sound_effects.h"
#include "game/board.h"
#include "game/flow.h"
#include "game/game_test_support.h"
#include "game/input.h"

namespace {

using namespace KeyCode;

// The focus as the tests name it: a screen button's index, or one of these.
constexpr int32_t StageBarRow = -1, DifficultyRow = -2, MusicRow = -3, MusicSwitch = -4, SoundSwitch = -5,
                  MusicVolume = -6, SoundVolume = -7, NoFocus = -100;

// The default skin's buttons as its main.ini places them, each the size of its picture.
std::vector<ScreenButton> DefaultButtons(int32_t mode) {
  const auto at = [](int32_t left, int32_t top, int32_t width, int32_t height) {
    return ScreenButton{0, left, 0, left + width, top, top + height, ButtonShown};
  };
  const ScreenButton noAdvertisement = at(0, 0, 1, 1);
  if (mode == ModeTitle) return {at(130, 300, 180, 48), at(130, 364, 180, 48), noAdvertisement};
  if (mode == ModeStageSelect) return {at(262, 330, 180, 48), noAdvertisement};
  return {at(10, 316, 100, 34),  at(114, 316, 100, 34), at(10, 356, 100, 34),
          at(114, 356, 100, 34), at(14, 398, 200, 32),  at(252, 300, 100, 34),
          at(372, 300, 100, 34), at(252, 300, 100, 34), at(372, 300, 100, 34)};
}

class FocusTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    // The default skin's switches (the box and its word) and volume bars, left of the board.
    for (int32_t i = 0; i < 2; ++i) {
      layout.CheckHitLeft[i] = 18;
      layout.CheckHitRight[i] = 124;
      layout.CheckHitTop[i] = 230 + 32 * i;
      layout.CheckHitBottom[i] = 258 + 32 * i;
      layout.VolX[i] = 152;
      layout.VolY[i] = 237 + 32 * i;
    }
    layout.VolumeWidth = 52;
    layout.VolumeHeight = 14;
  }
  // Screen `mode` in `playState`, its buttons where the default skin places them, the focus not
  // yet shown.
  void Show(int32_t mode, int32_t playState = PlayRunning) {
    state.GameMode = mode;
    state.PlayState = playState;
    services.LoadButtons(mode == ModeTitle         ? "TitleButton"
                         : mode == ModeStageSelect ? "SelectStageButton"
                                                   : "GameButton");
    state.Buttons = DefaultButtons(mode);
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
  // Where the focus is, as the constants above name it.
  int32_t Focus() {
    const int32_t button = FocusedButton(state);
    if (button >= 0) return button;
    const FocusRow row = FocusedRow(state);
    return row == FocusRow::None ? NoFocus : -static_cast<int32_t>(row);
  }
  // Where the focus goes from where it is, `key` pressed `count` - 1 times.
  std::vector<int32_t> Visits(int count, int32_t key = Down) {
    std::vector<int32_t> visited{Focus()};
    for (int i = 1; i < count; ++i) {
      MenuKey(game, key);
      visited.push_back(Focus());
    }
    return visited;
  }
};

TEST_F(FocusTest, EachScreenStartsOnItsDefaultAndDownWalksItsColumnRound) {
  struct Case {
    const char* what;
    int32_t mode, playState;
    std::vector<int32_t> visits;  // from the default on, Down pressed again and again
  };
  const Case cases[] = {
      {"title: play, quit, round to play", ModeTitle, PlayRunning, {0, 1, 0}},
      {"stage selection: start, round to the rows above it",
       ModeStageSelect,
       PlayRunning,
       {0, StageBarRow, DifficultyRow, MusicRow, 0}},
      {"paused: resume first, then the column under it, round by the switches to the other column",
       ModePlay,
       PlayPaused,
       {1, 3, 4, MusicSwitch, SoundSwitch, 0, 2, 4}},
      {"game over: new game first", ModePlay, PlayGameOver, {0, 2, 4, MusicSwitch, SoundSwitch, 0}},
      {"new game? no first, nothing under it", ModePlay, PlayRunning + OverlayNewGame, {6, 6}},
      {"exit? no first", ModePlay, PlayStageClear + OverlayExit, {8, 8}},
      {"running play: nothing", ModePlay, PlayRunning, {NoFocus, NoFocus}},
      {"help: nothing", ModePlay, OverlayHelp, {NoFocus, NoFocus}},
  };
  for (const Case& c : cases) {
    Show(c.mode, c.playState);
    EXPECT_EQ(Focus(), NoFocus) << c.what << ": hidden until a key";
    MenuKey(game, Up);
    EXPECT_EQ(Visits(static_cast<int>(c.visits.size())), c.visits) << c.what;
  }
  // A play screen with fewer buttons: the panels visit those there are.
  Show(ModePlay, PlayPaused);
  state.Buttons.resize(4);
  MenuKey(game, Up);
  EXPECT_EQ(Visits(5), (std::vector<int32_t>{1, 3, MusicSwitch, SoundSwitch, 0}));
  Show(ModePlay, OverlayExit);
  state.Buttons.resize(8);
  MenuKey(game, Up);
  EXPECT_EQ(Visits(2, Left), (std::vector<int32_t>{7, 7}));
  // Up from the stage selection's start button climbs its rows, and round to it again.
  Show(ModeStageSelect);
  MenuKey(game, Down);
  EXPECT_EQ(Visits(5, Up), (std::vector<int32_t>{0, MusicRow, DifficultyRow, StageBarRow, 0}));
}

// The arrows move to the nearest control that way, by where the skin placed the controls:
// straight that way before nearer but askew, and round from the far side where nothing lies
// that way.
TEST_F(FocusTest, ArrowsFollowTheLayout) {
  struct Case {
    const char* what;
    int32_t from, key, to;
  };
  // The default skin's pause panel: two columns of buttons under the switches and bars.
  const Case defaultLayout[] = {
      {"pause, right: nothing beside it, round to new game", 1, Right, 0},
      {"new game, right: pause, not exit below it", 0, Right, 1},
      {"pause, down: exit, not help", 1, Down, 3},
      {"help, up: new game, not exit", 2, Up, 0},
      {"exit, left: help", 3, Left, 2},
      {"web, up: exit, whose middle lies nearer", 4, Up, 3},
      {"new game, up: the sound switch", 0, Up, SoundSwitch},
      {"pause, up: the sound switch, nearer than its bar", 1, Up, SoundSwitch},
      {"music switch, right: its bar", MusicSwitch, Right, MusicVolume},
      {"sound bar, up: the music bar", SoundVolume, Up, MusicVolume},
      {"music bar, down: the sound bar", MusicVolume, Down, SoundVolume},
      {"music switch, up: round from the bottom, to web", MusicSwitch, Up, 4},
  };
  const auto focusOn = [&](int32_t stop) {
    state.Focus.Visible = true;
    PlaceFocus(state);  // placed on the screen shown, then moved where the case starts
    state.Focus.Current = stop >= 0 ? FocusStop{FocusRow::None, stop} : FocusStop{static_cast<FocusRow>(-stop), -1};
  };
  for (const Case& c : defaultLayout) {
    Show(ModePlay, PlayPaused);
    focusOn(c.from);
    MenuKey(game, c.key);
    EXPECT_EQ(Focus(), c.to) << "default layout, " << c.what;
  }
  // Another skin: the play buttons in one row along the bottom, web first, the switches on the
  // right of the board with their bars under them.
  const auto at = [](int32_t left, int32_t top) {
    return ScreenButton{0, left, 0, left + 90, top, top + 30, ButtonShown};
  };
  const std::vector<ScreenButton> row = {at(120, 500), at(220, 500), at(320, 500), at(420, 500), at(20, 500)};
  for (int32_t i = 0; i < 2; ++i) {
    layout.CheckHitLeft[i] = 500 + 100 * i;
    layout.CheckHitRight[i] = 580 + 100 * i;
    layout.CheckHitTop[i] = 100;
    layout.CheckHitBottom[i] = 130;
    layout.VolX[i] = 510 + 100 * i;
    layout.VolY[i] = 150;
  }
  const Case otherLayout[] = {
      {"web, right: new game", 4, Right, 0},
      {"help, right: exit", 2, Right, 3},
      {"exit, right: nothing, round to web", 3, Right, 4},
      {"new game, left: web", 0, Left, 4},
      {"exit, up: the music bar above and right, before the far switches", 3, Up, MusicVolume},
      {"music switch, down: its bar", MusicSwitch, Down, MusicVolume},
      {"music switch, right: the sound switch", MusicSwitch, Right, SoundSwitch},
      {"sound bar, down: exit, the nearest below", SoundVolume, Down, 3},
      {"pause, down: nothing that way, and nothing else in its column: it stays", 1, Down, 1},
  };
  // The edges of "that way" and "in line", on a menu of three buttons: the focused one
  // (100, 100)-(200, 140) and two others.
  struct Edge {
    const char* what;
    ScreenButton one, two;
    int32_t to;
  };
  const auto box = [](int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return ScreenButton{0, left, 0, right, top, bottom, ButtonShown};
  };
  const Edge edges[] = {
      {"a middle on the right edge is not that way", box(150, 100, 250, 140), box(0, 0, 1, 1), 0},
      {"half a pixel beyond it is", box(151, 100, 250, 140), box(0, 0, 1, 1), 1},
      {"one pixel below is askew: the farther one in line wins", box(400, 100, 500, 140), box(300, 141, 400, 181), 1},
      {"touching below is in line: the nearer wins", box(400, 100, 500, 140), box(300, 140, 400, 180), 2},
      {"askew at 45 degrees is still that way", box(190, 160, 230, 200), box(0, 0, 1, 1), 1},
      {"askew beyond 45 degrees is not", box(190, 161, 230, 201), box(0, 0, 1, 1), 0},
  };
  for (const Edge& e : edges) {
    Show(ModeTitle);
    state.Buttons = {box(100, 100, 200, 140), e.one, e.two};
    MenuKey(game, Down);
    MenuKey(game, Right);
    EXPECT_EQ(Focus(), e.to) << e.what;
  }
  for (const Case& c : otherLayout) {
    Show(ModePlay, PlayPaused);
    state.Buttons = row;
    state.Buttons.resize(9, ScreenButton{0, 0, 0, 1, 0, 1, ButtonShown});
    focusOn(c.from);
    MenuKey(game, c.key);
    EXPECT_EQ(Focus(), c.to) << "other layout, " << c.what;
  }
}

// The menus' buttons take the focus where a cursor could hit them: hidden buttons and any 2
// pixels or less across (the advertisement without a picture) take none, and of two at one
// place only the first; the title starts on its first button that is neither quit nor
// advertisement.
TEST_F(FocusTest, MenuButtonsOnlyWhereACursorCouldHitThem) {
  struct Case {
    const char* what;
    std::vector<ScreenButton> buttons;  // Image, Left, Alpha, Right, Top, Bottom, State
    int32_t key;
    std::vector<int32_t> visits;
  };
  const ScreenButton start{0, 100, 0, 200, 300, 340, ButtonShown};
  const ScreenButton quit{0, 100, 0, 200, 400, 440, ButtonShown};
  const ScreenButton none{0, 0, 0, 0, 0, 0, ButtonShown};
  const Case cases[] = {
      {"a column: down walks it and comes round", {start, quit, none}, Down, {0, 1, 0}},
      {"the advertisement above and aside: up reaches it",
       {start, quit, {0, 10, 0, 90, 10, 60, ButtonShown}},
       Up,
       {0, 2, 2}},
      {"side by side: right comes round to the left one",
       {{0, 300, 0, 400, 300, 340, ButtonShown}, start, {0, 10, 0, 90, 10, 60, ButtonShown}},
       Right,
       {0, 1, 0}},
      {"at one place: the first", {start, start, quit}, Down, {0, 2, 0}},
      {"two at one place below: the first", {start, quit, quit}, Down, {0, 1, 0}},
      {"hidden start: quit first", {{0, 100, 0, 200, 300, 340, ButtonHidden}, quit, none}, Down, {1, 1}},
      {"3 pixels square: focused", {start, quit, {0, 5, 0, 8, 5, 8, ButtonShown}}, Up, {0, 2}},
      {"2 pixels wide: not", {start, quit, {0, 5, 0, 7, 5, 50, ButtonShown}}, Up, {0, 1}},
      {"2 pixels high: not", {start, quit, {0, 5, 0, 50, 5, 7, ButtonShown}}, Up, {0, 1}},
  };
  for (const Case& c : cases) {
    Show(ModeTitle);
    state.Buttons = c.buttons;
    MenuKey(game, Down);
    EXPECT_EQ(Visits(static_cast<int>(c.visits.size()), c.key), c.visits) << c.what;
  }
  // Nothing beside the default title's column: left and right keep the focus where it is.
  Show(ModeTitle);
  MenuKey(game, Down);
  MenuKey(game, KeyCode::Right);
  EXPECT_EQ(FocusedButton(state), 0);
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
      {"stage selection: escape returns to the title", ModeStageSelect, PlayRunning, EscapeKey, ModeTitle, PlayRunning},
      {"stage selection: east returns to the title", ModeStageSelect, PlayRunning, PadEast, ModeTitle, PlayRunning},
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
  PlayScreenAction(game, PlayButton::Pause);
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
  for (int32_t key : {Left - 1, Down + 1}) MenuKey(game, key);
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
    EXPECT_EQ(FocusedButton(state), c.button) << "back on the button that asked";
    // Opened by the mouse: no way back to a pause.
    Show(ModePlay, PlayRunning);
    PlayScreenAction(game, c.button);
    MenuKey(game, Escape);
    EXPECT_EQ(state.PlayState, PlayRunning);
  }
  // A button that asks nothing keeps the focus.
  Show(ModePlay, PlayPaused);
  MenuKey(game, Down);
  MenuKey(game, Down);
  MenuKey(game, Down);
  ASSERT_EQ(FocusedButton(state), PlayButton::Web);
  MenuKey(game, Enter);
  EXPECT_EQ(FocusedButton(state), PlayButton::Web);
  // A way back is forgotten once the panel closed otherwise.
  Show(ModePlay, PlayPaused);
  MenuKey(game, Down);
  MenuKey(game, Left);
  MenuKey(game, Enter);                           // new game?
  PlayScreenAction(game, PlayButton::NewGameNo);  // the mouse's "no"
  ControlsFrame(game);
  PlayScreenAction(game, PlayButton::Exit);
  MenuKey(game, Escape);
  EXPECT_EQ(state.PlayState, PlayRunning);
  // "Yes" leaves, whoever opened it.
  Show(ModePlay, PlayPaused);
  MenuKey(game, Down);
  MenuKey(game, Left);
  MenuKey(game, Enter);
  MenuKey(game, Left);
  MenuKey(game, Enter);
  EXPECT_EQ(state.GameMode, ModeStageSelect);
  EXPECT_NE(state.PlayState, PlayPaused) << "what was left is no paused game";
  // ... nor does the next confirmation, opened by the mouse before a frame ran, go back to a pause.
  state.Stage = 1;
  MenuKey(game, Enter);
  PlayScreenAction(game, PlayButton::NewGame);
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

// The side panel's switches flip with Enter, Space and the pad's south button, and its volume
// bars move a tenth with left and right, within 0 to 50; the music follows its switch and bar.
TEST_F(FocusTest, SwitchesAndVolumeBarsByKeysAndPad) {
  Show(ModePlay, PlayGameOver);
  player.CheckState[0] = player.CheckState[1] = 1;
  player.VolumeLevel[0] = 47;
  player.VolumeLevel[1] = 3;
  MenuKey(game, Down);  // shows the focus on new game
  MenuKey(game, Up);
  MenuKey(game, Up);
  ASSERT_EQ(Focus(), MusicSwitch);
  MenuKey(game, Enter);
  EXPECT_EQ(player.CheckState[0], 0);
  EXPECT_TRUE(MenuSpace(game)) << "space flips a focused switch, not the window";
  EXPECT_EQ(player.CheckState[0], 1);
  EXPECT_EQ(FocusStopArea(state, layout, {FocusRow::None, 9}).Right, 0) << "no such button: no area";
  EXPECT_EQ(services.TakeLog(), (std::vector<std::string>{"music pause", "music play"}));
  MenuKey(game, Down);
  Pad(PadButton::South);
  EXPECT_EQ(player.CheckState[1], 0);
  EXPECT_TRUE(MenuSpace(game));
  EXPECT_EQ(player.CheckState[1], 1);
  EXPECT_EQ(state.PlayState, PlayGameOver) << "nothing else pressed";
  MenuKey(game, Right);
  ASSERT_EQ(Focus(), SoundVolume);
  MenuKey(game, Left);
  EXPECT_EQ(player.VolumeLevel[1], 0);
  Pad(PadButton::Right);
  MenuKey(game, Right);
  EXPECT_EQ(player.VolumeLevel[1], 10);
  MenuKey(game, Up);
  ASSERT_EQ(Focus(), MusicVolume);
  MenuKey(game, Right);
  EXPECT_EQ(player.VolumeLevel[0], 50);
  MenuKey(game, Left);
  EXPECT_EQ(player.VolumeLevel[0], 45);
  EXPECT_EQ(services.TakeLog(), (std::vector<std::string>{"music volume 100", "music volume 90"}));
  MenuKey(game, Enter);
  EXPECT_EQ(state.PlayState, PlayGameOver) << "Enter on a bar presses nothing";
  EXPECT_EQ(state.GameMode, ModePlay);
  EXPECT_FALSE(MenuSpace(game)) << "on a bar Space hides the window as before";
}

// A key or pad direction held down when a panel appears acts there only once pressed again:
// Down held as the game ends moves no focus on the game-over panel, Enter held as a question
// opens answers nothing; in running play a held key repeats as it always has.
TEST_F(FocusTest, AKeyHeldWhenAPanelAppearsActsThereOnlyOncePressedAgain) {
  Show(ModePlay, PlayRunning);
  const auto press = [&](int32_t key, bool repeat) {
    if (!KeyActsHere(state, key, repeat)) return;
    Key(key);
  };
  press(KeyCode::Left, false);
  press(KeyCode::Left, true);
  EXPECT_EQ(state.Pair.Column, 1) << "a held key steers on";
  press(Down, false);
  state.PlayState = PlayGameOver;  // the game ends while Down is held
  press(Down, true);
  press(Down, true);
  EXPECT_EQ(Focus(), NoFocus);
  press(Down, false);
  EXPECT_EQ(Focus(), 0) << "pressed again: the first press shows the focus";
  press(Down, true);
  EXPECT_EQ(Focus(), 2) << "and now its repeat moves it";
  // Enter opens the exit question from the pause panel; its repeat answers nothing.
  Show(ModePlay, PlayPaused);
  press(Escape, false);
  press(Escape, true);
  EXPECT_EQ(state.PlayState, PlayRunning) << "escape's repeat does not pause again";
  Show(ModePlay, PlayPaused);
  MenuKey(game, Down);
  MenuKey(game, Down);
  press(Enter, false);
  ASSERT_EQ(state.PlayState, PlayRunning + OverlayExit);
  press(Enter, true);
  EXPECT_EQ(state.PlayState, PlayRunning + OverlayExit);
  // A d-pad direction held from running play into the game-over panel does not repeat there.
  Show(ModePlay, PlayRunning);
  PadPress(game, PadButton::Down);
  state.PlayState = PlayGameOver;
  for (int frame = 0; frame < 30; ++frame) ControlsFrame(game);
  EXPECT_EQ(Focus(), NoFocus);
  PadRelease(state, PadButton::Down);
  PadPress(game, PadButton::Down);
  for (int frame = 0; frame < 12; ++frame) ControlsFrame(game);
  EXPECT_EQ(Focus(), 2) << "pressed on the panel, it repeats there";
}

// The keys and pad buttons of play as the player bound them: in running play only they steer;
// on menus a key bound to a move moves the focus as its arrow; hurry holds, pause pauses,
// hide hides; an unbound arrow does nothing in play.
TEST_F(FocusTest, KeysAndPadButtonsOfPlayAsBound) {
  Show(ModePlay, PlayRunning);
  KeyBindings& bindings = player.Bindings;
  bindings[PlayAction::MoveLeft] = {'A', static_cast<int32_t>(PadButton::West)};
  bindings[PlayAction::Hurry] = {'H', static_cast<int32_t>(PadButton::RightShoulder)};
  bindings[PlayAction::Hide] = {'M', Unbound};
  bindings[PlayAction::Pause] = {'P', Unbound};
  KeyDownInput(game, Left, false);
  EXPECT_EQ(state.Pair.Column, 3) << "the arrow is no key of play any more";
  KeyDownInput(game, 'A', false);
  KeyDownInput(game, 'A', true);
  EXPECT_EQ(state.Pair.Column, 1);
  Pad(PadButton::West);
  EXPECT_EQ(state.Pair.Column, 0);
  EXPECT_FALSE(HurryHeld(game));
  KeyDownInput(game, 'H', false);
  EXPECT_TRUE(HurryHeld(game));
  EXPECT_TRUE(state.KeyControl);
  KeyUpInput(game, 'H');
  EXPECT_FALSE(HurryHeld(game));
  PadPress(game, PadButton::RightShoulder);
  EXPECT_TRUE(HurryHeld(game));
  PadRelease(state, PadButton::RightShoulder);
  EXPECT_FALSE(HurryHeld(game));
  KeyDownInput(game, 32, false);
  KeyPressInput(game, 32, false);
  KeyDownInput(game, 'M', false);
  EXPECT_EQ(services.TakeLog(), (std::vector<std::string>{"minimise"})) << "only the bound key hides";
  KeyDownInput(game, 'P', false);
  EXPECT_EQ(state.PlayState, PlayPaused);
  KeyDownInput(game, 'P', false);
  EXPECT_EQ(state.PlayState, PlayRunning) << "the pause key resumes too";
  KeyDownInput(game, Escape, false);
  EXPECT_EQ(state.PlayState, PlayPaused) << "Escape pauses whatever the bindings";
  // On the pause panel the bound key moves the focus as left does.
  KeyDownInput(game, Down, false);
  const int32_t before = Focus();
  KeyDownInput(game, 'A', false);
  MenuKey(game, Left);
  EXPECT_NE(Focus(), NoFocus);
  EXPECT_NE(before, NoFocus);
  // A held pad button bound to a move repeats in play; a turn never does.
  Show(ModePlay, PlayRunning);
  bindings[PlayAction::MoveRight] = {Right, static_cast<int32_t>(PadButton::North)};
  PadPress(game, PadButton::North);
  EXPECT_EQ(state.Pair.Column, 4);
  for (int frame = 0; frame < 12; ++frame) ControlsFrame(game);
  EXPECT_EQ(state.Pair.Column, 5);
  PadRelease(state, PadButton::North);
  EXPECT_EQ(PadArrow(game, PadButton::South), 0) << "south turns, it is no direction in play";
}

// The controls page: the focus walks the wells and the two buttons; Enter waits for a key and
// binds it, a key another action had is exchanged, F11 and Escape change nothing, Delete
// clears, the pad binds pad buttons, "defaults" restores them all, Escape leaves.
TEST_F(FocusTest, TheControlsPageBindsExchangesAndRestores) {
  Show(ModeTitle);
  state.Buttons.insert(state.Buttons.end() - 1, {ScreenButton{0, 400, 0, 580, 300, 348, ButtonShown},
                                                 ScreenButton{0, 400, 0, 580, 364, 412, ButtonShown}});
  ButtonClick(game, TitleButton::Controls);
  ASSERT_EQ(state.GameMode, ModeControls);
  state.Buttons = {ScreenButton{0, 20, 0, 120, 494, 528, ButtonShown},
                   ScreenButton{0, 600, 0, 700, 494, 528, ButtonShown}};
  KeyDownInput(game, Down, false);  // shows the focus on the first well
  ASSERT_EQ(FocusedStop(state), (FocusStop{FocusRow::BindingKey, -1, 0}));
  KeyDownInput(game, Right, false);
  EXPECT_EQ(FocusedStop(state), (FocusStop{FocusRow::BindingPad, -1, 0}));
  KeyDownInput(game, Left, false);
  KeyDownInput(game, Down, false);
  KeyDownInput(game, Down, false);
  ASSERT_EQ(FocusedStop(state), (FocusStop{FocusRow::BindingKey, -1, 2})) << "rotate's key";
  for (int i = 0; i < 4; ++i) KeyDownInput(game, Down, false);
  EXPECT_EQ(FocusedStop(state), (FocusStop{FocusRow::BindingKey, -1, 6})) << "the last action's key";
  KeyDownInput(game, Down, false);
  EXPECT_EQ(FocusedStop(state), (FocusStop{FocusRow::BindingKey, -1, 0})) << "round to the first";
  KeyDownInput(game, Down, false);
  KeyDownInput(game, Down, false);
  KeyDownInput(game, Enter, false);
  EXPECT_TRUE(state.Controls.Waiting);
  KeyDownInput(game, Left, false);  // move left's key: exchanged with rotate's
  EXPECT_FALSE(state.Controls.Waiting);
  EXPECT_EQ(player.Bindings[PlayAction::Rotate].Key, Left);
  EXPECT_EQ(player.Bindings[PlayAction::MoveLeft].Key, Up);
  EXPECT_NE(state.Controls.Message.find("Move left"), std::string::npos) << state.Controls.Message;
  KeyDownInput(game, Enter, false);
  KeyDownInput(game, F11, false);
  EXPECT_EQ(player.Bindings[PlayAction::Rotate].Key, Left) << "F11 belongs to the window";
  KeyDownInput(game, Enter, false);
  KeyDownInput(game, Escape, false);
  EXPECT_EQ(player.Bindings[PlayAction::Rotate].Key, Left);
  EXPECT_EQ(state.GameMode, ModeControls) << "Escape while waiting only stops waiting";
  KeyDownInput(game, 46, false);  // Delete
  EXPECT_EQ(player.Bindings[PlayAction::Rotate].Key, Unbound);
  KeyDownInput(game, Right, false);
  KeyDownInput(game, Enter, false);
  Pad(PadButton::LeftShoulder);
  EXPECT_EQ(player.Bindings[PlayAction::Rotate].Pad, static_cast<int32_t>(PadButton::LeftShoulder));
  KeyDownInput(game, Enter, false);
  Pad(PadButton::Left);  // move left's button: exchanged, and said so
  EXPECT_EQ(player.Bindings[PlayAction::MoveLeft].Pad, static_cast<int32_t>(PadButton::LeftShoulder));
  EXPECT_NE(state.Controls.Message.find("Move left takes"), std::string::npos) << state.Controls.Message;
  KeyDownInput(game, Enter, false);
  Pad(PadButton::LeftShoulder);
  EXPECT_EQ(player.Bindings[PlayAction::Rotate].Pad, static_cast<int32_t>(PadButton::LeftShoulder));
  // The mouse chooses a well too.
  state.Mouse.X = ControlsPadLeft + 5;
  state.Mouse.Y = ControlsRowTop + ControlsRowPitch * 6 + 5;
  ClickStep(game, MouseButton::Right);
  EXPECT_FALSE(state.Controls.Waiting) << "the right button chooses nothing";
  ClickStep(game, MouseButton::Left);
  EXPECT_TRUE(state.Controls.Waiting);
  EXPECT_EQ(FocusedStop(state).Item, 6);
  Pad(PadButton::LeftShoulder);
  EXPECT_EQ(player.Bindings[PlayAction::Hide].Pad, static_cast<int32_t>(PadButton::LeftShoulder));
  EXPECT_EQ(player.Bindings[PlayAction::Rotate].Pad, Unbound) << "rotate's button, exchanged for hide's none";
  KeyDownInput(game, Down, false);
  ASSERT_EQ(FocusedStop(state).Button, ControlsButton::Defaults) << "below the last pad button";
  KeyDownInput(game, Enter, false);
  EXPECT_EQ(player.Bindings, DefaultBindings());
  KeyDownInput(game, Left, false);
  EXPECT_EQ(FocusedStop(state).Button, ControlsButton::Back);
  KeyDownInput(game, Escape, false);
  EXPECT_EQ(state.GameMode, ModeTitle);
}

// The name of a record: typed (what the table's code page cannot hold is left out), erased,
// picked with the pad (rows and columns come round) or the mouse, and kept with Enter, Start
// or the picker's OK; the held keys of play do nothing meanwhile.
TEST_F(FocusTest, ANameTypedPickedAndKept) {
  Show(ModePlay, PlayGameOver);
  KeyDownInput(game, Down, false);  // held as the name is asked for
  OpenNameEntry(game, 1, 2, 500, "Ann");
  KeyDownInput(game, Down, true);
  EXPECT_EQ(state.NameEntry.PickRow, 0) << "the held key acts on the name only once pressed again";
  state.Focus.Visible = true;
  EXPECT_EQ(FocusedStop(state), FocusStop{}) << "the name takes the keys: no button of the panel has the focus";
  TextInput(game, "a\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80");  // a, e acute, the euro sign, a face
  EXPECT_EQ(state.NameEntry.Name, "Anna\xe9\x80");
  EXPECT_TRUE(state.NameEntry.Refused);
  KeyDownInput(game, 8, false);
  KeyDownInput(game, 8, false);
  EXPECT_EQ(state.NameEntry.Name, "Anna");
  KeyDownInput(game, Up, false);
  KeyDownInput(game, Left, false);
  EXPECT_EQ(PickerCharacter(state.NameEntry.PickRow, state.NameEntry.PickColumn), PickerDone);
  Pad(PadButton::Down);
  Pad(PadButton::Right);
  Pad(PadButton::South);
  EXPECT_EQ(state.NameEntry.Name, "AnnaA");
  state.Mouse.X = NamePanelLeft + PickerLeft + PickerColumnPitch * 10 + 3;
  state.Mouse.Y = NamePanelTop + PickerTop + PickerRowPitch * 4 + 3;
  ClickStep(game, MouseButton::Left);
  EXPECT_EQ(state.NameEntry.Name, "AnnaA ");
  Pad(PadButton::East);
  EXPECT_EQ(state.NameEntry.Name, "AnnaA");
  for (int i = 0; i < 20; ++i) TextInput(game, "x");
  EXPECT_EQ(state.NameEntry.Name.size(), MaxNameLength);
  EXPECT_EQ(state.PlayState, PlayGameOver);
  EXPECT_EQ(services.TakeLog(), std::vector<std::string>{});
  KeyDownInput(game, Enter, false);
  EXPECT_FALSE(state.NameEntry.Open);
  EXPECT_EQ(services.TakeLog(), (std::vector<std::string>{"named AnnaAxxxxxxxxxxx"}));
  OpenNameEntry(game, 0, 0, 10, "Bo");
  Pad(PadButton::Start);
  EXPECT_EQ(services.TakeLog(), (std::vector<std::string>{"named Bo"}));
}

// The high-score screen: the records with a replay take the focus (the newest first), Enter or
// a click plays one; Escape goes back where the screen was opened.
TEST_F(FocusTest, TheHighScoreScreenPlaysRecords) {
  Show(ModeStageSelect);
  services.ReplayOf = 23;  // the last of all
  ShowHiScores(game);
  EXPECT_TRUE(state.HiScores.Replayable[23]);
  LeaveHiScores(game);
  services.ReplayOf = 2 * 8 + 3;
  ShowHiScores(game);
  ASSERT_EQ(state.GameMode, ModeHiScores);
  state.Buttons = {ScreenButton{0, 20, 0, 120, 494, 528, ButtonShown}};
  state.HiScores.NewestTable = 2;
  state.HiScores.NewestRank = 3;
  KeyDownInput(game, Down, false);
  EXPECT_EQ(FocusedStop(state), (FocusStop{FocusRow::Record, -1, 19}));
  services.TakeLog();
  KeyDownInput(game, Enter, false);
  state.Mouse.X = ScoresColumnLeft + 2 * ScoresColumnPitch + 10;
  state.Mouse.Y = ScoresRowTop + 3 * ScoresRowPitch + 10;
  ClickStep(game, MouseButton::Left);
  state.Mouse.Y += ScoresRowPitch;  // a record without a replay
  ClickStep(game, MouseButton::Left);
  EXPECT_EQ(services.TakeLog(), (std::vector<std::string>{"sound 0", "replay 2 3", "sound 0", "replay 2 3"}));
  state.Mouse.Y -= ScoresRowPitch;
  ClickStep(game, MouseButton::Right);  // a right click plays nothing
  EXPECT_EQ(services.TakeLog(), std::vector<std::string>{});
  MouseTookControl(state);
  EXPECT_EQ(FocusedStop(state), FocusStop{}) << "the mouse hides the focus";
  KeyDownInput(game, Escape, false);
  EXPECT_EQ(state.GameMode, ModeStageSelect);
}

// The edges of what a click or the picker hits: the wells of the controls page, the records of
// the high-score screen, the picker's cells; a name from the settings file kept to what the
// table holds; typing with no name asked for changes nothing.
TEST_F(FocusTest, WhatAClickAndThePickerHitAtTheirEdges) {
  struct Well {
    int32_t x, y;
    FocusRow row;
    int32_t action;
  };
  const int32_t lastRow = ControlsRowTop + ControlsRowPitch * (PlayActionCount - 1);
  for (const Well& w : {Well{ControlsKeyLeft, ControlsRowTop, FocusRow::BindingKey, 0},
                        Well{ControlsKeyRight - 1, ControlsRowTop + ControlsRowHeight - 1, FocusRow::BindingKey, 0},
                        Well{ControlsPadLeft, lastRow, FocusRow::BindingPad, PlayActionCount - 1},
                        Well{ControlsPadRight - 1, lastRow, FocusRow::BindingPad, PlayActionCount - 1},
                        Well{ControlsKeyLeft - 1, ControlsRowTop, FocusRow::None, 0},
                        Well{ControlsKeyRight, ControlsRowTop, FocusRow::None, 0},
                        Well{ControlsPadLeft - 1, ControlsRowTop, FocusRow::None, 0},
                        Well{ControlsPadRight, ControlsRowTop, FocusRow::None, 0},
                        Well{ControlsKeyLeft, ControlsRowTop - 1, FocusRow::None, 0},
                        Well{ControlsKeyLeft, ControlsRowTop + ControlsRowHeight, FocusRow::None, 0},
                        Well{ControlsKeyLeft, lastRow + ControlsRowPitch, FocusRow::None, 0}}) {
    FocusRow row = FocusRow::None;
    int32_t action = -1;
    const bool hit = BindingWellAt(w.x, w.y, row, action);
    EXPECT_EQ(hit, w.row != FocusRow::None) << w.x << ", " << w.y;
    if (hit) {
      EXPECT_EQ(std::make_pair(row, action), std::make_pair(w.row, w.action)) << w.x << ", " << w.y;
    }
  }
  const int32_t lastColumn = ScoresColumnLeft + 2 * ScoresColumnPitch, lastRecord = ScoresRowTop + 7 * ScoresRowPitch;
  for (const auto& [x, y, item] :
       {std::tuple{ScoresColumnLeft, ScoresRowTop, 0}, std::tuple{lastColumn + ScoresColumnWidth - 1, lastRecord, 23},
        std::tuple{ScoresColumnLeft + ScoresColumnWidth - 1, ScoresRowTop + ScoresRowHeight - 1, 0},
        std::tuple{ScoresColumnLeft - 1, ScoresRowTop, -1}, std::tuple{ScoresColumnLeft, ScoresRowTop - 1, -1},
        std::tuple{ScoresColumnLeft + ScoresColumnWidth, ScoresRowTop, -1},
        std::tuple{ScoresColumnLeft, ScoresRowTop + ScoresRowHeight, -1},
        std::tuple{lastColumn + ScoresColumnPitch, ScoresRowTop, -1},
        std::tuple{ScoresColumnLeft, lastRecord + ScoresRowPitch, -1}}) {
    int32_t hit = -1;
    EXPECT_EQ(RecordAt(x, y, hit), item >= 0) << x << ", " << y;
    if (item >= 0) {
      EXPECT_EQ(hit, item) << x << ", " << y;
    }
  }
  EXPECT_EQ(PickerCharacter(0, 0), 'A');
  EXPECT_EQ(PickerCharacter(4, 9), '9');
  EXPECT_EQ(PickerCharacter(4, 10), PickerSpace);
  EXPECT_EQ(PickerCharacter(4, 11), PickerErase);
  EXPECT_EQ(PickerCharacter(4, 13), PickerDone);
  for (const auto& [row, column] :
       {std::pair{-1, 0}, std::pair{0, -1}, std::pair{PickerRows, 0}, std::pair{0, PickerColumns}}) {
    EXPECT_EQ(PickerCharacter(row, column), PickerNone) << row << ", " << column;
  }
  Show(ModePlay, PlayGameOver);
  TextInput(game, "x");
  EXPECT_FALSE(state.NameEntry.Open);
  EXPECT_EQ(state.NameEntry.Name, "") << "no name is asked for";
  OpenNameEntry(game, 0, 0, 5,
                "Ann\x01\x81"
                "abcdefghijklmnopq");
  EXPECT_EQ(state.NameEntry.Name, "Annabcdefghijklm") << "control and undefined bytes left out, cut to 16";
  const auto click = [&](int32_t x, int32_t y) {
    state.Mouse.X = NamePanelLeft + PickerLeft + x;
    state.Mouse.Y = NamePanelTop + PickerTop + y;
    ClickStep(game, MouseButton::Left);
  };
  click(3, 3);  // A: the name is full
  EXPECT_EQ(state.NameEntry.Name.size(), MaxNameLength);
  click(PickerColumnPitch * 11, PickerRowPitch * 4);  // erase, at the cell's very corner
  click(-1, 3);
  click(3, -1);
  click(PickerColumnPitch * 10 + 3, PickerRowPitch * PickerRows + 3);  // below the picker
  EXPECT_EQ(state.NameEntry.Name, "Annabcdefghijkl");
  click(0, 0);  // the picker's very corner
  EXPECT_EQ(state.NameEntry.Name, "AnnabcdefghijklA");
  click(PickerColumnPitch * 13 + 3, PickerRowPitch * 4 + 3);  // OK, its second cell
  EXPECT_FALSE(state.NameEntry.Open);
}

// Whatever the bindings, the menus keep their own keys: the arrows and Space there, the pad's
// Back; keys of play with no place on a menu do nothing there; a key held since another screen
// acts only once pressed again; hurry is held by its key or its button, never by none.
TEST_F(FocusTest, TheMenusKeepTheirKeysWhateverTheBindings) {
  KeyBindings& bindings = player.Bindings;
  bindings[PlayAction::MoveLeft] = {'A', static_cast<int32_t>(PadButton::Back)};
  bindings[PlayAction::Drop] = {'S', Unbound};
  bindings[PlayAction::Hurry] = {'H', static_cast<int32_t>(PadButton::Left)};
  Show(ModeTitle);
  KeyDownInput(game, Down, false);
  KeyDownInput(game, Down, false);
  EXPECT_EQ(Focus(), 1) << "the down arrow moves the focus though it drops nothing any more";
  KeyDownInput(game, 'H', false);
  KeyPressInput(game, 'h', false);
  KeyDownInput(game, 32, false);
  EXPECT_EQ(Focus(), 1);
  EXPECT_FALSE(state.KeyControl) << "hurry takes no pair on the title";
  EXPECT_EQ(services.TakeLog(), std::vector<std::string>{}) << "no key of play hides or presses on the title";
  Pad(PadButton::Up);
  EXPECT_EQ(Focus(), 0) << "the d-pad's up moves the focus on a menu";
  KeyPressInput(game, 32, false);
  EXPECT_EQ(state.GameMode, ModeStageSelect) << "Space presses the focused button";
  Show(ModePlay, PlayPaused);
  KeyDownInput(game, Left, false);
  KeyDownInput(game, Left, false);
  EXPECT_EQ(Focus(), PlayButton::NewGame) << "the left arrow moves the focus though it moves no pair";
  KeyDownInput(game, 32, false);
  EXPECT_EQ(services.TakeLog(), (std::vector<std::string>{"minimise"})) << "on a button of the pause panel Space hides";
  Pad(PadButton::Up);
  EXPECT_NE(Focus(), PlayButton::NewGame);
  bindings[PlayAction::MoveRight].Pad = static_cast<int32_t>(PadButton::West);
  const int32_t before = Focus();
  Pad(PadButton::West);
  EXPECT_NE(Focus(), before) << "a button with no place on the menus moves the focus as its move";
  Pad(PadButton::Back);
  EXPECT_EQ(state.PlayState, PlayRunning) << "Back goes back though move left is bound to it";
  // Down held from running play into the game-over panel.
  KeyDownInput(game, 'S', false);
  state.PlayState = PlayGameOver;
  KeyDownInput(game, 'S', true);
  KeyDownInput(game, Down, true);
  const int32_t atGameOver = Focus();
  KeyDownInput(game, 'S', true);
  EXPECT_EQ(Focus(), atGameOver);
  // Hurry: by its key, by its button (the d-pad's left, number 0), not by none.
  Show(ModePlay, PlayRunning);
  EXPECT_FALSE(HurryHeld(game));
  PadPress(game, PadButton::Left);
  EXPECT_TRUE(HurryHeld(game));
  PadRelease(state, PadButton::Left);
  bindings[PlayAction::Hurry] = {Unbound, Unbound};
  PadPress(game, PadButton::Left);
  KeyDownInput(game, 'H', false);
  EXPECT_FALSE(HurryHeld(game));
  bindings[PlayAction::Hurry].Pad = PadButtonCount;  // no such button: held by nothing
  EXPECT_FALSE(HurryHeld(game));
  // The window losing the focus pauses running play only.
  ApplyInput(game, {ReplayEventKind::Activate, 0, 0, 0});
  EXPECT_EQ(state.PlayState, PlayPaused);
  for (int32_t mode : {ModeTitle, ModePlay}) {
    Show(mode, mode == ModeTitle ? PlayRunning : PlayGameOver);
    const int32_t playState = state.PlayState;
    ApplyInput(game, {ReplayEventKind::Activate, 0, 0, 0});
    EXPECT_EQ(state.PlayState, playState) << mode;
  }
}

// A held direction repeats on the menus though another button is held too, moves the name's
// picker while a name is asked for, and moves nothing while the controls page waits for a button.
// A skin without the controls page: its button on the pause panel takes no focus.
TEST_F(FocusTest, AnAbsentButtonTakesNoFocus) {
  Show(ModePlay, PlayPaused);
  state.Buttons.push_back(ScreenButton{0, 306, 0, 414, 360, 394, ButtonAbsent});
  KeyDownInput(game, Down, false);
  for (int32_t key : {Down, Down, Right, Down, Left, Up, Up, Right, Right, Down, Down, Down}) {
    KeyDownInput(game, key, false);
    EXPECT_NE(Focus(), PlayButton::Controls);
  }
  state.Buttons.back().State = ButtonShown;
  std::set<int32_t> visited;
  for (int i = 0; i < 12; ++i) {
    for (int32_t key : {Down, Right}) {
      KeyDownInput(game, key, false);
      visited.insert(Focus());
    }
  }
  EXPECT_EQ(visited.count(PlayButton::Controls), 1u) << "shown, it takes the focus";
}

TEST_F(FocusTest, HeldPadButtonsRepeatWhereTheyShould) {
  Show(ModePlay, PlayPaused);
  player.Bindings[PlayAction::MoveLeft].Pad = static_cast<int32_t>(PadButton::West);
  PadPress(game, PadButton::Down);
  for (int frame = 0; frame < 6; ++frame) ControlsFrame(game);
  PadPress(game, PadButton::North);  // no arrow of its own: the repeat goes on
  const int32_t first = Focus();
  for (int frame = 0; frame < 6; ++frame) ControlsFrame(game);
  EXPECT_NE(Focus(), first) << "the held down repeats";
  PadReleaseAll(state);
  PadPress(game, PadButton::South);
  PadPress(game, PadButton::West);  // move left's, held with south
  const int32_t second = Focus();
  for (int frame = 0; frame < 12; ++frame) ControlsFrame(game);
  EXPECT_NE(Focus(), second) << "the held west repeats though south is held too";
  PadReleaseAll(state);
  Show(ModePlay, PlayGameOver);
  OpenNameEntry(game, 0, 0, 10, "");
  PadPress(game, PadButton::Right);
  EXPECT_EQ(state.NameEntry.PickColumn, 1);
  for (int frame = 0; frame < 12; ++frame) ControlsFrame(game);
  EXPECT_EQ(state.NameEntry.PickColumn, 2) << "the held right repeats on the picker";
  EXPECT_EQ(Focus(), NoFocus);
  PadReleaseAll(state);
  state.NameEntry.Open = false;
  state.GameMode = ModeControls;
  state.Buttons = {ScreenButton{0, 20, 0, 120, 494, 528, ButtonShown}};
  state.Focus = FocusState{};
  PadPress(game, PadButton::Down);  // shows the focus
  const FocusStop shown = FocusedStop(state);
  for (int frame = 0; frame < 12; ++frame) ControlsFrame(game);
  EXPECT_NE(FocusedStop(state), shown) << "a held direction repeats on the controls page";
  PadPress(game, PadButton::South);  // down still held
  ASSERT_TRUE(state.Controls.Waiting);
  const FocusStop waiting = FocusedStop(state);
  for (int frame = 0; frame < 20; ++frame) ControlsFrame(game);
  EXPECT_EQ(FocusedStop(state), waiting);
  EXPECT_TRUE(state.Controls.Waiting);
}

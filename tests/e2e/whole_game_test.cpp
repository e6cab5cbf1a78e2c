// SPDX-License-Identifier: MIT
// The real program, headless: start-up from the default skin, then a whole game played through
// window events pushed into SDL's queue, frame by frame, on a clock that runs as fast as the
// frames can be drawn. Checks the state after every step, the drawn back buffer, and the
// files the program leaves behind.
#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "base/locations.h"
#include "base/random.h"
#include "game/board.h"
#include "game/focus.h"
#include "game/game_state.h"
#include "game/replay.h"
#include "platform/platform.h"
#include "shell/game_loop.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "surface/surface.h"

namespace fs = std::filesystem;

namespace {

// The program's main window while a script plays it (set by the loop observer).
MainWindow* g_main = nullptr;
Game& TheGame() { return g_main->TheGame(); }
GameState& State() { return g_main->TheGame().State; }

// A 1 MHz counter that moves only when the program sleeps: every 1 ms pause of the loop
// is a millisecond of game time, so frames come as fast as they can be drawn.
class RacingClock : public Platform::ClockSource {
 public:
  int64_t PerformanceCounter() override { return counter_; }
  int64_t PerformanceFrequency() override { return 1'000'000; }
  void Sleep(uint32_t milliseconds) override { counter_ += int64_t{milliseconds} * 1000; }
  double SecondsOfDay() override { return 43'200.0 + static_cast<double>(counter_) / 1e6; }

 private:
  int64_t counter_ = 1'000'000;
};

// One step of the script: an action taken once, then a condition awaited for at most
// `frames` frames.
struct Step {
  std::string name;
  std::function<void()> act;
  std::function<bool()> done;
  int frames = 120;
};

class Player {
 public:
  explicit Player(std::vector<Step> steps) : steps_(std::move(steps)) {}

  // Runs after every frame the game draws.
  void AfterFrame() {
    if (finished_) return;
    if (!padActions_.empty()) {  // one pad change a frame, as fingers make them
      padActions_.front()();
      padActions_.erase(padActions_.begin());
      return;
    }
    if (!started_) {
      window_ = FindGameWindow();
      steps_[current_].act();
      started_ = true;
      waited_ = 0;
      return;
    }
    if (steps_[current_].done()) {
      started_ = false;
      if (++current_ == steps_.size()) finished_ = true;
      return;
    }
    if (++waited_ > steps_[current_].frames) {
      ADD_FAILURE() << "step \"" << steps_[current_].name << "\" did not complete";
      failed_ = finished_ = true;
      g_main->Close();
    }
  }

  // The last step may end the program, after which no frame runs to see it done: it is looked
  // at once more as the loop ends, while the window still exists.
  void AtExit() {
    if (!finished_ && started_ && current_ + 1 == steps_.size() && steps_[current_].done()) finished_ = true;
  }
  bool Finished() const { return finished_ && !failed_; }
  const std::string& CurrentStep() const { return steps_[current_ < steps_.size() ? current_ : 0].name; }

  static SDL_Window* FindGameWindow() {
    for (Uint32 id = 1; id < 64; ++id) {
      SDL_Window* window = SDL_GetWindowFromID(id);
      if (window != nullptr && (SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN) != 0 &&
          std::string(SDL_GetWindowTitle(window)) == TheGame().Layout.Texts.at(0))
        return window;
    }
    return nullptr;
  }

  SDL_Window* Window() const { return window_; }
  // Every frame the loop runs is followed by the script's next move.
  void FollowFrames(GameLoop& loop) {
    auto frame = loop.GameRefresh;
    loop.GameRefresh = [frame, this] {
      frame();
      AfterFrame();
    };
    auto exit = loop.GameExit;
    loop.GameExit = [exit, this] {
      AtExit();
      exit();
    };
  }
  void QueuePad(std::function<void()> action) { padActions_.push_back(std::move(action)); }

 private:
  std::vector<std::function<void()>> padActions_;
  std::vector<Step> steps_;
  size_t current_ = 0;
  bool started_ = false;
  bool finished_ = false;
  bool failed_ = false;
  int waited_ = 0;
  SDL_Window* window_ = nullptr;
};

Player* g_player = nullptr;

// Input as the window system delivers it. The picture area sits at the client area's origin.
void MoveTo(int x, int y) { SDL_WarpMouseInWindow(g_player->Window(), x, y); }

void PushButton(Uint32 type, Uint8 button, int x, int y) {
  SDL_Event event{};
  event.type = type;
  event.button.windowID = SDL_GetWindowID(g_player->Window());
  event.button.button = button;
  event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = 1;
  event.button.x = x;
  event.button.y = y;
  SDL_PushEvent(&event);
}

void ClickAt(int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
  MoveTo(x, y);
  PushButton(SDL_MOUSEBUTTONDOWN, button, x, y);
  PushButton(SDL_MOUSEBUTTONUP, button, x, y);
}

void ClickScreenButton(int index) {
  const ScreenButton& b = State().Buttons.at(static_cast<size_t>(index));
  ClickAt((b.Left + b.Right) / 2, (b.Top + b.Bottom) / 2);
}

void PressKey(SDL_Keycode key) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.windowID = SDL_GetWindowID(g_player->Window());
  event.key.state = SDL_PRESSED;
  event.key.keysym.sym = key;
  event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
  SDL_PushEvent(&event);
}

// Text as the keyboard types it (the name of a record).
void TypeText(const char* utf8) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  event.text.windowID = SDL_GetWindowID(g_player->Window());
  std::snprintf(event.text.text, sizeof event.text.text, "%s", utf8);
  SDL_PushEvent(&event);
}

// A key held down: the keyboard's repeat of it.
void RepeatKey(SDL_Keycode key) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.windowID = SDL_GetWindowID(g_player->Window());
  event.key.state = SDL_PRESSED;
  event.key.repeat = 1;
  event.key.keysym.sym = key;
  event.key.keysym.scancode = SDL_GetScancodeFromKey(key);
  SDL_PushEvent(&event);
}

// The controls a player without a mouse has, on the keyboard or on a gamepad driven through
// SDL's virtual joystick.
enum class Control { Left, Right, Up, Down, Confirm, Back, Pause, Hurry, NewLeft };

class Hands {
 public:
  explicit Hands(bool pad) : pad_(pad) {}
  ~Hands() { Unplug(); }
  Hands(const Hands&) = delete;
  Hands& operator=(const Hands&) = delete;

  void PlugIn() {
    if (!pad_) return;
    // The dummy video driver gives no window the keyboard focus, without which SDL keeps a
    // pad's events from the program.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    joystick_ = SDL_JoystickOpen(index);
    ASSERT_NE(joystick_, nullptr) << SDL_GetError();
  }
  void Unplug() {
    if (joystick_ == nullptr) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
      if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
    }
  }

  void Tap(Control control) {
    if (!pad_) {
      PressKey(Key(control));
      return;
    }
    Set(control, true);
    Set(control, false);
  }
  // Keyboard players press the down arrow; pad players hold the east button.
  void Set(Control control, bool down) {
    g_player->QueuePad([this, control, down] {
      if (joystick_ != nullptr) SDL_JoystickSetVirtualButton(joystick_, Button(control), down ? 1 : 0);
    });
  }
  // The left stick pushed to one side and let go.
  void Push(int axisValue) {
    g_player->QueuePad(
        [this, axisValue] { SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTX, axisValue); });
    g_player->QueuePad([this] { SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTX, 0); });
  }
  bool Pad() const { return pad_; }

 private:
  static SDL_Keycode Key(Control control) { return Bindings[static_cast<int>(control)].key; }
  static int Button(Control control) { return Bindings[static_cast<int>(control)].button; }

  // By Control: the key, the pad's button.
  struct Binding {
    SDL_Keycode key;
    int button;
  };
  static constexpr Binding Bindings[] = {{SDLK_LEFT, SDL_CONTROLLER_BUTTON_DPAD_LEFT},
                                         {SDLK_RIGHT, SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
                                         {SDLK_UP, SDL_CONTROLLER_BUTTON_DPAD_UP},
                                         {SDLK_DOWN, SDL_CONTROLLER_BUTTON_DPAD_DOWN},
                                         {SDLK_RETURN, SDL_CONTROLLER_BUTTON_A},
                                         {SDLK_ESCAPE, SDL_CONTROLLER_BUTTON_BACK},
                                         {SDLK_ESCAPE, SDL_CONTROLLER_BUTTON_START},
                                         {SDLK_DOWN, SDL_CONTROLLER_BUTTON_B},
                                         {SDLK_a, SDL_CONTROLLER_BUTTON_X}};

  bool pad_;
  SDL_Joystick* joystick_ = nullptr;
};

// A fingerprint of a rectangle of the picture just drawn.
uint64_t Fingerprint(int left, int top, int right, int bottom) {
  const Surface& screen = g_main->Pictures().Current();
  uint64_t hash = 1469598103934665603ull;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) {
      hash ^= screen.Pixels()[y * (screen.Pitch() / 2) + x];
      hash *= 1099511628211ull;
    }
  return hash;
}

uint64_t BoardPicture() { return Fingerprint(228, 90, 484, 506); }
// The height of one digit of the skin's score strip (score0.bmp, ten digits one above the other).
int g_scoreDigitHeight = 0;
uint64_t ScorePicture() {
  const SkinLayout& layout = TheGame().Layout;
  return Fingerprint(layout.ShowScoreX, layout.ShowScoreY, layout.ShowScoreX + 200,
                     layout.ShowScoreY + g_scoreDigitHeight);
}

// The pictures a script kept, by name.
std::map<std::string, std::vector<uint16_t>> g_pictures;

// Keeps the picture just drawn, once the fades of the last few frames have settled, and writes
// it as a BMP.
Step Picture(const fs::path& folder, const std::string& name) {
  auto frames = std::make_shared<int>(0);
  return {"picture " + name, [frames] { *frames = 0; },
          [frames, name, file = folder / (name + ".bmp")] {
            if (++*frames < 10) return false;
            const Surface& screen = g_main->Pictures().Current();
            std::vector<uint16_t>& kept = g_pictures[name];
            for (int y = 0; y < 540; ++y) {
              const uint16_t* row = screen.Pixels() + y * (screen.Pitch() / 2);
              kept.insert(kept.end(), row, row + 720);
            }
            SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(screen.Pixels(), 720, 540, 16, screen.Pitch(),
                                                                      SDL_PIXELFORMAT_RGB555);
            EXPECT_TRUE(picture != nullptr && SDL_SaveBMP(picture, file.c_str()) == 0) << SDL_GetError();
            SDL_FreeSurface(picture);
            return true;
          }};
}

// Whether two kept pictures are the same within a screen button's rectangle.
bool SameWithin(const std::vector<uint16_t>& a, const std::vector<uint16_t>& b, const ScreenButton& button) {
  for (int y = button.Top; y < button.Bottom; ++y)
    for (int x = button.Left; x < button.Right; ++x)
      if (a.at(static_cast<size_t>(y * 720 + x)) != b.at(static_cast<size_t>(y * 720 + x))) return false;
  return true;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// The well is set so that one pair of the targets' colour, put down in the left column,
// makes a line of four with the three targets.
void PrepareOneLineClear() {
  GameState& state = State();
  for (auto& column : state.Board)
    for (BoardCell& cell : column) cell.Colour = -1;
  for (int row = 10; row <= 12; ++row) state.Board[0][row] = BoardCell{0, 5, 0};
  state.Pair.Cells[0][1].Colour = 0;
  state.Pair.Cells[1][1].Colour = 0;
}

// Runs the program with `script` attached to its loop; `started` looks at the window once
// start-up is complete. Returns the program's exit status.
int PlayScript(Player& script, const std::function<void(MainWindow&)>& started = {}) {
  g_player = &script;
  const int status = RunGame(std::nullopt, [&](MainWindow& window) {
    g_main = &window;
    if (started) started(window);
    script.FollowFrames(window.Loop());
  });
  g_main = nullptr;
  g_player = nullptr;
  return status;
}

class WholeGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path skin = fs::path(std::getenv("KESTREL_SOURCE_DIR")) / "skin";
    if (!fs::exists(skin / "main.ini")) GTEST_SKIP() << "no default skin";
    programDir_ = fs::temp_directory_path() / ("kestrel_e2e_" + std::to_string(::getpid()));
    fs::remove_all(programDir_);
    fs::copy(skin, programDir_, fs::copy_options::recursive);
    Locations::PlayFrom(programDir_.string());
    Platform::SetClockSource(&clock_);
    GameRandom::UseFixedSeed(2024);
    Surface digits;
    digits.Read((programDir_ / "images" / "score0.bmp").string());
    g_scoreDigitHeight = digits.Height() / 10;
  }

  void TearDown() override {
    Platform::SetClockSource(nullptr);
    GameRandom::UseClockSeed();
    if (!programDir_.empty()) fs::remove_all(programDir_);
  }

  RacingClock clock_;
  fs::path programDir_;
};

TEST_F(WholeGameTest, TitleToStageClearToGameOverAndBack) {
  uint64_t helpPicture = 0, runningPicture = 0, scoreBefore = 0;
  int scoreAtClear = 0;

  std::vector<Step> steps = {
      {"title shown after start-up", [] {}, [] { return State().GameMode == ModeTitle && State().Tick > 20; }},
      {"title start button opens the stage selection", [] { ClickScreenButton(0); },
       [] { return State().GameMode == ModeStageSelect; }},
      {"a locked stage selects the highest open one", [] { ClickAt(317 + 14 * 5 + 7, 112); },
       [] { return State().Stage == 0; }},
      {"difficulty chosen by click", [] { ClickAt(268 + 64 * 2 + 18, 190); }, [] { return State().Difficulty == 2; }},
      {"a locked music button does nothing, an open one selects",
       [] {
         ClickAt(250 + 78 * 3 + 32, 266);
         ClickAt(250 + 32, 266);
       },
       [] { return State().MusicChoice == 0; }},
      {"start button starts stage 0 under the help page", [] { ClickScreenButton(0); },
       [] { return State().GameMode == ModePlay && State().PlayState == OverlayHelp && State().FadeStep == 0; }, 200},
      {"a click takes the help page away",
       [&] {
         helpPicture = BoardPicture();
         ClickAt(300, 200);
       },
       [&] { return State().PlayState == PlayRunning && State().FadeStep == 0; }},
      {"the board shows instead of the help page",
       [&] {
         EXPECT_NE(BoardPicture(), helpPicture);
         runningPicture = BoardPicture();
         ClickScreenButton(1);
       },
       [] { return State().PlayState == PlayPaused && State().FadeStep == 0; }},
      {"pause hides the board, resume shows it",
       [&] {
         EXPECT_NE(BoardPicture(), runningPicture);
         EXPECT_NE(g_main->Services().Music(), 0u);
         ClickScreenButton(1);
       },
       [] { return State().PlayState == PlayRunning; }},
      {"new game asks first", [] { ClickScreenButton(0); },
       [] { return State().PlayState == PlayRunning + OverlayNewGame && State().Buttons[6].State == -1; }},
      {"no returns to the game", [] { ClickScreenButton(6); },
       [] { return State().PlayState == PlayRunning && State().Buttons[6].State == 0; }},
      {"exit asks first", [] { ClickScreenButton(3); },
       [] { return State().PlayState == PlayRunning + OverlayExit && State().Buttons[8].State == -1; }},
      {"no returns to the game again", [] { ClickScreenButton(8); }, [] { return State().PlayState == PlayRunning; }},
      {"three targets of one colour wait under the entering pair",
       [&] {
         PrepareOneLineClear();
         MoveTo(700, 530);  // away from the board, so the mouse does not steer
         scoreBefore = ScorePicture();
       },
       [] { return State().PairActive && State().Pair.Row == -1; }, 200},
      {"arrow keys put the pair down in the left column",
       [] {
         for (int i = 0; i < 3; ++i) PressKey(SDLK_LEFT);
         for (int i = 0; i < 12; ++i) PressKey(SDLK_DOWN);
       },
       [] { return State().Board[0][9].Colour >= 0 || State().TargetCount < 3; }},
      {"the line vanishes and the stage is cleared", [] {},
       [&] {
         if (State().PlayState != PlayStageClear) return false;
         scoreAtClear = State().Score;
         return true;
       },
       300},
      {"the cleared targets scored and opened the next stage",
       [&] {
         EXPECT_EQ(scoreAtClear, 120);  // three targets at 40 points each
         EXPECT_EQ(TheGame().Player.HiScore[2], 120);
         EXPECT_EQ(TheGame().Player.UserMaxStage, 2);
         EXPECT_NE(ScorePicture(), scoreBefore);
         ClickAt(300, 300);
       },
       [] { return State().Stage == 1 && State().PlayState == PlayRunning && State().Score == 120; }},
      {"a pair that cannot leave its entry row ends the game",
       [] {
         State().Board[3][0] = BoardCell{1, 5, 0};
       },
       [] { return State().PlayState == PlayGameOver; }, 300},
      {"the score enters the table: the picker's A and OK name it",
       [] {
         EXPECT_TRUE(State().NameEntry.Open);
         EXPECT_EQ(State().NameEntry.Name, "Kestrel");
         ClickAt(NamePanelLeft + PickerLeft + 6, NamePanelTop + PickerTop + 6);
         ClickAt(NamePanelLeft + PickerLeft + PickerColumnPitch * 12 + 6,
                 NamePanelTop + PickerTop + PickerRowPitch * 4 + 6);
       },
       [] { return !State().NameEntry.Open && TheGame().Player.HiScoreTable[2][0].Name == "KestrelA"; }},
      {"game over: the figures laugh, exit leads to the title",
       [] {
         EXPECT_EQ(State().TargetMood[0][1], 3);
         EXPECT_EQ(State().AngelState[1], 3);
         EXPECT_EQ(TheGame().Player.HiScoreTable[2][0].Points, 120);
         ClickScreenButton(3);
       },
       [] { return State().GameMode == ModeTitle; }},
      {"the title's high scores show the record, which can be watched",
       [] { ClickScreenButton(TitleButton::HiScores); },
       [] { return State().GameMode == ModeHiScores && State().HiScores.Replayable[16]; }},
      {"a click on the record plays its game again",
       [] { ClickAt(ScoresColumnLeft + 2 * ScoresColumnPitch + 20, ScoresRowTop + 10); },
       [] { return State().Replaying && State().GameMode == ModePlay; }},
      {"escape goes back to the table, and back to the title", [] { PressKey(SDLK_ESCAPE); },
       [] { return State().GameMode == ModeHiScores && !State().Replaying; }},
      {"back to the title", [] { ClickScreenButton(HiScoreButton::Back); },
       [] { return State().GameMode == ModeTitle; }},
      {"quit closes the window", [] { ClickScreenButton(1); }, [] { return !g_main->FirstClose(); }},
  };
  Player player(std::move(steps));
  const int status = PlayScript(player, [&](MainWindow&) {
    // Start-up is complete: main.ini was rewritten with the fifth play button's image.
    const IniFile mainIni((programDir_ / "main.ini").string());
    EXPECT_EQ(mainIni.Read("GameButton", "Button4"), "4");
    EXPECT_EQ(State().Buttons.size(), 5u);  // start, quit, high scores, controls and the advertisement entry
  });

  EXPECT_EQ(status, 0);
  EXPECT_TRUE(player.Finished()) << "stopped at: " << player.CurrentStep();

  // What was played is kept: the settings and the high score table.
  const IniFile settings((programDir_ / "UserSettings.ini").string());
  EXPECT_EQ(settings.Read("MainSetting", "L_UserMaxStage"), "2");
  EXPECT_EQ(settings.Read("MainSetting", "L_UserDefStage"), "0");
  EXPECT_EQ(settings.Read("MainSetting", "L_UserDefDiff"), "2");
  EXPECT_EQ(settings.Read("MainSetting", "L_UserDefMusic"), "0");
  EXPECT_EQ(settings.Read("MainSetting", "Hi_Score2"), "120");
  // 24 records (a 2-byte length and the name, points, date and the 4-byte spare field), all
  // but one without a name, and the one game's replay beside them.
  const std::string table = ReadFile(programDir_ / "gameinfo.cfg");
  EXPECT_EQ(table.size(), 24u * (2 + 4 + 8 + 4) + 8);
  EXPECT_EQ(table.substr(16 * 18, 2 + 8), std::string("\x08\0KestrelA", 10));
  EXPECT_EQ(settings.Read("HighScores", "LastName"), "KestrelA");
  EXPECT_EQ(std::distance(fs::directory_iterator(programDir_ / "replays"), fs::directory_iterator()), 1);
}

// The same road without the mouse, on the keyboard and on a gamepad: every screen and panel
// reached through the focus, a stage cleared, a game lost, back to the title and out.
void PlayWithoutMouse(bool pad) {
  Hands hands(pad);
  auto running = [] { return State().GameMode == ModePlay && State().PlayState == PlayRunning; };
  std::vector<Step> steps = {
      {"title shown after start-up", [&] { hands.PlugIn(); },
       [] { return State().GameMode == ModeTitle && State().Tick > 20; }},
      {"down shows the focus on play, twice more reaches the controls page",
       [&] {
         for (int i = 0; i < 3; ++i) hands.Tap(Control::Down);
         hands.Tap(Control::Confirm);
       },
       [] { return State().GameMode == ModeControls && State().FadeStep == 0; }},
      {"move left is bound anew: the next key or button pressed",
       [&] {
         if (hands.Pad()) hands.Tap(Control::Right);  // the focus starts on move left's key
         hands.Tap(Control::Confirm);
         hands.Tap(Control::NewLeft);
       },
       [&] {
         const ActionBinding& left = TheGame().Player.Bindings[PlayAction::MoveLeft];
         return hands.Pad() ? left.Pad == static_cast<int32_t>(PadButton::West) : left.Key == 'A';
       }},
      {"back to the title, the focus on play", [&] { hands.Tap(Control::Back); },
       [] { return State().GameMode == ModeTitle && FocusedButton(State()) == TitleButton::Start; }},
      {"confirm starts from the title", [&] { hands.Tap(Control::Confirm); },
       [] { return State().GameMode == ModeStageSelect && FocusedButton(State()) == 0; }},
      {"up twice reaches the difficulty row, right picks the hardest",
       [&] {
         hands.Tap(Control::Up);
         hands.Tap(Control::Up);
         hands.Tap(Control::Right);
         hands.Tap(Control::Right);
         hands.Tap(Control::Right);
       },
       [] { return FocusedRow(State()) == FocusRow::Difficulty && State().Difficulty == 2; }},
      {"confirm on a row starts the stage under the help page", [&] { hands.Tap(Control::Confirm); },
       [] { return State().GameMode == ModePlay && State().PlayState == OverlayHelp && State().FadeStep == 0; }, 200},
      {"confirm takes the help page away", [&] { hands.Tap(Control::Confirm); }, running},
      {"pause", [&] { hands.Tap(Control::Pause); },
       [] { return State().PlayState == PlayPaused && FocusedButton(State()) == 1; }},
      {"from the pause panel, new game (left of pause) asks; the answer's default is no",
       [&] {
         hands.Tap(Control::Left);
         hands.Tap(Control::Confirm);
       },
       [] { return State().PlayState == OverlayNewGame && FocusedButton(State()) == 6; }},
      {"no returns to the pause panel, on new game", [&] { hands.Tap(Control::Confirm); },
       [] { return State().PlayState == PlayPaused && FocusedButton(State()) == PlayButton::NewGame; }},
      {"resume", [&] { hands.Tap(Control::Pause); }, running},
      {"a pad unplugged mid-game pauses nothing",
       [&] {
         hands.Unplug();
         hands.PlugIn();
       },
       [&] { return running() && State().Tick % 10 == 0; }},
      {"three targets of one colour wait under the entering pair", [] { PrepareOneLineClear(); },
       [] { return State().PairActive && State().Pair.Row == -1; }, 200},
      {"the old left moves the pair no more", [&] { hands.Tap(Control::Left); },
       [] { return State().Pair.Column == 3 && State().Tick % 4 == 0; }},
      {"the pair goes to the left column with the new left and is hurried down",
       [&] {
         for (int i = 0; i < 3; ++i) hands.Tap(Control::NewLeft);
         if (hands.Pad()) {
           hands.Set(Control::Hurry, true);
         } else {
           for (int i = 0; i < 12; ++i) hands.Tap(Control::Down);
         }
       },
       [] { return State().Board[0][9].Colour >= 0 || State().TargetCount < 3; }},
      {"the line vanishes and the stage is cleared", [&] { hands.Set(Control::Hurry, false); },
       [] { return State().PlayState == PlayStageClear; }, 300},
      {"confirm goes on to the next stage", [&] { hands.Tap(Control::Confirm); },
       [] { return State().Stage == 1 && State().PlayState == PlayRunning && State().Score == 120; }},
      {"a pair that cannot leave its entry row ends the game while down is held",
       [&] {
         State().Board[3][0] = BoardCell{1, 5, 0};
         if (!hands.Pad()) PressKey(SDLK_DOWN);
       },
       [] { return State().PlayState == PlayGameOver && State().NameEntry.Open; }, 300},
      {"the held down moves nothing on the name's panel",
       [&] {
         if (!hands.Pad()) {
           for (int i = 0; i < 5; ++i) RepeatKey(SDLK_DOWN);
         }
       },
       [] { return State().NameEntry.PickRow == 0 && State().Tick % 8 == 0; }},
      {"a name typed, or picked with the pad, enters the table",
       [&] {
         if (hands.Pad()) {
           hands.Tap(Control::Confirm);  // the picker's first letter, A
           hands.Tap(Control::Pause);    // Start keeps the name
         } else {
           TypeText("Zo\xc3\xab");
           PressKey(SDLK_RETURN);
         }
       },
       [&] {
         return !State().NameEntry.Open &&
                TheGame().Player.HiScoreTable[2][0].Name == (hands.Pad() ? "KestrelA" : "KestrelZo\xeb");
       }},
      {"game over: right to exit, confirm leads to the title",
       [&] {
         hands.Tap(Control::Right);
         hands.Tap(Control::Confirm);
       },
       [] { return State().GameMode == ModeTitle; }},
      {"back on the title goes to quit, confirm quits",
       [&] {
         EXPECT_EQ(TheGame().Player.UserMaxStage, 2);
         hands.Tap(Control::Back);
         hands.Tap(Control::Confirm);
       },
       [] { return !g_main->FirstClose(); }},
  };
  Player player(std::move(steps));
  const int status = PlayScript(player);
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(player.Finished()) << "stopped at: " << player.CurrentStep();
}

TEST_F(WholeGameTest, KeyboardAlone) { PlayWithoutMouse(false); }
TEST_F(WholeGameTest, GamepadAlone) { PlayWithoutMouse(true); }

// Pictures of the screens that are hard to reach by hand, for a person to look at (into the
// folder KESTREL_SCREENS names; a passing run keeps none otherwise): the score pop-ups of a
// chain, a cleared stage, and the keyboard's focus on the game-over panel, which must light the
// focused button and move with the focus, the picture around it unchanged.
TEST_F(WholeGameTest, PicturesOfScreensHardToReachByHand) {
  const char* named = std::getenv("KESTREL_SCREENS");
  const fs::path folder = named != nullptr ? fs::path(named) : programDir_ / "pictures";
  fs::create_directories(folder);
  g_pictures.clear();
  std::vector<ScreenButton> buttons;
  Hands keys(false);
  auto tap = [&keys](std::vector<Control> controls) {
    return [&keys, controls] {
      for (Control control : controls) keys.Tap(control);
    };
  };
  std::vector<Step> steps = {
      {"title", [] {}, [] { return State().GameMode == ModeTitle && State().Tick > 20; }},
      {"stage selection", tap({Control::Confirm}), [] { return State().GameMode == ModeStageSelect; }},
      {"help page", tap({Control::Confirm}), [] { return State().PlayState == OverlayHelp && State().FadeStep == 0; },
       200},
      {"play", tap({Control::Confirm}), [] { return State().PlayState == PlayRunning && State().FadeStep == 0; }},
      {"three targets side by side scored in a chain",
       [] {
         for (int column = 2; column < 5; ++column) AddScore(TheGame(), "70", 228 + 32 * column, 90 + 32 * 10, 2);
       },
       [] { return true; }},
      Picture(folder, "chain-popups"),
      {"three targets of one colour wait under the entering pair", [] { PrepareOneLineClear(); },
       [] { return State().PairActive && State().Pair.Row == -1; }, 200},
      {"stage clear",
       [&keys] {
         for (int i = 0; i < 3; ++i) keys.Tap(Control::Left);
         for (int i = 0; i < 12; ++i) keys.Tap(Control::Down);
       },
       [] { return State().PlayState == PlayStageClear; }, 300},
      Picture(folder, "stage-clear"),
      {"next stage", tap({Control::Confirm}), [] { return State().PlayState == PlayRunning; }},
      {"game over",
       [] {
         State().Board[3][0] = BoardCell{1, 5, 0};
       },
       [] { return State().PlayState == PlayGameOver; }, 300},
      Picture(folder, "name-entry"),
      {"the name kept", tap({Control::Confirm}), [] { return !State().NameEntry.Open; }},
      Picture(folder, "game-over-new-game"),
      {"focus on exit", tap({Control::Right}), [] { return FocusedButton(State()) == 3; }},
      Picture(folder, "game-over-exit"),
      {"title again",
       [&] {
         buttons = State().Buttons;
         keys.Tap(Control::Confirm);
       },
       [] { return State().GameMode == ModeTitle; }},
      {"the high scores", tap({Control::Down, Control::Confirm}),
       [] { return State().GameMode == ModeHiScores && State().FadeStep == 0; }},
      Picture(folder, "high-scores"),
      {"the controls", tap({Control::Back, Control::Down, Control::Down, Control::Confirm}),
       [] { return State().GameMode == ModeControls && State().FadeStep == 0; }},
      Picture(folder, "controls"),
      {"quit", tap({Control::Back, Control::Back, Control::Confirm}), [] { return !g_main->FirstClose(); }},
  };
  Player player(std::move(steps));
  EXPECT_EQ(PlayScript(player), 0);
  EXPECT_TRUE(player.Finished()) << "stopped at: " << player.CurrentStep();
  for (const char* name : {"chain-popups", "stage-clear", "game-over-new-game", "game-over-exit"}) {
    EXPECT_TRUE(fs::is_regular_file(folder / (std::string(name) + ".bmp"))) << name;
  }
  const std::vector<uint16_t>& onNewGame = g_pictures["game-over-new-game"];
  const std::vector<uint16_t>& onExit = g_pictures["game-over-exit"];
  ASSERT_EQ(onNewGame.size(), 720u * 540u);
  ASSERT_EQ(onExit.size(), 720u * 540u);
  ASSERT_GT(buttons.size(), 3u);
  EXPECT_FALSE(SameWithin(onNewGame, onExit, buttons[PlayButton::NewGame])) << "the new-game button goes dark";
  EXPECT_FALSE(SameWithin(onNewGame, onExit, buttons[PlayButton::Exit])) << "the exit button lights up";
  EXPECT_TRUE(SameWithin(onNewGame, onExit, buttons[PlayButton::Pause])) << "the others stay as they were";
}

// A game of random keys on a crowded stage, played until one scores, enters the table; its
// replay, started from the table, arrives at the very state the game ended in.
TEST_F(WholeGameTest, AGameEnteredInTheTableIsReplayedToItsEnd) {
  std::mt19937 random(5);
  int games = 0;
  uint64_t ended = 0;
  int32_t score = 0;
  const auto playOn = [&] {
    GameState& state = State();
    if (state.GameMode == ModeStageSelect && state.FadeStep == 0 && state.Tick % 4 == 0) {
      state.Stage = 20;  // the stage chosen, as the stage bar would
      PressKey(SDLK_RETURN);
      ++games;
    } else if (state.GameMode == ModePlay && state.PlayState == PlayGameOver) {
      if (state.Score > 0) return true;
      PressKey(SDLK_RETURN);  // new game
    } else if (state.GameMode == ModePlay && state.PlayState == PlayRunning && state.Tick % 3 == 0) {
      static const SDL_Keycode keys[] = {SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, SDLK_DOWN};
      PressKey(keys[random() % 5]);
    } else if (state.GameMode == ModePlay && state.PlayState == OverlayHelp + PlayRunning) {
      PressKey(SDLK_RETURN);
    }
    return false;
  };
  std::vector<Step> steps = {
      {"title, twenty-one stages open", [] { TheGame().Player.UserMaxStage = 21; },
       [] { return State().GameMode == ModeTitle && State().Tick > 20; }},
      {"stage selection", [] { PressKey(SDLK_RETURN); }, [] { return State().GameMode == ModeStageSelect; }},
      {"games of random keys until one scores", [] {}, playOn, 40000},
      {"its name kept",
       [&] {
         ended = GameStateHash(State());
         score = State().Score;
         PressKey(SDLK_RETURN);
       },
       [] { return !State().NameEntry.Open && State().HiScores.NewestRank >= 0; }},
      {"to the title",
       [] {
         PressKey(SDLK_RIGHT);
         PressKey(SDLK_RETURN);
       },
       [] { return State().GameMode == ModeTitle; }},
      {"the high scores, the focus on the new record",
       [] {
         PressKey(SDLK_DOWN);
         PressKey(SDLK_RETURN);
       },
       [] { return State().GameMode == ModeHiScores && FocusedStop(State()).Row == FocusRow::Record; }},
      {"its replay", [] { PressKey(SDLK_RETURN); }, [] { return State().Replaying; }},
      {"the replay ends where the game did", [] {},
       [] { return State().HiScores.Message.find("ended where its game did") != std::string::npos; }, 40000},
      {"the very state",
       [&] {
         EXPECT_EQ(State().Score, score);
         EXPECT_EQ(State().PlayState, PlayGameOver);
         PressKey(SDLK_ESCAPE);
       },
       [] { return State().GameMode == ModeHiScores && !State().Replaying; }},
      {"out",
       [] {
         PressKey(SDLK_ESCAPE);
         PressKey(SDLK_ESCAPE);
         PressKey(SDLK_RETURN);
       },
       [] { return !g_main->FirstClose(); }},
  };
  Player player(std::move(steps));
  EXPECT_EQ(PlayScript(player), 0);
  EXPECT_TRUE(player.Finished()) << "stopped at: " << player.CurrentStep() << " after " << games << " games";
  EXPECT_NE(ended, 0u);
}

TEST_F(WholeGameTest, AMissingImageStopsStartUpNamingTheFile) {
  fs::remove(programDir_ / "images" / "help.bmp");
  testing::internal::CaptureStderr();
  const int status = RunGame();
  const std::string message = testing::internal::GetCapturedStderr();
  EXPECT_EQ(status, 1);
  EXPECT_NE(message.find("help.bmp"), std::string::npos) << message;
}

}  // namespace

// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <SDL.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/skin_loaders.h"
#include "game/game_state.h"
#include "player/user_settings.h"
#include "shell/frame_presenter.h"
#include "shell/game_loop.h"
#include "shell/main_window.h"
#include "shell_fakes.h"

namespace fs = std::filesystem;

namespace {

// The default skin as start-up loads it, without its sounds.
void LoadDefaultSkin(SkinReader& reader, Skin& skin) {
  LoadTexts(reader, skin);
  LoadCursors(reader, skin);
  LoadButtonImages(reader, skin);
  LoadLayout(reader, skin);
  LoadGameImages(reader, skin.Images);
}

// One frame inside the loop, which would drop a failure of it: the test sees it instead.
void RunFrame(MainWindow& mainWindow) {
  try {
    mainWindow.OnGameRefresh();
  } catch (const std::exception& error) {
    ADD_FAILURE() << "the frame failed: " << error.what();
  }
}

std::string DefaultSkinFolder() { return (fs::path(std::getenv("KESTREL_SOURCE_DIR")) / "skin").string(); }

// The main window over the default skin on a fake window, with a fake clock, the player's
// files in a folder of their own.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory = fs::temp_directory_path() / ("kestrel_shell_" + std::to_string(::getpid()));
    fs::create_directories(directory);
    files = PlayerFilesIn(directory.string());
    LoadDefaultSkin(reader, skin);
    skin.Layout.Texts.at(0) = "Kestrel caption";
    mainWindow = std::make_unique<MainWindow>(skin, reader, player, files, std::nullopt);
    window = &windows.Last();
  }
  void TearDown() override {
    mainWindow.reset();
    fs::remove_all(directory);
  }

  // One frame as the loop raises it.
  void Frame() { mainWindow->OnGameRefresh(); }
  GameState& State() { return mainWindow->TheGame().State; }
  Canvas& Pictures() { return mainWindow->Pictures(); }

  FakeClock clock;
  FakeWindows windows;
  fs::path directory;
  PlayerFiles files;
  SkinReader reader{DefaultSkinFolder()};
  Skin skin;
  PlayerSettings player;
  std::unique_ptr<MainWindow> mainWindow;
  FakeWindow* window = nullptr;
};

}  // namespace

TEST(MainWindowMaximisedView, PlacesTheFourThirdsPictureAsTheExamplesSay) {
  const ViewPlacement wide = MaximisedView(1920, 1040);
  EXPECT_EQ(wide.ViewHeight, 1040);
  EXPECT_EQ(wide.ViewWidth, 1384);
  EXPECT_EQ(wide.Left, 268);
  EXPECT_EQ(wide.Top, 0);

  const ViewPlacement exact = MaximisedView(1024, 768);  // exactly 4:3: the second branch
  EXPECT_EQ(exact.ViewWidth, 1024);
  EXPECT_EQ(exact.ViewHeight, 768);
  EXPECT_EQ(exact.Left, 0);
  EXPECT_EQ(exact.Top, 0);

  const ViewPlacement tall = MaximisedView(1023, 1000);
  EXPECT_EQ(tall.ViewWidth, 1020);
  EXPECT_EQ(tall.ViewHeight, 765);
  EXPECT_EQ(tall.Left, 0);
  EXPECT_EQ(tall.Top, 117);
}

TEST(MainWindowMaximisedView, ZoomSurfaceNeverExceeds4096AndThePictureFits) {
  for (int32_t width = 1; width <= 16384; width += 37) {
    for (int32_t height = 1; height <= 12288; height += 41) {
      const ViewPlacement view = MaximisedView(width, height);
      ASSERT_LE(view.ViewWidth + view.ViewWidth / 180, 4096) << width << " x " << height;
      ASSERT_LE(view.ViewHeight + view.ViewHeight / 135, 4096) << width << " x " << height;
      ASSERT_GE(view.ViewWidth, 4);
      ASSERT_EQ(view.ViewWidth % 4, 0);
      ASSERT_LT(std::abs(view.ViewWidth * 3 - view.ViewHeight * 4), 16) << width << " x " << height;
      if (width >= 4 && height >= 3) {
        ASSERT_GE(view.Left, 0);
        ASSERT_GE(view.Top, 0);
        ASSERT_LE(view.Left + view.ViewWidth, width);
        ASSERT_LE(view.Top + view.ViewHeight, height);
      }
    }
  }
  // A huge screen gets the largest picture, centred.
  const ViewPlacement huge = MaximisedView(10000, 8000);
  EXPECT_EQ(huge.ViewWidth, 4072);
  EXPECT_EQ(huge.ViewHeight, 3054);
  EXPECT_EQ(huge.Left, (10000 - 4072) / 2);
  EXPECT_EQ(huge.Top, (8000 - 3054) / 2);
}

TEST_F(MainWindowTest, ConstructionMakesTheWindowBuffersAndLoop) {
  EXPECT_EQ(window->caption, "Kestrel caption");
  EXPECT_EQ(window->clientWidth, 720);
  EXPECT_EQ(window->clientHeight, 540);
  EXPECT_EQ(window->cursors.size(), 1u);  // cursor 0
  for (const Surface* surface : {&Pictures().Back[0], &Pictures().Back[1], &Pictures().Fade}) {
    EXPECT_EQ(surface->Width(), 724);
    EXPECT_EQ(surface->Height(), 544);
  }
  EXPECT_NE(mainWindow->Loop().Presenter(), nullptr);
  EXPECT_EQ(mainWindow->Window(), window);
  EXPECT_TRUE(mainWindow->FirstClose());
  Frame();  // active from the start: frames run
  EXPECT_EQ(State().Tick, 1);
}

TEST_F(MainWindowTest, MaximisedThenDraggedThenRestored) {
  Pictures().BackIndex = 0;
  std::fill_n(Pictures().Back[1].Pixels(), 724 * 544, uint16_t{0x7FFF});
  window->state = Platform::WindowState::Maximised;
  window->clientWidth = 1920;
  window->clientHeight = 1040;
  mainWindow->OnResize();
  EXPECT_EQ(Pictures().ViewWidth, 1384);
  EXPECT_EQ(Pictures().ViewHeight, 1040);
  EXPECT_EQ(window->placement.Left, 268);
  EXPECT_EQ(window->placement.Top, 0);
  EXPECT_EQ(window->placement.Width, 1384);
  EXPECT_EQ(window->placement.Height, 1040);
  EXPECT_EQ(Pictures().Zoom.Width(), 1391);
  EXPECT_EQ(Pictures().Zoom.Height(), 1047);
  EXPECT_EQ(Pictures().Back[1].Pixels()[0], 0);  // cleared for the first scaled presentation
  EXPECT_EQ(Pictures().Back[1].Pixels()[543 * 724 + 723], 0);

  // The cursor at the picture's left edge is logical 0, at its right edge about 719.
  window->cursorX = 268;
  window->cursorY = 0;
  Frame();
  EXPECT_EQ(State().Mouse.X, 0);
  EXPECT_EQ(State().Mouse.Y, 0);
  window->cursorX = 268 + 1383;
  window->cursorY = 1039;
  Frame();
  EXPECT_EQ(State().Mouse.X, 719);
  EXPECT_EQ(State().Mouse.Y, 539);
  // Outside the window nothing clamps it.
  window->cursorX = -100;
  Frame();
  EXPECT_LT(State().Mouse.X, 0);

  // A drag of the border in the normal state: the client area snaps back to 720 x 540.
  window->state = Platform::WindowState::Normal;
  window->clientWidth = 801;
  window->clientHeight = 633;
  const int shownBefore = window->showCount;
  mainWindow->OnResize();
  EXPECT_EQ(window->clientWidth, 720);
  EXPECT_EQ(window->clientHeight, 540);
  EXPECT_EQ(Pictures().ViewWidth, 720);
  EXPECT_EQ(Pictures().ViewHeight, 540);
  EXPECT_EQ(window->placement.Left, 0);
  EXPECT_EQ(window->placement.Width, 720);
  EXPECT_EQ(window->showCount, shownBefore + 1);
  EXPECT_EQ(Pictures().Zoom.Width(), 1391);  // kept

  // Minimised: nothing changes.
  window->state = Platform::WindowState::Minimised;
  window->clientWidth = 0;
  window->clientHeight = 0;
  mainWindow->OnResize();
  EXPECT_EQ(Pictures().ViewWidth, 720);
  EXPECT_EQ(window->clientWidth, 0);
}

TEST_F(MainWindowTest, FullScreenPresentsAndMapsAsTheMaximisedWindowAndRestoresIt) {
  for (const auto from : {Platform::WindowState::Maximised, Platform::WindowState::Normal}) {
    window->state = from;
    window->clientWidth = from == Platform::WindowState::Normal ? 720 : 1920;
    window->clientHeight = from == Platform::WindowState::Normal ? 540 : 1040;
    mainWindow->OnResize();
    const Platform::PictureRect windowed = window->placement;

    mainWindow->OnKeyDown(122, 0);  // F11
    EXPECT_EQ(window->state, Platform::WindowState::FullScreen);
    EXPECT_TRUE(player.FullScreen);
    mainWindow->OnResize();
    EXPECT_EQ(Pictures().ViewWidth, 1440);
    EXPECT_EQ(Pictures().ViewHeight, 1080);
    EXPECT_EQ(window->placement.Left, 240);
    EXPECT_EQ(window->placement.Top, 0);
    EXPECT_EQ(window->placement.Width, 1440);
    EXPECT_EQ(Pictures().Zoom.Width(), 1448);
    window->cursorX = 240 + 1438;
    window->cursorY = 1078;
    Frame();
    EXPECT_EQ(State().Mouse.X, 720 - 1);
    EXPECT_EQ(State().Mouse.Y, 540 - 1);

    mainWindow->OnKeyDown(13, 4);  // Alt+Enter
    EXPECT_EQ(window->state, from);
    EXPECT_FALSE(player.FullScreen);
    mainWindow->OnResize();
    EXPECT_EQ(window->placement.Left, windowed.Left);
    EXPECT_EQ(window->placement.Width, windowed.Width);
    EXPECT_EQ(window->clientWidth, from == Platform::WindowState::Normal ? 720 : 1920);
  }
  // Enter alone is no toggle.
  mainWindow->OnKeyDown(13, 0);
  EXPECT_EQ(window->state, Platform::WindowState::Normal);

  // The start: as the player left it, unless the command line says otherwise.
  mainWindow.reset();
  player.FullScreen = true;
  for (const std::optional<bool> commandLine : {std::optional<bool>(false), std::optional<bool>()}) {
    MainWindow started(skin, reader, player, files, commandLine);
    started.Show();
    EXPECT_EQ(windows.Last().state,
              commandLine.has_value() ? Platform::WindowState::Normal : Platform::WindowState::FullScreen);
  }
  player.FullScreen = false;
  MainWindow asked(skin, reader, player, files, true);
  asked.Show();
  EXPECT_EQ(windows.Last().state, Platform::WindowState::FullScreen);
}

TEST_F(MainWindowTest, KeysReachTheGameExceptF1AndF10) {
  RecordingOpener opener;
  mainWindow->OnKeyDown(112, 0);
  mainWindow->OnKeyDown(121, 0);
  ASSERT_EQ(opener.opened.size(), 1u);
  EXPECT_EQ(opener.opened[0], directory.string());

  State().GameMode = ModePlay;
  State().PlayState = PlayRunning;
  State().Pair.Row = 0;
  State().Pair.Column = 3;
  mainWindow->OnKeyDown(37, 0);
  EXPECT_TRUE(State().KeyControl);

  mainWindow->OnKeyDown('A', 0);
  mainWindow->OnKeyPress('a');
  EXPECT_EQ(window->minimiseCount, 0);
  mainWindow->OnKeyDown(32, 0);  // Space, the key that hides the window unless rebound
  mainWindow->OnKeyPress(32);
  EXPECT_EQ(window->minimiseCount, 1);
}

// Headless, every cursor of the skin is the system's arrow (handle 0): the test follows the
// cursor changes the window is asked for.
TEST_F(MainWindowTest, MouseHandlersMapPositionsAndFollowTheCursorStyle) {
  mainWindow->OnMouseDown(2);
  EXPECT_FALSE(State().Mouse.LeftDown);
  mainWindow->OnMouseDown(1);
  EXPECT_TRUE(State().Mouse.LeftDown);

  mainWindow->OnMouseMove(1, 123.5f, 77.0f);
  EXPECT_EQ(State().Mouse.X, 124);  // halves go to the even neighbour
  EXPECT_EQ(State().Mouse.Y, 77);
  Pictures().ViewWidth = 1384;
  Pictures().ViewHeight = 1040;
  mainWindow->OnMouseMove(0, 692, 520);
  EXPECT_EQ(State().Mouse.X, 360);
  EXPECT_EQ(State().Mouse.Y, 270);

  // The release uses the position the handlers and frames keep.
  mainWindow->OnMouseUp(2);
  EXPECT_TRUE(State().Mouse.LeftDown);
  mainWindow->OnMouseUp(1);
  EXPECT_FALSE(State().Mouse.LeftDown);

  const size_t applied = window->cursors.size();
  State().Mouse.Style = 3;  // not a cursor shape: cursor 0, already shown
  mainWindow->OnMouseMove(0, 1, 1);
  EXPECT_EQ(window->cursors.size(), applied);
  State().Mouse.Style = 4;
  mainWindow->OnMouseMove(0, 1, 1);
  mainWindow->OnMouseMove(0, 2, 1);
  EXPECT_EQ(window->cursors.size(), applied + 1);
  State().Mouse.Style = 5;  // back to cursor 0
  mainWindow->OnMouseMove(0, 1, 1);
  EXPECT_EQ(window->cursors.size(), applied + 2);
  State().Mouse.Style = 0;  // which is what the window shows now
  mainWindow->OnMouseMove(0, 2, 1);
  EXPECT_EQ(window->cursors.size(), applied + 2);
}

TEST_F(MainWindowTest, FrameFlipsCountsAndComparesWithThePreviousFrame) {
  window->cursorX = 50;
  window->cursorY = 60;
  Frame();
  EXPECT_EQ(Pictures().BackIndex, 1);
  EXPECT_EQ(State().Tick, 1);
  EXPECT_EQ(State().Mouse.X, 50);
  EXPECT_EQ(State().Mouse.OldX, 0);

  // A mouse-move handled between frames writes Mouse.X; the next frame still sees the
  // movement from where the previous frame left the cursor.
  mainWindow->OnMouseMove(0, 80, 90);
  window->cursorX = 80;
  window->cursorY = 90;
  Frame();
  EXPECT_EQ(State().Mouse.OldX, 50);
  EXPECT_EQ(State().Mouse.OldY, 60);
  EXPECT_EQ(State().Mouse.X, 80);
  EXPECT_EQ(Pictures().BackIndex, 0);
  EXPECT_EQ(State().Tick, 2);
  Frame();
  EXPECT_EQ(State().Mouse.OldX, 80);
}

TEST_F(MainWindowTest, MouseTakesControlBackAfterTheKeyboard) {
  GameState& state = State();
  state.GameMode = ModePlay;
  state.PlayState = PlayRunning;
  state.StageTick = 1;
  state.DropInterval = 1000;
  BoardAt(state, 0, 12) = BoardCell{0, 5, 0};  // one target, so the stage goes on
  state.Pair.Cells[0][1] = BoardCell{1, 1, 0};
  state.Pair.Cells[0][0] = BoardCell{-1, 0, 0};
  state.Pair.Cells[1][1] = BoardCell{2, 3, 0};
  state.Pair.Cells[1][0] = BoardCell{-1, 0, 0};
  state.Pair.Column = 3;
  state.Pair.Row = 0;
  state.PairActive = true;
  window->cursorX = 300;
  window->cursorY = 300;
  Frame();

  mainWindow->OnKeyDown(39, 0);
  ASSERT_TRUE(state.KeyControl);
  const int32_t column = state.Pair.Column;
  Frame();  // the mouse has not moved: the keyboard keeps control
  EXPECT_TRUE(state.KeyControl);
  EXPECT_EQ(state.Pair.Column, column);

  mainWindow->OnMouseMove(0, 260, 300);
  window->cursorX = 260;
  Frame();
  EXPECT_FALSE(state.KeyControl);
  EXPECT_NE(state.Mouse.OldX, state.Mouse.X);
  EXPECT_EQ(state.Pair.Column, column - 1);  // the pair glides towards the cursor again
}

TEST_F(MainWindowTest, DeactivationFollowsTheScreen) {
  GameState& state = State();
  state.GameMode = ModeTitle;
  mainWindow->OnActivate(false);
  const int32_t tick = state.Tick, index = Pictures().BackIndex;
  Frame();
  EXPECT_EQ(state.Tick, tick);  // frozen: no frame runs
  EXPECT_EQ(Pictures().BackIndex, index);
  mainWindow->OnActivate(true);
  Frame();
  EXPECT_EQ(state.Tick, tick + 1);

  state.GameMode = ModePlay;
  state.PlayState = PlayRunning;
  mainWindow->OnActivate(false);  // as when minimised
  EXPECT_EQ(state.PlayState, PlayPaused);
  Frame();  // the paused game still runs its frames
  EXPECT_EQ(state.Tick, tick + 2);
  mainWindow->OnActivate(true);
  EXPECT_EQ(state.PlayState, PlayPaused);  // re-activation resumes nothing
  state.PlayState = OverlayExit;
  mainWindow->OnActivate(false);
  EXPECT_EQ(state.PlayState, OverlayExit);
}

TEST_F(MainWindowTest, CloseSavesOnceStopsTheLoopAndTheWindowGoesAtGameExit) {
  const fs::path settings = directory / "UserSettings.ini";
  GameLoop& loop = mainWindow->Loop();
  const std::weak_ptr<GameLoop> held = loop.weak_from_this();
  int frames = 0;
  loop.GameRefresh = [&] {
    ++frames;
    RunFrame(*mainWindow);
  };
  window->queued.push_back([&](Platform::WindowEventSink& sink) {
    sink.CloseRequested();
    EXPECT_TRUE(fs::exists(settings));
    EXPECT_TRUE(loop.ExitRequested());
    EXPECT_NE(mainWindow->Window(), nullptr);  // the window stays until the loop stops
    fs::remove(settings);
    sink.CloseRequested();  // a second request saves nothing more
  });
  clock.AdvanceMilliseconds(28);
  loop.Run();
  EXPECT_FALSE(fs::exists(settings));
  EXPECT_EQ(frames, 1);  // the pass of the request still runs its frame
  EXPECT_EQ(mainWindow->Window(), nullptr);
  EXPECT_TRUE(held.expired());  // the window let its loop go
  EXPECT_FALSE(mainWindow->FirstClose());
}

// The real SDL window under the dummy video driver: events pushed into SDL's queue reach the
// handlers through the loop, and closing ends the loop.
TEST(MainWindowSdl, PushedEventsDriveTheRealWindowUntilItCloses) {
  const fs::path directory = fs::temp_directory_path() / ("kestrel_sdl_" + std::to_string(::getpid()));
  fs::create_directories(directory);
  const PlayerFiles files = PlayerFilesIn(directory.string());
  SkinReader reader(DefaultSkinFolder());
  Skin skin;
  LoadDefaultSkin(reader, skin);
  PlayerSettings player;
  RecordingOpener opener;

  MainWindow mainWindow(skin, reader, player, files, std::nullopt);
  mainWindow.GameInit();
  mainWindow.Show();
  ASSERT_NE(mainWindow.Window(), nullptr);
  int32_t width = 0, height = 0;
  mainWindow.Window()->ClientSize(width, height);
  EXPECT_EQ(width, 720);
  EXPECT_EQ(height, 540);

  // What the window shows: the back buffer's colours widened to 8 bits a channel.
  SDL_Window* sdlWindow = nullptr;
  for (Uint32 id = 1; id < 1000 && sdlWindow == nullptr; ++id) {
    SDL_Window* candidate = SDL_GetWindowFromID(id);
    if (candidate != nullptr && (SDL_GetWindowFlags(candidate) & SDL_WINDOW_RESIZABLE) != 0) sdlWindow = candidate;
  }
  ASSERT_NE(sdlWindow, nullptr);
  const uint16_t colours[4] = {0x7FFF, 0x7C00, 0x03E0, 0x0010};
  std::copy(colours, colours + 4, mainWindow.Pictures().Current().Pixels());
  mainWindow.Loop().Presenter()->Render();
  SDL_Surface* shown = SDL_GetWindowSurface(sdlWindow);
  ASSERT_NE(shown, nullptr);
  ASSERT_EQ(shown->format->BytesPerPixel, 4);
  const Uint8 expected[4][3] = {{255, 255, 255}, {255, 0, 0}, {0, 255, 0}, {0, 0, 132}};
  for (int x = 0; x < 4; ++x) {
    Uint8 r = 0, g = 0, b = 0;
    SDL_GetRGB(static_cast<const Uint32*>(shown->pixels)[x], shown->format, &r, &g, &b);
    EXPECT_EQ(r, expected[x][0]) << x;
    EXPECT_EQ(g, expected[x][1]) << x;
    EXPECT_EQ(b, expected[x][2]) << x;
  }

  SDL_Event key{};
  key.type = SDL_KEYDOWN;
  key.key.keysym.sym = SDLK_F10;
  SDL_PushEvent(&key);
  GameState& state = mainWindow.TheGame().State;
  state.GameMode = ModePlay;
  state.PlayState = PlayRunning;
  SDL_Event arrow{};
  arrow.type = SDL_KEYDOWN;
  arrow.key.keysym.sym = SDLK_LEFT;
  SDL_PushEvent(&arrow);
  SDL_Event press{};
  press.type = SDL_MOUSEBUTTONDOWN;
  press.button.button = SDL_BUTTON_LEFT;
  press.button.x = 100;
  press.button.y = 100;
  SDL_PushEvent(&press);

  GameLoop& loop = mainWindow.Loop();
  int frames = 0;
  loop.GameRefresh = [&] {
    if (++frames == 1) {
      EXPECT_EQ(opener.opened.size(), 1u);
      EXPECT_TRUE(state.KeyControl);  // the left arrow reached the game as key 37
      EXPECT_TRUE(state.Mouse.LeftDown);
    }
    if (frames == 3) {
      SDL_Event quit{};
      quit.type = SDL_QUIT;
      SDL_PushEvent(&quit);
    }
    RunFrame(mainWindow);
  };
  loop.Run();
  // The closing pass runs its frame only if one is due by then.
  EXPECT_GE(frames, 3);
  EXPECT_LE(frames, 4);
  EXPECT_EQ(mainWindow.Window(), nullptr);
  EXPECT_TRUE(fs::exists(directory / "UserSettings.ini"));
  fs::remove_all(directory);
}

#include <gtest/gtest.h>

#include <SDL.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "config/config.h"
#include "config/user_settings.h"
#include "game/flow.h"
#include "game/game_state.h"
#include "game/input.h"
#include "game/services.h"
#include "shell/engine.h"
#include "shell/locations.h"
#include "shell/main_window.h"
#include "shell/screen.h"
#include "shell/shell_services.h"
#include "shell_fakes.h"

namespace fs = std::filesystem;

namespace {

// The main window loaded on a fake window, with a fake clock, in a program directory of its own.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetShellGlobals();
    ResetGameGlobals();
    ResetConfigGlobals();
    directory = fs::temp_directory_path() / ("kestrel_shell_" + std::to_string(::getpid()));
    fs::create_directories(directory);
    Locations::PlayFrom(directory.string());
    Shell.UserIni.SetINIFileName((directory / "UserSettings.ini").string());
    Config.Texts = {"Kestrel caption"};
    Config.MouseCursors = {100, 101, 102, 103, 104};
    Frm_Main::Load();
    window = &windows.Last();
  }
  void TearDown() override {
    Frm_Main::Unload();
    ResetShellGlobals();
    ResetGameGlobals();
    ResetConfigGlobals();
    fs::remove_all(directory);
  }

  // One frame as the engine raises it. The game's own logic and drawing may fail on an
  // empty skin; the shell's part of the frame comes first.
  static void Frame() {
    try {
      Frm_Main::OnGameRefresh();
    } catch (const std::exception&) {
    }
  }

  FakeClock clock;
  FakeWindows windows;
  FakeWindow* window = nullptr;
  fs::path directory;
};

}  // namespace

TEST(MaximisedView, PlacesTheFourThirdsPictureAsTheExamplesSay) {
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

TEST(MaximisedView, ZoomSurfaceNeverExceeds4096AndThePictureFits) {
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

TEST_F(MainWindowTest, LoadMakesTheWindowBuffersAndEngine) {
  EXPECT_EQ(window->caption, "Kestrel caption");
  EXPECT_EQ(window->clientWidth, 720);
  EXPECT_EQ(window->clientHeight, 540);
  ASSERT_FALSE(window->cursors.empty());
  EXPECT_EQ(window->cursors.front(), 100u);
  for (const CGDISurface* surface : {&Shell.BackBuffer[0], &Shell.BackBuffer[1], &Shell.FadeSurface}) {
    EXPECT_EQ(surface->Width(), 724);
    EXPECT_EQ(surface->Height(), 544);
  }
  ASSERT_NE(Frm_Main::m_GDIEngine(), nullptr);
  EXPECT_NE(Frm_Main::m_GDIEngine()->Presenter(), nullptr);
  EXPECT_TRUE(Frm_Main::FirstClose());
  EXPECT_TRUE(Shell.GameActive);
}

TEST_F(MainWindowTest, MaximisedThenDraggedThenRestored) {
  Shell.BackIndex = 0;
  std::fill_n(Shell.BackBuffer[1].ptr(), 724 * 544, uint16_t{0x7FFF});
  window->state = Platform::WindowState::Maximised;
  window->clientWidth = 1920;
  window->clientHeight = 1040;
  Frm_Main::OnResize();
  EXPECT_EQ(Shell.ViewWidth, 1384);
  EXPECT_EQ(Shell.ViewHeight, 1040);
  EXPECT_EQ(window->placement.Left, 268);
  EXPECT_EQ(window->placement.Top, 0);
  EXPECT_EQ(window->placement.Width, 1384);
  EXPECT_EQ(window->placement.Height, 1040);
  EXPECT_EQ(Shell.ZoomSurface.Width(), 1391);
  EXPECT_EQ(Shell.ZoomSurface.Height(), 1047);
  EXPECT_EQ(Shell.BackPitch, 724);
  EXPECT_EQ(Shell.ZoomPitch, 1392);
  EXPECT_EQ(Shell.BackBuffer[1].ptr()[0], 0);  // cleared for the first scaled presentation
  EXPECT_EQ(Shell.BackBuffer[1].ptr()[543 * 724 + 723], 0);

  // The cursor at the picture's left edge is logical 0, at its right edge about 719.
  window->cursorX = 268;
  window->cursorY = 0;
  Frame();
  EXPECT_EQ(Shell.MouseX, 0);
  EXPECT_EQ(Shell.MouseY, 0);
  window->cursorX = 268 + 1383;
  window->cursorY = 1039;
  Frame();
  EXPECT_EQ(Shell.MouseX, 719);
  EXPECT_EQ(Shell.MouseY, 539);
  // Outside the window nothing clamps it.
  window->cursorX = -100;
  Frame();
  EXPECT_LT(Shell.MouseX, 0);

  // A drag of the border in the normal state: the client area snaps back to 720 x 540.
  window->state = Platform::WindowState::Normal;
  window->clientWidth = 801;
  window->clientHeight = 633;
  const int shownBefore = window->showCount;
  Frm_Main::OnResize();
  EXPECT_EQ(window->clientWidth, 720);
  EXPECT_EQ(window->clientHeight, 540);
  EXPECT_EQ(Shell.ViewWidth, 720);
  EXPECT_EQ(Shell.ViewHeight, 540);
  EXPECT_EQ(window->placement.Left, 0);
  EXPECT_EQ(window->placement.Width, 720);
  EXPECT_EQ(window->showCount, shownBefore + 1);
  EXPECT_EQ(Shell.ZoomSurface.Width(), 1391);  // kept

  // Minimised: nothing changes.
  window->state = Platform::WindowState::Minimised;
  window->clientWidth = 0;
  window->clientHeight = 0;
  Frm_Main::OnResize();
  EXPECT_EQ(Shell.ViewWidth, 720);
  EXPECT_EQ(window->clientWidth, 0);
}

TEST_F(MainWindowTest, FullScreenPresentsAndMapsAsTheMaximisedWindowAndRestoresIt) {
  ResetUserSettingsGlobals();
  for (const auto from : {Platform::WindowState::Maximised, Platform::WindowState::Normal}) {
    window->state = from;
    window->clientWidth = from == Platform::WindowState::Normal ? 720 : 1920;
    window->clientHeight = from == Platform::WindowState::Normal ? 540 : 1040;
    Frm_Main::OnResize();
    const Platform::PictureRect windowed = window->placement;

    Frm_Main::OnKeyDown(122, 0);  // F11
    EXPECT_EQ(window->state, Platform::WindowState::FullScreen);
    EXPECT_TRUE(User.FullScreen);
    Frm_Main::OnResize();
    EXPECT_EQ(Shell.ViewWidth, 1440);
    EXPECT_EQ(Shell.ViewHeight, 1080);
    EXPECT_EQ(window->placement.Left, 240);
    EXPECT_EQ(window->placement.Top, 0);
    EXPECT_EQ(window->placement.Width, 1440);
    EXPECT_EQ(Shell.ZoomSurface.Width(), 1448);
    window->cursorX = 240 + 1438;
    window->cursorY = 1078;
    Frame();
    EXPECT_EQ(Shell.MouseX, 720 - 1);
    EXPECT_EQ(Shell.MouseY, 540 - 1);

    Frm_Main::OnKeyDown(13, 4);  // Alt+Enter
    EXPECT_EQ(window->state, from);
    EXPECT_FALSE(User.FullScreen);
    Frm_Main::OnResize();
    EXPECT_EQ(window->placement.Left, windowed.Left);
    EXPECT_EQ(window->placement.Width, windowed.Width);
    EXPECT_EQ(window->clientWidth, from == Platform::WindowState::Normal ? 720 : 1920);
  }
  // Enter alone is no toggle.
  Frm_Main::OnKeyDown(13, 0);
  EXPECT_EQ(window->state, Platform::WindowState::Normal);

  // The start: as the player left it, unless the command line says otherwise.
  User.FullScreen = true;
  Frm_Main::ChooseStartMode(false);
  Frm_Main::Show();
  EXPECT_EQ(window->state, Platform::WindowState::Normal);
  Frm_Main::ChooseStartMode(std::nullopt);
  Frm_Main::Show();
  EXPECT_EQ(window->state, Platform::WindowState::FullScreen);
}

TEST_F(MainWindowTest, KeysReachTheGameExceptF1AndF10) {
  RecordingOpener opener;
  Frm_Main::OnKeyDown(112, 0);
  Frm_Main::OnKeyDown(121, 0);
  ASSERT_EQ(opener.opened.size(), 1u);
  EXPECT_EQ(opener.opened[0], directory.string());

  Game.GameMode = ModePlay;
  Game.PlayState = PlayRunning;
  Game.Pair.Row = 0;
  Game.Pair.Column = 3;
  Frm_Main::OnKeyDown(37, 0);
  EXPECT_TRUE(Game.KeyControl);

  Frm_Main::OnKeyPress('a');
  EXPECT_EQ(window->minimiseCount, 0);
  Frm_Main::OnKeyPress(32);
  EXPECT_EQ(window->minimiseCount, 1);
}

TEST_F(MainWindowTest, MouseHandlersMapPositionsAndFollowTheCursorStyle) {
  Frm_Main::OnMouseDown(2, 0, 10, 10);
  EXPECT_FALSE(Shell.MouseLeftDown);
  Frm_Main::OnMouseDown(1, 0, 10, 10);
  EXPECT_TRUE(Shell.MouseLeftDown);

  Frm_Main::OnMouseMove(1, 0, 123.5f, 77.0f);
  EXPECT_EQ(Shell.MouseX, 124);  // halves go to the even neighbour
  EXPECT_EQ(Shell.MouseY, 77);
  Shell.ViewWidth = 1384;
  Shell.ViewHeight = 1040;
  Frm_Main::OnMouseMove(0, 0, 692, 520);
  EXPECT_EQ(Shell.MouseX, 360);
  EXPECT_EQ(Shell.MouseY, 270);

  // The release uses the position the handlers and frames keep, not the event's.
  Frm_Main::OnMouseUp(2, 0, 0, 0);
  EXPECT_TRUE(Shell.MouseLeftDown);
  Frm_Main::OnMouseUp(1, 0, 0, 0);
  EXPECT_FALSE(Shell.MouseLeftDown);

  const size_t applied = window->cursors.size();
  Shell.MouseStyle = 3;  // not a cursor shape: cursor 0, already shown
  Frm_Main::OnMouseMove(0, 0, 1, 1);
  EXPECT_EQ(window->cursors.size(), applied);
  Shell.MouseStyle = 4;
  Frm_Main::OnMouseMove(0, 0, 1, 1);
  Frm_Main::OnMouseMove(0, 0, 2, 1);
  ASSERT_EQ(window->cursors.size(), applied + 1);
  EXPECT_EQ(window->cursors.back(), 104u);
  Shell.MouseStyle = 5;
  Frm_Main::OnMouseMove(0, 0, 1, 1);
  EXPECT_EQ(window->cursors.back(), 100u);
  EXPECT_EQ(Shell.CurMouseStyle, 0);
}

TEST_F(MainWindowTest, FrameFlipsCountsAndComparesWithThePreviousFrame) {
  window->cursorX = 50;
  window->cursorY = 60;
  Frame();
  EXPECT_EQ(Shell.BackIndex, 1);
  EXPECT_EQ(Shell.GameTick, 1);
  EXPECT_EQ(Shell.MouseX, 50);
  EXPECT_EQ(Shell.OldMouseX, 0);

  // A mouse-move handled between frames writes MouseX; the next frame still sees the
  // movement from where the previous frame left the cursor.
  Frm_Main::OnMouseMove(0, 0, 80, 90);
  window->cursorX = 80;
  window->cursorY = 90;
  Frame();
  EXPECT_EQ(Shell.OldMouseX, 50);
  EXPECT_EQ(Shell.OldMouseY, 60);
  EXPECT_EQ(Shell.MouseX, 80);
  EXPECT_EQ(Shell.BackIndex, 0);
  EXPECT_EQ(Shell.GameTick, 2);
  Frame();
  EXPECT_EQ(Shell.OldMouseX, 80);
}

TEST_F(MainWindowTest, MouseTakesControlBackAfterTheKeyboard) {
  Game.GameMode = ModePlay;
  Game.PlayState = PlayRunning;
  Game.StageTick = 1;
  Game.DropInterval = 1000;
  BoardAt(0, 12) = BoardCell{0, 5, 0};  // one target, so the stage goes on
  Game.Pair.Cells[0][1] = BoardCell{1, 1, 0};
  Game.Pair.Cells[0][0] = BoardCell{-1, 0, 0};
  Game.Pair.Cells[1][1] = BoardCell{2, 3, 0};
  Game.Pair.Cells[1][0] = BoardCell{-1, 0, 0};
  Game.Pair.Column = 3;
  Game.Pair.Row = 0;
  Game.PairActive = true;
  window->cursorX = 300;
  window->cursorY = 300;
  Frame();

  Frm_Main::OnKeyDown(39, 0);
  ASSERT_TRUE(Game.KeyControl);
  const int32_t column = Game.Pair.Column;
  Frame();  // the mouse has not moved: the keyboard keeps control
  EXPECT_TRUE(Game.KeyControl);
  EXPECT_EQ(Game.Pair.Column, column);

  Frm_Main::OnMouseMove(0, 0, 260, 300);
  window->cursorX = 260;
  Frame();
  EXPECT_FALSE(Game.KeyControl);
  EXPECT_NE(Shell.OldMouseX, Shell.MouseX);
  EXPECT_EQ(Game.Pair.Column, column - 1);  // the pair glides towards the cursor again
}

TEST_F(MainWindowTest, DeactivationFollowsTheScreen) {
  Game.GameMode = ModeTitle;
  Frm_Main::OnActivate(0);
  EXPECT_FALSE(Shell.GameActive);
  const int32_t tick = Shell.GameTick, index = Shell.BackIndex;
  Frame();
  EXPECT_EQ(Shell.GameTick, tick);  // frozen: no frame runs
  EXPECT_EQ(Shell.BackIndex, index);
  Frm_Main::OnActivate(2);
  EXPECT_TRUE(Shell.GameActive);

  Game.GameMode = ModePlay;
  Game.PlayState = PlayRunning;
  Frm_Main::OnActivate(0x10000);  // activated while minimised counts as deactivated
  EXPECT_EQ(Game.PlayState, PlayPaused);
  EXPECT_TRUE(Shell.GameActive);
  Frm_Main::OnActivate(1);
  EXPECT_EQ(Game.PlayState, PlayPaused);  // re-activation resumes nothing
  Game.PlayState = OverlayExit;
  Frm_Main::OnActivate(0);
  EXPECT_EQ(Game.PlayState, OverlayExit);
}

TEST_F(MainWindowTest, CloseSavesOnceStopsTheEngineAndTheWindowGoesAtGameExit) {
  const fs::path settings = directory / "UserSettings.ini";
  CGameEngine* engine = Frm_Main::m_GDIEngine();
  int frames = 0;
  engine->GameRefresh = [&] {
    ++frames;
    Frm_Main::OnGameRefresh();
  };
  window->queued.push_back([&](Platform::WindowEventSink& sink) {
    sink.CloseRequested();
    EXPECT_TRUE(fs::exists(settings));
    EXPECT_TRUE(engine->ExitRequested());
    EXPECT_NE(Frm_Main::Window(), nullptr);  // the window stays until the engine stops
    fs::remove(settings);
    sink.CloseRequested();  // a second request saves nothing more
  });
  clock.AdvanceMilliseconds(28);
  engine->StartGame();
  EXPECT_FALSE(fs::exists(settings));
  EXPECT_EQ(frames, 1);  // the pass of the request still runs its frame
  EXPECT_EQ(Frm_Main::Window(), nullptr);
  EXPECT_EQ(Frm_Main::m_GDIEngine(), nullptr);
  EXPECT_FALSE(Frm_Main::FirstClose());
}

// The real SDL window under the dummy video driver: events pushed into SDL's queue reach the
// handlers through the engine, and closing ends the loop.
TEST(ShellServices, AnEmptyAddressOpensNothing) {
  ResetGameGlobals();
  ResetConfigGlobals();
  InstallShellServices();
  RecordingOpener opened;
  Config.AdUrl.clear();
  TitleAction(2);
  Config.Texts = {"kestrel", "", ""};
  PlayAction(4);
  EXPECT_TRUE(opened.opened.empty());
  Config.AdUrl = "https://ad.example/";
  TitleAction(2);
  SetGameServices(nullptr);
  EXPECT_EQ(opened.opened, std::vector<std::string>{"https://ad.example/"});
}

TEST(MainWindowSdl, PushedEventsDriveTheRealWindowUntilItCloses) {
  ResetShellGlobals();
  ResetGameGlobals();
  ResetConfigGlobals();
  const fs::path directory = fs::temp_directory_path() / ("kestrel_sdl_" + std::to_string(::getpid()));
  fs::create_directories(directory);
  Locations::PlayFrom(directory.string());
  Shell.UserIni.SetINIFileName((directory / "UserSettings.ini").string());
  RecordingOpener opener;

  Frm_Main::Load();
  Frm_Main::GameInit();
  Frm_Main::Show();
  ASSERT_NE(Frm_Main::Window(), nullptr);
  int32_t width = 0, height = 0;
  Frm_Main::Window()->ClientSize(width, height);
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
  std::copy(colours, colours + 4, Shell.BackBuffer[Shell.BackIndex].ptr());
  Frm_Main::m_GDIEngine()->Presenter()->Render();
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
  Game.GameMode = ModePlay;
  Game.PlayState = PlayRunning;
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

  CGameEngine* engine = Frm_Main::m_GDIEngine();
  int frames = 0;
  engine->GameRefresh = [&] {
    if (++frames == 1) {
      EXPECT_EQ(opener.opened.size(), 1u);
      EXPECT_TRUE(Game.KeyControl);  // the left arrow reached the game as key 37
      EXPECT_TRUE(Shell.MouseLeftDown);
    }
    if (frames == 3) {
      SDL_Event quit{};
      quit.type = SDL_QUIT;
      SDL_PushEvent(&quit);
    }
    try {
      Frm_Main::OnGameRefresh();
    } catch (const std::exception&) {
    }
  };
  engine->StartGame();
  // The closing pass runs its frame only if one is due by then.
  EXPECT_GE(frames, 3);
  EXPECT_LE(frames, 4);
  EXPECT_EQ(Frm_Main::Window(), nullptr);
  EXPECT_TRUE(fs::exists(directory / "UserSettings.ini"));
  ResetShellGlobals();
  ResetGameGlobals();
  fs::remove_all(directory);
}

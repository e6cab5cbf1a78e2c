#include "shell/main_window.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <utility>

#include "audio/audio.h"
#include "config/config.h"
#include "config/user_settings.h"
#include "game/focus.h"
#include "game/game_state.h"
#include "game/input.h"
#include "render/frame_drawing.h"
#include "render/scene.h"
#include "render/sheet.h"
#include "shell/engine.h"
#include "shell/locations.h"
#include "shell/platform/platform.h"
#include "shell/runtime.h"

namespace {

constexpr int32_t KeyF1 = 112;
constexpr int32_t KeyF10 = 121;
constexpr int32_t KeyF11 = 122;
constexpr int32_t KeyEnter = 13;
constexpr int32_t ShiftAlt = 4;
constexpr int32_t CharSpace = 32;

Platform::KeptPastExit<Platform::GameWindow> g_window;
std::shared_ptr<CGameEngine> g_engine;
bool g_firstClose = true;
std::optional<bool> g_startFullScreen;  // from the command line; none: as the player left it

// Saves the player's files the first time the window is asked to close (or its display goes
// away), never again. A failed save is told on stderr, naming the file that kept its old
// content and why, and raised.
void SaveAtFirstClose() {
  if (!std::exchange(g_firstClose, false)) return;
  try {
    SaveUserSettings();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    throw;
  }
}

// Row length in pixels of a 16-bit surface row padded to 32 bits.
int32_t PitchInPixels(int32_t width) { return ((width * 16 + 31) & ~31) / 16; }

// A window position in picture pixels mapped into the logical 720 x 540 space.
int32_t LogicalX(double x) {
  return Shell.ViewWidth == LogicalWidth ? RoundToInt(x) : RoundToInt(x * LogicalWidth / Shell.ViewWidth);
}
int32_t LogicalY(double y) {
  return Shell.ViewWidth == LogicalWidth ? RoundToInt(y) : RoundToInt(y * LogicalHeight / Shell.ViewHeight);
}

Platform::CursorHandle MouseCursor(int32_t style) {
  const auto index = static_cast<size_t>(style);
  return index < Config.MouseCursors.size() ? Config.MouseCursors[index] : 0;
}

class MainWindowEvents final : public Platform::WindowEventSink {
 public:
  void KeyDown(int32_t keyCode, int32_t shift) override { Frm_Main::OnKeyDown(keyCode, shift); }
  void KeyPress(int32_t charCode) override { Frm_Main::OnKeyPress(charCode); }
  void MouseDown(int32_t button, int32_t shift, float x, float y) override {
    Frm_Main::OnMouseDown(button, shift, x, y);
  }
  void MouseMove(int32_t button, int32_t shift, float x, float y) override {
    Frm_Main::OnMouseMove(button, shift, x, y);
  }
  void MouseUp(int32_t button, int32_t shift, float x, float y) override { Frm_Main::OnMouseUp(button, shift, x, y); }
  void Resized() override { Frm_Main::OnResize(); }
  void Activated(int32_t wParam) override { Frm_Main::OnActivate(wParam); }
  void CloseRequested() override { Frm_Main::Close(); }
  void PadChanged(Platform::PadInput input, bool down) override { Frm_Main::OnPad(input, down); }
  void PadUnplugged() override { Frm_Main::OnPadUnplugged(); }
};

PadButton GamePadButton(Platform::PadInput input) {
  switch (input) {
    case Platform::PadInput::Left: return PadButton::Left;
    case Platform::PadInput::Right: return PadButton::Right;
    case Platform::PadInput::Up: return PadButton::Up;
    case Platform::PadInput::Down: return PadButton::Down;
    case Platform::PadInput::South: return PadButton::South;
    case Platform::PadInput::East: return PadButton::East;
    case Platform::PadInput::Start: return PadButton::Start;
    case Platform::PadInput::Back: return PadButton::Back;
  }
  return PadButton::Back;
}

MainWindowEvents g_events;

void ResizeNormal() {
  Shell.ViewWidth = LogicalWidth;
  Shell.ViewHeight = LogicalHeight;
  IgnoreErrors([] { g_window->SetPicturePlacement({0, 0, LogicalWidth, LogicalHeight}); });
  IgnoreErrors([] { g_window->SetClientSize(LogicalWidth, LogicalHeight); });
  IgnoreErrors([] { g_window->Show(); });
}

void ResizeMaximised() {
  // The first scaled presentation then finds every pixel changed and redraws all of it.
  IgnoreErrors([] { Shell.BackBuffer[1 - Shell.BackIndex].Clear(); });
  int32_t scaleWidth = 0, scaleHeight = 0;
  IgnoreErrors([&] { g_window->ClientSize(scaleWidth, scaleHeight); });
  const ViewPlacement view = MaximisedView(scaleWidth, scaleHeight);
  Shell.ViewWidth = view.ViewWidth;
  Shell.ViewHeight = view.ViewHeight;
  IgnoreErrors([&] { g_window->SetPicturePlacement({view.Left, view.Top, view.ViewWidth, view.ViewHeight}); });
  IgnoreErrors([] {
    Shell.ZoomSurface.Create(static_cast<int16_t>(Shell.ViewWidth + Shell.ViewWidth / 180),
                             static_cast<int16_t>(Shell.ViewHeight + Shell.ViewHeight / 135));
  });
  Shell.BackPitch = PitchInPixels(Shell.BackBuffer[Shell.BackIndex].Width());
  Shell.ZoomPitch = PitchInPixels(Shell.ZoomSurface.Width());
}

}  // namespace

ViewPlacement MaximisedView(int32_t ScaleWidth, int32_t ScaleHeight) {
  const int32_t width = std::clamp(ScaleWidth, 4, MaxViewWidth);
  const int32_t height = std::clamp(ScaleHeight, 3, MaxViewHeight);
  ViewPlacement view;
  if (height / 540.0 < width / 720.0) {
    view.ViewHeight = height;
    view.ViewWidth = ((view.ViewHeight * 720) / 540) / 4 * 4;
    view.Left = (ScaleWidth - view.ViewWidth) / 2;
    view.Top = (ScaleHeight - height) / 2;
  } else {
    view.ViewWidth = width / 4 * 4;
    view.ViewHeight = (view.ViewWidth * 540) / 720;
    view.Left = (ScaleWidth - width) / 2;
    view.Top = (ScaleHeight - view.ViewHeight) / 2;
  }
  return view;
}

void Frm_Main::Load() {
  Unload();
  g_firstClose = true;
  Shell.GameActive = true;
  const std::string caption = Config.Texts.empty() ? std::string() : Config.Texts[0];
  g_window.reset(Platform::CreateGameWindow({caption, LogicalWidth, LogicalHeight, true}));
  OpenAudioDevice();
  g_window->SetPictureCursor(MouseCursor(0));
  Shell.BackBuffer[0].Create(BackBufferWidth, BackBufferHeight);
  Shell.BackBuffer[1].Create(BackBufferWidth, BackBufferHeight);
  Shell.FadeSurface.Create(BackBufferWidth, BackBufferHeight);
  // A display that goes away ends the process at once (the session ended, the X server
  // died): what a close would have saved is saved then.
  Platform::OnDisplayLost(SaveAtFirstClose);
  g_engine = std::make_shared<CGameEngine>();
  g_engine->GameRefresh = [] { OnGameRefresh(); };
  g_engine->GameExit = [] { OnGameExit(); };
  g_engine->DispatchMessages = [] {
    if (g_window != nullptr) g_window->DispatchEvents(g_events);
  };
  g_engine->Create(LogicalWidth, LogicalHeight, g_window->PictureTarget());
}

void Frm_Main::Show() {
  if (g_window == nullptr) return;
  g_window->Show();
  if (g_startFullScreen.value_or(User.FullScreen)) g_window->SetFullScreen(true);
}

void Frm_Main::ChooseStartMode(std::optional<bool> fullScreen) { g_startFullScreen = fullScreen; }

void Frm_Main::ToggleFullScreen() {
  if (g_window == nullptr) return;
  const bool on = g_window->State() != Platform::WindowState::FullScreen;
  g_window->SetFullScreen(on);
  User.FullScreen = on;
}

void Frm_Main::Unload() { g_window.reset(); }

void Frm_Main::GameInit() {
  if (g_window != nullptr) g_window->SetClientSize(LogicalWidth, LogicalHeight);
}

CGameEngine* Frm_Main::m_GDIEngine() { return g_engine.get(); }

void Frm_Main::OnKeyDown(int32_t keyCode, int32_t shift) {
  if (keyCode == KeyF1) return;
  if (keyCode == KeyF10) {
    Platform::OpenAddress(Locations::PlayerDirectory());
    return;
  }
  if (keyCode == KeyF11 || (keyCode == KeyEnter && (shift & ShiftAlt) != 0)) {
    ToggleFullScreen();
    return;
  }
  KeyStep(keyCode);
  MenuKey(keyCode);
}

void Frm_Main::OnKeyPress(int32_t charCode) {
  if (charCode != CharSpace || MenuSpace()) return;
  if (g_window != nullptr) g_window->Minimise();
}

void Frm_Main::OnMouseDown(int32_t button, int32_t, float, float) {
  if (button == 1) Shell.MouseLeftDown = true;
}

void Frm_Main::OnMouseMove(int32_t button, int32_t, float x, float y) {
  const int32_t mouseX = LogicalX(x), mouseY = LogicalY(y);
  if (mouseX != Shell.MouseX || mouseY != Shell.MouseY) MouseTookControl();
  Shell.MouseX = mouseX;
  Shell.MouseY = mouseY;
  HoverStep(button, static_cast<float>(Shell.MouseX), static_cast<float>(Shell.MouseY));
  const int32_t style = Shell.MouseStyle == 1 || Shell.MouseStyle == 2 || Shell.MouseStyle == 4 ? Shell.MouseStyle : 0;
  if (style != Shell.CurMouseStyle) {
    if (g_window != nullptr) g_window->SetPictureCursor(MouseCursor(style));
    Shell.CurMouseStyle = style;
  }
}

void Frm_Main::OnMouseUp(int32_t button, int32_t, float, float) {
  ClickStep(button, static_cast<float>(Shell.MouseX), static_cast<float>(Shell.MouseY));
  if (button == 1) Shell.MouseLeftDown = false;
}

void Frm_Main::OnResize() {
  if (g_window == nullptr) return;
  switch (g_window->State()) {
    case Platform::WindowState::Minimised:
      return;
    case Platform::WindowState::Normal:
      ResizeNormal();
      return;
    case Platform::WindowState::Maximised:
    case Platform::WindowState::FullScreen:
      ResizeMaximised();
      return;
  }
}

void Frm_Main::OnPad(Platform::PadInput input, bool down) {
  if (down) {
    PadPress(GamePadButton(input));
  } else {
    PadRelease(GamePadButton(input));
  }
}

void Frm_Main::OnPadUnplugged() { PadReleaseAll(); }

void Frm_Main::OnActivate(int32_t wParam) {
  if (wParam == 1 || wParam == 2) {
    Shell.GameActive = true;
    if (Game.GameMode == ModeTitle) PlayMusic();
    return;
  }
  if (Game.GameMode != ModeTitle) {
    if (Game.PlayState == PlayRunning) Game.PlayState = PlayPaused;
  } else {
    Shell.GameActive = false;
  }
  PadReleaseAll();  // a pad's release is not heard while the window has no focus
  PauseMusicStream(Audio.MusicStream);
}

void Frm_Main::Close() {
  if (!g_firstClose) return;  // the engine is already stopping; GameExit closes the window
  const auto stopEngine = [] {
    if (g_engine != nullptr) g_engine->SetExitGame(true);
  };
  // A failed save must not leave a window that can no longer be closed.
  try {
    SaveAtFirstClose();
  } catch (...) {
    stopEngine();
    throw;
  }
  stopEngine();
}

void Frm_Main::OnGameRefresh() {
  if (!Shell.GameActive) return;
  Shell.BackIndex = 1 - Shell.BackIndex;
  Shell.OldMouseX = Shell.FrameMouseX;
  Shell.OldMouseY = Shell.FrameMouseY;
  if (g_window != nullptr) {
    int32_t cx = 0, cy = 0;
    g_window->CursorInClient(cx, cy);
    const Platform::PictureRect picture = g_window->PicturePlacement();
    Shell.MouseX = LogicalX(cx - picture.Left);
    Shell.MouseY = LogicalY(cy - picture.Top);
  }
  Shell.FrameMouseX = Shell.MouseX;
  Shell.FrameMouseY = Shell.MouseY;
  Shell.GameTick = CheckedAdd(Shell.GameTick, 1);
  ControlsFrame();
  LogicStep();
  // A frame nobody can see runs whole, but its pixel work is skipped where the next frame
  // drawn into this back buffer (two ticks on) repaints every pixel of it anyway; the
  // presenter shows no picture drawn that way.
  const bool unseen = g_window != nullptr && !g_window->PictureTarget()->Showing();
  ScreenSurface().SkipDrawing(unseen && FrameRedrawsEverything(CheckedAdd(Shell.GameTick, 2)));
  // The frame is drawn only where it differs from what its buffer holds.
  BeginFrameDrawing(FrameRedrawsEverything(Shell.GameTick));
  try {
    DrawFrame();
    if (Shell.FadeStep > 0) DrawFadeStep();
  } catch (...) {
    FinishFrameDrawing(false);
    throw;
  }
  FinishFrameDrawing(true);
}

void Frm_Main::OnGameExit() {
  g_engine.reset();
  CloseAudioDevice();
  Unload();
}

Platform::GameWindow* Frm_Main::Window() { return g_window.get(); }
bool Frm_Main::FirstClose() { return g_firstClose; }

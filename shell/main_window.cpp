// SPDX-License-Identifier: MIT
#include "shell/main_window.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <utility>

#include "audio/audio.h"
#include "base/input_codes.h"
#include "base/runtime.h"
#include "game/controls.h"
#include "game/focus.h"
#include "game/frame.h"
#include "game/input.h"
#include "game/replay.h"
#include "platform/platform.h"
#include "render/scene.h"
#include "shell/game_loop.h"

// The window's events, handed to the main window's handlers.
class MainWindow::Events final : public Platform::WindowEventSink {
 public:
  explicit Events(MainWindow& window) : window_(window) {}
  void KeyDown(int32_t keyCode, int32_t modifiers, bool repeat) override {
    window_.OnKeyDown(keyCode, modifiers, repeat);
  }
  void KeyPress(int32_t charCode, bool repeat) override { window_.OnKeyPress(charCode, repeat); }
  void KeyUp(int32_t keyCode) override { window_.OnKeyUp(keyCode); }
  void TextTyped(const std::string& utf8) override { window_.OnTextTyped(utf8); }
  void MouseDown(int32_t button, int32_t, float, float) override { window_.OnMouseDown(button); }
  void MouseMove(int32_t buttons, int32_t, float x, float y) override { window_.OnMouseMove(buttons, x, y); }
  void MouseUp(int32_t button, int32_t, float, float) override { window_.OnMouseUp(button); }
  void Resized() override { window_.OnResize(); }
  void Activated(bool active) override { window_.OnActivate(active); }
  void CloseRequested() override { window_.Close(); }
  void PadChanged(PadButton button, bool down) override { window_.OnPad(button, down); }
  void PadUnplugged() override { window_.OnPadUnplugged(); }

 private:
  MainWindow& window_;
};

ViewPlacement MaximisedView(int32_t clientWidth, int32_t clientHeight) {
  const int32_t width = std::clamp(clientWidth, 4, MaxViewWidth);
  const int32_t height = std::clamp(clientHeight, 3, MaxViewHeight);
  ViewPlacement view;
  if (height / 540.0 < width / 720.0) {
    view.ViewHeight = height;
    view.ViewWidth = ((view.ViewHeight * 720) / 540) / 4 * 4;
    view.Left = (clientWidth - view.ViewWidth) / 2;
    view.Top = (clientHeight - height) / 2;
  } else {
    view.ViewWidth = width / 4 * 4;
    view.ViewHeight = (view.ViewWidth * 540) / 720;
    view.Left = (clientWidth - width) / 2;
    view.Top = (clientHeight - view.ViewHeight) / 2;
  }
  return view;
}

MainWindow::MainWindow(Skin& skin, SkinReader& reader, PlayerSettings& player, const PlayerFiles& files,
                       std::optional<bool> startFullScreen)
    : skin_(skin),
      player_(player),
      files_(files),
      startFullScreen_(startFullScreen),
      services_(
          canvas_, [this] { Close(); }, reader, skin, player),
      game_(player, skin.Layout, services_),
      records_(game_, files_),
      events_(std::make_unique<Events>(*this)) {
  services_.Connect(&records_, [this] {
    if (window_ != nullptr) window_->Minimise();
  });
  for (const std::optional<CursorImage>& cursor : skin.Cursors) {
    cursors_.push_back(cursor ? Platform::MakeCursor(*cursor) : 0);
  }
  const std::string caption = skin.Layout.Texts.empty() ? std::string() : skin.Layout.Texts[0];
  window_ = Platform::CreateGameWindow({caption, LogicalWidth, LogicalHeight, true});
  OpenAudioDevice();
  window_->SetPictureCursor(MouseCursor(0));
  canvas_.Back[0].Create(BackBufferWidth, BackBufferHeight);
  canvas_.Back[1].Create(BackBufferWidth, BackBufferHeight);
  canvas_.Fade.Create(BackBufferWidth, BackBufferHeight);
  // A display that goes away ends the process at once (the session ended, the X server
  // died): what a close would have saved is saved then.
  Platform::OnDisplayLost([this] { SaveAtFirstClose(); });
  loop_ = std::make_shared<GameLoop>();
  loop_->GameRefresh = [this] { OnGameRefresh(); };
  loop_->GameExit = [this] { OnGameExit(); };
  loop_->DispatchEvents = [this] {
    if (window_ != nullptr) window_->DispatchEvents(*events_);
  };
  loop_->Create(window_->PictureTarget(), canvas_);
}

MainWindow::~MainWindow() {
  Platform::OnDisplayLost({});
  window_.reset();
}

// Saves the player's files the first time the window is asked to close (or its display goes
// away), never again. A failed save is told on stderr, naming the file that kept its old
// content and why, and raised.
void MainWindow::SaveAtFirstClose() {
  if (!std::exchange(firstClose_, false)) return;
  try {
    SaveUserSettings(files_, player_);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    throw;
  }
}

// A window position in picture pixels mapped into the logical 720 x 540 space.
int32_t MainWindow::LogicalX(double x) const {
  return canvas_.ViewWidth == LogicalWidth ? RoundToInt(x) : RoundToInt(x * LogicalWidth / canvas_.ViewWidth);
}
int32_t MainWindow::LogicalY(double y) const {
  return canvas_.ViewWidth == LogicalWidth ? RoundToInt(y) : RoundToInt(y * LogicalHeight / canvas_.ViewHeight);
}

Platform::CursorHandle MainWindow::MouseCursor(int32_t style) const {
  const auto index = static_cast<size_t>(style);
  return index < cursors_.size() ? cursors_[index] : 0;
}

void MainWindow::Show() {
  if (window_ == nullptr) return;
  window_->Show();
  if (startFullScreen_.value_or(player_.FullScreen)) window_->SetFullScreen(true);
}

void MainWindow::ToggleFullScreen() {
  if (window_ == nullptr) return;
  const bool on = window_->State() != Platform::WindowState::FullScreen;
  window_->SetFullScreen(on);
  player_.FullScreen = on;
}

void MainWindow::GameInit() {
  if (window_ != nullptr) window_->SetClientSize(LogicalWidth, LogicalHeight);
}

void MainWindow::OnKeyDown(int32_t keyCode, int32_t modifiers, bool repeat) {
  if (keyCode == KeyCode::F1) return;
  if (keyCode == KeyCode::F10) {
    Platform::OpenAddress(files_.Folder);
    return;
  }
  if (keyCode == KeyCode::F11 || (keyCode == KeyCode::Enter && (modifiers & Modifier::Alt) != 0)) {
    ToggleFullScreen();
    return;
  }
  Deliver({ReplayEventKind::KeyDown, keyCode, modifiers, repeat ? 1 : 0});
}

void MainWindow::OnKeyPress(int32_t charCode, bool repeat) {
  Deliver({ReplayEventKind::KeyPress, charCode, 0, repeat ? 1 : 0});
}

void MainWindow::OnKeyUp(int32_t keyCode) { Deliver({ReplayEventKind::KeyUp, keyCode, 0, 0}); }

// Typed text reaches only the name of a record, which is asked for after a game: it is no
// part of a game's replay.
void MainWindow::OnTextTyped(const std::string& utf8) {
  if (!records_.Replaying()) TextInput(game_, utf8);
}

void MainWindow::Deliver(const ReplayEvent& event) {
  if (records_.Replaying()) {
    records_.PlayerInput(event);
    return;
  }
  records_.BeforeInput(event);
  ApplyInput(game_, event);
  records_.AfterInput();
}

void MainWindow::OnMouseDown(int32_t button) { Deliver({ReplayEventKind::MouseDown, button, 0, 0}); }

void MainWindow::OnMouseMove(int32_t buttons, float x, float y) {
  Pointer& mouse = game_.State.Mouse;
  const int32_t mouseX = LogicalX(x), mouseY = LogicalY(y);
  // The first move after the picture was placed anew (a full-screen switch, a resize) is the
  // resting cursor seen from the picture's new place, not the player's hand.
  const bool hand = (mouseX != mouse.X || mouseY != mouse.Y) && !picturePlacedAnew_;
  picturePlacedAnew_ = false;
  Deliver({ReplayEventKind::MouseMove, buttons | (hand ? 256 : 0), mouseX, mouseY});
  // The skin's cursor of the style the rules ask for; of the other styles only 4, a skin's
  // spare cursor, is shown, any other as the arrow.
  constexpr int32_t SpareCursor = 4;
  const int32_t style =
      mouse.Style == CursorOverControl || mouse.Style == CursorOverSlider || mouse.Style == SpareCursor ? mouse.Style
                                                                                                        : CursorArrow;
  if (style != cursorStyle_) {
    if (window_ != nullptr) window_->SetPictureCursor(MouseCursor(style));
    cursorStyle_ = style;
  }
}

void MainWindow::OnMouseUp(int32_t button) { Deliver({ReplayEventKind::MouseUp, button, 0, 0}); }

void MainWindow::ResizeNormal() {
  canvas_.ViewWidth = LogicalWidth;
  canvas_.ViewHeight = LogicalHeight;
  IgnoreErrors([&] { window_->SetPicturePlacement({0, 0, LogicalWidth, LogicalHeight}); });
  IgnoreErrors([&] { window_->SetClientSize(LogicalWidth, LogicalHeight); });
  IgnoreErrors([&] { window_->Show(); });
}

void MainWindow::ResizeMaximised() {
  // The first scaled presentation then finds every pixel changed and redraws all of it.
  IgnoreErrors([&] { canvas_.Back[1 - canvas_.BackIndex].Clear(); });
  int32_t clientWidth = 0, clientHeight = 0;
  IgnoreErrors([&] { window_->ClientSize(clientWidth, clientHeight); });
  const ViewPlacement view = MaximisedView(clientWidth, clientHeight);
  canvas_.ViewWidth = view.ViewWidth;
  canvas_.ViewHeight = view.ViewHeight;
  IgnoreErrors([&] { window_->SetPicturePlacement({view.Left, view.Top, view.ViewWidth, view.ViewHeight}); });
  IgnoreErrors([&] {
    canvas_.Zoom.Create(static_cast<int16_t>(canvas_.ViewWidth + canvas_.ViewWidth / 180),
                        static_cast<int16_t>(canvas_.ViewHeight + canvas_.ViewHeight / 135));
  });
}

void MainWindow::OnResize() {
  if (window_ == nullptr) return;
  picturePlacedAnew_ = true;
  switch (window_->State()) {
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

void MainWindow::OnPad(PadButton button, bool down) {
  Deliver({ReplayEventKind::Pad, static_cast<int32_t>(button), down ? 1 : 0, 0});
}

void MainWindow::OnPadUnplugged() { Deliver({ReplayEventKind::PadUnplugged, 0, 0, 0}); }

void MainWindow::OnActivate(bool active) {
  // The title waits without the focus: no frames run.
  if (active) {
    active_ = true;
  } else if (game_.State.GameMode == ModeTitle) {
    active_ = false;
  }
  Deliver({ReplayEventKind::Activate, active ? 1 : 0, 0, 0});
}

void MainWindow::Close() {
  if (!firstClose_) return;  // the loop is already stopping; GameExit closes the window
  const auto stopLoop = [this] {
    if (loop_ != nullptr) loop_->RequestExit();
  };
  // A failed save must not leave a window that can no longer be closed.
  try {
    SaveAtFirstClose();
  } catch (...) {
    stopLoop();
    throw;
  }
  stopLoop();
}

void MainWindow::OnGameRefresh() {
  if (!active_) return;
  canvas_.BackIndex = 1 - canvas_.BackIndex;
  GameState& state = game_.State;
  int32_t cursorX = state.Mouse.X, cursorY = state.Mouse.Y;
  if (window_ != nullptr) {
    int32_t cx = 0, cy = 0;
    window_->CursorInClient(cx, cy);
    const Platform::PictureRect picture = window_->PicturePlacement();
    cursorX = LogicalX(cx - picture.Left);
    cursorY = LogicalY(cy - picture.Top);
  }
  if (records_.Replaying()) {
    records_.ReplayFrames();
  } else {
    FrameStep(game_, cursorX, cursorY);
    records_.AfterFrame(cursorX, cursorY);
  }
  // A frame nobody can see runs whole, but its pixel work is skipped where the next frame
  // drawn into this back buffer (two ticks on) repaints every pixel of it anyway; the
  // presenter shows no picture drawn that way.
  Surface& screen = canvas_.Current();
  const bool unseen = window_ != nullptr && !window_->PictureTarget()->Showing();
  screen.SkipDrawing(unseen && FrameRedrawsEverything(state, skin_.Images, screen, CheckedAdd(state.Tick, 2)));
  // The frame is drawn only where it differs from what its buffer holds. A drawing that fails
  // loses only its picture: the animations move on all the same.
  frameDrawing_.Begin(screen, FrameRedrawsEverything(state, skin_.Images, screen, state.Tick));
  std::exception_ptr failed;
  try {
    DrawFrame(Scene{state, player_, skin_, services_.SecondsOfDay()}, screen);
    if (state.FadeStep > 0) DrawFadeStep(screen, canvas_.Fade, state.FadeStep);
  } catch (...) {
    failed = std::current_exception();
  }
  frameDrawing_.Finish(canvas_.Back, canvas_.BackIndex, canvas_.BackChanges[canvas_.BackIndex], failed == nullptr);
  AnimationStep(game_);
  if (failed != nullptr) std::rethrow_exception(failed);
}

void MainWindow::OnGameExit() {
  loop_.reset();
  CloseAudioDevice();
  window_.reset();
}

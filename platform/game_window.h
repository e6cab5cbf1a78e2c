// SPDX-License-Identifier: MIT
// A top-level window of the game as the platform shows it: a client area, the picture area
// inside it that frames are presented to, and the events the window receives. The SDL
// implementation is the normal one; tests may install a factory of their own.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/input_codes.h"
#include "platform/platform.h"
#include "surface/present_target.h"

namespace Platform {

enum class WindowState { Normal, Minimised, Maximised, FullScreen };

struct PictureRect {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
};

// Where a window's events go, in the codes of base/input_codes.h: keys by their virtual-key
// codes with the Modifier sum held, mouse buttons (a move reports the sum of the buttons held)
// at positions relative to the picture area's top-left corner, and the pads' buttons.
class WindowEventSink {
 public:
  virtual ~WindowEventSink() = default;
  // `repeat`: the keyboard repeating a key held down, not a new press.
  virtual void KeyDown(int32_t keyCode, int32_t shift, bool repeat) = 0;
  virtual void KeyPress(int32_t charCode, bool repeat) = 0;
  // A key let go.
  virtual void KeyUp(int32_t /*keyCode*/) {}
  // Text the keyboard typed (UTF-8), as the system's input method composed it.
  virtual void TextTyped(const std::string& /*utf8*/) {}
  virtual void MouseDown(int32_t button, int32_t shift, float x, float y) = 0;
  virtual void MouseMove(int32_t button, int32_t shift, float x, float y) = 0;
  virtual void MouseUp(int32_t button, int32_t shift, float x, float y) = 0;
  // The size or the state (normal, minimised, maximised) changed, or the window was shown.
  virtual void Resized() = 0;
  // The window became active (true), or lost the focus or was minimised (false).
  virtual void Activated(bool active) = 0;
  virtual void CloseRequested() = 0;
  // Of all the pads plugged in, the first one pressed drives until it is unplugged; the others
  // are not heard meanwhile.
  virtual void PadChanged(PadButton button, bool down) = 0;
  // The driving pad was unplugged: it holds nothing any more.
  virtual void PadUnplugged() = 0;
};

class GameWindow {
 public:
  virtual ~GameWindow() = default;
  virtual void Show() = 0;
  virtual void Minimise() = 0;
  virtual WindowState State() const = 0;
  virtual void ClientSize(int32_t& width, int32_t& height) const = 0;
  virtual void SetClientSize(int32_t width, int32_t height) = 0;
  // Desktop full screen on or off; leaving it restores the normal or maximised window it
  // came from. The size change arrives as Resized.
  virtual void SetFullScreen(bool on) = 0;
  // The cursor's position relative to the client area's top-left corner, wherever the
  // cursor is on the screen.
  virtual void CursorInClient(int32_t& x, int32_t& y) const = 0;
  // The cursor shown over the picture area; 0 is the system's arrow.
  virtual void SetPictureCursor(CursorHandle cursor) = 0;
  // The picture area inside the client area: frames are drawn there, clipped to it.
  virtual void SetPicturePlacement(const PictureRect& rect) = 0;
  virtual PictureRect PicturePlacement() const = 0;
  virtual PresentTarget* PictureTarget() = 0;
  // Hands every event queued for this window to the sink; each event is delivered even when
  // the handler of an earlier one failed.
  virtual void DispatchEvents(WindowEventSink& sink) = 0;
};

struct WindowSpec {
  std::string Caption;
  int32_t ClientWidth = 0;
  int32_t ClientHeight = 0;
  bool Resizable = false;
};

// Makes a hidden window. Raises a run-time error when the platform cannot make one.
std::unique_ptr<GameWindow> CreateGameWindow(const WindowSpec& request);

// Tests replace the platform's windows with their own; an empty factory restores SDL's.
using WindowFactory = std::function<std::unique_ptr<GameWindow>(const WindowSpec&)>;
void SetWindowFactory(WindowFactory factory);

}  // namespace Platform

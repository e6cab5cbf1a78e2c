// SPDX-License-Identifier: MIT
// The game's windows over SDL: frames are widened from RGB555 straight into the window's own
// surface and handed to the window system as changed rectangles (no renderer, no texture, no
// vsync). SDL's events are translated here into the codes the game was written for.
#include <SDL.h>
#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/input_codes.h"
#include "base/runtime.h"
#include "platform/game_window.h"
#include "platform/x11_connection.h"

namespace Platform {

namespace {

WindowFactory g_factory;

// The connection to the X display, once a window is open on one (-1 before, or on another
// window system). Its events are awaited there directly: SDL's own wait asks the display for
// its events three times over each time.
int g_displayConnection = -1;
// True when the events were gathered just before a wait in which nothing more arrived, so the
// next dispatch need not ask the display again.
bool g_eventsGathered = false;

// Windows virtual-key code of an SDL key; 0 for keys the game has no code for.
int32_t VirtualKeyCode(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return KeyCode::F1 + (key - SDLK_F1);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return 97 + (key - SDLK_KP_1);
  switch (key) {
    case SDLK_BACKSPACE:
      return 8;
    case SDLK_TAB:
      return 9;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return KeyCode::Enter;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      return 16;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return 17;
    case SDLK_LALT:
    case SDLK_RALT:
      return 18;
    case SDLK_PAUSE:
      return 19;
    case SDLK_CAPSLOCK:
      return 20;
    case SDLK_ESCAPE:
      return KeyCode::Escape;
    case SDLK_SPACE:
      return 32;
    case SDLK_PAGEUP:
      return 33;
    case SDLK_PAGEDOWN:
      return 34;
    case SDLK_END:
      return 35;
    case SDLK_HOME:
      return 36;
    case SDLK_LEFT:
      return KeyCode::Left;
    case SDLK_UP:
      return KeyCode::Up;
    case SDLK_RIGHT:
      return KeyCode::Right;
    case SDLK_DOWN:
      return KeyCode::Down;
    case SDLK_INSERT:
      return 45;
    case SDLK_DELETE:
      return 46;
    case SDLK_KP_0:
      return 96;
    case SDLK_KP_MULTIPLY:
      return 106;
    case SDLK_KP_PLUS:
      return 107;
    case SDLK_KP_MINUS:
      return 109;
    case SDLK_KP_PERIOD:
      return 110;
    case SDLK_KP_DIVIDE:
      return 111;
    default:
      return 0;
  }
}

// The character a key types, 0 for none: printable ASCII, Enter, Escape, Backspace, Tab.
int32_t CharacterCode(SDL_Keycode key, Uint16 modifiers) {
  if (key == SDLK_RETURN || key == SDLK_KP_ENTER) return 13;
  if (key == SDLK_ESCAPE || key == SDLK_BACKSPACE || key == SDLK_TAB) return key;
  if (key < 32 || key > 126) return 0;
  if (key >= SDLK_a && key <= SDLK_z && ((modifiers & KMOD_SHIFT) != 0) != ((modifiers & KMOD_CAPS) != 0)) {
    return key - 32;
  }
  return key;
}

int32_t ShiftState(Uint16 modifiers) {
  return ((modifiers & KMOD_SHIFT) != 0 ? Modifier::Shift : 0) | ((modifiers & KMOD_CTRL) != 0 ? Modifier::Ctrl : 0) |
         ((modifiers & KMOD_ALT) != 0 ? Modifier::Alt : 0);
}

int32_t ButtonCode(Uint8 button) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return MouseButton::Left;
    case SDL_BUTTON_RIGHT:
      return MouseButton::Right;
    case SDL_BUTTON_MIDDLE:
      return MouseButton::Middle;
    default:
      return 0;
  }
}

// The pad controls the game knows; other buttons are not heard.
bool PadButtonOf(Uint8 button, PadButton& input) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      input = PadButton::Left;
      return true;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      input = PadButton::Right;
      return true;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      input = PadButton::Up;
      return true;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      input = PadButton::Down;
      return true;
    case SDL_CONTROLLER_BUTTON_A:
      input = PadButton::South;
      return true;
    case SDL_CONTROLLER_BUTTON_B:
      input = PadButton::East;
      return true;
    case SDL_CONTROLLER_BUTTON_START:
      input = PadButton::Start;
      return true;
    case SDL_CONTROLLER_BUTTON_BACK:
      input = PadButton::Back;
      return true;
    case SDL_CONTROLLER_BUTTON_X:
      input = PadButton::West;
      return true;
    case SDL_CONTROLLER_BUTTON_Y:
      input = PadButton::North;
      return true;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
      input = PadButton::LeftShoulder;
      return true;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
      input = PadButton::RightShoulder;
      return true;
    case SDL_CONTROLLER_BUTTON_LEFTSTICK:
      input = PadButton::LeftStick;
      return true;
    case SDL_CONTROLLER_BUTTON_RIGHTSTICK:
      input = PadButton::RightStick;
      return true;
    default:
      return false;
  }
}

// The left stick as a d-pad: pushed past half its travel it presses a direction, back within
// a quarter it lets go, so a stick resting near the edge does not chatter.
constexpr int StickPress = 16384, StickRelease = 8192;

// Opens every pad plugged in (at start SDL reports the pads already there as plugged in) and
// turns the driving pad's events into the game's pad controls.
class Gamepads {
 public:
  Gamepads() {
    // The pads are read once a pass, by Update. Left to SDL, an open pad would turn every
    // wait for input into a poll each millisecond.
    SDL_SetHint(SDL_HINT_AUTO_UPDATE_JOYSTICKS, "0");
    started_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
  }
  ~Gamepads() {
    for (auto& [id, pad] : pads_) SDL_GameControllerClose(pad);
    if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  }
  Gamepads(const Gamepads&) = delete;
  Gamepads& operator=(const Gamepads&) = delete;

  // Reads the pads and queues their events, plugging in and out included. With no pad open
  // there is nothing to read, and looking for a pad plugged in (which asks the system's device
  // monitors every time) is enough a few times a second.
  void Update() {
    if (!started_) return;
    const Uint32 now = SDL_GetTicks();
    if (pads_.empty() && now - lastLook_ < NoPadLookPeriod) return;
    lastLook_ = now;
    SDL_GameControllerUpdate();
  }

  // True when the event was a pad's.
  bool Deliver(const SDL_Event& event, WindowEventSink& sink) {
    switch (event.type) {
      case SDL_CONTROLLERDEVICEADDED:
        if (SDL_GameController* pad = SDL_GameControllerOpen(event.cdevice.which)) {
          pads_[SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad))] = pad;
        }
        return true;
      case SDL_CONTROLLERDEVICEREMOVED:
        Unplugged(event.cdevice.which, sink);
        return true;
      case SDL_CONTROLLERBUTTONDOWN:
      case SDL_CONTROLLERBUTTONUP: {
        PadButton input{};
        if (!PadButtonOf(event.cbutton.button, input)) return true;
        const bool down = event.type == SDL_CONTROLLERBUTTONDOWN;
        if (down && driver_ < 0) driver_ = event.cbutton.which;
        if (event.cbutton.which == driver_) sink.PadChanged(input, down);
        return true;
      }
      case SDL_CONTROLLERAXISMOTION:
        Stick(event.caxis, sink);
        return true;
      default:
        return false;
    }
  }

 private:
  void Unplugged(SDL_JoystickID id, WindowEventSink& sink) {
    const auto pad = pads_.find(id);
    if (pad != pads_.end()) {
      SDL_GameControllerClose(pad->second);
      pads_.erase(pad);
    }
    if (id != driver_) return;
    driver_ = -1;
    stickX_ = stickY_ = 0;
    sink.PadUnplugged();
  }

  void Stick(const SDL_ControllerAxisEvent& axis, WindowEventSink& sink) {
    const bool horizontal = axis.axis == SDL_CONTROLLER_AXIS_LEFTX;
    if (!horizontal && axis.axis != SDL_CONTROLLER_AXIS_LEFTY) return;
    if (driver_ >= 0 && axis.which != driver_) return;
    int& held = horizontal ? stickX_ : stickY_;
    int now = held;
    if (std::abs(axis.value) >= StickPress) now = axis.value < 0 ? -1 : 1;
    if (std::abs(axis.value) <= StickRelease) now = 0;
    if (now == held) return;
    driver_ = axis.which;
    const PadButton negative = horizontal ? PadButton::Left : PadButton::Up;
    const PadButton positive = horizontal ? PadButton::Right : PadButton::Down;
    if (held != 0) sink.PadChanged(held < 0 ? negative : positive, false);
    held = now;
    if (held != 0) sink.PadChanged(held < 0 ? negative : positive, true);
  }

  static constexpr Uint32 NoPadLookPeriod = 250;  // milliseconds
  bool started_ = false;
  Uint32 lastLook_ = 0;
  std::map<SDL_JoystickID, SDL_GameController*> pads_;
  SDL_JoystickID driver_ = -1;
  int stickX_ = 0, stickY_ = 0;  // the driver's stick as a direction: -1, 0 or 1
};

int32_t HeldButtons(Uint32 state) {
  return ((state & SDL_BUTTON_LMASK) != 0 ? MouseButton::Left : 0) |
         ((state & SDL_BUTTON_RMASK) != 0 ? MouseButton::Right : 0) |
         ((state & SDL_BUTTON_MMASK) != 0 ? MouseButton::Middle : 0);
}

// RGB555 to XRGB8888, each 5-bit channel widened to the full 8-bit range. The loop is
// vectorised; on x86 a second copy for processors with AVX2 widens twice the pixels a step.
#if defined(__x86_64__)
__attribute__((target_clones("avx2", "default")))
#endif
void WidenRow(const uint16_t* source, uint32_t* destination, int32_t width) {
  for (int32_t x = 0; x < width; ++x) {
    const uint32_t pixel = source[x];
    const uint32_t red = (pixel >> 10) & 31, green = (pixel >> 5) & 31, blue = pixel & 31;
    destination[x] = ((red << 3 | red >> 2) << 16) | ((green << 3 | green >> 2) << 8) | (blue << 3 | blue >> 2);
  }
}

// Frames go straight into the window's own surface, widened from RGB555 to its 32-bit
// pixels, and are handed to the window system with SDL_UpdateWindowSurfaceRects: no GPU path
// and no intermediate texture. A maximised window's scaling was already done by the zoom, so
// every frame is a 1:1 copy of the areas that changed.
class SdlPictureTarget final : public PresentTarget {
 public:
  explicit SdlPictureTarget(SDL_Window* window) : window_(window) {}
  SdlPictureTarget(const SdlPictureTarget&) = delete;
  SdlPictureTarget& operator=(const SdlPictureTarget&) = delete;

  void SetPlacement(const PictureRect& rect) {
    placement_ = rect;
    clearPending_ = true;  // the area around a moved picture must not keep old pixels
  }
  const PictureRect& Placement() const { return placement_; }

  // The window system dropped some of the window's pixels (it was uncovered or shown again).
  void PictureExposed() { exposed_ = true; }

  // Other windows cover all of this one: nobody sees what is presented until some shows again.
  void SetCovered(bool covered) {
    if (covered_ && !covered) exposed_ = true;
    covered_ = covered;
  }

  void CopyPixels(const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height, int32_t x, int32_t y) override {
    const ChangedArea whole{0, 0, width, height};
    CopyAreas(pixels, pitch, width, height, x, y, &whole, 1);
  }

  void CopyAreas(const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height, int32_t x, int32_t y,
                 const ChangedArea* areas, size_t count) override {
    if (pixels == nullptr || width <= 0 || height <= 0) return;
    SDL_Surface* surface = CurrentSurface();
    if (surface == nullptr) return;
    const ChangedArea whole{0, 0, width, height};
    if (clearPending_ || exposed_) {
      areas = &whole;
      count = 1;
    }
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    if (clearPending_) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    rects_.clear();
    for (size_t i = 0; i < count; ++i) {
      // The area, clipped to the block, to the picture area and to the window.
      const ChangedArea& area = areas[i];
      const int32_t blockLeft = placement_.Left + x, blockTop = placement_.Top + y;
      const int32_t left = std::max({blockLeft + std::max(area.Left, 0), placement_.Left, 0});
      const int32_t top = std::max({blockTop + std::max(area.Top, 0), placement_.Top, 0});
      const int32_t right =
          std::min({blockLeft + std::min(area.Right, width), placement_.Left + placement_.Width, surface->w});
      const int32_t bottom =
          std::min({blockTop + std::min(area.Bottom, height), placement_.Top + placement_.Height, surface->h});
      if (right <= left || bottom <= top) continue;
      WidenBlock(surface,
                 reinterpret_cast<const uint8_t*>(pixels) + static_cast<ptrdiff_t>(top - blockTop) * pitch +
                     static_cast<ptrdiff_t>(left - blockLeft) * 2,
                 pitch, left, top, right - left, bottom - top);
      rects_.push_back({left, top, right - left, bottom - top});
    }
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    HandOver();
  }

  bool LendPixels(LentPixels& lent) override {
    SDL_Surface* surface = CurrentSurface();
    if (surface == nullptr || !WidensDirectly(surface) || placement_.Left < 0 || placement_.Top < 0) return false;
    const int32_t width = std::min(placement_.Width, surface->w - placement_.Left);
    const int32_t height = std::min(placement_.Height, surface->h - placement_.Top);
    if (width <= 0 || height <= 0) return false;
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
    if (clearPending_) SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    const int32_t pitchPixels = surface->pitch / 4;
    lent.Pixels = static_cast<uint32_t*>(surface->pixels) + static_cast<ptrdiff_t>(placement_.Top) * pitchPixels +
                  placement_.Left;
    lent.PitchPixels = pitchPixels;
    lent.Width = width;
    lent.Height = height;
    lent_ = lent;
    lentSurface_ = surface;
    return true;
  }

  void ReturnPixels(const ChangedArea* areas, size_t count) override {
    SDL_Surface* surface = lentSurface_;
    if (surface == nullptr) return;
    lentSurface_ = nullptr;
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    rects_.clear();
    for (size_t i = 0; i < count; ++i) {
      const int32_t left = std::max(areas[i].Left, 0), top = std::max(areas[i].Top, 0);
      const int32_t right = std::min(areas[i].Right, lent_.Width), bottom = std::min(areas[i].Bottom, lent_.Height);
      if (right > left && bottom > top)
        rects_.push_back({placement_.Left + left, placement_.Top + top, right - left, bottom - top});
    }
    HandOver();
  }

  bool Showing() override {
    return !covered_ && (SDL_GetWindowFlags(window_) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED)) == 0;
  }

  bool LostPicture() override {
    CurrentSurface();
    return clearPending_ || exposed_;
  }

 private:
  // The window's surface; a new one (after a resize) starts black and is presented whole.
  SDL_Surface* CurrentSurface() {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (surface != nullptr && (surface != surface_ || surface->w != surfaceWidth_ || surface->h != surfaceHeight_)) {
      surface_ = surface;
      surfaceWidth_ = surface->w;
      surfaceHeight_ = surface->h;
      clearPending_ = true;
    }
    return surface;
  }

  // Hands rects_ to the window system, or the whole window after a new surface; the target
  // then shows what it was given.
  void HandOver() {
    if (clearPending_) {
      SDL_UpdateWindowSurface(window_);
    } else if (!rects_.empty()) {
      SDL_UpdateWindowSurfaceRects(window_, rects_.data(), static_cast<int>(rects_.size()));
    }
    clearPending_ = false;
    exposed_ = false;
  }

  // Whether the surface's pixels are XRGB8888 (or ARGB8888, whose alpha the window ignores).
  static bool WidensDirectly(const SDL_Surface* surface) {
    return surface->format->format == SDL_PIXELFORMAT_RGB888 || surface->format->format == SDL_PIXELFORMAT_ARGB8888;
  }

  // Widens a width x height block of RGB555 rows into the surface at (left, top).
  void WidenBlock(SDL_Surface* surface, const uint8_t* source, int32_t pitch, int32_t left, int32_t top, int32_t width,
                  int32_t height) {
    const bool direct = WidensDirectly(surface);
    if (!direct) row_.resize(static_cast<size_t>(width));
    for (int32_t row = 0; row < height; ++row) {
      const auto* sourceRow = reinterpret_cast<const uint16_t*>(source + static_cast<ptrdiff_t>(row) * pitch);
      auto* destination = static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(top + row) * surface->pitch +
                          static_cast<size_t>(left) * surface->format->BytesPerPixel;
      if (direct) {
        WidenRow(sourceRow, reinterpret_cast<uint32_t*>(destination), width);
      } else {
        WidenRow(sourceRow, row_.data(), width);
        SDL_ConvertPixels(width, 1, SDL_PIXELFORMAT_RGB888, row_.data(), width * 4, surface->format->format,
                          destination, surface->pitch);
      }
    }
  }

  SDL_Window* window_;
  SDL_Surface* surface_ = nullptr;
  int32_t surfaceWidth_ = 0, surfaceHeight_ = 0;
  bool clearPending_ = true;
  bool exposed_ = false;
  bool covered_ = false;
  SDL_Surface* lentSurface_ = nullptr;  // between LendPixels and ReturnPixels
  LentPixels lent_;
  std::vector<uint32_t> row_;
  std::vector<SDL_Rect> rects_;
  PictureRect placement_;
};

class SdlGameWindow final : public GameWindow {
 public:
  explicit SdlGameWindow(const WindowSpec& request) {
    StartVideo();
    // A full-screen game that loses the focus stays on screen and pauses, as a window does.
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (request.Resizable) flags |= SDL_WINDOW_RESIZABLE;
    // Without a display the cursor's global position is the window-relative one, so the
    // window sits at the origin there.
    const int position = !DisplayIsReal() ? 0 : SDL_WINDOWPOS_CENTERED;
    window_ =
        SDL_CreateWindow(request.Caption.c_str(), position, position, request.ClientWidth, request.ClientHeight, flags);
    if (window_ == nullptr) Raise(ErrorKind::FileNotFound, std::string("window: ") + SDL_GetError());
    if (const int connection = X11ConnectionOf(window_); connection >= 0) g_displayConnection = connection;
    WatchX11Covering(window_);
    target_ = std::make_unique<SdlPictureTarget>(window_);
    target_->SetPlacement({0, 0, request.ClientWidth, request.ClientHeight});
    pads_ = std::make_unique<Gamepads>();
  }

  ~SdlGameWindow() override {
    pads_.reset();
    target_.reset();
    SDL_DestroyWindow(window_);
  }
  SdlGameWindow(const SdlGameWindow&) = delete;
  SdlGameWindow& operator=(const SdlGameWindow&) = delete;

  void Show() override { SDL_ShowWindow(window_); }
  void Minimise() override { SDL_MinimizeWindow(window_); }

  WindowState State() const override {
    const Uint32 flags = SDL_GetWindowFlags(window_);
    if ((flags & SDL_WINDOW_MINIMIZED) != 0) return WindowState::Minimised;
    if ((flags & SDL_WINDOW_FULLSCREEN) != 0) return WindowState::FullScreen;
    if ((flags & SDL_WINDOW_MAXIMIZED) != 0) return WindowState::Maximised;
    return WindowState::Normal;
  }

  void ClientSize(int32_t& width, int32_t& height) const override { SDL_GetWindowSize(window_, &width, &height); }

  void SetClientSize(int32_t width, int32_t height) override {
    int32_t currentWidth = 0, currentHeight = 0;
    ClientSize(currentWidth, currentHeight);
    if (currentWidth != width || currentHeight != height) SDL_SetWindowSize(window_, width, height);
  }

  void SetFullScreen(bool on) override {
    const Uint32 flags = SDL_GetWindowFlags(window_);
    if (((flags & SDL_WINDOW_FULLSCREEN) != 0) == on) return;
    if (on) leftMaximised_ = (flags & SDL_WINDOW_MAXIMIZED) != 0;
    if (SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return;
    if (!on && leftMaximised_) SDL_MaximizeWindow(window_);
  }

  void CursorInClient(int32_t& x, int32_t& y) const override {
    // Over the window SDL knows the position from the motion events just dispatched; some
    // X servers never refresh the global position, so it serves only outside the window.
    if (SDL_GetMouseFocus() == window_) {
      SDL_GetMouseState(&x, &y);
      return;
    }
    int globalX = 0, globalY = 0, windowX = 0, windowY = 0;
    SDL_GetGlobalMouseState(&globalX, &globalY);
    SDL_GetWindowPosition(window_, &windowX, &windowY);
    x = globalX - windowX;
    y = globalY - windowY;
  }

  void SetPictureCursor(CursorHandle cursor) override {
    pictureCursor_ = reinterpret_cast<SDL_Cursor*>(cursor);
    if (pointerOverPicture_) ApplyCursor();
  }

  void SetPicturePlacement(const PictureRect& rect) override { target_->SetPlacement(rect); }
  PictureRect PicturePlacement() const override { return target_->Placement(); }
  PresentTarget* PictureTarget() override { return target_.get(); }

  void DispatchEvents(WindowEventSink& sink) override {
    pads_->Update();
    // One look at the window system a pass: polling event by event would ask it again for
    // every event. Events that handling itself queues wait for the next pass.
    if (!std::exchange(g_eventsGathered, false)) SDL_PumpEvents();
    int pending = SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_Event event;
    while (pending-- > 0 && SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
      try {
        Deliver(event, sink);
      } catch (const std::exception&) {
        // A failing handler loses only its own event.
      }
    }
  }

 private:
  // Events made by the program itself (SDL_PushEvent) carry no window and count as ours.
  bool ForThisWindow(Uint32 windowId) const { return windowId == 0 || windowId == SDL_GetWindowID(window_); }

  bool InsidePicture(int32_t x, int32_t y) const {
    const PictureRect& rect = target_->Placement();
    return x >= rect.Left && y >= rect.Top && x < rect.Left + rect.Width && y < rect.Top + rect.Height;
  }

  void ApplyCursor() { SDL_SetCursor(pictureCursor_ != nullptr ? pictureCursor_ : SDL_GetDefaultCursor()); }

  void TrackPointer(int32_t x, int32_t y) {
    const bool over = InsidePicture(x, y);
    if (over == pointerOverPicture_) return;
    pointerOverPicture_ = over;
    if (over) {
      ApplyCursor();
    } else {
      SDL_SetCursor(SDL_GetDefaultCursor());
    }
  }

  void Deliver(const SDL_Event& event, WindowEventSink& sink) {
    if (pads_->Deliver(event, sink)) return;
    const PictureRect& picture = target_->Placement();
    switch (event.type) {
      case SDL_QUIT:
        sink.CloseRequested();
        break;
      case SDL_KEYDOWN: {
        if (!ForThisWindow(event.key.windowID)) break;
        const int32_t keyCode = VirtualKeyCode(event.key.keysym.sym);
        const bool repeat = event.key.repeat != 0;
        if (keyCode != 0) sink.KeyDown(keyCode, ShiftState(event.key.keysym.mod), repeat);
        const int32_t charCode = CharacterCode(event.key.keysym.sym, event.key.keysym.mod);
        if (charCode != 0) sink.KeyPress(charCode, repeat);
        break;
      }
      case SDL_KEYUP: {
        if (!ForThisWindow(event.key.windowID)) break;
        const int32_t keyCode = VirtualKeyCode(event.key.keysym.sym);
        if (keyCode != 0) sink.KeyUp(keyCode);
        break;
      }
      case SDL_TEXTINPUT:
        if (ForThisWindow(event.text.windowID)) sink.TextTyped(std::string(event.text.text));
        break;
      case SDL_MOUSEMOTION:
        if (!ForThisWindow(event.motion.windowID)) break;
        TrackPointer(event.motion.x, event.motion.y);
        if (InsidePicture(event.motion.x, event.motion.y) || capturedButtons_ != 0) {
          sink.MouseMove(HeldButtons(event.motion.state), ShiftState(SDL_GetModState()),
                         static_cast<float>(event.motion.x - picture.Left),
                         static_cast<float>(event.motion.y - picture.Top));
        }
        break;
      case SDL_MOUSEBUTTONDOWN: {
        if (!ForThisWindow(event.button.windowID)) break;
        const int32_t button = ButtonCode(event.button.button);
        if (button == 0 || !InsidePicture(event.button.x, event.button.y)) break;
        capturedButtons_ |= button;
        sink.MouseDown(button, ShiftState(SDL_GetModState()), static_cast<float>(event.button.x - picture.Left),
                       static_cast<float>(event.button.y - picture.Top));
        break;
      }
      case SDL_MOUSEBUTTONUP: {
        if (!ForThisWindow(event.button.windowID)) break;
        const int32_t button = ButtonCode(event.button.button);
        if (button == 0) break;
        // A release belongs to the picture when the press did or when it happens over it.
        const bool captured = (capturedButtons_ & button) != 0;
        capturedButtons_ &= ~button;
        if (!captured && !InsidePicture(event.button.x, event.button.y)) break;
        sink.MouseUp(button, ShiftState(SDL_GetModState()), static_cast<float>(event.button.x - picture.Left),
                     static_cast<float>(event.button.y - picture.Top));
        break;
      }
      case SDL_WINDOWEVENT:
        if (ForThisWindow(event.window.windowID)) DeliverWindowEvent(event.window.event, sink);
        break;
      case SDL_SYSWMEVENT:
        if (const int covered = X11CoveringChange(event.syswm.msg, window_); covered >= 0) {
          target_->SetCovered(covered == 1);
        }
        break;
      default:
        break;
    }
  }

  void DeliverWindowEvent(Uint8 windowEvent, WindowEventSink& sink) {
    switch (windowEvent) {
      case SDL_WINDOWEVENT_SHOWN:
      case SDL_WINDOWEVENT_SIZE_CHANGED:
      case SDL_WINDOWEVENT_MAXIMIZED:
      case SDL_WINDOWEVENT_RESTORED:
        sink.Resized();
        break;
      case SDL_WINDOWEVENT_MINIMIZED:
        sink.Resized();
        sink.Activated(false);
        break;
      case SDL_WINDOWEVENT_FOCUS_GAINED:
        sink.Activated(true);
        break;
      case SDL_WINDOWEVENT_FOCUS_LOST:
        sink.Activated(false);
        break;
      case SDL_WINDOWEVENT_EXPOSED:
        target_->PictureExposed();
        break;
      case SDL_WINDOWEVENT_LEAVE:
        pointerOverPicture_ = false;
        break;
      case SDL_WINDOWEVENT_CLOSE:
        sink.CloseRequested();
        break;
      default:
        break;
    }
  }

  SDL_Window* window_ = nullptr;
  std::unique_ptr<SdlPictureTarget> target_;
  std::unique_ptr<Gamepads> pads_;
  bool leftMaximised_ = false;  // the window full screen was entered from was maximised
  SDL_Cursor* pictureCursor_ = nullptr;
  bool pointerOverPicture_ = false;
  int32_t capturedButtons_ = 0;
};

}  // namespace

void WaitForWindowEvents(uint32_t milliseconds) {
  if (SDL_WasInit(SDL_INIT_EVENTS) == 0) {
    Sleep(milliseconds);
    return;
  }
  const int timeout = static_cast<int>(std::min<uint32_t>(milliseconds, INT32_MAX));
  if (g_displayConnection < 0) {
    // A null event leaves the message in the queue for the dispatcher.
    SDL_WaitEventTimeout(nullptr, timeout);
    return;
  }
  // Gathering the events also sends what is still buffered for the display and empties
  // Xlib's own queue, so whatever arrives next shows on the connection.
  SDL_PumpEvents();
  if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) return;
  pollfd connection{g_displayConnection, POLLIN, 0};
  g_eventsGathered = poll(&connection, 1, timeout) == 0;
}

std::unique_ptr<GameWindow> CreateGameWindow(const WindowSpec& request) {
  if (g_factory) return g_factory(request);
  return std::make_unique<SdlGameWindow>(request);
}

void SetWindowFactory(WindowFactory factory) { g_factory = std::move(factory); }

}  // namespace Platform

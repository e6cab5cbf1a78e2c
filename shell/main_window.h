// SPDX-License-Identifier: MIT
// MainWindow: the game's only window and its picture area. It owns the game, the canvas its
// frames are drawn on and the loop that runs them; it routes the window's events to the rules
// and runs one frame per GameRefresh.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/skin.h"
#include "config/skin_reader.h"
#include "game/game.h"
#include "platform/game_window.h"
#include "player/player.h"
#include "player/user_settings.h"
#include "render/frame_drawing.h"
#include "shell/canvas.h"
#include "shell/game_records.h"
#include "shell/shell_services.h"

class GameLoop;

// Where the 720 x 540 picture is shown in a maximised window of the given client size:
// as large as fits with the 4:3 shape (width a multiple of 4), centred, never larger than
// MaxViewWidth x MaxViewHeight so that the zoom surface stays within 4096 x 4096.
struct ViewPlacement {
  int32_t ViewWidth = 0, ViewHeight = 0;
  int32_t Left = 0, Top = 0;
};
constexpr int32_t MaxViewWidth = 4072;
constexpr int32_t MaxViewHeight = 4066;
ViewPlacement MaximisedView(int32_t clientWidth, int32_t clientHeight);

class MainWindow {
 public:
  // Loads the window: caption Texts(0), the audio device opened, cursor 0, the back buffers and
  // the loop made. The skin, its reader, the player's settings and files stay the caller's and
  // must outlive the window. `startFullScreen` is the command line's choice; none: as the
  // player left the game last time.
  MainWindow(Skin& skin, SkinReader& reader, PlayerSettings& player, const PlayerFiles& files,
             std::optional<bool> startFullScreen);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Shows the window, full screen when the command line asked for it or, without a word
  // from the command line, when the player left it so.
  void Show();
  // F11 and Alt+Enter; the choice is kept in the player's settings.
  void ToggleFullScreen();
  // Client area exactly 720 x 540.
  void GameInit();
  // A request to close the window (the title's quit button, the window manager): the player's
  // files are saved the first time, and the loop stops; GameExit closes the window.
  void Close();

  // Handlers, as the platform layer delivers the window's events (base/input_codes.h).
  void OnKeyDown(int32_t keyCode, int32_t modifiers, bool repeat = false);
  void OnKeyPress(int32_t charCode, bool repeat = false);
  void OnKeyUp(int32_t keyCode);
  void OnTextTyped(const std::string& utf8);
  void OnMouseDown(int32_t button);
  void OnMouseMove(int32_t buttons, float x, float y);
  void OnMouseUp(int32_t button);
  void OnResize();
  void OnPad(PadButton button, bool down);
  void OnPadUnplugged();
  void OnActivate(bool active);
  // One frame: the back buffers flip, the cursor is mapped into the logical screen, the rules'
  // frame runs, the picture is drawn (only where it changed) and the animations move on.
  void OnGameRefresh();
  // The loop ended: the audio device closes and the window goes.
  void OnGameExit();

  GameLoop& Loop() { return *loop_; }
  Game& TheGame() { return game_; }
  Canvas& Pictures() { return canvas_; }
  ShellServices& Services() { return services_; }
  // The platform's window while it is open (nullptr after GameExit).
  Platform::GameWindow* Window() { return window_.get(); }
  // Whether no close request has yet been turned into a stop of the loop.
  bool FirstClose() const { return firstClose_; }

 private:
  class Events;
  // An input of the window to the rules, recorded while a game is; while a replay plays, the
  // player's input only stops it or hurries it.
  void Deliver(const ReplayEvent& event);
  void SaveAtFirstClose();
  void ResizeNormal();
  void ResizeMaximised();
  int32_t LogicalX(double x) const;
  int32_t LogicalY(double y) const;
  Platform::CursorHandle MouseCursor(int32_t style) const;

  Skin& skin_;
  PlayerSettings& player_;
  PlayerFiles files_;
  std::optional<bool> startFullScreen_;
  Canvas canvas_;
  ShellServices services_;
  Game game_;
  GameRecords records_;
  FrameDrawing frameDrawing_;
  std::unique_ptr<Events> events_;
  std::vector<Platform::CursorHandle> cursors_;
  std::unique_ptr<Platform::GameWindow> window_;
  std::shared_ptr<GameLoop> loop_;
  bool firstClose_ = true;
  bool active_ = true;              // false while the title waits without the focus: no frames run
  int32_t cursorStyle_ = 0;         // the cursor shape last applied to the picture area
  bool picturePlacedAnew_ = false;  // the picture was placed anew since the last mouse move
};

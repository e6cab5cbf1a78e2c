// Frm_Main: the game's only window and its picture area GamePic. It owns the engine, routes
// the window's events to the input steps and runs one frame per GameRefresh.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "shell/platform/game_window.h"
#include "shell/shell_state.h"

class CGameEngine;

// Where the 720 x 540 picture is shown in a maximised window of the given client size:
// as large as fits with the 4:3 shape (width a multiple of 4), centred, never larger than
// MaxViewWidth x MaxViewHeight so that the zoom surface stays within 4096 x 4096.
struct ViewPlacement {
  int32_t ViewWidth = 0, ViewHeight = 0;
  int32_t Left = 0, Top = 0;
};
constexpr int32_t MaxViewWidth = 4072;
constexpr int32_t MaxViewHeight = 4066;
ViewPlacement MaximisedView(int32_t ScaleWidth, int32_t ScaleHeight);

class Frm_Main {
 public:
  // Load handler: caption Texts(0), audio opened, cursor 0, back buffers and engine made.
  static void Load();
  // Shows the window, full screen when the command line asked for it or, without a word
  // from the command line, when the player left it so.
  static void Show();
  static void ChooseStartMode(std::optional<bool> fullScreen);
  // F11 and Alt+Enter; the choice is kept in the player's settings.
  static void ToggleFullScreen();
  static void Unload();
  // Client area exactly 720 x 540.
  static void GameInit();
  static CGameEngine* m_GDIEngine();

  // Handlers, as the platform layer delivers the window's events. Key codes and mouse buttons
  // are the game's own codes (13 Enter, 27 Escape, 37-40 arrows, 112 F1, 121 F10, 122 F11;
  // button 1 left, 2 right).
  static void OnKeyDown(int32_t keyCode, int32_t shift);
  static void OnKeyPress(int32_t charCode);
  static void OnMouseDown(int32_t button, int32_t shift, float x, float y);
  static void OnMouseMove(int32_t button, int32_t shift, float x, float y);
  static void OnMouseUp(int32_t button, int32_t shift, float x, float y);
  static void OnResize();
  static void OnPad(Platform::PadInput input, bool down);
  static void OnPadUnplugged();
  // The activation message: 1 or 2 activated, anything else deactivated.
  static void OnActivate(int32_t wParam);
  // A request to close the window (the title's quit button, the window manager).
  static void Close();
  static void OnGameRefresh();
  static void OnGameExit();

  // The window while it is loaded (nullptr otherwise), and whether no close request has
  // yet been turned into an engine stop.
  static Platform::GameWindow* Window();
  static bool FirstClose();
};

// Frm_Main: the game's only window, its picture area GamePic, and the globals of the shell
// that every subsystem reads (mouse position, frame counter, back buffers, ...).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "shell/game_window.h"
#include "shell/ini_file.h"
#include "surface/cgdisurface.h"

class CGameEngine;

// The logical screen every frame is drawn for, and the back buffers that hold it in their
// top-left corner with a 4-pixel margin.
constexpr int32_t LogicalWidth = 720;
constexpr int32_t LogicalHeight = 540;
constexpr int16_t BackBufferWidth = 724;
constexpr int16_t BackBufferHeight = 544;

struct ShellGlobals {
  // Cursor in the 720 x 540 logical space; not clamped.
  int32_t MouseX = 0, MouseY = 0;
  int32_t OldMouseX = 0, OldMouseY = 0;
  // The position the last frame computed: the next frame measures the mouse's movement
  // against it, whatever the mouse handlers wrote into MouseX/MouseY in between.
  int32_t FrameMouseX = 0, FrameMouseY = 0;
  bool MouseLeftDown = false;
  int32_t MouseStyle = 0;     // cursor shape wanted by the drawing this frame
  int32_t CurMouseStyle = 0;  // cursor shape last applied to GamePic
  int32_t GameTick = 0;
  int32_t BackIndex = 0;
  CGDISurface BackBuffer[2];  // 724 x 544; the logical screen is the top-left 720 x 540
  CGDISurface FadeSurface;    // snapshot of the previous screen for the cross-fade
  CGDISurface ZoomSurface;    // the display-sized surface of a maximised window
  int32_t FadeStep = 0;
  int32_t ViewWidth = 720, ViewHeight = 540;
  int32_t BackPitch = 0, ZoomPitch = 0;  // row lengths in pixels
  bool GameActive = true;
  // The two configuration files and the prefix of every image file name.
  classIniFile MainIni;
  classIniFile UserIni;
  std::string ImagePath;
};
extern ShellGlobals Shell;
// Puts the shell globals back into their start state (tests).
void ResetShellGlobals();

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
  static void Show();
  static void Unload();
  // Client area exactly 720 x 540.
  static void GameInit();
  static CGameEngine* m_GDIEngine();

  // Handlers, as the platform layer delivers the window's events. Key codes and mouse buttons
  // are the game's own codes (37-40 arrows, 112 F1, 121 F10; button 1 left, 2 right).
  static void OnKeyDown(int32_t keyCode, int32_t shift);
  static void OnKeyPress(int32_t charCode);
  static void OnMouseDown(int32_t button, int32_t shift, float x, float y);
  static void OnMouseMove(int32_t button, int32_t shift, float x, float y);
  static void OnMouseUp(int32_t button, int32_t shift, float x, float y);
  static void OnResize();
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

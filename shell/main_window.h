// Frm_Main: the game's only window, its picture area GamePic, and the globals of the shell
// that every subsystem reads (mouse position, frame counter, back buffers, ...).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "shell/ini_file.h"
#include "surface/cgdisurface.h"

class CGameEngine;

struct ShellGlobals {
  // Cursor in the 720 x 540 logical space; not clamped.
  int32_t MouseX = 0, MouseY = 0;
  int32_t OldMouseX = 0, OldMouseY = 0;
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
};

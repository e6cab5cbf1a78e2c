// The shell's frame state: the mouse, the frame counter, the back buffers and the cross-fade,
// and the two configuration files. The main window writes it each frame; the rules and the
// drawing read it. Plain data: including it reaches no window and no platform code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/screen_geometry.h"
#include "shell/ini_file.h"
#include "surface/cgdisurface.h"
#include "surface/present_target.h"

// What the drawing knows of a back buffer's frame against the frame drawn before it.
struct FrameChanges {
  uint64_t Serial = 0;   // frames count from 1 as they are drawn; 0: none drawn this way
  uint64_t Version = 0;  // the buffer's version when its drawing finished
  bool Known = false;    // outside Areas, the frame equals frame Serial - 1
  std::vector<ChangedArea> Areas;
};

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
  FrameChanges BackChanges[2];
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

#include "shell/shell_state.h"

ShellGlobals Shell;

void ResetShellGlobals() {
  Shell.MouseX = Shell.MouseY = Shell.OldMouseX = Shell.OldMouseY = 0;
  Shell.FrameMouseX = Shell.FrameMouseY = 0;
  Shell.MouseLeftDown = false;
  Shell.MouseStyle = Shell.CurMouseStyle = Shell.GameTick = Shell.BackIndex = Shell.FadeStep = 0;
  Shell.ViewWidth = 720;
  Shell.ViewHeight = 540;
  Shell.BackPitch = Shell.ZoomPitch = 0;
  Shell.GameActive = true;
  Shell.BackChanges[0] = Shell.BackChanges[1] = FrameChanges{};
}

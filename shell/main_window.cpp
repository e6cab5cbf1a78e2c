// STUB: replaced by the main window.
#include "shell/main_window.h"

ShellGlobals Shell;
void ResetShellGlobals() {
  Shell.MouseX = Shell.MouseY = Shell.OldMouseX = Shell.OldMouseY = 0;
  Shell.MouseLeftDown = false;
  Shell.MouseStyle = Shell.CurMouseStyle = Shell.GameTick = Shell.BackIndex = Shell.FadeStep = 0;
  Shell.ViewWidth = 720;
  Shell.ViewHeight = 540;
  Shell.GameActive = true;
}
void Frm_Main::Load() {}
void Frm_Main::Show() {}
void Frm_Main::Unload() {}
void Frm_Main::GameInit() {}
CGameEngine* Frm_Main::m_GDIEngine() { return nullptr; }
void Frm_Main::OnKeyDown(int32_t, int32_t) {}
void Frm_Main::OnKeyPress(int32_t) {}
void Frm_Main::OnMouseDown(int32_t, int32_t, float, float) {}
void Frm_Main::OnMouseMove(int32_t, int32_t, float, float) {}
void Frm_Main::OnMouseUp(int32_t, int32_t, float, float) {}
void Frm_Main::OnResize() {}
void Frm_Main::OnActivate(int32_t) {}
void Frm_Main::Close() {}
void Frm_Main::OnGameRefresh() {}
void Frm_Main::OnGameExit() {}

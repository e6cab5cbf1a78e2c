// STUB: replaced by the screen buttons.
#include "render/buttons.h"

#include "shell/main_window.h"

bool MouseInRect(int32_t left, int32_t right, int32_t top, int32_t bottom) {
  return left < Shell.MouseX && Shell.MouseX < right && top < Shell.MouseY && Shell.MouseY < bottom;
}
void DrawScreenButtons(CGDISurface&) {}
bool HitScreenButton() { return false; }

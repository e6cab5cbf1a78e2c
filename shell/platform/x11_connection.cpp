#include "shell/platform/x11_connection.h"

#include <SDL_syswm.h>

namespace Platform {

int X11ConnectionOf(SDL_Window* window) {
  SDL_SysWMinfo system;
  SDL_VERSION(&system.version);
  if (SDL_GetWindowWMInfo(window, &system) != SDL_TRUE || system.subsystem != SDL_SYSWM_X11) return -1;
  return ConnectionNumber(system.info.x11.display);
}

}  // namespace Platform

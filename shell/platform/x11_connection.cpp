#include "shell/platform/x11_connection.h"

#include <SDL_syswm.h>

#include <functional>
#include <utility>

#include "shell/platform/platform.h"

namespace Platform {

namespace {

std::function<void()> g_displayLost;
bool g_handlerInstalled = false;
XIOErrorHandler g_xlibHandler = nullptr;

// Xlib ends the process once this returns; its own handler, called last, says why and ends it.
int DisplayLost(Display* display) {
  if (std::function<void()> handler = std::exchange(g_displayLost, nullptr)) {
    try {
      handler();
    } catch (...) {
      // Nothing can be done about it any more: the process ends either way.
    }
  }
  return g_xlibHandler != nullptr ? g_xlibHandler(display) : 0;
}

}  // namespace

void OnDisplayLost(std::function<void()> handler) { g_displayLost = std::move(handler); }

int X11ConnectionOf(SDL_Window* window) {
  SDL_SysWMinfo system;
  SDL_VERSION(&system.version);
  if (SDL_GetWindowWMInfo(window, &system) != SDL_TRUE || system.subsystem != SDL_SYSWM_X11) return -1;
  if (!std::exchange(g_handlerInstalled, true)) g_xlibHandler = XSetIOErrorHandler(DisplayLost);
  return ConnectionNumber(system.info.x11.display);
}

}  // namespace Platform

// SPDX-License-Identifier: MIT
#include "platform/x11_connection.h"

#include <SDL_syswm.h>

#include <functional>
#include <utility>

#include "platform/platform.h"

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

// What SDL knows of the window's X11 side; false when the window is on another window system.
bool X11InfoOf(SDL_Window* window, SDL_SysWMinfo& system) {
  SDL_VERSION(&system.version);
  return SDL_GetWindowWMInfo(window, &system) == SDL_TRUE && system.subsystem == SDL_SYSWM_X11;
}

}  // namespace

void OnDisplayLost(std::function<void()> handler) { g_displayLost = std::move(handler); }

int X11ConnectionOf(SDL_Window* window) {
  SDL_SysWMinfo system;
  if (!X11InfoOf(window, system)) return -1;
  if (!std::exchange(g_handlerInstalled, true)) g_xlibHandler = XSetIOErrorHandler(DisplayLost);
  return ConnectionNumber(system.info.x11.display);
}

void WatchX11Covering(SDL_Window* window) {
  SDL_SysWMinfo system;
  if (!X11InfoOf(window, system)) return;
  // SDL chose the window's other events; this client's selection is one mask, so it keeps them.
  XWindowAttributes attributes;
  if (XGetWindowAttributes(system.info.x11.display, system.info.x11.window, &attributes) == 0) return;
  XSelectInput(system.info.x11.display, system.info.x11.window, attributes.your_event_mask | VisibilityChangeMask);
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

int X11CoveringChange(const SDL_SysWMmsg* message, SDL_Window* window) {
  if (message == nullptr || message->subsystem != SDL_SYSWM_X11) return -1;
  const XEvent& event = message->msg.x11.event;
  if (event.type != VisibilityNotify) return -1;
  SDL_SysWMinfo system;
  if (!X11InfoOf(window, system) || event.xvisibility.window != system.info.x11.window) return -1;
  return event.xvisibility.state == VisibilityFullyObscured ? 1 : 0;
}

}  // namespace Platform

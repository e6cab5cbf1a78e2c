// SPDX-License-Identifier: MIT
// What the platform layer asks of Xlib itself (the connection to wait on, whether the window
// is covered, and hearing that the display went away), kept apart: Xlib's headers define
// macros (KeyPress, None, Status, ...) that clash with the game's own names.
#pragma once

#include <SDL.h>

namespace Platform {

// The file descriptor of the X display connection the window was made on; -1 when the
// window is on another window system. The first window on X11 also sets up OnDisplayLost.
int X11ConnectionOf(SDL_Window* window);

// Asks the X server to say when the window becomes wholly covered by other windows and when
// any of it shows again; the answers arrive as SDL_SYSWMEVENT, which this turns on. Nothing
// happens on other window systems.
void WatchX11Covering(SDL_Window* window);

// What an SDL_SYSWMEVENT says of `window`: 1 when it is now wholly covered, 0 when some of it
// shows again, -1 when the event is about something else.
int X11CoveringChange(const SDL_SysWMmsg* message, SDL_Window* window);

}  // namespace Platform

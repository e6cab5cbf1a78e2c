// What the platform layer asks of Xlib itself (the connection to wait on, and hearing that the
// display went away), kept apart: Xlib's headers define macros (KeyPress, None, Status, ...)
// that clash with the game's own names.
#pragma once

#include <SDL.h>

namespace Platform {

// The file descriptor of the X display connection the window was made on; -1 when the
// window is on another window system. The first window on X11 also sets up OnDisplayLost.
int X11ConnectionOf(SDL_Window* window);

}  // namespace Platform

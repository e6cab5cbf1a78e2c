// The X11 side of waiting for events, kept apart: Xlib's headers define macros (KeyPress,
// None, Status, ...) that clash with the game's own names.
#pragma once

#include <SDL.h>

namespace Platform {

// The file descriptor of the X display connection the window was made on; -1 when the
// window is on another window system. The first window on X11 also sets up OnDisplayLost.
int X11ConnectionOf(SDL_Window* window);

}  // namespace Platform

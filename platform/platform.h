// SPDX-License-Identifier: MIT
// The platform layer: the only code that talks to SDL's video, events, clocks and shell.
// Everything else of the game reaches the machine through these calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "surface/cursor_file.h"

namespace Platform {

// Clocks: the high-resolution performance counter, a sleep.
int64_t PerformanceCounter();
int64_t PerformanceFrequency();
void Sleep(uint32_t milliseconds);
// Sleeps until a window message is queued or `milliseconds` have passed. A replacement clock
// sleeps the whole time; without SDL's events it is Sleep.
void WaitForEvents(uint32_t milliseconds);
// WaitForEvents on the windows themselves, whatever the clock (platform/sdl_window.cpp).
void WaitForWindowEvents(uint32_t milliseconds);
// The local time of day in seconds since midnight, with its fraction.
double SecondsOfDay();

// A replacement clock for tests; nullptr restores the real one.
class ClockSource {
 public:
  virtual ~ClockSource() = default;
  virtual int64_t PerformanceCounter() = 0;
  virtual int64_t PerformanceFrequency() = 0;
  virtual void Sleep(uint32_t milliseconds) = 0;
  virtual double SecondsOfDay() = 0;
};
void SetClockSource(ClockSource* clock);

// Opens a web address in the system's browser, or a directory in the file browser
// (as a file:// address). An empty address opens nothing. Tests can record the calls.
void OpenAddress(const std::string& address);
class AddressOpener {
 public:
  virtual ~AddressOpener() = default;
  virtual void Open(const std::string& address) = 0;
};
void SetAddressOpener(AddressOpener* opener);

// A colour cursor of a cursor file's image, with the image's hotspot; 0 (the system's arrow)
// when the platform cannot make it.
using CursorHandle = uintptr_t;
CursorHandle MakeCursor(const CursorImage& image);

// True when SDL's video driver shows windows on a real display (not "dummy" or "offscreen").
bool DisplayIsReal();

// A start-up failure: the text on stderr ("kestrel: <text>"), then a message box when a display
// exists. While the box waits for its OK, SIGTERM, SIGINT, SIGHUP and the display going away
// end the program at once with status 1, and the box goes with it.
void ShowErrorMessage(const std::string& caption, const std::string& text);

// Runs `handler` once if the connection to the display breaks, just before the process ends
// (Xlib ends it then). The display can no longer be used; files can still be written.
void OnDisplayLost(std::function<void()> handler);

// Starts SDL's video and event subsystems once; raises a run-time error naming SDL's reason
// when that fails. Windows and cursors call it themselves.
void StartVideo();

}  // namespace Platform

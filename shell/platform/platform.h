// The platform layer: the only code that talks to SDL's video, events, clocks and shell.
// Everything else of the game reaches the machine through these calls.
#pragma once

#include <cstdint>
#include <string>

namespace Platform {

// Clocks: the high-resolution performance counter, the millisecond tick count, a sleep.
int64_t PerformanceCounter();
int64_t PerformanceFrequency();
uint32_t TickCount();
void Sleep(uint32_t milliseconds);
// Sleeps until a window message is queued or `milliseconds` have passed. A replacement clock
// sleeps the whole time; without SDL's events it is Sleep.
void WaitForEvents(uint32_t milliseconds);
// The local time of day in seconds since midnight, with its fraction.
double SecondsOfDay();
// The current local date and time as a day count: days since 30 December 1899, the
// fraction being the time of day.
double CurrentDateTime();

// A replacement clock for tests; nullptr restores the real one.
class ClockSource {
 public:
  virtual ~ClockSource() = default;
  virtual int64_t PerformanceCounter() = 0;
  virtual int64_t PerformanceFrequency() = 0;
  virtual uint32_t TickCount() = 0;
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

// Cursors made from Windows .cur files, hotspot taken from the file. 0 when the file is
// missing or not a cursor; a file that is no regular file of at most 1 MiB, or whose image is
// larger than a cursor may be, raises a RuntimeError naming it.
using CursorHandle = uintptr_t;
CursorHandle LoadCursorFromFile(const std::string& path);

// True when SDL's video driver shows windows on a real display (not "dummy" or "offscreen").
bool DisplayIsReal();

// A start-up failure: a message box when a display exists, and the same text on stderr.
void ShowErrorMessage(const std::string& caption, const std::string& text);

// Starts SDL's video and event subsystems once; raises a run-time error naming SDL's reason
// when that fails. Windows and cursors call it themselves.
void StartVideo();

}  // namespace Platform

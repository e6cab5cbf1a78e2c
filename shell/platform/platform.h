// The platform layer: the only code that talks to SDL's video, events, clocks and shell.
// Everything else of the game reaches the machine through these calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

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

// Runs `handler` once if the connection to the display breaks, just before the process ends
// (Xlib ends it then). The display can no longer be used; files can still be written.
void OnDisplayLost(std::function<void()> handler);

// Starts SDL's video and event subsystems once; raises a run-time error naming SDL's reason
// when that fails. Windows and cursors call it themselves.
void StartVideo();

// The owner of a window, or of what holds one, kept in a global. Static destruction leaves it
// alone: a process that ends through exit() while the window is open (Xlib ends it so when the
// connection to the display breaks) must not close the window on the lost display, where SDL
// would wait for an answer forever. The program closes its windows itself before it ends.
template <typename T>
class KeptPastExit {
 public:
  void reset(std::unique_ptr<T> owned = nullptr) { delete std::exchange(owned_, owned.release()); }
  T* get() const { return owned_; }
  T* operator->() const { return owned_; }
  bool operator==(std::nullptr_t) const { return owned_ == nullptr; }

 private:
  T* owned_ = nullptr;
};

}  // namespace Platform

// The platform layer over SDL: clocks, the shell's "open", error boxes.
#include "shell/platform/platform.h"

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "shell/platform/game_window.h"
#include "shell/runtime.h"

namespace Platform {

namespace {

ClockSource* g_clock = nullptr;
AddressOpener* g_opener = nullptr;

// Seconds since the epoch with their fraction, and the local time's broken-down fields.
double LocalSecondsSinceEpoch(double& secondsOfDay) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm local{};
  localtime_r(&now.tv_sec, &local);
  const double fraction = static_cast<double>(now.tv_nsec) / 1e9;
  secondsOfDay = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + fraction;
  return static_cast<double>(now.tv_sec) + static_cast<double>(local.tm_gmtoff) + fraction;
}

// A local path as a file:// address, every byte outside the unreserved set escaped.
std::string FileAddress(const std::filesystem::path& directory) {
  static const char* const hex = "0123456789ABCDEF";
  std::string address = "file://";
  for (const unsigned char c : std::filesystem::absolute(directory).string()) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      address += static_cast<char>(c);
    } else {
      address += '%';
      address += hex[c >> 4];
      address += hex[c & 15];
    }
  }
  return address;
}

// True when an executable of this name is in one of $PATH's folders.
bool OnSearchPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string folders = path != nullptr ? path : "";
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = end > start ? folders.substr(start, end - start) : ".";
    if (access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

int64_t PerformanceCounter() {
  if (g_clock != nullptr) return g_clock->PerformanceCounter();
  return static_cast<int64_t>(SDL_GetPerformanceCounter());
}

int64_t PerformanceFrequency() {
  if (g_clock != nullptr) return g_clock->PerformanceFrequency();
  return static_cast<int64_t>(SDL_GetPerformanceFrequency());
}

uint32_t TickCount() {
  if (g_clock != nullptr) return g_clock->TickCount();
  return SDL_GetTicks();
}

void Sleep(uint32_t milliseconds) {
  if (g_clock != nullptr) {
    g_clock->Sleep(milliseconds);
    return;
  }
  SDL_Delay(milliseconds);
}

void WaitForEvents(uint32_t milliseconds) {
  if (g_clock != nullptr) {
    Sleep(milliseconds);
    return;
  }
  WaitForWindowEvents(milliseconds);
}

double SecondsOfDay() {
  if (g_clock != nullptr) return g_clock->SecondsOfDay();
  double secondsOfDay = 0;
  LocalSecondsSinceEpoch(secondsOfDay);
  return secondsOfDay;
}

double CurrentDateTime() {
  constexpr double DaysFrom1899To1970 = 25569.0;
  double secondsOfDay = 0;
  return LocalSecondsSinceEpoch(secondsOfDay) / 86400.0 + DaysFrom1899To1970;
}

void SetClockSource(ClockSource* clock) { g_clock = clock; }

void OpenAddress(const std::string& address) {
  if (address.empty()) return;
  if (g_opener != nullptr) {
    g_opener->Open(address);
    return;
  }
  std::error_code error;
  const bool isDirectory = std::filesystem::is_directory(address, error);
  const std::string url = isDirectory ? FileAddress(address) : address;
  // SDL hands the address to xdg-open and cannot tell when that is missing.
  if (!OnSearchPath("xdg-open")) {
    std::fprintf(stderr, "cannot open %s: no xdg-open to open it with (Debian package xdg-utils)\n", url.c_str());
  } else if (SDL_OpenURL(url.c_str()) != 0) {
    std::fprintf(stderr, "cannot open %s: %s\n", url.c_str(), SDL_GetError());
  }
}

void SetAddressOpener(AddressOpener* opener) { g_opener = opener; }

bool DisplayIsReal() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr) return false;
  const std::string name = driver;
  return name != "dummy" && name != "offscreen";
}

void ShowErrorMessage(const std::string& caption, const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return;
  if (DisplayIsReal()) SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), nullptr);
}

void StartVideo() {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return;
  // A close request of the window manager reaches the main window's close handler, which
  // decides when the program ends; closing the last window must not add a quit request.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // Frames are finished pictures copied 1:1 into the window's surface; handing that surface
  // to the window system directly (shared memory on X11) costs far less than routing it
  // through an OpenGL texture, above all where OpenGL runs in software.
  SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    Raise(ErrorKind::FileNotFound, std::string("video: ") + SDL_GetError());
  }
}

}  // namespace Platform

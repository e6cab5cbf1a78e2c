// The platform layer over SDL: clocks, the shell's "open", error boxes.
#include "platform/platform.h"

#include <SDL.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "base/local_time.h"
#include "base/runtime.h"

namespace Platform {

namespace {

ClockSource* g_clock = nullptr;
AddressOpener* g_opener = nullptr;

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
  return LocalSecondsOfDay();
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

CursorHandle MakeCursor(const CursorImage& image) {
  try {
    StartVideo();
  } catch (const std::exception&) {
    return 0;
  }
  std::vector<uint32_t> pixels = image.Pixels;
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), image.Width, image.Height, 32,
                                                            image.Width * 4, SDL_PIXELFORMAT_ARGB8888);
  if (surface == nullptr) return 0;
  SDL_Cursor* cursor = SDL_CreateColorCursor(surface, image.HotspotX, image.HotspotY);
  SDL_FreeSurface(surface);
  return reinterpret_cast<CursorHandle>(cursor);
}

}  // namespace Platform

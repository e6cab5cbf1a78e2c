// SPDX-License-Identifier: MIT
// The platform layer over SDL: clocks, the shell's "open", error boxes that end on request.
#include "platform/platform.h"

#include <SDL.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <mutex>
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

// The name of the game's desktop entry (packaging/kestrel.desktop installs as <id>.desktop).
constexpr const char* DesktopEntryId = "io.github.kestrel.kestrel";

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

// The text with each line broken at spaces to at most `width` characters where it can be: a
// message box is as wide as its longest line, and SDL breaks none.
std::string Wrapped(const std::string& text, size_t width) {
  std::string out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    while (line.size() > width) {
      size_t cut = line.rfind(' ', width);
      if (cut == std::string::npos || cut == 0) cut = line.find(' ', width);
      if (cut == std::string::npos) break;
      out += line.substr(0, cut) + "\n";
      line.erase(0, cut + 1);
    }
    out += line;
    if (end < text.size()) out += "\n";
    start = end + 1;
  }
  return out;
}

// The requests to end the program (a service manager's or `timeout`'s SIGTERM, Ctrl+C, a
// closed terminal) that end it at once while a modal box waits for its OK.
constexpr int EndingSignals[] = {SIGTERM, SIGINT, SIGHUP};
volatile sig_atomic_t g_boxShown = 0;
pid_t g_boxOwner = 0;

void EndWhileBoxShown(int) { _exit(1); }

// Runs in every child the program forks. One forked while a box is shown is the box's own
// process (SDL shows it from a child on X11 and waits for that child): it ends with the program.
void TieChildToBoxOwner() {
  if (g_boxShown == 0) return;
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != g_boxOwner) _exit(1);  // the program ended before the tie was made
}

// While one lives, SIGTERM, SIGINT and SIGHUP end the program at once with status 1, and
// whatever process it forks meanwhile ends with it. The handlers it replaced come back after.
class EndOnRequest {
 public:
  EndOnRequest() {
    static std::once_flag tie;
    std::call_once(tie, [] { pthread_atfork(nullptr, nullptr, TieChildToBoxOwner); });
    g_boxOwner = getpid();
    g_boxShown = 1;
    struct sigaction action {};
    action.sa_handler = EndWhileBoxShown;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < std::size(EndingSignals); ++i) sigaction(EndingSignals[i], &action, &replaced_[i]);
  }
  ~EndOnRequest() {
    for (size_t i = 0; i < std::size(EndingSignals); ++i) sigaction(EndingSignals[i], &replaced_[i], nullptr);
    g_boxShown = 0;
  }
  EndOnRequest(const EndOnRequest&) = delete;
  EndOnRequest& operator=(const EndOnRequest&) = delete;

 private:
  struct sigaction replaced_[std::size(EndingSignals)]{};
};

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
  // A request to end that comes while the message is written waits for the handlers below,
  // so that the message is on stderr whenever the program ends.
  sigset_t ending, previous;
  sigemptyset(&ending);
  for (int signal : EndingSignals) sigaddset(&ending, signal);
  pthread_sigmask(SIG_BLOCK, &ending, &previous);
  std::fprintf(stderr, "kestrel: %s\n", text.c_str());
  {
    const EndOnRequest endOnRequest;
    pthread_sigmask(SIG_UNBLOCK, &ending, nullptr);
    // The program is ending: a display that goes away meanwhile has nothing left to save.
    OnDisplayLost(nullptr);
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0 || SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
      if (DisplayIsReal())
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), Wrapped(text, 72).c_str(), nullptr);
    }
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
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
  // Docks and task switchers match the window to its desktop entry by the X11 window class and
  // the Wayland application id. SDL 2.26 reads both from the environment, later versions from
  // the SDL_APP_ID hint (which the environment sets too); a value the player set stays.
  for (const char* name : {"SDL_VIDEO_X11_WMCLASS", "SDL_VIDEO_WAYLAND_WMCLASS", "SDL_APP_ID"}) {
    setenv(name, DesktopEntryId, 0);
  }
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

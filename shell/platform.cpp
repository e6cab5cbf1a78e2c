// STUB: replaced by the SDL platform layer.
#include "shell/platform.h"

#include <cstdio>

namespace Platform {
static std::string g_programDirectory = ".";
std::string ProgramDirectory() { return g_programDirectory; }
void SetProgramDirectory(const std::string& directory) { g_programDirectory = directory; }
int64_t PerformanceCounter() { return 0; }
int64_t PerformanceFrequency() { return 1000; }
uint32_t TickCount() { return 0; }
void Sleep(uint32_t) {}
double SecondsOfDay() { return 0; }
double CurrentDateTime() { return 0; }
void SetClockSource(ClockSource*) {}
void OpenAddress(const std::string&) {}
void SetAddressOpener(AddressOpener*) {}
CursorHandle LoadCursorFromFile(const std::string&) { return 0; }
void ShowErrorMessage(const std::string& caption, const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}
}  // namespace Platform

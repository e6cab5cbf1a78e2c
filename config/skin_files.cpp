#include "config/skin_files.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "shell/runtime.h"
#include "shell/shell_state.h"

namespace {
std::vector<std::string>* g_skinFaults = nullptr;
}  // namespace

void CollectSkinFaults(std::vector<std::string>* faults) { g_skinFaults = faults; }

void SkinFault(ErrorKind kind, const std::string& detail) {
  if (g_skinFaults == nullptr) Raise(kind, detail);
  g_skinFaults->push_back(RuntimeError(kind, detail).what());
}

void OpenSkin(const std::string& directory) {
  Shell.MainIni.SetINIFileName(directory + "/main.ini");
  Shell.ImagePath = directory + WithSlashes(Shell.MainIni.GetIniKey("MainSettings", "ImagesDir"));
}

std::string WithSlashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

int32_t MainIniNumber(const std::string& section, const std::string& key) {
  std::string text = Shell.MainIni.GetIniKey(section, key);
  if (text.empty()) {
    SkinFault(ErrorKind::TypeMismatch, MainIniKeyName(section, key) + " is missing");
    return 0;
  }
  try {
    return TextToInt(text);
  } catch (const RuntimeError& error) {
    SkinFault(error.Kind(), MainIniKeyName(section, key) + " holds \"" + text + "\", not a 32-bit number");
    return 0;
  }
}

int32_t MainIniTableTop(const std::string& section, const std::string& key) {
  int32_t top = MainIniNumber(section, key);
  if (top < 0 || top > MaxTableIndex) {
    SkinFault(ErrorKind::SubscriptOutOfRange, MainIniKeyName(section, key) + " holds " + std::to_string(top) +
                                                  "; it must lie in 0.." + std::to_string(MaxTableIndex));
    return 0;
  }
  return top;
}

std::string ImageFileName(const std::string& name) { return WithSlashes(Shell.ImagePath + name); }

bool ImageFileExists(const std::string& name) {
  std::error_code error;
  // Whatever is there is read, so that a pipe or a folder in a picture's place is refused by name.
  return std::filesystem::exists(ImageFileName(name), error);
}

void ReadImage(CGDISurface& surface, const std::string& name) {
  const std::string file = ImageFileName(name);
  bool read = false;
  try {
    read = surface.Read(file);
  } catch (const RuntimeError& error) {
    if (error.Detail().find(file) == std::string::npos) {
      SkinFault(error.Kind(), error.Detail().empty() ? file : file + " (" + error.Detail() + ")");
    } else if (g_skinFaults != nullptr) {
      g_skinFaults->push_back(error.what());
    } else {
      throw;
    }
    return;
  }
  if (!read) SkinFault(ErrorKind::InvalidPicture, file);
}

namespace {
std::function<void()> g_loadProgress;
}  // namespace

void SetLoadProgress(std::function<void()> reporter) { g_loadProgress = std::move(reporter); }

void LoadProgressStep() {
  if (g_loadProgress) g_loadProgress();
}

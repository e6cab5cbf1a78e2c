#include "config/skin_files.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "shell/runtime.h"
#include "shell/shell_state.h"

namespace {

std::string KeyDescription(const std::string& section, const std::string& key) {
  return Shell.MainIni.INIFileName() + ", section [" + section + "], key " + key;
}

}  // namespace

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
  if (text.empty()) Raise(ErrorKind::TypeMismatch, KeyDescription(section, key) + " is missing");
  try {
    return TextToInt(text);
  } catch (const RuntimeError& error) {
    Raise(error.Kind(), KeyDescription(section, key) + " holds \"" + text + "\", not a 32-bit number");
  }
}

int32_t MainIniTableTop(const std::string& section, const std::string& key) {
  int32_t top = MainIniNumber(section, key);
  if (top < 0 || top > MaxTableIndex) {
    Raise(ErrorKind::SubscriptOutOfRange, KeyDescription(section, key) + " holds " + std::to_string(top) +
                                              "; it must lie in 0.." + std::to_string(MaxTableIndex));
  }
  return top;
}

std::string ImageFileName(const std::string& name) { return WithSlashes(Shell.ImagePath + name); }

bool ImageFileExists(const std::string& name) {
  std::error_code error;
  return std::filesystem::is_regular_file(ImageFileName(name), error);
}

void ReadImage(CGDISurface& surface, const std::string& name) {
  const std::string file = ImageFileName(name);
  bool read = false;
  try {
    read = surface.Read(file);
  } catch (const RuntimeError& error) {
    if (error.Detail().find(file) != std::string::npos) throw;
    Raise(error.Kind(), error.Detail().empty() ? file : file + " (" + error.Detail() + ")");
  }
  if (!read) Raise(ErrorKind::InvalidPicture, file);
}

namespace {
std::function<void()> g_loadProgress;
}  // namespace

void SetLoadProgress(std::function<void()> reporter) { g_loadProgress = std::move(reporter); }

void LoadProgressStep() {
  if (g_loadProgress) g_loadProgress();
}

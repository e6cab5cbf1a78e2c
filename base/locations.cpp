#include "base/locations.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "base/program_file.h"
#include "base/runtime.h"

namespace fs = std::filesystem;

namespace Locations {

namespace {

std::optional<Folders> g_folders;

// An absolute, lexically normal path without a trailing separator.
std::string Clean(const fs::path& path) {
  std::error_code error;
  fs::path absolute = fs::absolute(path, error);
  if (error) absolute = path;
  std::string text = absolute.lexically_normal().string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

bool HoldsMainIni(const fs::path& directory) {
  std::error_code error;
  return fs::exists(directory / "main.ini", error);
}

std::string PlayerDataHome(const Environment& environment) {
  if (!environment.XdgDataHome.empty() && environment.XdgDataHome.front() == '/') {
    return Clean(fs::path(environment.XdgDataHome) / "kestrel");
  }
  if (!environment.Home.empty()) return Clean(fs::path(environment.Home) / ".local/share/kestrel");
  return {};
}

std::string TextOf(const char* value) { return value != nullptr ? value : ""; }

}  // namespace

Environment Environment::OfProcess() {
  Environment environment{TextOf(std::getenv("XDG_DATA_HOME")), TextOf(std::getenv("HOME"))};
  if (environment.Home.empty()) {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
      environment.Home = TextOf(found->pw_dir);
    }
  }
  return environment;
}

namespace {

// The folder of a skin that comes with the game, by name: "default" the layout's own skin, any
// other name its folder skins/<name>. Empty for a path, for a name that is a skin folder in the
// working folder, and for a name no kept skin has.
std::string KeptSkin(const std::string& layoutSkin, const std::string& choice) {
  if (choice.find('/') != std::string::npos || HoldsMainIni(choice)) return {};
  if (choice == DefaultSkinName) return layoutSkin;
  const fs::path kept = fs::path(layoutSkin) / SkinsFromSkin / choice;
  return HoldsMainIni(kept) ? Clean(kept) : std::string();
}

}  // namespace

const char* SkinFromProgram() { return KESTREL_SKIN_FROM_PROGRAM; }
const char* LibraryFromProgram() { return KESTREL_LIBRARY_FROM_PROGRAM; }

bool IsInstalledLayout(const std::string& programDirectory) {
  return !HoldsMainIni(programDirectory) && HoldsMainIni(fs::path(programDirectory) / SkinFromProgram());
}

Folders Decide(const std::string& programDirectory, const Choices& choices, const Environment& environment) {
  Folders folders;
  folders.Program = Clean(programDirectory);
  if (IsInstalledLayout(folders.Program)) {
    folders.Library = Clean(fs::path(folders.Program) / LibraryFromProgram());
    folders.Skin = Clean(fs::path(folders.Program) / SkinFromProgram());
    folders.Player = PlayerDataHome(environment);
    folders.SkinReadOnly = true;
  } else {
    folders.Library = folders.Skin = folders.Player = folders.Program;
  }
  if (!choices.Skin.empty()) {
    const std::string kept = KeptSkin(folders.Skin, choices.Skin);
    if (kept.empty()) {
      folders.Skin = Clean(choices.Skin);
      folders.SkinReadOnly = false;
    } else {
      folders.Skin = kept;
    }
  }
  if (!choices.Data.empty()) folders.Player = Clean(choices.Data);
  return folders;
}

Folders OfRunningProgram(const Choices& choices) {
  const std::string program = RunningProgramDirectory();
  return Decide(program.empty() ? "." : program, choices, Environment::OfProcess());
}

const Folders& Current() {
  if (!g_folders) g_folders = OfRunningProgram({});
  return *g_folders;
}

void Use(const Folders& folders) { g_folders = folders; }

void PlayFrom(const std::string& directory) {
  Folders folders = Current();
  folders.Skin = folders.Player = directory;
  folders.SkinReadOnly = false;
  g_folders = folders;
}

void PreparePlayerDirectory() {
  const std::string& directory = PlayerDirectory();
  if (directory.empty()) {
    Raise(ErrorKind::FileNotFound, "no folder for the player's files: neither XDG_DATA_HOME nor HOME names one");
  }
  std::error_code error;
  fs::create_directories(directory, error);
  if (!error && !fs::is_directory(directory, error)) error = std::make_error_code(std::errc::not_a_directory);
  if (error) {
    Raise(ErrorKind::FileNotFound,
          "the folder for the player's files, " + directory + ", cannot be created: " + error.message());
  }
}

}  // namespace Locations

// SPDX-License-Identifier: MIT
#include "base/locations.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
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
  folders.DefaultSkin = folders.Skin;
  folders.SkinChoice = choices.Skin;
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

std::vector<std::string> KeptSkinNames(const Folders& folders) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator entry(fs::path(folders.DefaultSkin) / SkinsFromSkin, error), end; !error && entry != end;
       entry.increment(error)) {
    if (HoldsMainIni(entry->path())) names.push_back(entry->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  names.insert(names.begin(), DefaultSkinName);
  return names;
}

std::string SkinFolderFault(const Folders& folders) {
  std::error_code error;
  const fs::file_status status = fs::status(folders.Skin, error);
  std::string fault;
  if (!fs::exists(status)) {
    fault = "the skin folder " + folders.Skin + " does not exist";
  } else if (!fs::is_directory(status)) {
    fault = "the skin folder " + folders.Skin + " is not a folder";
  } else if (!HoldsMainIni(folders.Skin)) {
    fault =
        "the skin folder " + folders.Skin + " holds no main.ini (a skin folder holds main.ini, images/ and sounds/)";
  } else {
    return {};
  }
  if (!folders.SkinChoice.empty() && folders.SkinChoice.find('/') == std::string::npos) {
    std::string names;
    for (const std::string& name : KeptSkinNames(folders)) names += (names.empty() ? "" : ", ") + name;
    fault += "; give a skin folder or the name of a skin that comes with the game: " + names;
  }
  return fault;
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

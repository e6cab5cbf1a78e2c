// SPDX-License-Identifier: MIT
// Where the game's files are: the program, its raster library, the skin it plays and the
// player's own files (UserSettings.ini, gameinfo.cfg). Decided once at start-up; everything
// that opens one of those files asks here.
//
// The game runs in one of two layouts, told apart by what lies beside the program (nothing is
// written to find out):
// - the build tree: main.ini sits beside the program. Library, skin and the player's files are
//   all in the program directory, as the game has always kept them.
// - installed: no main.ini beside the program, and the install layout's skin folder (the
//   program directory + SkinFromProgram(), e.g. /usr/games/../share/kestrel) holds one. The
//   library is in the game's private folder (+ LibraryFromProgram()), the skin is only read,
//   and the player's files live in $XDG_DATA_HOME/kestrel (~/.local/share/kestrel when that is
//   unset or not an absolute path).
// --skin and --data-dir replace the skin folder and the player's folder in either layout. --skin
// also takes the name of a skin that comes with the game: "default", or a folder of
// SkinsFromSkin beside the default skin (skins/high-contrast); a folder of that name in the
// working folder comes first.
#pragma once

#include <string>
#include <vector>

namespace Locations {

struct Folders {
  std::string Program;        // holds the program file
  std::string Library;        // holds librasterkit.so
  std::string Skin;           // main.ini, images/, sounds/
  std::string Player;         // UserSettings.ini, gameinfo.cfg; empty when no folder can be named
  bool SkinReadOnly = false;  // the installed skin: the game never writes there
  std::string DefaultSkin;    // the layout's own skin, beside which the other kept skins lie
  std::string SkinChoice;     // what --skin said; empty without it
};

// What the player chose on the command line; empty means the layout's own folder.
struct Choices {
  std::string Skin;
  std::string Data;
};

// The variables that name the player's folder. HOME falls back to the user's entry in the
// password database.
struct Environment {
  std::string XdgDataHome;
  std::string Home;
  static Environment OfProcess();
};

constexpr const char* SkinsFromSkin = "skins";
constexpr const char* DefaultSkinName = "default";

// The install layout, relative to the installed program's folder (set by the build).
const char* SkinFromProgram();
const char* LibraryFromProgram();

bool IsInstalledLayout(const std::string& programDirectory);
Folders Decide(const std::string& programDirectory, const Choices& choices, const Environment& environment);
// The folders of the running program (its real folder, links followed; the working folder
// when the system cannot tell) and of this process's environment.
Folders OfRunningProgram(const Choices& choices);

// The folders in use: the last ones given to Use, else those of the running program's own layout.
const Folders& Current();
void Use(const Folders& folders);
// Tests: the skin and the player's files in one folder, as in the build tree; the library is
// still looked for where the running program's layout keeps it.
void PlayFrom(const std::string& directory);

inline const std::string& LibraryDirectory() { return Current().Library; }
inline const std::string& SkinDirectory() { return Current().Skin; }
inline const std::string& PlayerDirectory() { return Current().Player; }

// What is wrong with the skin folder, as start-up and the skin checker say it: empty when it
// holds main.ini; else that the folder does not exist, is no folder or holds no main.ini,
// naming the folder and, when --skin gave a bare name, the skins that come with the game.
std::string SkinFolderFault(const Folders& folders);
// The names --skin takes for the skins that come with the game: "default", then the folders
// of SkinsFromSkin beside the default skin, in order.
std::vector<std::string> KeptSkinNames(const Folders& folders);

// Creates the player's folder (and its parents) when missing. Raises FileNotFound naming the
// folder and the system's reason when it cannot be made or is not a folder.
void PreparePlayerDirectory();

}  // namespace Locations

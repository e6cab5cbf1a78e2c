// SPDX-License-Identifier: MIT
// The game's folders in the build tree and installed.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>

#include "base/locations.h"
#include "base/runtime.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder with a main.ini at each of the given places below it.
struct Tree {
  fs::path root = fs::temp_directory_path() / ("kestrel_locations_" + std::to_string(::getpid()));
  explicit Tree(std::initializer_list<fs::path> skins) {
    fs::remove_all(root);
    for (const fs::path& skin : skins) {
      fs::create_directories(root / skin);
      std::ofstream(root / skin / "main.ini") << "[MainSettings]\n";
    }
  }
  ~Tree() { fs::remove_all(root); }
  std::string operator/(const fs::path& below) const { return (root / below).lexically_normal().string(); }
};

}  // namespace

TEST(Locations, TheBuildTreeKeepsEverythingBesideTheProgram) {
  Tree tree({"bin"});
  const Locations::Folders folders = Locations::Decide(tree / "bin", {}, {"/xdg", "/home/p"});
  EXPECT_FALSE(folders.SkinReadOnly);
  for (const std::string& folder : {folders.Library, folders.Skin, folders.Player}) EXPECT_EQ(folder, tree / "bin");

  const Locations::Folders chosen = Locations::Decide(tree / "bin/", {"other", tree / "data/"}, {});
  EXPECT_EQ(chosen.Skin, fs::absolute("other").string());
  EXPECT_EQ(chosen.Player, tree / "data");
  EXPECT_EQ(chosen.Library, tree / "bin");
}

TEST(Locations, AnInstalledProgramReadsItsSkinAndKeepsThePlayersFilesInTheDataHome) {
  Tree tree({fs::path("games") / Locations::SkinFromProgram()});
  const std::string program = tree / "games";
  Locations::Folders folders = Locations::Decide(program, {}, {"/xdg", "/home/p"});
  EXPECT_TRUE(Locations::IsInstalledLayout(program));
  EXPECT_TRUE(folders.SkinReadOnly);
  EXPECT_EQ(folders.Skin, tree / (fs::path("games") / Locations::SkinFromProgram()));
  EXPECT_EQ(folders.Library, tree / (fs::path("games") / Locations::LibraryFromProgram()));
  EXPECT_EQ(folders.Player, "/xdg/kestrel");
  // An unset or relative XDG_DATA_HOME is ignored.
  EXPECT_EQ(Locations::Decide(program, {}, {"", "/home/p"}).Player, "/home/p/.local/share/kestrel");
  EXPECT_EQ(Locations::Decide(program, {}, {"rel", "/home/p/"}).Player, "/home/p/.local/share/kestrel");
  EXPECT_EQ(Locations::Decide(program, {}, {"", ""}).Player, "");
  folders = Locations::Decide(program, {"/skins/mine", "/tmp/p"}, {"/xdg", "/home/p"});
  EXPECT_EQ(folders.Skin, "/skins/mine");
  EXPECT_FALSE(folders.SkinReadOnly);
  EXPECT_EQ(folders.Player, "/tmp/p");

  // A skin that comes with the game is chosen by name and stays read-only; "default" is the
  // layout's own.
  const fs::path skin = fs::path("games") / Locations::SkinFromProgram();
  Tree kept({skin, skin / Locations::SkinsFromSkin / "high-contrast"});
  folders = Locations::Decide(kept / "games", {"high-contrast", ""}, {});
  EXPECT_EQ(folders.Skin, kept / (skin / Locations::SkinsFromSkin / "high-contrast"));
  EXPECT_TRUE(folders.SkinReadOnly);
  EXPECT_EQ(Locations::Decide(kept / "games", {"default", ""}, {}).Skin, kept / skin);

  // main.ini beside the program makes it a build tree again.
  Tree both({"games", fs::path("games") / Locations::SkinFromProgram()});
  EXPECT_FALSE(Locations::IsInstalledLayout(both / "games"));
}

TEST(Locations, ThePlayersFolderIsCreatedOrTheReasonNamed) {
  const Locations::Folders saved = Locations::Current();
  Tree tree({"x"});
  Locations::Use(Locations::Decide(tree / "x", {"", tree / "a/b/c"}, {}));
  Locations::PreparePlayerDirectory();
  EXPECT_TRUE(fs::is_directory(tree / "a/b/c"));
  for (const std::string& bad : {tree / "x/main.ini", tree / "x/main.ini/sub"}) {
    Locations::Use(Locations::Decide(tree / "x", {"", bad}, {}));
    try {
      Locations::PreparePlayerDirectory();
      ADD_FAILURE() << bad;
    } catch (const RuntimeError& error) {
      EXPECT_NE(std::string(error.what()).find(bad + ", cannot be created: "), std::string::npos) << error.what();
    }
  }
  Locations::Use(Locations::Folders{});  // no HOME, no XDG_DATA_HOME
  EXPECT_THROW(Locations::PreparePlayerDirectory(), RuntimeError);
  Locations::Use(saved);
}

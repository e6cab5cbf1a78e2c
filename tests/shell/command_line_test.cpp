// SPDX-License-Identifier: MIT
// The command line.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "base/locations.h"
#include "shell/command_line.h"

namespace fs = std::filesystem;

namespace {

// A folder of the test's own holding x/main.ini, removed afterwards.
struct SkinFolder {
  fs::path root = fs::temp_directory_path() / ("kestrel_command_line_" + std::to_string(::getpid()));
  SkinFolder() {
    fs::remove_all(root);
    fs::create_directories(root / "x");
    std::ofstream(root / "x" / "main.ini") << "[MainSettings]\n";
  }
  ~SkinFolder() { fs::remove_all(root); }
};

}  // namespace

TEST(CommandLine, ReadsItsOptionsAndRefusesAnythingElse) {
  using Action = CommandLine::Action;
  EXPECT_EQ(ParseCommandLine({}).What, Action::Play);
  EXPECT_EQ(ParseCommandLine({"--skin", "s", "--help"}).What, Action::Help);
  EXPECT_EQ(ParseCommandLine({"-h"}).What, Action::Help);
  EXPECT_EQ(ParseCommandLine({"--version"}).What, Action::Version);
  const CommandLine line = ParseCommandLine({"--skin", "s", "--data-dir=d"});
  EXPECT_EQ(line.What, Action::Play);
  EXPECT_EQ(line.Choices.Skin, "s");
  EXPECT_EQ(line.Choices.Data, "d");
  EXPECT_FALSE(line.FullScreen.has_value());
  EXPECT_EQ(ParseCommandLine({"--windowed", "--fullscreen"}).FullScreen, true) << "the last word counts";
  EXPECT_EQ(ParseCommandLine({"--fullscreen", "--windowed"}).FullScreen, false);
  const CommandLine check = ParseCommandLine({"--check-skin=s"});
  EXPECT_EQ(check.What, Action::CheckSkin);
  EXPECT_EQ(check.Choices.Skin, "s");
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"--full-screen"}, {"-x"}, {"level3"}, {"--skin"}, {"--data-dir="}, {"--check-skin"}}) {
    EXPECT_EQ(ParseCommandLine(bad).What, Action::Refuse) << bad[0];
  }

  const char* unknown[] = {"kestrel", "--full-screen"};
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunCommandLine(2, unknown), 2);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("unknown option '--full-screen'"), std::string::npos);
}

// Every option's description, and every line that goes on with one, starts in one column.
TEST(CommandLine, HelpSetsTheDescriptionsInOneColumn) {
  const char* help[] = {"kestrel", "--help"};
  testing::internal::CaptureStdout();
  EXPECT_EQ(RunCommandLine(2, help), 0);
  std::istringstream text(testing::internal::GetCapturedStdout());
  std::set<size_t> columns;
  size_t options = 0;
  for (std::string line; std::getline(text, line) && !line.starts_with("Keys of play");) {
    if (!line.starts_with("  ")) continue;
    const size_t name = line.find_first_not_of(' ');
    const bool option = line[name] == '-';
    options += option ? 1 : 0;
    // An option's description follows its name (and argument) after two spaces or more.
    columns.insert(option ? line.find_first_not_of(' ', line.find("  ", name)) : name);
  }
  EXPECT_GE(options, 7u);
  EXPECT_EQ(columns.size(), 1u) << "descriptions start in " << columns.size() << " columns";
}

// The keys of play shown are those of the settings file the game would read, wherever --help
// stands; a folder that does not exist shows the defaults and is not made.
TEST(CommandLine, HelpShowsTheKeysOfThePlayersSettingsAndMakesNothing) {
  const SkinFolder folder;
  std::ofstream(folder.root / "UserSettings.ini") << "[MainSetting]\nL_Check0=1\n[KeyBindings]\nRotate=w\n";
  const std::string data = folder.root.string(), missing = (folder.root / "none").string();
  auto help = [](std::vector<const char*> arguments) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(RunCommandLine(static_cast<int>(arguments.size()), arguments.data()), 0);
    return testing::internal::GetCapturedStdout();
  };
  const std::string rebound = help({"kestrel", "--help", "--data-dir", data.c_str()});
  const std::string keys = "\nKeys of play (UserSettings.ini, [KeyBindings]):\n";
  EXPECT_NE(rebound.find(keys + "  Move left" + std::string(9, ' ') + "Left arrow, d-pad left\n"), std::string::npos)
      << rebound;
  EXPECT_NE(rebound.find("\n  Rotate" + std::string(12, ' ') + "W, south\n"), std::string::npos) << rebound;
  EXPECT_NE(rebound.find("\n  Hurry" + std::string(13, ' ') + "east\n"), std::string::npos) << rebound;
  const std::string defaults = help({"kestrel", "--data-dir", missing.c_str(), "-h"});
  EXPECT_NE(defaults.find("\n  Rotate" + std::string(12, ' ') + "Up arrow, south\n"), std::string::npos) << defaults;
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.root), fs::directory_iterator()), 2) << "x/ and the settings";
}

TEST(CommandLine, APlayersFolderThatCannotBeMadeStopsTheStartWithStatusOne) {
  const Locations::Folders saved = Locations::Current();
  const SkinFolder folder;
  const std::string bad = (folder.root / "x/main.ini/kestrel").string();  // under a file
  const char* arguments[] = {"kestrel", "--data-dir", bad.c_str()};
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunCommandLine(3, arguments), 1);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("The game cannot start."), std::string::npos) << said;
  EXPECT_NE(said.find(bad), std::string::npos) << said;
  Locations::Use(saved);
}

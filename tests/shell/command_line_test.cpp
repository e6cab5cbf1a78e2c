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
  for (std::string line; std::getline(text, line);) {
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

// SPDX-License-Identifier: MIT
#include "shell/command_line.h"

#include <cstdio>

#include "base/runtime.h"
#include "config/skin_check.h"
#include "player/key_bindings.h"
#include "player/user_settings.h"
#include "shell/startup.h"

namespace {

constexpr const char* Usage =
    "Usage: kestrel [OPTION]...\n"
    "A falling-pair puzzle game: steer the falling pairs so that lines of four or more of one\n"
    "colour vanish, and clear every target of the stage.\n"
    "\n"
    "  --skin DIR        play the skin in DIR (its main.ini, images/ and sounds/),\n"
    "                    or one that comes with the game, by its name (high-contrast)\n"
    "  --check-skin DIR  report every fault of the skin in DIR (or named) and exit:\n"
    "                    status 0 when the game can play it, 1 when it cannot\n"
    "  --data-dir DIR    keep the settings and high scores in DIR\n"
    "  --fullscreen      start in full screen (F11 or Alt+Enter switches)\n"
    "  --windowed        start in a window\n"
    "  -h, --help        show this help and exit\n"
    "  --version         show the version and exit\n"
    "\n"
    "An installed game keeps the settings and high scores in $XDG_DATA_HOME/kestrel\n"
    "(~/.local/share/kestrel); a game run from its build tree keeps them beside the program.\n";

// The keys of play the game would use with these choices: the player's own from their settings
// file, else the defaults. Only reads: the help never makes a folder or a file.
void PrintKeysOfPlay(const Locations::Choices& choices) {
  KeyBindings bindings = DefaultBindings();
  if (const std::string folder = Locations::OfRunningProgram(choices).Player; !folder.empty()) {
    try {
      bindings = ReadKeyBindings(PlayerFilesIn(folder).Settings);
    } catch (const RuntimeError& error) {
      std::fprintf(stderr, "%s\n", error.what());
    }
  }
  std::puts("\nKeys of play (UserSettings.ini, [KeyBindings]):");
  for (const std::string& line : BindingLines(bindings)) std::puts(line.c_str());
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  // --help and --version (the first of them counts) end the reading of options, yet the help
  // shows the keys of the player's folder that the other options name, wherever they stand.
  std::optional<CommandLine::Action> asked;
  auto refuse = [&line, &asked](const std::string& problem) {
    if (asked) {
      line.What = *asked;
      return line;
    }
    line.What = CommandLine::Action::Refuse;
    line.Problem = problem;
    return line;
  };
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "-h" || argument == "--help" || argument == "--version") {
      if (!asked) asked = argument == "--version" ? CommandLine::Action::Version : CommandLine::Action::Help;
      continue;
    }
    if (argument == "--fullscreen" || argument == "--windowed") {
      line.FullScreen = argument == "--fullscreen";
      continue;
    }
    const size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    if (name == "--check-skin") line.What = CommandLine::Action::CheckSkin;
    std::string* folder = name == "--skin" || name == "--check-skin" ? &line.Choices.Skin
                          : name == "--data-dir"                     ? &line.Choices.Data
                                                                     : nullptr;
    if (folder == nullptr) {
      return refuse(argument.starts_with("-") ? "unknown option '" + argument + "'"
                                              : "unexpected argument '" + argument + "'");
    }
    if (equals != std::string::npos) {
      *folder = argument.substr(equals + 1);
    } else if (i + 1 < arguments.size()) {
      *folder = arguments[++i];
    }
    if (folder->empty()) return refuse("option '" + name + "' needs a folder");
  }
  if (asked) line.What = *asked;
  return line;
}

int RunCommandLine(int argc, const char* const argv[]) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  const CommandLine line = ParseCommandLine(arguments);
  switch (line.What) {
    case CommandLine::Action::Help:
      std::fputs(Usage, stdout);
      PrintKeysOfPlay(line.Choices);
      return 0;
    case CommandLine::Action::Version:
      std::printf("kestrel %s\n", KESTREL_VERSION);
      return 0;
    case CommandLine::Action::Refuse:
      std::fprintf(stderr, "kestrel: %s\nTry 'kestrel --help' for more information.\n", line.Problem.c_str());
      return 2;
    case CommandLine::Action::CheckSkin: {
      Locations::Use(Locations::OfRunningProgram(line.Choices));
      const SkinReport report = CheckSkin(Locations::SkinDirectory());
      std::fputs(FormatSkinReport(Locations::SkinDirectory(), report).c_str(), stdout);
      return report.Plays() ? 0 : 1;
    }
    case CommandLine::Action::Play:
      break;
  }
  Locations::Use(Locations::OfRunningProgram(line.Choices));
  return RunGame(line.FullScreen);
}

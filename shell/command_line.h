// SPDX-License-Identifier: MIT
// The program's command line: --help, --version, --skin DIR, --data-dir DIR, --fullscreen,
// --windowed, --check-skin DIR.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/locations.h"

struct CommandLine {
  enum class Action { Play, Help, Version, CheckSkin, Refuse };
  Action What = Action::Play;
  Locations::Choices Choices;
  std::optional<bool> FullScreen;  // none: as the player left the game last time
  std::string Problem;             // why the command line is refused
};

// `arguments` without the program name. Options take their value as the next argument or
// after '=' (--skin=DIR). --help or --version, wherever it stands, wins over the rest; the
// folders named around it are still read.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// What main() does: reads the command line, then prints the help with the keys of play in
// force (read from the player's settings file, which is neither made nor changed) or the
// version (exit status 0), refuses a bad command line (a message on stderr, exit status 2),
// checks a skin (exit status 0 when the game can play it, 1 when not) or plays the game
// (RunGame's status).
int RunCommandLine(int argc, const char* const argv[]);

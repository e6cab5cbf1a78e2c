// The skin checker: reads a skin folder with the game's own loaders and reports every fault at
// once, each naming its file (and section and key for main.ini), instead of stopping at the
// first as start-up does. Errors stop the game from starting or break a screen; warnings are
// things a player would notice (a click where a track loops, digits too small to read).
#pragma once

#include <string>
#include <vector>

struct SkinReport {
  std::vector<std::string> Errors;
  std::vector<std::string> Warnings;
  bool Plays() const { return Errors.empty(); }
};

// Loads the skin in `directory` with the game's loaders and checks what the loaders do not:
// sheet sizes against the cells the drawing cuts, masks against their pictures, buttons against
// the screen, each other and their panels, cursors, sound effects and music tracks. Sounds are decoded on SDL's silent
// audio driver when no device is open.
SkinReport CheckSkin(const std::string& directory);

// The report as the command line prints it: one line per fault, then a summary line.
std::string FormatSkinReport(const std::string& directory, const SkinReport& report);

// SPDX-License-Identifier: MIT
// The skin checker: reads a skin folder with the game's own loaders and reports every fault at
// once, each naming its file (and section and key for main.ini), instead of stopping at the
// first as start-up does. Each fault has a level (config/skin_rules.h): fatal ones the game
// refuses at start, with the same words; errors break the screen they name; warnings are
// things a player would notice (a click where a track loops, digits too small to read).
#pragma once

#include <string>
#include <vector>

#include "config/skin_rules.h"

struct SkinReport {
  std::vector<SkinFault> Faults;  // in the order found
  // The texts of the faults of one level.
  std::vector<std::string> Texts(FaultLevel level) const;
  // The game starts with this skin: nothing fatal.
  bool Plays() const;
};

// Loads the skin in `directory` with the game's loaders and checks what the loaders do not:
// sheet sizes against the cells the drawing cuts, masks against their pictures, buttons against
// the screen, each other and their panels, cursors, texts, sound effects and music tracks.
// Sounds are decoded on SDL's silent audio driver when no device is open.
SkinReport CheckSkin(const std::string& directory);

// The report as the command line prints it: one line per fault ("fatal: ", "error (<screen>): ",
// "warning: "), then a summary line that says whether the game starts and which screens break.
std::string FormatSkinReport(const std::string& directory, const SkinReport& report);

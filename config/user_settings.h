// The player's settings and high scores: UserSettings.ini (section MainSetting) and the
// binary table gameinfo.cfg, both in the program directory.
#pragma once

#include <cstdint>
#include <string>

struct HiScoreEntry {
  std::string Name;
  int32_t Points = 0;
  double Date = 0;  // days since 30 December 1899
  int32_t Extra = 0;
};

struct UserSettingsGlobals {
  int32_t UserMaxStage = 1;  // stages 0 to UserMaxStage - 1 can be chosen
  int32_t UserDefStage = 0;
  int32_t UserDefDiff = 0;
  int32_t UserDefMusic = 0;
  bool FullScreen = false;  // the game was left in full screen
  HiScoreEntry HiScoreTable[3][8];  // [table][entry]
};
extern UserSettingsGlobals User;
void ResetUserSettingsGlobals();

// <program directory>/gameinfo.cfg: the 24 records of HiScoreTable, entry index fastest, each
// a 16-bit byte count and the name's bytes, 4-byte points, 8-byte double date and 4-byte
// Extra, little-endian.
std::string HiScoreTableFileName();

// Reads UserSettings.ini (creating both files with the defaults on the first run, a table
// file that is already there kept as it is) into the
// check boxes, volumes, stage, difficulty and music choices and the three high scores, and
// gameinfo.cfg into HiScoreTable. A missing or non-numeric value takes its default and every
// value is brought into its valid range; the high scores are kept when missing. A table file
// that ends early loads the records that are whole and leaves the others empty. A table file
// that exists but cannot be read raises FileNotFound naming it.
void LoadUserSettings();
// Writes the eleven settings keys and, once the player has chosen full screen, L_FullScreen
// (one read and one write of UserSettings.ini) and the table.
// Each file is saved whole or not at all, each on its own; when one cannot be saved the old
// one stays and FileNotFound is raised naming it and the system's reason.
void SaveUserSettings();

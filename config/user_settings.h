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
  HiScoreEntry HiScoreTable[3][8];  // [table][entry]
};
extern UserSettingsGlobals User;
void ResetUserSettingsGlobals();

void LoadUserSettings();
void SaveUserSettings();

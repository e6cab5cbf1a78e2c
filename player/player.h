// SPDX-License-Identifier: MIT
// The player's settings and high scores as the game holds them while it runs. Plain data, read
// from and saved to the player's files by player/user_settings.h.
#pragma once

#include <cstdint>
#include <string>

#include "player/key_bindings.h"

struct HiScoreEntry {
  std::string Name;
  int32_t Points = 0;
  double Date = 0;  // days since 30 December 1899
  int32_t Extra = 0;
};

struct PlayerSettings {
  int32_t CheckState[2] = {1, 1};     // (0) music, (1) effects; only 1 means on
  int32_t VolumeLevel[2] = {44, 44};  // 0..50; the volume sent is twice the level
  int32_t UserMaxStage = 1;           // stages 0 to UserMaxStage - 1 can be chosen
  int32_t UserDefStage = 0;
  int32_t UserDefDiff = 0;
  int32_t UserDefMusic = 0;
  bool FullScreen = false;                   // the game was left in full screen
  int32_t HiScore[3] = {0, 0, 0};            // the best score of each difficulty
  HiScoreEntry HiScoreTable[3][8];           // [table][entry]
  KeyBindings Bindings = DefaultBindings();  // the keys and pad buttons of play
  std::string LastName;                      // the name last entered in the table on this machine; "" none yet
};

// SPDX-License-Identifier: MIT
// UserSettings.ini: every value loads into its valid range, and a save reads back the same.
#include "player/user_settings.h"
#include "scratch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const PlayerFiles files = PlayerFilesIn(ScratchFolder().string());
  WriteScratchFile("UserSettings.ini", data, size);
  PlayerSettings player;
  LoadUserSettings(files, player, "kestrel");
  const bool inRange = player.VolumeLevel[0] >= 0 && player.VolumeLevel[0] <= 50 && player.UserMaxStage >= 1 &&
                       player.UserDefStage >= 0 && player.UserDefStage < player.UserMaxStage && player.HiScore[0] >= 0;
  if (!inRange) __builtin_trap();
  const int32_t stage = player.UserMaxStage;
  SaveUserSettings(files, player);
  PlayerSettings again;
  LoadUserSettings(files, again, "kestrel");
  if (again.UserMaxStage != stage) __builtin_trap();
  return 0;
}

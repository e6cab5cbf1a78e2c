// UserSettings.ini: every value loads into its valid range, and a save reads back the same.
#include "audio/audio.h"
#include "config/user_settings.h"
#include "game/game_state.h"
#include "scratch_file.h"
#include "shell/locations.h"
#include "shell/runtime.h"
#include "shell/shell_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Locations::PlayFrom(ScratchFolder().string());
  Shell.UserIni.SetINIFileName(WriteScratchFile("UserSettings.ini", data, size));
  ResetAudioGlobals();
  ResetUserSettingsGlobals();
  ResetGameGlobals();
  LoadUserSettings();
  const bool inRange = Audio.VolumeLevel[0] >= 0 && Audio.VolumeLevel[0] <= 50 && User.UserMaxStage >= 1 &&
                       User.UserDefStage >= 0 && User.UserDefStage < User.UserMaxStage && Game.HiScore[0] >= 0;
  if (!inRange) __builtin_trap();
  const int32_t stage = User.UserMaxStage;
  SaveUserSettings();
  ResetUserSettingsGlobals();
  LoadUserSettings();
  if (User.UserMaxStage != stage) __builtin_trap();
  return 0;
}

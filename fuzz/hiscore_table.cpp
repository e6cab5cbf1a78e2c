// gameinfo.cfg: any bytes load into the table, whose save loads back unchanged.
#include <cstring>

#include "config/user_settings.h"
#include "scratch_file.h"
#include "shell/locations.h"
#include "shell/shell_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Locations::PlayFrom(ScratchFolder().string());
  static const char settings[] = "[MainSetting]\nL_UserMaxStage=2\n";
  Shell.UserIni.SetINIFileName(
      WriteScratchFile("UserSettings.ini", reinterpret_cast<const uint8_t*>(settings), std::strlen(settings)));
  WriteScratchFile("gameinfo.cfg", data, size);
  ResetUserSettingsGlobals();
  LoadUserSettings();
  const UserSettingsGlobals loaded = User;
  SaveUserSettings();
  ResetUserSettingsGlobals();
  LoadUserSettings();
  for (int t = 0; t < 3; ++t) {
    for (int e = 0; e < 8; ++e) {
      const HiScoreEntry &a = loaded.HiScoreTable[t][e], &b = User.HiScoreTable[t][e];
      if (a.Name != b.Name || a.Points != b.Points || std::memcmp(&a.Date, &b.Date, sizeof a.Date) != 0)
        __builtin_trap();
    }
  }
  return 0;
}

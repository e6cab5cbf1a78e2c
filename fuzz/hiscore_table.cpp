// SPDX-License-Identifier: MIT
// gameinfo.cfg: any bytes load into the table, whose save loads back unchanged.
#include <cstring>

#include "player/user_settings.h"
#include "scratch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const PlayerFiles files = PlayerFilesIn(ScratchFolder().string());
  static const char settings[] = "[MainSetting]\nL_UserMaxStage=2\n";
  WriteScratchFile("UserSettings.ini", reinterpret_cast<const uint8_t*>(settings), std::strlen(settings));
  WriteScratchFile("gameinfo.cfg", data, size);
  PlayerSettings loaded;
  LoadUserSettings(files, loaded, "kestrel");
  SaveUserSettings(files, loaded);
  PlayerSettings again;
  LoadUserSettings(files, again, "kestrel");
  for (int t = 0; t < 3; ++t) {
    for (int e = 0; e < 8; ++e) {
      const HiScoreEntry &a = loaded.HiScoreTable[t][e], &b = again.HiScoreTable[t][e];
      if (a.Name != b.Name || a.Points != b.Points || std::memcmp(&a.Date, &b.Date, sizeof a.Date) != 0)
        __builtin_trap();
    }
  }
  return 0;
}

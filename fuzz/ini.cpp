// INI files: reads of any section and key, then a save of three keys, which must read back.
#include <string>

#include "scratch_file.h"
#include "shell/ini_file.h"
#include "shell/runtime.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  classIniFile ini;
  ini.SetINIFileName(WriteScratchFile("main.ini", data, size));
  for (const char* section : {"MainSettings", "Texts", "GameButton", "ADPIC"}) {
    for (const char* key : {"MaxButton", "ImagesDir", "Text0", "ADUrl0"}) {
      if (ini.GetIniKey(section, key).size() > 1023) __builtin_trap();
    }
  }
  ini.SaveIniKeys("GameButton", {{"Button4", "4"}, {"Button0_X", "10"}, {"New", "value"}});
  if (ini.GetIniKey("GameButton", "Button4") != "4" || ini.GetIniKey("GameButton", "New") != "value") __builtin_trap();
  return 0;
}

// SPDX-License-Identifier: MIT
// INI files: reads of any section and key, then a save of three keys, which must read back.
#include <string>

#include "base/ini_file.h"
#include "base/runtime.h"
#include "scratch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IniFile ini(WriteScratchFile("main.ini", data, size));
  for (const char* section : {"MainSettings", "Texts", "GameButton", "ADPIC"}) {
    for (const char* key : {"MaxButton", "ImagesDir", "Text0", "ADUrl0"}) {
      if (ini.Read(section, key).size() > 1023) __builtin_trap();
    }
  }
  ini.WriteAll("GameButton", {{"Button4", "4"}, {"Button0_X", "10"}, {"New", "value"}});
  if (ini.Read("GameButton", "Button4") != "4" || ini.Read("GameButton", "New") != "value") __builtin_trap();
  return 0;
}

// STUB: replaced by the main.ini loaders.
#include "config/config.h"

ConfigGlobals Config;
void ResetConfigGlobals() { Config = ConfigGlobals{}; }
void LoadTexts() {}
void LoadCursors() {}
void LoadButtonImages() {}
void LoadLayout() {}
void LoadSounds() {}
void LoadScreenButtons(const std::string&) {}

// The configuration's tables and the player's settings, apart from their loaders: the rules
// read them without reading any file.
#include "config/config.h"
#include "config/user_settings.h"

ConfigGlobals Config;
UserSettingsGlobals User;

void ResetConfigGlobals() { Config = ConfigGlobals{}; }
void ResetUserSettingsGlobals() { User = UserSettingsGlobals{}; }

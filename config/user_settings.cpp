// STUB: replaced by the settings and high-score files.
#include "config/user_settings.h"

UserSettingsGlobals User;
void ResetUserSettingsGlobals() { User = UserSettingsGlobals{}; }
void LoadUserSettings() {}
void SaveUserSettings() {}

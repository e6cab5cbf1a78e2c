#include "shell/startup.h"

#include <exception>
#include <string>

#include "config/config.h"
#include "config/images.h"
#include "config/skin_files.h"
#include "config/user_settings.h"
#include "game/flow.h"
#include "shell/engine.h"
#include "shell/loading_window.h"
#include "shell/locations.h"
#include "shell/main_window.h"
#include "shell/platform/platform.h"
#include "shell/runtime.h"
#include "shell/safe_file.h"
#include "shell/shell_services.h"
#include "surface/raster_binding.h"

namespace {

void RunStartup() {
  Locations::PreparePlayerDirectory();
  OpenSkin(Locations::SkinDirectory());
  Shell.UserIni.SetINIFileName(Locations::PlayerDirectory() + "/UserSettings.ini");
  for (const std::string& saved : {Shell.UserIni.INIFileName(), HiScoreTableFileName()})
    SafeFile::RemoveStaleTemporaries(saved);
  // Without every drawing routine the game would run in a black window.
  RasterBinding::Bind();

  InstallShellServices();
  SetLoadProgress(Frm_Loading::mAddlife);
  Frm_Loading::Load();
  Frm_Loading::Show();
  Frm_Loading::mAddlife();
  Frm_Loading::mAddlife();
  LoadTexts();
  Frm_Loading::mAddlife();
  LoadCursors();
  Frm_Loading::mAddlife();
  // The play screen's fifth button always shows button image 4. main.ini is rewritten only
  // when it says otherwise, and never in the installed skin.
  if (!Locations::Current().SkinReadOnly && Shell.MainIni.GetIniKey("GameButton", "Button4") != "4") {
    Shell.MainIni.WriteIniKey("GameButton", "Button4", "4");
  }
  Frm_Loading::mAddlife();
  LoadButtonImages();
  Frm_Loading::mAddlife();
  LoadUserSettings();
  Frm_Loading::mAddlife();
  LoadLayout();
  Frm_Loading::mAddlife();
  LoadGameImages();
  Frm_Loading::mAddlife();
  Frm_Main::Load();
  Frm_Loading::mAddlife();
  LoadSounds();
  Frm_Loading::mAddlife();
  Frm_Main::GameInit();
  Frm_Loading::mAddlife();
  // Every screen's layout is read once now, so that a faulty one stops the start rather than
  // a screen change in the middle of a game. The title's is read last and stays.
  LoadScreenButtons("GameButton");
  LoadScreenButtons("SelectStageButton");
  ShowTitle();
  Frm_Loading::mAddlife();
  Frm_Loading::Unload();
  Frm_Main::Show();
}

void ReportStartupFailure(const std::string& text) {
  std::string caption = Config.Texts.empty() || Config.Texts[0].empty() ? "kestrel" : Config.Texts[0];
  Platform::ShowErrorMessage(caption, "The game cannot start.\n" + text);
}

}  // namespace

int Mod_Main(const LoopObserver& beforeLoop) {
  try {
    RunStartup();
  } catch (const std::exception& error) {
    ReportStartupFailure(error.what());
    Frm_Loading::Unload();
    return 1;
  }
  CGameEngine* engine = Frm_Main::m_GDIEngine();
  if (engine == nullptr) {
    ReportStartupFailure("The game loop could not be created.");
    return 1;
  }
  if (beforeLoop) beforeLoop(*engine);
  engine->StartGame();
  return 0;
}

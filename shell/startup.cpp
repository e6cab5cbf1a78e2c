// SPDX-License-Identifier: MIT
#include "shell/startup.h"

#include <cctype>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <utility>

#include "base/locations.h"
#include "base/runtime.h"
#include "base/safe_file.h"
#include "config/images.h"
#include "config/skin_loaders.h"
#include "config/skin_rules.h"
#include "game/flow.h"
#include "platform/platform.h"
#include "player/user_settings.h"
#include "shell/game_loop.h"
#include "shell/loading_window.h"
#include "shell/main_window.h"
#include "surface/raster_binding.h"

namespace {

// What start-up makes, owned by RunGame for the whole run. The windows belong to RunGame's
// stack and never to a global: a process that Xlib ends through exit() when the display goes
// away must not close them on the lost display, where SDL would wait for an answer forever.
struct Program {
  std::unique_ptr<SkinReader> Reader;
  Skin Look;
  PlayerFiles Files;
  PlayerSettings Player;
  std::unique_ptr<LoadingWindow> Loading;
  std::unique_ptr<MainWindow> Window;
};

void RunStartup(Program& program, std::optional<bool> startFullScreen) {
  if (const std::string fault = Locations::SkinFolderFault(Locations::Current()); !fault.empty())
    throw RuntimeError(ErrorKind::FileNotFound, Locations::SkinDirectory(), fault);
  Locations::PreparePlayerDirectory();
  program.Reader = std::make_unique<SkinReader>(Locations::SkinDirectory());
  SkinReader& reader = *program.Reader;
  Skin& skin = program.Look;
  program.Files = PlayerFilesIn(Locations::PlayerDirectory());
  for (const std::string& saved : {program.Files.Settings, program.Files.HiScoreTable})
    SafeFile::RemoveStaleTemporaries(saved);
  // Without every drawing routine the game would run in a black window.
  RasterBinding::Bind();

  program.Loading = std::make_unique<LoadingWindow>(reader);
  LoadingWindow& loading = *program.Loading;
  reader.ReportProgress([&loading] { loading.Advance(); });
  loading.Show();
  loading.Advance();
  loading.Advance();
  LoadTexts(reader, skin);
  loading.Advance();
  LoadCursors(reader, skin);
  loading.Advance();
  // The play screen's fifth button always shows button image 4. main.ini is rewritten only
  // when it says otherwise, and never in the installed skin.
  if (!Locations::Current().SkinReadOnly && reader.MainIni().Read("GameButton", "Button4") != "4") {
    reader.MainIni().Write("GameButton", "Button4", "4");
  }
  loading.Advance();
  LoadButtonImages(reader, skin);
  loading.Advance();
  LoadUserSettings(program.Files, program.Player, skin.Layout.Texts.empty() ? std::string() : skin.Layout.Texts[0]);
  loading.Advance();
  LoadLayout(reader, skin);
  loading.Advance();
  LoadGameImages(reader, skin.Images);
  LoadExtraScreens(reader, skin);
  // What the skin checker calls fatal: the game could start with it, but not be played.
  RefuseUnplayableSkin(reader, skin);
  loading.Advance();
  program.Window = std::make_unique<MainWindow>(skin, reader, program.Player, program.Files, startFullScreen);
  MainWindow& window = *program.Window;
  loading.Advance();
  LoadSounds(reader, skin);
  loading.Advance();
  window.GameInit();
  loading.Advance();
  // Every screen's layout is read once now, so that a faulty one stops the start rather than
  // a screen change in the middle of a game. The title's is read last and stays.
  // A screen the skin has pictures for but no buttons of is left out, as the skin checker says.
  for (auto [has, section] : {std::pair{&skin.Layout.HasHiScoreScreen, "HiScoreButton"},
                              std::pair{&skin.Layout.HasControlsPage, "ControlsButton"}}) {
    if (!*has) continue;
    try {
      LoadScreenButtons(reader, skin, section);
    } catch (const RuntimeError& error) {
      std::fprintf(stderr, "%s\n", error.what());
      *has = false;
    }
  }
  LoadScreenButtons(reader, skin, "GameButton");
  LoadScreenButtons(reader, skin, "SelectStageButton");
  ShowTitle(window.TheGame());
  loading.Advance();
  reader.ReportProgress({});
  program.Loading.reset();
}

void ReportStartupFailure(const Program& program, const std::string& text) {
  const std::vector<std::string>& texts = program.Look.Layout.Texts;
  std::string caption = texts.empty() || texts[0].empty() ? "kestrel" : texts[0];
  std::string reason = text;
  if (!reason.empty()) reason[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(reason[0])));
  Platform::ShowErrorMessage(caption, "The game cannot start.\n" + reason);
}

}  // namespace

int RunGame(std::optional<bool> startFullScreen, const LoopObserver& beforeLoop) {
  Program program;
  try {
    RunStartup(program, startFullScreen);
  } catch (const std::exception& error) {
    ReportStartupFailure(program, error.what());
    return 1;
  }
  MainWindow& window = *program.Window;
  window.Show();
  if (beforeLoop) beforeLoop(window);
  window.Loop().Run();
  return 0;
}

#include "shell/shell_services.h"

#include "audio/audio.h"
#include "config/config.h"
#include "shell/locations.h"
#include "shell/main_window.h"
#include "shell/platform/platform.h"
#include "shell/runtime.h"

void ShellServices::PlaySound(int32_t n) { PlaySoundEffect(n); }
void ShellServices::PlayMusic() { ::PlayMusic(); }
void ShellServices::PauseMusic() { PauseMusicStream(Audio.MusicStream); }
void ShellServices::StopMusic() { StopMusicStream(Audio.MusicStream); }
void ShellServices::OpenMusic(const std::string& track) {
  Audio.MusicStream = CreateMusicStream(Locations::SkinDirectory() + "/" + track);
}
void ShellServices::SetMusicVolume(int32_t volume) { SetMusicStreamVolume(Audio.MusicStream, volume); }
void ShellServices::LoadButtons(const std::string& section) { LoadScreenButtons(section); }
void ShellServices::CaptureFadeSurface() {
  Shell.FadeSurface.FastBlt(Shell.BackBuffer[CheckIndex(Shell.BackIndex, 0, 1)], 0, 0);
}
void ShellServices::OpenAddress(const std::string& address) {
  if (!address.empty()) Platform::OpenAddress(address);
}
double ShellServices::SecondsOfDay() { return Platform::SecondsOfDay(); }
void ShellServices::CloseMainWindow() { Frm_Main::Close(); }

void InstallShellServices() {
  static ShellServices services;
  SetGameServices(&services);
}

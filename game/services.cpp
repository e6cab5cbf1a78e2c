#include "game/services.h"

#include "audio/audio.h"
#include "config/config.h"
#include "shell/main_window.h"
#include "shell/platform.h"

void GameServices::PlaySound(int32_t n) { PlaySoundEffect(n); }
void GameServices::PlayMusic() { ::PlayMusic(); }
void GameServices::PauseMusic() { PauseMusicStream(Audio.MusicStream); }
void GameServices::StopMusic() { StopMusicStream(Audio.MusicStream); }
void GameServices::OpenMusic(const std::string& path) { Audio.MusicStream = CreateMusicStream(path); }
void GameServices::SetMusicVolume(int32_t volume) { SetMusicStreamVolume(Audio.MusicStream, volume); }
void GameServices::LoadButtons(const std::string& section) { LoadScreenButtons(section); }
void GameServices::OpenAddress(const std::string& address) {
  if (!address.empty()) Platform::OpenAddress(address);
}
double GameServices::SecondsOfDay() { return Platform::SecondsOfDay(); }
void GameServices::CloseMainWindow() { Frm_Main::Close(); }

namespace {
GameServices g_realServices;
GameServices* g_services = &g_realServices;
}  // namespace

GameServices& Services() { return *g_services; }
void SetGameServices(GameServices* services) { g_services = services ? services : &g_realServices; }

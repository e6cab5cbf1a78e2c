#include "game/services.h"

namespace {

// What the rules reach before the shell has installed its services: nothing happens.
class NoServices final : public GameServices {
 public:
  void PlaySound(int32_t) override {}
  void PlayMusic() override {}
  void PauseMusic() override {}
  void StopMusic() override {}
  void OpenMusic(const std::string&) override {}
  void SetMusicVolume(int32_t) override {}
  void LoadButtons(const std::string&) override {}
  void CaptureFadeSurface() override {}
  void OpenAddress(const std::string&) override {}
  double SecondsOfDay() override { return 0; }
  void CloseMainWindow() override {}
};

NoServices g_noServices;
GameServices* g_services = &g_noServices;

}  // namespace

GameServices& Services() { return *g_services; }
void SetGameServices(GameServices* services) { g_services = services ? services : &g_noServices; }

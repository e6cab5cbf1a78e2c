// The real GameServices: the audio layer, the screen-button loader, the back buffers, the
// platform's address opener and clock, and the main window.
#pragma once

#include "game/services.h"

class ShellServices final : public GameServices {
 public:
  void PlaySound(int32_t n) override;
  void PlayMusic() override;
  void PauseMusic() override;
  void StopMusic() override;
  void OpenMusic(const std::string& track) override;
  void SetMusicVolume(int32_t volume) override;
  void LoadButtons(const std::string& section) override;
  void CaptureFadeSurface() override;
  void OpenAddress(const std::string& address) override;
  double SecondsOfDay() override;
  void CloseMainWindow() override;
};

// Makes the shell's services the ones the rules use (start-up, and tests of the whole shell).
void InstallShellServices();

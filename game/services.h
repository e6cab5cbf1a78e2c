// Everything the game rules ask of the world outside them: sound effects and music, the
// screen-button layout, the cross-fade's snapshot, web addresses, the time of day and closing
// the main window. The shell installs the real implementation at start-up; a test installs
// its own and sees exactly what the rules asked for, in order.
#pragma once

#include <cstdint>
#include <string>

class GameServices {
 public:
  virtual ~GameServices() = default;
  // Sound effect n (SoundEffect numbers of the audio layer).
  virtual void PlaySound(int32_t n) = 0;
  // The music stream: start or resume it (when switched on), pause it, stop it, replace it by
  // a new stream of a skin's track ("sounds/titback.ogg", relative to the skin's folder), set
  // its volume (0..100).
  virtual void PlayMusic() = 0;
  virtual void PauseMusic() = 0;
  virtual void StopMusic() = 0;
  virtual void OpenMusic(const std::string& track) = 0;
  virtual void SetMusicVolume(int32_t volume) = 0;
  // Rebuilds the screen buttons from a section of main.ini.
  virtual void LoadButtons(const std::string& section) = 0;
  // Keeps the picture of the current back buffer as the screen the cross-fade starts from.
  virtual void CaptureFadeSurface() = 0;
  // Opens a web address in the system's browser; an empty address opens nothing.
  virtual void OpenAddress(const std::string& address) = 0;
  // The local time of day in seconds.
  virtual double SecondsOfDay() = 0;
  // Asks the main window to close, which ends the program.
  virtual void CloseMainWindow() = 0;
};

// The services in use. Until some are installed, requests do nothing and the time of day is 0.
GameServices& Services();
// Installs services; nullptr takes them away again.
void SetGameServices(GameServices* services);

// Everything the game rules ask of the world outside them: sound effects and music, the
// screen-button layout, web addresses, the time of day and closing the main window. Each
// request goes through one replaceable object, so a test can stand in for the audio layer,
// the loaders and the platform and see exactly what the rules asked for, in order.
#pragma once

#include <cstdint>
#include <string>

class GameServices {
 public:
  virtual ~GameServices() = default;
  // Sound effect n (SoundEffect numbers of the audio layer).
  virtual void PlaySound(int32_t n);
  // The music stream: start or resume it (when switched on), pause it, stop it, replace it by
  // a new stream of a file, set its volume (0..100).
  virtual void PlayMusic();
  virtual void PauseMusic();
  virtual void StopMusic();
  virtual void OpenMusic(const std::string& path);
  virtual void SetMusicVolume(int32_t volume);
  // Rebuilds the screen buttons from a section of main.ini.
  virtual void LoadButtons(const std::string& section);
  // Opens a web address in the system's browser; an empty address opens nothing.
  virtual void OpenAddress(const std::string& address);
  // The local time of day in seconds.
  virtual double SecondsOfDay();
  // Asks the main window to close, which ends the program.
  virtual void CloseMainWindow();
};

// The services in use: the real ones unless a test installed its own.
GameServices& Services();
// nullptr puts the real services back.
void SetGameServices(GameServices* services);

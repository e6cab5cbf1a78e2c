// SPDX-License-Identifier: MIT
// Everything the game rules ask of the world outside them: sound effects and music, the
// screen buttons and other keys of main.ini, the cross-fade's snapshot, web addresses, the
// time of day and closing the main window. The program hands its implementation to the rules
// (game/game.h); a test hands its own and sees exactly what the rules asked for, in order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/skin_layout.h"

class GameServices {
 public:
  virtual ~GameServices() = default;
  // Sound effect n (audio/sound_effects.h).
  virtual void PlaySound(int32_t n) = 0;
  // The music stream: start or resume it (when switched on), pause it, stop it, replace it by
  // a new stream of a skin's track ("sounds/titback.ogg", relative to the skin's folder), set
  // its volume (0..100).
  virtual void PlayMusic() = 0;
  virtual void PauseMusic() = 0;
  virtual void StopMusic() = 0;
  virtual void OpenMusic(const std::string& track) = 0;
  virtual void SetMusicVolume(int32_t volume) = 0;
  // The buttons of a section of main.ini, fresh; raises when the section is faulty.
  virtual std::vector<ScreenButton> LoadButtons(const std::string& section) = 0;
  // A key of main.ini as it reads now; "" when missing.
  virtual std::string SkinValue(const std::string& section, const std::string& key) = 0;
  // Keeps the picture of the current back buffer as the screen the cross-fade starts from.
  virtual void CaptureFadeSurface() = 0;
  // Opens a web address in the system's browser; an empty address opens nothing.
  virtual void OpenAddress(const std::string& address) = 0;
  // The local time of day in seconds.
  virtual double SecondsOfDay() = 0;
  // Asks the main window to close, which ends the program.
  virtual void CloseMainWindow() = 0;
  // Hides the main window (the key of play that hides it).
  virtual void MinimiseWindow() = 0;
  // A game begins: its first stage is about to be set up (the program starts recording it).
  virtual void GameBegins() {}
  // The name for the record the game just ended with was entered (Windows-1252).
  virtual void RecordNamed(const std::string& /*name*/) {}
  // Whether the record of rank `rank` in table `table` has a replay, and plays it.
  virtual bool HasReplay(int32_t /*table*/, int32_t /*rank*/) { return false; }
  virtual void PlayReplay(int32_t /*table*/, int32_t /*rank*/) {}
};

// Services that do nothing, for a game where nothing may sound, load or open: the trial games
// a test plays to choose a move, benchmarks. The time of day is always 0.
class QuietServices : public GameServices {
 public:
  void PlaySound(int32_t) override {}
  void PlayMusic() override {}
  void PauseMusic() override {}
  void StopMusic() override {}
  void OpenMusic(const std::string&) override {}
  void SetMusicVolume(int32_t) override {}
  std::vector<ScreenButton> LoadButtons(const std::string&) override { return {}; }
  std::string SkinValue(const std::string&, const std::string&) override { return {}; }
  void CaptureFadeSurface() override {}
  void OpenAddress(const std::string&) override {}
  double SecondsOfDay() override { return 0; }
  void CloseMainWindow() override {}
  void MinimiseWindow() override {}
};

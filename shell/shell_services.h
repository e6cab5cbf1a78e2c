// SPDX-License-Identifier: MIT
// The real GameServices: the audio layer with the skin's sounds and the player's switches, the
// skin's main.ini and its screen-button loader, the main window's canvas and its close, the
// platform's address opener and clock.
#pragma once

#include <functional>

#include "audio/audio.h"
#include "config/skin.h"
#include "config/skin_reader.h"
#include "game/services.h"
#include "player/player.h"
#include "shell/canvas.h"

class GameRecords;

class ShellServices final : public GameServices {
 public:
  // `closeWindow` closes the main window whose canvas this is.
  ShellServices(Canvas& canvas, std::function<void()> closeWindow, SkinReader& reader, const Skin& skin,
                const PlayerSettings& player)
      : canvas_(canvas), closeWindow_(std::move(closeWindow)), reader_(reader), skin_(skin), player_(player) {}

  // If effects are switched on: one playback of sound n at twice the effects' volume level. A
  // number without a sound plays nothing.
  void PlaySound(int32_t n) override;
  // If the music is switched on: the stream paused, then played looping without flushing at
  // twice the music's volume level. A new stream starts from its beginning, a paused one resumes.
  void PlayMusic() override;
  void PauseMusic() override;
  void StopMusic() override;
  void OpenMusic(const std::string& track) override;
  void SetMusicVolume(int32_t volume) override;
  std::vector<ScreenButton> LoadButtons(const std::string& section) override;
  std::string SkinValue(const std::string& section, const std::string& key) override;
  void CaptureFadeSurface() override;
  void OpenAddress(const std::string& address) override;
  double SecondsOfDay() override;
  void CloseMainWindow() override;
  void MinimiseWindow() override;
  void GameBegins() override;
  void RecordNamed(const std::string& name) override;
  bool HasReplay(int32_t table, int32_t rank) override;
  void PlayReplay(int32_t table, int32_t rank) override;

  // The main window's records of games and its minimising, once they exist. While a replay
  // plays, nothing is opened, closed or hidden for it.
  void Connect(GameRecords* records, std::function<void()> minimise) {
    records_ = records;
    minimise_ = std::move(minimise);
  }

  // The music stream now open (0 for none).
  AudioHandle Music() const { return music_; }

 private:
  Canvas& canvas_;
  std::function<void()> closeWindow_;
  SkinReader& reader_;
  const Skin& skin_;
  const PlayerSettings& player_;
  AudioHandle music_ = 0;
  GameRecords* records_ = nullptr;
  std::function<void()> minimise_;
};

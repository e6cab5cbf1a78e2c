// SPDX-License-Identifier: MIT
#include "shell/shell_services.h"

#include "shell/game_records.h"

#include "base/runtime.h"
#include "config/skin_loaders.h"
#include "platform/platform.h"

void ShellServices::PlaySound(int32_t n) {
  if (player_.CheckState[1] != 1) return;
  if (n < 0 || static_cast<size_t>(n) >= skin_.Sounds.size()) return;
  PlaySoundSample(skin_.Sounds[static_cast<size_t>(n)], CheckedMul(2, player_.VolumeLevel[1]));
}

void ShellServices::PlayMusic() {
  if (player_.CheckState[0] != 1) return;
  PauseMusicStream(music_);
  PlayMusicStream(music_);
  SetMusicStreamVolume(music_, CheckedMul(2, player_.VolumeLevel[0]));
}

void ShellServices::PauseMusic() { PauseMusicStream(music_); }
void ShellServices::StopMusic() { StopMusicStream(music_); }
void ShellServices::OpenMusic(const std::string& track) {
  music_ = CreateMusicStream(reader_.Directory() + "/" + track);
}
void ShellServices::SetMusicVolume(int32_t volume) { SetMusicStreamVolume(music_, volume); }

std::vector<ScreenButton> ShellServices::LoadButtons(const std::string& section) {
  return LoadScreenButtons(reader_, skin_, section);
}

std::string ShellServices::SkinValue(const std::string& section, const std::string& key) {
  return reader_.MainIni().Read(section, key);
}

void ShellServices::CaptureFadeSurface() { canvas_.Fade.CopyFrom(canvas_.Current(), 0, 0); }

void ShellServices::OpenAddress(const std::string& address) {
  if (records_ != nullptr && records_->Replaying()) return;
  if (!address.empty()) Platform::OpenAddress(address);
}

double ShellServices::SecondsOfDay() { return Platform::SecondsOfDay(); }
void ShellServices::CloseMainWindow() {
  if (records_ == nullptr || !records_->Replaying()) closeWindow_();
}

void ShellServices::MinimiseWindow() {
  if (minimise_ && (records_ == nullptr || !records_->Replaying())) minimise_();
}

void ShellServices::GameBegins() {
  if (records_ != nullptr) records_->GameBegins();
}

void ShellServices::RecordNamed(const std::string& name) {
  if (records_ != nullptr) records_->RecordNamed(name);
}

bool ShellServices::HasReplay(int32_t table, int32_t rank) {
  return records_ != nullptr && records_->HasReplay(table, rank);
}

void ShellServices::PlayReplay(int32_t table, int32_t rank) {
  if (records_ != nullptr) records_->PlayReplay(table, rank);
}

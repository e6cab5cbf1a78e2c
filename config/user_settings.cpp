#include "config/user_settings.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "audio/audio.h"
#include "config/config.h"
#include "game/game_state.h"
#include "shell/locations.h"
#include "shell/platform/platform.h"
#include "shell/runtime.h"
#include "shell/shell_state.h"

namespace {

namespace fs = std::filesystem;

const std::string SettingsSection = "MainSetting";
constexpr int HiScoreTables = 3;
constexpr int HiScoreEntries = 8;
constexpr size_t RecordFixedBytes = 4 + 8 + 4;  // points, date, extra
constexpr size_t LongestRecord = 2 + 0xFFFF + RecordFixedBytes;

struct Defaults {
  static constexpr int32_t Check = 1;
  static constexpr int32_t Volume = 44;
  static constexpr int32_t MaxStage = 1;
};

// A settings value, or `fallback` when it is missing or not a 32-bit number.
int32_t SettingOr(const std::string& key, int32_t fallback) {
  std::string text = Shell.UserIni.GetIniKey(SettingsSection, key);
  if (!IsNumeric(text)) return fallback;
  try {
    return TextToInt(text);
  } catch (const RuntimeError&) {
    return fallback;
  }
}

void SetFirstRunDefaults() {
  Audio.CheckState[0] = Audio.CheckState[1] = Defaults::Check;
  Audio.VolumeLevel[0] = Audio.VolumeLevel[1] = Defaults::Volume;
  User.UserMaxStage = Defaults::MaxStage;
  User.UserDefStage = User.UserDefDiff = User.UserDefMusic = 0;
}

void ReadSettings() {
  Audio.CheckState[0] = std::clamp(SettingOr("L_Check0", Defaults::Check), 0, 1);
  Audio.CheckState[1] = std::clamp(SettingOr("L_Check1", Defaults::Check), 0, 1);
  Audio.VolumeLevel[0] = std::clamp(SettingOr("L_Volume0", Defaults::Volume), 0, 50);
  Audio.VolumeLevel[1] = std::clamp(SettingOr("L_Volume1", Defaults::Volume), 0, 50);
  User.UserMaxStage = std::max(SettingOr("L_UserMaxStage", Defaults::MaxStage), 1);
  User.UserDefStage = std::clamp(SettingOr("L_UserDefStage", 0), 0, User.UserMaxStage - 1);
  User.UserDefDiff = std::clamp(SettingOr("L_UserDefDiff", 0), 0, 2);
  User.UserDefMusic = std::clamp(SettingOr("L_UserDefMusic", 0), 0, 4);
  for (int d = 0; d < 3; ++d) {
    Game.HiScore[d] = std::max(SettingOr("Hi_Score" + std::to_string(d), Game.HiScore[d]), 0);
  }
}

void ClearHiScoreTable() {
  for (auto& table : User.HiScoreTable) {
    for (HiScoreEntry& entry : table) entry = HiScoreEntry{};
  }
}

void FillHiScoreTableWithDefaults() {
  const std::string name = Config.Texts.empty() ? std::string() : Config.Texts[0];
  const double now = Platform::CurrentDateTime();
  for (auto& table : User.HiScoreTable) {
    for (HiScoreEntry& entry : table) entry = HiScoreEntry{name, 0, now, 0};
  }
}

uint64_t ReadLittleEndian(const uint8_t* bytes, int count) {
  uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

void AppendLittleEndian(std::vector<uint8_t>& out, uint64_t value, int count) {
  for (int i = 0; i < count; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Decodes the records that lie whole in `bytes`, in file order; the rest stay empty.
void DecodeHiScoreTable(const std::vector<uint8_t>& bytes) {
  size_t at = 0;
  for (auto& table : User.HiScoreTable) {
    for (HiScoreEntry& entry : table) {
      if (bytes.size() - at < 2) return;
      size_t nameLength = ReadLittleEndian(&bytes[at], 2);
      if (bytes.size() - at - 2 < nameLength + RecordFixedBytes) return;
      at += 2;
      entry.Name.assign(reinterpret_cast<const char*>(&bytes[at]), nameLength);
      at += nameLength;
      entry.Points = static_cast<int32_t>(static_cast<uint32_t>(ReadLittleEndian(&bytes[at], 4)));
      entry.Date = std::bit_cast<double>(ReadLittleEndian(&bytes[at + 4], 8));
      entry.Extra = 0;  // never set by the game; whatever the file holds there is dropped
      at += RecordFixedBytes;
    }
  }
}

std::vector<uint8_t> EncodeHiScoreTable() {
  std::vector<uint8_t> out;
  for (const auto& table : User.HiScoreTable) {
    for (const HiScoreEntry& entry : table) {
      size_t nameLength = std::min<size_t>(entry.Name.size(), 0xFFFF);
      AppendLittleEndian(out, nameLength, 2);
      out.insert(out.end(), entry.Name.begin(), entry.Name.begin() + static_cast<std::ptrdiff_t>(nameLength));
      AppendLittleEndian(out, static_cast<uint32_t>(entry.Points), 4);
      AppendLittleEndian(out, std::bit_cast<uint64_t>(entry.Date), 8);
      AppendLittleEndian(out, static_cast<uint32_t>(entry.Extra), 4);
    }
  }
  return out;
}

void ReadHiScoreTable(const std::string& path) {
  std::error_code error;
  if (!fs::is_regular_file(path, error)) Raise(ErrorKind::FileNotFound, path);
  std::ifstream in(path, std::ios::binary);
  if (!in) Raise(ErrorKind::FileNotFound, path);
  const size_t longestTable = LongestRecord * HiScoreTables * HiScoreEntries;
  std::vector<uint8_t> bytes(longestTable);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) Raise(ErrorKind::FileNotFound, path);
  bytes.resize(static_cast<size_t>(in.gcount()));
  ClearHiScoreTable();
  DecodeHiScoreTable(bytes);
}

// Flushes a written file to the disk, so that the rename that follows never exposes an
// empty file after a power loss.
bool SyncToDisk(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

void ReplaceWith(const std::string& staged, const std::string& path) {
  std::error_code error;
  if (!fs::is_regular_file(staged, error) || !SyncToDisk(staged)) {
    fs::remove(staged, error);
    Raise(ErrorKind::FileNotFound, path);
  }
  fs::rename(staged, path, error);
  if (error) {
    fs::remove(staged, error);
    Raise(ErrorKind::FileNotFound, path);
  }
}

void SaveSettingsFile() {
  const std::string path = Shell.UserIni.INIFileName();
  const std::string staged = path + ".saving";
  std::error_code error;
  fs::remove(staged, error);
  if (fs::exists(path, error)) fs::copy_file(path, staged, error);
  classIniFile stagedIni;
  stagedIni.SetINIFileName(staged);
  auto write = [&](const std::string& key, int32_t value) {
    stagedIni.WriteIniKey(SettingsSection, key, std::to_string(value));
  };
  write("L_Check0", Audio.CheckState[0]);
  write("L_Check1", Audio.CheckState[1]);
  write("L_Volume0", Audio.VolumeLevel[0]);
  write("L_Volume1", Audio.VolumeLevel[1]);
  write("L_UserMaxStage", User.UserMaxStage);
  write("L_UserDefStage", User.UserDefStage);
  write("L_UserDefDiff", User.UserDefDiff);
  write("L_UserDefMusic", User.UserDefMusic);
  for (int d = 0; d < 3; ++d) write("Hi_Score" + std::to_string(d), Game.HiScore[d]);
  ReplaceWith(staged, path);
}

void SaveHiScoreTable() {
  const std::string path = HiScoreTableFileName();
  const std::string staged = path + ".saving";
  const std::vector<uint8_t> bytes = EncodeHiScoreTable();
  std::ofstream out(staged, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::error_code error;
    fs::remove(staged, error);
    Raise(ErrorKind::FileNotFound, path);
  }
  ReplaceWith(staged, path);
}

}  // namespace

std::string HiScoreTableFileName() { return Locations::PlayerDirectory() + "/gameinfo.cfg"; }

void LoadUserSettings() {
  std::error_code error;
  if (!fs::exists(Shell.UserIni.INIFileName(), error)) {
    SetFirstRunDefaults();
    SaveUserSettings();
  }
  ReadSettings();
  const std::string tablePath = HiScoreTableFileName();
  if (fs::exists(tablePath, error)) {
    ReadHiScoreTable(tablePath);
  } else {
    FillHiScoreTableWithDefaults();
  }
}

void SaveUserSettings() {
  SaveSettingsFile();
  SaveHiScoreTable();
}

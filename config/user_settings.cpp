// SPDX-License-Identifier: MIT
#include "config/user_settings.h"

#include <algorithm>
#include <bit>
#include <functional>
#include <optional>
#include <vector>

#include "base/ini_file.h"
#include "base/local_time.h"
#include "base/runtime.h"
#include "base/safe_file.h"

namespace {

const std::string SettingsSection = "MainSetting";
const std::string FullScreenKey = "L_FullScreen";
constexpr size_t RecordFixedBytes = 4 + 8 + 4;  // points, date, extra

struct Defaults {
  static constexpr int32_t Check = 1;
  static constexpr int32_t Volume = 44;
  static constexpr int32_t MaxStage = 1;
};

// A settings value, or `fallback` when it is missing or not a 32-bit number.
int32_t SettingOr(const IniFile& settings, const std::string& key, int32_t fallback) {
  std::string text = settings.Read(SettingsSection, key);
  if (!IsNumeric(text)) return fallback;
  try {
    return TextToInt(text);
  } catch (const RuntimeError&) {
    return fallback;
  }
}

void SetFirstRunDefaults(PlayerSettings& player) {
  player.CheckState[0] = player.CheckState[1] = Defaults::Check;
  player.VolumeLevel[0] = player.VolumeLevel[1] = Defaults::Volume;
  player.UserMaxStage = Defaults::MaxStage;
  player.UserDefStage = player.UserDefDiff = player.UserDefMusic = 0;
  player.FullScreen = false;
}

void ReadSettings(const IniFile& settings, PlayerSettings& player) {
  auto setting = [&settings](const std::string& key, int32_t fallback) { return SettingOr(settings, key, fallback); };
  player.CheckState[0] = std::clamp(setting("L_Check0", Defaults::Check), 0, 1);
  player.CheckState[1] = std::clamp(setting("L_Check1", Defaults::Check), 0, 1);
  player.VolumeLevel[0] = std::clamp(setting("L_Volume0", Defaults::Volume), 0, 50);
  player.VolumeLevel[1] = std::clamp(setting("L_Volume1", Defaults::Volume), 0, 50);
  player.UserMaxStage = std::max(setting("L_UserMaxStage", Defaults::MaxStage), 1);
  player.UserDefStage = std::clamp(setting("L_UserDefStage", 0), 0, player.UserMaxStage - 1);
  player.UserDefDiff = std::clamp(setting("L_UserDefDiff", 0), 0, 2);
  player.UserDefMusic = std::clamp(setting("L_UserDefMusic", 0), 0, 4);
  // Written after the keys every build knows, so that older builds, which ignore it, read
  // the file as before; files from before it start in a window.
  player.FullScreen = setting(FullScreenKey, 0) == 1;
  for (int d = 0; d < 3; ++d) {
    player.HiScore[d] = std::max(setting("Hi_Score" + std::to_string(d), player.HiScore[d]), 0);
  }
}

void ClearHiScoreTable(PlayerSettings& player) {
  for (auto& table : player.HiScoreTable) {
    for (HiScoreEntry& entry : table) entry = HiScoreEntry{};
  }
}

void FillHiScoreTableWithDefaults(PlayerSettings& player, const std::string& name) {
  const double now = CurrentDateTime();
  for (auto& table : player.HiScoreTable) {
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
void DecodeHiScoreTable(const std::vector<uint8_t>& bytes, PlayerSettings& player) {
  size_t at = 0;
  for (auto& table : player.HiScoreTable) {
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

std::vector<uint8_t> EncodeHiScoreTable(const PlayerSettings& player) {
  std::vector<uint8_t> out;
  for (const auto& table : player.HiScoreTable) {
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

// Reads the table when the file is there; false when it is not.
bool ReadHiScoreTable(const std::string& path, PlayerSettings& player) {
  std::optional<std::string> bytes = SafeFile::ReadWholeFile(path, SafeFile::kSettingsLimit);
  if (!bytes) return false;
  ClearHiScoreTable(player);
  DecodeHiScoreTable(std::vector<uint8_t>(bytes->begin(), bytes->end()), player);
  return true;
}

void SaveSettingsFile(const std::string& path, const PlayerSettings& player) {
  IniFile settings(path);
  auto text = [](int32_t value) { return std::to_string(value); };
  std::vector<IniFile::KeyValue> values = {
      {"L_Check0", text(player.CheckState[0])},      {"L_Check1", text(player.CheckState[1])},
      {"L_Volume0", text(player.VolumeLevel[0])},    {"L_Volume1", text(player.VolumeLevel[1])},
      {"L_UserMaxStage", text(player.UserMaxStage)}, {"L_UserDefStage", text(player.UserDefStage)},
      {"L_UserDefDiff", text(player.UserDefDiff)},   {"L_UserDefMusic", text(player.UserDefMusic)},
  };
  for (int d = 0; d < 3; ++d) values.push_back({"Hi_Score" + std::to_string(d), text(player.HiScore[d])});
  // A player who never chose full screen keeps the file as it always was.
  if (player.FullScreen || !settings.Read(SettingsSection, FullScreenKey).empty()) {
    values.push_back({FullScreenKey, text(player.FullScreen ? 1 : 0)});
  }
  settings.WriteAll(SettingsSection, values);
}

void SaveHiScoreTable(const std::string& path, const PlayerSettings& player) {
  const std::vector<uint8_t> bytes = EncodeHiScoreTable(player);
  SafeFile::SaveWholeFile(path, std::string(bytes.begin(), bytes.end()));
}

}  // namespace

PlayerFiles PlayerFilesIn(const std::string& folder) {
  return PlayerFiles{folder, folder + "/UserSettings.ini", folder + "/gameinfo.cfg"};
}

void LoadUserSettings(const PlayerFiles& files, PlayerSettings& player, const std::string& defaultName) {
  if (!SafeFile::OpenForReading(files.Settings, SafeFile::kSettingsLimit)) {
    // First run. A table that is already there is the player's and is kept.
    SetFirstRunDefaults(player);
    ReadHiScoreTable(files.HiScoreTable, player);
    SaveUserSettings(files, player);
  }
  ReadSettings(IniFile(files.Settings), player);
  if (!ReadHiScoreTable(files.HiScoreTable, player)) FillHiScoreTableWithDefaults(player, defaultName);
}

void SaveUserSettings(const PlayerFiles& files, const PlayerSettings& player) {
  // Each file is saved on its own: one that cannot be saved does not keep the other from it.
  // The error names the first file that failed; its text tells every one.
  std::optional<RuntimeError> failure;
  std::string told;
  const std::function<void()> saves[] = {[&] { SaveSettingsFile(files.Settings, player); },
                                         [&] { SaveHiScoreTable(files.HiScoreTable, player); }};
  for (const auto& save : saves) {
    try {
      save();
    } catch (const RuntimeError& error) {
      if (!failure) failure = error;
      told += told.empty() ? error.what() : std::string("\n") + error.what();
    }
  }
  if (failure) throw RuntimeError(failure->Kind(), failure->Detail(), told);
}

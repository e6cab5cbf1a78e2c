#include "config/user_settings.h"

#include <algorithm>
#include <bit>
#include <optional>
#include <vector>

#include "audio/audio.h"
#include "config/config.h"
#include "game/game_state.h"
#include "shell/locations.h"
#include "shell/platform/platform.h"
#include "shell/runtime.h"
#include "shell/safe_file.h"
#include "shell/shell_state.h"

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
  User.FullScreen = false;
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
  // Written after the keys every build knows, so that older builds, which ignore it, read
  // the file as before; files from before it start in a window.
  User.FullScreen = SettingOr(FullScreenKey, 0) == 1;
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

// Reads the table when the file is there; false when it is not.
bool ReadHiScoreTable(const std::string& path) {
  std::optional<std::string> bytes = SafeFile::ReadWholeFile(path, SafeFile::kSettingsLimit);
  if (!bytes) return false;
  ClearHiScoreTable();
  DecodeHiScoreTable(std::vector<uint8_t>(bytes->begin(), bytes->end()));
  return true;
}

void SaveSettingsFile() {
  auto text = [](int32_t value) { return std::to_string(value); };
  std::vector<classIniFile::KeyValue> values = {
      {"L_Check0", text(Audio.CheckState[0])},     {"L_Check1", text(Audio.CheckState[1])},
      {"L_Volume0", text(Audio.VolumeLevel[0])},   {"L_Volume1", text(Audio.VolumeLevel[1])},
      {"L_UserMaxStage", text(User.UserMaxStage)}, {"L_UserDefStage", text(User.UserDefStage)},
      {"L_UserDefDiff", text(User.UserDefDiff)},   {"L_UserDefMusic", text(User.UserDefMusic)},
  };
  for (int d = 0; d < 3; ++d) values.push_back({"Hi_Score" + std::to_string(d), text(Game.HiScore[d])});
  // A player who never chose full screen keeps the file as it always was.
  if (User.FullScreen || !Shell.UserIni.GetIniKey(SettingsSection, FullScreenKey).empty()) {
    values.push_back({FullScreenKey, text(User.FullScreen ? 1 : 0)});
  }
  Shell.UserIni.SaveIniKeys(SettingsSection, values);
}

void SaveHiScoreTable() {
  const std::vector<uint8_t> bytes = EncodeHiScoreTable();
  SafeFile::SaveWholeFile(HiScoreTableFileName(), std::string(bytes.begin(), bytes.end()));
}

}  // namespace

std::string HiScoreTableFileName() { return Locations::PlayerDirectory() + "/gameinfo.cfg"; }

void LoadUserSettings() {
  const std::string tablePath = HiScoreTableFileName();
  if (!SafeFile::OpenForReading(Shell.UserIni.INIFileName(), SafeFile::kSettingsLimit)) {
    // First run. A table that is already there is the player's and is kept.
    SetFirstRunDefaults();
    ReadHiScoreTable(tablePath);
    SaveUserSettings();
  }
  ReadSettings();
  if (!ReadHiScoreTable(tablePath)) FillHiScoreTableWithDefaults();
}

void SaveUserSettings() {
  // Each file is saved on its own: one that cannot be saved does not keep the other from it.
  // The error names the first file that failed; its text tells every one.
  std::optional<RuntimeError> failure;
  std::string told;
  for (void (*save)() : {SaveSettingsFile, SaveHiScoreTable}) {
    try {
      save();
    } catch (const RuntimeError& error) {
      if (!failure) failure = error;
      told += told.empty() ? error.what() : std::string("\n") + error.what();
    }
  }
  if (failure) throw RuntimeError(failure->Kind(), failure->Detail(), told);
}

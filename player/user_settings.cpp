// SPDX-License-Identifier: MIT
#include "player/user_settings.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <functional>
#include <iterator>
#include <optional>
#include <vector>

#include "base/ini_file.h"
#include "base/local_time.h"
#include "base/runtime.h"
#include "base/safe_file.h"

namespace {

const std::string SettingsSection = "MainSetting";
const std::string FullScreenKey = "L_FullScreen";
const std::string BindingsSection = "KeyBindings";
const std::string HighScoresSection = "HighScores";
const std::string LastNameKey = "LastName";
// The keys of [KeyBindings] by action; a pad button's key adds PadSuffix.
constexpr const char* ActionKeys[] = {"MoveLeft", "MoveRight", "Rotate", "Drop", "Hurry", "Pause", "Hide"};
static_assert(std::size(ActionKeys) == PlayActionCount, "a key for every action");
constexpr const char* PadSuffix = "Pad";
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
  player.Bindings = DefaultBindings();
  player.LastName.clear();
}

// The keys or the pad buttons of the bindings: how they are stored, named and checked.
struct BindingHalf {
  int32_t ActionBinding::*Member;
  std::string Suffix;  // of the file's keys
  const char* What;    // "key" or "pad button"
  int32_t (*OfName)(const std::string&, bool&);
  std::string (*Name)(int32_t);
  bool (*Bindable)(int32_t);
};

const BindingHalf KeyHalf{&ActionBinding::Key, "", "key", KeyOfName, KeyName, BindableKey};
const BindingHalf PadHalf{&ActionBinding::Pad, PadSuffix, "pad button", PadOfName, PadName, BindablePad};

// A value as a message may quote it: printable ASCII, anything else as '?'.
std::string Quoted(std::string text) {
  for (char& c : text)
    if (c < 0x20 || c > 0x7E) c = '?';
  return "\"" + text + "\"";
}

// Reads one half of the bindings in action order. A value that cannot stand gives the action
// its default, or nothing when an action read before holds that too, and is told on stderr.
void ReadBindingHalf(const IniFile& settings, const BindingHalf& half, KeyBindings& bindings) {
  const KeyBindings defaults = DefaultBindings();
  std::array<int32_t, PlayActionCount> codes{};
  codes.fill(Unbound);
  // The action read before `action` that holds `code`, or -1.
  auto holder = [&codes](int32_t code, int32_t action) {
    for (int32_t before = 0; code != Unbound && before < action; ++before)
      if (codes[static_cast<size_t>(before)] == code) return before;
    return -1;
  };
  for (int32_t action = 0; action < PlayActionCount; ++action) {
    const auto index = static_cast<size_t>(action);
    const std::string key = ActionKeys[index] + half.Suffix;
    const std::string text = settings.Read(BindingsSection, key);
    const int32_t fallback = defaults.Of[index].*half.Member;
    const std::string name = ActionName(static_cast<PlayAction>(action));
    std::string fault;
    int32_t code = fallback;
    if (!text.empty()) {
      bool known = false;
      const int32_t chosen = half.OfName(text, known);
      if (!known) {
        fault = Quoted(text) + " is no " + half.What;
      } else if (chosen != Unbound && !half.Bindable(chosen)) {
        fault = half.Name(chosen) + " cannot be bound";
      } else if (const int32_t other = holder(chosen, action); other != -1) {
        fault = half.Name(chosen) + " is already bound to " + ActionKeys[other] + half.Suffix;
      } else {
        code = chosen;
      }
    }
    if (code == fallback) {
      if (const int32_t other = holder(fallback, action); other != -1) {
        fault = (fault.empty() ? std::string("missing") : fault) + "; its default, " + half.Name(fallback) +
                ", is bound to " + ActionKeys[other] + half.Suffix + ", so " + name + " has no " + half.What;
        code = Unbound;
      } else if (!fault.empty()) {
        fault += "; " + name + " uses its default, " + (fallback == Unbound ? "none" : half.Name(fallback));
      }
    }
    codes[index] = code;
    bindings.Of[index].*half.Member = code;
    if (!fault.empty()) {
      std::fprintf(stderr, "%s, section [%s], key %s: %s\n", settings.Path().c_str(), BindingsSection.c_str(),
                   key.c_str(), fault.c_str());
    }
  }
}

// The section is written once it holds something other than the defaults, and kept after.
void SaveBindings(IniFile& settings, const KeyBindings& bindings) {
  std::vector<IniFile::KeyValue> values;
  bool present = false;
  for (const BindingHalf* half : {&KeyHalf, &PadHalf}) {
    for (int32_t action = 0; action < PlayActionCount; ++action) {
      const auto index = static_cast<size_t>(action);
      const std::string key = ActionKeys[index] + half->Suffix;
      present = present || !settings.Read(BindingsSection, key).empty();
      values.push_back({key, half->Name(bindings.Of[index].*half->Member)});
    }
  }
  if (present || bindings != DefaultBindings()) settings.WriteAll(BindingsSection, values);
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
  ReadBindingHalf(settings, KeyHalf, player.Bindings);
  ReadBindingHalf(settings, PadHalf, player.Bindings);
  player.LastName = settings.Read(HighScoresSection, LastNameKey);
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
  // After every key of [MainSetting], so that older builds read their keys as before.
  SaveBindings(settings, player.Bindings);
  if (!player.LastName.empty() || !settings.Read(HighScoresSection, LastNameKey).empty()) {
    settings.WriteAll(HighScoresSection, {{LastNameKey, player.LastName}});
  }
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

KeyBindings ReadKeyBindings(const std::string& settingsPath) {
  const IniFile settings(settingsPath);
  KeyBindings bindings;
  ReadBindingHalf(settings, KeyHalf, bindings);
  ReadBindingHalf(settings, PadHalf, bindings);
  return bindings;
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

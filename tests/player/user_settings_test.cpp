// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/local_time.h"
#include "base/runtime.h"
#include "base/safe_file.h"
#include "player/key_bindings.h"
#include "player/player.h"
#include "player/user_settings.h"

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> Lines(const fs::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

class UserSettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("kestrel_user_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    files_ = PlayerFilesIn(dir_.string());
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The settings as a fresh start of the program holds them before the load.
  void ResetEverything() { player_ = PlayerSettings{}; }
  // `caption` names the records of a table that has to be made anew.
  void LoadUserSettings(const std::string& caption = {}) { ::LoadUserSettings(files_, player_, caption); }
  void SaveUserSettings() const { ::SaveUserSettings(files_, player_); }
  fs::path Settings() const { return dir_ / "UserSettings.ini"; }
  fs::path Table() const { return dir_ / "gameinfo.cfg"; }
  void WriteSettings(const std::string& text) const { std::ofstream(Settings()) << text; }

  // A table with a different name, score and date in every record.
  void FillDistinctTable() {
    for (int t = 0; t < 3; ++t) {
      for (int e = 0; e < 8; ++e) {
        player_.HiScoreTable[t][e] = {std::string(static_cast<size_t>(e + t), 'a' + static_cast<char>(e)),
                                      1000 * t + e - 3, 45000.25 + t + e / 8.0, 0};
      }
    }
  }
  static void ExpectEntry(const HiScoreEntry& entry, const HiScoreEntry& expected, int index) {
    EXPECT_EQ(entry.Name, expected.Name) << "record " << index;
    EXPECT_EQ(entry.Points, expected.Points) << "record " << index;
    EXPECT_EQ(entry.Date, expected.Date) << "record " << index;
    EXPECT_EQ(entry.Extra, 0) << "record " << index;
  }

  fs::path dir_;
  PlayerFiles files_;
  PlayerSettings player_;
};

TEST_F(UserSettingsTest, FirstRunCreatesBothFilesWithTheDefaults) {
  player_.CheckState[0] = 0;  // whatever the settings held, the first run sets the defaults
  player_.VolumeLevel[1] = 3;
  LoadUserSettings();
  EXPECT_EQ(Lines(Settings()),
            (std::vector<std::string>{"[MainSetting]", "L_Check0=1", "L_Check1=1", "L_Volume0=44", "L_Volume1=44",
                                      "L_UserMaxStage=1", "L_UserDefStage=0", "L_UserDefDiff=0", "L_UserDefMusic=0",
                                      "Hi_Score0=0", "Hi_Score1=0", "Hi_Score2=0"}));
  // 24 empty records: a zero length, points 0, date 0, Extra 0.
  EXPECT_EQ(ReadBytes(Table()), std::vector<uint8_t>(24 * (2 + 4 + 8 + 4), 0));
  EXPECT_EQ(player_.CheckState[0], 1);
  EXPECT_EQ(player_.CheckState[1], 1);
  EXPECT_EQ(player_.VolumeLevel[0], 44);
  EXPECT_EQ(player_.VolumeLevel[1], 44);
  EXPECT_EQ(player_.UserMaxStage, 1);
  EXPECT_EQ(player_.UserDefStage, 0);
  EXPECT_EQ(player_.HiScoreTable[2][7].Name, "");
  // Nothing staged is left behind.
  for (const auto& entry : fs::directory_iterator(dir_)) {
    EXPECT_TRUE(entry.path() == Settings() || entry.path() == Table()) << entry.path();
  }
}

TEST_F(UserSettingsTest, EverythingSurvivesARestartIncludingTheHighScores) {
  WriteSettings("; the player's own note\n[Window]\nLeft=5\n");
  player_.CheckState[0] = 0;
  player_.CheckState[1] = 1;
  player_.VolumeLevel[0] = 50;
  player_.VolumeLevel[1] = 7;
  player_.UserMaxStage = 9;
  player_.UserDefStage = 8;
  player_.UserDefDiff = 2;
  player_.UserDefMusic = 2;
  player_.HiScore[0] = 120;
  player_.HiScore[1] = 5000;
  player_.HiScore[2] = 0;
  FillDistinctTable();
  PlayerSettings saved = player_;
  SaveUserSettings();

  ResetEverything();
  LoadUserSettings();
  EXPECT_EQ(player_.CheckState[0], 0);
  EXPECT_EQ(player_.CheckState[1], 1);
  EXPECT_EQ(player_.VolumeLevel[0], 50);
  EXPECT_EQ(player_.VolumeLevel[1], 7);
  EXPECT_EQ(player_.UserMaxStage, 9);
  EXPECT_EQ(player_.UserDefStage, 8);
  EXPECT_EQ(player_.UserDefDiff, 2);
  EXPECT_EQ(player_.UserDefMusic, 2);
  EXPECT_EQ(player_.HiScore[0], 120);
  EXPECT_EQ(player_.HiScore[1], 5000);
  EXPECT_EQ(player_.HiScore[2], 0);
  for (int t = 0; t < 3; ++t) {
    for (int e = 0; e < 8; ++e) ExpectEntry(player_.HiScoreTable[t][e], saved.HiScoreTable[t][e], 8 * t + e);
  }
  // The other lines of the settings file are kept.
  std::vector<std::string> lines = Lines(Settings());
  EXPECT_EQ(lines[0], "; the player's own note");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Left=5"), lines.end());
  EXPECT_FALSE(player_.FullScreen) << "a file from before full screen starts in a window";

  // Full screen comes back; the keys every build reads keep their values and order before it.
  player_.FullScreen = true;
  SaveUserSettings();
  const std::vector<std::string> withFullScreen = Lines(Settings());
  ResetEverything();
  LoadUserSettings();
  EXPECT_TRUE(player_.FullScreen);
  EXPECT_EQ(withFullScreen.back(), "L_FullScreen=1");
  EXPECT_EQ(std::vector<std::string>(withFullScreen.begin(), withFullScreen.end() - 1), lines);
  player_.FullScreen = false;
  SaveUserSettings();
  EXPECT_EQ(Lines(Settings()).back(), "L_FullScreen=0");
}

TEST(KeyBindings, NamesRoundTripAndAClashSwapsTheKeys) {
  // Every key number and pad button has one ASCII name that reads back as itself.
  for (int32_t key = LowestKey; key <= HighestKey; ++key) {
    const std::string name = KeyName(key);
    bool known = false;
    EXPECT_EQ(KeyOfName(name, known), key) << name;
    EXPECT_TRUE(known) << name;
    EXPECT_TRUE(std::all_of(name.begin(), name.end(), [](char c) { return c >= 0x20 && c <= 0x7E; })) << key;
  }
  bool known = false;
  for (int32_t pad = 0; pad < PadButtonCount; ++pad) EXPECT_EQ(PadOfName(PadName(pad), known), pad);
  EXPECT_EQ(KeyName(186), "Key 186");
  for (const char* bad : {"", "Key 0", "Key 255", "F13", "Left"}) {
    EXPECT_EQ(KeyOfName(bad, known), -1) << bad;
    EXPECT_FALSE(known) << bad;
  }
  EXPECT_FALSE(BindableKey(121) || BindableKey(122));
  EXPECT_TRUE(BindableKey(123));

  KeyBindings bindings = DefaultBindings();
  EXPECT_EQ(ActionOfKey(bindings, Unbound), -1) << "Hurry has no key, and no key finds it";
  // Rotate takes Down: Drop, which had it, takes Up in exchange.
  EXPECT_EQ(BindKey(bindings, PlayAction::Rotate, 40), static_cast<int32_t>(PlayAction::Drop));
  EXPECT_EQ(bindings[PlayAction::Rotate].Key, 40);
  EXPECT_EQ(bindings[PlayAction::Drop].Key, 38);
  // Hurry, which had no key, takes Space: Hide is left without one.
  EXPECT_EQ(BindKey(bindings, PlayAction::Hurry, 32), static_cast<int32_t>(PlayAction::Hide));
  EXPECT_EQ(bindings[PlayAction::Hide].Key, Unbound);
  EXPECT_EQ(BindPad(bindings, PlayAction::Hide, 4), static_cast<int32_t>(PlayAction::Rotate));
  EXPECT_EQ(bindings[PlayAction::Rotate].Pad, Unbound);
  // Refused keys and buttons change nothing; Unbound clears.
  const KeyBindings before = bindings;
  EXPECT_EQ(BindKey(bindings, PlayAction::Pause, 122), -1);
  EXPECT_EQ(BindPad(bindings, PlayAction::Pause, PadButtonCount), -1);
  EXPECT_EQ(bindings, before);
  EXPECT_EQ(BindKey(bindings, PlayAction::Pause, Unbound), -1);
  EXPECT_EQ(ActionOfKey(bindings, 27), -1);
}

TEST_F(UserSettingsTest, ChangedBindingsAndTheLastNameFollowEveryOldKeyAndComeBack) {
  // A file as builds without bindings write it stays byte for byte while nothing is rebound.
  WriteSettings(
      "[MainSetting]\r\nL_Check0=0\r\nL_Check1=1\r\nL_Volume0=44\r\nL_Volume1=44\r\nL_UserMaxStage=3\r\n"
      "L_UserDefStage=2\r\nL_UserDefDiff=0\r\nL_UserDefMusic=0\r\nHi_Score0=0\r\nHi_Score1=0\r\n"
      "Hi_Score2=0\r\nL_FullScreen=1\r\n");
  const std::vector<uint8_t> old = ReadBytes(Settings());
  LoadUserSettings();
  EXPECT_EQ(player_.Bindings, DefaultBindings());
  SaveUserSettings();
  EXPECT_EQ(ReadBytes(Settings()), old);

  BindKey(player_.Bindings, PlayAction::MoveLeft, 'A');
  BindKey(player_.Bindings, PlayAction::Hurry, 32);
  BindPad(player_.Bindings, PlayAction::Rotate, 9);
  player_.LastName = "Jos\xE9";
  const KeyBindings chosen = player_.Bindings;
  SaveUserSettings();
  const std::vector<uint8_t> now = ReadBytes(Settings());
  ASSERT_GT(now.size(), old.size());
  EXPECT_TRUE(std::equal(old.begin(), old.end(), now.begin())) << "the old keys, unchanged, come first";
  EXPECT_EQ(std::string(now.begin() + static_cast<std::ptrdiff_t>(old.size()), now.end()),
            "[KeyBindings]\r\nMoveLeft=A\r\nMoveRight=Right arrow\r\nRotate=Up arrow\r\nDrop=Down arrow\r\n"
            "Hurry=Space\r\nPause=Escape\r\nHide=None\r\nMoveLeftPad=d-pad left\r\nMoveRightPad=d-pad right\r\n"
            "RotatePad=north\r\nDropPad=d-pad down\r\nHurryPad=east\r\nPausePad=Start\r\nHidePad=None\r\n"
            "[HighScores]\r\nLastName=Jos\xE9\r\n");

  ResetEverything();
  testing::internal::CaptureStderr();
  LoadUserSettings();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(player_.Bindings, chosen);
  EXPECT_EQ(player_.LastName, "Jos\xE9");
  EXPECT_EQ(player_.UserMaxStage, 3);

  // Back to the defaults: the section stays, saying so.
  player_.Bindings = DefaultBindings();
  SaveUserSettings();
  EXPECT_EQ(Lines(Settings())[14], "MoveLeft=Left arrow");
}

TEST_F(UserSettingsTest, ADamagedBindingFallsBackToItsDefaultAndSaysWhy) {
  LoadUserSettings();
  WriteSettings(
      "[MainSetting]\nL_Check0=1\n[KeyBindings]\nMoveLeft=Right arrow\nMoveRight=Banana\nRotate=F11\n"
      "Drop=up ARROW\nHurry=Left arrow\nPause=Space\nMoveLeftPad=south\nRotatePad=Key 3\nHurryPad=SOUTH\n");
  testing::internal::CaptureStderr();
  LoadUserSettings();
  const std::string said = testing::internal::GetCapturedStderr();
  const std::string at = Settings().string() + ", section [KeyBindings], key ";
  EXPECT_EQ(said, at +
                      "MoveRight: \"Banana\" is no key; its default, Right arrow, is bound to MoveLeft, so Move right "
                      "has no key\n" +
                      at + "Rotate: F11 cannot be bound; Rotate uses its default, Up arrow\n" + at +
                      "Drop: Up arrow is already bound to Rotate; Drop a row uses its default, Down arrow\n" + at +
                      "Hide: missing; its default, Space, is bound to Pause, so Hide the window has no key\n" + at +
                      "RotatePad: \"Key 3\" is no pad button; its default, south, is bound to MoveLeftPad, so Rotate "
                      "has no pad button\n" +
                      at + "HurryPad: south is already bound to MoveLeftPad; Hurry uses its default, east\n");
  EXPECT_EQ(player_.Bindings.Of, (std::array<ActionBinding, PlayActionCount>{
                                     {{39, 4}, {Unbound, 1}, {38, Unbound}, {40, 3}, {37, 5}, {32, 6}, {}}}));
}

TEST_F(UserSettingsTest, DeletedTableIsFilledWithTheCaptionAndNowAndWrittenAtTheNextSave) {
  LoadUserSettings();
  fs::remove(Table());
  double before = CurrentDateTime();
  LoadUserSettings("Kestrel Player");
  double after = CurrentDateTime();
  for (const auto& table : player_.HiScoreTable) {
    for (const HiScoreEntry& entry : table) {
      EXPECT_EQ(entry.Name, "Kestrel Player");
      EXPECT_EQ(entry.Points, 0);
      EXPECT_GE(entry.Date, before);
      EXPECT_LE(entry.Date, after);
    }
  }
  EXPECT_FALSE(fs::exists(Table()));
  SaveUserSettings();
  ResetEverything();
  LoadUserSettings();
  EXPECT_EQ(player_.HiScoreTable[1][3].Name, "Kestrel Player");
}

TEST_F(UserSettingsTest, BadSettingsValuesTakeTheirDefaultOrAreBroughtIntoRange) {
  struct Case {
    const char* text;
    int32_t check0, check1, volume0, volume1, maxStage, defStage, defDiff, defMusic, hi0, hi1, hi2;
  };
  const Case cases[] = {
      // Every L_ key missing, high scores missing: defaults, high scores untouched (0).
      {"[MainSetting]\n", 1, 1, 44, 44, 1, 0, 0, 0, 0, 0, 0},
      // Not numbers, or beyond 32 bits: defaults.
      {"[MainSetting]\nL_Check0=on\nL_Check1=\nL_Volume0=loud\nL_Volume1=99999999999\nL_UserMaxStage=x\n"
       "L_UserDefStage=1 2\nL_UserDefDiff=hard\nL_UserDefMusic=?\nHi_Score0=lots\nHi_Score1=\nHi_Score2=1e99\n",
       1, 1, 44, 44, 1, 0, 0, 0, 0, 0, 0},
      // Out of range: clamped.
      {"[MainSetting]\nL_Check0=-1\nL_Check1=5\nL_Volume0=-3\nL_Volume1=75\nL_UserMaxStage=0\nL_UserDefStage=4\n"
       "L_UserDefDiff=7\nL_UserDefMusic=-2\nHi_Score0=-5\nHi_Score1= 250 \nHi_Score2=12.5\n",
       0, 1, 0, 50, 1, 0, 2, 0, 0, 250, 12},
      // The preselected stage stays below the stages unlocked; music choice at most 4.
      {"[MainSetting]\nL_UserMaxStage=3\nL_UserDefStage=9\nL_UserDefMusic=9\nL_Volume0=12.6\n", 1, 1, 13, 44, 3, 2, 0,
       4, 0, 0, 0},
  };
  LoadUserSettings();  // creates the table file
  for (const Case& c : cases) {
    ResetEverything();
    WriteSettings(c.text);
    ASSERT_NO_THROW(LoadUserSettings()) << c.text;
    EXPECT_EQ(player_.CheckState[0], c.check0) << c.text;
    EXPECT_EQ(player_.CheckState[1], c.check1) << c.text;
    EXPECT_EQ(player_.VolumeLevel[0], c.volume0) << c.text;
    EXPECT_EQ(player_.VolumeLevel[1], c.volume1) << c.text;
    EXPECT_EQ(player_.UserMaxStage, c.maxStage) << c.text;
    EXPECT_EQ(player_.UserDefStage, c.defStage) << c.text;
    EXPECT_EQ(player_.UserDefDiff, c.defDiff) << c.text;
    EXPECT_EQ(player_.UserDefMusic, c.defMusic) << c.text;
    EXPECT_EQ(player_.HiScore[0], c.hi0) << c.text;
    EXPECT_EQ(player_.HiScore[1], c.hi1) << c.text;
    EXPECT_EQ(player_.HiScore[2], c.hi2) << c.text;
  }
}

TEST_F(UserSettingsTest, ShortTableFileLoadsTheWholeRecordsOnly) {
  LoadUserSettings();
  FillDistinctTable();
  const PlayerSettings saved = player_;
  SaveUserSettings();
  const std::vector<uint8_t> full = ReadBytes(Table());
  // Where each record ends in the file.
  std::vector<size_t> ends;
  size_t at = 0;
  for (int t = 0; t < 3; ++t) {
    for (int e = 0; e < 8; ++e) {
      at += 2 + saved.HiScoreTable[t][e].Name.size() + 16;
      ends.push_back(at);
    }
  }
  ASSERT_EQ(ends.back(), full.size());

  for (size_t cut = 0; cut <= full.size(); ++cut) {
    WriteBytes(Table(), std::vector<uint8_t>(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut)));
    FillDistinctTable();  // stale content must not survive the load
    player_.HiScoreTable[2][7].Name = "stale";
    LoadUserSettings();
    for (int i = 0; i < 24; ++i) {
      const HiScoreEntry& entry = player_.HiScoreTable[i / 8][i % 8];
      if (ends[static_cast<size_t>(i)] <= cut) {
        ExpectEntry(entry, saved.HiScoreTable[i / 8][i % 8], i);
      } else {
        ExpectEntry(entry, HiScoreEntry{}, i);
      }
    }
    if (HasFailure()) FAIL() << "cut at " << cut;
  }

  // A length field that runs past the end of the file.
  std::vector<uint8_t> overrun(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(ends[2]));
  overrun.insert(overrun.end(), {0xFF, 0xFF, 'x', 'y'});
  WriteBytes(Table(), overrun);
  LoadUserSettings();
  ExpectEntry(player_.HiScoreTable[0][2], saved.HiScoreTable[0][2], 2);
  ExpectEntry(player_.HiScoreTable[0][3], HiScoreEntry{}, 3);

  // Bytes after the 24th record are ignored, and the next save writes the exact table.
  std::vector<uint8_t> longer = full;
  longer.resize(full.size() + 5000, 0xAB);
  WriteBytes(Table(), longer);
  LoadUserSettings();
  ExpectEntry(player_.HiScoreTable[2][7], saved.HiScoreTable[2][7], 23);
  SaveUserSettings();
  EXPECT_EQ(ReadBytes(Table()), full);
}

TEST_F(UserSettingsTest, ExtraIsStoredAsFourZeroBytes) {
  LoadUserSettings();
  player_.HiScoreTable[0][0] = {"AB", -2, 1.5, 77};
  SaveUserSettings();
  std::vector<uint8_t> bytes = ReadBytes(Table());
  const std::vector<uint8_t> first = {2, 0, 'A', 'B', 0xFE, 0xFF, 0xFF, 0xFF, 0, 0,
                                      0, 0, 0,   0,   0xF8, 0x3F, 77,   0,    0, 0};
  ASSERT_GE(bytes.size(), first.size());
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 20), first);
  LoadUserSettings();
  EXPECT_EQ(player_.HiScoreTable[0][0].Extra, 0);
  EXPECT_EQ(player_.HiScoreTable[0][0].Points, -2);
  EXPECT_EQ(player_.HiScoreTable[0][0].Date, 1.5);
}

TEST_F(UserSettingsTest, AFailedSaveLeavesTheOldFilesWholeAndSaysWhichFile) {
  LoadUserSettings();
  FillDistinctTable();
  SaveUserSettings();
  const std::vector<uint8_t> table = ReadBytes(Table());

  // The staging place of the table is taken by a directory: nothing can be written there.
  fs::create_directories(dir_ / "gameinfo.cfg.saving" / "blocked");
  player_.HiScore[0] = 999;
  player_.HiScoreTable[0][0].Name = "changed";
  try {
    SaveUserSettings();
    FAIL();
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.Kind(), ErrorKind::FileNotFound);
    EXPECT_EQ(error.Detail(), Table().string());
  }
  EXPECT_EQ(ReadBytes(Table()), table);
  fs::remove_all(dir_ / "gameinfo.cfg.saving");

  const std::vector<uint8_t> settings = ReadBytes(Settings());
  fs::create_directories(dir_ / "UserSettings.ini.saving" / "blocked");
  player_.HiScore[1] = 31337;
  EXPECT_THROW(SaveUserSettings(), RuntimeError);
  EXPECT_EQ(ReadBytes(Settings()), settings);
  fs::remove_all(dir_ / "UserSettings.ini.saving");

  // A table file that cannot be read stops the load with its name.
  fs::remove(Table());
  fs::create_directories(Table());
  try {
    LoadUserSettings();
    FAIL();
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.Detail(), Table().string());
  }
}

// A disk that fills after 100 bytes of any save.
ssize_t WriteUntilTheDiskIsFull(int fd, const void* data, size_t size) {
  static size_t room = 0;
  if (fd < 0) return static_cast<ssize_t>(room = size);  // sets the room left
  if (room == 0) {
    errno = ENOSPC;
    return -1;
  }
  size_t n = std::min(size, room);
  room -= n;
  return ::write(fd, data, n);
}

TEST_F(UserSettingsTest, AFullDiskKeepsBothOldFilesAndNamesTheReason) {
  WriteSettings("; note\n[MainSetting]\nL_Check0=0\nL_UserMaxStage=7\n[Other]\nKey=1\n");
  FillDistinctTable();
  SaveUserSettings();
  const std::vector<uint8_t> settings = ReadBytes(Settings()), table = ReadBytes(Table());
  player_.HiScore[0] = 777;
  player_.HiScoreTable[0][0].Name = "changed";
  WriteUntilTheDiskIsFull(-1, nullptr, 100);
  SafeFile::SetWriteFunctionForTests(WriteUntilTheDiskIsFull);
  try {
    SaveUserSettings();
    ADD_FAILURE() << "a full disk reported as success";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(std::string(error.what()), Settings().string() + " cannot be saved: No space left on device\n" +
                                             Table().string() + " cannot be saved: No space left on device");
  }
  SafeFile::SetWriteFunctionForTests(nullptr);
  EXPECT_EQ(ReadBytes(Settings()), settings);
  EXPECT_EQ(ReadBytes(Table()), table);
  EXPECT_FALSE(fs::exists(Settings().string() + ".saving"));
}

TEST_F(UserSettingsTest, AMissingSettingsFileGivesFirstRunSettingsAndKeepsTheTable) {
  FillDistinctTable();
  SaveUserSettings();
  const std::vector<uint8_t> table = ReadBytes(Table());
  for (bool danglingLink : {false, true}) {
    fs::remove(Settings());
    if (danglingLink) fs::create_symlink(dir_ / "nowhere.ini", Settings());
    ResetEverything();
    LoadUserSettings();
    EXPECT_EQ(player_.UserMaxStage, 1);
    EXPECT_EQ(ReadBytes(Table()), table) << "dangling link " << danglingLink;
    EXPECT_EQ(player_.HiScoreTable[2][7].Points, 2004);
  }
}

TEST_F(UserSettingsTest, SpecialFilesAreRefusedByNameWithoutWaiting) {
  SaveUserSettings();
  for (const fs::path& file : {Settings(), Table()}) {
    const std::vector<uint8_t> kept = ReadBytes(file);
    for (int kind = 0; kind < 3; ++kind) {
      fs::remove(file);
      if (kind == 0) {
        ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
      }
      if (kind == 1) fs::create_symlink("/dev/zero", file);
      if (kind == 2) fs::create_directory(file);
      try {
        LoadUserSettings();
        ADD_FAILURE() << file << " kind " << kind;
      } catch (const RuntimeError& error) {
        EXPECT_EQ(std::string(error.what()), file.string() + " is not a regular file");
      }
      fs::remove(file);
    }
    WriteBytes(file, kept);
  }
}

TEST_F(UserSettingsTest, StaleTemporariesOfKilledSavesAreRemovedOthersKept) {
  const std::string settings = Settings().string();
  for (const std::string& name : {settings + ".saving", settings + ".saving.tmp999999999", settings + ".tmp999999999",
                                  settings + ".saving.tmp" + std::to_string(::getppid()), settings + ".bak"}) {
    WriteBytes(name, {1});
  }
  SafeFile::RemoveStaleTemporaries(settings);
  std::vector<std::string> left;
  for (const auto& entry : fs::directory_iterator(dir_)) left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"UserSettings.ini.bak",
                                            "UserSettings.ini.saving.tmp" + std::to_string(::getppid())}));
}

}  // namespace

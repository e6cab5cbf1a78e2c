// SPDX-License-Identifier: MIT
// Randomly damaged main.ini, UserSettings.ini and gameinfo.cfg: start-up either succeeds with
// every value in its valid range or stops with a run-time error that names what is wrong.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "base/random.h"
#include "base/runtime.h"
#include "config/skin_check.h"
#include "config/skin_rules.h"
#include "player/user_settings.h"
#include "skin_fixture.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

class Mutator {
 public:
  explicit Mutator(uint32_t seed) : random_(seed) {}

  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

  // Damages an INI text line by line: values swapped for odd ones, lines dropped,
  // duplicated or cut, stray bytes.
  std::string MutateIni(const std::string& text, int edits) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    static const char* const values[] = {"",    "abc",         "-1",   "0",    "1",    "99999999999", "2.5",
                                         " 7 ", "-2147483648", "1000", "12,5", "0x10", "\\images\\",  "5000"};
    for (int edit = 0; edit < edits && !lines.empty(); ++edit) {
      size_t at = static_cast<size_t>(Below(static_cast<int>(lines.size())));
      std::string& line = lines[at];
      switch (Below(6)) {
        case 0: {
          size_t equals = line.find('=');
          if (equals != std::string::npos) line = line.substr(0, equals + 1) + values[Below(std::size(values))];
          break;
        }
        case 1:
          lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(at));
          break;
        case 2:
          lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), line);
          break;
        case 3:
          line = line.substr(0, static_cast<size_t>(Below(static_cast<int>(line.size()) + 1)));
          break;
        case 4:
          if (!line.empty())
            line[static_cast<size_t>(Below(static_cast<int>(line.size())))] = static_cast<char>(Below(256));
          break;
        default:
          lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), "[" + line + "]");
          break;
      }
    }
    std::string out;
    for (const std::string& line : lines) out += line + (Below(8) == 0 ? "\r\n" : "\n");
    return out;
  }

  // Damages binary data: flipped bytes, a cut, appended bytes.
  std::string MutateBytes(std::string bytes) {
    switch (Below(4)) {
      case 0:
        for (int i = Below(8); i >= 0 && !bytes.empty(); --i) {
          bytes[static_cast<size_t>(Below(static_cast<int>(bytes.size())))] = static_cast<char>(Below(256));
        }
        break;
      case 1:
        bytes.resize(static_cast<size_t>(Below(static_cast<int>(bytes.size()) + 1)));
        break;
      case 2:
        for (int i = Below(64); i >= 0; --i) bytes.push_back(static_cast<char>(Below(256)));
        break;
      default:
        bytes.clear();
        break;
    }
    return bytes;
  }

 private:
  std::mt19937 random_;
};

void ExpectSensibleState(const Startup& started) {
  const PlayerSettings& player = started.Player;
  const Skin& look = started.Look;
  EXPECT_TRUE(player.CheckState[0] == 0 || player.CheckState[0] == 1);
  EXPECT_TRUE(player.CheckState[1] == 0 || player.CheckState[1] == 1);
  for (int32_t level : player.VolumeLevel) {
    EXPECT_GE(level, 0);
    EXPECT_LE(level, 50);
  }
  EXPECT_GE(player.UserMaxStage, 1);
  EXPECT_GE(player.UserDefStage, 0);
  EXPECT_LT(player.UserDefStage, player.UserMaxStage);
  EXPECT_GE(player.UserDefDiff, 0);
  EXPECT_LE(player.UserDefDiff, 2);
  EXPECT_GE(player.UserDefMusic, 0);
  EXPECT_LE(player.UserDefMusic, 4);
  for (int32_t score : player.HiScore) EXPECT_GE(score, 0);
  EXPECT_EQ(look.ButtonImages.size(), static_cast<size_t>(look.Layout.ButtonImageCount) + 1);
  EXPECT_EQ(look.Layout.ButtonImageKind.size(), look.ButtonImages.size());
  EXPECT_FALSE(started.Buttons.empty());
  EXPECT_EQ(look.Sounds.size(), static_cast<size_t>(look.Layout.MaxSounds) + 1);
  EXPECT_GT(look.Images.HelpImage.Width(), 0);
  EXPECT_EQ(look.Images.ScratchSurface.Width(), 10);
}

TEST(MutationTest, DamagedFilesNeverCrashStartup) {
  SkinFixture skin;
  const fs::path dir = skin.Directory();
  // What the game refuses beyond the loaders: piece sheets of full size, the loading pictures.
  for (const char* sheet : {"s0.bmp", "s0m.bmp", "s1.bmp", "s1m.bmp", "s2.bmp", "s2m.bmp"})
    skin.WriteImage(sheet, {192, 192});
  skin.WriteImage("loading.bmp", {200, 149});
  skin.WriteImage("plan.bmp", {198, 10});
  GameRandom::UseFixedSeed(3);
  // A clean start to have every file once.
  {
    Startup clean(dir);
    clean.RunLoaders();
    clean.Player.HiScoreTable[1][2] = {"named", 40, 45000.5, 0};
    SaveUserSettings(clean.Files, clean.Player);
  }
  const std::string mainIni = ReadText(dir / "main.ini");
  const std::string settings = ReadText(dir / "UserSettings.ini");
  const std::string table = ReadText(dir / "gameinfo.cfg");

  Mutator mutator(20261208);
  int started = 0, stopped = 0;
  for (int trial = 0; trial < 400; ++trial) {
    // Which files are damaged: the two user files alone must never stop start-up.
    const bool damageMain = trial % 3 == 0;
    WriteText(dir / "main.ini", damageMain ? mutator.MutateIni(mainIni, 1 + mutator.Below(4)) : mainIni);
    const int userFiles = mutator.Below(4);
    if (userFiles == 3) {
      fs::remove(dir / "UserSettings.ini");
    } else {
      WriteText(dir / "UserSettings.ini", mutator.MutateIni(settings, 1 + mutator.Below(6)));
    }
    if (mutator.Below(6) == 0) {
      fs::remove(dir / "gameinfo.cfg");
    } else {
      WriteText(dir / "gameinfo.cfg", mutator.MutateBytes(table));
    }

    // The skin checker reads the same damage without failing itself, and calls fatal exactly
    // the skins that start-up refuses.
    const SkinReport report = damageMain ? CheckSkin(dir.string()) : SkinReport{};
    const bool checkerPlays = report.Plays();
    Startup start(dir);
    try {
      start.RunLoaders();
      RefuseUnplayableSkin(start.Reader, start.Look);
      start.LoadButtons("SelectStageButton");
      start.LoadButtons("GameButton");
      ++started;
      ExpectSensibleState(start);
      EXPECT_TRUE(checkerPlays) << "the checker calls fatal a skin that starts: "
                                << FormatSkinReport(dir.string(), report);
    } catch (const RuntimeError& error) {
      ++stopped;
      EXPECT_FALSE(checkerPlays) << "the checker passed a skin that stops start-up: " << error.what();
      EXPECT_TRUE(damageMain) << "user files alone stopped start-up: " << error.what();
      const std::string message = error.what();
      EXPECT_TRUE(message.find("main.ini") != std::string::npos || message.find(dir.string()) != std::string::npos)
          << message;
    } catch (const std::exception& error) {
      ADD_FAILURE() << "not a run-time error: " << error.what();
    }
    if (HasFailure()) {
      FAIL() << "trial " << trial << "\nmain.ini:\n"
             << ReadText(dir / "main.ini") << "\nUserSettings.ini:\n"
             << ReadText(dir / "UserSettings.ini");
    }
  }
  EXPECT_GT(started, 150);
  EXPECT_GT(stopped, 20);
  CloseAudioDevice();
  GameRandom::UseClockSeed();
}

// A named pipe, a folder or a link to /dev/zero in the place of any kind of file the game
// reads: start-up stops at once naming the file, or plays on without a sound, saying so.
TEST(MutationTest, SpecialFilesInPlaceOfEveryKindOfFileNeverHangStartup) {
  SkinFixture skin;
  const fs::path dir = skin.Directory();
  Startup(dir).RunLoaders();  // every file once
  const fs::path files[] = {dir / "main.ini",
                            dir / "UserSettings.ini",
                            dir / "gameinfo.cfg",
                            skin.ImagesDirectory() / "but0.bmp",
                            skin.ImagesDirectory() / "butm1.bmp",
                            skin.ImagesDirectory() / "0.cur",
                            dir / "sounds" / "sound0.ogg"};
  for (const fs::path& file : files) {
    const std::string kept = ReadText(file);
    for (int kind = 0; kind < 3; ++kind) {
      fs::remove(file);
      if (kind == 0) {
        ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
      }
      if (kind == 1) fs::create_directory(file);
      if (kind == 2) fs::create_symlink("/dev/zero", file);
      testing::internal::CaptureStderr();
      try {
        Startup started(dir);
        started.RunLoaders();
        EXPECT_EQ(file.filename(), "sound0.ogg") << file << " kind " << kind;
        EXPECT_EQ(started.Look.Sounds[0], 0u);
      } catch (const RuntimeError& error) {
        EXPECT_EQ(std::string(error.what()).find(file.string() + " is not a regular file"), 0u) << error.what();
      }
      const std::string told = testing::internal::GetCapturedStderr();
      if (file.filename() == "sound0.ogg") {
        EXPECT_EQ(told, file.string() + " is not a regular file; it is not played\n");
      }
      fs::remove(file);
    }
    WriteText(file, kept);
  }
  CloseAudioDevice();
}

}  // namespace

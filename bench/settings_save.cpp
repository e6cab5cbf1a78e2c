// SPDX-License-Identifier: MIT
// Closing the game with a 20 MB UserSettings.ini of valid keys, unknown keys and comments:
// SaveUserSettings writes the eleven settings keys and the high-score table. One key changes
// in every round, so every round really rewrites the file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "player/user_settings.h"

namespace {

namespace fs = std::filesystem;

constexpr size_t kSettingsBytes = 20'000'000;

fs::path MakeLargeSettings() {
  const fs::path dir = fs::temp_directory_path() / ("kestrel_bench_settings_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  std::ofstream out(dir / "UserSettings.ini", std::ios::binary);
  out << "[MainSetting]\nL_Check0=1\nL_Check1=1\nL_Volume0=44\nL_Volume1=44\nL_UserMaxStage=3\n"
         "L_UserDefStage=0\nL_UserDefDiff=0\nL_UserDefMusic=0\nHi_Score0=0\nHi_Score1=0\nHi_Score2=0\n";
  size_t written = 0;
  for (int i = 0; written < kSettingsBytes; ++i) {
    const std::string lines = (i % 1000 == 0 ? "[Section" + std::to_string(i) + "]\n" : std::string()) +
                              "; a comment the player wrote, kept as it is " + std::to_string(i) + "\n" + "UnknownKey" +
                              std::to_string(i) + "=some value\n";
    out << lines;
    written += lines.size();
  }
  return dir;
}

void BM_CloseWith20MBSettings(benchmark::State& state) {
  const fs::path dir = MakeLargeSettings();
  const PlayerFiles files = PlayerFilesIn(dir.string());
  PlayerSettings player;
  int32_t round = 0;
  for (auto _ : state) {
    player.HiScore[0] = ++round;
    SaveUserSettings(files, player);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kSettingsBytes));
  fs::remove_all(dir);
}
BENCHMARK(BM_CloseWith20MBSettings)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

// SPDX-License-Identifier: MIT
// Encoding and decoding the replay of a 60-minute game, one frame every 28 ms: mostly frames
// without input, a key pressed or let go every few frames, and the mouse moving in bursts of
// a second or so every few seconds (a move event and a new cursor each frame of a burst, now
// and then a click). The counters tell the file's size per minute of play and in all.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "base/input_codes.h"
#include "player/replay_file.h"

namespace {

constexpr size_t FramesPerMinute = 60 * 1000 / 28;
constexpr size_t Minutes = 60;

Replay SixtyMinuteGame() {
  std::mt19937 random(2026);
  const auto chance = [&random](int in) { return std::uniform_int_distribution<int>(0, in - 1)(random) == 0; };
  const auto pick = [&random](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
  Replay replay;
  replay.Start.Seed = 0x5eed;
  replay.Outcome.Record = {"Player", 48210, 46000.6, 0};
  replay.Frames.resize(FramesPerMinute * Minutes);
  int32_t x = 360, y = 270, burst = 0, heldKey = 0;
  for (ReplayFrame& frame : replay.Frames) {
    if (heldKey != 0 && chance(3)) {
      frame.Events.push_back({ReplayEventKind::KeyUp, heldKey, 0, 0});
      heldKey = 0;
    } else if (heldKey == 0 && chance(4)) {
      heldKey = pick(KeyCode::Left, KeyCode::Down);
      frame.Events.push_back({ReplayEventKind::KeyDown, heldKey, 0, 0});
    }
    if (burst == 0 && chance(150)) burst = pick(20, 60);
    if (burst > 0) {
      --burst;
      x = std::clamp(x + pick(-12, 12), 0, 719);
      y = std::clamp(y + pick(-6, 6), 0, 539);
      frame.Events.push_back({ReplayEventKind::MouseMove, 0, x, y});
      if (chance(20)) {
        frame.Events.push_back({ReplayEventKind::MouseDown, 1, 0, 0});
        frame.Events.push_back({ReplayEventKind::MouseUp, 1, 0, 0});
      }
    }
    frame.CursorX = x, frame.CursorY = y;
  }
  return replay;
}

const Replay& Game() {
  static const Replay game = SixtyMinuteGame();
  return game;
}

void ReportSize(benchmark::State& state, size_t bytes) {
  state.counters["bytes_per_minute"] = static_cast<double>(bytes) / Minutes;
  state.counters["file_KiB"] = static_cast<double>(bytes) / 1024;
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * Game().Frames.size()));
}

void BM_EncodeSixtyMinuteReplay(benchmark::State& state) {
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string file = EncodeReplay(Game());
    bytes = file.size();
    benchmark::DoNotOptimize(file.data());
  }
  ReportSize(state, bytes);
}
BENCHMARK(BM_EncodeSixtyMinuteReplay)->Unit(benchmark::kMillisecond);

void BM_DecodeSixtyMinuteReplay(benchmark::State& state) {
  const std::string file = EncodeReplay(Game());
  for (auto _ : state) {
    const Replay replay = DecodeReplay(file, "bench.replay");
    benchmark::DoNotOptimize(replay.Frames.data());
  }
  ReportSize(state, file.size());
}
BENCHMARK(BM_DecodeSixtyMinuteReplay)->Unit(benchmark::kMillisecond);

}  // namespace

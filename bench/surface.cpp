// SPDX-License-Identifier: MIT
// The shape of a game frame drawn through Surface: a 724 x 544 back buffer, a full-screen
// background and 200 masked 32 x 32 sprites, next to memcpy of the back buffer's bytes.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "surface/surface.h"

namespace {

constexpr int kSprites = 200;

struct Scene {
  Surface back, background, sprite, mask;
  std::vector<std::pair<int, int>> positions;

  Scene() {
    back.Create(724, 544);
    background.Create(724, 544);
    for (int y = 0; y < 544; ++y)
      for (int x = 0; x < 724; ++x)
        background.Pixels()[y * (background.Pitch() / 2) + x] = static_cast<uint16_t>((x * 7 + y * 13) & 0x7FFF);
    // A shaded ball: opaque in the middle, a soft rim, transparent corners.
    sprite.Create(32, 32);
    mask.Create(32, 32);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        double distance = std::hypot(x - 15.5, y - 15.5);
        int opacity = distance < 13 ? 31 : distance < 16 ? static_cast<int>((16 - distance) * 10) : 0;
        sprite.Pixels()[y * 16 + x] = static_cast<uint16_t>(31 - y / 2) << 10 | static_cast<uint16_t>(x / 2) << 5 | 12;
        mask.Pixels()[y * 16 + x] = static_cast<uint16_t>(opacity);
      }
    // Spread over the screen, some crossing its edges.
    std::mt19937 rng(7);
    for (int i = 0; i < kSprites; ++i)
      positions.emplace_back(static_cast<int>(rng() % 760) - 18, static_cast<int>(rng() % 580) - 18);
  }

  void DrawSprites() {
    for (auto [x, y] : positions) back.BlendThroughMask(sprite, x, y, Rect{0, 0, 32, 32}, mask, 32);
  }
};

void BM_Sprites200ThroughMasks(benchmark::State& state) {
  Scene scene;
  scene.back.CopyFrom(scene.background, 0, 0);
  for (auto _ : state) {
    scene.DrawSprites();
    benchmark::DoNotOptimize(scene.back.Pixels());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kSprites);
}
BENCHMARK(BM_Sprites200ThroughMasks)->Unit(benchmark::kMicrosecond);

void BM_BackgroundCopy(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    scene.back.CopyFrom(scene.background, 0, 0);
    benchmark::DoNotOptimize(scene.back.Pixels());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * scene.back.Pitch() * scene.back.Height());
}
BENCHMARK(BM_BackgroundCopy)->Unit(benchmark::kMicrosecond);

void BM_BackgroundMemcpy(benchmark::State& state) {
  Scene scene;
  const size_t bytes = static_cast<size_t>(scene.back.Pitch()) * scene.back.Height();
  for (auto _ : state) {
    std::memcpy(scene.back.Pixels(), scene.background.Pixels(), bytes);
    benchmark::DoNotOptimize(scene.back.Pixels());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_BackgroundMemcpy)->Unit(benchmark::kMicrosecond);

// Background plus sprites: a whole frame, to hold against the 28 ms budget.
void BM_FrameBackgroundAndSprites(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    scene.back.CopyFrom(scene.background, 0, 0);
    scene.DrawSprites();
    benchmark::DoNotOptimize(scene.back.Pixels());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_FrameBackgroundAndSprites)->Unit(benchmark::kMicrosecond);

}  // namespace

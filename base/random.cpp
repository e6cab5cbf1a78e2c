// SPDX-License-Identifier: MIT
#include "base/random.h"

#include <algorithm>
#include <chrono>
#include <random>

namespace GameRandom {
namespace {

uint64_t ClockTicks() {
  return static_cast<uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

void SeedFrom(std::mt19937_64& engine, uint64_t a, uint64_t b) {
  std::seed_seq words{static_cast<uint32_t>(a), static_cast<uint32_t>(a >> 32), static_cast<uint32_t>(b),
                      static_cast<uint32_t>(b >> 32)};
  engine.seed(words);
}

// Seeded once, from the clock and the system's entropy source.
std::mt19937_64& Engine() {
  static std::mt19937_64 engine = [] {
    std::mt19937_64 fresh;
    SeedFrom(fresh, ClockTicks(), std::random_device{}());
    return fresh;
  }();
  return engine;
}

bool g_fixedSeed = false;

}  // namespace

double Next() {
  // 53 random bits: every value is a multiple of 2^-53 below 1.
  return static_cast<double>(Engine()() >> 11) * 0x1.0p-53;
}

int32_t Below(int32_t n) {
  if (n <= 0) return 0;
  const auto value = static_cast<int32_t>(Next() * n);
  return std::min(value, n - 1);
}

void Reseed() {
  if (g_fixedSeed) return;
  // The engine's own next output goes into the new seed beside the clock, so two reseeds
  // within one clock tick still lead to different sequences.
  const uint64_t carried = Engine()();
  SeedFrom(Engine(), carried, ClockTicks());
}

void UseFixedSeed(uint64_t seed) {
  g_fixedSeed = true;
  Engine().seed(seed);
}

void UseClockSeed() {
  g_fixedSeed = false;
  SeedFrom(Engine(), ClockTicks(), std::random_device{}());
}

}  // namespace GameRandom

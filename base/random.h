// SPDX-License-Identifier: MIT
// The game's random generator: uniform values u with 0 <= u < 1. "Reseeding from the clock"
// never repeats a sequence; tests substitute a seeded generator so every rule reproduces.
#pragma once

#include <cstdint>

namespace GameRandom {
// A value u, 0 <= u < 1.
double Next();
// The integer part of u x n: 0 .. n - 1.
int32_t Below(int32_t n);
// Reseeds from the clock, keeping successive draws independent.
void Reseed();
// Tests: a fixed seed; reseeding then continues the same reproducible sequence.
void UseFixedSeed(uint64_t seed);
void UseClockSeed();
}  // namespace GameRandom

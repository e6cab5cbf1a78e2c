// STUB: replaced by the game's random generator.
#include "game/random.h"

namespace GameRandom {
double Next() { return 0.5; }
int32_t Below(int32_t n) { return static_cast<int32_t>(0.5 * n); }
void Reseed() {}
void UseFixedSeed(uint64_t) {}
void UseClockSeed() {}
}  // namespace GameRandom

// STUB: replaced by the board rules.
#include "game/board.h"

void CountTargets() {}
bool CanPlace(const PairBox&, int32_t, int32_t) { return false; }
void DropStep() {}
bool FallStep() { return false; }
bool ResolveRuns() { return false; }
bool VanishStep() { return false; }
void SpawnPair() {}
void MakeNextPair() {}
void PlaceTargets(int32_t) {}
void AddScore(const std::string&, int32_t, int32_t, int32_t) {}

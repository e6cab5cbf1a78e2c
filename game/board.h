// The well and what happens on it without the player's hand: targets, pairs landing, loose
// pieces falling, runs of four vanishing, scoring.
#pragma once

#include <cstdint>
#include <string>

#include "game/game_state.h"

void CountTargets();
bool CanPlace(const PairBox& pair, int32_t column, int32_t row);
void DropStep();
bool FallStep();
bool ResolveRuns();
bool VanishStep();
void SpawnPair();
void MakeNextPair();
void PlaceTargets(int32_t stage);
void AddScore(const std::string& text, int32_t x, int32_t y, int32_t multiplier);

// SPDX-License-Identifier: MIT
// The well and what happens on it without the player's hand: targets, pairs landing, loose
// pieces falling, runs of four vanishing, scoring.
#pragma once

#include <cstdint>
#include <string>

#include "game/game.h"

// A pair lies flat when its top row is empty (its halves in the bottom row of its box).
inline bool PairIsHorizontal(const PairBox& pair) { return pair.Cells[0][0].Colour < 0; }
// TargetCount := the targets left on the board.
void CountTargets(GameState& state);
// Whether the pair's halves fit the board with its box at (column, row); halves outside the
// well always fit.
bool CanPlace(const GameState& state, const PairBox& pair, int32_t column, int32_t row);
// The pair moves down a row, or lands (and ends the game when it lands in its entry row).
void DropStep(Game& game);
// Every loose piece that can fall one row does; false when none moved.
bool FallStep(GameState& state);
// Marks every line of four or more, scores the targets in them and starts their vanishing;
// false when there is none.
bool ResolveRuns(Game& game);
// Vanishing cells take their next step (every third frame) or go; false when none vanishes.
bool VanishStep(GameState& state);
// The next pair enters at the top; a new next pair is drawn.
void SpawnPair(GameState& state);
void MakeNextPair(GameState& state);
// An empty board with the stage's targets.
void PlaceTargets(GameState& state, int32_t stage);
// Adds text's points times the multiplier to the score and its pop-up at (x, y); the best score
// of the difficulty follows.
void AddScore(Game& game, const std::string& text, int32_t x, int32_t y, int32_t multiplier);

// SPDX-License-Identifier: MIT
// What makes a game play again exactly: every input reaches the rules through ApplyInput, in
// the order and the frame it arrived, and the whole state of the rules can be written down,
// read back and compared.
#pragma once

#include <cstdint>
#include <string>

#include "game/game.h"
#include "player/replay_file.h"

// One input of the window delivered to the rules (after the window took its own keys).
void ApplyInput(Game& game, const ReplayEvent& event);

// The whole state of the rules as bytes (the screen buttons excepted: each screen loads its
// own), and back. DecodeGameState refuses bytes that are not such a state, or that hold
// values no game reaches, by returning false (the state unchanged).
std::string EncodeGameState(const GameState& state);
bool DecodeGameState(const std::string& bytes, GameState& state);
// A digest of the whole state, for comparing a replay with its game frame by frame.
uint64_t GameStateHash(const GameState& state);

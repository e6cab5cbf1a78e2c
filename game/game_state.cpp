// SPDX-License-Identifier: MIT
#include "game/game_state.h"

#include "base/runtime.h"

BoardCell& BoardAt(GameState& state, int32_t column, int32_t row) {
  return state.Board[CheckIndex(column, 0, BoardColumns - 1)][CheckIndex(row, 0, BoardRows - 1)];
}

const BoardCell& BoardAt(const GameState& state, int32_t column, int32_t row) {
  return state.Board[CheckIndex(column, 0, BoardColumns - 1)][CheckIndex(row, 0, BoardRows - 1)];
}

#include "game/game_state.h"

#include "shell/runtime.h"

GameGlobals Game;
void ResetGameGlobals() { Game = GameGlobals{}; }
BoardCell& BoardAt(int32_t column, int32_t row) {
  return Game.Board[CheckIndex(column, 0, BoardColumns - 1)][CheckIndex(row, 0, BoardRows - 1)];
}

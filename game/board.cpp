// SPDX-License-Identifier: MIT
#include "game/board.h"

#include <algorithm>

#include "audio/sound_effects.h"
#include "base/random.h"
#include "base/runtime.h"

namespace {

constexpr int32_t LastColumn = BoardColumns - 1;
constexpr int32_t LastRow = BoardRows - 1;
constexpr int32_t RunMark = 10;
constexpr int32_t VanishStepSize = 10;
constexpr int32_t LastVanishColour = 60;

bool IsEmpty(const BoardCell& cell) { return cell.Colour < 0; }
bool InsideBoard(int32_t column, int32_t row) {
  return column >= 0 && column <= LastColumn && row >= 0 && row <= LastRow;
}

// The board position a join kind points to, relative to the cell.
struct Offset {
  int32_t dc, dr;
};
constexpr Offset JoinOffsets[4] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
// The join kind that points back from the neighbour in that direction.
constexpr int32_t OppositeJoin[4] = {LinkDown, LinkLeft, LinkUp, LinkRight};

// Adds one mark to each of the four cells from (column, row) in steps of (dc, dr) when all
// four hold the same piece colour.
void MarkRunOfFour(GameState& state, int32_t column, int32_t row, int32_t dc, int32_t dr) {
  const BoardCell& first = BoardAt(state, column, row);
  if (IsEmpty(first)) return;
  for (int32_t i = 1; i < 4; ++i) {
    if (BoardAt(state, column + i * dc, row + i * dr).Colour != first.Colour) return;
  }
  for (int32_t i = 0; i < 4; ++i) {
    BoardCell& cell = BoardAt(state, column + i * dc, row + i * dr);
    cell.Link = CheckedAdd(cell.Link, RunMark);
  }
}

// A half whose partner is vanishing becomes a single piece.
void UnlinkPartnerOf(GameState& state, int32_t column, int32_t row) {
  const int32_t link = BoardAt(state, column, row).Link;
  if (link < LinkUp || link > LinkLeft) return;
  const int32_t c = column + JoinOffsets[link].dc;
  const int32_t r = row + JoinOffsets[link].dr;
  if (!InsideBoard(c, r)) return;
  BoardCell& partner = BoardAt(state, c, r);
  if (partner.Colour >= 0 && partner.Colour <= 9 && partner.Link == OppositeJoin[link]) partner.Link = LinkSingle;
}

int32_t TargetQuotaOf(int32_t stage) {
  if (stage <= 4) return CheckedAdd(CheckedMul(2, stage), 3);
  if (stage <= 14) return CheckedSub(CheckedMul(3, stage), 1);
  if (stage <= 18) return CheckedSub(CheckedMul(4, stage), 15);
  if (stage == 19) return 62;
  return 68;
}

}  // namespace

void CountTargets(GameState& state) {
  int32_t count = 0;
  for (int32_t r = 0; r <= LastRow; ++r) {
    for (int32_t c = 0; c <= LastColumn; ++c) {
      const BoardCell& cell = BoardAt(state, c, r);
      if (cell.Link == LinkTarget && cell.Colour >= 0) ++count;
    }
  }
  state.TargetCount = count;
}

bool CanPlace(const GameState& state, const PairBox& pair, int32_t column, int32_t row) {
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < 2; ++x) {
      const int32_t c = CheckedAdd(column, x);
      const int32_t r = CheckedAdd(row, y);
      if (InsideBoard(c, r) && !IsEmpty(pair.Cells[x][y]) && !IsEmpty(BoardAt(state, c, r))) return false;
    }
  }
  return true;
}

void DropStep(Game& game) {
  GameState& state = game.State;
  PairBox& pair = state.Pair;
  const int32_t r = pair.Row;
  const int32_t c = pair.Column;
  bool lands = CheckedAdd(r, 1) >= LastRow;
  if (!lands) {
    const int32_t below = CheckedAdd(r, 2);
    lands = !IsEmpty(BoardAt(state, c, below)) ||
            (c + 1 <= LastColumn && !IsEmpty(pair.Cells[1][1]) && !IsEmpty(BoardAt(state, c + 1, below)));
  }
  if (!lands) {
    pair.Row = r + 1;
    state.StageTick = 0;
    game.Services.PlaySound(SoundStep);
    return;
  }
  game.Services.PlaySound(SoundLand);
  if (r == -2) {
    state.PlayState = PlayGameOver;
    for (auto& mood : state.TargetMood) {
      mood[0] = 0;
      mood[1] = 3;
    }
    state.AngelState[1] = 3;
    game.Services.PlaySound(SoundGameOver);
  }
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < 2; ++x) {
      if (IsEmpty(pair.Cells[x][y]) || r + y < 0) continue;
      BoardAt(state, CheckedAdd(c, x), r + y) = pair.Cells[x][y];
    }
  }
  state.PairActive = false;
}

bool FallStep(GameState& state) {
  bool moved = false;
  for (int32_t r = LastRow - 1; r >= 0; --r) {
    for (int32_t c = 0; c <= LastColumn; ++c) {
      BoardCell& cell = BoardAt(state, c, r);
      BoardCell& below = BoardAt(state, c, r + 1);
      if (IsEmpty(cell) || !IsEmpty(below) || cell.Link == LinkTarget) continue;
      bool falls = true;
      if (cell.Link == LinkRight || cell.Link == LinkLeft) {
        const int32_t partnerColumn = cell.Link == LinkRight ? c + 1 : c - 1;
        falls = IsEmpty(BoardAt(state, partnerColumn, r)) || IsEmpty(BoardAt(state, partnerColumn, r + 1));
      }
      if (!falls) continue;
      below = cell;
      cell.Colour = -1;
      moved = true;
    }
  }
  return moved;
}

bool ResolveRuns(Game& game) {
  GameState& state = game.State;
  for (int32_t c = 0; c <= LastColumn; ++c) {
    for (int32_t r = 0; r <= LastRow - 3; ++r) MarkRunOfFour(state, c, r, 0, 1);
  }
  for (int32_t r = 0; r <= LastRow; ++r) {
    for (int32_t c = 0; c <= LastColumn - 3; ++c) MarkRunOfFour(state, c, r, 1, 0);
  }

  int32_t markedTargets = 0;
  for (int32_t r = 0; r <= LastRow; ++r) {
    for (int32_t c = 0; c <= LastColumn; ++c) {
      const BoardCell& cell = BoardAt(state, c, r);
      if (cell.Link >= RunMark && cell.Link % RunMark == LinkTarget) ++markedTargets;
    }
  }
  const int32_t points = CheckedAdd(
      CheckedAdd(CheckedAdd(CheckedMul(10, CheckedDiv(state.Stage, 5)), 10), CheckedMul(10, state.ChainCount)),
      CheckedMul(10, markedTargets));
  const std::string pointText = std::to_string(points);
  const int32_t multiplier = CheckedAdd(state.ChainCount, 1);

  bool marked = false;
  bool targetHit = false;
  for (int32_t r = 0; r <= LastRow; ++r) {
    for (int32_t c = 0; c <= LastColumn; ++c) {
      BoardCell& cell = BoardAt(state, c, r);
      if (cell.Link < RunMark) continue;
      marked = true;
      cell.Link %= RunMark;
      if (cell.Link == LinkTarget) {
        AddScore(game, pointText, BoardLeft + BoardCellSize * c, BoardTop + BoardCellSize * r, multiplier);
        targetHit = true;
        const int32_t colour = CheckIndex(cell.Colour, 0, 2);
        state.TargetMood[colour][1] = 1;
        state.TargetMood[colour][0] = 0;
      }
      cell.Colour = CheckedAdd(cell.Colour, VanishStepSize);
    }
  }

  for (int32_t r = 0; r <= LastRow; ++r) {
    for (int32_t c = 0; c <= LastColumn; ++c) {
      if (BoardAt(state, c, r).Colour >= VanishStepSize) UnlinkPartnerOf(state, c, r);
    }
  }
  if (targetHit) state.ChainCount = CheckedAdd(state.ChainCount, 1);
  return marked;
}

bool VanishStep(GameState& state) {
  bool vanishing = false;
  const bool advances = CheckedMod(state.Tick, 3) == 0;
  for (int32_t r = 0; r <= LastRow; ++r) {
    for (int32_t c = 0; c <= LastColumn; ++c) {
      BoardCell& cell = BoardAt(state, c, r);
      if (cell.Colour < VanishStepSize) continue;
      vanishing = true;
      if (cell.Colour >= LastVanishColour) {
        cell.Colour = -1;
      } else if (advances) {
        cell.Colour += VanishStepSize;
      }
    }
  }
  return vanishing;
}

void SpawnPair(GameState& state) {
  state.Pair = state.NextPair;
  state.Pair.Column = 3;
  state.Pair.Row = -2;
  state.PairActive = true;
  MakeNextPair(state);
  state.AngelState[0] = 0;
  state.AngelState[1] = 1;
}

void MakeNextPair(GameState& state) {
  GameRandom::Reseed();
  PairBox& next = state.NextPair;
  next.Cells[0][0].Colour = -1;
  next.Cells[1][0].Colour = -1;
  BoardCell& left = next.Cells[0][1];
  left.Colour = 2 - GameRandom::Below(3);
  left.Link = LinkRight;
  left.Phase = 0;
  BoardCell& right = next.Cells[1][1];
  right.Colour = 2 - GameRandom::Below(3);
  right.Link = LinkLeft;
  right.Phase = 0;
}

void PlaceTargets(GameState& state, int32_t stage) {
  for (auto& column : state.Board) {
    for (auto& cell : column) cell.Colour = -1;
  }
  state.TargetQuota = TargetQuotaOf(stage);
  int32_t colour = 2 - GameRandom::Below(3);
  const int32_t topLimit = std::max(2, CheckedSub(7, CheckedDiv(stage, 3)));
  const int32_t allowedRows = CheckedSub(12, topLimit);
  int32_t placed = 0;
  while (placed < state.TargetQuota) {
    GameRandom::Reseed();
    const int32_t column = 7 - GameRandom::Below(8);
    const int32_t row = 12 - GameRandom::Below(allowedRows);
    BoardCell& cell = BoardAt(state, column, row);
    if (IsEmpty(cell)) {
      cell.Colour = colour;
      cell.Link = LinkTarget;
      ++placed;
      colour = colour == 2 ? 0 : colour + 1;
    }
    GameRandom::Reseed();
    cell.Phase = 499 - GameRandom::Below(500);
  }
}

void AddScore(Game& game, const std::string& text, int32_t x, int32_t y, int32_t multiplier) {
  GameState& state = game.State;
  state.Score = CheckedAdd(state.Score, CheckedMul(TextToInt(text), multiplier));
  for (ScorePopup& popup : state.ScorePopups) {
    if (popup.Active) continue;
    popup.Text = text;
    popup.Multiplier = std::min(multiplier, 9);
    popup.X = x;
    popup.Y = y;
    popup.Age = 0;
    popup.Active = true;
    break;
  }
  int32_t& best = game.Player.HiScore[CheckIndex(state.Difficulty, 0, 2)];
  if (best < state.Score) best = state.Score;
}

// SPDX-License-Identifier: MIT
// Thousands of random boards settled and resolved step by step, with the invariants of the
// well checked after every step.
#include <algorithm>
#include <random>
#include <set>
#include <string>

#include "base/random.h"
#include "game/board.h"
#include "game/game_test_support.h"

namespace {

constexpr int32_t Opposite[4] = {2, 3, 0, 1};
constexpr int32_t StepColumn[4] = {0, 1, 0, -1};
constexpr int32_t StepRow[4] = {-1, 0, 1, 0};

bool Inside(int32_t c, int32_t r) { return c >= 0 && c < BoardColumns && r >= 0 && r < BoardRows; }
bool IsPiece(const BoardCell& cell) { return cell.Colour >= 0 && cell.Colour <= 9; }

std::set<std::pair<int32_t, int32_t>> TargetPlaces(const GameState& state) {
  std::set<std::pair<int32_t, int32_t>> places;
  for (int32_t c = 0; c < BoardColumns; ++c) {
    for (int32_t r = 0; r < BoardRows; ++r) {
      if (state.Board[c][r].Colour >= 0 && state.Board[c][r].Link == 5) places.insert({c, r});
    }
  }
  return places;
}

// Every joined half's partner is there and points back; no mark is left on the board.
void ExpectLinksConsistent(const GameState& state, const char* when) {
  for (int32_t c = 0; c < BoardColumns; ++c) {
    for (int32_t r = 0; r < BoardRows; ++r) {
      const BoardCell& cell = state.Board[c][r];
      if (cell.Colour < 0) continue;
      ASSERT_LT(cell.Link, 10) << when;
      if (!IsPiece(cell) || cell.Link > 3) continue;
      const int32_t pc = c + StepColumn[cell.Link], pr = r + StepRow[cell.Link];
      ASSERT_TRUE(Inside(pc, pr)) << when << " at " << c << "," << r;
      const BoardCell& partner = state.Board[pc][pr];
      ASSERT_TRUE(IsPiece(partner)) << when << " at " << c << "," << r;
      ASSERT_EQ(partner.Link, Opposite[cell.Link]) << when << " at " << c << "," << r;
    }
  }
}

// After settling nothing floats: a piece over a hole is only a horizontal half whose partner
// stands on something; and no line of four of one colour is left.
void ExpectSettled(const GameState& state) {
  for (int32_t c = 0; c < BoardColumns; ++c) {
    for (int32_t r = 0; r + 1 < BoardRows; ++r) {
      const BoardCell& cell = state.Board[c][r];
      if (cell.Colour < 0 || cell.Link == 5 || state.Board[c][r + 1].Colour >= 0) continue;
      ASSERT_TRUE(cell.Link == 1 || cell.Link == 3) << "floating piece at " << c << "," << r;
      const int32_t pc = cell.Link == 1 ? c + 1 : c - 1;
      ASSERT_GE(state.Board[pc][r + 1].Colour, 0) << "floating pair at " << c << "," << r;
    }
  }
  for (int32_t c = 0; c < BoardColumns; ++c) {
    for (int32_t r = 0; r < BoardRows; ++r) {
      const int32_t colour = state.Board[c][r].Colour;
      if (colour < 0) continue;
      bool vertical = r + 3 < BoardRows, horizontal = c + 3 < BoardColumns;
      for (int32_t i = 1; i < 4; ++i) {
        vertical = vertical && state.Board[c][r + i].Colour == colour;
        horizontal = horizontal && state.Board[c + i][r].Colour == colour;
      }
      ASSERT_FALSE(vertical || horizontal) << "run of four left at " << c << "," << r;
    }
  }
}

// Settles the board as the frame logic does, checking every step.
void SettleChecked(Game& game) {
  GameState& state = game.State;
  state.ChainCount = 0;
  for (int step = 0; step < 1000; ++step) {
    const auto targetsBefore = TargetPlaces(state);
    if (FallStep(state)) {
      ASSERT_EQ(TargetPlaces(state), targetsBefore) << "targets never move";
      ASSERT_NO_FATAL_FAILURE(ExpectLinksConsistent(state, "after a fall"));
      continue;
    }
    for (ScorePopup& popup : state.ScorePopups) popup.Active = false;
    const int32_t scoreBefore = state.Score;
    const int32_t chainBefore = state.ChainCount;
    if (!ResolveRuns(game)) {
      ASSERT_EQ(state.Score, scoreBefore);
      ASSERT_NO_FATAL_FAILURE(ExpectSettled(state));
      return;
    }
    ASSERT_NO_FATAL_FAILURE(ExpectLinksConsistent(state, "after a pass"));
    // Each target cleared opened one pop-up; the pop-ups of a pass show the same points, in
    // tens, and the chain's multiplier (shown up to 9); the score grew by what they show.
    int32_t cleared = 0;
    for (const auto& [c, r] : targetsBefore) {
      if (state.Board[c][r].Colour >= 10) ++cleared;
    }
    std::set<std::string> texts;
    int32_t popups = 0;
    for (const ScorePopup& popup : state.ScorePopups) {
      if (!popup.Active) continue;
      ++popups;
      texts.insert(popup.Text);
      ASSERT_EQ(popup.Multiplier, std::min(chainBefore + 1, 9));
    }
    ASSERT_EQ(popups, cleared);
    ASSERT_LE(texts.size(), 1u);
    const int32_t points = texts.empty() ? 0 : std::stoi(*texts.begin());
    ASSERT_EQ(points % 10, 0);
    ASSERT_EQ(state.Score - scoreBefore, points * (chainBefore + 1) * cleared);
    ASSERT_EQ(state.ChainCount, chainBefore + (cleared > 0 ? 1 : 0));
    while (VanishStep(state)) ++state.Tick;
  }
  FAIL() << "the board never settled";
}

// A board of random targets, single pieces and whole pairs anywhere in the well.
void RandomBoard(GameState& state, std::mt19937& random) {
  for (auto& column : state.Board) {
    for (auto& cell : column) cell = BoardCell{};
  }
  std::uniform_int_distribution<int32_t> colour(0, 2), kind(0, 9);
  const int32_t fill = std::uniform_int_distribution<int32_t>(2, 9)(random);
  for (int32_t r = 0; r < BoardRows; ++r) {
    for (int32_t c = 0; c < BoardColumns; ++c) {
      if (state.Board[c][r].Colour >= 0 || kind(random) >= fill) continue;
      const int32_t k = kind(random);
      if (k < 3) {
        state.Board[c][r] = BoardCell{colour(random), 5, 0};
      } else if (k < 5) {
        state.Board[c][r] = BoardCell{colour(random), 4, 0};
      } else if (k < 8 && c + 1 < BoardColumns && state.Board[c + 1][r].Colour < 0) {
        state.Board[c][r] = BoardCell{colour(random), 1, 0};
        state.Board[c + 1][r] = BoardCell{colour(random), 3, 0};
      } else if (r + 1 < BoardRows) {
        state.Board[c][r] = BoardCell{colour(random), 2, 0};
        state.Board[c][r + 1] = BoardCell{colour(random), 0, 0};
      }
    }
  }
}

using SettleRandomTest = GameTest;

TEST_F(SettleRandomTest, RandomBoardsSettleToAValidRestingState) {
  std::mt19937 random(1234);
  for (int board = 0; board < 3000; ++board) {
    state.Stage = std::uniform_int_distribution<int32_t>(0, 30)(random);
    state.Score = 0;
    RandomBoard(state, random);
    ASSERT_NO_FATAL_FAILURE(ExpectLinksConsistent(state, "generated")) << "board " << board;
    ASSERT_NO_FATAL_FAILURE(SettleChecked(game)) << "board " << board;
  }
}

TEST_F(SettleRandomTest, StagesFilledByDroppedPairsStayValid) {
  std::mt19937 random(99);
  for (int round = 0; round < 1000; ++round) {
    const int32_t stage = std::uniform_int_distribution<int32_t>(0, 25)(random);
    state.Stage = stage;
    state.Score = 0;
    PlaceTargets(state, stage);
    MakeNextPair(state);
    const int32_t pairs = std::uniform_int_distribution<int32_t>(1, 40)(random);
    for (int32_t i = 0; i < pairs; ++i) {
      SpawnPair(state);
      const bool vertical = random() % 2 == 0;
      const int32_t column = std::uniform_int_distribution<int32_t>(0, vertical ? 7 : 6)(random);
      // Only where the whole pair fits into the well.
      if (state.Board[column][0].Colour >= 0 || state.Board[column][1].Colour >= 0 ||
          (!vertical && state.Board[column + 1][1].Colour >= 0)) {
        continue;
      }
      const int32_t left = state.Pair.Cells[0][1].Colour, right = state.Pair.Cells[1][1].Colour;
      if (vertical) {
        SetVerticalPair(state, right, left, column, -1);
      } else {
        SetHorizontalPair(state, left, right, column, -1);
      }
      while (state.PairActive) DropStep(game);
      ASSERT_NO_FATAL_FAILURE(ExpectLinksConsistent(state, "landed")) << "game " << round << " pair " << i;
      ASSERT_NO_FATAL_FAILURE(SettleChecked(game)) << "game " << round << " pair " << i;
    }
  }
}

}  // namespace

// SPDX-License-Identifier: MIT
// The well without the player's hand: runs of four, scoring, gravity, landing, targets.
#include <algorithm>
#include <climits>
#include <set>

#include "audio/sound_effects.h"
#include "base/random.h"
#include "base/runtime.h"
#include "game/board.h"
#include "game/game_test_support.h"

namespace {

using BoardTest = GameTest;

std::vector<std::string> EmptyRows(int n) { return std::vector<std::string>(n, ". . . . . . . ."); }

// Runs VanishStep frame by frame until no vanishing cell is left; returns the frames taken.
int VanishCompletely(GameState& state) {
  int frames = 0;
  while (VanishStep(state)) {
    ++state.Tick;
    ++frames;
  }
  return frames;
}

int ActivePopups(const GameState& state) {
  return static_cast<int>(std::count_if(std::begin(state.ScorePopups), std::end(state.ScorePopups),
                                        [](const ScorePopup& p) { return p.Active; }));
}

TEST_F(BoardTest, RunsOfFourAndFiveVanishAndScoreEachTargetOnce) {
  // A column of four targets: each scores 10 x (0 + 0 + 4 + 1) = 50.
  SetBoard(state, {"T0 . . . . . . .", "T0 . . . . . . .", "T0 . . . . . . .", "T0 . . . . . . ."});
  EXPECT_TRUE(ResolveRuns(game));
  EXPECT_EQ(state.Score, 200);
  EXPECT_EQ(state.ChainCount, 1);
  EXPECT_EQ(ActivePopups(state), 4);
  EXPECT_EQ(state.ScorePopups[0].Text, "50");
  EXPECT_EQ(state.ScorePopups[0].X, 228);
  EXPECT_EQ(state.ScorePopups[0].Y, 90 + 32 * 9);  // top to bottom
  EXPECT_EQ(state.ScorePopups[3].Y, 90 + 32 * 12);
  EXPECT_EQ(state.TargetMood[0][1], 1);
  EXPECT_EQ(state.TargetMood[1][1], 0);
  for (int r = 9; r <= 12; ++r) {
    EXPECT_EQ(state.Board[0][r].Colour, 10);
    EXPECT_EQ(state.Board[0][r].Link, 5);  // marks never survive the pass
  }
  CountTargets(state);
  EXPECT_EQ(state.TargetCount, 4) << "vanishing targets count until they are empty";

  // A line of five: the middle cells carry two marks but vanish and score once.
  state = GameState{};
  SetBoard(state, {". T2 T2 T2 T2 T2 . ."});
  EXPECT_TRUE(ResolveRuns(game));
  EXPECT_EQ(ActivePopups(state), 5);
  EXPECT_EQ(state.ScorePopups[0].Text, "60");
  EXPECT_EQ(state.Score, 300);
  EXPECT_EQ(BoardRowsText(state)[12], ". *2 *2 *2 *2 *2 . .");

  // Crossed runs: the shared corner is one target; seven in all, 80 points each.
  state = GameState{};
  SetBoard(state, {". . . T1 . . . .", ". . . T1 . . . .", ". . . T1 . . . .", "T1 T1 T1 T1 . . . ."});
  EXPECT_TRUE(ResolveRuns(game));
  EXPECT_EQ(ActivePopups(state), 7);
  EXPECT_EQ(state.Score, 7 * 80);

  // At the right wall, with a target elsewhere that is in no run: four targets, 50 each.
  state = GameState{};
  SetBoard(state, {"T0 . . . . . . .", ". . . . T2 T2 T2 T2"});
  EXPECT_TRUE(ResolveRuns(game));
  EXPECT_EQ(state.Score, 200);
  EXPECT_EQ(BoardRowsText(state)[12], ". . . . *2 *2 *2 *2");
  EXPECT_EQ(BoardRowsText(state)[11], "T0 . . . . . . .");

  // Three in a row and mixed colours do nothing.
  state = GameState{};
  SetBoard(state, {"T0 T0 T0 T1 S0 S0 S0 .", "S1 S1 S1 . . . . ."});
  EXPECT_FALSE(ResolveRuns(game));
  EXPECT_EQ(state.Score, 0);
  EXPECT_EQ(state.ChainCount, 0);
}

TEST_F(BoardTest, HalvesAloneScoreNothingAndDoNotChain) {
  SetBoard(state, {"S1 S1 R1 L1 . . . ."});
  state.ChainCount = 2;
  EXPECT_TRUE(ResolveRuns(game));
  EXPECT_EQ(state.Score, 0);
  EXPECT_EQ(state.ChainCount, 2);
  EXPECT_EQ(ActivePopups(state), 0);
}

TEST_F(BoardTest, PointsFollowStageChainAndTargetsCleared) {
  // Stage 7: a first pass clearing two targets gives each 10 x (1 + 0 + 2 + 1) = 40.
  state.Stage = 7;
  SetBoard(state, {"T0 T0 S0 S0 . . . ."});
  ASSERT_TRUE(ResolveRuns(game));
  EXPECT_EQ(state.Score, 80);
  EXPECT_EQ(state.ScorePopups[0].Text, "40");
  EXPECT_EQ(state.ScorePopups[0].Multiplier, 1);
  EXPECT_EQ(state.ChainCount, 1);
  VanishCompletely(state);

  // The following pass clears one target: 10 x (1 + 1 + 1 + 1) x 2 = 80.
  SetBoard(state, {"S2 T2 S2 S2 . . . ."});
  ASSERT_TRUE(ResolveRuns(game));
  EXPECT_EQ(state.Score, 160);
  EXPECT_EQ(state.ScorePopups[2].Text, "40");
  EXPECT_EQ(state.ScorePopups[2].Multiplier, 2);
  EXPECT_EQ(state.ChainCount, 2);
  EXPECT_EQ(player.HiScore[0], 160);

  // A long chain keeps the pop-up's multiplier at 9 but adds the full one.
  state = GameState{};
  state.ChainCount = 10;
  SetBoard(state, {"T1 S1 S1 S1 . . . ."});
  ASSERT_TRUE(ResolveRuns(game));
  EXPECT_EQ(state.ScorePopups[0].Text, "120");
  EXPECT_EQ(state.ScorePopups[0].Multiplier, 9);
  EXPECT_EQ(state.Score, 120 * 11);
}

TEST_F(BoardTest, AddScoreWithoutAFreePopupSlotStillScoresAndOverflowRaises) {
  for (ScorePopup& popup : state.ScorePopups) popup.Active = true;
  state.Difficulty = 2;
  AddScore(game, "70", 1, 2, 3);
  EXPECT_EQ(state.Score, 210);
  EXPECT_EQ(player.HiScore[2], 210);
  EXPECT_TRUE(state.ScorePopups[49].Text.empty());

  state.ScorePopups[7].Active = false;
  AddScore(game, "10", 5, 6, 1);
  EXPECT_EQ(state.ScorePopups[7].Text, "10");
  EXPECT_EQ(state.ScorePopups[7].X, 5);

  state.Score = INT32_MAX - 5;
  try {
    AddScore(game, "10", 0, 0, 1);
    FAIL() << "a score beyond 32 bits must raise";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::Overflow);
  }
}

TEST_F(BoardTest, VanishingTakesSixStepsPacedByTheFrameCounter) {
  SetBoard(state, {"S0 S0 S0 S0 . . . ."});
  ASSERT_TRUE(ResolveRuns(game));
  EXPECT_EQ(state.Board[0][12].Colour, 10);
  // Steps 2 to 6 are reached on frames 3, 6, 9, 12 and 15; frame 16 empties the cells and
  // still reports them.
  state.Tick = 1;
  EXPECT_EQ(VanishCompletely(state), 16);
  for (int c = 0; c < 4; ++c) EXPECT_EQ(state.Board[c][12].Colour, -1);
  EXPECT_FALSE(VanishStep(state));
}

TEST_F(BoardTest, HalvesOfAVanishedPartnerBecomeSingleAndFallAlone) {
  // The bottom half of a vertical pair lies in a horizontal run; its top half survives.
  SetBoard(state, {". . . D2 . . . .", "S1 S1 S1 U1 . . . .", "S0 . S0 S0 . . . ."});
  ASSERT_TRUE(ResolveRuns(game));
  EXPECT_EQ(state.Board[3][10].Link, 4);
  // An unrelated piece whose join points elsewhere is left alone.
  SetBoard(state, {". . R2 L2 . . . .", "S1 S1 S1 S1 . . . ."});
  ASSERT_TRUE(ResolveRuns(game));
  EXPECT_EQ(state.Board[2][11].Link, 1);
  EXPECT_EQ(state.Board[3][11].Link, 3);

  SetBoard(state, {". . . D2 . . . .", "S1 S1 S1 U1 . . . .", "S0 . S0 S0 . . . ."});
  ASSERT_TRUE(ResolveRuns(game));
  VanishCompletely(state);
  EXPECT_TRUE(FallStep(state));
  EXPECT_EQ(BoardRowsText(state)[11], ". . . S2 . . . .");
  EXPECT_FALSE(FallStep(state));
}

// A pair that landed from row -1 left its lower half in the top row still joined upwards, to
// nothing; a run through that half vanishes like any other.
TEST_F(BoardTest, ARunThroughAHalfJoinedAboveTheWellVanishes) {
  auto rows = EmptyRows(13);
  rows[0] = "U1 . . . . . . .";
  rows[1] = rows[2] = rows[3] = "S1 . . . . . . .";
  SetBoard(state, rows);
  EXPECT_TRUE(ResolveRuns(game));
  for (int r = 0; r < 4; ++r) EXPECT_EQ(state.Board[0][r].Colour, 11) << r;
  rows[0] = "U1 S1 S1 S1 . . . .";
  rows[1] = rows[2] = rows[3] = ". . . . . . . .";
  SetBoard(state, rows);
  EXPECT_TRUE(ResolveRuns(game));
  EXPECT_EQ(BoardRowsText(state)[0], "*1 *1 *1 *1 . . . .");
}

TEST_F(BoardTest, GravityMovesEachPieceOneRowAndKeepsHorizontalPairsTogether) {
  // A vertical pair falls as two cells in one step; a target never falls.
  SetBoard(state, {". D1 . . . . . .", ". U0 . . . . T2 .", ". . . . . . . .", ". . . . . . . ."});
  EXPECT_TRUE(FallStep(state));
  EXPECT_EQ(BoardRowsText(state)[10], ". D1 . . . . T2 .");
  EXPECT_EQ(BoardRowsText(state)[11], ". U0 . . . . . .");

  // A horizontal pair resting on one half does not fall.
  SetBoard(state, {". . . R0 L1 . . .", "S2 S2 S2 S2 . . . ."});
  EXPECT_FALSE(FallStep(state));
  EXPECT_FALSE(FallStep(state));
  // Once its support vanishes both halves fall together in one step.
  ASSERT_TRUE(ResolveRuns(game));
  VanishCompletely(state);
  EXPECT_TRUE(FallStep(state));
  EXPECT_EQ(BoardRowsText(state)[12], ". . . R0 L1 . . .");
  // The same pair resting on its right half stays too.
  SetBoard(state, {". . . R0 L1 . . .", ". . . . S2 . . ."});
  EXPECT_FALSE(FallStep(state));
}

TEST_F(BoardTest, DropStepMovesLandsAndEndsTheGame) {
  SetBoard(state, {". . . S0 . . . ."});
  state.PlayState = PlayRunning;
  state.StageTick = 17;
  SetVerticalPair(state, 1, 2, 3, 9);
  DropStep(game);  // to row 10: the box's bottom cell reaches row 11, above the piece
  EXPECT_EQ(state.Pair.Row, 10);
  EXPECT_EQ(state.StageTick, 0);
  EXPECT_EQ(services.TakeSounds(), std::vector<int32_t>{SoundStep});
  DropStep(game);  // blocked: lands
  EXPECT_FALSE(state.PairActive);
  EXPECT_EQ(services.TakeSounds(), std::vector<int32_t>{SoundLand});
  EXPECT_EQ(BoardRowsText(state)[10], ". . . D1 . . . .");
  EXPECT_EQ(BoardRowsText(state)[11], ". . . U2 . . . .");

  // Landed halves keep their joins.
  SetBoard(state, {});
  SetHorizontalPair(state, 0, 1, 6, 11);
  DropStep(game);
  EXPECT_EQ(BoardRowsText(state)[12], ". . . . . . R0 L1");
}

// A falling pair moves down while the row under its halves is free: it lands with its halves
// on the floor (row 12) or on a piece under either half, never a row early or late.
TEST_F(BoardTest, PairsLandOnTheFloorAndOnAPieceUnderEitherHalf) {
  struct Case {
    const char* what;
    bool flat;
    int32_t column, row;
    std::vector<std::pair<int32_t, int32_t>> pieces;
    bool lands;
  };
  const Case cases[] = {
      {"flat, empty floor two rows down", true, 3, 10, {}, false},
      {"flat, on the floor", true, 3, 11, {}, true},
      {"upright, empty floor two rows down", false, 3, 9, {}, false},
      {"upright, a row above the floor", false, 3, 10, {}, false},
      {"upright, on the floor", false, 3, 11, {}, true},
      {"flat, a piece under the left half", true, 3, 5, {{3, 7}}, true},
      {"flat, a piece under the right half", true, 3, 5, {{4, 7}}, true},
      {"flat, a piece two rows under", true, 3, 5, {{3, 8}, {4, 8}}, false},
      {"flat against the right wall, a piece under the right half", true, 6, 5, {{7, 7}}, true},
      {"upright, a piece under it", false, 7, 5, {{7, 7}}, true},
      {"upright, a piece beside the cell under it", false, 6, 5, {{7, 7}}, false},
  };
  for (const Case& c : cases) {
    SetPairAmongPieces(state, c.pieces, c.flat, c.column, c.row);
    DropStep(game);
    EXPECT_EQ(state.PairActive, !c.lands) << c.what;
    EXPECT_EQ(services.TakeSounds(), std::vector<int32_t>{c.lands ? SoundLand : SoundStep}) << c.what;
    if (!c.lands) {
      EXPECT_EQ(state.Pair.Row, c.row + 1) << c.what;
      continue;
    }
    // Landed where it was: its lower half or halves in the row above what holds them.
    const int32_t lower = c.row + 1;
    EXPECT_EQ(state.Board[c.column][lower].Colour, c.flat ? 0 : 1) << c.what;
    const BoardCell& other = c.flat ? state.Board[c.column + 1][lower] : state.Board[c.column][c.row];
    EXPECT_EQ(other.Colour, c.flat ? 1 : 0) << c.what;
  }
}

TEST_F(BoardTest, LandingAboveTheWell) {
  // Blocked at row -1: the lower cells land on row 0, the upper half is dropped, the game goes on.
  auto rows = EmptyRows(12);
  rows.push_back(". . . . . . . .");
  rows[1] = ". . . S0 . . . .";
  SetBoard(state, rows);
  SetVerticalPair(state, 1, 2, 3, -1);
  DropStep(game);
  EXPECT_EQ(state.PlayState, PlayRunning);
  EXPECT_EQ(BoardRowsText(state)[0], ". . . U2 . . . .");
  EXPECT_EQ(services.TakeSounds(), std::vector<int32_t>{SoundLand});
  // The half that lost its partner keeps link 0 and falls like a single piece.
  state.Board[3][1].Colour = -1;
  EXPECT_TRUE(FallStep(state));
  EXPECT_EQ(BoardRowsText(state)[1], ". . . U2 . . . .");

  // Blocked at row -2: game over, nothing of the pair is written.
  SetBoard(state, {});
  state.Board[4][0] = BoardCell{1, 4, 0};
  SetHorizontalPair(state, 2, 2, 3, -2);
  DropStep(game);
  EXPECT_EQ(state.PlayState, PlayGameOver);
  EXPECT_EQ(services.TakeSounds(), (std::vector<int32_t>{SoundLand, SoundGameOver}));
  for (const auto& mood : state.TargetMood) {
    EXPECT_EQ(mood[0], 0);
    EXPECT_EQ(mood[1], 3);
  }
  EXPECT_EQ(state.AngelState[1], 3);
  EXPECT_FALSE(state.PairActive);
  EXPECT_EQ(BoardRowsText(state)[0], ". . . . S1 . . .");
}

TEST_F(BoardTest, CanPlaceChecksOnlyFilledBoxCellsInsideTheWell) {
  // Row 11 holds a piece in column 7, row 12 one in column 0.
  SetBoard(state, {". . . . . . . S0", "S0 . . . . . . ."});
  SetHorizontalPair(state, 1, 1, 0, 0);
  const PairBox& pair = state.Pair;  // its halves lie on the box's bottom row
  EXPECT_TRUE(CanPlace(state, pair, 0, 10));
  EXPECT_FALSE(CanPlace(state, pair, 0, 11));   // left half on (0, 12)
  EXPECT_FALSE(CanPlace(state, pair, 6, 10));   // right half on (7, 11)
  EXPECT_FALSE(CanPlace(state, pair, 7, 10));   // left half on (7, 11), right half beyond the wall
  EXPECT_TRUE(CanPlace(state, pair, 8, 10));    // wholly beyond the right wall: the caller's business
  EXPECT_FALSE(CanPlace(state, pair, -1, 11));  // right half on (0, 12)
  EXPECT_TRUE(CanPlace(state, pair, -2, 11));
  EXPECT_TRUE(CanPlace(state, pair, 3, -5));  // above the well
  EXPECT_TRUE(CanPlace(state, pair, 0, 12));  // halves below the well
  EXPECT_THROW(BoardAt(state, 8, 0), RuntimeError);
  EXPECT_THROW(BoardAt(state, 0, 13), RuntimeError);
  EXPECT_THROW(BoardAt(state, -1, 0), RuntimeError);
}

TEST_F(BoardTest, TargetsPerStageFillOnlyTheAllowedRows) {
  struct Case {
    int32_t stage, quota, topRow;
  };
  // Each stage's quota, and the highest row its targets may take (every row from there down
  // is taken now and then): 3 targets from row 8, 2 more each stage, 3 more from stage 5 and
  // 4 more from stage 15, 62 at stage 19 and 68 from stage 20; one row higher every third
  // stage, row 3 at the highest.
  const Case cases[] = {{0, 3, 8},   {2, 7, 8},   {3, 9, 7},   {4, 11, 7},  {5, 14, 7},  {14, 41, 4},
                        {15, 45, 3}, {17, 53, 3}, {18, 57, 3}, {19, 62, 3}, {20, 68, 3}, {25, 68, 3}};
  for (const Case& c : cases) {
    int topRow = BoardRows;
    for (int trial = 0; trial < 40; ++trial) {
      SetBoard(state, {"S0 S0 S0 S0 S0 S0 S0 S0"});  // cleared first
      state.Board[0][0] = BoardCell{1, 1, 0};
      PlaceTargets(state, c.stage);
      EXPECT_EQ(state.TargetQuota, c.quota) << "stage " << c.stage;
      int counts[3] = {0, 0, 0};
      for (int col = 0; col < BoardColumns; ++col) {
        for (int r = 0; r < BoardRows; ++r) {
          const BoardCell& cell = state.Board[col][r];
          if (cell.Colour < 0) continue;
          EXPECT_EQ(cell.Link, 5);
          ++counts[cell.Colour];
          topRow = std::min(topRow, r);
          EXPECT_GE(cell.Phase, 0);
          EXPECT_LE(cell.Phase, 499);
        }
      }
      ASSERT_EQ(counts[0] + counts[1] + counts[2], c.quota) << "stage " << c.stage;
      EXPECT_LE(*std::max_element(counts, counts + 3) - *std::min_element(counts, counts + 3), 1);
      CountTargets(state);
      EXPECT_EQ(state.TargetCount, c.quota);
    }
    EXPECT_EQ(topRow, c.topRow) << "stage " << c.stage;
  }
  // The board was emptied first: the targets alone are left.
  EXPECT_EQ(std::count_if(&state.Board[0][0], &state.Board[0][0] + BoardColumns * BoardRows,
                          [](const BoardCell& cell) { return cell.Colour >= 0; }),
            68);
}

TEST_F(BoardTest, PairsEnterAtTheTopWithAFreshPreview) {
  std::set<std::pair<int32_t, int32_t>> colourPairs;
  MakeNextPair(state);
  for (int i = 0; i < 200; ++i) {
    const PairBox next = state.NextPair;
    SpawnPair(state);
    const PairBox& pair = state.Pair;
    EXPECT_EQ(pair.Column, 3);
    EXPECT_EQ(pair.Row, -2);
    EXPECT_TRUE(state.PairActive);
    EXPECT_EQ(pair.Cells[0][0].Colour, -1);
    EXPECT_EQ(pair.Cells[1][0].Colour, -1);
    EXPECT_EQ(pair.Cells[0][1].Colour, next.Cells[0][1].Colour);
    EXPECT_EQ(pair.Cells[1][1].Colour, next.Cells[1][1].Colour);
    EXPECT_EQ(pair.Cells[0][1].Link, 1);
    EXPECT_EQ(pair.Cells[1][1].Link, 3);
    EXPECT_EQ(state.AngelState[0], 0);
    EXPECT_EQ(state.AngelState[1], 1);
    colourPairs.insert({pair.Cells[0][1].Colour, pair.Cells[1][1].Colour});
  }
  EXPECT_EQ(colourPairs.size(), 9u) << "both colours are drawn independently";
}

TEST(GameRandomTest, FixedSeedsReproduceAndClockReseedsNeverRepeat) {
  GameRandom::UseFixedSeed(7);
  std::vector<int32_t> first;
  for (int i = 0; i < 32; ++i) {
    GameRandom::Reseed();
    first.push_back(GameRandom::Below(1000));
  }
  GameRandom::UseFixedSeed(7);
  for (int i = 0; i < 32; ++i) {
    GameRandom::Reseed();
    EXPECT_EQ(GameRandom::Below(1000), first[i]);
  }

  // Reseeding from the clock many times within one clock tick still gives fresh values.
  GameRandom::UseClockSeed();
  std::set<double> seen;
  for (int i = 0; i < 10000; ++i) {
    GameRandom::Reseed();
    seen.insert(GameRandom::Next());
  }
  EXPECT_EQ(seen.size(), 10000u);
  for (double u : seen) {
    EXPECT_GE(u, 0.0);
    EXPECT_LT(u, 1.0);
  }
  for (int i = 0; i < 1000; ++i) {
    const int32_t value = GameRandom::Below(3);
    EXPECT_TRUE(value >= 0 && value < 3);
  }
}

}  // namespace

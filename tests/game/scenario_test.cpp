// SPDX-License-Identifier: MIT
// Whole stages played frame by frame through the frame logic and the input handlers only: a
// scripted player picks each pair's place by trying every turn and column on a copy of the
// game, then plays it with the arrow keys.
#include <algorithm>
#include <numeric>
#include <utility>

#include "audio/sound_effects.h"
#include "base/input_codes.h"
#include "base/random.h"
#include "game/board.h"
#include "game/frame.h"
#include "game/game_test_support.h"
#include "game/input.h"

namespace {

using KeyCode::Down, KeyCode::Left, KeyCode::Right, KeyCode::Up;

struct Placement {
  int32_t turns = 0;
  int32_t column = 0;
};

// An empty cell that a falling piece can still reach: nothing above it.
bool Reachable(const GameState& game, int32_t column, int32_t row) {
  for (int32_t r = 0; r < row; ++r) {
    if (game.Board[column][r].Colour >= 0) return false;
  }
  return true;
}

// How promising a settled board is: fewer targets first, then targets with pieces of their
// colour lined up beside them, then a low stack.
int64_t Rate(const GameState& game) {
  if (game.PlayState == PlayGameOver) return INT64_MIN;
  int64_t rating = 0;
  int32_t height = 0;
  for (int32_t c = 0; c < BoardColumns; ++c) {
    for (int32_t r = 0; r < BoardRows; ++r) {
      if (game.Board[c][r].Colour >= 0) {
        const int32_t columnHeight = BoardRows - r;
        height += columnHeight + (columnHeight > 9 ? 50 : 0);
        break;
      }
    }
  }
  rating -= 3 * height;
  if (game.Board[3][1].Colour >= 0 || game.Board[4][1].Colour >= 0) rating -= 100000;
  for (int32_t c = 0; c < BoardColumns; ++c) {
    for (int32_t r = 0; r < BoardRows; ++r) {
      const BoardCell& target = game.Board[c][r];
      if (target.Colour < 0 || target.Link != 5) continue;
      rating -= 10000;
      int32_t best = 0;
      // Every window of four through the target, vertical and horizontal, free of other colours.
      for (int32_t vertical = 0; vertical < 2; ++vertical) {
        for (int32_t start = -3; start <= 0; ++start) {
          int32_t same = 0;
          bool open = true;
          for (int32_t i = 0; i < 4 && open; ++i) {
            const int32_t cc = vertical ? c : c + start + i;
            const int32_t rr = vertical ? r + start + i : r;
            if (cc < 0 || cc >= BoardColumns || rr < 0 || rr >= BoardRows) {
              open = false;
            } else if (game.Board[cc][rr].Colour == target.Colour) {
              ++same;
            } else if (game.Board[cc][rr].Colour >= 0 || !Reachable(game, cc, rr)) {
              open = false;
            }
          }
          if (open) best = std::max(best, same);
        }
      }
      rating += 100 * best * best;
    }
  }
  return rating;
}

class ScriptedPlayer {
 public:
  // The best place for the pair now falling, found by playing each on a silent copy of the game.
  static Placement Choose(const Game& game) {
    QuietServices silent;
    PlayerSettings player = game.Player;
    Game trial{player, game.Layout, silent};
    Placement best;
    int64_t bestRating = INT64_MIN;
    for (int32_t turns = 0; turns < 4; ++turns) {
      for (int32_t column = 0; column < BoardColumns; ++column) {
        trial.State = game.State;
        if (!Place(trial, {turns, column})) continue;
        while (trial.State.PairActive) DropStep(trial);
        Settle(trial);
        const int64_t rating = Rate(trial.State);
        if (rating > bestRating) {
          bestRating = rating;
          best = {turns, column};
        }
      }
    }
    return best;
  }

  // Turns and moves the pair with the arrow keys; false when the column cannot be reached.
  static bool Place(Game& game, const Placement& placement) {
    const PairBox& pair = game.State.Pair;
    for (int32_t i = 0; i < placement.turns; ++i) KeyStep(game, Up);
    for (int32_t i = 0; i < BoardColumns && pair.Column != placement.column; ++i) {
      KeyStep(game, pair.Column < placement.column ? Right : Left);
    }
    return pair.Column == placement.column;
  }

 private:
  static void Settle(Game& game) {
    GameState& state = game.State;
    for (;;) {
      if (FallStep(state)) continue;
      if (!ResolveRuns(game)) return;
      while (VanishStep(state)) ++state.Tick;
    }
  }
};

class ScenarioTest : public GameTest {
 protected:
  // Plays whole frames until the play state leaves running play: each new pair is placed
  // by keys as soon as it has made its first step, then pressed down one row per frame. The
  // pop-ups a frame opens are kept before the frame's animation starts them aging.
  int PlayUntilTheStageEnds(int maxFrames) {
    bool placed = false;
    for (int frame = 1; frame <= maxFrames; ++frame) {
      FrameStep(game, state.Mouse.X, state.Mouse.Y);
      for (const ScorePopup& popup : state.ScorePopups) {
        if (popup.Active && popup.Age == 0) opened_.push_back(popup);
      }
      AnimationStep(game);
      if (state.PlayState != PlayRunning) return frame;
      if (!state.PairActive) {
        placed = false;
      } else if (state.Pair.Row == -1 && !placed) {
        ScriptedPlayer::Place(game, ScriptedPlayer::Choose(game));
        placed = true;
      } else if (placed) {
        KeyStep(game, Down);
      }
    }
    return -1;
  }

  // Every target cleared opened one pop-up and added its points times the chain multiplier.
  void ExpectScoreMatchesPopups(int32_t scoreBefore, int32_t targetsCleared) {
    int32_t popups = 0;
    int32_t points = 0;
    for (const ScorePopup& popup : std::exchange(opened_, {})) {
      ++popups;
      // The pass's points: 10 x (stage div 5 + chain + targets in the pass + 1), at least
      // one target in the pass.
      const int32_t tens = std::stoi(popup.Text) / 10;
      EXPECT_EQ(std::stoi(popup.Text) % 10, 0);
      EXPECT_GE(tens - state.Stage / 5 - (popup.Multiplier - 1) - 1, 1) << popup.Text;
      longestChain_ = std::max(longestChain_, popup.Multiplier);
      points += std::stoi(popup.Text) * popup.Multiplier;
      EXPECT_GE(popup.X, 228);
      EXPECT_LE(popup.X, 228 + 32 * 7);
    }
    EXPECT_EQ(popups, targetsCleared);
    EXPECT_EQ(state.Score, scoreBefore + points);
  }

  static int Count(const std::vector<int32_t>& sounds, int32_t n) {
    return static_cast<int>(std::count(sounds.begin(), sounds.end(), n));
  }

  std::vector<ScorePopup> opened_;  // the pop-ups opened since the last check
  int32_t longestChain_ = 0;
};

TEST_F(ScenarioTest, TwoStagesClearedThenAGameLost) {
  GameRandom::UseFixedSeed(48);  // a game in which a chain happens
  // Stage selection: stage 0, difficulty 0, music 1.
  player.UserMaxStage = 1;
  state.GameMode = ModeStageSelect;
  state.MusicChoice = 1;
  state.Buttons = services.LoadButtons("SelectStageButton");
  services.TakeLog();
  Release(1, ButtonCentreX(0), ButtonCentreY(0));
  EXPECT_EQ(state.GameMode, ModePlay);
  EXPECT_EQ(state.PlayState, OverlayHelp);
  EXPECT_EQ(services.TakeLog(), (std::vector<std::string>{"sound 0", "music stop", "music open sounds/back1.ogg",
                                                          "music play", "buttons GameButton", "sound 3"}));
  EXPECT_EQ(state.TargetQuota, 3);

  // The help picture waits for a click; then stage 0 is played to its clear.
  Frames(10);
  EXPECT_EQ(state.StageTick, -24);
  Release(1, 700, 530);
  EXPECT_EQ(state.PlayState, PlayRunning);
  const int stage0Frames = PlayUntilTheStageEnds(20000);
  ASSERT_GT(stage0Frames, 0) << "stage 0 did not end";
  EXPECT_EQ(state.PlayState, PlayStageClear);
  EXPECT_EQ(player.UserMaxStage, 2);
  EXPECT_EQ(state.TargetCount, 0);
  ExpectScoreMatchesPopups(0, 3);
  EXPECT_GE(state.Score, 3 * 20);
  EXPECT_EQ(player.HiScore[0], state.Score);
  auto sounds = services.TakeSounds();
  EXPECT_EQ(sounds.back(), SoundStageClear);
  EXPECT_EQ(Count(sounds, SoundStageClear), 1);
  EXPECT_GE(Count(sounds, SoundVanish), 1);
  EXPECT_GE(Count(sounds, SoundLand), 1);
  EXPECT_EQ(Count(sounds, SoundGameOver), 0);
  // The picture stays until a click; frames change nothing.
  const int32_t score = state.Score;
  Frames(30);
  EXPECT_EQ(state.PlayState, PlayStageClear);

  // A click: stage 1 with the score carried over and no help picture.
  Release(1, 700, 530);
  EXPECT_EQ(state.Stage, 1);
  EXPECT_EQ(state.Score, score);
  EXPECT_EQ(state.PlayState, PlayRunning);
  EXPECT_EQ(state.TargetQuota, 5);
  EXPECT_EQ(services.TakeSounds(), std::vector<int32_t>{SoundStageStart});
  const int32_t clockAtStage1 = state.TimeCount;
  EXPECT_EQ(state.SpeedBase, clockAtStage1);
  ASSERT_GT(PlayUntilTheStageEnds(40000), 0) << "stage 1 did not end";
  EXPECT_EQ(state.PlayState, PlayStageClear);
  EXPECT_EQ(player.UserMaxStage, 3);
  ExpectScoreMatchesPopups(score, 5);
  EXPECT_GT(state.TimeCount, clockAtStage1) << "the play clock runs on across stages";
  EXPECT_EQ(longestChain_, 2) << "a second clearing pass of one settling counts as a chain";

  // Stage 2 without a hand on the controls: the pairs pile up in the middle until one cannot
  // leave its entry row.
  Release(1, 700, 530);
  services.TakeSounds();
  int frames = 0;
  while (state.PlayState == PlayRunning && frames < 100000) {
    Frame();
    ++frames;
  }
  EXPECT_EQ(state.PlayState, PlayGameOver);
  sounds = services.TakeSounds();
  ASSERT_GE(sounds.size(), 2u);
  EXPECT_EQ(std::vector<int32_t>(sounds.end() - 2, sounds.end()), (std::vector<int32_t>{SoundLand, SoundGameOver}));
  EXPECT_EQ(state.AngelState[1], 3);
  for (const auto& mood : state.TargetMood) EXPECT_EQ(mood[1], 3);
  EXPECT_TRUE(state.Board[3][0].Colour >= 0 || state.Board[4][0].Colour >= 0);
  EXPECT_EQ(player.UserMaxStage, 3);

  // The game-over picture is frozen; its new-game button leads straight to stage selection.
  const auto board = BoardRowsText(state);
  Frames(50);
  EXPECT_EQ(BoardRowsText(state), board);
  state.Buttons = services.LoadButtons("GameButton");
  services.TakeLog();
  Release(1, ButtonCentreX(0), ButtonCentreY(0));
  EXPECT_EQ(state.GameMode, ModeStageSelect);
  EXPECT_EQ(services.TakeLog(), (std::vector<std::string>{"sound 0", "buttons SelectStageButton", "music stop"}));
}

}  // namespace

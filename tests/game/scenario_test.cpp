// Whole stages played frame by frame through the frame logic and the input handlers only: a
// scripted player picks each pair's place by trying every turn and column on a copy of the
// game, then plays it with the arrow keys.
#include <algorithm>
#include <numeric>

#include "audio/audio.h"
#include "config/user_settings.h"
#include "game/board.h"
#include "game/game_test_support.h"
#include "game/input.h"
#include "game/random.h"
#include "shell/shell_state.h"

namespace {

constexpr int32_t KeyLeft = 37, KeyUp = 38, KeyRight = 39, KeyDown = 40;

struct Placement {
  int32_t turns = 0;
  int32_t column = 0;
};

// An empty cell that a falling piece can still reach: nothing above it.
bool Reachable(const GameGlobals& game, int32_t column, int32_t row) {
  for (int32_t r = 0; r < row; ++r) {
    if (game.Board[column][r].Colour >= 0) return false;
  }
  return true;
}

// How promising a settled board is: fewer targets first, then targets with pieces of their
// colour lined up beside them, then a low stack.
int64_t Rate(const GameGlobals& game) {
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
  // The best place for the pair now falling, found by playing each on a copy of the game
  // (silently; `services` are put back afterwards).
  Placement Choose(GameServices& services) {
    const GameGlobals saved = Game;
    const int32_t savedTick = Shell.GameTick;
    SetGameServices(nullptr);  // no services: nothing sounds, nothing is loaded
    Placement best;
    int64_t bestRating = INT64_MIN;
    for (int32_t turns = 0; turns < 4; ++turns) {
      for (int32_t column = 0; column < BoardColumns; ++column) {
        Game = saved;
        if (!Place({turns, column})) continue;
        while (Game.PairActive) DropStep();
        Settle();
        const int64_t rating = Rate(Game);
        if (rating > bestRating) {
          bestRating = rating;
          best = {turns, column};
        }
      }
    }
    Game = saved;
    Shell.GameTick = savedTick;
    SetGameServices(&services);
    return best;
  }

  // Turns and moves the pair with the arrow keys; false when the column cannot be reached.
  static bool Place(const Placement& placement) {
    for (int32_t i = 0; i < placement.turns; ++i) KeyStep(KeyUp);
    for (int32_t i = 0; i < BoardColumns && Game.Pair.Column != placement.column; ++i) {
      KeyStep(Game.Pair.Column < placement.column ? KeyRight : KeyLeft);
    }
    return Game.Pair.Column == placement.column;
  }

 private:
  static void Settle() {
    for (;;) {
      if (FallStep()) continue;
      if (!ResolveRuns()) return;
      while (VanishStep()) ++Shell.GameTick;
    }
  }
};

class ScenarioTest : public GameTest {
 protected:
  // Plays frame by frame until the play state leaves running play: each new pair is placed
  // by keys as soon as it has made its first step, then pressed down one row per frame.
  int PlayUntilTheStageEnds(int maxFrames) {
    bool placed = false;
    for (int frame = 1; frame <= maxFrames; ++frame) {
      Frame();
      if (Game.PlayState != PlayRunning) return frame;
      if (!Game.PairActive) {
        placed = false;
      } else if (Game.Pair.Row == -1 && !placed) {
        const Placement placement = player_.Choose(services);
        ScriptedPlayer::Place(placement);
        placed = true;
      } else if (placed) {
        KeyStep(KeyDown);
      }
    }
    return -1;
  }

  // Every target cleared opened one pop-up and added its points times the chain multiplier.
  void ExpectScoreMatchesPopups(int32_t scoreBefore, int32_t targetsCleared) {
    int32_t popups = 0;
    int32_t points = 0;
    for (const ScorePopup& popup : Game.ScorePopups) {
      if (!popup.Active) continue;
      ++popups;
      // The pass's points: 10 x (stage div 5 + chain + targets in the pass + 1), at least
      // one target in the pass.
      const int32_t tens = std::stoi(popup.Text) / 10;
      EXPECT_EQ(std::stoi(popup.Text) % 10, 0);
      EXPECT_GE(tens - Game.Stage / 5 - (popup.Multiplier - 1) - 1, 1) << popup.Text;
      longestChain_ = std::max(longestChain_, popup.Multiplier);
      points += std::stoi(popup.Text) * popup.Multiplier;
      EXPECT_GE(popup.X, 228);
      EXPECT_LE(popup.X, 228 + 32 * 7);
    }
    EXPECT_EQ(popups, targetsCleared);
    EXPECT_EQ(Game.Score, scoreBefore + points);
  }

  static void FreePopups() {
    for (ScorePopup& popup : Game.ScorePopups) popup.Active = false;
  }

  static int Count(const std::vector<int32_t>& sounds, int32_t n) {
    return static_cast<int>(std::count(sounds.begin(), sounds.end(), n));
  }

  ScriptedPlayer player_;
  int32_t longestChain_ = 0;
};

TEST_F(ScenarioTest, TwoStagesClearedThenAGameLost) {
  GameRandom::UseFixedSeed(48);  // a game in which a chain happens
  // Stage selection: stage 0, difficulty 0, music 1.
  User.UserMaxStage = 1;
  Game.GameMode = ModeStageSelect;
  Game.MusicChoice = 1;
  services.LoadButtons("SelectStageButton");
  services.TakeLog();
  Release(1, ButtonCentreX(0), ButtonCentreY(0));
  EXPECT_EQ(Game.GameMode, ModePlay);
  EXPECT_EQ(Game.PlayState, OverlayHelp);
  EXPECT_EQ(services.TakeLog(), (std::vector<std::string>{"sound 0", "music stop", "music open sounds/back1.ogg",
                                                          "music play", "buttons GameButton", "sound 3"}));
  EXPECT_EQ(Game.TargetQuota, 3);

  // The help picture waits for a click; then stage 0 is played to its clear.
  Frames(10);
  EXPECT_EQ(Game.StageTick, -24);
  Release(1, 700, 530);
  EXPECT_EQ(Game.PlayState, PlayRunning);
  const int stage0Frames = PlayUntilTheStageEnds(20000);
  ASSERT_GT(stage0Frames, 0) << "stage 0 did not end";
  EXPECT_EQ(Game.PlayState, PlayStageClear);
  EXPECT_EQ(User.UserMaxStage, 2);
  EXPECT_EQ(Game.TargetCount, 0);
  ExpectScoreMatchesPopups(0, 3);
  EXPECT_GE(Game.Score, 3 * 20);
  EXPECT_EQ(Game.HiScore[0], Game.Score);
  auto sounds = services.TakeSounds();
  EXPECT_EQ(sounds.back(), SoundStageClear);
  EXPECT_EQ(Count(sounds, SoundStageClear), 1);
  EXPECT_GE(Count(sounds, SoundVanish), 1);
  EXPECT_GE(Count(sounds, SoundLand), 1);
  EXPECT_EQ(Count(sounds, SoundGameOver), 0);
  // The picture stays until a click; frames change nothing.
  const int32_t score = Game.Score;
  Frames(30);
  EXPECT_EQ(Game.PlayState, PlayStageClear);

  // A click: stage 1 with the score carried over and no help picture.
  FreePopups();
  Release(1, 700, 530);
  EXPECT_EQ(Game.Stage, 1);
  EXPECT_EQ(Game.Score, score);
  EXPECT_EQ(Game.PlayState, PlayRunning);
  EXPECT_EQ(Game.TargetQuota, 5);
  EXPECT_EQ(services.TakeSounds(), std::vector<int32_t>{SoundStageStart});
  const int32_t clockAtStage1 = Game.TimeCount;
  EXPECT_EQ(Game.SpeedBase, clockAtStage1);
  ASSERT_GT(PlayUntilTheStageEnds(40000), 0) << "stage 1 did not end";
  EXPECT_EQ(Game.PlayState, PlayStageClear);
  EXPECT_EQ(User.UserMaxStage, 3);
  ExpectScoreMatchesPopups(score, 5);
  EXPECT_GT(Game.TimeCount, clockAtStage1) << "the play clock runs on across stages";
  EXPECT_EQ(longestChain_, 2) << "a second clearing pass of one settling counts as a chain";

  // Stage 2 without a hand on the controls: the pairs pile up in the middle until one cannot
  // leave its entry row.
  FreePopups();
  Release(1, 700, 530);
  services.TakeSounds();
  int frames = 0;
  while (Game.PlayState == PlayRunning && frames < 100000) {
    Frame();
    ++frames;
  }
  EXPECT_EQ(Game.PlayState, PlayGameOver);
  sounds = services.TakeSounds();
  ASSERT_GE(sounds.size(), 2u);
  EXPECT_EQ(std::vector<int32_t>(sounds.end() - 2, sounds.end()), (std::vector<int32_t>{SoundLand, SoundGameOver}));
  EXPECT_EQ(Game.AngelState[1], 3);
  for (const auto& mood : Game.TargetMood) EXPECT_EQ(mood[1], 3);
  EXPECT_TRUE(Game.Board[3][0].Colour >= 0 || Game.Board[4][0].Colour >= 0);
  EXPECT_EQ(User.UserMaxStage, 3);

  // The game-over picture is frozen; its new-game button leads straight to stage selection.
  const auto board = BoardRowsText();
  Frames(50);
  EXPECT_EQ(BoardRowsText(), board);
  services.LoadButtons("GameButton");
  services.TakeLog();
  Release(1, ButtonCentreX(0), ButtonCentreY(0));
  EXPECT_EQ(Game.GameMode, ModeStageSelect);
  EXPECT_EQ(services.TakeLog(),
            (std::vector<std::string>{"sound 0", "buttons SelectStageButton", "music stop"}));
}

}  // namespace

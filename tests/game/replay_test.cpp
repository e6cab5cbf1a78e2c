// SPDX-License-Identifier: MIT
// Replays: a game played with random input through ApplyInput, then played again from its
// start with the same input, must pass through the same whole state in every frame.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "base/random.h"
#include "game/flow.h"
#include "game/frame.h"
#include "game/replay.h"
#include "player/replay_file.h"
#include "tests/game/game_test_support.h"

namespace {

// The input of one frame, drawn at random: keys of play and of the menus (pressed, repeated and
// let go), the mouse moving, pressing and letting go, the pad, and the window's focus.
std::vector<ReplayEvent> RandomInput(std::mt19937& random) {
  static const int32_t keys[] = {
      KeyCode::Left, KeyCode::Right, KeyCode::Up, KeyCode::Down, KeyCode::Enter, KeyCode::Escape, 'H', 32, 'A'};
  std::vector<ReplayEvent> events;
  std::uniform_int_distribution<int> percent(0, 99);
  while (percent(random) < 30) {
    const int32_t key = keys[random() % std::size(keys)];
    switch (random() % 9) {
      case 0:
      case 1:
        events.push_back({ReplayEventKind::KeyDown, key, 0, static_cast<int32_t>(random() % 2)});
        break;
      case 2:
        events.push_back({ReplayEventKind::KeyUp, key, 0, 0});
        break;
      case 3:
        events.push_back({ReplayEventKind::KeyPress, 32, 0, 0});
        break;
      case 4:
        events.push_back({ReplayEventKind::MouseMove, static_cast<int32_t>(random() % 2) | 256,
                          static_cast<int32_t>(random() % 720), static_cast<int32_t>(random() % 540)});
        break;
      case 5:
        events.push_back({ReplayEventKind::MouseDown, 1 + static_cast<int32_t>(random() % 2), 0, 0});
        events.push_back({ReplayEventKind::MouseUp, 1 + static_cast<int32_t>(random() % 2), 0, 0});
        break;
      case 6:
      case 7:
        events.push_back({ReplayEventKind::Pad, static_cast<int32_t>(random() % PadButtonCount),
                          static_cast<int32_t>(random() % 2), 0});
        break;
      default:
        events.push_back({ReplayEventKind::Activate, percent(random) < 50 ? 1 : 0, 0, 0});
        break;
    }
  }
  return events;
}

class ReplayTest : public GameTest {};

TEST_F(ReplayTest, ReplaysPassThroughTheSameStateEveryFrame) {
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    // The game as its player started it: a stage, a difficulty, hurry bound to H.
    player = PlayerSettings{};
    player.UserMaxStage = 20;
    player.Bindings[PlayAction::Hurry].Key = 'H';
    state = GameState{};
    state.GameMode = ModeStageSelect;
    state.Stage = static_cast<int32_t>(seed % 9);
    state.Difficulty = static_cast<int32_t>(seed % 3);
    GameRandom::UseFixedSeed(seed * 7919);
    StageSelectAction(game, StageSelectButton::Start);
    const PlayerSettings startPlayer = player;
    Replay replay;
    replay.Start.Seed = seed * 7919;
    replay.Start.State = EncodeGameState(state);
    std::vector<uint64_t> seen;
    for (int frame = 0; frame < 4000 && state.GameMode == ModePlay && state.PlayState != PlayGameOver; ++frame) {
      ReplayFrame input{RandomInput(random), static_cast<int32_t>(random() % 720),
                        static_cast<int32_t>(random() % 540)};
      for (const ReplayEvent& event : input.Events) ApplyInput(game, event);
      FrameStep(game, input.CursorX, input.CursorY);
      AnimationStep(game);
      seen.push_back(GameStateHash(state));
      replay.Frames.push_back(std::move(input));
    }
    ASSERT_GT(seen.size(), 30u);
    ASSERT_GT(std::set<uint64_t>(seen.begin(), seen.end()).size(), seen.size() / 2) << "the state must change";
    // Through the file, then again from the start.
    replay = DecodeReplay(EncodeReplay(replay), "test");
    player = startPlayer;
    state = GameState{};
    ASSERT_TRUE(DecodeGameState(replay.Start.State, state));
    GameRandom::UseFixedSeed(replay.Start.Seed);
    StageSelectAction(game, StageSelectButton::Start);
    for (size_t frame = 0; frame < replay.Frames.size(); ++frame) {
      for (const ReplayEvent& event : replay.Frames[frame].Events) ApplyInput(game, event);
      FrameStep(game, replay.Frames[frame].CursorX, replay.Frames[frame].CursorY);
      AnimationStep(game);
      ASSERT_EQ(GameStateHash(state), seen[frame]) << "frame " << frame;
    }
  }
}

// A state that was never a game's is refused whole: cut short, a value out of its range.
TEST_F(ReplayTest, StatesOutOfRangeAreRefused) {
  state.Difficulty = 1;
  const std::string bytes = EncodeGameState(state);
  GameState read;
  EXPECT_TRUE(DecodeGameState(bytes, read));
  EXPECT_EQ(GameStateHash(read), GameStateHash(state));
  EXPECT_FALSE(DecodeGameState(bytes.substr(0, bytes.size() - 1), read));
  EXPECT_FALSE(DecodeGameState(bytes + "x", read));
  state.Difficulty = 3;
  GameState untouched;
  EXPECT_FALSE(DecodeGameState(EncodeGameState(state), untouched));
  EXPECT_EQ(untouched.Difficulty, 0);
}

}  // namespace

// Each input reaches the rules as the window would hand it on: the mouse's hand hides the focus
// (a move of the picture does not), pad buttons press and let go, one the game does not know is
// let be, the window's focus pauses running play and lets the title's music play on.
TEST_F(ReplayTest, InputsReachTheRulesAsTheWindowHandsThemOn) {
  state.GameMode = ModeTitle;
  state.Buttons = services.LoadButtons("TitleButton");
  state.Focus.Visible = true;
  ApplyInput(game, {ReplayEventKind::MouseMove, MouseButton::Left, 10, 20});
  EXPECT_TRUE(state.Focus.Visible) << "the picture moved, not the hand";
  EXPECT_EQ(std::make_pair(state.Mouse.X, state.Mouse.Y), std::make_pair(10, 20));
  ApplyInput(game, {ReplayEventKind::MouseMove, 256, 11, 20});
  EXPECT_FALSE(state.Focus.Visible);
  ApplyInput(game, {ReplayEventKind::Pad, 0, 1, 0});
  EXPECT_TRUE(state.Focus.PadHeld[0]);
  ApplyInput(game, {ReplayEventKind::Pad, 0, 0, 0});
  EXPECT_FALSE(state.Focus.PadHeld[0]);
  for (int32_t unknown : {-1, PadButtonCount}) EXPECT_NO_THROW(ApplyInput(game, {ReplayEventKind::Pad, unknown, 1, 0}));
  services.TakeLog();
  ApplyInput(game, {ReplayEventKind::Activate, 1, 0, 0});
  ApplyInput(game, {ReplayEventKind::Activate, 0, 0, 0});
  EXPECT_EQ(services.TakeLog(), (std::vector<std::string>{"music play", "music pause"}));
}

// Bytes that end in a value out of its range, or a name cut short, are no state.
TEST_F(ReplayTest, AStateWrongAtItsVeryEndIsRefused) {
  state.NameEntry.Name = "Ann";
  std::string bytes = EncodeGameState(state);
  GameState read;
  ASSERT_TRUE(DecodeGameState(bytes, read));
  EXPECT_EQ(read.NameEntry.Name, "Ann");
  EXPECT_FALSE(DecodeGameState(bytes.substr(0, bytes.size() - 1), read)) << "the name cut short";
  state.NameEntry.Name.clear();
  bytes = EncodeGameState(state);
  ASSERT_TRUE(DecodeGameState(bytes, read)) << "an empty name, the last four bytes its length";
  bytes[bytes.size() - 8] = 2;  // the flag before it: neither 0 nor 1
  EXPECT_FALSE(DecodeGameState(bytes, read));
  bytes[bytes.size() - 8] = 0;
  bytes[bytes.size() - 4] = 65;  // a name longer than any, its bytes missing
  EXPECT_FALSE(DecodeGameState(bytes, read));
}

// SPDX-License-Identifier: MIT
// What recording a game costs a frame: the rules' frame (input, FrameStep, AnimationStep) with
// the recording of its input and cursor, beside the same frame unrecorded, in one process.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "game/flow.h"
#include "game/frame.h"
#include "game/replay.h"
#include "player/user_settings.h"
#include "shell/game_records.h"

namespace {

// A game in play on stage 5 that starts again whenever it ends, with a key, a mouse move or a
// pad press in about every third frame.
struct PlayedGame {
  PlayedGame() : game(player, layout, services), records(game, files) {
    player.UserMaxStage = 20;
    for (auto& table : player.HiScoreTable) {
      for (HiScoreEntry& entry : table) entry.Points = INT32_MAX;  // no game enters the table
    }
    Restart();
  }

  void Restart() {
    game.State = GameState{};
    game.State.GameMode = ModeStageSelect;
    game.State.Stage = 5;
    records.GameBegins();
    StageSelectAction(game, StageSelectButton::Start);
    records.AfterInput();
  }

  void Frame(bool recorded) {
    static const int32_t keys[] = {KeyCode::Left, KeyCode::Right, KeyCode::Up, KeyCode::Down};
    if (random() % 3 == 0) {
      const ReplayEvent event = random() % 2 == 0
                                    ? ReplayEvent{ReplayEventKind::KeyDown, keys[random() % 4], 0, 0}
                                    : ReplayEvent{ReplayEventKind::MouseMove, 256, static_cast<int32_t>(random() % 720),
                                                  static_cast<int32_t>(random() % 540)};
      if (recorded) records.BeforeInput(event);
      ApplyInput(game, event);
    }
    FrameStep(game, game.State.Mouse.X, game.State.Mouse.Y);
    if (recorded) records.AfterFrame(game.State.Mouse.X, game.State.Mouse.Y);
    AnimationStep(game);
    if (game.State.GameMode != ModePlay || game.State.PlayState == PlayGameOver) Restart();
  }

  PlayerSettings player;
  SkinLayout layout;
  QuietServices services;
  PlayerFiles files;  // no folder: a record that enters the table is not saved
  Game game;
  GameRecords records;
  std::mt19937 random{7};
};

void BM_FrameUnrecorded(benchmark::State& run) {
  PlayedGame played;
  for (auto _ : run) played.Frame(false);
}

void BM_FrameRecorded(benchmark::State& run) {
  PlayedGame played;
  for (auto _ : run) played.Frame(true);
}

BENCHMARK(BM_FrameUnrecorded);
BENCHMARK(BM_FrameRecorded);

}  // namespace

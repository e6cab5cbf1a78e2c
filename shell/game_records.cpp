// SPDX-License-Identifier: MIT
#include "shell/game_records.h"

#include <cstdio>
#include <random>

#include "base/local_time.h"
#include "base/random.h"
#include "base/runtime.h"
#include "game/flow.h"
#include "game/frame.h"
#include "game/pages.h"
#include "game/replay.h"
#include "player/high_scores.h"

namespace {

bool StopsReplay(const ReplayEvent& event) {
  if (event.Kind == ReplayEventKind::KeyDown) return event.A == KeyCode::Escape;
  return event.Kind == ReplayEventKind::Pad && event.B != 0 &&
         (event.A == static_cast<int32_t>(PadButton::East) || event.A == static_cast<int32_t>(PadButton::Back));
}

}  // namespace

void GameRecords::GameBegins() {
  if (Replaying()) return;
  const uint64_t seed = (static_cast<uint64_t>(std::random_device{}()) << 32) ^ std::random_device{}();
  GameRandom::UseFixedSeed(seed);
  recording_.emplace();
  recording_->Start.Seed = seed;
  pending_ = ReplayFrame{};
  starting_ = true;
}

void GameRecords::BeforeInput(const ReplayEvent& event) {
  if (recording_ && !starting_ && pending_.Events.size() < MaxEventsPerFrame) pending_.Events.push_back(event);
}

void GameRecords::AfterInput() {
  if (!starting_ || !recording_) return;
  starting_ = false;
  const GameState& state = game_.State;
  const PlayerSettings& player = game_.Player;
  ReplayStart& start = recording_->Start;
  start.Stage = state.Stage;
  start.Difficulty = state.Difficulty;
  start.MusicChoice = state.MusicChoice;
  start.UserMaxStage = player.UserMaxStage;
  for (int i = 0; i < 2; ++i) {
    start.CheckState[i] = player.CheckState[i];
    start.VolumeLevel[i] = player.VolumeLevel[i];
  }
  for (int d = 0; d < 3; ++d) start.HiScore[d] = player.HiScore[d];
  start.Bindings = player.Bindings;
  start.State = EncodeGameState(state);
  if (state.GameMode != ModePlay) EndRecording("");  // the stage could not be set up
}

void GameRecords::AfterFrame(int32_t cursorX, int32_t cursorY) {
  if (!recording_ || starting_) return;
  const GameState& state = game_.State;
  pending_.CursorX = cursorX;
  pending_.CursorY = cursorY;
  recording_->Frames.push_back(std::move(pending_));
  pending_ = ReplayFrame{};
  // The controls page opened from the pause panel is part of the game.
  const bool inGame =
      state.GameMode == ModePlay || (state.GameMode == ModeControls && state.Controls.ReturnMode == ModePlay);
  if (!inGame) {
    EndRecording("");  // the game was left before its end: nothing to keep
    return;
  }
  if (recording_->Frames.size() >= MaxReplayFrames) {
    EndRecording("the game has gone on for longer than a replay holds; it is not recorded further");
    return;
  }
  if (state.PlayState != PlayGameOver) return;
  const int32_t difficulty = state.Difficulty;
  const int32_t rank = RankOfScore(game_.Player.HiScoreTable[difficulty], state.Score);
  recording_->Outcome.FinalStage = state.Stage;
  recording_->Outcome.FinalStateHash = GameStateHash(state);
  endedAt_ = CurrentDateTime();
  if (rank >= 0) finished_ = std::move(recording_);
  EndRecording("");
  if (rank < 0) return;
  const std::vector<std::string>& texts = game_.Layout.Texts;
  const std::string name =
      !game_.Player.LastName.empty() ? game_.Player.LastName : (texts.empty() ? std::string() : texts[0]);
  if (game_.Layout.HasNameEntry) {
    OpenNameEntry(game_, difficulty, rank, state.Score, name);
  } else {
    RecordNamed(name);
  }
}

void GameRecords::EndRecording(const std::string& why) {
  if (!why.empty()) std::fprintf(stderr, "kestrel: %s\n", why.c_str());
  recording_.reset();
  starting_ = false;
  GameRandom::UseClockSeed();
}

void GameRecords::RecordNamed(const std::string& name) {
  if (!finished_) return;
  Replay replay = std::move(*finished_);
  finished_.reset();
  GameState& state = game_.State;
  PlayerSettings& player = game_.Player;
  const int32_t difficulty = state.Difficulty;
  const HiScoreEntry entry{name, state.Score, endedAt_, 0};
  const int32_t rank = EnterRecord(player.HiScoreTable[difficulty], entry);
  if (rank < 0) return;
  player.LastName = name;
  state.HiScores.NewestTable = difficulty;
  state.HiScores.NewestRank = rank;
  // The table is saved at once, whole or not at all, and the replay beside it; a failure of
  // either is told and the game plays on with the record in memory (saved again at exit).
  // The table screen says what could not be kept.
  state.HiScores.Message.clear();
  try {
    SaveUserSettings(files_, player);
  } catch (const std::exception& error) {
    state.HiScores.Message = "The table is saved again at the end: " + std::string(error.what());
    std::fprintf(stderr, "kestrel: the high-score table is kept until the game ends: %s\n", error.what());
  }
  replay.Outcome.Record = entry;
  try {
    SaveReplay(files_.Folder, difficulty, replay);
  } catch (const std::exception& error) {
    if (state.HiScores.Message.empty())
      state.HiScores.Message = "This game's replay is not kept: " + std::string(error.what());
    std::fprintf(stderr, "kestrel: the replay of this game is not kept: %s\n", error.what());
  }
  PruneReplays(files_.Folder, player.HiScoreTable);
}

bool GameRecords::HasReplay(int32_t table, int32_t rank) const {
  if (table < 0 || table > 2 || rank < 0 || rank >= HiScoreRecords) return false;
  return ::HasReplay(files_.Folder, table, game_.Player.HiScoreTable[table][rank]);
}

void GameRecords::PlayReplay(int32_t table, int32_t rank) {
  if (Replaying() || table < 0 || table > 2 || rank < 0 || rank >= HiScoreRecords) return;
  GameState& state = game_.State;
  PlayerSettings& player = game_.Player;
  Replay replay;
  try {
    replay = LoadReplay(files_.Folder, table, player.HiScoreTable[table][rank]);
  } catch (const std::exception& error) {
    state.HiScores.Message = error.what();
    std::fprintf(stderr, "kestrel: %s\n", error.what());
    return;
  }
  GameState start = state;
  if (!DecodeGameState(replay.Start.State, start) || start.GameMode != ModePlay) {
    state.HiScores.Message = "The replay's start cannot be played; it is not played.";
    return;
  }
  savedState_ = state;
  savedPlayer_ = player;
  // The rules read these; the sound switches and volumes stay the player's own.
  player.UserMaxStage = replay.Start.UserMaxStage;
  for (int d = 0; d < 3; ++d) player.HiScore[d] = replay.Start.HiScore[d];
  player.Bindings = replay.Start.Bindings;
  start.Replaying = true;
  start.HiScores.Message = "Replay: Esc stops it, a held key runs it four times as fast";
  state = std::move(start);
  GameRandom::UseFixedSeed(replay.Start.Seed);
  replay_ = std::move(replay);
  nextFrame_ = 0;
  held_ = 0;
  try {
    StageSelectAction(game_, StageSelectButton::Start);
  } catch (const std::exception& error) {
    StopReplay();
    state.HiScores.Message = std::string("The replay cannot be played: ") + error.what();
  }
}

void GameRecords::PlayerInput(const ReplayEvent& event) {
  if (StopsReplay(event)) {
    StopReplay();
    return;
  }
  const bool press = event.Kind == ReplayEventKind::KeyDown ? event.C == 0
                     : event.Kind == ReplayEventKind::Pad   ? event.B != 0
                                                            : event.Kind == ReplayEventKind::MouseDown;
  const bool release = event.Kind == ReplayEventKind::KeyUp || (event.Kind == ReplayEventKind::Pad && event.B == 0) ||
                       event.Kind == ReplayEventKind::MouseUp;
  if (press) ++held_;
  if (release && held_ > 0) --held_;
  if (event.Kind == ReplayEventKind::PadUnplugged || event.Kind == ReplayEventKind::Activate) held_ = 0;
}

void GameRecords::ReplayFrames() {
  if (!replay_) return;
  const int32_t count = held_ > 0 ? 4 : 1;
  for (int32_t i = 0; i < count; ++i) {
    if (nextFrame_ >= replay_->Frames.size()) {
      // The end: the frame shows on, still; what the game arrived at was checked once.
      FrameStep(game_, game_.State.Mouse.FrameX, game_.State.Mouse.FrameY);
      if (i + 1 < count) AnimationStep(game_);
      continue;
    }
    const ReplayFrame& frame = replay_->Frames[nextFrame_++];
    for (const ReplayEvent& event : frame.Events) ApplyInput(game_, event);
    FrameStep(game_, frame.CursorX, frame.CursorY);
    if (nextFrame_ == replay_->Frames.size()) {
      const bool same = GameStateHash(game_.State) == replay_->Outcome.FinalStateHash;
      game_.State.HiScores.Message =
          same ? "The replay ended where its game did: " + std::to_string(game_.State.Score) + " points. Esc: back"
               : "The replay did not end where its game did. Esc: back";
      if (!same) std::fprintf(stderr, "kestrel: a replay did not end where its game did\n");
    }
    if (i + 1 < count) AnimationStep(game_);
  }
}

void GameRecords::StopReplay() {
  if (!replay_) return;
  const std::string result = game_.State.HiScores.Message;
  replay_.reset();
  GameRandom::UseClockSeed();
  game_.Services.StopMusic();
  game_.Player = savedPlayer_;
  game_.State = savedState_;
  game_.State.HiScores.Message = nextFrame_ > 0 && result.rfind("Replay:", 0) != 0 ? result : std::string();
  game_.Services.SetMusicVolume(2 * game_.Player.VolumeLevel[0]);
  if (game_.State.HiScores.ReturnMode == ModeTitle) {
    game_.Services.OpenMusic("sounds/titback.ogg");
    game_.Services.PlayMusic();
  }
  StartCrossFade(game_);
}

// SPDX-License-Identifier: MIT
// The games the player plays, kept: each game is recorded from its first stage to its end; a
// game that ends with a score the high-score table takes asks for a name, enters the table
// and keeps its replay in the player's folder; the table screen plays a replay back in the
// play screen, frame for frame.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "game/game.h"
#include "player/player.h"
#include "player/replay_file.h"
#include "player/user_settings.h"

class GameRecords {
 public:
  GameRecords(Game& game, const PlayerFiles& files) : game_(game), files_(files) {}

  // Recording. A game begins: a seed of its own, and the start is taken once the input that
  // began it has been handled (AfterInput).
  void GameBegins();
  void BeforeInput(const ReplayEvent& event);
  void AfterInput();
  // A frame ran with the cursor at (x, y): kept; a game over ends the recording.
  void AfterFrame(int32_t cursorX, int32_t cursorY);
  void RecordNamed(const std::string& name);

  // Replays.
  bool HasReplay(int32_t table, int32_t rank) const;
  void PlayReplay(int32_t table, int32_t rank);
  bool Replaying() const { return replay_.has_value(); }
  // The player's input while a replay plays: Escape, the pad's east or Back stop it, anything
  // else held makes it run four times as fast.
  void PlayerInput(const ReplayEvent& event);
  // The frames of one refresh: one, or four while the player holds a key; all but the last
  // run whole, the last is left for the drawing and AnimationStep.
  void ReplayFrames();

 private:
  void StopReplay();
  void EndRecording(const std::string& why);

  Game& game_;
  const PlayerFiles& files_;
  // Recording.
  bool starting_ = false;
  std::optional<Replay> recording_;
  ReplayFrame pending_;
  std::optional<Replay> finished_;  // a game that entered the table, waiting for its name
  double endedAt_ = 0;
  // Playback.
  std::optional<Replay> replay_;
  size_t nextFrame_ = 0;
  int32_t held_ = 0;
  GameState savedState_;
  PlayerSettings savedPlayer_;
};

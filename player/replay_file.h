// SPDX-License-Identifier: MIT
// Replays: all that the rules read from outside during one game (the random seed, the settings
// they read, and every input in the order and frame it arrived), so that the game can be played
// again, frame for frame, to the same end. A replay is kept in the player's folder, under
// replays/, for each record of the high-score table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "player/key_bindings.h"
#include "player/player.h"

// The identity of the rules a replay was recorded with. A replay of other rules is refused:
// it would not play to the same end. Changed whenever a change to the rules would play
// the same input differently.
extern const char* const ReplayRulesIdentity;

// One input as the window delivered it, in the game's codes (base/input_codes.h).
enum class ReplayEventKind : uint8_t {
  KeyDown = 1,    // A key, B modifiers, C repeat (0/1)
  KeyUp = 2,      // A key
  KeyPress = 3,   // A character, C repeat (0/1)
  MouseDown = 4,  // A button
  MouseMove = 5,  // A buttons held, B x, C y (logical 720 x 540 space)
  MouseUp = 6,    // A button
  Pad = 7,        // A pad button, B down (0/1)
  PadUnplugged = 8,
  Activate = 9,  // A active (0/1)
};
constexpr uint8_t ReplayEventKindLast = 9;

struct ReplayEvent {
  ReplayEventKind Kind = ReplayEventKind::KeyDown;
  int32_t A = 0, B = 0, C = 0;
  bool operator==(const ReplayEvent&) const = default;
};

// One frame: the inputs that arrived since the frame before, then the cursor the frame saw.
struct ReplayFrame {
  std::vector<ReplayEvent> Events;
  int32_t CursorX = 0, CursorY = 0;
  bool operator==(const ReplayFrame&) const = default;
};

// What the rules read at the start of the game.
struct ReplayStart {
  uint64_t Seed = 0;
  int32_t Stage = 0, Difficulty = 0, MusicChoice = 0;
  int32_t UserMaxStage = 1;
  int32_t CheckState[2] = {1, 1};
  int32_t VolumeLevel[2] = {44, 44};
  int32_t HiScore[3] = {0, 0, 0};
  KeyBindings Bindings;
  // The rules' whole state once the input that began the game was handled (game/replay.h
  // writes and checks it); at most MaxReplayStateBytes.
  std::string State;
  bool operator==(const ReplayStart&) const = default;
};

// How the game ended: its record in the table and what the replay must arrive at.
struct ReplayOutcome {
  HiScoreEntry Record;  // name, points, date as entered in the table
  int32_t FinalStage = 0;
  uint64_t FinalStateHash = 0;  // the board, pairs and score when the game ended
};

struct Replay {
  ReplayStart Start;
  std::vector<ReplayFrame> Frames;
  ReplayOutcome Outcome;
};

// Limits: a replay holds at most 4 hours of frames at 60 a second and 256 inputs a frame;
// its file is at most 16 MiB.
constexpr size_t MaxReplayFrames = 4 * 3600 * 60;
constexpr size_t MaxEventsPerFrame = 256;
constexpr size_t MaxReplayStateBytes = 64 * 1024;
constexpr uint64_t MaxReplayFileBytes = 16ull * 1024 * 1024;

// The bytes of a replay file: a header with the format's version and ReplayRulesIdentity,
// the start, the outcome, the frames (compact: runs of frames without input and with a still
// cursor take a few bytes) and a checksum of all before it.
std::string EncodeReplay(const Replay& replay);
// Raises RuntimeError(FileNotFound) naming `name` and what is wrong: not a replay, another
// format version, other rules, damaged (checksum), truncated, beyond the limits.
Replay DecodeReplay(const std::string& bytes, const std::string& name);

// The player's replay folder (`playerFolder`/replays) and the file of a record of difficulty
// `difficulty`: "replays/<difficulty>-<points>-<16 hex digits of the date's bits>.replay".
std::string ReplayFolder(const std::string& playerFolder);
std::string ReplayPath(const std::string& playerFolder, int32_t difficulty, const HiScoreEntry& record);

// Saves the replay of a record whole or not at all (the folder made when missing); raises
// RuntimeError naming the file and the reason (the folder is a file, the disk is full, ...).
void SaveReplay(const std::string& playerFolder, int32_t difficulty, const Replay& replay);
// Reads the replay of a record: safe-file rules (a regular file within MaxReplayFileBytes),
// then DecodeReplay; raises naming the file. A replay whose outcome's record is not `record`
// is refused too.
Replay LoadReplay(const std::string& playerFolder, int32_t difficulty, const HiScoreEntry& record);
// Whether the record's replay file is there.
bool HasReplay(const std::string& playerFolder, int32_t difficulty, const HiScoreEntry& record);
// Removes the replay files of this naming whose record is no longer in the table. Other files
// are never touched; a folder of thousands of stray files is looked through at most once for
// its first 10000 entries. Errors are reported on stderr and go no further.
void PruneReplays(const std::string& playerFolder, const HiScoreEntry (&tables)[3][8]);

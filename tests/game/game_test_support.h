// SPDX-License-Identifier: MIT
// Shared set-up of the game-rule tests: a game of its own with the player's settings and a
// layout of the test's, a seeded generator, a recorder standing in for the world, and boards
// drawn as text.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "game/game.h"

// Records every request of the rules, in order, as short texts: "sound 3", "music play",
// "music pause", "music stop", "music open <path>", "music volume 88", "buttons <section>",
// "open <address>", "close", "minimise", "named <name>",
// "replay <table> <rank>".
class RecordingServices : public GameServices {
 public:
  void PlaySound(int32_t n) override;
  void PlayMusic() override { Log.push_back("music play"); }
  void PauseMusic() override { Log.push_back("music pause"); }
  void StopMusic() override { Log.push_back("music stop"); }
  void OpenMusic(const std::string& path) override;
  void SetMusicVolume(int32_t volume) override { Log.push_back("music volume " + std::to_string(volume)); }
  // Lays out the test's own buttons for the section (see ButtonCentre).
  std::vector<ScreenButton> LoadButtons(const std::string& section) override;
  std::string SkinValue(const std::string& section, const std::string& key) override;
  void CaptureFadeSurface() override {}
  void OpenAddress(const std::string& address) override { Log.push_back("open " + address); }
  double SecondsOfDay() override { return Seconds; }
  void CloseMainWindow() override { Log.push_back("close"); }
  void MinimiseWindow() override { Log.push_back("minimise"); }
  void RecordNamed(const std::string& name) override { Log.push_back("named " + name); }
  bool HasReplay(int32_t table, int32_t rank) override { return table * 8 + rank == ReplayOf; }
  void PlayReplay(int32_t table, int32_t rank) override {
    Log.push_back("replay " + std::to_string(table) + " " + std::to_string(rank));
  }
  int32_t ReplayOf = -1;  // the one record (table * 8 + rank) that has a replay

  // The sound numbers requested since the last call, and the whole log since then.
  std::vector<int32_t> TakeSounds();
  std::vector<std::string> TakeLog();

  std::vector<std::string> Log;
  std::vector<int32_t> Sounds;
  double Seconds = 0;
  // What SkinValue answers, by "section/key".
  std::vector<std::pair<std::string, std::string>> SkinValues;
};

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // One whole frame as the main window runs it (game/frame.h) with the cursor where the last
  // MoveMouse left it: FrameStep, then AnimationStep.
  void Frame();
  void Frames(int n);
  void MoveMouse(int32_t x, int32_t y);  // between frames, as a mouse-move event would
  // A mouse-button release at (x, y), as the main window delivers it.
  void Release(int32_t button, int32_t x, int32_t y);

  PlayerSettings player;
  SkinLayout layout;
  RecordingServices services;
  Game game{player, layout, services};
  GameState& state = game.State;
};

// The board from text, bottom-aligned: each string is one row of eight space-separated cells,
// the last string the bottom row; rows above are empty. A cell is "." (empty) or a kind letter
// and a colour digit: T target, S single, R joined right, L joined left, U joined up, D joined
// down ("R0 L0" is a horizontal pair, "D1" over "U1" a vertical one).
void SetBoard(GameState& state, const std::vector<std::string>& rows);
// The board in the same notation, all 13 rows; vanishing cells show their colour mod 10 with
// a "*" kind.
std::vector<std::string> BoardRowsText(const GameState& state);
// A horizontal pair (left colour, right colour) in the state's pair at (column, row), falling.
void SetHorizontalPair(GameState& state, int32_t left, int32_t right, int32_t column, int32_t row);
// A vertical pair (top colour over bottom colour) in the state's pair at (column, row), falling.
void SetVerticalPair(GameState& state, int32_t top, int32_t bottom, int32_t column, int32_t row);
// An empty board with single pieces of colour 2 at `pieces` (column, row), and a falling pair of
// colours 0 and 1 at (column, row), flat or upright.
void SetPairAmongPieces(GameState& state, const std::vector<std::pair<int32_t, int32_t>>& pieces, bool flat,
                        int32_t column, int32_t row);

// The test layouts put button i of every screen at the same place, clear of the board, the
// check boxes, the sliders and the stage-selection controls.
int32_t ButtonCentreX(int32_t index);
int32_t ButtonCentreY(int32_t index);

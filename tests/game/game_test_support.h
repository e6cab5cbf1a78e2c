// Shared set-up of the game-rule tests: every global group back in its start state, a seeded
// generator, a recorder standing in for audio, layout and platform, and boards drawn as text.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/services.h"

// Records every request of the rules, in order, as short texts: "sound 3", "music play",
// "music pause", "music stop", "music open <path>", "music volume 88", "buttons <section>",
// "open <address>", "close".
class RecordingServices : public GameServices {
 public:
  void PlaySound(int32_t n) override;
  void PlayMusic() override { Log.push_back("music play"); }
  void PauseMusic() override { Log.push_back("music pause"); }
  void StopMusic() override { Log.push_back("music stop"); }
  void OpenMusic(const std::string& path) override;
  void SetMusicVolume(int32_t volume) override { Log.push_back("music volume " + std::to_string(volume)); }
  // Lays out the test's own buttons for the section (see ButtonCentre).
  void LoadButtons(const std::string& section) override;
  void CaptureFadeSurface() override {}
  void OpenAddress(const std::string& address) override { Log.push_back("open " + address); }
  double SecondsOfDay() override { return Seconds; }
  void CloseMainWindow() override { Log.push_back("close"); }

  // The sound numbers requested since the last call, and the whole log since then.
  std::vector<int32_t> TakeSounds();
  std::vector<std::string> TakeLog();

  std::vector<std::string> Log;
  std::vector<int32_t> Sounds;
  double Seconds = 0;
};

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // One frame as the main window runs it: the cursor where the last MoveMouse left it, the
  // previous frame's position in OldMouseX/OldMouseY, GameTick + 1, LogicStep.
  void Frame();
  void Frames(int n);
  void MoveMouse(int32_t x, int32_t y);  // between frames, as a mouse-move event would
  // A mouse-button release at (x, y), as the main window delivers it.
  void Release(int32_t button, int32_t x, int32_t y);

  RecordingServices services;

 private:
  // Where the previous frame saw the cursor: a frame compares with that, not with a position a
  // handler wrote in between.
  int32_t frameMouseX_ = 0, frameMouseY_ = 0;
};

// The board from text, bottom-aligned: each string is one row of eight space-separated cells,
// the last string the bottom row; rows above are empty. A cell is "." (empty) or a kind letter
// and a colour digit: T target, S single, R joined right, L joined left, U joined up, D joined
// down ("R0 L0" is a horizontal pair, "D1" over "U1" a vertical one).
void SetBoard(const std::vector<std::string>& rows);
// The board in the same notation, all 13 rows; vanishing cells show their colour mod 10 with
// a "*" kind.
std::vector<std::string> BoardRowsText();
// A horizontal pair (left colour, right colour) in Game.Pair at (column, row), falling.
void SetHorizontalPair(int32_t left, int32_t right, int32_t column, int32_t row);
// A vertical pair (top colour over bottom colour) in Game.Pair at (column, row), falling.
void SetVerticalPair(int32_t top, int32_t bottom, int32_t column, int32_t row);

// The test layouts put button i of every screen at the same place, clear of the board, the
// check boxes, the sliders and the stage-selection controls.
int32_t ButtonCentreX(int32_t index);
int32_t ButtonCentreY(int32_t index);

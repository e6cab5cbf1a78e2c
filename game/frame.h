// SPDX-License-Identifier: MIT
// One frame of the game as the main window runs it, around the drawing of its picture:
//   FrameStep      the cursor seen, the frame counted, held pad directions repeated, the logic;
//   the drawing    (render/), which only reads the state;
//   AnimationStep  the animations the picture showed move on: the figures, the blinking
//                  targets, the score pop-ups, the buttons' highlights and the cross-fade.
// A frame nobody sees runs both steps all the same.
#pragma once

#include <cstdint>

#include "game/game.h"

void FrameStep(Game& game, int32_t cursorX, int32_t cursorY);
// The rules' part of FrameStep: pieces fall, lines vanish, the pair steers and drops, speeds
// and clocks run.
void LogicStep(Game& game);
void AnimationStep(Game& game);

// What this frame's picture shows that AnimationStep brings about (the drawing reads these
// before the step runs): the figure after its step, and whether a screen button shows (the
// confirmation buttons follow their panel).
struct AngelPose {
  int32_t Frame = 0, Mode = 0;
};
AngelPose AngelThisFrame(const GameState& state);
bool ButtonShownThisFrame(const GameState& state, int32_t index);

// The targets of one colour left on the board.
int32_t CountTargetsOfColour(const GameState& state, int32_t colour);

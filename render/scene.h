// SPDX-License-Identifier: MIT
// Drawing of every screen, once per frame, from the state it is given: it reads, never writes.
#pragma once

#include <cstdint>

#include "config/skin.h"
#include "game/game_state.h"
#include "player/player.h"
#include "surface/surface.h"

// What a frame's picture shows: the rules' state, the player's settings (the sound switches,
// volumes and stages opened), the skin, and the time of day in seconds, which drives the
// smooth sways.
struct Scene {
  const GameState& State;
  const PlayerSettings& Player;
  const Skin& Look;
  double TimeOfDay = 0;
};

// The screen of the game mode into `screen`, a back buffer (the logical screen its top-left
// 720 x 540 pixels).
void DrawFrame(const Scene& scene, Surface& screen);
// The cross-fade's step `fadeStep` (1 to 31): the previous screen blended over the new one.
void DrawFadeStep(Surface& screen, const Surface& fade, int32_t fadeStep);
// Whether the frame drawn at game tick `tick` paints every pixel of `screen` anew, leaving
// nothing of an earlier frame: the play screen fills what its background does not cover and
// copies the background; the title and the stage selection tile the title background, which
// misses a strip of the buffer's margin (beyond 720 x 540) while the tiles' offset is narrower
// than the margin.
bool FrameRedrawsEverything(const GameState& state, const ImageCatalogue& images, const Surface& screen, int32_t tick);

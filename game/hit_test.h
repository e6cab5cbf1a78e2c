// SPDX-License-Identifier: MIT
// The hit test of the screen: the one point-in-rectangle test against the logical mouse
// position, and the screen buttons under the cursor.
#pragma once

#include <cstdint>

#include "game/game.h"

// True when left < Mouse.X < right and top < Mouse.Y < bottom.
bool MouseInRect(const GameState& state, int32_t left, int32_t right, int32_t top, int32_t bottom);
// The cursor over the well.
bool MouseOverBoard(const GameState& state);
// Clicks the first shown button under the cursor (ButtonClick); false when there is none.
bool HitScreenButton(Game& game);

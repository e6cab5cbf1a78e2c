// SPDX-License-Identifier: MIT
// The screen buttons, drawn in their three kinds at their highlight levels. The hit test that
// clicks them and the fade of their highlights are the rules' (game/hit_test.h, game/frame.h).
#pragma once

#include "config/skin.h"
#include "game/game_state.h"
#include "surface/surface.h"

void DrawScreenButtons(Surface& target, const GameState& state, const Skin& skin);

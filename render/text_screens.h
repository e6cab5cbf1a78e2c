// SPDX-License-Identifier: MIT
// The screens drawn with run-time text: the controls page, the high-score screen, the name
// entry over the play screen, the bindings in force on the help page and a replay's banner.
#pragma once

#include "config/skin.h"
#include "game/game_state.h"
#include "player/player.h"
#include "surface/surface.h"

void DrawControlsPage(Surface& screen, const GameState& state, const PlayerSettings& player, const Skin& skin);
void DrawHiScoresPage(Surface& screen, const GameState& state, const PlayerSettings& player, const Skin& skin);
// Over the play screen: the name entry while it is open, a replay's banner while one plays.
void DrawPlayExtras(Surface& screen, const GameState& state, const Skin& skin);
// The keys and pad buttons in force, in the help page's wells (the page at x, y).
void DrawHelpBindings(Surface& screen, const PlayerSettings& player, const Skin& skin, int32_t x, int32_t y);

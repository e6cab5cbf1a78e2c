// SPDX-License-Identifier: MIT
// One game as the rules see it: their own state, and what they use of the program's, handed
// in by name: the player's settings (which the rules change: stages opened, the choices made,
// the sound switches and volumes, the best scores), the skin's layout (read only) and the
// services through which they reach the world.
#pragma once

#include "config/skin_layout.h"
#include "game/game_state.h"
#include "game/services.h"
#include "player/player.h"

struct Game {
  Game(PlayerSettings& player, const SkinLayout& layout, GameServices& services)
      : Player(player), Layout(layout), Services(services) {}

  GameState State;
  PlayerSettings& Player;
  const SkinLayout& Layout;
  GameServices& Services;
};

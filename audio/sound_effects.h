// SPDX-License-Identifier: MIT
// The game's sound effects by number: entry n of a skin's sounds is sounds/sound<n>.ogg.
#pragma once

#include <cstdint>

enum SoundEffect : int32_t {
  SoundClick = 0,
  SoundStep = 1,  // the pair steps down, or loose pieces fall
  SoundLand = 2,
  SoundStageStart = 3,
  SoundGameOver = 4,
  SoundVanish = 5,  // lines vanish
  SoundStageClear = 6,
  SoundRotate = 7,
};

// SPDX-License-Identifier: MIT
// The player's mouse and keyboard.
#pragma once

#include <cstdint>

#include "game/game.h"

// A key (base/input_codes.h) in play: the arrows steer, turn and drop the pair, and go on after
// a cleared stage.
void KeyStep(Game& game, int32_t key);
// A mouse button released at the cursor: screen buttons first, then the screen's controls.
void ClickStep(Game& game, int32_t button);
// The mouse moved with `buttons` held: the cursor's shape over the controls, and a held left
// button drags a volume bar or the stage bar.
void HoverStep(Game& game, int32_t buttons);
// Once a frame (AnimationStep): the cursor's shape over the screen's buttons, the arrow
// elsewhere. The cursor's shape is set here and by HoverStep alone.
void ButtonCursorStep(GameState& state);
void RotatePair(Game& game);
// The music (0) or sound (1) switch flipped; the music pauses or plays with its switch.
void FlipAudioSwitch(Game& game, int32_t which);
// The music (0) or sound (1) volume set to `level`, held within 0 to MaxVolumeLevel.
constexpr int32_t MaxVolumeLevel = 50;
void SetVolume(Game& game, int32_t which, int32_t level);
// A click on the play screen away from every control: resumes from pause, goes on to the
// next stage after a clear, takes the help page away.
void ClickAway(Game& game);

// SPDX-License-Identifier: MIT
// The window's keys and pad buttons as the rules receive them: in running play the keys of play
// as the player bound them (player/key_bindings.h), on the menus and panels the focus's keys,
// on the controls page and the name entry what those take.
#pragma once

#include <cstdint>
#include <string>

#include "base/input_codes.h"
#include "game/game.h"

// A key pressed (`repeat`: the keyboard's repeat of a held key), after the window took its
// own keys (F10, F11, Alt+Enter). In running play a key bound to an action does it; on the
// menus and panels the arrows, Enter, Space and Escape move and press the focus, and a key
// bound to a move moves the focus the same way.
void KeyDownInput(Game& game, int32_t key, bool repeat);
void KeyUpInput(Game& game, int32_t key);
// A character typed by a key (the platform's translation): Space presses the focused control
// of a menu.
void KeyPressInput(Game& game, int32_t character, bool repeat);
// Text typed (UTF-8), for the name of a record.
void TextInput(Game& game, const std::string& utf8);

// A key or pad button bound to hurry is held (the pair falls fast while it is).
bool HurryHeld(const Game& game);
// The arrow a pad button acts as on the screen shown (0 for none): in running play the moves
// it is bound to, on menus the d-pad and buttons bound to a move.
int32_t PadArrow(const Game& game, PadButton button);
// A pad button pressed: the name entry or the controls page take it when they wait for it;
// one that acts as an arrow (PadArrow) moves the pair or the focus, and repeats while held;
// in running play a bound one does its action; the others keep their places on the menus.
void PadPress(Game& game, PadButton button);
// Once per frame: a held pad button that acts as an arrow repeats.
void ControlsFrame(Game& game);

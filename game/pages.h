// SPDX-License-Identifier: MIT
// The rules of the screens around the table of records and the keys: the controls page, where
// an action's key or pad button is chosen; the name asked for when a game enters the
// high-score table; the records of the high-score screen under the cursor.
#pragma once

#include <cstdint>
#include <string>

#include "base/input_codes.h"
#include "game/game.h"

// The controls page: Enter on an action's key (or pad) well waits for the next key (or pad
// button) and binds it, exchanging it with an action that had it; Delete clears it; Escape
// stops waiting.
void ChooseBinding(Game& game, FocusRow row, int32_t action);
// A key on the controls page while it waits for one, or Delete on a well: true when the page
// took it.
bool ControlsKeyPressed(Game& game, int32_t key);
// A pad button while the page waits for one: true when the page took it.
bool ControlsPadPressed(Game& game, PadButton button);
// The action row and well under a point of the controls page: true when there is one.
bool BindingWellAt(int32_t x, int32_t y, FocusRow& row, int32_t& action);
// The record under a point of the high-score screen (table * 8 + rank): true when there is one.
bool RecordAt(int32_t x, int32_t y, int32_t& item);

// The name entry, opened when a game ends with a score that enters the table of `difficulty`
// at `rank`; the field starts with `name` (what the table cannot hold left out).
void OpenNameEntry(Game& game, int32_t difficulty, int32_t rank, int32_t points, const std::string& name);
// The picker's character in (row, column): a character, or PickerSpace, PickerErase, PickerDone
// (the last two cells), PickerNone outside it.
constexpr int32_t PickerSpace = -1, PickerErase = -2, PickerDone = -3, PickerNone = -4;
int32_t PickerCharacter(int32_t row, int32_t column);
// The name entry's keys: Backspace erases, Enter and Escape keep the name as it stands, the
// arrows move the picker (coming round at its edges).
void NameEntryKey(Game& game, int32_t key);
// Text typed (UTF-8): what the table's code page holds is added, up to the longest name.
void NameEntryText(Game& game, const std::string& utf8);
// The pad: the d-pad moves the picker, south picks, east and Back erase, Start keeps the name.
void NameEntryPad(Game& game, PadButton button);
// A click on the picker picks the character under the cursor.
void NameEntryClick(Game& game);

// SPDX-License-Identifier: MIT
// The game without a mouse: which control of the current screen has the focus of the
// keyboard or the gamepad, how the arrows and the d-pad move it, and what Enter, Space,
// Escape and the pad's buttons do. Beside the mouse, never instead of it: moving the mouse
// hides the focus again, and every key keeps what it did before.
#pragma once

#include <cstdint>

#include "base/input_codes.h"
#include "game/game.h"

// A key (KeyCode Enter, Escape and the arrows) for the menus and panels. Keys that steer the
// pair or continue after a cleared stage are left to KeyStep.
void MenuKey(Game& game, int32_t key);
// Space activates the focused control on the title and the stage selection, and a focused
// music or sound switch, and the result is true; elsewhere it is false and Space hides the
// window as it always has.
bool MenuSpace(Game& game);
// Whether Space presses the focused control of the screen shown (MenuSpace).
bool SpaceActivates(const GameState& state);
// The arrows steer the pair in running play and continue after a cleared stage (KeyStep);
// everywhere else they move the focus.
bool ArrowsBelongToPlay(const GameState& state);
// Whether a key press (`repeat`: the keyboard's repeat of a held key) acts on the screen shown:
// a key held down since another screen or panel appeared acts only once pressed again.
bool KeyActsHere(GameState& state, int32_t key, bool repeat);

// Where a focus stop lies on the screen, as the skin placed it: its edges, right and bottom
// outside. All 0 for a button that is not there.
struct FocusArea {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};
FocusArea FocusStopArea(const GameState& state, const SkinLayout& layout, const FocusStop& stop);

// The pad's buttons on the menus and panels: south presses the focused control, east goes back,
// Start pauses and resumes (elsewhere it presses), Back goes back.
void PadMenuButton(Game& game, PadButton button);
void PadRelease(GameState& state, PadButton button);
// The pad that drove is gone, or the window lost the focus: whatever it held is let go.
void PadReleaseAll(GameState& state);
// The screen the focus is placed on (a number of its own for each screen and panel).
int32_t FocusScreen(const GameState& state);

// The mouse moved: the focus is hidden until the next key or pad button.
void MouseTookControl(GameState& state);
// The focus placed on the screen now shown, a new screen starting at its default.
void PlaceFocus(GameState& state);
// The screen button drawn with the focus, or -1; the focused row of the stage selection: where
// PlaceFocus puts the focus, without moving it.
int32_t FocusedButton(const GameState& state);
FocusRow FocusedRow(const GameState& state);
// The focused stop whole (its row's action or record too); none while the focus is hidden.
FocusStop FocusedStop(const GameState& state);

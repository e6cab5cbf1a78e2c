// The game without a mouse: which control of the current screen has the focus of the
// keyboard or the gamepad, how the arrows and the d-pad move it, and what Enter, Space,
// Escape and the pad's buttons do. Beside the mouse, never instead of it: moving the mouse
// hides the focus again, and every key keeps what it did before.
#pragma once

#include <cstdint>

// A gamepad's buttons as the platform reports them; a stick pushed past its dead zone is
// reported as the d-pad direction it points to.
enum class PadButton { Left, Right, Up, Down, South, East, Start, Back };

// The stage selection's rows of choices, which take the focus like buttons do; left and
// right change the choice of a focused row.
enum class FocusRow { None, StageBar, Difficulty, Music };

// A key (the codes of KeyStep: 13 Enter, 27 Escape, 37 to 40 the arrows) for the menus and
// panels. Keys that steer the pair or continue after a cleared stage are left to KeyStep.
void MenuKey(int32_t key);
// Space activates the focused control on the title and the stage selection and the result
// is true; elsewhere it is false and Space hides the window as it always has.
bool MenuSpace();

void PadPress(PadButton button);
void PadRelease(PadButton button);
// The pad that drove is gone: whatever it held is let go.
void PadReleaseAll();
// Held east button: hurries the pair as the held left mouse button does.
bool PadHurryHeld();
// Once per frame: a d-pad direction held down repeats.
void ControlsFrame();

// The mouse moved: the focus is hidden until the next key or pad button.
void MouseTookControl();
// The screen button drawn with the focus, or -1; the focused row of the stage selection.
int32_t FocusedButton();
FocusRow FocusedRow();

void ResetFocus();

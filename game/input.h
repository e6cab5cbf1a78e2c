// The player's mouse and keyboard, and the logic of one frame.
#pragma once

#include <cstdint>

void LogicStep();
void KeyStep(int32_t key);
void ClickStep(int32_t button, float x, float y);
void HoverStep(int32_t button, float x, float y);
void RotatePair();
// A click on the play screen away from every control: resumes from pause, goes on to the
// next stage after a clear, takes the help page away.
void ClickAway();

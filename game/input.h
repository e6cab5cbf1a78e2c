// The player's mouse and keyboard, and the logic of one frame.
#pragma once

#include <cstdint>

void LogicStep();
void KeyStep(int32_t key);
void ClickStep(int32_t button, float x, float y);
void HoverStep(int32_t button, float x, float y);
void RotatePair();

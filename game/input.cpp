// STUB: replaced by the input rules.
#include "game/input.h"

void LogicStep() {}
void KeyStep(int32_t) {}
void ClickStep(int32_t, float, float) {}
void HoverStep(int32_t, float, float) {}
void RotatePair() {}

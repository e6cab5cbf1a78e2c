// The screen buttons: drawn in their three kinds with a highlight fade, and hit-tested.
#pragma once

#include <cstdint>

#include "surface/cgdisurface.h"

// True when left < MouseX < right and top < MouseY < bottom.
bool MouseInRect(int32_t left, int32_t right, int32_t top, int32_t bottom);
void DrawScreenButtons(CGDISurface& target);
// Clicks the first shown button under the cursor (ButtonClick); false when there is none.
bool HitScreenButton();

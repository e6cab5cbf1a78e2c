// The hit test of the screen: the one point-in-rectangle test against the logical mouse
// position, and the screen buttons under the cursor.
#pragma once

#include <cstdint>

// True when left < MouseX < right and top < MouseY < bottom.
bool MouseInRect(int32_t left, int32_t right, int32_t top, int32_t bottom);
// Clicks the first shown button under the cursor (ButtonClick); false when there is none.
bool HitScreenButton();

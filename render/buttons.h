// The screen buttons, drawn in their three kinds with a highlight fade. The hit test that
// clicks them is the rules' (game/hit_test.h).
#pragma once

#include <cstdint>

#include "surface/cgdisurface.h"

void DrawScreenButtons(CGDISurface& target);

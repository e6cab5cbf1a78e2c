// Drawing of every screen into BackBuffer(BackIndex), once per frame.
#pragma once

#include <cstdint>

#include "game/game_state.h"
#include "surface/cgdisurface.h"

void DrawFrame();
void ScrollTitleBackground();
void DrawTitleScreen();
void DrawStageSelectScreen();
void DrawPlayScreen();
void DrawOverlayPanel(const CGDISurface& image, const CGDISurface& mask, bool wobble);
void DrawBoard();
void DrawPairBox(const PairBox& box, int32_t x, int32_t y, int32_t level);
void DrawTargetChar(int32_t x, int32_t y, int32_t colour);
int32_t CountTargetsOfColour(int32_t colour);
void DrawAngel(int32_t x, int32_t y, bool showNext);
void DrawFadeStep();

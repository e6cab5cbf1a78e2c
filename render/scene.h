// Drawing of every screen into BackBuffer(BackIndex), once per frame.
#pragma once

#include <cstdint>

#include "game/game_state.h"
#include "surface/cgdisurface.h"

void DrawFrame();
// Whether the frame drawn at game tick `tick` paints every pixel of the back buffer anew,
// leaving nothing of an earlier frame: the play screen fills what its background does not
// cover and copies the background; the title and the stage selection tile the title
// background, which misses a strip of the buffer's margin (beyond 720 x 540) while the
// tiles' offset is narrower than the margin.
bool FrameRedrawsEverything(int32_t tick);
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

// STUB: replaced by the scene drawing.
#include "render/scene.h"

void DrawFrame() {}
void ScrollTitleBackground() {}
void DrawTitleScreen() {}
void DrawStageSelectScreen() {}
void DrawPlayScreen() {}
void DrawOverlayPanel(const CGDISurface&, const CGDISurface&, bool) {}
void DrawBoard() {}
void DrawPairBox(const PairBox&, int32_t, int32_t, int32_t) {}
void DrawTargetChar(int32_t, int32_t, int32_t) {}
int32_t CountTargetsOfColour(int32_t) { return 0; }
void DrawAngel(int32_t, int32_t, bool) {}
void DrawFadeStep() {}

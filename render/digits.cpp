// STUB: replaced by the digit drawing.
#include "render/digits.h"

void DrawDigits(const std::string&, int32_t, int32_t, const CGDISurface&, const CGDISurface&, int32_t, int32_t) {}
void DrawScorePopups() {}

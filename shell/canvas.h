// SPDX-License-Identifier: MIT
// The pictures a frame passes through on its way to the window: the two back buffers drawn in
// turn, what the drawing knows of each one's changes, the cross-fade's snapshot and the zoom of
// a maximised window. The main window owns it; the drawing and the presenter are handed it.
#pragma once

#include <cstdint>

#include "base/runtime.h"
#include "config/screen_geometry.h"
#include "render/frame_drawing.h"
#include "surface/surface.h"

struct Canvas {
  Surface Back[2];  // 724 x 544; the logical screen is the top-left 720 x 540
  FrameChanges BackChanges[2];
  int32_t BackIndex = 0;  // the buffer drawn last, which the presenter shows next
  Surface Fade;           // snapshot of the previous screen for the cross-fade
  Surface Zoom;           // the display-sized surface of a maximised window
  // The size the picture is shown at: 720 x 540 in a normal window, else that of the zoom.
  int32_t ViewWidth = LogicalWidth, ViewHeight = LogicalHeight;

  Surface& Current() { return Back[CheckIndex(BackIndex, 0, 1)]; }
  const Surface& Current() const { return Back[CheckIndex(BackIndex, 0, 1)]; }
  const FrameChanges& CurrentChanges() const { return BackChanges[CheckIndex(BackIndex, 0, 1)]; }
};

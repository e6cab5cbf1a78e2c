// SPDX-License-Identifier: MIT
// A frame is drawn into its back buffer only where it can differ from what the buffer holds.
// Its drawing is noted (DrawList) between Begin and Finish, compared with the drawing that last
// filled the buffer, and carried out on the tiles where the two differ; a frame that does not
// paint every pixel anew, or a buffer whose content is not known to be that drawing's, gets the
// whole drawing. Either way the pixels are exactly those of drawing at once. The comparison
// with the frame before (the other buffer's) also tells the presenter where to look for
// changes (FrameChanges).
#pragma once

#include <cstdint>
#include <vector>

#include "surface/draw_list.h"
#include "surface/present_target.h"
#include "surface/surface.h"

// What the drawing knows of a back buffer's frame against the frame drawn before it.
struct FrameChanges {
  uint64_t Serial = 0;   // frames count from 1 as they are drawn; 0: none drawn this way
  uint64_t Version = 0;  // the buffer's version when its drawing finished
  bool Known = false;    // outside Areas, the frame equals frame Serial - 1
  std::vector<ChangedArea> Areas;
};

// The drawing of frames into two back buffers, drawn in turn.
class FrameDrawing {
 public:
  // Starts noting the drawing of the frame about to be drawn into `screen`;
  // `redrawsEverything` as FrameRedrawsEverything for it.
  void Begin(Surface& screen, bool redrawsEverything);
  // Draws the noted frame into back buffer `index` of `buffers` (the one Begin was given) and
  // stops noting; `ended` is false when the frame's drawing was cut short by an error.
  // `changes` receives what the frame changed against the other buffer's frame.
  void Finish(Surface (&buffers)[2], int32_t index, FrameChanges& changes, bool ended);

 private:
  // What a back buffer holds: the drawing that last filled it, when known.
  struct BufferContent {
    DrawList drawing;
    bool known = false;  // the buffer holds exactly what `drawing` left, at `version`
    uint64_t version = 0;
    uint64_t serial = 0;
  };
  void FindChangedAreas(const Surface& screen, const std::vector<DrawOp>& earlier, bool toDraw);

  BufferContent buffers_[2];
  DrawList noting_;
  bool redrawsEverything_ = false;
  uint64_t startVersion_ = 0;  // the buffer's version before the frame's drawing
  uint64_t serial_ = 0;
  ChangedTiles tiles_;
  std::vector<Rect> areas_;
};

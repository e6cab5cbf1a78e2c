// SPDX-License-Identifier: MIT
#include "render/frame_drawing.h"

#include "base/runtime.h"

namespace {

// Whether `content` describes a buffer of version `version`.
template <typename Content>
bool Holds(const Content& content, uint64_t version) {
  return content.known && content.version == version;
}

}  // namespace

// Fills areas_ with the tiles of `screen` where the frame being drawn and the drawing
// `earlier` may differ; `toDraw` when the frame is drawn there alone, which must not cut an
// operation that works on whole groups of four pixels.
void FrameDrawing::FindChangedAreas(const Surface& screen, const std::vector<DrawOp>& earlier, bool toDraw) {
  tiles_.Reset(screen.Width(), screen.Height());
  tiles_.MarkDifferences(noting_.Ops(), earlier);
  if (toDraw) tiles_.KeepGroupsWhole(noting_.Ops());
  tiles_.Areas(areas_);
}

void FrameDrawing::Begin(Surface& screen, bool redrawsEverything) {
  noting_.Clear();
  redrawsEverything_ = redrawsEverything;
  startVersion_ = screen.Version();
  screen.RecordInto(&noting_);
}

void FrameDrawing::Finish(Surface (&buffers)[2], int32_t index, FrameChanges& changes, bool ended) {
  index = CheckIndex(index, 0, 1);
  Surface& screen = buffers[index];
  const Surface& previous = buffers[1 - index];
  BufferContent& mine = buffers_[index];
  const BufferContent& before = buffers_[1 - index];
  screen.RecordInto(nullptr);
  // A frame that paints every pixel anew gives a pixel that its drawing and the buffer's
  // last drawing write alike the value the buffer already holds there.
  const bool whole = noting_.Whole() && !screen.DrawingSkipped() && screen.Pixels() != nullptr;
  const bool comparable = whole && ended && redrawsEverything_;
  if (comparable && Holds(mine, startVersion_)) {
    FindChangedAreas(screen, mine.drawing.Ops(), true);
    ApplyWithin(noting_.Ops(), screen.Pixels(), screen.Pitch(), areas_);
  } else {
    noting_.StopNoting(screen.Buffer());
  }

  changes.Serial = ++serial_;
  changes.Version = screen.Version();
  changes.Known = comparable && Holds(before, previous.Version()) && before.serial + 1 == changes.Serial;
  changes.Areas.clear();
  if (changes.Known) {
    FindChangedAreas(screen, before.drawing.Ops(), false);
    for (const Rect& area : areas_) changes.Areas.push_back(ChangedArea{area.Left, area.Top, area.Right, area.Bottom});
  }

  mine.drawing.Swap(noting_);
  mine.known = whole;
  mine.version = screen.Version();
  mine.serial = changes.Serial;
}

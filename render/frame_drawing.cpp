#include "render/frame_drawing.h"

#include <vector>

#include "render/sheet.h"
#include "shell/runtime.h"
#include "shell/shell_state.h"
#include "surface/draw_list.h"

namespace {

// What a back buffer holds: the drawing that last filled it, when known.
struct BufferContent {
  DrawList drawing;
  bool known = false;  // the buffer holds exactly what `drawing` left, at `version`
  uint64_t version = 0;
  uint64_t serial = 0;
};

struct FrameDrawing {
  BufferContent buffers[2];
  DrawList noting;
  bool redrawsEverything = false;
  uint64_t startVersion = 0;  // the buffer's version before the frame's drawing
  uint64_t serial = 0;
  ChangedTiles tiles;
  std::vector<Rect> areas;
};

FrameDrawing& State() {
  static FrameDrawing state;
  return state;
}

// Fills state.areas with the tiles of `screen` where the frame being drawn and the drawing
// `earlier` may differ.
void FindChangedAreas(FrameDrawing& state, const CGDISurface& screen, const std::vector<DrawOp>& earlier) {
  state.tiles.Reset(screen.Width(), screen.Height());
  state.tiles.MarkDifferences(state.noting.Ops(), earlier);
  state.tiles.Areas(state.areas);
}

// Whether `content` describes a buffer of version `version`.
bool Holds(const BufferContent& content, uint64_t version) { return content.known && content.version == version; }

}  // namespace

void BeginFrameDrawing(bool redrawsEverything) {
  FrameDrawing& state = State();
  state.noting.Clear();
  state.redrawsEverything = redrawsEverything;
  CGDISurface& screen = ScreenSurface();
  state.startVersion = screen.Version();
  screen.RecordInto(&state.noting);
}

void FinishFrameDrawing(bool ended) {
  FrameDrawing& state = State();
  const int32_t index = CheckIndex(Shell.BackIndex, 0, 1);
  CGDISurface& screen = Shell.BackBuffer[index];
  const CGDISurface& previous = Shell.BackBuffer[1 - index];
  BufferContent& mine = state.buffers[index];
  const BufferContent& before = state.buffers[1 - index];
  screen.RecordInto(nullptr);
  // A frame that paints every pixel anew gives a pixel that its drawing and the buffer's
  // last drawing write alike the value the buffer already holds there.
  const bool whole = state.noting.Whole() && !screen.DrawingSkipped() && screen.ptr() != nullptr;
  const bool comparable = whole && ended && state.redrawsEverything;
  if (comparable && Holds(mine, state.startVersion)) {
    FindChangedAreas(state, screen, mine.drawing.Ops());
    ApplyWithin(state.noting.Ops(), screen.ptr(), screen.pitch(), state.areas);
  } else {
    state.noting.StopNoting(screen);
  }

  FrameChanges& changes = Shell.BackChanges[index];
  changes.Serial = ++state.serial;
  changes.Version = screen.Version();
  changes.Known = comparable && Holds(before, previous.Version()) && before.serial + 1 == changes.Serial;
  changes.Areas.clear();
  if (changes.Known) {
    FindChangedAreas(state, screen, before.drawing.Ops());
    for (const Rect& area : state.areas)
      changes.Areas.push_back(ChangedArea{area.Left, area.Top, area.Right, area.Bottom});
  }

  mine.drawing.Swap(state.noting);
  mine.known = whole;
  mine.version = screen.Version();
  mine.serial = changes.Serial;
}

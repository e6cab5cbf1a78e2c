// A frame is drawn into its back buffer only where it can differ from what the buffer holds.
// Its drawing is noted (DrawList) between BeginFrameDrawing and FinishFrameDrawing, compared
// with the drawing that last filled the buffer, and carried out on the tiles where the two
// differ; a frame that does not paint every pixel anew, or a buffer whose content is not known
// to be that drawing's, gets the whole drawing. Either way the pixels are exactly those of
// drawing at once. The comparison with the frame before (the other buffer's) also tells the
// presenter where to look for changes (Shell.BackChanges).
#pragma once

// Starts noting the drawing of the frame about to be drawn into ScreenSurface();
// `redrawsEverything` as FrameRedrawsEverything for it.
void BeginFrameDrawing(bool redrawsEverything);
// Draws the noted frame and stops noting; `ended` is false when the frame's drawing was cut
// short by an error.
void FinishFrameDrawing(bool ended);

// SPDX-License-Identifier: MIT
// FramePresenter: the game loop's presenter. Decides when the next frame is due (28 ms on the
// performance counter, measured from presentation to presentation) and shows the newest
// back buffer, 1:1 in a normal window or scaled with myZoomPD when maximised (myZoomPDWide,
// straight into the window's pixels, where the window lends them).
//
// Only what changed is handed over: the presenter keeps a copy of the picture it last showed
// (or zoomed), compares the new back buffer with it row by row (only where the drawing says
// the frame may differ from the one before, when that is the one shown) and presents the
// changed areas alone, or nothing. While nobody can see the target nothing is zoomed or presented,
// nor is a back buffer whose drawing was skipped; the first presentation after that hands
// over the whole picture.
#pragma once

#include <cstdint>
#include <vector>

#include "surface/present_target.h"

class Surface;
struct Canvas;

class FramePresenter {
 public:
  static constexpr int32_t FramePeriodMs = 28;

  // Presents the newest back buffer of `canvas` on `target`; the first frame falls due one
  // period from now.
  FramePresenter(PresentTarget* target, const Canvas& canvas);
  bool TimeOut();
  // Whole milliseconds until TimeOut turns true (rounded up, at most one period), 0 when it
  // already is or the counter cannot tell.
  uint32_t MillisecondsUntilDue() const;
  void Render();

  int64_t LastCount() const { return LastCount_; }

 private:
  enum class Mode { None, Unscaled, Zoomed };

  void PresentUnscaled(const Surface& current);
  void PresentZoomed(const Surface& current);
  // Finds what changed in `current`, calls zoomAgainst(previous) to zoom it into the zoom's
  // destination against `previous` (the complement of the picture when everything must be
  // zoomed) and fills ZoomedChanges_ with the zoom's areas that changed.
  template <typename Zoom>
  void ZoomChanges(const Surface& current, const Zoom& zoomAgainst);
  // Fills Changes_ with the areas of `current` that differ from Shown_ (every row when
  // `everything`), one area per run of changed rows. Where Shown_ holds the frame drawn just
  // before `current`, only the areas the drawing names (Canvas::BackChanges) are compared.
  // Shown_ takes current's layout first, and then every row counts as changed. Returns whether
  // every row did.
  bool FindChanges(const Surface& current, bool everything);
  // Copies the changed areas of `current` into Shown_.
  void RememberChanges(const Surface& current);

  PresentTarget* target_ = nullptr;
  const Canvas& canvas_;
  int64_t LastCount_ = 0;
  int64_t CounterFreq_ = 1;

  Mode Mode_ = Mode::None;
  bool PresentAll_ = true;      // the next presentation hands over the whole picture
  bool ZoomAll_ = true;         // the next zoom recomputes every pixel
  bool ZoomedWide_ = false;     // the last zoom went straight into the target's lent pixels
  uint64_t ZoomedVersion_ = 0;  // the zoom surface's version when it was last zoomed into
  // The source picture last presented or zoomed, in the back buffer's layout.
  std::vector<uint16_t> Shown_;
  int32_t ShownWidth_ = 0, ShownHeight_ = 0, ShownPitch_ = 0;
  // The frame (as the drawing counts them) that Shown_ holds, 0 when unknown, and the frame
  // whose changes are being presented.
  uint64_t ShownSerial_ = 0, PendingSerial_ = 0;
  std::vector<ChangedArea> Changes_;
  std::vector<ChangedArea> ZoomedChanges_;
  struct RowSpan {
    int32_t Left, Right;
  };
  std::vector<RowSpan> RowSpans_;  // per row, the columns the drawing says may have changed
};

// SPDX-License-Identifier: MIT
#include "shell/frame_presenter.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "base/runtime.h"
#include "platform/platform.h"
#include "shell/canvas.h"
#include "surface/raster_binding.h"

namespace {

const uint16_t* RowOf(const uint16_t* pixels, int32_t pitchPixels, int32_t row) {
  return pixels + static_cast<ptrdiff_t>(row) * pitchPixels;
}

int32_t PitchPixels(const Surface& surface) { return surface.Pitch() / static_cast<int32_t>(sizeof(uint16_t)); }

// The first destination index whose bilinear sample starts at or after source index `from`
// (index * srcSize / dstSize rounded down), for 0 <= from <= srcSize.
int32_t FirstSampling(int32_t from, int32_t srcSize, int32_t dstSize) {
  return static_cast<int32_t>((int64_t{from} * dstSize + srcSize - 1) / srcSize);
}

// The destination span whose bilinear samples may read source indices first .. end - 1: a
// destination index reads the source index it starts from and the one after it.
void ZoomedSpan(int32_t first, int32_t end, int32_t srcSize, int32_t dstSize, int32_t& dstFirst, int32_t& dstEnd) {
  dstFirst = FirstSampling(std::max(first - 1, 0), srcSize, dstSize);
  dstEnd = std::min(FirstSampling(end, srcSize, dstSize), dstSize);
}

// Rows are compared sixteen pixels at a time (in vector registers where the processor has
// them), then pixel by pixel within the group that differs.
constexpr int32_t GroupPixels = 16;
typedef uint16_t PixelGroup __attribute__((vector_size(GroupPixels * sizeof(uint16_t))));

bool GroupsDiffer(const uint16_t* a, const uint16_t* b) {
  PixelGroup x, y;
  memcpy(&x, a, sizeof x);
  memcpy(&y, b, sizeof y);
  const PixelGroup difference = x ^ y;
  uint64_t parts[sizeof difference / sizeof(uint64_t)];
  memcpy(parts, &difference, sizeof parts);
  uint64_t any = 0;
  for (uint64_t part : parts) any |= part;
  return any != 0;
}

// The first index where two rows of `width` pixels differ; they must differ somewhere.
int32_t FirstDifference(const uint16_t* row, const uint16_t* shown, int32_t width) {
  int32_t x = 0;
  while (x + GroupPixels <= width && !GroupsDiffer(row + x, shown + x)) x += GroupPixels;
  while (row[x] == shown[x]) ++x;
  return x;
}

// One past the last index where two rows of `width` pixels differ; they differ at `first`.
int32_t EndOfDifference(const uint16_t* row, const uint16_t* shown, int32_t first, int32_t width) {
  int32_t end = width;
  while (end - GroupPixels >= first && !GroupsDiffer(row + end - GroupPixels, shown + end - GroupPixels))
    end -= GroupPixels;
  while (row[end - 1] == shown[end - 1]) --end;
  return end;
}

void AddArea(std::vector<ChangedArea>& areas, const ChangedArea& area) {
  if (area.Right <= area.Left || area.Bottom <= area.Top) return;
  if (!areas.empty() && areas.back().Bottom >= area.Top) {
    ChangedArea& last = areas.back();
    last.Left = std::min(last.Left, area.Left);
    last.Right = std::max(last.Right, area.Right);
    last.Bottom = std::max(last.Bottom, area.Bottom);
    return;
  }
  areas.push_back(area);
}

}  // namespace

FramePresenter::FramePresenter(PresentTarget* target, const Canvas& canvas)
    : target_(target),
      canvas_(canvas),
      LastCount_(Platform::PerformanceCounter()),
      CounterFreq_(Platform::PerformanceFrequency()) {}

bool FramePresenter::TimeOut() {
  int64_t elapsed = 0, elapsedScaled = 0, periodScaled = 0;
  // An overflowing test counts as due, as any failure of the test does.
  if (__builtin_sub_overflow(Platform::PerformanceCounter(), LastCount_, &elapsed) ||
      __builtin_mul_overflow(elapsed, int64_t{1000}, &elapsedScaled) ||
      __builtin_mul_overflow(CounterFreq_, int64_t{FramePeriodMs}, &periodScaled)) {
    return true;
  }
  return elapsedScaled >= periodScaled;
}

uint32_t FramePresenter::MillisecondsUntilDue() const {
  int64_t elapsed = 0, elapsedScaled = 0, periodScaled = 0;
  if (__builtin_sub_overflow(Platform::PerformanceCounter(), LastCount_, &elapsed) ||
      __builtin_mul_overflow(elapsed, int64_t{1000}, &elapsedScaled) ||
      __builtin_mul_overflow(CounterFreq_, int64_t{FramePeriodMs}, &periodScaled) || CounterFreq_ <= 0) {
    return 0;
  }
  if (elapsedScaled >= periodScaled) return 0;
  // A counter that ran backwards waits one period at most.
  const int64_t remainingScaled = elapsedScaled < 0 ? periodScaled : periodScaled - elapsedScaled;
  return static_cast<uint32_t>((remainingScaled + CounterFreq_ - 1) / CounterFreq_);
}

void FramePresenter::Render() {
  LastCount_ = Platform::PerformanceCounter();
  if (target_ == nullptr) return;
  if (!target_->Showing()) {
    PresentAll_ = true;
    return;
  }
  const Surface& current = canvas_.Current();
  if (current.DrawingSkipped()) {
    PresentAll_ = true;
    return;
  }
  const Mode mode = canvas_.ViewWidth == LogicalWidth ? Mode::Unscaled : Mode::Zoomed;
  if (mode != Mode_ || target_->LostPicture()) {
    Mode_ = mode;
    PresentAll_ = true;
    ZoomAll_ = true;
  }
  IgnoreErrors([&] {
    if (mode == Mode::Unscaled) {
      PresentUnscaled(current);
    } else {
      PresentZoomed(current);
    }
  });
}

void FramePresenter::PresentUnscaled(const Surface& current) {
  if (current.Pixels() == nullptr) return;
  FindChanges(current, PresentAll_);
  if (Changes_.empty()) return;
  target_->CopyAreas(current.Pixels(), current.Pitch(), current.Width(), current.Height(), 0, 0, Changes_.data(),
                     Changes_.size());
  RememberChanges(current);
  PresentAll_ = false;
}

void FramePresenter::PresentZoomed(const Surface& current) {
  const Surface& zoom = canvas_.Zoom;
  // A zoom surface made anew (its version tells, even where it lands at the same address)
  // holds none of the picture: everything is zoomed and presented again.
  if (zoom.Version() != ZoomedVersion_) {
    ZoomedVersion_ = zoom.Version();
    PresentAll_ = true;
    ZoomAll_ = true;
  }
  // A target that lends its 32-bit pixels gets the zoom written straight into them; the zoom
  // surface then keeps nothing, so changing between the two ways zooms and presents
  // everything again.
  PresentTarget::LentPixels lent;
  const bool wide = zoom.Pixels() != nullptr && current.Pixels() != nullptr && target_->LendPixels(lent);
  if (wide != ZoomedWide_) {
    ZoomedWide_ = wide;
    ZoomAll_ = true;
    PresentAll_ = true;
  }
  if (wide) {
    // The lent pixels are written again wherever the target may have lost them.
    if (PresentAll_) ZoomAll_ = true;
    ZoomChanges(current, [&](const uint16_t* previous) {
      Raster::myZoomPDWide(lent.Pixels, current.Pixels(), lent.PitchPixels, PitchPixels(current), current.Height(),
                           zoom.Height(), current.Width(), zoom.Width(), previous, lent.Width, lent.Height);
    });
    if (PresentAll_) ZoomedChanges_.assign(1, ChangedArea{0, 0, lent.Width, lent.Height});
    target_->ReturnPixels(ZoomedChanges_.data(), ZoomedChanges_.size());
    PresentAll_ = false;
    return;
  }
  // The zoom checks nothing itself: it runs only on surfaces that exist.
  if (zoom.Pixels() != nullptr && current.Pixels() != nullptr) {
    ZoomChanges(current, [&](const uint16_t* previous) {
      Raster::myZoomPD(zoom.Pixels(), current.Pixels(), PitchPixels(zoom), PitchPixels(current), current.Height(),
                       zoom.Height(), current.Width(), zoom.Width(), previous);
    });
  } else {
    ZoomedChanges_.clear();
  }
  if (PresentAll_) {
    ZoomedChanges_.assign(1, ChangedArea{0, 0, zoom.Width(), zoom.Height()});
  }
  if (zoom.Pixels() == nullptr || ZoomedChanges_.empty()) return;
  target_->CopyAreas(zoom.Pixels(), zoom.Pitch(), zoom.Width(), zoom.Height(), 0, 0, ZoomedChanges_.data(),
                     ZoomedChanges_.size());
  PresentAll_ = false;
}

template <typename Zoom>
void FramePresenter::ZoomChanges(const Surface& current, const Zoom& zoomAgainst) {
  ZoomedChanges_.clear();
  const int32_t pitch = PitchPixels(current);
  if (FindChanges(current, ZoomAll_)) {
    // Against the complement of the picture every sample differs, so every pixel is zoomed.
    for (int32_t y = 0; y < current.Height(); ++y) {
      const uint16_t* row = RowOf(current.Pixels(), pitch, y);
      uint16_t* shown = Shown_.data() + static_cast<ptrdiff_t>(y) * pitch;
      for (int32_t x = 0; x < current.Width(); ++x) shown[x] = static_cast<uint16_t>(~row[x]);
    }
  }
  if (Changes_.empty()) return;
  IgnoreErrors([&] {
    zoomAgainst(Shown_.data());
    RememberChanges(current);
    ZoomAll_ = false;
    // The zoom leaves the last two rows as they are.
    const Surface& zoom = canvas_.Zoom;
    const int32_t zoomedRows = std::max(zoom.Height() - 2, 0);
    for (const ChangedArea& area : Changes_) {
      ChangedArea zoomed;
      ZoomedSpan(area.Left, area.Right, current.Width(), zoom.Width(), zoomed.Left, zoomed.Right);
      ZoomedSpan(area.Top, area.Bottom, current.Height(), zoom.Height(), zoomed.Top, zoomed.Bottom);
      zoomed.Bottom = std::min(zoomed.Bottom, zoomedRows);
      AddArea(ZoomedChanges_, zoomed);
    }
  });
}

bool FramePresenter::FindChanges(const Surface& current, bool everything) {
  const int32_t width = current.Width(), height = current.Height(), pitch = PitchPixels(current);
  if (width != ShownWidth_ || height != ShownHeight_ || pitch != ShownPitch_) {
    Shown_.assign(static_cast<size_t>(pitch) * static_cast<size_t>(height), 0);
    ShownWidth_ = width;
    ShownHeight_ = height;
    ShownPitch_ = pitch;
    everything = true;
  }
  // The drawing tells where a frame may differ from the frame before it; when that one is
  // what Shown_ holds, only those places are compared.
  const FrameChanges& drawn = canvas_.CurrentChanges();
  const bool drawnFrame = &current == &canvas_.Current() && drawn.Serial != 0 && drawn.Version == current.Version();
  const bool hinted = !everything && drawnFrame && drawn.Known && ShownSerial_ != 0 && drawn.Serial == ShownSerial_ + 1;
  Changes_.clear();
  // A frame already shown (no frame was drawn since, as on the title while the window has no
  // focus) has nothing to compare.
  if (!everything && drawnFrame && drawn.Serial == ShownSerial_) return false;
  PendingSerial_ = drawnFrame ? drawn.Serial : 0;
  ShownSerial_ = 0;
  if (hinted) {
    RowSpans_.assign(static_cast<size_t>(height), RowSpan{width, 0});
    for (const ChangedArea& area : drawn.Areas) {
      for (int32_t y = std::max(area.Top, 0); y < std::min(area.Bottom, height); ++y) {
        RowSpan& span = RowSpans_[static_cast<size_t>(y)];
        span.Left = std::min(span.Left, std::max(area.Left, 0));
        span.Right = std::max(span.Right, std::min(area.Right, width));
      }
    }
  }
  for (int32_t y = 0; y < height; ++y) {
    int32_t left = 0, right = width;
    if (!everything) {
      int32_t from = 0, to = width;
      if (hinted) {
        from = RowSpans_[static_cast<size_t>(y)].Left;
        to = RowSpans_[static_cast<size_t>(y)].Right;
        if (from >= to) continue;
      }
      const uint16_t* row = RowOf(current.Pixels(), pitch, y) + from;
      const uint16_t* shown = RowOf(Shown_.data(), pitch, y) + from;
      if (memcmp(row, shown, static_cast<size_t>(to - from) * sizeof(uint16_t)) == 0) continue;
      left = from + FirstDifference(row, shown, to - from);
      right = from + EndOfDifference(row, shown, left - from, to - from);
    }
    AddArea(Changes_, {left, y, right, y + 1});
  }
  if (Changes_.empty()) ShownSerial_ = PendingSerial_;
  return everything;
}

void FramePresenter::RememberChanges(const Surface& current) {
  ShownSerial_ = PendingSerial_;
  const int32_t pitch = PitchPixels(current);
  for (const ChangedArea& area : Changes_) {
    for (int32_t y = area.Top; y < area.Bottom; ++y) {
      memcpy(Shown_.data() + static_cast<ptrdiff_t>(y) * pitch + area.Left,
             RowOf(current.Pixels(), pitch, y) + area.Left,
             static_cast<size_t>(area.Right - area.Left) * sizeof(uint16_t));
    }
  }
}

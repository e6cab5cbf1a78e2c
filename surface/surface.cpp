// SPDX-License-Identifier: MIT
#include "surface/surface.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <utility>

#include "base/runtime.h"
#include "surface/bmp_loader.h"
#include "surface/raster_binding.h"

namespace {

constexpr int32_t kDefaultColourKey = 0x7C1F;
constexpr int32_t kFullAlphaLevel = 32;

uint64_t NextVersion() {
  static std::atomic<uint64_t> last{0};
  return ++last;
}

Rect AreaOf(const FrameInfo& frame) { return Rect{frame.Left, frame.Top, frame.Right, frame.Bottom}; }

// The common copy procedure: narrows the source area `from` to the pixels `src` has, places
// it on `dst` at (x, y) by the frame's anchor and clips it against dst. True when something is
// left to draw; `from` and `to` are then the source and destination rectangles for the raster
// routine.
bool PlaceCopy(const Surface& dst, const Surface& src, const FrameInfo& frame, Rect& from, int32_t x, int32_t y,
               Rect& to) {
  from.Left = std::max(from.Left, 0);
  from.Top = std::max(from.Top, 0);
  from.Right = std::min<int32_t>(from.Right, src.Width());
  from.Bottom = std::min<int32_t>(from.Bottom, src.Height());
  Rect clip{0, 0, dst.Width(), dst.Height()};
  to = Rect{x, y, 0, 0};
  return Raster::ClipperRect(&clip, &to, &from, frame.AnchorX, frame.AnchorY, 1.0f) == -1;
}

// The pixels a copy reads. A surface drawn onto itself is read from a snapshot taken before
// the copy, so a raster routine never gets overlapping source and destination areas.
class SourcePixels {
 public:
  SourcePixels(const Surface& src, const Surface& dst) : pixels_(src.Pixels()) {
    src.StopRecording();
    if (&src == &dst) {
      size_t words = static_cast<size_t>(src.Pitch() / 2) * static_cast<size_t>(src.Height());
      snapshot_.assign(src.Pixels(), src.Pixels() + words);
      pixels_ = snapshot_.data();
    }
  }
  const uint16_t* get() const { return pixels_; }

 private:
  const uint16_t* pixels_;
  std::vector<uint16_t> snapshot_;
};

// The operation of a blend style; false for a style that draws nothing.
bool BlendFor(BlendStyle style, DrawOp::Kind& kind) {
  switch (style) {
    case BlendStyle::Alpha:
      kind = DrawOp::Kind::Blend;
      return true;
    case BlendStyle::Additive:
      kind = DrawOp::Kind::Additive;
      return true;
    case BlendStyle::Subtractive:
      kind = DrawOp::Kind::Subtractive;
      return true;
  }
  return false;
}

// A copy of `from` to `to` as an operation; a copy from the destination itself is drawn at
// once, from the snapshot `pixels`.
DrawOp CopyOp(DrawOp::Kind kind, const Surface& src, const SourcePixels& pixels, const Rect& from, const Rect& to) {
  DrawOp op;
  op.kind = kind;
  op.to = to;
  op.source = pixels.get();
  op.sourcePitch = src.Pitch();
  op.sourceLeft = from.Left;
  op.sourceTop = from.Top;
  op.sourceVersion = src.Version();
  op.colourKey = src.ColourKey();
  return op;
}

// A copy of `from` of frame 0 as an operation of `kind` (opaque or keyed).
void PlainCopy(Surface& dst, const Surface& src, DrawOp::Kind kind, Rect from, int32_t x, int32_t y) {
  const FrameInfo frame = src.Frame(0);
  Rect to;
  if (!PlaceCopy(dst, src, frame, from, x, y, to) || dst.DrawingSkipped()) return;
  SourcePixels pixels(src, dst);
  dst.Draw(CopyOp(kind, src, pixels, from, to));
}

}  // namespace

Surface::Surface() : version_(NextVersion()) {}

Surface::~Surface() = default;

Surface::Surface(Surface&& other) noexcept : version_(NextVersion()) { *this = std::move(other); }

Surface& Surface::operator=(Surface&& other) noexcept {
  if (this != &other) {
    // A picture moves whole: whatever either list noted is drawn first.
    StopRecording();
    other.StopRecording();
    recording_ = other.recording_ = nullptr;
    version_ = std::exchange(other.version_, NextVersion());
    pixels_ = std::move(other.pixels_);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    pitch_ = std::exchange(other.pitch_, 0);
    colourKey_ = std::exchange(other.colourKey_, kDefaultColourKey);
    frames_ = std::exchange(other.frames_, {});
    skipDrawing_ = std::exchange(other.skipDrawing_, false);
  }
  return *this;
}

void Surface::Release() {
  StopRecording();
  version_ = NextVersion();
  pixels_.reset();
  width_ = height_ = pitch_ = 0;
  frames_.clear();
}

uint16_t* Surface::Pixels() const { return pixels_.get(); }
int16_t Surface::Width() const { return width_; }
int16_t Surface::Height() const { return height_; }
int16_t Surface::Pitch() const { return pitch_; }
int16_t Surface::FrameCount() const { return static_cast<int16_t>(frames_.size()); }

FrameInfo Surface::Frame(int16_t index) const {
  if (frames_.empty()) Raise(ErrorKind::SubscriptOutOfRange, "frame " + std::to_string(index));
  if (index >= 0 && index < static_cast<int16_t>(frames_.size())) return frames_[static_cast<size_t>(index)];
  return FrameInfo{};
}

bool Surface::Create(int16_t width, int16_t height) {
  Release();
  if (width < 0 || width > kMaxPictureWidth || height < 0) return false;
  int16_t pitch = static_cast<int16_t>((width * 2 + 2) & ~3);
  size_t words = static_cast<size_t>(pitch / 2) * static_cast<size_t>(height);
  pixels_.reset(new (std::nothrow) uint16_t[words]());  // all black
  if (!pixels_) return false;
  width_ = width;
  height_ = height;
  pitch_ = pitch;
  colourKey_ = kDefaultColourKey;
  // One frame: the whole picture, anchored at its top-left corner.
  frames_.assign(1, FrameInfo{0, 0, width_, height_, 0, 0});
  version_ = NextVersion();
  return true;
}

void Surface::DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t r, uint8_t g, uint8_t b) {
  DrawOp op;
  op.kind = DrawOp::Kind::Line;
  op.color = Raster::color32_16(r, g, b);
  if (width_ == 0 || height_ == 0 || skipDrawing_) return;  // no pixel to clamp to, or none to draw
  op.x0 = std::clamp<int32_t>(x0, 0, width_ - 1);
  op.x1 = std::clamp<int32_t>(x1, 0, width_ - 1);
  op.y0 = std::clamp<int32_t>(y0, 0, height_ - 1);
  op.y1 = std::clamp<int32_t>(y1, 0, height_ - 1);
  op.to = Rect{std::min(op.x0, op.x1), std::min(op.y0, op.y1), std::max(op.x0, op.x1) + 1, std::max(op.y0, op.y1) + 1};
  Draw(op);
}

void Surface::CopyFrom(const Surface& src, int32_t x, int32_t y) {
  PlainCopy(*this, src, DrawOp::Kind::Opaque, AreaOf(src.Frame(0)), x, y);
}

void Surface::CopyKeyedFrom(const Surface& src, int32_t x, int32_t y, const Rect& area) {
  PlainCopy(*this, src, DrawOp::Kind::Keyed, area, x, y);
}

void Surface::BlendFrom(const Surface& src, BlendStyle style, int32_t x, int32_t y, uint8_t level, int16_t frame) {
  try {
    DrawOp::Kind kind = DrawOp::Kind::Blend;
    if (!BlendFor(style, kind)) return;
    const FrameInfo info = src.Frame(frame);
    Rect from = AreaOf(info), to;
    if (!PlaceCopy(*this, src, info, from, x, y, to) || skipDrawing_) return;
    SourcePixels pixels(src, *this);
    DrawOp op = CopyOp(kind, src, pixels, from, to);
    op.level = level;
    Draw(op);
  } catch (const RuntimeError&) {
    // A blend that fails draws nothing; the frame goes on.
  }
}

void Surface::BlendThroughMask(const Surface& src, int32_t x, int32_t y, const Rect& area, const Surface& mask,
                               int32_t level) {
  try {
    Rect from = area, to;
    if (!PlaceCopy(*this, src, src.Frame(0), from, x, y, to)) return;
    // The mask is read at the source's offsets with the source's pitch.
    if (!mask.Pixels() || mask.Pitch() != src.Pitch() || mask.Height() < from.Bottom || skipDrawing_) return;
    SourcePixels pixels(src, *this);
    mask.StopRecording();
    DrawOp op = CopyOp(DrawOp::Kind::MaskedBlend, src, pixels, from, to);
    op.mask = mask.Pixels();
    op.maskVersion = mask.Version();
    op.level = std::clamp(level, 0, kFullAlphaLevel);
    Draw(op);
  } catch (const RuntimeError&) {
    // As BlendFrom.
  }
}

void Surface::Clear() {
  if (!pixels_ || skipDrawing_) return;
  // The padding is cleared too, which no operation does: drawn at once.
  StopRecording();
  version_ = NextVersion();
  std::memset(pixels_.get(), 0, static_cast<size_t>(pitch_) * height_);
}

void Surface::FillAround(const Surface& src, int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b) {
  const int32_t color = Raster::color32_16(r, g, b);
  if (skipDrawing_) return;
  Rect covered{0, 0, 0, 0};
  bool copies = false;
  try {
    const FrameInfo frame = src.Frame(0);
    Rect from = AreaOf(frame);
    copies = PlaceCopy(*this, src, frame, from, x, y, covered);
  } catch (const RuntimeError&) {
    // The copy will fail as well and write nothing.
  }
  if (!copies) covered = Rect{0, 0, 0, 0};
  // Above, left of, right of and below the copy's area.
  const Rect around[] = {{0, 0, width_, covered.Top},
                         {0, covered.Top, covered.Left, covered.Bottom},
                         {covered.Right, covered.Top, width_, covered.Bottom},
                         {0, std::max(covered.Bottom, covered.Top), width_, height_}};
  for (const Rect& part : around) {
    if (part.Right <= part.Left || part.Bottom <= part.Top) continue;
    DrawOp fill;
    fill.color = color;
    fill.to = part;
    Draw(fill);
  }
}

void Surface::SkipDrawing(bool skip) { skipDrawing_ = skip; }
bool Surface::DrawingSkipped() const { return skipDrawing_; }

void Surface::RecordInto(DrawList* list) { recording_ = list; }

void Surface::StopRecording() const {
  if (recording_ != nullptr) recording_->StopNoting(Buffer());
}

void Surface::Draw(const DrawOp& op) {
  version_ = NextVersion();
  if (recording_ != nullptr && recording_->Note(op)) return;
  if (pixels_) ApplyDrawOp(op, pixels_.get(), pitch_, Rect{0, 0, width_, height_});
}

#include "surface/cgdisurface.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <utility>

#include "shell/runtime.h"
#include "surface/bmp_loader.h"
#include "surface/present_target.h"
#include "surface/raster_binding.h"

namespace {

constexpr int32_t kDefaultTranColor = 0x7C1F;
constexpr int32_t kFullAlphaLevel = 32;

uint64_t NextVersion() {
  static std::atomic<uint64_t> last{0};
  return ++last;
}

FrameInfo FrameOf(const CGDISurface& src, int16_t index) {
  FrameInfo frame{};
  src.FrameRect(&frame, index);
  return frame;
}

Rect AreaOf(const FrameInfo& frame) { return Rect{frame.Left, frame.Top, frame.Right, frame.Bottom}; }

// The common copy procedure: narrows the source area `from` to the pixels `src` has, places
// it on `dst` at (X, Y) by the frame's anchor and clips it against dst's clip rectangle,
// itself held inside dst. True when something is left to draw; `from` and `to` are then the
// source and destination rectangles for the raster routine.
bool PlaceCopy(const CGDISurface& dst, const CGDISurface& src, const FrameInfo& frame, Rect& from, int32_t X,
               int32_t Y, float scale, Rect& to) {
  from.Left = std::max(from.Left, 0);
  from.Top = std::max(from.Top, 0);
  from.Right = std::min<int32_t>(from.Right, src.Width());
  from.Bottom = std::min<int32_t>(from.Bottom, src.Height());
  const Rect& clipper = dst.ClipRect();
  Rect clip{std::max(clipper.Left, 0), std::max(clipper.Top, 0), std::min<int32_t>(clipper.Right, dst.Width()),
            std::min<int32_t>(clipper.Bottom, dst.Height())};
  to = Rect{X, Y, 0, 0};
  return Raster::ClipperRect(&clip, &to, &from, frame.AnchorX, frame.AnchorY, scale) == -1;
}

// The pixels a copy reads. A surface drawn onto itself is read from a snapshot taken before
// the copy, so a raster routine never gets overlapping source and destination areas.
class SourcePixels {
 public:
  SourcePixels(const CGDISurface& src, const CGDISurface& dst) : pixels_(src.ptr()) {
    src.StopRecording();
    if (&src == &dst) {
      size_t words = static_cast<size_t>(src.pitch() / 2) * static_cast<size_t>(src.Height());
      snapshot_.assign(src.ptr(), src.ptr() + words);
      pixels_ = snapshot_.data();
    }
  }
  const uint16_t* get() const { return pixels_; }

 private:
  const uint16_t* pixels_;
  std::vector<uint16_t> snapshot_;
};

// The operation of an effect copy's Style; false for a Style that draws nothing.
bool BlendFor(int32_t Style, DrawOp::Kind& kind) {
  switch (Style) {
    case 0:
      kind = DrawOp::Kind::Blend;
      return true;
    case 1:
      kind = DrawOp::Kind::Additive;
      return true;
    case 2:
      kind = DrawOp::Kind::Subtractive;
      return true;
    default:
      return false;
  }
}

// A copy of `from` to `to` as an operation; a copy from the destination itself is drawn at
// once, from the snapshot `pixels`.
DrawOp CopyOp(DrawOp::Kind kind, const CGDISurface& src, const SourcePixels& pixels, const Rect& from, const Rect& to) {
  DrawOp op;
  op.kind = kind;
  op.to = to;
  op.source = pixels.get();
  op.sourcePitch = src.pitch();
  op.sourceLeft = from.Left;
  op.sourceTop = from.Top;
  op.sourceVersion = src.Version();
  op.tranColor = src.TranColor();
  return op;
}

// Colour-keyed copy of `from`, scaled by k unless k is exactly 1 (Blt and BltZoom).
void KeyedCopy(CGDISurface& dst, const CGDISurface& src, const FrameInfo& frame, Rect from, int32_t X, int32_t Y,
               float k) {
  Rect to;
  if (!PlaceCopy(dst, src, frame, from, X, Y, k, to) || dst.DrawingSkipped()) return;
  SourcePixels pixels(src, dst);
  if (k == 1.0f) {
    dst.Draw(CopyOp(DrawOp::Kind::Keyed, src, pixels, from, to));
    return;
  }
  // A scaled copy cannot be drawn in parts: it is drawn at once.
  dst.StopRecording();
  dst.Draw(DrawOp{});  // an empty operation, drawn at once: it only marks the pixels changed
  Raster::GDIBltZoom_16(dst.ptr(), dst.pitch(), &to, pixels.get(), src.pitch(), &from, src.TranColor());
}

void OpaqueCopy(CGDISurface& dst, const CGDISurface& src, const FrameInfo& frame, Rect from, int32_t X,
                int32_t Y) {
  Rect to;
  if (!PlaceCopy(dst, src, frame, from, X, Y, 1.0f, to) || dst.DrawingSkipped()) return;
  SourcePixels pixels(src, dst);
  dst.Draw(CopyOp(DrawOp::Kind::Opaque, src, pixels, from, to));
}

void BlendCopy(CGDISurface& dst, const CGDISurface& src, int32_t Style, const FrameInfo& frame, Rect from,
               int32_t X, int32_t Y, uint8_t effect) {
  DrawOp::Kind kind = DrawOp::Kind::Blend;
  if (!BlendFor(Style, kind)) return;
  Rect to;
  if (!PlaceCopy(dst, src, frame, from, X, Y, 1.0f, to) || dst.DrawingSkipped()) return;
  SourcePixels pixels(src, dst);
  DrawOp op = CopyOp(kind, src, pixels, from, to);
  op.level = effect;
  dst.Draw(op);
}

Rect SubArea(int32_t iT, int32_t iL, int32_t iH, int32_t iW) { return Rect{iL, iT, iW, iH}; }

}  // namespace

CGDISurface::CGDISurface() : version_(NextVersion()) {}

CGDISurface::~CGDISurface() = default;

CGDISurface::CGDISurface(CGDISurface&& other) noexcept : version_(NextVersion()) { *this = std::move(other); }

CGDISurface& CGDISurface::operator=(CGDISurface&& other) noexcept {
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
    tranColor_ = std::exchange(other.tranColor_, kDefaultTranColor);
    clip_ = std::exchange(other.clip_, Rect{0, 0, 0, 0});
    frames_ = std::exchange(other.frames_, {});
    skipDrawing_ = std::exchange(other.skipDrawing_, false);
  }
  return *this;
}

void CGDISurface::Release() {
  StopRecording();
  version_ = NextVersion();
  pixels_.reset();
  width_ = height_ = pitch_ = 0;
  clip_ = Rect{0, 0, 0, 0};
  frames_.clear();
}

uintptr_t CGDISurface::hdc() const { return reinterpret_cast<uintptr_t>(pixels_.get()); }
uint16_t* CGDISurface::ptr() const { return pixels_.get(); }
int16_t CGDISurface::Width() const { return width_; }
int16_t CGDISurface::Height() const { return height_; }
int16_t CGDISurface::pitch() const { return pitch_; }
int32_t CGDISurface::TranColor() const { return tranColor_; }
void CGDISurface::SetTranColor(int32_t vNewValue) { tranColor_ = vNewValue; }
int16_t CGDISurface::FrameCount() const { return static_cast<int16_t>(frames_.size()); }
const Rect& CGDISurface::ClipRect() const { return clip_; }

void CGDISurface::SetClipper(int32_t Left, int32_t top, int32_t Right, int32_t Bottom) {
  clip_ = Rect{Left, top, Right, Bottom};
}

bool CGDISurface::Create(int16_t Width, int16_t Height) {
  Release();
  if (Width < 0 || Width > kMaxPictureWidth || Height < 0) return false;
  int16_t pitch = static_cast<int16_t>((Width * 2 + 2) & ~3);
  size_t words = static_cast<size_t>(pitch / 2) * static_cast<size_t>(Height);
  pixels_.reset(new (std::nothrow) uint16_t[words]());  // all black
  if (!pixels_) return false;
  width_ = Width;
  height_ = Height;
  pitch_ = pitch;
  tranColor_ = kDefaultTranColor;
  clip_ = Rect{0, 0, Width, Height};
  ReadFrames({});
  version_ = NextVersion();
  return true;
}

void CGDISurface::LoadData(std::vector<uint8_t>& data) const {
  StopRecording();
  const auto* bytes = reinterpret_cast<const uint8_t*>(pixels_.get());
  data.assign(bytes, bytes + static_cast<size_t>(pitch_) * height_);
}

void CGDISurface::SetData(const std::vector<uint8_t>& data) {
  StopRecording();
  version_ = NextVersion();
  size_t bytes = std::min(data.size(), static_cast<size_t>(pitch_) * height_);
  if (bytes > 0) std::memcpy(pixels_.get(), data.data(), bytes);
}

void CGDISurface::Render(PresentTarget* dstdc) const {
  if (!pixels_ || dstdc == nullptr) return;
  StopRecording();
  dstdc->CopyPixels(pixels_.get(), pitch_, width_, height_, 0, 0);
}

void CGDISurface::RenderTo(PresentTarget* dstdc, int32_t X, int32_t Y, int16_t frame) const {
  FrameInfo area = FrameOf(*this, frame);
  int32_t width = area.Right - area.Left, height = area.Bottom - area.Top;
  if (width <= 0 || height <= 0 || dstdc == nullptr) return;
  StopRecording();
  const uint16_t* topLeft = pixels_.get() + static_cast<size_t>(area.Top) * (pitch_ / 2) + area.Left;
  dstdc->CopyPixels(topLeft, pitch_, width, height, X, Y);
}

void CGDISurface::DrawLine(int32_t x0, int32_t y0, int32_t X1, int32_t Y1, uint8_t r, uint8_t g, uint8_t b) {
  DrawOp op;
  op.kind = DrawOp::Kind::Line;
  op.color = Raster::color32_16(r, g, b);
  if (width_ == 0 || height_ == 0 || skipDrawing_) return;  // no pixel to clamp to, or none to draw
  op.x0 = std::clamp<int32_t>(x0, 0, width_ - 1);
  op.x1 = std::clamp<int32_t>(X1, 0, width_ - 1);
  op.y0 = std::clamp<int32_t>(y0, 0, height_ - 1);
  op.y1 = std::clamp<int32_t>(Y1, 0, height_ - 1);
  op.to = Rect{std::min(op.x0, op.x1), std::min(op.y0, op.y1), std::max(op.x0, op.x1) + 1, std::max(op.y0, op.y1) + 1};
  Draw(op);
}

void CGDISurface::Blt(const CGDISurface& src, int32_t X, int32_t Y, float k) {
  FrameInfo frame = FrameOf(src, 0);
  KeyedCopy(*this, src, frame, AreaOf(frame), X, Y, k);
}

void CGDISurface::BltZoom(const CGDISurface& src, int32_t X, int32_t Y, int32_t iH, int32_t iW, float k) {
  FrameInfo frame = FrameOf(src, 0);
  Rect from = AreaOf(frame);
  from.Right = iW;
  from.Bottom = iH;
  KeyedCopy(*this, src, frame, from, X, Y, k);
}

void CGDISurface::BltClip(const CGDISurface& src, int32_t X, int32_t Y, int32_t iT, int32_t iL, int32_t iH,
                          int32_t iW) {
  KeyedCopy(*this, src, FrameOf(src, 0), SubArea(iT, iL, iH, iW), X, Y, 1.0f);
}

void CGDISurface::FastBlt(const CGDISurface& src, int32_t X, int32_t Y) {
  FrameInfo frame = FrameOf(src, 0);
  OpaqueCopy(*this, src, frame, AreaOf(frame), X, Y);
}

void CGDISurface::FastBltClip(const CGDISurface& src, int32_t X, int32_t Y, int32_t iT, int32_t iL, int32_t iH,
                              int32_t iW) {
  OpaqueCopy(*this, src, FrameOf(src, 0), SubArea(iT, iL, iH, iW), X, Y);
}

bool CGDISurface::EffectBlt(const CGDISurface& src, int32_t Style, int32_t X, int32_t Y, uint8_t effect,
                            int16_t frame) {
  try {
    FrameInfo info = FrameOf(src, frame);
    BlendCopy(*this, src, Style, info, AreaOf(info), X, Y, effect);
  } catch (const RuntimeError&) {
    // An effect copy that fails draws nothing; the frame goes on.
  }
  return true;
}

bool CGDISurface::EffectBltClip(const CGDISurface& src, int32_t X, int32_t Y, uint8_t effect, int32_t iT,
                                int32_t iL, int32_t iH, int32_t iW, int32_t Style) {
  try {
    BlendCopy(*this, src, Style, FrameOf(src, 0), SubArea(iT, iL, iH, iW), X, Y, effect);
  } catch (const RuntimeError&) {
    // As EffectBlt.
  }
  return true;
}

bool CGDISurface::EffectBltClipAlpha(const CGDISurface& src, int32_t X, int32_t Y, int32_t iT, int32_t iL,
                                     int32_t iH, int32_t iW, const CGDISurface& Alpha, int32_t alpha2) {
  try {
    Rect from = SubArea(iT, iL, iH, iW), to;
    if (!PlaceCopy(*this, src, FrameOf(src, 0), from, X, Y, 1.0f, to)) return true;
    // The mask is read at the source's offsets with the source's pitch.
    if (!Alpha.ptr() || Alpha.pitch() != src.pitch() || Alpha.Height() < from.Bottom || skipDrawing_) return true;
    SourcePixels pixels(src, *this);
    Alpha.StopRecording();
    DrawOp op = CopyOp(DrawOp::Kind::MaskedBlend, src, pixels, from, to);
    op.mask = Alpha.ptr();
    op.maskVersion = Alpha.Version();
    op.level = std::clamp(alpha2, 0, kFullAlphaLevel);
    Draw(op);
  } catch (const RuntimeError&) {
    // As EffectBlt.
  }
  return true;
}

void CGDISurface::Clear() {
  if (!pixels_ || skipDrawing_) return;
  // The padding is cleared too, which no operation does: drawn at once.
  StopRecording();
  version_ = NextVersion();
  std::memset(pixels_.get(), 0, static_cast<size_t>(pitch_) * height_);
}

void CGDISurface::FillColor(uint8_t r, uint8_t g, uint8_t b) {
  DrawOp fill;
  fill.color = Raster::color32_16(r, g, b);
  if (skipDrawing_) return;
  fill.to = Rect{0, 0, width_, height_};
  Draw(fill);
}

void CGDISurface::FillColorAround(const CGDISurface& src, int32_t X, int32_t Y, uint8_t r, uint8_t g, uint8_t b) {
  const int32_t color = Raster::color32_16(r, g, b);
  if (skipDrawing_) return;
  Rect covered{0, 0, 0, 0};
  bool copies = false;
  try {
    FrameInfo frame = FrameOf(src, 0);
    Rect from = AreaOf(frame);
    copies = PlaceCopy(*this, src, frame, from, X, Y, 1.0f, covered);
  } catch (const RuntimeError&) {
    // The copy will fail as well and write nothing.
  }
  if (!copies) covered = Rect{0, 0, 0, 0};
  // Above, left of, right of and below the copy's area.
  const Rect around[] = {{0, 0, width_, covered.Top},
                         {0, covered.Top, covered.Left, covered.Bottom},
                         {covered.Right, covered.Top, width_, covered.Bottom},
                         {0, std::max(covered.Bottom, covered.Top), width_, height_}};
  for (const Rect& area : around) {
    if (area.Right <= area.Left || area.Bottom <= area.Top) continue;
    DrawOp fill;
    fill.color = color;
    fill.to = area;
    Draw(fill);
  }
}

void CGDISurface::SkipDrawing(bool skip) { skipDrawing_ = skip; }
bool CGDISurface::DrawingSkipped() const { return skipDrawing_; }

void CGDISurface::RecordInto(DrawList* list) { recording_ = list; }

void CGDISurface::StopRecording() const {
  if (recording_ != nullptr) recording_->StopNoting(*this);
}

void CGDISurface::Draw(const DrawOp& op) {
  version_ = NextVersion();
  if (recording_ != nullptr && recording_->Note(op)) return;
  if (pixels_) ApplyDrawOp(op, pixels_.get(), pitch_, Rect{0, 0, width_, height_});
}

bool CGDISurface::ReadFrames(const std::string& /*filename*/) {
  frames_.assign(1, FrameInfo{0, 0, width_, height_, 0, 0});
  return false;
}

void CGDISurface::FrameRect(FrameInfo* lpRect, int16_t FrameCount) const {
  if (frames_.empty()) Raise(ErrorKind::SubscriptOutOfRange, "frame " + std::to_string(FrameCount));
  if (FrameCount >= 0 && FrameCount < static_cast<int16_t>(frames_.size())) *lpRect = frames_[FrameCount];
}

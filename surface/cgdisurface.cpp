// STUB: replaced by the surface implementation.
#include "surface/cgdisurface.h"

#include <cstdlib>
#include <cstring>
#include <utility>

CGDISurface::CGDISurface() = default;
CGDISurface::~CGDISurface() { Release(); }
CGDISurface::CGDISurface(CGDISurface&& other) noexcept { *this = std::move(other); }
CGDISurface& CGDISurface::operator=(CGDISurface&& other) noexcept {
  if (this != &other) {
    Release();
    ptr_ = std::exchange(other.ptr_, nullptr);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    pitch_ = std::exchange(other.pitch_, 0);
    tranColor_ = other.tranColor_;
    clip_ = other.clip_;
    frames_ = std::move(other.frames_);
  }
  return *this;
}
void CGDISurface::Release() {
  std::free(ptr_);
  ptr_ = nullptr;
}
uintptr_t CGDISurface::hdc() const { return reinterpret_cast<uintptr_t>(ptr_); }
uint16_t* CGDISurface::ptr() const { return ptr_; }
int16_t CGDISurface::Width() const { return width_; }
int16_t CGDISurface::Height() const { return height_; }
int16_t CGDISurface::pitch() const { return pitch_; }
int32_t CGDISurface::TranColor() const { return tranColor_; }
void CGDISurface::SetTranColor(int32_t v) { tranColor_ = v; }
int16_t CGDISurface::FrameCount() const { return static_cast<int16_t>(frames_.size()); }
const Rect& CGDISurface::ClipRect() const { return clip_; }
void CGDISurface::SetClipper(int32_t l, int32_t t, int32_t r, int32_t b) { clip_ = {l, t, r, b}; }
bool CGDISurface::Create(int16_t w, int16_t h) {
  Release();
  width_ = w;
  height_ = h;
  pitch_ = static_cast<int16_t>((w * 2 + 2) & ~3);
  ptr_ = static_cast<uint16_t*>(std::calloc(static_cast<size_t>(pitch_) * h + 4, 1));
  tranColor_ = 0x7C1F;
  clip_ = {0, 0, w, h};
  frames_ = {FrameInfo{0, 0, w, h, 0, 0}};
  return true;
}
bool CGDISurface::Read(const std::string&) { return false; }
void CGDISurface::LoadData(std::vector<uint8_t>&) const {}
void CGDISurface::SetData(const std::vector<uint8_t>&) {}
void CGDISurface::Render(PresentTarget*) const {}
void CGDISurface::RenderTo(PresentTarget*, int32_t, int32_t, int16_t) const {}
void CGDISurface::DrawLine(int32_t, int32_t, int32_t, int32_t, uint8_t, uint8_t, uint8_t) {}
void CGDISurface::Blt(const CGDISurface&, int32_t, int32_t, float) {}
void CGDISurface::BltZoom(const CGDISurface&, int32_t, int32_t, int32_t, int32_t, float) {}
void CGDISurface::BltClip(const CGDISurface&, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {}
void CGDISurface::FastBlt(const CGDISurface&, int32_t, int32_t) {}
void CGDISurface::FastBltClip(const CGDISurface&, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t) {}
bool CGDISurface::EffectBlt(const CGDISurface&, int32_t, int32_t, int32_t, uint8_t, int16_t) { return true; }
bool CGDISurface::EffectBltClip(const CGDISurface&, int32_t, int32_t, uint8_t, int32_t, int32_t, int32_t, int32_t,
                                int32_t) {
  return true;
}
bool CGDISurface::EffectBltClipAlpha(const CGDISurface&, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                     const CGDISurface&, int32_t) {
  return true;
}
void CGDISurface::Clear() {}
void CGDISurface::FillColor(uint8_t, uint8_t, uint8_t) {}
bool CGDISurface::ReadFrames(const std::string&) { return false; }
void CGDISurface::FrameRect(FrameInfo* lpRect, int16_t i) const {
  if (i >= 0 && i < static_cast<int16_t>(frames_.size())) *lpRect = frames_[i];
}

// CGDISurface: the one image class of the game. An off-screen RGB555 image in memory that it
// owns, with a colour key, a clip rectangle and a frame list; it draws onto other surfaces
// through rasterkit and presents itself to a PresentTarget.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "raster/rasterkit.h"
#include "surface/draw_list.h"

class PresentTarget;

// A surface's frame record: the frame's area (Right and Bottom exclusive) and the source
// point that a copy places on its destination position.
struct FrameInfo {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  int16_t AnchorX = 0, AnchorY = 0;
};

class CGDISurface {
 public:
  CGDISurface();
  ~CGDISurface();
  CGDISurface(const CGDISurface&) = delete;
  CGDISurface& operator=(const CGDISurface&) = delete;
  CGDISurface(CGDISurface&& other) noexcept;
  CGDISurface& operator=(CGDISurface&& other) noexcept;

  // Properties.
  uintptr_t hdc() const;  // non-zero once the surface exists
  uint16_t* ptr() const;  // first pixel of the top row; nullptr until the first Create
  int16_t Width() const;
  int16_t Height() const;
  int16_t pitch() const;  // bytes per row: 2 x Width rounded up to a multiple of 4
  int32_t TranColor() const;
  void SetTranColor(int32_t vNewValue);
  int16_t FrameCount() const;  // the number of frames: 1 once the surface exists
  const Rect& ClipRect() const;

  // Stores the area that copies onto this surface may write, as passed. Copies never write
  // outside the surface, whatever the rectangle.
  void SetClipper(int32_t Left, int32_t top, int32_t Right, int32_t Bottom);
  // Makes a black Width x Height image, replacing any previous one; the colour key becomes
  // 0x7C1F, the clip rectangle the whole surface. False, leaving an empty surface, when the
  // size is negative, too wide for a 16-bit pitch, or the memory cannot be had.
  bool Create(int16_t Width, int16_t Height);
  // Loads a picture file. A file that cannot be opened raises FileNotFound, a file that is not
  // a picture raises InvalidPicture; the surface then keeps its previous image.
  bool Read(const std::string& filename);
  // Raw pixel exchange: `data` holds pitch x Height bytes, row by row. SetData copies only
  // as many bytes as `data` holds.
  void LoadData(std::vector<uint8_t>& data) const;
  void SetData(const std::vector<uint8_t>& data);
  // Presentation: the pixels go to the target unconverted. Render does nothing on a surface
  // that was never created; RenderTo reads the frame and so raises SubscriptOutOfRange there.
  void Render(PresentTarget* dstdc) const;
  void RenderTo(PresentTarget* dstdc, int32_t X, int32_t Y, int16_t frame) const;

  // Drawing onto this surface. The copies read a frame of `src` (narrowed to the source area
  // iL, iT, iW, iH where given: left, top, right, bottom edges), place its anchor at (X, Y)
  // and clip against this surface's clip rectangle. Copying a surface onto itself draws the
  // image as it was before the call.
  void DrawLine(int32_t x0, int32_t y0, int32_t X1, int32_t Y1, uint8_t r, uint8_t g, uint8_t b);
  void Blt(const CGDISurface& src, int32_t X, int32_t Y, float k);
  void BltZoom(const CGDISurface& src, int32_t X, int32_t Y, int32_t iH, int32_t iW, float k);
  void BltClip(const CGDISurface& src, int32_t X, int32_t Y, int32_t iT, int32_t iL, int32_t iH, int32_t iW);
  void FastBlt(const CGDISurface& src, int32_t X, int32_t Y);
  void FastBltClip(const CGDISurface& src, int32_t X, int32_t Y, int32_t iT, int32_t iL, int32_t iH, int32_t iW);
  // The three effect copies swallow every run-time error and report success (true).
  // EffectBltClipAlpha draws nothing unless the mask has the source's pitch and covers the
  // source area; alpha2 is held to 0..32.
  bool EffectBlt(const CGDISurface& src, int32_t Style, int32_t X, int32_t Y, uint8_t effect, int16_t frame);
  bool EffectBltClip(const CGDISurface& src, int32_t X, int32_t Y, uint8_t effect, int32_t iT, int32_t iL,
                     int32_t iH, int32_t iW, int32_t Style);
  bool EffectBltClipAlpha(const CGDISurface& src, int32_t X, int32_t Y, int32_t iT, int32_t iL, int32_t iH,
                          int32_t iW, const CGDISurface& Alpha, int32_t alpha2);
  void Clear();
  void FillColor(uint8_t r, uint8_t g, uint8_t b);
  // FillColor for the pixels that FastBlt(src, X, Y) will not write; the two together give
  // what FillColor followed by that FastBlt gives, and the copy then writes each pixel once.
  void FillColorAround(const CGDISurface& src, int32_t X, int32_t Y, uint8_t r, uint8_t g, uint8_t b);
  // While set, drawing onto this surface leaves its pixels as they are; every check, error and
  // result stays as it would be. For frames that nobody will see: the pixels are then not the
  // last frame's.
  void SkipDrawing(bool skip);
  bool DrawingSkipped() const;
  // While a list is attached, the drawing onto this surface is noted in it rather than done
  // (see DrawList); drawing that cannot wait, and any read of the pixels through this class,
  // first draws what the list holds. Detaching leaves the noted drawing to the caller.
  void RecordInto(DrawList* list);
  // Draws what the attached list holds and stops it noting. Const: the noted drawing already
  // counts as the surface's picture.
  void StopRecording() const;
  // Changes whenever the pixels may have changed through this class; never the same for two
  // different pictures, whichever surfaces held them.
  uint64_t Version() const { return version_; }
  // Carries out `op`, or notes it in the attached list.
  void Draw(const DrawOp& op);

  bool ReadFrames(const std::string& filename);
  // Copies frame `FrameCount` into *lpRect when it exists; raises SubscriptOutOfRange on a
  // surface that was never created.
  void FrameRect(FrameInfo* lpRect, int16_t FrameCount) const;

 private:
  void Release();

  std::unique_ptr<uint16_t[]> pixels_;
  int16_t width_ = 0;
  int16_t height_ = 0;
  int16_t pitch_ = 0;
  int32_t tranColor_ = 0x7C1F;
  Rect clip_{0, 0, 0, 0};
  std::vector<FrameInfo> frames_;
  bool skipDrawing_ = false;
  DrawList* recording_ = nullptr;
  uint64_t version_;
};

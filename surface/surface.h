// SPDX-License-Identifier: MIT
// Surface: the one image class of the game. An off-screen RGB555 image in memory that it
// owns, with a colour key and a frame list; it draws onto other surfaces through rasterkit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "raster/rasterkit.h"
#include "surface/draw_list.h"

// A surface's frame record: the frame's area (Right and Bottom exclusive) and the source
// point that a copy places on its destination position.
struct FrameInfo {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  int16_t AnchorX = 0, AnchorY = 0;
};

// How BlendFrom combines the source with what lies beneath.
enum class BlendStyle : int32_t { Alpha = 0, Additive = 1, Subtractive = 2 };

class Surface {
 public:
  Surface();
  ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  Surface(Surface&& other) noexcept;
  Surface& operator=(Surface&& other) noexcept;

  uint16_t* Pixels() const;  // first pixel of the top row; nullptr until the first Create
  int16_t Width() const;
  int16_t Height() const;
  int16_t Pitch() const;       // bytes per row: 2 x Width rounded up to a multiple of 4
  int16_t FrameCount() const;  // the number of frames: 1 once the surface exists
  // Frame `index` when it exists, else an empty record; raises SubscriptOutOfRange on a
  // surface that was never created.
  FrameInfo Frame(int16_t index) const;

  // Makes a black width x height image, replacing any previous one; the colour key becomes
  // 0x7C1F. False, leaving an empty surface, when the size is negative, too wide for a 16-bit
  // pitch, or the memory cannot be had.
  bool Create(int16_t width, int16_t height);
  // Loads a picture file. A file that cannot be opened raises FileNotFound, a file that is not
  // a picture raises InvalidPicture; the surface then keeps its previous image.
  bool Read(const std::string& filename);

  // Drawing onto this surface. The copies read a frame of `src` (narrowed to the source area
  // `area` where given: its left, top, right and bottom edges), place its anchor at (x, y) and
  // clip against this surface. Copying a surface onto itself draws the image as it was before
  // the call.
  void DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t r, uint8_t g, uint8_t b);
  // Opaque copy of the whole of frame 0.
  void CopyFrom(const Surface& src, int32_t x, int32_t y);
  // Copy of `area` of frame 0 that leaves the pixels of src's colour key out.
  void CopyKeyedFrom(const Surface& src, int32_t x, int32_t y, const Rect& area);
  // The two blends draw nothing where they fail (a source never created, a frame that does not
  // exist, the raster library missing): the frame that draws them goes on. BlendFrom mixes
  // frame `frame` in at `level` 0..255; BlendThroughMask takes each pixel's opacity from the
  // blue channel of `mask` at `level` 0..32 (held to that range) and draws nothing unless the
  // mask has the source's pitch and covers `area`.
  void BlendFrom(const Surface& src, BlendStyle style, int32_t x, int32_t y, uint8_t level, int16_t frame);
  void BlendThroughMask(const Surface& src, int32_t x, int32_t y, const Rect& area, const Surface& mask, int32_t level);
  void Clear();
  // Fills with one colour the pixels that CopyFrom(src, x, y) will not write; the two together
  // give a filled surface with src on it, and the copy then writes each pixel once.
  void FillAround(const Surface& src, int32_t x, int32_t y, uint8_t r, uint8_t g, uint8_t b);
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
  // The pixels as a draw list's target.
  PixelBuffer Buffer() const { return {pixels_.get(), pitch_, width_, height_}; }
  int32_t ColourKey() const { return colourKey_; }

 private:
  void Release();

  std::unique_ptr<uint16_t[]> pixels_;
  int16_t width_ = 0;
  int16_t height_ = 0;
  int16_t pitch_ = 0;
  int32_t colourKey_ = 0x7C1F;
  std::vector<FrameInfo> frames_;
  bool skipDrawing_ = false;
  DrawList* recording_ = nullptr;
  uint64_t version_;
};

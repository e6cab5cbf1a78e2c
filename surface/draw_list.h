// SPDX-License-Identifier: MIT
// DrawList: a frame's drawing onto a surface, kept operation by operation. Where two frames'
// lists agree on every operation that writes a pixel, the frames give that pixel the same
// value from the same start; comparing the lists therefore bounds the areas where a frame can
// differ from an earlier one, and the frame can be drawn again there alone (ChangedTiles).
#pragma once

#include <cstdint>
#include <vector>

#include "raster/rasterkit.h"

// The pixels a list is drawn onto: the top-left pixel, the row length in bytes and the size.
struct PixelBuffer {
  uint16_t* Pixels = nullptr;
  int32_t Pitch = 0;
  int32_t Width = 0, Height = 0;
};

// One drawing operation as the raster routines carry it out: the destination area it writes
// (inside the surface), what it reads and how it combines. A destination pixel's new value
// depends only on the operation and that pixel's old value, so any part of the area can be
// drawn alone.
struct DrawOp {
  enum class Kind : uint8_t { Fill, Opaque, Keyed, Blend, Additive, Subtractive, MaskedBlend, Line };
  Kind kind = Kind::Fill;
  Rect to{0, 0, 0, 0};  // a line's: the box round its pixels
  // The source pixels, the source row length in bytes and the source pixel drawn at `to`'s
  // top-left corner; the source surface's version tells apart pictures at one address.
  const uint16_t* source = nullptr;
  int32_t sourcePitch = 0, sourceLeft = 0, sourceTop = 0;
  uint64_t sourceVersion = 0;
  const uint16_t* mask = nullptr;  // read at the source's offsets, with the source's pitch
  uint64_t maskVersion = 0;
  int32_t colourKey = 0;
  int32_t level = 0;                       // a blend's level or effect
  int32_t color = 0;                       // a fill's or a line's colour
  int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // a line's ends, inside the surface
};
bool operator==(const DrawOp& a, const DrawOp& b);

// Carries out `op` on `pixels` (rows `pitch` bytes apart), on the part of its area inside
// `within` only.
void ApplyDrawOp(const DrawOp& op, uint16_t* pixels, int32_t pitch, const Rect& within);

class DrawList {
 public:
  // Empties the list, which notes operations again.
  void Clear();
  // Keeps `op` for later; false once the list has stopped noting (the caller then draws at once).
  bool Note(const DrawOp& op);
  // Draws every operation noted so far onto `target`, in full and in order, and stops noting:
  // for drawing that cannot wait, such as a copy that reads the target itself. The list then
  // no longer holds the whole frame.
  void StopNoting(const PixelBuffer& target);
  // Whether every operation of the frame is in the list.
  bool Whole() const { return !stopped_; }
  const std::vector<DrawOp>& Ops() const { return ops_; }
  void Swap(DrawList& other) noexcept;

 private:
  std::vector<DrawOp> ops_;
  bool stopped_ = false;
};

// Which 8 x 8 tiles of a surface must be drawn again.
class ChangedTiles {
 public:
  static constexpr int32_t TileSize = 8;

  // No tile of a width x height surface changed.
  void Reset(int32_t width, int32_t height);
  void Mark(const Rect& area);
  // Marks the tiles where drawing `a` and drawing `b` over equal pixels may give different
  // pixels: the areas of the operations at which the two lists differ, and of those only one
  // list has.
  void MarkDifferences(const std::vector<DrawOp>& a, const std::vector<DrawOp>& b);
  // Marks the whole of every operation of `ops` that has a marked tile and works on whole
  // groups of four pixels along its rows (the keyed copy and the blends), until none is marked
  // in part: drawn again only in part, such an operation would count its groups from another
  // pixel and leave others out than when drawn whole.
  void KeepGroupsWhole(const std::vector<DrawOp>& ops);
  // The marked tiles as rectangles inside the surface that do not overlap, top to bottom.
  void Areas(std::vector<Rect>& areas) const;

 private:
  static Rect TilesOf(const Rect& inside);

  int32_t width_ = 0, height_ = 0, columns_ = 0, rows_ = 0;
  std::vector<uint8_t> marked_;
  Rect marks_{};      // the tiles (columns and rows) that hold every marked one
  bool all_ = false;  // every tile is marked
};

// Draws `ops` in order onto `pixels`, inside `areas` alone (which must not overlap).
void ApplyWithin(const std::vector<DrawOp>& ops, uint16_t* pixels, int32_t pitch, const std::vector<Rect>& areas);

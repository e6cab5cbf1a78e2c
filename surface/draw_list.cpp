// SPDX-License-Identifier: MIT
#include "surface/draw_list.h"

#include <algorithm>
#include <cmath>

#include "base/runtime.h"
#include "surface/raster_binding.h"

namespace {

bool SameRect(const Rect& a, const Rect& b) {
  return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

Rect Intersection(const Rect& a, const Rect& b) {
  return Rect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
              std::min(a.Bottom, b.Bottom)};
}

bool IsEmpty(const Rect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

// The smallest rectangle holding both; an empty one holds nothing.
Rect Bounds(const Rect& a, const Rect& b) {
  if (IsEmpty(a)) return b;
  if (IsEmpty(b)) return a;
  return Rect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
              std::max(a.Bottom, b.Bottom)};
}

uint16_t* RowOf(uint16_t* pixels, int32_t pitch, int32_t y) {
  return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(pixels) + static_cast<ptrdiff_t>(y) * pitch);
}

// The pixels of a line, as the surface has always stepped it: evenly along its length,
// rounded to the nearest pixel.
template <typename Plot>
void StepLine(const DrawOp& op, const Plot& plot) {
  const int32_t dx = CheckedSub(op.x1, op.x0), dy = CheckedSub(op.y1, op.y0);
  const int32_t steps = RoundToInt(std::sqrt(static_cast<double>(CheckedAdd(CheckedMul(dx, dx), CheckedMul(dy, dy)))));
  if (steps == 0) {  // both ends on one pixel
    plot(op.x0, op.y0);
    return;
  }
  for (int32_t i = 0; i <= steps; ++i) {
    plot(RoundToInt(op.x0 + static_cast<double>(CheckedMul(dx, i)) / steps),
         RoundToInt(op.y0 + static_cast<double>(CheckedMul(dy, i)) / steps));
  }
}

}  // namespace

bool operator==(const DrawOp& a, const DrawOp& b) {
  return a.kind == b.kind && SameRect(a.to, b.to) && a.source == b.source && a.sourcePitch == b.sourcePitch &&
         a.sourceLeft == b.sourceLeft && a.sourceTop == b.sourceTop && a.sourceVersion == b.sourceVersion &&
         a.mask == b.mask && a.maskVersion == b.maskVersion && a.colourKey == b.colourKey && a.level == b.level &&
         a.color == b.color && a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}

void ApplyDrawOp(const DrawOp& op, uint16_t* pixels, int32_t pitch, const Rect& within) {
  const Rect to = Intersection(op.to, within);
  if (IsEmpty(to)) return;
  // The source pixel that lands on the narrowed area's corner.
  const int32_t left = op.sourceLeft + (to.Left - op.to.Left), top = op.sourceTop + (to.Top - op.to.Top);
  switch (op.kind) {
    case DrawOp::Kind::Fill:
      for (int32_t y = to.Top; y < to.Bottom; ++y)
        Raster::GDIMemset(RowOf(pixels, pitch, y) + to.Left, to.Right - to.Left, op.color);
      return;
    case DrawOp::Kind::Opaque:
      Raster::GDIBltFast_16(pixels, pitch, &to, op.source, op.sourcePitch, left, top);
      return;
    case DrawOp::Kind::Keyed:
      Raster::GDIBlt_16(pixels, pitch, &to, op.source, op.sourcePitch, left, top, op.colourKey);
      return;
    case DrawOp::Kind::Blend:
      Raster::GDIAlphaBlend_16(pixels, pitch, &to, op.source, op.sourcePitch, left, top, op.colourKey, op.level);
      return;
    case DrawOp::Kind::Additive:
      Raster::GDIAdditive_16(pixels, pitch, &to, op.source, op.sourcePitch, left, top, op.colourKey, op.level);
      return;
    case DrawOp::Kind::Subtractive:
      Raster::GDISubitive_16(pixels, pitch, &to, op.source, op.sourcePitch, left, top, op.colourKey, op.level);
      return;
    case DrawOp::Kind::MaskedBlend:
      Raster::GDIAlphaBlendByAlphaChannel2_16(pixels, pitch, &to, op.source, op.sourcePitch, left, top, op.mask,
                                              op.level);
      return;
    case DrawOp::Kind::Line:
      StepLine(op, [&](int32_t x, int32_t y) {
        if (x >= to.Left && x < to.Right && y >= to.Top && y < to.Bottom)
          Raster::GDISetPixel(pixels, pitch, x, y, op.color);
      });
      return;
  }
}

void DrawList::Clear() {
  ops_.clear();
  stopped_ = false;
}

bool DrawList::Note(const DrawOp& op) {
  if (stopped_) return false;
  ops_.push_back(op);
  return true;
}

void DrawList::StopNoting(const PixelBuffer& target) {
  if (stopped_) return;
  stopped_ = true;
  const Rect whole{0, 0, target.Width, target.Height};
  if (target.Pixels != nullptr) {
    for (const DrawOp& op : ops_) ApplyDrawOp(op, target.Pixels, target.Pitch, whole);
  }
}

void DrawList::Swap(DrawList& other) noexcept {
  ops_.swap(other.ops_);
  std::swap(stopped_, other.stopped_);
}

// The tiles (columns and rows) that hold a non-empty area inside the surface.
Rect ChangedTiles::TilesOf(const Rect& inside) {
  return Rect{inside.Left / TileSize, inside.Top / TileSize, (inside.Right - 1) / TileSize + 1,
              (inside.Bottom - 1) / TileSize + 1};
}

void ChangedTiles::Reset(int32_t width, int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) {
    // Only the tiles marked since the last reset need clearing.
    for (int32_t row = marks_.Top; row < marks_.Bottom; ++row) {
      std::fill_n(marked_.begin() + static_cast<ptrdiff_t>(row) * columns_ + marks_.Left, marks_.Right - marks_.Left,
                  0);
    }
  } else {
    width_ = width;
    height_ = height;
    columns_ = (width_ + TileSize - 1) / TileSize;
    rows_ = (height_ + TileSize - 1) / TileSize;
    marked_.assign(static_cast<size_t>(columns_) * static_cast<size_t>(rows_), 0);
  }
  marks_ = Rect{};
  all_ = false;
}

void ChangedTiles::Mark(const Rect& area) {
  const Rect inside = Intersection(area, Rect{0, 0, width_, height_});
  if (all_ || IsEmpty(inside)) return;
  if (SameRect(inside, Rect{0, 0, width_, height_})) {
    std::fill(marked_.begin(), marked_.end(), 1);
    marks_ = Rect{0, 0, columns_, rows_};
    all_ = true;
    return;
  }
  const Rect tiles = TilesOf(inside);
  for (int32_t row = tiles.Top; row < tiles.Bottom; ++row) {
    std::fill(marked_.begin() + static_cast<ptrdiff_t>(row) * columns_ + tiles.Left,
              marked_.begin() + static_cast<ptrdiff_t>(row) * columns_ + tiles.Right, 1);
  }
  marks_ = Bounds(marks_, tiles);
}

void ChangedTiles::MarkDifferences(const std::vector<DrawOp>& a, const std::vector<DrawOp>& b) {
  // From the end, where a cross-fade over the whole picture lies: once every tile is marked
  // the rest need not be looked at.
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = a.size(); i > common && !all_; --i) Mark(a[i - 1].to);
  for (size_t i = b.size(); i > common && !all_; --i) Mark(b[i - 1].to);
  for (size_t i = common; i > 0 && !all_; --i) {
    if (a[i - 1] == b[i - 1]) continue;
    Mark(a[i - 1].to);
    Mark(b[i - 1].to);
  }
}

void ChangedTiles::KeepGroupsWhole(const std::vector<DrawOp>& ops) {
  const auto grouped = [](DrawOp::Kind kind) {
    return kind == DrawOp::Kind::Keyed || kind == DrawOp::Kind::Blend || kind == DrawOp::Kind::Additive ||
           kind == DrawOp::Kind::Subtractive || kind == DrawOp::Kind::MaskedBlend;
  };
  for (bool grew = true; grew && !all_;) {
    grew = false;
    for (const DrawOp& op : ops) {
      const Rect inside = Intersection(op.to, Rect{0, 0, width_, height_});
      if (!grouped(op.kind) || IsEmpty(inside) || IsEmpty(Intersection(TilesOf(inside), marks_))) continue;
      const Rect tiles = TilesOf(inside);
      bool any = false, every = true;
      for (int32_t row = tiles.Top; row < tiles.Bottom; ++row) {
        const uint8_t* marks = marked_.data() + static_cast<ptrdiff_t>(row) * columns_;
        for (int32_t column = tiles.Left; column < tiles.Right; ++column) {
          any = any || marks[column] != 0;
          every = every && marks[column] != 0;
        }
      }
      if (any && !every) {
        Mark(inside);
        grew = true;
      }
    }
  }
}

void ChangedTiles::Areas(std::vector<Rect>& areas) const {
  areas.clear();
  // Runs of marked tiles along each tile row; a run over the same columns as an area that
  // reaches the row above lengthens that area.
  std::vector<size_t> reaching, reachingNext;
  for (int32_t row = marks_.Top; row < marks_.Bottom; ++row) {
    const int32_t top = row * TileSize, bottom = std::min(top + TileSize, height_);
    const uint8_t* marks = marked_.data() + static_cast<ptrdiff_t>(row) * columns_;
    reachingNext.clear();
    for (int32_t column = marks_.Left; column < marks_.Right;) {
      if (marks[column] == 0) {
        ++column;
        continue;
      }
      const int32_t first = column;
      while (column < marks_.Right && marks[column] != 0) ++column;
      const int32_t left = first * TileSize, right = std::min(column * TileSize, width_);
      const auto above = std::find_if(reaching.begin(), reaching.end(),
                                      [&](size_t i) { return areas[i].Left == left && areas[i].Right == right; });
      if (above != reaching.end()) {
        areas[*above].Bottom = bottom;
        reachingNext.push_back(*above);
      } else {
        reachingNext.push_back(areas.size());
        areas.push_back(Rect{left, top, right, bottom});
      }
    }
    reaching.swap(reachingNext);
  }
}

void ApplyWithin(const std::vector<DrawOp>& ops, uint16_t* pixels, int32_t pitch, const std::vector<Rect>& areas) {
  for (const Rect& area : areas) {
    for (const DrawOp& op : ops) ApplyDrawOp(op, pixels, pitch, area);
  }
}

// SPDX-License-Identifier: MIT
// What a surface is presented to: the window's picture area, or anything a test wants to
// record.
#pragma once

#include <cstddef>
#include <cstdint>

// A rectangle of a presented block, in the block's own pixels: columns Left .. Right - 1 of
// rows Top .. Bottom - 1.
struct ChangedArea {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class PresentTarget {
 public:
  virtual ~PresentTarget() = default;
  // Copies a width x height block of RGB555 pixels, unconverted, with its top-left corner
  // at (x, y) of the target. `pixels` is the block's top-left pixel; rows are `pitch` bytes
  // apart.
  virtual void CopyPixels(const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height, int32_t x,
                          int32_t y) = 0;
  // Copies only the given areas of a block laid out as CopyPixels's (the rest of the block
  // is what the target already shows). A target that lost its picture may copy the whole
  // block instead. By default each area is copied as a block of its own.
  virtual void CopyAreas(const uint16_t* pixels, int32_t pitch, [[maybe_unused]] int32_t width,
                         [[maybe_unused]] int32_t height, int32_t x, int32_t y, const ChangedArea* areas,
                         size_t count) {
    for (size_t i = 0; i < count; ++i) {
      const ChangedArea& area = areas[i];
      const auto* corner = reinterpret_cast<const uint16_t*>(reinterpret_cast<const uint8_t*>(pixels) +
                                                             static_cast<ptrdiff_t>(area.Top) * pitch) +
                           area.Left;
      CopyPixels(corner, pitch, area.Right - area.Left, area.Bottom - area.Top, x + area.Left, y + area.Top);
    }
  }
  // A target whose picture is kept as 32-bit XRGB8888 pixels may lend them, so that a
  // picture is written straight into them rather than copied: LendPixels gives the top-left
  // pixel of the picture area, its pitch in pixels and the size of the part that can be
  // seen, or returns false (then the picture goes through CopyAreas). Every successful
  // LendPixels is followed by ReturnPixels with the areas written, in the picture area's own
  // pixels, which hands them over. After LostPicture, every pixel lent must be written again.
  struct LentPixels {
    uint32_t* Pixels = nullptr;
    int32_t PitchPixels = 0;
    int32_t Width = 0, Height = 0;
  };
  virtual bool LendPixels([[maybe_unused]] LentPixels& lent) { return false; }
  virtual void ReturnPixels([[maybe_unused]] const ChangedArea* areas, [[maybe_unused]] size_t count) {}
  // False while nobody can see the target (its window minimised or hidden): nothing needs
  // presenting then.
  virtual bool Showing() { return true; }
  // True when the target no longer shows what it was last given (new placement or surface,
  // uncovered): the next presentation must hand over the whole picture.
  virtual bool LostPicture() { return false; }
};

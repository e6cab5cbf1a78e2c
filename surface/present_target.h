// What a surface is presented to: the window's picture area, or anything a test wants to
// record. Stands for the device context a surface renders into.
#pragma once

#include <cstdint>

class PresentTarget {
 public:
  virtual ~PresentTarget() = default;
  // Copies a width x height block of RGB555 pixels, unconverted, with its top-left corner
  // at (x, y) of the target. `pixels` is the block's top-left pixel; rows are `pitch` bytes
  // apart.
  virtual void CopyPixels(const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height, int32_t x,
                          int32_t y) = 0;
};

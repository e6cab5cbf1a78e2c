// SPDX-License-Identifier: MIT
// Surface::Read lives apart from the rest of the class: decoding picture files needs SDL,
// while surfaces made and drawn in memory do not.
#include <cstring>

#include "surface/bmp_loader.h"
#include "surface/surface.h"

bool Surface::Read(const std::string& filename) {
  DecodedPicture picture = DecodePictureFile(filename);
  if (!Create(static_cast<int16_t>(picture.width), static_cast<int16_t>(picture.height))) return false;
  for (int32_t y = 0; y < picture.height; ++y)
    std::memcpy(pixels_.get() + static_cast<size_t>(y) * (pitch_ / 2),
                picture.pixels.data() + static_cast<size_t>(y) * picture.width, picture.width * sizeof(uint16_t));
  return true;
}

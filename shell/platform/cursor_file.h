// Cursor files (.cur): a directory of images of which the first is used, each image a
// device-independent bitmap with its AND mask, or a PNG. The hotspot comes from the file.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace Platform {

struct CursorImage {
  int32_t Width = 0, Height = 0;
  int32_t HotspotX = 0, HotspotY = 0;  // inside the image
  std::vector<uint32_t> Pixels;        // ARGB, top row first
};

// The first image of a cursor file, or nothing when the bytes are not a usable cursor.
std::optional<CursorImage> DecodeCursorFile(const std::vector<uint8_t>& bytes);

}  // namespace Platform

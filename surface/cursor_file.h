// SPDX-License-Identifier: MIT
// Cursor files (.cur): a directory of images of which the first is used, each image a
// device-independent bitmap with its AND mask, or a PNG. The hotspot comes from the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct CursorImage {
  int32_t Width = 0, Height = 0;
  int32_t HotspotX = 0, HotspotY = 0;  // inside the image
  std::vector<uint32_t> Pixels;        // ARGB, top row first
};

// The first image of a cursor file, or nothing when the bytes are not a usable cursor. An
// image that declares more than 256 x 256 pixels raises InvalidPicture saying so.
std::optional<CursorImage> DecodeCursorFile(const std::vector<uint8_t>& bytes);

// The cursor of a file: nothing when the file is missing or not a cursor; a file that is no
// regular file of at most 1 MiB, or whose image is larger than a cursor may be, raises a
// RuntimeError naming it.
std::optional<CursorImage> ReadCursorFile(const std::string& path);

// SPDX-License-Identifier: MIT
// Decoding of the game's picture files (Windows bitmaps of any depth and row order that SDL
// reads) into RGB555 pixels by the load rule: each 8-bit channel keeps its top five bits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The largest picture a surface holds: its pitch (2 x Width rounded up to a multiple of 4)
// and its Height must fit in 16 signed bits.
constexpr int32_t kMaxPictureWidth = 16382;
constexpr int32_t kMaxPictureHeight = 32767;
// The most pixels a picture of the game may declare: far beyond any sheet or background,
// and still only 64 MiB while it is decoded.
constexpr int64_t kMaxPicturePixels = 4096 * 4096;

struct DecodedPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint16_t> pixels;  // width x height, top row first, no padding
};

// Raises RuntimeError(FileNotFound, filename) when the file cannot be opened or is no regular
// file of at most 64 MiB, and RuntimeError(InvalidPicture, "<filename>: <why>") when it is not a
// picture a surface can hold: what the file is instead (a PNG, JPEG or GIF picture, text,
// empty, ...) and what the game expects, the byte a bitmap is cut short at, a size no surface
// holds. A picture whose header declares more than kMaxPicturePixels is refused naming its
// size before anything is decoded.
DecodedPicture DecodePictureFile(const std::string& filename);

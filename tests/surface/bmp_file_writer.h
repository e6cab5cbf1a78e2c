// SPDX-License-Identifier: MIT
// Writes BMP picture files for the tests: every depth the game's pictures may use, both
// row orders.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Rgb {
  uint8_t r, g, b;
};

enum class BmpDepth { Palette1, Palette4, Palette8, Rgb555, Rgb565, Rgb24, Rgb32 };

// `pixels` is width x height, top row first. Palette depths need at most 2, 16 or 256
// distinct colours. Returns the file's bytes.
std::vector<uint8_t> EncodeBmp(int width, int height, const std::vector<Rgb>& pixels, BmpDepth depth, bool topDown);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
// A path for `name` in a scratch directory of this test process.
std::string ScratchPath(const std::string& name);

// The pixel a surface holds after loading `c`: each channel keeps its top five bits.
uint16_t LoadedPixel(Rgb c);

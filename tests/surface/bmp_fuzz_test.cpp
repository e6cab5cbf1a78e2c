// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "bmp_file_writer.h"
#include "base/runtime.h"
#include "surface/surface.h"

namespace {

std::vector<Rgb> RandomPicture(std::mt19937& rng, int width, int height, int colours) {
  std::vector<Rgb> palette(colours);
  for (Rgb& c : palette) c = Rgb{uint8_t(rng()), uint8_t(rng()), uint8_t(rng())};
  std::vector<Rgb> pixels(width * height);
  for (Rgb& p : pixels) p = palette[rng() % colours];
  return pixels;
}

// One to eight damages: bytes overwritten (mostly in the headers and the colour table),
// a bit flipped, the file cut short or lengthened.
std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes, std::mt19937& rng) {
  int damages = 1 + rng() % 8;
  for (int d = 0; d < damages && !bytes.empty(); ++d) {
    size_t headerEnd = std::min<size_t>(bytes.size(), 130);
    size_t at = rng() % 2 ? rng() % headerEnd : rng() % bytes.size();
    switch (rng() % 6) {
      case 0:
      case 1: bytes[at] = static_cast<uint8_t>(rng()); break;
      case 2: bytes[at] ^= static_cast<uint8_t>(1u << rng() % 8); break;
      case 3: bytes[at] = rng() % 2 ? 0x00 : 0xFF; break;
      case 4: bytes.resize(rng() % bytes.size()); break;
      case 5: bytes.insert(bytes.end(), 1 + rng() % 64, static_cast<uint8_t>(rng())); break;
    }
  }
  return bytes;
}

}  // namespace

// Every damaged file ends in a picture or in an invalid-picture error: no crash, no leak,
// nothing read or written outside a buffer (the sanitizer build watches).
TEST(SurfaceReadFuzz, DamagedBitmapsGiveAPictureOrAnInvalidPictureError) {
  std::mt19937 rng(20261208);
  const BmpDepth depths[] = {BmpDepth::Palette1, BmpDepth::Palette4, BmpDepth::Palette8, BmpDepth::Rgb555,
                             BmpDepth::Rgb565,   BmpDepth::Rgb24,    BmpDepth::Rgb32};
  const int colourLimit[] = {2, 16, 256, 64, 64, 64, 64};
  std::vector<std::vector<uint8_t>> seeds;
  for (int d = 0; d < 7; ++d)
    for (bool topDown : {false, true}) {
      int width = 1 + rng() % 23, height = 1 + rng() % 17;
      seeds.push_back(EncodeBmp(width, height, RandomPicture(rng, width, height, colourLimit[d]), depths[d], topDown));
    }

  const std::string path = ScratchPath("fuzz.bmp");
  int pictures = 0, invalid = 0;
  for (int trial = 0; trial < 4000; ++trial) {
    WriteFile(path, Mutate(seeds[trial % seeds.size()], rng));
    Surface s;
    try {
      ASSERT_TRUE(s.Read(path));
      ASSERT_GT(s.Width(), 0);
      ASSERT_GT(s.Height(), 0);
      ASSERT_EQ(s.Pitch(), (s.Width() * 2 + 2) & ~3);
      for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) ASSERT_EQ(s.Pixels()[y * (s.Pitch() / 2) + x] & 0x8000, 0);
      ++pictures;
    } catch (const RuntimeError& e) {
      ASSERT_EQ(e.Kind(), ErrorKind::InvalidPicture) << e.what();
      ++invalid;
    }
  }
  // Both outcomes must have been exercised for the trial to mean anything.
  EXPECT_GT(pictures, 200);
  EXPECT_GT(invalid, 200);
}

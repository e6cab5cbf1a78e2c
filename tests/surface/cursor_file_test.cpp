// SPDX-License-Identifier: MIT
// Cursor files: every depth decodes with its hotspot, damaged files never crash, and a file
// reads as a cursor image or nothing, or is refused by name.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/runtime.h"
#include "surface/cursor_file.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// A one-image cursor file. `colour(x, y)` gives the pixel (ARGB for 24/32 bits, the palette
// index otherwise), `masked(x, y)` its AND-mask bit; rows are written bottom first.
template <typename Colour, typename Masked>
std::vector<uint8_t> MakeCursor(int32_t width, int32_t height, uint32_t bits, uint32_t hotX, uint32_t hotY,
                                Colour colour, Masked masked, const std::vector<uint32_t>& palette = {}) {
  std::vector<uint8_t> dib;
  Put32(dib, 40);
  Put32(dib, static_cast<uint32_t>(width));
  Put32(dib, static_cast<uint32_t>(height * 2));
  Put16(dib, 1);
  Put16(dib, bits);
  for (int i = 0; i < 4; ++i) Put32(dib, 0);
  Put32(dib, static_cast<uint32_t>(palette.size()));
  Put32(dib, 0);
  for (uint32_t entry : palette) Put32(dib, entry);
  const size_t colourRow = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
  for (int32_t y = height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(colourRow, 0);
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t value = colour(x, y);
      if (bits == 32 || bits == 24) {
        const size_t at = static_cast<size_t>(x) * (bits / 8);
        row[at] = value & 0xFF;
        row[at + 1] = (value >> 8) & 0xFF;
        row[at + 2] = (value >> 16) & 0xFF;
        if (bits == 32) row[at + 3] = value >> 24;
      } else {
        const size_t bit = static_cast<size_t>(x) * bits;
        row[bit / 8] |= static_cast<uint8_t>(value << (8 - bits - bit % 8));
      }
    }
    dib.insert(dib.end(), row.begin(), row.end());
  }
  const size_t maskRow = (static_cast<size_t>(width) + 31) / 32 * 4;
  for (int32_t y = height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(maskRow, 0);
    for (int32_t x = 0; x < width; ++x) {
      if (masked(x, y)) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    dib.insert(dib.end(), row.begin(), row.end());
  }
  std::vector<uint8_t> file;
  Put16(file, 0);
  Put16(file, 2);
  Put16(file, 1);
  file.push_back(static_cast<uint8_t>(width));
  file.push_back(static_cast<uint8_t>(height));
  file.push_back(0);
  file.push_back(0);
  Put16(file, hotX);
  Put16(file, hotY);
  Put32(file, static_cast<uint32_t>(dib.size()));
  Put32(file, 22);
  file.insert(file.end(), dib.begin(), dib.end());
  return file;
}

const auto NoMask = [](int32_t, int32_t) { return false; };

std::vector<uint8_t> SampleCursor() {
  return MakeCursor(
      32, 32, 32, 5, 7, [](int32_t x, int32_t y) { return x == y ? 0xFF00FF00u : (x < 4 ? 0x80FF0000u : 0u); }, NoMask);
}

}  // namespace

TEST(CursorFile, DecodesEveryDepthWithHotspotFromTheFile) {
  // 32 bits: the alpha channel says what shows; the rows come out top first.
  const auto argb = DecodeCursorFile(SampleCursor());
  ASSERT_TRUE(argb);
  EXPECT_EQ(argb->Width, 32);
  EXPECT_EQ(argb->Height, 32);
  EXPECT_EQ(argb->HotspotX, 5);
  EXPECT_EQ(argb->HotspotY, 7);
  EXPECT_EQ(argb->Pixels[3 * 32 + 3], 0xFF00FF00u);
  EXPECT_EQ(argb->Pixels[9 * 32 + 1], 0x80FF0000u);
  EXPECT_EQ(argb->Pixels[9 * 32 + 20], 0u);

  // 24 bits: opaque where the AND mask is clear.
  const auto rgb = DecodeCursorFile(MakeCursor(
      16, 8, 24, 1, 2, [](int32_t x, int32_t) { return x < 8 ? 0x123456u : 0xABCDEFu; },
      [](int32_t, int32_t y) { return y == 0; }));
  ASSERT_TRUE(rgb);
  EXPECT_EQ(rgb->Height, 8);
  EXPECT_EQ(rgb->Pixels[0], 0u);
  EXPECT_EQ(rgb->Pixels[16 * 7 + 2], 0xFF123456u);
  EXPECT_EQ(rgb->Pixels[16 * 7 + 12], 0xFFABCDEFu);

  // Palette depths: 1, 4 and 8 bits, odd widths.
  for (uint32_t bits : {1u, 4u, 8u}) {
    const std::vector<uint32_t> palette = {0x000000, 0xFFFFFF, 0x00FF00};
    const uint32_t last = bits == 1 ? 1 : 2;
    const auto indexed = DecodeCursorFile(MakeCursor(
        13, 5, bits, 40, 40, [&](int32_t x, int32_t y) { return (x + y) % 2 == 0 ? last : 0u; },
        [](int32_t x, int32_t) { return x == 12; }, bits == 1 ? std::vector<uint32_t>{0, 0xFFFFFF} : palette));
    ASSERT_TRUE(indexed) << bits;
    EXPECT_EQ(indexed->Pixels[0], bits == 1 ? 0xFFFFFFFFu : 0xFF00FF00u) << bits;
    EXPECT_EQ(indexed->Pixels[1], 0xFF000000u) << bits;
    EXPECT_EQ(indexed->Pixels[12], 0u) << bits;
    // A hotspot outside the picture is moved onto its last pixel.
    EXPECT_EQ(indexed->HotspotX, 12);
    EXPECT_EQ(indexed->HotspotY, 4);
  }

  // Not a cursor: an icon directory, an empty file, a compressed bitmap.
  std::vector<uint8_t> icon = SampleCursor();
  icon[2] = 1;
  EXPECT_FALSE(DecodeCursorFile(icon));
  EXPECT_FALSE(DecodeCursorFile({}));
  std::vector<uint8_t> compressed = SampleCursor();
  compressed[22 + 16] = 1;
  EXPECT_FALSE(DecodeCursorFile(compressed));
}

TEST(CursorFile, MutatedFilesNeverCrash) {
  const std::vector<std::vector<uint8_t>> seeds = {
      SampleCursor(),
      MakeCursor(
          9, 3, 4, 0, 0, [](int32_t x, int32_t) { return static_cast<uint32_t>(x % 16); }, NoMask,
          std::vector<uint32_t>(16, 0x808080)),
      MakeCursor(
          17, 17, 24, 3, 3, [](int32_t, int32_t) { return 0xFFFFFFu; }, NoMask),
  };
  std::mt19937 random(1234);
  int decoded = 0;
  for (int trial = 0; trial < 6000; ++trial) {
    std::vector<uint8_t> bytes = seeds[trial % seeds.size()];
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int e = 0; e < edits; ++e) {
      const size_t at = random() % bytes.size();
      switch (random() % 4) {
        case 0:
          bytes[at] = static_cast<uint8_t>(random());
          break;
        case 1:
          bytes[at] ^= static_cast<uint8_t>(1u << (random() % 8));
          break;
        case 2:
          bytes.resize(at + 1);
          break;
        default:
          bytes[std::min<size_t>(at, 40)] = 0xFF;
          break;
      }
    }
    const auto image = DecodeCursorFile(bytes);
    if (!image) continue;
    ++decoded;
    ASSERT_EQ(image->Pixels.size(), static_cast<size_t>(image->Width) * image->Height);
    ASSERT_GE(image->HotspotX, 0);
    ASSERT_LT(image->HotspotX, image->Width);
    ASSERT_LT(image->HotspotY, image->Height);
  }
  EXPECT_GT(decoded, 0);
}

TEST(CursorFile, AFileReadsAsItsCursorOrNothingOrIsRefusedByName) {
  const auto path = std::filesystem::temp_directory_path() / ("kestrel_cursor_" + std::to_string(::getpid()) + ".cur");
  auto write = [&](const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  };
  write(SampleCursor());
  const auto read = ReadCursorFile(path.string());
  ASSERT_TRUE(read);
  EXPECT_EQ(read->Width, 32);
  EXPECT_EQ(read->Height, 32);
  EXPECT_EQ(read->HotspotX, 5);
  EXPECT_EQ(read->HotspotY, 7);
  ASSERT_EQ(read->Pixels.size(), 32u * 32u);
  EXPECT_EQ(read->Pixels[3 * 32 + 3], 0xFF00FF00u);
  EXPECT_EQ(read->Pixels[9 * 32 + 1], 0x80FF0000u);

  { std::ofstream(path, std::ios::binary) << "not a cursor"; }
  EXPECT_FALSE(ReadCursorFile(path.string()));
  std::filesystem::remove(path);
  EXPECT_FALSE(ReadCursorFile(path.string()));

  // Refused by name: a folder, a file over 1 MiB, and a 91-byte cursor whose PNG declares
  // 30000 x 30000.
  auto refusal = [&] {
    try {
      ReadCursorFile(path.string());
    } catch (const RuntimeError& error) {
      return std::string(error.what());
    }
    return std::string("no refusal");
  };
  std::filesystem::create_directory(path);
  EXPECT_EQ(refusal(), path.string() + " is not a regular file");
  std::filesystem::remove(path);
  std::vector<uint8_t> large = SampleCursor();
  large.resize(1024 * 1024 + 1, 0);
  write(large);
  EXPECT_NE(refusal().find(path.string() + " is larger than"), std::string::npos) << refusal();
  std::vector<uint8_t> png = {0,   0,   2,   0,   1, 0,    0,    0,    0,   0,    0,    0,    0,    0, 69, 0, 0,
                              0,   22,  0,   0,   0, 0x89, 'P',  'N',  'G', '\r', '\n', 0x1A, '\n', 0, 0,  0, 13,
                              'I', 'H', 'D', 'R', 0, 0,    0x75, 0x30, 0,   0,    0x75, 0x30, 8,    6, 0,  0, 0};
  png.resize(91, 0);
  write(png);
  EXPECT_NE(refusal().find(path.string() + " holds a picture of 30000 x 30000 pixels"), std::string::npos) << refusal();
  std::filesystem::remove(path);
}

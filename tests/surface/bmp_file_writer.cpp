// SPDX-License-Identifier: MIT
#include "bmp_file_writer.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(v & 0xFF);
  out.push_back(v >> 8 & 0xFF);
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

int BitsOf(BmpDepth depth) {
  switch (depth) {
    case BmpDepth::Palette1: return 1;
    case BmpDepth::Palette4: return 4;
    case BmpDepth::Palette8: return 8;
    case BmpDepth::Rgb555:
    case BmpDepth::Rgb565: return 16;
    case BmpDepth::Rgb24: return 24;
    case BmpDepth::Rgb32: return 32;
  }
  return 0;
}

bool SameColour(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

}  // namespace

std::vector<uint8_t> EncodeBmp(int width, int height, const std::vector<Rgb>& pixels, BmpDepth depth, bool topDown) {
  const int bits = BitsOf(depth);
  const bool palette = bits <= 8;
  const bool bitFields = depth == BmpDepth::Rgb565;
  std::vector<Rgb> colours;
  if (palette) {
    for (Rgb c : pixels)
      if (std::none_of(colours.begin(), colours.end(), [&](Rgb k) { return SameColour(k, c); })) colours.push_back(c);
    if (colours.size() > (1u << bits)) throw std::invalid_argument("too many colours for the palette");
    colours.resize(1u << bits, Rgb{0, 0, 0});
  }
  const uint32_t rowBytes = (width * bits + 31) / 32 * 4;
  const uint32_t tableBytes = palette ? 4 * colours.size() : bitFields ? 12 : 0;
  const uint32_t offset = 14 + 40 + tableBytes;

  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, offset + rowBytes * height);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, width);
  Put32(out, static_cast<uint32_t>(topDown ? -height : height));
  Put16(out, 1);
  Put16(out, bits);
  Put32(out, bitFields ? 3 : 0);
  Put32(out, rowBytes * height);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, palette ? colours.size() : 0);
  Put32(out, 0);
  if (palette)
    for (Rgb c : colours) Put32(out, c.b | c.g << 8 | c.r << 16);
  if (bitFields) {
    Put32(out, 0xF800);
    Put32(out, 0x07E0);
    Put32(out, 0x001F);
  }
  for (int fileRow = 0; fileRow < height; ++fileRow) {
    int y = topDown ? fileRow : height - 1 - fileRow;
    std::vector<uint8_t> row(rowBytes, 0);
    for (int x = 0; x < width; ++x) {
      Rgb c = pixels[y * width + x];
      if (palette) {
        uint32_t index =
            std::find_if(colours.begin(), colours.end(), [&](Rgb k) { return SameColour(k, c); }) - colours.begin();
        int bit = x * bits;
        row[bit / 8] |= index << (8 - bits - bit % 8);
      } else if (bits == 16) {
        uint32_t v = depth == BmpDepth::Rgb565 ? (c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3
                                               : (c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3;
        row[2 * x] = v & 0xFF;
        row[2 * x + 1] = v >> 8;
      } else {
        uint8_t* p = &row[x * (bits / 8)];
        p[0] = c.b;
        p[1] = c.g;
        p[2] = c.r;
        if (bits == 32) p[3] = 0xFF;
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}

uint16_t LoadedPixel(Rgb c) { return static_cast<uint16_t>((c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3); }

namespace {
// Made on first use, in memory where the system offers it (the fuzz test writes thousands of
// files), removed with everything in it when the test program ends.
std::filesystem::path ScratchRoot() {
  std::error_code error;
  if (std::filesystem::is_directory("/dev/shm", error)) return "/dev/shm";
  return std::filesystem::temp_directory_path();
}

struct ScratchDirectory {
  std::filesystem::path path = ScratchRoot() / ("kestrel_surface_test_" + std::to_string(getpid()));
  ScratchDirectory() { std::filesystem::create_directories(path); }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};
}  // namespace

std::string ScratchPath(const std::string& name) {
  static const ScratchDirectory directory;
  return (directory.path / name).string();
}

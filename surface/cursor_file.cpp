// SPDX-License-Identifier: MIT
// Reading .cur files into cursor images; a PNG image inside one is decoded by SDL_image.
#include "surface/cursor_file.h"

#include <SDL_image.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "base/runtime.h"
#include "base/safe_file.h"

namespace {

constexpr int32_t MaxCursorSide = 256;
constexpr size_t DirectorySize = 6;
constexpr size_t EntrySize = 16;
constexpr size_t InfoHeaderSize = 40;

// Little-endian reads that fail instead of reading past the end.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Has(size_t offset, size_t count) const { return offset <= size_ && count <= size_ - offset; }
  uint32_t U16(size_t offset) const { return data_[offset] | (data_[offset + 1] << 8); }
  uint32_t U32(size_t offset) const { return U16(offset) | (U16(offset + 2) << 16); }
  int32_t S32(size_t offset) const { return static_cast<int32_t>(U32(offset)); }
  const uint8_t* At(size_t offset) const { return data_ + offset; }
  size_t Size() const { return size_; }

 private:
  const uint8_t* data_;
  size_t size_;
};

size_t RowBytes(int32_t width, int32_t bitsPerPixel) {
  return (static_cast<size_t>(width) * static_cast<size_t>(bitsPerPixel) + 31) / 32 * 4;
}

// The size a PNG's header declares is checked before the image library decodes it, since
// that library allocates whatever the header asks for.
std::optional<CursorImage> DecodePng(const uint8_t* data, size_t size) {
  constexpr size_t HeaderChunkEnd = 24;  // signature, chunk length and type, width, height
  if (size < HeaderChunkEnd || std::memcmp(data + 12, "IHDR", 4) != 0) return std::nullopt;
  auto bigEndian = [&](size_t at) {
    return static_cast<uint32_t>(data[at]) << 24 | data[at + 1] << 16 | data[at + 2] << 8 | data[at + 3];
  };
  const uint32_t declaredWidth = bigEndian(16), declaredHeight = bigEndian(20);
  if (declaredWidth > uint32_t{MaxCursorSide} || declaredHeight > uint32_t{MaxCursorSide}) {
    Raise(ErrorKind::InvalidPicture, "holds a picture of " + std::to_string(declaredWidth) + " x " +
                                         std::to_string(declaredHeight) + " pixels; a cursor has at most " +
                                         std::to_string(MaxCursorSide) + " x " + std::to_string(MaxCursorSide));
  }
  SDL_RWops* stream = SDL_RWFromConstMem(data, static_cast<int>(size));
  if (stream == nullptr) return std::nullopt;
  SDL_Surface* decoded = IMG_Load_RW(stream, 1);
  if (decoded == nullptr) return std::nullopt;
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(decoded);
  if (argb == nullptr) return std::nullopt;
  std::optional<CursorImage> image;
  if (argb->w >= 1 && argb->h >= 1 && argb->w <= MaxCursorSide && argb->h <= MaxCursorSide) {
    image.emplace();
    image->Width = argb->w;
    image->Height = argb->h;
    image->Pixels.resize(static_cast<size_t>(argb->w) * static_cast<size_t>(argb->h));
    for (int32_t y = 0; y < argb->h; ++y) {
      const auto* row = static_cast<const uint8_t*>(argb->pixels) + static_cast<size_t>(y) * argb->pitch;
      std::copy_n(reinterpret_cast<const uint32_t*>(row), argb->w, image->Pixels.begin() + y * argb->w);
    }
  }
  SDL_FreeSurface(argb);
  return image;
}

// A device-independent bitmap of twice the cursor's height: the colour rows, then the AND
// mask rows (1 bit a pixel, 1 transparent), both bottom row first.
std::optional<CursorImage> DecodeBitmap(const ByteReader& dib) {
  if (!dib.Has(0, InfoHeaderSize)) return std::nullopt;
  const uint32_t headerSize = dib.U32(0);
  const int32_t width = dib.S32(4);
  const int32_t doubleHeight = dib.S32(8);
  const uint32_t bitsPerPixel = dib.U16(14);
  const uint32_t compression = dib.U32(16);
  uint32_t paletteUsed = dib.U32(32);
  if (headerSize < InfoHeaderSize || compression != 0) return std::nullopt;
  if (width < 1 || width > MaxCursorSide || doubleHeight < 2 || doubleHeight > 2 * MaxCursorSide) return std::nullopt;
  if (bitsPerPixel != 1 && bitsPerPixel != 4 && bitsPerPixel != 8 && bitsPerPixel != 24 && bitsPerPixel != 32) {
    return std::nullopt;
  }
  const int32_t height = doubleHeight / 2;

  size_t offset = headerSize;
  std::vector<uint32_t> palette;
  if (bitsPerPixel <= 8) {
    const uint32_t paletteMax = 1u << bitsPerPixel;
    if (paletteUsed == 0 || paletteUsed > paletteMax) paletteUsed = paletteMax;
    if (!dib.Has(offset, paletteUsed * 4)) return std::nullopt;
    for (uint32_t i = 0; i < paletteUsed; ++i) {
      const uint8_t* entry = dib.At(offset + i * 4);
      palette.push_back(0xFF000000u | (entry[2] << 16) | (entry[1] << 8) | entry[0]);
    }
    palette.resize(paletteMax, 0xFF000000u);
    offset += paletteUsed * 4;
  }

  const size_t colourRow = RowBytes(width, static_cast<int32_t>(bitsPerPixel));
  const size_t maskRow = RowBytes(width, 1);
  const size_t colourBytes = colourRow * static_cast<size_t>(height);
  if (!dib.Has(offset, colourBytes)) return std::nullopt;
  // Some writers leave the mask out of 32-bit images, which carry their own alpha.
  const bool hasMask = dib.Has(offset + colourBytes, maskRow * static_cast<size_t>(height));
  if (!hasMask && bitsPerPixel != 32) return std::nullopt;

  CursorImage image;
  image.Width = width;
  image.Height = height;
  image.Pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
  bool anyAlpha = false;
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = dib.At(offset + colourRow * static_cast<size_t>(height - 1 - y));
    for (int32_t x = 0; x < width; ++x) {
      uint32_t argb = 0;
      if (bitsPerPixel == 32) {
        const uint8_t* p = row + x * 4;
        argb = (static_cast<uint32_t>(p[3]) << 24) | (p[2] << 16) | (p[1] << 8) | p[0];
        anyAlpha = anyAlpha || p[3] != 0;
      } else if (bitsPerPixel == 24) {
        const uint8_t* p = row + x * 3;
        argb = 0xFF000000u | (p[2] << 16) | (p[1] << 8) | p[0];
      } else {
        const int32_t bitIndex = x * static_cast<int32_t>(bitsPerPixel);
        const uint32_t byte = row[bitIndex / 8];
        const uint32_t shift = 8 - bitsPerPixel - static_cast<uint32_t>(bitIndex % 8);
        argb = palette[(byte >> shift) & ((1u << bitsPerPixel) - 1)];
      }
      image.Pixels[static_cast<size_t>(y) * width + x] = argb;
    }
  }
  // Without an alpha channel the AND mask says which pixels are transparent.
  if (bitsPerPixel != 32 || !anyAlpha) {
    for (int32_t y = 0; y < height; ++y) {
      const uint8_t* row =
          hasMask ? dib.At(offset + colourBytes + maskRow * static_cast<size_t>(height - 1 - y)) : nullptr;
      for (int32_t x = 0; x < width; ++x) {
        uint32_t& argb = image.Pixels[static_cast<size_t>(y) * width + x];
        const bool transparent = row != nullptr && ((row[x / 8] >> (7 - x % 8)) & 1) != 0;
        argb = transparent ? 0 : (argb | 0xFF000000u);
      }
    }
  }
  return image;
}

}  // namespace

std::optional<CursorImage> DecodeCursorFile(const std::vector<uint8_t>& bytes) {
  const ByteReader file(bytes.data(), bytes.size());
  if (!file.Has(0, DirectorySize) || file.U16(0) != 0 || file.U16(2) != 2 || file.U16(4) == 0) return std::nullopt;
  if (!file.Has(DirectorySize, EntrySize)) return std::nullopt;
  // In a cursor's directory entry the planes and bit-count fields hold the hotspot.
  const int32_t hotspotX = static_cast<int32_t>(file.U16(DirectorySize + 4));
  const int32_t hotspotY = static_cast<int32_t>(file.U16(DirectorySize + 6));
  const uint32_t imageSize = file.U32(DirectorySize + 8);
  const uint32_t imageOffset = file.U32(DirectorySize + 12);
  if (!file.Has(imageOffset, imageSize) || imageSize == 0) return std::nullopt;

  static const uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  const uint8_t* image = file.At(imageOffset);
  std::optional<CursorImage> decoded;
  if (imageSize >= sizeof PngSignature && std::equal(PngSignature, PngSignature + 8, image)) {
    decoded = DecodePng(image, imageSize);
  } else {
    decoded = DecodeBitmap(ByteReader(image, imageSize));
  }
  if (decoded) {
    decoded->HotspotX = std::min(hotspotX, decoded->Width - 1);
    decoded->HotspotY = std::min(hotspotY, decoded->Height - 1);
  }
  return decoded;
}

std::optional<CursorImage> ReadCursorFile(const std::string& path) {
  const std::optional<std::string> content = SafeFile::ReadWholeFile(path, SafeFile::kCursorLimit);
  if (!content) return std::nullopt;
  try {
    return DecodeCursorFile(std::vector<uint8_t>(content->begin(), content->end()));
  } catch (const RuntimeError& error) {
    Raise(error.Kind(), path + " " + error.Detail());
  }
}

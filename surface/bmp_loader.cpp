// SPDX-License-Identifier: MIT
#include "surface/bmp_loader.h"

#include <SDL.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <optional>

#include "base/runtime.h"
#include "base/safe_file.h"

namespace {

struct SurfaceDeleter {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;
struct StreamCloser {
  void operator()(SDL_RWops* stream) const { SDL_RWclose(stream); }
};
using StreamPtr = std::unique_ptr<SDL_RWops, StreamCloser>;

// What every refusal of a file that is no picture of the game ends with.
const char* const Expected = "the game reads Windows bitmaps (.bmp, starting with \"BM\"; 24-bit is safest)";

uint32_t ReadLittleEndian(const uint8_t* bytes, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

bool StartsWith(const std::string& bytes, const char* prefix, size_t length) {
  return bytes.size() >= length && std::memcmp(bytes.data(), prefix, length) == 0;
}

// True when the first bytes read as text: printable ASCII, white space and UTF-8.
bool LooksLikeText(const std::string& bytes) {
  const size_t look = std::min<size_t>(bytes.size(), 512);
  for (size_t i = 0; i < look; ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x20 && c != '\n' && c != '\r' && c != '\t') return false;
    if (c == 0x7F) return false;
  }
  return true;
}

// What a file that does not start with "BM" holds instead, told by its first bytes.
std::string WhatItIs(const std::string& bytes) {
  if (bytes.empty()) return "empty (0 bytes)";
  if (StartsWith(bytes, "\x89PNG\r\n\x1a\n", 8)) return "a PNG picture";
  if (StartsWith(bytes, "\xFF\xD8\xFF", 3)) return "a JPEG picture";
  if (StartsWith(bytes, "GIF87a", 6) || StartsWith(bytes, "GIF89a", 6)) return "a GIF picture";
  if (StartsWith(bytes, "RIFF", 4) && bytes.size() >= 12 && bytes.compare(8, 4, "WEBP") == 0) return "a WebP picture";
  if (StartsWith(bytes, "II*\0", 4) || StartsWith(bytes, "MM\0*", 4)) return "a TIFF picture";
  if (StartsWith(bytes, "\0\0\1\0", 4)) return "a Windows icon";
  if (StartsWith(bytes, "\0\0\2\0", 4)) return "a Windows cursor";
  if (StartsWith(bytes, "OggS", 4)) return "an Ogg sound";
  if (LooksLikeText(bytes)) {
    const std::string line = bytes.substr(0, std::min(bytes.find_first_of("\r\n"), size_t{40}));
    const bool more = bytes.find_first_not_of(" \t\r\n", line.size()) != std::string::npos;
    return "text (\"" + line + (more ? "...\")" : "\")");
  }
  static const char* const hex = "0123456789abcdef";
  std::string first;
  for (size_t i = 0; i < std::min<size_t>(bytes.size(), 4); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    first += std::string(i ? " " : "") + hex[c >> 4] + hex[c & 15];
  }
  return "of no kind the game knows (its first bytes are " + first + ")";
}

std::string Bytes(int64_t count) { return std::to_string(count) + (count == 1 ? " byte" : " bytes"); }

// Looks at the file's headers before the decoder does and says what is wrong with them: not a
// bitmap at all, a header cut short, a size no surface can hold, or fewer pixel rows than the
// header promises. Nothing when the decoder may go ahead. Raises for a picture declaring more
// pixels than any of the game's, before anything is allocated for it.
std::optional<std::string> HeaderFault(const std::string& bytes, const std::string& filename) {
  if (!StartsWith(bytes, "BM", 2)) return WhatItIs(bytes) + ", not a bitmap; " + Expected;
  const int64_t size = static_cast<int64_t>(bytes.size());
  const auto* header = reinterpret_cast<const uint8_t*>(bytes.data());
  // The file header (14 bytes), then an information header whose first field is its size.
  if (size < 18) return "truncated at byte " + std::to_string(size) + ": a bitmap's headers take 26 bytes or more";
  const uint32_t infoSize = ReadLittleEndian(header + 14, 4);
  const bool core = infoSize == 12;  // the old core header: 16-bit fields
  const int64_t headers = 14 + (core ? 12 : 40);
  if (size < headers) return "truncated at byte " + std::to_string(size) + ": its headers take " + Bytes(headers);

  int64_t width, height;
  uint32_t bitCount, compression;
  if (core) {
    width = ReadLittleEndian(header + 18, 2);
    height = ReadLittleEndian(header + 20, 2);
    bitCount = ReadLittleEndian(header + 24, 2);
    compression = 0;
  } else {
    width = static_cast<int32_t>(ReadLittleEndian(header + 18, 4));
    height = static_cast<int32_t>(ReadLittleEndian(header + 22, 4));
    bitCount = ReadLittleEndian(header + 28, 2);
    compression = ReadLittleEndian(header + 30, 4);
  }
  const int64_t rows = height < 0 ? -height : height;
  if (width < 1 || width > kMaxPictureWidth || rows < 1 || rows > kMaxPictureHeight)
    return "its header declares " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels; a picture of the game is 1 to " + std::to_string(kMaxPictureWidth) + " wide and 1 to " +
           std::to_string(kMaxPictureHeight) + " tall";
  if (width * rows > kMaxPicturePixels) {
    Raise(ErrorKind::InvalidPicture, filename + " declares " + std::to_string(width) + " x " + std::to_string(rows) +
                                         " pixels, more than a picture of the game may have (" +
                                         std::to_string(kMaxPicturePixels) + ")");
  }

  // Run-length encoded pixels may describe more than the file holds; all others are stored
  // row by row in full from the offset the file header gives.
  const uint32_t kRunLength8 = 1, kRunLength4 = 2;
  if (compression == kRunLength8 || compression == kRunLength4) return std::nullopt;
  const int64_t rowBytes = (width * std::max<uint32_t>(bitCount, 1) + 31) / 32 * 4;
  const int64_t offset = std::max<int64_t>(ReadLittleEndian(header + 10, 4), headers);
  if (offset + rowBytes * rows > size)
    return "truncated at byte " + std::to_string(size) + ": its " + std::to_string(width) + " x " +
           std::to_string(rows) + " pixels take " + Bytes(rowBytes * rows) + " from byte " + std::to_string(offset);
  return std::nullopt;
}

[[noreturn]] void Refuse(const std::string& filename, const std::string& fault) {
  Raise(ErrorKind::InvalidPicture, filename + ": " + fault);
}

uint16_t ToRGB555(uint32_t xrgb) {
  uint32_t red = xrgb >> 16 & 0xFF, green = xrgb >> 8 & 0xFF, blue = xrgb & 0xFF;
  return static_cast<uint16_t>((red >> 3) << 10 | (green >> 3) << 5 | (blue >> 3));
}

}  // namespace

DecodedPicture DecodePictureFile(const std::string& filename) {
  const std::optional<std::string> bytes = SafeFile::ReadWholeFile(filename, SafeFile::kPictureLimit);
  if (!bytes) Raise(ErrorKind::FileNotFound, filename);
  if (const std::optional<std::string> fault = HeaderFault(*bytes, filename)) Refuse(filename, *fault);
  StreamPtr stream(SDL_RWFromConstMem(bytes->data(), static_cast<int>(bytes->size())));
  if (!stream) Refuse(filename, std::string("cannot be read: ") + SDL_GetError());
  SurfacePtr decoded(SDL_LoadBMP_RW(stream.release(), 1));  // closes the stream
  if (!decoded) Refuse(filename, std::string("a bitmap SDL cannot decode (") + SDL_GetError() + "); " + Expected);
  if (decoded->w < 1 || decoded->w > kMaxPictureWidth || decoded->h < 1 || decoded->h > kMaxPictureHeight)
    Refuse(filename,
           std::to_string(decoded->w) + " x " + std::to_string(decoded->h) + " pixels, more than a surface holds");

  // Whatever depth and palette the file had, one plain 8-bit-per-channel copy to read from.
  SurfacePtr rgb(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_RGB888, 0));
  if (!rgb) Refuse(filename, std::string("cannot be converted: ") + SDL_GetError());

  DecodedPicture picture;
  picture.width = rgb->w;
  picture.height = rgb->h;
  picture.pixels.resize(static_cast<size_t>(rgb->w) * static_cast<size_t>(rgb->h));
  uint16_t* out = picture.pixels.data();
  for (int y = 0; y < rgb->h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(rgb->pixels) +
                                                        static_cast<ptrdiff_t>(y) * rgb->pitch);
    for (int x = 0; x < rgb->w; ++x) *out++ = ToRGB555(row[x]);
  }
  return picture;
}

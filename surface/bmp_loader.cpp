#include "surface/bmp_loader.h"

#include <SDL.h>

#include <algorithm>
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

uint32_t ReadLittleEndian(const uint8_t* bytes, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

// Looks at the bitmap header before the decoder does, so that a file too short for its
// header, or claiming an image larger than a surface can hold or more pixel rows than the
// file contains, is turned away before anything is allocated for it. Leaves the stream at
// its start.
bool HeaderIsPlausible(SDL_RWops* stream, const std::string& filename) {
  uint8_t header[34] = {};
  size_t got = SDL_RWread(stream, header, 1, sizeof header);
  SDL_RWseek(stream, 0, RW_SEEK_SET);
  if (got < 26 || header[0] != 'B' || header[1] != 'M') return false;

  int64_t width, height;
  uint32_t bitCount, compression;
  if (ReadLittleEndian(header + 14, 4) == 12) {  // the old core header: 16-bit fields
    width = ReadLittleEndian(header + 18, 2);
    height = ReadLittleEndian(header + 20, 2);
    bitCount = ReadLittleEndian(header + 24, 2);
    compression = 0;
  } else {
    if (got < sizeof header) return false;
    width = static_cast<int32_t>(ReadLittleEndian(header + 18, 4));
    height = static_cast<int32_t>(ReadLittleEndian(header + 22, 4));
    bitCount = ReadLittleEndian(header + 28, 2);
    compression = ReadLittleEndian(header + 30, 4);
  }
  int64_t rows = height < 0 ? -height : height;
  if (width < 1 || width > kMaxPictureWidth || rows < 1 || rows > kMaxPictureHeight) return false;
  if (width * rows > kMaxPicturePixels) {
    Raise(ErrorKind::InvalidPicture, filename + " declares " + std::to_string(width) + " x " + std::to_string(rows) +
                                         " pixels, more than a picture of the game may have (" +
                                         std::to_string(kMaxPicturePixels) + ")");
  }

  // Run-length encoded pixels may describe more than the file holds; all others are stored
  // row by row in full.
  const uint32_t kRunLength8 = 1, kRunLength4 = 2;
  if (compression == kRunLength8 || compression == kRunLength4) return true;
  int64_t rowBytes = (width * std::max<uint32_t>(bitCount, 1) + 31) / 32 * 4;
  return rowBytes * rows <= SDL_RWsize(stream);
}

uint16_t ToRGB555(uint32_t xrgb) {
  uint32_t red = xrgb >> 16 & 0xFF, green = xrgb >> 8 & 0xFF, blue = xrgb & 0xFF;
  return static_cast<uint16_t>((red >> 3) << 10 | (green >> 3) << 5 | (blue >> 3));
}

}  // namespace

DecodedPicture DecodePictureFile(const std::string& filename) {
  const std::optional<std::string> bytes = SafeFile::ReadWholeFile(filename, SafeFile::kPictureLimit);
  if (!bytes) Raise(ErrorKind::FileNotFound, filename);
  StreamPtr stream(SDL_RWFromConstMem(bytes->data(), static_cast<int>(bytes->size())));
  if (!stream || !HeaderIsPlausible(stream.get(), filename)) Raise(ErrorKind::InvalidPicture, filename);
  SurfacePtr decoded(SDL_LoadBMP_RW(stream.release(), 1));  // closes the stream
  if (!decoded || decoded->w < 1 || decoded->w > kMaxPictureWidth || decoded->h < 1 || decoded->h > kMaxPictureHeight)
    Raise(ErrorKind::InvalidPicture, filename);

  // Whatever depth and palette the file had, one plain 8-bit-per-channel copy to read from.
  SurfacePtr rgb(SDL_ConvertSurfaceFormat(decoded.get(), SDL_PIXELFORMAT_RGB888, 0));
  if (!rgb) Raise(ErrorKind::InvalidPicture, filename);

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

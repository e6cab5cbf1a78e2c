// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "base/runtime.h"
#include "bmp_file_writer.h"
#include "surface/surface.h"

namespace {

// The kind of error reading `path` raises; its detail names the file and then, where given,
// what is wrong with it.
ErrorKind ReadError(Surface& s, const std::string& path, const std::string& why = "") {
  try {
    s.Read(path);
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Detail().rfind(path, 0), 0u) << e.Detail();
    if (!why.empty()) {
      EXPECT_EQ(e.Detail(), path + ": " + why);
    }
    return e.Kind();
  }
  ADD_FAILURE() << path << " was read";
  return ErrorKind::TypeMismatch;
}

// A 5 x 3 picture (odd width: padded rows in the file and on the surface) with the colours
// the load rule is stated for.
const int kWidth = 5, kHeight = 3;
const std::vector<Rgb> kManyColours = {{255, 0, 255}, {255, 255, 255}, {7, 7, 7},    {8, 16, 24},     {200, 100, 50},
                                       {0, 0, 0},     {1, 2, 3},       {31, 63, 95}, {128, 129, 130}, {255, 0, 255},
                                       {10, 250, 9},  {99, 98, 97},    {0, 255, 0},  {0, 0, 255},     {255, 0, 0}};

void ExpectLoaded(const Surface& s, const std::vector<Rgb>& pixels, const std::string& what) {
  ASSERT_EQ(s.Width(), kWidth) << what;
  ASSERT_EQ(s.Height(), kHeight) << what;
  ASSERT_EQ(s.Pitch(), 12) << what;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      EXPECT_EQ(s.Pixels()[y * 6 + x], LoadedPixel(pixels[y * kWidth + x])) << what << " at " << x << "," << y;
}

}  // namespace

TEST(SurfaceRead, EveryDepthAndRowOrderLoadsTopRowFirstByTheLoadRule) {
  const std::vector<Rgb> twoColours = {{255, 0, 255},   {255, 255, 255}, {255, 0, 255},   {255, 255, 255},
                                       {255, 0, 255},   {255, 255, 255}, {255, 255, 255}, {255, 0, 255},
                                       {255, 0, 255},   {255, 0, 255},   {255, 0, 255},   {255, 255, 255},
                                       {255, 255, 255}, {255, 255, 255}, {255, 0, 255}};
  const struct {
    BmpDepth depth;
    const char* name;
    const std::vector<Rgb>& pixels;
  } cases[] = {
      {BmpDepth::Palette1, "1-bit", twoColours},      {BmpDepth::Palette4, "4-bit", kManyColours},
      {BmpDepth::Palette8, "8-bit", kManyColours},    {BmpDepth::Rgb555, "16-bit 555", kManyColours},
      {BmpDepth::Rgb565, "16-bit 565", kManyColours}, {BmpDepth::Rgb24, "24-bit", kManyColours},
      {BmpDepth::Rgb32, "32-bit", kManyColours},
  };
  for (const auto& c : cases) {
    for (bool topDown : {false, true}) {
      std::string what = std::string(c.name) + (topDown ? " top-down" : " bottom-up");
      std::string path = ScratchPath("depth.bmp");
      WriteFile(path, EncodeBmp(kWidth, kHeight, c.pixels, c.depth, topDown));
      Surface s;
      ASSERT_TRUE(s.Read(path)) << what;
      ExpectLoaded(s, c.pixels, what);
      EXPECT_EQ(s.ColourKey(), 0x7C1F);
      const FrameInfo frame = s.Frame(0);
      EXPECT_EQ(frame.Right, kWidth);
      EXPECT_EQ(frame.Bottom, kHeight);
    }
  }
}

TEST(SurfaceRead, LoadRuleKeepsTheTopFiveBitsOfEachChannel) {
  std::string path = ScratchPath("rule.bmp");
  WriteFile(path, EncodeBmp(3, 1, {{255, 0, 255}, {255, 255, 255}, {7, 7, 7}}, BmpDepth::Rgb24, false));
  Surface s;
  ASSERT_TRUE(s.Read(path));
  EXPECT_EQ(s.Pixels()[0], 0x7C1F);  // the default colour key
  EXPECT_EQ(s.Pixels()[1], 0x7FFF);
  EXPECT_EQ(s.Pixels()[2], 0x0000);
}

TEST(SurfaceRead, MissingAndBrokenFilesRaiseTheirErrorsAndKeepThePreviousImage) {
  std::string good = ScratchPath("good.bmp");
  WriteFile(good, EncodeBmp(kWidth, kHeight, kManyColours, BmpDepth::Rgb24, false));
  Surface s;
  ASSERT_TRUE(s.Read(good));

  EXPECT_EQ(ReadError(s, ScratchPath("no such file.bmp")), ErrorKind::FileNotFound);

  // A file that is no bitmap says what it is instead, and what the game reads.
  const std::string expected =
      ", not a bitmap; the game reads Windows bitmaps (.bmp, starting with \"BM\"; 24-bit is safest)";
  std::string other = ScratchPath("other.bmp");
  const std::pair<std::vector<uint8_t>, std::string> others[] = {
      {{'h', 'e', 'l', 'l', 'o', '\n'}, "text (\"hello\")"},
      {{}, "empty (0 bytes)"},
      {{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13}, "a PNG picture"},
      {{0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F'}, "a JPEG picture"},
      {{'G', 'I', 'F', '8', '9', 'a', 1, 0}, "a GIF picture"},
      {{0, 0, 2, 0, 1, 0}, "a Windows cursor"},
      {{0x7F, 'E', 'L', 'F', 2}, "of no kind the game knows (its first bytes are 7f 45 4c 46)"},
  };
  for (const auto& [bytes, what] : others) {
    WriteFile(other, bytes);
    EXPECT_EQ(ReadError(s, other, what + expected), ErrorKind::InvalidPicture);
  }

  // A bitmap cut short says at which byte, and how many its pixels take: 3 rows of 16 bytes
  // after 54 bytes of headers.
  std::vector<uint8_t> bytes = EncodeBmp(kWidth, kHeight, kManyColours, BmpDepth::Rgb24, false);
  ASSERT_EQ(bytes.size(), 54u + 3 * 16);
  std::string truncated = ScratchPath("truncated.bmp");
  WriteFile(truncated, std::vector<uint8_t>(bytes.begin(), bytes.end() - 20));
  EXPECT_EQ(ReadError(s, truncated, "truncated at byte 82: its 5 x 3 pixels take 48 bytes from byte 54"),
            ErrorKind::InvalidPicture);
  WriteFile(truncated, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 40));
  EXPECT_EQ(ReadError(s, truncated, "truncated at byte 40: its headers take 54 bytes"), ErrorKind::InvalidPicture);

  ExpectLoaded(s, kManyColours, "after failed reads");
}

TEST(SurfaceRead, PicturesLargerThanASurfaceHoldsAreInvalid) {
  std::vector<uint8_t> bytes = EncodeBmp(kWidth, kHeight, kManyColours, BmpDepth::Rgb24, false);
  auto withSize = [&](int32_t width, int32_t height) {
    std::vector<uint8_t> b = bytes;
    for (int i = 0; i < 4; ++i) {
      b[18 + i] = static_cast<uint8_t>(static_cast<uint32_t>(width) >> (8 * i));
      b[22 + i] = static_cast<uint8_t>(static_cast<uint32_t>(height) >> (8 * i));
    }
    return b;
  };
  Surface s;
  std::string path = ScratchPath("huge.bmp");
  for (auto [w, h] : {std::pair{16383, 1}, {1, 32768}, {1, -32768}, {0x7FFFFFFF, 3}, {5, INT32_MIN}, {-5, 3}}) {
    WriteFile(path, withSize(w, h));
    EXPECT_EQ(ReadError(s, path), ErrorKind::InvalidPicture) << w << " x " << h;
  }
  // A header cut short, whatever size it claims.
  std::vector<uint8_t> cut = withSize(23, 16);
  cut.resize(31);
  WriteFile(path, cut);
  EXPECT_EQ(ReadError(s, path), ErrorKind::InvalidPicture);
  // A plausible size whose rows the file does not contain.
  WriteFile(path, withSize(4000, 3000));
  EXPECT_EQ(ReadError(s, path), ErrorKind::InvalidPicture);
  // Run-length pixels may be few bytes for many pixels: a 120-byte file that declares more
  // pixels than any picture of the game is refused by its size before it is decoded.
  std::vector<uint8_t> runLength = withSize(16382, 32767);
  runLength[28] = 8;
  runLength[30] = 1;
  runLength.resize(120);
  WriteFile(path, runLength);
  try {
    s.Read(path);
    ADD_FAILURE() << "a run-length picture of 16382 x 32767 was decoded";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::InvalidPicture);
    EXPECT_NE(e.Detail().find(path + " declares 16382 x 32767 pixels"), std::string::npos) << e.Detail();
  }
  // A named pipe in a picture's place is refused at once instead of waiting for a writer.
  std::filesystem::remove(path);
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  EXPECT_EQ(ReadError(s, path), ErrorKind::FileNotFound);
  std::filesystem::remove(path);
  EXPECT_EQ(s.Pixels(), nullptr);
}

// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/runtime.h"
#include "config/skin_reader.h"
#include "shell/loading_window.h"
#include "shell_fakes.h"

namespace fs = std::filesystem;

namespace {

// A one-colour 24-bit picture file.
void WritePicture(const fs::path& path, int width, int height, Uint8 r, Uint8 g, Uint8 b) {
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 24, SDL_PIXELFORMAT_BGR24);
  ASSERT_NE(surface, nullptr);
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, r, g, b));
  ASSERT_EQ(SDL_SaveBMP(surface, path.string().c_str()), 0);
  SDL_FreeSurface(surface);
}

// A skin folder whose main.ini names only its pictures' folder: the pictures lie in the skin
// folder itself.
class LoadingWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory = fs::temp_directory_path() / ("kestrel_loading_" + std::to_string(::getpid()));
    fs::create_directories(directory);
    std::ofstream(directory / "main.ini") << "[MainSettings]\nImagesDir=/\n";
  }
  void TearDown() override { fs::remove_all(directory); }
  fs::path directory;
  FakeWindows windows;
};

constexpr uint16_t Blue = 0x001F;  // (0, 0, 255) in RGB555
constexpr uint16_t Red = 0x7C00;

}  // namespace

TEST_F(LoadingWindowTest, StripGrowsOnePixelAStepOverTheBackgroundAndRestartsAfter198) {
  WritePicture(directory / "loading.bmp", 200, 149, 0, 0, 255);
  WritePicture(directory / "plan.bmp", 198, 10, 255, 0, 0);
  SkinReader reader(directory.string());
  LoadingWindow loading(reader);
  loading.Show();
  EXPECT_EQ(loading.StripWidth(), 0);
  FakeWindow& window = windows.Last();
  EXPECT_EQ(window.clientWidth, 200);
  EXPECT_EQ(window.clientHeight, 149);
  EXPECT_EQ(window.caption, "kestrel");  // no main.ini texts: still a title, never an unnamed window
  EXPECT_EQ(window.showCount, 1);
  ASSERT_FALSE(window.target.blocks.empty());
  EXPECT_EQ(window.target.blocks.back().At(1, 139), Blue);

  EXPECT_EQ(loading.Steps(), 0);
  loading.Advance();
  loading.Advance();
  loading.Advance();
  EXPECT_EQ(loading.Steps(), 3);
  ASSERT_EQ(window.target.blocks.size(), 4u);  // every step repaints at once
  const PresentedBlock& picture = window.target.blocks.back();
  EXPECT_EQ(picture.width, 200);
  EXPECT_EQ(picture.height, 149);
  EXPECT_EQ(picture.At(0, 139), Blue);
  EXPECT_EQ(picture.At(1, 139), Red);
  EXPECT_EQ(picture.At(3, 148), Red);
  EXPECT_EQ(picture.At(4, 139), Blue);
  EXPECT_EQ(picture.At(2, 138), Blue);

  for (int i = 3; i < 198; ++i) loading.Advance();
  EXPECT_EQ(loading.StripWidth(), 198);
  EXPECT_EQ(window.target.blocks.back().At(198, 148), Red);
  EXPECT_EQ(window.target.blocks.back().At(199, 148), Blue);
  loading.Advance();
  EXPECT_EQ(loading.StripWidth(), 1);
  loading.Advance();
  EXPECT_EQ(loading.StripWidth(), 2);

  // With texts in main.ini, the caption is the first of them.
  std::ofstream(directory / "main.ini", std::ios::app) << "[Texts]\nText0=Kestrel loading\n";
  SkinReader captioned(directory.string());
  LoadingWindow second(captioned);
  EXPECT_EQ(windows.Last().caption, "Kestrel loading");
}

TEST_F(LoadingWindowTest, MissingPictureStopsTheLoad) {
  WritePicture(directory / "loading.bmp", 200, 149, 0, 0, 255);
  SkinReader reader(directory.string());
  try {
    LoadingWindow loading(reader);
    FAIL() << "plan.bmp is missing";
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.Kind(), ErrorKind::FileNotFound);
    EXPECT_NE(error.Detail().find("plan.bmp"), std::string::npos);
  }
  EXPECT_TRUE(windows.windows.empty());
}

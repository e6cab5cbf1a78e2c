// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <SDL.h>
#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "base/runtime.h"
#include "surface/raster_binding.h"
#include "surface/surface.h"

namespace {

const char kMissingLibrary[] = "librasterkit-not-there.so";

class RasterBindingMissing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(src.Create(16, 8));
    ASSERT_TRUE(dst.Create(16, 8));
    for (int i = 0; i < 16 * 8; ++i) src.Pixels()[i] = 0x7FFF;
    RasterBinding::SetLibraryNameForTests(kMissingLibrary);
  }
  void TearDown() override { RasterBinding::SetLibraryNameForTests(RasterBinding::DefaultLibraryName()); }

  template <typename Call>
  void ExpectFileNotFound(Call call) {
    try {
      call();
      ADD_FAILURE() << "no error without the library";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.Kind(), ErrorKind::FileNotFound);
      EXPECT_EQ(e.Detail(), kMissingLibrary);
    }
  }

  bool DestinationUntouched() const {
    for (int i = 0; i < 16 * 8; ++i)
      if (dst.Pixels()[i] != 0) return false;
    return true;
  }

  Surface src, dst;
};

}  // namespace

TEST_F(RasterBindingMissing, CopiesAndFillsPassTheErrorOnEffectsSwallowIt) {
  ExpectFileNotFound([&] { dst.CopyFrom(src, 0, 0); });
  ExpectFileNotFound([&] { dst.CopyKeyedFrom(src, 0, 0, Rect{0, 0, 4, 4}); });
  ExpectFileNotFound([&] { dst.FillAround(src, 4, 2, 1, 2, 3); });
  ExpectFileNotFound([&] { dst.DrawLine(0, 0, 5, 5, 1, 2, 3); });
  ExpectFileNotFound([&] { Raster::myZoomPD(nullptr, nullptr, 0, 0, 0, 0, 0, 0, nullptr); });

  EXPECT_NO_THROW(dst.BlendFrom(src, BlendStyle::Alpha, 0, 0, 255, 0));
  EXPECT_NO_THROW(dst.BlendFrom(src, BlendStyle::Additive, 0, 0, 255, 0));
  EXPECT_NO_THROW(dst.BlendThroughMask(src, 0, 0, Rect{0, 0, 16, 8}, src, 32));
  EXPECT_TRUE(DestinationUntouched());

  // What needs no raster routine still works.
  dst.Clear();
  EXPECT_TRUE(dst.Create(4, 4));
}

TEST_F(RasterBindingMissing, TheNormalLibraryBindsAgainFromTheProgramDirectory) {
  ExpectFileNotFound([&] { dst.CopyFrom(src, 0, 0); });
  RasterBinding::SetLibraryNameForTests(RasterBinding::DefaultLibraryName());
  dst.CopyFrom(src, 0, 0);
  EXPECT_EQ(dst.Pixels()[0], 0x7FFF);
  EXPECT_EQ(dst.Pixels()[15], 0x7FFF);
}

// What start-up refuses before the first window, naming the file and what is wrong.
TEST(RasterBindingCheck, DamagedOrUnrelatedLibrariesAreRefusedByName) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("kestrel_binding_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path real = fs::read_symlink("/proc/self/exe").parent_path() / RasterBinding::DefaultLibraryName();
  std::ifstream in(real, std::ios::binary);
  const std::string library{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return (dir / name).string();
  };
  Dl_info sdl{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&SDL_Init), &sdl), 0);
  const std::pair<std::string, std::string> cases[] = {
      {write("first4k.so", library.substr(0, 4096)), "is cut short"},
      {write("half.so", library.substr(0, library.size() / 2)), "is cut short"},
      {write("empty.so", ""), "is not an ELF file"},
      {write("text.so", "INPUT(-lc)\n"), "is not an ELF file"},
      {(dir / "missing.so").string(), "does not exist"},
      {sdl.dli_fname, "lacks the routine ClipperRect"},
  };
  for (const auto& [file, problem] : cases) {
    RasterBinding::SetLibraryNameForTests(file);
    try {
      RasterBinding::Bind();
      ADD_FAILURE() << file;
    } catch (const RuntimeError& error) {
      EXPECT_NE(std::string(error.what()).find(file), std::string::npos) << error.what();
      EXPECT_NE(std::string(error.what()).find(problem), std::string::npos) << error.what();
    }
  }
  RasterBinding::SetLibraryNameForTests(real.string());
  EXPECT_NO_THROW(RasterBinding::Bind());
  RasterBinding::SetLibraryNameForTests(RasterBinding::DefaultLibraryName());
  fs::remove_all(dir);
}

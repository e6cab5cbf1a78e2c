#include <gtest/gtest.h>

#include <string>

#include "shell/runtime.h"
#include "surface/cgdisurface.h"
#include "surface/raster_binding.h"

namespace {

const char kMissingLibrary[] = "librasterkit-not-there.so";

class RasterBindingMissing : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(src.Create(16, 8));
    ASSERT_TRUE(dst.Create(16, 8));
    for (int i = 0; i < 16 * 8; ++i) src.ptr()[i] = 0x7FFF;
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
      if (dst.ptr()[i] != 0) return false;
    return true;
  }

  CGDISurface src, dst;
};

}  // namespace

TEST_F(RasterBindingMissing, CopiesAndFillsPassTheErrorOnEffectsSwallowIt) {
  ExpectFileNotFound([&] { dst.FastBlt(src, 0, 0); });
  ExpectFileNotFound([&] { dst.FastBltClip(src, 0, 0, 0, 0, 4, 4); });
  ExpectFileNotFound([&] { dst.Blt(src, 0, 0, 1.0f); });
  ExpectFileNotFound([&] { dst.BltZoom(src, 0, 0, 4, 4, 2.0f); });
  ExpectFileNotFound([&] { dst.BltClip(src, 0, 0, 0, 0, 4, 4); });
  ExpectFileNotFound([&] { dst.FillColor(1, 2, 3); });
  ExpectFileNotFound([&] { dst.DrawLine(0, 0, 5, 5, 1, 2, 3); });
  ExpectFileNotFound([&] { Raster::myZoomPD(nullptr, nullptr, 0, 0, 0, 0, 0, 0, nullptr); });

  EXPECT_TRUE(dst.EffectBlt(src, 0, 0, 0, 255, 0));
  EXPECT_TRUE(dst.EffectBltClip(src, 0, 0, 255, 0, 0, 8, 16, 1));
  EXPECT_TRUE(dst.EffectBltClipAlpha(src, 0, 0, 0, 0, 8, 16, src, 32));
  EXPECT_TRUE(DestinationUntouched());

  // What needs no raster routine still works.
  dst.Clear();
  EXPECT_TRUE(dst.Create(4, 4));
}

TEST_F(RasterBindingMissing, TheNormalLibraryBindsAgainFromTheProgramDirectory) {
  ExpectFileNotFound([&] { dst.FastBlt(src, 0, 0); });
  RasterBinding::SetLibraryNameForTests(RasterBinding::DefaultLibraryName());
  dst.FastBlt(src, 0, 0);
  EXPECT_EQ(dst.ptr()[0], 0x7FFF);
  EXPECT_EQ(dst.ptr()[15], 0x7FFF);
}

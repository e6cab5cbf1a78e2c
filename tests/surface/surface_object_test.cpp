#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "shell/runtime.h"
#include "surface/cgdisurface.h"
#include "surface/present_target.h"

namespace {

// Keeps what each CopyPixels call was given, pixels copied out row by row.
class RecordingTarget : public PresentTarget {
 public:
  struct Call {
    int32_t pitch, width, height, x, y;
    std::vector<uint16_t> pixels;
  };
  void CopyPixels(const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height, int32_t x,
                  int32_t y) override {
    Call call{pitch, width, height, x, y, {}};
    for (int32_t row = 0; row < height; ++row)
      call.pixels.insert(call.pixels.end(), pixels + row * (pitch / 2), pixels + row * (pitch / 2) + width);
    calls.push_back(std::move(call));
  }
  std::vector<Call> calls;
};

void ExpectFrame(const FrameInfo& f, int32_t l, int32_t t, int32_t r, int32_t b) {
  EXPECT_EQ(f.Left, l);
  EXPECT_EQ(f.Top, t);
  EXPECT_EQ(f.Right, r);
  EXPECT_EQ(f.Bottom, b);
  EXPECT_EQ(f.AnchorX, 0);
  EXPECT_EQ(f.AnchorY, 0);
}

}  // namespace

TEST(SurfaceObject, CreateLaysOutPaddedRowsFrameClipAndKey) {
  CGDISurface s;
  EXPECT_EQ(s.hdc(), 0u);
  EXPECT_EQ(s.ptr(), nullptr);

  ASSERT_TRUE(s.Create(7, 3));
  EXPECT_NE(s.hdc(), 0u);
  EXPECT_EQ(s.Width(), 7);
  EXPECT_EQ(s.Height(), 3);
  EXPECT_EQ(s.pitch(), 16);  // 14 bytes rounded up
  EXPECT_EQ(s.TranColor(), 0x7C1F);
  EXPECT_EQ(s.FrameCount(), 1);
  std::vector<uint8_t> bytes;
  s.LoadData(bytes);
  EXPECT_EQ(bytes, std::vector<uint8_t>(48, 0));
  FrameInfo frame{};
  s.FrameRect(&frame, 0);
  ExpectFrame(frame, 0, 0, 7, 3);
  const Rect& clip = s.ClipRect();
  EXPECT_EQ(clip.Left, 0);
  EXPECT_EQ(clip.Top, 0);
  EXPECT_EQ(clip.Right, 7);
  EXPECT_EQ(clip.Bottom, 3);

  CGDISurface even;
  ASSERT_TRUE(even.Create(8, 3));
  EXPECT_EQ(even.pitch(), 16);
  ASSERT_TRUE(even.Create(1, 1));
  EXPECT_EQ(even.pitch(), 4);
}

TEST(SurfaceObject, SecondCreateReplacesImageKeyClipAndFrames) {
  CGDISurface s;
  ASSERT_TRUE(s.Create(4, 4));
  s.SetTranColor(0x1234);
  s.SetClipper(1, 1, 2, 2);
  s.ptr()[0] = 0x7FFF;
  ASSERT_TRUE(s.Create(10, 2));
  EXPECT_EQ(s.TranColor(), 0x7C1F);
  EXPECT_EQ(s.ClipRect().Right, 10);
  EXPECT_EQ(s.ClipRect().Bottom, 2);
  EXPECT_EQ(s.ptr()[0], 0);
  FrameInfo frame{};
  s.FrameRect(&frame, 0);
  ExpectFrame(frame, 0, 0, 10, 2);
}

TEST(SurfaceObject, CreateRefusesSizesAPitchCannotHoldAndLeavesAnEmptySurface) {
  CGDISurface s;
  ASSERT_TRUE(s.Create(16382, 1));
  EXPECT_EQ(s.pitch(), 32764);
  EXPECT_FALSE(s.Create(16383, 1));  // pitch 32768 does not fit 16 bits
  EXPECT_EQ(s.ptr(), nullptr);
  EXPECT_EQ(s.Width(), 0);
  EXPECT_EQ(s.FrameCount(), 0);
  EXPECT_FALSE(s.Create(-1, 5));
  EXPECT_FALSE(s.Create(5, -1));
  EXPECT_TRUE(s.Create(0, 0));
  EXPECT_NE(s.hdc(), 0u);
}

TEST(SurfaceObject, FrameRectOutsideTheListLeavesTheRecordAndNeverCreatedRaises) {
  CGDISurface s;
  FrameInfo frame{};
  try {
    s.FrameRect(&frame, 0);
    FAIL() << "no error on a surface never created";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.Kind(), ErrorKind::SubscriptOutOfRange);
  }
  ASSERT_TRUE(s.Create(5, 6));
  for (int16_t outside : {1, -1}) {
    FrameInfo untouched{1, 2, 3, 4, 5, 6};
    s.FrameRect(&untouched, outside);
    EXPECT_EQ(untouched.Right, 3);
    EXPECT_EQ(untouched.AnchorX, 5);
    EXPECT_EQ(untouched.AnchorY, 6);
  }
  s.FrameRect(&frame, 0);
  ExpectFrame(frame, 0, 0, 5, 6);
  EXPECT_FALSE(s.ReadFrames("ignored"));
  EXPECT_EQ(s.FrameCount(), 1);
}

TEST(SurfaceObject, LoadDataAndSetDataExchangeRowsWithPadding) {
  CGDISurface s;
  ASSERT_TRUE(s.Create(3, 2));  // pitch 8: each row ends in one padding word
  std::vector<uint8_t> data;
  s.LoadData(data);
  ASSERT_EQ(data.size(), 16u);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i + 1);
  s.SetData(data);
  EXPECT_EQ(s.ptr()[4], 0x0A09);  // row 1, pixel 0: bytes 8 and 9, element (0, 1)
  std::vector<uint8_t> back;
  s.LoadData(back);
  EXPECT_EQ(back, data);
  s.SetData(back);  // the same array again changes nothing
  s.LoadData(back);
  EXPECT_EQ(back, data);

  // A short array fills only what it holds.
  s.SetData(std::vector<uint8_t>{0xFF, 0xFF, 0xFF});
  s.LoadData(back);
  EXPECT_EQ(back[2], 0xFF);
  EXPECT_EQ(back[3], 4);
  EXPECT_EQ(back[15], 16);

  CGDISurface never;
  never.LoadData(back);
  EXPECT_TRUE(back.empty());
  never.SetData(data);  // nothing to write into
}

TEST(SurfaceObject, RenderHandsTheUnconvertedPixelsToTheTarget) {
  RecordingTarget target;
  CGDISurface s;
  s.Render(&target);
  EXPECT_TRUE(target.calls.empty());

  ASSERT_TRUE(s.Create(3, 2));
  for (int i = 0; i < 8; ++i) s.ptr()[i] = static_cast<uint16_t>(0x8000 + i);  // bit 15 too
  s.Render(&target);
  ASSERT_EQ(target.calls.size(), 1u);
  const RecordingTarget::Call whole = target.calls[0];
  EXPECT_EQ(whole.pitch, 8);
  EXPECT_EQ(whole.width, 3);
  EXPECT_EQ(whole.height, 2);
  EXPECT_EQ(whole.x, 0);
  EXPECT_EQ(whole.y, 0);
  EXPECT_EQ(whole.pixels, (std::vector<uint16_t>{0x8000, 0x8001, 0x8002, 0x8004, 0x8005, 0x8006}));

  s.RenderTo(&target, 30, -4, 0);
  ASSERT_EQ(target.calls.size(), 2u);
  EXPECT_EQ(target.calls[1].x, 30);
  EXPECT_EQ(target.calls[1].y, -4);
  EXPECT_EQ(target.calls[1].pixels, whole.pixels);
  s.RenderTo(&target, 0, 0, 1);  // no such frame: nothing
  EXPECT_EQ(target.calls.size(), 2u);
}

TEST(SurfaceObject, MovingTakesTheImageAndLeavesAnEmptySurface) {
  std::vector<CGDISurface> surfaces(1);
  ASSERT_TRUE(surfaces[0].Create(6, 2));
  surfaces[0].ptr()[1] = 0x1234;
  uint16_t* pixels = surfaces[0].ptr();
  surfaces.resize(20);  // reallocation moves the surface
  EXPECT_EQ(surfaces[0].ptr(), pixels);
  EXPECT_EQ(surfaces[0].ptr()[1], 0x1234);

  CGDISurface taken = std::move(surfaces[0]);
  EXPECT_EQ(taken.ptr(), pixels);
  EXPECT_EQ(taken.Width(), 6);
  EXPECT_EQ(taken.FrameCount(), 1);
  EXPECT_EQ(surfaces[0].ptr(), nullptr);
  EXPECT_EQ(surfaces[0].Width(), 0);
  EXPECT_EQ(surfaces[0].FrameCount(), 0);
}

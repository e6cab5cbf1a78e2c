// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "base/runtime.h"
#include "render/digits.h"
#include "render_support.h"

namespace {

// A glyph drawn through a full mask at full level onto black.
uint16_t DrawnGlyph(int32_t digit) { return FullyDrawn(GlyphColour(digit)); }

class DigitsTest : public RenderTest {
 protected:
  void DrawPopups() { DrawScorePopups(Screen(), state, skin.MoveNumImages[0], skin.MoveNumImages[1]); }
};

TEST_F(DigitsTest, DrawsEachDigitFromItsRowLeftToRight) {
  const Surface& font = skin.ScoreImages[0];
  DrawDigits(Screen(), "0", 100, 50, font, skin.ScoreImages[1], 20, 10);
  EXPECT_EQ(ScreenPixel(100, 50), DrawnGlyph(0));
  EXPECT_EQ(ScreenPixel(100 + DigitWidth - 1, 50 + DigitHeight - 1), DrawnGlyph(0));
  EXPECT_EQ(ScreenPixel(100, 50 + DigitHeight), 0) << "only one glyph row is cut";
  EXPECT_EQ(ScreenPixel(120, 50), 0) << "a one-character text draws once";

  DrawDigits(Screen(), "407", 100, 200, font, skin.ScoreImages[1], 20, 10);
  EXPECT_EQ(ScreenPixel(100, 200), DrawnGlyph(4));
  EXPECT_EQ(ScreenPixel(120, 210), DrawnGlyph(0));
  EXPECT_EQ(ScreenPixel(140 + DigitWidth - 1, 219), DrawnGlyph(7));
  EXPECT_EQ(ScreenPixel(160, 200), 0);
}

TEST_F(DigitsTest, ZeroAdvanceStacksGlyphsAndGlyphCountSetsTheRowHeight) {
  DrawDigits(Screen(), "2", 300, 300, skin.Images.DiffImages[0], skin.Images.DiffImages[1], 0, 3);
  EXPECT_EQ(ScreenPixel(300, 300), DrawnGlyph(2));
  EXPECT_EQ(ScreenPixel(300, 300 + DigitHeight), 0);

  // A strip whose height is no multiple of the glyph count leaves the remainder unused.
  Surface strip = MakeSurface(DigitWidth, 10 * DigitHeight + 5, [](int32_t, int32_t y) {
    return y >= 10 * DigitHeight ? Rgb(31, 31, 31) : GlyphColour(y / DigitHeight);
  });
  Surface mask = MakeOpaqueMask(DigitWidth, 10 * DigitHeight + 5);
  DrawDigits(Screen(), "99", 400, 100, strip, mask, 0, 10);
  EXPECT_EQ(ScreenPixel(400, 100 + DigitHeight - 1), DrawnGlyph(9));
  EXPECT_EQ(ScreenPixel(400, 100 + DigitHeight), 0);
}

TEST_F(DigitsTest, NonDigitIsATypeMismatch) {
  for (const char* text : {"1-2", "-5", "3 ", "x"}) {
    try {
      DrawDigits(Screen(), text, 0, 0, skin.ScoreImages[0], skin.ScoreImages[1], 20, 10);
      ADD_FAILURE() << text << " was accepted";
    } catch (const RuntimeError& error) {
      EXPECT_EQ(error.Kind(), ErrorKind::TypeMismatch) << text;
    }
  }
}

TEST_F(DigitsTest, PopupShowsDigitsSignAndMultiplier) {
  ScorePopup& popup = state.ScorePopups[7];
  popup = ScorePopup{"120", 3, 100, 400, 0, true};
  DrawPopups();
  const int32_t row = 405;
  EXPECT_EQ(ScreenPixel(101, row), DrawnGlyph(1));
  EXPECT_EQ(ScreenPixel(113, row), DrawnGlyph(2));
  EXPECT_EQ(ScreenPixel(125, row), DrawnGlyph(0));
  EXPECT_EQ(ScreenPixel(137, row), DrawnGlyph(10)) << "the sign is row 10, at X + 36";
  EXPECT_EQ(ScreenPixel(149, row), DrawnGlyph(3)) << "the multiplier at X + 48";
  EXPECT_EQ(ScreenPixel(161, row), 0);
  EXPECT_EQ(ScreenPixel(101, 400 + 16), DrawnGlyph(1)) << "rows are 17 pixels high";
  EXPECT_EQ(ScreenPixel(101, 400 + 17), 0);

  // A multiplier below 2 shows no sign.
  ClearScreen();
  popup = ScorePopup{"5", 1, 100, 400, 0, true};
  DrawPopups();
  EXPECT_EQ(ScreenPixel(101, row), DrawnGlyph(5));
  EXPECT_EQ(ScreenPixel(113, row), 0);
}

// Drawn and aged frame by frame on the play screen, as the game shows them.
TEST_F(DigitsTest, PopupLivesFortyFiveFramesFadingAfterFourteen) {
  state.GameMode = ModePlay;
  ScorePopup& popup = state.ScorePopups[49];
  popup = ScorePopup{"8", 0, 10, 10, 0, true};
  // Glyph 8 is (25, 15, 9): whole for 14 frames, then at levels 31 down to 1, each passing one
  // part of 32 less than its level (30 of 32 first: 23, 14, 8; none last), a little darker
  // every frame.
  uint16_t before = 0;
  for (int32_t frame = 0; frame < 45; ++frame) {
    ClearScreen();
    ASSERT_TRUE(popup.Active) << "frame " << frame;
    DrawPopups();
    Animate();
    const uint16_t pixel = ScreenPixel(12, 12);
    if (frame < 14) {
      EXPECT_EQ(pixel, DrawnGlyph(8)) << "frame " << frame;
    } else if (frame == 14) {
      EXPECT_EQ(pixel, Rgb(23, 14, 8));
    } else {
      for (int shift : {10, 5, 0}) {
        const int32_t now = (pixel >> shift) & 31, then = (before >> shift) & 31;
        EXPECT_LE(now, then) << "frame " << frame;
        EXPECT_GE(now, then - 1) << "frame " << frame;
      }
    }
    before = pixel;
    EXPECT_EQ(popup.Age, frame + 1);
  }
  EXPECT_EQ(before, 0) << "the last frame passes nothing";
  EXPECT_FALSE(popup.Active);
  ClearScreen();
  DrawPopups();
  Animate();
  EXPECT_EQ(ScreenPixel(12, 12), 0);
  EXPECT_EQ(popup.Age, 45) << "an inactive pop-up does not age";
}

TEST_F(DigitsTest, InactivePopupsAreSkippedAndBadTextStopsDrawing) {
  state.GameMode = ModePlay;
  state.ScorePopups[0] = ScorePopup{"7", 0, 10, 10, 3, false};
  state.ScorePopups[1] = ScorePopup{"9", 0, 50, 10, 0, true};
  state.ScorePopups[2] = ScorePopup{"4a", 0, 90, 10, 0, true};
  EXPECT_THROW(DrawPopups(), RuntimeError);
  EXPECT_EQ(ScreenPixel(12, 12), 0);
  EXPECT_EQ(ScreenPixel(52, 12), DrawnGlyph(9));
  // A drawing that fails changes nothing; the frame's step ages the active pop-ups alone.
  EXPECT_EQ(state.ScorePopups[1].Age, 0);
  Animate();
  EXPECT_EQ(state.ScorePopups[0].Age, 3);
  EXPECT_EQ(state.ScorePopups[1].Age, 1);
}

}  // namespace

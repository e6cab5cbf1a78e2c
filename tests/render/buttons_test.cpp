// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "game/hit_test.h"
#include "render/buttons.h"
#include "render_support.h"

namespace {

constexpr uint16_t NormalColour = 0x1084;     // (4, 4, 4)
constexpr uint16_t HighlightColour = 0x7FFF;  // white
constexpr int32_t ButtonSize = 16;

class ButtonsTest : public RenderTest {
 protected:
  // Image 0: normal and highlighted (kind 0); image 1: with a mask (kind 1); image 2: plain (kind 2).
  void SetUp() override {
    RenderTest::SetUp();
    skin.ButtonImages.resize(3);
    skin.Layout.ButtonImageKind = {ButtonKindNormalAndHighlight, ButtonKindMasked, ButtonKindPlain};
    for (auto& layers : skin.ButtonImages) {
      layers[0] = MakeSolid(ButtonSize, ButtonSize, NormalColour);
      layers[1] = MakeOpaqueMask(ButtonSize, ButtonSize);
      layers[2] = MakeSolid(ButtonSize, ButtonSize, HighlightColour);
      layers[3] = MakeOpaqueMask(ButtonSize, ButtonSize);
    }
    skin.ButtonImages[2][0] = MakeSolid(ButtonSize, ButtonSize, HighlightColour);
  }

  void SetButtons(std::vector<ScreenButton> buttons) { state.Buttons = std::move(buttons); }
  static ScreenButton Button(int32_t image, int32_t left, int32_t top, int32_t alpha = 0) {
    return ScreenButton{image, left, alpha, left + ButtonSize, top, top + ButtonSize, -1};
  }
  // The buttons drawn onto a black screen, then their highlights move on.
  void Frame() {
    ClearScreen();
    DrawScreenButtons(Screen(), state, skin);
    Animate();
  }
  void MoveMouse(int32_t x, int32_t y) {
    state.Mouse.X = x;
    state.Mouse.Y = y;
  }
};

TEST_F(ButtonsTest, MouseInRectIsStrictOnEveryEdge) {
  MoveMouse(10, 20);
  EXPECT_TRUE(MouseInRect(state, 9, 11, 19, 21));
  EXPECT_FALSE(MouseInRect(state, 10, 11, 19, 21));
  EXPECT_FALSE(MouseInRect(state, 9, 10, 19, 21));
  EXPECT_FALSE(MouseInRect(state, 9, 11, 20, 21));
  EXPECT_FALSE(MouseInRect(state, 9, 11, 19, 20));
}

TEST_F(ButtonsTest, CursorOnTheLeftOrTopEdgeNeitherLightsNorClicks) {
  SetButtons({Button(0, 100, 100)});
  for (auto [x, y] : {std::pair{100, 108}, std::pair{108, 100}, std::pair{116, 108}, std::pair{108, 116}}) {
    MoveMouse(x, y);
    Frame();
    EXPECT_EQ(state.Buttons[0].Alpha, 0) << x << "," << y;
    EXPECT_EQ(state.Mouse.Style, 0);
    EXPECT_FALSE(HitScreenButton(game));
  }
  MoveMouse(101, 101);
  Frame();
  EXPECT_EQ(state.Buttons[0].Alpha, 4);
  EXPECT_EQ(state.Mouse.Style, 1);
}

TEST_F(ButtonsTest, NormalAndHighlightedImagesCrossFade) {
  SetButtons({Button(0, 100, 100)});
  MoveMouse(0, 0);
  Frame();
  EXPECT_EQ(ScreenPixel(100, 100), FullyDrawn(NormalColour)) << "at rest only the normal image";

  // Eight frames under the cursor light it fully; the frame drawn at 16 mixes both images.
  MoveMouse(108, 108);
  for (int32_t frame = 1; frame <= 8; ++frame) {
    const int32_t drawnAt = state.Buttons[0].Alpha;
    Frame();
    EXPECT_EQ(state.Buttons[0].Alpha, 4 * frame);
    if (drawnAt == 16) {
      // Each at half level: 15 of 32 parts of the normal 4 give 1, then of the white 31 over it 15.
      EXPECT_EQ(ScreenPixel(100, 100), Rgb(15, 15, 15));
    }
  }
  Frame();
  EXPECT_EQ(state.Buttons[0].Alpha, 32);
  EXPECT_EQ(ScreenPixel(100, 100), FullyDrawn(HighlightColour)) << "fully lit only the highlight";

  MoveMouse(0, 0);
  for (int32_t frame = 1; frame <= 8; ++frame) Frame();
  EXPECT_EQ(state.Buttons[0].Alpha, 0) << "a kind-0 button fades back to 0";
  EXPECT_EQ(state.Mouse.Style, 0);
}

TEST_F(ButtonsTest, MaskedAndPlainButtonsRestAtTheFirstLevelBelowTheMinimum) {
  SetButtons({Button(1, 100, 100, 32), Button(2, 200, 100, 32), Button(0, 300, 100, 32)});
  MoveMouse(0, 0);
  skin.Layout.ButtonMinAlpha = 16;
  for (int32_t frame = 0; frame < 10; ++frame) Frame();
  EXPECT_EQ(state.Buttons[0].Alpha, 12);
  EXPECT_EQ(state.Buttons[1].Alpha, 12);
  EXPECT_EQ(state.Buttons[2].Alpha, 0);

  skin.Layout.ButtonMinAlpha = 0;
  for (int32_t frame = 0; frame < 4; ++frame) Frame();
  EXPECT_EQ(state.Buttons[0].Alpha, 0);

  skin.Layout.ButtonMinAlpha = 40;
  state.Buttons[0].Alpha = 32;
  for (int32_t frame = 0; frame < 4; ++frame) Frame();
  EXPECT_EQ(state.Buttons[0].Alpha, 32) << "never fades below an unreachable minimum";

  // A never-lit masked button stays dark.
  skin.Layout.ButtonMinAlpha = 16;
  state.Buttons[0].Alpha = 0;
  Frame();
  EXPECT_EQ(state.Buttons[0].Alpha, 0);
  EXPECT_EQ(ScreenPixel(100, 100), 0);
}

TEST_F(ButtonsTest, PlainButtonLevelIsEightTimesAlphaButFullAt32) {
  MoveMouse(0, 0);
  skin.Layout.ButtonMinAlpha = 100;  // keeps the level still between frames
  // White over black at 255, 224 and 32 of 255: channels 30, 27 and 3.
  for (auto [alpha, channel] : {std::pair{32, 30}, std::pair{28, 27}, std::pair{4, 3}}) {
    SetButtons({Button(2, 100, 100, alpha)});
    Frame();
    EXPECT_EQ(ScreenPixel(105, 105), Rgb(channel, channel, channel)) << "alpha " << alpha;
  }
  // A layout that starts a button above 32 draws it fully lit.
  SetButtons({Button(2, 100, 100, 40)});
  skin.Layout.ButtonMinAlpha = 16;
  Frame();
  EXPECT_EQ(ScreenPixel(105, 105), Rgb(30, 30, 30));
  EXPECT_EQ(state.Buttons[0].Alpha, 32);
}

TEST_F(ButtonsTest, HiddenButtonIsNotDrawnAnimatedOrClickable) {
  ScreenButton hidden = Button(1, 100, 100, 20);
  hidden.State = 0;
  SetButtons({hidden});
  MoveMouse(108, 108);
  Frame();
  EXPECT_EQ(ScreenPixel(104, 104), 0);
  EXPECT_EQ(state.Buttons[0].Alpha, 20);
  EXPECT_EQ(state.Mouse.Style, 0);
  EXPECT_FALSE(HitScreenButton(game));
}

TEST_F(ButtonsTest, OverlappingButtonsBothLightButTheLowerIndexIsClicked) {
  state.GameMode = ModePlay;
  state.PlayState = PlayRunning;
  // Play-screen buttons: 1 pauses, 2 opens the help.
  SetButtons({Button(0, 0, 500), Button(0, 100, 100), Button(0, 104, 104)});
  MoveMouse(110, 110);
  Frame();
  EXPECT_EQ(state.Buttons[1].Alpha, 4);
  EXPECT_EQ(state.Buttons[2].Alpha, 4);
  EXPECT_TRUE(HitScreenButton(game));
  EXPECT_EQ(state.PlayState, PlayPaused);
}

TEST_F(ButtonsTest, EmptyAdvertisementEntryDrawsNothingAndCannotBeHit) {
  // Without an advertisement the last entry is a 1 x 1 picture with no mask or highlight.
  skin.ButtonImages.emplace_back();
  skin.ButtonImages.back()[0].Create(1, 1);
  skin.Layout.ButtonImageKind.push_back(ButtonKindNormalAndHighlight);
  skin.Layout.ButtonMinAlpha = 16;
  SetButtons({ScreenButton{3, 200, 16, 201, 150, 151, -1}});
  for (int32_t x : {199, 200, 201}) {
    MoveMouse(x, 150);
    EXPECT_NO_THROW(Frame());
    EXPECT_FALSE(HitScreenButton(game));
  }
  EXPECT_EQ(ScreenPixel(200, 150), 0);
  EXPECT_EQ(state.Mouse.Style, 0);
}

}  // namespace

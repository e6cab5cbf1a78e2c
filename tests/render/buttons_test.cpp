#include <gtest/gtest.h>

#include "config/config.h"
#include "game/game_state.h"
#include "game/hit_test.h"
#include "render/buttons.h"
#include "render_support.h"
#include "shell/shell_state.h"

namespace {

constexpr uint16_t NormalColour = 0x1084;       // (4, 4, 4)
constexpr uint16_t HighlightColour = 0x7FFF;    // white
constexpr int32_t ButtonSize = 16;

class ButtonsTest : public RenderTest {
 protected:
  // Image 0: normal and highlighted (kind 0); image 1: with a mask (kind 1); image 2: plain (kind 2).
  void SetUp() override {
    RenderTest::SetUp();
    Config.ButtonImages.resize(3);
    Config.ButtonImageKind = {ButtonKindNormalAndHighlight, ButtonKindMasked, ButtonKindPlain};
    for (auto& layers : Config.ButtonImages) {
      layers[0] = MakeSolid(ButtonSize, ButtonSize, NormalColour);
      layers[1] = MakeOpaqueMask(ButtonSize, ButtonSize);
      layers[2] = MakeSolid(ButtonSize, ButtonSize, HighlightColour);
      layers[3] = MakeOpaqueMask(ButtonSize, ButtonSize);
    }
    Config.ButtonImages[2][0] = MakeSolid(ButtonSize, ButtonSize, HighlightColour);
  }

  static void SetButtons(std::vector<ScreenButton> buttons) {
    Config.ScreenButtons = std::move(buttons);
    Config.ScreenButtonMax = static_cast<int32_t>(Config.ScreenButtons.size()) - 1;
  }
  static ScreenButton Button(int32_t image, int32_t left, int32_t top, int32_t alpha = 0) {
    return ScreenButton{image, left, alpha, left + ButtonSize, top, top + ButtonSize, -1};
  }
  static void Frame() {
    RenderTest::ClearScreen();
    DrawScreenButtons(Shell.BackBuffer[Shell.BackIndex]);
  }
  static void MoveMouse(int32_t x, int32_t y) {
    Shell.MouseX = x;
    Shell.MouseY = y;
  }
};

TEST_F(ButtonsTest, MouseInRectIsStrictOnEveryEdge) {
  MoveMouse(10, 20);
  EXPECT_TRUE(MouseInRect(9, 11, 19, 21));
  EXPECT_FALSE(MouseInRect(10, 11, 19, 21));
  EXPECT_FALSE(MouseInRect(9, 10, 19, 21));
  EXPECT_FALSE(MouseInRect(9, 11, 20, 21));
  EXPECT_FALSE(MouseInRect(9, 11, 19, 20));
}

TEST_F(ButtonsTest, CursorOnTheLeftOrTopEdgeNeitherLightsNorClicks) {
  SetButtons({Button(0, 100, 100)});
  for (auto [x, y] : {std::pair{100, 108}, std::pair{108, 100}, std::pair{116, 108}, std::pair{108, 116}}) {
    MoveMouse(x, y);
    Frame();
    EXPECT_EQ(Config.ScreenButtons[0].Alpha, 0) << x << "," << y;
    EXPECT_EQ(Shell.MouseStyle, 0);
    EXPECT_FALSE(HitScreenButton());
  }
  MoveMouse(101, 101);
  Frame();
  EXPECT_EQ(Config.ScreenButtons[0].Alpha, 4);
  EXPECT_EQ(Shell.MouseStyle, 1);
}

TEST_F(ButtonsTest, NormalAndHighlightedImagesCrossFade) {
  SetButtons({Button(0, 100, 100)});
  MoveMouse(0, 0);
  Frame();
  EXPECT_EQ(ScreenPixel(100, 100), MaskBlend(0, NormalColour, 31, 32)) << "at rest only the normal image";

  // Eight frames under the cursor light it fully; the frame drawn at 16 mixes both images.
  MoveMouse(108, 108);
  for (int32_t frame = 1; frame <= 8; ++frame) {
    const int32_t drawnAt = Config.ScreenButtons[0].Alpha;
    Frame();
    EXPECT_EQ(Config.ScreenButtons[0].Alpha, 4 * frame);
    if (drawnAt == 16) {
      const uint16_t normalHalf = MaskBlend(0, NormalColour, 31, 16);
      EXPECT_EQ(ScreenPixel(100, 100), MaskBlend(normalHalf, HighlightColour, 31, 16));
    }
  }
  Frame();
  EXPECT_EQ(Config.ScreenButtons[0].Alpha, 32);
  EXPECT_EQ(ScreenPixel(100, 100), MaskBlend(0, HighlightColour, 31, 32)) << "fully lit only the highlight";

  MoveMouse(0, 0);
  for (int32_t frame = 1; frame <= 8; ++frame) Frame();
  EXPECT_EQ(Config.ScreenButtons[0].Alpha, 0) << "a kind-0 button fades back to 0";
  EXPECT_EQ(Shell.MouseStyle, 0);
}

TEST_F(ButtonsTest, MaskedAndPlainButtonsRestAtTheFirstLevelBelowTheMinimum) {
  SetButtons({Button(1, 100, 100, 32), Button(2, 200, 100, 32), Button(0, 300, 100, 32)});
  MoveMouse(0, 0);
  Config.ButtonMinAlpha = 16;
  for (int32_t frame = 0; frame < 10; ++frame) Frame();
  EXPECT_EQ(Config.ScreenButtons[0].Alpha, 12);
  EXPECT_EQ(Config.ScreenButtons[1].Alpha, 12);
  EXPECT_EQ(Config.ScreenButtons[2].Alpha, 0);

  Config.ButtonMinAlpha = 0;
  for (int32_t frame = 0; frame < 4; ++frame) Frame();
  EXPECT_EQ(Config.ScreenButtons[0].Alpha, 0);

  Config.ButtonMinAlpha = 40;
  Config.ScreenButtons[0].Alpha = 32;
  for (int32_t frame = 0; frame < 4; ++frame) Frame();
  EXPECT_EQ(Config.ScreenButtons[0].Alpha, 32) << "never fades below an unreachable minimum";

  // A never-lit masked button stays dark.
  Config.ButtonMinAlpha = 16;
  Config.ScreenButtons[0].Alpha = 0;
  Frame();
  EXPECT_EQ(Config.ScreenButtons[0].Alpha, 0);
  EXPECT_EQ(ScreenPixel(100, 100), 0);
}

TEST_F(ButtonsTest, PlainButtonLevelIsEightTimesAlphaButFullAt32) {
  MoveMouse(0, 0);
  Config.ButtonMinAlpha = 100;  // keeps the level still between frames
  for (auto [alpha, level] : {std::pair{32, 255}, std::pair{28, 224}, std::pair{4, 32}}) {
    SetButtons({Button(2, 100, 100, alpha)});
    Frame();
    EXPECT_EQ(ScreenPixel(105, 105), AlphaBlend(0, HighlightColour, level)) << "alpha " << alpha;
  }
  // A layout that starts a button above 32 draws it fully lit.
  SetButtons({Button(2, 100, 100, 40)});
  Config.ButtonMinAlpha = 16;
  Frame();
  EXPECT_EQ(ScreenPixel(105, 105), AlphaBlend(0, HighlightColour, 255));
  EXPECT_EQ(Config.ScreenButtons[0].Alpha, 32);
}

TEST_F(ButtonsTest, HiddenButtonIsNotDrawnAnimatedOrClickable) {
  ScreenButton hidden = Button(1, 100, 100, 20);
  hidden.State = 0;
  SetButtons({hidden});
  MoveMouse(108, 108);
  Frame();
  EXPECT_EQ(ScreenPixel(104, 104), 0);
  EXPECT_EQ(Config.ScreenButtons[0].Alpha, 20);
  EXPECT_EQ(Shell.MouseStyle, 0);
  EXPECT_FALSE(HitScreenButton());
}

TEST_F(ButtonsTest, OverlappingButtonsBothLightButTheLowerIndexIsClicked) {
  Game.GameMode = ModePlay;
  Game.PlayState = PlayRunning;
  // Play-screen buttons: 1 pauses, 2 opens the help.
  SetButtons({Button(0, 0, 500), Button(0, 100, 100), Button(0, 104, 104)});
  MoveMouse(110, 110);
  Frame();
  EXPECT_EQ(Config.ScreenButtons[1].Alpha, 4);
  EXPECT_EQ(Config.ScreenButtons[2].Alpha, 4);
  EXPECT_TRUE(HitScreenButton());
  EXPECT_EQ(Game.PlayState, PlayPaused);
}

TEST_F(ButtonsTest, EmptyAdvertisementEntryDrawsNothingAndCannotBeHit) {
  // Without an advertisement the last entry is a 1 x 1 picture with no mask or highlight.
  Config.ButtonImages.emplace_back();
  Config.ButtonImages.back()[0].Create(1, 1);
  Config.ButtonImageKind.push_back(ButtonKindNormalAndHighlight);
  Config.ButtonMinAlpha = 16;
  SetButtons({ScreenButton{3, 200, 16, 201, 150, 151, -1}});
  for (int32_t x : {199, 200, 201}) {
    MoveMouse(x, 150);
    EXPECT_NO_THROW(Frame());
    EXPECT_FALSE(HitScreenButton());
  }
  EXPECT_EQ(ScreenPixel(200, 150), 0);
  EXPECT_EQ(Shell.MouseStyle, 0);
}

}  // namespace

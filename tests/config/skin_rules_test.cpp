// SPDX-License-Identifier: MIT
// The rules a skin's pictures are held to: each fault of a mask told by its kind, naming the
// file, the cell and the pixel; and the game refusing at start exactly what the checker calls
// fatal, in the checker's words.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "audio/audio.h"
#include "config/skin_check.h"
#include "config/skin_rules.h"
#include "skin_fixture.h"

namespace {

constexpr uint16_t Magenta = 0x7C1F, Green = 0x03E0, White = 0x7FFF;

// Two 4 x 4 cells side by side, each painting a 2 x 2 square at (1, 1) of the cell and leaving
// the rest magenta, and the mask that matches: white on the squares, black elsewhere. Cell
// (0, 0) is vital: the thing at rest.
struct TwoCells {
  Surface picture, mask;
  SkinReader reader{"/s/"};

  TwoCells() {
    picture.Create(8, 4);
    mask.Create(8, 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 8; ++x) {
        const bool painted = x % 4 >= 1 && x % 4 <= 2 && y >= 1 && y <= 2;
        Picture(x, y) = painted ? Green : Magenta;
        Mask(x, y) = painted ? White : 0;
      }
  }
  uint16_t& Picture(int x, int y) { return picture.Pixels()[y * picture.Pitch() / 2 + x]; }
  uint16_t& Mask(int x, int y) { return mask.Pixels()[y * mask.Pitch() / 2 + x]; }
  void EachMask(const std::function<uint16_t(uint16_t)>& change) {
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 8; ++x) Mask(x, y) = change(Mask(x, y));
  }
  std::vector<SkinFault> Faults() const {
    Sprite sprite(picture, mask, "p.bmp", "m.bmp", "the things", "the screen", 4, 4, {{0, 0}, {1, 0}});
    sprite.Vital = {{0, 0}};
    sprite.VitalWhat = "the thing at rest";
    sprite.VitalLevel = FaultLevel::Fatal;
    return SpriteFaults(reader, sprite);
  }
};

void ExpectOne(const std::vector<SkinFault>& faults, FaultLevel level, const std::string& text) {
  ASSERT_EQ(faults.size(), 1u) << (faults.empty() ? "no fault" : faults[0].Text + " ... " + faults.back().Text);
  EXPECT_EQ(faults[0].Level, level) << faults[0].Text;
  EXPECT_EQ(faults[0].Text, text);
}

TEST(SkinRules, EachFaultOfAMaskIsToldByItsKindNamingFileCellAndPixel) {
  EXPECT_TRUE(TwoCells().Faults().empty());

  TwoCells inverted;
  inverted.EachMask([](uint16_t m) { return static_cast<uint16_t>(m ^ White); });
  ExpectOne(inverted.Faults(), FaultLevel::Error,
            "/s/m.bmp: inverted: it shows all 24 pixels that p.bmp leaves magenta (first at pixel (0, 0) in cell "
            "(0, 0)) and hides all 8 pixels that p.bmp paints (first at pixel (1, 1) in cell (0, 0)); the things would "
            "show as magenta boxes with their own shapes cut out");

  TwoCells white;
  white.EachMask([](uint16_t) { return White; });
  ExpectOne(white.Faults(), FaultLevel::Error,
            "/s/m.bmp: shows every pixel, all 24 pixels that p.bmp leaves magenta (first at pixel (0, 0) in cell "
            "(0, 0)); the things would be drawn in magenta boxes");

  TwoCells hole;
  hole.Picture(6, 2) = Magenta;
  ExpectOne(hole.Faults(), FaultLevel::Warning,
            "/s/p.bmp: 1 magenta pixel inside the shape of its mask m.bmp (first at pixel (6, 2) in cell (1, 0)); "
            "they show as magenta spots in the things");

  // Painted red: the blue channel the game reads is 0 everywhere, and the vital cell goes.
  TwoCells red;
  red.EachMask([](uint16_t m) { return static_cast<uint16_t>(m & 0x7C00); });
  ExpectOne(red.Faults(), FaultLevel::Fatal,
            "/s/m.bmp: shows nothing: its blue channel is 0 in every cell the game draws, while its red or green is "
            "lit at 8 pixels (first at pixel (1, 1) in cell (0, 0): red 31, green 0, blue 0 of 31): the game reads "
            "only the blue channel; paint masks in greys; the things would be invisible");

  TwoCells blankFrame;
  for (int y = 1; y <= 2; ++y) blankFrame.Mask(5, y) = blankFrame.Mask(6, y) = 0;
  ExpectOne(blankFrame.Faults(), FaultLevel::Warning,
            "/s/m.bmp: shows nothing in cell (1, 0); that frame of the things is blank");
  TwoCells blankRest;
  for (int y = 1; y <= 2; ++y) blankRest.Mask(1, y) = blankRest.Mask(2, y) = 0;
  ExpectOne(blankRest.Faults(), FaultLevel::Fatal,
            "/s/m.bmp: shows nothing in cell (0, 0); the thing at rest drawn from it would be invisible");

  TwoCells bitten;
  bitten.Mask(2, 2) = 0;  // 1 of 8 painted pixels: more than a tenth
  ExpectOne(bitten.Faults(), FaultLevel::Warning,
            "/s/m.bmp: hides 1 pixel of the 8 that p.bmp paints (first at pixel (2, 2) in cell (0, 0)); those parts "
            "of the things are not drawn");

  TwoCells tinted;
  tinted.Mask(1, 1) = 31 << 10 | 31 << 5 | 29;  // within 2 levels: grey enough
  tinted.Mask(6, 1) = 31 << 10 | 31 << 5 | 20;
  ExpectOne(tinted.Faults(), FaultLevel::Warning,
            "/s/m.bmp: 1 pixel not grey (first at pixel (6, 1) in cell (1, 0): red 31, green 31, blue 20 of 31); the "
            "game reads only the blue channel");

  TwoCells wide;
  wide.mask.Create(12, 4);  // another pitch: the game draws nothing through it
  ExpectOne(wide.Faults(), FaultLevel::Fatal,
            "/s/m.bmp: 12 x 4, but its picture p.bmp is 8 x 4; a mask is the size of its picture: the game draws "
            "nothing of the things through it");
}

// The fixture's skin with full piece sheets and the loading window's pictures: the checker
// finds nothing fatal in it and start-up refuses nothing.
class AgreementTest : public ::testing::Test {
 protected:
  AgreementTest() {
    for (const char* sheet : {"s0.bmp", "s0m.bmp", "s1.bmp", "s1m.bmp", "s2.bmp", "s2m.bmp"})
      skin_.WriteImage(sheet, {192, 192});
    skin_.WriteImage("loading.bmp", {200, 149});
    skin_.WriteImage("plan.bmp", {198, 10});
  }
  ~AgreementTest() override { CloseAudioDevice(); }

  // The checker's fatal lines, and what start-up says when it refuses the skin (empty when
  // it starts); every fault of the checker's at `level` must mention `told`.
  void ExpectAgreement(FaultLevel level, const std::string& told) {
    const SkinReport report = CheckSkin(skin_.Directory().string());
    std::string fatal;
    for (const std::string& text : report.Texts(FaultLevel::Fatal)) fatal += (fatal.empty() ? "" : "\n") + text;
    std::string refused;
    Startup start(skin_.Directory());
    start.RunLoaders();
    try {
      RefuseUnplayableSkin(start.Reader, start.Look);
    } catch (const RuntimeError& error) {
      refused = error.what();
    }
    EXPECT_EQ(refused, fatal) << FormatSkinReport(skin_.Directory().string(), report);
    EXPECT_EQ(report.Plays(), level != FaultLevel::Fatal);
    if (told.empty()) return;
    bool found = false;
    for (const std::string& text : report.Texts(level)) found = found || text.find(told) != std::string::npos;
    EXPECT_TRUE(found) << told << "\n" << FormatSkinReport(skin_.Directory().string(), report);
  }

  SkinFixture skin_;
};

TEST_F(AgreementTest, TheGameRefusesAtStartExactlyWhatTheCheckerCallsFatal) {
  ExpectAgreement(FaultLevel::Warning, "");
  skin_.WriteImage("tit_bk.bmp", {640, 480});
  ExpectAgreement(FaultLevel::Error, "tit_bk.bmp: 640 x 480; the game draws it 720 x 540");
  skin_.MainIni.Set("TitleButton", "Button1_X", "10");
  skin_.MainIni.Set("TitleButton", "Button1_Y", "20");
  skin_.WriteMainIni();
  ExpectAgreement(FaultLevel::Error, "key Button1_X/Button1_Y: the button (10, 20)-");

  skin_.WriteImage("s1.bmp", {160, 192});
  ExpectAgreement(FaultLevel::Fatal, "s1.bmp: 160 x 192, too small to cut");
  skin_.WriteImage("s1.bmp", {192, 192});
  skin_.WriteImage("s2m.bmp", {192, 192}, 0xFF0000);
  ExpectAgreement(FaultLevel::Fatal, "s2m.bmp: shows nothing: its blue channel is 0");
  skin_.WriteImage("s2m.bmp", {192, 192});
  skin_.MainIni.Set("SelectStageButton", "Button0_Y", "-500");
  skin_.WriteMainIni();
  ExpectAgreement(FaultLevel::Fatal, "the stage selection's start button");
  skin_.MainIni.Set("TitleButton", "Button0_X", "720");
  skin_.WriteMainIni();
  ExpectAgreement(FaultLevel::Fatal, "the title's start button (720, 20)-");
}

}  // namespace

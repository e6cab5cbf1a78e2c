// The default skin as the game will load it: every key of main.ini, every picture with the
// sheet layout the drawing cuts it by, the layout against the screen's fixed geometry, the
// cursors, the sounds and music, and the size of the whole.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "shell/ini_file.h"
#include "shell/platform/cursor_file.h"
#include "shell/runtime.h"
#include "surface/bmp_loader.h"

namespace fs = std::filesystem;

namespace {

std::string SkinDir() {
  const char* source = std::getenv("KESTREL_SOURCE_DIR");
  return std::string(source ? source : ".") + "/skin";
}

std::string ImagePath(const std::string& name) { return SkinDir() + "/images/" + name; }

bool ImageExists(const std::string& name) { return fs::exists(ImagePath(name)); }

struct Box {
  int32_t left, top, right, bottom;  // right and bottom exclusive
  bool Overlaps(const Box& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
  bool Inside(const Box& o) const { return left >= o.left && top >= o.top && right <= o.right && bottom <= o.bottom; }
};

std::ostream& operator<<(std::ostream& os, const Box& b) {
  return os << "(" << b.left << ", " << b.top << ")-(" << b.right << ", " << b.bottom << ")";
}

constexpr Box kScreen{0, 0, 720, 540};
constexpr Box kBoard{228, 90, 484, 506};

// Pictures are decoded once and kept: several tests look at the same files.
const DecodedPicture& Picture(const std::string& name) {
  static std::map<std::string, DecodedPicture> cache;
  auto found = cache.find(name);
  if (found == cache.end()) found = cache.emplace(name, DecodePictureFile(ImagePath(name))).first;
  return found->second;
}

int32_t Opacity(const DecodedPicture& mask, int32_t x, int32_t y) {
  return mask.pixels[static_cast<size_t>(y) * mask.width + x] & 0x1F;
}

// True when the mask has some opacity inside the cell.
bool CellHasContent(const DecodedPicture& mask, int32_t x, int32_t y, int32_t w, int32_t h) {
  for (int32_t row = y; row < y + h; ++row)
    for (int32_t col = x; col < x + w; ++col)
      if (Opacity(mask, col, row) > 0) return true;
  return false;
}

// The first row of the cell with any opacity, or h when the cell is empty.
int32_t TopOfContent(const DecodedPicture& mask, int32_t x, int32_t y, int32_t w, int32_t h) {
  for (int32_t row = 0; row < h; ++row)
    for (int32_t col = x; col < x + w; ++col)
      if (Opacity(mask, col, y + row) > 0) return row;
  return h;
}

class SkinTest : public ::testing::Test {
 protected:
  void SetUp() override { ini_.SetINIFileName(SkinDir() + "/main.ini"); }

  int32_t Num(const std::string& section, const std::string& key) const {
    std::string text = ini_.GetIniKey(section, key);
    EXPECT_TRUE(IsNumeric(text)) << "[" << section << "] " << key << " = \"" << text << "\"";
    return IsNumeric(text) ? TextToInt(text) : 0;
  }

  // The hit box of screen button i of a section, sized by its picture as the game does.
  Box ButtonBox(const std::string& section, int32_t i) const {
    std::string n = std::to_string(i);
    int32_t x = Num(section, "Button" + n + "_X"), y = Num(section, "Button" + n + "_Y");
    const DecodedPicture& picture = Picture("but" + std::to_string(Num(section, "Button" + n)) + ".bmp");
    return Box{x, y, x + picture.width, y + picture.height};
  }

  // A panel drawn centred in the 724 x 544 back buffer without sway.
  static Box CentredPanel(const std::string& name) {
    const DecodedPicture& picture = Picture(name);
    int32_t x = (724 - picture.width) / 2, y = (544 - picture.height) / 2;
    return Box{x, y, x + picture.width, y + picture.height};
  }

  classIniFile ini_;
};

TEST_F(SkinTest, MainIniHoldsTheWholeSchema) {
  EXPECT_EQ(ini_.GetIniKey("MainSettings", "ImagesDir"), "/images/");
  for (const char* key : {"MaxTexts", "MaxMouseStyle", "ButtonMinAlpha", "MaxButton", "CheckX0", "CheckX1", "CheckY0",
                          "CheckY1", "C_CheckX00", "C_CheckX01", "C_CheckX10", "C_CheckX11", "C_CheckY00",
                          "C_CheckY01", "C_CheckY10", "C_CheckY11", "VolX0", "VolX1", "VolY0", "VolY1", "ShowStageX",
                          "ShowStageY", "ShowScoreX", "ShowScoreY", "MaxSounds", "MaxBackMusic", "Hi_Score0",
                          "Hi_Score1", "Hi_Score2"})
    Num("MainSettings", key);
  int32_t minAlpha = Num("MainSettings", "ButtonMinAlpha");
  EXPECT_TRUE(minAlpha >= 0 && minAlpha <= 32);
  EXPECT_EQ(Num("MainSettings", "MaxSounds"), 7);
  EXPECT_EQ(Num("MainSettings", "MaxBackMusic"), 4);
  EXPECT_EQ(Num("MainSettings", "MaxMouseStyle"), 4);

  int32_t maxTexts = Num("MainSettings", "MaxTexts");
  ASSERT_GE(maxTexts, 2);
  EXPECT_EQ(ini_.GetIniKey("Texts", "Text0"), "Kestrel");
  for (const char* key : {"Text1", "Text2"}) EXPECT_EQ(ini_.GetIniKey("Texts", key).rfind("https://", 0), 0u) << key;

  int32_t maxButton = Num("MainSettings", "MaxButton");
  for (const char* section : {"TitleButton", "SelectStageButton", "GameButton"}) {
    int32_t count = Num(section, "MaxButton") + 1;
    for (int32_t i = 0; i < count; ++i) {
      int32_t image = Num(section, "Button" + std::to_string(i));
      EXPECT_TRUE(image >= 0 && image <= maxButton) << section << " button " << i;
      Num(section, "Button" + std::to_string(i) + "_X");
      Num(section, "Button" + std::to_string(i) + "_Y");
    }
  }
  // Title: 0 start, 1 quit, and the advertisement entry the game appends becomes index 2.
  EXPECT_EQ(Num("TitleButton", "MaxButton"), 1);
  EXPECT_EQ(Num("SelectStageButton", "MaxButton"), 0);
  EXPECT_EQ(Num("GameButton", "MaxButton"), 8);
  // Start-up rewrites GameButton's Button4 to 4: the web link must already use image 4.
  EXPECT_EQ(Num("GameButton", "Button4"), 4);
  EXPECT_EQ(Num("ADPIC", "MaxAD"), -1);
  Num("ADPIC", "ADShowX");
  Num("ADPIC", "ADShowY");
}

TEST_F(SkinTest, EveryAnnouncedFileExistsWithItsLooks) {
  for (int32_t i = 0; i <= Num("MainSettings", "MaxButton"); ++i) {
    std::string n = std::to_string(i);
    const DecodedPicture& normal = Picture("but" + n + ".bmp");
    EXPECT_GT(normal.width, 0);
    if (!ImageExists("butm" + n + ".bmp")) continue;  // kind 2
    const DecodedPicture& mask = Picture("butm" + n + ".bmp");
    EXPECT_EQ(mask.width, normal.width) << n;
    EXPECT_EQ(mask.height, normal.height) << n;
    if (!ImageExists("butc" + n + ".bmp")) continue;  // kind 1
    const DecodedPicture& lit = Picture("butc" + n + ".bmp");
    const DecodedPicture& litMask = Picture("butcm" + n + ".bmp");
    EXPECT_EQ(lit.width, normal.width) << n;
    EXPECT_EQ(lit.height, normal.height) << n;
    EXPECT_EQ(litMask.width, lit.width) << n;
    EXPECT_EQ(litMask.height, lit.height) << n;
  }
  for (int32_t i = 0; i <= Num("MainSettings", "MaxTexts"); ++i)
    EXPECT_FALSE(ini_.GetIniKey("Texts", "Text" + std::to_string(i)).empty()) << i;
  for (int32_t i = 0; i <= Num("MainSettings", "MaxMouseStyle"); ++i)
    EXPECT_TRUE(ImageExists(std::to_string(i) + ".cur")) << i;
  for (int32_t i = 0; i <= Num("MainSettings", "MaxSounds"); ++i)
    EXPECT_TRUE(fs::exists(SkinDir() + "/sounds/sound" + std::to_string(i) + ".ogg")) << i;
  for (int32_t i = 0; i < 2; ++i) {
    const DecodedPicture& box = Picture("check" + std::to_string(i) + ".bmp");
    const DecodedPicture& mask = Picture("check" + std::to_string(i) + "m.bmp");
    EXPECT_EQ(box.width, mask.width);
    EXPECT_EQ(box.height, mask.height);
  }
  EXPECT_GE(Picture("volume.bmp").width, 52);
}

// Each sprite and its mask: same size, sheet divisible into its cells, cells a multiple of 4
// wide (masked copies work in groups of four pixels, so such cells draw whole).
TEST_F(SkinTest, SheetsHaveTheLayoutsTheDrawingCutsThemBy) {
  struct Sheet {
    std::string picture, mask;
    int32_t columns, rows;
    int32_t minCellW, minCellH;
  };
  std::vector<Sheet> sheets;
  for (int32_t k = 0; k < 3; ++k) {
    std::string n = std::to_string(k);
    sheets.push_back({"s" + n + ".bmp", "s" + n + "m.bmp", 6, 6, 32, 32});
    sheets.push_back({"sb" + n + ".bmp", "sb" + n + "m.bmp", 12, 4, 4, 4});
  }
  sheets.push_back({"angel0.bmp", "angel1.bmp", 6, 4, 16 + 64, 96 + 32});  // the next pair sits in the cell
  sheets.push_back({"timenum0.bmp", "timenum1.bmp", 1, 10, 4, 4});
  sheets.push_back({"score0.bmp", "score1.bmp", 1, 10, 4, 4});
  sheets.push_back({"stage0.bmp", "stage1.bmp", 1, 10, 4, 4});
  sheets.push_back({"diff0.bmp", "diff1.bmp", 1, 3, 4, 4});
  sheets.push_back({"slediff0.bmp", "slediff1.bmp", 1, 3, 36, 36});
  sheets.push_back({"selmus0.bmp", "selmus2.bmp", 1, 5, 64, 32});
  sheets.push_back({"selmus1.bmp", "selmus2.bmp", 1, 5, 64, 32});
  for (const char* stem : {"tit_logo", "pause", "gameover", "nextstage", "exit", "newgame", "selbk", "selpoint"})
    sheets.push_back({std::string(stem) + "0.bmp", std::string(stem) + "1.bmp", 1, 1, 4, 4});

  for (const Sheet& s : sheets) {
    SCOPED_TRACE(s.picture);
    const DecodedPicture& picture = Picture(s.picture);
    const DecodedPicture& mask = Picture(s.mask);
    EXPECT_EQ(mask.width, picture.width);
    EXPECT_EQ(mask.height, picture.height);
    EXPECT_EQ(picture.width % s.columns, 0);
    EXPECT_EQ(picture.height % s.rows, 0);
    int32_t cellW = picture.width / s.columns, cellH = picture.height / s.rows;
    EXPECT_EQ(cellW % 4, 0) << "cell width " << cellW;
    EXPECT_GE(cellW, s.minCellW);
    EXPECT_GE(cellH, s.minCellH);
  }
  // Exact cell sizes the drawing assumes: 32 x 32 pieces, 36 x 36 difficulty icons,
  // 64 x 32 music choices, 17-pixel pop-up rows with the sign in row 10.
  EXPECT_EQ(Picture("s0.bmp").width, 192);
  EXPECT_EQ(Picture("slediff0.bmp").height, 3 * 36);
  EXPECT_EQ(Picture("selmus0.bmp").height, 5 * 32);
  const DecodedPicture& popups = Picture("movenum0.bmp");
  EXPECT_GE(popups.height, 11 * 17);
  EXPECT_EQ(popups.width % 4, 0);
  EXPECT_EQ(Picture("movenum1.bmp").width, popups.width);
  EXPECT_EQ(Picture("movenum1.bmp").height, popups.height);

  const DecodedPicture& help = Picture("help.bmp");
  EXPECT_EQ(help.width, 256);
  EXPECT_EQ(help.height, 416);
  for (const char* name : {"background.bmp", "tit_bk.bmp"}) {
    EXPECT_EQ(Picture(name).width, 720) << name;
    EXPECT_EQ(Picture(name).height, 540) << name;
  }
  EXPECT_EQ(Picture("loading.bmp").width, 200);
  EXPECT_EQ(Picture("loading.bmp").height, 149);
  EXPECT_GE(Picture("plan.bmp").width, 198);
  EXPECT_GE(Picture("plan.bmp").height, 10);
}

// Every frame an animation steps through has something in it.
TEST_F(SkinTest, EveryAnimationFrameIsDrawn) {
  auto checkRows = [](const std::string& mask, int32_t columns, int32_t rows, std::vector<int32_t> framesPerRow) {
    SCOPED_TRACE(mask);
    const DecodedPicture& m = Picture(mask);
    int32_t w = m.width / columns, h = m.height / rows;
    for (int32_t row = 0; row < static_cast<int32_t>(framesPerRow.size()); ++row)
      for (int32_t col = 0; col < framesPerRow[row]; ++col)
        EXPECT_TRUE(CellHasContent(m, col * w, row * h, w, h)) << "cell " << col << ", " << row;
  };
  for (int32_t k = 0; k < 3; ++k) {
    // joins, their six vanish steps, the target's blink, its vanish steps, the grin, its vanish steps
    checkRows("s" + std::to_string(k) + "m.bmp", 6, 6, {5, 6, 4, 6, 4, 6});
    // idle, hit, gone, laughing
    checkRows("sb" + std::to_string(k) + "m.bmp", 12, 4, {6, 12, 7, 6});
  }
  checkRows("angel1.bmp", 6, 4, {4, 2, 5, 6});  // idle, throw, cheer, game over
  for (const char* strip : {"timenum1.bmp", "score1.bmp", "stage1.bmp"}) checkRows(strip, 1, 10, std::vector<int32_t>(10, 1));
  checkRows("diff1.bmp", 1, 3, {1, 1, 1});
  checkRows("slediff1.bmp", 1, 3, {1, 1, 1});
  checkRows("selmus2.bmp", 1, 5, {1, 1, 1, 1, 1});
  const DecodedPicture& popups = Picture("movenum1.bmp");
  for (int32_t row = 0; row <= 10; ++row)
    EXPECT_TRUE(CellHasContent(popups, 0, row * 17, popups.width, 17)) << "pop-up row " << row;
}

// A pair's halves join across the cell edge their link names: 0 up, 1 right, 2 down, 3 left;
// a single half (4) touches no edge.
TEST_F(SkinTest, PieceJoinsReachTheEdgeTheirLinkNames) {
  const int32_t edgeMiddle[4][2] = {{16, 0}, {31, 16}, {16, 31}, {0, 16}};
  for (int32_t k = 0; k < 3; ++k) {
    const DecodedPicture& mask = Picture(std::string("s") + std::to_string(k) + "m.bmp");
    for (int32_t link = 0; link <= 4; ++link)
      for (int32_t side = 0; side < 4; ++side) {
        int32_t opacity = Opacity(mask, 32 * link + edgeMiddle[side][0], edgeMiddle[side][1]);
        if (side == link)
          EXPECT_GE(opacity, 28) << "colour " << k << " link " << link << " side " << side;
        else
          EXPECT_LE(opacity, 16) << "colour " << k << " link " << link << " side " << side;
      }
  }
}

// Each picture and its mask are one sprite: whatever the mask shows is drawn in the picture,
// and what it hides is the transparent colour, so a colour-keyed copy shows the same shape.
TEST_F(SkinTest, PicturesAndMasksBelongTogether) {
  std::vector<std::pair<std::string, std::string>> pairs = {{"selmus0.bmp", "selmus2.bmp"}, {"selmus1.bmp", "selmus2.bmp"},
                                                            {"movenum0.bmp", "movenum1.bmp"}, {"score0.bmp", "score1.bmp"},
                                                            {"stage0.bmp", "stage1.bmp"}};
  for (int32_t k = 0; k < 3; ++k) {
    pairs.emplace_back("s" + std::to_string(k) + ".bmp", "s" + std::to_string(k) + "m.bmp");
    pairs.emplace_back("sb" + std::to_string(k) + ".bmp", "sb" + std::to_string(k) + "m.bmp");
  }
  for (int32_t i = 0; i < 2; ++i)
    pairs.emplace_back("check" + std::to_string(i) + ".bmp", "check" + std::to_string(i) + "m.bmp");
  for (const char* stem : {"tit_logo", "diff", "timenum", "pause", "gameover", "nextstage", "exit", "newgame", "angel",
                           "selbk", "selpoint", "slediff"})
    pairs.emplace_back(std::string(stem) + "0.bmp", std::string(stem) + "1.bmp");
  for (const auto& [pictureName, maskName] : pairs) {
    const DecodedPicture& picture = Picture(pictureName);
    const DecodedPicture& mask = Picture(maskName);
    ASSERT_EQ(picture.pixels.size(), mask.pixels.size()) << pictureName;
    size_t hiddenPainted = 0, shownKeyed = 0;
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
      bool keyed = picture.pixels[i] == 0x7C1F;
      bool shown = (mask.pixels[i] & 0x1F) > 0;
      if (shown && keyed) ++shownKeyed;
      if (!shown && !keyed) ++hiddenPainted;
    }
    EXPECT_EQ(shownKeyed, 0u) << pictureName << ": pixels the mask shows are the transparent colour";
    EXPECT_EQ(hiddenPainted, 0u) << pictureName << ": pixels the mask hides are painted";
  }
}

// Where the skin's own layout meets the positions the game fixes.
TEST_F(SkinTest, PlayScreenLayoutKeepsEverythingApart) {
  std::vector<std::pair<std::string, Box>> parts;
  parts.emplace_back("board", kBoard);
  int32_t sx = Num("MainSettings", "ShowScoreX"), sy = Num("MainSettings", "ShowScoreY");
  const DecodedPicture& score = Picture("score0.bmp");
  int32_t scoreH = score.height / 10;
  // ten digits of score and high score, and the difficulty word
  parts.emplace_back("high score", Box{sx, sy - 38, sx + 9 * 20 + score.width, sy - 38 + scoreH});
  parts.emplace_back("score", Box{sx, sy, sx + 9 * 20 + score.width, sy + scoreH});
  const DecodedPicture& diff = Picture("diff0.bmp");
  parts.emplace_back("difficulty", Box{sx, sy + 38, sx + diff.width, sy + 38 + diff.height / 3});
  const DecodedPicture& stage = Picture("stage0.bmp");
  int32_t stageH = stage.height / 10;
  int32_t stx = Num("MainSettings", "ShowStageX"), sty = Num("MainSettings", "ShowStageY");
  parts.emplace_back("stage", Box{stx - 13, sty, stx - 13 + 26 + stage.width, sty + stageH});
  parts.emplace_back("targets left", Box{609, 332, 609 + 26 + stage.width, 332 + stageH});
  const DecodedPicture& timeDigits = Picture("timenum0.bmp");
  parts.emplace_back("minutes", Box{588, 256, 588 + 20 + timeDigits.width, 256 + timeDigits.height / 10});
  parts.emplace_back("seconds", Box{644, 256, 644 + 20 + timeDigits.width, 256 + timeDigits.height / 10});
  const DecodedPicture& characters = Picture("sb0.bmp");
  int32_t cw = characters.width / 12, ch = characters.height / 4;
  const int32_t charPos[3][2] = {{540, 380}, {580, 445}, {620, 385}};
  for (int32_t c = 0; c < 3; ++c)
    parts.emplace_back("character " + std::to_string(c),
                       Box{charPos[c][0], charPos[c][1], charPos[c][0] + cw, charPos[c][1] + ch});
  const DecodedPicture& volume = Picture("volume.bmp");
  for (int32_t i = 0; i < 2; ++i) {
    std::string n = std::to_string(i);
    Box hit{Num("MainSettings", "C_CheckX0" + n), Num("MainSettings", "C_CheckY0" + n),
            Num("MainSettings", "C_CheckX1" + n), Num("MainSettings", "C_CheckY1" + n)};
    const DecodedPicture& box = Picture("check" + n + ".bmp");
    int32_t cx = Num("MainSettings", "CheckX" + n), cy = Num("MainSettings", "CheckY" + n);
    EXPECT_TRUE((Box{cx, cy, cx + box.width, cy + box.height}.Inside(hit))) << "check box " << i << " outside " << hit;
    parts.emplace_back("check box " + n, hit);
    int32_t vx = Num("MainSettings", "VolX" + n), vy = Num("MainSettings", "VolY" + n);
    parts.emplace_back("volume " + n, Box{vx, vy, vx + volume.width, vy + volume.height});
  }
  for (int32_t i = 0; i <= 4; ++i) parts.emplace_back("button " + std::to_string(i), ButtonBox("GameButton", i));

  for (size_t a = 0; a < parts.size(); ++a) {
    EXPECT_TRUE(parts[a].second.Inside(kScreen)) << parts[a].first << " " << parts[a].second;
    for (size_t b = a + 1; b < parts.size(); ++b)
      EXPECT_FALSE(parts[a].second.Overlaps(parts[b].second))
          << parts[a].first << " " << parts[a].second << " overlaps " << parts[b].first << " " << parts[b].second;
  }

  // The yes/no buttons sit on their centred confirmation panels.
  Box newGame = CentredPanel("newgame0.bmp"), exit = CentredPanel("exit0.bmp");
  for (int32_t i : {5, 6}) EXPECT_TRUE(ButtonBox("GameButton", i).Inside(newGame)) << "button " << i;
  for (int32_t i : {7, 8}) EXPECT_TRUE(ButtonBox("GameButton", i).Inside(exit)) << "button " << i;
  EXPECT_FALSE(ButtonBox("GameButton", 5).Overlaps(ButtonBox("GameButton", 6)));
  EXPECT_FALSE(ButtonBox("GameButton", 7).Overlaps(ButtonBox("GameButton", 8)));
  // The help page covers the board exactly.
  EXPECT_EQ(Picture("help.bmp").width, kBoard.right - kBoard.left);
  EXPECT_EQ(Picture("help.bmp").height, kBoard.bottom - kBoard.top);
}

TEST_F(SkinTest, MenuScreensKeepTheirControlsClear) {
  // The figure floats over (448..480, 240..264) on both menu screens.
  const DecodedPicture& angel = Picture("angel1.bmp");
  int32_t cw = angel.width / 6, ch = angel.height / 4;
  int32_t figureTop = ch;
  for (int32_t row = 0; row < 4; ++row)
    for (int32_t col = 0; col < 6; ++col) figureTop = std::min(figureTop, TopOfContent(angel, col * cw, row * ch, cw, ch));
  Box figure{448, 240 + figureTop, 480 + cw, 264 + ch};

  std::vector<std::pair<std::string, Box>> selection;
  for (int32_t j = 0; j < 3; ++j) selection.emplace_back("difficulty " + std::to_string(j), Box{268 + 64 * j, 172, 304 + 64 * j, 208});
  for (int32_t k = 0; k < 5; ++k) selection.emplace_back("music " + std::to_string(k), Box{250 + 78 * k, 250, 314 + 78 * k, 282});
  selection.emplace_back("stage bar", Box{317, 86, 597, 134});
  selection.emplace_back("start", ButtonBox("SelectStageButton", 0));
  for (const auto& [name, box] : selection) {
    EXPECT_TRUE(box.Inside(kScreen)) << name;
    EXPECT_FALSE(box.Overlaps(figure)) << name << " " << box << " under the figure " << figure;
  }
  EXPECT_FALSE(ButtonBox("SelectStageButton", 0).Overlaps(selection[3].second));

  Box start = ButtonBox("TitleButton", 0), quit = ButtonBox("TitleButton", 1);
  const DecodedPicture& logo = Picture("tit_logo0.bmp");
  Box logoBox{80, 64, 80 + logo.width, 64 + logo.height};
  for (const Box& b : {start, quit}) {
    EXPECT_TRUE(b.Inside(kScreen));
    EXPECT_FALSE(b.Overlaps(figure));
    EXPECT_FALSE(b.Overlaps(logoBox));
  }
  EXPECT_FALSE(start.Overlaps(quit));

  // The stage-selection panel's 20 slots, 14 pixels apart from x 319, are drawn where the
  // darkening and the marker expect them.
  const DecodedPicture& panel = Picture("selbk0.bmp");
  ASSERT_GE(panel.width, 597);
  for (int32_t i = 0; i < 20; ++i) {
    uint16_t inside = panel.pixels[static_cast<size_t>(112) * panel.width + 324 + 14 * i];
    uint16_t gap = panel.pixels[static_cast<size_t>(112) * panel.width + 331 + 14 * i];
    EXPECT_NE(inside, gap) << "slot " << i;
  }
}

// The title background scrolls and wraps: its opposite edges must meet like neighbours do.
TEST_F(SkinTest, TitleBackgroundTilesWithoutASeam) {
  const DecodedPicture& tile = Picture("tit_bk.bmp");
  auto channelDiff = [](uint16_t a, uint16_t b) {
    return std::abs((a >> 10) - (b >> 10)) + std::abs(((a >> 5) & 31) - ((b >> 5) & 31)) + std::abs((a & 31) - (b & 31));
  };
  auto at = [&](int32_t x, int32_t y) { return tile.pixels[static_cast<size_t>(y) * tile.width + x]; };
  double seam = 0, inner = 0;
  for (int32_t y = 0; y < tile.height; ++y) {
    seam += channelDiff(at(tile.width - 1, y), at(0, y));
    inner += channelDiff(at(tile.width / 2, y), at(tile.width / 2 + 1, y));
  }
  EXPECT_LE(seam, inner * 2 + tile.height) << "left and right edges";
  seam = inner = 0;
  for (int32_t x = 0; x < tile.width; ++x) {
    seam += channelDiff(at(x, tile.height - 1), at(x, 0));
    inner += channelDiff(at(x, tile.height / 2), at(x, tile.height / 2 + 1));
  }
  EXPECT_LE(seam, inner * 2 + tile.width) << "top and bottom edges";
}

uint16_t Le16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

TEST_F(SkinTest, CursorsAreWindowsCursorsWithHotspots) {
  for (int32_t i = 0; i <= Num("MainSettings", "MaxMouseStyle"); ++i) {
    SCOPED_TRACE("cursor " + std::to_string(i));
    std::ifstream in(ImagePath(std::to_string(i) + ".cur"), std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 22u);
    EXPECT_EQ(Le16(bytes, 0), 0);
    EXPECT_EQ(Le16(bytes, 2), 2);  // a cursor, not an icon
    EXPECT_EQ(Le16(bytes, 4), 1);
    int32_t hotX = Le16(bytes, 10), hotY = Le16(bytes, 12);

    // Decoded as the game decodes it.
    std::optional<Platform::CursorImage> image = Platform::DecodeCursorFile(bytes);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->Width, 32);
    EXPECT_EQ(image->Height, 32);
    EXPECT_EQ(image->HotspotX, hotX);
    EXPECT_EQ(image->HotspotY, hotY);
    // The hotspot lies on the drawn shape (within a few pixels of an opaque pixel), and the
    // shape has transparent surroundings.
    int32_t nearest = 1000, transparent = 0;
    for (int32_t y = 0; y < image->Height; ++y)
      for (int32_t x = 0; x < image->Width; ++x) {
        uint32_t alpha = image->Pixels[static_cast<size_t>(y) * image->Width + x] >> 24;
        if (alpha >= 128) nearest = std::min(nearest, std::max(std::abs(x - hotX), std::abs(y - hotY)));
        if (alpha == 0) ++transparent;
      }
    EXPECT_LE(nearest, 5);
    EXPECT_GT(transparent, 32 * 32 / 3);
  }
}

class SkinAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
    ASSERT_NE(Mix_QuerySpec(&rate_, &format_, &channels_), 0);
  }
  void TearDown() override {
    Mix_CloseAudio();
    SDL_Quit();
  }
  // Seconds of sound in a decoded chunk.
  double Seconds(const Mix_Chunk* chunk) const {
    return static_cast<double>(chunk->alen) / (SDL_AUDIO_BITSIZE(format_) / 8) / channels_ / rate_;
  }
  int rate_ = 0, channels_ = 0;
  Uint16 format_ = 0;
};

TEST_F(SkinAudioTest, SoundEffectsDecodeAndStayShort) {
  for (int32_t i = 0; i <= 7; ++i) {
    std::string path = SkinDir() + "/sounds/sound" + std::to_string(i) + ".ogg";
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    ASSERT_NE(chunk, nullptr) << path << ": " << Mix_GetError();
    EXPECT_GT(Seconds(chunk), 0.03) << path;
    EXPECT_LT(Seconds(chunk), 3.0) << path;
    Mix_FreeChunk(chunk);
  }
}

// Each track opens as a music stream, lasts at least 40 seconds and joins its end to its
// start no more sharply than its own loudest neighbouring samples.
TEST_F(SkinAudioTest, MusicTracksAreLongAndLoopWithoutAClick) {
  ASSERT_EQ(format_, AUDIO_S16SYS);
  for (const char* name : {"titback", "back0", "back1", "back2", "back3", "back4"}) {
    SCOPED_TRACE(name);
    std::string path = SkinDir() + "/sounds/" + name + ".ogg";
    Mix_Music* music = Mix_LoadMUS(path.c_str());
    ASSERT_NE(music, nullptr) << Mix_GetError();
    Mix_FreeMusic(music);

    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    ASSERT_NE(chunk, nullptr) << Mix_GetError();
    EXPECT_GE(Seconds(chunk), 40.0);
    const int16_t* samples = reinterpret_cast<const int16_t*>(chunk->abuf);
    size_t frames = chunk->alen / sizeof(int16_t) / channels_;
    ASSERT_GT(frames, 2u);
    std::vector<int32_t> steps;
    steps.reserve(frames);
    for (size_t f = 1; f < frames; ++f)
      steps.push_back(std::abs(samples[f * channels_] - samples[(f - 1) * channels_]));
    std::nth_element(steps.begin(), steps.begin() + steps.size() * 999 / 1000, steps.end());
    int32_t loudStep = steps[steps.size() * 999 / 1000];
    int32_t seam = std::abs(samples[0] - samples[(frames - 1) * channels_]);
    EXPECT_LE(seam, loudStep) << "end " << samples[(frames - 1) * channels_] << " start " << samples[0];
    Mix_FreeChunk(chunk);
  }
}

TEST(SkinSizeTest, WholeSkinStaysUnderEightMebibytes) {
  uintmax_t total = 0;
  for (const auto& entry : fs::recursive_directory_iterator(SkinDir()))
    if (entry.is_regular_file()) total += entry.file_size();
  EXPECT_LT(total, 8u * 1024 * 1024);
  EXPECT_GT(total, 0u);
}

}  // namespace

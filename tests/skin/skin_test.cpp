// SPDX-License-Identifier: MIT
// The skin checker over the skins that come with the game and over planted faults, and what only
// the default skin promises beyond what the checker asks of every skin: its counts and words,
// drawn animation frames, joins, masks that match their pictures pixel for pixel, a neat
// layout, a seamless title background, cursor hotspots, short effects, long tracks, its size.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

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

#include "base/ini_file.h"
#include "base/locations.h"
#include "base/runtime.h"
#include "config/skin.h"
#include "config/skin_check.h"
#include "config/skin_loaders.h"
#include "config/skin_reader.h"
#include "surface/bmp_loader.h"
#include "surface/cursor_file.h"

namespace fs = std::filesystem;

namespace {

std::string SkinDir() {
  const char* source = std::getenv("KESTREL_SOURCE_DIR");
  return std::string(source ? source : ".") + "/skin";
}

std::string ImagePath(const std::string& name) { return SkinDir() + "/images/" + name; }

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
  int32_t Num(const std::string& section, const std::string& key) const {
    std::string text = reader_.MainIni().Read(section, key);
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

  SkinReader reader_{SkinDir()};
};

// Takes the line of `key` out of an INI file.
void RemoveKey(const fs::path& file, const std::string& key) {
  std::ifstream in(file, std::ios::binary);
  std::string kept;
  for (std::string line; std::getline(in, line);)
    if (line.rfind(key + "=", 0) != 0) kept += line + "\n";
  in.close();
  std::ofstream(file, std::ios::binary | std::ios::trunc) << kept;
}

bool Mentions(const std::vector<std::string>& lines, const std::string& part) {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

TEST(SkinCheckTest, TheSkinsThatComeWithTheGamePlayWithoutWarnings) {
  for (const std::string& dir : {SkinDir(), SkinDir() + "/../skins/high-contrast"}) {
    const SkinReport report = CheckSkin(dir);
    EXPECT_TRUE(report.Faults.empty()) << FormatSkinReport(dir, report);
    EXPECT_EQ(FormatSkinReport(dir, report), dir + ": 0 errors, 0 warnings; the game can play this skin\n");
  }
}

// One copy of the default skin with a fault of every kind planted: one run names them all.
TEST(SkinCheckTest, FindsEveryPlantedFaultInOneRun) {
  const fs::path dir = fs::temp_directory_path() / ("kestrel-skin-check-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "sounds");
  fs::copy(SkinDir() + "/images", dir / "images");
  fs::copy_file(SkinDir() + "/main.ini", dir / "main.ini");
  const fs::path images = dir / "images", sounds = dir / "sounds";
  for (const auto& entry : fs::directory_iterator(SkinDir() + "/sounds"))
    fs::copy_file(entry.path(), sounds / entry.path().filename());
  IniFile ini((dir / "main.ini").string());
  RemoveKey(dir / "main.ini", "VolX1");
  ini.Write("MainSettings", "CheckY0", "abc");
  ini.Write("MainSettings", "MaxTexts", "5000");
  ini.Write("GameButton", "Button0_X", "700");
  ini.Write("GameButton", "Button6_Y", "10");
  ini.Write("TitleButton", "Button1_Y", ini.Read("TitleButton", "Button0_Y"));
  ini.Write("GameButton", "Button9_Y", "300");     // under the swaying pause panel
  ini.Write("ControlsButton", "Button1_X", "40");  // over the back button
  ini.Write("HelpPage", "Row6Y", "400");           // its text runs off the page
  auto garble = [](const fs::path& file) { std::ofstream(file, std::ios::binary | std::ios::trunc) << "BM garbage"; };
  fs::remove(images / "diff1.bmp");
  std::ofstream(images / "gameover0.bmp", std::ios::trunc);
  fs::copy_file(images / "help.bmp", images / "slediff0.bmp", fs::copy_options::overwrite_existing);
  fs::copy_file(images / "volume.bmp", images / "check1m.bmp", fs::copy_options::overwrite_existing);
  fs::copy_file(images / "help.bmp", images / "scores_bk.bmp", fs::copy_options::overwrite_existing);
  fs::remove(images / "keys_bk.bmp");
  garble(images / "2.cur");
  fs::remove(images / "3.cur");
  garble(sounds / "sound3.ogg");
  garble(sounds / "back2.ogg");
  fs::copy_file(sounds / "sound0.ogg", sounds / "titback.ogg", fs::copy_options::overwrite_existing);

  const SkinReport report = CheckSkin(dir.string());
  const std::string text = FormatSkinReport(dir.string(), report);
  EXPECT_FALSE(report.Plays());
  // What start-up would stop at, and what would break a screen or be heard.
  for (const char* fault :
       {"section [MainSettings], key VolX1 is missing", "section [MainSettings], key CheckY0 holds \"abc\"",
        "key MaxTexts holds 5000; it must lie in 0..999", "diff1.bmp", "gameover0.bmp: empty (0 bytes)"})
    EXPECT_TRUE(Mentions(report.Texts(FaultLevel::Fatal), fault)) << fault << "\n" << text;
  for (const char* fault :
       {"slediff0.bmp: 256 x 416; the game draws it 36 x 108", "check1m.bmp: 52 x 14, but its picture check1.bmp",
        "sound3.ogg: missing or not a sound", "back2.ogg: missing or not a music track",
        "section [GameButton], key Button0_X/Button0_Y: the button (700, ",
        "section [GameButton], key Button6_X/Button6_Y: the button",
        "section [TitleButton], key Button1_X/Button1_Y: the button",
        "section [GameButton], key Button9_X/Button9_Y: the button (310, 300)-(410, 334) lies where the pause panel",
        "section [ControlsButton], key Button1_X/Button1_Y: the button (40, 494)-(140, 528) overlaps button 0",
        "scores_bk.bmp: 256 x 416; the game draws it 720 x 540",
        "section [HelpPage], key Row6Y: a row of text at y 400..422 lies outside help.bmp (256 x 416)"})
    EXPECT_TRUE(Mentions(report.Texts(FaultLevel::Error), fault)) << fault << "\n" << text;
  for (const char* fault : {"titback.ogg: repeats every", "2.cur: not a cursor", "3.cur: missing",
                            "keys_bk.bmp is missing: there is no controls page; the title's Button3"})
    EXPECT_TRUE(Mentions(report.Texts(FaultLevel::Warning), fault)) << fault << "\n" << text;
  EXPECT_FALSE(Mentions(report.Texts(FaultLevel::Error), "titback.ogg")) << text;
  EXPECT_NE(text.find("error (the title screen): "), std::string::npos) << text;
  EXPECT_NE(text.find("fatal faults, 12 errors, "), std::string::npos) << text;
  EXPECT_NE(text.find("; the game would not start with this skin\n"), std::string::npos) << text;
  fs::remove_all(dir);

  const SkinReport none = CheckSkin(dir.string());  // no folder: one fault, naming it
  ASSERT_EQ(none.Faults.size(), 1u);
  EXPECT_EQ(none.Faults[0].Text, "the skin folder " + dir.string() + " does not exist");
  EXPECT_EQ(FormatSkinReport(dir.string(), none),
            "fatal: the skin folder " + dir.string() + " does not exist\n" + dir.string() +
                ": 1 fatal fault, 0 errors, 0 warnings; the game would not start with this skin\n");
}

// A skin folder that is none is named, as --skin gave it; a bare name that no skin of the
// game's has lists those there are.
TEST(SkinCheckTest, ASkinFolderThatHoldsNoSkinIsNamed) {
  const fs::path root = fs::temp_directory_path() / ("kestrel-skin-folder-" + std::to_string(getpid()));
  fs::remove_all(root);
  fs::create_directories(root / "bin/skins/high-contrast");
  fs::create_directories(root / "empty");
  std::ofstream(root / "bin/main.ini") << "[MainSettings]\n";
  std::ofstream(root / "bin/skins/high-contrast/main.ini") << "[MainSettings]\n";
  const std::string program = (root / "bin").string();
  auto fault = [&](const std::string& choice) {
    return Locations::SkinFolderFault(Locations::Decide(program, {choice, ""}, {}));
  };
  EXPECT_EQ(fault(""), "");
  EXPECT_EQ(fault("high-contrast"), "");
  EXPECT_EQ(fault("nosuch"), "the skin folder " + fs::current_path().string() +
                                 "/nosuch does not exist; give a skin folder or the name of a skin that comes with "
                                 "the game: default, high-contrast");
  EXPECT_EQ(fault(root.string() + "/nonexistent/"), "the skin folder " + root.string() + "/nonexistent does not exist");
  EXPECT_EQ(fault(root.string() + "/empty"), "the skin folder " + root.string() +
                                                 "/empty holds no main.ini (a skin folder holds main.ini, images/ "
                                                 "and sounds/)");
  EXPECT_EQ(fault(root.string() + "/bin/main.ini"),
            "the skin folder " + root.string() + "/bin/main.ini is not a folder");
  fs::remove_all(root);
}

TEST_F(SkinTest, MainIniHoldsTheDefaultCountsAndWords) {
  EXPECT_EQ(reader_.MainIni().Read("MainSettings", "ImagesDir"), "/images/");
  int32_t minAlpha = Num("MainSettings", "ButtonMinAlpha");
  EXPECT_TRUE(minAlpha >= 0 && minAlpha <= 32);
  EXPECT_EQ(Num("MainSettings", "MaxSounds"), 7);
  EXPECT_EQ(Num("MainSettings", "MaxBackMusic"), 4);
  EXPECT_EQ(Num("MainSettings", "MaxMouseStyle"), 4);
  for (int32_t d = 0; d < 3; ++d) Num("MainSettings", "Hi_Score" + std::to_string(d));
  ASSERT_GE(Num("MainSettings", "MaxTexts"), 2);
  EXPECT_EQ(reader_.MainIni().Read("Texts", "Text0"), "Kestrel");
  // The web links are empty (button 4 opens nothing) until the game has a page of its own:
  // no invented address.
  for (const char* key : {"Text1", "Text2"}) EXPECT_EQ(reader_.MainIni().Read("Texts", key), "") << key;
  // Title: 0 start, 1 quit, 2 high scores, 3 controls; the play screen's 9 shows while paused.
  EXPECT_EQ(Num("MainSettings", "MaxButton"), 14);
  EXPECT_EQ(Num("TitleButton", "MaxButton"), 3);
  EXPECT_EQ(Num("SelectStageButton", "MaxButton"), 1);
  EXPECT_EQ(Num("GameButton", "MaxButton"), 9);
  EXPECT_EQ(Num("HiScoreButton", "MaxButton"), 0);
  EXPECT_EQ(Num("ControlsButton", "MaxButton"), 1);
  // Start-up rewrites GameButton's Button4 to 4: the web link must already use image 4.
  EXPECT_EQ(Num("GameButton", "Button4"), 4);
  EXPECT_EQ(Num("ADPIC", "MaxAD"), -1);
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
    const std::string n = std::to_string(k);
    // joins, their six vanish steps, the target's blink, its vanish steps, the grin, its vanish steps
    checkRows("s" + n + "m.bmp", 6, 6, {5, 6, 4, 6, 4, 6});
    // idle, hit, gone, laughing
    checkRows("sb" + n + "m.bmp", 12, 4, {6, 12, 7, 6});
  }
  checkRows("angel1.bmp", 6, 4, {4, 2, 5, 6});  // idle, throw, cheer, game over
  for (const char* strip : {"timenum1.bmp", "score1.bmp", "stage1.bmp"})
    checkRows(strip, 1, 10, std::vector<int32_t>(10, 1));
  checkRows("diff1.bmp", 1, 3, {1, 1, 1});
  checkRows("slediff1.bmp", 1, 3, {1, 1, 1});
  checkRows("selmus2.bmp", 1, 5, {1, 1, 1, 1, 1});
  const DecodedPicture& popups = Picture("movenum1.bmp");
  for (int32_t row = 0; row <= 10; ++row)
    EXPECT_TRUE(CellHasContent(popups, 0, row * 17, popups.width, 17)) << "pop-up row " << row;
}

// The run-time font: every character of Windows-1252 from 0x20 in its cell of 16 x 22, its
// ink from x = 1 (the game sets each glyph after its rightmost lit column) and clear of the
// cell's right column and bottom row; the blanks and the codes the encoding leaves out empty.
TEST_F(SkinTest, FontCellsHoldTheirCharactersInPlace) {
  const DecodedPicture& mask = Picture("font1.bmp");
  ASSERT_EQ(mask.width, 256);
  ASSERT_EQ(mask.height, 308);
  for (int32_t code = 0x20; code <= 0xFF; ++code) {
    SCOPED_TRACE(code);
    const int32_t x = (code - 0x20) % 16 * 16, y = (code - 0x20) / 16 * 22;
    const bool blank = code == 0x20 || code == 0x7F || code == 0x81 || code == 0x8D || code == 0x8F || code == 0x90 ||
                       code == 0x9D || code == 0xA0 || code == 0xAD;
    EXPECT_EQ(CellHasContent(mask, x, y, 16, 22), !blank);
    if (blank) continue;
    EXPECT_FALSE(CellHasContent(mask, x, y, 1, 22)) << "ink in column 0";
    EXPECT_TRUE(CellHasContent(mask, x + 1, y, 1, 22)) << "no ink in column 1";
    EXPECT_FALSE(CellHasContent(mask, x + 15, y, 1, 22)) << "ink in the right column";
    EXPECT_FALSE(CellHasContent(mask, x, y + 21, 16, 1)) << "ink in the bottom row";
  }
  // Letters stand on the baseline, row 16.
  for (int32_t code : {'H', 'x', 'W'}) {
    const int32_t x = (code - 0x20) % 16 * 16, y = (code - 0x20) / 16 * 22;
    EXPECT_TRUE(CellHasContent(mask, x, y + 15, 16, 1)) << static_cast<char>(code);
    EXPECT_FALSE(CellHasContent(mask, x, y + 16, 16, 6)) << static_cast<char>(code);
  }
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
  std::vector<std::pair<std::string, std::string>> pairs = {{"selmus0.bmp", "selmus2.bmp"},
                                                            {"selmus1.bmp", "selmus2.bmp"},
                                                            {"movenum0.bmp", "movenum1.bmp"},
                                                            {"score0.bmp", "score1.bmp"},
                                                            {"stage0.bmp", "stage1.bmp"}};
  for (int32_t k = 0; k < 3; ++k) {
    pairs.emplace_back("s" + std::to_string(k) + ".bmp", "s" + std::to_string(k) + "m.bmp");
    pairs.emplace_back("sb" + std::to_string(k) + ".bmp", "sb" + std::to_string(k) + "m.bmp");
  }
  for (int32_t i = 0; i < 2; ++i)
    pairs.emplace_back("check" + std::to_string(i) + ".bmp", "check" + std::to_string(i) + "m.bmp");
  for (const char* stem : {"tit_logo", "diff", "timenum", "pause", "gameover", "nextstage", "exit", "newgame", "angel",
                           "selbk", "selpoint", "slediff", "namepanel", "font"})
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
    for (int32_t col = 0; col < 6; ++col)
      figureTop = std::min(figureTop, TopOfContent(angel, col * cw, row * ch, cw, ch));
  Box figure{448, 240 + figureTop, 480 + cw, 264 + ch};

  std::vector<std::pair<std::string, Box>> selection;
  for (int32_t j = 0; j < 3; ++j)
    selection.emplace_back("difficulty " + std::to_string(j), Box{268 + 64 * j, 172, 304 + 64 * j, 208});
  for (int32_t k = 0; k < 5; ++k)
    selection.emplace_back("music " + std::to_string(k), Box{250 + 78 * k, 250, 314 + 78 * k, 282});
  selection.emplace_back("stage bar", Box{317, 86, 597, 134});
  selection.emplace_back("start", ButtonBox("SelectStageButton", 0));
  selection.emplace_back("high scores", ButtonBox("SelectStageButton", 1));
  for (size_t a = 0; a < selection.size(); ++a) {
    const auto& [name, box] = selection[a];
    EXPECT_TRUE(box.Inside(kScreen)) << name;
    EXPECT_FALSE(box.Overlaps(figure)) << name << " " << box << " under the figure " << figure;
    for (size_t b = a + 1; b < selection.size(); ++b)
      EXPECT_FALSE(box.Overlaps(selection[b].second)) << name << " overlaps " << selection[b].first;
  }

  const DecodedPicture& logo = Picture("tit_logo0.bmp");
  Box logoBox{80, 64, 80 + logo.width, 64 + logo.height};
  for (int32_t i = 0; i <= 3; ++i) {
    const Box b = ButtonBox("TitleButton", i);
    EXPECT_TRUE(b.Inside(kScreen)) << "title button " << i;
    EXPECT_FALSE(b.Overlaps(figure)) << "title button " << i;
    EXPECT_FALSE(b.Overlaps(logoBox)) << "title button " << i;
    for (int32_t j = i + 1; j <= 3; ++j) EXPECT_FALSE(b.Overlaps(ButtonBox("TitleButton", j))) << i << ", " << j;
  }

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
    return std::abs((a >> 10) - (b >> 10)) + std::abs(((a >> 5) & 31) - ((b >> 5) & 31)) +
           std::abs((a & 31) - (b & 31));
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

TEST_F(SkinTest, CursorsAreCursorFilesWithHotspots) {
  // Loaded as the game loads them.
  Skin skin;
  LoadCursors(reader_, skin);
  ASSERT_EQ(skin.Cursors.size(), static_cast<size_t>(Num("MainSettings", "MaxMouseStyle")) + 1);
  for (int32_t i = 0; i <= Num("MainSettings", "MaxMouseStyle"); ++i) {
    SCOPED_TRACE("cursor " + std::to_string(i));
    std::ifstream in(ImagePath(std::to_string(i) + ".cur"), std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 22u);
    EXPECT_EQ(Le16(bytes, 0), 0);
    EXPECT_EQ(Le16(bytes, 2), 2);  // a cursor, not an icon
    EXPECT_EQ(Le16(bytes, 4), 1);
    int32_t hotX = Le16(bytes, 10), hotY = Le16(bytes, 12);

    const std::optional<CursorImage>& image = skin.Cursors[static_cast<size_t>(i)];
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

// Each track lasts at least 40 seconds (the checker warns of clicks where a track loops).
TEST_F(SkinAudioTest, MusicTracksAreLong) {
  for (const char* name : {"titback", "back0", "back1", "back2", "back3", "back4"}) {
    std::string path = SkinDir() + "/sounds/" + name + ".ogg";
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    ASSERT_NE(chunk, nullptr) << path << ": " << Mix_GetError();
    EXPECT_GE(Seconds(chunk), 40.0) << path;
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

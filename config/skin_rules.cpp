// SPDX-License-Identifier: MIT
#include "config/skin_rules.h"

#include <algorithm>
#include <cstdlib>

#include "base/runtime.h"
#include "config/screen_geometry.h"
#include "config/skin_loaders.h"

namespace {

constexpr uint16_t Magenta = 0x7C1F;
// Mask channels further apart than this (of 31 levels) are painted in colour, not grey.
constexpr int32_t GreyTolerance = 2;
// A piece sheet: 6 x 6 cells of the well's cell size.
constexpr int32_t PieceSheetSize = 6 * BoardCellSize;

bool Loaded(const Surface& surface) { return surface.Width() > 0 && surface.Height() > 0; }

std::string Size(const Surface& s) { return std::to_string(s.Width()) + " x " + std::to_string(s.Height()); }

std::string Count(int64_t n, const std::string& thing) { return std::to_string(n) + " " + thing + (n == 1 ? "" : "s"); }

std::string CellText(const SheetCell& cell) {
  std::string text = "(";
  text += std::to_string(cell.Column);
  text += ", ";
  text += std::to_string(cell.Row);
  return text + ")";
}

std::string CellsText(const std::vector<SheetCell>& cells) {
  std::string text = cells.size() == 1 ? "cell " : "cells ";
  for (size_t i = 0; i < cells.size(); ++i) text += (i ? ", " : "") + CellText(cells[i]);
  return text;
}

std::string At(const MaskView::Pixel& pixel) {
  return "pixel (" + std::to_string(pixel.X) + ", " + std::to_string(pixel.Y) + ") in cell " + CellText(pixel.Cell);
}

// "all 40" or "12 of the 40".
std::string Share(int64_t part, int64_t whole) {
  return part == whole ? "all " + Count(whole, "pixel") : Count(part, "pixel") + " of the " + std::to_string(whole);
}

// A mask pixel's channels, as the game reads them (5 bits each).
std::string Channels(const Surface& mask, const MaskView::Pixel& at) {
  const uint16_t m = mask.Pixels()[at.Y * (mask.Pitch() / 2) + at.X];
  return "red " + std::to_string(m >> 10 & 31) + ", green " + std::to_string(m >> 5 & 31) + ", blue " +
         std::to_string(m & 31) + " of 31";
}

bool Contains(const std::vector<SheetCell>& cells, const SheetCell& cell) {
  return std::any_of(cells.begin(), cells.end(),
                     [&](const SheetCell& c) { return c.Column == cell.Column && c.Row == cell.Row; });
}

// Columns 0..n-1 of each row, n given per row from row 0 down.
std::vector<SheetCell> Frames(std::initializer_list<int32_t> perRow) {
  std::vector<SheetCell> cells;
  int32_t row = 0;
  for (int32_t columns : perRow) {
    for (int32_t column = 0; column < columns; ++column) cells.push_back({column, row});
    ++row;
  }
  return cells;
}

std::vector<SheetCell> Rows(int32_t rows) {
  std::vector<SheetCell> cells;
  for (int32_t row = 0; row < rows; ++row) cells.push_back({0, row});
  return cells;
}

Sprite PieceSprite(const Skin& skin, int32_t colour) {
  const std::string n = std::to_string(colour);
  Sprite sprite(skin.Images.PieceImages[colour], skin.Images.PieceImages[colour + 3], "s" + n + ".bmp",
                "s" + n + "m.bmp", "colour " + n + "'s pieces", "the play screen", BoardCellSize, BoardCellSize, {});
  // Joined halves, then the steps of vanishing, the blink of targets, their vanishing, their
  // grin at a lost game and its vanishing.
  sprite.Cells = Frames({5, 6, 4, 6, 4, 6});
  sprite.Vital = Frames({5, 0, 1});
  sprite.VitalWhat = "colour " + n + "'s pieces and targets at rest";
  sprite.VitalLevel = FaultLevel::Fatal;
  return sprite;
}

}  // namespace

MaskView ViewThroughMask(const Surface& picture, const Surface& mask, int32_t cellWidth, int32_t cellHeight,
                         const std::vector<SheetCell>& cells) {
  MaskView view;
  if (cellWidth <= 0 || cellHeight <= 0 || picture.Width() != mask.Width() || picture.Height() != mask.Height())
    return view;
  const int32_t stride = picture.Pitch() / 2;
  for (const SheetCell& cell : cells) {
    const int32_t left = cell.Column * cellWidth, top = cell.Row * cellHeight;
    const int32_t right = std::min<int32_t>(left + cellWidth, picture.Width());
    const int32_t bottom = std::min<int32_t>(top + cellHeight, picture.Height());
    if (left >= right || top >= bottom) continue;
    // What the mask hides of the painting counts only in cells it shows: an empty cell is told
    // as such.
    bool shown = false;
    int64_t painted = 0, hiddenPainted = 0;
    MaskView::Pixel firstHiddenPainted;
    for (int32_t y = top; y < bottom; ++y) {
      for (int32_t x = left; x < right; ++x) {
        const uint16_t p = picture.Pixels()[y * stride + x], m = mask.Pixels()[y * stride + x];
        const int32_t red = m >> 10 & 31, green = m >> 5 & 31, blue = m & 31;
        const MaskView::Pixel here{x, y, cell};
        auto note = [&](int64_t& count, MaskView::Pixel& first) {
          if (count++ == 0) first = here;
        };
        ++view.Pixels;
        if (blue > 0) {
          ++view.Shown;
          shown = true;
        }
        if (p == Magenta) {
          ++view.Magenta;
          if (blue > 0) note(view.ShownMagenta, view.FirstShownMagenta);
        } else {
          ++painted;
          if (blue == 0) note(hiddenPainted, firstHiddenPainted);
        }
        if (std::abs(red - blue) > GreyTolerance || std::abs(green - blue) > GreyTolerance)
          note(view.NotGrey, view.FirstNotGrey);
        if (blue == 0 && (red > 0 || green > 0)) note(view.LitElsewhere, view.FirstLitElsewhere);
      }
    }
    if (!shown) {
      view.EmptyCells.push_back(cell);
    } else {
      if (view.HiddenPainted == 0) view.FirstHiddenPainted = firstHiddenPainted;
      view.HiddenPainted += hiddenPainted;
      view.Painted += painted;
    }
  }
  return view;
}

std::vector<SkinFault> SpriteFaults(const SkinReader& reader, const Sprite& sprite) {
  std::vector<SkinFault> faults;
  const Surface& picture = *sprite.Picture;
  const Surface& mask = *sprite.Mask;
  if (!Loaded(picture) || !Loaded(mask)) return faults;
  const std::string pictureFile = reader.ImageFileName(sprite.PictureName);
  const std::string maskFile = reader.ImageFileName(sprite.MaskName);
  const FaultLevel invisible = sprite.Vital.empty() ? FaultLevel::Error : sprite.VitalLevel;
  auto fault = [&](FaultLevel level, const std::string& text) { faults.push_back({level, sprite.Where, text}); };

  if (picture.Width() != mask.Width() || picture.Height() != mask.Height()) {
    const std::string sizes = maskFile + ": " + Size(mask) + ", but its picture " + sprite.PictureName + " is " +
                              Size(picture) + "; a mask is the size of its picture";
    if (mask.Pitch() != picture.Pitch())
      fault(invisible, sizes + ": the game draws nothing of " + sprite.What + " through it");
    else if (mask.Height() < picture.Height())
      fault(invisible,
            sizes + ": the game draws nothing of " + sprite.What + " below row " + std::to_string(mask.Height()));
    else
      fault(FaultLevel::Warning, sizes + ": its rows below " + std::to_string(picture.Height()) + " are never read");
    return faults;
  }

  const MaskView view = ViewThroughMask(picture, mask, sprite.CellWidth, sprite.CellHeight, sprite.Cells);
  if (view.Pixels == 0) return faults;
  // A mask painted in colour: its red or green lit where its blue, the one the game reads, is 0.
  const std::string colourNote = view.LitElsewhere == 0
                                     ? ""
                                     : ", while its red or green is lit at " + Count(view.LitElsewhere, "pixel") +
                                           " (first at " + At(view.FirstLitElsewhere) + ": " +
                                           Channels(mask, view.FirstLitElsewhere) +
                                           "): the game reads only the blue channel; paint masks in greys";
  if (view.Shown == 0) {
    fault(invisible, maskFile + ": shows nothing: its blue channel is 0 in every cell the game draws" + colourNote +
                         "; " + sprite.What + " would be invisible");
    return faults;
  }
  std::vector<SheetCell> vitalEmpty, otherEmpty;
  for (const SheetCell& cell : view.EmptyCells)
    (Contains(sprite.Vital, cell) ? vitalEmpty : otherEmpty).push_back(cell);
  if (!vitalEmpty.empty())
    fault(sprite.VitalLevel, maskFile + ": shows nothing in " + CellsText(vitalEmpty) + colourNote + "; " +
                                 sprite.VitalWhat + " drawn from " + (vitalEmpty.size() == 1 ? "it" : "them") +
                                 " would be invisible");
  if (!otherEmpty.empty())
    fault(FaultLevel::Warning, maskFile + ": shows nothing in " + CellsText(otherEmpty) + colourNote + "; " +
                                   (otherEmpty.size() == 1 ? "that frame" : "those frames") + " of " + sprite.What +
                                   (otherEmpty.size() == 1 ? " is blank" : " are blank"));
  bool toldColour = !colourNote.empty() && (!vitalEmpty.empty() || !otherEmpty.empty());

  // Where the picture marks what it leaves out, the mask must agree with it.
  if (view.Magenta > 0) {
    const int64_t painted = view.Painted;
    const bool showsMagenta = view.ShownMagenta * 2 > view.Magenta;
    const bool hidesPainting = painted > 0 && view.HiddenPainted * 2 > painted;
    const std::string shownMagenta = Share(view.ShownMagenta, view.Magenta) + " that " + sprite.PictureName +
                                     " leaves magenta (first at " + At(view.FirstShownMagenta) + ")";
    const std::string hiddenPainted = Share(view.HiddenPainted, painted) + " that " + sprite.PictureName +
                                      " paints (first at " + At(view.FirstHiddenPainted) + ")";
    if (showsMagenta && hidesPainting) {
      fault(FaultLevel::Error, maskFile + ": inverted: it shows " + shownMagenta + " and hides " + hiddenPainted +
                                   "; " + sprite.What + " would show as magenta boxes with their own shapes cut out");
    } else if (showsMagenta) {
      fault(FaultLevel::Error,
            maskFile + (view.Shown == view.Pixels ? ": shows every pixel, " : ": shows ") + shownMagenta + "; " +
                sprite.What +
                (view.Shown == view.Pixels ? " would be drawn in magenta boxes" : " would be drawn on magenta"));
    } else if (view.ShownMagenta > 0) {
      fault(FaultLevel::Warning, pictureFile + ": " + Count(view.ShownMagenta, "magenta pixel") + " inside the shape " +
                                     "of its mask " + sprite.MaskName + " (first at " + At(view.FirstShownMagenta) +
                                     "); they show as magenta spots in " + sprite.What);
    }
    if (!showsMagenta && hidesPainting)
      fault(FaultLevel::Error,
            maskFile + ": hides " + hiddenPainted + "; most of " + sprite.What + " would be missing");
    else if (!showsMagenta && view.HiddenPainted * 10 > painted)
      fault(FaultLevel::Warning,
            maskFile + ": hides " + hiddenPainted + "; those parts of " + sprite.What + " are not drawn");
  }
  if (view.NotGrey > 0 && !toldColour) {
    fault(FaultLevel::Warning, maskFile + ": " + Count(view.NotGrey, "pixel") + " not grey (first at " +
                                   At(view.FirstNotGrey) + ": " + Channels(mask, view.FirstNotGrey) +
                                   "); the game reads only the blue channel");
  }
  return faults;
}

std::vector<Sprite> SkinSprites(const Skin& skin) {
  const ImageCatalogue& images = skin.Images;
  std::vector<Sprite> sprites;
  for (int32_t k = 0; k < 3; ++k) sprites.push_back(PieceSprite(skin, k));
  auto sheet = [&](const Surface& picture, const Surface& mask, const std::string& pictureName,
                   const std::string& maskName, const std::string& what, const std::string& where, int32_t cellWidth,
                   int32_t cellHeight, std::vector<SheetCell> cells, bool everyCellVital) {
    Sprite sprite(picture, mask, pictureName, maskName, what, where, cellWidth, cellHeight, std::move(cells));
    if (everyCellVital) {
      sprite.Vital = sprite.Cells;
      sprite.VitalWhat = what;
    }
    sprites.push_back(std::move(sprite));
  };
  auto pair = [&](const Surface* surfaces, const std::string& stem, const std::string& what, const std::string& where,
                  int32_t cellWidth, int32_t cellHeight, std::vector<SheetCell> cells, bool everyCellVital) {
    sheet(surfaces[0], surfaces[1], stem + "0.bmp", stem + "1.bmp", what, where, cellWidth, cellHeight,
          std::move(cells), everyCellVital);
  };
  auto whole = [&](const Surface* surfaces, const std::string& stem, const std::string& what,
                   const std::string& where) {
    pair(surfaces, stem, what, where, surfaces[0].Width(), surfaces[0].Height(), {{0, 0}}, true);
  };
  const std::string play = "the play screen", select = "the stage selection";
  for (int32_t k = 0; k < 3; ++k) {
    const std::string n = std::to_string(k);
    const Surface& characters = images.TargetCharImages[k];
    // idle, hit, gone, laughing
    sheet(characters, images.TargetCharImages[k + 3], "sb" + n + ".bmp", "sb" + n + "m.bmp",
          "the creature of colour " + n, play, characters.Width() / 12, characters.Height() / 4, Frames({6, 12, 7, 6}),
          false);
  }
  const Surface& angel = images.AngelImages[0];
  pair(images.AngelImages, "angel", "the figure that hands out the pairs",
       "the title, the stage selection and the play screen", angel.Width() / 6, angel.Height() / 4,
       Frames({4, 2, 5, 6}), false);
  auto digits = [&](const Surface* strip, const std::string& stem, const std::string& what, const std::string& where,
                    int32_t rows) {
    pair(strip, stem, what, where, strip[0].Width(), strip[0].Height() / rows, Rows(rows), true);
  };
  digits(skin.ScoreImages, "score", "the score's digits", play, 10);
  digits(skin.StageImages, "stage", "the stage number's digits", "the play screen and the stage selection", 10);
  digits(images.TimeNumImages, "timenum", "the play time's digits", play, 10);
  digits(images.DiffImages, "diff", "the difficulty's words", play, 3);
  pair(skin.MoveNumImages, "movenum", "the score pop-ups", play, skin.MoveNumImages[0].Width(), 17, Rows(11), true);
  pair(images.SelDiffImages, "slediff", "the difficulty buttons", select, DifficultyButtonSize, DifficultyButtonSize,
       Rows(3), true);
  sheet(images.SelMusicImages[0], images.SelMusicImages[2], "selmus0.bmp", "selmus2.bmp", "the music buttons", select,
        MusicButtonWidth, MusicButtonHeight, Rows(5), true);
  sheet(images.SelMusicImages[1], images.SelMusicImages[2], "selmus1.bmp", "selmus2.bmp", "the locked music buttons",
        select, MusicButtonWidth, MusicButtonHeight, Rows(5), true);
  whole(images.TitleLogoImages, "tit_logo", "the title logo", "the title screen");
  whole(images.PauseImages, "pause", "the pause panel", play);
  whole(images.GameOverImages, "gameover", "the game-over panel", play);
  whole(images.NextStageImages, "nextstage", "the stage-clear panel", play);
  whole(images.ExitImages, "exit", "the exit question", play);
  whole(images.NewGameImages, "newgame", "the new-game question", play);
  whole(images.SelBackImages, "selbk", "the stage-selection panel", select);
  whole(images.SelPointImages, "selpoint", "the stage pointer", select);
  for (int32_t i = 0; i < 2; ++i) {
    const std::string n = std::to_string(i);
    sheet(skin.CheckImages[i], skin.CheckImages[i + 2], "check" + n + ".bmp", "check" + n + "m.bmp",
          i == 0 ? "the check boxes when off" : "the check boxes when on", play, skin.CheckImages[i].Width(),
          skin.CheckImages[i].Height(), {{0, 0}}, true);
  }
  return sprites;
}

std::vector<SkinFault> PieceSheetFaults(const SkinReader& reader, const Skin& skin) {
  std::vector<SkinFault> faults;
  for (int32_t k = 0; k < 3; ++k) {
    const Surface& sheet = skin.Images.PieceImages[k];
    if (!Loaded(sheet)) continue;
    const std::string n = std::to_string(k);
    const std::string file = reader.ImageFileName("s" + n + ".bmp");
    if (sheet.Width() < PieceSheetSize || sheet.Height() < PieceSheetSize) {
      faults.push_back({FaultLevel::Fatal, "",
                        file + ": " + Size(sheet) + ", too small to cut: the game cuts colour " + n +
                            "'s pieces from 6 x 6 cells of 32 x 32 pixels, " + std::to_string(PieceSheetSize) + " x " +
                            std::to_string(PieceSheetSize) + " in all"});
      continue;
    }
    if (sheet.Width() > PieceSheetSize || sheet.Height() > PieceSheetSize)
      faults.push_back({FaultLevel::Warning, "",
                        file + ": " + Size(sheet) + "; the game draws only its top-left " +
                            std::to_string(PieceSheetSize) + " x " + std::to_string(PieceSheetSize)});
    for (SkinFault& fault : SpriteFaults(reader, PieceSprite(skin, k))) faults.push_back(std::move(fault));
  }
  return faults;
}

std::vector<SkinFault> StartButtonFaults(const SkinReader& reader, const std::vector<ScreenButton>& title,
                                         const std::vector<ScreenButton>& stageSelect) {
  std::vector<SkinFault> faults;
  auto check = [&](const std::vector<ScreenButton>& buttons, const std::string& section, const std::string& name) {
    if (buttons.empty()) return;
    const ScreenButton& b = buttons[0];
    const bool seen = b.Left < LogicalWidth && b.Right > 0 && b.Top < LogicalHeight && b.Bottom > 0 &&
                      b.Left < b.Right && b.Top < b.Bottom;
    if (seen) return;
    faults.push_back({FaultLevel::Fatal, "",
                      reader.KeyName(section, "Button0_X/Button0_Y") + ": " + name + " (" + std::to_string(b.Left) +
                          ", " + std::to_string(b.Top) + ")-(" + std::to_string(b.Right) + ", " +
                          std::to_string(b.Bottom) + ") lies wholly off the " + std::to_string(LogicalWidth) + " x " +
                          std::to_string(LogicalHeight) + " screen: nobody could see or click it to start a game"});
  };
  check(title, "TitleButton", "the title's start button");
  check(stageSelect, "SelectStageButton", "the stage selection's start button");
  return faults;
}

std::vector<std::string> UnplayableFaults(const SkinReader& reader, const Skin& skin,
                                          const std::vector<ScreenButton>& title,
                                          const std::vector<ScreenButton>& stageSelect) {
  std::vector<std::string> fatal;
  std::vector<SkinFault> faults = PieceSheetFaults(reader, skin);
  for (SkinFault& fault : StartButtonFaults(reader, title, stageSelect)) faults.push_back(std::move(fault));
  for (const SkinFault& fault : faults)
    if (fault.Level == FaultLevel::Fatal) fatal.push_back(fault.Text);
  return fatal;
}

void RefuseUnplayableSkin(SkinReader& reader, const Skin& skin) {
  const std::vector<std::string> fatal = UnplayableFaults(reader, skin, LoadScreenButtons(reader, skin, "TitleButton"),
                                                          LoadScreenButtons(reader, skin, "SelectStageButton"));
  if (fatal.empty()) return;
  std::string message;
  for (const std::string& text : fatal) message += (message.empty() ? "" : "\n") + text;
  throw RuntimeError(ErrorKind::InvalidPicture, fatal.front(), message);
}

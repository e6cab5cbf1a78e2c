// SPDX-License-Identifier: MIT
// What the game asks of a skin's pictures beyond what its loaders read, and how bad each fault
// is. Start-up and the skin checker share these rules: the game refuses at start exactly the
// faults ranked Fatal here (UnplayableFaults), with the words the checker prints for them.
//
// A sprite is a picture drawn through its mask: the game takes each pixel's opacity from the
// mask's blue channel alone (0 hides, 31 shows). Magenta (255, 0, 255) in the picture means
// nothing to that drawing, but it marks what the author meant to leave out, so the rules hold
// picture and mask against each other by it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "config/skin.h"
#include "config/skin_reader.h"

enum class FaultLevel {
  Fatal,    // the game refuses to start: it could not be played
  Error,    // the game starts, but a screen shows it wrong
  Warning,  // the game plays it, but a player would notice
};

struct SkinFault {
  FaultLevel Level = FaultLevel::Error;
  std::string Where;  // an Error's screen ("the play screen"); empty for the others
  std::string Text;   // names the file (or main.ini's section and key) and what is wrong
};

struct SheetCell {
  int32_t Column = 0, Row = 0;
};

// A picture and its mask, and the cells of them the game draws.
struct Sprite {
  Sprite(const Surface& picture, const Surface& mask, std::string pictureName, std::string maskName, std::string what,
         std::string where, int32_t cellWidth, int32_t cellHeight, std::vector<SheetCell> cells)
      : Picture(&picture),
        Mask(&mask),
        PictureName(std::move(pictureName)),
        MaskName(std::move(maskName)),
        What(std::move(what)),
        Where(std::move(where)),
        CellWidth(cellWidth),
        CellHeight(cellHeight),
        Cells(std::move(cells)) {}

  const Surface* Picture = nullptr;
  const Surface* Mask = nullptr;
  std::string PictureName, MaskName;  // in the skin's pictures folder
  std::string What;                   // what the player would miss: "colour 1's pieces"
  std::string Where;                  // the screens it is drawn on
  int32_t CellWidth = 0, CellHeight = 0;
  std::vector<SheetCell> Cells;  // every cell the game draws
  // The cells the game cannot do without, and how bad it is when the mask hides one wholly
  // (a mask that hides every cell is that bad too, or an Error when no cell is vital).
  std::vector<SheetCell> Vital;
  std::string VitalWhat;  // "colour 1's pieces and targets at rest"
  FaultLevel VitalLevel = FaultLevel::Error;
};

// What a picture and its mask show together in the sprite's cells, counted pixel by pixel.
struct MaskView {
  struct Pixel {
    int32_t X = -1, Y = -1;
    SheetCell Cell;
    bool Found() const { return X >= 0; }
  };
  int64_t Pixels = 0;        // in the cells
  int64_t Shown = 0;         // the mask's blue above 0
  int64_t Magenta = 0;       // magenta in the picture
  int64_t ShownMagenta = 0;  // magenta, yet shown
  // In the cells the mask shows (an empty cell is a fault of its own): the pixels the picture
  // paints (not magenta), and those of them the mask hides.
  int64_t Painted = 0;
  int64_t HiddenPainted = 0;
  int64_t NotGrey = 0;       // the mask's red or green more than 2 levels (of 31) from its blue
  int64_t LitElsewhere = 0;  // hidden by blue, yet the mask's red or green is lit
  Pixel FirstShownMagenta, FirstHiddenPainted, FirstNotGrey, FirstLitElsewhere;
  std::vector<SheetCell> EmptyCells;  // cells the mask hides wholly
};
// Picture and mask must be the same size; cells beyond the picture are left out.
MaskView ViewThroughMask(const Surface& picture, const Surface& mask, int32_t cellWidth, int32_t cellHeight,
                         const std::vector<SheetCell>& cells);

// Every fault of a sprite's mask: a size that differs from the picture's, cells it hides
// wholly, a mask that is inverted, shows the magenta around the drawing or inside it, hides
// what the picture paints, or is painted in colour where only its blue counts.
std::vector<SkinFault> SpriteFaults(const SkinReader& reader, const Sprite& sprite);

// The sprites of the image catalogue, the digit strips and the check boxes, pieces first,
// with the cells the game draws of each. Button looks are the checker's, which knows the
// screens each is placed on.
std::vector<Sprite> SkinSprites(const Skin& skin);

// The piece sheets and their masks: a sheet too small to cut, and every fault of its sprite.
std::vector<SkinFault> PieceSheetFaults(const SkinReader& reader, const Skin& skin);
// The buttons a game cannot be started without (the title's and the stage selection's start,
// button 0 of each): Fatal when no pixel of one lies on the screen.
std::vector<SkinFault> StartButtonFaults(const SkinReader& reader, const std::vector<ScreenButton>& title,
                                         const std::vector<ScreenButton>& stageSelect);

// The Fatal faults of a loaded skin: the one list the game refuses at start and the checker
// calls fatal. Pictures that did not load are left out (their loader has told).
std::vector<std::string> UnplayableFaults(const SkinReader& reader, const Skin& skin,
                                          const std::vector<ScreenButton>& title,
                                          const std::vector<ScreenButton>& stageSelect);
// Start-up, once the pictures are loaded: raises the first unplayable fault as InvalidPicture,
// its message the checker's words.
void RefuseUnplayableSkin(SkinReader& reader, const Skin& skin);

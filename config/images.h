// SPDX-License-Identifier: MIT
// The image catalogue: every picture the game draws that main.ini does not announce, loaded
// once at start-up from the skin's pictures.
#pragma once

#include <cstdint>

#include "surface/surface.h"

class SkinReader;

struct ImageCatalogue {
  Surface TitleBackImage;
  Surface PieceImages[6];       // s0..s2, then their masks s0m..s2m
  Surface TargetCharImages[6];  // sb0..sb2, then their masks
  Surface BackgroundImage;
  Surface TitleLogoImages[2];
  Surface DiffImages[2];
  Surface TimeNumImages[2];
  Surface PauseImages[2];
  Surface GameOverImages[2];
  Surface NextStageImages[2];
  Surface ExitImages[2];
  Surface NewGameImages[2];
  Surface AngelImages[2];
  Surface SelBackImages[2];
  Surface SelPointImages[2];
  Surface SelDiffImages[2];
  Surface HelpImage;
  Surface SelMusicImages[3];  // available, locked, their shared mask
  Surface ScratchSurface;     // 10 x 26 black, darkens locked stage slots
  // The screens a skin may lack (LoadExtraScreens): the run-time font (a sheet of 16 x 14 cells
  // of 16 x 22, Windows-1252 codes 0x20 to 0xFF, and its mask) with each glyph's advance, the
  // high-score screen and the controls page (720 x 540), the name-entry panel and its mask.
  Surface FontImages[2];
  uint8_t FontAdvance[256] = {};
  Surface ScoresBackImage;
  Surface KeysBackImage;
  Surface NamePanelImages[2];
};

// The run-time font's sheet.
constexpr int32_t FontCellWidth = 16, FontCellHeight = 22, FontColumns = 16, FontRows = 14;
constexpr int32_t FontFirstCode = 0x20, FontSpaceAdvance = 5;
constexpr int32_t NamePanelWidth = 440, NamePanelHeight = 240;

// Loads the catalogue: one progress step before each file, one before and one after making
// ScratchSurface, 44 in all.
void LoadGameImages(SkinReader& skin, ImageCatalogue& images);

// SPDX-License-Identifier: MIT
// The image catalogue: every picture the game draws that main.ini does not announce, loaded
// once at start-up from the skin's pictures.
#pragma once

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
};

// Loads the catalogue: one progress step before each file, one before and one after making
// ScratchSurface, 44 in all.
void LoadGameImages(SkinReader& skin, ImageCatalogue& images);

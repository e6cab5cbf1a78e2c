// The image catalogue: every picture the game draws that main.ini does not announce, loaded
// once at start-up from ImagePath.
#pragma once

#include "surface/cgdisurface.h"

struct ImageCatalogue {
  CGDISurface TitleBackImage;
  CGDISurface PieceImages[6];       // s0..s2, then their masks s0m..s2m
  CGDISurface TargetCharImages[6];  // sb0..sb2, then their masks
  CGDISurface BackgroundImage;
  CGDISurface TitleLogoImages[2];
  CGDISurface DiffImages[2];
  CGDISurface TimeNumImages[2];
  CGDISurface PauseImages[2];
  CGDISurface GameOverImages[2];
  CGDISurface NextStageImages[2];
  CGDISurface ExitImages[2];
  CGDISurface NewGameImages[2];
  CGDISurface AngelImages[2];
  CGDISurface SelBackImages[2];
  CGDISurface SelPointImages[2];
  CGDISurface SelDiffImages[2];
  CGDISurface HelpImage;
  CGDISurface SelMusicImages[3];  // available, locked, their shared mask
  CGDISurface ScratchSurface;     // 10 x 26 black, darkens locked stage slots
};
extern ImageCatalogue Images;
void ResetImageCatalogue();

// Loads the catalogue: one progress step before each file, one before and one after making
// ScratchSurface, 44 in all.
void LoadGameImages();

// SPDX-License-Identifier: MIT
// A skin as the game holds it once loaded: what main.ini places (SkinLayout, which the rules
// read), the pictures the drawing uses, the cursors and the sound effects.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "audio/audio.h"
#include "config/images.h"
#include "config/skin_layout.h"
#include "surface/cursor_file.h"
#include "surface/surface.h"

struct Skin {
  SkinLayout Layout;
  // ButtonImages(0 To ButtonImageCount, 0 To 3): normal, its mask, highlighted, its mask.
  // Entry ButtonImageCount holds the advertisement picture.
  std::vector<std::array<Surface, 4>> ButtonImages;
  Surface CheckImages[4];  // off, on, their masks
  Surface VolumeImage;
  Surface MoveNumImages[2], ScoreImages[2], StageImages[2];  // digit strip, mask
  ImageCatalogue Images;
  // Cursor <i>.cur by mouse style; none where the file is missing or no cursor.
  std::vector<std::optional<CursorImage>> Cursors;
  std::vector<AudioHandle> Sounds;  // entry n is sound effect n
};

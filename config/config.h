// The game configuration main.ini and the loaders that fill the game's tables from it at
// start-up, plus the screen-button layout rebuilt at every screen change.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/platform/platform.h"
#include "surface/cgdisurface.h"

struct ScreenButton {
  int32_t Image = 0;  // button image number
  int32_t Left = 0;
  int32_t Alpha = 0;  // highlight level 0..32
  int32_t Right = 0;  // exclusive
  int32_t Top = 0;
  int32_t Bottom = 0;  // exclusive
  int32_t State = -1;  // -1 shown, 0 hidden
};

// Button image kinds.
enum ButtonKind : int32_t {
  ButtonKindNormalAndHighlight = 0,
  ButtonKindMasked = 1,
  ButtonKindPlain = 2,
};

struct ConfigGlobals {
  std::vector<std::string> Texts;  // Texts(0 To MaxTexts)
  std::vector<Platform::CursorHandle> MouseCursors;
  // ButtonImages(0 To ButtonImageCount, 0 To 3): normal, its mask, highlighted, its mask.
  // Entry ButtonImageCount holds the advertisement picture.
  std::vector<std::array<CGDISurface, 4>> ButtonImages;
  std::vector<int32_t> ButtonImageKind;
  int32_t ButtonImageCount = 0;
  int32_t ButtonMinAlpha = 0;
  std::string AdUrl;
  int32_t CheckX[2] = {}, CheckY[2] = {};
  int32_t CheckHitLeft[2] = {}, CheckHitRight[2] = {}, CheckHitTop[2] = {}, CheckHitBottom[2] = {};
  int32_t VolX[2] = {}, VolY[2] = {};
  int32_t ShowStageX = 0, ShowStageY = 0, ShowScoreX = 0, ShowScoreY = 0;
  int32_t MaxSounds = 0, MaxBackMusic = 0;
  CGDISurface CheckImages[4];  // off, on, their masks
  CGDISurface VolumeImage;
  CGDISurface MoveNumImages[2], ScoreImages[2], StageImages[2];  // digit strip, mask
  std::vector<ScreenButton> ScreenButtons;  // ScreenButtons(0 To ScreenButtonMax)
  int32_t ScreenButtonMax = -1;
};
extern ConfigGlobals Config;
void ResetConfigGlobals();

// The start-up loaders, in the order start-up calls them; each advances the loading
// window's progress at its own points. A missing or non-numeric numeric key raises
// TypeMismatch naming main.ini, the section and the key; a table size (MaxTexts, MaxButton,
// ...) outside 0..999 raises SubscriptOutOfRange naming its key; a missing image names the file.
void LoadTexts();
void LoadCursors();
void LoadButtonImages();
void LoadLayout();
void LoadSounds();
// Rebuilds ScreenButtons for "TitleButton", "SelectStageButton" or "GameButton"; the first two
// get the advertisement as one more entry. On an error the previous buttons stay.
void LoadScreenButtons(const std::string& section);

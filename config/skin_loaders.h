// SPDX-License-Identifier: MIT
// The loaders that fill a Skin from its folder at start-up, in the order start-up calls them,
// and the screen buttons rebuilt at every screen change. Each advances the reader's progress at
// its own points. A missing or non-numeric numeric key raises TypeMismatch naming main.ini, the
// section and the key; a table size (MaxTexts, MaxButton, ...) outside 0..999 raises
// SubscriptOutOfRange naming its key; a missing image names the file.
#pragma once

#include <string>
#include <vector>

#include "config/skin.h"
#include "config/skin_reader.h"

void LoadTexts(SkinReader& reader, Skin& skin);
// Reads the cursor files <i>.cur, i = 0 .. MaxMouseStyle.
void LoadCursors(SkinReader& reader, Skin& skin);
void LoadButtonImages(SkinReader& reader, Skin& skin);
void LoadLayout(SkinReader& reader, Skin& skin);
// The sound effects, from the skin folder's sounds/; the audio device must be open.
void LoadSounds(SkinReader& reader, Skin& skin);
// The pictures of the screens a skin may lack, and the help page's places for the keys in force
// ([HelpPage]); what is missing or unreadable leaves its screen out (SkinLayout's Has...), as
// the skin checker reports.
void LoadExtraScreens(SkinReader& reader, Skin& skin);
// The buttons of "TitleButton", "SelectStageButton", "GameButton", "HiScoreButton" or
// "ControlsButton", fresh (shown, unlit; absent where they lead to a screen the skin lacks);
// the first two get the advertisement as one more entry.
std::vector<ScreenButton> LoadScreenButtons(SkinReader& reader, const Skin& skin, const std::string& section);

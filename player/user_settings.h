// SPDX-License-Identifier: MIT
// The player's files: UserSettings.ini (section MainSetting, then KeyBindings and HighScores,
// which older builds ignore) and the binary high-score table gameinfo.cfg, both in the
// player's folder.
#pragma once

#include <string>

#include "player/player.h"

struct PlayerFiles {
  std::string Folder;        // the player's folder, which holds both
  std::string Settings;      // UserSettings.ini
  std::string HiScoreTable;  // gameinfo.cfg
};
// The player's files in `folder`.
PlayerFiles PlayerFilesIn(const std::string& folder);

// gameinfo.cfg holds the 24 records of HiScoreTable, entry index fastest, each a 16-bit byte
// count and the name's bytes, 4-byte points, 8-byte double date and 4-byte Extra, little-endian.
//
// Reads UserSettings.ini (creating both files with the defaults on the first run, a table
// file that is already there kept as it is) into the check boxes, volumes, stage, difficulty
// and music choices and the three high scores, the key bindings (see ReadKeyBindings) and the
// last name entered in the table, and gameinfo.cfg into HiScoreTable. A missing
// or non-numeric value takes its default and every value is brought into its valid range; the
// high scores are kept when missing. A table file that ends early loads the records that are
// whole and leaves the others empty; a missing one is filled with `defaultName` (the game's
// caption) dated now. A table file that exists but cannot be read raises FileNotFound naming it.
void LoadUserSettings(const PlayerFiles& files, PlayerSettings& player, const std::string& defaultName);
// Writes the eleven settings keys and, once the player has chosen full screen, L_FullScreen;
// then, once they differ from the defaults, the key bindings in [KeyBindings], and once a name
// was entered, LastName in [HighScores]: a player who never did either keeps the file as it
// always was. Each section is one read and one write of UserSettings.ini; then the table.
// Each file is saved whole or not at all, each on its own; when one cannot be saved the old
// one stays and FileNotFound is raised naming it and the system's reason.
void SaveUserSettings(const PlayerFiles& files, const PlayerSettings& player);

// The key bindings of the settings file at `settingsPath`, which is only read: the defaults
// when it or its [KeyBindings] section is missing. Each action's key (MoveLeft, ..., Hide) and
// pad button (MoveLeftPad, ...) is read in that order; a name that is no key or button, a key
// that cannot be bound, or one that an action read before already holds gives the action its
// default (or none, when that is taken too), with one line on stderr naming the file, the
// section, the key and what was wrong. A file that cannot be read raises as IniFile does.
KeyBindings ReadKeyBindings(const std::string& settingsPath);

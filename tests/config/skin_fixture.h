// SPDX-License-Identifier: MIT
// A small complete skin written into a temporary program directory: main.ini, every image
// the loaders read (each with a size of its own, so mix-ups show), a few sounds. Tests edit
// the INI tables or delete files before running the start-up loaders.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "config/skin.h"
#include "config/skin_layout.h"
#include "config/skin_reader.h"
#include "player/player.h"
#include "player/user_settings.h"

// An INI file as ordered sections of ordered key=value pairs.
class IniTable {
 public:
  void Set(const std::string& section, const std::string& key, const std::string& value);
  void Remove(const std::string& section, const std::string& key);
  std::string Get(const std::string& section, const std::string& key) const;
  // Every (section, key) in file order.
  std::vector<std::pair<std::string, std::string>> Keys() const;
  std::string Text() const;
  void Write(const std::filesystem::path& path) const;

 private:
  std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> sections_;
};

struct ImageSize {
  int32_t Width = 0, Height = 0;
};

class SkinFixture {
 public:
  SkinFixture();
  ~SkinFixture();
  SkinFixture(const SkinFixture&) = delete;
  SkinFixture& operator=(const SkinFixture&) = delete;

  const std::filesystem::path& Directory() const { return dir_; }
  std::filesystem::path ImagesDirectory() const { return dir_ / "images"; }
  // Rewrites main.ini from `MainIni`.
  void WriteMainIni() const;
  // The size each image file was written with.
  ImageSize SizeOf(const std::string& file) const { return sizes_.at(file); }
  // A picture of one colour: `rgb` (0xRRGGBB), else a colour of the size's own.
  void WriteImage(const std::string& file, ImageSize size, int64_t rgb = -1);
  void RemoveImage(const std::string& file) const;
  std::vector<std::string> ImageFiles() const;

  IniTable MainIni;

 private:
  std::filesystem::path dir_;
  std::map<std::string, ImageSize> sizes_;
};

// What start-up makes of a skin folder, as the program holds it: the reader, the skin, the
// player's files (beside main.ini, as in the build tree) and settings, and the buttons of the
// screen last loaded. It counts the reader's progress steps.
class Startup {
 public:
  explicit Startup(const std::filesystem::path& directory);
  Startup(const Startup&) = delete;
  Startup& operator=(const Startup&) = delete;

  // The start-up order of the loaders: texts, cursors, the Button4 key, button images, user
  // settings, layout, game images, audio device and sounds, then the title's buttons.
  void RunLoaders();
  // The buttons of a section of main.ini, as a change of screen loads them.
  void LoadButtons(const std::string& section);

  SkinReader Reader;
  Skin Look;
  PlayerFiles Files;
  PlayerSettings Player;
  std::vector<ScreenButton> Buttons;
  int64_t Steps = 0;
};

// A mono 16-bit WAV tone (the mixer reads it whatever the file's extension).
void WriteTone(const std::filesystem::path& path, double seconds);

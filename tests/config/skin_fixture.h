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
  void WriteImage(const std::string& file, ImageSize size);
  void RemoveImage(const std::string& file) const;
  std::vector<std::string> ImageFiles() const;

  IniTable MainIni;

 private:
  std::filesystem::path dir_;
  std::map<std::string, ImageSize> sizes_;
};

// Puts every global the loaders touch into its start state and points the program
// directory, the two INI objects and ImagePath at `directory` as start-up does.
void PrepareStartup(const std::filesystem::path& directory);
// The start-up order of the loaders: texts, cursors, the Button4 key, button images, user
// settings, layout, game images, audio device and sounds, then the title's buttons.
void RunStartupLoaders();

// A mono 16-bit WAV tone (the mixer reads it whatever the file's extension).
void WriteTone(const std::filesystem::path& path, double seconds);

// SPDX-License-Identifier: MIT
// Reading one skin folder: the numeric keys of its main.ini, which name the file, section and
// key when they are wrong, and its pictures under the folder that ImagesDir names. The skin
// checker has a reader write faults down instead of raising them, so that one run of the
// loaders finds every fault; start-up has it count the loaders' steps for the loading window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "base/runtime.h"
#include "surface/surface.h"

// The highest index a main.ini count may give a table; larger counts are refused instead of
// allocating a huge table.
constexpr int32_t MaxTableIndex = 999;

// A skin made on another system may write its paths with backslashes.
std::string WithSlashes(std::string path);

class SkinReader {
 public:
  // The skin in `directory`: its main.ini, and its pictures in the folder joined with the
  // ImagesDir key of [MainSettings].
  explicit SkinReader(const std::string& directory);

  const std::string& Directory() const { return directory_; }
  // main.ini: start-up writes one key of it (never in an installed skin).
  IniFile& MainIni() { return mainIni_; }
  const IniFile& MainIni() const { return mainIni_; }
  // The prefix of every picture's file name.
  const std::string& ImagePath() const { return imagePath_; }
  // How messages name a key of this skin's main.ini.
  std::string KeyName(const std::string& section, const std::string& key) const;

  // A numeric key of main.ini. Missing or not a number: TypeMismatch; beyond 32 bits: Overflow;
  // the error names main.ini, the section and the key.
  int32_t Number(const std::string& section, const std::string& key);
  // A numeric key that gives the highest index of a table: 0..MaxTableIndex, else
  // SubscriptOutOfRange naming the key.
  int32_t TableTop(const std::string& section, const std::string& key);

  // ImagePath + name, with either separator accepted.
  std::string ImageFileName(const std::string& name) const;
  bool ImageFileExists(const std::string& name) const;
  // Reads ImagePath + name into the surface; a missing or unreadable file raises FileNotFound
  // or InvalidPicture naming the file.
  void ReadImage(Surface& surface, const std::string& name);

  // While a list is set, a key or picture at fault is written there instead of raised: the key
  // reads as 0 (a table size as 0) and the picture stays as it was, so that the loaders go on.
  // nullptr raises again.
  void CollectFaults(std::vector<std::string>* faults) { faults_ = faults; }
  // Raises the fault, or writes it down while a list is set.
  void Fault(ErrorKind kind, const std::string& detail);

  // The loaders count their steps here; nothing is shown until a reporter is set.
  void ReportProgress(std::function<void()> reporter) { progress_ = std::move(reporter); }
  void ProgressStep() {
    if (progress_) progress_();
  }

 private:
  std::string directory_;
  IniFile mainIni_;
  std::string imagePath_;
  std::vector<std::string>* faults_ = nullptr;
  std::function<void()> progress_;
};

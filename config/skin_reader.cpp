// SPDX-License-Identifier: MIT
#include "config/skin_reader.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "config/skin_layout.h"

std::string WithSlashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

SkinReader::SkinReader(const std::string& directory)
    : directory_(directory),
      mainIni_(directory + "/main.ini"),
      imagePath_(directory + WithSlashes(mainIni_.Read("MainSettings", "ImagesDir"))) {}

std::string SkinReader::KeyName(const std::string& section, const std::string& key) const {
  return MainIniKeyName(mainIni_.Path(), section, key);
}

void SkinReader::Fault(ErrorKind kind, const std::string& detail) {
  if (faults_ == nullptr) Raise(kind, detail);
  faults_->push_back(RuntimeError(kind, detail).what());
}

int32_t SkinReader::Number(const std::string& section, const std::string& key) {
  std::string text = mainIni_.Read(section, key);
  if (text.empty()) {
    Fault(ErrorKind::TypeMismatch, KeyName(section, key) + " is missing");
    return 0;
  }
  try {
    return TextToInt(text);
  } catch (const RuntimeError& error) {
    Fault(error.Kind(), KeyName(section, key) + " holds \"" + text + "\", not a 32-bit number");
    return 0;
  }
}

int32_t SkinReader::TableTop(const std::string& section, const std::string& key) {
  int32_t top = Number(section, key);
  if (top < 0 || top > MaxTableIndex) {
    Fault(ErrorKind::SubscriptOutOfRange, KeyName(section, key) + " holds " + std::to_string(top) +
                                              "; it must lie in 0.." + std::to_string(MaxTableIndex));
    return 0;
  }
  return top;
}

std::string SkinReader::ImageFileName(const std::string& name) const { return WithSlashes(imagePath_ + name); }

bool SkinReader::ImageFileExists(const std::string& name) const {
  std::error_code error;
  // Whatever is there is read, so that a pipe or a folder in a picture's place is refused by name.
  return std::filesystem::exists(ImageFileName(name), error);
}

void SkinReader::ReadImage(Surface& surface, const std::string& name) {
  const std::string file = ImageFileName(name);
  bool read = false;
  try {
    read = surface.Read(file);
  } catch (const RuntimeError& error) {
    if (error.Detail().find(file) == std::string::npos) {
      Fault(error.Kind(), error.Detail().empty() ? file : file + " (" + error.Detail() + ")");
    } else if (faults_ != nullptr) {
      faults_->push_back(error.what());
    } else {
      throw;
    }
    return;
  }
  if (!read) Fault(ErrorKind::InvalidPicture, file);
}

// SPDX-License-Identifier: MIT
// The fuzz targets hand each input to the game's parsers through a real file, as the game
// reads it: one scratch folder per process, one file per name, in memory (/dev/shm) where
// there is one, since every save is flushed to the disk.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

inline const std::filesystem::path& ScratchFolder() {
  // Never destroyed, so that the removal at exit still knows it.
  static const auto* folder = [] {
    const std::filesystem::path memory = "/dev/shm";
    const auto base = std::filesystem::is_directory(memory) ? memory : std::filesystem::temp_directory_path();
    auto* path = new std::filesystem::path(base / ("kestrel_fuzz_" + std::to_string(::getpid())));
    std::filesystem::create_directories(*path);
    return path;
  }();
  static const bool removedAtExit = std::atexit([] {
                                      std::error_code error;
                                      std::filesystem::remove_all(*folder, error);
                                    }) == 0;
  (void)removedAtExit;
  return *folder;
}

inline std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size) {
  const std::filesystem::path path = ScratchFolder() / name;
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  return path.string();
}

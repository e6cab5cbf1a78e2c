// SPDX-License-Identifier: MIT
// IniFile: reads and writes one INI file (sections in square brackets, key=value lines).
// Section and key names match without regard to case; values come back without surrounding
// spaces, at most 1023 characters; a missing file, section or key reads as "". Nothing is
// cached: every call reads or rewrites the file, and each rewrite replaces the file whole or
// not at all, keeping every other line as it was. A file that is not a regular file or is
// larger than 32 MiB is refused with a RuntimeError naming it; a write that fails leaves the
// file as it was and is told on stderr.
#pragma once

#include <string>
#include <utility>
#include <vector>

class IniFile {
 public:
  // The file at `path`; an empty path reads nothing and writes nowhere.
  explicit IniFile(std::string path = {}) : path_(std::move(path)) {}
  void Write(const std::string& section, const std::string& key, const std::string& value);
  // Writes every key of `values` into one section with one read and one write of the file
  // (none when nothing changes). Raises RuntimeError naming the file and the system's reason
  // when the file cannot be saved; the old file then stays as it was.
  using KeyValue = std::pair<std::string, std::string>;
  void WriteAll(const std::string& section, const std::vector<KeyValue>& values);
  std::string Read(const std::string& section, const std::string& key) const;
  const std::string& Path() const;

 private:
  std::string path_;
};

// SPDX-License-Identifier: MIT
#include "base/ini_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <vector>

#include "base/runtime.h"
#include "base/safe_file.h"

namespace {

constexpr size_t MaxValueLength = 1023;

struct IniText {
  std::vector<std::string> lines;  // without line endings
  std::string newline = "\n";      // the file's own line ending, kept on rewrite
};

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return {};
  size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (std::tolower(x) != std::tolower(y)) return false;
  }
  return true;
}

// The section name of a "[name]" line, or false when the line is no section header.
bool SectionHeader(const std::string& line, std::string& name) {
  std::string text = Trim(line);
  if (text.size() < 2 || text.front() != '[') return false;
  size_t close = text.find(']');
  if (close == std::string::npos) return false;
  name = Trim(text.substr(1, close - 1));
  return true;
}

// The key of a "key=value" line, or false when the line holds no key.
bool KeyLine(const std::string& line, std::string& key, std::string& value) {
  std::string text = Trim(line);
  if (text.empty() || text.front() == ';' || text.front() == '[') return false;
  size_t equals = text.find('=');
  if (equals == std::string::npos) return false;
  key = Trim(text.substr(0, equals));
  value = Trim(text.substr(equals + 1));
  return !key.empty();
}

IniText ReadIni(const std::string& path) {
  IniText ini;
  std::optional<std::string> read = SafeFile::ReadWholeFile(path, SafeFile::kSettingsLimit);
  if (!read) return ini;
  const std::string& content = *read;
  size_t start = 0;
  bool sawLine = false;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    std::string line = content.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
      if (!sawLine) ini.newline = "\r\n";
    }
    sawLine = true;
    ini.lines.push_back(std::move(line));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return ini;
}

// Replaces the file whole or not at all; raises naming the file and the reason when it
// cannot be saved.
void WriteIni(const std::string& path, const IniText& ini) {
  size_t size = 0;
  for (const std::string& line : ini.lines) size += line.size() + ini.newline.size();
  std::string content;
  content.reserve(size);
  for (const std::string& line : ini.lines) {
    content += line;
    content += ini.newline;
  }
  SafeFile::SaveWholeFile(path, content);
}

// Runs one change of the file; a file that cannot be saved is told on stderr, once.
template <typename Change>
void ReportingFailure(Change&& change) {
  try {
    change();
  } catch (const RuntimeError& error) {
    std::fprintf(stderr, "%s\n", error.what());
  }
}

// The range of lines [header, end) of the first section with this name; header is npos when
// the section is missing.
struct SectionRange {
  size_t header = std::string::npos;
  size_t end = 0;
};

SectionRange FindSection(const IniText& ini, const std::string& section) {
  SectionRange range;
  std::string name;
  for (size_t i = 0; i < ini.lines.size(); ++i) {
    if (!SectionHeader(ini.lines[i], name)) continue;
    if (range.header != std::string::npos) {
      range.end = i;
      return range;
    }
    if (SameName(name, section)) range.header = i;
  }
  range.end = ini.lines.size();
  return range;
}

size_t FindKey(const IniText& ini, const SectionRange& range, const std::string& key) {
  std::string name, value;
  for (size_t i = range.header + 1; i < range.end; ++i)
    if (KeyLine(ini.lines[i], name, value) && SameName(name, key)) return i;
  return std::string::npos;
}

// A value is one line of the file.
std::string OneLine(std::string text) {
  std::replace(text.begin(), text.end(), '\r', ' ');
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

}  // namespace

void IniFile::Write(const std::string& section, const std::string& key, const std::string& value) {
  ReportingFailure([&] { WriteAll(section, {{key, value}}); });
}

void IniFile::WriteAll(const std::string& section, const std::vector<KeyValue>& values) {
  if (path_.empty()) return;
  IniText ini = ReadIni(path_);
  bool changed = false;
  SectionRange range = FindSection(ini, section);
  for (const auto& [key, value] : values) {
    std::string line = OneLine(key) + "=" + OneLine(value);
    if (range.header == std::string::npos) {
      std::string header = "[";
      header += OneLine(section);
      header += ']';
      range.header = ini.lines.size();
      ini.lines.push_back(header);
      ini.lines.push_back(line);
      range.end = ini.lines.size();
    } else if (size_t at = FindKey(ini, range, key); at != std::string::npos) {
      if (ini.lines[at] == line) continue;
      ini.lines[at] = line;
    } else {
      // A new key goes after the section's last non-blank line.
      size_t insertAt = range.end;
      while (insertAt > range.header + 1 && Trim(ini.lines[insertAt - 1]).empty()) --insertAt;
      ini.lines.insert(ini.lines.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
      ++range.end;
    }
    changed = true;
  }
  if (changed) WriteIni(path_, ini);
}

std::string IniFile::Read(const std::string& section, const std::string& key) const {
  if (path_.empty()) return {};
  IniText ini = ReadIni(path_);
  SectionRange range = FindSection(ini, section);
  if (range.header == std::string::npos) return {};
  size_t at = FindKey(ini, range, key);
  if (at == std::string::npos) return {};
  std::string name, value;
  KeyLine(ini.lines[at], name, value);
  // The value as the platform returns it: at most 1023 characters, no surrounding spaces,
  // no NUL characters.
  if (value.size() > MaxValueLength) value.resize(MaxValueLength);
  value = Trim(value);
  value.erase(std::remove(value.begin(), value.end(), '\0'), value.end());
  return value;
}

const std::string& IniFile::Path() const { return path_; }

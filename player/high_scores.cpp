// SPDX-License-Identifier: MIT
#include "player/high_scores.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

// Windows-1252's characters of 0x80..0x9F; 0 where the code page defines none.
constexpr char32_t HighControlRange[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// The code point of a code-page byte; 0 for a byte the code page leaves undefined.
char32_t CodePointOf(uint8_t c) {
  if (c >= 0x80 && c < 0xA0) return HighControlRange[c - 0x80];
  return c;
}

// The code-page byte of a code point, or -1 when the code page cannot hold it.
int ByteOf(char32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<int>(code);
  for (int i = 0; i < 32; ++i) {
    if (HighControlRange[i] != 0 && HighControlRange[i] == code) return 0x80 + i;
  }
  return -1;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The code point that starts at `at`, advancing `at` past it; -1 (and one byte on) for a
// malformed, overlong or surrogate sequence.
int32_t NextCodePoint(const std::string& text, size_t& at) {
  const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
  const uint8_t lead = byte(at);
  int length = 0;
  char32_t code = 0, least = 0;
  if (lead < 0x80) {
    ++at;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07, least = 0x10000;
  } else {
    ++at;
    return -1;
  }
  if (text.size() - at < static_cast<size_t>(length)) {
    ++at;
    return -1;
  }
  for (int i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) {
      ++at;
      return -1;
    }
    code = (code << 6) | (byte(at + i) & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    ++at;
    return -1;
  }
  at += static_cast<size_t>(length);
  return static_cast<int32_t>(code);
}

// Days from 30 December 1899 to the first day of 1900 and past the last of 9999.
constexpr double FirstDay = 2.0;
constexpr int64_t DaysTo1970 = 25569;
constexpr int64_t DaysPast9999 = 2958466;

}  // namespace

int32_t RankOfScore(const HiScoreEntry (&table)[HiScoreRecords], int32_t points) {
  // Counting works on a table in any order: the rank a sorted table would give.
  const auto ahead = std::count_if(std::begin(table), std::end(table),
                                   [points](const HiScoreEntry& entry) { return entry.Points >= points; });
  return ahead == HiScoreRecords ? -1 : static_cast<int32_t>(ahead);
}

int32_t EnterRecord(HiScoreEntry (&table)[HiScoreRecords], const HiScoreEntry& entry) {
  const int32_t rank = RankOfScore(table, entry.Points);
  if (rank < 0) return -1;
  std::stable_sort(std::begin(table), std::end(table),
                   [](const HiScoreEntry& a, const HiScoreEntry& b) { return a.Points > b.Points; });
  std::move_backward(table + rank, table + HiScoreRecords - 1, table + HiScoreRecords);
  table[rank] = entry;
  return rank;
}

bool NameCharacter(uint8_t c) { return c >= 0x20 && c != 0x7F && CodePointOf(c) != 0; }

std::string NameFromUtf8(const std::string& utf8, bool& dropped) {
  dropped = false;
  std::string name;
  for (size_t at = 0; at < utf8.size() && name.size() < MaxNameLength;) {
    const int32_t code = NextCodePoint(utf8, at);
    const int byte = code < 0 ? -1 : ByteOf(static_cast<char32_t>(code));
    if (byte < 0 || !NameCharacter(static_cast<uint8_t>(byte))) {
      dropped = true;
      continue;
    }
    name += static_cast<char>(byte);
  }
  return name;
}

std::string Utf8FromName(const std::string& name) {
  std::string utf8;
  for (const char c : name) {
    const auto byte = static_cast<uint8_t>(c);
    // What a name may not hold (a file from elsewhere) never reaches a terminal as it is.
    AppendUtf8(utf8, NameCharacter(byte) ? CodePointOf(byte) : U'\uFFFD');
  }
  return utf8;
}

std::string FormatRecordDate(double date) {
  if (!std::isfinite(date) || date < FirstDay || date >= static_cast<double>(DaysPast9999)) return "";
  // To the nearest second first, so that 14:03 held as 14:02:59.9999 shows as 14:03.
  const auto seconds = static_cast<int64_t>(std::llround(date * 86400.0));
  const int64_t dayCount = seconds / 86400, secondsOfDay = seconds % 86400;
  if (dayCount >= DaysPast9999) return "";
  const std::chrono::year_month_day day{std::chrono::sys_days{std::chrono::days{dayCount - DaysTo1970}}};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d", static_cast<int>(day.year()),
                static_cast<unsigned>(day.month()), static_cast<unsigned>(day.day()),
                static_cast<int>(secondsOfDay / 3600), static_cast<int>(secondsOfDay / 60 % 60));
  return text;
}

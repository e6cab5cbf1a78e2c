// SPDX-License-Identifier: MIT
// The named high-score table: three tables (one per difficulty) of eight records, highest
// first. Names are single-byte text in the Windows-1252 code page, as gameinfo.cfg stores them.
#pragma once

#include <cstdint>
#include <string>

#include "player/player.h"

constexpr int32_t HiScoreRecords = 8;
// The longest name, in bytes (characters): what the table screen's name column holds.
constexpr size_t MaxNameLength = 16;

// Where a score of `points` would enter the table: its rank 0..7, after every record of equal
// or more points, or -1 when it does not beat the lowest record.
int32_t RankOfScore(const HiScoreEntry (&table)[HiScoreRecords], int32_t points);
// Places `entry` at its rank; the lowest record drops out. The rank, or -1 (the table unchanged).
// A table out of order (a file from elsewhere) is first put in order, records of equal points
// keeping their order.
int32_t EnterRecord(HiScoreEntry (&table)[HiScoreRecords], const HiScoreEntry& entry);

// A name typed by the player (UTF-8) in the table's code page: characters it cannot hold and
// control characters are left out (`dropped` tells whether any were), and the name is cut to
// MaxNameLength characters.
std::string NameFromUtf8(const std::string& utf8, bool& dropped);
// A name of the table as UTF-8, for messages and the terminal.
std::string Utf8FromName(const std::string& name);
// Whether a character (a Windows-1252 byte) may stand in a name: printable, defined in the code page.
bool NameCharacter(uint8_t c);

// A record's date (days since 30 December 1899, the fraction the time of day) as
// "2026-12-10 14:03"; "" for a date out of the years 1900 to 9999 or not a number.
std::string FormatRecordDate(double date);

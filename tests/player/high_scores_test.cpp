// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <tuple>

#include "base/input_codes.h"
#include "base/runtime.h"
#include "player/high_scores.h"
#include "player/replay_file.h"

namespace {

namespace fs = std::filesystem;

void ExpectTable(const HiScoreEntry (&table)[HiScoreRecords], const std::string& names) {
  std::string got;
  for (const HiScoreEntry& entry : table) got += entry.Name;
  EXPECT_EQ(got, names);
}

TEST(HighScores, NewScoresGoAfterTiesAndOnlyAScoreAboveTheLowestEnters) {
  HiScoreEntry table[HiScoreRecords] = {{"a", 90}, {"b", 80}, {"c", 80}, {"d", 50},
                                        {"e", 50}, {"f", 30}, {"g", 20}, {"h", 10}};
  EXPECT_EQ(RankOfScore(table, 1000), 0);
  EXPECT_EQ(RankOfScore(table, 80), 3);
  EXPECT_EQ(RankOfScore(table, 11), 7);
  EXPECT_EQ(RankOfScore(table, 10), -1);  // equal to the lowest does not beat it
  EXPECT_EQ(EnterRecord(table, {"x", 10}), -1);
  ExpectTable(table, "abcdefgh");
  EXPECT_EQ(EnterRecord(table, {"x", 50}), 5);
  ExpectTable(table, "abcdexfg");
  EXPECT_EQ(EnterRecord(table, {"y", 21}), 7);
  ExpectTable(table, "abcdexfy");

  // A table from elsewhere, out of order: sorted first, equal points keeping their order.
  HiScoreEntry mixed[HiScoreRecords] = {{"a", 10}, {"b", 50}, {"c", 30}, {"d", 50},
                                        {"e", 0},  {"f", 70}, {"g", 30}, {"h", 5}};
  EXPECT_EQ(RankOfScore(mixed, 1), 7);
  EXPECT_EQ(RankOfScore(mixed, 0), -1);
  EXPECT_EQ(EnterRecord(mixed, {"x", 30}), 5);
  ExpectTable(mixed, "fbdcgxah");
}

TEST(HighScores, NamesHoldTheWholeCodePageAndNothingElse) {
  int characters = 0;
  for (int c = 0; c < 256; ++c) {
    if (!NameCharacter(static_cast<uint8_t>(c))) continue;
    ++characters;
    bool dropped = true;
    const std::string byte(1, static_cast<char>(c));
    EXPECT_EQ(NameFromUtf8(Utf8FromName(byte), dropped), byte) << c;
    EXPECT_FALSE(dropped) << c;
  }
  EXPECT_EQ(characters, 95 + 27 + 96);  // ASCII, 0x80..0x9F less five undefined, 0xA0..0xFF
  for (const int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x00, 0x09, 0x1F, 0x7F}) {
    EXPECT_FALSE(NameCharacter(static_cast<uint8_t>(undefined))) << undefined;
  }
  bool dropped = false;
  EXPECT_EQ(NameFromUtf8("\u20ac\u0160\u0153 \u0178\u00e9\u2122", dropped), "\x80\x8a\x9c \x9f\xe9\x99");
  EXPECT_FALSE(dropped);
  EXPECT_EQ(Utf8FromName("\x80\x8a\x9c \x9f\xe9\x99"), "\u20ac\u0160\u0153 \u0178\u00e9\u2122");
  // Control characters, what the code page lacks and malformed UTF-8 (a stray continuation,
  // an overlong '/', a surrogate, a cut sequence) are left out.
  EXPECT_EQ(NameFromUtf8("a\tb\u0081c\U0001F600d\u0100e\x80"
                         "f\xc0\xafg\xed\xa0\x80h\xe2\x82",
                         dropped),
            "abcdefgh");
  EXPECT_TRUE(dropped);
  EXPECT_EQ(NameFromUtf8(std::string(20, 'n'), dropped), std::string(MaxNameLength, 'n'));
  EXPECT_EQ(Utf8FromName("a\x1b\x81"), "a\ufffd\ufffd");  // never an escape to the terminal
}

TEST(HighScores, DatesShowTheExactMinuteFrom1900To9999) {
  // Days since 30 December 1899: 45000 is 15 March 2023, 45351 is 29 February 2024.
  for (int minute = 0; minute < 1440; ++minute) {
    char expected[32];
    std::snprintf(expected, sizeof expected, "2023-03-15 %02d:%02d", minute / 60, minute % 60);
    ASSERT_EQ(FormatRecordDate(45000 + minute / 1440.0), expected);
  }
  EXPECT_EQ(FormatRecordDate(45351 + 1439 / 1440.0), "2024-02-29 23:59");
  EXPECT_EQ(FormatRecordDate(std::nextafter(45352.0, 0.0)), "2024-03-01 00:00");
  EXPECT_EQ(FormatRecordDate(2 + 59), "1900-03-01 00:00");  // 1900 has no 29 February
  EXPECT_EQ(FormatRecordDate(2), "1900-01-01 00:00");
  EXPECT_EQ(FormatRecordDate(2958465 + 1439 / 1440.0), "9999-12-31 23:59");
  for (const double outside : {0.0, 1.999, -1.0, 2958466.0, double{NAN}, double{INFINITY}, -double{INFINITY}}) {
    EXPECT_EQ(FormatRecordDate(outside), "") << outside;
  }
}

// An independent CRC-32 to reseal a file the tests changed on purpose.
std::string Resealed(std::string bytes) {
  const uint32_t length = static_cast<uint32_t>(bytes.size());
  for (int i = 0; i < 4; ++i) bytes[10 + i] = static_cast<char>(length >> (8 * i));
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i + 4 < bytes.size(); ++i) {
    crc ^= static_cast<uint8_t>(bytes[i]);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  for (int i = 0; i < 4; ++i) bytes[bytes.size() - 4 + i] = static_cast<char>(~crc >> (8 * i));
  return bytes;
}

Replay RandomReplay(uint32_t seed, size_t frames) {
  std::mt19937 random(seed);
  const auto pick = [&random](int32_t lo, int32_t hi) {
    return std::uniform_int_distribution<int32_t>(lo, hi)(random);
  };
  const auto value = [&] {
    const int32_t extremes[] = {0, 0, 1, -1, INT32_MIN, INT32_MAX, 719};
    return pick(0, 1) != 0 ? extremes[pick(0, 6)] : pick(INT32_MIN, INT32_MAX);
  };
  Replay replay;
  replay.Start = {random() | uint64_t{random()} << 32, 2, pick(0, 2), 4, 5, {0, 1}, {0, 50}, {7, 0, INT32_MAX}, {}, {}};
  replay.Start.State = std::string(static_cast<size_t>(pick(0, 3000)), static_cast<char>(pick(0, 255)));
  for (ActionBinding& binding : replay.Start.Bindings.Of) binding = {pick(-1, 255), pick(-1, PadButtonCount - 1)};
  replay.Outcome = {{"\x80 n\xff", value(), 45000.5 + pick(0, 1000), value()}, 7, random()};
  for (size_t f = 0; f < frames; ++f) {
    ReplayFrame frame = replay.Frames.empty() ? ReplayFrame{} : replay.Frames.back();
    frame.Events.clear();
    if (pick(0, 3) == 0) frame.CursorX = value(), frame.CursorY = pick(0, 539);
    for (int e = pick(0, 5) < 4 ? 0 : pick(1, f % 97 == 0 ? 256 : 3); e > 0; --e) {
      frame.Events.push_back({static_cast<ReplayEventKind>(pick(1, ReplayEventKindLast)), value(), value(), value()});
    }
    for (int still = pick(0, 2) * pick(0, 40); still >= 0; --still)
      replay.Frames.push_back(frame), frame.Events.clear();
  }
  return replay;
}

void ExpectSame(const Replay& a, const Replay& b) {
  EXPECT_TRUE(a.Start == b.Start && a.Frames == b.Frames);
  const auto outcome = [](const ReplayOutcome& o) {
    return std::tie(o.Record.Name, o.Record.Points, o.Record.Date, o.Record.Extra, o.FinalStage, o.FinalStateHash);
  };
  EXPECT_TRUE(outcome(a.Outcome) == outcome(b.Outcome));
}

void ExpectRefused(const std::string& bytes, const std::string& reason) {
  try {
    DecodeReplay(bytes, "r.replay");
    ADD_FAILURE() << "accepted; expected: " << reason;
  } catch (const RuntimeError& error) {
    EXPECT_EQ(error.Kind(), ErrorKind::FileNotFound);
    EXPECT_EQ(std::string(error.what()).rfind("r.replay ", 0), 0u) << error.what();
    EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
  }
}

TEST(ReplayFile, RandomReplaysComeBackExactly) {
  for (uint32_t seed = 1; seed <= 20; ++seed) {
    const Replay replay = RandomReplay(seed, seed == 1 ? 0 : 30 * seed);
    ExpectSame(DecodeReplay(EncodeReplay(replay), "r"), replay);
  }
}

TEST(ReplayFile, EveryKindOfBadFileIsRefusedWithItsReason) {
  const std::string good = EncodeReplay(RandomReplay(7, 30));
  for (size_t at = 0; at < good.size(); ++at) {
    std::string flipped = good;
    flipped[at] = static_cast<char>(flipped[at] ^ 0x20);
    ExpectRefused(flipped, at < 8 ? "not a replay" : at < 10 ? "format version" : "damaged");
    ExpectRefused(good.substr(0, at), "cut short");
  }
  ExpectRefused(good + '\0', "1 bytes more");
  ExpectRefused(Resealed(good.substr(0, good.size() - 1)), "malformed");
  ExpectRefused(Resealed(good + "xyz"), "malformed");

  std::string other = good;
  other.replace(other.find("rules 1"), 7, "rules 9");
  ExpectRefused(Resealed(other), "recorded by other rules (kestrel rules 9); this game plays kestrel rules 1");
  other = good;
  other[8] = 2;
  ExpectRefused(Resealed(other), "format version 2");

  // A replay without frames ends in its frame count (0) and the checksum.
  Replay empty = RandomReplay(8, 0);
  const std::string bare = EncodeReplay(empty).substr(0, EncodeReplay(empty).size() - 5);
  ExpectRefused(Resealed(bare + "\x80\x80\x80\x80\x10" + "0000"), "4294967296 frames, more than the 864000");
  ExpectRefused(Resealed(bare + "\x01\x05\x0a" + "0000"), "unknown kind 10");  // 1 frame, 1 input
  ExpectRefused(Resealed(bare + "\x01\x85\x08" + "0000"), "frame of 257 inputs");
  EXPECT_EQ(DecodeReplay(Resealed(bare + "\x01\x05\x09" + "0000"), "r").Frames.size(), 1u);

  // The start's settings in the ranges the settings' loader keeps them in, each limit included.
  const auto refusesStart = [&empty](auto change, const std::string& reason) {
    Replay replay = empty;
    change(replay.Start);
    ExpectRefused(EncodeReplay(replay), reason);
  };
  refusesStart([](ReplayStart& s) { s.Difficulty = 3; }, "difficulty 3");
  refusesStart([](ReplayStart& s) { s.VolumeLevel[1] = 51; }, "volume 51");
  refusesStart([](ReplayStart& s) { s.Stage = s.UserMaxStage; }, "highest stage");
  refusesStart([](ReplayStart& s) { s.Bindings.Of[6].Key = 256; }, "key 256");
  refusesStart([](ReplayStart& s) { s.Bindings.Of[0].Pad = PadButtonCount; },
               "pad button " + std::to_string(PadButtonCount));
  refusesStart([](ReplayStart& s) { s.State.resize(MaxReplayStateBytes + 1); }, "65537 bytes of the rules' state");
  empty.Start = {1, 0, 2, 4, 1, {1, 0}, {50, 0}, {0, 0, 0}, {}, std::string(MaxReplayStateBytes, 's')};
  empty.Start.Bindings.Of[0] = {255, PadButtonCount - 1};
  empty.Start.Bindings.Of[1] = {Unbound, Unbound};
  ExpectSame(DecodeReplay(EncodeReplay(empty), "r"), empty);
}

TEST(ReplayFile, FilesAreKeptPerRecordAndPrunedWithoutTouchingStrays) {
  const fs::path dir = fs::temp_directory_path() / ("kestrel_replays_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  HiScoreEntry tables[3][8] = {};
  Replay replay = RandomReplay(3, 200);
  replay.Outcome.Record = tables[1][0] = {"kept", 120, 45000.5, 0};
  EXPECT_EQ(ReplayPath(dir.string(), 1, replay.Outcome.Record),
            dir.string() + "/replays/1-120-40e5f91000000000.replay");

  const auto saveFails = [&dir](const Replay& bad, const std::string& reason) {
    try {
      SaveReplay(dir.string(), 1, bad);
      ADD_FAILURE() << "saved; expected: " << reason;
    } catch (const RuntimeError& error) {
      EXPECT_NE(std::string(error.what()).find(reason), std::string::npos) << error.what();
    }
  };
  // A folder where the replays belong that is a file is named, and stays as it was.
  std::ofstream(dir / "replays") << "mine";
  saveFails(replay, dir.string() + "/replays is not a folder");
  EXPECT_EQ(fs::file_size(dir / "replays"), 4u);
  fs::remove(dir / "replays");
  Replay outOfRange = replay;  // never saved only to be refused when played
  outOfRange.Start.VolumeLevel[0] = 51;
  saveFails(outOfRange, "is not saved: the replay could not be played (it holds volume 51");
  EXPECT_FALSE(HasReplay(dir.string(), 1, tables[1][0]));

  SaveReplay(dir.string(), 1, replay);
  EXPECT_EQ(fs::status(dir / "replays").permissions() & fs::perms::all, static_cast<fs::perms>(0755));
  EXPECT_TRUE(HasReplay(dir.string(), 1, tables[1][0]));
  ExpectSame(LoadReplay(dir.string(), 1, tables[1][0]), replay);
  EXPECT_THROW(LoadReplay(dir.string(), 1, {"other", 120, 45000.5, 0}), RuntimeError);  // the same file name

  replay.Outcome.Record = {"gone", -5, 45001.25, 0};
  SaveReplay(dir.string(), 1, replay);
  const fs::path gone = ReplayPath(dir.string(), 1, replay.Outcome.Record);
  const std::string strays[] = {"notes.txt", "1--5-40E5F91000000000.replay", "3-120-40e5f91000000000.replay",
                                "1-0120-40e5f91000000000.replay", "1--5-40e5f91000000000.replay.saving"};
  for (const std::string& stray : strays) std::ofstream(dir / "replays" / stray) << "x";
  fs::create_directory(dir / "replays" / "0-1-0000000000000000.replay");
  PruneReplays(dir.string(), tables);
  EXPECT_FALSE(fs::exists(gone));
  EXPECT_TRUE(HasReplay(dir.string(), 1, tables[1][0]));
  for (const std::string& stray : strays) EXPECT_TRUE(fs::exists(dir / "replays" / stray)) << stray;
  EXPECT_TRUE(fs::is_directory(dir / "replays" / "0-1-0000000000000000.replay"));
  fs::remove_all(dir);
}

}  // namespace

// SPDX-License-Identifier: MIT
// The replay file, little-endian throughout:
//
//   magic "KSTRLRPL", format version (u16), the file's length in bytes (u32)
//   the rules' identity (varint length, bytes)
//   the start: seed (u64), stage, difficulty, music, highest stage, check boxes, volumes,
//     high scores, then each action's key and pad button (zigzag varints), the rules' state
//     (varint length, bytes)
//   the outcome: name (varint length, bytes), points (zigzag), date (u64, the double's bits),
//     extra (zigzag), final stage (zigzag), final state hash (u64)
//   the frames: their count (varint), then items until that many frames are told:
//     varint h, h & 1 == 0: (h >> 1) + 1 frames without input, the cursor where it was;
//               h & 1 == 1: one frame; h & 2: the cursor moved (zigzag dx, dy follow);
//                           h >> 2 inputs follow, each a byte (kind | 0x10, 0x20, 0x40 when
//                           A, B, C are not 0) and those of A, B, C that are not 0 (zigzag)
//   CRC-32 (u32) of every byte before it
//
// The length in the header tells a file cut short from a damaged one; the checksum is checked
// before anything past the header is read, so a damaged file never reaches the limits' checks.
#include "player/replay_file.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "base/input_codes.h"
#include "base/runtime.h"
#include "base/safe_file.h"

const char* const ReplayRulesIdentity = "kestrel rules 1";

namespace {

constexpr char Magic[8] = {'K', 'S', 'T', 'R', 'L', 'R', 'P', 'L'};
constexpr uint16_t FormatVersion = 1;
constexpr size_t HeaderBytes = sizeof Magic + 2 + 4;
constexpr size_t ChecksumBytes = 4;
constexpr size_t MaxIdentityBytes = 255;
constexpr size_t MaxNameBytes = 0xFFFF;  // what gameinfo.cfg can hold
constexpr size_t MaxPruneEntries = 10000;
const std::string ReplaySuffix = ".replay";

// Ranges of the start, as the settings' loader brings them into range.
constexpr int64_t Int32Span = int64_t{UINT32_MAX};
constexpr int32_t MaxDifficulty = 2, MaxMusic = 4, MaxVolume = 50, MaxKey = 255;

// CRC-32 (the polynomial of zip and PNG), carried on from `crc` (0 to begin).
uint32_t Crc32(const char* data, size_t size, uint32_t crc = 0) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc ^= 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ static_cast<uint8_t>(data[i])) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

uint64_t ZigZag(int64_t value) { return (static_cast<uint64_t>(value) << 1) ^ static_cast<uint64_t>(value >> 63); }
int64_t UnZigZag(uint64_t value) { return static_cast<int64_t>(value >> 1) ^ -static_cast<int64_t>(value & 1); }

class Writer {
 public:
  void Fixed(uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out_ += static_cast<char>(value >> (8 * i));
  }
  void Varint(uint64_t value) {
    while (value >= 0x80) {
      out_ += static_cast<char>((value & 0x7F) | 0x80);
      value >>= 7;
    }
    out_ += static_cast<char>(value);
  }
  void Signed(int64_t value) { Varint(ZigZag(value)); }
  // Written whole even beyond the reader's limit: SaveReplay refuses what could not be read.
  void Text(const std::string& text) {
    Varint(text.size());
    out_ += text;
  }
  std::string& Bytes() { return out_; }

 private:
  std::string out_;
};

// Why a file cannot be played, in words that follow the file's name in the message.
struct Refusal {
  std::string Reason;
};

class Reader {
 public:
  Reader(const std::string& bytes, size_t at, size_t end) : bytes_(bytes), at_(at), end_(end) {}
  uint64_t Fixed(int bytes) {
    Need(static_cast<size_t>(bytes));
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
      value = (value << 8) | static_cast<uint8_t>(bytes_[at_ + static_cast<size_t>(i)]);
    at_ += static_cast<size_t>(bytes);
    return value;
  }
  uint8_t Byte() { return static_cast<uint8_t>(Fixed(1)); }
  uint64_t Varint() {
    uint64_t value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      const uint8_t byte = Byte();
      if (shift == 63 && byte > 1) throw Refusal{"holds a number beyond 64 bits"};
      value |= static_cast<uint64_t>(byte & 0x7F) << shift;
      if ((byte & 0x80) == 0) return value;
    }
    throw Refusal{"holds a number beyond 64 bits"};
  }
  // A count of at most `limit`.
  size_t Count(size_t limit, const char* what) {
    const uint64_t count = Varint();
    if (count > limit) {
      throw Refusal{std::string("holds ") + std::to_string(count) + " " + what + ", more than the " +
                    std::to_string(limit) + " allowed"};
    }
    return static_cast<size_t>(count);
  }
  int32_t Int(const char* what) {
    const int64_t value = UnZigZag(Varint());
    if (value < INT32_MIN || value > INT32_MAX) throw Refusal{std::string("holds a ") + what + " beyond 32 bits"};
    return static_cast<int32_t>(value);
  }
  int32_t IntIn(int32_t lo, int32_t hi, const char* what) {
    const int32_t value = Int(what);
    if (value < lo || value > hi) {
      throw Refusal{std::string("holds ") + what + " " + std::to_string(value) + ", outside " + std::to_string(lo) +
                    ".." + std::to_string(hi)};
    }
    return value;
  }
  std::string Text(size_t limit, const char* what) {
    const size_t length = Count(limit, what);
    Need(length);
    std::string text = bytes_.substr(at_, length);
    at_ += length;
    return text;
  }
  size_t At() const { return at_; }

 private:
  void Need(size_t bytes) const {
    // The length and the checksum were right, so the items themselves say more than there is.
    if (end_ - at_ < bytes) throw Refusal{"is malformed: its items run past its end"};
  }
  const std::string& bytes_;
  size_t at_, end_;
};

void EncodeStart(Writer& out, const ReplayStart& start) {
  out.Fixed(start.Seed, 8);
  for (const int32_t value :
       {start.Stage, start.Difficulty, start.MusicChoice, start.UserMaxStage, start.CheckState[0], start.CheckState[1],
        start.VolumeLevel[0], start.VolumeLevel[1], start.HiScore[0], start.HiScore[1], start.HiScore[2]}) {
    out.Signed(value);
  }
  for (const ActionBinding& binding : start.Bindings.Of) {
    out.Signed(binding.Key);
    out.Signed(binding.Pad);
  }
  out.Text(start.State);
}

ReplayStart DecodeStart(Reader& in) {
  ReplayStart start;
  start.Seed = in.Fixed(8);
  start.Stage = in.IntIn(0, INT32_MAX - 1, "stage");
  start.Difficulty = in.IntIn(0, MaxDifficulty, "difficulty");
  start.MusicChoice = in.IntIn(0, MaxMusic, "music choice");
  start.UserMaxStage = in.IntIn(start.Stage + 1, INT32_MAX, "highest stage");
  for (int32_t& check : start.CheckState) check = in.IntIn(0, 1, "check box");
  for (int32_t& volume : start.VolumeLevel) volume = in.IntIn(0, MaxVolume, "volume");
  for (int32_t& score : start.HiScore) score = in.IntIn(0, INT32_MAX, "high score");
  for (ActionBinding& binding : start.Bindings.Of) {
    binding.Key = in.IntIn(Unbound, MaxKey, "key");
    binding.Pad = in.IntIn(Unbound, PadButtonCount - 1, "pad button");
  }
  start.State = in.Text(MaxReplayStateBytes, "bytes of the rules' state");
  return start;
}

void EncodeOutcome(Writer& out, const ReplayOutcome& outcome) {
  out.Text(outcome.Record.Name);
  out.Signed(outcome.Record.Points);
  out.Fixed(std::bit_cast<uint64_t>(outcome.Record.Date), 8);
  out.Signed(outcome.Record.Extra);
  out.Signed(outcome.FinalStage);
  out.Fixed(outcome.FinalStateHash, 8);
}

ReplayOutcome DecodeOutcome(Reader& in) {
  ReplayOutcome outcome;
  outcome.Record.Name = in.Text(MaxNameBytes, "bytes of name");
  outcome.Record.Points = in.Int("score");
  outcome.Record.Date = std::bit_cast<double>(in.Fixed(8));
  outcome.Record.Extra = in.Int("record's extra value");
  outcome.FinalStage = in.IntIn(0, INT32_MAX, "final stage");
  outcome.FinalStateHash = in.Fixed(8);
  return outcome;
}

void EncodeFrames(Writer& out, const std::vector<ReplayFrame>& frames) {
  out.Varint(frames.size());
  int64_t x = 0, y = 0;
  uint64_t still = 0;
  const auto endRun = [&] {
    if (still > 0) out.Varint((still - 1) << 1);
    still = 0;
  };
  for (const ReplayFrame& frame : frames) {
    const bool moved = frame.CursorX != x || frame.CursorY != y;
    if (!moved && frame.Events.empty()) {
      ++still;
      continue;
    }
    endRun();
    out.Varint((static_cast<uint64_t>(frame.Events.size()) << 2) | (moved ? 2 : 0) | 1);
    if (moved) {
      out.Signed(frame.CursorX - x);
      out.Signed(frame.CursorY - y);
      x = frame.CursorX, y = frame.CursorY;
    }
    for (const ReplayEvent& event : frame.Events) {
      // A kind of no name is written as one the reader refuses, never as another kind.
      const auto kind = static_cast<uint8_t>(event.Kind);
      out.Fixed((kind >= 1 && kind <= ReplayEventKindLast ? kind : 0x80) | (event.A != 0 ? 0x10 : 0) |
                    (event.B != 0 ? 0x20 : 0) | (event.C != 0 ? 0x40 : 0),
                1);
      for (const int32_t value : {event.A, event.B, event.C}) {
        if (value != 0) out.Signed(value);
      }
    }
  }
  endRun();
}

std::vector<ReplayFrame> DecodeFrames(Reader& in) {
  const size_t count = in.Count(MaxReplayFrames, "frames");
  std::vector<ReplayFrame> frames;
  frames.reserve(count);
  int64_t x = 0, y = 0;
  while (frames.size() < count) {
    const uint64_t item = in.Varint();
    if ((item & 1) == 0) {
      const uint64_t run = (item >> 1) + 1;
      if (run > count - frames.size()) throw Refusal{"is malformed: it tells more frames than it holds"};
      frames.resize(frames.size() + static_cast<size_t>(run),
                    ReplayFrame{{}, static_cast<int32_t>(x), static_cast<int32_t>(y)});
      continue;
    }
    const uint64_t events = item >> 2;
    if (events > MaxEventsPerFrame) {
      throw Refusal{"holds a frame of " + std::to_string(events) + " inputs, more than the " +
                    std::to_string(MaxEventsPerFrame) + " allowed"};
    }
    if ((item & 2) != 0) {
      for (int64_t* axis : {&x, &y}) {
        const int64_t move = UnZigZag(in.Varint());
        if (move < -Int32Span || move > Int32Span || *axis + move < INT32_MIN || *axis + move > INT32_MAX) {
          throw Refusal{"moves the cursor beyond 32 bits"};
        }
        *axis += move;
      }
    }
    ReplayFrame& frame = frames.emplace_back();
    frame.CursorX = static_cast<int32_t>(x), frame.CursorY = static_cast<int32_t>(y);
    frame.Events.resize(static_cast<size_t>(events));
    for (ReplayEvent& event : frame.Events) {
      const uint8_t head = in.Byte();
      const uint8_t kind = head & 0x0F;
      if (kind < 1 || kind > ReplayEventKindLast || (head & 0x80) != 0) {
        throw Refusal{"holds an input of unknown kind " + std::to_string((head & 0x80) != 0 ? head : kind)};
      }
      event.Kind = static_cast<ReplayEventKind>(kind);
      event.A = (head & 0x10) != 0 ? in.Int("input value") : 0;
      event.B = (head & 0x20) != 0 ? in.Int("input value") : 0;
      event.C = (head & 0x40) != 0 ? in.Int("input value") : 0;
    }
  }
  return frames;
}

[[noreturn]] void Refuse(const std::string& name, const std::string& reason) {
  throw RuntimeError(ErrorKind::FileNotFound, name, name + " " + reason);
}

std::string Hex16(uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

std::string ReplayFileName(int32_t difficulty, int32_t points, double date) {
  return std::to_string(difficulty) + "-" + std::to_string(points) + "-" + Hex16(std::bit_cast<uint64_t>(date)) +
         ReplaySuffix;
}

bool SameRecord(const HiScoreEntry& a, const HiScoreEntry& b) {
  return a.Name == b.Name && a.Points == b.Points && std::bit_cast<uint64_t>(a.Date) == std::bit_cast<uint64_t>(b.Date);
}

// A name of our pattern: its difficulty, points and date bits, the name made from them again
// being the same name (so "0-007-..." or upper-case digits are strays).
bool ParseReplayFileName(const std::string& name, int32_t& difficulty, int32_t& points, uint64_t& dateBits) {
  if (name.size() < 2 + ReplaySuffix.size() || name[0] < '0' || name[0] > '2' || name[1] != '-') return false;
  const size_t dash = name.find('-', name[2] == '-' ? 3 : 2);
  if (dash == std::string::npos || name.size() - dash != 1 + 16 + ReplaySuffix.size()) return false;
  const std::string number = name.substr(2, dash - 2), hex = name.substr(dash + 1, 16);
  if (number.empty() || number.size() > 11 || hex.find_first_not_of("0123456789abcdef") != std::string::npos)
    return false;
  char* end = nullptr;
  const long long value = std::strtoll(number.c_str(), &end, 10);
  if (*end != '\0' || value < INT32_MIN || value > INT32_MAX) return false;
  difficulty = name[0] - '0';
  points = static_cast<int32_t>(value);
  dateBits = std::strtoull(hex.c_str(), nullptr, 16);
  return ReplayFileName(difficulty, points, std::bit_cast<double>(dateBits)) == name;
}

// Printable ASCII of text read from a file, for a message.
std::string Printable(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    if (c < 0x20 || c > 0x7E) c = '?';
  }
  return out;
}

const char* const Damaged = "is damaged (its checksum does not match)";
const char* const CutShort = "is cut short: it is not a whole replay";

Replay Decode(const std::string& bytes) {
  const size_t size = bytes.size();
  if (size < sizeof Magic) {
    throw Refusal{std::memcmp(bytes.data(), Magic, size) == 0 ? CutShort : "is not a replay"};
  }
  if (std::memcmp(bytes.data(), Magic, sizeof Magic) != 0) throw Refusal{"is not a replay"};
  if (size > MaxReplayFileBytes) {
    throw Refusal{"is " + std::to_string(size) + " bytes long, more than the " + std::to_string(MaxReplayFileBytes) +
                  " a replay may hold"};
  }
  if (size < HeaderBytes) throw Refusal{CutShort};
  Reader header(bytes, sizeof Magic, size);
  const uint64_t version = header.Fixed(2), length = header.Fixed(4);
  if (version != FormatVersion) {
    throw Refusal{"is a replay of format version " + std::to_string(version) + "; this game reads version " +
                  std::to_string(FormatVersion)};
  }
  // Whether the checksum at `end` is that of the bytes before it, the header's length being `end`.
  const auto sealed = [&bytes](size_t end) {
    if (end < HeaderBytes + ChecksumBytes) return false;
    std::string header = bytes.substr(0, HeaderBytes);
    for (int i = 0; i < 4; ++i) header[sizeof Magic + 2 + static_cast<size_t>(i)] = static_cast<char>(end >> (8 * i));
    const uint32_t crc =
        Crc32(bytes.data() + HeaderBytes, end - ChecksumBytes - HeaderBytes, Crc32(header.data(), header.size()));
    return crc == Reader(bytes, end - ChecksumBytes, end).Fixed(static_cast<int>(ChecksumBytes));
  };
  if (length != size) {
    // A whole file whose length alone went wrong is damaged, not cut short.
    if (sealed(size)) throw Refusal{Damaged};
    if (length > size) {
      throw Refusal{"is cut short: it holds " + std::to_string(size) + " of its " + std::to_string(length) + " bytes"};
    }
    if (!sealed(static_cast<size_t>(length))) throw Refusal{Damaged};
    throw Refusal{"has " + std::to_string(size - length) + " bytes more than a replay holds after its end"};
  }
  if (!sealed(size)) throw Refusal{Damaged};

  Reader in(bytes, HeaderBytes, size - ChecksumBytes);
  const std::string rules = in.Text(MaxIdentityBytes, "bytes of rules' name");
  if (rules != ReplayRulesIdentity) {
    throw Refusal{"was recorded by other rules (" + Printable(rules) + "); this game plays " + ReplayRulesIdentity};
  }
  Replay replay;
  replay.Start = DecodeStart(in);
  replay.Outcome = DecodeOutcome(in);
  replay.Frames = DecodeFrames(in);
  if (in.At() != size - ChecksumBytes) throw Refusal{"is malformed: bytes follow its last frame"};
  return replay;
}

}  // namespace

std::string EncodeReplay(const Replay& replay) {
  Writer out;
  out.Bytes().append(Magic, sizeof Magic);
  out.Fixed(FormatVersion, 2);
  out.Fixed(0, 4);  // the length, once known
  out.Text(ReplayRulesIdentity);
  EncodeStart(out, replay.Start);
  EncodeOutcome(out, replay.Outcome);
  EncodeFrames(out, replay.Frames);
  std::string& bytes = out.Bytes();
  const uint64_t length = bytes.size() + ChecksumBytes;
  for (int i = 0; i < 4; ++i) bytes[sizeof Magic + 2 + static_cast<size_t>(i)] = static_cast<char>(length >> (8 * i));
  out.Fixed(Crc32(bytes.data(), bytes.size()), 4);
  return std::move(bytes);
}

Replay DecodeReplay(const std::string& bytes, const std::string& name) {
  try {
    return Decode(bytes);
  } catch (const Refusal& refusal) {
    Refuse(name, refusal.Reason);
  }
}

std::string ReplayFolder(const std::string& playerFolder) { return playerFolder + "/replays"; }

std::string ReplayPath(const std::string& playerFolder, int32_t difficulty, const HiScoreEntry& record) {
  return ReplayFolder(playerFolder) + "/" + ReplayFileName(difficulty, record.Points, record.Date);
}

void SaveReplay(const std::string& playerFolder, int32_t difficulty, const Replay& replay) {
  const std::string folder = ReplayFolder(playerFolder);
  struct stat status {};
  if (::stat(folder.c_str(), &status) == 0) {
    if (!S_ISDIR(status.st_mode)) Refuse(folder, "is not a folder: no replay can be kept in it");
  } else if (errno != ENOENT || (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)) {
    Refuse(folder, std::string("cannot be made: ") + std::strerror(errno));
  }
  const std::string path = ReplayPath(playerFolder, difficulty, replay.Outcome.Record);
  const std::string bytes = EncodeReplay(replay);
  // A recording beyond the limits or with settings out of range would be saved only to be
  // refused when played: it is refused now, while the player can still be told why.
  try {
    Decode(bytes);
  } catch (const Refusal& refusal) {
    Refuse(path, "is not saved: the replay could not be played (it " + refusal.Reason + ")");
  }
  SafeFile::SaveWholeFile(path, bytes);
}

Replay LoadReplay(const std::string& playerFolder, int32_t difficulty, const HiScoreEntry& record) {
  const std::string path = ReplayPath(playerFolder, difficulty, record);
  const std::optional<std::string> bytes = SafeFile::ReadWholeFile(path, MaxReplayFileBytes);
  if (!bytes) Refuse(path, "is not there: this record has no replay");
  Replay replay = DecodeReplay(*bytes, path);
  if (!SameRecord(replay.Outcome.Record, record)) Refuse(path, "is the replay of another record");
  return replay;
}

bool HasReplay(const std::string& playerFolder, int32_t difficulty, const HiScoreEntry& record) {
  struct stat status {};
  return ::stat(ReplayPath(playerFolder, difficulty, record).c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

void PruneReplays(const std::string& playerFolder, const HiScoreEntry (&tables)[3][8]) {
  const std::string folder = ReplayFolder(playerFolder);
  DIR* directory = ::opendir(folder.c_str());
  if (directory == nullptr) {
    if (errno != ENOENT) std::fprintf(stderr, "%s cannot be read: %s\n", folder.c_str(), std::strerror(errno));
    return;
  }
  std::vector<std::string> gone;
  size_t looked = 0;
  for (const dirent* entry; looked < MaxPruneEntries && (entry = ::readdir(directory)) != nullptr; ++looked) {
    int32_t difficulty = 0, points = 0;
    uint64_t dateBits = 0;
    if (!ParseReplayFileName(entry->d_name, difficulty, points, dateBits)) continue;
    bool kept = false;
    for (const HiScoreEntry& record : tables[difficulty]) {
      kept = kept || (record.Points == points && std::bit_cast<uint64_t>(record.Date) == dateBits);
    }
    if (!kept) gone.emplace_back(entry->d_name);
  }
  ::closedir(directory);
  for (const std::string& name : gone) {
    const std::string path = folder + "/" + name;
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) continue;  // not ours to remove
    if (::unlink(path.c_str()) != 0)
      std::fprintf(stderr, "%s cannot be removed: %s\n", path.c_str(), std::strerror(errno));
  }
}

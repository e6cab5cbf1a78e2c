// SPDX-License-Identifier: MIT
// Replay files: any bytes are refused with a message or decode to a replay that encodes and
// decodes again to the same replay. Each input is tried twice: as it is, and with the length
// in its header and the checksum at its end made right, so that the fuzzer reaches the frames
// instead of stopping at the checksum.
#include <bit>
#include <string>

#include "base/runtime.h"
#include "player/replay_file.h"

namespace {

uint32_t Crc32(const std::string& bytes, size_t size) {
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 0; i < size; ++i) {
    crc ^= static_cast<uint8_t>(bytes[i]);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
  }
  return ~crc;
}

bool SameRecord(const HiScoreEntry& a, const HiScoreEntry& b) {
  return a.Name == b.Name && a.Points == b.Points && a.Extra == b.Extra &&
         std::bit_cast<uint64_t>(a.Date) == std::bit_cast<uint64_t>(b.Date);
}

void Check(const std::string& bytes) {
  Replay replay;
  try {
    replay = DecodeReplay(bytes, "fuzz.replay");
  } catch (const RuntimeError&) {
    return;
  }
  const Replay again = DecodeReplay(EncodeReplay(replay), "again.replay");
  if (!(again.Start == replay.Start) || again.Frames != replay.Frames ||
      !SameRecord(again.Outcome.Record, replay.Outcome.Record) ||
      again.Outcome.FinalStage != replay.Outcome.FinalStage ||
      again.Outcome.FinalStateHash != replay.Outcome.FinalStateHash) {
    __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  Check(bytes);
  constexpr size_t LengthAt = 10, HeaderBytes = 14;
  if (bytes.size() < HeaderBytes + 4) return 0;
  for (size_t i = 0; i < 4; ++i) bytes[LengthAt + i] = static_cast<char>(bytes.size() >> (8 * i));
  const uint32_t crc = Crc32(bytes, bytes.size() - 4);
  for (size_t i = 0; i < 4; ++i) bytes[bytes.size() - 4 + i] = static_cast<char>(crc >> (8 * i));
  Check(bytes);
  return 0;
}

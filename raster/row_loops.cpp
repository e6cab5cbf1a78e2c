// SPDX-License-Identifier: MIT
// Choice of the row loops, made once when the library is loaded: the widest path this
// processor (and the system's saving of its registers) runs, no wider than RASTERKIT_PATH.
#include "raster/row_loops.h"

#include <stdlib.h>
#include <string.h>

namespace rasterkit {
namespace {

struct PathEntry {
  const char* name;
  const RowLoops* loops;
  bool (*runs)();  // whether this processor runs the path; null: every one that has it built
};

#ifdef RASTERKIT_X86_PATHS
bool Avx2Runs() { return __builtin_cpu_supports("avx2"); }

bool Avx512Runs() {
  return Avx2Runs() && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
         __builtin_cpu_supports("avx512vl");
}
#endif

// Narrowest first.
const PathEntry kPaths[] = {
    {"portable", &kPortableRowLoops, nullptr},
#ifdef RASTERKIT_X86_PATHS
    {"sse2", &kSse2RowLoops, nullptr},  // every x86-64 processor has SSE2
    {"avx2", &kAvx2RowLoops, Avx2Runs},
    {"avx512", &kAvx512RowLoops, Avx512Runs},
#endif
};

// Each null entry of `loops` taken from `narrower`.
void FillGaps(RowLoops& loops, const RowLoops& narrower) {
  auto fill = [](auto& entry, auto from) {
    if (entry == nullptr) entry = from;
  };
  fill(loops.opaqueCopy, narrower.opaqueCopy);
  fill(loops.keyedCopy, narrower.keyedCopy);
  fill(loops.halfBlend, narrower.halfBlend);
  fill(loops.alphaBlend, narrower.alphaBlend);
  fill(loops.additive, narrower.additive);
  fill(loops.subtractive, narrower.subtractive);
  fill(loops.colorMask, narrower.colorMask);
  fill(loops.alphaChannelBlend, narrower.alphaChannelBlend);
  fill(loops.scaledKeyedCopy, narrower.scaledKeyedCopy);
  fill(loops.bilinearPrepare, narrower.bilinearPrepare);
  fill(loops.bilinearExpand, narrower.bilinearExpand);
  fill(loops.bilinearRow, narrower.bilinearRow);
}

bool IsPathName(const char* name) {
  for (const PathEntry& path : kPaths) {
    if (strcmp(name, path.name) == 0) return true;
  }
  return false;
}

constinit RowLoops ChosenLoops;

[[gnu::constructor]] void ChooseRowLoops() {
#ifdef RASTERKIT_X86_PATHS
  __builtin_cpu_init();
#endif
  const char* cap = getenv("RASTERKIT_PATH");
  if (cap != nullptr && !IsPathName(cap)) cap = nullptr;
  for (const PathEntry& path : kPaths) {
    if (path.runs != nullptr && !path.runs()) break;
    RowLoops loops = *path.loops;
    FillGaps(loops, ChosenLoops);
    ChosenLoops = loops;
    if (cap != nullptr && strcmp(cap, path.name) == 0) break;
  }
}

}  // namespace

const RowLoops& ActiveRowLoops() { return ChosenLoops; }

}  // namespace rasterkit

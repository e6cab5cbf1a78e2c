// SPDX-License-Identifier: MIT
// Picture files: a picture a surface can hold, or a run-time error.
#include "base/runtime.h"
#include "scratch_file.h"
#include "surface/bmp_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = WriteScratchFile("picture.bmp", data, size);
  try {
    DecodedPicture picture = DecodePictureFile(path);
    if (picture.pixels.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
      __builtin_trap();
  } catch (const RuntimeError&) {
  }
  return 0;
}

// SPDX-License-Identifier: MIT
// Cursor files: an image of at most 256 x 256 with its hotspot inside, nothing, or a refusal.
#include <vector>

#include "base/runtime.h"
#include "surface/cursor_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const auto image = DecodeCursorFile(std::vector<uint8_t>(data, data + size));
    if (image && (image->Pixels.size() != static_cast<size_t>(image->Width) * static_cast<size_t>(image->Height) ||
                  image->HotspotX < 0 || image->HotspotX >= image->Width || image->HotspotY < 0 ||
                  image->HotspotY >= image->Height))
      __builtin_trap();
  } catch (const RuntimeError&) {
  }
  return 0;
}

// SPDX-License-Identifier: MIT
// Every test program runs headless: SDL's dummy video and audio drivers, and the source tree
// known through KESTREL_SOURCE_DIR, unless the caller chose otherwise.
#include <cstdlib>

namespace {

struct HeadlessEnvironment {
  HeadlessEnvironment() {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("KESTREL_SOURCE_DIR", KESTREL_SOURCE_DIR_DEFAULT, 0);
  }
};

const HeadlessEnvironment headlessEnvironment;

}  // namespace

// Choice of the widest row loops this processor runs, made once when the library is loaded.
#include "raster/blit_kernels.h"

namespace rasterkit {
namespace {

Path ChosenPath = Path::Baseline;

[[gnu::constructor]] void ChoosePath() {
#if RASTERKIT_X86
  __builtin_cpu_init();
  for (Path path : {Path::Avx2, Path::Avx512}) {
    if (ProcessorRuns(path)) ChosenPath = path;
  }
#endif
}

}  // namespace

Path ActivePath() { return ChosenPath; }

}  // namespace rasterkit

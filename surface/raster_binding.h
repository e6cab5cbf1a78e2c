// SPDX-License-Identifier: MIT
// The game's road to rasterkit. The program does not link the library: the first call of any
// routine below loads librasterkit.so by name (from the directory of the running program
// first, then through the normal library search path) and looks up each routine. The
// binding is made once. A library file is looked at before it is loaded (see elf_check.h), so
// a damaged file is refused instead of crashing the loader. When the library cannot be
// loaded, or a routine is not in it, every call of that routine raises
// RuntimeError(FileNotFound, <library name>).
//
// Each routine has the name and the signature of its declaration in rasterkit.h.
#pragma once

#include <cstdint>
#include <string>

#include "raster/rasterkit.h"

// The routines the game calls, each named once here.
#define KESTREL_RASTER_ROUTINES(X)   \
  X(ClipperRect)                     \
  X(GDIBltFast_16)                   \
  X(GDIBlt_16)                       \
  X(GDIBltZoom_16)                   \
  X(color32_16)                      \
  X(GDISetPixel)                     \
  X(GDIMemset)                       \
  X(GDIAlphaBlend_16)                \
  X(GDIAdditive_16)                  \
  X(GDISubitive_16)                  \
  X(GDIAlphaBlendByAlphaChannel2_16) \
  X(myZoomPD)                        \
  X(myZoomPDWide)

namespace RasterBinding {

enum class Routine {
#define KESTREL_ROUTINE_ID(name) name,
  KESTREL_RASTER_ROUTINES(KESTREL_ROUTINE_ID)
#undef KESTREL_ROUTINE_ID
};

// The address of a bound routine; raises FileNotFound naming the library when it has none.
void* Address(Routine routine);

// Calls a routine through its address with the parameter types of its declaration.
template <Routine routine, typename Signature>
struct Caller;
template <Routine routine, typename Result, typename... Parameters>
struct Caller<routine, Result(Parameters...)> {
  static Result Call(Parameters... arguments) {
    return reinterpret_cast<Result (*)(Parameters...)>(Address(routine))(arguments...);
  }
};

// Binds the library and resolves every routine the game calls, for the check at start-up;
// raises FileNotFound naming the library file tried and the loader's reason, what is wrong
// with the file, or the first routine it lacks.
void Bind();

// The file name the binding loads: "librasterkit.so".
const char* DefaultLibraryName();

// Forgets the binding and makes the next call load `name` instead (same search order; a name
// with a slash is that file). Tests use it to prove what happens when the library is missing
// or damaged; passing DefaultLibraryName() restores the normal binding.
void SetLibraryNameForTests(const std::string& name);

}  // namespace RasterBinding

// Raster::GDIBlt_16(...) calls the library's GDIBlt_16 through the binding.
namespace Raster {
#define KESTREL_ROUTINE_CALL(name) \
  inline constexpr auto& name = RasterBinding::Caller<RasterBinding::Routine::name, decltype(::name)>::Call;
KESTREL_RASTER_ROUTINES(KESTREL_ROUTINE_CALL)
#undef KESTREL_ROUTINE_CALL
}  // namespace Raster

#include "surface/raster_binding.h"

#include <dlfcn.h>

#include "shell/locations.h"
#include "shell/runtime.h"

// The routines the game calls, each named once here.
#define RASTER_ROUTINES(X)            \
  X(ClipperRect)                      \
  X(GDIBltFast_16)                    \
  X(GDIBlt_16)                        \
  X(GDIBltZoom_16)                    \
  X(color32_16)                       \
  X(GDISetPixel)                      \
  X(GDIMemset)                        \
  X(GDIAlphaBlend_16)                 \
  X(GDIAdditive_16)                   \
  X(GDISubitive_16)                   \
  X(GDIAlphaBlendByAlphaChannel2_16)  \
  X(myZoomPD)

namespace {

// One pointer per routine, typed after its declaration in rasterkit.h (decltype does not
// reference the symbol, so nothing here links against the library).
struct Routines {
#define DECLARE_SLOT(name) decltype(&::name) name = nullptr;
  RASTER_ROUTINES(DECLARE_SLOT)
#undef DECLARE_SLOT
};

struct Binding {
  std::string libraryName = RasterBinding::DefaultLibraryName();
  bool attempted = false;
  void* handle = nullptr;
  Routines routines;
};

Binding& TheBinding() {
  static Binding binding;
  return binding;
}

void* OpenLibrary(const std::string& name) {
  if (void* handle = dlopen((Locations::LibraryDirectory() + "/" + name).c_str(), RTLD_NOW | RTLD_LOCAL)) return handle;
  return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

const Routines& BoundRoutines() {
  Binding& binding = TheBinding();
  if (!binding.attempted) {
    binding.attempted = true;
    binding.handle = OpenLibrary(binding.libraryName);
    if (binding.handle != nullptr) {
#define RESOLVE_SLOT(name) \
  binding.routines.name = reinterpret_cast<decltype(&::name)>(dlsym(binding.handle, #name));
      RASTER_ROUTINES(RESOLVE_SLOT)
#undef RESOLVE_SLOT
    }
  }
  return binding.routines;
}

template <typename Fn>
Fn Require(Fn Routines::*slot) {
  Fn routine = BoundRoutines().*slot;
  if (routine == nullptr) Raise(ErrorKind::FileNotFound, TheBinding().libraryName);
  return routine;
}

}  // namespace

const char* RasterBinding::DefaultLibraryName() { return "librasterkit.so"; }

void RasterBinding::SetLibraryNameForTests(const std::string& name) {
  Binding& binding = TheBinding();
  if (binding.handle != nullptr) dlclose(binding.handle);
  binding = Binding{};
  binding.libraryName = name;
}

int32_t Raster::ClipperRect(const Rect* clipRect, Rect* dstRect, Rect* srcRect, int32_t anchorX, int32_t anchorY,
                            float scale) {
  return Require(&Routines::ClipperRect)(clipRect, dstRect, srcRect, anchorX, anchorY, scale);
}

int32_t Raster::GDIBltFast_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                              int32_t srcPitch, int32_t srcLeft, int32_t srcTop) {
  return Require(&Routines::GDIBltFast_16)(dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop);
}

int32_t Raster::GDIBlt_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr, int32_t srcPitch,
                          int32_t srcLeft, int32_t srcTop, int32_t tranColor) {
  return Require(&Routines::GDIBlt_16)(dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop, tranColor);
}

int32_t Raster::GDIBltZoom_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                              int32_t srcPitch, const Rect* srcRect, int32_t tranColor) {
  return Require(&Routines::GDIBltZoom_16)(dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcRect, tranColor);
}

int32_t Raster::color32_16(int32_t r, int32_t g, int32_t b) { return Require(&Routines::color32_16)(r, g, b); }

int32_t Raster::GDISetPixel(void* ptr, int32_t pitch, int32_t x, int32_t y, int32_t value) {
  return Require(&Routines::GDISetPixel)(ptr, pitch, x, y, value);
}

int32_t Raster::GDIMemset(void* ptr, int32_t count, int32_t value) {
  return Require(&Routines::GDIMemset)(ptr, count, value);
}

int32_t Raster::GDIAlphaBlend_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                                 int32_t srcPitch, int32_t srcLeft, int32_t srcTop, int32_t tranColor,
                                 int32_t level) {
  return Require(&Routines::GDIAlphaBlend_16)(dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop,
                                              tranColor, level);
}

int32_t Raster::GDIAdditive_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                               int32_t srcPitch, int32_t srcLeft, int32_t srcTop, int32_t tranColor,
                               int32_t level) {
  return Require(&Routines::GDIAdditive_16)(dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop,
                                            tranColor, level);
}

int32_t Raster::GDISubitive_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect, const void* srcPtr,
                               int32_t srcPitch, int32_t srcLeft, int32_t srcTop, int32_t tranColor,
                               int32_t level) {
  return Require(&Routines::GDISubitive_16)(dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft, srcTop,
                                            tranColor, level);
}

int32_t Raster::GDIAlphaBlendByAlphaChannel2_16(void* dstPtr, int32_t dstPitch, const Rect* dstRect,
                                                const void* srcPtr, int32_t srcPitch, int32_t srcLeft,
                                                int32_t srcTop, const void* alphaPtr, int32_t alphaLevel) {
  return Require(&Routines::GDIAlphaBlendByAlphaChannel2_16)(dstPtr, dstPitch, dstRect, srcPtr, srcPitch, srcLeft,
                                                             srcTop, alphaPtr, alphaLevel);
}

int32_t Raster::myZoomPD(void* dstPtr, const void* srcPtr, int32_t dstPitchPixels, int32_t srcPitchPixels,
                         int32_t srcHeight, int32_t dstHeight, int32_t srcWidth, int32_t dstWidth,
                         const void* prevPtr) {
  return Require(&Routines::myZoomPD)(dstPtr, srcPtr, dstPitchPixels, srcPitchPixels, srcHeight, dstHeight,
                                      srcWidth, dstWidth, prevPtr);
}

// SPDX-License-Identifier: MIT
#include "surface/raster_binding.h"

#include <dlfcn.h>
#include <unistd.h>

#include <iterator>

#include "base/locations.h"
#include "base/runtime.h"
#include "surface/elf_check.h"

namespace {

constexpr const char* kRoutineNames[] = {
#define ROUTINE_NAME(name) #name,
    KESTREL_RASTER_ROUTINES(ROUTINE_NAME)
#undef ROUTINE_NAME
};
constexpr size_t kRoutineCount = std::size(kRoutineNames);

struct Binding {
  std::string libraryName = RasterBinding::DefaultLibraryName();
  bool attempted = false;
  void* handle = nullptr;
  std::string file;     // the file tried
  std::string failure;  // why it is not bound, naming the file
  void* routines[kRoutineCount] = {};
};

Binding& TheBinding() {
  static Binding binding;
  return binding;
}

// A file in the library's folder (or named by a path) is looked at before it is loaded, and
// refused rather than passed over when it is damaged; without one the loader searches its
// normal path.
void* OpenLibrary(Binding& binding) {
  const std::string& name = binding.libraryName;
  const std::string inLibraryFolder = Locations::LibraryDirectory() + "/" + name;
  const bool isPath = name.find('/') != std::string::npos;
  binding.file = isPath ? name : ::access(inLibraryFolder.c_str(), F_OK) == 0 ? inLibraryFolder : name;
  if (isPath || binding.file == inLibraryFolder) {
    binding.failure = SharedObjectProblem(binding.file);
    if (!binding.failure.empty()) return nullptr;
  }
  void* handle = dlopen(binding.file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) binding.failure = dlerror();
  return handle;
}

Binding& Bound() {
  Binding& binding = TheBinding();
  if (!binding.attempted) {
    binding.attempted = true;
    binding.handle = OpenLibrary(binding);
    if (binding.handle != nullptr) {
      for (size_t i = 0; i < kRoutineCount; ++i) binding.routines[i] = dlsym(binding.handle, kRoutineNames[i]);
    }
  }
  return binding;
}

}  // namespace

void* RasterBinding::Address(Routine routine) {
  void* address = Bound().routines[static_cast<size_t>(routine)];
  if (address == nullptr) Raise(ErrorKind::FileNotFound, TheBinding().libraryName);
  return address;
}

void RasterBinding::Bind() {
  Binding& binding = Bound();
  auto refuse = [&](const std::string& why) { throw RuntimeError(ErrorKind::FileNotFound, binding.file, why); };
  if (binding.handle == nullptr) refuse("The drawing library cannot be loaded: " + binding.failure);
  for (size_t i = 0; i < kRoutineCount; ++i) {
    if (binding.routines[i] == nullptr) {
      refuse("The drawing library " + binding.file + " lacks the routine " + kRoutineNames[i] + ".");
    }
  }
}

const char* RasterBinding::DefaultLibraryName() { return "librasterkit.so"; }

void RasterBinding::SetLibraryNameForTests(const std::string& name) {
  Binding& binding = TheBinding();
  if (binding.handle != nullptr) dlclose(binding.handle);
  binding = Binding{};
  binding.libraryName = name;
}

// SPDX-License-Identifier: MIT
#include "base/program_file.h"

#include <unistd.h>

#include <vector>

std::string RunningProgramDirectory() {
  std::vector<char> path(4096);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
    if (length < 0) return {};
    if (static_cast<size_t>(length) < path.size()) {
      std::string file(path.data(), static_cast<size_t>(length));
      const size_t slash = file.rfind('/');
      if (slash == std::string::npos) return {};
      return slash == 0 ? "/" : file.substr(0, slash);
    }
    path.resize(path.size() * 2);
  }
}

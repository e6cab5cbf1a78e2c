// SPDX-License-Identifier: MIT
// Where the running program file lies. Plain POSIX: the raster binding and the platform layer
// both find the program's folder here.
#pragma once

#include <string>

// The real folder of the running program file, without a trailing separator (links
// followed); empty when the system cannot tell.
std::string RunningProgramDirectory();

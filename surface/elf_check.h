// SPDX-License-Identifier: MIT
// A look at a shared library's headers before the dynamic loader maps it: the loader trusts
// them, and a cut-off file kills the program inside dlopen (SIGBUS) instead of failing.
#pragma once

#include <string>

// What keeps the file at `path` from being loaded as a shared object of this machine: not an
// ELF file, another word size, byte order or processor, not a shared object, or a loadable
// segment that reaches past the end of the file. Empty when nothing does.
std::string SharedObjectProblem(const std::string& path);

// SPDX-License-Identifier: MIT
#include "surface/elf_check.h"

#include <elf.h>
#include <link.h>
#include <unistd.h>

#include <cstring>
#include <optional>
#include <vector>

#include "base/runtime.h"
#include "base/safe_file.h"

namespace {

#if defined(__x86_64__)
constexpr int kThisMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr int kThisMachine = EM_AARCH64;
#elif defined(__i386__)
constexpr int kThisMachine = EM_386;
#elif defined(__arm__)
constexpr int kThisMachine = EM_ARM;
#else
#error "unknown processor: name its ELF machine number here"
#endif
constexpr unsigned char kThisClass = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
constexpr unsigned char kThisByteOrder = __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? ELFDATA2LSB : ELFDATA2MSB;
// A library larger than this is not ours.
constexpr uint64_t kLibraryLimit = 256 * SafeFile::MiB;

bool ReadAt(int fd, void* into, size_t size, uint64_t offset) {
  return ::pread(fd, into, size, static_cast<off_t>(offset)) == static_cast<ssize_t>(size);
}

}  // namespace

std::string SharedObjectProblem(const std::string& path) {
  std::optional<SafeFile::ReadableFile> file;
  try {
    file = SafeFile::OpenForReading(path, kLibraryLimit);
  } catch (const RuntimeError& error) {
    return error.what();
  }
  if (!file) return path + " does not exist";
  const uint64_t size = file->Size();
  ElfW(Ehdr) header{};
  if (!ReadAt(file->Descriptor(), &header, sizeof header, 0) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
    return path + " is not an ELF file";
  if (header.e_ident[EI_CLASS] != kThisClass || header.e_ident[EI_DATA] != kThisByteOrder ||
      header.e_machine != kThisMachine)
    return path + " is built for another kind of processor";
  if (header.e_type != ET_DYN) return path + " is not a shared library";
  if (header.e_phentsize != sizeof(ElfW(Phdr)) || header.e_phnum == 0 || header.e_phoff > size ||
      header.e_phnum * sizeof(ElfW(Phdr)) > size - header.e_phoff)
    return path + " is cut short: its program headers lie outside the file";
  std::vector<ElfW(Phdr)> segments(header.e_phnum);
  if (!ReadAt(file->Descriptor(), segments.data(), segments.size() * sizeof(ElfW(Phdr)), header.e_phoff))
    return path + " cannot be read";
  for (const ElfW(Phdr) & segment : segments) {
    if (segment.p_type != PT_LOAD && segment.p_type != PT_DYNAMIC) continue;
    if (segment.p_offset > size || segment.p_filesz > size - segment.p_offset) {
      return path + " is cut short: it has " + std::to_string(size) + " bytes, its segments need " +
             std::to_string(segment.p_offset + segment.p_filesz);
    }
  }
  return {};
}

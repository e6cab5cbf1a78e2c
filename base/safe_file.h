// SPDX-License-Identifier: MIT
// The file layer every file of the game goes through.
//
// Reading: a file is opened so that opening can never block (a named pipe) and checked with
// fstat before a byte is read: it must be a regular file within the size limit of its kind,
// so a pipe, a directory or a link to /dev/zero is refused instead of hanging the game or
// filling its memory.
//
// Writing: a file is saved whole or not at all. The new content goes to "<file>.saving" beside
// it; every write and the close are checked, the temporary is flushed to the disk, renamed
// over the file and the folder flushed too. On any failure the temporary is removed and the
// old file stays exactly as it was.
//
// Refusals are RuntimeError(FileNotFound) whose Detail() is the file's path and whose what()
// names the file and what is wrong with it.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace SafeFile {

constexpr uint64_t MiB = 1024 * 1024;
// The size limits of the kinds of file the game reads.
constexpr uint64_t kSettingsLimit = 32 * MiB;  // main.ini, UserSettings.ini, gameinfo.cfg
constexpr uint64_t kPictureLimit = 64 * MiB;   // a 4096 x 4096 bitmap of 32-bit pixels
constexpr uint64_t kCursorLimit = 1 * MiB;
constexpr uint64_t kSoundLimit = 64 * MiB;  // sound effects and music

// An open, checked regular file; closed when it goes.
class ReadableFile {
 public:
  ReadableFile(int fd, uint64_t size) : fd_(fd), size_(size) {}
  ReadableFile(ReadableFile&& other) noexcept : fd_(other.fd_), size_(other.size_) { other.fd_ = -1; }
  ReadableFile(const ReadableFile&) = delete;
  ReadableFile& operator=(const ReadableFile&) = delete;
  ReadableFile& operator=(ReadableFile&& other) noexcept;
  ~ReadableFile();
  int Descriptor() const { return fd_; }
  uint64_t Size() const { return size_; }
  // Hands the descriptor over to the caller, who closes it.
  int Release();

 private:
  int fd_;
  uint64_t size_;
};

// Opens `path` for reading. Nothing when no file is there (a dangling link included); raises
// when the path is not a regular file, is larger than `limit` bytes or cannot be opened.
std::optional<ReadableFile> OpenForReading(const std::string& path, uint64_t limit);
// The whole content of the file, read as OpenForReading opens it.
std::optional<std::string> ReadWholeFile(const std::string& path, uint64_t limit);

// Replaces the file at `path` with `content`, whole or not at all; raises naming the file and
// the system's reason ("... cannot be created: Permission denied") when it cannot be saved.
void SaveWholeFile(const std::string& path, const std::string& content);

// Removes what a save killed half-way left beside `path`: "<file>.saving" and the older
// "<file>.saving.tmp<pid>" and "<file>.tmp<pid>" of processes no longer running.
void RemoveStaleTemporaries(const std::string& path);

// The write(2) the saves call; a test puts in one that fails (a full disk) and nullptr
// restores the real one.
using WriteFunction = ssize_t (*)(int fd, const void* data, size_t size);
void SetWriteFunctionForTests(WriteFunction write);

}  // namespace SafeFile

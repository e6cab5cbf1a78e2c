// SPDX-License-Identifier: MIT
#include "base/safe_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "base/runtime.h"

namespace SafeFile {

namespace {

WriteFunction g_write = nullptr;

[[noreturn]] void Refuse(const std::string& path, const std::string& problem) {
  throw RuntimeError(ErrorKind::FileNotFound, path, path + " " + problem);
}

std::string SizeText(uint64_t bytes) {
  return bytes % MiB == 0 ? std::to_string(bytes / MiB) + " MiB" : std::to_string(bytes) + " bytes";
}

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAll(int fd, const std::string& content) {
  size_t written = 0;
  while (written < content.size()) {
    ssize_t n = g_write != nullptr ? g_write(fd, content.data() + written, content.size() - written)
                                   : ::write(fd, content.data() + written, content.size() - written);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    written += static_cast<size_t>(n);
  }
  return true;
}

bool SyncDirectory(const std::string& directory) {
  int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  bool synced = ::fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot sync a folder
  ::close(fd);
  return synced;
}

// True for "<stem><digits>" whose number is the id of no running process.
bool LeftByEndedProcess(const std::string& name, const std::string& stem) {
  if (name.size() <= stem.size() || name.compare(0, stem.size(), stem) != 0) return false;
  const std::string digits = name.substr(stem.size());
  if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
  const pid_t pid = static_cast<pid_t>(std::atoi(digits.c_str()));
  return pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH;
}

}  // namespace

ReadableFile::~ReadableFile() {
  if (fd_ >= 0) ::close(fd_);
}

ReadableFile& ReadableFile::operator=(ReadableFile&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.Release();
    size_ = other.size_;
  }
  return *this;
}

int ReadableFile::Release() {
  int fd = fd_;
  fd_ = -1;
  return fd;
}

std::optional<ReadableFile> OpenForReading(const std::string& path, uint64_t limit) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    Refuse(path, std::string("cannot be opened: ") + std::strerror(errno));
  }
  ReadableFile file(fd, 0);
  struct stat status {};
  if (::fstat(fd, &status) != 0) Refuse(path, std::string("cannot be read: ") + std::strerror(errno));
  if (!S_ISREG(status.st_mode)) Refuse(path, "is not a regular file");
  const auto size = static_cast<uint64_t>(status.st_size);
  if (size > limit) Refuse(path, "is larger than " + SizeText(limit) + " (" + std::to_string(size) + " bytes)");
  // Reads of a regular file never wait, but whoever takes the descriptor may expect blocking reads.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return ReadableFile(file.Release(), size);
}

std::optional<std::string> ReadWholeFile(const std::string& path, uint64_t limit) {
  std::optional<ReadableFile> file = OpenForReading(path, limit);
  if (!file) return std::nullopt;
  std::string content;
  content.reserve(file->Size());
  char buffer[64 * 1024];
  for (;;) {
    ssize_t n = ::read(file->Descriptor(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Refuse(path, std::string("cannot be read: ") + std::strerror(errno));
    if (n == 0) break;
    content.append(buffer, static_cast<size_t>(n));
    // The file may have grown since it was checked.
    if (content.size() > limit) Refuse(path, "is larger than " + SizeText(limit));
  }
  return content;
}

void SaveWholeFile(const std::string& path, const std::string& content) {
  const std::string temporary = path + ".saving";
  struct stat existing {};
  const bool replacing = ::lstat(path.c_str(), &existing) == 0;
  auto fail = [&](int error) {
    ::unlink(temporary.c_str());
    Refuse(path, std::string(replacing ? "cannot be saved: " : "cannot be created: ") + std::strerror(error));
  };

  ::unlink(temporary.c_str());  // a leftover of a save that was killed
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) fail(errno);
  if (!WriteAll(fd, content) || ::fsync(fd) != 0) {
    int error = errno;
    ::close(fd);
    fail(error);
  }
  if (::close(fd) != 0) fail(errno);
  if (::rename(temporary.c_str(), path.c_str()) != 0) fail(errno);
  if (!SyncDirectory(DirectoryOf(path))) {
    // The new file is in place; only its survival of a power loss is in doubt.
    Refuse(path, std::string("was saved, but its folder could not be flushed: ") + std::strerror(errno));
  }
}

void RemoveStaleTemporaries(const std::string& path) {
  const std::string directory = DirectoryOf(path), name = NameOf(path);
  DIR* folder = ::opendir(directory.c_str());
  if (folder == nullptr) return;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string found = entry->d_name;
    const bool stale = found == name + ".saving" || LeftByEndedProcess(found, name + ".saving.tmp") ||
                       LeftByEndedProcess(found, name + ".tmp");
    if (!stale) continue;
    const std::string stalePath = directory + "/" + found;
    struct stat status {};
    if (::lstat(stalePath.c_str(), &status) == 0 && S_ISREG(status.st_mode)) ::unlink(stalePath.c_str());
  }
  ::closedir(folder);
}

void SetWriteFunctionForTests(WriteFunction write) { g_write = write; }

}  // namespace SafeFile

// File attributes, times and flushed output files of the native build.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include "platform/FileAttributes.h"
#include "platform/InputFile.h"
#include "platform/OutputFile.h"

namespace platform {

namespace {
[[noreturn]] void Fail(const std::string& what, std::string_view path) {
  throw std::runtime_error(what + " \"" + std::string(path) + "\": " + std::strerror(errno));
}
}  // namespace

std::uint32_t GetFileAttributesOf(std::string_view utf8Path) {
  struct stat st {};
  if (::stat(std::string(utf8Path).c_str(), &st) != 0) Fail("Cannot read the attributes of", utf8Path);
  std::uint32_t attributes = 0;
  if (S_ISDIR(st.st_mode)) attributes |= faDirectory;
  if ((st.st_mode & S_IWUSR) == 0) attributes |= faReadOnly;
  return attributes == 0 ? faArchive : attributes;
}

void SetFileAttributesOf(std::string_view utf8Path, std::uint32_t attributes) {
  std::string path(utf8Path);
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) Fail("Cannot set the attributes of", utf8Path);
  mode_t mode = st.st_mode & 07777;
  // Read-only takes every write permission away; writable gives the owner's back.
  mode = (attributes & faReadOnly) ? (mode & ~mode_t(0222)) : (mode | S_IWUSR);
  if (::chmod(path.c_str(), mode) != 0) Fail("Cannot set the attributes of", utf8Path);
}

void MakeReplaceable(std::string_view utf8Path) {
  std::string path(utf8Path);
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || S_ISLNK(st.st_mode)) return;
  if ((st.st_mode & S_IWUSR) == 0 && ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) != 0)
    Fail("Cannot make writable", utf8Path);
}

void SetFileModifiedTime(std::string_view utf8Path, std::int64_t unixTime) {
  struct timespec times[2];
  times[0].tv_sec = static_cast<time_t>(unixTime);
  times[0].tv_nsec = 0;
  times[1] = times[0];
  if (::utimensat(AT_FDCWD, std::string(utf8Path).c_str(), times, 0) != 0)
    Fail("Cannot set the time of", utf8Path);
}

std::int64_t GetFileModifiedTime(std::string_view utf8Path) {
  struct stat st {};
  if (::stat(std::string(utf8Path).c_str(), &st) != 0) Fail("Cannot read the time of", utf8Path);
  return st.st_mtime;
}

OutputFile::OutputFile(std::string_view utf8Path) : FPath(utf8Path) {
  int fd = ::open(FPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) Fail("Cannot create the file", FPath);
  FHandle = reinterpret_cast<void*>(static_cast<intptr_t>(fd) + 1);
}

OutputFile::~OutputFile() {
  if (FHandle) ::close(static_cast<int>(reinterpret_cast<intptr_t>(FHandle) - 1));
}

void OutputFile::Write(const void* data, std::size_t size) {
  int fd = static_cast<int>(reinterpret_cast<intptr_t>(FHandle) - 1);
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::write(fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("Cannot write the file", FPath);
    }
    p += n;
    size -= static_cast<std::size_t>(n);
  }
}

void OutputFile::Commit() {
  int fd = static_cast<int>(reinterpret_cast<intptr_t>(FHandle) - 1);
  FHandle = nullptr;
  if (::fsync(fd) != 0) {
    int saved = errno;
    ::close(fd);
    errno = saved;
    Fail("Cannot write the file", FPath);
  }
  if (::close(fd) != 0) Fail("Cannot write the file", FPath);
}

void OutputFile::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  int fd = static_cast<int>(reinterpret_cast<intptr_t>(FHandle) - 1);
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = ::pwrite(fd, p, size, static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("Cannot write the file", FPath);
    }
    p += n;
    offset += static_cast<std::uint64_t>(n);
    size -= static_cast<std::size_t>(n);
  }
}

void OutputFile::Close() {
  if (!FHandle) return;
  int fd = static_cast<int>(reinterpret_cast<intptr_t>(FHandle) - 1);
  FHandle = nullptr;
  if (::close(fd) != 0) Fail("Cannot write the file", FPath);
}

InputFile::InputFile(std::string_view utf8Path) : FPath(utf8Path) {
  int fd = ::open(FPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("Cannot open the file", FPath);
  FHandle = reinterpret_cast<void*>(static_cast<intptr_t>(fd) + 1);
}

InputFile::~InputFile() { ::close(static_cast<int>(reinterpret_cast<intptr_t>(FHandle) - 1)); }

std::size_t InputFile::ReadAt(std::uint64_t offset, void* data, std::size_t size) {
  int fd = static_cast<int>(reinterpret_cast<intptr_t>(FHandle) - 1);
  auto p = static_cast<char*>(data);
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::pread(fd, p + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail("Cannot read the file", FPath);
    }
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

void FlushFolderToDisk(std::string_view utf8Path) {
  std::string path(utf8Path);
  int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) Fail("Cannot open the folder", utf8Path);
  int rc = ::fsync(fd);
  int saved = errno;
  ::close(fd);
  errno = saved;
  if (rc != 0) Fail("Cannot write the folder", utf8Path);
}

void FlushFileToDisk(std::string_view utf8Path) {
  std::string path(utf8Path);
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) Fail("Cannot open the file", utf8Path);
  int rc = ::fsync(fd);
  int saved = errno;
  ::close(fd);
  errno = saved;
  if (rc != 0) Fail("Cannot write the file", utf8Path);
}

}  // namespace platform

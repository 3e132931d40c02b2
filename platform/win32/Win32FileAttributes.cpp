// File attributes, times and flushed output files of the Windows builds.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "platform/FileAttributes.h"
#include "platform/InputFile.h"
#include "platform/OutputFile.h"
#include "platform/win32/Wide.h"

namespace platform {

using win32::Utf8;
using win32::Wide;
using win32::WidePath;

namespace {
std::string SystemMessage(DWORD code) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text = n && buffer ? Utf8(std::wstring_view(buffer, n)) : "error " + std::to_string(code);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text;
}

[[noreturn]] void Fail(const std::string& what, std::string_view path) {
  DWORD code = GetLastError();
  throw std::runtime_error(what + " \"" + std::string(path) + "\": " + SystemMessage(code));
}

constexpr ULONGLONG kEpochDifference = 116444736000000000ULL;  // 1601-01-01 to 1970-01-01 in 100 ns
}  // namespace

std::uint32_t GetFileAttributesOf(std::string_view utf8Path) {
  DWORD a = GetFileAttributesW(WidePath(utf8Path).c_str());
  if (a == INVALID_FILE_ATTRIBUTES) Fail("Cannot read the attributes of", utf8Path);
  return a;
}

void SetFileAttributesOf(std::string_view utf8Path, std::uint32_t attributes) {
  DWORD keep = attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                             FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  if (!SetFileAttributesW(WidePath(utf8Path).c_str(), keep ? keep : FILE_ATTRIBUTE_NORMAL))
    Fail("Cannot set the attributes of", utf8Path);
}

void MakeReplaceable(std::string_view utf8Path) {
  std::wstring path = WidePath(utf8Path);
  DWORD a = GetFileAttributesW(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES || (a & FILE_ATTRIBUTE_DIRECTORY)) return;
  DWORD blocking = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  if ((a & blocking) && !SetFileAttributesW(path.c_str(), (a & ~blocking) ? (a & ~blocking) : FILE_ATTRIBUTE_NORMAL))
    Fail("Cannot make writable", utf8Path);
}

void SetFileModifiedTime(std::string_view utf8Path, std::int64_t unixTime) {
  HANDLE h = CreateFileW(WidePath(utf8Path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) Fail("Cannot set the time of", utf8Path);
  ULONGLONG t = static_cast<ULONGLONG>(unixTime) * 10000000ULL + kEpochDifference;
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(t);
  ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
  BOOL ok = SetFileTime(h, nullptr, nullptr, &ft);
  DWORD code = GetLastError();
  CloseHandle(h);
  if (!ok) {
    SetLastError(code);
    Fail("Cannot set the time of", utf8Path);
  }
}

std::int64_t GetFileModifiedTime(std::string_view utf8Path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(WidePath(utf8Path).c_str(), GetFileExInfoStandard, &data))
    Fail("Cannot read the time of", utf8Path);
  ULONGLONG t = (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  return static_cast<std::int64_t>((t - kEpochDifference) / 10000000ULL);
}

InputFile::InputFile(std::string_view utf8Path) : FPath(utf8Path) {
  HANDLE h = CreateFileW(WidePath(utf8Path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) Fail("Cannot open the file", FPath);
  FHandle = h;
}

InputFile::~InputFile() { CloseHandle(static_cast<HANDLE>(FHandle)); }

std::size_t InputFile::ReadAt(std::uint64_t offset, void* data, std::size_t size) {
  auto p = static_cast<char*>(data);
  std::size_t done = 0;
  while (done < size) {
    // A read at an offset given with it: the file pointer is not shared state between readers.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>((offset + done) & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
    DWORD chunk = size - done > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size - done);
    DWORD read = 0;
    if (!ReadFile(static_cast<HANDLE>(FHandle), p + done, chunk, &read, &at)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      Fail("Cannot read the file", FPath);
    }
    if (read == 0) break;
    done += read;
  }
  return done;
}

OutputFile::OutputFile(std::string_view utf8Path) : FPath(utf8Path) {
  HANDLE h = CreateFileW(WidePath(utf8Path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) Fail("Cannot create the file", FPath);
  FHandle = h;
}

OutputFile::~OutputFile() {
  if (FHandle) CloseHandle(static_cast<HANDLE>(FHandle));
}

void OutputFile::Write(const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(static_cast<HANDLE>(FHandle), p, chunk, &written, nullptr)) Fail("Cannot write the file", FPath);
    p += written;
    size -= written;
  }
}

void OutputFile::Commit() {
  HANDLE h = static_cast<HANDLE>(FHandle);
  FHandle = nullptr;
  if (!FlushFileBuffers(h)) {
    DWORD code = GetLastError();
    CloseHandle(h);
    SetLastError(code);
    Fail("Cannot write the file", FPath);
  }
  if (!CloseHandle(h)) Fail("Cannot write the file", FPath);
}

void OutputFile::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
  HANDLE h = static_cast<HANDLE>(FHandle);
  // A positioned write moves the file pointer too: put it back at the end afterwards.
  LARGE_INTEGER zero{}, end{};
  if (!SetFilePointerEx(h, zero, &end, FILE_CURRENT)) Fail("Cannot write the file", FPath);
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(h, p, chunk, &written, &at)) Fail("Cannot write the file", FPath);
    p += written;
    offset += written;
    size -= written;
  }
  if (!SetFilePointerEx(h, end, nullptr, FILE_BEGIN)) Fail("Cannot write the file", FPath);
}

void OutputFile::Close() {
  if (!FHandle) return;
  HANDLE h = static_cast<HANDLE>(FHandle);
  FHandle = nullptr;
  if (!CloseHandle(h)) Fail("Cannot write the file", FPath);
}

void FlushFolderToDisk(std::string_view) {}

void FlushFileToDisk(std::string_view utf8Path) {
  HANDLE h = CreateFileW(WidePath(utf8Path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) Fail("Cannot open the file", utf8Path);
  BOOL ok = FlushFileBuffers(h);
  DWORD code = GetLastError();
  CloseHandle(h);
  if (!ok) {
    SetLastError(code);
    Fail("Cannot write the file", utf8Path);
  }
}

}  // namespace platform

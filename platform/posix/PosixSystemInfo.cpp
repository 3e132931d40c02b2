// The native build's machine facts, from the kernel.
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "platform/FileVersion.h"
#include "platform/Files.h"
#include "platform/SystemInfo.h"
#include "platform/Text.h"

namespace platform {

OsVersionInfo OsVersion() {
  OsVersionInfo v;
  struct utsname u {};
  if (::uname(&u) == 0) std::sscanf(u.release, "%u.%u.%u", &v.major, &v.minor, &v.build);
  return v;
}

std::uint64_t TotalPhysicalMemoryBytes() {
  struct sysinfo info {};
  if (::sysinfo(&info) != 0) return 0;
  return static_cast<std::uint64_t>(info.totalram) * info.mem_unit;
}

std::string ComputerName() {
  char buf[256] = {};
  if (::gethostname(buf, sizeof buf - 1) != 0) return {};
  std::string name(buf);
  name = name.substr(0, name.find('.'));
  if (name.size() > 15) name.resize(15);
  return UpperAscii(name);
}

bool NativeArchitectureIsAmd64() {
  struct utsname u {};
  return ::uname(&u) == 0 && std::string_view(u.machine) == "x86_64";
}

std::int64_t FreeDiskBytes(std::string_view existingFolder) {
  struct statvfs st {};
  if (existingFolder.empty() || ::statvfs(std::string(existingFolder).c_str(), &st) != 0) return -1;
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(st.f_bavail) * st.f_frsize);
}

std::optional<FileVersionNumbers> ReadFileVersionNumbers(std::string_view utf8Path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(PathFromUtf8(utf8Path), ec)) return std::nullopt;
  std::string bytes;
  if (!ReadWholeFile(utf8Path, bytes)) return std::nullopt;
  return ParsePeFileVersion(bytes);
}

std::optional<std::string> ReadFileProductName(std::string_view utf8Path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(PathFromUtf8(utf8Path), ec)) return std::nullopt;
  std::string bytes;
  if (!ReadWholeFile(utf8Path, bytes)) return std::nullopt;
  return ParsePeProductName(bytes);
}

}  // namespace platform

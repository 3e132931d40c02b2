#pragma once
// Facts about the machine: operating-system version, memory, name, architecture, disk space.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

struct OsVersionInfo {
  unsigned major = 0, minor = 0, build = 0;
};

// The real version of the running system (on Windows not the compatibility-adjusted one;
// the native build reports the kernel release).
OsVersionInfo OsVersion();
std::uint64_t TotalPhysicalMemoryBytes();
// The computer's NetBIOS-style name (at most 15 characters); empty when unknown.
std::string ComputerName();
// Whether the machine's processor architecture is x64 (AMD64), whatever this program's bitness.
bool NativeArchitectureIsAmd64();
// Free bytes available to the user on the volume holding the existing folder; -1 when the
// volume cannot be queried.
std::int64_t FreeDiskBytes(std::string_view existingFolder);

}  // namespace platform

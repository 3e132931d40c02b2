#pragma once
// Windows opens a path of more than 259 characters (247 for a folder it creates) only in the
// extended-length form: "\\?\C:\..." for a drive path, "\\?\UNC\server\share\..." for a network
// path. Windows takes that form literally — "/" is not a separator there and "." and ".." are
// names — so the path is normalised as Windows would before the prefix goes on. Pure text
// functions, the same in every build, so the native tests cover them.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Paths longer than this many UTF-16 code units need the extended-length form.
constexpr std::size_t kClassicPathLimit = 247;

// The number of UTF-16 code units of a UTF-8 text.
std::size_t Utf16Length(std::string_view utf8);

// An absolute drive or network path (either separator) longer than kClassicPathLimit in the
// extended-length form, normalised: separators '\', no doubled ones, "." dropped, ".." resolved
// (never above the drive or share), trailing dots and blanks of names dropped. Every other path
// (short, relative, drive-relative, already extended, a device) comes back unchanged.
std::string ExtendedLengthPath(std::string_view windowsPath);

// The ordinary form of a path that may be in the extended-length form.
std::string WithoutExtendedLengthPrefix(std::string_view windowsPath);

}  // namespace platform

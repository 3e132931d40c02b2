#pragma once
// The fixed file version of a program or library (its VERSIONINFO resource).
#include <optional>
#include <string>
#include <string_view>

namespace platform {

struct FileVersionNumbers {
  unsigned major = 0, minor = 0, release = 0, build = 0;
  bool operator==(const FileVersionNumbers&) const = default;
};

// The version of a file on disk; nullopt when it has none or cannot be read. Windows asks the
// version API; the native build parses the PE file itself.
std::optional<FileVersionNumbers> ReadFileVersionNumbers(std::string_view utf8Path);

// Parses the bytes of a PE file (32- or 64-bit) for the fixed file information of its
// VERSIONINFO resource. Bytes of any other kind, or damaged ones, give nullopt.
std::optional<FileVersionNumbers> ParsePeFileVersion(std::string_view bytes);

// The product name of a file's version resource (its first language's "ProductName" string);
// nullopt when it has none or cannot be read.
std::optional<std::string> ReadFileProductName(std::string_view utf8Path);
std::optional<std::string> ParsePeProductName(std::string_view bytes);

}  // namespace platform

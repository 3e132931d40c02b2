#pragma once
// Windows file attributes and modification times of files, on both builds. The native build
// keeps only what a POSIX file system can hold: read-only (no write permission) and the folder bit.
#include <cstdint>
#include <string_view>

namespace platform {

// The Windows attribute bits; archives store them in this form whatever system made them.
constexpr std::uint32_t faReadOnly = 0x01;
constexpr std::uint32_t faHidden = 0x02;
constexpr std::uint32_t faSystem = 0x04;
constexpr std::uint32_t faVolumeLabel = 0x08;
constexpr std::uint32_t faDirectory = 0x10;
constexpr std::uint32_t faArchive = 0x20;
constexpr std::uint32_t faNormal = 0x80;
constexpr std::uint32_t faCompressed = 0x800;
constexpr std::uint32_t faNotContentIndexed = 0x2000;

// Attributes of an existing file or folder; throws std::runtime_error naming the path when it is missing.
std::uint32_t GetFileAttributesOf(std::string_view utf8Path);
// Applies read-only, hidden, system and archive (the others are the file system's own).
// Throws std::runtime_error naming the path on failure.
void SetFileAttributesOf(std::string_view utf8Path, std::uint32_t attributes);
// Clears read-only so the file can be replaced; nothing happens when the file does not exist.
void MakeReplaceable(std::string_view utf8Path);

// Modification time as seconds since 1970-01-01 UTC.
void SetFileModifiedTime(std::string_view utf8Path, std::int64_t unixTime);
std::int64_t GetFileModifiedTime(std::string_view utf8Path);

}  // namespace platform

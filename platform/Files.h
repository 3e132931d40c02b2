#pragma once
// UTF-8 paths to std::filesystem paths and back. On Windows a path built from a plain
// std::string would be read in the ANSI code page; these keep every letter.
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// The path separator of this platform, and the path with one appended when missing.
char PathDelimiter();
std::string IncludeTrailingPathDelimiter(std::string_view path);

// Whole-file helpers for small files (definitions, INI files, logs).
bool ReadWholeFile(std::string_view utf8Path, std::string& bytes);
// Throws std::runtime_error naming the file when it cannot be created or written.
void WriteWholeFile(std::string_view utf8Path, std::string_view bytes);

}  // namespace platform

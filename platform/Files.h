#pragma once
// UTF-8 paths to std::filesystem paths and back. On Windows a path built from a plain
// std::string would be read in the ANSI code page; these keep every letter. On Windows an
// absolute path too long for the classic limit of 260 characters gets the extended-length form
// here (platform/LongPath.h), and loses it again on the way back, so the rest of the program
// never sees the prefix.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// For opening, creating and asking about files.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string Utf8FromPath(const std::filesystem::path& path);
// For comparing and normalising path text only (no extended-length prefix, which the library's
// lexical operations would take apart).
std::filesystem::path LexicalPath(std::string_view utf8);
// The text a library that opens files by a UTF-8 name (libzip) must be given.
std::string SystemPath(std::string_view utf8);

struct DirectoryEntry {
  std::string Name;
  bool Directory = false;  // a folder, or a link to one
  bool File = false;       // a regular file, or a link to one
  bool Link = false;       // a symbolic link or other reparse point
};
// The entries of a folder except "." and "..", as the system lists them; false when the folder
// cannot be read. (MinGW's std::filesystem::directory_iterator reads a folder whose path passes
// 260 characters wrongly: it lists the current folder instead.)
bool ListDirectory(std::string_view utf8Dir, std::vector<DirectoryEntry>& entries);

// The path separator of this platform, and the path with one appended when missing.
char PathDelimiter();
std::string IncludeTrailingPathDelimiter(std::string_view path);

// Whole-file helpers for small files (definitions, INI files, logs).
bool ReadWholeFile(std::string_view utf8Path, std::string& bytes);
// Throws std::runtime_error naming the file when it cannot be created or written.
void WriteWholeFile(std::string_view utf8Path, std::string_view bytes);

}  // namespace platform

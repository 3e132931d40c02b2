#pragma once
// A file written in pieces. Commit flushes it to the disk before closing (the backup archive,
// which must be on the disk before anything is written over the files it holds); Close does not
// (extracted files: the rename of a finished file and the flushed backup are what make them safe).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

class OutputFile {
 public:
  // Creates or truncates the file; throws std::runtime_error naming it when that fails.
  explicit OutputFile(std::string_view utf8Path);
  ~OutputFile();  // closes without flushing when Commit was not called (an abandoned file)
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Throws std::runtime_error naming the file (disk full, I/O error).
  void Write(const void* data, std::size_t size);
  // Writes at an absolute offset (a header filled in once its sizes are known); later Writes
  // still append where the last Write ended. Throws like Write.
  void WriteAt(std::uint64_t offset, const void* data, std::size_t size);
  // Flushes to the disk and closes; throws on failure.
  void Commit();
  // Closes without flushing; throws when the system reports a failed write at close.
  void Close();

 private:
  std::string FPath;
  void* FHandle = nullptr;
};

// Flushes a file written by other means (a library) to the disk; throws std::runtime_error naming it.
void FlushFileToDisk(std::string_view utf8Path);
// Makes the names in a folder durable (a file renamed into it). Nothing to do where the file
// system journals names itself (Windows); throws std::runtime_error naming the folder.
void FlushFolderToDisk(std::string_view utf8Path);

}  // namespace platform

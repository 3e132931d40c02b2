#pragma once
// A file written in pieces and flushed to the disk before it is closed (extracted archive
// entries must survive a power cut once the installer reports them done).
#include <cstddef>
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
  // Flushes to the disk and closes; throws on failure.
  void Commit();

 private:
  std::string FPath;
  void* FHandle = nullptr;
};

// Flushes a file written by other means (a library) to the disk; throws std::runtime_error naming it.
void FlushFileToDisk(std::string_view utf8Path);

}  // namespace platform

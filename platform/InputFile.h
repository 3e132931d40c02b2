#pragma once
// A file read at given offsets, from several threads at once if need be (each read names its
// offset; nothing is shared between reads).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

class InputFile {
 public:
  // Opens the file for reading (others may read it too); throws std::runtime_error naming it.
  explicit InputFile(std::string_view utf8Path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Reads up to size bytes at offset; fewer only where the file ends. Throws on a read error.
  std::size_t ReadAt(std::uint64_t offset, void* data, std::size_t size);

 private:
  std::string FPath;
  void* FHandle = nullptr;
};

}  // namespace platform

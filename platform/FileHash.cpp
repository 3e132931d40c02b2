// The SHA-256 of a whole file: read in pieces of a few MiB, each hashed while the next one is read,
// so that hashing a package costs about as long as reading it.
#include <future>
#include <vector>

#include "platform/Crypto.h"
#include "platform/InputFile.h"

namespace platform {

std::array<std::uint8_t, 32> Sha256OfFile(const std::string& utf8Path) {
  constexpr std::size_t kPiece = 4u << 20;
  InputFile file(utf8Path);
  Sha256Hash hash;
  std::vector<unsigned char> current(kPiece), next(kPiece);
  std::uint64_t offset = 0;
  std::size_t got = file.ReadAt(offset, current.data(), kPiece);
  while (got > 0) {
    offset += got;
    // A short read is the end of the file: there is nothing after it to read ahead.
    std::future<std::size_t> ahead;
    if (got == kPiece)
      ahead = std::async(std::launch::async, [&file, &next, offset] { return file.ReadAt(offset, next.data(), kPiece); });
    hash.Update(current.data(), got);
    got = ahead.valid() ? ahead.get() : 0;
    current.swap(next);
  }
  return hash.Final();
}

}  // namespace platform

#pragma once
// Reads one archive entry's data straight from the archive file and hands over its content in
// pieces: stored or deflated, plain, under the traditional PKWARE encryption or under WinZip AES.
// It checks the password, the CRC or the authentication code, and the sizes the directory states.
// libzip still reads the directory (and any other kind of entry); through it the traditional
// decryption cost two zlib calls a byte, most of the time of an extraction.
#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/ZipLayout.h"

namespace platform {
class InputFile;
}

namespace engine {

// Why an entry cannot be read: the kind of fault as libzip's error code (ZIP_ER_*), so that faults
// read alike whichever reader met them, and the detail.
struct ZipEntryFault : std::runtime_error {
  ZipEntryFault(int code, const std::string& detail) : std::runtime_error(detail), Code(code) {}
  int Code;
};

// Pieces of raw and of inflated data, kept by each reader thread from entry to entry: most entries
// are small, and fresh buffers would cost more in allocation and page faults than the entry.
struct ZipReadBuffers {
  std::vector<char> Raw = std::vector<char>(128 * 1024);
  std::vector<char> Inflated = std::vector<char>(128 * 1024);
};

// Whether ReadZipEntry reads this entry.
bool ZipEntryReadable(const ZipEntryData& entry);

// Reads the entry from the archive file and hands its content to sink piece by piece; throws
// ZipEntryFault. Pieces already handed over may still be followed by a fault: the CRC and the
// authentication code are known at the end.
void ReadZipEntry(platform::InputFile& archive, const ZipEntryData& entry, const std::string& password,
                  ZipReadBuffers& buffers, const std::function<void(const char*, std::size_t)>& sink);

}  // namespace engine

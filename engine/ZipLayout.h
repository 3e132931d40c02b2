#pragma once
// The layout check of an archive before anything is read from it: the central directory must
// account for every byte of the file, entry after entry, with no entry sharing data with another
// and each local header naming its entry as the directory does. libzip reads the directory and
// trusts it; a forged or damaged directory (a name changed after writing, two records over the
// same data, an end record zeroed so that the archive seems empty) is refused here instead.
#include <cstdint>
#include <string>
#include <vector>

namespace engine {

// Where an entry's data lie and how they are stored, from its directory record and its local
// header: what the extraction needs to read the data itself.
struct ZipEntryData {
  std::uint64_t DataOffset = 0;      // the first byte after the local header
  std::uint64_t CompressedSize = 0;  // the stored bytes (with an encryption header)
  std::uint64_t Size = 0;            // the bytes it holds
  std::uint32_t Crc = 0;
  std::uint16_t Flags = 0;       // general-purpose flags of the directory record
  std::uint16_t LocalFlags = 0;  // and of the local header
  std::uint16_t Method = 0;      // compression method of the directory record (99: WinZip AES)
  std::uint16_t LocalTime = 0;   // DOS time of the local header
  // WinZip AES entries: strength 1-3 (128, 192, 256 bits), vendor version (1 = AE-1, 2 = AE-2) and
  // the compression method under the encryption; 0 for other entries.
  int AesStrength = 0;
  int AesVersion = 0;
  std::uint16_t AesMethod = 0;
};

// Empty when the layout is sound; otherwise why it is not, as a sentence without the archive's
// name ("the entries \"a\" and \"b\" share the same data"). A file that cannot be read gives
// its reason too. When the layout is sound and entries is given, it receives every entry in the
// order of the directory.
std::string ArchiveLayoutProblem(const std::string& fileName, std::vector<ZipEntryData>* entries = nullptr);
// The problem of a file that has no end record at all: no ZIP archive, rather than a damaged one.
extern const char* const kNoEndRecord;

}  // namespace engine

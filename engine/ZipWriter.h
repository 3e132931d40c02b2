#pragma once
// Writing a small archive of one encrypted entry: the container of a setup definition. The
// installer itself only reads such archives (through ZipArchive); the kit tool makes them.
#include <string>
#include <string_view>

namespace engine {

enum class ZipEncryption {
  None,
  TraditionalPkware,  // what every unzip reads (weak, but the container's password is public anyway)
  Aes256,             // WinZip AES-256
};

// Writes a new archive at archivePath (replacing any file there) that holds exactly one entry,
// deflated and encrypted with password. Throws ZipError (engine/ZipArchive.h) on any failure;
// the archive is written to a temporary file first, so a failure leaves an earlier file intact.
void WriteSingleEntryArchive(const std::string& archivePath, const std::string& entryName, std::string_view data,
                             const std::string& password, ZipEncryption encryption);

}  // namespace engine

#pragma once
// ZipArchive: the one component through which the installer reads and writes ZIP archives
// (the setup definition's container, the package archives, the backup). Built over libzip,
// which nothing else in the program touches.
//
// Reading: stored and deflated entries, CRC-32 checked, traditional PKWARE encryption and
// WinZip AES (AE-1, AE-2; 128, 192, 256 bits). Writing: deflate at the fastest level, no
// encryption. Every failure is thrown as ZipError whose message names the archive or entry.
#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>

namespace engine {

class ZipError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Every file: read-only, hidden, system, volume label, folder, archive, normal, compressed and
// not content-indexed.
constexpr std::uint32_t faZipAnyFile = 0x28BF;

// One entry of an archive, as FindFirst and FindNext describe it.
struct ZipEntryInfo {
  std::string FileName;    // the name without its folder, UTF-8
  std::string StoredPath;  // its folder inside the archive, '\' separated with a trailing '\'; empty at the top
  std::uint64_t CompressedSize = 0;
  std::uint64_t UncompressedSize = 0;
  bool Encrypted = false;
  std::int64_t ModifiedTime = 0;  // seconds since 1970 UTC (the stored local time read in this time zone)
  std::uint32_t Crc32 = 0;
  std::uint32_t ExternalAttributes = 0;  // as stored; the Windows attributes are its low 16 bits
  std::string Comment;
  bool IsDirectory() const { return FileName.empty(); }
};

class ZipArchive;
// Called once per entry just before it is written, with its stored relative path ('\' separated),
// its Windows attributes and its comment; the handler may change the name and the attributes.
using ZipExtractFileHandler =
    std::function<void(ZipArchive& sender, std::string& entryName, std::uint32_t& attributes, const std::string& comment)>;

enum class ZipOpenMode { Existing, Create };

class ZipArchive {
 public:
  ZipArchive();
  ~ZipArchive();  // an archive still open is abandoned: nothing written is kept
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  std::string FileName;  // path of the archive file, UTF-8
  std::string Password;  // 8-bit text (the caller converts); empty means none
  std::string BaseDir;   // extraction writes below it; adding stores paths relative to it
  ZipExtractFileHandler OnExtractFile;
  // CloseArchive compresses what AddFiles named; these follow and stop that work.
  std::function<void(double fraction)> OnCloseProgress;
  const bool* StopRequested = nullptr;  // when it turns true, CloseArchive stops and throws

  // Number of entries of the open archive (0 when none is open).
  int FileCount() const;
  bool IsOpen() const;

  // Existing: opens the archive FileName. Create: starts a new, empty archive that replaces any
  // file of that name when CloseArchive completes it.
  void OpenArchive(ZipOpenMode mode = ZipOpenMode::Existing);

  // Writes the content of the entry of exactly that stored path ('\' or '/' separated) into out,
  // piece by piece. The CRC is checked at the end; out may have received data before an error.
  void ExtractToStream(const std::string& entryName, std::ostream& out);

  // Extracts every entry whose name matches mask (and not exclusionMask) and whose attributes are
  // within attributeFilter below BaseDir, re-creating its folders, replacing existing files (also
  // read-only ones), applying stored attributes and times. Before anything is written every
  // selected name is checked: a name that would leave BaseDir makes the whole call fail.
  void ExtractFiles(const std::string& mask, std::uint32_t attributeFilter = faZipAnyFile,
                    const std::string& exclusionMask = "");

  // Enumerate the entries in archive order; false when there is none (more).
  bool FindFirst(ZipEntryInfo& entry);
  bool FindNext(ZipEntryInfo& entry);

  // Adds the file at the full path mask under its path relative to BaseDir (which it must lie
  // below), deflated at the fastest level. The file is read when CloseArchive writes the archive.
  void AddFiles(const std::string& mask, std::uint32_t attributeFilter = faZipAnyFile,
                const std::string& exclusionMask = "");

  // Writes a created or changed archive (central directory included) and closes it.
  void CloseArchive();

 private:
  struct Handle;
  std::unique_ptr<Handle> FHandle;
  bool FCreated = false;
  std::int64_t FFindIndex = -1;

  Handle& Open(const char* operation) const;
  bool Describe(std::int64_t index, ZipEntryInfo& entry) const;
};

}  // namespace engine

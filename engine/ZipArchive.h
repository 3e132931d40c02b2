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
#include <vector>

#include "engine/Progress.h"

namespace engine {

class ZipError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writing an archive ended because its progress sink asked to stop; nothing was kept.
class ZipStopped : public ZipError {
 public:
  using ZipError::ZipError;
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

// Called when ExtractFiles cannot write an entry, with its stored relative path ('\' separated)
// and why (its file locked or in use, a folder in its place, no access, its data damaged).
using ZipEntryFailedHandler = std::function<void(const std::string& entryName, const std::string& error)>;

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
  // When set, ExtractFiles goes on past an entry it cannot write: the file stays as it was (no
  // partial file is left), the handler is told, and the next entry follows. When empty, the first
  // such entry ends the extraction with a ZipError. Faults of the archive as a whole (it cannot be
  // opened, a name that would leave BaseDir) end it either way.
  ZipEntryFailedHandler OnEntryFailed;
  // CloseArchive of a created archive compresses what AddFiles named: it reports each file as
  // it goes into the archive (Item) and asks between files whether to stop (then it throws
  // ZipStopped and keeps nothing). Calls come on the thread that called CloseArchive.
  ProgressSink* Progress = nullptr;

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
  // Entries are inflated several at once on worker threads into temporary files beside their
  // targets; each is renamed into place, and OnExtractFile called, on the calling thread in
  // archive order. An error leaves the entries before it in place and nothing of those after it
  // (unless OnEntryFailed is set).
  void ExtractFiles(const std::string& mask, std::uint32_t attributeFilter = faZipAnyFile,
                    const std::string& exclusionMask = "");
  // The same for the entries that match any of the masks, each extracted once.
  void ExtractFiles(const std::vector<std::string>& masks, std::uint32_t attributeFilter = faZipAnyFile,
                    const std::string& exclusionMask = "");

  // Enumerate the entries in archive order; false when there is none (more).
  bool FindFirst(ZipEntryInfo& entry);
  bool FindNext(ZipEntryInfo& entry);

  // Adds the file at the full path mask under its path relative to BaseDir (which it must lie
  // below), deflated at the fastest level, to an archive opened in Create mode. The file is read
  // when CloseArchive writes the archive.
  void AddFiles(const std::string& mask, std::uint32_t attributeFilter = faZipAnyFile,
                const std::string& exclusionMask = "");

  // Writes a created archive (central directory included), flushes it to the disk and closes
  // it; closes an archive opened for reading.
  void CloseArchive();

 private:
  struct Handle;
  std::unique_ptr<Handle> FHandle;
  std::int64_t FFindIndex = -1;

  Handle& Open(const char* operation) const;  // an archive opened for reading
  void ExtractSelected(const std::vector<std::string>& masks, std::uint32_t attributeFilter,
                       const std::string& exclusionMask);
  bool Describe(std::int64_t index, ZipEntryInfo& entry) const;
};

}  // namespace engine

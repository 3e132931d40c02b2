#pragma once
// Writing a new archive of files (the backup): every file deflated at the fastest level, pieces
// of several files compressed at once on worker threads, the archive itself written in list
// order on the calling thread, which also reports each file and asks between files whether to
// stop. No encryption. Up to 65,535 files and 4 GiB it is a plain ZIP 2.0 archive; past either
// limit (a file's size, an offset, the count or the whole) it adds the Zip64 records that say
// what the classic fields cannot.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Progress.h"

namespace engine {

struct ZipWriterFile {
  std::string Path;        // the file on disk, UTF-8
  std::string StoredName;  // its name in the archive, as stored ('/' separated)
  bool Utf8Name = false;   // StoredName is UTF-8 (else the OEM code page)
  std::uint32_t DosAttributes = 0;
};

// Writes the archive under a temporary name beside archivePath, flushes it to the disk and then
// renames it into place, so archivePath never names a half-written archive. progress: Item(n,
// Path) after each file is in the archive, then ShouldStop(); a stop throws ZipStopped, an error
// ZipError (engine/ZipArchive.h); either way nothing is left at archivePath or beside it.
void WriteZipOfFiles(const std::string& archivePath, const std::vector<ZipWriterFile>& files, ProgressSink& progress);

}  // namespace engine

#pragma once
// Backup of a previous installation into a ZIP archive before anything is written over it, and
// its restore when the installation is stopped or fails. The wizard wires these to its pages;
// here they take only paths, the file list and the progress-and-stop sink.
#include <string>
#include <vector>

#include "engine/Progress.h"

namespace engine {

struct BackupResult {
  bool Complete = false;    // every file is in the archive (also true when there was nothing to back up)
  std::string ArchivePath;  // empty when there was nothing to back up or the backup did not complete
};

// The archive path: adrInstall + "\Backup\Backup" + timeStamp + ".zip" (this platform's separator).
std::string BackupArchivePath(const std::string& adrInstall, const std::string& timeStamp);

// Packs files (full paths below adrInstall, as ListFilesForBackup lists them) into a new archive,
// paths stored relative to adrInstall, deflated at the fastest level, in list order. Nothing to
// pack: complete, no archive. progress gets SetTotal(files) and Item(n, path) per file, and a
// ShouldStop() between files; a stop deletes the partial archive and returns incomplete. Errors
// (folder not creatable, file unreadable, disk full) delete the partial archive and are thrown
// as ZipError. A complete archive is closed and flushed to the disk before this returns.
BackupResult BackUpFiles(const std::string& adrInstall, const std::vector<std::string>& files,
                         const std::string& timeStamp, ProgressSink& progress);

// A file of the backup that the restore could not put back: it was left as it was.
struct RestoreSkippedFile {
  std::string Name;  // the entry's relative path, '\' separated
  std::string Why;
};

struct RestoreResult {
  std::vector<RestoreSkippedFile> Skipped;  // in archive order; empty when every file came back
};

// Extracts every entry of the backup archive over adrInstall (read-only files replaced, folders
// created), as far as it can: a file it cannot write (locked, in use, a folder in its place, no
// access, damaged in the archive) is skipped and named in the result, and the rest is restored.
// progress gets SetTotal(entries) and Item(n, entry name) per entry, skipped ones included; the
// restore cannot be stopped. An archive that is missing, damaged as a whole, or names a place
// outside adrInstall is thrown as ZipError, with nothing written.
RestoreResult RestoreBackup(const std::string& archivePath, const std::string& adrInstall, ProgressSink& progress);

}  // namespace engine
